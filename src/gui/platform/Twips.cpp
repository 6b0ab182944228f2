#include "gui/platform/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr double kFallbackDpi = 96.0;  // no screen (e.g. before the application exists)

double dpiX() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchX() : kFallbackDpi;
}

double dpiY() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchY() : kFallbackDpi;
}

int roundHalfAway(double v) { return static_cast<int>(std::lround(v)); }

}  // namespace

namespace Twips {

int toPixelsX(int twips) { return roundHalfAway(twips * dpiX() / kTwipsPerInch); }
int toPixelsY(int twips) { return roundHalfAway(twips * dpiY() / kTwipsPerInch); }
int fromPixelsX(int pixels) { return roundHalfAway(pixels * kTwipsPerInch / dpiX()); }
int fromPixelsY(int pixels) { return roundHalfAway(pixels * kTwipsPerInch / dpiY()); }

QRect toPixels(int left, int top, int width, int height) {
    return QRect(toPixelsX(left), toPixelsY(top), toPixelsX(width), toPixelsY(height));
}

void place(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(toPixels(left, top, width, height));
}

void resizeClient(QWidget* w, int width, int height) {
    w->resize(toPixelsX(width), toPixelsY(height));
}

}  // namespace Twips
