// The usual communication's windows: UsualCommunicationDialog keeps the choice, and the menu
// entry runs UsualCommunicationWindow against the simulated logger with the main window
// disabled, a progress bar and a Cancel that stops before the settings.
#include "mainwin_fixture.h"

#include "comm/ui/usualwindows.h"
#include "core/catalog.h"
#include "core/settingsfiles.h"
#include "loggerset/parametertexts.h"
#include "loggerset/unseensettings.h"
#include "support/simserial.h"
#include "tools/sim/device.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

using namespace quillet;
using namespace quillet::fakes;

TEST(UsualCommunicationWindowTest, KeepsTheChoiceInTheGeneralSettings) {
    ensureApplication();
    TestContext t;
    t.ctx.general.usualCommunicationNaming = 1;
    t.ctx.general.usualCommunicationStartTime = "07:30";
    {
        UsualCommunicationDialog dialog(t.ctx);
        EXPECT_EQ(dialog.windowTitle(), u8("いつもの通信設定"));
        ASSERT_EQ(dialog.cMacroSet->count(), 48);
        EXPECT_EQ(dialog.cMacroSet->currentText(), "07:30");
        EXPECT_TRUE(dialog.oMacroSel[0]->isChecked());
        EXPECT_TRUE(dialog.oMacroSave[1]->isChecked());
        EXPECT_EQ(dialog.oMacroSave[0]->toolTip(), u8("読み出したデータを[ｄａｔe]\\[年月]に日時分名で保存します"));
        EXPECT_EQ(dialog.oMacroSave[1]->toolTip(),
                  u8("読み出したデータを[ｎｕｍｂｅｒ]\\[年月日]フォルダにカード_テストＮｏ．名で保存します"));
        EXPECT_EQ(dialog.fMacroStartTime->toolTip(), u8("ロガー設定の収録開始開始時刻を設定します"));
        dialog.oMacroSel[1]->setChecked(true);
        dialog.oMacroSave[0]->setChecked(true);
        dialog.cMacroSet->setCurrentIndex(47);
        dialog.onButtonClicked(0);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    GeneralSettings saved;
    loadGeneralSettings(saved, t.ctx.folders.settingsFile);
    EXPECT_EQ(saved.usualCommunicationTask, 1);
    EXPECT_EQ(saved.usualCommunicationNaming, 0);
    EXPECT_EQ(saved.usualCommunicationStartTime, "23:30");

    // A value the dialog cannot show resets all three; Cancel keeps them.
    t.ctx.general.usualCommunicationStartTime = "25:00";
    UsualCommunicationDialog reset(t.ctx);
    EXPECT_TRUE(reset.oMacroSel[0]->isChecked());
    EXPECT_TRUE(reset.oMacroSave[0]->isChecked());
    EXPECT_EQ(reset.cMacroSet->currentText(), "12:00");
    reset.onButtonClicked(1);
    EXPECT_EQ(t.ctx.general.usualCommunicationTask, 1);
}

namespace {

sim::Config model2() {
    sim::Config c;
    c.model = 2;
    c.records = 400;
    return c;
}

class UsualWindowTest : public MainWindowTest {
protected:
    UsualWindowTest() : device(model2()), line(device), serial(t.clock, line) {}

    void SetUp() override {
        MainWindowTest::SetUp();
        t.ctx.serial = &serial;
        t.clock.hooks.push_back([] { QCoreApplication::processEvents(); });
        UsualSteps steps;
        steps.chooseDestinations = [](AppContext&) { return Destinations{1, 2}; };
        steps.settingsStep = [this](AppContext&, const QDateTime&) {
            ++settingsCalls;
            if (auto* v = qobject_cast<UsualCommunicationWindow*>(QApplication::activeModalWidget())) {
                lData = v->lData->text();
                fParaTitle = v->fPara->title();
                v->grab().save(QStringLiteral(QUILLET_BUILD_DIR "/usual-window.png"));  // for a look by eye
                lMaxHumidity = v->lMax[1]->text();
                modeAtSettings = v->lMode->text();
                barMaximum = v->barReadout->maximum();
                barValue = v->barReadout->value();
            }
            return std::optional<WrittenSettings>();
        };
        wireUsualCommunication(*window, t.ctx, steps);
        // What the window shows while it runs.
        t.clock.hooks.push_back([this] {
            auto* v = qobject_cast<UsualCommunicationWindow*>(QApplication::activeModalWidget());
            if (!v) return;
            seen = v;
            mainEnabledWhileRunning = mainEnabledWhileRunning || window->isEnabled();
        });
    }

    sim::Device device;
    DeviceLine line;
    SimSerial serial;
    int settingsCalls = 0;
    UsualCommunicationWindow* seen = nullptr;
    bool mainEnabledWhileRunning = false;
    int barMaximum = 0, barValue = 0;
    QString lData, lMaxHumidity, modeAtSettings, fParaTitle;
};

}  // namespace

TEST_F(UsualWindowTest, OneClickReadsSavesAndSets) {
    ASSERT_TRUE(window->action(Command::Usual)->isEnabled());
    ASSERT_TRUE(window->action(Command::UsualSettings)->isEnabled());
    window->action(Command::Usual)->trigger();
    ASSERT_NE(seen, nullptr);
    EXPECT_TRUE(t.messages.shown.empty()) << t.messages.texts().join("|").toStdString();
    EXPECT_FALSE(mainEnabledWhileRunning);
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(barMaximum, (400 / 16 + 1) * 88);
    EXPECT_EQ(barValue, 25 * 88);  // every block received
    EXPECT_EQ(lData, "400");
    EXPECT_EQ(fParaTitle, u8("カードテストＮｏ.  001 / 001"));
    EXPECT_FALSE(lMaxHumidity.isEmpty());
    EXPECT_FALSE(lMaxHumidity.contains('.'));  // whole %RH
    EXPECT_EQ(modeAtSettings, u8("ロガー設定"));
    EXPECT_EQ(settingsCalls, 1);
    EXPECT_TRUE(QFile::exists(t.ctx.folders.dateFolder + u8("/13年11月/15日09時05分.ql6")));
    EXPECT_EQ(t.ctx.store.channelsInUse, 0);
    EXPECT_EQ(window->windowTitle(), mainCaption(t.ctx));
    // A word afterwards: the saved file's full path, the settings (the
    // scripted step wrote nothing), the button to its folder.
    auto* word = window->findChild<QMessageBox*>(QStringLiteral("usualOutcome"));
    ASSERT_NE(word, nullptr);
    EXPECT_TRUE(word->isVisible());
    EXPECT_FALSE(word->isModal());
    EXPECT_TRUE(
        word->text().contains(QDir::toNativeSeparators(t.ctx.folders.dateFolder + u8("/13年11月/15日09時05分.ql6"))))
        << word->text().toStdString();
    EXPECT_TRUE(word->text().contains(u8("設定の書き込みは完了していません")));
    EXPECT_NE(word->findChild<QPushButton*>(QStringLiteral("openFolder")), nullptr);
    EXPECT_EQ(word->font(), window->font());
    word->grab().save(QStringLiteral(QUILLET_BUILD_DIR "/usual-outcome.png"));
    word->close();
}

TEST_F(UsualWindowTest, CancelDuringTheTransferStopsBeforeTheSettings) {
    bool cancelled = false;
    t.clock.hooks.push_back([&] {
        auto* v = qobject_cast<UsualCommunicationWindow*>(QApplication::activeModalWidget());
        if (v && !cancelled && v->barReadout->value() > 500) {
            cancelled = true;
            v->cmdCancel->click();
        }
    });
    window->action(Command::Usual)->trigger();
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(settingsCalls, 0);
    EXPECT_EQ(t.messages.texts(), QStringList{u8("読み取りを中止いたします。")});
    EXPECT_FALSE(QFile::exists(t.ctx.folders.dateFolder));
    EXPECT_EQ(t.ctx.store.channelsInUse, 0);
    EXPECT_EQ(t.ctx.store.ch[1].inUse, 0);
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(UsualWindowTest, SetOnlyShowsNoReadOutAndBlinks) {
    fill(1, {});
    refresh();
    t.ctx.general.usualCommunicationTask = 1;
    QString mode;
    bool paraEnabled = true;
    std::vector<std::pair<bool, int>> blinks;
    t.ctx.general.usualCommunicationStartTime = "06:00";
    UsualSteps steps;
    steps.settingsStep = [&](AppContext& ctx, const QDateTime&) {
        auto* v = qobject_cast<UsualCommunicationWindow*>(QApplication::activeModalWidget());
        EXPECT_NE(v, nullptr);
        if (!v) return std::optional<WrittenSettings>();
        mode = v->lMode->text();
        paraEnabled = v->fPara->isEnabled();
        EXPECT_EQ(v->mSetTime->text(), "06:00");
        EXPECT_EQ(v->mSetMode->text(), u8("ロガー設定のみ"));
        for (int i = 0; i < 2; ++i) {
            v->onBlinkTimer();
            blinks.emplace_back(!v->lMode->isHidden(), v->tTenmetu->interval());
        }
        EXPECT_EQ(ctx.store.channelsInUse, 1);
        return std::optional<WrittenSettings>();
    };
    startUsualCommunication(t.ctx, steps, window.get());
    EXPECT_EQ(mode, u8("ロガー設定"));
    EXPECT_FALSE(paraEnabled);
    EXPECT_EQ(blinks, (std::vector<std::pair<bool, int>>{{false, 200}, {true, 1800}}));
    EXPECT_EQ(t.ctx.store.channelsInUse, 1);
    EXPECT_EQ(device.requestCount(), 0);

    // Task 0 with the same data on screen does not start.
    t.ctx.general.usualCommunicationTask = 0;
    window->action(Command::Usual)->trigger();
    EXPECT_EQ(t.messages.shown.size(), 1u);
    EXPECT_EQ(t.messages.shown[0].title, u8("いつもの通信"));
    EXPECT_EQ(settingsCalls, 0);
}

// The closing note and the status bar after the program's settings step:
// what was written, or not complete when the logger refuses every setting.
class UsualNoteTest : public MainWindowTest {};

TEST_F(UsualNoteTest, TheNoteAndTheStatusBarSayWhatWasWritten) {
    t.clock.hooks.push_back([] { QCoreApplication::processEvents(); });
    // 12:00 today (the clock stands at 09:05), the logger's own interval,
    // the end after its 6000 records.
    const QString written =
        u8("ロガーに設定を書き込みました（開始 2013-11-15 12:00、間隔 00:10、終了 2013-12-27 03:50）");
    const struct {
        bool nak;
        QString note, status;  // the note's line on the logger, the main window's status bar
    } rows[] = {{false, written, written}, {true, u8("ロガーへの設定の書き込みは完了していません。"), ""}};
    for (const auto& row : rows) {
        sim::Config config = model2();
        config.faults.nak = row.nak;
        sim::Device device(config);
        DeviceLine line(device);
        SimSerial serial(t.clock, line);
        t.ctx.serial = &serial;
        QDir(t.ctx.folders.dateFolder).removeRecursively();  // saved under the same name again
        wireUsualCommunication(
            *window, t.ctx,
            {[](AppContext& c) { return chooseInitialDestinations(c); },
             [](AppContext& c, const QDateTime& start) { return usualSettingsStep(c, start).writtenSettings(); }});
        window->action(Command::Usual)->trigger();
        auto* box = window->findChild<QMessageBox*>(QStringLiteral("usualOutcome"));
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text().section('\n', 1), row.note) << box->text().toStdString();
        EXPECT_EQ(window->statusWord->text(), row.status) << window->statusWord->text().toStdString();
        delete box;
    }
}
