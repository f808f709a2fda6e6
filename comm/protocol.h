// The reader's wire format: command frames, the number encoding, the data of
// the setting commands and the parsers of the answers to 1,1 1,2 1,3 and 1,4.
// Everything here is pure (bytes in, values out) except the few functions
// that take the AppContext, which read receiveBuffer, fill pendingLogger or
// the sample table and show the parsers' messages.
//
// Positions count characters of the whole answer from 1 (position 1 is STX,
// the first field character is position 5). Numbers are hexadecimal; a field
// of two or more digits carries its least significant digit first.
#pragma once

#include "comm/commands.h"
#include "comm/commstate.h"
#include "comm/recordingsettings.h"
#include "core/loggermodels.h"
#include "core/records.h"

#include <QByteArray>
#include <QList>

#include <vector>

namespace quillet {

struct AppContext;

constexpr char kStx = 0x02;
constexpr char kEtx = 0x03;
constexpr char kAck = 0x06;
constexpr char kLf = 0x0A;
constexpr char kCr = 0x0D;
constexpr char kNak = 0x15;
constexpr char kEtb = 0x17;

// Characters of one 1,2 block, and records per block.
constexpr int kBlockLength = 88;
constexpr int kRecordsPerBlockOneChannel = 32;
constexpr int kRecordsPerBlockTwoChannels = 16;

// ---- Number encoding --------------------------------------------------

// The value in upper-case hexadecimal, padded with "0" on the left to width
// characters; a value needing more digits keeps them all. Negative values
// give "0" digits (no field carries a sign).
QByteArray hexField(int value, int width);
// The characters of text in reverse order.
QByteArray reverseDigits(const QByteArray& text);
// A field as sent: reverseDigits(hexField(value, width)), the value first
// clamped to what width digits can hold so that the frame keeps its layout.
QByteArray encodeField(int value, int width);
// Reads the field text: reversed, then hexadecimal up to the first character
// that is not a hex digit; empty reads 0.
int decodeField(const QByteArray& fieldText);
// The field of `digits` characters at 1-based `position` of an answer.
// Characters past the end of the answer are not there (so never read).
int readField(const QByteArray& answer, int position, int digits);

// ---- Frames -----------------------------------------------------------

// STX " " group "," " " number ["," data] "," ETX CR LF. group and number
// are single digits 0..9.
QByteArray commandFrame(int group, int number, const QByteArray& data);

// ---- Answer to 1,1: identification -------------------------------------

// The logger model told by the answer's length (71 with "A" at 51: 1; other
// 71: 2; 49: 3; 65: 4), 0 for any other length.
int modelFromIdentification(const QByteArray& answer);

// Fills the identification fields of `logger` (and resets its summary
// fields) from the 1,1 answer; returns loggerModel, 0 = unsupported (the
// record is then cleared apart from loggerModel 0). secondCode = 1 takes the
// model 3 range code from position 34 instead of 33.
int parseIdentification(const QByteArray& answer, int secondCode, PendingLogger& logger);

// The same on ctx.comm->receiveBuffer into ctx.pendingLogger-> An unsupported
// answer shows message 12 under caption 2 and sets status Faulty.
int parseIdentification(AppContext& ctx, int secondCode);

// ---- Answer to 1,4: summary --------------------------------------------

// Fills the summary fields of `logger` (model from its loggerModel). false
// when the answer is too short to hold its fields, or reports more records
// than a channel can take (kMaxSamples); `logger` is then unchanged and the
// caller treats the answer as faulty (result 1).
bool parseSummary(const QByteArray& answer, PendingLogger& logger);
// A logger that records endlessly and has filled its memory: its records
// start after the newest one (wrapPosition).
bool memoryWrapped(const PendingLogger& p);
bool parseSummary(AppContext& ctx);

// ---- Answer to 1,3: status ---------------------------------------------

enum class LoggerStatus {
    locked = 1,     // s2 = "1"
    ready = 2,      // "22" or "02"
    recording = 3,  // s1 = "1" or "3": recording or waiting for its start
    readError = 4,  // malformed answer, or any other pair
};
LoggerStatus readStatus(const QByteArray& answer);

// readStatus of the last answer; a logger recording (message 15) and an
// unreadable status (message 13) are told under caption 1.
LoggerStatus parseStatus(AppContext& ctx);

// ---- Answer to 1,2: recorded values --------------------------------------

// Blocks read for sampleCount records: (sampleCount − 1) \ perBlock + 1.
int blockCount(int sampleCount, bool twoChannels);

struct BlockDecoding {
    bool twoChannels = true;
    int sampleCount = 0;  // records per channel, 0..kMaxSamples
    int16_t rangeLow1 = 0;
    int16_t rangeLow2 = 0;
    // Model 4 full memory (both flags): the memory position of the newest
    // record; records p+1 .. sampleCount come first. 0 = no rotation.
    int wrapPosition = 0;
};

// Decodes the 1,2 answer into the samples of channel 1 (and 2): sampleCount
// values each, 9999 for the raw value 1023, raw + rangeLow otherwise. false
// (outputs cleared) when a block is missing or cut short, does not begin
// with STX or end with LF, or sampleCount is outside 0..kMaxSamples.
bool decodeBlocks(const QByteArray& answer, const BlockDecoding& how, std::vector<int16_t>& channel1,
                  std::vector<int16_t>& channel2);

// The same on ctx.comm->receiveBuffer and ctx.pendingLogger, into the sample
// table of to.first (and to.second when twoChannels), samples
// 1..sampleCount; the model 4 memory wrap is undone. On failure the status
// becomes Faulty and the sample table is left as it was.
bool decodeBlocks(AppContext& ctx, Destinations to, bool twoChannels);

// ---- Data of the setting commands ----------------------------------------

QByteArray cardNoData(int cardNo);                    // 3,5
QByteArray testNoData(int testNo);                    // 3,6
QByteArray recordModeData(RecordMode mode);           // 3,7
QByteArray intervalData(const RecordingSettings& s);  // 3,3
// 3,4; a reference not set goes as "FFF", so the logger keeps it unset.
QByteArray referenceData(const RecordingSettings& s, int loggerModel);
// 3,8 (channel 1) and 3,9 (channel 2). rangeLow is the channel's (models 1,
// 2); model 4 always counts from -40.0.
QByteArray alarmData(const RecordingSettings& s, int channel, int loggerModel, int16_t rangeLow);
QByteArray recordLimitData(int recordLimit);  // 3,0
// 3,1 and 3,2: minute, hour, day, month, two-digit year.
QByteArray dateTimeData(const QDateTime& t);
QByteArray lockData(const RecordingSettings& s, int loggerModel);  // 2,1

// One command of the writer: the progress step it belongs to, the command,
// its data and the caption (catalogue number) that names the step.
struct SettingCommand {
    int step;
    int group;
    int number;
    QByteArray data;
    int captionNo;
};

// The commands that write `s` to a logger of logger.loggerModel, in the
// order they are sent (the alarms of both channels share one step), with
// the channels' rangeLow from `logger`. Empty for an unsupported model.
QList<SettingCommand> settingCommands(const RecordingSettings& s, const PendingLogger& logger);
// The progress steps of writing settings to a logger of the model (0 for
// an unknown model).
int settingSteps(int model);

}  // namespace quillet
