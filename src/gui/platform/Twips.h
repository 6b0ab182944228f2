#pragma once

#include <QRect>

class QWidget;

// Fixed positions and sizes are given in twips, 1440 to the inch, at the screen's logical DPI.
namespace Twips {

int toPixelsX(int twips);
int toPixelsY(int twips);
int fromPixelsX(int pixels);
int fromPixelsY(int pixels);
QRect toPixels(int left, int top, int width, int height);

// Places a child at (left, top) with size (width, height), all in twips.
void place(QWidget* w, int left, int top, int width, int height);
// Sets a window's client area in twips.
void resizeClient(QWidget* w, int width, int height);

}  // namespace Twips
