// The logger read-out: identification (1,1) and summary (1,4) into
// pendingLogger, the parameter window that picks the destination channels,
// then the transfer of the recorded values (1,2) under a progress window
// into the channel store.
#pragma once

#include "comm/commstate.h"

#include <QString>

#include <cstdint>
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
    // with at least one record) sets ctx.destinationChannel and calls
    // transfer, which returns when the transfer is over; its Cancel, and OK
    // with no record, set status to Faulty.
    virtual void showParameterWindow(AppContext& ctx, const std::function<void()>& transfer) = 0;
    // The progress window, modal; its first timer tick runs work. Its
    // Cancel calls requestCancel (comm/link.h). Closes when work
    // returns.
    virtual void runWithProgress(AppContext& ctx, const std::function<void()>& work) = 0;
};

// false when all eight channels are in use, or when forTwo is set, the
// pending logger has two channels and seven or more are in use.
bool hasFreeChannel(const AppContext& ctx, bool forTwo);

// The whole command "ロガー読み出し". Returns true when channels were filled.
bool readLogger(AppContext& ctx, ReadoutWindows& windows);

// Copies pendingLogger into the destination channels and transfers the
// values; on failure the destination channels are released again.
// `failure`: see readValues.
bool storeReadout(AppContext& ctx, Exchange* failure = nullptr);

// The transfer of the values (1,2) into the destination channels. When the
// reader's answer fails, "読み取りエラーです。" (1) or "応答がありません。"
// (2) is shown at once, or, with `failure` given, its result is left there
// for the caller to show once the read-out's windows are closed.
bool readValues(AppContext& ctx, bool twoChannels, Exchange* failure = nullptr);

// Integrated value of models 1 and 2 for channel ch: the sum of the tenths
// beyond the reference on its side, times the interval in hours, floored,
// then divided by 10 toward zero.
int32_t integratedValue(const ChannelStore& s, int ch);

}  // namespace quillet
