// Writing settings over a real pseudo-terminal: QSerialPort, the link, the
// preparation and the writer against the quillet-logger-sim executable,
// checked through the simulator's frame log.
#include "comm/link.h"
#include "comm/protocol.h"
#include "comm/serialport.h"
#include "comm/settingswriter.h"
#include "core/statusline.h"
#include "support/fakes.h"
#include "support/settingsdialog.h"
#include "support/simprocess.h"
#include "support/toolmissing.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quillet;

namespace {

// The frames of the log file: each line is "yyyy-mm-dd hh:mm:ss.zzz g,n [data]".
QList<QByteArray> framesIn(const QString& path) {
    static const QRegularExpression line(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} (.+)$"));
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    QList<QByteArray> frames;
    for (const QByteArray& text : f.readAll().split('\n')) {
        if (text.isEmpty()) continue;
        const auto m = line.match(QString::fromLatin1(text));
        frames.append(m.hasMatch() ? m.captured(1).toLatin1() : "unexpected: " + text);
    }
    return frames;
}

}  // namespace

TEST(SettingsOverPty, ModelFourWrittenThenRecording) {
    QTemporaryDir dir;
    const QString log = dir.filePath("frames.log");
    // The logger's clock runs 100000 times faster: its start a minute or two
    // ahead comes within milliseconds. The reader answers 50 ms after a
    // request, so that a loaded machine empties its input (after sending)
    // before the answer comes and no attempt is lost.
    fakes::SimProcess sim({"--model", "4", "--status", "21", "--speed", "100000", "--delay", "50", "--log", log});
    if (sim.devicePath().isEmpty()) QUILLET_TOOL_MISSING("quillet-logger-sim not built");
    fakes::TestContext t;
    SystemClock clock;
    t.ctx.clock = &clock;
    t.ctx.timing.commandWait = 1;
    t.ctx.timing.setCommandWait = 1;
    QtSerialPort port;
    port.setDevicePath(sim.devicePath());
    t.ctx.serial = &port;

    // The main window's status line.
    struct StatusView : MainView, StatusLine {
        QString word;
        void showStatus(const QString& text) override { word = text; }
    } view;
    t.ctx.view = &view;

    fakes::ScriptedSettingsDialog dialog;
    RecordingSettings& s = dialog.settings;
    s.cardNo = 26;
    s.testNo = 7;
    s.intervalMinute = 15;
    s.recordMode = endless;
    s.lockLogger = true;
    s.upperAlarm = {0, 30, 150};
    s.lowerAlarm = {0, -10, 149};
    s.recordLimit = 5999;
    s.clockTime = clock.now();
    s.startTime = s.clockTime;  // becomes now + 1 minute
    prepareSettings(t.ctx, dialog);
    ASSERT_EQ(dialog.writeStatus, 0) << t.messages.texts().join("|").toStdString();
    EXPECT_TRUE(t.messages.shown.empty());
    EXPECT_GT(dialog.startSent, s.clockTime);
    EXPECT_EQ(dialog.bar, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    // The status line names the start sent, the interval and the end.
    EXPECT_EQ(view.word, settingsWrittenText(s, dialog.startSent, 4));
    EXPECT_TRUE(view.word.contains(QStringLiteral("開始 ") + dialog.startSent.toString("yyyy-MM-dd HH:mm")));

    const QList<QByteArray> frames = framesIn(log);
    ASSERT_EQ(frames.size(), 13) << frames.join(" | ").toStdString();
    EXPECT_EQ(frames.mid(0, 9), (QList<QByteArray>{"1,3", "2,1 2", "1,1", "3,5 A1", "3,6 70", "3,7 1", "3,3 F000",
                                                   "3,8 CB2C21", "3,9 C67267"}));
    EXPECT_EQ(frames[9], "3,0 F671");
    EXPECT_TRUE(frames[10].startsWith("3,1 ") && frames[10].size() == 14);
    EXPECT_EQ(frames[11], "3,2 " + dateTimeData(dialog.startSent));
    EXPECT_EQ(frames[12], "2,1 1");

    // The logger reports the new settings and records.
    ASSERT_EQ(request(t.ctx, 1, 3, {}), 0);
    EXPECT_EQ(t.ctx.comm->receiveBuffer, QByteArray("\x02 3,11,\x03\r\n"));
    ASSERT_EQ(request(t.ctx, 1, 1, {}), 0);
    ASSERT_EQ(parseIdentification(t.ctx, 0), 4);
    const PendingLogger& p = t.ctx.pendingLogger;
    EXPECT_EQ(p.ch[1].cardNo, 26);
    EXPECT_EQ(p.ch[1].testNo, 7);
    EXPECT_EQ(p.ch[1].intervalMinute, 15);
    EXPECT_TRUE(p.endlessFlag);
    EXPECT_EQ(p.ch[2].upperAlarm, 1500);
    EXPECT_EQ(p.ch[1].startMinute, dialog.startSent.time().minute());
    ASSERT_EQ(request(t.ctx, 1, 4, {}), 0);
    ASSERT_TRUE(parseSummary(t.ctx));
    EXPECT_GE(p.ch[1].sampleCount, 1);
    EXPECT_EQ(framesIn(log).size(), 16) << framesIn(log).join(" | ").toStdString();
}
