// quillet-cli, run as the built program: its exports and conversions must
// match what the program writes.
#include "core/store.h"
#include "datafile/fileops.h"
#include "filebuilder.h"
#include "support/clirun.h"
#include "support/fakes.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quillet {
namespace {

using fakes::TestContext;
using filetest::Block;
using filetest::fileBytes;
using filetest::readBytes;
using filetest::writeBytes;

class CliTest : public ::testing::Test {
protected:
    fakes::CliRun cli(const QStringList& args) { return fakes::runCli(args, home.path()); }
    QString path(const QString& name) const { return t.root + "/" + name; }

    // What the program's export writes after opening `file` alone.
    QByteArray programExport(const QString& file, int mode) {
        TestContext fresh;
        fresh.dialogs.answers.push_back(file);
        openDataFile(fresh.ctx);
        fresh.dialogs.answers.push_back(fresh.root + "/export.out");
        runFileOperation(fresh.ctx, mode);
        EXPECT_TRUE(fresh.messages.shown.empty());
        return readBytes(fresh.root + "/export.out");
    }

    QTemporaryDir home;
    TestContext t;
};

TEST_F(CliTest, ExportAndConvertOfAFileTheProgramSaved) {
    // A store as a read-out leaves it, saved by the program.
    ChannelStore& s = t.ctx.store;
    for (int ch : {2, 5}) {
        ChannelRecord& c = s.ch[size_t(ch)];
        c.inUse = 1;
        c.kind = int16_t(ch == 2 ? 1 : 2);
        c.cardNo = 7;
        c.testNo = int16_t(ch);
        c.startYear = 2020;
        c.startMonth = 2;
        c.startDay = 29;
        c.startHour = 23;
        c.startMinute = 50 + ch;
        c.startTenSec = 1;
        c.intervalMinute = 1;
        c.intervalTenSec = 3;
        c.rangeCode = 1;
        c.referenceValue = int16_t(ch == 2 ? 9999 : 550);
        c.integratedValue = 12;
        c.upperAlarm = 300;
        c.sampleCount = 50;
        for (int i = 1; i <= 50; ++i) s.samples[size_t(ch)][size_t(i)] = int16_t(i % 7 == 0 ? 9999 : i * 11 - 200);
    }
    t.ctx.store.unsavedRead = 1;
    t.dialogs.answers.push_back(path("saved.ql6"));
    runFileOperation(t.ctx, kSaveAs);
    ASSERT_TRUE(t.messages.shown.empty());

    fakes::CliRun r = cli({"export", path("saved.ql6"), "--csv", path("cli.csv")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(readBytes(path("cli.csv")), programExport(path("saved.ql6"), kCsvExport));

    writeBytes(path("cli.txt"), "overwritten without asking");
    r = cli({"export", path("saved.ql6"), "--text", path("cli.txt")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(readBytes(path("cli.txt")), programExport(path("saved.ql6"), kTextExport));

    r = cli({"convert", path("saved.ql6"), "--out", path("copy.ql6")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(readBytes(path("copy.ql6")), readBytes(path("saved.ql6")));

    r = cli({"info", path("saved.ql6")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.contains("Channels: 2"));
    EXPECT_TRUE(r.out.contains("CH B (channel 2)"));
    EXPECT_TRUE(r.out.contains("CH E (channel 5)"));
    EXPECT_TRUE(r.out.contains("2020-02-29 23:52:10"));
    EXPECT_TRUE(r.out.contains("007-005"));
}

TEST_F(CliTest, OldLayoutFileConvertsAndExports) {
    Block a;
    a.code = 8 + 3;  // kind 1 in channel 3
    a.integratedValue = -1;
    Block b;
    b.code = 2 * 8 + 4;
    b.samples = {505, 9999};
    writeBytes(path("old.qlg"), fileBytes({a, b}, false));

    fakes::CliRun r = cli({"convert", path("old.qlg"), "--out", path("new.ql6")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    // The same blocks in the current layout: no ten-second fields in the old
    // file, so both are 0, and the integrated value as an open reads it.
    a.startTenSec = 0;
    a.intervalTenSec = 0;
    a.integratedValue = 65534;
    b.startTenSec = 0;
    b.intervalTenSec = 0;
    EXPECT_EQ(readBytes(path("new.ql6")).toHex(' '), fileBytes({a, b}, true).toHex(' '));

    r = cli({"export", path("old.qlg"), "--csv", path("old.csv")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(readBytes(path("old.csv")), programExport(path("old.qlg"), kCsvExport));
}

TEST_F(CliTest, FailuresGiveTheCatalogueTextAndNonZeroStatus) {
    fakes::CliRun r = cli({"export", path("none.ql6"), "--csv", path("x.csv")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("ファイルが見つかりません｡")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("エラー53"));
    EXPECT_FALSE(QFile::exists(path("x.csv")));

    Block bad;
    bad.code = 2;
    bad.sampleCount = 12001;
    writeBytes(path("bad.ql6"), fileBytes({Block{}, bad}));
    r = cli({"convert", path("bad.ql6"), "--out", path("bad-copy.ql6")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("予期しないエラーが発生しました。"));
    EXPECT_TRUE(r.err.contains("エラー9"));
    EXPECT_FALSE(QFile::exists(path("bad-copy.ql6")));  // no partial conversion

    writeBytes(path("ok.ql6"), fileBytes({Block{}}));
    r = cli({"convert", path("ok.ql6"), "--out", path("nowhere/out.ql6")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("パスが見つかりません。"));
}

TEST_F(CliTest, CommandLineErrorsAndHelp) {
    const QStringList wrong[] = {
        {},
        {"frobnicate"},
        {"export", path("a.ql6")},
        {"export", path("a.ql6"), "--csv", "x", "--text", "y"},
        {"convert", path("a.ql6")},
        {"info"},
        {"info", "a", "b"},
        {"export", "a", "--csv"},
        {"info", "a", "--bogus"},
    };
    for (const QStringList& args : wrong) EXPECT_EQ(cli(args).exitCode, 2) << args.join(' ').toStdString();

    fakes::CliRun r = cli({"--help"});
    EXPECT_EQ(r.exitCode, 0);
    for (const char* word : {"info FILE", "export FILE", "--csv", "--text", "convert FILE --out", "Exit status"})
        EXPECT_TRUE(r.out.contains(word)) << word;
    EXPECT_EQ(cli({"export", "--help"}).exitCode, 0);
}

}  // namespace
}  // namespace quillet

namespace quillet {
namespace {

// The program and the tool say the same version; the tool stays quiet
// about a missing runtime folder, for a painting command too.
TEST_F(CliTest, VersionAsTheProgramAndNoRuntimeFolderNote) {
    QProcess program;
    program.start(QStringLiteral(QUILLET_BUILD_DIR "/app/quillet"), {"--version"});
    ASSERT_TRUE(program.waitForFinished(60000));
    const QString programVersion = QString::fromUtf8(program.readAllStandardOutput());
    const fakes::CliRun r = cli({"--version"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, programVersion);
    EXPECT_TRUE(r.out.startsWith(QString::fromUtf8("クイレット解析ソフト Ver"))) << r.out.toStdString();

    qunsetenv("XDG_RUNTIME_DIR");
    const fakes::CliRun graph = cli({"graph", path("none.ql6"), "--out", path("g.png")});
    EXPECT_FALSE(graph.err.contains("XDG_RUNTIME_DIR")) << graph.err.toStdString();
}

}  // namespace
}  // namespace quillet
