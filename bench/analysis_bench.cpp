// The audit figures of a full store (8 channels × 12000 samples) against
// what the user waits for anyway: opening the same data file. Target: the
// figures cost at most twice the open (ratio printed as a counter).
#include "analysis/figures.h"
#include "bench/storecontext.h"
#include "core/context.h"
#include "datafile/datafile.h"
#include "datafile/fileops.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace quillet;

void BM_FiguresOverOpen(benchmark::State& state) {
    bench::FullStoreContext f;
    f.save();
    qint64 openNs = 0;
    qint64 figuresNs = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        openDataFile(f.ctx);
        openNs += timer.nsecsElapsed();
        timer.restart();
        benchmark::DoNotOptimize(channelFigures(f.ctx.store, wholeAxis(f.ctx.store)));
        figuresNs += timer.nsecsElapsed();
    }
    state.counters["figures/open"] = double(figuresNs) / double(std::max<qint64>(1, openNs));
}
BENCHMARK(BM_FiguresOverOpen)->Unit(benchmark::kMillisecond);

void BM_Figures(benchmark::State& state) {
    bench::FullStoreContext f;
    f.save();
    for (auto _ : state) benchmark::DoNotOptimize(channelFigures(f.ctx.store, wholeAxis(f.ctx.store)));
}
BENCHMARK(BM_Figures)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
