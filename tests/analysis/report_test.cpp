// The report page, the analysis commands of both windows and quillet-cli
// stats and report, run as the built program.
#include "print/printfakes.h"
#include "support/clirun.h"

#include "analysis/analysissettings.h"
#include "analysis/figuretexts.h"
#include "analysis/reportprint.h"
#include "analysis/ui/analysiswiring.h"
#include "analysis/ui/statswindow.h"
#include "core/settingsfiles.h"
#include "core/startup.h"
#include "core/store.h"
#include "core/ui/mainwindow.h"
#include "datafile/datafile.h"
#include "graph/graphscale.h"
#include "graph/graphstate.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace quillet {
namespace {

using namespace fakes;

QString u8(const char* s) { return QString::fromUtf8(s); }

class ReportTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ensurePrintApplication(); }
    void SetUp() override {
        ChannelData a;  // 24.5 .. 27.4 °C, above 25.0 from its 7th sample
        a.samples = ramp(30, 245);
        a.samples[10] = kErrorSample;
        fillChannel(t.ctx, 1, a);
        ChannelData h;  // humidity, starting five rows late
        h.kind = 2;
        h.start = a.start.addSecs(3000);
        h.samples = std::vector<int16_t>(25, 654);
        h.upperAlarm = 600;
        h.lowerAlarm = 300;
        fillChannel(t.ctx, 3, h);
        ChannelData k;  // kind 0
        k.kind = 0;
        k.samples = std::vector<int16_t>(30, 51);
        fillChannel(t.ctx, 5, k);
        rebuildTimeAxis(t.ctx.store);
        t.ctx.store.currentFileName = file;
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(ql6Bytes(t.ctx.store));
    }
    CliRun cli(const QString& command, const QStringList& args) {
        return runCli(QStringList{command, file} + args, home.path());
    }
    QTemporaryDir home;
    TestContext t;
    QString file = t.root + "/warehouse.ql6";
    QString pdf = t.root + "/report.pdf";
};

// stats --json gives the figures of channelFigures, null where none applies.
TEST_F(ReportTest, StatsJsonMatchesTheFigures) {
    struct Run {
        QStringList args;
        AxisRows rows;
        double dhr;
    };
    const Run runs[] = {
        {{}, {1, 30}, kDefaultDeltaHOverR},
        {{"--rows", "4..12", "--dhr", "8000"}, {4, 12}, 8000},
    };
    for (const Run& run : runs) {
        SCOPED_TRACE(run.args.join(' ').toStdString());
        const CliRun r = cli("stats", run.args + QStringList{"--json"});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        QJsonParseError error;
        const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8(), &error).object();
        ASSERT_EQ(error.error, QJsonParseError::NoError) << r.out.toStdString();
        EXPECT_EQ(o["file"].toString(), file);
        EXPECT_EQ(o["span"].toObject()["first"].toInt(), run.rows.first);
        EXPECT_EQ(o["span"].toObject()["last"].toInt(), run.rows.last);
        EXPECT_EQ(o["span"].toObject()["from"].toString(), dateTimeText(rowTime(t.ctx.store, run.rows.first)));
        const auto want = channelFigures(t.ctx.store, run.rows, run.dhr);
        const QJsonArray channels = o["channels"].toArray();
        ASSERT_EQ(channels.size(), qsizetype(want.size()));
        for (size_t i = 0; i < want.size(); ++i) {
            const QJsonObject c = channels[qsizetype(i)].toObject();
            const ChannelFigures& f = want[i];
            EXPECT_EQ(c["channel"].toString(), channelLetter(f.channel));
            EXPECT_EQ(c["samples"].toInt(), f.samples);
            EXPECT_EQ(c["errors"].toInt(), f.errors);
            auto same = [&](const char* key, std::optional<double> v) {
                SCOPED_TRACE(key);
                const QJsonValue got = c.value(QLatin1String(key));
                ASSERT_EQ(got.isNull(), !v.has_value());
                if (v) {
                    EXPECT_NEAR(got.toDouble(), *v, 1e-4);
                }
            };
            same("mean", f.mean);
            same("mkt", f.mkt);
            same("upperAlarm", f.upperAlarm);
            const auto& l = f.limits;
            same("secondsAbove", l ? std::optional<double>(double(l->secondsAbove)) : std::nullopt);
            same("excursionsAbove", l ? std::optional<double>(l->above.count) : std::nullopt);
            same("degreeMinutesAbove", l ? std::optional<double>(l->degreeMinutesAbove) : std::nullopt);
            same("withinLimitsShare", l ? std::optional<double>(l->withinShare) : std::nullopt);
        }
        EXPECT_EQ(channels[1].toObject()["unit"].toString(), u8("%RH"));
        EXPECT_TRUE(channels[1].toObject()["mkt"].isNull());
        EXPECT_TRUE(channels[2].toObject()["secondsAbove"].isNull());
    }
    const CliRun table = cli("stats", {});
    ASSERT_EQ(table.exitCode, 0);
    EXPECT_TRUE(table.out.contains(u8("MKT")));
    EXPECT_TRUE(table.out.contains(figureText(channelFigures(t.ctx.store, {1, 30})[0], 5)));
}

