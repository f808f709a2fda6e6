// Writing recording settings on the virtual clock: the preparation and the
// writer against the simulator's device model, checked through the frames
// the simulated logger received and what it reports afterwards.
#include "comm/settingswriter.h"
#include "comm/link.h"
#include "comm/protocol.h"
#include "support/fakes.h"
#include "support/settingsdialog.h"
#include "support/simserial.h"
#include "tools/sim/device.h"

#include <gtest/gtest.h>

using namespace quillet;

namespace {

using Frames = QList<QByteArray>;

struct Rig {
    explicit Rig(const sim::Config& config)
        : device(config, [this] { return t.clock.ms; }), line(device), serial(t.clock, line) {
        t.ctx.serial = &serial;
        serial.paced = false;
    }
    fakes::TestContext t;
    sim::Device device;
    fakes::DeviceLine line;
    fakes::SimSerial serial;
    fakes::ScriptedSettingsDialog dialog;

    AppContext& ctx() { return t.ctx; }
    void prepare() { prepareSettings(t.ctx, dialog); }
    // The frames received from the n-th on.
    Frames framesFrom(int n) const { return device.log().mid(n); }
};

sim::Config logger(int model, const QByteArray& status = "22") {
    sim::Config c;
    c.model = model;
    c.records = 20;
    c.status = status;
    return c;
}

// The PC clock of the tests starts at 2013-11-15 09:05:00.
RecordingSettings settingsFor(int model) {
    RecordingSettings s;
    s.cardNo = 26;
    s.testNo = 7;
    s.intervalHour = model == 1 ? 1 : 0;
    s.intervalMinute = model == 1 ? 0 : model == 4 ? 15 : 10;
    s.useSecondsInterval = model == 3;
    s.secondsInterval = 30;
    s.recordMode = model == 3 ? endless : oneTime;
    s.lockLogger = false;
    s.referenceValue = {0, model == 3 ? int16_t(20) : int16_t(65), 50};
    s.referenceSide = {0, int16_t(model == 3 ? 0 : 8), 0};
    s.upperAlarm = {0, 30, int16_t(model == 4 ? 150 : 80)};
    s.lowerAlarm = {0, -10, int16_t(model == 4 ? 149 : 20)};
    s.recordLimit = model == 4 ? 5999 : 1234;
    s.clockTime = QDateTime(QDate(2013, 11, 15), QTime(9, 5));
    s.startTime = QDateTime(QDate(2013, 11, 16), QTime(12, 0));
    return s;
}

// ---- The writer's steps per model -------------------------------------------

TEST(SettingsWriter, EachModelGetsItsStepsEncoded) {
    const struct {
        int model;
        Frames frames;      // after the preparation's 1,3 and 1,1
        QByteArray status;  // afterwards: waiting, locked or not
    } cases[] = {
        {1,
         {"3,5 A1", "3,6 70", "3,3 0010", "3,4 A8284F10", "3,8 CB2C21", "3,9 0238C0", "3,0 2D40", "3,1 5090F0B0D0",
          "3,2 00C001B0D0", "2,1 1"},
         "31"},
        {2,
         {"3,5 A1", "3,6 70", "3,3 A000", "3,4 A8284F10", "3,8 CB2C21", "3,9 0238C0", "3,0 2D40", "3,1 5090F0B0D0",
          "3,2 00C001B0D0", "2,1 1"},
         "31"},
        // One channel: mode and seconds interval, one reference, no alarms
        // and no record limit.
        {3, {"3,5 A1", "3,6 70", "3,7 1", "3,3 0003", "3,4 8C00", "3,1 5090F0B0D0", "3,2 00C001B0D0", "2,1 1"}, "31"},
        // No references; alarms counted from -40.0 on both channels; the
        // lock as the check box says.
        {4,
         {"3,5 A1", "3,6 70", "3,7 0", "3,3 F000", "3,8 CB2C21", "3,9 C67267", "3,0 F671", "3,1 5090F0B0D0",
          "3,2 00C001B0D0", "2,1 2"},
         "32"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.model);
        Rig rig(logger(k.model));
        rig.dialog.settings = settingsFor(k.model);
        rig.prepare();
        EXPECT_EQ(rig.framesFrom(0).mid(0, 2), (Frames{"1,3", "1,1"}));
        EXPECT_EQ(rig.framesFrom(2), k.frames);
        const std::vector<int> steps =
            k.model == 3 ? std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8} : std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9};
        EXPECT_EQ(rig.dialog.bar, steps);
        EXPECT_EQ(rig.dialog.writeStatus, 0);
        EXPECT_EQ(rig.dialog.startSent, QDateTime(QDate(2013, 11, 16), QTime(12, 0)));
        EXPECT_EQ(rig.ctx().comm->status, 0);
        EXPECT_TRUE(rig.t.messages.shown.empty()) << rig.t.messages.texts().join("|").toStdString();

