// The logger simulator's device model: a reader with one logger on it, as
// seen from the serial line. Bytes written by the host go in through
// receive(); the reader's answers come out through take(). The model builds
// every answer with its own code (tools/sim/wire.h) and never uses the
// program's protocol code, so a fault shared with the program cannot hide.
//
// Models: 1 and 2 are the temperature + humidity loggers (identification of
// 71 characters, position 51 "A" on model 1), 3 the one-channel temperature
// logger with integrated value (49 characters), 4 the two-channel
// temperature logger with memory wrap (65 characters).
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

namespace quillet::sim {

// A point in time as the logger keeps it (start time, clock).
struct LoggerTime {
    int year = 2013;  // four digits; the wire carries the last two
    int month = 11;
    int day = 15;
    int hour = 9;
    int minute = 0;
    int tenSec = 0;  // tens of seconds (models 3 and 4 only)
    bool operator==(const LoggerTime&) const = default;
};

// Faults the device can be told to show. Every count is "off" at its default.
struct Faults {
    bool silence = false;      // never answers
    bool garbage = false;      // answers junk bytes (no STX, ending CR LF)
    bool nak = false;          // setting commands (groups 2 and 3) answered NAK CR LF
    int brokenBlock = 0;       // 1-based block of the 1,2 answer whose STX is spoilt
    int cutAfter = -1;         // an answer stops after this many characters
    int disconnectAfter = -1;  // the line goes dead after this many characters of the 1,2 answer
    int identLength = 0;       // identification answer stretched or shortened to this length
    int failFirst = 0;         // the faults above hit only the first n matching requests
                               // (with no fault chosen, those requests go unanswered)
    std::vector<int> only;     // commands (group * 10 + number) the faults hit; empty = all
};

// A while in which logger channel 1 leaves its daily curve (a door left
// open): from record `first` (0-based) for `records` records, raised by up
// to `tenths` (0.1 units) in the middle of the while. Generated curves only.
struct Excursion {
    int first = -1;  // -1: none
    int records = 0;
    int tenths = 0;
};

struct Config {
    int model = 2;
    int records = 600;  // records per logger channel (ignored for a full wrapped model 4)
    uint32_t seed = 1;  // seed of the generated curves

    int cardNo = 1;    // 0..255
    int testNo = 1;    // 0..255
    LoggerTime start;  // start of the recording held
    LoggerTime clock;  // the logger's clock (set by 3,1; reported nowhere)
    int intervalHour = 0;
    int intervalMinute = 10;
    int intervalTenSec = 0;  // models 3 and 4

    // -1 = the model's default (see resolved()).
    int rangeCode[2] = {-1, -1};      // model 3: the range/mode code 1..3, 6..8
                                      // of the recording held (position 33)
    int nextRangeCode = -1;           // model 3: the code set for the next recording
                                      // (position 34); -1 = the same as rangeCode[0]
    int referenceRaw[2] = {-1, -1};   // raw reference value, 0xFFF = not set
    int referenceSide[2] = {-1, -1};  // 0 = H, 8 = L
    int upperAlarmRaw[2] = {-1, -1};
    int lowerAlarmRaw[2] = {-1, -1};
    int recordLimit = -1;  // end reservation field (models 1, 2, 4)
    int flags = 0;         // model 4: 2 = endless, 1 = wrapped; both = a full wrapped memory
    int wrapPosition = 1;  // model 4 with both flags: memory record written last (1..6000)

    QByteArray status = "22";  // the two status characters s1 s2 of the 1,3 answer
    int errorSamples = 3;      // error samples (1023) scattered into each generated channel
    Excursion excursion;
    bool strict = false;  // refuse (NAK) setting commands while locked or recording
    int speed = 1;        // the logger's clock runs this many times faster

    // Explicit raw values (memory order, 0..1023) instead of generated curves;
    // used when rawRecords1 is not empty.
    std::vector<int> rawRecords1;
    std::vector<int> rawRecords2;

