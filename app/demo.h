// Demo mode: the simulated reader with a temperature and humidity logger on
// it, inside the program on port 1 for this run (app/simulatedreader.h), so
// that a first read-out shows data at once on every platform, with no
// second process.
#pragma once

#include "app/simulatedreader.h"
#include "tools/sim/device.h"

#include <QString>

namespace quillet {

struct AppContext;

// The demo's logger: three days of records every ten minutes, alarm limits
// that the values keep to, but for one afternoon on which the temperature
// rises above the upper limit for a while.
sim::Config demoLoggerConfig();

class Demo {
public:
    // The reader answers on ctx's clock; sleep as SimulatedReaderPort takes it.
    Demo(Clock& clock, ReaderManner manner, std::function<void(int ms)> sleep = {});

    // Maps port 1 to the simulated reader: ctx.serial, and the port chosen
    // for this run (the saved port is left alone). Returns the status text.
    QString start(AppContext& ctx);

    sim::Device& device() { return device_; }

private:
    sim::Device device_;
    SimulatedReaderPort port_;
};

}  // namespace quillet
