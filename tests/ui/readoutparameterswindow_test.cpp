#include "loggerset/ui/readoutparameterswindow.h"

#include "support/fakes.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest/QTest>

#include <gtest/gtest.h>

using namespace quillet;

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }

class ReadoutParametersWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!QApplication::instance()) {
            static int argc = 1;
            static char name[] = "tests_ui";
            static char* argv[] = {name, nullptr};
            new QApplication(argc, argv);
        }
    }

    void SetUp() override {
        PendingLogger& p = t.ctx.pendingLogger;
        p.loggerModel = 1;
        p.ch[1].cardNo = 3;
        p.ch[1].testNo = 4;
        p.ch[1].startYear = 2013;
        p.ch[1].startMonth = 11;
        p.ch[1].startDay = 15;
        p.ch[1].startHour = 9;
        p.ch[1].startMinute = 5;
        p.ch[1].intervalMinute = 1;
        p.ch[1].sampleCount = 2;
        p.ch[1].kind = 1;
        p.ch[1].rangeLow = -400;
        p.ch[1].maxValue = 251;
        p.ch[1].upperAlarm = 600;
        p.ch[1].lowerAlarm = -400;
        p.ch[2].kind = 2;
        p.ch[2].maxValue = 603;
        p.ch[2].upperAlarm = 1000;
        p.ch[2].lowerAlarm = 0;
        t.ctx.store.ch[1].inUse = 1;
        t.ctx.store.ch[2].inUse = 1;
    }

    fakes::TestContext t;
};

TEST_F(ReadoutParametersWindowTest, ShowsTheTexts) {
    ReadoutParametersWindow w(t.ctx, {});
    w.show();
    EXPECT_EQ(w.windowTitle(), u("ロガー読み出し"));
    EXPECT_TRUE(t.messages.shown.empty());  // alarm values inside the range

    const struct {
        const char* name;
        int channel;
        const char* text;
    } cases[] = {
        {"Rctnoval", 1, "003-004"},
        {"Rstarttimeval", 1, "2013-11-15 09:05:00"},
        {"Rendtimeval", 2, "2013-11-15 09:06:00"},
        {"Rinterval", 1, "00:01:00"},
        {"Rrangeval", 1, "-40 ～ 60"},
        {"Rdatacountval", 1, "2"},
        {"Rerrorcountval", 2, "0"},
        {"Rmaxval", 1, "25.1  "},
        {"Rmaxval", 2, "60  "},
        {"Rsekival", 1, "---"},
        {"Rbaseval", 1, "---"},
        {"Rhalmval", 1, "60.0  "},
        {"Rlalmval", 2, "0  "},
    };
    for (const auto& k : cases) {
        QLabel* l = w.valueLabel(QString::fromLatin1(k.name), k.channel);
        ASSERT_NE(l, nullptr) << k.name;
        EXPECT_EQ(l->objectName(), QString::fromLatin1(k.name));
        EXPECT_EQ(l->property("index").toInt(), k.channel);
        EXPECT_EQ(l->text(), u(k.text)) << k.name << " " << k.channel;
    }
    // Every label of the window can be found by its name in its frame.
    EXPECT_EQ(w.findChildren<QGroupBox*>(QStringLiteral("Rscale")).size(), 2);
    EXPECT_EQ(w.scaleFrame(1)->findChildren<QLabel*>(QStringLiteral("Rlalmval")).size(), 1);

    EXPECT_EQ(w.scaleFrame(1)->title(), u("温度 [ﾟC ]"));
    EXPECT_EQ(w.scaleFrame(2)->title(), u("湿度 [%RH]"));
    EXPECT_TRUE(w.scaleFrame(2)->isVisible());
    EXPECT_EQ(w.storageFrame(2)->title(), u("湿度"));
    EXPECT_EQ(w.storageFrame(2)->palette().color(QPalette::WindowText), QColor(0, 192, 192));
    // Disabled options keep their greyed look under the channel colour.
    EXPECT_NE(w.storageOption(2, 1)->palette().color(QPalette::Disabled, QPalette::ButtonText), QColor(0, 192, 192));
    EXPECT_FALSE(w.recordModeTitle(1)->isVisible());  // model 1 has no recording mode
    EXPECT_FALSE(w.valueLabel(QStringLiteral("Rrectypeval"), 1)->isVisible());

    // The storage rows: C and D proposed, A, B and the other row's choice off.
    EXPECT_TRUE(w.storageOption(1, 3)->isChecked());
    EXPECT_TRUE(w.storageOption(2, 4)->isChecked());
    EXPECT_EQ(w.storageOption(1, 5)->text(), u("E"));
    EXPECT_EQ(w.storageOption(2, 1)->objectName(), u("Dropch2"));
    EXPECT_FALSE(w.storageOption(1, 1)->isEnabled());
    EXPECT_FALSE(w.storageOption(1, 4)->isEnabled());
    EXPECT_FALSE(w.storageOption(2, 3)->isEnabled());
}

