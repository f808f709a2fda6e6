// quillet-logger-sim: serves the simulated reader and logger on a
// pseudo-terminal. The first line on stdout is the path of the serial
// device (the pseudo-terminal's slave side); the program serves until it
// receives SIGTERM or SIGINT.
//
// The host opens and closes the device for every exchange. The simulator
// keeps a descriptor of the slave side open itself, so the master never
// sees a hang-up when the host's last descriptor closes, and the line keeps
// its raw settings (no echo, no line editing) between opens.

#include "tools/sim/device.h"
#include "tools/sim/options.h"
#include "tools/sim/pacer.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

using namespace quillet::sim;

namespace {

volatile sig_atomic_t g_stop = 0;

void onSignal(int) { g_stop = 1; }

int64_t monotonicNs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

void fail(const char* what) {
    std::fprintf(stderr, "quillet-logger-sim: %s: %s\n", what, std::strerror(errno));
    std::exit(1);
}

// Writes all of data to the non-blocking master, waiting while the line's
// buffer is full.
void writeFully(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n > 0) {
            data += n;
            size -= size_t(n);
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            fail("write");
        } else {
            pollfd pfd{fd, POLLOUT, 0};
            poll(&pfd, 1, 100);
        }
    }
}

struct Pty {
    int master = -1;
    int slave = -1;  // held by the simulator for the whole run
    QByteArray path;
};

Pty openPty() {
    Pty p;
    p.master = posix_openpt(O_RDWR | O_NOCTTY);
    if (p.master < 0) fail("posix_openpt");
    if (grantpt(p.master) != 0) fail("grantpt");
    if (unlockpt(p.master) != 0) fail("unlockpt");
    const char* name = ptsname(p.master);
    if (!name) fail("ptsname");
    p.path = name;
    p.slave = open(name, O_RDWR | O_NOCTTY);
    if (p.slave < 0) fail("open slave");
    termios t;
    if (tcgetattr(p.slave, &t) != 0) fail("tcgetattr");
    cfmakeraw(&t);
    cfsetispeed(&t, B4800);
    cfsetospeed(&t, B4800);
    t.c_cflag |= CLOCAL | CREAD;
    if (tcsetattr(p.slave, TCSANOW, &t) != 0) fail("tcsetattr");
    const int flags = fcntl(p.master, F_GETFL);
    if (flags < 0 || fcntl(p.master, F_SETFL, flags | O_NONBLOCK) != 0) fail("fcntl");
    return p;
}

bool makeLink(const QString& link, const QByteArray& target) {
    const QByteArray path = link.toLocal8Bit();
    struct stat st;
    if (lstat(path.constData(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            std::fprintf(stderr, "quillet-logger-sim: %s exists and is not a symbolic link\n", path.constData());
            return false;
        }
        unlink(path.constData());
    }
    if (symlink(target.constData(), path.constData()) != 0) {
        std::fprintf(stderr, "quillet-logger-sim: symlink %s: %s\n", path.constData(), std::strerror(errno));
        return false;
    }
    return true;
}

// SIGTERM and SIGINT are blocked except inside ppoll(), so a signal always
// interrupts the wait instead of slipping in before it. Returns the mask to
// wait with.
sigset_t blockStopSignals() {
    sigset_t blocked, waitMask;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGTERM);
    sigaddset(&blocked, SIGINT);
    sigprocmask(SIG_BLOCK, &blocked, &waitMask);
    sigdelset(&waitMask, SIGTERM);
    sigdelset(&waitMask, SIGINT);
    struct sigaction sa;
    std::memset(&sa, 0, sizeof sa);
    sa.sa_handler = onSignal;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    return waitMask;
}

// The line between the device and the pseudo-terminal: what the host
// writes goes to the device, the device's answers go back at the line's
// pace, and the frame log gets a line per frame.
class Line {
public:
    Line(const ServerOptions& options, Device& device, Pty& pty, QFile& log, sigset_t waitMask)
        : options_(options), device_(device), pty_(pty), log_(log), waitMask_(waitMask), pacer_(options.baud) {}

    void serve() {
        while (!g_stop) {
            if (!dead_ && device_.disconnected() && outgoing_.isEmpty()) goDead();
            if (dead_) {
                sigsuspend(&waitMask_);
                continue;
            }
            if (outgoing_.isEmpty() && device_.pending() > 0)
                outgoing_ = device_.take(options_.paced ? 1 : int(sizeof buf_));
            if (outgoing_.isEmpty()) pacer_.idle();
            step();
        }
    }

private:
    // The line goes dead: once the host has read what was sent (or after
    // two seconds), the device path disappears for it. The first pause
    // lets the line's buffer take up the characters.
    void goDead() {
        for (int waited = 0; waited < 400 && !g_stop; ++waited) {
            const timespec pause{0, 5'000'000};
            nanosleep(&pause, nullptr);
            int queued = 0;
            if (waited >= 10 && (ioctl(pty_.slave, FIONREAD, &queued) != 0 || queued == 0)) break;
        }
        std::fprintf(stderr, "quillet-logger-sim: disconnected\n");
        close(pty_.master);
        close(pty_.slave);
        pty_.master = pty_.slave = -1;
        dead_ = true;
    }

