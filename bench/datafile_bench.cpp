// Data files with a full store: eight channels of 12000 samples each, saved,
// opened and exported through the file dispatcher as the menu commands run
// it (file names from a scripted dialog, every question answered OK).
#include "bench/storecontext.h"
#include "core/context.h"
#include "core/store.h"
#include "datafile/datafile.h"
#include "datafile/fileops.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace quillet;

void BM_Save(benchmark::State& state) {
    bench::FullStoreContext f;
    for (auto _ : state) {
        if (runFileOperation(f.ctx, kOverwriteSave) != FileOutcome::Done) state.SkipWithError("save failed");
    }
    state.SetBytesProcessed(state.iterations() * ql6Bytes(f.ctx.store).size());
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);

void BM_Open(benchmark::State& state) {
    bench::FullStoreContext f;
    f.save();
    const int16_t last = f.ctx.store.samples[kChannels][kMaxSamples];
    for (auto _ : state) {
        f.ctx.store.samples[kChannels][kMaxSamples] = 0;
        openDataFile(f.ctx);
        if (f.ctx.store.channelsInUse != kChannels || f.ctx.store.samples[kChannels][kMaxSamples] != last)
            state.SkipWithError("open failed");
    }
    state.SetBytesProcessed(state.iterations() * ql6Bytes(f.ctx.store).size());
}
BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond);

void BM_CsvExport(benchmark::State& state) {
    bench::FullStoreContext f;
    f.dialogs.name = f.dir.path() + QStringLiteral("/full.csv");
    qint64 bytes = 0;
    for (auto _ : state) {
        if (runFileOperation(f.ctx, kCsvExport) != FileOutcome::Done) state.SkipWithError("export failed");
    }
    bytes = exportBytes(f.ctx, kCsvExport).size();
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["rows"] = f.ctx.store.rowCount;
}
BENCHMARK(BM_CsvExport)->Unit(benchmark::kMillisecond);

// The export's text alone, without the file.
void BM_CsvExportBytes(benchmark::State& state) {
    bench::FullStoreContext f;
    for (auto _ : state) benchmark::DoNotOptimize(exportBytes(f.ctx, kCsvExport));
}
BENCHMARK(BM_CsvExportBytes)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
