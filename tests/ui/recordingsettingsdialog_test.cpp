#include "loggerset/ui/recordingsettingsdialog.h"
#include "loggerset/ui/settingcharactersdialog.h"

#include "mainwin_fixture.h"
#include "support/simserial.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableView>

using namespace quillet;
using namespace quillet::fakes;

namespace {

PendingLogger logger(int model) {
    PendingLogger c;
    c.loggerModel = int16_t(model);
    c.ch[1].cardNo = 5;
    c.ch[1].testNo = 6;
    c.ch[1].intervalMinute = 1;
    if (model == 4) {
        c.ch[1].upperAlarm = 1000;
        c.ch[2].upperAlarm = 1500;
        c.ch[1].lowerAlarm = -400;
        c.ch[2].lowerAlarm = -400;
    } else {
        c.ch[1].upperAlarm = 600;
        c.ch[2].upperAlarm = 1000;
        c.ch[1].lowerAlarm = -400;
        c.ch[2].lowerAlarm = 0;
    }
    c.ch[1].referenceValue = 250;
    c.ch[2].referenceValue = 500;
    return c;
}

// Records what the dialog's OK hands to the writer; fails when told to.
struct ScriptedWriter {
    std::vector<RecordingSettings> written;
    std::vector<int> bar;
    bool fail = false;
    SettingsWriterFn fn() {
        return [this](AppContext& ctx, const RecordingSettings& s, int model, const std::function<void(int)>& b) {
            written.push_back(s);
            for (int step = 1; step <= (model == 3 ? 8 : 9); ++step) {
                b(step);
                bar.push_back(step);
                if (fail && step == 2) {
                    b(0);
                    ctx.comm->status = Exchange::Faulty;
                    return;
                }
            }
            ctx.comm->status = Exchange::Accepted;
        };
    }
};

class RecordingSettingsDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ensureApplication(); }

    std::unique_ptr<RecordingSettingsDialog> open(const PendingLogger& c) {
        return std::make_unique<RecordingSettingsDialog>(t.ctx, c, writer.fn());
    }

    TestContext t;
    ScriptedWriter writer;
};

TEST_F(RecordingSettingsDialogTest, Model4WithASecondsIntervalOpens) {
    PendingLogger c = logger(4);
    c.intervalInSeconds = true;
    c.ch[1].intervalMinute = 0;
    c.ch[1].intervalTenSec = 3;
    auto d = open(c);
    EXPECT_EQ(d->windowTitle(), u8("クイレット設定"));
    EXPECT_EQ(d->findChild<QLabel*>("note")->text(),
              u8("実行(Ok）するとクイレットがメモリしているデータが消去されます"));
    EXPECT_EQ(d->Realtime->text(), "2013-11-15 09:05");
    EXPECT_EQ(d->Starttimeset->text(), "2013-11-15 09:06");
    EXPECT_EQ(d->comboIntervalset->currentText(), "00:01");
    EXPECT_FALSE(d->comboIntervalset->isEnabled());
    EXPECT_TRUE(d->intcheck->isChecked());
    EXPECT_EQ(d->comboSecint->currentText(), "30");
    EXPECT_TRUE(d->comboSecint->isEnabled());
    EXPECT_FALSE(d->Logendnoset->isEnabled());
    EXPECT_EQ(d->barsetting->maximum(), 9);
    EXPECT_EQ(d->comboCardno->currentText(), "005");
    // Model 4: lock and mode shown, references hidden, captions A and B.
    EXPECT_TRUE(d->chkRock->isVisibleTo(d.get()));
    EXPECT_TRUE(d->Rectypeop[1]->isVisibleTo(d.get()));
    EXPECT_FALSE(d->Logchset[1][0]->isVisibleTo(d.get()));
    EXPECT_FALSE(d->comboLogrange1->isVisibleTo(d.get()));
    EXPECT_EQ(d->Logchset[1][1]->title(), u8("温度A[ﾟC ]"));
    EXPECT_EQ(d->Logchset[2][1]->title(), u8("温度B[ﾟC ]"));
    EXPECT_EQ(d->ComboHalmtempset[2]->count(), 190);
    EXPECT_FALSE(d->HideDefSetButton->isVisibleTo(d.get()));
    EXPECT_TRUE(t.messages.shown.empty());
}

