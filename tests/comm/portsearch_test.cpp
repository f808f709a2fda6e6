#include "comm/portsearch.h"

#include "core/settingsfiles.h"
#include "support/fakes.h"
#include "support/simserial.h"
#include "tools/sim/device.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace quillet;

namespace {

struct PortRig {
    PortRig() : serial(t.clock) {
        t.ctx.serial = &serial;
        serial.paced = false;
    }
    fakes::TestContext t;
    fakes::SimSerial serial;
};

}  // namespace

TEST(PortSearch, FindsTheReaderBehindMissingPorts) {
    PortRig rig;
    sim::Config c;
    c.model = 2;
    c.records = 5;
    sim::Device device(c);
    fakes::DeviceLine line(device);
    rig.serial.attach(5, line);
    const qint64 before = rig.t.clock.ms;
    EXPECT_EQ(searchPort(rig.t.ctx), 5);
    EXPECT_LT(rig.t.clock.ms - before, 2000);  // ports 1..4 skipped at once
    EXPECT_EQ(rig.t.messages.texts(),
              (QStringList{QString::fromUtf8("通信状態にしたロガーを読取器の上にセットしてください"),
                           QString::fromUtf8("ポート5で通信を確立しました。")}));
    EXPECT_EQ(rig.t.messages.shown[1].title, QString::fromUtf8("ポート設定"));
    EXPECT_EQ(rig.t.ctx.general.comPort, 5);
    EXPECT_EQ(rig.serial.portNumber(), 5);
    EXPECT_TRUE(rig.serial.dtr);
    GeneralSettings saved;
    loadGeneralSettings(saved, rig.t.ctx.folders.settingsFile);
    EXPECT_EQ(saved.comPort, 5);
}

TEST(PortSearch, MalformedIdentificationIsNotFound) {
    PortRig rig;
    rig.t.ctx.general.comPort = 3;
    sim::Config c;
    c.faults.garbage = true;
    sim::Device device(c);
    fakes::DeviceLine line(device);
    rig.serial.attach(2, line);
    EXPECT_EQ(searchPort(rig.t.ctx), 0);
    EXPECT_EQ(device.requestCount(), 5);
    ASSERT_EQ(rig.t.messages.shown.size(), 2u);
    EXPECT_TRUE(rig.t.messages.shown[1].text.startsWith(QString::fromUtf8("確立するポートを選択できませんでした。")));
    EXPECT_EQ(rig.t.ctx.general.comPort, 3);  // kept
    EXPECT_EQ(rig.serial.portNumber(), 1);    // port 1 for the session
    EXPECT_FALSE(QFile::exists(rig.t.ctx.folders.settingsFile));
}

TEST(PortSearch, CancelChangesNothing) {
    PortRig rig;
    rig.t.messages.answers = {kCancel};
    EXPECT_EQ(searchPort(rig.t.ctx), 0);
    EXPECT_EQ(rig.t.messages.shown.size(), 1u);
    EXPECT_EQ(rig.serial.opens, 0);
}

TEST(PortDialog, ChoosingAPort) {
    PortRig rig;
    fakes::ScriptedLine line;
    rig.serial.attach(4, line);
    rig.serial.setBusy(6);
    rig.t.ctx.general.comPort = 2;

    EXPECT_FALSE(choosePort(rig.t.ctx, 6));
    EXPECT_EQ(rig.t.messages.shown.back().text,
              QString::fromUtf8("指定したポートはすでに使用されています。\r\n他のポートを指定してください。"));
    EXPECT_EQ(rig.serial.portNumber(), 2);
    EXPECT_FALSE(choosePort(rig.t.ctx, 9));
    EXPECT_EQ(rig.t.messages.shown.back().text,
              QString::fromUtf8("無効なポートが指定されました。\r\n他のポートを指定してください。"));
    EXPECT_EQ(rig.t.ctx.general.comPort, 2);

    EXPECT_TRUE(choosePort(rig.t.ctx, 4));
    EXPECT_EQ(rig.t.ctx.general.comPort, 4);
    EXPECT_FALSE(rig.serial.isOpen());
    GeneralSettings saved;
    loadGeneralSettings(saved, rig.t.ctx.folders.settingsFile);
    EXPECT_EQ(saved.comPort, 4);
}

// A device this user may not open is not "already open": the search stops
// there and says what is wrong; the dialog says the same. A busy port is
// still passed over.
TEST(PortSearch, PermissionDeniedStopsWithTheGroupHint) {
    const QString denied = QString::fromUtf8(
        "通信ポートが使用できません。他のデバイスによってロックされています。\r"
        "このユーザーにはシリアルデバイスを使う権限がありません。ユーザーをグループ dialout "
        "に加え、ログインし直してください。\r"
        "エラー8010");
    PortRig rig;
    rig.serial.setBusy(1);
    rig.serial.setDenied(2);
    sim::Config c;
    sim::Device device(c);
    fakes::DeviceLine line(device);
    rig.serial.attach(3, line);
    EXPECT_EQ(searchPort(rig.t.ctx), 0);
    ASSERT_EQ(rig.t.messages.shown.size(), 2u);
    EXPECT_EQ(rig.t.messages.shown[1].title, QString::fromUtf8("ポート設定"));
    EXPECT_EQ(rig.t.messages.shown[1].text, denied);
    EXPECT_EQ(device.requestCount(), 0);

    EXPECT_FALSE(choosePort(rig.t.ctx, 2));
    EXPECT_EQ(rig.t.messages.shown.back().title, QString::fromUtf8("ポート設定"));
    EXPECT_EQ(rig.t.messages.shown.back().text, denied);
}
