// The audit figures of a channel reckoned sample by sample, the plain way,
// for the tests and the fuzzer to hold channelFigures() against.
#pragma once

#include "analysis/figures.h"
#include "core/records.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace quillet::plain {

inline ChannelFigures figures(const ChannelStore& s, int ch, AxisRows rows, double dhr) {
    const ChannelRecord& c = s.ch[size_t(ch)];
    const int interval = c.intervalHour * 3600 + c.intervalMinute * 60 + c.intervalTenSec * 10;
    ChannelFigures f;
    f.channel = ch;
    const int first = std::max(1, rows.first - c.rowOffset);
    const int last = std::min<int>(std::clamp<int>(c.sampleCount, 0, kMaxSamples), rows.last - c.rowOffset);
    std::vector<double> celsius;
    long long sum = 0, above = 0, below = 0, outside = 0, tenthsAbove = 0, tenthsBelow = 0;
    struct Run {
        int count = 0, longest = 0, longestFirst = 0, length = 0;
        void step(bool beyond, int i) {
            if (beyond) {
                ++length;
                return;
            }
            if (length) ++count;
            if (length > longest) longest = length, longestFirst = i - length;
            length = 0;
        }
    } runAbove, runBelow;
    for (int i = first; i <= last; ++i) {
        const int v = s.samples[size_t(ch)][size_t(i)];
        ++f.samples;
        const bool error = v == kErrorSample;
        f.errors += error;
        runAbove.step(!error && v > c.upperAlarm, i);
        runBelow.step(!error && v < c.lowerAlarm, i);
        if (error) continue;
        f.min = std::min(f.min.value_or(1e9), v / 10.0);
        f.max = std::max(f.max.value_or(-1e9), v / 10.0);
        sum += v;
        celsius.push_back(v / 10.0);
        above += v > c.upperAlarm;
        below += v < c.lowerAlarm;
        outside += v > c.upperAlarm || v < c.lowerAlarm;
        tenthsAbove += std::max(0, v - c.upperAlarm);
        tenthsBelow += std::max(0, c.lowerAlarm - v);
    }
    runAbove.step(false, last + 1);
    runBelow.step(false, last + 1);
    if (f.validSamples() == 0) return f;
    f.mean = double(sum) / f.validSamples() / 10.0;
    if (isTemperature(c.kind)) f.mkt = meanKineticTemperature(celsius, dhr);
    if (!hasAlarmValues(c.kind)) return f;
    auto excursions = [&](const Run& r) {
        return Excursions{r.count, (long long)r.longest * interval,
                          r.count ? c.startTime + (r.longestFirst - 1) * c.interval : 0};
    };
    ChannelFigures::Limits l;
    l.secondsAbove = above * interval;
    l.secondsBelow = below * interval;
    l.above = excursions(runAbove);
    l.below = excursions(runBelow);
    l.degreeMinutesAbove = tenthsAbove / 10.0 * interval / 60.0;
    l.degreeMinutesBelow = tenthsBelow / 10.0 * interval / 60.0;
    l.withinShare = double(f.validSamples() - outside) / f.validSamples();
    f.limits = l;
    return f;
}

// The first figure in which got differs from want, empty when none does:
// the mean, MKT and the sums to rounding, the rest exactly.
inline std::string difference(const ChannelFigures& got, const ChannelFigures& want) {
    auto near = [](const std::optional<double>& a, const std::optional<double>& b, double tolerance) {
        return a.has_value() == b.has_value() && (!a || std::abs(*a - *b) <= tolerance * std::max(1.0, std::abs(*b)));
    };
    if (got.samples != want.samples || got.errors != want.errors) return "counts";
    if (got.min != want.min || got.max != want.max) return "extremes";
    if (!near(got.mean, want.mean, 1e-12)) return "mean";
    if (!near(got.mkt, want.mkt, 1e-9)) return "MKT";
    if (got.limits.has_value() != want.limits.has_value()) return "alarm figures present";
    if (!want.limits) return {};
    const ChannelFigures::Limits& g = *got.limits;
    const ChannelFigures::Limits& w = *want.limits;
    if (g.secondsAbove != w.secondsAbove || g.secondsBelow != w.secondsBelow) return "time outside";
    for (const auto& [a, b] : {std::pair(g.above, w.above), std::pair(g.below, w.below)})
        if (a.count != b.count || a.longestSeconds != b.longestSeconds || !near(a.longestStart, b.longestStart, 1e-12))
            return "excursions";
    if (!near(g.degreeMinutesAbove, w.degreeMinutesAbove, 1e-12) ||
        !near(g.degreeMinutesBelow, w.degreeMinutesBelow, 1e-12))
        return "degree-minutes";
    if (!near(g.withinShare, w.withinShare, 1e-12)) return "share within";
    return {};
}

}  // namespace quillet::plain
