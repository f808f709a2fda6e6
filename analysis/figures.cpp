#include "analysis/figures.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quillet {
namespace {

// Σ w·exp(−k / T) over temperatures T in kelvin, summed relative to the
// largest term so that no term underflows whatever k is: the result is
// ln((1/n) Σ exp(−k / T_i)) = top + ln((1/n) Σ exp(−k / T_i − top)).
std::optional<double> kineticCelsius(double lowestCelsius, double highestCelsius, double deltaHOverR,
                                     const auto& forEachValue) {
    if (lowestCelsius + kKelvinAtZeroCelsius <= 0) return std::nullopt;  // no temperature a logger measures
    const double top = -deltaHOverR / (highestCelsius + kKelvinAtZeroCelsius);
    double sum = 0;
    double weight = 0;
    forEachValue([&](double celsius, double count) {
        sum += count * std::exp(-deltaHOverR / (celsius + kKelvinAtZeroCelsius) - top);
        weight += count;
    });
    if (weight <= 0) return std::nullopt;
    const double logMean = top + std::log(sum / weight);
    return deltaHOverR / -logMean - kKelvinAtZeroCelsius;
}

// Follows the runs beyond one limit, sample by sample (1-based indexes).
struct RunTracker {
    int count = 0;
    int longest = 0;
    int longestFirst = 0;
    int length = 0;

    void step(bool beyond, int i) {
        if (beyond) {
            ++length;
            return;
        }
        end(i);
    }
    // The run (if any) ends before sample i.
    void end(int i) {
        if (length == 0) return;
        ++count;
        if (length > longest) {  // the first of equally long runs stays
            longest = length;
            longestFirst = i - length;
        }
        length = 0;
    }
    Excursions result(const ChannelRecord& c, int intervalSeconds) const {
        Excursions e;
        e.count = count;
        e.longestSeconds = (long long)longest * intervalSeconds;
        if (count) e.longestStart = c.startTime + (longestFirst - 1) * c.interval;
        return e;
    }
};

ChannelFigures figuresOf(const ChannelStore& s, int ch, AxisRows rows, double deltaHOverR) {
    const ChannelRecord& c = s.ch[size_t(ch)];
    const int16_t* samples = s.samples[size_t(ch)].data();
    ChannelFigures f;
    f.channel = ch;
    f.intervalSeconds = c.intervalHour * 3600 + c.intervalMinute * 60 + c.intervalTenSec * 10;
    const bool alarms = hasAlarmValues(c.kind);
    if (alarms) {
        f.upperAlarm = c.upperAlarm / 10.0;
        f.lowerAlarm = c.lowerAlarm / 10.0;
    }
    // Sample i of the channel lies on row i + rowOffset.
    const int count = std::clamp<int>(c.sampleCount, 0, kMaxSamples);
    const int first = std::max(1, rows.first - c.rowOffset);
    const int last = std::min(count, rows.last - c.rowOffset);
    if (first > last) return f;
    f.samples = last - first + 1;
    f.firstTime = c.startTime + (first - 1) * c.interval;
    f.lastTime = c.startTime + (last - 1) * c.interval;

    // Counts, extremes and sum in one pass without branches.
    int lowest = std::numeric_limits<int>::max();
    int highest = std::numeric_limits<int>::min();
    long long sum = 0;
    int errors = 0;
    for (int i = first; i <= last; ++i) {
        const int v = samples[i];
        const bool error = v == kErrorSample;
        errors += error;
        sum += error ? 0 : v;
        lowest = std::min(lowest, error ? std::numeric_limits<int>::max() : v);
        highest = std::max(highest, error ? std::numeric_limits<int>::min() : v);
    }
    f.errors = errors;
    const int valid = f.validSamples();
    if (valid == 0) return f;
    f.min = lowest / 10.0;
    f.max = highest / 10.0;
    f.mean = double(sum) / valid / 10.0;

    if (isTemperature(c.kind)) {
        // Loggers repeat few distinct values: one exponential per value.
        std::vector<int> histogram(size_t(highest - lowest + 1));
        for (int i = first; i <= last; ++i) {
            const int v = samples[i];
            if (v != kErrorSample) ++histogram[size_t(v - lowest)];
        }
        f.mkt = kineticCelsius(lowest / 10.0, highest / 10.0, deltaHOverR, [&](const auto& add) {
            for (size_t k = 0; k < histogram.size(); ++k)
                if (histogram[k]) add((lowest + int(k)) / 10.0, histogram[k]);
        });
    }
    if (!alarms) return f;

    long long samplesAbove = 0;
    long long samplesBelow = 0;
    long long tenthsAbove = 0;
    long long tenthsBelow = 0;
    RunTracker above;
    RunTracker below;
    const int upper = c.upperAlarm;
    const int lower = c.lowerAlarm;
    for (int i = first; i <= last; ++i) {
        const int v = samples[i];
        const bool error = v == kErrorSample;  // ends a run like a sample within the limit
        const bool isAbove = !error && v > upper;
        const bool isBelow = !error && v < lower;
        samplesAbove += isAbove;
        samplesBelow += isBelow;
        tenthsAbove += isAbove ? v - upper : 0;
        tenthsBelow += isBelow ? lower - v : 0;
        above.step(isAbove, i);
        below.step(isBelow, i);
    }
    above.end(last + 1);
    below.end(last + 1);
    ChannelFigures::Limits limits;
    limits.above = above.result(c, f.intervalSeconds);
    limits.below = below.result(c, f.intervalSeconds);
    // Every sample stands for one interval.
    limits.secondsAbove = samplesAbove * f.intervalSeconds;
    limits.secondsBelow = samplesBelow * f.intervalSeconds;
    limits.degreeMinutesAbove = tenthsAbove / 10.0 * f.intervalSeconds / 60.0;
    limits.degreeMinutesBelow = tenthsBelow / 10.0 * f.intervalSeconds / 60.0;
    // A sample both above and below (crossed limits in a damaged file)
    // counts as outside once.
    long long outside = 0;
    if (upper < lower) {
        for (int i = first; i <= last; ++i) {
            const int v = samples[i];
            outside += v != kErrorSample && (v > upper || v < lower);
        }
    } else {
        outside = samplesAbove + samplesBelow;
    }
    limits.withinShare = double(valid - outside) / valid;
    f.limits = limits;
    return f;
}

}  // namespace

AxisRows wholeAxis(const ChannelStore& s) { return {1, std::max<int>(1, s.rowCount)}; }

std::vector<ChannelFigures> channelFigures(const ChannelStore& s, AxisRows rows, double deltaHOverR) {
    std::vector<ChannelFigures> out;
    for (int ch = 1; ch <= kChannels; ++ch)
        if (s.ch[size_t(ch)].inUse == 1) out.push_back(figuresOf(s, ch, rows, deltaHOverR));
    return out;
}

std::optional<double> meanKineticTemperature(const std::vector<double>& celsius, double deltaHOverR) {
    if (celsius.empty()) return std::nullopt;
    const auto [lo, hi] = std::minmax_element(celsius.begin(), celsius.end());
    return kineticCelsius(*lo, *hi, deltaHOverR, [&](const auto& add) {
        for (double t : celsius) add(t, 1.0);
    });
}

}  // namespace quillet
