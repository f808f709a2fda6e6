// RecordingSettings: what the recording settings dialog hands to the writer
// of the setting commands (3,0 .. 3,9 and 2,1). Values are as the dialog
// holds them; the wire form is built by comm/protocol.h.
#pragma once

#include "core/records.h"

#include <QDateTime>

#include <array>
#include <cstdint>

namespace quillet {

enum RecordMode : int16_t {
    oneTime = 0,
    endless = 1,
};

struct RecordingSettings {
    int16_t cardNo = 0;  // 0..255
    int16_t testNo = 0;  // 0..255
    // Minutes interval, 00:01 .. 01:00.
    int16_t intervalHour = 0;
    int16_t intervalMinute = 1;
    // Models 3 and 4: a seconds interval of 10..50 s replaces the minutes.
    bool useSecondsInterval = false;
    int16_t secondsInterval = 10;
    RecordMode recordMode = oneTime;  // models 3 and 4
    bool lockLogger = false;          // model 4
    // Per logger channel [1], [2]; [0] unused.
    std::array<int16_t, 3> upperAlarm{};  // whole units (°C or %RH)
    std::array<int16_t, 3> lowerAlarm{};  // whole units
    // List position 0..100 (value − list start), or kNotSet: a reference
    // never set that the user left so (the logger keeps it unset, "FFF").
    std::array<int16_t, 3> referenceValue{};
    std::array<int16_t, 3> referenceSide{};  // 0 "H", 8 "L"
    int16_t measuringRange = 0;              // model 3: 0..2
    QDateTime clockTime;                     // to the minute
    QDateTime startTime;                     // to the minute
    QDateTime endReservation;                // models 1, 2, 4
    int16_t recordLimit = 0;                 // intervals from start to end
};

}  // namespace quillet
