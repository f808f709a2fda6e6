#include "graph/ui/dialogsupport.h"
#include "graph/ui/graphrangedialog.h"
#include "graph/ui/referencelinesdialog.h"

#include "core/catalog.h"
#include "core/store.h"
#include "mainwin_fixture.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

using namespace quillet;
using fakes::u8;
using F = RangeField;

namespace {

// A temperature and a humidity channel of 100 samples every ten minutes from
// 2013-11-15 10:00:00, and a plain window standing in for the graph window.
class GraphDialogs : public ::testing::Test {
protected:
    static void SetUpTestSuite() { fakes::ensureApplication(); }
    void SetUp() override {
        fakes::fillChannel(t.ctx, 1, {.kind = 1, .samples = fakes::ramp(100, 200)});
        fakes::fillChannel(t.ctx, 2, {.kind = 2, .samples = fakes::ramp(100, 500)});
        rebuildTimeAxis(t.ctx.store);
        GraphState& g = t.ctx.graph;
        g.x().shown.low = 1, g.x().shown.high = 100, g.x().automatic.low = 1, g.x().automatic.high = 100;
        g.temp().shown.low = 20, g.temp().shown.high = 30, g.humid().shown.low = 40, g.humid().shown.high = 80;
        g.refTemp = 25, g.refHumid = 60;
        graph.resize(400, 300);
        graph.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&graph));
    }
    void TearDown() override { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    // The dialog itself, not just its window family, has the focus.
    static bool becomesActive(QWidget* w) {
        return QTest::qWaitFor([w] { return QApplication::activeWindow() == w; });
    }
    // Focus moves into a field, the user types, and Tab leaves it.
    static void typeAndLeave(QLineEdit* e, const QString& text) {
        e->setFocus(Qt::MouseFocusReason);
        e->clear();
        QTest::keyClicks(e, text);
        QTest::keyClick(e, Qt::Key_Tab);
    }
    QStringList messages() {
        QStringList texts = t.messages.texts();
        t.messages.shown.clear();
        return texts;
    }

    fakes::TestContext t;
    QWidget graph;
};

}  // namespace

TEST_F(GraphDialogs, RangeDialogChecksEveryFieldAndHoldsTheRanges) {
    bool redrawn = false;
    QPointer<GraphRangeDialog> d = showGraphRange(t.ctx, &graph, [&] { redrawn = true; });
    ASSERT_TRUE(becomesActive(d));
    EXPECT_EQ(d->windowTitle(), u8("グラフレンジ変更"));
    EXPECT_FALSE(graph.isEnabled());
    EXPECT_TRUE(d->isEnabled());
    EXPECT_TRUE(d->frame(RangeAxis::Temp)->isEnabled());
    EXPECT_EQ(d->frame(RangeAxis::Humid)->title(), u8("湿度範囲"));
    EXPECT_EQ(d->field(F::LastTime)->text(), "2013-11-16 02:30:00");
    EXPECT_EQ(QApplication::focusWidget(), d->button(0));
    EXPECT_TRUE(d->grab().save(QStringLiteral(QUILLET_BUILD_DIR "/grangebox.png")));  // for a look by eye
    EXPECT_EQ(t.ctx.graph->x().manual, 0);                                            // opening holds nothing

    // The end number: only digits reach the field; 9500 is beyond the range.
    typeAndLeave(d->field(F::LastRow), "9a-500");
    EXPECT_EQ(messages(), QStringList{messageText(54)});
    EXPECT_EQ(d->field(F::LastRow)->text(), "9000");
    EXPECT_EQ(d->field(F::LastTime)->text(), "2014-01-16 21:50:00");
    EXPECT_EQ(t.ctx.graph->x().manual, 1);
    EXPECT_FALSE(d->autoBox(RangeAxis::X)->isChecked());

    // A start time between two samples: the key-up moves the number as the
    // last character goes in; Enter snaps the time to the earlier sample.
    QLineEdit* startTime = d->field(F::FirstTime);
    startTime->setFocus(Qt::MouseFocusReason);
    startTime->clear();
    QTest::keyClicks(startTime, "2013-11-15 10:15:00");
    EXPECT_EQ(d->field(F::FirstRow)->text(), "2");
    EXPECT_EQ(startTime->text(), "2013-11-15 10:15:00");
    QTest::keyClick(startTime, Qt::Key_Return);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(startTime->text(), "2013-11-15 10:10:00");

    // Month 13: the format message with its hint, and the last accepted text.
    typeAndLeave(startTime, "2013-13-15 10:00:00");
    const QStringList shown = messages();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].endsWith(u8("\ryyyy-mm-dd hh:nn:ss形式で入力してください。")));
    EXPECT_EQ(startTime->text(), "2013-11-15 10:10:00");

    // Temperature bounds may not meet.
    typeAndLeave(d->field(F::TempMin), "30");
    EXPECT_EQ(messages(), QStringList{messageText(50)});
    EXPECT_EQ(d->field(F::TempMin)->text(), "20");
    typeAndLeave(d->field(F::TempMin), "-5");
    EXPECT_TRUE(messages().isEmpty());

    // The spin's upper arrow raises the end by one and the time follows.
    SpinBar* endSpin = d->spin(F::LastRow);
    endSpin->setFocus(Qt::MouseFocusReason);
    endSpin->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(d->field(F::LastRow)->text(), "9000");  // already at the top
    endSpin->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(d->field(F::LastRow)->text(), "8980");
    EXPECT_EQ(d->field(F::LastTime)->text(), "2014-01-16 18:30:00");

    QTest::mouseClick(d->button(0), Qt::LeftButton);
    EXPECT_TRUE(redrawn);
    EXPECT_TRUE(graph.isEnabled());
    const GraphState& g = t.ctx.graph;
    EXPECT_EQ((std::array{g.x().shown.low, g.x().shown.high, g.temp().shown.low, g.temp().shown.high}),
              (std::array<int16_t, 4>{2, 8980, -5, 30}));
    EXPECT_EQ((std::array{g.temp().manual, g.humid().manual, g.undoAvailable}), (std::array{true, false, true}));
    EXPECT_EQ(t.ctx.general.tempMin, -5);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(d.isNull());
}

