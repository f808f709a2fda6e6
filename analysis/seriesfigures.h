// The audit figures of one logger channel over any stretch of time, however
// many samples and read-outs it spans: the archive's figures over a period.
// The same figures as channelFigures() gives for the same samples in the
// channel store; here the samples come as runs, each evenly spaced.
#pragma once

#include "analysis/figures.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace quillet {

// Samples one interval apart, with the alarm limits they were recorded
// under (tenths; none for kind 0). continuesPrevious: the first sample lies
// one interval after the last of the run before, so an excursion may go on
// across; otherwise a gap lies between them and ends it.
struct SampleRun {
    double startTime = 0;  // date value of the first sample
    int intervalSeconds = 0;
    std::span<const int16_t> values;
    std::optional<int16_t> upperAlarm;
    std::optional<int16_t> lowerAlarm;
    bool continuesPrevious = false;
};

// The figures of the runs in order; kind is the channel's kind (0..2).
// channel is copied into the result. The alarm figures count every sample
// against its own run's limits; upperAlarm and lowerAlarm of the result are
// those of the last run with limits. intervalSeconds is the last run's.
ChannelFigures seriesFigures(int channel, int kind, const std::vector<SampleRun>& runs,
                             double deltaHOverR = kDefaultDeltaHOverR);

}  // namespace quillet
