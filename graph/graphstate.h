// The graph's state, owned by the graph folder; AppContext holds one
// (ctx.graph).
#pragma once

#include "core/records.h"

#include <array>
#include <cstdint>

namespace quillet {

struct AppContext;

// The graph's ranges, ticks, undo values and switches (graph/). Bounds are
// whole units, ticks tenths; refTemp/refHumid 9999 = not yet chosen.
struct GraphState {
    GraphState() = default;
    // Held graph bounds survive a restart: the graph starts from the six
    // range values of the general settings.
    explicit GraphState(const AppContext& ctx);

    int16_t xStart = 1;
    int16_t xEnd = 1;
    bool xManual = false;
    int16_t tempMin = 0;
    int16_t tempMax = 100;
    bool tempManual = false;
    int16_t humidMin = 0;
    int16_t humidMax = 100;
    bool humidManual = false;
    int16_t xTick = 1;
    int16_t tempTick = 200;
    int16_t humidTick = 200;
    int16_t autoXStart = 1;
    int16_t autoXEnd = 1;
    int16_t autoTempMin = 0;
    int16_t autoTempMax = 0;
    int16_t autoHumidMin = 0;
    int16_t autoHumidMax = 0;
    bool hasTemp = false;
    bool hasHumid = false;
    int16_t prevXStart = 0;
    int16_t prevXEnd = 0;
    int16_t prevTempMin = 0;
    int16_t prevTempMax = 0;
    int16_t prevHumidMin = 0;
    int16_t prevHumidMax = 0;
    bool undoAvailable = false;
    bool labelsOn = false;
    int16_t lineWidth = 1;
    bool refLineOn = false;
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
