// The serial port under the link: the operations the reader needs of a
// COM port, and the implementation over QSerialPort.
//
// Port numbers and devices. The program numbers its ports 1..16 as the
// reader's users know them (COM1 .. COM16). On Windows port n is "COMn".
// Elsewhere the default devices are
//     ports 1..8   ->  /dev/ttyUSB0 .. /dev/ttyUSB7   (USB serial adapters)
//     ports 9..16  ->  /dev/ttyS0   .. /dev/ttyS7     (built-in serial ports)
// and the environment variable QUILLET_COM<n> (QUILLET_COM1 .. QUILLET_COM16),
// when set and not empty, names the device of port n instead (any path,
// a pseudo-terminal such as /dev/pts/4 included).
//
// What a port refuses (PortFault), shown as its run-time error number:
//     8002  InvalidPort: the port number is outside 1..16, or its device does
//           not exist or is no serial device
//     8005  InUse: the port is already open, or another program holds it
//           (its lock file, or an exclusive open)
//     18010 Denied: the user may not open the device: the 8010 text with a
//           hint about the serial group
//     8010  Refused: the device refused the open (or a write) for any other
//           reason
//     8018  NotOpen: a write on a port that is not open (the link never
//           does this itself)
#pragma once

#include "core/catalog.h"

#include <QByteArray>
#include <QString>

#include <memory>

class QSerialPort;

namespace quillet {

enum class PortFault : int {
    None = 0,
    InvalidPort = kErrInvalidPort,
    InUse = kErrPortOpen,
    Refused = kErrPortLocked,
    Denied = kErrPortDenied,
    NotOpen = 8018,
};

// The run-time error number a port fault is shown with.
constexpr int portErrorNumber(PortFault f) { return int(f); }

class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Port number 1..16. Setting it closes nothing; the next open uses it.
    virtual void setPortNumber(int n) { portNumber_ = n; }
    int portNumber() const { return portNumber_; }

    // None, or what refused the open. The line is 4800 bit/s, 8 data bits,
    // no parity, 1 stop bit, no handshaking.
    virtual PortFault open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Best effort: a port that cannot switch DTR is used as it is.
    virtual void setDtr(bool on) = 0;

    // Characters received and not yet read. Never blocks.
    virtual int bytesWaiting() = 0;
    // Every character waiting (possibly none). Never blocks.
    virtual QByteArray readAll() = 0;
    // Writes one character: None, or what refused it.
    virtual PortFault writeChar(char c) = 0;
    // Discards everything received and not yet read.
    virtual void clearInput() = 0;

    // Lets the port wait up to maxMs for input when nothing is waiting, so
    // that a polling loop does not spin; returns as soon as input arrives.
    // Ports on a virtual clock do nothing here.
    virtual void waitForInput(int maxMs) { (void)maxMs; }

protected:
    int portNumber_ = 1;
};

// The device path of port n: QUILLET_COM<n> when set, otherwise the
// default above; empty for numbers outside 1..16.
QString serialDeviceForPort(int n);

// True when device is a character device, as every serial port is, other
// than /dev/tty, the program's own terminal (on Windows: always; the port's
// name says it).
bool isSerialDevice(const QString& device);

// The port over QSerialPort. It works without an event loop (it pulls input
// with a zero wait and pushes each written character out at once) and with
// one (the GUI program processes events while it polls).
class QtSerialPort : public SerialPort {
public:
    QtSerialPort();
    ~QtSerialPort() override;

    // A fixed device path that replaces the port-number mapping (tests and
    // the command-line tool); empty = use the mapping.
    void setDevicePath(const QString& path) { devicePath_ = path; }
    QString devicePath() const { return devicePath_; }

    PortFault open() override;
    void close() override;
    bool isOpen() const override;
    void setDtr(bool on) override;
    int bytesWaiting() override;
    QByteArray readAll() override;
    PortFault writeChar(char c) override;
    void clearInput() override;
    void waitForInput(int maxMs) override;

private:
    void pull();

    std::unique_ptr<QSerialPort> port_;
    QString devicePath_;
    bool dtr_ = false;
};

}  // namespace quillet
