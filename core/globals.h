// Mglobal: the process-wide records of the program — the channel store, the
// settings, the communication state and the pending logger. They are plain
// structs; AppContext (context.h) holds one of each for the whole run.
#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace quillet {

constexpr int kChannels = 8;         // channels 1..8 ("A".."H")
constexpr int kSlots = 16;           // header slots 9..16 stage an insertion
constexpr int kMaxSamples = 12000;   // samples per channel
constexpr int16_t kErrorSample = 9999;  // the logger could not measure
constexpr int16_t kNotSet = 9999;       // referenceValue not set

// One channel's header. Widths are those written to data files.
struct ChannelRecord {
    int16_t inUse = 0;
    int16_t kind = 0;  // 0 temperature, 1 temperature with alarms, 2 humidity
    int16_t cardNo = 0;
    int16_t testNo = 0;
    int16_t startYear = 0;
    int16_t startMonth = 0;
    int16_t startDay = 0;
    int16_t startHour = 0;
    int16_t startMinute = 0;
    int16_t startTenSec = 0;
    double startTime = 0;  // derived date value
    int16_t intervalHour = 0;
    int16_t intervalMinute = 0;
    int16_t intervalTenSec = 0;
    double interval = 0;  // derived date value
    int16_t rangeCode = 0;
    int16_t rangeLow = 0;
    int16_t referenceValue = kNotSet;
    int16_t referenceSide = 0;  // 0 "H", 8 "L"
    int32_t integratedValue = 0;
    int16_t maxValue = 0;
    int16_t minValue = 0;
    int16_t averageValue = 0;
    int16_t errorCount = 0;
    int16_t upperAlarm = 0;
    int16_t lowerAlarm = 0;
    int16_t sampleCount = 0;
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

// Result codes of one exchange with the reader.
enum CommResult : int16_t {
    kAccepted = 0,
    kFaulty = 1,  // also the cancel request and "stop quietly"
    kNoAnswer = 2,
    kCancelled = 3,
};

struct CommState {
    int16_t commStatus = 0;
    QByteArray receiveBuffer;
    bool timeoutElapsed = false;
};

// One logger channel as reported by identification and summary.
struct PendingChannel {
    int16_t rangeCode = 0;
    int16_t rangeLow = 0;
    int16_t referenceValue = kNotSet;
    int16_t referenceSide = 0;
    int32_t integratedValue = 0;  // model 3 only (channel 1)
    int16_t maxValue = 0;
    int16_t minValue = 0;
    int16_t averageValue = 0;
    int16_t errorCount = 0;
    int16_t upperAlarm = 0;
    int16_t lowerAlarm = 0;
    int16_t kind = 0;
};

// The logger on the reader, filled by the identification (1,1) and the
// summary (1,4); lives until the next identification.
struct PendingLogger {
    int16_t loggerModel = 0;  // 1..4, 0 = unsupported
    std::array<PendingChannel, 3> ch{};  // logger channels 1 and 2
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
    bool hasSecondsInterval = false;
    int16_t rangeModeCode = 0;  // model 3
    int16_t sampleCount = 0;
    int16_t recordLimit = 0;  // field + 1
    bool endlessFlag = false;  // model 4
    bool wrapFlag = false;     // model 4
    int16_t wrapPosition = 0;  // model 4, both flags set
};

// The graph's ranges, ticks, undo values and switches (graph/). Bounds are
// whole units, ticks tenths; refTemp/refHumid 9999 = not yet chosen.
struct GraphState {
    int16_t xStart = 1;
    int16_t xEnd = 1;
    int16_t xManual = 0;
    int16_t tempMin = 0;
    int16_t tempMax = 100;
    int16_t tempManual = 0;
    int16_t humidMin = 0;
    int16_t humidMax = 100;
    int16_t humidManual = 0;
    int16_t xTick = 1;
    int16_t tempTick = 200;
    int16_t humidTick = 200;
    int16_t autoXStart = 1;
    int16_t autoXEnd = 1;
    int16_t autoTempMin = 0;
    int16_t autoTempMax = 0;
    int16_t autoHumidMin = 0;
    int16_t autoHumidMax = 0;
    int16_t hasTemp = 0;
    int16_t hasHumid = 0;
    int16_t prevXStart = 0;
    int16_t prevXEnd = 0;
    int16_t prevTempMin = 0;
    int16_t prevTempMax = 0;
    int16_t prevHumidMin = 0;
    int16_t prevHumidMax = 0;
    int16_t undoAvailable = 0;
    int16_t labelsOn = 0;
    int16_t lineWidth = 1;
    int16_t refLineOn = 0;
    int16_t refTemp = 9999;
    int16_t refHumid = 9999;
    float dragStartX = 0;
    float dragStartY = 0;
    float dragEndX = 0;
    float dragEndY = 0;
    // channelColor[1..9] (RGB): the sixteen-colour palette entries 1, 2, 3,
    // 4, 5, 6, 12, 13, 10; the graph window changes them per channel.
    std::array<uint32_t, kChannels + 2> channelColor{0,        0x000080, 0x008000, 0x008080, 0x800000,
                                                     0x800080, 0x808000, 0xFF0000, 0xFF00FF, 0x00FF00};
};

// The job of the current print (mprint): printKind 0 whole list, 1 partial
// list, 2 parameters, 3 graph; the rows of the partial list.
struct PrintState {
    int16_t printKind = 0;
    int16_t printFirstRow = 0;
    int16_t printLastRow = 0;
};

inline bool isTwoChannelModel(int loggerModel) {
    return loggerModel == 1 || loggerModel == 2 || loggerModel == 4;
}

}  // namespace quillet
