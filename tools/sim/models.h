// The simulated loggers, one row per model: everything in which the models
// differ. The simulator keeps its own table (it shares no code with the
// program's codec).
#pragma once

#include <array>

namespace quillet::sim {

struct SimModel {
    int channels;               // 1 or 2
    int identificationLength;   // characters of the answer to 1,1
    int memory;                 // records per channel
    int lastRecordIndex;        // the largest record limit (3,0) it takes; 0 = none
    bool tenSeconds;            // start and interval with tens of seconds
    bool recordModes;           // one-time / endless (3,7)
    bool humidityChannel2;      // channel 2 measures humidity
    bool rangeModeCode;         // one code for range and mode, the next one reported too
    bool endlessFlags;          // flags 2 (endless) and 1 (memory wrapped)
    int referenceChannels;      // reference values it takes (3,4)
    bool alarmsFromMinusForty;  // alarms counted from -40.0, else from the range bottom
    int alarmTop;               // the largest raw upper alarm (3,8 / 3,9); 0 = no alarms
    // Range codes: channel 1's default; channel 2's default, and whether
    // channel 2 always reports it (a fixed code) or may not report "A".
    int defaultRange1;
    int defaultRange2;
    bool fixedRange2;
    bool refusesRangeA2;
};

inline constexpr std::array<SimModel, 4> kSimModels{{
    // channels, ident, memory, last, tenSec, modes, humidity, rangeMode, flags, refs, -40, top, r1, r2, fixed, noA
    {2, 71, 3000, 2999, false, false, true, false, false, 2, false, 1000, 1, 10, true, false},
    {2, 71, 6000, 5999, false, false, true, false, false, 2, false, 1000, 1, 11, false, true},
    {1, 49, 8000, 0, true, true, false, true, false, 1, false, 0, 1, 0, true, false},
    {2, 65, 6000, 5999, true, true, false, false, true, 0, true, 1900, 1, 1, false, false},
}};

// The row of a model; a row of zeros for a model no logger is.
inline const SimModel& simModel(int model) {
    static constexpr SimModel kNone{};
    return model >= 1 && model <= int(kSimModels.size()) ? kSimModels[size_t(model - 1)] : kNone;
}

}  // namespace quillet::sim
