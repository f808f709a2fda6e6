// The graph window opened from the main window over a temperature and
// humidity logger's three days: drag zoom, undo, back to automatic, line
// width, colour change, cursor read-out, and a picture for a look by eye
// (QUILLET_BUILD_DIR/graphwindow.png); then the range and reference-line
// dialogs and the graph print from the graph window's own menus; the tidy
// CSV and workbook exports of the main window and of the visible span.
#include "graph/ui/graphwindow.h"
#include "core/vb.h"
#include "datafile/ui/filemenu.h"
#include "graph/ui/graphrangedialog.h"
#include "graph/ui/referencelinesdialog.h"
#include "mainwin_fixture.h"
#include "print/printfakes.h"
#include "print/printjobs.h"
#include "spreadsheet/ui/spreadsheetwiring.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>

using namespace quillet;
using namespace quillet::fakes;

namespace {

QByteArray filetestBytes(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class ScriptedColors : public ColorDialogs {
public:
    std::optional<QColor> chooseColor(QColor initial) override {
        asked.push_back(initial);
        return answer;
    }
    std::optional<QColor> answer;
    std::vector<QColor> asked;
};

class GraphWindowTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        t.ctx.colors = &colors;
        // A temperature and humidity logger: 432 samples every ten minutes.
        ChannelData temp, humid;
        temp.kind = 1;
        humid.kind = 2;
        for (int i = 0; i < 432; ++i) {
            temp.samples.push_back(int16_t(std::lround(225 + 35 * std::sin(i * 2 * M_PI / 144))));
            humid.samples.push_back(int16_t(std::lround(550 - 120 * std::sin(i * 2 * M_PI / 144))));
        }
        temp.samples[200] = kErrorSample;
        fill(1, temp);
        fill(2, humid);
        t.ctx.store.ch[1].maxValue = 260;
        t.ctx.store.ch[1].minValue = 190;
        t.ctx.store.ch[2].maxValue = 670;
        t.ctx.store.ch[2].minValue = 430;
        refresh();
        graph = std::make_unique<GraphWindow>(t.ctx);
        wireGraph(*window, t.ctx, *graph);
    }
    void TearDown() override {
        graph.reset();
        MainWindowTest::TearDown();
    }
    // Device position of data number n at value v (tenths) of the temperature axis.
    QPoint at(double n, double v) const {
        const GraphGeometry geo = graph->plotGeometry();
        const GraphState& g = t.ctx.graph;
        const double x = geo.plotLeft + (n - g.x().shown.low) * geo.plotWidth / (g.x().shown.high - g.x().shown.low);
        const double y = geo.plotTop + (g.temp().shown.high * 10 - v) * geo.plotHeight /
                                           ((g.temp().shown.high - g.temp().shown.low) * 10.0);
        return QPoint(int(std::lround(x / graph->twipsX())), int(std::lround(y / graph->twipsY())));
    }
    void hover(QPoint pos) {
        QMouseEvent move(QEvent::MouseMove, pos, graph->gImage->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(graph->gImage, &move);
    }
    void settle() {
        QApplication::processEvents();
        graph->gImage->repaint();
    }

    ScriptedColors colors;
    std::unique_ptr<GraphWindow> graph;
};

TEST_F(GraphWindowTest, ZoomUndoRestoreColourAndLineWidth) {
    ASSERT_TRUE(window->action(Command::Graph)->isEnabled());
    window->action(Command::Graph)->trigger();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(graph.get()));
    settle();
    EXPECT_EQ(graph->windowTitle(), u8("グラフ"));
    EXPECT_FALSE(window->isEnabled()) << "the main window waits while the graph is open";
    const GraphState& g = t.ctx.graph;
    EXPECT_EQ(g.x().shown.low, 1);
    EXPECT_EQ(g.x().shown.high, 432);
    EXPECT_EQ(g.temp().shown.low, 10);
    EXPECT_EQ(g.temp().shown.high, 30);
    EXPECT_EQ(g.humid().shown.low, 40);
    EXPECT_EQ(g.humid().shown.high, 90);
    EXPECT_EQ(graph->gpgridModel->texts()[1][1], u8("432/1"));
    EXPECT_EQ(graph->gpgridModel->texts()[1][2], u8("432/0"));
    EXPECT_EQ(graph->gpgridModel->index(0, 2).data(Qt::BackgroundRole).value<QColor>(), QColor(0, 128, 0));
    EXPECT_FALSE(graph->action(GraphCommand::UndoRange)->isVisible());
    for (QAction* a : {graph->action(GraphCommand::Range), graph->toolButton(GraphCommand::Range),
                       graph->action(GraphCommand::ReferenceLines), graph->toolButton(GraphCommand::ReferenceLines),
                       graph->action(GraphCommand::Print), graph->toolButton(GraphCommand::Print),
                       graph->action(GraphCommand::PageSetup), graph->action(GraphCommand::PrinterSetup)})
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
    EXPECT_TRUE(graph->grab().toImage().save(QStringLiteral(QUILLET_BUILD_DIR) + "/graphwindow.png"));

