// The read-out end to end on the virtual clock: the real link and codec
// against the simulator's device model on an in-process line.
#include "comm/readout.h"
#include "comm/link.h"
#include "core/store.h"
#include "support/fakes.h"
#include "support/simserial.h"
#include "tools/sim/device.h"

#include <gtest/gtest.h>

using namespace quillet;

namespace {

// Parameter and progress windows without windows: OK with the lowest free
// channels (or the ones given), or Cancel.
struct ScriptedWindows : ReadoutWindows {
    bool ok = true;
    int first = 0, second = 0;  // 0 = the lowest free ones
    int parameterShown = 0;
    int progressShown = 0;
    std::function<void()> duringTransfer;

    void showParameterWindow(AppContext& ctx, const std::function<void()>& transfer) override {
        ++parameterShown;
        if (!ok || ctx.pendingLogger->sampleCount < 1) {
            ctx.comm->status = Exchange::Faulty;
            return;
        }
        int a = first, b = second;
        for (int ch = 1; ch <= kChannels && a == 0; ++ch)
            if (ctx.store.ch[ch].inUse == 0) a = ch;
        for (int ch = 1; ch <= kChannels && b == 0; ++ch)
            if (ctx.store.ch[ch].inUse == 0 && ch != a) b = ch;
        ctx.destinationChannel[1] = int16_t(a);
        ctx.destinationChannel[2] = int16_t(b);
        transfer();
    }
    void runWithProgress(AppContext& ctx, const std::function<void()>& work) override {
        ++progressShown;
        (void)ctx;
        work();
    }
};

struct Rig {
    explicit Rig(sim::Config config) : device(config), line(device), serial(t.clock, line) {
        t.ctx.serial = &serial;
        serial.paced = false;
    }
    fakes::TestContext t;
    sim::Device device;
    fakes::DeviceLine line;
    fakes::SimSerial serial;
    ScriptedWindows windows;

    AppContext& ctx() { return t.ctx; }
    bool read() { return readLogger(t.ctx, windows); }
    int requests(int group, int number) const {
        int n = 0;
        for (const auto& r : device.received()) n += (r.group == group && r.number == number) ? 1 : 0;
        return n;
    }
};

int rangeLowOfCode(int code) {
    if (code == 1 || code == 6) return -400;
    if (code == 3 || code == 8) return 500;
    return 0;
}

// What the program must store for a raw value.
int16_t stored(int raw, int rangeLow) { return raw == 1023 ? 9999 : int16_t(raw + rangeLow); }

sim::Config config(int model, int records) {
    sim::Config c;
    c.model = model;
    c.records = records;
    c.seed = 7;
    return c;
}

void fillChannel(ChannelStore& s, int ch) {
    ChannelRecord& c = s.ch[ch];
    c = ChannelRecord{};
    c.inUse = 1;
    c.startYear = 2013;
    c.startMonth = 11;
    c.startDay = 1;
    c.intervalMinute = 10;
    c.sampleCount = 3;
    s.samples[ch][1] = 250;
    s.channelsInUse = int16_t(countChannelsInUse(s));
}

}  // namespace

TEST(Readout, EveryModelIntoTheFreeChannels) {
    const struct {
        int model;
        int records;
        std::vector<int> kinds;
    } cases[] = {
        {1, 40, {1, 2}},
        {2, 600, {1, 2}},
        {3, 70, {0}},
        {4, 33, {1, 1}},
    };
    for (const auto& c : cases) {
        Rig rig(config(c.model, c.records));
        fillChannel(rig.ctx().store, 1);  // channel A already in use
        ASSERT_TRUE(rig.read()) << "model " << c.model << ": " << rig.t.messages.texts().join("|").toStdString();
        EXPECT_TRUE(rig.t.messages.shown.empty());
        const sim::Config r = sim::resolved(config(c.model, c.records));
        ChannelStore& s = rig.ctx().store;
        EXPECT_EQ(s.channelsInUse, 1 + int(c.kinds.size())) << c.model;
        EXPECT_EQ(s.unsavedRead, 1);
        for (size_t k = 0; k < c.kinds.size(); ++k) {
            const int ch = 2 + int(k);
            const ChannelRecord& rec = s.ch[ch];
            EXPECT_EQ(rec.inUse, 1);
            EXPECT_EQ(rec.kind, c.kinds[k]) << "model " << c.model << " channel " << ch;
            EXPECT_EQ(rec.sampleCount, c.records);
            EXPECT_EQ(rec.cardNo, r.cardNo);
            EXPECT_EQ(rec.testNo, r.testNo);
            EXPECT_EQ(rec.startYear, r.start.year);
            EXPECT_EQ(rec.startMonth, r.start.month);
            EXPECT_EQ(rec.startDay, r.start.day);
            EXPECT_EQ(rec.startHour, r.start.hour);
            EXPECT_EQ(rec.startMinute, r.start.minute);
            EXPECT_EQ(rec.intervalMinute, r.intervalMinute);
            const int low = c.model == 4 ? rangeLowOfCode(r.rangeCode[k]) : rangeLowOfCode(r.rangeCode[k]);
            const auto& raw = rig.device.rawRecords(int(k) + 1);
            ASSERT_GE(int(raw.size()), c.records);
            for (int i = 1; i <= c.records; ++i)
                ASSERT_EQ(s.samples[ch][i], stored(raw[size_t(i - 1)], low))
                    << "model " << c.model << " channel " << ch << " sample " << i;
        }
        EXPECT_EQ(s.referenceChannel, 1);
    }
}

