#pragma once

#include <QFont>
#include <QString>
#include <string_view>
#include <type_traits>

#include "gui/platform/FixedLayout.h"

class QGroupBox;
class QStyle;
class QWidget;

// The fixed controls of the main window's Select Data frame in one table, each name, caption,
// tip and place written once: the controls are built from it, and the window's font is chosen
// so that its captions fit their boxes.
namespace MainWindowControls {

// How a caption is measured against its box.
enum class Fit { None, Label, Radio, Button, Frame };

// A control: its name, the caption and tip it shows (null: none), its place in twips.
struct ControlEntry {
    const char* name;
    const char* caption;
    const char* tip;
    Fit fit;
    int left;
    int top;
    int width;
    int height;
};

// The table's entry for `name`; a name not in the table is a fault of the program (throws).
const ControlEntry& Find(std::string_view name);

// Frame captions are bold; what sits inside keeps the window's regular weight.
void SetBold(QWidget* w, bool bold);

// `base` at the 8 pt size the fixed places were drawn for, condensed only as far as every
// caption of the table needs to fit its box.
QFont WindowFont(const QFont& base, const QStyle* style);

// The control `name` of the table in `container`, in the window's regular weight.
template <class W>
W* Make(QWidget* container, const char* name) {
    const ControlEntry& c = Find(name);
    W* w = nullptr;
    if constexpr (std::is_same_v<W, QGroupBox>) {
        w = MakeFrame(container, c.name, c.caption, c.left, c.top, c.width, c.height);
    } else if constexpr (requires(W * x) { x->setText(QString()); }) {
        w = MakeCaptioned<W>(container, c.name, c.caption ? c.caption : "", c.left, c.top, c.width,
                             c.height);
    } else {
        w = MakeControl<W>(container, c.name, c.left, c.top, c.width, c.height);
    }
    if (c.tip != nullptr) w->setToolTip(QString::fromUtf8(c.tip));
    SetBold(w, false);
    return w;
}

}  // namespace MainWindowControls
