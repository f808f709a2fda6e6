#include "comm/readout.h"
#include "core/loggermodels.h"

#include "comm/link.h"
#include "comm/protocol.h"
#include "comm/serialport.h"
#include "core/catalog.h"
#include "core/context.h"
#include "core/statusline.h"
#include "core/store.h"
#include "core/uitexts.h"

#include <exception>
#include <new>

namespace quillet {
namespace {

constexpr Caption kCaptionRead = Caption::LoggerRead;  // "ロガー読み出し"

// Run-time errors for what the read-out did not expect: out of memory, or
// an internal fault (shown with the catch-all text).
constexpr int kErrOutOfMemory = 7;
constexpr int kErrInternal = 51;

Identified identifiedOf(Exchange r) {
    switch (r) {
    case Exchange::NoAnswer: return Identified::NoAnswer;
    case Exchange::PortError: return Identified::PortError;
    case Exchange::Cancelled: return Identified::Cancelled;
    default: return Identified::Faulty;
    }
}

// The destination channel takes the logger channel's header as the
// identification and summary left it.
void storeHeader(ChannelRecord& c, const ChannelHeader& header) {
    static_cast<ChannelHeader&>(c) = header;
    c.inUse = 1;
    deriveDates(c);
}

bool validDestination(int ch) { return ch >= 1 && ch <= kChannels; }

// The records (1,2) into the destination channels' samples.
Transfer readValues(AppContext& ctx, Destinations to, bool twoChannels) {
    const Expected expected{twoChannels ? Progress::TwoChannels : Progress::OneChannel,
                            ctx.pendingLogger->ch[1].sampleCount};
    const Exchange r = request(ctx, Cmd::ReadValues, {}, expected);
    switch (r) {
    case Exchange::Accepted: break;
    case Exchange::Cancelled: return Transfer::Cancelled;
    case Exchange::PortError: return Transfer::PortError;
    case Exchange::NoAnswer: ctx.comm->status = Exchange::Faulty; return Transfer::NoAnswer;
    case Exchange::Faulty: ctx.comm->status = Exchange::Faulty; return Transfer::Faulty;
    }
    if (!decodeBlocks(ctx, to, twoChannels)) {
        ctx.comm->status = Exchange::Faulty;  // bad framing
        return Transfer::Failed;
    }
    const LoggerModel* model = loggerModel(ctx.pendingLogger->loggerModel);
    if (model && model->integratedValue == IntegratedValue::Summed) {
        for (const int d : {to.first, to.second})
            if (validDestination(d)) ctx.store.ch[size_t(d)].integratedValue = integratedValue(ctx.store, d);
    }
    return Transfer::Stored;
}

bool readLoggerSteps(AppContext& ctx, ReadoutWindows& windows, std::exception_ptr& fault);

}  // namespace

void showReadoutFault(AppContext& ctx, const std::exception_ptr& fault) {
    // An exchange cut off by the error may have left the port open.
    if (ctx.serial && ctx.serial->isOpen()) ctx.serial->close();
    int error = kErrInternal;
    try {
        std::rethrow_exception(fault);
    } catch (const std::bad_alloc&) {
        error = kErrOutOfMemory;
    } catch (...) {
    }
    showRuntimeError(ctx, error, captionText(kCaptionRead), kOkOnly);
}

void showReadFailure(AppContext& ctx, Exchange result) {
    if (result == Exchange::Faulty)
        showMessage(ctx, kCaptionRead, Msg::ReadError, kOkOnly);
    else if (result == Exchange::NoAnswer)
        showMessage(ctx, kCaptionRead, Msg::NoAnswer, kOkOnly);
}

bool hasFreeChannel(const AppContext& ctx, bool forTwo) {
    const int inUse = countChannelsInUse(ctx.store);
    if (inUse >= kChannels) return false;
    if (forTwo && isTwoChannelModel(ctx.pendingLogger->loggerModel) && inUse >= kChannels - 1) return false;
    return true;
}

Identified identifyLogger(AppContext& ctx) {
    Exchange r = request(ctx, Cmd::Identify, {});
    if (r != Exchange::Accepted) return identifiedOf(r);
    if (parseIdentification(ctx, 0) == 0) return Identified::Unsupported;
    r = request(ctx, Cmd::ReadSummary, {});
    if (r != Exchange::Accepted) return identifiedOf(r);
    if (!parseSummary(ctx)) {
        // A summary that cannot hold its fields is a faulty answer.
        ctx.comm->status = Exchange::Faulty;
        return Identified::Faulty;
    }
    return Identified::Logger;
}

Transfer transferReadout(AppContext& ctx, Destinations to) {
    const PendingLogger& p = ctx.pendingLogger;
    if (!isKnownModel(p.loggerModel)) return Transfer::Failed;
    const bool two = isTwoChannelModel(p.loggerModel);
    const int d1 = to.first;
    const int d2 = two ? to.second : 0;
    if (!validDestination(d1) || (two && (!validDestination(d2) || d2 == d1))) {
        ctx.comm->status = Exchange::Faulty;
        return Transfer::Failed;
    }
    storeHeader(ctx.store.ch[size_t(d1)], p.ch[1]);
    if (two) storeHeader(ctx.store.ch[size_t(d2)], p.ch[2]);
    const auto release = [&] {
        ctx.store.ch[size_t(d1)].inUse = 0;
        if (two) ctx.store.ch[size_t(d2)].inUse = 0;
    };
    Transfer t = Transfer::Failed;
    try {
        t = readValues(ctx, {d1, d2}, two);
    } catch (...) {
        release();
        throw;
    }
    if (t == Transfer::Stored) return t;
    release();
    if (ctx.comm->status == Exchange::Accepted) ctx.comm->status = Exchange::Faulty;
    return t;
}

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
    // The transfer has released its destination channels already.
    ctx.view->setBusy(false);
    showReadoutFault(ctx, fault);
    ctx.comm->status = Exchange::Accepted;
    return false;
}

