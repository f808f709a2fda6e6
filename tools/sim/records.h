// The values a simulated logger holds: generated daily curves, or values
// read from a records file.
#pragma once

#include "tools/sim/device.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace quillet::sim {

// Generated raw values of both channels, in memory order, for a resolved
// configuration: a daily temperature curve (warmest in the afternoon), for
// models 1 and 2 a humidity curve running against it, for model 4 a second
// temperature a little cooler; channel 1's excursion (config.excursion);
// some noise and config.errorSamples error
// samples (1023) per channel. For model 4 with both flags set the memory is
// full (6000 records) and the oldest record follows the wrap position.
void generateRecords(const Config& config, std::vector<int>& channel1, std::vector<int>& channel2);

// The middle of the generated curve of logger channel 1 or 2, 0.1 units:
// 20.0, 45.0 or 85.0 °C for the ranges from -40.0, 0.0 and 50.0, two
// degrees cooler on model 4's channel 2; 60 %RH for humidity.
int curveCentre(const Config& config, int channel);

// The raw value a recording in progress takes as its record `index`
// (0-based) in logger channel 1 or 2: the same daily curves, timed from
// config.start at config's interval, with noise that depends on the seed,
// the channel and the index alone (no error samples).
int recordedValue(const Config& config, int channel, int64_t index);

// A records file (see docs/simulator.md): one record per line, the values of
// the logger channels in degrees or %RH separated by blanks, commas or
// semicolons, "E" for an error sample, "#" starts a comment. Values are
// converted to raw counts above the bottom of each channel's measuring
// range (rangeLow, from the resolved configuration's range codes).
// Returns false with a message naming the line when the text is unusable.
bool parseRecords(const QByteArray& text, const Config& config, std::vector<int>& channel1, std::vector<int>& channel2,
                  QString* error);
bool loadRecords(const QString& path, const Config& config, std::vector<int>& channel1, std::vector<int>& channel2,
                 QString* error);

}  // namespace quillet::sim
