// An in-process serial port for tests of the link: the other end of the line
// is the logger simulator's device model (or a scripted answerer), and the
// characters arrive paced on the test's clock at 4800 bit/s (0.48 characters
// per millisecond), or all at once. With the VirtualClock an exchange of
// seconds runs in microseconds.
#pragma once

#include "comm/serialport.h"
#include "core/platform.h"

#include <QByteArray>

#include <deque>
#include <map>
#include <vector>

namespace quillet::sim {
class Device;
}

namespace quillet::fakes {

// What sits at the far end of a simulated line.
class LineEnd {
public:
    virtual ~LineEnd() = default;
    virtual void receive(const QByteArray& fromHost) = 0;
    virtual QByteArray take(int maxBytes) = 0;
    virtual int pending() const = 0;
};

// The simulator's device model on the line.
class DeviceLine : public LineEnd {
public:
    explicit DeviceLine(sim::Device& device) : device_(device) {}
    void receive(const QByteArray& fromHost) override;
    QByteArray take(int maxBytes) override;
    int pending() const override;

private:
    sim::Device& device_;
};

// Answers each frame (each LF from the host) with the next scripted answer;
// an empty answer, or none left, is silence.
class ScriptedLine : public LineEnd {
public:
    void receive(const QByteArray& fromHost) override;
    QByteArray take(int maxBytes) override;
    int pending() const override { return int(out_.size()); }

    std::deque<QByteArray> answers;
    QByteArray received;  // everything the host wrote
    int frames = 0;       // frames received

private:
    QByteArray out_;
};

class SimSerial : public SerialPort {
public:
    // Characters per millisecond at 4800 bit/s, 10 bits a character.
    static constexpr double kCharsPerMs = 0.48;

    explicit SimSerial(Clock& clock);
    // A line attached to port 1.
    SimSerial(Clock& clock, LineEnd& line);

    // Port setup. A port with nothing attached does not exist (8002).
    void attach(int port, LineEnd& line);
    void setBusy(int port);    // open gives 8005
    void setDenied(int port);  // the user may not open it (kErrPortDenied)
    void setSilent(int port);  // exists, nothing answers

    // true: 0.48 characters per ms from the moment the device has them;
    // false: everything the device has arrives one millisecond later.
    bool paced = true;
    // true (with paced false): what the device has is there at once, the
    // moment the frame's LF is written (a reader that answers at once).
    bool instant = false;
    // true: every character written comes straight back (a reader that
    // echoes), ahead of any answer.
    bool echo = false;

    struct Write {
        qint64 ms;
        char c;
    };
    std::vector<Write> writes;  // every character written, with its time
    int opens = 0;              // successful opens

    PortFault open() override;
    void close() override;
    bool isOpen() const override { return open_; }
    void setDtr(bool on) override { dtr = on; }
    int bytesWaiting() override;
    QByteArray readAll() override;
    PortFault writeChar(char c) override;
    void clearInput() override;

    bool dtr = false;

private:
    enum class Kind { missing, busy, denied, silent, line };
    struct Port {
        Kind kind = Kind::missing;
        LineEnd* line = nullptr;
    };
    LineEnd* line();
    void pump();

    Clock& clock_;
    std::map<int, Port> ports_;
    bool open_ = false;
    QByteArray in_;
    qint64 since_ = 0;  // start of the current run of device output
    double credit_ = 0;
};

}  // namespace quillet::fakes
