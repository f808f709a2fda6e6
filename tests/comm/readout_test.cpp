// The read-out end to end on the virtual clock: the real link and codec
// against the simulator's device model on an in-process line.
#include "comm/readout.h"
#include "analysis/figures.h"
#include "comm/link.h"
#include "core/savefile.h"
#include "core/store.h"
#include "datafile/fileops.h"
#include "support/fakes.h"
#include "support/simserial.h"
#include "tools/sim/device.h"

#include <QFile>

#include <gtest/gtest.h>

#include <map>

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

    void showParameterWindow(AppContext& ctx, const std::function<void(Destinations)>& transfer) override {
        ++parameterShown;
        if (!ok || ctx.pendingLogger->ch[1].sampleCount < 1) {
            ctx.comm->status = Exchange::Faulty;
            return;
        }
        int a = first, b = second;
        for (int ch = 1; ch <= kChannels && a == 0; ++ch)
            if (ctx.store.ch[ch].inUse == 0) a = ch;
        for (int ch = 1; ch <= kChannels && b == 0; ++ch)
            if (ctx.store.ch[ch].inUse == 0 && ch != a) b = ch;
        transfer({a, b});
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
    EXPECT_EQ(rig.ctx().pendingLogger->ch[1].sampleCount, 0);
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

// ---- Every model end to end: read-out, data file, audit figures ------------

namespace {

// A model 4 memory of 6000 records per channel holding `fill` except at the
// memory records (1-based) given.
std::vector<int> memoryOf(int fill, const std::map<int, int>& at) {
    std::vector<int> m(6000, fill);
    for (const auto& [record, raw] : at) m[size_t(record - 1)] = raw;
    return m;
}

sim::Config model4Logger() {
    return sim::Config{.model = 4,
                       .cardNo = 254,
                       .testNo = 9,
                       .start = {2009, 12, 31, 23, 10, 4},
                       .intervalHour = 1,
                       .intervalMinute = 3,
                       .intervalTenSec = 2,
                       .rangeCode = {1, 3},
                       .upperAlarmRaw = {720, 1650},
                       .lowerAlarmRaw = {395, 1180},
                       .rawRecords1 = {650, 1023, 633, 700, 615},
                       .rawRecords2 = {410, 455, 1023, 1023, 430}};
}

sim::Config model4Wrapped() {
    sim::Config c = model4Logger();
    c.flags = 3;
    c.wrapPosition = 2500;
    c.rawRecords1 = memoryOf(600, {{1, 1023}, {2500, 777}, {2501, 555}, {6000, 612}});
    c.rawRecords2 = memoryOf(300, {{1, 301}, {2500, 350}, {2501, 250}, {3000, 1023}, {4000, 1023}, {6000, 299}});
    return c;
}

struct Sample {
    int index;  // 1-based
    int16_t value;
};

// A logger and what its channels must hold in grid channels A and B,
// written out from the logger's documented layout: values are raw + the
// bottom of the channel's range (range code 1: -40.0, 3 and 8: +50.0, 10 and
// 11: 0), model 4's alarms raw - 40.0; a date value counts days from
// 1899-12-30; sums, means and the integrated values are worked out by hand.
// A channel as it must be, in the order of the data file's header.
struct Expected {
    int16_t inUse, kind, cardNo, testNo, startYear, startMonth, startDay, startHour, startMinute, startTenSec;
    double startTime;
    int16_t intervalHour, intervalMinute, intervalTenSec;
    double interval;
    int16_t rangeCode, rangeLow, referenceValue, referenceSide;
    int32_t integratedValue;
    int16_t maxValue, minValue, averageValue, errorCount, upperAlarm, lowerAlarm, sampleCount;
};

struct ModelCase {
    const char* name;
    sim::Config logger;
    std::vector<Expected> channels;
    std::vector<std::vector<Sample>> samples;
};

constexpr double kDay = 86400;

// clang-format off
std::vector<ModelCase> modelCases() {
    return {
        {"model 1",
         sim::Config{.model = 1, .cardNo = 167, .testNo = 60, .start = {2011, 7, 23, 14, 38, 0},
                     .intervalHour = 1, .intervalMinute = 25, .rangeCode = {1, 10},
                     .referenceRaw = {630, 500}, .referenceSide = {0, 8},
                     .upperAlarmRaw = {680, 850}, .lowerAlarmRaw = {560, 250},
                     .rawRecords1 = {612, 655, 1023, 598, 640}, .rawRecords2 = {455, 1023, 470, 1023, 512}},
         // Integrated: (25 + 10) × 85/60 h = 49 \ 10; (45 + 30) × 85/60 h = 106 \ 10.
         {{.inUse = 1, .kind = 1, .cardNo = 167, .testNo = 60, .startYear = 2011, .startMonth = 7, .startDay = 23,
           .startHour = 14, .startMinute = 38, .startTenSec = 0, .startTime = 40747 + (14 * 3600 + 38 * 60) / kDay,
           .intervalHour = 1, .intervalMinute = 25, .intervalTenSec = 0, .interval = 5100 / kDay, .rangeCode = 1,
           .rangeLow = -400, .referenceValue = 230, .referenceSide = 0, .integratedValue = 4, .maxValue = 255,
           .minValue = 198, .averageValue = 226, .errorCount = 1, .upperAlarm = 280, .lowerAlarm = 160,
           .sampleCount = 5},
          {.inUse = 1, .kind = 2, .cardNo = 167, .testNo = 60, .startYear = 2011, .startMonth = 7, .startDay = 23,
           .startHour = 14, .startMinute = 38, .startTenSec = 0, .startTime = 40747 + (14 * 3600 + 38 * 60) / kDay,
           .intervalHour = 1, .intervalMinute = 25, .intervalTenSec = 0, .interval = 5100 / kDay, .rangeCode = 10,
           .rangeLow = 0, .referenceValue = 500, .referenceSide = 8, .integratedValue = 10, .maxValue = 512,
           .minValue = 455, .averageValue = 479, .errorCount = 2, .upperAlarm = 850, .lowerAlarm = 250,
           .sampleCount = 5}},
         {{{1, 212}, {3, 9999}, {5, 240}}, {{1, 455}, {2, 9999}, {5, 512}}}},
        {"model 2",
         sim::Config{.model = 2, .cardNo = 5, .testNo = 250, .start = {1998, 2, 28, 23, 59, 0},
                     .intervalHour = 2, .intervalMinute = 40, .rangeCode = {3, 11},
                     .referenceRaw = {100, 690}, .referenceSide = {8, 0},
                     .upperAlarmRaw = {250, 930}, .lowerAlarmRaw = {40, 120},
                     .rawRecords1 = {120, 62, 133, 1023, 81, 110}, .rawRecords2 = {712, 688, 1023, 1023, 1023, 745}},
         // Integrated: (38 + 19) × 160/60 h = 152 \ 10; (22 + 55) × 160/60 h = 205 \ 10.
         {{.inUse = 1, .kind = 1, .cardNo = 5, .testNo = 250, .startYear = 1998, .startMonth = 2, .startDay = 28,
           .startHour = 23, .startMinute = 59, .startTenSec = 0, .startTime = 35854 + (23 * 3600 + 59 * 60) / kDay,
           .intervalHour = 2, .intervalMinute = 40, .intervalTenSec = 0, .interval = 9600 / kDay, .rangeCode = 3,
           .rangeLow = 500, .referenceValue = 600, .referenceSide = 8, .integratedValue = 15, .maxValue = 633,
           .minValue = 562, .averageValue = 601, .errorCount = 1, .upperAlarm = 750, .lowerAlarm = 540,
           .sampleCount = 6},
          {.inUse = 1, .kind = 2, .cardNo = 5, .testNo = 250, .startYear = 1998, .startMonth = 2, .startDay = 28,
           .startHour = 23, .startMinute = 59, .startTenSec = 0, .startTime = 35854 + (23 * 3600 + 59 * 60) / kDay,
           .intervalHour = 2, .intervalMinute = 40, .intervalTenSec = 0, .interval = 9600 / kDay, .rangeCode = 11,
           .rangeLow = 0, .referenceValue = 690, .referenceSide = 0, .integratedValue = 20, .maxValue = 745,
           .minValue = 688, .averageValue = 715, .errorCount = 3, .upperAlarm = 930, .lowerAlarm = 120,
           .sampleCount = 6}},
         {{{1, 620}, {4, 9999}, {6, 610}}, {{1, 712}, {3, 9999}, {6, 745}}}},
        {"model 3",
         sim::Config{.model = 3, .cardNo = 59, .testNo = 196, .start = {2020, 2, 29, 6, 7, 5},
                     .intervalHour = 2, .intervalMinute = 17, .intervalTenSec = 3, .rangeCode = {8, -1},
                     .nextRangeCode = 2, .referenceRaw = {320, 0xFFF}, .referenceSide = {0, 0},
                     .rawRecords1 = {300, 355, 1023, 287, 342, 310, 333}},
         // Integrated, as the logger reports it: (35 + 22 + 13) × 8250 s / 3600 = 160 \ 10.
         {{.inUse = 1, .kind = 0, .cardNo = 59, .testNo = 196, .startYear = 2020, .startMonth = 2, .startDay = 29,
           .startHour = 6, .startMinute = 7, .startTenSec = 5, .startTime = 43890 + (6 * 3600 + 7 * 60 + 50) / kDay,
           .intervalHour = 2, .intervalMinute = 17, .intervalTenSec = 3, .interval = 8250 / kDay, .rangeCode = 8,
           .rangeLow = 500, .referenceValue = 820, .referenceSide = 0, .integratedValue = 16, .maxValue = 855,
           .minValue = 787, .averageValue = 821, .errorCount = 1, .upperAlarm = 0, .lowerAlarm = 0,
           .sampleCount = 7}},
         {{{1, 800}, {3, 9999}, {7, 833}}}},
        {"model 4",
         model4Logger(),
         {{.inUse = 1, .kind = 1, .cardNo = 254, .testNo = 9, .startYear = 2009, .startMonth = 12, .startDay = 31,
           .startHour = 23, .startMinute = 10, .startTenSec = 4, .startTime = 40178 + (23 * 3600 + 10 * 60 + 40) / kDay,
           .intervalHour = 1, .intervalMinute = 3, .intervalTenSec = 2, .interval = 3800 / kDay, .rangeCode = 1,
           .rangeLow = -400, .referenceValue = 9999, .referenceSide = 0, .integratedValue = 0, .maxValue = 300,
           .minValue = 215, .averageValue = 250, .errorCount = 1, .upperAlarm = 320, .lowerAlarm = -5,
           .sampleCount = 5},
          {.inUse = 1, .kind = 1, .cardNo = 254, .testNo = 9, .startYear = 2009, .startMonth = 12, .startDay = 31,
           .startHour = 23, .startMinute = 10, .startTenSec = 4, .startTime = 40178 + (23 * 3600 + 10 * 60 + 40) / kDay,
           .intervalHour = 1, .intervalMinute = 3, .intervalTenSec = 2, .interval = 3800 / kDay, .rangeCode = 3,
           .rangeLow = 500, .referenceValue = 9999, .referenceSide = 0, .integratedValue = 0, .maxValue = 955,
           .minValue = 910, .averageValue = 932, .errorCount = 2, .upperAlarm = 1250, .lowerAlarm = 780,
           .sampleCount = 5}},
         {{{1, 250}, {2, 9999}, {5, 215}}, {{1, 910}, {3, 9999}, {5, 930}}}},
        {"model 4, wrapped memory",
         model4Wrapped(),
         // Means: (5996 × 600 + 777 + 555 + 612) / 5999 and (5994 × 300 + 301 + 350 + 250 + 299) / 5998, raw.
         {{.inUse = 1, .kind = 1, .cardNo = 254, .testNo = 9, .startYear = 2009, .startMonth = 12, .startDay = 31,
           .startHour = 23, .startMinute = 10, .startTenSec = 4, .startTime = 40178 + (23 * 3600 + 10 * 60 + 40) / kDay,
           .intervalHour = 1, .intervalMinute = 3, .intervalTenSec = 2, .interval = 3800 / kDay, .rangeCode = 1,
           .rangeLow = -400, .referenceValue = 9999, .referenceSide = 0, .integratedValue = 0, .maxValue = 377,
           .minValue = 155, .averageValue = 200, .errorCount = 1, .upperAlarm = 320, .lowerAlarm = -5,
           .sampleCount = 6000},
          {.inUse = 1, .kind = 1, .cardNo = 254, .testNo = 9, .startYear = 2009, .startMonth = 12, .startDay = 31,
           .startHour = 23, .startMinute = 10, .startTenSec = 4, .startTime = 40178 + (23 * 3600 + 10 * 60 + 40) / kDay,
           .intervalHour = 1, .intervalMinute = 3, .intervalTenSec = 2, .interval = 3800 / kDay, .rangeCode = 3,
           .rangeLow = 500, .referenceValue = 9999, .referenceSide = 0, .integratedValue = 0, .maxValue = 850,
           .minValue = 750, .averageValue = 800, .errorCount = 2, .upperAlarm = 1250, .lowerAlarm = 780,
           .sampleCount = 6000}},
         // Oldest first: memory records 2501..6000, then 1..2500.
         {{{1, 155}, {3500, 212}, {3501, 9999}, {6000, 377}},
          {{1, 750}, {500, 9999}, {3500, 799}, {3501, 801}, {6000, 850}}}},
    };
}
// clang-format on

void expectChannel(const ChannelStore& s, int ch, const Expected& want, const std::vector<Sample>& samples,
                   const std::string& where) {
    SCOPED_TRACE(where + ", channel " + std::to_string(ch));
    const ChannelRecord& got = s.ch[size_t(ch)];
    EXPECT_EQ(got.inUse, want.inUse);
    EXPECT_EQ(got.kind, want.kind);
    EXPECT_EQ(got.sampleCount, want.sampleCount);
    EXPECT_EQ(got.cardNo, want.cardNo);
    EXPECT_EQ(got.testNo, want.testNo);
    EXPECT_EQ(got.startYear, want.startYear);
    EXPECT_EQ(got.startMonth, want.startMonth);
    EXPECT_EQ(got.startDay, want.startDay);
    EXPECT_EQ(got.startHour, want.startHour);
    EXPECT_EQ(got.startMinute, want.startMinute);
    EXPECT_EQ(got.startTenSec, want.startTenSec);
    EXPECT_NEAR(got.startTime, want.startTime, 1e-9);
    EXPECT_EQ(got.intervalHour, want.intervalHour);
    EXPECT_EQ(got.intervalMinute, want.intervalMinute);
    EXPECT_EQ(got.intervalTenSec, want.intervalTenSec);
    EXPECT_NEAR(got.interval, want.interval, 1e-12);
    EXPECT_EQ(got.rangeCode, want.rangeCode);
    EXPECT_EQ(got.rangeLow, want.rangeLow);
    EXPECT_EQ(got.referenceValue, want.referenceValue);
    EXPECT_EQ(got.referenceSide, want.referenceSide);
    EXPECT_EQ(got.integratedValue, want.integratedValue);
    EXPECT_EQ(got.maxValue, want.maxValue);
    EXPECT_EQ(got.minValue, want.minValue);
    EXPECT_EQ(got.averageValue, want.averageValue);
    EXPECT_EQ(got.errorCount, want.errorCount);
    EXPECT_EQ(got.upperAlarm, want.upperAlarm);
    EXPECT_EQ(got.lowerAlarm, want.lowerAlarm);
    for (const Sample& x : samples) EXPECT_EQ(s.samples[size_t(ch)][size_t(x.index)], x.value) << "sample " << x.index;
}

// The audit figures have alarm limits exactly for the kinds that carry them.
void expectAlarmFigures(const ChannelStore& s, const ModelCase& c, const std::string& where) {
    SCOPED_TRACE(where);
    const std::vector<ChannelFigures> figures = channelFigures(s, wholeAxis(s));
    ASSERT_EQ(figures.size(), c.channels.size());
    for (size_t k = 0; k < figures.size(); ++k) {
        const Expected& want = c.channels[k];
        EXPECT_EQ(figures[k].channel, int(k) + 1);
        const std::optional<double> upper = want.kind == 0 ? std::nullopt : std::optional(want.upperAlarm / 10.0);
        const std::optional<double> lower = want.kind == 0 ? std::nullopt : std::optional(want.lowerAlarm / 10.0);
        EXPECT_EQ(figures[k].upperAlarm, upper) << "channel " << k + 1;
        EXPECT_EQ(figures[k].lowerAlarm, lower) << "channel " << k + 1;
    }
}

// Saves the store as a ".ql6" file through the program's save.
void saveAs(AppContext& ctx, const QString& path, fakes::ScriptedDialogs& dialogs) {
    dialogs.answers.push_back(path);
    ASSERT_EQ(runFileOperation(ctx, kSaveAs), FileOutcome::Done);
}

}  // namespace

TEST(Readout, EveryModelEndToEnd) {
    for (const ModelCase& c : modelCases()) {
        SCOPED_TRACE(c.name);
        Rig rig(c.logger);
        ASSERT_TRUE(rig.read()) << rig.t.messages.texts().join("|").toStdString();
        EXPECT_TRUE(rig.t.messages.shown.empty());
        const ChannelStore& s = rig.ctx().store;
        for (size_t k = 0; k < c.channels.size(); ++k)
            expectChannel(s, int(k) + 1, c.channels[k], c.samples[k], "read-out");
        expectAlarmFigures(s, c, "read-out");

        const QString path = rig.t.root + QStringLiteral("/readout.ql6");
        saveAs(rig.ctx(), path, rig.t.dialogs);
        fakes::TestContext reopened;
        openDataFileNamed(reopened.ctx, path);
        ASSERT_TRUE(reopened.messages.shown.empty());
        ASSERT_EQ(countChannelsInUse(reopened.ctx.store), int(c.channels.size()));
        for (size_t k = 0; k < c.channels.size(); ++k)
            expectChannel(reopened.ctx.store, int(k) + 1, c.channels[k], c.samples[k], "reopened");
        expectAlarmFigures(reopened.ctx.store, c, "reopened");
    }
}

// The data file of each model's read-out above, byte for byte, against
// tests/data/golden/modelN.ql6. After a deliberate change of the file or of
// the read-out, rewrite them with QUILLET_REWRITE_GOLDEN=1 in the
// environment (the test then skips) and review the difference.
TEST(Readout, GoldenDataFiles) {
    const QString folder = QStringLiteral(QUILLET_SOURCE_DIR "/tests/data/golden/");
    const bool rewrite = qEnvironmentVariableIsSet("QUILLET_REWRITE_GOLDEN");
    for (const ModelCase& c : modelCases()) {
        if (c.logger.flags != 0) continue;  // one file per model
        SCOPED_TRACE(c.name);
        Rig rig(c.logger);
        ASSERT_TRUE(rig.read());
        const QString path = rig.t.root + QStringLiteral("/golden.ql6");
        saveAs(rig.ctx(), path, rig.t.dialogs);
        QFile saved(path);
        ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
        const QByteArray bytes = saved.readAll();
        const QString golden = folder + QStringLiteral("model%1.ql6").arg(c.logger.model);
        if (rewrite) {
            ASSERT_EQ(runtimeErrorOf(writeFileAtomically(golden, bytes)), 0) << golden.toStdString();
            continue;
        }
        QFile file(golden);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << golden.toStdString();
        EXPECT_EQ(bytes.toHex(' ').toStdString(), file.readAll().toHex(' ').toStdString());
    }
    if (rewrite) GTEST_SKIP() << "rewrote the golden data files in " << folder.toStdString();
}
