// The graph print's page: its layout, its summary table and the plot drawn
// by the graph's hook inside the plot rectangle.
#include "print/graphprint.h"
#include "print/printjobs.h"
#include "printfakes.h"

#include "core/store.h"

#include <QFile>
#include <QPainter>
#include <QRegularExpression>

namespace quillet {
namespace {

using namespace fakes;

QString u8(const char* s) { return QString::fromUtf8(s); }

TEST(GraphPrintLayout, RectanglesFromTheLineHeightAndCharacterWidth) {
    // Printable 1000 × 1400, W 10, H 20: the table 930 wide, centred.
    const GraphPrintLayout l = graphPrintLayout(1000, 1400, 10, 20);
    EXPECT_EQ(l.table, QRectF(35, 1200, 930, 180));
    EXPECT_EQ(l.plot, QRectF(35 + 40 + 70, 20, 930 - 80 - 130, 1400 - 280));
    // A page narrower than the table: it overhangs both sides.
    EXPECT_LT(graphPrintLayout(900, 1400, 10, 20).table.left(), 0);
}

class GraphPrintTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ensurePrintApplication(); }
    void SetUp() override {
        t.ctx.printer = &checks;
        t.ctx.graphPrinter = &printer;
        ChannelData a;
        a.samples = ramp(50, 245);
        a.upperAlarm = 250;
        a.lowerAlarm = 0;
        fillChannel(t.ctx, 1, a);
        ChannelData h;
        h.kind = 2;
        h.cardNo = 7;
        h.testNo = 300;  // corrected to 255
        h.samples = ramp(50, 600);
        fillChannel(t.ctx, 2, h);
        ChannelData k;
        k.kind = 0;
        k.samples = ramp(50, 100);
        fillChannel(t.ctx, 3, k);
        rebuildTimeAxis(t.ctx.store);
    }
    TestContext t;
    ScriptedPrinter checks{t.root + "/unused.pdf"};
    ScriptedPrinter printer{t.root + "/graph.pdf"};
};

TEST_F(GraphPrintTest, SummaryCells) {
    GraphPage page;
    page.gridText = [](int row, int ch) { return QStringLiteral("r%1c%2").arg(row).arg(ch); };
    struct Case {
        int row, col;
        const char* want;
    } cases[] = {
        {1, 1, "カードNo.\rテストNo.\r単位"},
        {2, 1, "収録/ｴﾗｰ数"},
        {8, 1, "上/下限警報値"},
        {1, 2, " ﾟC 001\r     001"},
        {1, 3, "%RH 007\r     255"},
        {2, 2, "r1c1"},  // the graph window's grid, rows 1..6
        {7, 3, "r6c2"},
        {8, 2, "25/0"},
        {8, 3, "25/10"},
        {8, 4, "----/----"},  // kind 0
        {3, 5, ""},           // channel 4 not in use
    };
    for (const Case& c : cases)
        EXPECT_EQ(graphSummaryText(t.ctx, page, c.row, c.col), u8(c.want)) << c.row << "," << c.col;
}

TEST_F(GraphPrintTest, PagePrintedThroughTheGraphPrinter) {
    QRectF plot;
    double w = 0, h = 0;
    int calls = 0;
    GraphPage page;
    page.plot = [&](QPainter& p, const QRectF& r, double cw, double lh) {
        ++calls;
        plot = r;
        w = cw;
        h = lh;
        p.drawText(r.center(), QStringLiteral("PLOT"));
    };
    page.gridText = [](int row, int ch) { return QStringLiteral("r%1c%2").arg(row).arg(ch); };
    EXPECT_EQ(printDispatch(t.ctx, PrintJob{PrintKind::Graph, {}, page}), PrintOutcome::Printed);
    EXPECT_TRUE(t.messages.shown.empty());
    EXPECT_EQ(checks.dialogsShown, 0);
    ASSERT_EQ(calls, 1);
    EXPECT_FALSE(QFile::exists(t.root + "/unused.pdf"));
    QFile::copy(t.root + "/graph.pdf", QStringLiteral(QUILLET_BUILD_DIR "/print_graph.pdf"));

    // The plot lies within the page: A4 with 20 mm margins at 1200 dpi.
    const double pw = (210 - 40) / 25.4 * 1200, ph = (297 - 40) / 25.4 * 1200;
    EXPECT_GT(plot.left(), 0);
    EXPECT_LT(plot.right(), pw);
    EXPECT_NEAR(plot.top(), h, 1e-6);
    EXPECT_NEAR(plot.bottom(), ph - 13 * h, 15);  // the page rounded to points
    EXPECT_LE(kGraphTableChars * w, pw);

    const QStringList pages = pdfPages(t.root + "/graph.pdf");
    ASSERT_EQ(pages.size(), 1);
    for (const char* want : {"PLOT", "収録/ｴﾗｰ数", "上/下限警報値", "r1c1", "r6c3", "----/----", "25/0", "%RH 007"})
        EXPECT_TRUE(pages[0].contains(u8(want))) << want;
}

TEST_F(GraphPrintTest, SetUpDialogsAfterTheChecks) {
    graphPageSetup(t.ctx);
    graphPrinterSetup(t.ctx);
    EXPECT_EQ(printer.dialogsShown, 2);
    EXPECT_EQ(checks.dialogsShown, 0);
    checks.ready = false;
    graphPrinterSetup(t.ctx);
    EXPECT_EQ(printer.dialogsShown, 2);
    EXPECT_EQ(t.messages.texts(), QStringList{u8("プリンタがありません。\rエラー4820")});
}

TEST_F(GraphPrintTest, NoPrinterPrintsNothing) {
    checks.printers = 0;
    int calls = 0;
    GraphPage page;
    page.plot = [&](QPainter&, const QRectF&, double, double) { ++calls; };
    printDispatch(t.ctx, PrintJob{PrintKind::Graph, {}, page});
    EXPECT_EQ(t.messages.texts(), QStringList{u8("プリンタがありません。\rエラー4821")});
    EXPECT_EQ(calls, 0);
    EXPECT_FALSE(QFile::exists(t.root + "/graph.pdf"));
}

}  // namespace
}  // namespace quillet
