#pragma once

#include <QRect>

// Where the two frames and the pane go for a window of a given outer size, all in twips.
// The frames are placed in the client area, the pane inside fraOutput.
struct MainWindowLayout {
    static constexpr int kMinimumHeight = 7000;
    static constexpr int kMinimumFrameWidth = 9000;

    QRect fraSelectData;
    QRect fraOutput;
    QRect txtOutput;

    static MainWindowLayout forWindow(int windowWidth, int windowHeight);
};
