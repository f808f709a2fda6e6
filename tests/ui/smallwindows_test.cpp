#include "mainwin_fixture.h"

#include "comm/ui/progresswindow.h"
#include "comm/ui/receivemonitor.h"
#include "core/settingsfiles.h"
#include "core/store.h"
#include "core/ui/qtplatform.h"
#include "core/ui/versionwindow.h"
#include "datafile/filebuilder.h"
#include "datafile/ui/filemenu.h"
#include "datafile/ui/insertchanneldialog.h"

#include <QDir>
#include <QMessageBox>
#include <QTimer>

using namespace quillet;
using namespace quillet::fakes;

namespace {

class SmallWindowsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ensureApplication(); }
    TestContext t;
};

}  // namespace

// ------------------------------------------------------------- VersionWindow

TEST_F(SmallWindowsTest, VersionWindowTexts) {
    EXPECT_EQ(versionText(8, 0, 0), "Ver8.00.0");
    EXPECT_EQ(versionText(8, 5, 12), "Ver8.05.12");
    EXPECT_EQ(versionText(10, 12, 3), "Ver10.12.3");
    VersionWindow v(t.ctx, {});
    EXPECT_EQ(v.windowTitle(), u8("バージョン情報"));
    EXPECT_EQ(v.Verlabel[0]->text(), "Ver8.00.0");
    EXPECT_EQ(v.Verlabel[1]->text(), "2013.11.15");
    EXPECT_EQ(v.Frame1->title(), u8("対応機種"));
    EXPECT_EQ(v.LaVer->text(), "LX2441 LX1200 LX1220 LX3100 LX2442");
    EXPECT_EQ(v.LaVer->toolTip(), u8("現在のバージョンで対応しているクイレット一覧"));
    EXPECT_EQ(v.verdispok->text(), "OK");
}

TEST_F(SmallWindowsTest, ShiftDTogglesDebugModeAndDReloadsTiming) {
    std::vector<bool> shown;
    VersionWindow v(t.ctx, [&](bool on) { shown.push_back(on); });
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v));
    auto colour = [&] { return v.Verlabel[0]->palette().color(QPalette::WindowText); };
    EXPECT_EQ(colour(), QColor(0, 0, 0));

    // A timing file edited while the program runs.
    TimingSettings edited;
    edited.commandWait = 25;
    ASSERT_TRUE(saveTimingSettings(edited, t.ctx.folders.timingFile));

    QTest::keyClick(v.verdispok, Qt::Key_D);  // no Shift, debug mode off: nothing
    EXPECT_FALSE(t.ctx.debug.debugMode);
    EXPECT_EQ(t.ctx.timing.commandWait, 10);

    QTest::keyClick(v.verdispok, Qt::Key_D, Qt::ShiftModifier);
    EXPECT_TRUE(t.ctx.debug.debugMode);
    EXPECT_EQ(shown, std::vector<bool>({true}));
    EXPECT_EQ(colour(), QColor(255, 0, 0));
    EXPECT_EQ(t.ctx.timing.commandWait, 25);  // reloaded

    edited.commandWait = 40;
    ASSERT_TRUE(saveTimingSettings(edited, t.ctx.folders.timingFile));
    QTest::keyClick(&v, Qt::Key_D);  // plain D in debug mode reloads
    EXPECT_TRUE(t.ctx.debug.debugMode);
    EXPECT_EQ(t.ctx.timing.commandWait, 40);

    QTest::keyClick(&v, Qt::Key_D, Qt::ShiftModifier | Qt::ControlModifier);  // not Shift alone
    EXPECT_TRUE(t.ctx.debug.debugMode);

    QTest::keyClick(v.verdispok, Qt::Key_D, Qt::ShiftModifier);
    EXPECT_FALSE(t.ctx.debug.debugMode);
    EXPECT_EQ(shown, std::vector<bool>({true, false}));
    EXPECT_EQ(colour(), QColor(0, 0, 0));
}

TEST_F(SmallWindowsTest, VersionMenuShowsMonitorEntryInDebugMode) {
    MainWindow w(t.ctx);
    ASSERT_FALSE(w.action(Command::ReadAll)->isVisible());
    whenModal<VersionWindow>([](VersionWindow& v) {
        QTest::keyClick(v.verdispok, Qt::Key_D, Qt::ShiftModifier);
        v.verdispok->click();
    });
    w.action(Command::Version)->trigger();
    EXPECT_TRUE(t.ctx.debug.debugMode);
    EXPECT_TRUE(w.action(Command::ReadAll)->isVisible());
    EXPECT_FALSE(w.action(Command::ReadAll)->isEnabled());  // shown, but nothing wired to it here
    t.ctx.debug.debugMode = false;
}