    Faults faults;
};

// Facts of the models.
int channelCount(int model);          // 1 for model 3, else 2 (0 for an unknown model)
int valuesPerBlock(int model);        // values of one channel per 88-character block: 32 or 16
int identificationLength(int model);  // 71, 71, 49, 65
int memorySize(int model);            // records per channel a logger holds: 3000, 6000, 8000, 6000
int rangeLowOf(int rangeCode);        // bottom of the measuring range, 0.1 units

// The configuration with every "model default" (-1) filled in and the
// values brought into the ranges their fields can carry.
Config resolved(const Config& config);

// A problem with the configuration that a user should hear about (empty
// when there is none).
QString validate(const Config& config);

// One command the device received.
struct Received {
    int group = 0;
    int number = 0;
    QByteArray data;
    int64_t ms = 0;  // the device's time source when it arrived
};

// A received command as the log shows it: "g,n" and, when there is data, a
// blank and the data (characters outside 0x21..0x7E as <XX> in hex), e.g.
// "3,5 A1" or "1,1".
QByteArray frameText(const Received& command);

// Monotonic milliseconds: the device's time source. The executable uses the
// system's steady clock; tests hand in their virtual clock.
using MillisecondSource = std::function<int64_t()>;
MillisecondSource steadyMilliseconds();

// A recording started by the host: after 3,2 (start time, memory erased)
// the lock command 2,1 sets it going. Until the start time on the logger's
// clock the status reports "3" (waiting), then "1" (recording) while records
// accumulate at the interval, and "0" once a one-time recording has taken
// its last record (the record limit of models 1, 2, 4, or the memory). An
// endless model 4 overwrites its oldest records (and sets its wrap flag);
// an endless model 3 keeps its first memory-full. A setting command (group
// 3) stops the recording.
enum class Recording { none, armed, started };

class Device {
public:
    // now: the time source of the logger's clock (config.speed times faster
    // than it); the system's steady clock when empty.
    explicit Device(const Config& config, MillisecondSource now = {});

    // Bytes written by the host, any chunking. Every complete frame (ending
    // in LF) is answered; a frame the reader does not understand is ignored.
    void receive(const QByteArray& fromHost);
    // The next bytes the device sends (up to maxBytes); empty when none is ready.
    QByteArray take(int maxBytes);
    int pending() const;
    // The "disconnect" fault was reached: the line is dead, nothing more is sent.
    bool disconnected() const { return disconnected_; }

    // Inspection for tests. Raw 10-bit values per logger channel (1, 2) in
    // memory order, 1023 = error sample.
    const std::vector<int>& rawRecords(int channel) const;
    int model() const { return config_.model; }
    int recordCount() const;
    int cardNo() const { return config_.cardNo; }
    int testNo() const { return config_.testNo; }
    int intervalHour() const { return config_.intervalHour; }
    int intervalMinute() const { return config_.intervalMinute; }
    int intervalTenSec() const { return config_.intervalTenSec; }
    const LoggerTime& start() const { return config_.start; }
    const LoggerTime& clock() const { return config_.clock; }
    int rangeCode(int channel) const { return config_.rangeCode[index(channel)]; }
    int nextRangeCode() const { return config_.nextRangeCode; }
    int referenceRaw(int channel) const { return config_.referenceRaw[index(channel)]; }
    int referenceSide(int channel) const { return config_.referenceSide[index(channel)]; }
    int upperAlarmRaw(int channel) const { return config_.upperAlarmRaw[index(channel)]; }
    int lowerAlarmRaw(int channel) const { return config_.lowerAlarmRaw[index(channel)]; }
    int recordLimit() const { return config_.recordLimit; }
    int flags() const;
    int wrapPosition() const;
    bool endless() const;
    bool locked() const { return config_.status.at(1) == '1'; }
    // s1 s2 as the status answer reports them now.
    QByteArray status() const;
    Recording recording() const { return recording_; }
    // The logger's clock now (it runs from the last 3,1, or from
    // config.clock, config.speed times faster than the time source).
    LoggerTime loggerNow() const;
    // Every command received, in order.
    const std::vector<Received>& received() const { return received_; }
    // The same as the --log file shows them, without the time: frameText().
    QList<QByteArray> log() const;
    // Commands answered so far (faulty answers and silence included).
    int requestCount() const { return static_cast<int>(received_.size()); }

    // The answers as they would be sent without faults (for tests and tools).
    QByteArray identificationAnswer() const;
    QByteArray summaryAnswer() const;
    QByteArray statusAnswer() const;
    QByteArray valuesAnswer() const;

    // Integrated value of channel 1 as the summary reports it (model 3).
    int integratedValue() const;

private:
    static int index(int channel) { return channel == 2 ? 1 : 0; }
    void answer(const Received& command);
    QByteArray settingAnswer(const Received& command);
    bool faultHits(const Received& command);
    void clearRecords();
    // Brings a started recording up to the logger's clock: takes the
    // records that are due.
    void catchUp() const;
    // Records a one-time recording takes at most.
    int64_t recordingLimit() const;
    // Group 3 data checks: NAK for what the model does not take or a value
    // outside its field's range; applies it otherwise.
    QByteArray settingThree(const Received& command);

    Config config_;
    MillisecondSource now_;
    int64_t clockSetMs_ = 0;  // time source when the clock was last set
    Recording recording_ = Recording::none;
    // A started recording: records are taken up to the logger's clock.
    mutable std::vector<int> records_[2];
    mutable int64_t taken_ = 0;  // records taken by the recording started
    mutable int wrapFlags_ = 0;  // model 4: the wrap flag set by a recording
    mutable int wrapPosition_ = 1;
    QByteArray in_;
    QByteArray out_;
    std::vector<Received> received_;
    int faultsUsed_ = 0;
    int disconnectAt_ = -1;  // characters of out_ still to send before the line dies
    bool disconnected_ = false;
};

}  // namespace quillet::sim
