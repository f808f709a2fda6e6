// The graph's state, owned by the graph folder; AppContext holds one
// (ctx.graph).
#pragma once

#include "core/records.h"

#include <array>
#include <cstdint>

namespace quillet {

struct AppContext;

// The graph's three axes, as the range dialog's frames name them: データ範囲,
// 温度範囲, 湿度範囲.
enum class RangeAxis { X, Temp, Humid };

// The low and the high bound of an axis: data numbers on X, whole units on
// the temperature and humidity axes.
struct Bounds {
    int16_t low = 0;
    int16_t high = 0;
    friend bool operator==(const Bounds&, const Bounds&) = default;
};

// One axis: the bounds shown, the automatic ones (what computeGraphScale
// found), the ones before the last zoom or restore (what undo brings back),
// whether the user holds the bounds, and the grid step (X: data numbers;
// temperature and humidity: tenths).
struct AxisRange {
    Bounds shown;
    Bounds automatic;
    Bounds previous;
    bool manual = false;
    int16_t tick = 0;
};

// The graph's ranges, ticks, undo values and switches (graph/);
// refTemp/refHumid 9999 = not yet chosen.
struct GraphState {
    GraphState() = default;
    // Held graph bounds survive a restart: the graph starts from the six
    // range values of the general settings.
    explicit GraphState(const AppContext& ctx);

    std::array<AxisRange, 3> axes{
        AxisRange{{1, 1}, {1, 1}, {}, false, 1},  // X
        AxisRange{{0, 100}, {}, {}, false, 200},  // temperature
        AxisRange{{0, 100}, {}, {}, false, 200},  // humidity
    };
    AxisRange& axis(RangeAxis a) { return axes[size_t(a)]; }
    const AxisRange& axis(RangeAxis a) const { return axes[size_t(a)]; }
    AxisRange& x() { return axis(RangeAxis::X); }
    const AxisRange& x() const { return axis(RangeAxis::X); }
    AxisRange& temp() { return axis(RangeAxis::Temp); }
    const AxisRange& temp() const { return axis(RangeAxis::Temp); }
    AxisRange& humid() { return axis(RangeAxis::Humid); }
    const AxisRange& humid() const { return axis(RangeAxis::Humid); }

    bool hasTemp = false;
    bool hasHumid = false;
    bool undoAvailable = false;
    bool labelsOn = false;
    int16_t lineWidth = 1;
    bool refLineOn = false;
    // The channels' alarm limits as dashed lines, the time beyond them
    // shaded (the graph window's switch; the prints follow it).
    bool alarmLinesOn = true;
    int16_t refTemp = 9999;
    int16_t refHumid = 9999;
    float dragStartX = 0;
    float dragStartY = 0;
    float dragEndX = 0;
    float dragEndY = 0;
    // channelColor[1..9] (RGB): the sixteen-colour palette entries 1, 2, 3,
    // 4, 5, 6, 12, 13, 10; the graph window changes them per channel.
    std::array<uint32_t, kChannels + 2> channelColor{0,        0x000080, 0x008000, 0x008080, 0x800000,
                                                     0x800080, 0x808000, 0xFF0000, 0xFF00FF, 0x00FF00};
};

}  // namespace quillet
