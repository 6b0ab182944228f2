#include "platform/FixedLayout.h"

#include <QDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

QGroupBox* MakeFrame(QWidget* container, const char* name, const char* caption, int left, int top,
                     int width, int height) {
    auto* frame = MakeControl<QGroupBox>(container, name, left, top, width, height);
    frame->setTitle(QString::fromLatin1(caption));
    return frame;
}

QPushButton* MakeButton(QWidget* container, const char* name, const char* caption, int left,
                        int top, int width, int height) {
    auto* button = MakeCaptioned<QPushButton>(container, name, caption, left, top, width, height);
    NeverDefault({button});
    return button;
}

void NeverDefault(std::initializer_list<QPushButton*> buttons) {
    for (QPushButton* b : buttons) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
}

namespace {

// Whether every caption of the window fits its fixed box in `font`.
bool captionsFit(const QWidget* window, const QFont& font) {
    const QStyle* style = window->style();
    const QFontMetrics m(font);
    const int radioExtra = style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                           style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing) + 4;
    const int buttonExtra = 2 * style->pixelMetric(QStyle::PM_ButtonMargin) +
                            2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth) + 4;
    const int frameExtra = 16;
    for (const QLabel* l : window->findChildren<QLabel*>()) {
        if (m.horizontalAdvance(l->text()) > l->width() - 2 * l->frameWidth()) return false;
    }
    for (const QRadioButton* b : window->findChildren<QRadioButton*>()) {
        if (m.horizontalAdvance(b->text()) + radioExtra > b->width()) return false;
    }
    for (const QPushButton* b : window->findChildren<QPushButton*>()) {
        if (m.horizontalAdvance(b->text()) + buttonExtra > b->width()) return false;
    }
    for (const QGroupBox* f : window->findChildren<QGroupBox*>()) {
        if (m.horizontalAdvance(f->title()) + frameExtra > f->width()) return false;
    }
    return true;
}

}  // namespace

void FixWindowFrame(QDialog* window, int clientWidth, int clientHeight) {
    // The fixed places were drawn for a narrow 8 pt dialog font: the window takes the
    // program's font at that size, condensed only as far as its captions need.
    QFont font = window->font();
    font.setPointSizeF(8.25);
    for (int stretch : {100, 94, 87, 81, 75}) {
        font.setStretch(stretch);
        if (captionsFit(window, font)) break;
    }
    window->setFont(font);

    window->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    Twips::resizeClient(window, clientWidth, clientHeight);
    window->setFixedSize(window->size());
}
