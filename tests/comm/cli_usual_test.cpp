// quillet-cli usual against quillet-logger-sim over a pseudo-terminal.
#include "comm/link.h"
#include "comm/protocol.h"
#include "comm/serialport.h"
#include "core/vb.h"
#include "datafile/fileops.h"
#include "support/clirun.h"
#include "support/fakes.h"
#include "support/simprocess.h"
#include "support/toolmissing.h"
#include "tools/sim/device.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quillet;

namespace {

using fakes::CliRun;
using fakes::kCli;
using fakes::runCli;

const QString nothingSent = QString::fromUtf8("ロガーには何も送っていません");

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The commands in the simulator's log, without their time and data ("3,5"),
// a repeated attempt counted once (a busy machine may lose an answer).
QStringList commandsIn(const QString& log) {
    QStringList commands;
    for (const QString& frame : fakes::SimProcess::loggedFrames(log)) {
        const QString command = frame.section(QLatin1Char(' '), 0, 0);
        if (commands.isEmpty() || commands.last() != command) commands << command;
    }
    return commands;
}

}  // namespace

TEST(CliUsual, SavesByCardAndTestAndNeverOverwrites) {
    QTemporaryDir home;
    const QString log = home.filePath("frames.log");
    const QStringList logger = {"--model", "2",      "--records", "300",        "--card",
                                "5",       "--test", "12",        "--interval", "00:15"};
    fakes::SimProcess sim(logger + QStringList{"--log", log});
    if (sim.devicePath().isEmpty() || !QFile::exists(kCli)) QUILLET_TOOL_MISSING("tools not built");
    QStringList args = {"usual", "--device", sim.devicePath(), "--naming", "card", "--start", "07:30"};
    const CliRun first = runCli(args, home.path());
    EXPECT_EQ(first.exitCode, 0) << first.err.toStdString();
    const QString day = vb::formatDate(QDateTime::currentDateTime(), QStringLiteral("yy年mm月dd日"));
    const QString file = home.path() + "/Documents/ORVELL/Quillet7/number/" + day + "/005_012.ql6";
    ASSERT_TRUE(first.out.contains(QString::fromUtf8("データを保存しました: ") + file))
        << first.out.toStdString() << first.err.toStdString();
    fakes::TestContext back;
    ASSERT_EQ(loadDataFile(back.ctx, file), 0);
    EXPECT_EQ(back.ctx.store.channelsInUse, 2);
    EXPECT_EQ(back.ctx.store.ch[1].sampleCount, 300);
    EXPECT_EQ(back.ctx.store.ch[2].sampleCount, 300);

    // The settings came after the read-out, and the logger waits for 07:30
    // with its own numbers and interval.
    const QStringList commands = commandsIn(log);
    EXPECT_EQ(commands.mid(commands.lastIndexOf("1,2") + 1),
              (QStringList{"1,3", "1,1", "3,5", "3,6", "3,3", "3,4", "3,8", "3,9", "3,0", "3,1", "3,2", "2,1"}));
    const QDateTime now = QDateTime::currentDateTime();
    QDateTime start(now.date(), QTime(7, 30));
    if (start <= now) start = start.addDays(1);
    EXPECT_TRUE(first.out.contains(QString::fromUtf8("ロガーは ") + start.toString("yyyy-MM-dd HH:mm") +
                                   QString::fromUtf8(" に収録を始めます")))
        << first.out.toStdString();
    // The closing note's word, from the same outcome as the window's.
    EXPECT_TRUE(first.out.contains(QString::fromUtf8("ロガーに設定を書き込みました（開始 ") +
                                   start.toString("yyyy-MM-dd HH:mm") + QString::fromUtf8("、間隔 00:15、終了 ")));
    {
        fakes::TestContext t;
        SystemClock clock;
        t.ctx.clock = &clock;
        QtSerialPort port;
        port.setDevicePath(sim.devicePath());
        t.ctx.serial = &port;
        ASSERT_EQ(request(t.ctx, 1, 3, {}), 0);
        EXPECT_EQ(t.ctx.comm->receiveBuffer.mid(1, 3), QByteArray(" 3,")) << t.ctx.comm->receiveBuffer.toStdString();
        EXPECT_EQ(t.ctx.comm->receiveBuffer.at(4), '3');  // waiting to record
        ASSERT_EQ(request(t.ctx, 1, 1, {}), 0);
        ASSERT_EQ(parseIdentification(t.ctx, 0), 2);
        const PendingLogger& p = t.ctx.pendingLogger;
        EXPECT_EQ(QDate(2000 + p.ch[1].startYear % 100, p.ch[1].startMonth, p.ch[1].startDay), start.date());
        EXPECT_EQ(p.ch[1].startHour * 100 + p.ch[1].startMinute, 730);
        EXPECT_EQ(p.ch[1].cardNo, 5);
        EXPECT_EQ(p.ch[1].intervalMinute, 15);
        port.close();
    }

    // The same card and test again on the same day (another logger):
    // refused, file kept, nothing sent to that logger.
    const QString log2 = home.filePath("frames2.log");
    fakes::SimProcess sim2(logger + QStringList{"--log", log2});
    args[2] = sim2.devicePath();
    const QByteArray saved = contents(file);
    const CliRun again = runCli(args, home.path());
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_TRUE(again.err.contains("quillet-cli: " + file + QString::fromUtf8(" は既にあるため、上書きしませんでした")))
        << again.err.toStdString();
    EXPECT_TRUE(again.err.contains(nothingSent)) << again.err.toStdString();
    EXPECT_EQ(contents(file), saved);
    EXPECT_TRUE(commandsIn(log2).filter(QRegularExpression("^[23],")).isEmpty())
        << commandsIn(log2).join(" ").toStdString();
}

