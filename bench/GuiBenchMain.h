// The main of the benchmarks that need a GUI application (the clock window, its dialogs): no
// screen unless the caller names a platform. `atExit` runs before the application goes, for
// fixtures that hold its windows.
#pragma once

#include <QApplication>
#include <benchmark/benchmark.h>

#include <functional>

inline int RunGuiBenchmarks(int argc, char** argv, const std::function<void()>& atExit = {})
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (atExit)
        atExit();
    return 0;
}
