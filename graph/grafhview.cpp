#include "graph/grafhview.h"

#include "core/context.h"
#include "core/filemove.h"

namespace quillet {

double DataNumberTime(const ChannelStore& s, int n) { return s.axisStart + (n - 1) * s.axisInterval; }

bool saveGraphSettings(AppContext& ctx) {
    GeneralSettings& g = ctx.general;
    g.tempManual = ctx.graph.tempManual;
    g.humidManual = ctx.graph.humidManual;
    g.tempMax = ctx.graph.tempMax;
    g.tempMin = ctx.graph.tempMin;
    g.humidMax = ctx.graph.humidMax;
    g.humidMin = ctx.graph.humidMin;
    return saveGeneralSettings(g, ctx.folders.settingsFile);
}

}  // namespace quillet
