#include "comm/ui/portdialog.h"

#include "comm/serialport.h"
#include "mainwin_fixture.h"
#include "support/simserial.h"

#include <QComboBox>

using namespace quillet;
using fakes::u8;

TEST(PortsetWindow, ListsSixteenPortsAndKeepsTheDialogOpenOnError) {
    fakes::ensureApplication();
    fakes::TestContext t;
    fakes::SimSerial serial(t.clock);
    fakes::ScriptedLine line;
    serial.attach(4, line);
    serial.setBusy(6);
    t.ctx.serial = &serial;
    t.ctx.general.comPort = 2;

    PortDialog dialog(t.ctx);
    EXPECT_EQ(dialog.windowTitle(), u8("通信ﾎﾟｰﾄの設定"));
    QComboBox* list = dialog.CommList();
    ASSERT_EQ(list->count(), 16);
    EXPECT_TRUE(list->itemText(0).startsWith(u8("COMポート1")));
    EXPECT_TRUE(list->itemText(15).startsWith(u8("COMポート16")));
    EXPECT_EQ(list->currentIndex(), 1);

    dialog.show();
    list->setCurrentIndex(5);  // port 6, held by another program
    dialog.onButtonClicked(0);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(list->currentIndex(), 1);
    EXPECT_EQ(t.messages.texts().last(),
              u8("指定したポートはすでに使用されています。\r\n他のポートを指定してください。"));

    list->setCurrentIndex(3);  // port 4
    dialog.onButtonClicked(0);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(t.ctx.general.comPort, 4);
}
