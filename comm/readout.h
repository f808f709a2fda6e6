// The logger read-out: identification (1,1) and summary (1,4) into
// pendingLogger, the parameter window that picks the destination channels,
// then the transfer of the recorded values (1,2) under a progress window
// into the channel store.
#pragma once

#include "comm/commstate.h"

#include <QString>

#include <cstdint>
#include <exception>
#include <functional>

namespace quillet {

struct AppContext;
struct ChannelStore;

// The two windows of a read-out. The program shows ReadoutParametersWindow and ProgressWindow;
// tests and the command-line tool answer without windows.
class ReadoutWindows {
public:
    virtual ~ReadoutWindows() = default;
    // The parameter window, modal, showing ctx.pendingLogger. Its OK (only
    // with at least one record) calls transfer with the chosen destination
    // channels, which returns when the transfer is over; its Cancel, and OK
    // with no record, set status to Faulty.
    virtual void showParameterWindow(AppContext& ctx, const std::function<void(Destinations)>& transfer) = 0;
    // The progress window, modal; its first timer tick runs work. Its
    // Cancel calls requestCancel (comm/link.h). Closes when work
    // returns.
    virtual void runWithProgress(AppContext& ctx, const std::function<void()>& work) = 0;
};

// false when all eight channels are in use, or when forTwo is set, the
// pending logger has two channels and seven or more are in use.
bool hasFreeChannel(const AppContext& ctx, bool forTwo);

// What asking the logger on the reader who it is came to.
enum class Identified {
    Logger,       // identification and summary read into ctx.pendingLogger
    NoAnswer,     // a request stayed unanswered (nothing told)
    Faulty,       // a faulty answer (nothing told)
    Unsupported,  // an answer no model gives ("対応していないロガーです。" told)
    PortError,    // the port could not be used (its run-time error told)
    Cancelled,
};

// Step one of a read-out: identification (1,1) and summary (1,4) into
// ctx.pendingLogger, each request with its attempts, the main window busy
// meanwhile. Tells only what the port and the parser tell.
Identified identifyLogger(AppContext& ctx);

// What transferring a logger's records came to.
enum class Transfer {
    Stored,     // the destination channels hold the logger's channels
    NoAnswer,   // 1,2 unanswered (nothing told)
    Faulty,     // 1,2 answered faultily (nothing told)
    Failed,     // a block framed wrongly, or no place to put the records (nothing told)
    PortError,  // its run-time error told
    Cancelled,
};

// Step two: ctx.pendingLogger's channel headers into the destination
// channels and its records (1,2) into their samples; the integrated value
// where the program sums it. On any failure the destination channels are
// released again and the store is as before. Tells nothing.
Transfer transferReadout(AppContext& ctx, Destinations to);

// The whole command "ロガー読み出し": the two steps with the parameter and
// progress windows between them and the messages under "ロガー読み出し".
// Returns true when channels were filled; the caller brings the commands
// that depend on data up to date.
bool readLogger(AppContext& ctx, ReadoutWindows& windows);

// The message of a failed request: "読み取りエラーです。" or "応答がありません。"
// under "ロガー読み出し".
void showReadFailure(AppContext& ctx, Exchange result);

// What a read-out did not expect: the port closed and run-time error 7 (out
// of memory) or 51 (an internal fault) shown under "ロガー読み出し".
void showReadoutFault(AppContext& ctx, const std::exception_ptr& fault);

// Integrated value of models 1 and 2 for channel ch: the sum of the tenths
// beyond the reference on its side, times the interval in hours, floored,
// then divided by 10 toward zero.
int32_t integratedValue(const ChannelStore& s, int ch);

}  // namespace quillet