// ------------------------------------------------------------- ProgressWindow

TEST_F(SmallWindowsTest, ProgressStartsOnceWhenShown) {
    int starts = 0;
    ProgressWindow* pp = nullptr;
    ProgressWindow q(t.ctx, [&] {
        ++starts;
        pp->setMaximum(880);
        pp->setValue(440);
    });
    pp = &q;
    EXPECT_EQ(q.windowTitle(), u8("収録データ読み出し中"));
    EXPECT_EQ(q.progcansel->text(), "Cancel");
    EXPECT_TRUE(q.Timer1->isSingleShot());
    EXPECT_EQ(q.Timer1->interval(), 1);
    EXPECT_FALSE(q.Timer1->isActive());  // not before the window is visible
    q.show();
    EXPECT_TRUE(q.Timer1->isActive());
    QTRY_COMPARE(starts, 1);
    EXPECT_EQ(q.DataReadBar->maximum(), 880);
    EXPECT_EQ(q.DataReadBar->value(), 440);
    q.hide();
    q.show();
    QTest::qWait(5);
    EXPECT_EQ(starts, 1);
}

TEST_F(SmallWindowsTest, ProgressCancelRequestsTheStop) {
    // The start function runs the receive loop; Cancel during it stops it.
    bool sawCancel = false;
    ProgressWindow* self = nullptr;
    ProgressWindow p(t.ctx, [&] {
        t.ctx.comm->cancelRequested = false;
        t.ctx.comm->timeoutElapsed = false;
        QTimer::singleShot(0, [&] { self->progcansel->click(); });
        for (int i = 0; i < 1000 && !t.ctx.comm->cancelRequested; ++i) QApplication::processEvents();
        sawCancel = t.ctx.comm->cancelRequested && t.ctx.comm->timeoutElapsed;
    });
    self = &p;
    const int result = p.exec();
    EXPECT_TRUE(sawCancel);
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_FALSE(p.isVisible());
    EXPECT_TRUE(t.ctx.comm->cancelRequested);
}

// ------------------------------------------------------------- ReceiveMonitor

TEST_F(SmallWindowsTest, MonitorWindow) {
    ReceiveMonitor m;
    EXPECT_EQ(m.windowTitle(), u8("受信データの表示"));
    m.appendMonitorText("Com:3_5_0   ACK\r\n");
    m.appendMonitorText("STX 1,1ETXCRLF\r\n");
    EXPECT_EQ(m.text(), "Com:3_5_0   ACK\r\nSTX 1,1ETXCRLF\r\n");
    EXPECT_EQ(m.ReadComData->toPlainText(), "Com:3_5_0   ACK\nSTX 1,1ETXCRLF\n");
    m.Command1->click();
    EXPECT_EQ(m.text(), "");
    EXPECT_EQ(m.ReadComData->toPlainText(), "");

    // More than 35000 characters: emptied before the next entry.
    m.appendMonitorText(QString(35000, 'x'));
    m.appendMonitorText("a");
    EXPECT_EQ(m.text().size(), 35001);
    m.appendMonitorText("b");
    EXPECT_EQ(m.text(), "b");
}

TEST_F(SmallWindowsTest, MonitorOpensFromMenuAndShowsAnswers) {
    t.ctx.debug.debugMode = true;  // the entry shows in debug mode only
    MainWindow w(t.ctx);
    ReceiveMonitor m(&w);
    wireMonitor(w, t.ctx, m);
    EXPECT_TRUE(w.action(Command::ReadAll)->isVisible());
    EXPECT_TRUE(w.action(Command::ReadAll)->isEnabled());
    w.action(Command::ReadAll)->trigger();
    EXPECT_TRUE(m.isVisible());
    ASSERT_TRUE(bool(t.ctx.comm->monitor));
    t.ctx.comm->monitor(QByteArray("\x06\r\n"), 3, 5, Progress::OneChannel);
    EXPECT_EQ(m.text(), "Com:3_5_0   ACK\r\n");
}