        // The logger reports what it was sent and waits for its start.
        ASSERT_EQ(request(rig.ctx(), 1, 1, {}), 0);
        ASSERT_EQ(parseIdentification(rig.ctx(), 1), k.model);
        const PendingLogger& p = rig.ctx().pendingLogger;
        EXPECT_EQ(p.ch[1].cardNo, 26);
        EXPECT_EQ(p.ch[1].testNo, 7);
        EXPECT_EQ(p.ch[1].startDay, 16);
        EXPECT_EQ(p.ch[1].startHour, 12);
        if (k.model == 3) {
            EXPECT_EQ(p.ch[1].intervalTenSec, 3);
            EXPECT_EQ(p.rangeModeCode, 6);  // endless, range 1
            EXPECT_EQ(p.ch[1].referenceValue, -400 + 200);
        } else {
            EXPECT_EQ(p.ch[1].upperAlarm, 300);
            EXPECT_EQ(p.ch[1].lowerAlarm, -100);
        }
        ASSERT_EQ(request(rig.ctx(), 1, 3, {}), 0);
        EXPECT_EQ(rig.ctx().comm->receiveBuffer.mid(4, 2), k.status);
    }
}

// ---- The preparation ------------------------------------------------------------

TEST(SettingsPreparation, StatusDecidesTheUnlock) {
    const QString recording = QStringLiteral("収録中又は収録予約中です。");
    const QString readError = QStringLiteral("読み取りエラーです。");
    const struct {
        QByteArray status;
        Frames frames;
        QStringList messages;
    } cases[] = {
        {"21", {"1,3", "2,1 2", "1,1"}, {}},
        {"22", {"1,3", "1,1"}, {}},
        {"02", {"1,3", "1,1"}, {}},
        // Recording or waiting: reported, not unlocked, the dialog still opens.
        {"11", {"1,3", "1,1"}, {recording}},
        {"31", {"1,3", "1,1"}, {recording}},
        {"20", {"1,3", "1,1"}, {readError}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.status.constData());
        Rig rig(logger(2, k.status));
        rig.dialog.ok = false;
        rig.prepare();
        EXPECT_EQ(rig.framesFrom(0), k.frames);
        EXPECT_EQ(rig.t.messages.texts(), k.messages);
        for (const auto& m : rig.t.messages.shown) EXPECT_EQ(m.title, QStringLiteral("ロガー設定"));
        ASSERT_TRUE(rig.dialog.shown.has_value());
        EXPECT_EQ(rig.dialog.shown->loggerModel, 2);
        EXPECT_EQ(rig.ctx().comm->status, 0);
    }
}

