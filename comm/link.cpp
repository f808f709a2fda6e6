#include "comm/link.h"

#include "comm/protocol.h"
#include "comm/serialport.h"
#include "core/catalog.h"
#include "core/context.h"

#include <algorithm>

namespace quillet {
namespace {

// Longest single wait handed to the port while the line is silent; the loop
// still processes events at least this often.
constexpr int kIdleSliceMs = 5;

constexpr int kMonitorLimit = 35000;

// No answer is longer than the values of a full channel store (12000
// records of two channels in 88-character blocks); a line that keeps
// talking past that is not a reader answering, and the receive stops.
constexpr qsizetype kLongestAnswer = qsizetype(kMaxSamples / kRecordsPerBlockTwoChannels + 1) * kBlockLength;

const QByteArray& etxCrLf() {
    static const QByteArray s = QByteArray(1, kEtx) + kCr + kLf;
    return s;
}
const QByteArray& crLf() {
    static const QByteArray s = QByteArray(1, kCr) + kLf;
    return s;
}
const QByteArray& ackCrLf() {
    static const QByteArray s = QByteArray(1, kAck) + kCr + kLf;
    return s;
}
const QByteArray& nakCrLf() {
    static const QByteArray s = QByteArray(1, kNak) + kCr + kLf;
    return s;
}

void closePort(AppContext& ctx) {
    if (ctx.serial && ctx.serial->isOpen()) ctx.serial->close();
}

Exchange judge(const QByteArray& answer, int group) {
    if (answer.isEmpty()) return Exchange::NoAnswer;
    if (group == 1)
        return answer.startsWith(kStx) && answer.endsWith(etxCrLf()) ? Exchange::Accepted : Exchange::Faulty;
    return answer == ackCrLf() ? Exchange::Accepted : Exchange::Faulty;
}

// The receive timer: a deadline on the clock. It has fired when the
// deadline has passed or when a Cancel set timeoutElapsed.
class ReceiveTimer {
public:
    ReceiveTimer(AppContext& ctx, int intervalMs) : ctx_(ctx), interval_(std::max(intervalMs, 0)) {}
    void restart() {
        ctx_.comm->timeoutElapsed = false;
        deadline_ = ctx_.clock->nowMs() + interval_;
    }
    bool fired() {
        if (!ctx_.comm->timeoutElapsed && ctx_.clock->nowMs() >= deadline_) ctx_.comm->timeoutElapsed = true;
        return ctx_.comm->timeoutElapsed;
    }
    int remainingMs() const { return int(std::max<qint64>(deadline_ - ctx_.clock->nowMs(), 0)); }

private:
    AppContext& ctx_;
    int interval_;
    qint64 deadline_ = 0;
};

// What arrives while a frame is being sent cannot be an answer yet (the
// reader answers a frame after its LF): it is dropped, and the characters
// that echo the frame so far are counted.
void dropBeforeLf(CommState& comm, SerialPort& port) {
    if (port.bytesWaiting() <= 0) return;
    const QByteArray& frame = comm.sentFrame;
    for (char c : port.readAll()) {
        if (comm.echoMatched < frame.size() && c == frame[comm.echoMatched])
            ++comm.echoMatched;
        else
            comm.echoMatched = !frame.isEmpty() && c == frame[0] ? 1 : 0;
    }
}

// Input after the LF: the rest of an echo under way is dropped, every
// other character belongs to the answer. A reader that echoed nothing
// while the frame went out does not echo.
QByteArray withoutEcho(CommState& comm, const QByteArray& input) {
    const QByteArray& frame = comm.sentFrame;
    qsizetype i = 0;
    if (comm.echoMatched > 0) {
        while (i < input.size() && comm.echoMatched < frame.size() && input[i] == frame[comm.echoMatched]) {
            ++i;
            ++comm.echoMatched;
        }
    }
    if (i < input.size()) comm.echoMatched = frame.size();
    return i == 0 ? input : input.mid(i);
}

}  // namespace

PortFault transmitFrame(AppContext& ctx, int group, int number, const QByteArray& data) {
    if (!ctx.serial) return PortFault::InvalidPort;
    const QByteArray frame = commandFrame(group, number, data);
    // Without data the closing "," follows the number digit at index 5.
    const int closingComma = data.isEmpty() ? 6 : -1;
    ctx.comm->sentFrame = frame;
    ctx.comm->echoMatched = 0;
    for (int i = 0; i < frame.size(); ++i) {
        pauseMs(ctx, ctx.timing.commandWait);
        if (i == closingComma) pauseMs(ctx, ctx.timing.commandWait);
        dropBeforeLf(*ctx.comm, *ctx.serial);
        if (const PortFault fault = ctx.serial->writeChar(frame[i]); fault != PortFault::None) return fault;
    }
    return PortFault::None;
}

PortFault openAndTransmit(AppContext& ctx, int group, int number, const QByteArray& data) {
    if (!ctx.serial) return PortFault::InvalidPort;
    PortFault fault = ctx.serial->isOpen() ? PortFault::None : ctx.serial->open();
    if (fault == PortFault::None) {
        ctx.serial->clearInput();
        fault = transmitFrame(ctx, group, number, data);
    }
    if (fault != PortFault::None) closePort(ctx);
    return fault;
}

namespace {

void reportPortFault(AppContext& ctx, PortFault fault, int group, int captionNo = 0) {
    showRuntimeError(ctx, portErrorNumber(fault), captionText(captionNo > 0 ? captionNo : group == 1 ? 2 : 1), kOkOnly);
    ctx.comm->status = Exchange::PortError;
}

}  // namespace

PortFault sendCommand(AppContext& ctx, int group, int number, const QByteArray& data) {
    const PortFault fault = openAndTransmit(ctx, group, number, data);
    if (fault != PortFault::None) reportPortFault(ctx, fault, group);
    return fault;
}

int dataReadMaximum(Expected expected) {
    const int perBlock = expected.progress == Progress::TwoChannels ? 16 : 32;
    if (expected.records < 0) return kBlockLength;
    return (expected.records / perBlock + 1) * kBlockLength;
}

Exchange receiveAnswer(AppContext& ctx, int group, int number, Expected expected) {
    CommState& comm = *ctx.comm;
    comm.receiveBuffer.clear();
    ReceiveTimer timer(ctx, ctx.timing.readTimeout);

    // A data read shows its progress: the expected number of characters
    // (also in the usual communication's window: a full logger takes over a
    // minute).
    const bool dataRead = group == 1 && number == 2 && expected.progress != Progress::None;
    int maximum = 0;
    if (dataRead) {
        maximum = dataReadMaximum(expected);
        if (comm.progress) comm.progress(maximum, 0);
    }

    timer.restart();
    Exchange result = Exchange::NoAnswer;
    bool cancelled = false;
    bool overlong = false;
    SerialPort* port = ctx.serial;
    for (;;) {
        ctx.clock->processEvents();
        if (comm.cancelRequested) {
            cancelled = true;
            break;
        }
        if (!port || port->bytesWaiting() <= 0) {
            if (timer.fired()) break;
            if (port) port->waitForInput(std::min(timer.remainingMs(), kIdleSliceMs));
            continue;
        }
        // Read until a line is complete or the timer fires.
        for (;;) {
            comm.receiveBuffer += withoutEcho(comm, port->readAll());
            ctx.clock->processEvents();
            if (comm.receiveBuffer.contains(kLf) || timer.fired() || comm.receiveBuffer.size() > kLongestAnswer) break;
            if (port->bytesWaiting() <= 0) port->waitForInput(std::min(timer.remainingMs(), kIdleSliceMs));
        }
        if (dataRead && comm.receiveBuffer.startsWith(kStx) && comm.progress)
            comm.progress(maximum, int(std::min<qsizetype>(comm.receiveBuffer.size(), maximum)));
        if (comm.cancelRequested) {
            cancelled = true;
            break;
        }
        if (comm.receiveBuffer.size() > kLongestAnswer) {
            overlong = true;
            break;
        }
        timer.restart();
        if (group == 1 ? comm.receiveBuffer.endsWith(etxCrLf()) : comm.receiveBuffer.endsWith(crLf())) break;
        if (timer.fired()) break;
    }

    if (cancelled) {
        result = Exchange::Cancelled;
    } else {
        result = overlong ? Exchange::Faulty : judge(comm.receiveBuffer, group);
        pauseMs(ctx, ctx.debug.waitAfterCommandRead);
        if (ctx.debug.debugMode && !comm.receiveBuffer.isEmpty() && comm.monitor)
            comm.monitor(comm.receiveBuffer, group, number, expected.progress);
    }
    closePort(ctx);
    return result;
}

Exchange request(AppContext& ctx, int group, int number, const QByteArray& data, Expected expected, int attempts,
                 int portErrorCaption) {
    CommState& comm = *ctx.comm;
    Exchange result = Exchange::NoAnswer;
    bool opened = false;  // an earlier attempt had the port
    for (int i = 0; i < std::max(attempts, 1); ++i) {
        comm.cancelRequested = false;
        if (const PortFault fault = openAndTransmit(ctx, group, number, data); fault != PortFault::None) {
            // A device that vanished after an earlier attempt had it (a
            // reader unplugged in the middle of a transfer) is a failed
            // read, not an invalid port.
            if (opened && fault == PortFault::InvalidPort) {
                result = Exchange::Faulty;
                break;
            }
            reportPortFault(ctx, fault, group, portErrorCaption);
            return Exchange::PortError;
        }
        opened = true;
        if (comm.cancelRequested) {
            // Cancelled while the frame was going out.
            closePort(ctx);
            result = Exchange::Cancelled;
        } else {
            result = receiveAnswer(ctx, group, number, expected);
            // A Cancel pressed in the pause after the answer was judged
            // ends the request as well: no further attempt.
            if (result != Exchange::Accepted && comm.cancelRequested) result = Exchange::Cancelled;
        }
        if (result == Exchange::Accepted || result == Exchange::Cancelled) break;
    }
    comm.status = result;
    return result;
}

void pauseMs(AppContext& ctx, int ms) {
    const qint64 start = ctx.clock->nowMs();
    while (ctx.clock->nowMs() - start < ms) ctx.clock->processEvents();
}

void requestCancel(AppContext& ctx) {
    ctx.comm->cancelRequested = true;
    ctx.comm->timeoutElapsed = true;
}

void appendMonitorText(QString& text, const QByteArray& answer, int group, int number, Progress progress) {
    if (answer.isEmpty()) return;
    if (text.size() > kMonitorLimit) text.clear();
    const QString head = QStringLiteral("Com:%1_%2_%3   ").arg(group).arg(number).arg(int(progress));
    if (answer == ackCrLf()) {
        text += head + QStringLiteral("ACK\r\n");
    } else if (answer == nakCrLf()) {
        text += head + QStringLiteral("NAK\r\n");
    } else {
        QString line;
        for (char c : answer) {
            switch (c) {
            case kStx: line += QStringLiteral("STX"); break;
            case kEtx: line += QStringLiteral("ETX"); break;
            case kEtb: line += QStringLiteral("ETB"); break;
            case kCr: line += QStringLiteral("CR"); break;
            case kLf: line += QStringLiteral("LF"); break;
            default: line += QChar::fromLatin1(c); break;
            }
        }
        text += line + QStringLiteral("\r\n");
    }
}

}  // namespace quillet