    // Reading a value under the mouse does not paint the plot again.
    const int renders = graph->gImage->renderCount();
    hover(at(37, t.ctx.store.samples[1][37]));
    EXPECT_TRUE(graph->gImage->toolTip().startsWith(u8("13-11-15 16:00:00 ")))
        << graph->gImage->toolTip().toStdString();
    settle();
    EXPECT_EQ(graph->gImage->renderCount(), renders);
    hover(at(201, 220));  // the error sample of channel A
    EXPECT_EQ(graph->gImage->toolTip(), QString());

    // A click does not zoom; a drag that starts and ends outside does not either.
    QTest::mouseClick(graph->gImage, Qt::LeftButton, {}, at(100, 250));
    QTest::mousePress(graph->gImage, Qt::LeftButton, {}, QPoint(1, 1));
    QTest::mouseRelease(graph->gImage, Qt::LeftButton, {}, QPoint(2, graph->gImage->height() - 2));
    EXPECT_EQ(g.x().manual, 0);
    EXPECT_EQ(g.x().shown.high, 432);

    // Drag from right to left over data numbers 100..200.
    QTest::mousePress(graph->gImage, Qt::LeftButton, {}, at(200, 280));
    QTest::mouseRelease(graph->gImage, Qt::LeftButton, {}, at(100, 200));
    EXPECT_EQ(g.x().manual, 1);
    EXPECT_NEAR(g.x().shown.low, 100, 1);
    EXPECT_NEAR(g.x().shown.high, 200, 1);
    EXPECT_NEAR(g.temp().shown.low, 20, 1);
    EXPECT_NEAR(g.temp().shown.high, 28, 1);
    EXPECT_TRUE(graph->action(GraphCommand::UndoRange)->isVisible());
    settle();
    EXPECT_GT(graph->gImage->renderCount(), renders);
    const int zoomStart = g.x().shown.low;

    graph->action(GraphCommand::UndoRange)->trigger();  // undo
    EXPECT_EQ(g.x().shown.low, 1);
    EXPECT_EQ(g.x().shown.high, 432);
    graph->action(GraphCommand::UndoRange)->trigger();  // and again: the zoom
    EXPECT_EQ(g.x().shown.low, zoomStart);
    graph->action(GraphCommand::RestoreRange)->trigger();  // back to automatic
    EXPECT_EQ(g.x().shown.low, 1);
    EXPECT_EQ(g.x().shown.high, 432);
    EXPECT_EQ(g.temp().shown.high, 30);

    // "太", then the toolbar button goes back to "細".
    graph->action(lineWidthCommand(1))->trigger();
    EXPECT_EQ(g.lineWidth, 2);
    graph->toolButton(GraphCommand::LineWidthMenu)->trigger();
    EXPECT_EQ(g.lineWidth, 1);
    EXPECT_TRUE(graph->action(lineWidthCommand(0))->isChecked());

    // Colour of channel B: a cancel changes nothing, a choice recolours.
    ASSERT_TRUE(graph->showColorPopup(2, graph->mapToGlobal(QPoint(10, 10))));
    EXPECT_EQ(graph->action(GraphCommand::ChangeColor)->text(), u8("CH:B 色変更"));
    graph->menu(GraphCommand::ColorPopup)->hide();
    graph->action(GraphCommand::ChangeColor)->trigger();
    EXPECT_EQ(t.ctx.graph->channelColor[2], 0x008000u);
    colors.answer = QColor(255, 128, 0);
    graph->action(GraphCommand::ChangeColor)->trigger();
    EXPECT_EQ(t.ctx.graph->channelColor[2], 0xFF8000u);
    EXPECT_EQ(graph->gpgridModel->index(0, 2).data(Qt::BackgroundRole).value<QColor>(), QColor(255, 128, 0));
    ASSERT_EQ(colors.asked.size(), 2u);
    EXPECT_EQ(colors.asked[0], QColor(0, 128, 0));
    EXPECT_FALSE(graph->showColorPopup(0, QPoint()));

