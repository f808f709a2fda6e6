// quillet-cli set and usual never erase a recording nobody was asked about:
// against quillet-logger-sim over a pseudo-terminal, a recording, waiting,
// unreadable or unread logger gets no setting command without --force. The
// same runs check what the logger is sent where nothing stops them: an
// unset reference stays unset, and the simulator answering at once or
// echoing every character costs no repeated frame.
#include "support/clirun.h"
#include "support/simprocess.h"
#include "support/toolmissing.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

using namespace quillet;

namespace {

using fakes::CliRun;
using fakes::kCli;
using fakes::runCli;
const auto framesIn = fakes::SimProcess::loggedFrames;

QString u8(const char* s) { return QString::fromUtf8(s); }

}  // namespace

TEST(CliUnattended, ABusyOrUnreadLoggerIsRefusedUnlessForced) {
    const QString recording = u8("収録中又は収録予約中です。");
    const QString unreadable = u8("読み取りエラーです。");
    const struct {
        const char* what;
        QStringList logger;
        QStringList command;
        int exitCode;
        QString said;             // on stderr
        QStringList framesStart;  // the log begins so
    } cases[] = {
        {"set, recording", {"--status", "12"}, {"set"}, 1, recording, {"1,3"}},
        {"set, waiting", {"--status", "32"}, {"set"}, 1, recording, {"1,3"}},
        {"set, status unreadable", {"--status", "20"}, {"set"}, 1, unreadable, {"1,3"}},
        {"set, recording, forced", {"--status", "12"}, {"set", "--force"}, 0, recording, {"1,3", "1,1", "3,5 10"}},
        {"usual set-only, recording", {"--status", "12"}, {"usual", "--task", "set-only"}, 1, recording, {"1,3"}},
        {"usual set-only, unread records",
         {"--records", "20"},
         {"usual", "--task", "set-only"},
         1,
         u8("まだ読み出していない記録が 20 件あります"),
         {"1,3", "1,1", "1,4"}},
        {"usual set-only, unread records, forced",
         {"--records", "20"},
         {"usual", "--task", "set-only", "--force"},
         0,
         "",
         {"1,3", "1,1", "3,5 10"}},
        {"usual set-only, nothing recorded",
         {"--records", "0"},
         {"usual", "--task", "set-only"},
         0,
         "",
         {"1,3", "1,1", "1,4", "3,5 10"}},
        {"usual read-save-set, recording",
         {"--status", "12", "--records", "5"},
         {"usual", "--task", "read-save-set"},
         1,
         recording,
         {}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        QTemporaryDir home;
        const QString log = home.filePath("frames.log");
        fakes::SimProcess sim(k.logger + QStringList{"--log", log});
        if (sim.devicePath().isEmpty() || !QFile::exists(kCli)) QUILLET_TOOL_MISSING("tools not built");
        const CliRun r = runCli(k.command + QStringList{"--device", sim.devicePath()}, home.path());
        EXPECT_EQ(r.exitCode, k.exitCode) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(k.said)) << r.err.toStdString();
        const QStringList frames = framesIn(log);
        EXPECT_EQ(frames.mid(0, k.framesStart.size()), k.framesStart) << frames.join(" | ").toStdString();
        // Refused: not one setting command reached the logger.
        const bool anySetting =
            std::any_of(frames.begin(), frames.end(), [](const QString& f) { return f.startsWith("3,"); });
        EXPECT_EQ(anySetting, k.exitCode == 0) << frames.join(" | ").toStdString();
        if (k.exitCode == 1) {
            EXPECT_TRUE(r.err.contains("--force")) << r.err.toStdString();
        }
    }
}

TEST(CliUnattended, EveryReaderGetsEachFrameOnceAndAnUnsetReferenceStaysUnset) {
    const struct {
        const char* what;
        QStringList reader;
    } cases[] = {
        {"answers at once", {"--delay", "0"}},
        {"echoes and answers at once", {"--delay", "0", "--echo"}},
        {"echoes at line speed", {"--delay", "0", "--echo", "--paced"}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        QTemporaryDir home;
        const QString log = home.filePath("frames.log");
        fakes::SimProcess sim(k.reader + QStringList{"--model", "2", "--records", "0", "--reference1", "4095,H",
                                                     "--reference2", "4095,H", "--log", log});
        if (sim.devicePath().isEmpty() || !QFile::exists(kCli)) QUILLET_TOOL_MISSING("tools not built");
        const CliRun set = runCli({"set", "--device", sim.devicePath(), "--card", "26"}, home.path());
        EXPECT_EQ(set.exitCode, 0) << set.err.toStdString();
        const QStringList frames = framesIn(log);
        EXPECT_EQ(frames.mid(0, 6), (QStringList{"1,3", "1,1", "1,4", "3,5 A1", "3,6 10", "3,3 A000"}))
            << frames.join(" | ").toStdString();
        EXPECT_EQ(frames.size(), 13) << frames.join(" | ").toStdString();  // no frame twice
        EXPECT_TRUE(frames.contains("3,4 FFF0FFF0")) << frames.join(" | ").toStdString();
        EXPECT_TRUE(set.out.contains(u8("CH1 基準値: 未設定"))) << set.out.toStdString();
    }
}

TEST(CliUnattended, TheOneChannelLoggerKeepsItsMeasuringRange) {
    QTemporaryDir home;
    const QString log = home.filePath("frames.log");
    fakes::SimProcess sim(
        {"--model", "3", "--records", "0", "--range-codes", "2", "--reference1", "300,H", "--log", log});
    if (sim.devicePath().isEmpty() || !QFile::exists(kCli)) QUILLET_TOOL_MISSING("tools not built");
    const struct {
        QStringList options;
        int exitCode;
        QString said;
    } cases[] = {
        {{"--range", "3"}, 1, u8("このロガーは測定範囲 2 ")},
        {{"--range", "2", "--ref1", "40H"}, 0, u8("CH1 基準値: 40H")},
    };
    for (const auto& k : cases) {
        const CliRun r = runCli(QStringList{"set", "--device", sim.devicePath()} + k.options, home.path());
        EXPECT_EQ(r.exitCode, k.exitCode) << r.err.toStdString();
        EXPECT_TRUE((r.err + r.out).contains(k.said)) << (r.err + r.out).toStdString();
    }
    const QStringList frames = framesIn(log);
    // Only the forced-free second run wrote: 40 on range 0..100 is raw 400.
    EXPECT_TRUE(frames.contains("3,4 0910")) << frames.join(" | ").toStdString();
}
