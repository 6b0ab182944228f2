#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>

// The main of a benchmark of windows: Qt's offscreen platform unless another is asked for, so
// the windows are built and painted without a display.
inline int RunOffscreenBenchmarks(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
