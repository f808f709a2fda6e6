#include "comm/readout.h"

#include "comm/commnication.h"
#include "comm/protocol.h"
#include "core/catalog.h"
#include "core/context.h"
#include "core/store.h"

namespace quillet {
namespace {

constexpr int kCaptionRead = 2;  // "ロガー読み出し"

// Shows message 13 (faulty answer) or 11 (no answer) under "ロガー読み出し".
void showFailure(AppContext& ctx, int result) {
    if (result == kFaulty) showMessage(ctx, kCaptionRead, 13, kOkOnly);
    else if (result == kNoAnswer) showMessage(ctx, kCaptionRead, 11, kOkOnly);
}

// One request with the read-out's failure handling: true when accepted.
// A port error (its message already shown) and a cancel end quietly.
bool ask(AppContext& ctx, int number, int progressMode) {
    const int r = request(ctx, 1, number, {}, progressMode);
    if (r == kAccepted) return true;
    if (r == kPortError || r == kCancelled) return false;
    if (ctx.usualCommunicationActive == 0) {
        showFailure(ctx, r);
        ctx.comm.commStatus = 0;
    }
    return false;
}

void copyHeader(AppContext& ctx, int dest, int loggerChannel) {
    const PendingLogger& p = ctx.pendingLogger;
    const PendingChannel& lc = p.ch[size_t(loggerChannel)];
    ChannelRecord& c = ctx.store.ch[size_t(dest)];
    c.inUse = 1;
    c.kind = lc.kind;
    c.rangeCode = lc.rangeCode;
    c.referenceValue = lc.referenceValue;
    c.referenceSide = lc.referenceSide;
    c.rangeLow = lc.rangeLow;
    c.errorCount = lc.errorCount;
    c.maxValue = lc.maxValue;
    c.minValue = lc.minValue;
    c.averageValue = lc.averageValue;
    c.sampleCount = p.sampleCount;
    c.cardNo = p.cardNo;
    c.testNo = p.testNo;
    c.startYear = p.startYear;
    c.startMonth = p.startMonth;
    c.startDay = p.startDay;
    c.startHour = p.startHour;
    c.startMinute = p.startMinute;
    c.startTenSec = p.startTenSec;
    c.intervalHour = p.intervalHour;
    c.intervalMinute = p.intervalMinute;
    c.intervalTenSec = p.intervalTenSec;
    deriveDates(c);
    if (p.loggerModel == 3) {
        c.integratedValue = lc.integratedValue;
        c.upperAlarm = 0;
        c.lowerAlarm = 0;
    } else {
        c.integratedValue = 0;
        c.upperAlarm = lc.upperAlarm;
        c.lowerAlarm = lc.lowerAlarm;
    }
}

bool validDestination(int ch) { return ch >= 1 && ch <= kChannels; }

}  // namespace

bool hasFreeChannel(const AppContext& ctx, bool forTwo) {
    const int inUse = countChannelsInUse(ctx.store);
    if (inUse >= kChannels) return false;
    if (forTwo && isTwoChannelModel(ctx.pendingLogger.loggerModel) && inUse >= kChannels - 1) return false;
    return true;
}

bool readLogger(AppContext& ctx, ReadoutWindows& windows) {
    const bool usual = ctx.usualCommunicationActive != 0;
    if (!hasFreeChannel(ctx, false)) {
        if (!usual) showMessage(ctx, kCaptionRead, 10, kOkOnly);
        return false;
    }
    ctx.view->setBusy(true);
    const auto done = [&](bool filled) {
        if (!usual) ctx.comm.commStatus = 0;
        ctx.view->setBusy(false);
        return filled;
    };

    if (!ask(ctx, 1, kProgressOneChannel)) return done(false);
    // An identification of a length no model has ends the read-out at its
    // message: no parameter window, no channel marked in use without data.
    if (parseIdentification(ctx, 0) == 0) return done(false);
    if (!ask(ctx, 4, kProgressOneChannel)) return done(false);
    if (!parseSummary(ctx)) {
        // A summary that cannot hold its fields is a faulty answer.
        if (!usual) showFailure(ctx, kFaulty);
        ctx.comm.commStatus = kFaulty;
        return done(false);
    }
    ctx.view->setBusy(false);

    if (!hasFreeChannel(ctx, true)) {
        if (!usual) showMessage(ctx, kCaptionRead, 10, kOkOnly);
        return done(false);
    }
    if (usual) {
        ctx.comm.commStatus = kAccepted;  // identified; the caller goes on
        return false;
    }

    ctx.comm.commStatus = 0;
    bool stored = false;
    windows.showParameterWindow(ctx, [&] {
        windows.runWithProgress(ctx, [&] { stored = storeReadout(ctx); });
    });
    // Only a completed transfer changes what the grid shows; a cancel or a
    // failure leaves the store and its unsaved state as they were.
    if (stored) {
        ctx.view->setBusy(true);
        rebuildAxisAndDisplay(ctx);
        ctx.store.unsavedRead = 1;
    }
    return done(stored);
}

bool storeReadout(AppContext& ctx) {
    const PendingLogger& p = ctx.pendingLogger;
    const bool two = isTwoChannelModel(p.loggerModel);
    if (p.loggerModel < 1 || p.loggerModel > 4) return false;
    const int d1 = ctx.destinationChannel[1];
    const int d2 = ctx.destinationChannel[2];
    if (!validDestination(d1) || (two && (!validDestination(d2) || d2 == d1))) {
        ctx.comm.commStatus = kFaulty;
        return false;
    }
    copyHeader(ctx, d1, 1);
    if (two) copyHeader(ctx, d2, 2);
    if (readValues(ctx, two)) return true;
    ctx.store.ch[size_t(d1)].inUse = 0;
    if (two) ctx.store.ch[size_t(d2)].inUse = 0;
    if (ctx.comm.commStatus == kAccepted) ctx.comm.commStatus = kFaulty;
    return false;
}

bool readValues(AppContext& ctx, bool twoChannels) {
    const int r = request(ctx, 1, 2, {}, twoChannels ? kProgressTwoChannels : kProgressOneChannel);
    if (r == kCancelled || r == kPortError) return false;
    if (r != kAccepted) {
        // Also during the usual communication.
        showFailure(ctx, r);
        ctx.comm.commStatus = kFaulty;
        return false;
    }
    if (!decodeBlocks(ctx, twoChannels)) {
        ctx.comm.commStatus = kFaulty;  // bad framing: no message
        return false;
    }
    const int model = ctx.pendingLogger.loggerModel;
    if (model == 1 || model == 2) {
        for (int k = 1; k <= 2; ++k) {
            const int d = ctx.destinationChannel[size_t(k)];
            ctx.store.ch[size_t(d)].integratedValue = integratedValue(ctx.store, d);
        }
    }
    if (ctx.usualCommunicationActive == 0) ctx.store.channelsInUse = int16_t(ctx.store.channelsInUse + (twoChannels ? 2 : 1));
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
        if (c.referenceSide == 0 && v > c.referenceValue) sum += v - c.referenceValue;
        else if (c.referenceSide == 8 && v < c.referenceValue) sum += c.referenceValue - v;
    }
    // sum × hours, with the hours as whole seconds ÷ 3600 so that the floor
    // is exact; the integer parts are the interval's stored truth.
    const int64_t seconds = c.intervalHour * 3600LL + c.intervalMinute * 60LL + c.intervalTenSec * 10LL;
    const int64_t floored = sum * seconds / 3600;
    return int32_t(floored / 10);
}

}  // namespace quillet