TEST(SettingsPreparation, FailuresKeepTheDialogClosed) {
    const QString wrong = QStringLiteral("正しく設定できませんでした。");
    const QString silent = QStringLiteral("応答がありません。");
    const struct {
        const char* what;
        QByteArray status;
        sim::Faults faults;
        QStringList messages;
        int commStatus;
        int requests;
    } cases[] = {
        {"status unanswered", "22", {.silence = true}, {silent}, 2, 5},
        {"status garbled", "22", {.garbage = true}, {wrong}, 1, 5},
        {"unlock refused", "21", {.nak = true, .only = {21}}, {wrong}, 1, 6},
        {"identification unanswered", "22", {.silence = true, .only = {11}}, {silent}, 2, 6},
        {"no such model", "22", {.identLength = 70}, {QStringLiteral("対応していないロガーです。"), wrong}, 1, 2},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        sim::Config c = logger(2, k.status);
        c.faults = k.faults;
        Rig rig(c);
        rig.prepare();
        EXPECT_FALSE(rig.dialog.shown.has_value());
        EXPECT_EQ(rig.t.messages.texts(), k.messages);
        EXPECT_EQ(rig.t.messages.shown.back().title, QStringLiteral("ロガー設定"));
        EXPECT_EQ(rig.ctx().comm->status, k.commStatus);
        EXPECT_EQ(rig.device.requestCount(), k.requests);
    }
}

TEST(SettingsPreparation, ModelThreeSettingsTakeTheSecondRangeCode) {
    sim::Config c = logger(3);
    c.rangeCode[0] = 2;   // the recording held: one-time, range 2
    c.nextRangeCode = 8;  // set for the next one: endless, range 3
    Rig rig(c);
    rig.dialog.ok = false;
    rig.prepare();
    EXPECT_EQ(rig.framesFrom(0), (Frames{"1,3", "1,1"}));
    ASSERT_TRUE(rig.dialog.shown.has_value());
    EXPECT_EQ(rig.dialog.shown->rangeModeCode, 8);
}

// ---- The start time and failures of the writer ------------------------------------