    // One wait for the host or for the next character's time, then what
    // it brought.
    void step() {
        pollfd pfd{pty_.master, POLLIN, 0};
        timespec timeout{};
        const timespec* timeoutPtr = nullptr;
        bool writeNow = false;
        if (!outgoing_.isEmpty()) {
            const int64_t now = monotonicNs();
            const int64_t wait = now < holdUntil_ ? holdUntil_ - now : options_.paced ? pacer_.due(now) - now : 0;
            if (wait <= 0) {
                writeNow = true;
                pfd.events |= POLLOUT;
            } else {
                timeout.tv_sec = wait / 1'000'000'000;
                timeout.tv_nsec = wait % 1'000'000'000;
                timeoutPtr = &timeout;
            }
        }
        const int r = ppoll(&pfd, 1, timeoutPtr, &waitMask_);
        if (r < 0) {
            if (errno == EINTR) return;
            fail("ppoll");
        }
        if ((pfd.revents & POLLIN) && receive()) return;
        if (writeNow && (pfd.revents & POLLOUT)) send();
    }

    // What the host wrote, to the device. True when it was a new command:
    // the answer waits for the reader's delay.
    bool receive() {
        const ssize_t n = read(pty_.master, buf_, sizeof buf_);
        if (n <= 0) return false;
        const int before = device_.requestCount();
        device_.receive(QByteArray(buf_, int(n)));
        if (log_.isOpen()) {
            const QByteArray time =
                QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")).toLatin1();
            for (; logged_ < device_.received().size(); ++logged_)
                log_.write(time + ' ' + frameText(device_.received()[logged_]) + '\n');
        }
        const bool command = device_.requestCount() != before;
        if (command) {
            // A new command: what was left of the last answer is not sent,
            // neither from here nor from the line's buffer.
            outgoing_.clear();
            tcflush(pty_.slave, TCIFLUSH);
            pacer_.idle();
        }
        // An echoing reader returns each character as it hears it, before
        // it answers the frame.
        if (options_.echo) writeFully(pty_.master, buf_, size_t(n));
        if (!command) return false;
        // The reader takes a moment before it answers.
        holdUntil_ = monotonicNs() + int64_t(options_.delayMs) * 1'000'000;
        return true;
    }

    // The next character of the answer (or all of it, unpaced).
    void send() {
        const int chunk = options_.paced ? 1 : int(outgoing_.size());
        const ssize_t n = write(pty_.master, outgoing_.constData(), size_t(chunk));
        if (n > 0) {
            outgoing_.remove(0, int(n));
            if (options_.paced) pacer_.sent();
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            fail("write");
        }
    }

    const ServerOptions& options_;
    Device& device_;
    Pty& pty_;
    QFile& log_;
    sigset_t waitMask_;
    Pacer pacer_;
    QByteArray outgoing_;  // taken from the device, not yet written
    bool dead_ = false;
    int64_t holdUntil_ = 0;  // no character of an answer before this time
    size_t logged_ = 0;
    char buf_[4096];
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ServerOptions options;
    QString message;
    switch (parseOptions(QCoreApplication::arguments(), options, message)) {
    case ParseResult::Help: std::fputs(message.toLocal8Bit().constData(), stdout); return 0;
    case ParseResult::Error:
        std::fprintf(stderr, "quillet-logger-sim: %s\n", message.toLocal8Bit().constData());
        return 2;
    case ParseResult::Ok: break;
    }
    const sigset_t waitMask = blockStopSignals();

    // The frame log: one line per frame received, flushed at once so that
    // a reader of the file sees every frame answered so far.
    QFile log;
    if (!options.logFile.isEmpty()) {
        log.setFileName(options.logFile);
        if (!log.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
            std::fprintf(stderr, "quillet-logger-sim: %s: %s\n", options.logFile.toLocal8Bit().constData(),
                         log.errorString().toLocal8Bit().constData());
            return 1;
        }
    }

    Device device(options.config);
    Pty pty = openPty();
    if (!options.link.isEmpty() && !makeLink(options.link, pty.path)) return 1;

    std::printf("%s\n", pty.path.constData());
    std::fflush(stdout);

    Line(options, device, pty, log, waitMask).serve();

    if (pty.master >= 0) close(pty.master);
    if (pty.slave >= 0) close(pty.slave);
    if (!options.link.isEmpty()) unlink(options.link.toLocal8Bit().constData());
    return 0;
}
