// The figures an audit asks of each channel: counts, extremes and mean, the
// mean kinetic temperature, the time spent outside the alarm limits, the
// excursions beyond them and the degree-minutes, over rows of the common
// time axis. The one entry is channelFigures(); the window, the report, the
// command line and the workbook export all use it.
#pragma once

#include "core/records.h"
#include "core/store.h"

#include <optional>
#include <vector>

namespace quillet {

// ΔH/R of the mean kinetic temperature in kelvin: 10000 K (ΔH = 83.144
// kJ/mol). The values a user may choose lie in kMinDeltaHOverR..kMaxDeltaHOverR.
constexpr double kDefaultDeltaHOverR = 10000;
constexpr double kMinDeltaHOverR = 1000;
constexpr double kMaxDeltaHOverR = 100000;
constexpr double kKelvinAtZeroCelsius = 273.15;

// The runs of consecutive samples beyond one alarm limit. An error sample
// ends a run. longestStart is the date value of the longest run's first
// sample (the first of equally long runs); 0 when there is no run.
struct Excursions {
    int count = 0;
    long long longestSeconds = 0;
    double longestStart = 0;
};

// The figures of one channel in use over the rows asked for. Values are in
// the channel's unit (°C or %RH). Optional figures are empty where they do
// not apply: min, max, mean without a valid sample; mkt for humidity; every
// alarm figure for kind 0 and without a valid sample.
struct ChannelFigures {
    int channel = 0;          // 1..8
    int samples = 0;          // samples of the channel within the rows, errors included
    int errors = 0;           // error samples (9999) among them
    int intervalSeconds = 0;  // the channel's recording interval
    double firstTime = 0;     // date value of the first and last sample within the rows
    double lastTime = 0;      // (0 when the channel has none there)
    std::optional<double> min;
    std::optional<double> max;
    std::optional<double> mean;
    std::optional<double> mkt;         // temperature channels (kinds 0 and 1)
    std::optional<double> upperAlarm;  // kinds 1 and 2
    std::optional<double> lowerAlarm;
    // With the alarm limits and a valid sample: samples above the upper
    // (below the lower) limit × interval; their runs; Σ |value − limit| ×
    // interval in minutes; the share (0..1) of valid samples within both
    // limits.
    struct Limits {
        long long secondsAbove = 0;
        long long secondsBelow = 0;
        Excursions above;
        Excursions below;
        double degreeMinutesAbove = 0;
        double degreeMinutesBelow = 0;
        double withinShare = 0;
    };
    std::optional<Limits> limits;

    int validSamples() const { return samples - errors; }
};

// The figures of every channel in use (in channel order) over the rows
// (clamped to the axis), with the given ΔH/R in kelvin. A channel that
// starts after the first row counts from its own first sample.
std::vector<ChannelFigures> channelFigures(const ChannelStore& s, AxisRows rows,
                                           double deltaHOverR = kDefaultDeltaHOverR);

// The mean kinetic temperature in °C of temperatures in °C; nothing for an
// empty list.
std::optional<double> meanKineticTemperature(const std::vector<double>& celsius, double deltaHOverR);

}  // namespace quillet
