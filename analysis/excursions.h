// Every excursion of the channels in use over rows of the time axis, one by
// one: "統計と逸脱" lists them below its figures, where channelFigures()
// gives only their count and the longest.
#pragma once

#include "core/records.h"
#include "core/store.h"

#include <vector>

namespace quillet {

// A run of consecutive samples beyond one alarm limit (an error sample ends
// it, as in channelFigures()). Times are date values; end = start +
// samples × interval; peak the value furthest beyond the limit. Values in
// the channel's unit.
struct Excursion {
    int channel = 0;
    bool above = true;
    double limit = 0;
    double start = 0;
    double end = 0;
    long long seconds = 0;
    double peak = 0;
};

// In channel order, each channel's runs in time order; channels without
// alarm values have none.
std::vector<Excursion> excursionList(const ChannelStore& s, AxisRows rows);

}  // namespace quillet
