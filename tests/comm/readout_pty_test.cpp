// The read-out over a real pseudo-terminal: QSerialPort and the link against
// the quillet-logger-sim executable, on the system clock.
#include "comm/readout.h"
#include "comm/serialport.h"
#include "core/store.h"
#include "support/fakes.h"
#include "support/readoutwindows.h"
#include "support/simprocess.h"
#include "support/toolmissing.h"

#include <gtest/gtest.h>

using namespace quillet;

TEST(ReadoutOverPty, ModelTwoIntoChannelsAAndB) {
    fakes::SimProcess sim({"--model", "2", "--records", "200", "--seed", "3"});
    if (sim.devicePath().isEmpty()) QUILLET_TOOL_MISSING("quillet-logger-sim not built");
    fakes::TestContext t;
    SystemClock clock;
    t.ctx.clock = &clock;
    t.ctx.timing.commandWait = 1;
    QtSerialPort port;
    port.setDevicePath(sim.devicePath());
    t.ctx.serial = &port;
    int maximum = 0, value = 0;
    t.ctx.comm->progress = [&](int m, int v) {
        maximum = m;
        value = v;
    };

    fakes::ChannelsABWindows windows;
    ASSERT_TRUE(readLogger(t.ctx, windows)) << t.messages.texts().join("|").toStdString();
    const ChannelStore& s = t.ctx.store;
    EXPECT_EQ(s.channelsInUse, 2);
    EXPECT_EQ(s.ch[1].kind, 1);
    EXPECT_EQ(s.ch[2].kind, 2);
    EXPECT_EQ(s.ch[1].sampleCount, 200);
    EXPECT_EQ(s.rowCount, 200);
    EXPECT_EQ(maximum, (200 / 16 + 1) * 88);
    EXPECT_EQ(value, 13 * 88);
    EXPECT_FALSE(port.isOpen());
}