TEST_F(GraphDialogs, FocusingABoundThenCancelLeavesTheAxisHeld) {
    bool redrawn = false;
    QPointer<GraphRangeDialog> d = showGraphRange(t.ctx, &graph, [&] { redrawn = true; });
    ASSERT_TRUE(becomesActive(d));
    EXPECT_TRUE(d->autoBox(RangeAxis::Temp)->isChecked());
    d->field(F::TempMin)->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(d->autoBox(RangeAxis::Temp)->isChecked());
    QTest::mouseClick(d->button(1), Qt::LeftButton);
    EXPECT_FALSE(redrawn);
    EXPECT_TRUE(graph.isEnabled());
    EXPECT_EQ(t.ctx.graph->temp().manual, 1);
    EXPECT_EQ(t.ctx.graph->temp().shown.low, 20);
    EXPECT_EQ(t.ctx.graph->temp().shown.high, 30);
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(GraphDialogs, ReferenceLinesAreClampedAndSwitchedOff) {
    // Humidity only: the temperature field, spin and unit stay hidden.
    emptyChannel(t.ctx, 1);
    QPointer<ReferenceLinesDialog> h = showReferenceLines(t.ctx, &graph, {});
    ASSERT_TRUE(becomesActive(h));
    EXPECT_FALSE(h->field(RefField::Temp)->isVisible());
    EXPECT_FALSE(h->spin(RefField::Temp)->isVisible());
    EXPECT_FALSE(h->unit(RefField::Temp)->isVisible());
    EXPECT_TRUE(h->field(RefField::Humid)->isVisible());
    h->onButtonClicked(1);
    EXPECT_TRUE(graph.isEnabled());

    fakes::fillChannel(t.ctx, 1, {.kind = 0, .samples = fakes::ramp(100, 200)});
    t.ctx.graph->refLineOn = 1;
    bool redrawn = false;
    QPointer<ReferenceLinesDialog> d = showReferenceLines(t.ctx, &graph, [&] { redrawn = true; });
    ASSERT_TRUE(becomesActive(d));
    EXPECT_EQ(d->windowTitle(), u8("基準線設定"));
    EXPECT_FALSE(graph.isEnabled());
    EXPECT_TRUE(d->ckRefLineEn()->isChecked());
    EXPECT_EQ(d->field(RefField::Temp)->text(), "25");
    EXPECT_EQ(d->unit(RefField::Humid)->text(), u8("%RH"));
    EXPECT_TRUE(d->grab().save(QStringLiteral(QUILLET_BUILD_DIR "/frmrelset.png")));

    typeAndLeave(d->field(RefField::Temp), "25.0");  // no decimal point: 250
    EXPECT_EQ(messages(), QStringList{messageText(52)});
    EXPECT_EQ(d->field(RefField::Temp)->text(), "200");
    d->field(RefField::Humid)->setFocus(Qt::MouseFocusReason);
    d->field(RefField::Humid)->clear();
    QTest::keyClicks(d->field(RefField::Humid), "-101");
    QTest::keyClick(d->field(RefField::Humid), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(messages(), QStringList{messageText(53)});
    EXPECT_EQ(d->field(RefField::Humid)->text(), "100");  // the minus never got in: 101

    QTest::mouseClick(d->ckRefLineEn(), Qt::LeftButton, {}, QPoint(8, d->ckRefLineEn()->height() / 2));
    QTest::mouseClick(d->button(0), Qt::LeftButton);
    EXPECT_TRUE(redrawn);
    EXPECT_TRUE(graph.isEnabled());
    EXPECT_EQ((std::array{t.ctx.graph->refTemp, t.ctx.graph->refHumid}), (std::array<int16_t, 2>{200, 100}));
    EXPECT_FALSE(t.ctx.graph->refLineOn);
}
