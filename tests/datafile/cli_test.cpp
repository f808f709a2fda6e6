// quillet-cli, run as the built program: its exports and conversions must
// match what the program writes.
#include "core/catalog.h"
#include "core/store.h"
#include "datafile/fileops.h"
#include "filebuilder.h"
#include "support/clirun.h"
#include "support/fakes.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <algorithm>
#include <fstream>

namespace quillet {
namespace {

using fakes::TestContext;
using filetest::asItLies;
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
    EXPECT_TRUE(r.out.contains(QString::fromUtf8("チャンネル数: 2")));
    EXPECT_TRUE(r.out.contains(QString::fromUtf8("CH B (チャンネル2)")));
    EXPECT_TRUE(r.out.contains(QString::fromUtf8("CH E (チャンネル5)")));
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
    EXPECT_TRUE(r.err.contains(path("none.ql6") + QString::fromUtf8(": ファイルが見つかりません｡（エラー53）")))
        << r.err.toStdString();
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
    for (const char* word : {"info FILE", "export FILE", "--csv", "--text", "convert FILE --out", "終了コード"})
        EXPECT_TRUE(r.out.contains(QString::fromUtf8(word))) << word;
    EXPECT_EQ(cli({"export", "--help"}).exitCode, 0);
}

// The command line speaks the program's language: each refusal and failure
// keeps its exit status and says in Japanese what is wrong, naming the file
// or device it concerns; no line of stderr is without a Japanese word.
TEST_F(CliTest, MessagesAreJapaneseAndNameTheirFile) {
    const QString ok = path("ok.ql6"), nowhere = path("nowhere/x");
    writeBytes(ok, fileBytes({Block{}}));
    const struct {
        QStringList args;
        int exitCode;
        QString said;
    } cases[] = {
        {{"frob"}, 2, "frob というコマンドはありません"},
        {{"info"}, 2, "使い方: quillet-cli info FILE"},
        {{"info", ok, "--bogus"}, 2, "info に --bogus というオプションはありません"},
        {{"export", ok, "--csv"}, 2, "--csv には値が必要です"},
        {{"stats", ok, "--dhr", "abc"}, 2, "--dhr には"},
        {{"read", "--port", "17", "--out", path("r.ql6")}, 2, "--port には 1..16 の番号"},
        {{"info", path("none.ql6")},
         1,
         "ファイルの読込: " + path("none.ql6") + ": ファイルが見つかりません｡（エラー53）"},
        {{"export", ok, "--csv", nowhere + ".csv"}, 1, nowhere + ".csv: パスが見つかりません。（エラー76）"},
        {{"graph", ok, "--out", nowhere + ".png"}, 1, nowhere + ".png: パスが見つかりません。（エラー76）"},
        {{"report", ok, "--pdf", nowhere + ".pdf"}, 1, nowhere + ".pdf: パスが見つかりません。（エラー76）"},
        {{"graph", ok, "--out", path("g.gif")}, 1, "--out の名前は .png、.svg、.pdf のどれかで"},
        {{"read", "--device", nowhere, "--out", path("r.ql6")}, 1, nowhere + ": 無効な通信ポートです。（エラー8002）"},
    };
    for (const auto& c : cases) {
        const fakes::CliRun r = cli(c.args);
        const std::string what = c.args.join(' ').toStdString() + "\n" + r.err.toStdString();
        EXPECT_EQ(r.exitCode, c.exitCode) << what;
        EXPECT_TRUE(r.err.contains(c.said)) << what;
        for (const QString& line : r.err.split('\n', Qt::SkipEmptyParts))
            EXPECT_TRUE(std::any_of(line.begin(), line.end(), [](QChar ch) { return ch.unicode() >= 0x3000; })) << what;
    }
}

// A line of stderr that starts with "quillet-cli:" and names path.
bool namedError(const QString& err, const QString& path) {
    return err.contains(QRegularExpression("(^|\n)quillet-cli: [^\n]*" + QRegularExpression::escape(path)));
}

// Every command that writes a file refuses a target that is no regular
// file, at once, names it after "quillet-cli:" and leaves it as it was:
// a FIFO, a folder, a character device (made beside the test when the
// test may make one) and a folder that does not exist.
TEST_F(CliTest, OutputsThatAreNoRegularFileAreRefusedAndNamed) {
    writeBytes(path("ok.ql6"), fileBytes({Block{}}));
    struct Target {
        const char* name;
        QString path;
        const char* error;
    };
    std::vector<Target> targets = {
        {"fifo", path("pipe.out"), "エラー31036"},
        {"folder", path("folder.out"), "エラー75"},
        {"missing folder", path("nowhere/x.out"), "エラー76"},
    };
    ASSERT_EQ(mkfifo(QFile::encodeName(targets[0].path).constData(), 0600), 0);
    ASSERT_TRUE(QDir().mkpath(targets[1].path));
    if (::mknod(QFile::encodeName(path("null.out")).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0)
        targets.push_back({"device", path("null.out"), "エラー31036"});
    const QStringList commands[] = {
        {"export", path("ok.ql6"), "--csv"},          {"export", path("ok.ql6"), "--text"},
        {"convert", path("ok.ql6"), "--out"},         {"graph", path("ok.ql6"), "--out"},
        {"print", path("ok.ql6"), "--list", "--pdf"}, {"print", path("ok.ql6"), "--graph", "--pdf"},
    };
    for (const Target& target : targets) {
        const QFileInfo before(target.path);
        for (const QStringList& command : commands) {
            // graph tells the format by the extension: each one in turn;
            // convert writes only a name ending in .ql6.
            const QStringList extensions = command[0] == "graph"     ? QStringList{".pdf", ".png", ".svg"}
                                           : command[0] == "convert" ? QStringList{".ql6"}
                                                                     : QStringList{""};
            for (const QString& ext : extensions) {
                const QString out = target.path + ext;
                if (!ext.isEmpty() && target.path != targets[2].path && !QFile::rename(target.path, out)) ADD_FAILURE();
                const fakes::CliRun r = fakes::runCli(command + QStringList{out}, home.path(), 20000);
                const std::string what = std::string(target.name) + ": " + command.join(' ').toStdString();
                EXPECT_EQ(r.exitCode, 1) << what << r.err.toStdString();
                EXPECT_TRUE(namedError(r.err, out)) << what << r.err.toStdString();
                if (command[0] != "graph") {
                    EXPECT_TRUE(r.err.contains(target.error)) << what << r.err.toStdString();
                }
                EXPECT_EQ(QFileInfo(out).isFile(), false) << what;
                if (!ext.isEmpty() && target.path != targets[2].path) QFile::rename(out, target.path);
                EXPECT_EQ(QFileInfo(target.path).exists(), before.exists()) << what;
                EXPECT_EQ(QFileInfo(target.path).isDir(), before.isDir()) << what;
            }
        }
    }
}

// The command line says why an output cannot be written and leaves it as
// it was: a link going round in a loop, a read-only file (for root too), a
// name too long, a read-only settings file. A name that is no UTF-8 is read
// and written under its own bytes; the shell spells such names, a QString
// could not hand them over.
TEST_F(CliTest, OutputsSayWhyTheyFailAndNamesKeepTheirBytes) {
    const QString ok = path("ok.ql6");
    const QByteArray dir = QFile::encodeName(t.root) + '/';
    writeBytes(ok, fileBytes({Block{}}));
    std::ofstream((dir + "d\xe9.ql6").toStdString(), std::ios::binary) << readBytes(ok).toStdString();
    ASSERT_EQ(::symlink("loop", dir + "loop"), 0);
    writeBytes(path("ro.csv"), "old");
    ASSERT_EQ(::chmod(dir + "ro.csv", 0444), 0);
    ASSERT_EQ(cli({"export", ok, "--csv", path("plain.csv")}).exitCode, 0);
    ASSERT_EQ(cli({"graph-range", ok, "--temp", "0..40", "--save"}).exitCode, 0);
    const QByteArray settings = QFile::encodeName(home.path()) + "/config/ORVELL/Quillet7/qlet7.dat";
    ASSERT_EQ(::chmod(settings, 0400), 0);
    const QByteArray before[] = {asItLies(dir + "loop"), asItLies(dir + "ro.csv"), asItLies(settings)};

    const QString in = "\"" + t.root + "/$(printf 'd\\351.ql6')\"";
    const auto latin1 = [&](const char* name) { return "\"" + t.root + "/$(printf '" + name + "')\""; };
    const QString loop = path("loop") + QString::fromUtf8(": パス名が無効です｡（エラー75）");
    const QString readOnly = QString::fromUtf8("このディスクは書き込み禁止に設定されています。（エラー70）");
    const struct {
        QString arguments;
        int exitCode;
        QStringList said;
    } cases[] = {
        {"export " + ok + " --csv " + path("loop"),
         1,
         {loop + QString::fromUtf8(" ― 自分自身へ戻るシンボリックリンク")}},
        {"print " + ok + " --list --pdf " + path("loop"), 1, {loop}},
        {"export " + ok + " --csv " + path("ro.csv"),
         1,
         {path("ro.csv") + ": " + readOnly + QString::fromUtf8(" ― 読み取り専用のファイル")}},
        {"print " + ok + " --list --pdf " + path("ro.csv"), 1, {readOnly}},
        {"export " + ok + " --csv " + path(QString(252, 'x') + ".csv"),
         1,
         {QString::fromUtf8("ファイルの名前または番号が不正です｡ファイル名が長すぎます。"),
          QString::fromUtf8("（エラー52）\n")}},
        {"graph-range " + ok + " --temp 0..30 --save", 1, {readOnly}},
        {"info " + in, 0, {QString::fromUtf8("チャンネル数: 1")}},
        {"export " + in + " --csv " + latin1("r\\351sum\\351.csv"), 0, {}},
        {"print " + in + " --list --pdf " + latin1("p\\351.pdf"), 0, {}},
        {"export " + in + " --csv " + in, 1, {}},  // its own input, refused
    };
    for (const auto& c : cases) {
        const fakes::CliRun r = fakes::runCliInShell(c.arguments, home.path());
        EXPECT_EQ(r.exitCode, c.exitCode) << c.arguments.toStdString() << r.err.toStdString();
        for (const QString& text : c.said)
            EXPECT_TRUE((r.out + r.err).contains(text)) << c.arguments.toStdString() << r.err.toStdString();
    }
    const QByteArray after[] = {asItLies(dir + "loop"), asItLies(dir + "ro.csv"), asItLies(settings)};
    EXPECT_TRUE(std::equal(std::begin(before), std::end(before), std::begin(after)));
    EXPECT_TRUE(asItLies(dir + "r\xe9sum\xe9.csv").endsWith(readBytes(path("plain.csv"))));
    EXPECT_TRUE(asItLies(dir + "p\xe9.pdf").contains(" %PDF-"));
    EXPECT_TRUE(asItLies(dir + "d\xe9.ql6").endsWith(readBytes(ok)));
    EXPECT_EQ(asItLies(dir + "r\xef\xbf\xbdsum\xef\xbf\xbd.csv"), "missing");  // not with U+FFFD for the bytes
}

// Inputs are read only when they are regular files: a FIFO as the data file
// is refused at once by every command reading one, and a FIFO in place of
// the user's settings file counts as a missing one.
TEST_F(CliTest, AFifoAsInputIsRefusedAtOnce) {
    const QString fifo = path("pipe.ql6");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QStringList commands[] = {
        {"info", fifo},
        {"export", fifo, "--csv", path("x.csv")},
        {"convert", fifo, "--out", path("x.ql6")},
        {"graph-range", fifo},
        {"graph", fifo, "--out", path("x.png")},
        {"print", fifo, "--list", "--pdf", path("x.pdf")},
    };
    for (const QStringList& command : commands) {
        const fakes::CliRun r = fakes::runCli(command, home.path(), 20000);
        EXPECT_EQ(r.exitCode, 1) << command.join(' ').toStdString() << r.err.toStdString();
        EXPECT_TRUE(namedError(r.err, fifo)) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(
            QRegularExpression(QRegularExpression::escape(fifo) +
                               QString::fromUtf8(": [^\n]*（エラー\\d+） ― 通常のファイルではありません"))))
            << r.err.toStdString();
    }
    EXPECT_TRUE(QDir(t.root).entryList({"x.*"}).isEmpty());

    const QString settings = home.path() + "/config/ORVELL/Quillet7";
    ASSERT_TRUE(QDir().mkpath(settings));
    ASSERT_EQ(mkfifo(QFile::encodeName(settings + "/qlet7.dat").constData(), 0600), 0);
    writeBytes(path("ok.ql6"), fileBytes({Block{}}));
    const fakes::CliRun r = fakes::runCli({"info", path("ok.ql6")}, home.path(), 20000);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
}

// No writing command writes over its input, whatever the output's name: the
// input's own path, another spelling of it, a symbolic or a hard link. Each
// is refused naming both; the input keeps its bytes and nothing appears.
TEST_F(CliTest, AnOutputThatIsTheInputIsRefusedAndTheInputKept) {
    const QString dir = path("same");
    ASSERT_TRUE(QDir().mkpath(dir + "/sub"));
    // graph tells its format by the output's name: its input is an old-layout
    // data file named as a picture.
    const QString data = dir + "/d.ql6", picture = dir + "/d.svg";
    writeBytes(data, fileBytes({Block{}}));
    writeBytes(picture, fileBytes({Block{}}, false));
    for (const QString suffix : {".ql6", ".svg"}) {
        ASSERT_TRUE(QFile::link("d" + suffix, dir + "/symbolic" + suffix));
        ASSERT_EQ(::link(QFile::encodeName(dir + "/d" + suffix), QFile::encodeName(dir + "/hard" + suffix)), 0);
    }
    const QStringList files = QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    const QStringList commands[] = {
        {"export", data, "--csv"},   {"export", data, "--text"},         {"export", data, "--tidy"},
        {"export", data, "--xlsx"},  {"print", data, "--list", "--pdf"}, {"report", data, "--pdf"},
        {"graph", picture, "--out"}, {"convert", data, "--out"},
    };
    for (const QStringList& command : commands) {
        const QString input = command[1], suffix = input.right(4);
        const QByteArray before = readBytes(input);
        for (const QString& output :
             {input, dir + "/sub/.." + input.mid(dir.size()), dir + "/symbolic" + suffix, dir + "/hard" + suffix}) {
            const fakes::CliRun r = cli(command + QStringList{output});
            const std::string what = (command.join(' ') + " " + output + "\n" + r.err).toStdString();
            EXPECT_EQ(r.exitCode, 1) << what;
            EXPECT_TRUE(r.err.contains(messageText(Msg::OutputIsInput, {output, input}))) << what;
            EXPECT_EQ(readBytes(input), before) << what;
            EXPECT_EQ(QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), files) << what;
        }
    }
}