// With the largest font (the 1280 × 1024 screens' 18 points) the window
// still fits the screen's width.
TEST_F(ReadoutParametersWindowTest, FitsTheWidestDesignScreen) {
    QWidget main;
    QFont f = main.font();
    f.setPointSize(18);
    main.setFont(f);
    ReadoutParametersWindow w(t.ctx, {}, &main);
    w.show();
    EXPECT_LE(w.width(), 1280);
}

TEST_F(ReadoutParametersWindowTest, OneChannelLoggerHidesTheSecondChannel) {
    PendingLogger& p = t.ctx.pendingLogger;
    p.loggerModel = 3;
    p.rangeModeCode = 7;
    p.ch[1].kind = 0;
    p.ch[2] = ChannelHeader{};
    ReadoutParametersWindow w(t.ctx, {});
    w.show();
    EXPECT_FALSE(w.scaleFrame(2)->isVisible());
    EXPECT_FALSE(w.storageFrame(2)->isVisible());
    EXPECT_TRUE(w.recordModeTitle(1)->isVisible());
    EXPECT_EQ(w.valueLabel(QStringLiteral("Rrectypeval"), 1)->text(), u("エンドレス"));
}

TEST_F(ReadoutParametersWindowTest, OutOfRangeAlarmsAreReportedOnShow) {
    t.ctx.pendingLogger->ch[1].upperAlarm = 700;
    ReadoutParametersWindow w(t.ctx, {});
    w.show();
    w.hide();
    w.show();  // once only
    ASSERT_EQ(t.messages.shown.size(), 1u);
    EXPECT_EQ(t.messages.shown[0].title, u("機器設定読み込み"));
    EXPECT_EQ(t.messages.shown[0].text, u("警報値異常です！\r\n警報値(温度）が範囲外です(60～-40)\r\n上限値：70"));
    EXPECT_EQ(t.messages.shown[0].style, kOkOnly | kIconError);
}

TEST_F(ReadoutParametersWindowTest, OkRecordsTheChoiceAndRunsTheTransfer) {
    int calls = 0;
    bool disabledDuringTransfer = false;
    ReadoutParametersWindow* window = nullptr;
    ReadoutParametersWindow w(t.ctx, [&](Destinations to) {
        ++calls;
        disabledDuringTransfer = !window->isEnabled();
        EXPECT_EQ(to.first, 5);
        EXPECT_EQ(to.second, 4);
        window->reject();  // a close during the transfer waits for its end
    });
    window = &w;
    w.show();
    QTest::mouseClick(w.storageOption(1, 5), Qt::LeftButton);  // E for the first channel
    EXPECT_TRUE(w.storageOption(2, 3)->isEnabled());
    EXPECT_FALSE(w.storageOption(2, 5)->isEnabled());
    QTest::mouseClick(w.command(0), Qt::LeftButton);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(disabledDuringTransfer);
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(t.ctx.comm->status, 0);
}

TEST_F(ReadoutParametersWindowTest, OkWithoutRecordsActsAsCancel) {
    t.ctx.pendingLogger->ch[1].sampleCount = 0;
    int calls = 0;
    ReadoutParametersWindow w(t.ctx, [&](Destinations) { ++calls; });
    w.show();
    QTest::mouseClick(w.command(0), Qt::LeftButton);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(t.ctx.comm->status, 1);
    EXPECT_EQ(w.result(), QDialog::Rejected);
    // ... and says that there is nothing to read.
    ASSERT_EQ(t.messages.shown.size(), 1u);
    EXPECT_EQ(t.messages.shown[0].title, u("ロガー読み出し"));
    EXPECT_TRUE(t.messages.shown[0].text.contains(u("読み出すデータはありません")));
}

TEST_F(ReadoutParametersWindowTest, CancelAndCloseAbandonTheReadOut) {
    for (int how = 0; how < 2; ++how) {
        t.ctx.comm->status = Exchange::Accepted;
        int calls = 0;
        ReadoutParametersWindow w(t.ctx, [&](Destinations) { ++calls; });
        w.show();
        if (how == 0) {
            EXPECT_EQ(w.command(1)->text(), u("Cancel"));
            QTest::mouseClick(w.command(1), Qt::LeftButton);
        } else {
            w.close();
        }
        EXPECT_EQ(calls, 0) << how;
        EXPECT_EQ(t.ctx.comm->status, 1) << how;
        EXPECT_FALSE(w.isVisible()) << how;
    }
}

}  // namespace
