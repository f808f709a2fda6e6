// Round trips through the link on the virtual clock: the logger simulator
// encodes with its own code, the program's codec decodes; the setting
// commands go the other way and the simulated logger must hold what was
// sent. The line is paced at 4800 bit/s on the virtual clock.
#include "comm/link.h"
#include "comm/protocol.h"

#include "support/fakes.h"
#include "support/simserial.h"
#include "tools/sim/device.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quillet {
namespace {

struct Rig {
    explicit Rig(const sim::Config& c) : device(c), line(device), serial(t.clock, line) {
        t.ctx.serial = &serial;
        t.ctx.timing.commandWait = 10;
        t.ctx.timing.readTimeout = 1000;
    }
    fakes::TestContext t;
    sim::Device device;
    fakes::DeviceLine line;
    fakes::SimSerial serial;
    AppContext& ctx() { return t.ctx; }
};

struct ModelCase {
    const char* name;
    int model;
    int records;
    int flags;
    int wrapPosition;
};

const ModelCase kModels[] = {
    {"model 1", 1, 100, 0, 1}, {"model 2", 2, 600, 0, 1},        {"model 3", 3, 250, 0, 1},
    {"model 4", 4, 37, 0, 1},  {"model 4 endless", 4, 20, 2, 1}, {"model 4 wrapped", 4, 0, 3, 1234},
};

sim::Config configFor(const ModelCase& m) {
    sim::Config c;
    c.model = m.model;
    c.records = m.records;
    c.seed = 11;
    c.cardNo = 200;
    c.testNo = 17;
    c.start = {2012, 3, 4, 5, 6, m.model >= 3 ? 2 : 0};
    c.intervalHour = 0;
    c.intervalMinute = 5;
    c.intervalTenSec = m.model >= 3 ? 3 : 0;
    c.flags = m.flags;
    c.wrapPosition = m.wrapPosition;
    if (m.model != 4) {
        c.referenceRaw[0] = 0x2FA;
        c.referenceSide[0] = 8;
    }
    if (m.model == 3) c.rangeCode[0] = 7;
    c.errorSamples = 4;
    return c;
}

int16_t stored(int raw, int rangeLow) { return raw == 1023 ? 9999 : int16_t(raw + rangeLow); }

class RoundTrip : public ::testing::TestWithParam<ModelCase> {};

TEST_P(RoundTrip, IdentificationSummaryAndValues) {
    const ModelCase& m = GetParam();
    Rig rig(configFor(m));
    AppContext& ctx = rig.ctx();
    const sim::Device& dev = rig.device;
    const bool two = m.model != 3;

    // 1,1
    ASSERT_EQ(request(ctx, 1, 1, {}), 0);
    ASSERT_EQ(parseIdentification(ctx, 0), m.model);
    const PendingLogger& p = ctx.pendingLogger;
    EXPECT_EQ(p.ch[1].cardNo, 200);
    EXPECT_EQ(p.ch[1].testNo, 17);
    EXPECT_EQ(p.ch[1].startYear, 2012);
    EXPECT_EQ(p.ch[1].startMonth, 3);
    EXPECT_EQ(p.ch[1].startDay, 4);
    EXPECT_EQ(p.ch[1].startHour, 5);
    EXPECT_EQ(p.ch[1].startMinute, 6);
    EXPECT_EQ(p.ch[1].startTenSec, dev.start().tenSec);
    EXPECT_EQ(p.ch[1].intervalMinute, 5);
    EXPECT_EQ(p.ch[1].intervalTenSec, dev.intervalTenSec());
    for (int c = 1; c <= (two ? 2 : 1); ++c) {
        const int low = sim::rangeLowOf(dev.rangeCode(c));
        EXPECT_EQ(p.ch[c].rangeCode, dev.rangeCode(c)) << c;
        EXPECT_EQ(p.ch[c].rangeLow, low) << c;
        if (m.model == 4) {
            EXPECT_EQ(p.ch[c].referenceValue, 9999);
            EXPECT_EQ(p.ch[c].upperAlarm, dev.upperAlarmRaw(c) - 400);
            EXPECT_EQ(p.ch[c].lowerAlarm, dev.lowerAlarmRaw(c) - 400);
        } else {
            const int ref = dev.referenceRaw(c);
            EXPECT_EQ(p.ch[c].referenceValue, ref == 0xFFF ? 9999 : ref + low) << c;
            EXPECT_EQ(p.ch[c].referenceSide, ref == 0xFFF ? 0 : dev.referenceSide(c)) << c;
        }
    }
    if (m.model == 3) {
        EXPECT_EQ(p.rangeModeCode, 7);
    }
    if (m.model == 4) {
        EXPECT_EQ(p.endlessFlag, (m.flags & 2) != 0);
        EXPECT_EQ(p.wrapFlag, (m.flags & 1) != 0);
    }

    // 1,4
    ASSERT_EQ(request(ctx, 1, 4, {}), 0);
    ASSERT_TRUE(parseSummary(ctx));
    const bool wrapped = m.flags == 3;
    const int n = wrapped ? 6000 : m.records;
    ASSERT_EQ(p.ch[1].sampleCount, n);
    const std::vector<int>& raw1 = dev.rawRecords(1);
    ASSERT_EQ(int(raw1.size()), n);
    int maxRaw = -1, errors = 0;
    for (int r : raw1) {
        if (r == 1023)
            ++errors;
        else
            maxRaw = std::max(maxRaw, r);
    }
    EXPECT_EQ(p.ch[1].errorCount, errors);
    EXPECT_EQ(p.ch[1].maxValue, maxRaw + p.ch[1].rangeLow);

    // 1,2, paced: about one character every 2.08 ms.
    int lastValue = 0, maximum = 0;
    ctx.comm->progress = [&](int mx, int v) {
        maximum = mx;
        lastValue = v;
    };
    const qint64 before = rig.t.clock.ms;
    ASSERT_EQ(request(ctx, 1, 2, {}, {two ? Progress::TwoChannels : Progress::OneChannel, p.ch[1].sampleCount}), 0);
    const qint64 took = rig.t.clock.ms - before;
    const int chars = blockCount(n, two) * 88;
    EXPECT_EQ(ctx.comm->receiveBuffer.size(), chars);
    EXPECT_EQ(lastValue, chars);
    EXPECT_EQ(maximum, (n / (two ? 16 : 32) + 1) * 88);
    EXPECT_NEAR(double(took), chars / 0.48 + 110, 20.0);
    ASSERT_TRUE(decodeBlocks(ctx, {3, 4}, two));

    const int p0 = wrapped ? m.wrapPosition : 0;  // the newest record in memory
    for (int i = 0; i < n; ++i) {
        const int memory = (i + p0) % n;  // oldest first
        ASSERT_EQ(ctx.store.samples[3][i + 1], stored(raw1[memory], p.ch[1].rangeLow)) << i;
        if (two) {
            ASSERT_EQ(ctx.store.samples[4][i + 1], stored(dev.rawRecords(2)[memory], p.ch[2].rangeLow)) << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Models, RoundTrip, ::testing::ValuesIn(kModels), [](const auto& info) {
    QByteArray n = info.param.name;
    n.replace(' ', '_');
    return n.toStdString();
});

// ---- Writing settings -------------------------------------------------------

TEST(SettingsRoundTrip, TheLoggerHoldsWhatWasSent) {
    for (int model = 1; model <= 4; ++model) {
        sim::Config c;
        c.model = model;
        c.records = 5;
        c.status = "21";  // locked
        Rig rig(c);
        AppContext& ctx = rig.ctx();
        ASSERT_EQ(request(ctx, 1, 1, {}), 0);
        ASSERT_EQ(parseIdentification(ctx, 0), model);

        RecordingSettings s;
        s.cardNo = 26;
        s.testNo = 255;
        s.intervalHour = model == 1 ? 1 : 0;
        s.intervalMinute = model == 1 ? 0 : 15;
        s.useSecondsInterval = model == 3;
        s.secondsInterval = 40;
        s.recordMode = endless;
        s.lockLogger = false;
        s.upperAlarm = {0, 30, 80};
        s.lowerAlarm = {0, -10, 20};
        s.referenceValue = {0, 65, 50};
        s.referenceSide = {0, 8, 0};
        s.recordLimit = 1234;
        s.clockTime = QDateTime(QDate(2013, 11, 15), QTime(9, 5));
        s.startTime = QDateTime(QDate(2013, 11, 16), QTime(12, 0));

        for (const auto& cmd : settingCommands(s, ctx.pendingLogger))
            ASSERT_EQ(request(ctx, cmd.group, cmd.number, cmd.data), 0)
                << model << ": " << cmd.group << "," << cmd.number;

        const sim::Device& d = rig.device;
        SCOPED_TRACE(model);
        EXPECT_EQ(d.cardNo(), 26);
        EXPECT_EQ(d.testNo(), 255);
        if (model == 3) {
            EXPECT_EQ(d.intervalTenSec(), 4);
            EXPECT_EQ(d.intervalMinute(), 0);
        } else {
            EXPECT_EQ(d.intervalHour(), model == 1 ? 1 : 0);
            EXPECT_EQ(d.intervalMinute(), model == 1 ? 0 : 15);
        }
        EXPECT_EQ(d.clock(), (sim::LoggerTime{2013, 11, 15, 9, 5, 0}));
        EXPECT_EQ(d.start(), (sim::LoggerTime{2013, 11, 16, 12, 0, 0}));
        if (model != 4) {
            EXPECT_EQ(d.referenceRaw(1), 650);
            EXPECT_EQ(d.referenceSide(1), 8);
        }
        if (model == 1 || model == 2) {
            EXPECT_EQ(d.referenceRaw(2), 500);
            EXPECT_EQ(d.upperAlarmRaw(1), 300 + 400);  // from -40.0
            EXPECT_EQ(d.lowerAlarmRaw(1), -100 + 400);
            EXPECT_EQ(d.upperAlarmRaw(2), 800);  // humidity from 0
            EXPECT_EQ(d.lowerAlarmRaw(2), 200);
            EXPECT_EQ(d.recordLimit(), 1234);
        }
        if (model == 4) {
            EXPECT_EQ(d.upperAlarmRaw(2), 800 + 400);
            EXPECT_TRUE(d.endless());
            EXPECT_FALSE(d.locked());  // "2": left unlocked
        } else {
            EXPECT_TRUE(d.locked());
        }
    }
}

// ---- Faults of the simulated logger ------------------------------------------

TEST(Faults, RetriesAndResults) {
    const struct {
        const char* what;
        int group, number;
        QByteArray data;
        sim::Faults faults;
        int result;
        int requests;
    } cases[] = {
        {"silence", 1, 1, {}, {.silence = true}, 2, 5},
        {"garbage", 1, 1, {}, {.garbage = true}, 1, 5},
        {"cut short", 1, 4, {}, {.cutAfter = 20}, 1, 5},
        {"NAK", 3, 5, "A1", {.nak = true}, 1, 5},
        {"two silent attempts", 1, 1, {}, {.failFirst = 2}, 0, 3},
        {"one NAK", 3, 6, "A1", {.nak = true, .failFirst = 1}, 0, 2},
    };
    for (const auto& c : cases) {
        sim::Config cfg;
        cfg.model = 2;
        cfg.records = 10;
        cfg.faults = c.faults;
        Rig rig(cfg);
        EXPECT_EQ(request(rig.ctx(), c.group, c.number, c.data), c.result) << c.what;
        EXPECT_EQ(rig.device.requestCount(), c.requests) << c.what;
        EXPECT_FALSE(rig.serial.isOpen()) << c.what;
    }
}

TEST(Faults, BrokenBlockIsRefusedAndLeavesTheSamples) {
    sim::Config cfg;
    cfg.model = 2;
    cfg.records = 40;
    cfg.faults.brokenBlock = 2;
    Rig rig(cfg);
    AppContext& ctx = rig.ctx();
    ASSERT_EQ(request(ctx, 1, 1, {}), 0);
    parseIdentification(ctx, 0);
    ASSERT_EQ(request(ctx, 1, 4, {}), 0);
    ASSERT_TRUE(parseSummary(ctx));
    ctx.store.samples[1][1] = 4321;
    ASSERT_EQ(request(ctx, 1, 2, {}, {Progress::TwoChannels}), 0);  // framing of the whole answer is fine
    EXPECT_FALSE(decodeBlocks(ctx, {1, 2}, true));
    EXPECT_EQ(ctx.comm->status, 1);
    EXPECT_EQ(ctx.store.samples[1][1], 4321);
}

TEST(Faults, LineGoingDeadInTheMiddleOfTheValues) {
    sim::Config cfg;
    cfg.model = 2;
    cfg.records = 100;
    cfg.faults.disconnectAfter = 300;
    Rig rig(cfg);
    // The first attempt ends faulty with what came; the dead line then
    // stays silent.
    EXPECT_EQ(request(rig.ctx(), 1, 2, {}, {Progress::TwoChannels}, 1), 1);
    EXPECT_EQ(rig.ctx().comm->receiveBuffer.size(), 300);
    EXPECT_EQ(request(rig.ctx(), 1, 2, {}, {Progress::TwoChannels}), 2);
}

TEST(Faults, UnsupportedIdentificationLength) {
    sim::Config cfg;
    cfg.model = 2;
    cfg.faults.identLength = 70;
    Rig rig(cfg);
    ASSERT_EQ(request(rig.ctx(), 1, 1, {}), 0);  // well framed
    EXPECT_EQ(parseIdentification(rig.ctx(), 0), 0);
    EXPECT_EQ(rig.ctx().comm->status, 1);
    EXPECT_EQ(rig.t.messages.texts(), QStringList{QStringLiteral("対応していないロガーです。")});
}

}  // namespace
}  // namespace quillet
