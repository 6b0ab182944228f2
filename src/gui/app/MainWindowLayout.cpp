#include "gui/app/MainWindowLayout.h"

#include <algorithm>

MainWindowLayout MainWindowLayout::forWindow(int windowWidth, int windowHeight) {
    MainWindowLayout l;
    const int selectLeft = 100;
    const int selectTop = 100;
    const int selectWidth = std::max(windowWidth - selectLeft - 200, kMinimumFrameWidth);
    const int selectHeight = 2220;
    l.fraSelectData = QRect(selectLeft, selectTop, selectWidth, selectHeight);

    const int outputTop = selectHeight + selectTop + 100;
    const int outputHeight = std::max(windowHeight - outputTop - 1200, 0);
    l.fraOutput = QRect(selectLeft, outputTop, selectWidth, outputHeight);

    const int paneLeft = l.fraOutput.left() + 100;
    const int paneTop = 300;
    const int paneWidth = std::max(l.fraOutput.width() - paneLeft - 200, 0);
    const int paneHeight = std::max(l.fraOutput.height() - paneTop, 0);
    l.txtOutput = QRect(paneLeft, paneTop, paneWidth, paneHeight);
    return l;
}
