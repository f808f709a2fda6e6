#include "app/demo.h"

#include "core/context.h"
#include "core/uitexts.h"

namespace quillet {

sim::Config demoLoggerConfig() {
    sim::Config c;
    c.model = 2;
    c.records = 432;
    // Temperature (range from -40.0 °C): the curve runs 14 .. 26 °C, the
    // limits are 12.0 and 28.0 °C; on the second afternoon it climbs about
    // six degrees higher for four hours.
    c.upperAlarmRaw[0] = 280 + 400;
    c.lowerAlarmRaw[0] = 120 + 400;
    c.excursion = {168, 24, 60};
    // Humidity: the curve runs 45 .. 75 %RH, the limits are 35 and 80 %RH.
    c.upperAlarmRaw[1] = 800;
    c.lowerAlarmRaw[1] = 350;
    return c;
}

Demo::Demo(Clock& clock, ReaderManner manner, std::function<void(int)> sleep)
    : device_(demoLoggerConfig(), [&clock] { return int64_t(clock.nowMs()); }),
      port_(device_, clock, manner, std::move(sleep)) {}

QString Demo::start(AppContext& ctx) {
    port_.setPortNumber(1);
    ctx.serial = &port_;
    ctx.general.comPort = 1;
    return uiText(ui::kDemoStatus);
}

}  // namespace quillet
