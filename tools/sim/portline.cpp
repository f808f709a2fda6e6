// A serial port as the simulator's line, through QSerialPort: on Windows one
// end of a virtual null-modem pair (the program opens the other end), on any
// system a real port wired to the host's.
#include "tools/sim/hostline.h"
#include "tools/sim/stopsignals.h"

#include <QSerialPort>

#include <algorithm>
#include <thread>

namespace quillet::sim {
namespace {

// Longest wait at once, so that a stop signal is noticed.
constexpr int kWaitSliceMs = 50;

class PortLine : public HostLine {
public:
    explicit PortLine(const QString& name) : name_(name), port_(name) {}

    QString open(int baud) {
        port_.setBaudRate(baud);
        port_.setDataBits(QSerialPort::Data8);
        port_.setParity(QSerialPort::NoParity);
        port_.setStopBits(QSerialPort::OneStop);
        port_.setFlowControl(QSerialPort::NoFlowControl);
        if (!port_.open(QIODevice::ReadWrite)) return name_ + QStringLiteral(": ") + port_.errorString();
        return {};
    }

    QByteArray path() const override { return name_.toLocal8Bit(); }

    Ready wait(bool wantWrite, int64_t timeoutNs) override {
        const int sliceMs = timeoutNs < 0 ? kWaitSliceMs : int(std::min<int64_t>(timeoutNs / 1'000'000, kWaitSliceMs));
        if (!port_.isOpen()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(sliceMs));
            return {};
        }
        if (!wantWrite && port_.bytesAvailable() == 0 && !stopRequested()) port_.waitForReadyRead(sliceMs);
        return {port_.bytesAvailable() > 0, wantWrite};
    }

    QByteArray read() override { return port_.readAll(); }

    int64_t write(const char* data, int64_t size) override {
        const qint64 n = port_.write(data, size);
        port_.flush();
        return n;
    }

    void dropUnread() override { port_.clear(QSerialPort::Output); }
    int unread() override { return int(port_.bytesToWrite()); }
    void hangUp() override { port_.close(); }

private:
    QString name_;  // as given: "COM3", "/dev/ttyUSB0"
    QSerialPort port_;
};

}  // namespace

std::unique_ptr<HostLine> openSerialPort(const QString& name, int baud, QString& error) {
    auto line = std::make_unique<PortLine>(name);
    error = line->open(baud);
    if (!error.isEmpty()) return nullptr;
    return line;
}

}  // namespace quillet::sim
