// The program's records: the channel store with its channel headers, the
// settings files' values, the folders and the layout. AppContext (context.h)
// holds one of each for the whole run; the graph, print and communication
// state live in their own folders.
#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace quillet {

constexpr int kChannels = 8;            // channels 1..8 ("A".."H")
constexpr int kSlots = 16;              // header slots 9..16 stage an insertion
constexpr int kMaxSamples = 12000;      // samples per channel
constexpr int16_t kErrorSample = 9999;  // the logger could not measure
constexpr int16_t kNotSet = 9999;       // referenceValue not set

// What a channel measures. The numbers are the "kind" field of data files,
// which a damaged file may fill with any other number (then none of these).
enum class ChannelKind : int16_t {
    Temperature = 0,            // no alarm values
    TemperatureWithAlarms = 1,  // alarm values in the header
    Humidity = 2,               // with alarm values
};
constexpr bool isTemperature(int kind) { return kind == 0 || kind == 1; }
constexpr bool isHumidity(int kind) { return kind == 2; }
constexpr bool hasAlarmValues(int kind) { return kind == 1 || kind == 2; }

// One channel's header: what a logger reports of one of its channels
// (identification and summary; the fields both channels share are in
// each), and what the store keeps of it. Widths are those written to data
// files. Values are tenths of °C or %RH.
struct ChannelHeader {
    int16_t kind = 0;  // a ChannelKind
    int16_t cardNo = 0;
    int16_t testNo = 0;
    int16_t startYear = 0;
    int16_t startMonth = 0;
    int16_t startDay = 0;
    int16_t startHour = 0;
    int16_t startMinute = 0;
    int16_t startTenSec = 0;
    int16_t intervalHour = 0;
    int16_t intervalMinute = 0;
    int16_t intervalTenSec = 0;
    int16_t rangeCode = 0;
    int16_t rangeLow = 0;
    int16_t referenceValue = kNotSet;
    int16_t referenceSide = 0;  // 0 "H", 8 "L"
    int32_t integratedValue = 0;
    int16_t maxValue = 0;
    int16_t minValue = 0;
    int16_t averageValue = 0;
    int16_t errorCount = 0;
    int16_t upperAlarm = 0;  // kinds with alarm values only
    int16_t lowerAlarm = 0;
    int16_t sampleCount = 0;
};

// A channel of the store: its header, whether it is in use, and what the
// time axis derives from it.
struct ChannelRecord : ChannelHeader {
    int16_t inUse = 0;
    double startTime = 0;   // derived date value
    double interval = 0;    // derived date value
    int16_t rowOffset = 0;  // derived
};

// The channel store. ch[1..8] are the channels, ch[9..16] the staging slots
// of an insertion; ch[0] is never used. samples[c][i] is sample i (1-based)
// of channel c.
struct ChannelStore {
    std::array<ChannelRecord, kSlots + 1> ch{};
    std::vector<std::array<int16_t, kMaxSamples + 1>> samples =
        std::vector<std::array<int16_t, kMaxSamples + 1>>(kChannels + 1);

    int16_t channelsInUse = 0;
    int16_t referenceChannel = 0;
    double axisStart = 0;
    double axisInterval = 0;
    int16_t rowCount = 0;
    int16_t unsavedRead = 0;
    int16_t unsavedEdit = 0;
    QString currentFileName;
    // The data file the channels were opened from or last saved to; empty
    // when they come from elsewhere. An overwrite save asks before it
    // replaces any other existing file.
    QString dataFileName;

    // Insertion staging: file offset of each staged slot's samples, and the
    // slot of the n-th block of the file (1-based; 0 = none).
    std::array<qint64, kSlots + 1> stagedSampleOffset{};
    std::array<int16_t, kChannels + 1> fileChannelSlot{};
};

// qlet7.dat
struct GeneralSettings {
    std::array<QString, 256> settingCharCard{};
    std::array<QString, 256> settingCharTest{};
    int16_t comPort = 1;
    int16_t usualCommunicationTask = 0;
    int16_t usualCommunicationNaming = 0;
    QString usualCommunicationStartTime = QStringLiteral("12:00");
    int16_t tempManual = 0;
    int16_t humidManual = 0;
    int16_t tempMax = 100;
    int16_t tempMin = 0;
    int16_t humidMax = 100;
    int16_t humidMin = 0;
};

// qlet7time.dat
struct TimingSettings {
    int16_t setCommandWait = 10;
    int16_t commandWait = 10;
    int16_t readTimeout = 1000;
};

// qlot7debug.dat
struct DebugSettings {
    bool debugMode = false;
    int16_t waitAfterCommandRead = 0;
};

// Folders and files, built once at start-up.
struct Folders {
    QString settingsFolder;
    QString documentsFolder;
    QString dataFolder;  // documentsFolder + separator
    QString settingsFile;
    QString timingFile;
    QString debugFile;
    QString numberFolder;
    QString dateFolder;
    QString helpFile;
};

// Layout values fixed at start-up from the screen class.
struct LayoutValues {
    int designWidth = 1024;
    int designHeight = 680;
    int fontSize = 11;
    int lineTwips = 165;
    int rowTwips = 248;
};

}  // namespace quillet
