// The main() of a benchmark that paints: offscreen unless a platform is
// chosen, the benchmarks run inside App (QGuiApplication or QApplication),
// and `beforeExit` tears down what must go before App does.
#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <benchmark/benchmark.h>

#include <functional>

namespace quillet::bench {

template <class App>
int runPaintingBenchmarks(int argc, char** argv, const std::function<void()>& beforeExit = {}) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    App app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (beforeExit) beforeExit();
    return 0;
}

}  // namespace quillet::bench
