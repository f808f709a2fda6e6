// The usual communication end to end on the virtual clock: the read-out, the
// automatic save and the settings step against the simulator's device model.
// The settings step is a recording stand-in: these tests check when it runs.
#include "comm/usual.h"
#include "comm/link.h"
#include "core/catalog.h"
#include "core/loggermodels.h"
#include "core/store.h"
#include "core/vb.h"
#include "datafile/datafile.h"
#include "datafile/fileops.h"
#include "loggerset/unseensettings.h"
#include "support/fakes.h"
#include "support/simserial.h"
#include "tools/sim/device.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace quillet;

namespace {

QString u8(const char* s) { return QString::fromUtf8(s); }

struct Rig : UsualView {
    explicit Rig(sim::Config config) : device(config), line(device), serial(t.clock, line) {
        t.ctx.serial = &serial;
        serial.paced = false;
        steps.chooseDestinations = [](AppContext& ctx) {
            return Destinations{1, isTwoChannelModel(ctx.pendingLogger->loggerModel) ? 2 : 0};
        };
        steps.settingsStep = [this](AppContext& ctx, const QDateTime& start) {
            ++settingsCalls;
            startTime = start;
            storeInUseDuringSettings = countChannelsInUse(ctx.store);
            framesBeforeSettings = int(device.received().size());
            filesBeforeSettings = savedFiles();
            if (realSettings) written = usualSettingsStep(ctx, start);
            return written.writtenSettings();
        };
    }

    void setMode(const QString& text) override { modes << text; }
    void showSummary(const UsualSummary& s) override { summaries.push_back(s); }