TEST_F(SmallWindowsTest, MonitorBuiltOnDemandKeepsEveryAnswer) {
    t.ctx.debug.debugMode = true;
    MainWindow w(t.ctx);
    wireMonitorOnDemand(w, t.ctx);
    EXPECT_EQ(w.findChild<ReceiveMonitor*>(), nullptr);  // nothing built at start
    ASSERT_TRUE(bool(t.ctx.comm->monitor));
    t.ctx.comm->monitor(QByteArray("\x06\r\n"), 3, 5, Progress::OneChannel);  // an answer before the window is opened
    ReceiveMonitor* m = w.findChild<ReceiveMonitor*>();
    ASSERT_NE(m, nullptr);
    EXPECT_FALSE(m->isVisible());
    w.action(Command::ReadAll)->trigger();
    EXPECT_EQ(w.findChild<ReceiveMonitor*>(), m);  // the same window
    EXPECT_TRUE(m->isVisible());
    t.ctx.comm->monitor(QByteArray("\x06\r\n"), 3, 5, Progress::OneChannel);
    EXPECT_EQ(m->text(), "Com:3_5_0   ACK\r\nCom:3_5_0   ACK\r\n");
}

// ------------------------------------------------------------- InsertChannelDialog

namespace {

// Stages a file's channels as the insertion does before the dialog opens.
void stage(AppContext& ctx, int slot, int kind, int16_t card, int16_t test, int16_t samples) {
    ChannelRecord& c = ctx.store.ch[size_t(slot)];
    c = ChannelRecord{};
    c.inUse = 1;
    c.kind = int16_t(kind);
    c.cardNo = card;
    c.testNo = test;
    c.startYear = 2013;
    c.startMonth = 11;
    c.startDay = 15;
    c.startHour = 9;
    c.startMinute = 5;
    c.startTenSec = 3;
    c.intervalMinute = 10;
    c.sampleCount = samples;
    c.errorCount = 2;
    c.maxValue = 305;
    c.minValue = -15;
    c.averageValue = 144;
    c.integratedValue = 1234;
    c.referenceValue = 100;
}

}  // namespace

TEST_F(SmallWindowsTest, InsertDialogListsStagedChannels) {
    for (int ch : {1, 2, 4}) fillChannel(t.ctx, ch, {.samples = ramp(3)});
    stage(t.ctx, 9, 1, 12, 7, 100);
    stage(t.ctx, 10, 2, 12, 7, 100);
    stage(t.ctx, 13, 0, 300, 5, 8);
    InsertChannelDialog d(t.ctx, "/data/file.ql6");
    EXPECT_EQ(d.windowTitle(), u8("データ挿入"));
    EXPECT_EQ(d.Insfilename->text(), "/data/file.ql6");
    ASSERT_EQ(d.Insnolist->count(), 3);
    // Each channel once: its number in the file, card and test number as
    // the grid's head shows them (a setting character where one is set).
    t.ctx.general.settingCharCard[12] = u8("倉庫");
    InsertChannelDialog named(t.ctx, "/data/file.ql6");
    EXPECT_EQ(named.Insnolist->item(0)->text(), u8("CH1  倉庫-007 [ﾟC]"));
    EXPECT_EQ(named.Insnolist->item(1)->text(), u8("CH2  倉庫-007 [%RH]"));
    EXPECT_EQ(d.Insnolist->item(2)->text(), u8("CH5  255-005 [ﾟC]"));  // as the grid shows card 300
    EXPECT_EQ(d.slotOfEntry(2), 13);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(d.InsertCH[size_t(i)]->isEnabled(), i != 0 && i != 1 && i != 3) << i;
    EXPECT_EQ(d.insertTarget(), 3);
    EXPECT_TRUE(d.InsertCH[2]->isChecked());

    EXPECT_EQ(d.Insnolist->currentRow(), 0);
    EXPECT_EQ(d.Insertpara->text(), u8("パラメータ [ﾟC ]"));
    const QStringList first = {"13-11-15 09:05:30", "00:10:00", "100", "2", "30.5  ", "-1.5  ", "14.4  ", "1234  "};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(d.Insvalue[size_t(i)]->text(), first[i]) << i;

    d.Insnolist->setCurrentRow(1);
    EXPECT_EQ(d.Insertpara->text(), u8("パラメータ [%RH]"));
    EXPECT_EQ(d.Insvalue[4]->text(), "31  ");
    EXPECT_EQ(d.Insvalue[5]->text(), "-2  ");
    // Without a reference value the grid shows no integrated value.
    t.ctx.store.ch[10].referenceValue = kNotSet;
    d.Insnolist->setCurrentRow(0);
    d.Insnolist->setCurrentRow(1);
    EXPECT_EQ(d.Insvalue[7]->text(), "-----  ");

    d.onTargetChosen(1);  // in use: ignored
    EXPECT_EQ(d.insertTarget(), 3);
    d.InsertCH[6]->click();
    EXPECT_EQ(d.insertTarget(), 7);
    d.Command1[0]->click();
    ASSERT_TRUE(d.choice().has_value());
    EXPECT_EQ(d.choice()->listIndex, 1);
    EXPECT_EQ(d.choice()->targetChannel, 7);
}

