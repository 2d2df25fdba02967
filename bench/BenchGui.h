#pragma once

// What the benchmarks that draw windows share: a main that makes a QApplication on the
// offscreen platform before Google Benchmark runs, and a counter of paint events that shows a
// measured frame really painted.

#include "PaintCounter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QObject>

#include <benchmark/benchmark.h>

// Runs the posted work of frames (layout, then the repaint of the backing store, as the screen's
// next refreshes would) until `counter` has seen a paint after `before` of them; false when
// none came within `timeoutMs`, and the measured step then painted nothing.
inline bool frameUntilPainted(const PaintCounter &counter, int before, int timeoutMs = 1000)
{
    QElapsedTimer waited;
    waited.start();
    do {
        QCoreApplication::processEvents();
        if (counter.paints > before)
            return true;
    } while (waited.elapsed() < timeoutMs);
    return false;
}

#define CORVANE_BENCHMARK_MAIN_WITH_APPLICATION()                                                            \
    int main(int argc, char **argv)                                                                          \
    {                                                                                                        \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                                                  \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                                         \
        QApplication app(argc, argv);                                                                        \
        benchmark::Initialize(&argc, argv);                                                                  \
        if (benchmark::ReportUnrecognizedArguments(argc, argv))                                              \
            return 1;                                                                                        \
        benchmark::RunSpecifiedBenchmarks();                                                                 \
        benchmark::Shutdown();                                                                               \
        return 0;                                                                                            \
    }
