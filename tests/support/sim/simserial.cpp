#include "support/simserial.h"

#include "core/catalog.h"
#include "tools/sim/device.h"

#include <climits>
#include <cmath>

namespace quillet::fakes {

void DeviceLine::receive(const QByteArray& fromHost) { device_.receive(fromHost); }
QByteArray DeviceLine::take(int maxBytes) { return device_.take(maxBytes); }
int DeviceLine::pending() const { return device_.pending(); }

void ScriptedLine::receive(const QByteArray& fromHost) {
    received += fromHost;
    for (char c : fromHost) {
        if (c != '\n') continue;
        ++frames;
        if (!answers.empty()) {
            out_ += answers.front();
            answers.pop_front();
        }
    }
}

QByteArray ScriptedLine::take(int maxBytes) {
    const QByteArray t = out_.left(maxBytes);
    out_.remove(0, t.size());
    return t;
}

SimSerial::SimSerial(Clock& clock) : clock_(clock) {}

SimSerial::SimSerial(Clock& clock, LineEnd& line) : clock_(clock) { attach(1, line); }

void SimSerial::attach(int port, LineEnd& line) { ports_[port] = {Kind::line, &line}; }
void SimSerial::setBusy(int port) { ports_[port] = {Kind::busy, nullptr}; }
void SimSerial::setDenied(int port) { ports_[port] = {Kind::denied, nullptr}; }
void SimSerial::setSilent(int port) { ports_[port] = {Kind::silent, nullptr}; }

LineEnd* SimSerial::line() {
    auto it = ports_.find(portNumber_);
    return it == ports_.end() ? nullptr : it->second.line;
}

PortFault SimSerial::open() {
    if (open_) return PortFault::InUse;
    auto it = ports_.find(portNumber_);
    if (portNumber_ < 1 || portNumber_ > 16 || it == ports_.end()) return PortFault::InvalidPort;
    if (it->second.kind == Kind::busy) return PortFault::InUse;
    if (it->second.kind == Kind::denied) return PortFault::Denied;
    open_ = true;
    ++opens;
    in_.clear();
    since_ = clock_.nowMs();
    credit_ = 0;
    return PortFault::None;
}

void SimSerial::close() {
    if (!open_) return;
    open_ = false;
    in_.clear();
    // What the device still had to say is lost on a closed port.
    if (LineEnd* l = line()) l->take(INT_MAX);
}

// Moves what the line has delivered by now into the input buffer.
void SimSerial::pump() {
    LineEnd* l = line();
    const qint64 now = clock_.nowMs();
    if (!open_ || !l || l->pending() == 0) {
        since_ = now;
        credit_ = 0;
        return;
    }
    if (!paced) {
        if (instant || now > since_) in_ += l->take(INT_MAX);
        return;
    }
    credit_ += double(now - since_) * kCharsPerMs;
    since_ = now;
    const int n = int(std::floor(credit_));
    if (n <= 0) return;
    const QByteArray got = l->take(n);
    in_ += got;
    credit_ -= got.size();
    if (l->pending() == 0) credit_ = 0;
}

int SimSerial::bytesWaiting() {
    pump();
    return open_ ? int(in_.size()) : 0;
}

QByteArray SimSerial::readAll() {
    pump();
    QByteArray r;
    r.swap(in_);
    return r;
}

PortFault SimSerial::writeChar(char c) {
    if (!open_) return PortFault::NotOpen;
    pump();
    writes.push_back({clock_.nowMs(), c});
    if (echo) in_ += c;
    if (LineEnd* l = line()) {
        const bool wasIdle = l->pending() == 0;
        l->receive(QByteArray(1, c));
        if (wasIdle) {
            since_ = clock_.nowMs();
            credit_ = 0;
        }
    }
    return PortFault::None;
}

void SimSerial::clearInput() {
    pump();
    in_.clear();
}

}  // namespace quillet::fakes
