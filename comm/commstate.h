// The state of the serial link and the logger on the reader, owned by the
// communication folder; AppContext holds one (ctx.comm).
#pragma once

#include "core/records.h"

#include <QByteArray>

#include <array>
#include <cstdint>

namespace quillet {

// What one exchange with the reader came to, and so what a job made of
// exchanges (read-out, settings, usual communication) came to.
enum class Exchange : int16_t {
    Accepted = 0,
    Faulty = 1,  // a faulty answer, or a job that stopped (told already)
    NoAnswer = 2,
    Cancelled = 3,  // the user cancelled; nothing is told
    PortError = 4,  // the port could not be used; its run-time error was shown
};

struct CommState {
    // The outcome of the last exchange, or of the last job that ended.
    Exchange status = Exchange::Accepted;
    // A Cancel button pressed: a pending receive ends at once, the request
    // makes no further attempt.
    bool cancelRequested = false;
    // The run-time error number of the last PortError.
    int portError = 0;
    QByteArray receiveBuffer;  // the last answer with its framing
    bool timeoutElapsed = false;
    // The frame last sent and how many of its characters have come back as
    // an echo so far (a reader may echo what it hears). The echo is kept
    // out of the answer; sentFrame.size() once the echo is over.
    QByteArray sentFrame;
    qsizetype echoMatched = 0;
};

// The logger on the reader, filled by the identification (1,1) and the
// summary (1,4); lives until the next identification. A read-out stores
// ch[1] (and ch[2]) as they are.
struct PendingLogger {
    int16_t loggerModel = 0;  // 1..4, 0 = unsupported
    // Logger channels 1 and 2 ([0] unused); the fields the channels share
    // (numbers, start, interval, records) are in both.
    std::array<ChannelHeader, 3> ch{};
    bool intervalInSeconds = false;  // it records every 10..50 s
    int16_t rangeModeCode = 0;       // model 3
    int16_t recordLimit = 0;         // field + 1
    bool endlessFlag = false;        // model 4
    bool wrapFlag = false;           // model 4
    int16_t wrapPosition = 0;        // model 4, both flags set
};

}  // namespace quillet
