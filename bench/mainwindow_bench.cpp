// Opening a full data file (8 channels × 12000 samples) and refreshing the
// main window's grids, against the time it takes only to read the file's
// bytes. The counter "vs_read" is the open-and-refresh time divided by the
// read time, both on the wall clock; "vs_read_cpu" the same on the CPU
// clock, which other programs on a busy machine disturb less.
#include "bench/guimain.h"
#include "core/context.h"
#include "core/maingrid.h"
#include "core/startup.h"
#include "core/store.h"
#include "core/ui/mainwindow.h"
#include "datafile/filebuilder.h"
#include "datafile/fileops.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <memory>
#include <vector>

using namespace quillet;

namespace {

// Seconds of CPU time of the process (system time of its calls included).
double cpuNow() { return double(std::clock()) / CLOCKS_PER_SEC; }

struct Fixture {
    QTemporaryDir dir;
    QString path;
    AppContext ctx;
    std::unique_ptr<MainWindow> window;

    Fixture() {
        startUp(ctx, buildFolders(dir.path() + "/appdata", dir.path() + "/documents", dir.path() + "/program"));
        std::vector<filetest::Block> blocks;
        for (int ch = 1; ch <= kChannels; ++ch) {
            filetest::Block b;
            b.code = 1 * 8 + ch;
            b.cardNo = ch;
            b.samples.resize(kMaxSamples);
            for (int i = 0; i < kMaxSamples; ++i) b.samples[size_t(i)] = 200 + (i * 7 + ch) % 90 - 45;
            blocks.push_back(b);
        }
        path = dir.path() + "/full.ql6";
        filetest::writeBytes(path, filetest::fileBytes(blocks));
        window = std::make_unique<MainWindow>(ctx);
        window->show();
        QApplication::processEvents();
    }
    ~Fixture() { window.reset(); }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

// Median times of reading the file's bytes, in seconds: wall and CPU.
struct ReadTimes {
    double wall, cpu;
};
ReadTimes readSeconds() {
    static const ReadTimes times = [] {
        std::vector<double> wall, cpu;
        for (int i = 0; i < 51; ++i) {
            QElapsedTimer timer;
            timer.start();
            const double c0 = cpuNow();
            QFile f(fixture().path);
            f.open(QIODevice::ReadOnly);
            QByteArray bytes = f.readAll();
            benchmark::DoNotOptimize(bytes.data());
            cpu.push_back(cpuNow() - c0);
            wall.push_back(double(timer.nsecsElapsed()) * 1e-9);
        }
        std::nth_element(wall.begin(), wall.begin() + 25, wall.end());
        std::nth_element(cpu.begin(), cpu.begin() + 25, cpu.end());
        return ReadTimes{wall[25], cpu[25]};
    }();
    return times;
}

// The texts the grids show on one screen: 20 rows of the data grid, its
// header and the statistics grid.
void fetchVisibleTexts(MainWindow& w) {
    for (int col = 0; col < kGridColumns; ++col) {
        benchmark::DoNotOptimize(w.gridModel->headerData(col, Qt::Horizontal, Qt::DisplayRole));
        for (int row = 0; row < kVisibleRows; ++row)
            benchmark::DoNotOptimize(w.gridModel->index(row, col).data(Qt::DisplayRole));
    }
    for (int row = 0; row < kStatsRows; ++row)
        for (int col = 0; col < kStatsColumns; ++col)
            benchmark::DoNotOptimize(w.pgridModel->index(row, col).data(Qt::DisplayRole));
}

void BM_ReadFileBytes(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        QFile file(f.path);
        file.open(QIODevice::ReadOnly);
        QByteArray bytes = file.readAll();
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(state.iterations() * QFile(f.path).size());
}
BENCHMARK(BM_ReadFileBytes)->Unit(benchmark::kMicrosecond);

// Open as the File menu does (minus the dialog), rebuild the axis, refill
// the grids and compute what one screen shows.
void BM_OpenAndRefresh(benchmark::State& state) {
    Fixture& f = fixture();
    const ReadTimes read = readSeconds();
    double total = 0, cpu = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        const double c0 = cpuNow();
        clearAllChannels(f.ctx);
        loadDataFile(f.ctx, f.path);
        rebuildAxisAndDisplay(f.ctx);
        f.ctx.view->enableAllCommands();
        fetchVisibleTexts(*f.window);
        cpu += cpuNow() - c0;
        total += double(timer.nsecsElapsed()) * 1e-9;
    }
    if (f.ctx.store.channelsInUse != kChannels || f.ctx.store.rowCount != kMaxSamples)
        state.SkipWithError("the file did not load completely");
    state.counters["vs_read"] = total / double(state.iterations()) / read.wall;
    state.counters["vs_read_cpu"] = cpu / double(state.iterations()) / read.cpu;
}
BENCHMARK(BM_OpenAndRefresh)->Unit(benchmark::kMicrosecond);

// The refresh alone, painted: what the user waits for after any change.
void BM_RefreshAndPaint(benchmark::State& state) {
    Fixture& f = fixture();
    loadDataFile(f.ctx, f.path);
    rebuildAxisAndDisplay(f.ctx);
    const double read = readSeconds().wall;
    double total = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        f.window->refreshDisplay();
        QPixmap shot = f.window->grab();
        benchmark::DoNotOptimize(shot.cacheKey());
        total += double(timer.nsecsElapsed()) * 1e-9;
    }
    state.counters["vs_read"] = total / double(state.iterations()) / read;
}
BENCHMARK(BM_RefreshAndPaint)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return quillet::bench::runPaintingBenchmarks<QApplication>(argc, argv, [] { fixture().window.reset(); });
}
