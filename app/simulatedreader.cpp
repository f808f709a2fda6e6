#include "app/simulatedreader.h"

#include "tools/sim/device.h"

#include <algorithm>
#include <utility>

namespace quillet {

SimulatedReaderPort::SimulatedReaderPort(sim::Device& device, Clock& clock, ReaderManner manner,
                                         std::function<void(int)> sleep)
    : device_(device), clock_(clock), manner_(manner), sleep_(std::move(sleep)) {}

PortFault SimulatedReaderPort::open() {
    if (portNumber() != 1) return PortFault::InvalidPort;
    if (open_) return PortFault::InUse;
    open_ = true;
    return PortFault::None;
}

void SimulatedReaderPort::pump() {
    const qint64 now = clock_.nowMs();
    if (now < holdUntilMs_ || device_.pending() == 0) return;
    if (!manner_.paced) {
        input_ += device_.take(device_.pending());
        return;
    }
    const int64_t nowNs = now * 1'000'000;
    while (device_.pending() > 0 && pacer_.due(nowNs) <= nowNs) {
        input_ += device_.take(1);
        pacer_.sent();
    }
}

int SimulatedReaderPort::bytesWaiting() {
    pump();
    return int(input_.size());
}

QByteArray SimulatedReaderPort::readAll() {
    pump();
    return std::exchange(input_, {});
}

void SimulatedReaderPort::clearInput() {
    pump();
    input_.clear();
}

PortFault SimulatedReaderPort::writeChar(char c) {
    if (!open_) return PortFault::NotOpen;
    pump();
    const int before = device_.requestCount();
    device_.receive(QByteArray(1, c));
    if (manner_.echo) input_ += c;
    if (device_.requestCount() != before) {
        // A new command: the reader's pause, then a new run at the line's pace.
        holdUntilMs_ = clock_.nowMs() + manner_.delayMs;
        pacer_.idle();
    }
    return PortFault::None;
}

void SimulatedReaderPort::waitForInput(int maxMs) {
    if (!sleep_ || bytesWaiting() > 0) return;
    const qint64 now = clock_.nowMs();
    int ms = maxMs;
    if (now < holdUntilMs_)
        ms = int(std::min<qint64>(holdUntilMs_ - now, maxMs));
    else if (manner_.paced && device_.pending() > 0)
        ms = int(std::min<int64_t>((pacer_.due(now * 1'000'000) - now * 1'000'000) / 1'000'000 + 1, maxMs));
    if (ms > 0) sleep_(ms);
}

}  // namespace quillet
