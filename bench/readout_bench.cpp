// A paced read-out of a full model-2 logger (6,000 records of temperature and
// humidity) through the whole read-out path (identification, summary,
// transfer, store) over a real pseudo-terminal, against the line-rate bound:
// only the characters on the wire, sent and received, at 4800 bit/s (10 bits
// a character). The pauses between command characters are part of the
// measured time, not of the bound. Each repetition is reported (about 70 s
// each): five unless --benchmark_repetitions=N says otherwise.
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

#include <vector>

using namespace quillet;

namespace {

// Characters of one request frame without data: STX, " 1, n,", ETX, CR, LF.
constexpr int kFrameChars = 10;
constexpr int kRecords = 6000;
constexpr int kBaud = 4800;

void BM_PacedReadout(benchmark::State& state) {
    const int records = kRecords;
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
        ctx.comm->progress = [&](int, int value) { received = value; };
        fakes::ChannelsABWindows windows;
        QElapsedTimer timer;
        timer.start();
        const bool ok = readLogger(ctx, windows);
        const double seconds = timer.nsecsElapsed() / 1e9;
        if (!ok || ctx.store.ch[1].sampleCount != records) {
            state.SkipWithError("read-out failed");
            return;
        }
        // Sent: three frames; received: the simulator's three answers as
        // it puts them on the line.
        sim::Config model2;
        model2.model = 2;
        model2.records = records;
        const sim::Device same(model2);
        const qint64 chars = 3 * kFrameChars + same.identificationAnswer().size() + same.summaryAnswer().size() +
                             same.valuesAnswer().size();
        if (received != same.valuesAnswer().size()) {
            state.SkipWithError("the transfer's size differs from the simulator's answer");
            return;
        }
        ratio = seconds / (double(chars) * 10.0 / kBaud);
        state.SetIterationTime(seconds);
        state.counters["chars"] = double(chars);
    }
    state.counters["time_over_bound"] = ratio;
}

}  // namespace

// One read-out per repetition, so that every repetition's ratio is printed.
BENCHMARK(BM_PacedReadout)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // Five repetitions by default; a later --benchmark_repetitions wins.
    std::vector<char*> args(argv, argv + argc);
    char fiveRepetitions[] = "--benchmark_repetitions=5";
    args.insert(args.begin() + 1, fiveRepetitions);
    int count = int(args.size());
    args.push_back(nullptr);
    benchmark::Initialize(&count, args.data());
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