namespace {

bool readLoggerSteps(AppContext& ctx, ReadoutWindows& windows, std::exception_ptr& fault) {
    if (!hasFreeChannel(ctx, false)) {
        showMessage(ctx, kCaptionRead, Msg::NoFreeChannel, kOkOnly);
        return false;
    }
    ctx.view->setBusy(true);
    const auto done = [&](bool filled) {
        ctx.comm->status = Exchange::Accepted;
        ctx.view->setBusy(false);
        return filled;
    };

    switch (identifyLogger(ctx)) {
    case Identified::Logger: break;
    case Identified::NoAnswer: showReadFailure(ctx, Exchange::NoAnswer); return done(false);
    case Identified::Faulty: showReadFailure(ctx, Exchange::Faulty); return done(false);
    // A port error and an answer no model gives have had their message; an
    // unsupported logger ends here: no parameter window, no channel marked
    // in use without data.
    default: return done(false);
    }
    ctx.view->setBusy(false);

    if (!hasFreeChannel(ctx, true)) {
        showMessage(ctx, kCaptionRead, Msg::NoFreeChannel, kOkOnly);
        return done(false);
    }

    ctx.comm->status = Exchange::Accepted;
    const bool wasEmpty = countChannelsInUse(ctx.store) == 0;
    Transfer transfer = Transfer::Cancelled;  // the parameter window's Cancel
    Destinations filled;
    windows.showParameterWindow(ctx, [&](Destinations to) {
        filled = to;
        try {
            windows.runWithProgress(ctx, [&] {
                try {
                    transfer = transferReadout(ctx, to);
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
    // The transfer's message, once the windows are closed.
    if (transfer == Transfer::NoAnswer || transfer == Transfer::Faulty) {
        ctx.view->setBusy(false);
        showReadFailure(ctx, transfer == Transfer::NoAnswer ? Exchange::NoAnswer : Exchange::Faulty);
    }
    // Only a completed transfer changes what the grid shows; a cancel or a
    // failure leaves the store and its unsaved state as they were.
    const bool stored = transfer == Transfer::Stored;
    if (stored) {
        const bool two = isTwoChannelModel(ctx.pendingLogger->loggerModel);
        ctx.store.channelsInUse = int16_t(ctx.store.channelsInUse + (two ? 2 : 1));
        ctx.view->setBusy(true);
        rebuildAxisAndDisplay(ctx);
        ctx.store.unsavedRead = 1;
        // Data read into an empty store comes from no file: an overwrite
        // save asks before it replaces the file saved last.
        if (wasEmpty) ctx.store.dataFileName.clear();
        ctx.view->updateCaption();
        QStringList read;
        for (const int ch : {filled.first, filled.second})
            if (ch >= 1 && ch <= kChannels && ctx.store.ch[size_t(ch)].inUse == 1)
                read << uiText(ui::kReadChannelStatus).arg(channelLetter(ch)).arg(ctx.store.ch[size_t(ch)].sampleCount);
        showStatusWord(ctx, uiText(ui::kReadStatus).arg(read.join(uiText(ui::kStatusSeparator))));
    }
    return done(stored);
}

}  // namespace

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