    // Hooks from outside: the range dialog's OK redraws with the new ranges.
    int opened = 0;
    graph->setCommand(GraphCommand::Range, [&] { ++opened; });
    graph->toolButton(GraphCommand::Range)->trigger();
    EXPECT_EQ(opened, 1);
    t.ctx.graph->x().manual = 1;
    t.ctx.graph->x().shown.low = 10;
    t.ctx.graph->x().shown.high = 20;
    graph->rangesChanged(true);
    EXPECT_EQ(graph->gpgridModel->texts()[1][1], u8("11/0"));

    graph->action(GraphCommand::Labels)->trigger();
    EXPECT_EQ(g.labelsOn, 1);
    graph->action(GraphCommand::Close)->trigger();
    EXPECT_FALSE(graph->isVisible());
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(g.x().manual, 0);
    EXPECT_EQ(g.labelsOn, 0);
}

TEST_F(GraphWindowTest, RangeAndReferenceDialogsAndThePrintFromTheGraphWindow) {
    window->action(Command::Graph)->trigger();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(graph.get()));
    const GraphState& g = t.ctx.graph;
    auto becomesActive = [](QWidget* w) { return QTest::qWaitFor([w] { return QApplication::activeWindow() == w; }); };
    auto typeAndLeave = [](QLineEdit* e, const QString& text) {
        e->setFocus(Qt::MouseFocusReason);
        e->clear();
        QTest::keyClicks(e, text);
        QTest::keyClick(e, Qt::Key_Tab);
    };

    // The range dialog over the graph window, which waits while the main
    // window stays disabled behind it; data numbers 100..200 by number.
    graph->action(GraphCommand::Range)->trigger();
    QPointer<GraphRangeDialog> range = graph->findChild<GraphRangeDialog*>();
    ASSERT_TRUE(range);
    ASSERT_TRUE(becomesActive(range));
    EXPECT_FALSE(graph->isEnabled());
    EXPECT_TRUE(range->isEnabled());
    EXPECT_FALSE(window->isEnabled());
    typeAndLeave(range->field(RangeField::FirstRow), "100");
    typeAndLeave(range->field(RangeField::LastRow), "200");
    EXPECT_TRUE(t.messages.shown.empty()) << t.messages.texts().join('|').toStdString();
    const int renders = graph->gImage->renderCount();
    QTest::mouseClick(range->button(0), Qt::LeftButton);
    EXPECT_TRUE(graph->isEnabled());
    EXPECT_FALSE(window->isEnabled());
    EXPECT_EQ(g.x().shown.low, 100);
    EXPECT_EQ(g.x().shown.high, 200);
    EXPECT_EQ(g.undoAvailable, 1);
    EXPECT_TRUE(graph->action(GraphCommand::UndoRange)->isVisible());
    EXPECT_EQ(graph->gpgridModel->texts()[1][1], u8("101/0"));
    settle();
    EXPECT_GT(graph->gImage->renderCount(), renders);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(range.isNull());

    // The reference-line dialog from the toolbar shows the middle of the
    // axes, not the unset value, even before the plot was painted again;
    // its OK draws the lines.
    t.ctx.graph->refTemp = 9999;
    t.ctx.graph->refHumid = 9999;
    graph->toolButton(GraphCommand::ReferenceLines)->trigger();
    QPointer<ReferenceLinesDialog> ref = graph->findChild<ReferenceLinesDialog*>();
    ASSERT_TRUE(ref);
    ASSERT_TRUE(becomesActive(ref));
    EXPECT_FALSE(graph->isEnabled());
    EXPECT_EQ(ref->field(RefField::Temp)->text(), QString::number((g.temp().shown.low + g.temp().shown.high) / 2));
    EXPECT_EQ(ref->field(RefField::Humid)->text(), QString::number((g.humid().shown.low + g.humid().shown.high) / 2));
    QTest::mouseClick(ref->ckRefLineEn(), Qt::LeftButton, {}, QPoint(8, ref->ckRefLineEn()->height() / 2));
    const int beforeRef = graph->gImage->renderCount();
    QTest::mouseClick(ref->button(0), Qt::LeftButton);
    EXPECT_EQ(g.refLineOn, 1);
    EXPECT_TRUE(graph->isEnabled());
    settle();
    EXPECT_GT(graph->gImage->renderCount(), beforeRef);
    EXPECT_EQ(g.x().shown.low, 100) << "the reference lines keep the ranges";

    // The graph print of the zoomed window into a PDF file.
    ScriptedPrinter checks(t.root + "/unused.pdf");
    ScriptedPrinter paper(t.root + "/graph.pdf");
    t.ctx.printer = &checks;
    t.ctx.graphPrinter = &paper;
    graph->action(GraphCommand::PageSetup)->trigger();
    graph->action(GraphCommand::PrinterSetup)->trigger();
    EXPECT_EQ(paper.dialogsShown, 2);
    graph->toolButton(GraphCommand::Print)->trigger();
    EXPECT_TRUE(t.messages.shown.empty()) << t.messages.texts().join('|').toStdString();
    const QStringList pages = pdfPages(t.root + "/graph.pdf");
    ASSERT_EQ(pages.size(), 1);
    const QString maxLabel = QString::number(g.temp().shown.high) + ".0",
                  humidLabel = QString::number(g.humid().shown.high) + ".0";
    for (const QString& want : {u8("[℃]"), u8("[%RH]"), maxLabel, humidLabel, u8("13-11-16"), u8("02:30:00"),
                                u8("収録/ｴﾗｰ数"), u8("101/0"), u8("最高値"), u8("上/下限警報値")})
        EXPECT_TRUE(pages[0].contains(want)) << want.toStdString() << "\n" << pages[0].toStdString();
    t.ctx.printer = nullptr;
    t.ctx.graphPrinter = nullptr;
    graph->close();
}

}  // namespace

