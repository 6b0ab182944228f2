#include "gui/app/MainWindowControls.h"

#include <QFontMetrics>
#include <QWidget>
#include <stdexcept>
#include <string>

namespace MainWindowControls {

namespace {

constexpr ControlEntry kControls[] = {
    {"fraTypeOfDelimiter", "Type of Delimiter", "Specify the delimiter used", Fit::Frame, 240, 360,
     1815, 1695},
    {"optSpace", "Space Delimited", nullptr, Fit::Radio, 120, 240, 1455, 255},
    {"optComma", "Comma Delimited", nullptr, Fit::Radio, 120, 720, 1575, 255},
    {"optTab", "Tab Delimited", nullptr, Fit::Radio, 120, 1200, 1335, 255},
    {"drvDrive", nullptr, "Specify drive of file", Fit::None, 2280, 480, 2415, 315},
    {"dirDirectory", nullptr, "Specify directory of file", Fit::None, 2280, 840, 2415, 1215},
    {"cmbFileType", nullptr, "Specify file extension (*.txt or *.dat)", Fit::None, 4920, 480, 2295,
     315},
    {"filFile", nullptr, "Specify file", Fit::None, 4920, 840, 2295, 1065},
    {"lblSelectedFileLabel", "Selected File:", nullptr, Fit::Label, 7440, 360, 1332, 240},
    {"lblSelectedFile", nullptr, "The file selected for import", Fit::None, 7440, 600, 2055, 255},
    {"lblCurrentFileLabel", "File Currently in Processor:", nullptr, Fit::Label, 7440, 960, 2055,
     255},
    {"lblCurrentFile", nullptr, "File currently loaded in Corvane", Fit::None, 7440, 1200, 2055,
     255},
    {"cmdImportData", "Import Selected Data File", "Click to import selected file", Fit::Button,
     7440, 1560, 2055, 495},
};

}  // namespace

const ControlEntry& Find(std::string_view name) {
    for (const ControlEntry& c : kControls) {
        if (name == c.name) return c;
    }
    throw std::logic_error("no control " + std::string(name));
}

void SetBold(QWidget* w, bool bold) {
    QFont f = w->font();
    f.setBold(bold);
    w->setFont(f);
}

QFont WindowFont(const QFont& base, const QStyle* style) {
    const CaptionExtras extras = CaptionExtras::of(style);
    const auto extra = [&extras](Fit fit) {
        return fit == Fit::Radio    ? extras.radio
               : fit == Fit::Button ? extras.button
               : fit == Fit::Frame  ? extras.frame
                                    : 0;
    };
    return FittingFont(base, [&extra](const QFontMetrics& m) {
        for (const ControlEntry& c : kControls) {
            if (c.fit == Fit::None) continue;
            if (m.horizontalAdvance(QString::fromUtf8(c.caption)) + extra(c.fit) >
                Twips::toPixelsX(c.width))
                return false;
        }
        return true;
    });
}

}  // namespace MainWindowControls