TEST_F(RecordingSettingsDialogTest, Model3HidesAlarmsEndAndSecondChannel) {
    PendingLogger c = logger(3);
    c.rangeModeCode = 8;
    c.ch[1].referenceValue = 720;
    auto d = open(c);
    EXPECT_FALSE(d->Logchset[1][1]->isVisibleTo(d.get()));
    EXPECT_FALSE(d->Logchset[2][0]->isVisibleTo(d.get()));
    EXPECT_FALSE(d->Logendnoset->isVisibleTo(d.get()));
    EXPECT_FALSE(d->chkRock->isVisibleTo(d.get()));
    EXPECT_TRUE(d->Logchset[1][0]->isVisibleTo(d.get()));
    EXPECT_EQ(d->Logchset[1][0]->title(), u8("温度 [ﾟC ]"));
    EXPECT_EQ(d->comboLogrange1->currentText(), u8(" 50～150"));
    EXPECT_TRUE(d->Rectypeop[1]->isChecked());
    EXPECT_EQ(d->comboBasetempset[1]->currentText(), "72");
    EXPECT_EQ(d->barsetting->maximum(), 8);

    d->comboLogrange1->setCurrentIndex(0);
    d->onRangeChosen(0);
    EXPECT_EQ(d->comboBasetempset[1]->currentText(), "60");
    EXPECT_EQ(d->comboBasetempset[1]->itemText(0), "-40");
}

TEST_F(RecordingSettingsDialogTest, Model3KeepsTheRangeItReports) {
    const struct {
        int rangeModeCode;
        bool pickable;
    } cases[] = {{8, false}, {1, false}, {0, true}};
    for (const auto& k : cases) {
        PendingLogger c = logger(3);
        c.rangeModeCode = int16_t(k.rangeModeCode);
        auto d = open(c);
        EXPECT_EQ(d->comboLogrange1->isEnabled(), k.pickable) << k.rangeModeCode;
        EXPECT_EQ(d->comboLogrange1->toolTip().contains(u8("変更できません")), !k.pickable) << k.rangeModeCode;
        if (k.rangeModeCode == 8) {
            EXPECT_TRUE(d->grab().save(QStringLiteral(QUILLET_BUILD_DIR "/logsetlist_model3.png")));  // by eye
        }
    }
}

TEST_F(RecordingSettingsDialogTest, EndlessAndSecondsDisableTheEnd) {
    auto d = open(logger(4));
    EXPECT_TRUE(d->Logendnoset->isEnabled());
    d->Rectypeop[1]->click();  // エンドレス
    EXPECT_FALSE(d->Logendnoset->isEnabled());
    d->Rectypeop[0]->click();  // ワンタイム
    EXPECT_TRUE(d->Logendnoset->isEnabled());
    d->intcheck->click();
    EXPECT_FALSE(d->Logendnoset->isEnabled());
    EXPECT_FALSE(d->comboIntervalset->isEnabled());
    d->Rectypeop[0]->click();
    EXPECT_FALSE(d->Logendnoset->isEnabled());
    EXPECT_EQ(d->Logendnoset->text(), "2013-11-16 01:45");  // + 5999 × 10 s
    d->chkRock->click();
    EXPECT_TRUE(t.ctx.loggerSet->lockChoice);  // kept for the next dialog
    EXPECT_TRUE(open(logger(4))->chkRock->isChecked());
}

