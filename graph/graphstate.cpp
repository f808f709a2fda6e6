#include "graph/graphstate.h"

#include "core/context.h"

namespace quillet {

GraphState::GraphState(const AppContext& ctx) {
    const GeneralSettings& g = ctx.general;
    tempManual = g.tempManual != 0;
    humidManual = g.humidManual != 0;
    tempMax = g.tempMax;
    tempMin = g.tempMin;
    humidMax = g.humidMax;
    humidMin = g.humidMin;
    // Bounds the range dialog could never have held (a hand-edited file)
    // leave that axis automatic instead of drawing it wrongly.
    if (tempMin < -100 || tempMax > 200 || tempMin >= tempMax) tempManual = false;
    if (humidMin < 0 || humidMax > 100 || humidMin >= humidMax) humidManual = false;
}

}  // namespace quillet
