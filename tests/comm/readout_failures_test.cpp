// How a read-out ends when something goes wrong: its failure messages come
// after its windows closed and the pointer is back, a run-time error is
// caught and reported under "ロガー読み出し", a Cancel in the pause between
// two attempts stops the retries, and a reader unplugged mid-transfer is a
// failed read.
#include "comm/link.h"
#include "comm/readout.h"
#include "comm/serialport.h"
#include "core/store.h"
#include "support/fakes.h"
#include "support/simprocess.h"
#include "support/simserial.h"
#include "support/toolmissing.h"
#include "tools/sim/device.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

namespace quillet {
namespace {

// What the user sees while a message box is up.
struct Screen {
    bool parameterOpen = false;
    bool progressOpen = false;
    bool busy = false;
};

// The two windows as open / closed flags; OK into channels A and B.
struct TrackedWindows : ReadoutWindows {
    explicit TrackedWindows(Screen& s) : screen(s) {}
    void showParameterWindow(AppContext&, const std::function<void(Destinations)>& transfer) override {
        screen.parameterOpen = true;
        transfer({1, 2});
        screen.parameterOpen = false;
    }
    void runWithProgress(AppContext&, const std::function<void()>& work) override {
        screen.progressOpen = true;
        work();
        screen.progressOpen = false;
    }
    Screen& screen;
};

struct BusyView : MainView {
    explicit BusyView(Screen& s) : screen(s) {}
    void setBusy(bool b) override { screen.busy = b; }
    Screen& screen;
};

// Records the screen at every message.
struct WatchingMessages : MessageBoxes {
    explicit WatchingMessages(Screen& s) : screen(s) {}
    int show(const QString& title, const QString& text, int) override {
        shown.push_back({title, text, screen});
        return kOk;
    }
    struct Shown {
        QString title, text;
        Screen screen;
    };
    Screen& screen;
    std::vector<Shown> shown;
};

struct Rig {
    explicit Rig(sim::Config config) : device(config), line(device), serial(t.clock, line) {
        t.ctx.serial = &serial;
        t.ctx.view = &view;
        t.ctx.messages = &messages;
        serial.paced = false;
    }
    fakes::TestContext t;
    sim::Device device;
    fakes::DeviceLine line;
    fakes::SimSerial serial;
    Screen screen;
    TrackedWindows windows{screen};
    BusyView view{screen};
    WatchingMessages messages{screen};
};

sim::Config twoChannels() {
    sim::Config c;
    c.model = 2;
    c.records = 100;
    c.seed = 7;
    return c;
}

TEST(ReadoutFailures, TransferMessagesComeAfterTheWindowsClosed) {
    sim::Config silent = twoChannels();
    silent.faults.silence = true;
    silent.faults.only = {12};
    sim::Config garbage = twoChannels();
    garbage.faults.garbage = true;
    garbage.faults.only = {12};
    const struct {
        const char* name;
        sim::Config config;
        const char* text;
    } cases[] = {
        {"no answer", silent, "応答がありません。"},
        {"faulty answer", garbage, "読み取りエラーです。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig(c.config);
        EXPECT_FALSE(readLogger(rig.t.ctx, rig.windows));
        ASSERT_EQ(rig.messages.shown.size(), 1u);
        const auto& m = rig.messages.shown[0];
        EXPECT_EQ(m.text, QString::fromUtf8(c.text));
        EXPECT_EQ(m.title, "ロガー読み出し");
        EXPECT_FALSE(m.screen.parameterOpen);
        EXPECT_FALSE(m.screen.progressOpen);
        EXPECT_FALSE(m.screen.busy);
        EXPECT_EQ(countChannelsInUse(rig.t.ctx.store), 0);
    }
}

// Read into a store that is empty (the usual communication saved and
// cleared it): the data belongs to no file yet.
TEST(ReadoutFailures, DataReadIntoAnEmptyStoreBelongsToNoFile) {
    Rig rig(twoChannels());
    rig.t.ctx.store.dataFileName = rig.t.root + "/saved.ql6";
    EXPECT_TRUE(readLogger(rig.t.ctx, rig.windows));
    EXPECT_TRUE(rig.t.ctx.store.dataFileName.isEmpty());
}

TEST(ReadoutFailures, RunTimeErrorsAreCaughtAndReported) {
    const struct {
        const char* where;
        std::function<void(Rig&)> arm;
        const char* text;
    } cases[] = {
        {"identification", [](Rig& r) { r.t.clock.hooks.push_back([] { throw std::runtime_error("fault"); }); },
         "予期しないエラーが発生しました。\rエラー51"},
        {"transfer, inside the progress window",
         [](Rig& r) { r.t.ctx.comm->progress = [](int, int) { throw std::bad_alloc(); }; },
         "メモリが足りません｡\rエラー7"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        Rig rig(twoChannels());
        c.arm(rig);
        EXPECT_FALSE(readLogger(rig.t.ctx, rig.windows));
        ASSERT_EQ(rig.messages.shown.size(), 1u);
        const auto& m = rig.messages.shown[0];
        EXPECT_EQ(m.title, "ロガー読み出し");
        EXPECT_EQ(m.text, QString::fromUtf8(c.text));
        EXPECT_FALSE(m.screen.busy);
        EXPECT_FALSE(m.screen.parameterOpen);
        EXPECT_FALSE(rig.screen.busy);
        EXPECT_EQ(countChannelsInUse(rig.t.ctx.store), 0);
        EXPECT_EQ(rig.t.ctx.comm->status, 0);
    }
}

TEST(ReadoutFailures, CancelInThePauseBetweenAttemptsEndsTheRequest) {
    fakes::TestContext t;
    fakes::ScriptedLine line;
    line.answers = {"garbage\r\n", "garbage\r\n", "garbage\r\n", "garbage\r\n", "garbage\r\n"};
    fakes::SimSerial port(t.clock, line);
    t.ctx.serial = &port;
    t.ctx.timing.commandWait = 0;
    t.ctx.timing.readTimeout = 100;
    t.ctx.debug.waitAfterCommandRead = 1000;  // the pause after each answer
    bool cancelled = false;
    t.clock.hooks.push_back([&] {
        // Well inside the first pause: the answer came at once.
        if (!cancelled && t.clock.ms >= 500) {
            cancelled = true;
            requestCancel(t.ctx);
        }
    });
    EXPECT_EQ(request(t.ctx, 1, 1, {}), Exchange::Cancelled);
    EXPECT_EQ(line.frames, 1);
    EXPECT_TRUE(t.messages.shown.empty());
}

// QSerialPort wants an event dispatcher for its notifiers.
void ensureApplication() {
    static int argc = 1;
    static char name[] = "tests_comm";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
}

TEST(ReadoutFailures, ReaderUnpluggedMidTransferIsAFailedRead) {
    ensureApplication();
    fakes::SimProcess sim({"--model", "2", "--records", "100", "--disconnect-after", "300"});
    if (sim.devicePath().isEmpty()) QUILLET_TOOL_MISSING("quillet-logger-sim not built");
    fakes::TestContext t;
    SystemClock clock;
    t.ctx.clock = &clock;
    t.ctx.timing.commandWait = 0;
    t.ctx.timing.readTimeout = 300;
    QtSerialPort port;
    port.setDevicePath(sim.devicePath());
    t.ctx.serial = &port;
    // Retries until the device has gone: never "無効な通信ポートです。".
    EXPECT_EQ(request(t.ctx, 1, 2, {}, {Progress::TwoChannels}), Exchange::Faulty);
    EXPECT_EQ(t.ctx.comm->status, Exchange::Faulty);
    EXPECT_TRUE(t.messages.shown.empty()) << t.messages.texts().join("|").toStdString();
    EXPECT_FALSE(port.isOpen());
}

}  // namespace
}  // namespace quillet