    // startUsualCommunication and the run, with task and naming as UsualCommunicationDialog saved them.
    UsualOutcome run(int task, int naming) {
        t.ctx.general.usualCommunicationTask = int16_t(task);
        t.ctx.general.usualCommunicationNaming = int16_t(naming);
        const std::optional<UsualRun> run = beginUsualCommunication(t.ctx);
        if (!run) return {};
        return runUsualCommunication(t.ctx, *run, steps, *this);
    }
    int requests(int group) const {
        int n = 0;
        for (const auto& r : device.received()) n += r.group == group ? 1 : 0;
        return n;
    }
    // Every file below the documents folder.
    QStringList savedFiles() const {
        QStringList files;
        for (const QString& base : {t.ctx.folders.dateFolder, t.ctx.folders.numberFolder}) {
            QDir d(base);
            for (const QString& sub : d.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
                for (const QString& f : QDir(d.filePath(sub)).entryList(QDir::Files))
                    files << d.filePath(sub + "/" + f);
        }
        return files;
    }

    fakes::TestContext t;
    sim::Device device;
    fakes::DeviceLine line;
    fakes::SimSerial serial;
    UsualSteps steps;
    bool realSettings = false;  // the program's settings step, not only the stand-in's notes
    UnseenSettingsDialog written;
    int framesBeforeSettings = -1;
    QStringList filesBeforeSettings;
    int settingsCalls = 0;
    QDateTime startTime;
    int storeInUseDuringSettings = -1;
    QStringList modes;
    std::vector<UsualSummary> summaries;
};

sim::Config logger(int model, int records) {
    sim::Config c;
    c.model = model;
    c.records = records;
    c.seed = 5;
    return c;
}

void expectNothingLeft(Rig& rig, const char* name) {
    EXPECT_EQ(rig.settingsCalls, 0) << name;
    EXPECT_EQ(rig.requests(3), 0) << name;
    EXPECT_EQ(countChannelsInUse(rig.t.ctx.store), 0) << name;
    EXPECT_EQ(rig.t.ctx.store.channelsInUse, 0) << name;
    EXPECT_EQ(rig.t.ctx.comm->status, 0) << name;
}

}  // namespace

TEST(Usual, SavesUnderTheChosenNameThenSets) {
    const QString day = u8("13年11月15日");
    const struct {
        int model;
        int naming;
        QString file;
    } cases[] = {
        {2, 1, "number/" + day + "/005_012.ql6"},
        {2, 0, u8("date/13年11月/15日09時05分.ql6")},
        {3, 1, "number/" + day + "/005_012.ql6"},
        {4, 0, u8("date/13年11月/15日09時05分.ql6")},
    };
    for (const auto& c : cases) {
        sim::Config cfg = logger(c.model, 250);
        cfg.cardNo = 5;
        cfg.testNo = 12;
        Rig rig(cfg);
        const UsualOutcome out = rig.run(0, c.naming);
        const QString want = rig.t.ctx.folders.documentsFolder + "/" + c.file;
        EXPECT_EQ(out.savedFile, want) << c.model;
        EXPECT_EQ(rig.savedFiles(), QStringList{want}) << c.model;
        EXPECT_TRUE(rig.t.messages.shown.empty()) << rig.t.messages.texts().join("|").toStdString();

        // The settings come after the data is in the file and off the screen.
        EXPECT_EQ(rig.settingsCalls, 1);
        EXPECT_TRUE(out.settingsRan);
        EXPECT_EQ(rig.storeInUseDuringSettings, 0);
        EXPECT_EQ(rig.startTime, QDateTime(QDate(2013, 11, 15), QTime(12, 0)));
        EXPECT_EQ(rig.modes, (QStringList{u8("ロガー読み出し"), u8("ロガー設定")}));
        EXPECT_EQ(rig.t.ctx.store.currentFileName, defaultFileName(rig.t.ctx));

        // The file holds every record the logger had.
        fakes::TestContext back;
        ASSERT_EQ(loadDataFile(back.ctx, want), 0);
        const int channels = c.model == 3 ? 1 : 2;
        EXPECT_EQ(back.ctx.store.channelsInUse, channels);
        for (int k = 1; k <= channels; ++k) {
            const ChannelRecord& ch = back.ctx.store.ch[size_t(k)];
            EXPECT_EQ(ch.sampleCount, 250);
            EXPECT_EQ(ch.cardNo, 5);
            const auto& raw = rig.device.rawRecords(k);
            const int low = rangeLowFor(ch.rangeCode);
            for (int i = 1; i <= 250; ++i)
                ASSERT_EQ(back.ctx.store.samples[size_t(k)][size_t(i)],
                          raw[size_t(i - 1)] == 1023 ? 9999 : raw[size_t(i - 1)] + low)
                    << c.model << " channel " << k << " record " << i;
        }
        ASSERT_EQ(rig.summaries.size(), 1u);
        EXPECT_EQ(rig.summaries[0].data, "250");
        EXPECT_EQ(rig.summaries[0].start, "13-11-15 09:00:00");
        // The second channel: whole %RH on model 2, tenths on model 4.
        const ChannelRecord& c2 = back.ctx.store.ch[2];
        EXPECT_EQ(rig.summaries[0].max[1],
                  c.model == 3 ? QString() : vb::format(c2.maxValue / 10.0, c.model == 4 ? "0.0" : "0"));
        EXPECT_EQ(rig.summaries[0].ave[0], vb::format(back.ctx.store.ch[1].averageValue / 10.0, "0.0"));
    }
}

TEST(Usual, AFailedOrCancelledReadOutSetsNothing) {
    const auto faults = [](auto set) {
        sim::Faults f;
        set(f);
        return f;
    };
    const struct {
        const char* name;
        sim::Faults faults;
        bool cancel;
        const char* caption;
        const char* message;
    } cases[] = {
        {"broken block", faults([](sim::Faults& f) {
             f.brokenBlock = 2;
             f.only = {12};
         }),
         false, "いつもの通信", "読み取りエラーです。"},
        {"disconnect", faults([](sim::Faults& f) {
             f.disconnectAfter = 300;
             f.only = {12};
         }),
         false, "ロガー読み出し", "応答がありません。"},
        {"data cut short", faults([](sim::Faults& f) {
             f.cutAfter = 200;
             f.only = {12};
         }),
         false, "ロガー読み出し", "読み取りエラーです。"},
        {"cancel", {}, true, "いつもの通信", "読み取りを中止いたします。"},
        {"silent logger", faults([](sim::Faults& f) { f.silence = true; }), false, "いつもの通信",
         "応答がありません。"},
        {"garbage", faults([](sim::Faults& f) { f.garbage = true; }), false, "いつもの通信", "読み取りエラーです。"},
        {"unsupported logger", faults([](sim::Faults& f) { f.identLength = 60; }), false, "ロガー読み出し",
         "対応していないロガーです。"},
        {"no port", {}, false, "ロガー読み出し", "無効な通信ポートです。\rエラー8002"},
    };
    for (const auto& c : cases) {
        sim::Config cfg = logger(2, 600);
        cfg.faults = c.faults;
        Rig rig(cfg);
        rig.realSettings = true;
        if (QByteArray(c.name) == "no port") rig.serial.setPortNumber(5);
        bool cancelled = false;
        if (c.cancel) {
            rig.serial.paced = true;
            rig.t.clock.hooks.push_back([&] {
                if (!cancelled && rig.device.requestCount() > 0 && rig.device.received().back().number == 2 &&
                    rig.t.clock.ms > 100) {
                    cancelled = true;
                    requestCancel(rig.t.ctx);
                }
            });
        }
        const UsualOutcome out = rig.run(0, 0);
        EXPECT_EQ(cancelled, c.cancel) << c.name;
        EXPECT_FALSE(out.settingsRan) << c.name;
        EXPECT_TRUE(out.savedFile.isEmpty()) << c.name;
        EXPECT_TRUE(rig.savedFiles().isEmpty()) << c.name;
        ASSERT_EQ(rig.t.messages.shown.size(), 1u) << c.name << ": " << rig.t.messages.texts().join("|").toStdString();
        EXPECT_EQ(rig.t.messages.shown[0].title, u8(c.caption)) << c.name;
        EXPECT_EQ(rig.t.messages.shown[0].text, u8(c.message)) << c.name;
        expectNothingLeft(rig, c.name);
        EXPECT_EQ(rig.device.recordCount(), 600) << c.name;  // the logger keeps its records
    }
}

TEST(Usual, AFailedOrDeclinedSaveSetsNothing) {
    enum Trap { BaseIsAFile, TargetIsAFolder, ExistsAndDeclined, ReadOnlyFolder };
    const struct {
        const char* name;
        Trap trap;
        const char* message;
    } cases[] = {
        {"folder cannot be created", BaseIsAFile, "パスが見つかりません。\rエラー76"},
        {"write error", TargetIsAFolder, "ファイルを上書きしますか？"},
        {"overwrite declined", ExistsAndDeclined, "ファイルを上書きしますか？"},
        {"read-only folder", ReadOnlyFolder, nullptr},
    };
    for (const auto& c : cases) {
        Rig rig(logger(2, 100));
        rig.realSettings = true;
        const QString month = rig.t.ctx.folders.dateFolder + u8("/13年11月");
        const QString target = month + u8("/15日09時05分.ql6");
        switch (c.trap) {
        case BaseIsAFile: {
            QFile f(rig.t.ctx.folders.dateFolder);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            break;
        }
        case TargetIsAFolder: ASSERT_TRUE(QDir().mkpath(target)); break;
        case ExistsAndDeclined: {
            ASSERT_TRUE(QDir().mkpath(month));
            QFile f(target);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("kept");
            rig.t.messages.answers = {kCancel};
            break;
        }
        case ReadOnlyFolder: {
            ASSERT_TRUE(QDir().mkpath(month));
            QFile::setPermissions(month, QFile::ReadOwner | QFile::ExeOwner);
            QFile probe(month + "/probe");
            if (probe.open(QIODevice::WriteOnly)) {
                probe.remove();  // the super-user writes anyway
                QFile::setPermissions(month, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
                continue;
            }
            break;
        }
        }
        const UsualOutcome out = rig.run(0, 0);
        QFile::setPermissions(month, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        EXPECT_FALSE(out.settingsRan) << c.name;
        EXPECT_TRUE(out.savedFile.isEmpty()) << c.name;
        ASSERT_FALSE(rig.t.messages.shown.empty()) << c.name;
        if (c.message) {
            EXPECT_EQ(rig.t.messages.shown[0].text, u8(c.message)) << c.name;
        }
        EXPECT_EQ(rig.t.messages.shown.back().title, u8("ファイルの保存")) << c.name;
        expectNothingLeft(rig, c.name);
        if (c.trap == ExistsAndDeclined) {
            QFile f(target);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            EXPECT_EQ(f.readAll(), "kept");
        }
    }
}

TEST(Usual, ALoggerWithoutRecordsAsksFirst) {
    for (const int answer : {kOk, kCancel}) {
        Rig rig(logger(2, 0));
        rig.t.messages.answers = {answer};
        const UsualOutcome out = rig.run(0, 1);
        ASSERT_EQ(rig.t.messages.shown.size(), 1u);
        EXPECT_EQ(rig.t.messages.shown[0].text, u8("収録データがありません。ロガーの設定を継続しますか？"));
        EXPECT_EQ(rig.t.messages.shown[0].title, u8("いつもの通信"));
        EXPECT_EQ(rig.t.messages.shown[0].style, kOkCancel);
        EXPECT_EQ(rig.settingsCalls, answer == kOk ? 1 : 0);
        EXPECT_EQ(rig.requests(1), 2);  // identification and summary, no transfer
        EXPECT_TRUE(rig.savedFiles().isEmpty());
        EXPECT_TRUE(out.savedFile.isEmpty());
    }
}

TEST(Usual, DataOnScreen) {
    // Task 0 refuses with message 71; task 1 sets the logger and leaves the
    // store as it was.
    for (const int task : {0, 1}) {
        Rig rig(logger(2, 100));
        ChannelStore& s = rig.t.ctx.store;
        s.ch[3].inUse = 1;
        s.ch[3].sampleCount = 2;
        s.samples[3][1] = 215;
        s.channelsInUse = 1;
        s.unsavedRead = 1;
        s.currentFileName = "/tmp/kept.ql6";
        const UsualOutcome out = rig.run(task, 0);
        EXPECT_EQ(rig.requests(1), 0) << task;  // the settings step does its own talking
        EXPECT_EQ(rig.settingsCalls, task == 1 ? 1 : 0);
        EXPECT_EQ(s.ch[3].inUse, 1);
        EXPECT_EQ(s.samples[3][1], 215);
        EXPECT_EQ(s.channelsInUse, 1);
        EXPECT_EQ(s.unsavedRead, 1);
        EXPECT_EQ(s.currentFileName, "/tmp/kept.ql6");
        if (task == 0) {
            EXPECT_EQ(rig.t.messages.texts(),
                      QStringList{u8("いつもの通信（データ読み出し＋ファイル保存＋ロガー設定）を行う前には\r"
                                     "画面上のデータを無くしてください。")});
        } else {
            EXPECT_TRUE(rig.t.messages.shown.empty());
            EXPECT_EQ(rig.modes, QStringList{u8("ロガー設定")});
            EXPECT_TRUE(out.settingsRan);
        }
    }
}

TEST(Usual, StartTimeTodayOrTomorrow) {
    const QDate today(2013, 11, 15);
    const QDate tomorrow = today.addDays(1);
    const struct {
        QTime now;
        const char* chosen;
        QDate day;
        QTime at;
    } cases[] = {
        {QTime(9, 5), "12:00", today, QTime(12, 0)},
        {QTime(11, 59, 59), "12:00", today, QTime(12, 0)},
        {QTime(12, 0, 0), "12:00", tomorrow, QTime(12, 0)},  // not earlier: tomorrow
        {QTime(12, 0, 59), "12:00", tomorrow, QTime(12, 0)},
        {QTime(23, 29), "23:30", today, QTime(23, 30)},
        {QTime(0, 0, 10), "00:00", tomorrow, QTime(0, 0)},
        {QTime(9, 5), "24:00", today, QTime(12, 0)},  // unreadable: noon
    };
    for (const auto& c : cases) {
        const QDateTime now(today, c.now);
        EXPECT_EQ(usualStartTime(now, u8(c.chosen)), QDateTime(c.day, c.at))
            << c.chosen << " at " << c.now.toString().toStdString();
        // The settings dialog opens with the same start during the run (a
        // time it cannot read never gets there: UsualCommunicationDialog's load keeps "12:00").
        if (QTime::fromString(u8(c.chosen), "HH:mm").isValid()) {
            EXPECT_EQ(initialStartTime(now, u8(c.chosen)), QDateTime(c.day, c.at)) << c.chosen;
        }
    }

    // The run gives the settings step the time at the moment it starts it.
    Rig rig(logger(2, 10));
    rig.t.clock.wallClock = QDateTime(today, QTime(12, 29, 59, 990));
    rig.t.ctx.general.usualCommunicationStartTime = "12:30";
    rig.run(0, 0);
    EXPECT_EQ(rig.startTime, QDateTime(tomorrow, QTime(12, 30)));
}

TEST(Usual, SavedFileMustReadBackWhole) {
    fakes::TestContext t;
    ChannelStore& s = t.ctx.store;
    for (int ch : {2, 5}) {
        s.ch[size_t(ch)].inUse = 1;
        s.ch[size_t(ch)].kind = 1;
        s.ch[size_t(ch)].sampleCount = 30;
        for (int i = 1; i <= 30; ++i) s.samples[size_t(ch)][size_t(i)] = int16_t(100 + i);
    }
    const QString name = t.root + "/check.ql6";
    ASSERT_EQ(runtimeErrorOf(writeFileAtomically(name, ql6Bytes(s))), 0);
    EXPECT_TRUE(savedFileIntact(s, name));
    QFile f(name);
    ASSERT_TRUE(f.resize(f.size() - 2));  // the last sample lost
    EXPECT_FALSE(savedFileIntact(s, name));
    EXPECT_FALSE(savedFileIntact(s, t.root + "/missing.ql6"));
}

TEST(Usual, BlinkShowsTheLabelNineTenthsOfTheTime) {
    // tTenmetu on a virtual clock: over a minute the label is visible 90 %.
    fakes::VirtualClock clock;
    UsualBlink blink;
    qint64 nextTick = blink.intervalMs, visibleMs = 0;
    for (; clock.nowMs() < 60000; clock.processEvents()) {
        if (clock.nowMs() == nextTick) {
            blink.tick();
            nextTick += blink.intervalMs;
        }
        visibleMs += blink.visible ? 1 : 0;
    }
    EXPECT_EQ(visibleMs, 54000);
}

TEST(Usual, WritesTheSettingsOnlyOnceTheFileIsThere) {
    // The program's settings step: the preparation and the unseen dialog
    // write the logger's own settings with the chosen start, after the save.
    const auto nak = [](int command) {
        sim::Faults f;
        f.nak = true;
        f.only = {command};
        return f;
    };
    const struct {
        const char* name;
        int model;
        int task;
        sim::Faults faults;
        int status;
        QStringList commands;
    } cases[] = {
        {"model 2", 2, 0, {}, 0, {"3,5", "3,6", "3,3", "3,4", "3,8", "3,9", "3,0", "3,1", "3,2", "2,1"}},
        {"model 3", 3, 0, {}, 0, {"3,5", "3,6", "3,7", "3,3", "3,4", "3,1", "3,2", "2,1"}},
        {"model 4 set only", 4, 1, {}, 0, {"3,5", "3,6", "3,7", "3,3", "3,8", "3,9", "3,0", "3,1", "3,2", "2,2"}},
        {"test number refused", 2, 0, nak(36), 1, {"3,5", "3,6", "3,6", "3,6", "3,6", "3,6"}},
    };
    for (const auto& c : cases) {
        sim::Config cfg = logger(c.model, 120);
        cfg.cardNo = 26;
        cfg.testNo = 7;
        cfg.intervalMinute = 15;
        cfg.faults = c.faults;
        Rig rig(cfg);
        rig.realSettings = true;
        rig.t.ctx.general.usualCommunicationStartTime = "12:30";
        std::vector<std::pair<int, int>> bar;  // the progress window's bar
        rig.t.ctx.comm->progress = [&bar](int maximum, int value) { bar.emplace_back(maximum, value); };
        const UsualOutcome out = rig.run(c.task, 0);
        const int steps = c.model == 3 ? 8 : 9;
        ASSERT_FALSE(bar.empty()) << c.name;
        EXPECT_EQ(bar.back(), std::make_pair(steps, c.status == 0 ? steps : 0)) << c.name;
        ASSERT_EQ(rig.settingsCalls, 1) << c.name << ": " << rig.t.messages.texts().join("|").toStdString();
        EXPECT_EQ(out.settingsStatus, c.status) << c.name;
        EXPECT_EQ(rig.t.ctx.comm->status, 0) << c.name;
        if (c.task == 0) {
            ASSERT_FALSE(out.savedFile.isEmpty()) << c.name;
            EXPECT_EQ(rig.filesBeforeSettings, QStringList{out.savedFile}) << c.name;
        }
        // Every setting command came after the file was written.
        QStringList settings;
        const auto& frames = rig.device.received();
        for (size_t i = 0; i < frames.size(); ++i) {
            if (frames[i].group == 1) continue;
            EXPECT_GE(int(i), rig.framesBeforeSettings) << c.name;
            settings << QStringLiteral("%1,%2")
                            .arg(frames[i].group)
                            .arg(frames[i].group == 2 ? frames[i].data.toInt() : frames[i].number);
        }
        EXPECT_EQ(settings, c.commands) << c.name;
        if (c.status != 0) {
            // The failure, after the items written when the logger was left half-set.
            const QStringList texts = rig.t.messages.texts();
            ASSERT_FALSE(texts.isEmpty()) << c.name;
            EXPECT_EQ(texts.last(), u8("読み取りエラーです。")) << c.name;
            EXPECT_EQ(texts.size(), settings.size() > 1 ? 2 : 1) << c.name;
            if (texts.size() == 2) {
                EXPECT_TRUE(texts.first().startsWith(u8("ロガーの設定は途中で止まりました。"))) << c.name;
            }
            EXPECT_EQ(rig.device.recordCount(), 120) << c.name;
            continue;
        }
        // The logger keeps its numbers and interval and waits for 12:30
        // on the day of the run.
        EXPECT_TRUE(rig.t.messages.shown.empty()) << c.name << ": " << rig.t.messages.texts().join("|").toStdString();
        EXPECT_EQ(rig.device.cardNo(), 26) << c.name;
        EXPECT_EQ(rig.device.testNo(), 7) << c.name;
        EXPECT_EQ(rig.device.intervalMinute(), 15) << c.name;
        EXPECT_EQ(rig.device.start(), (sim::LoggerTime{2013, 11, 15, 12, 30, 0})) << c.name;
        EXPECT_EQ(rig.device.status().left(1), "3") << c.name;
        EXPECT_EQ(rig.device.recordCount(), 0) << c.name;
        EXPECT_EQ(rig.written.startSent, QDateTime(QDate(2013, 11, 15), QTime(12, 30))) << c.name;
    }
}

TEST(Usual, DataOnScreenSavedOrClearedThenGoesOn) {
    struct Case {
        const char* name;
        int task;
        int answer;                   // to message 71's question
        std::optional<QString> save;  // the save dialog's answer
        bool goesOn;
        bool cleared;
        bool saved;
    } cases[] = {
        {"yes: saved, then cleared", 0, kYes, QString("kept.ql6"), true, true, true},
        {"yes, save cancelled: kept", 0, kYes, std::nullopt, false, false, false},
        {"no: cleared unsaved", 0, kNo, std::nullopt, true, true, false},
        {"cancel: kept", 0, kCancel, std::nullopt, false, false, false},
        {"setting only: nothing asked", 1, kCancel, std::nullopt, true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fakes::TestContext t;
        ChannelStore& s = t.ctx.store;
        s.ch[3].inUse = 1;
        s.ch[3].sampleCount = 2;
        s.samples[3][1] = 215;
        s.channelsInUse = 1;
        s.unsavedRead = 1;
        t.ctx.general.usualCommunicationTask = int16_t(c.task);
        t.messages.answers = {c.answer};
        const QString file = t.root + "/kept.ql6";
        t.dialogs.answers = {c.save ? std::optional<QString>(file) : std::nullopt};
        EXPECT_EQ(clearScreenForUsual(t.ctx), c.goesOn);
        EXPECT_EQ(countChannelsInUse(s) == 0, c.cleared);
        EXPECT_EQ(QFile::exists(file), c.saved);
        EXPECT_EQ(t.messages.shown.size(), c.task == 0 ? 1u : 0u);
        if (c.task == 0) {
            EXPECT_TRUE(t.messages.shown[0].text.startsWith(messageText(Msg::ClearDataFirst)));
        }
    }
}