TEST(SettingsWriter, StartNotLaterThanTheClockMovesToNowPlusOneMinute) {
    const QDateTime clock(QDate(2013, 11, 15), QTime(9, 5));
    const struct {
        const char* what;
        QDateTime start;
        QByteArray sent;
    } cases[] = {
        {"the clock minute", clock, "3,2 6090F0B0D0"},    {"earlier", clock.addDays(-1), "3,2 6090F0B0D0"},
        {"not set", QDateTime(), "3,2 6090F0B0D0"},       {"a minute later", clock.addSecs(60), "3,2 6090F0B0D0"},
        {"later", clock.addSecs(3600), "3,2 50A0F0B0D0"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        Rig rig(logger(2));
        rig.dialog.settings = settingsFor(2);
        rig.dialog.settings.startTime = k.start;
        rig.prepare();
        const Frames frames = rig.framesFrom(0);
        EXPECT_EQ(frames[frames.size() - 2], k.sent);
        EXPECT_EQ(dateTimeData(rig.dialog.startSent), k.sent.mid(4));
    }
}

TEST(SettingsWriter, UnacknowledgedStepIsRetriedThenNothingMoreIsSent) {
    sim::Config c = logger(2);
    c.faults.nak = true;
    c.faults.only = {36};
    Rig rig(c);
    rig.dialog.settings = settingsFor(2);
    rig.prepare();
    EXPECT_EQ(rig.framesFrom(2), (Frames{"3,5 A1", "3,6 70", "3,6 70", "3,6 70", "3,6 70", "3,6 70"}));
    EXPECT_EQ(rig.dialog.bar, (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(rig.dialog.writeStatus, 1);
    EXPECT_FALSE(rig.dialog.startSent.isValid());
    // The dialog tells the user it failed; the writer names the half-set items.
    ASSERT_EQ(rig.t.messages.shown.size(), 1u);
    EXPECT_TRUE(rig.t.messages.shown[0].text.contains(QStringLiteral("書き込まれた項目：カードNo.")));
    EXPECT_EQ(rig.device.cardNo(), 26);
    EXPECT_EQ(rig.device.testNo(), 1);
}

// ---- After writing: the logger waits, then records ----------------------------------

TEST(SettingsWriter, LoggerWaitsForTheStartThenRecordsAtTheInterval) {
    Rig rig(logger(2));
    RecordingSettings s = settingsFor(2);
    s.intervalMinute = 1;
    s.recordLimit = 5999;
    s.startTime = s.clockTime;  // moved to now + 1 minute: 09:06
    rig.dialog.settings = s;
    rig.prepare();
    ASSERT_EQ(rig.dialog.writeStatus, 0);
    EXPECT_EQ(rig.dialog.startSent, QDateTime(QDate(2013, 11, 15), QTime(9, 6)));

    auto status = [&] {
        EXPECT_EQ(request(rig.ctx(), 1, 3, {}), 0);
        return rig.ctx().comm->receiveBuffer.mid(4, 2);
    };
    auto records = [&] {
        EXPECT_EQ(request(rig.ctx(), 1, 1, {}), 0);
        parseIdentification(rig.ctx(), 0);
        EXPECT_EQ(request(rig.ctx(), 1, 4, {}), 0);
        EXPECT_TRUE(parseSummary(rig.ctx()));
        return int(rig.ctx().pendingLogger->ch[1].sampleCount);
    };
    EXPECT_EQ(status(), "31");
    EXPECT_EQ(records(), 0);
    // The logger's clock was set to 09:05:00 when 3,1 arrived; it reaches
    // the start a minute later.
    rig.t.clock.ms += 60'000;
    EXPECT_EQ(status(), "11");
    EXPECT_EQ(records(), 1);
    rig.t.clock.ms += 150'000;
    EXPECT_EQ(records(), 3);

    // A new preparation sees the recording.
    rig.dialog.ok = false;
    rig.prepare();
    EXPECT_EQ(rig.t.messages.texts(), QStringList{QStringLiteral("収録中又は収録予約中です。")});
}

}  // namespace

TEST(SettingsWriter, StatusWordNamesStartIntervalAndEnd) {
    const QDateTime start(QDate(2026, 12, 8), QTime(8, 0));
    struct Case {
        int model;
        int hour, minute;
        bool seconds;
        int secondsInterval;
        int recordLimit;
        const char* want;
    } cases[] = {
        {1, 0, 15, false, 10, 0, "ロガーに設定を書き込みました（開始 2026-12-08 08:00、間隔 00:15）"},
        {1, 0, 15, false, 10, 96,
         "ロガーに設定を書き込みました（開始 2026-12-08 08:00、間隔 00:15、終了 2026-12-09 08:00）"},
        {4, 1, 0, false, 10, 3,
         "ロガーに設定を書き込みました（開始 2026-12-08 08:00、間隔 01:00、終了 2026-12-08 11:00）"},
        {4, 0, 1, true, 30, 4,
         "ロガーに設定を書き込みました（開始 2026-12-08 08:00、間隔 30秒、終了 2026-12-08 08:02）"},
        // The one-channel logger keeps no end; a seconds interval only where the model has one.
        {3, 0, 5, false, 10, 96, "ロガーに設定を書き込みました（開始 2026-12-08 08:00、間隔 00:05）"},
        {1, 0, 5, true, 20, 0, "ロガーに設定を書き込みました（開始 2026-12-08 08:00、間隔 00:05）"},
    };
    for (const Case& c : cases) {
        RecordingSettings s;
        s.intervalHour = int16_t(c.hour);
        s.intervalMinute = int16_t(c.minute);
        s.useSecondsInterval = c.seconds;
        s.secondsInterval = int16_t(c.secondsInterval);
        s.recordLimit = int16_t(c.recordLimit);
        EXPECT_EQ(settingsWrittenText(s, start, c.model), QString::fromUtf8(c.want)) << c.model << " " << c.recordLimit;
    }
}
