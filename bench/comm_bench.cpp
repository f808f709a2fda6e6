// The serial link against the line rate: one 1,2 exchange (the recorded
// values of a model-2 logger with 600 records, 38 blocks of 88 characters)
// with quillet-logger-sim --paced on a pseudo-terminal, through QtSerialPort
// and request() on the system clock.
//
// The bound is what a host that wastes nothing would need: the pauses
// before the frame's characters (11 × commandWait; the characters go out
// inside those pauses) plus the answer's characters at 4800 bit/s, 10 bits
// a character. time_over_bound = measured time ÷ bound.
#include "comm/link.h"
#include "comm/protocol.h"
#include "comm/serialport.h"
#include "core/context.h"
#include "support/simprocess.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>

using namespace quillet;

namespace {

constexpr int kRecords = 600;
constexpr int kFramePauses = 11;  // 10 characters, the pause before "," twice

void BM_PacedValueTransfer(benchmark::State& state) {
    fakes::SimProcess sim({"--model", "2", "--records", QString::number(kRecords), "--paced"});
    if (sim.devicePath().isEmpty()) {
        state.SkipWithError("quillet-logger-sim not built");
        return;
    }
    AppContext ctx;  // system clock, default timing (commandWait 10, readTimeout 1000)
    QtSerialPort port;
    port.setDevicePath(sim.devicePath());
    ctx.serial = &port;

    double ratio = 0, seconds = 0, characters = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        const Exchange result = request(ctx, Cmd::ReadValues, {}, {Progress::TwoChannels});
        seconds = timer.nsecsElapsed() / 1e9;
        characters = double(ctx.comm->receiveBuffer.size());
        if (result != Exchange::Accepted || characters != blockCount(kRecords, true) * kBlockLength) {
            state.SkipWithError("the transfer failed");
            return;
        }
        const double bound = kFramePauses * ctx.timing.commandWait / 1000.0 + characters * 10.0 / 4800.0;
        ratio = seconds / bound;
        state.SetIterationTime(seconds);
    }
    state.counters["time_over_bound"] = ratio;
    state.counters["characters"] = characters;
    state.counters["seconds"] = seconds;
}

}  // namespace

BENCHMARK(BM_PacedValueTransfer)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
