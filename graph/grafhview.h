// Grafhview: the graph's scaling, zoom, drawing and window statistics over
// ctx.graph (GraphState) and the channel store.
#pragma once

#include "core/globals.h"

namespace quillet {

struct AppContext;

// The time (date value) of data number n of the common time axis.
double DataNumberTime(const ChannelStore& s, int n);

// Copies the six range values of the graph (manual flags and Y bounds) into
// the general settings and writes them (qlet7.dat); false on a write error.
bool saveGraphSettings(AppContext& ctx);

}  // namespace quillet
