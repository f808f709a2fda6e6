// The state of the serial link and the logger on the reader, owned by the
// communication folder; AppContext holds one (ctx.comm).
#pragma once

#include "core/records.h"

#include <QByteArray>

#include <array>
#include <cstdint>
#include <functional>

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

// How the link shows an answer: the received-data monitor names the mode
// ("Com:g_n_m"), and a data read (1,2) of a one- or a two-channel logger
// shows its progress; the port search shows none.
enum class Progress : int { OneChannel = 0, TwoChannels = 1, None = 9 };

// What a request expects back: its progress mode and, for a data read, the
// records the logger holds (the progress bar's maximum comes from them).
struct Expected {
    Progress progress = Progress::OneChannel;
    int records = 0;
};

// The store channels a read-out fills: logger channel 1 goes to first,
// logger channel 2 to second (0 for a one-channel logger).
struct Destinations {
    int first = 0;
    int second = 0;
};

struct CommState {
    // The outcome of the last exchange, or of the last job that ended.
    Exchange status = Exchange::Accepted;
    // A Cancel button pressed: a pending receive ends at once, the request
    // makes no further attempt.
    bool cancelRequested = false;
    QByteArray receiveBuffer;  // the last answer with its framing
    bool timeoutElapsed = false;
    // The frame last sent and how many of its characters have come back as
    // an echo so far (a reader may echo what it hears). The echo is kept
    // out of the answer; sentFrame.size() once the echo is over.
    QByteArray sentFrame;
    qsizetype echoMatched = 0;

    // What the link shows; empty = nothing. progress(maximum, value): the
    // progress bar of a data read (1,2). monitor(answer, group, number,
    // progress): every judged, non-empty answer in debug mode, for the
    // received-data monitor.
    std::function<void(int maximum, int value)> progress;
    std::function<void(const QByteArray& answer, int group, int number, Progress progress)> monitor;
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
