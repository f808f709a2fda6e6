#include "comm/readout.h"
#include "core/loggermodels.h"

#include "comm/link.h"
#include "comm/protocol.h"
#include "comm/serialport.h"
#include "core/catalog.h"
#include "core/context.h"
#include "core/store.h"

#include <exception>
#include <new>

namespace quillet {
namespace {

constexpr Caption kCaptionRead = Caption::LoggerRead;  // "ロガー読み出し"

// Run-time errors for what the read-out did not expect: out of memory, or
// an internal fault (shown with the catch-all text).
constexpr int kErrOutOfMemory = 7;
constexpr int kErrInternal = 51;

int runtimeErrorOf(const std::exception_ptr& e) {
    try {
        std::rethrow_exception(e);
    } catch (const std::bad_alloc&) {
        return kErrOutOfMemory;
    } catch (...) {
        return kErrInternal;
    }
}

// Shows message 13 (faulty answer) or 11 (no answer) under "ロガー読み出し".
void showFailure(AppContext& ctx, Exchange result) {
    if (result == Exchange::Faulty)
        showMessage(ctx, kCaptionRead, Msg::ReadError, kOkOnly);
    else if (result == Exchange::NoAnswer)
        showMessage(ctx, kCaptionRead, Msg::NoAnswer, kOkOnly);
}

// One request with the read-out's failure handling: true when accepted.
// A port error (its message already shown) and a cancel end quietly.
bool ask(AppContext& ctx, Command command, int progressMode) {
    const Exchange r = request(ctx, command, {}, progressMode);
    if (r == Exchange::Accepted) return true;
    if (r == Exchange::PortError || r == Exchange::Cancelled) return false;
    if (ctx.usualCommunicationActive == 0) {
        showFailure(ctx, r);
        ctx.comm->status = Exchange::Accepted;
    }
    return false;
}

// The destination channel takes the logger channel's header as the
// identification and summary left it.
void storeHeader(ChannelRecord& c, const ChannelHeader& header) {
    static_cast<ChannelHeader&>(c) = header;
    c.inUse = 1;
    deriveDates(c);
}

bool validDestination(int ch) { return ch >= 1 && ch <= kChannels; }

}  // namespace

bool hasFreeChannel(const AppContext& ctx, bool forTwo) {
    const int inUse = countChannelsInUse(ctx.store);
    if (inUse >= kChannels) return false;
    if (forTwo && isTwoChannelModel(ctx.pendingLogger->loggerModel) && inUse >= kChannels - 1) return false;
    return true;
}

namespace {

bool readLoggerSteps(AppContext& ctx, ReadoutWindows& windows, std::exception_ptr& fault);

}  // namespace

bool readLogger(AppContext& ctx, ReadoutWindows& windows) {
    // A run-time error anywhere in the read-out (also inside its windows,
    // where it is caught before it reaches their event loops) ends it with
    // the error text, the main window enabled and the normal pointer.
    std::exception_ptr fault;
    bool filled = false;
    try {
        filled = readLoggerSteps(ctx, windows, fault);
    } catch (...) {
        fault = std::current_exception();
    }
    if (!fault) return filled;
    // The transfer has released its destination channels already; an
    // exchange cut off by the error may have left the port open.
    if (ctx.serial && ctx.serial->isOpen()) ctx.serial->close();
    if (ctx.usualCommunicationActive != 0) {
        for (int ch = 1; ch <= kChannels; ++ch) ctx.store.ch[size_t(ch)].inUse = 0;
        ctx.store.channelsInUse = 0;
    }
    ctx.view->setBusy(false);
    showRuntimeError(ctx, runtimeErrorOf(fault), captionText(kCaptionRead), kOkOnly);
    ctx.comm->status = ctx.usualCommunicationActive != 0 ? Exchange::Faulty : Exchange::Accepted;
    return false;
}

namespace {

bool readLoggerSteps(AppContext& ctx, ReadoutWindows& windows, std::exception_ptr& fault) {
    const bool usual = ctx.usualCommunicationActive != 0;
    if (!hasFreeChannel(ctx, false)) {
        if (!usual) showMessage(ctx, kCaptionRead, Msg::NoFreeChannel, kOkOnly);
        return false;
    }
    ctx.view->setBusy(true);
    const auto done = [&](bool filled) {
        if (!usual) ctx.comm->status = Exchange::Accepted;
        ctx.view->setBusy(false);
        return filled;
    };

    if (!ask(ctx, Cmd::Identify, kProgressOneChannel)) return done(false);
    // An identification of a length no model has ends the read-out at its
    // message: no parameter window, no channel marked in use without data.
    if (parseIdentification(ctx, 0) == 0) return done(false);
    if (!ask(ctx, Cmd::ReadSummary, kProgressOneChannel)) return done(false);
    if (!parseSummary(ctx)) {
        // A summary that cannot hold its fields is a faulty answer.
        if (!usual) showFailure(ctx, Exchange::Faulty);
        ctx.comm->status = Exchange::Faulty;
        return done(false);
    }
    ctx.view->setBusy(false);

    if (!hasFreeChannel(ctx, true)) {
        if (!usual) showMessage(ctx, kCaptionRead, Msg::NoFreeChannel, kOkOnly);
        return done(false);
    }
    if (usual) {
        ctx.comm->status = Exchange::Accepted;  // identified; the caller goes on
        return false;
    }

    ctx.comm->status = Exchange::Accepted;
    const bool wasEmpty = countChannelsInUse(ctx.store) == 0;
    bool stored = false;
    Exchange failure = Exchange::Accepted;  // the transfer's message, shown once the windows are closed
    windows.showParameterWindow(ctx, [&] {
        try {
            windows.runWithProgress(ctx, [&] {
                try {
                    stored = storeReadout(ctx, &failure);
                } catch (...) {
                    fault = std::current_exception();
                    requestCancel(ctx);
                }
            });
        } catch (...) {
            fault = std::current_exception();
        }
    });
    if (fault) std::rethrow_exception(fault);
    if (failure != Exchange::Accepted) {
        ctx.view->setBusy(false);
        showFailure(ctx, failure);
    }
    // Only a completed transfer changes what the grid shows; a cancel or a
    // failure leaves the store and its unsaved state as they were.
    if (stored) {
        ctx.view->setBusy(true);
        rebuildAxisAndDisplay(ctx);
        ctx.store.unsavedRead = 1;
        // Data read into an empty store comes from no file: an overwrite
        // save asks before it replaces the file saved last.
        if (wasEmpty) ctx.store.dataFileName.clear();
    }
    return done(stored);
}

}  // namespace

bool storeReadout(AppContext& ctx, Exchange* failure) {
    const PendingLogger& p = ctx.pendingLogger;
    const bool two = isTwoChannelModel(p.loggerModel);
    if (!isKnownModel(p.loggerModel)) return false;
    const int d1 = ctx.destinationChannel[1];
    const int d2 = ctx.destinationChannel[2];
    if (!validDestination(d1) || (two && (!validDestination(d2) || d2 == d1))) {
        ctx.comm->status = Exchange::Faulty;
        return false;
    }
    storeHeader(ctx.store.ch[size_t(d1)], p.ch[1]);
    if (two) storeHeader(ctx.store.ch[size_t(d2)], p.ch[2]);
    bool read = false;
    try {
        read = readValues(ctx, two, failure);
    } catch (...) {
        ctx.store.ch[size_t(d1)].inUse = 0;
        if (two) ctx.store.ch[size_t(d2)].inUse = 0;
        throw;
    }
    if (read) return true;
    ctx.store.ch[size_t(d1)].inUse = 0;
    if (two) ctx.store.ch[size_t(d2)].inUse = 0;
    if (ctx.comm->status == Exchange::Accepted) ctx.comm->status = Exchange::Faulty;
    return false;
}

bool readValues(AppContext& ctx, bool twoChannels, Exchange* failure) {
    const Exchange r = request(ctx, Cmd::ReadValues, {}, twoChannels ? kProgressTwoChannels : kProgressOneChannel);
    if (r == Exchange::Cancelled || r == Exchange::PortError) return false;
    if (r != Exchange::Accepted) {
        // Also during the usual communication.
        if (failure)
            *failure = r;
        else
            showFailure(ctx, r);
        ctx.comm->status = Exchange::Faulty;
        return false;
    }
    if (!decodeBlocks(ctx, twoChannels)) {
        ctx.comm->status = Exchange::Faulty;  // bad framing: no message
        return false;
    }
    const LoggerModel* model = loggerModel(ctx.pendingLogger->loggerModel);
    if (model && model->integratedValue == IntegratedValue::Summed) {
        for (int k = 1; k <= 2; ++k) {
            const int d = ctx.destinationChannel[size_t(k)];
            ctx.store.ch[size_t(d)].integratedValue = integratedValue(ctx.store, d);
        }
    }
    if (ctx.usualCommunicationActive == 0)
        ctx.store.channelsInUse = int16_t(ctx.store.channelsInUse + (twoChannels ? 2 : 1));
    ctx.view->updateCommandStates();
    return true;
}

int32_t integratedValue(const ChannelStore& s, int ch) {
    const ChannelRecord& c = s.ch[size_t(ch)];
    if (c.referenceValue == kNotSet) return 0;
    int64_t sum = 0;
    const int n = std::min<int>(c.sampleCount, kMaxSamples);
    for (int i = 1; i <= n; ++i) {
        const int v = s.samples[size_t(ch)][size_t(i)];
        if (v == kErrorSample) continue;
        if (c.referenceSide == 0 && v > c.referenceValue)
            sum += v - c.referenceValue;
        else if (c.referenceSide == 8 && v < c.referenceValue)
            sum += c.referenceValue - v;
    }
    // sum × hours, with the hours as whole seconds ÷ 3600 so that the floor
    // is exact; the integer parts are the interval's stored truth.
    const int64_t seconds = c.intervalHour * 3600LL + c.intervalMinute * 60LL + c.intervalTenSec * 10LL;
    const int64_t floored = sum * seconds / 3600;
    return int32_t(floored / 10);
}

}  // namespace quillet
