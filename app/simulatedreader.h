// The simulated reader inside the program: the logger simulator's device
// model (tools/sim, which builds its answers with its own code, never the
// program's codec) behind the serial-link interface, on port 1. Like the
// simulator on a pseudo-terminal it answers a moment after each command and,
// paced, at the speed of the line (4800 bit/s, 10 bits a character); it may
// also answer at once or echo what it hears, as real readers do.
#pragma once

#include "comm/serialport.h"
#include "core/platform.h"
#include "tools/sim/pacer.h"

#include <QByteArray>

#include <functional>

namespace quillet {

namespace sim {
class Device;
}

// How the reader answers.
struct ReaderManner {
    int delayMs = 20;   // pause between a command's LF and its answer
    bool paced = true;  // at the line's speed, else all at once
    bool echo = false;  // every character heard goes straight back
};

class SimulatedReaderPort : public SerialPort {
public:
    // sleep waits a number of milliseconds while the link waits for input
    // (the program sleeps; tests on a virtual clock give none).
    SimulatedReaderPort(sim::Device& device, Clock& clock, ReaderManner manner = {},
                        std::function<void(int ms)> sleep = {});

    // Only port 1 holds the reader; any other is no port (8002).
    PortFault open() override;
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    void setDtr(bool) override {}
    int bytesWaiting() override;
    QByteArray readAll() override;
    PortFault writeChar(char c) override;
    void clearInput() override;
    void waitForInput(int maxMs) override;

private:
    // Moves what the reader has sent by now into the input.
    void pump();

    sim::Device& device_;
    Clock& clock_;
    ReaderManner manner_;
    std::function<void(int)> sleep_;
    sim::Pacer pacer_;
    bool open_ = false;
    QByteArray input_;
    qint64 holdUntilMs_ = 0;  // nothing of an answer before this time
};

}  // namespace quillet