// The page read back: title, period, MKT, sign-off boxes and page number;
// refused command lines write nothing.
TEST_F(ReportTest, CliReportPage) {
    const CliRun r = cli("report", {"--pdf", pdf, "--title", u8("冷蔵倉庫 12月"), "--rows", "2..20"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(pdfPageCount(pdf), 1);
    const QString text = pdfText(pdf);
    const auto f = channelFigures(t.ctx.store, {2, 20});
    for (const QString& want :
         {u8("冷蔵倉庫 12月"), dateTimeText(rowTime(t.ctx.store, 2)), dateTimeText(rowTime(t.ctx.store, 20)),
          figureText(f[0], 5), u8("作成"), u8("確認"), u8("承認"), u8("1 / 1")})
        EXPECT_TRUE(text.contains(want)) << want.toStdString() << "\n" << text.toStdString();

    struct Refused {
        QStringList args;
        int exitCode;
    };
    const Refused refused[] = {
        {{"--pdf", pdf + "2", "--rows", "5..99"}, 1},
        {{"--pdf", pdf + "2", "--rows", "9..5"}, 1},
        {{"--pdf", pdf + "2", "--dhr", "12"}, 2},
        {{"--pdf", pdf + "2", "--rows", "x"}, 2},
        {{}, 2},
    };
    for (const Refused& x : refused) {
        const CliRun bad = cli("report", x.args);
        EXPECT_EQ(bad.exitCode, x.exitCode) << x.args.join(' ').toStdString();
        EXPECT_FALSE(QFile::exists(pdf + "2"));
    }
    EXPECT_EQ(cli("stats", {"--dhr", "abc"}).exitCode, 2);
}

// The report command: a cancelled title or printer dialog prints nothing;
// the title typed is the page's, whose period and print date come from the
// context.
TEST_F(ReportTest, ReportCommandOutcomes) {
    struct Row {
        std::optional<QString> title;
        std::deque<int> dialogs;
        PrintOutcome want;
    };
    const Row rows[] = {
        {std::nullopt, {}, PrintOutcome::Cancelled},
        {u8("監査用"), {32755}, PrintOutcome::Cancelled},
        {u8("監査用"), {}, PrintOutcome::Printed},
    };
    for (const Row& row : rows) {
        QFile::remove(pdf);
        ScriptedPrinter printer(pdf);
        printer.dialogAnswers = row.dialogs;
        t.ctx.printer = &printer;
        QString offered;
        const auto outcome =
            reportCommand(t.ctx, printer, ReportRequest{{}, {1, 30}, 10000, {}}, [&](const QString& initial) {
                offered = initial;
                return row.title;
            });
        EXPECT_EQ(outcome, row.want);
        EXPECT_EQ(offered, u8("warehouse.ql6"));
        EXPECT_EQ(QFile::exists(pdf), row.want == PrintOutcome::Printed);
    }
    const QString text = pdfText(pdf);
    EXPECT_TRUE(text.contains(u8("監査用")));
    EXPECT_TRUE(text.contains(u8("2013-11-15 09:05:00"))) << text.toStdString();  // the virtual clock
}

// A report shows every sample: the report of a file takes the automatic
// ranges, not held ones that leave the data out; the one from the graph
// window keeps the span shown and widens its held Y axes to that span's
// samples (5.1 .. 26.4 ℃ in rows 5..20, 65.4 %RH), also past header figures
// that miss them.
TEST_F(ReportTest, ReportRangesHoldEverySample) {
    using Ranges = std::array<int16_t, 6>;  // xStart, xEnd, tempMin, tempMax, humidMin, humidMax
    const auto ranges = [](const GraphState& g) {
        return Ranges{g.x().shown.low,     g.x().shown.high,    g.temp().shown.low,
                      g.temp().shown.high, g.humid().shown.low, g.humid().shown.high};
    };
    const struct {
        ReportBounds bounds;
        AxisRows span;
        bool headerFigures;  // the channels' highest and lowest sample, as a read-out leaves them
        Ranges held, want;
        bool widened;
    } rows[] = {
        {ReportBounds::Automatic, {1, 30}, true, {5, 20, 60, 80, 0, 10}, {1, 30, 0, 50, 65, 70}, false},
        {ReportBounds::Automatic, {1, 30}, false, {5, 20, 60, 80, 0, 10}, {1, 30, 0, 28, 0, 66}, true},
        {ReportBounds::Held, {5, 20}, true, {5, 20, 26, 40, 60, 64}, {5, 20, 5, 40, 60, 66}, true},
        {ReportBounds::Held, {5, 20}, true, {5, 20, 0, 30, 60, 70}, {5, 20, 0, 30, 60, 70}, true},
    };
    for (const auto& row : rows) {
        for (const auto& [ch, low, high] : {std::tuple{1, 245, 274}, {3, 654, 654}, {5, 51, 51}}) {
            t.ctx.store.ch[size_t(ch)].minValue = int16_t(row.headerFigures ? low : 0);
            t.ctx.store.ch[size_t(ch)].maxValue = int16_t(row.headerFigures ? high : 0);
        }
        GraphState& g = t.ctx.graph;
        g.x().manual = g.temp().manual = g.humid().manual = true;
        std::tie(g.x().shown.low, g.x().shown.high, g.temp().shown.low, g.temp().shown.high, g.humid().shown.low,
                 g.humid().shown.high) = std::tuple_cat(row.held);
        computeGraphScale(t.ctx);
        const Ranges shown = ranges(t.ctx.graph);
        const GraphState r = reportGraphState(t.ctx, row.span, row.bounds);
        EXPECT_EQ(ranges(r), row.want);
        EXPECT_EQ(r.temp().manual && r.humid().manual, row.widened);
        EXPECT_EQ(r.temp().tick * 5, (r.temp().shown.high - r.temp().shown.low) * 10);  // five ticks, also when widened
        EXPECT_EQ(ranges(t.ctx.graph), shown);                                          // the graph keeps its own
    }

    // quillet-cli report of the file (no header figures) with 60..80 ℃ held
    // in qlet7.dat: the axis reads 28.0 at the top, not 80.0.
    const Folders folders = buildFolders(home.path() + "/config", home.path() + "/docs", home.path());
    ASSERT_TRUE(QDir().mkpath(QFileInfo(folders.settingsFile).path()));
    GeneralSettings saved;
    saved.tempManual = -1;
    saved.tempMin = 60;
    saved.tempMax = 80;
    ASSERT_TRUE(saveGeneralSettings(saved, folders.settingsFile));
    ASSERT_EQ(cli("report", {"--pdf", pdf}).exitCode, 0);
    const QString text = pdfText(pdf);
    EXPECT_TRUE(text.contains("28.0") && !text.contains("80.0")) << text.toStdString();
}

// "統計と逸脱" from the main window: the figures in the table; a wrong ΔH/R
// is refused with the message, a right one refills the table and is kept.
TEST_F(ReportTest, StatsWindowAndMenu) {
    MainWindow window(t.ctx);
    wireAnalysis(window, t.ctx, [](const QString&) { return std::optional<QString>(); });
    EXPECT_TRUE(window.action(Command::Statistics)->isEnabled());
    EXPECT_TRUE(window.action(Command::Report)->isEnabled());

    StatsWindow w(t.ctx, wholeAxis(t.ctx.store));
    ASSERT_EQ(w.table->columnCount(), 3);
    const auto f = channelFigures(t.ctx.store, {1, 30});
    EXPECT_EQ(w.table->item(5, 0)->text(), figureText(f[0], 5));
    EXPECT_EQ(w.table->item(5, 1)->text(), u8("-----"));

    w.dhr->setText(u8("5"));
    w.applyDeltaHOverR();
    ASSERT_EQ(t.messages.shown.size(), 1u);
    EXPECT_EQ(w.dhr->text(), u8("10000"));

    w.dhr->setText(u8("8000"));
    w.applyDeltaHOverR();
    EXPECT_EQ(w.table->item(5, 0)->text(), figureText(channelFigures(t.ctx.store, {1, 30}, 8000)[0], 5));
    EXPECT_EQ(loadDeltaHOverR(analysisSettingsFile(t.ctx.folders)), 8000);
    EXPECT_EQ(t.messages.shown.size(), 1u);

    // Enter in the field applies the value and the window stays open.
    w.show();
    w.dhr->setFocus();
    w.dhr->setText(u8("9000"));
    QTest::keyClick(w.dhr, Qt::Key_Return);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.deltaHOverR(), 9000);
    // Ctrl+C: the whole table, tab-separated, a line per figure.
    w.copyTable();
    const QStringList lines = QGuiApplication::clipboard()->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), kFigureRows + 1);
    EXPECT_EQ(lines[6].split(QLatin1Char('\t')).value(1), w.table->item(5, 0)->text());
    // "ＣＳＶ保存": the same table, UTF-8 with its mark, a line per figure.
    const QString csv = t.root + "/figures.csv";
    t.dialogs.answers.push_back(csv);
    w.saveCsv();
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(bytes.count("\r\n"), kFigureRows + 1);
}