TEST_F(RecordingSettingsDialogTest, ClockTimerMovesAPastStartAndKeepsTheLinkAlive) {
    ScriptedLine line;
    SimSerial serial(t.clock, line);
    t.ctx.serial = &serial;
    auto d = open(logger(1));
    // What the user is typing meanwhile stays in its box.
    d->ComboHalmtempset[2]->setEditText("8");
    d->Starttimeset->setText("2013-11-15 1");
    d->onClockTick();
    EXPECT_EQ(d->ComboHalmtempset[2]->currentText(), "8");
    EXPECT_EQ(d->Starttimeset->text(), "2013-11-15 1");
    d->Starttimeset->setText("2013-11-15 09:06");
    d->onClockTick();
    EXPECT_EQ(d->Starttimeset->text(), "2013-11-15 09:06");  // still later than now
    t.clock.wallClock = t.clock.wallClock.addSecs(90);
    d->onClockTick();
    EXPECT_EQ(d->Realtime->text(), "2013-11-15 09:06");
    EXPECT_EQ(d->Starttimeset->text(), "2013-11-15 09:07");
    EXPECT_EQ(d->Logendnoset->text(), "2013-11-17 11:06");
    EXPECT_TRUE(t.messages.shown.empty());
    EXPECT_EQ(line.received, QByteArray("\x02 1, 3,\x03\r\n\x02 1, 3,\x03\r\n\x02 1, 3,\x03\r\n"));
    EXPECT_EQ(d->result(), 0);

    // Without a reader the dialog closes silently.
    t.ctx.serial = nullptr;
    d->onClockTick();
    EXPECT_EQ(d->result(), QDialog::Rejected);
    EXPECT_EQ(t.ctx.comm->status, Exchange::Faulty);
    EXPECT_TRUE(t.messages.shown.empty());
}

TEST_F(RecordingSettingsDialogTest, StartBoxKeysSpinAndChecks) {
    auto d = open(logger(2));
    d->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(d.get()));
    d->Starttimeset->clear();
    QTest::keyClicks(d->Starttimeset, "2013-11-2a0 1b0:00");
    EXPECT_EQ(d->Starttimeset->text(), "2013-11-20 10:00");
    QTest::keyClick(d->Starttimeset, Qt::Key_Return);
    EXPECT_TRUE(t.messages.shown.empty());
    EXPECT_EQ(d->Logendnoset->text(), "2013-11-24 13:59");  // + 5999 minutes

    // The spin at now + 180 days: the later step does nothing.
    d->Starttimeset->setText("2014-05-14 09:05");
    d->onStartTimeEdited();
    d->scStarttimeset->triggerAction(QAbstractSlider::SliderSingleStepSub);  // the upper arrow
    EXPECT_EQ(d->Starttimeset->text(), "2014-05-14 09:05");
    EXPECT_EQ(d->scStarttimeset->value(), 1);
    d->scStarttimeset->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(d->Starttimeset->text(), "2014-05-14 09:04");
    EXPECT_EQ(d->scStarttimeset->value(), 1);
    QTest::mouseClick(d->scStarttimeset, Qt::LeftButton, {}, QPoint(d->scStarttimeset->width() / 2, 2));
    EXPECT_EQ(d->Starttimeset->text(), "2014-05-14 09:05");  // the upper arrow is later
    EXPECT_TRUE(t.messages.shown.empty());

    d->Starttimeset->setText("2013-11-15 09:05");
    QTest::keyClick(d->Starttimeset, Qt::Key_Enter);
    ASSERT_EQ(t.messages.shown.size(), 1u);
    EXPECT_EQ(t.messages.shown[0].title, u8("ロガー設定"));
    EXPECT_EQ(t.messages.shown[0].text, u8("開始時刻の設定範囲は2013-11-15 09:06～2014-05-14 09:05です。"));
    EXPECT_EQ(d->Starttimeset->text(), "2013-11-15 09:06");

    // Leaving an alarm box checks it; the focus comes back after a message.
    d->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(d.get()));
    d->ComboHalmtempset[1]->setFocus(Qt::TabFocusReason);
    d->ComboHalmtempset[1]->setEditText("-40");
    d->Starttimeset->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(t.messages.shown.size(), 2u);
    EXPECT_EQ(t.messages.shown.back().text, u8("上限警報は下限警報値より高く設定してください。"));
    EXPECT_EQ(d->ComboHalmtempset[1]->currentText(), "-39");
    EXPECT_TRUE(d->ComboHalmtempset[1]->hasFocus());
    // An alarm above its list keeps the last accepted text.
    d->ComboHalmtempset[1]->setEditText("70");
    d->onAlarmEdited(true, 1);
    EXPECT_EQ(t.messages.shown.back().text, u8("上限警報設定範囲が正しくありません。"));
    EXPECT_EQ(d->ComboHalmtempset[1]->currentText(), "-39");
}