TEST(Readout, SevenChannelsInUse) {
    {
        Rig rig(config(3, 10));
        for (int ch = 1; ch <= 7; ++ch) fillChannel(rig.ctx().store, ch);
        ASSERT_TRUE(rig.read());
        EXPECT_EQ(rig.ctx().store.ch[8].inUse, 1);
        EXPECT_EQ(rig.ctx().store.channelsInUse, 8);
    }
    {
        Rig rig(config(1, 10));
        for (int ch = 1; ch <= 7; ++ch) fillChannel(rig.ctx().store, ch);
        EXPECT_FALSE(rig.read());
        EXPECT_EQ(rig.t.messages.texts(), QStringList{QString::fromUtf8("空のＣＨがありません。")});
        EXPECT_EQ(rig.requests(1, 1), 1);  // refused after the identification
        EXPECT_EQ(rig.requests(1, 2), 0);
        EXPECT_EQ(rig.windows.parameterShown, 0);
        EXPECT_EQ(rig.ctx().store.ch[8].inUse, 0);
    }
}

TEST(Readout, NoRecordsMeansNoTransfer) {
    Rig rig(config(2, 0));
    EXPECT_FALSE(rig.read());
    EXPECT_EQ(rig.ctx().pendingLogger->sampleCount, 0);
    EXPECT_EQ(rig.windows.parameterShown, 1);
    EXPECT_EQ(rig.requests(1, 2), 0);
    EXPECT_EQ(rig.ctx().store.channelsInUse, 0);
    EXPECT_EQ(rig.ctx().store.unsavedRead, 0);
    EXPECT_TRUE(rig.t.messages.shown.empty());
}

TEST(Readout, CancelInTheParameterWindowStoresNothing) {
    Rig rig(config(2, 20));
    rig.windows.ok = false;
    EXPECT_FALSE(rig.read());
    EXPECT_EQ(rig.requests(1, 2), 0);
    EXPECT_EQ(countChannelsInUse(rig.ctx().store), 0);
    EXPECT_EQ(rig.ctx().comm->status, 0);
}

TEST(Readout, CancelDuringTheTransferReleasesTheChannels) {
    Rig rig(config(2, 600));
    rig.serial.paced = true;
    fillChannel(rig.ctx().store, 1);
    rig.ctx().store.unsavedRead = 0;
    // Cancel half a second into the first data request.
    bool cancelled = false;
    qint64 seenAt = -1;
    rig.t.clock.hooks.push_back([&] {
        if (seenAt < 0 && rig.requests(1, 2) >= 1) seenAt = rig.t.clock.ms;
        if (!cancelled && seenAt >= 0 && rig.t.clock.ms - seenAt > 500) {
            cancelled = true;
            requestCancel(rig.ctx());
        }
    });
    EXPECT_FALSE(rig.read());
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(rig.requests(1, 2), 1);  // not retried
    EXPECT_TRUE(rig.t.messages.shown.empty());
    const ChannelStore& s = rig.ctx().store;
    EXPECT_EQ(s.ch[2].inUse, 0);
    EXPECT_EQ(s.ch[3].inUse, 0);
    EXPECT_EQ(s.channelsInUse, 1);
    EXPECT_EQ(s.unsavedRead, 0);
    EXPECT_EQ(s.samples[1][1], 250);
}

TEST(Readout, FaultsLeaveTheStoreAsBefore) {
    const auto brokenBlock = [] {
        sim::Faults f;
        f.brokenBlock = 2;
        f.only = {12};
        return f;
    };
    const auto silence = [] {
        sim::Faults f;
        f.silence = true;
        return f;
    };
    const auto garbage = [] {
        sim::Faults f;
        f.garbage = true;
        return f;
    };
    const auto disconnect = [] {
        sim::Faults f;
        f.disconnectAfter = 300;
        f.only = {12};
        return f;
    };
    const auto cutData = [] {
        sim::Faults f;
        f.cutAfter = 200;
        f.only = {12};
        return f;
    };
    const struct {
        const char* name;
        sim::Faults faults;
        const char* message;
    } cases[] = {
        {"broken block", brokenBlock(), nullptr},
        {"silence", silence(), "応答がありません。"},
        {"garbage", garbage(), "読み取りエラーです。"},
        {"disconnect mid-transfer", disconnect(), "応答がありません。"},
        {"data cut short", cutData(), "読み取りエラーです。"},
    };
    for (const auto& c : cases) {
        sim::Config cfg = config(2, 100);
        cfg.faults = c.faults;
        Rig rig(cfg);
        fillChannel(rig.ctx().store, 1);
        rig.ctx().store.unsavedRead = 0;
        EXPECT_FALSE(rig.read()) << c.name;
        const QStringList expected = c.message ? QStringList{QString::fromUtf8(c.message)} : QStringList{};
        EXPECT_EQ(rig.t.messages.texts(), expected) << c.name;
        const ChannelStore& s = rig.ctx().store;
        EXPECT_EQ(countChannelsInUse(s), 1) << c.name;
        EXPECT_EQ(s.channelsInUse, 1) << c.name;
        EXPECT_EQ(s.unsavedRead, 0) << c.name;
        EXPECT_EQ(rig.ctx().comm->status, 0) << c.name;
    }
}