// Output that does not reach standard output (a full disk) is a failure.
TEST_F(CliTest, AFailedStandardOutputIsAFailure) {
    const QString ok = path("ok.ql6");
    writeBytes(ok, fileBytes({Block{}}));
    const QStringList commands[] = {{"--help"},   {"--version"},           {"export", "--help"},
                                    {"info", ok}, {"stats", ok, "--json"}, {"graph-range", ok}};
    for (const QStringList& command : commands) {
        const fakes::CliRun r = fakes::runCli(command, home.path(), 20000, "/dev/full");
        EXPECT_EQ(r.exitCode, 1) << command.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8("quillet-cli: 標準出力に書き込めませんでした")))
            << r.err.toStdString();
    }
}

// --device must name a serial device: a file, a folder or the terminal
// (/dev/tty) is said to be none, not a port held by another program.
TEST_F(CliTest, ADeviceThatIsNoSerialPortIsNamedAsSuch) {
    writeBytes(path("plain"), "x");
    for (const QString& device : {path("plain"), t.root, QStringLiteral("/dev/tty")}) {
        for (const QString command : {"read", "usual", "set"}) {
            QStringList args = {command, "--device", device};
            if (command == "read") args << "--out" << path("r.ql6");
            const fakes::CliRun r = fakes::runCli(args, home.path(), 20000);
            EXPECT_NE(r.exitCode, 0) << r.err.toStdString();
            EXPECT_TRUE(
                r.err.contains("quillet-cli: " + device + QString::fromUtf8(": シリアル通信の装置ではありません")))
                << r.err.toStdString();
        }
    }
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
