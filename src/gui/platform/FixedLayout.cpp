#include "gui/platform/FixedLayout.h"

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

CaptionExtras CaptionExtras::of(const QStyle* style) {
    CaptionExtras e;
    e.radio = style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
              style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing) + 4;
    e.button = 2 * style->pixelMetric(QStyle::PM_ButtonMargin) +
               2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth) + 4;
    e.frame = 16;
    return e;
}

QFont FittingFont(const QFont& base, const std::function<bool(const QFontMetrics&)>& fits) {
    // The fixed places were drawn for a narrow 8 pt dialog font: the window takes the
    // program's font at that size, condensed only as far as its captions need.
    QFont font = base;
    font.setPointSizeF(8.25);
    for (int stretch : {100, 94, 87, 81, 75}) {
        font.setStretch(stretch);
        if (fits(QFontMetrics(font))) break;
    }
    return font;
}

namespace {

// Whether every caption of the window fits its fixed box.
bool captionsFit(const QWidget* window, const QFontMetrics& m) {
    const CaptionExtras extra = CaptionExtras::of(window->style());
    for (const QLabel* l : window->findChildren<QLabel*>()) {
        if (m.horizontalAdvance(l->text()) > l->width() - 2 * l->frameWidth()) return false;
    }
    for (const QRadioButton* b : window->findChildren<QRadioButton*>()) {
        if (m.horizontalAdvance(b->text()) + extra.radio > b->width()) return false;
    }
    for (const QPushButton* b : window->findChildren<QPushButton*>()) {
        if (m.horizontalAdvance(b->text()) + extra.button > b->width()) return false;
    }
    for (const QGroupBox* f : window->findChildren<QGroupBox*>()) {
        if (m.horizontalAdvance(f->title()) + extra.frame > f->width()) return false;
    }
    return true;
}

void FrameWindow(QDialog* window, int clientWidth, int clientHeight) {
    window->setFont(FittingFont(
        window->font(), [window](const QFontMetrics& m) { return captionsFit(window, m); }));

    window->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    Twips::resizeClient(window, clientWidth, clientHeight);
}

}  // namespace

void FixWindowFrame(QDialog* window, int clientWidth, int clientHeight) {
    FrameWindow(window, clientWidth, clientHeight);
    window->setFixedSize(window->size());
}

void FrameGrowingWindow(QDialog* window, int clientWidth, int clientHeight) {
    FrameWindow(window, clientWidth, clientHeight);
    window->setMinimumSize(window->size());
    window->setSizeGripEnabled(true);
}
