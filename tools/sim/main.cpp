// quillet-logger-sim: serves the simulated reader and logger on a
// pseudo-terminal, or with --port on an existing serial port (on Windows,
// which has no pseudo-terminals, one end of a virtual null-modem pair). The
// first line on stdout is the device the host opens; the program serves
// until it receives SIGTERM or SIGINT (Ctrl+C).

#include "tools/sim/device.h"
#include "tools/sim/hostline.h"
#include "tools/sim/options.h"
#include "tools/sim/pacer.h"
#include "tools/sim/stopsignals.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

using namespace quillet::sim;

namespace {

int64_t monotonicNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "quillet-logger-sim: %s failed\n", what);
    std::exit(1);
}

// Writes all of data, waiting while the line is full.
void writeFully(HostLine& line, const char* data, int64_t size) {
    while (size > 0) {
        const int64_t n = line.write(data, size);
        if (n < 0) fail("write");
        data += n;
        size -= n;
        if (size > 0) line.wait(true, 100'000'000);
    }
}

// A symbolic link to the device; an existing link is replaced, any other
// file is left alone.
bool makeLink(const QString& link, const QByteArray& target) {
    const QFileInfo existing(link);
    if (existing.isSymLink()) {
        QFile::remove(link);
    } else if (existing.exists()) {
        std::fprintf(stderr, "quillet-logger-sim: %s exists and is not a symbolic link\n", qPrintable(link));
        return false;
    }
    if (!QFile::link(QString::fromLocal8Bit(target), link)) {
        std::fprintf(stderr, "quillet-logger-sim: cannot make the link %s\n", qPrintable(link));
        return false;
    }
    return true;
}

// The line between the device and the host: what the host
// writes goes to the device, the device's answers go back at the line's
// pace, and the frame log gets a line per frame.
class Line {
public:
    Line(const ServerOptions& options, Device& device, HostLine& line, QFile& log)
        : options_(options), device_(device), line_(line), log_(log), pacer_(options.baud) {}

    void serve() {
        while (!stopRequested()) {
            if (!dead_ && device_.disconnected() && outgoing_.isEmpty()) goDead();
            if (dead_) {
                line_.wait(false, -1);
                continue;
            }
            if (outgoing_.isEmpty() && device_.pending() > 0) outgoing_ = device_.take(options_.paced ? 1 : 4096);
            if (outgoing_.isEmpty()) pacer_.idle();
            step();
        }
    }

private:
    // The line goes dead: once the host has read what was sent (or after
    // two seconds), the device path disappears for it. The first pause
    // lets the line's buffer take up the characters.
    void goDead() {
        for (int waited = 0; waited < 400 && !stopRequested(); ++waited) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            if (waited >= 10 && line_.unread() == 0) break;
        }
        std::fprintf(stderr, "quillet-logger-sim: disconnected\n");
        line_.hangUp();
        dead_ = true;
    }

    // One wait for the host or for the next character's time, then what
    // it brought.
    void step() {
        int64_t timeoutNs = -1;
        bool writeNow = false;
        if (!outgoing_.isEmpty()) {
            const int64_t now = monotonicNs();
            const int64_t wait = now < holdUntil_ ? holdUntil_ - now : options_.paced ? pacer_.due(now) - now : 0;
            writeNow = wait <= 0;
            if (!writeNow) timeoutNs = wait;
        }
        const HostLine::Ready ready = line_.wait(writeNow, timeoutNs);
        if (ready.readable && receive()) return;
        if (writeNow && ready.writable) send();
    }

    // What the host wrote, to the device. True when it was a new command:
    // the answer waits for the reader's delay.
    bool receive() {
        const QByteArray in = line_.read();
        if (in.isEmpty()) return false;
        const int before = device_.requestCount();
        device_.receive(in);
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
            line_.dropUnread();
            pacer_.idle();
        }
        // An echoing reader returns each character as it hears it, before
        // it answers the frame.
        if (options_.echo) writeFully(line_, in.constData(), in.size());
        if (!command) return false;
        // The reader takes a moment before it answers.
        holdUntil_ = monotonicNs() + int64_t(options_.delayMs) * 1'000'000;
        return true;
    }

    // The next character of the answer (or all of it, unpaced).
    void send() {
        const int chunk = options_.paced ? 1 : int(outgoing_.size());
        const int64_t n = line_.write(outgoing_.constData(), chunk);
        if (n < 0) fail("write");
        if (n > 0) {
            outgoing_.remove(0, int(n));
            if (options_.paced) pacer_.sent();
        }
    }

    const ServerOptions& options_;
    Device& device_;
    HostLine& line_;
    QFile& log_;
    Pacer pacer_;
    QByteArray outgoing_;  // taken from the device, not yet written
    bool dead_ = false;
    int64_t holdUntil_ = 0;  // no character of an answer before this time
    size_t logged_ = 0;
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
    installStopSignals();

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
    QString error;
    const std::unique_ptr<HostLine> line =
        options.port.isEmpty() ? openPseudoTerminal(error) : openSerialPort(options.port, options.baud, error);
    if (!line) {
        std::fprintf(stderr, "quillet-logger-sim: %s\n", qPrintable(error));
        return 1;
    }
    if (!options.link.isEmpty() && !makeLink(options.link, line->path())) return 1;

    std::printf("%s\n", line->path().constData());
    std::fflush(stdout);

    Line(options, device, *line, log).serve();

    line->hangUp();
    if (!options.link.isEmpty()) QFile::remove(options.link);
    return 0;
}
