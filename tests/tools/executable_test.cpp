// Runs the built quillet-logger-sim and talks to it through its
// pseudo-terminal with plain POSIX calls, as a serial port would.

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#include <csignal>
#include <cstdlib>

namespace {

const QString kExecutable = QStringLiteral(QUILLET_BUILD_DIR "/tools/sim/quillet-logger-sim");

const QByteArray kIdentify("\x02 1, 1,\x03\r\n", 10);
const QByteArray kStatus("\x02 1, 3,\x03\r\n", 10);

class Simulator {
public:
    explicit Simulator(const QStringList& args) {
        process_.setProgram(kExecutable);
        process_.setArguments(args);
        process_.start();
        if (!process_.waitForStarted(5000)) return;
        QElapsedTimer t;
        t.start();
        while (!process_.canReadLine() && t.elapsed() < 5000) process_.waitForReadyRead(100);
        path_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
    }
    ~Simulator() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
    const QString& path() const { return path_; }
    // SIGTERM; the exit code of a clean exit is 0.
    int terminate() {
        ::kill(pid_t(process_.processId()), SIGTERM);
        if (!process_.waitForFinished(5000)) return -1;
        return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -2;
    }

private:
    QProcess process_;
    QString path_;
};

int openRaw(const QString& path) {
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return fd;
    termios t;
    tcgetattr(fd, &t);
    cfmakeraw(&t);
    cfsetispeed(&t, B4800);
    cfsetospeed(&t, B4800);
    tcsetattr(fd, TCSANOW, &t);
    return fd;
}

// Sends a request and reads until `expected` characters came or the time is
// up. Like the program, the host empties its receive buffer after sending,
// unless told not to.
QByteArray exchange(int fd, const QByteArray& request, int expected, int timeoutMs = 2000, bool flush = true) {
    if (::write(fd, request.constData(), size_t(request.size())) != request.size()) return {};
    if (flush) tcflush(fd, TCIFLUSH);
    QByteArray got;
    QElapsedTimer t;
    t.start();
    while (got.size() < expected && t.elapsed() < timeoutMs) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 20) > 0 && (p.revents & POLLIN)) {
            char buf[512];
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n > 0) got.append(buf, int(n));
        }
    }
    return got;
}

}  // namespace

TEST(SimExecutable, ServesAcrossCloseAndReopen) {
    ASSERT_TRUE(QFileInfo::exists(kExecutable)) << kExecutable.toStdString();
    QTemporaryDir dir;
    const QString link = dir.filePath("ttyLOGGER");
    Simulator sim({"--model", "2", "--records", "40", "--link", link});
    ASSERT_TRUE(sim.path().startsWith("/dev/")) << sim.path().toStdString();
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), sim.path());

    for (int round = 0; round < 3; ++round) {
        const int fd = openRaw(round == 1 ? link : sim.path());
        ASSERT_GE(fd, 0);
        const QByteArray a = exchange(fd, kIdentify, 71);
        EXPECT_EQ(a.size(), 71) << "round " << round;
        EXPECT_TRUE(a.endsWith("\x03\r\n"));
        ::close(fd);
    }

    // A setting survives the reopen; 40 records arrive as 3 blocks.
    int fd = openRaw(sim.path());
    EXPECT_EQ(exchange(fd, QByteArray("\x02 3, 5,A1,\x03\r\n"), 3), QByteArray("\x06\r\n"));
    ::close(fd);
    fd = openRaw(sim.path());
    EXPECT_EQ(exchange(fd, kIdentify, 71).mid(4, 2), "A1");
    EXPECT_EQ(exchange(fd, QByteArray("\x02 1, 2,\x03\r\n"), 3 * 88).size(), 3 * 88);
    ::close(fd);

    EXPECT_EQ(sim.terminate(), 0);
    EXPECT_FALSE(QFileInfo(link).isSymLink());
}

TEST(SimExecutable, AnswerLeftUnreadIsNotReadByTheNextExchange) {
    Simulator sim({"--model", "1", "--records", "300"});
    ASSERT_FALSE(sim.path().isEmpty());
    int fd = openRaw(sim.path());
    ASSERT_GE(fd, 0);
    // Ask for the values and close without reading them.
    ASSERT_EQ(::write(fd, "\x02 1, 2,\x03\r\n", 10), 10);
    ::usleep(50000);
    ::close(fd);
    fd = openRaw(sim.path());
    // The host does not empty its buffer this time: the simulator itself
    // drops what the line still held when the next request comes.
    ASSERT_EQ(::write(fd, kStatus.constData(), 10), 10);
    ::usleep(30000);
    EXPECT_EQ(exchange(fd, {}, 10, 2000, false), QByteArray("\x02 3,22,\x03\r\n"));
    ::close(fd);
}

TEST(SimExecutable, PacedAtTheLineSpeed) {
    Simulator sim({"--model", "3", "--records", "1", "--paced"});
    ASSERT_FALSE(sim.path().isEmpty());
    const int fd = openRaw(sim.path());
    ASSERT_GE(fd, 0);
    QElapsedTimer t;
    t.start();
    const QByteArray a = exchange(fd, kIdentify, 49);
    const qint64 ms = t.elapsed();
    ::close(fd);
    EXPECT_EQ(a.size(), 49);
    // 48 character times after the first: 100 ms at 4800 bit/s.
    EXPECT_GE(ms, 95);
    EXPECT_LT(ms, 400);
}

TEST(SimExecutable, DisconnectMakesTheDeviceDisappear) {
    Simulator sim({"--model", "2", "--records", "100", "--disconnect-after", "100"});
    ASSERT_FALSE(sim.path().isEmpty());
    const int fd = openRaw(sim.path());
    ASSERT_GE(fd, 0);
    const QByteArray a = exchange(fd, QByteArray("\x02 1, 2,\x03\r\n"), 101, 300);
    ::close(fd);
    EXPECT_EQ(a.size(), 100);
    QElapsedTimer t;
    t.start();
    int again = openRaw(sim.path());
    while (again >= 0 && t.elapsed() < 3000) {
        ::close(again);
        ::usleep(20000);
        again = openRaw(sim.path());
    }
    EXPECT_LT(again, 0);
    EXPECT_EQ(sim.terminate(), 0);
}

TEST(SimExecutable, BadArgumentsAndHelp) {
    QProcess p;
    p.start(kExecutable, {"--model", "9"});
    ASSERT_TRUE(p.waitForFinished(5000));
    EXPECT_EQ(p.exitCode(), 2);
    EXPECT_TRUE(p.readAllStandardOutput().isEmpty());
    EXPECT_FALSE(p.readAllStandardError().isEmpty());

    p.start(kExecutable, {"--help"});
    ASSERT_TRUE(p.waitForFinished(5000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_TRUE(p.readAllStandardOutput().contains("--disconnect-after"));
}

// With --port the simulator serves an existing serial port (here the slave
// side of a pseudo-terminal the test made, standing in for one end of a
// null-modem pair) and stops cleanly on SIGTERM.
TEST(SimExecutable, ServesAnExistingSerialPort) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    const QString port = QString::fromLocal8Bit(ptsname(master));
    Simulator sim({"--model", "2", "--records", "40", "--port", port});
    EXPECT_EQ(sim.path(), port);
    const QByteArray a = exchange(master, kIdentify, 71, 2000, false);
    EXPECT_EQ(a.size(), 71);
    EXPECT_TRUE(a.endsWith("\x03\r\n"));
    EXPECT_EQ(sim.terminate(), 0);
    ::close(master);
}