TEST_F(SmallWindowsTest, InsertDialogCancelAndEmptyFile) {
    stage(t.ctx, 9, 1, 1, 1, 10);
    InsertChannelDialog d(t.ctx, "f.ql6");
    d.Command1[1]->click();
    EXPECT_FALSE(d.choice().has_value());

    for (int slot = 9; slot <= 16; ++slot) t.ctx.store.ch[size_t(slot)].inUse = 0;
    InsertChannelDialog empty(t.ctx, "f.ql6");
    EXPECT_EQ(empty.Insnolist->count(), 0);
    EXPECT_FALSE(empty.Command1[0]->isEnabled());
    empty.onButtonClicked(0);
    EXPECT_FALSE(empty.choice().has_value());
}

TEST_F(MainWindowTest, InsertFileChannelTwoIntoFreeChannelFive) {
    using namespace quillet::filetest;
    for (int ch = 1; ch <= 4; ++ch) fill(ch, {.samples = ramp(3)});
    refresh();
    wireFileMenu(*window, t.ctx);

    Block a;  // file channel 1
    a.code = 1 * 8 + 1;
    a.cardNo = 21;
    Block b;  // file channel 2, humidity
    b.code = 2 * 8 + 2;
    b.cardNo = 22;
    b.testNo = 9;
    b.samples = {555, 9999, 610, 620};
    b.maxValue = 620;
    const QString path = t.root + "/insert.ql6";
    writeBytes(path, fileBytes({a, b}));
    t.dialogs.answers = {path};

    bool shown = false;
    whenModal<InsertChannelDialog>([&](InsertChannelDialog& d) {
        shown = true;
        EXPECT_EQ(d.Insnolist->count(), 2);
        EXPECT_EQ(d.Insnolist->item(1)->text(), u8("CH2  022-009 [%RH]"));
        EXPECT_EQ(d.insertTarget(), 5);
        d.Insnolist->setCurrentRow(1);
        d.Command1[0]->click();
    });
    ASSERT_TRUE(window->action(Command::Insert)->isEnabled());
    window->toolButton(Command::Insert)->trigger();
    ASSERT_TRUE(shown);

    const ChannelRecord& c = t.ctx.store.ch[5];
    EXPECT_EQ(c.inUse, 1);
    EXPECT_EQ(c.kind, 2);
    EXPECT_EQ(c.cardNo, 22);
    EXPECT_EQ(c.testNo, 9);
    EXPECT_EQ(c.sampleCount, 4);
    EXPECT_EQ(c.maxValue, 620);
    EXPECT_EQ(t.ctx.store.samples[5][3], 610);
    EXPECT_EQ(t.ctx.store.ch[2].cardNo, 1);  // the store's channel 2 is untouched
    EXPECT_EQ(t.ctx.store.channelsInUse, 5);
    EXPECT_EQ(t.ctx.store.unsavedEdit, 1);
    EXPECT_EQ(header(6), u8("022\r009\r[%RH]"));
    EXPECT_EQ(cell(2, 6), u8("-----  "));
}

TEST_F(MainWindowTest, InsertWithoutFreeChannelAsksNothingElse) {
    for (int ch = 1; ch <= 8; ++ch) fill(ch, {.samples = ramp(3)});
    refresh();
    wireFileMenu(*window, t.ctx);
    window->action(Command::Insert)->trigger();
    ASSERT_EQ(t.messages.shown.size(), 1u);
    EXPECT_EQ(t.messages.shown[0].title, u8("ファイルの読込"));
    EXPECT_EQ(t.messages.shown[0].text, u8("空のＣＨがありません。"));
    EXPECT_TRUE(t.dialogs.requests.empty());
}

