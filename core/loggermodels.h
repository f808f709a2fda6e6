// The logger models the reader knows, one row each: what the codec, the
// read-out, the settings rules, the parameter texts and the writer need to
// know of a model. Everything that differs between models is read here;
// nothing else compares model numbers.
#pragma once

#include "core/records.h"

#include <array>
#include <cstdint>
#include <span>

namespace quillet {

// The fields of the identification (1,1) and summary (1,4) answers.
enum class Field {
    // identification
    CardNo,
    StartTenSec,
    StartMinute,
    StartHour,
    StartDay,
    StartMonth,
    StartYear,
    IntervalMinute,
    IntervalHour,
    IntervalTenSec,
    Reference1,
    Side1,
    Reference2,
    Side2,
    Upper1,
    Lower1,
    Upper2,
    Lower2,
    TestNo,
    Range1,
    Range2,
    RecordLimit,
    Flags,
    // summary
    Max1,
    Min1,
    Average1,
    Max2,
    Min2,
    Average2,
    LastRecord,
    Errors1,
    Errors2,
    Integrated,
    Count
};

// Where an answer keeps a field: its 1-based position in the whole answer
// (STX is position 1) and its hex digits, least significant first.
struct FieldAt {
    Field field;
    int position;
    int digits;
};

// The reader answers 1,1 with 71 characters for the temperature and
// humidity loggers.
inline constexpr FieldAt kIdentificationTwoChannels[] = {
    {Field::CardNo, 5, 2},          {Field::StartMinute, 8, 2},   {Field::StartHour, 10, 2},
    {Field::StartDay, 12, 2},       {Field::StartMonth, 14, 2},   {Field::StartYear, 16, 2},
    {Field::IntervalMinute, 19, 2}, {Field::IntervalHour, 21, 2}, {Field::Reference1, 24, 3},
    {Field::Side1, 27, 1},          {Field::Reference2, 28, 3},   {Field::Side2, 31, 1},
    {Field::Upper1, 33, 3},         {Field::Lower1, 36, 3},       {Field::Upper2, 40, 3},
    {Field::Lower2, 43, 3},         {Field::TestNo, 47, 2},       {Field::Range1, 50, 1},
    {Field::Range2, 51, 1},         {Field::RecordLimit, 64, 4},
};

// 49 characters for the one-channel logger; its range/mode code of the
// recording held sits at 33 (the one set for the next recording at 34).
inline constexpr FieldAt kIdentificationOneChannel[] = {
    {Field::CardNo, 5, 2},          {Field::StartTenSec, 8, 1},     {Field::StartMinute, 9, 2},
    {Field::StartHour, 11, 2},      {Field::StartDay, 13, 2},       {Field::StartMonth, 15, 2},
    {Field::StartYear, 17, 2},      {Field::IntervalMinute, 20, 2}, {Field::IntervalHour, 22, 1},
    {Field::IntervalTenSec, 23, 1}, {Field::Reference1, 25, 3},     {Field::Side1, 28, 1},
    {Field::TestNo, 30, 2},         {Field::Range1, 33, 1},
};

// 65 characters for the two-temperature logger (no reference values).
inline constexpr FieldAt kIdentificationTwoTemperatures[] = {
    {Field::CardNo, 5, 2},          {Field::StartTenSec, 8, 1},     {Field::StartMinute, 9, 2},
    {Field::StartHour, 11, 2},      {Field::StartDay, 13, 2},       {Field::StartMonth, 15, 2},
    {Field::StartYear, 17, 2},      {Field::IntervalMinute, 20, 2}, {Field::IntervalHour, 22, 1},
    {Field::IntervalTenSec, 23, 1}, {Field::Upper1, 25, 3},         {Field::Lower1, 28, 3},
    {Field::Upper2, 32, 3},         {Field::Lower2, 35, 3},         {Field::TestNo, 39, 2},
    {Field::Range1, 42, 1},         {Field::Range2, 43, 1},         {Field::RecordLimit, 56, 4},
    {Field::Flags, 61, 1},
};

// The summary (1,4) of the two-channel loggers, and of the one-channel
// logger with the integrated value it sums itself.
inline constexpr FieldAt kSummaryTwoChannels[] = {
    {Field::Max1, 5, 3},        {Field::Min1, 8, 3},     {Field::Average1, 11, 3},
    {Field::Max2, 15, 3},       {Field::Min2, 18, 3},    {Field::Average2, 21, 3},
    {Field::LastRecord, 25, 4}, {Field::Errors1, 30, 3}, {Field::Errors2, 34, 3},
};
inline constexpr FieldAt kSummaryOneChannel[] = {
    {Field::Max1, 5, 3},        {Field::Min1, 8, 3},        {Field::Average1, 11, 3},
    {Field::Integrated, 15, 5}, {Field::LastRecord, 21, 4}, {Field::Errors1, 26, 3},
};

// A character that tells two models with answers of one length apart.
struct IdentificationMark {
    int position = 0;  // 0: none
    char character = 0;
};

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
    // The character that must stand at its place as well; the rows are
    // tried in order, so a row without one takes any answer of its length.
    IdentificationMark mark;
    std::span<const FieldAt> identification;
    std::span<const FieldAt> summary;
    // The position of the range/mode code set for the next recording (the
    // settings preparation reads it there); 0 = the identification's own.
    int nextRangeCodePosition;
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
    .mark = {51, 'A'},
    .identification = kIdentificationTwoChannels,
    .summary = kSummaryTwoChannels,
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

// Model 2: model 1 with twice the memory, 6000 records; its answer to 1,1
// has any other character where model 1's has "A".
constexpr LoggerModel withMemory(LoggerModel m, int number, int records) {
    m.number = number;
    m.mark = {};
    m.lastRecordIndex = records - 1;
    m.memoryRecords = records;
    return m;
}

// Model 3: one temperature channel with measuring ranges, 8000 records; no
// alarm values, no end reservation.
inline constexpr LoggerModel kModel3{
    .number = 3,
    .identificationLength = 49,
    .identification = kIdentificationOneChannel,
    .summary = kSummaryOneChannel,
    .nextRangeCodePosition = 34,
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
    .identification = kIdentificationTwoTemperatures,
    .summary = kSummaryTwoChannels,
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

// The position just after an answer's last field.
constexpr int fieldsEnd(std::span<const FieldAt> layout) {
    int end = 0;
    for (const FieldAt& f : layout) end = f.position + f.digits > end ? f.position + f.digits : end;
    return end;
}

}  // namespace quillet