TEST_F(GraphWindowTest, TableExportsOfTheWholeFileAndOfTheVisibleSpan) {
    wireFileMenu(*window, t.ctx);
    wireSpreadsheet(*window, t.ctx);
    wireGraphSpreadsheet(*graph, t.ctx);
    ChannelStore& s = t.ctx.store;
    s.currentFileName = t.root + "/data.ql6";
    s.unsavedRead = 1;
    auto lines = [](const QString& file) {
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << file.toStdString();
        return QString::fromUtf8(f.readAll()).split("\r\n", Qt::SkipEmptyParts);
    };
    auto rowText = [&s](int n) { return vb::formatDateTime(rowTime(s, n), vb::DateTimeLayout::Long); };

    ASSERT_TRUE(window->action(Command::TidyCsvExport)->isEnabled());
    t.dialogs.answers.push_back(t.root + "/all.csv");
    window->action(Command::TidyCsvExport)->trigger();
    const QStringList all = lines(t.root + "/all.csv");
    ASSERT_EQ(all.size(), 1 + 432);
    EXPECT_TRUE(filetestBytes(t.root + "/all.csv").startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(all[0], "日時,A 001-001 [℃],B 001-001 [%RH]");
    EXPECT_TRUE(all[201].startsWith(rowText(201) + ",,")) << all[201].toStdString();  // the error sample
    t.dialogs.answers.push_back(t.root + "/all.xlsx");
    window->action(Command::WorkbookExport)->trigger();
    EXPECT_TRUE(filetestBytes(t.root + "/all.xlsx").startsWith("PK"));

    // The graph zoomed to data numbers 100..200: exactly those rows.
    window->action(Command::Graph)->trigger();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(graph.get()));
    t.ctx.graph->x().shown.low = 100;
    t.ctx.graph->x().shown.high = 200;
    ASSERT_TRUE(graph->action(GraphCommand::SaveSpan)->isEnabled());
    t.dialogs.answers.push_back(t.root + "/span.csv");
    graph->action(GraphCommand::SaveSpan)->trigger();
    const QStringList span = lines(t.root + "/span.csv");
    ASSERT_EQ(span.size(), 1 + 101);
    EXPECT_EQ(span.mid(1), all.mid(100, 101));
    EXPECT_TRUE(span[1].startsWith(rowText(100) + ","));
    t.dialogs.answers.push_back(t.root + "/span.xlsx");
    graph->action(GraphCommand::SaveSpan)->trigger();
    EXPECT_TRUE(filetestBytes(t.root + "/span.xlsx").startsWith("PK"));
    EXPECT_EQ(t.dialogs.requests.back().title, "表示範囲の保存");

    EXPECT_TRUE(t.messages.shown.empty()) << t.messages.texts().join('|').toStdString();
    EXPECT_EQ(s.unsavedRead, 1) << "an export is no save";
    EXPECT_EQ(s.currentFileName, t.root + "/data.ql6");
    graph->close();
}