TEST_F(RecordingSettingsDialogTest, OkRunsTheWriterAndReportsAFailure) {
    PendingLogger c = logger(1);
    c.ch[1].upperAlarm = 700;  // out of range: the box, and the pair reset
    auto d = open(c);
    ASSERT_EQ(t.messages.shown.size(), 1u);
    EXPECT_EQ(t.messages.shown[0].title, u8("機器設定読み込み"));
    EXPECT_EQ(t.messages.shown[0].style, kOkOnly | kIconError);
    d->comboIntervalset->setCurrentIndex(9);
    d->onIntervalChosen(9);
    d->comOkng[0]->click();
    ASSERT_EQ(writer.written.size(), 1u);
    const RecordingSettings& s = writer.written[0];
    EXPECT_EQ(s.cardNo, 5);
    EXPECT_EQ(s.intervalMinute, 10);
    EXPECT_EQ(s.upperAlarm[1], 60);
    EXPECT_EQ(s.lowerAlarm[1], -40);
    EXPECT_EQ(s.referenceValue[1], 65);  // 25 from -40
    EXPECT_EQ(s.startTime, QDateTime(QDate(2013, 11, 15), QTime(9, 6)));
    EXPECT_EQ(s.recordLimit, 2999);
    EXPECT_EQ(d->barsetting->value(), 9);
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(t.messages.shown.size(), 1u);
    EXPECT_FALSE(d->Realclock->isActive());

    writer.fail = true;
    auto failing = open(logger(2));
    failing->comOkng[0]->click();
    EXPECT_EQ(failing->barsetting->value(), 0);
    EXPECT_EQ(t.messages.shown.back().title, u8("ロガー読み出し"));
    EXPECT_EQ(t.messages.shown.back().text, u8("読み取りエラーです。"));
}

TEST_F(RecordingSettingsDialogTest, UnseenDuringTheUsualCommunication) {
    t.ctx.general.usualCommunicationStartTime = "12:00";
    QtSettingsDialog dialog(nullptr, writer.fn(), RecordingSettingsDialog::Shown::Unseen);
    dialog.run(t.ctx, logger(2));  // no window: it confirms itself
    ASSERT_EQ(writer.written.size(), 1u);
    EXPECT_EQ(writer.written[0].startTime, QDateTime(QDate(2013, 11, 15), QTime(12, 0)));
    EXPECT_EQ(writer.written[0].clockTime, QDateTime(QDate(2013, 11, 15), QTime(9, 5)));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(RecordingSettingsDialogTest, NumberSettingRebuildsTheListsUnlessCancelled) {
    auto d = open(logger(1));
    d->comboCardno->setCurrentIndex(9);
    emit d->comboCardno->activated(9);
    EXPECT_EQ(d->state().cardNo, 9);

    whenModal<SettingCharactersDialog>([](SettingCharactersDialog& p) {
        QTableView* grid = p.grid(kCardGrid);
        grid->model()->setData(grid->model()->index(5, 1), "A1");
        p.command(1)->click();  // Cancel
    });
    d->Command2->click();
    EXPECT_EQ(d->comboCardno->itemText(5), "005");
    EXPECT_EQ(d->state().cardNo, 9);

    whenModal<SettingCharactersDialog>([](SettingCharactersDialog& p) {
        QTableView* grid = p.grid(kCardGrid);
        grid->model()->setData(grid->model()->index(5, 1), "A1");
        p.command(0)->click();  // OK
    });
    d->Command2->click();
    EXPECT_EQ(d->comboCardno->itemText(5), "A1");
    EXPECT_EQ(d->comboCardno->itemText(6), "006");
    EXPECT_EQ(d->comboCardno->currentText(), "A1");  // the logger's number again
    EXPECT_EQ(d->state().cardNo, 5);
}

}  // namespace
