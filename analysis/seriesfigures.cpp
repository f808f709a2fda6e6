#include "analysis/seriesfigures.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quillet {
namespace {

// One limit's excursions across runs: a run of samples beyond it, ended by
// a sample within, an error sample or a gap.
struct RunTracker {
    Excursions e;
    long long length = 0;  // samples of the run going on
    long long seconds = 0;
    double start = 0;

    void step(bool beyond, double time, int intervalSeconds) {
        if (!beyond) {
            end();
            return;
        }
        if (length == 0) start = time;
        ++length;
        seconds += intervalSeconds;
    }
    void end() {
        if (length == 0) return;
        ++e.count;
        if (seconds > e.longestSeconds) {
            e.longestSeconds = seconds;
            e.longestStart = start;
        }
        length = 0;
        seconds = 0;
    }
};

}  // namespace

ChannelFigures seriesFigures(int channel, int kind, const std::vector<SampleRun>& runs, double deltaHOverR) {
    ChannelFigures f;
    f.channel = channel;
    const bool alarms = hasAlarmValues(kind);
    long long sum = 0;
    int lowest = std::numeric_limits<int>::max();
    int highest = std::numeric_limits<int>::min();
    std::vector<long long> histogram(65536, 0);  // valid samples per value, for the kinetic mean
    long long valid = 0;
    long long outside = 0;
    ChannelFigures::Limits l;
    RunTracker above;
    RunTracker below;
    bool anyLimits = false;
    bool first = true;
    for (const SampleRun& r : runs) {
        if (r.values.empty()) continue;
        if (!r.continuesPrevious) {
            above.end();
            below.end();
        }
        f.intervalSeconds = r.intervalSeconds;
        if (first) f.firstTime = r.startTime;
        first = false;
        const double step = r.intervalSeconds / 86400.0;
        f.lastTime = r.startTime + double(r.values.size() - 1) * step;
        f.samples += int(r.values.size());
        const bool limited = alarms && r.upperAlarm && r.lowerAlarm;
        if (limited) {
            anyLimits = true;
            f.upperAlarm = *r.upperAlarm / 10.0;
            f.lowerAlarm = *r.lowerAlarm / 10.0;
        }
        for (size_t i = 0; i < r.values.size(); ++i) {
            const int16_t v = r.values[i];
            const double time = r.startTime + double(i) * step;
            if (v == kErrorSample) {
                ++f.errors;
                above.end();
                below.end();
                continue;
            }
            ++valid;
            sum += v;
            lowest = std::min<int>(lowest, v);
            highest = std::max<int>(highest, v);
            ++histogram[size_t(v + 32768)];
            if (!limited) {
                above.end();
                below.end();
                continue;
            }
            const bool isAbove = v > *r.upperAlarm;
            const bool isBelow = v < *r.lowerAlarm;
            above.step(isAbove, time, r.intervalSeconds);
            below.step(isBelow, time, r.intervalSeconds);
            // Every sample stands for one interval.
            if (isAbove) l.secondsAbove += r.intervalSeconds;
            if (isBelow) l.secondsBelow += r.intervalSeconds;
            outside += isAbove || isBelow;
        }
        if (limited) {
            // Σ (value − limit) over the run, as the store's figures take it:
            // the tenths beyond, then × interval in minutes.
            long long tenthsAbove = 0;
            long long tenthsBelow = 0;
            for (const int16_t v : r.values) {
                if (v == kErrorSample) continue;
                if (v > *r.upperAlarm) tenthsAbove += v - *r.upperAlarm;
                if (v < *r.lowerAlarm) tenthsBelow += *r.lowerAlarm - v;
            }
            l.degreeMinutesAbove += tenthsAbove / 10.0 * r.intervalSeconds / 60.0;
            l.degreeMinutesBelow += tenthsBelow / 10.0 * r.intervalSeconds / 60.0;
        }
    }
    above.end();
    below.end();
    if (valid == 0) return f;
    f.min = lowest / 10.0;
    f.max = highest / 10.0;
    f.mean = double(sum) / double(valid) / 10.0;
    if (isTemperature(kind) && lowest / 10.0 + kKelvinAtZeroCelsius > 0) {
        // Relative to the highest term, as meanKineticTemperature() does.
        auto exponent = [&](int tenths) { return -deltaHOverR / (tenths / 10.0 + kKelvinAtZeroCelsius); };
        const double top = exponent(highest);
        double total = 0;
        for (int t = lowest; t <= highest; ++t)
            if (const long long n = histogram[size_t(t + 32768)]) total += double(n) * std::exp(exponent(t) - top);
        f.mkt = deltaHOverR / -(top + std::log(total / double(valid))) - kKelvinAtZeroCelsius;
    }
    if (!anyLimits) return f;
    l.above = above.e;
    l.below = below.e;
    l.withinShare = double(valid - outside) / double(valid);
    f.limits = l;
    return f;
}

}  // namespace quillet
