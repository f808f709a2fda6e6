// quillet-cli set against quillet-logger-sim over a pseudo-terminal, checked
// through quillet-cli read and the simulator's frame log.
#include "support/clirun.h"
#include "support/simprocess.h"
#include "support/toolmissing.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quillet;

namespace {

using fakes::CliRun;
using fakes::kCli;
using fakes::runCli;
const auto framesIn = fakes::SimProcess::loggedFrames;

QString u8(const char* s) { return QString::fromUtf8(s); }

}  // namespace

TEST(CliSet, WritesWhatReadShowsNext) {
    const struct {
        QStringList logger, options;
        QStringList frames;
        QString shown;
    } cases[] = {
        {{"--model", "2", "--records", "0"},
         {"--card", "26", "--test", "7", "--interval", "00:15", "--alarm1", "30/-5", "--alarm2", "80/20", "--ref2",
          "55L"},
         {"3,5 A1", "3,6 70", "3,3 F000"},
         u8("カード-テスト 026-007、記録 0 件\n測定間隔 00:15、CH1 警報値 30.0/-5.0、CH2 警報値 80.0/20.0")},
        {{"--model", "4", "--records", "0"},
         {"--card", "3", "--seconds", "30", "--mode", "endless", "--no-lock", "--alarm2", "150/-40"},
         {"3,5 30", "3,6 10", "3,7 1", "3,3 0003"},
         u8("カード-テスト 003-001、記録 0 件\n測定間隔 30秒、CH1 警報値")},
    };
    for (const auto& c : cases) {
        QTemporaryDir home;
        const QString log = home.filePath("frames.log");
        fakes::SimProcess sim(c.logger + QStringList{"--log", log});
        if (sim.devicePath().isEmpty() || !QFile::exists(kCli)) QUILLET_TOOL_MISSING("tools not built");
        const CliRun set = runCli(QStringList{"set", "--device", sim.devicePath()} + c.options, home.path());
        ASSERT_EQ(set.exitCode, 0) << set.err.toStdString();
        EXPECT_TRUE(set.out.contains(u8("開始時刻: ") +
                                     QDateTime::currentDateTime().addSecs(60).toString("yyyy-MM-dd HH:mm")) ||
                    set.out.contains(u8("開始時刻: ") + QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm")))
            << set.out.toStdString();
        const QStringList frames = framesIn(log);
        // After the status, identification and summary (nothing unread).
        EXPECT_EQ(frames.mid(3, c.frames.size()), c.frames) << frames.join(" | ").toStdString();
        EXPECT_TRUE(frames.last().startsWith("2,1 ")) << frames.join(" | ").toStdString();

        // The logger erased its memory and holds the new settings.
        const CliRun read =
            runCli({"read", "--device", sim.devicePath(), "--out", home.filePath("x.ql6")}, home.path());
        EXPECT_TRUE(read.err.contains(c.shown)) << read.err.toStdString();
        if (c.logger[1] == "4") {
            EXPECT_TRUE(set.out.contains(u8("ロック: しない"))) << set.out.toStdString();
        }
    }
}

TEST(CliSet, RefusesWhatTheDialogWouldCorrectAndSendsNothing) {
    QTemporaryDir home;
    const QString log = home.filePath("frames.log");
    fakes::SimProcess sim({"--model", "2", "--records", "0", "--log", log});
    if (sim.devicePath().isEmpty() || !QFile::exists(kCli)) QUILLET_TOOL_MISSING("tools not built");
    const QString tomorrow = QDate::currentDate().addDays(1).toString("yyyy-MM-dd");
    const struct {
        QStringList options;
        int exitCode;
        QString said;
    } cases[] = {
        {{"--alarm1", "-40/-41"}, 1, u8("上限警報設定範囲が正しくありません。")},
        {{"--alarm1", "20/25"}, 1, u8("上限警報は下限警報値より高く設定してください。")},
        {{"--ref1", "9999H"}, 1, u8("基準値の設定範囲が正しくありません。")},
        {{"--start", "2000-01-01 00:00"}, 1, u8("開始時刻の設定範囲は")},
        {{"--start", tomorrow + " 10:00", "--end", tomorrow + " 10:07"},
         1,
         u8("最も近いのは ") + tomorrow + u8(" 10:10 です")},
        {{"--seconds", "10"}, 1, u8("--seconds は機種 3、4 用です (ロガーは機種 2)")},
        {{"--card", "300"}, 2, u8("--card には 0..255 の数を指定してください")},
        {{"--interval", "00:61"}, 2, u8("--interval には")},
    };
    int framesBefore = 0;
    for (const auto& c : cases) {
        const CliRun r = runCli(QStringList{"set", "--device", sim.devicePath()} + c.options, home.path());
        EXPECT_EQ(r.exitCode, c.exitCode) << c.options.join(" ").toStdString();
        EXPECT_TRUE(r.err.contains(c.said)) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
        // Only the reads: status, identification and summary (none for a wrong command line).
        const QStringList frames = framesIn(log);
        const QStringList reads = c.exitCode == 1 ? QStringList{"1,3", "1,1", "1,4"} : QStringList{};
        EXPECT_EQ(frames.mid(framesBefore), reads) << c.options.join(" ").toStdString();
        framesBefore = int(frames.size());
    }
}

// A setting the logger refuses is told as a failed settings write; the
// range shown is the logger's own, or the default when the logger reports
// a code that is no range.
TEST(CliSet, SaysWhatFailedAndWhereTheRangeCameFrom) {
    const struct {
        QStringList logger;
        int exitCode;
        QString said, notSaid;
    } cases[] = {
        {{"--model", "2", "--nak"}, 1, u8("quillet-cli: ロガー設定: 読み取りエラーです。"), u8("ロガー読み出し")},
        {{"--model", "3"}, 0, u8("(ロガーのもの。送っていません)"), u8("既定値")},
        {{"--model", "3", "--next-range-code", "4"},
         0,
         u8("(既定値。ロガーが返した測定範囲・方式のコード 4 は測定範囲ではありません。送っていません)"),
         u8("ロガーのもの")},
    };
    for (const auto& c : cases) {
        QTemporaryDir home;
        fakes::SimProcess sim(c.logger + QStringList{"--records", "0"});  // nothing to lose
        if (sim.devicePath().isEmpty() || !QFile::exists(kCli)) QUILLET_TOOL_MISSING("tools not built");
        const CliRun r = runCli({"set", "--device", sim.devicePath()}, home.path());
        const QString all = r.out + r.err;
        EXPECT_EQ(r.exitCode, c.exitCode) << all.toStdString();
        EXPECT_TRUE(all.contains(c.said)) << all.toStdString();
        EXPECT_FALSE(all.contains(c.notSaid)) << all.toStdString();
    }
}
