#include "comm/serialport.h"

#include "core/catalog.h"

#include <QFileInfo>
#include <QSerialPort>
#include <QtGlobal>

#ifndef Q_OS_WIN
#include <QFile>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <cerrno>
#endif

namespace quillet {

QString serialDeviceForPort(int n) {
    if (n < 1 || n > 16) return {};
    const QByteArray var = "QUILLET_COM" + QByteArray::number(n);
    const QString override = qEnvironmentVariable(var.constData());
    if (!override.isEmpty()) return override;
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(n);
#else
    if (n <= 8) return QStringLiteral("/dev/ttyUSB%1").arg(n - 1);
    return QStringLiteral("/dev/ttyS%1").arg(n - 9);
#endif
}

namespace {

bool permissionDenied(const QString& device) {
#ifdef Q_OS_WIN
    (void)device;
    return false;
#else
    return ::access(QFile::encodeName(device).constData(), R_OK | W_OK) != 0 && errno == EACCES;
#endif
}

}  // namespace

bool isSerialDevice(const QString& device) {
#ifdef Q_OS_WIN
    (void)device;
    return true;
#else
    struct stat st {};
    // /dev/tty is whatever terminal the program runs in (or none at all):
    // a character device, but never a port to a reader.
    return ::stat(QFile::encodeName(device).constData(), &st) == 0 && S_ISCHR(st.st_mode) &&
           st.st_rdev != makedev(5, 0);
#endif
}

QtSerialPort::QtSerialPort() : port_(std::make_unique<QSerialPort>()) {}

QtSerialPort::~QtSerialPort() {
    if (port_->isOpen()) port_->close();
}

PortFault QtSerialPort::open() {
    if (port_->isOpen()) return PortFault::InUse;
    const QString device = devicePath_.isEmpty() ? serialDeviceForPort(portNumber_) : devicePath_;
    if (device.isEmpty()) return PortFault::InvalidPort;
#ifndef Q_OS_WIN
    // A device that is not there fails at once, before any locking.
    if (!QFileInfo::exists(device)) return PortFault::InvalidPort;
    // A regular file, a folder or a FIFO is no port (and a FIFO would block
    // the open).
    if (!isSerialDevice(device)) return PortFault::InvalidPort;
#endif
    port_->setPortName(device);
    port_->setBaudRate(QSerialPort::Baud4800);
    port_->setDataBits(QSerialPort::Data8);
    port_->setParity(QSerialPort::NoParity);
    port_->setStopBits(QSerialPort::OneStop);
    port_->setFlowControl(QSerialPort::NoFlowControl);
    port_->clearError();
    if (!port_->open(QIODevice::ReadWrite)) {
        const auto e = port_->error();
        port_->clearError();
        switch (e) {
        case QSerialPort::DeviceNotFoundError:
        case QSerialPort::UnsupportedOperationError:  // not a serial device
            return PortFault::InvalidPort;
        case QSerialPort::PermissionError:
            // Qt says the same for a lock file, an exclusive open and a
            // device this user may not open; only the last is not "busy".
            return permissionDenied(device) ? PortFault::Denied : PortFault::InUse;
        case QSerialPort::OpenError: return PortFault::InUse;
        default: return PortFault::Refused;
        }
    }
    // The line settings are applied by open(); DTR is best effort.
    if (dtr_) port_->setDataTerminalReady(true);
    port_->clearError();
    return PortFault::None;
}

void QtSerialPort::close() {
    if (port_->isOpen()) port_->close();
    port_->clearError();
}

bool QtSerialPort::isOpen() const { return port_->isOpen(); }

void QtSerialPort::setDtr(bool on) {
    dtr_ = on;
    if (port_->isOpen()) port_->setDataTerminalReady(on);  // failures ignored
    port_->clearError();
}

void QtSerialPort::pull() {
    if (!port_->isOpen()) return;
    // A zero wait reads whatever the driver holds into the port's buffer;
    // without an event loop this is the only way input gets there.
    port_->waitForReadyRead(0);
    port_->clearError();  // the zero wait reports a time-out when idle
}

int QtSerialPort::bytesWaiting() {
    pull();
    return port_->isOpen() ? int(port_->bytesAvailable()) : 0;
}

QByteArray QtSerialPort::readAll() {
    pull();
    if (!port_->isOpen()) return {};
    return port_->readAll();
}

PortFault QtSerialPort::writeChar(char c) {
    if (!port_->isOpen()) return PortFault::NotOpen;
    if (port_->write(&c, 1) != 1) {
        port_->clearError();
        return PortFault::Refused;
    }
    // Push the character to the driver now; the driver's own buffer takes
    // it at once, so this does not wait for the line.
    port_->waitForBytesWritten(1000);
    port_->clearError();
    return PortFault::None;
}

void QtSerialPort::clearInput() {
    if (!port_->isOpen()) return;
    port_->clear(QSerialPort::Input);
    port_->readAll();
    port_->clearError();
}

void QtSerialPort::waitForInput(int maxMs) {
    if (!port_->isOpen() || maxMs <= 0 || port_->bytesAvailable() > 0) return;
    port_->waitForReadyRead(maxMs);
    port_->clearError();
}

}  // namespace quillet
