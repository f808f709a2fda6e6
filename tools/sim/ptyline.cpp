// The pseudo-terminal line (POSIX systems). The host opens and closes the
// device for every exchange; the simulator keeps a descriptor of the slave
// side open itself, so the master never sees a hang-up when the host's last
// descriptor closes, and the line keeps its raw settings (no echo, no line
// editing) between opens.
#include "tools/sim/hostline.h"

#ifdef _WIN32

namespace quillet::sim {

std::unique_ptr<HostLine> openPseudoTerminal(QString& error) {
    error = QStringLiteral(
        "this system has no pseudo-terminals: serve a serial port with --port COMn, one end of a virtual null-modem "
        "pair, and let the program open the other end");
    return nullptr;
}

}  // namespace quillet::sim

#else

#include "tools/sim/stopsignals.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace quillet::sim {
namespace {

class PtyLine : public HostLine {
public:
    ~PtyLine() override { hangUp(); }

    // Empty, or what failed.
    QString open() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0) return failed("posix_openpt");
        if (grantpt(master_) != 0) return failed("grantpt");
        if (unlockpt(master_) != 0) return failed("unlockpt");
        const char* name = ptsname(master_);
        if (!name) return failed("ptsname");
        path_ = name;
        slave_ = ::open(name, O_RDWR | O_NOCTTY);
        if (slave_ < 0) return failed("open slave");
        termios t;
        if (tcgetattr(slave_, &t) != 0) return failed("tcgetattr");
        cfmakeraw(&t);
        cfsetispeed(&t, B4800);
        cfsetospeed(&t, B4800);
        t.c_cflag |= CLOCAL | CREAD;
        if (tcsetattr(slave_, TCSANOW, &t) != 0) return failed("tcsetattr");
        const int flags = fcntl(master_, F_GETFL);
        if (flags < 0 || fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0) return failed("fcntl");
        return {};
    }

    QByteArray path() const override { return path_; }

    Ready wait(bool wantWrite, int64_t timeoutNs) override {
        pollfd pfd{master_, short(POLLIN | (wantWrite ? POLLOUT : 0)), 0};
        timespec timeout{time_t(timeoutNs / 1'000'000'000), long(timeoutNs % 1'000'000'000)};
        const int r = ppoll(master_ >= 0 ? &pfd : nullptr, master_ >= 0 ? 1 : 0, timeoutNs < 0 ? nullptr : &timeout,
                            &stopWaitMask());
        if (r <= 0) return {};
        return {(pfd.revents & POLLIN) != 0, (pfd.revents & POLLOUT) != 0};
    }

    QByteArray read() override {
        char buf[4096];
        const ssize_t n = ::read(master_, buf, sizeof buf);
        return n > 0 ? QByteArray(buf, int(n)) : QByteArray();
    }

    int64_t write(const char* data, int64_t size) override {
        const ssize_t n = ::write(master_, data, size_t(size));
        if (n >= 0) return n;
        return errno == EAGAIN || errno == EINTR ? 0 : -1;
    }

    void dropUnread() override { tcflush(slave_, TCIFLUSH); }

    int unread() override {
        int queued = 0;
        return ioctl(slave_, FIONREAD, &queued) == 0 ? queued : 0;
    }

    void hangUp() override {
        if (master_ >= 0) close(master_);
        if (slave_ >= 0) close(slave_);
        master_ = slave_ = -1;
    }

private:
    static QString failed(const char* what) {
        return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
    }

    int master_ = -1;
    int slave_ = -1;  // held by the simulator for the whole run
    QByteArray path_;
};

}  // namespace

std::unique_ptr<HostLine> openPseudoTerminal(QString& error) {
    auto line = std::make_unique<PtyLine>();
    error = line->open();
    if (!error.isEmpty()) return nullptr;
    return line;
}

}  // namespace quillet::sim

#endif