TEST(Readout, UnsupportedLoggerEndsAtItsMessage) {
    sim::Config cfg = config(2, 10);
    cfg.faults.identLength = 60;
    Rig rig(cfg);
    EXPECT_FALSE(rig.read());
    EXPECT_EQ(rig.t.messages.texts(), QStringList{QString::fromUtf8("対応していないロガーです。")});
    EXPECT_EQ(rig.t.messages.shown[0].title, QString::fromUtf8("ロガー読み出し"));
    EXPECT_EQ(rig.requests(1, 4), 0);
    EXPECT_EQ(rig.windows.parameterShown, 0);
    EXPECT_EQ(countChannelsInUse(rig.ctx().store), 0);
}

TEST(Readout, Model4WrapIsReadOldestFirst) {
    sim::Config cfg = config(4, 100);
    cfg.flags = 3;
    cfg.wrapPosition = 2500;
    Rig rig(cfg);
    ASSERT_TRUE(rig.read()) << rig.t.messages.texts().join("|").toStdString();
    const ChannelStore& s = rig.ctx().store;
    ASSERT_EQ(s.ch[1].sampleCount, 6000);
    const sim::Config r = sim::resolved(cfg);
    const auto& raw = rig.device.rawRecords(1);
    ASSERT_EQ(raw.size(), 6000u);
    const int low = rangeLowOfCode(r.rangeCode[0]);
    EXPECT_EQ(s.samples[1][1], stored(raw[2500], low));     // memory record 2501
    EXPECT_EQ(s.samples[1][3500], stored(raw[5999], low));  // memory record 6000
    EXPECT_EQ(s.samples[1][3501], stored(raw[0], low));     // memory record 1
    EXPECT_EQ(s.samples[1][6000], stored(raw[2499], low));  // memory record 2500, the newest
}

TEST(Readout, RetriesAFaultyIdentification) {
    sim::Config cfg = config(3, 5);
    cfg.faults.garbage = true;
    cfg.faults.failFirst = 3;
    Rig rig(cfg);
    EXPECT_TRUE(rig.read());
    EXPECT_EQ(rig.requests(1, 1), 4);
    EXPECT_TRUE(rig.t.messages.shown.empty());
}

TEST(Readout, IntegratedValue) {
    const struct {
        std::vector<int16_t> samples;
        int side;
        int minutes;
        int32_t expected;
    } cases[] = {
        {{260, 270, 240}, 0, 10, 0},                   // Int(30 × 1/6) \ 10
        {std::vector<int16_t>(600, 260), 0, 10, 100},  // Int(6000 × 1/6) \ 10
        {{240, 230, 9999, 260}, 8, 60, 3},             // L side: (10 + 20) × 1 \ 10
        {{260, 270}, 4, 60, 0},                        // any other side: nothing
    };
    for (const auto& c : cases) {
        ChannelStore s;
        ChannelRecord& r = s.ch[1];
        r.referenceValue = 250;
        r.referenceSide = int16_t(c.side);
        r.intervalMinute = int16_t(c.minutes % 60);
        r.intervalHour = int16_t(c.minutes / 60);
        r.sampleCount = int16_t(c.samples.size());
        for (size_t i = 0; i < c.samples.size(); ++i) s.samples[1][i + 1] = c.samples[i];
        EXPECT_EQ(integratedValue(s, 1), c.expected);
    }
    ChannelStore s;
    s.ch[1].referenceValue = kNotSet;
    s.ch[1].sampleCount = 1;
    s.samples[1][1] = 500;
    EXPECT_EQ(integratedValue(s, 1), 0);
}

TEST(Readout, HasFreeChannel) {
    fakes::TestContext t;
    for (int ch = 1; ch <= 6; ++ch) fillChannel(t.ctx.store, ch);
    t.ctx.pendingLogger->loggerModel = 2;
    EXPECT_TRUE(hasFreeChannel(t.ctx, true));
    fillChannel(t.ctx.store, 7);
    EXPECT_TRUE(hasFreeChannel(t.ctx, false));
    EXPECT_FALSE(hasFreeChannel(t.ctx, true));
    t.ctx.pendingLogger->loggerModel = 3;
    EXPECT_TRUE(hasFreeChannel(t.ctx, true));
    fillChannel(t.ctx.store, 8);
    EXPECT_FALSE(hasFreeChannel(t.ctx, false));
}
