#pragma once

#include <QFont>
#include <QString>
#include <functional>
#include <initializer_list>

#include "gui/platform/Twips.h"

class QDialog;
class QFontMetrics;
class QGroupBox;
class QPushButton;
class QStyle;
class QWidget;

// The fixed layouts of the program's windows: a control named as the program names it, placed
// in twips inside its container.
template <class W>
W* MakeControl(QWidget* container, const char* name, int left, int top, int width, int height) {
    auto* w = new W(container);
    w->setObjectName(QString::fromLatin1(name));
    Twips::place(w, left, top, width, height);
    return w;
}

template <class W>
W* MakeCaptioned(QWidget* container, const char* name, const char* caption, int left, int top,
                 int width, int height) {
    auto* w = MakeControl<W>(container, name, left, top, width, height);
    w->setText(QString::fromLatin1(caption));
    return w;
}

QGroupBox* MakeFrame(QWidget* container, const char* name, const char* caption, int left, int top,
                     int width, int height);

// A command button that Enter does not press unless it is clicked or has the focus and
// Space is pressed.
QPushButton* MakeButton(QWidget* container, const char* name, const char* caption, int left,
                        int top, int width, int height);

// Buttons Enter never presses, not even the one with the focus.
void NeverDefault(std::initializer_list<QPushButton*> buttons);

// What a caption needs beside its text in a style: a radio button's indicator and spacing, a
// push button's margins and frame, a frame title's indent; all in pixels.
struct CaptionExtras {
    int radio = 0;
    int button = 0;
    int frame = 0;
    static CaptionExtras of(const QStyle* style);
};

// `base` at the 8 pt size the fixed places were drawn for, condensed only as far as `fits` needs
// for every caption to fit its box.
QFont FittingFont(const QFont& base, const std::function<bool(const QFontMetrics&)>& fits);

// The window frame of the fixed windows: a title and a close box, nothing to minimize,
// maximize or resize; the client area fixed at the given size in twips; a font in which the
// captions fit their fixed boxes. Called once every control is placed.
void FixWindowFrame(QDialog* window, int clientWidth, int clientHeight);

// The same frame for a window whose lists and boxes grow with it (GrowingLayout): it opens at
// the given size, which is also the smallest it can be made, and has a size grip in its corner.
void FrameGrowingWindow(QDialog* window, int clientWidth, int clientHeight);
