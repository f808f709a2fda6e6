// QtSerialPort over real devices: the open errors, the port-number mapping,
// and whole exchanges with quillet-logger-sim on a pseudo-terminal through
// the link, on the system clock. The end-to-end cases are skipped when the
// simulator has not been built.
#include "comm/link.h"
#include "comm/protocol.h"
#include "comm/serialport.h"
#include "support/toolmissing.h"

#include "core/catalog.h"
#include "support/fakes.h"
#include "support/simprocess.h"
#include "tools/sim/device.h"
#include "tools/sim/options.h"

#include <QCoreApplication>
#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <memory>

namespace quillet {
namespace {

const QString kSimulator = fakes::SimProcess::executable();

// QSerialPort wants an event dispatcher for its notifiers.
void ensureApplication() {
    static int argc = 1;
    static char name[] = "tests_comm";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
}

// quillet-logger-sim on a pseudo-terminal; the device path is the first
// line it prints.
class Simulator {
public:
    explicit Simulator(const QStringList& args) : args_(args), process_(args) {}
    QString device() const { return process_.devicePath(); }
    // The same device model in process, for the expected values.
    std::unique_ptr<sim::Device> model() const {
        sim::ServerOptions o;
        QString message;
        if (sim::parseOptions(QStringList{kSimulator} + args_, o, message) != sim::ParseResult::Ok) return nullptr;
        return std::make_unique<sim::Device>(o.config);
    }

private:
    QStringList args_;
    fakes::SimProcess process_;
};

class EnvVar {
public:
    EnvVar(const char* name, const QByteArray& value)
        : name_(name), old_(qgetenv(name)), had_(qEnvironmentVariableIsSet(name)) {
        qputenv(name, value);
    }
    ~EnvVar() {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }

private:
    const char* name_;
    QByteArray old_;
    bool had_;
};

TEST(PortMapping, DefaultDevicesAndTheEnvironment) {
    EnvVar clear3("QUILLET_COM3", "");
    EnvVar clear9("QUILLET_COM9", "");
#ifndef Q_OS_WIN
    EXPECT_EQ(serialDeviceForPort(1), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(serialDeviceForPort(3), QStringLiteral("/dev/ttyUSB2"));
    EXPECT_EQ(serialDeviceForPort(9), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(serialDeviceForPort(16), QStringLiteral("/dev/ttyS7"));
#endif
    EXPECT_EQ(serialDeviceForPort(0), QString());
    EXPECT_EQ(serialDeviceForPort(17), QString());
    EnvVar set3("QUILLET_COM3", "/dev/pts/42");
    EXPECT_EQ(serialDeviceForPort(3), QStringLiteral("/dev/pts/42"));
}

TEST(QtSerialPortOpen, DevicesThatCannotBeUsed) {
    ensureApplication();
    EnvVar missing("QUILLET_COM5", "/nonexistent/ttyQ");
    QtSerialPort p;
    p.setPortNumber(5);
    EXPECT_EQ(portErrorNumber(p.open()), 8002);
    EXPECT_FALSE(p.isOpen());
    p.setPortNumber(17);
    EXPECT_EQ(portErrorNumber(p.open()), 8002);
    p.setDevicePath(QStringLiteral("/dev/null"));  // there, but no serial device
    EXPECT_EQ(portErrorNumber(p.open()), 8002);
    EXPECT_FALSE(p.isOpen());
    // Nothing to read or write on a closed port, and no blocking.
    EXPECT_EQ(p.bytesWaiting(), 0);
    EXPECT_TRUE(p.readAll().isEmpty());
    EXPECT_EQ(portErrorNumber(p.writeChar('x')), 8018);
}

TEST(QtSerialPortOpen, BusyAndAlreadyOpen) {
    ensureApplication();
    Simulator sim({});
    if (sim.device().isEmpty()) QUILLET_TOOL_MISSING("quillet-logger-sim not built");
    QtSerialPort a, b;
    a.setDevicePath(sim.device());
    b.setDevicePath(sim.device());
    a.setDtr(true);  // a pseudo-terminal has no DTR: ignored
    ASSERT_EQ(a.open(), PortFault::None);
    EXPECT_EQ(portErrorNumber(a.open()), 8005);
    EXPECT_EQ(portErrorNumber(b.open()), 8005);
    a.close();
    EXPECT_EQ(b.open(), PortFault::None);
    b.close();
}

// A device this user may not open (mode 000 for a normal user; root gives
// up root in a child process first) is told apart from a busy one.
TEST(QtSerialPortOpen, PermissionDenied) {
    ensureApplication();
    Simulator sim({});
    if (sim.device().isEmpty()) QUILLET_TOOL_MISSING("quillet-logger-sim not built");
    const QByteArray dev = QFile::encodeName(sim.device());
    struct stat before {};
    ASSERT_EQ(::stat(dev.constData(), &before), 0);
    ASSERT_EQ(::chmod(dev.constData(), 0), 0);
    GTEST_FLAG_SET(death_test_style, "fast");  // fork here: no second simulator
    EXPECT_EXIT(
        {
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) std::_Exit(3);
            QtSerialPort p;
            p.setDevicePath(QFile::decodeName(dev));
            std::_Exit(p.open() == PortFault::Denied ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    ::chmod(dev.constData(), before.st_mode & 07777);
}

// ---- Whole exchanges over the pseudo-terminal ----------------------------------

struct PtyCase {
    const char* name;
    QStringList args;
};

class OverPty : public ::testing::TestWithParam<PtyCase> {};

TEST_P(OverPty, IdentificationSummaryAndFullRead) {
    ensureApplication();
    const PtyCase& c = GetParam();
    Simulator sim(c.args);
    if (sim.device().isEmpty()) QUILLET_TOOL_MISSING("quillet-logger-sim not built");
    auto expected = sim.model();
    ASSERT_TRUE(expected);

    fakes::TestContext t;
    SystemClock clock;
    t.ctx.clock = &clock;
    t.ctx.timing.commandWait = 1;
    t.ctx.timing.readTimeout = 1000;
    EnvVar com1("QUILLET_COM1", sim.device().toLocal8Bit());
    QtSerialPort port;
    port.setPortNumber(1);
    t.ctx.serial = &port;
    AppContext& ctx = t.ctx;

    ASSERT_EQ(request(ctx, 1, 1, {}), 0) << t.messages.texts().join('|').toStdString();
    EXPECT_FALSE(port.isOpen());
    const int model = expected->model();
    ASSERT_EQ(parseIdentification(ctx, 0), model);
    EXPECT_EQ(ctx.pendingLogger->ch[1].cardNo, expected->cardNo());
    EXPECT_EQ(ctx.pendingLogger->ch[1].testNo, expected->testNo());

    ASSERT_EQ(request(ctx, 1, 4, {}), 0);
    ASSERT_TRUE(parseSummary(ctx));
    const int n = int(expected->rawRecords(1).size());
    ASSERT_EQ(ctx.pendingLogger->ch[1].sampleCount, n);

    const bool two = model != 3;
    ASSERT_EQ(request(ctx, 1, 2, {}, {two ? Progress::TwoChannels : Progress::OneChannel, n}), 0);
    EXPECT_FALSE(port.isOpen());
    ASSERT_TRUE(decodeBlocks(ctx, {1, 2}, two));

    const PendingLogger& p = ctx.pendingLogger;
    const int wrap = p.loggerModel == 4 && p.endlessFlag && p.wrapFlag ? p.wrapPosition : 0;
    for (int i = 0; i < n; ++i) {
        const int m = (i + wrap) % n;
        const int raw1 = expected->rawRecords(1)[m];
        ASSERT_EQ(ctx.store.samples[1][i + 1], raw1 == 1023 ? 9999 : raw1 + p.ch[1].rangeLow) << i;
        if (two) {
            const int raw2 = expected->rawRecords(2)[m];
            ASSERT_EQ(ctx.store.samples[2][i + 1], raw2 == 1023 ? 9999 : raw2 + p.ch[2].rangeLow) << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Models, OverPty,
                         ::testing::Values(PtyCase{"model_1", {"--model", "1", "--records", "300", "--seed", "5"}},
                                           PtyCase{"model_2", {"--model", "2", "--records", "600", "--seed", "6"}},
                                           PtyCase{"model_3", {"--model", "3", "--records", "500", "--seed", "7"}},
                                           PtyCase{"model_4", {"--model", "4", "--records", "77", "--seed", "8"}},
                                           PtyCase{"model_4_wrapped",
                                                   {"--model", "4", "--flags", "3", "--wrap-position", "4000", "--seed",
                                                    "9"}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(OverPtyFaults, SilentReaderIsNoAnswer) {
    ensureApplication();
    Simulator sim({"--silent"});
    if (sim.device().isEmpty()) QUILLET_TOOL_MISSING("quillet-logger-sim not built");
    fakes::TestContext t;
    SystemClock clock;
    t.ctx.clock = &clock;
    t.ctx.timing.commandWait = 0;
    t.ctx.timing.readTimeout = 100;
    QtSerialPort port;
    port.setDevicePath(sim.device());
    t.ctx.serial = &port;
    const qint64 start = clock.nowMs();
    EXPECT_EQ(request(t.ctx, 1, 1, {}, {}, 2), 2);
    const qint64 took = clock.nowMs() - start;
    EXPECT_GE(took, 200);
    EXPECT_LT(took, 1000);
    EXPECT_FALSE(port.isOpen());
}

}  // namespace
}  // namespace quillet
