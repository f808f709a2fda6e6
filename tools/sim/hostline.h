// The host's end of the simulator's line: what the program opens as its
// serial port. On POSIX systems a pseudo-terminal the simulator makes
// (ptyline.cpp); on any system an existing serial port, such as one end of
// a virtual null-modem pair whose other end the program opens
// (portline.cpp).
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>

namespace quillet::sim {

class HostLine {
public:
    virtual ~HostLine() = default;

    // What the host opens: the pseudo-terminal's device, or the port's name.
    virtual QByteArray path() const = 0;

    struct Ready {
        bool readable = false;  // the host wrote something
        bool writable = false;  // the line takes more
    };
    // Waits up to timeoutNs (negative: without limit) for the host's input,
    // or with wantWrite for room on the line. A stop signal ends the wait.
    // A line that has hung up only waits.
    virtual Ready wait(bool wantWrite, int64_t timeoutNs) = 0;
    // What the host wrote (possibly nothing).
    virtual QByteArray read() = 0;
    // Writes what the line takes now: the count written (0 when it is full),
    // or -1 when the line failed.
    virtual int64_t write(const char* data, int64_t size) = 0;
    // Drops what was sent and the host has not read yet.
    virtual void dropUnread() = 0;
    // Characters sent that the host has not read yet.
    virtual int unread() = 0;
    // The line goes dead for the host.
    virtual void hangUp() = 0;
};

// A new pseudo-terminal in raw mode. Null with the reason in error, or where
// the system has none (Windows) with what to do instead.
std::unique_ptr<HostLine> openPseudoTerminal(QString& error);

// An existing serial port by name ("COM3", "/dev/ttyUSB0"), 8 data bits,
// no parity, one stop bit, no handshaking. Null with the reason in error.
std::unique_ptr<HostLine> openSerialPort(const QString& name, int baud, QString& error);

}  // namespace quillet::sim