// The graph window's span is its X range within the axis; the main menu's
// report prints the whole axis and leaves the graph's range as it was.
TEST_F(ReportTest, GraphSpanAndMenuReport) {
    struct Row {
        int xStart, xEnd;
        AxisRows want;
    };
    const Row rows[] = {{5, 20, {5, 20}}, {1, 30, {1, 30}}, {0, 99, {1, 30}}, {28, 40, {28, 30}}};
    for (const Row& r : rows) {
        t.ctx.graph->x().shown.low = int16_t(r.xStart);
        t.ctx.graph->x().shown.high = int16_t(r.xEnd);
        const AxisRows got = visibleRows(t.ctx);
        EXPECT_EQ(got.first, r.want.first) << r.xStart;
        EXPECT_EQ(got.last, r.want.last) << r.xEnd;
    }

    t.ctx.graph->x().manual = true;
    t.ctx.graph->x().shown.low = 5;
    t.ctx.graph->x().shown.high = 9;
    ScriptedPrinter printer(pdf);
    t.ctx.printer = &printer;
    MainWindow window(t.ctx);
    wireAnalysis(window, t.ctx, [](const QString&) { return std::optional<QString>(u8("全期間")); });
    window.action(Command::Report)->trigger();
    EXPECT_TRUE(pdfText(pdf).contains(dateTimeText(rowTime(t.ctx.store, 30))));
    EXPECT_TRUE(t.ctx.graph->x().manual);
    EXPECT_EQ(t.ctx.graph->x().shown.low, 5);
    EXPECT_EQ(t.ctx.graph->x().shown.high, 9);
}

}  // namespace
}  // namespace quillet
