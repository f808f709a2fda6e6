// quillet-cli print, run as the built program: the same prints into PDF
// files, and nothing written for a refused command.
#include "printfakes.h"
#include "support/clirun.h"

#include "core/store.h"
#include "datafile/datafile.h"
#include "datafile/fileops.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace quillet {
namespace {

using namespace fakes;

QString u8(const char* s) { return QString::fromUtf8(s); }

class CliPrintTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ensurePrintApplication(); }
    void SetUp() override {
        ChannelData a;
        a.samples = ramp(30, 245);
        a.upperAlarm = 250;
        a.lowerAlarm = 0;
        fillChannel(t.ctx, 1, a);
        ChannelData h;
        h.kind = 2;
        h.start = a.start.addSecs(3000);
        h.samples = std::vector<int16_t>(25, 654);
        fillChannel(t.ctx, 3, h);
        rebuildTimeAxis(t.ctx.store);
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(ql6Bytes(t.ctx.store));
    }
    CliRun cli(const QStringList& args) { return runCli(QStringList{"print", file} + args, home.path()); }
    static QList<int> rowNumbers(const QString& text) {
        QList<int> rows;
        for (const QString& line : text.split('\n')) {
            const QRegularExpressionMatch m = QRegularExpression("^\\s*(\\d+)\\s+13/").match(line);
            if (m.hasMatch()) rows << m.captured(1).toInt();
        }
        return rows;
    }
    QTemporaryDir home;
    TestContext t;
    QString file = t.root + "/data.ql6";
    QString pdf = t.root + "/out.pdf";
};

TEST_F(CliPrintTest, JobsIntoPdf) {
    CliRun r = cli({"--list", "--pdf", pdf});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QString text = pdfText(pdf);
    EXPECT_EQ(rowNumbers(text).size(), 30);
    EXPECT_TRUE(text.contains(u8("25.3▲")));
    EXPECT_TRUE(text.contains(u8("65")));

    r = cli({"--rows", "4..6", "--pdf", pdf, "--paper", "a3", "--landscape"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(rowNumbers(pdfText(pdf)), (QList<int>{4, 5, 6}));
    QProcess info;
    info.start("pdfinfo", {pdf});
    ASSERT_TRUE(info.waitForFinished(30000));
    const QRegularExpressionMatch size = QRegularExpression("Page size:\\s+([\\d.]+) x ([\\d.]+)")
                                             .match(QString::fromUtf8(info.readAllStandardOutput()));
    ASSERT_TRUE(size.hasMatch());
    EXPECT_NEAR(size.captured(1).toDouble(), 1190.55, 1);  // A3 landscape, in points
    EXPECT_NEAR(size.captured(2).toDouble(), 841.89, 1);

    r = cli({"--params", "--pdf", pdf});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(pdfText(pdf).contains(u8("上限警報値")));

    // The graph page: axis labels of the held ranges and the window statistics
    // of the zoomed data numbers 5..20 (16 samples of channel A, 15 of C).
    r = cli({"--graph", "--x", "5..20", "--temp", "20..30", "--ref-temp", "25", "--pdf", pdf});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(pdfPageCount(pdf), 1);
    text = pdfText(pdf);
    for (const char* want :
         {"[℃]", "[%RH]", "30.0", "28.0", "20.0", "13-11-15", "収録/ｴﾗｰ数", "16/0", "15/0", "上/下限警報値", "25/0"})
        EXPECT_TRUE(text.contains(u8(want))) << want << "\n" << text.toStdString();
}

TEST_F(CliPrintTest, RefusedCommandsWriteNothing) {
    struct Case {
        QStringList args;
        int exitCode;
        const char* err;
    } cases[] = {
        {{"--rows", "6..4"}, 1, "開始は終了より早く設定してください。"},
        {{"--rows", "1..31"}, 1, "設定できる範囲を超えています。"},
        {{"--rows", "0..3"}, 1, "設定できる範囲を超えています。"},
        {{"--rows", "4-6"}, 2, "--rows には FIRST..LAST"},
        {{"--graph", "--temp", "30..20"}, 1, "上限値は下限値より高く設定してください。"},
        {{"--list", "--x", "1..5"}, 2, "--x は --graph と一緒に"},
        {{"--list", "--paper", "B5"}, 2, "--paper には"},
        {{"--list", "--params"}, 2, "使い方: quillet-cli print"},
    };
    for (const Case& c : cases) {
        const CliRun r = cli(c.args + QStringList{"--pdf", pdf});
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(u8(c.err))) << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(pdf)) << c.args.join(' ').toStdString();
    }
    // A folder that does not exist: the error box's text naming the file,
    // and no file.
    const CliRun r = cli({"--list", "--pdf", t.root + "/missing/out.pdf"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("quillet-cli: " + u8("印刷") + ": " + t.root + "/missing/out.pdf" +
                               u8(": パスが見つかりません。（エラー76）")))
        << r.err.toStdString();
}

}  // namespace
}  // namespace quillet
