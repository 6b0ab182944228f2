#pragma once

#include <QColor>

class QLabel;
class QPalette;

// The bordered read-only name fields (the file names on the main window and in the Open dialog,
// the navigator's cell) in colours that stay readable under any theme, light or dark.
namespace FieldColours {

struct Pair {
    QColor background;
    QColor text;
};

// The palette's own colours for text fields (Base, Text) where they contrast clearly; on a
// palette where they do not, black or white text, whichever stands out more, on that Base.
Pair pick(const QPalette& palette);

// Relative luminance from 0 (black) to 1 (white), and the contrast ratio of two colours from 1
// (none) to 21 (black on white), as in the web's accessibility guidelines.
double luminance(const QColor& colour);
double contrast(const QColor& a, const QColor& b);

// Makes a label such a field: a sunken single-line border, plain text (a file named "<b>x</b>"
// shows as typed), and the colours above, picked again when the application's palette changes.
void makeField(QLabel* label);

}  // namespace FieldColours
