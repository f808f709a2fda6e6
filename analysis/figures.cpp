#include "analysis/figures.h"

#include <algorithm>
#include <cmath>

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

// Follows the runs beyond one limit, sample by sample.
struct RunTracker {
    Excursions result;
    int length = 0;
    double start = 0;

    void step(bool beyond, double time, int intervalSeconds) {
        if (!beyond) {
            end(intervalSeconds);
            return;
        }
        if (length == 0) start = time;
        ++length;
    }
    void end(int intervalSeconds) {
        if (length == 0) return;
        ++result.count;
        const long long seconds = (long long)length * intervalSeconds;
        if (result.count == 1 || seconds > result.longestSeconds) {
            result.longestSeconds = seconds;
            result.longestStart = start;
        }
        length = 0;
    }
};

ChannelFigures figuresOf(const ChannelStore& s, int ch, AxisRows rows, double deltaHOverR) {
    const ChannelRecord& c = s.ch[size_t(ch)];
    const auto& samples = s.samples[size_t(ch)];
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

    int lowest = 0;
    int highest = 0;
    long long sum = 0;
    ChannelFigures::Limits limits;
    long long samplesAbove = 0;
    long long samplesBelow = 0;
    long long tenthsAbove = 0;
    long long tenthsBelow = 0;
    int within = 0;
    RunTracker above;
    RunTracker below;
    for (int i = first; i <= last; ++i) {
        const int v = samples[size_t(i)];
        if (v == kErrorSample) {
            ++f.errors;
            above.end(f.intervalSeconds);
            below.end(f.intervalSeconds);
            continue;
        }
        if (f.errors == i - first) {  // the first valid sample
            lowest = highest = v;
        } else {
            lowest = std::min(lowest, v);
            highest = std::max(highest, v);
        }
        sum += v;
        if (!alarms) continue;
        const bool isAbove = v > c.upperAlarm;
        const bool isBelow = v < c.lowerAlarm;
        const double time = c.startTime + (i - 1) * c.interval;
        above.step(isAbove, time, f.intervalSeconds);
        below.step(isBelow, time, f.intervalSeconds);
        if (isAbove) {
            ++samplesAbove;
            tenthsAbove += v - c.upperAlarm;
        }
        if (isBelow) {
            ++samplesBelow;
            tenthsBelow += c.lowerAlarm - v;
        }
        if (!isAbove && !isBelow) ++within;
    }
    const int valid = f.validSamples();
    if (valid == 0) return f;
    f.min = lowest / 10.0;
    f.max = highest / 10.0;
    f.mean = double(sum) / valid / 10.0;

    if (isTemperature(c.kind)) {
        // Loggers repeat few distinct values: one exponential per value.
        std::vector<int> histogram(size_t(highest - lowest + 1));
        for (int i = first; i <= last; ++i) {
            const int v = samples[size_t(i)];
            if (v != kErrorSample) ++histogram[size_t(v - lowest)];
        }
        f.mkt = kineticCelsius(lowest / 10.0, highest / 10.0, deltaHOverR, [&](const auto& add) {
            for (size_t k = 0; k < histogram.size(); ++k)
                if (histogram[k]) add((lowest + int(k)) / 10.0, histogram[k]);
        });
    }
    if (alarms) {
        above.end(f.intervalSeconds);
        below.end(f.intervalSeconds);
        limits.above = above.result;
        limits.below = below.result;
        // Every sample stands for one interval.
        limits.secondsAbove = samplesAbove * f.intervalSeconds;
        limits.secondsBelow = samplesBelow * f.intervalSeconds;
        limits.degreeMinutesAbove = tenthsAbove / 10.0 * f.intervalSeconds / 60.0;
        limits.degreeMinutesBelow = tenthsBelow / 10.0 * f.intervalSeconds / 60.0;
        limits.withinShare = double(within) / valid;
        f.limits = limits;
    }
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
