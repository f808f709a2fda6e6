#include "graph/graphstate.h"

#include "core/context.h"

namespace quillet {

GraphState::GraphState(const AppContext& ctx) {
    const GeneralSettings& g = ctx.general;
    temp().manual = g.tempManual != 0;
    humid().manual = g.humidManual != 0;
    temp().shown = {g.tempMin, g.tempMax};
    humid().shown = {g.humidMin, g.humidMax};
    // Bounds the range dialog could never have held (a hand-edited file)
    // leave that axis automatic instead of drawing it wrongly.
    const Bounds t = temp().shown, h = humid().shown;
    if (t.low < -100 || t.high > 200 || t.low >= t.high) temp().manual = false;
    if (h.low < 0 || h.high > 100 || h.low >= h.high) humid().manual = false;
}

}  // namespace quillet