TEST(CliUsual, AFaultyTransferSavesAndSetsNothing) {
    QTemporaryDir home;
    const QString log = home.filePath("frames.log");
    fakes::SimProcess sim({"--model", "1", "--records", "100", "--broken-block", "3", "--log", log});
    if (sim.devicePath().isEmpty() || !QFile::exists(kCli)) QUILLET_TOOL_MISSING("tools not built");
    const CliRun r = runCli({"usual", "--device", sim.devicePath(), "--naming", "date"}, home.path());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QString::fromUtf8("読み取りエラーです。"))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(nothingSent)) << r.err.toStdString();
    EXPECT_FALSE(r.out.contains(QString::fromUtf8("データを保存しました")));
    EXPECT_TRUE(QDir(home.path() + "/Documents/ORVELL/Quillet7/date")
                    .entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)
                    .isEmpty());

    EXPECT_TRUE(commandsIn(log).contains("1,2"));
    EXPECT_TRUE(commandsIn(log).filter(QRegularExpression("^[23],")).isEmpty())
        << commandsIn(log).join(" ").toStdString();

    const CliRun bad = runCli({"usual", "--device", sim.devicePath(), "--start", "7:30"}, home.path());
    EXPECT_EQ(bad.exitCode, 2);
}

// A full disk is said as such, not as a path that was not found, and the
// logger is not set. (The disk keeps room for the port's lock file.)
TEST(CliUsual, AFullDiskIsSaidAndNothingIsSent) {
    QTemporaryDir home;
    const QString log = home.filePath("frames.log");
    fakes::SimProcess sim({"--model", "2", "--records", "2000", "--log", log});
    if (sim.devicePath().isEmpty() || !QFile::exists(kCli)) QUILLET_TOOL_MISSING("tools not built");
    const CliRun r = runCli({"usual", "--device", sim.devicePath(), "--naming", "date"}, home.path(), 60000, {},
                            fakes::diskFullAfter(1024));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QString::fromUtf8(".ql6: ディスクの空き容量が不足しています｡（エラー61）")))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(nothingSent)) << r.err.toStdString();
    EXPECT_TRUE(commandsIn(log).contains("1,2"));
    EXPECT_TRUE(commandsIn(log).filter(QRegularExpression("^[23],")).isEmpty())
        << commandsIn(log).join(" ").toStdString();
}
