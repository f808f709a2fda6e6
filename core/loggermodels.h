// The logger models the reader knows, one row each: what the codec, the
// read-out, the settings rules, the parameter texts and the writer need to
// know of a model. Everything that differs between models is read here;
// nothing else compares model numbers.
#pragma once

#include "core/globals.h"

#include <array>
#include <cstdint>

namespace quillet {

// Where the identification (1,1) keeps its fields.
enum class IdentificationLayout { TwoChannels, OneChannel, TwoTemperatures };

// How alarm values count on the wire: from the channel's range bottom, or
// always from -40.0 (raw + (-400) tenths).
enum class AlarmBase { None, RangeBottom, MinusForty };

// Where a channel's integrated value comes from: the program sums it after
// the transfer, the logger reports it in its summary, or the model has none.
enum class IntegratedValue { None, Summed, Reported };

// Limits of alarm values read from a logger, in tenths.
struct AlarmLimits {
    int upperMin, upperMax, lowerMin, lowerMax;
    constexpr bool upperBad(int v) const { return v < upperMin || v > upperMax; }
    constexpr bool lowerBad(int v) const { return v < lowerMin || v > lowerMax; }
};

// The settings dialog's factory choices, list positions per channel (-1 =
// the box keeps its choice).
struct FactoryPositions {
    std::array<int, 3> reference{-1, -1, -1};
    std::array<int, 3> upper{-1, -1, -1};
    std::array<int, 3> lower{-1, -1, -1};
};

struct LoggerModel {
    int number;                // 1..4
    int identificationLength;  // characters of the 1,1 answer
    IdentificationLayout layout;
    int channels;  // 1 or 2
    std::array<ChannelKind, 2> kinds;
    int referenceChannels;  // reference values it keeps (3,4): 0, 1 or 2
    AlarmBase alarmBase;
    bool hasModes;            // one-time / endless (3,7)
    bool hasSecondsInterval;  // 10..50 s besides the minutes
    bool hasEndReservation;   // a record limit (3,0)
    bool hasRangeModeCode;    // the measuring range and record mode in one code
    bool wrapsMemory;         // endless recording overwrites a full memory
    bool canStayUnlocked;     // the lock command may say "2" (not locked)
    IntegratedValue integratedValue;
    bool humidityWholeUnits;  // channel 2's summary in whole %RH
    int lastRecordIndex;      // the end reservation's list, 0..this
    int memoryRecords;        // records per channel of a full memory
    // The alarm lists' first upper value per channel (whole units); the
    // lower list starts one below.
    std::array<std::array<int, 2>, 2> upperAlarmRange;
    std::array<AlarmLimits, 2> readAlarmLimits;
    // Alarms put back after a warning about read alarm values, per channel
    // (upper, lower in tenths).
    std::array<std::array<int16_t, 2>, 2> alarmReset;
    FactoryPositions factory;
};

inline constexpr AlarmLimits kTemperatureAlarmLimits{-390, 600, -400, 590};
inline constexpr AlarmLimits kHumidityAlarmLimits{10, 1000, 0, 990};
inline constexpr AlarmLimits kWideAlarmLimits{-390, 1500, -400, 1490};

// Model 1: temperature and humidity, 3000 records. Fields left out of a row
// are false or zero.
inline constexpr LoggerModel kModel1{
    .number = 1,
    .identificationLength = 71,
    .layout = IdentificationLayout::TwoChannels,
    .channels = 2,
    .kinds = {ChannelKind::TemperatureWithAlarms, ChannelKind::Humidity},
    .referenceChannels = 2,
    .alarmBase = AlarmBase::RangeBottom,
    .hasEndReservation = true,
    .integratedValue = IntegratedValue::Summed,
    .humidityWholeUnits = true,
    .lastRecordIndex = 2999,
    .memoryRecords = 3000,
    .upperAlarmRange = {{{-39, 60}, {1, 100}}},
    .readAlarmLimits = {kTemperatureAlarmLimits, kHumidityAlarmLimits},
    .alarmReset = {{{600, -400}, {1000, 0}}},
    .factory = {{-1, 0, 0}, {-1, 99, 99}, {-1, 0, 0}},
};

// Model 2: model 1 with twice the memory, 6000 records.
constexpr LoggerModel withMemory(LoggerModel m, int number, int records) {
    m.number = number;
    m.lastRecordIndex = records - 1;
    m.memoryRecords = records;
    return m;
}

// Model 3: one temperature channel with measuring ranges, 8000 records; no
// alarm values, no end reservation.
inline constexpr LoggerModel kModel3{
    .number = 3,
    .identificationLength = 49,
    .layout = IdentificationLayout::OneChannel,
    .channels = 1,
    .kinds = {ChannelKind::Temperature, ChannelKind::Temperature},
    .referenceChannels = 1,
    .alarmBase = AlarmBase::None,
    .hasModes = true,
    .hasSecondsInterval = true,
    .hasRangeModeCode = true,
    .integratedValue = IntegratedValue::Reported,
    .memoryRecords = 8000,
    .factory = {{-1, 0, -1}, {-1, -1, -1}, {-1, -1, -1}},
};

// Model 4: two temperature channels, 6000 records, endless recording; no
// reference values, no integrated value.
inline constexpr LoggerModel kModel4{
    .number = 4,
    .identificationLength = 65,
    .layout = IdentificationLayout::TwoTemperatures,
    .channels = 2,
    .kinds = {ChannelKind::TemperatureWithAlarms, ChannelKind::TemperatureWithAlarms},
    .referenceChannels = 0,
    .alarmBase = AlarmBase::MinusForty,
    .hasModes = true,
    .hasSecondsInterval = true,
    .hasEndReservation = true,
    .wrapsMemory = true,
    .canStayUnlocked = true,
    .integratedValue = IntegratedValue::None,
    .lastRecordIndex = 5999,
    .memoryRecords = 6000,
    .upperAlarmRange = {{{-39, 150}, {-39, 150}}},
    .readAlarmLimits = {kWideAlarmLimits, kWideAlarmLimits},
    .alarmReset = {{{1500, -400}, {1500, -400}}},
    .factory = {{-1, -1, -1}, {-1, 189, 189}, {-1, 0, 0}},
};

inline constexpr std::array<LoggerModel, 4> kLoggerModels{kModel1, withMemory(kModel1, 2, 6000), kModel3, kModel4};

// The row of model number n; nullptr for a model the reader does not know.
constexpr const LoggerModel* loggerModel(int n) {
    return n >= 1 && n <= int(kLoggerModels.size()) ? &kLoggerModels[size_t(n - 1)] : nullptr;
}
constexpr bool isKnownModel(int n) { return loggerModel(n) != nullptr; }
constexpr bool isTwoChannelModel(int n) { return isKnownModel(n) && loggerModel(n)->channels == 2; }

}  // namespace quillet
