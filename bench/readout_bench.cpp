// A paced read-out of a model-2 logger with 600 records through the whole
// read-out path (identification, summary, transfer, store) over a real
// pseudo-terminal, against the line-rate bound: every character sent and
// received at 4800 bit/s (10 bits a character) plus the command pauses.
#include "comm/readout.h"
#include "comm/serialport.h"
#include "core/context.h"
#include "core/startup.h"
#include "support/readoutwindows.h"
#include "support/simprocess.h"
#include "tools/sim/device.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace quillet;

namespace {

// Characters of one request frame without data (10), and the pauses before
// them (11: the one before the closing "," is taken twice).
constexpr int kFrameChars = 10;
constexpr int kFramePauses = 11;

void BM_PacedReadout(benchmark::State& state) {
    const int records = 600;
    fakes::SimProcess sim({"--model", "2", "--records", QString::number(records), "--paced"});
    if (sim.devicePath().isEmpty()) {
        state.SkipWithError("quillet-logger-sim not built");
        return;
    }
    QTemporaryDir dir;
    double ratio = 0;
    for (auto _ : state) {
        AppContext ctx;
        startUp(ctx, buildFolders(dir.path() + "/a", dir.path() + "/d", dir.path()));
        QtSerialPort port;
        port.setDevicePath(sim.devicePath());
        ctx.serial = &port;
        int received = 0;
        ctx.commProgress = [&](int, int value) { received = value; };
        fakes::ChannelsABWindows windows;
        QElapsedTimer timer;
        timer.start();
        const bool ok = readLogger(ctx, windows);
        const double seconds = timer.nsecsElapsed() / 1e9;
        if (!ok || ctx.store.ch[1].sampleCount != records) {
            state.SkipWithError("read-out failed");
            return;
        }
        // Received: identification (71), summary (answer length as sent),
        // the blocks; sent: three frames.
        sim::Config model2;
        model2.model = 2;
        model2.records = records;
        const sim::Device same(model2);
        const int identification = int(same.identificationAnswer().size());
        const int summary = int(same.summaryAnswer().size());
        const int chars = 3 * kFrameChars + identification + summary + received;
        const double bound = chars * 10.0 / 4800.0 + 3 * kFramePauses * ctx.timing.commandWait / 1000.0;
        ratio = seconds / bound;
        state.SetIterationTime(seconds);
    }
    state.counters["time_over_bound"] = ratio;
}

}  // namespace

BENCHMARK(BM_PacedReadout)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