TEST_F(MainWindowTest, OpenThroughTheFileMenuEnablesEverything) {
    using namespace quillet::filetest;
    wireFileMenu(*window, t.ctx);
    Block a;
    a.code = 1 * 8 + 3;  // channel 3
    const QString path = t.root + "/open.ql5";
    writeBytes(path, fileBytes({a}));
    t.dialogs.answers = {path};
    window->toolButton(Command::Open)->trigger();
    EXPECT_EQ(t.ctx.store.channelsInUse, 1);
    EXPECT_EQ(header(4), u8("012\r007\r[ﾟC]"));
    EXPECT_TRUE(window->toolButton(Command::Save)->isEnabled());
    EXPECT_TRUE(window->action(Command::TextMenu)->isEnabled());
    EXPECT_EQ(window->windowTitle(), u8("クイレット解析ソフト  ") + t.root + "/open.ql6");
}

// ------------------------------------------------------------- Qt side effects

TEST_F(SmallWindowsTest, FileFiltersInQtForm) {
    EXPECT_EQ(qtFileFilter(u8("File(*.ql*)|*.ql6;*.ql5;*.ql4;*.ql3;*.ql2;*.ql1;*.ql;*.qlg")),
              u8("File(*.ql*) (*.ql6 *.ql5 *.ql4 *.ql3 *.ql2 *.ql1 *.ql *.qlg)"));
    EXPECT_EQ(qtFileFilter(u8("ファイル(*.ql6)|*.ql6")), u8("ファイル(*.ql6)"));
    EXPECT_EQ(qtFileFilter("Text(*.txt)|*.txt|All|*.*"), "Text(*.txt);;All (*.*)");
    EXPECT_EQ(displayText("a\r\nb\rc"), "a\nb\nc");
}

TEST_F(SmallWindowsTest, MessageBoxButtonsTitleAndAnswers) {
    QtMessageBoxes boxes;
    const struct {
        int style;
        QMessageBox::StandardButton press;
        int answer;
        QMessageBox::Icon icon;
    } cases[] = {
        {kOkCancel, QMessageBox::Cancel, kCancel, QMessageBox::NoIcon},
        {kOkCancel | kIconQuestion, QMessageBox::Ok, kOk, QMessageBox::Question},
        {kYesNo | kIconExclamation, QMessageBox::No, kNo, QMessageBox::Warning},
        {kYesNo, QMessageBox::Yes, kYes, QMessageBox::NoIcon},
        {kOkOnly | kIconError, QMessageBox::Ok, kOk, QMessageBox::Critical},
        {kOkOnly | kIconInformation, QMessageBox::Ok, kOk, QMessageBox::Information},
        // A question about unsaved data: 保存 / 保存しない / キャンセル.
        {kYesNoCancel | kIconQuestion, QMessageBox::Discard, kNo, QMessageBox::Question},
        {kYesNoCancel | kIconQuestion, QMessageBox::Save, kYes, QMessageBox::Question},
    };
    for (const auto& c : cases) {
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            if ((c.style & 7) == kYesNoCancel) {
                EXPECT_EQ(box->button(QMessageBox::Save)->text(), u8("保存"));
                EXPECT_EQ(box->button(QMessageBox::Discard)->text(), u8("保存しない"));
            }
            box->button(c.press)->click();
        });
        EXPECT_EQ(boxes.show(u8("クイレット解析ソフト "), u8("ロガーのデータが保存されていません。\r\n終了しますか？"),
                             c.style),
                  c.answer);
        EXPECT_EQ(title, u8("クイレット解析ソフト "));
        EXPECT_EQ(text, u8("ロガーのデータが保存されていません。\n終了しますか？"));
        EXPECT_EQ(icon, c.icon);
    }
}

// A message box or file dialog asked for while another window (the graph
// window) works over the disabled main window belongs to that window, so
// that the main window does not come to the front over both.
TEST_F(SmallWindowsTest, DialogsBelongToTheWindowInUse) {
    QWidget main, graph;
    main.show();
    graph.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&graph));
    main.setEnabled(false);
    EXPECT_EQ(dialogOwner(&main), &graph);
    QWidget* owner = nullptr;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            owner = box->parentWidget();
            box->reject();
        }
    });
    QtMessageBoxes(&main).show(QStringLiteral("t"), QStringLiteral("m"), 0);
    EXPECT_EQ(owner, &graph);
    main.setEnabled(true);
    graph.hide();
    EXPECT_EQ(dialogOwner(&main), &main);
}
