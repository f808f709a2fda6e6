// The read-out from the main window: the menu entry, ReadoutParametersWindow, ProgressWindow
// driven by the receive, and its Cancel, against the simulated logger.
#include "mainwin_fixture.h"

#include "comm/ui/progresswindow.h"
#include "loggerset/ui/commwiring.h"
#include "loggerset/ui/readoutparameterswindow.h"
#include "loggerset/ui/readoutwindows.h"
#include "support/simserial.h"
#include "tools/sim/device.h"

#include <QTimer>

using namespace quillet;
using namespace quillet::fakes;

namespace {

sim::Config model2(int records) {
    sim::Config c;
    c.model = 2;
    c.records = records;
    return c;
}

class ReadoutWindowTest : public MainWindowTest {
protected:
    ReadoutWindowTest() : device(model2(300)), line(device), serial(t.clock, line) {}

    void SetUp() override {
        MainWindowTest::SetUp();
        t.ctx.serial = &serial;
        // The receive waits on the virtual clock; let the windows live meanwhile.
        t.clock.hooks.push_back([] { QCoreApplication::processEvents(); });
        readout = std::make_unique<QtReadoutWindows>(window.get());
        wireCommunication(*window, t.ctx, *readout);
    }

    // Presses OK in the parameter window once it is shown.
    void okInParameterWindow() {
        auto* timer = new QTimer(window.get());
        timer->setInterval(0);
        QObject::connect(timer, &QTimer::timeout, [timer] {
            if (auto* w = qobject_cast<ReadoutParametersWindow*>(QApplication::activeModalWidget())) {
                timer->stop();
                w->onButtonClicked(0);
            }
        });
        timer->start();
    }

    sim::Device device;
    DeviceLine line;
    SimSerial serial;
    std::unique_ptr<QtReadoutWindows> readout;
};

}  // namespace

TEST_F(ReadoutWindowTest, ReadsIntoTheGridWithAProgressBar) {
    EXPECT_TRUE(window->action(Command::ReadLogger)->isEnabled());
    int maximum = 0, lastValue = 0;
    t.clock.hooks.push_back([&] {
        if (auto* p = qobject_cast<ProgressWindow*>(QApplication::activeModalWidget())) {
            maximum = p->DataReadBar->maximum();
            lastValue = std::max(lastValue, p->DataReadBar->value());
        }
    });
    okInParameterWindow();
    window->action(Command::ReadLogger)->trigger();
    EXPECT_TRUE(t.messages.shown.empty()) << t.messages.texts().join("|").toStdString();
    EXPECT_EQ(t.ctx.store.channelsInUse, 2);
    EXPECT_EQ(t.ctx.store.unsavedRead, 1);
    EXPECT_EQ(maximum, (300 / 16 + 1) * 88);
    EXPECT_GT(lastValue, 0);
    EXPECT_EQ(window->gridModel->headerData(2, Qt::Horizontal, Qt::DisplayRole).toString().right(4), u8("[ﾟC]"));
    EXPECT_TRUE(window->toolButton(Command::DeleteChannels)->isEnabled());
}

TEST_F(ReadoutWindowTest, CancelInTheProgressWindowKeepsTheGridEmpty) {
    bool cancelled = false;
    t.clock.hooks.push_back([&] {
        auto* p = qobject_cast<ProgressWindow*>(QApplication::activeModalWidget());
        if (p && !cancelled && p->DataReadBar->value() > 500) {
            cancelled = true;
            p->onCancelClicked();
        }
    });
    okInParameterWindow();
    window->action(Command::ReadLogger)->trigger();
    EXPECT_TRUE(cancelled);
    EXPECT_TRUE(t.messages.shown.empty());
    EXPECT_EQ(t.ctx.store.channelsInUse, 0);
    EXPECT_EQ(t.ctx.store.ch[1].inUse, 0);
    EXPECT_EQ(t.ctx.store.unsavedRead, 0);
    EXPECT_FALSE(window->toolButton(Command::DeleteChannels)->isEnabled());
}
