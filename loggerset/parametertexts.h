// The read-out parameter window's logic (ReadoutParametersWindow): what the logger on
// the reader holds, as the window shows it per logger channel; the choice of
// the grid channels that receive the logger channels; and the report of read
// alarm values that lie outside the logger's range.
#pragma once

#include "comm/commstate.h"
#include "core/context.h"
#include "core/records.h"

#include <QColor>
#include <QString>
#include <QStringList>

#include <array>

namespace quillet {

// The value labels of one logger channel, by the label each fills.
struct ReadoutParameterChannelTexts {
    QString ctno;            // Rctnoval: card text "-" test text
    QString startTime;       // Rstarttimeval
    QString endTime;         // Rendtimeval
    QString interval;        // Rinterval
    QString recordMode;      // Rrectypeval
    QString range;           // Rrangeval
    QString dataCount;       // Rdatacountval
    QString errorCount;      // Rerrorcountval
    QString maxValue;        // Rmaxval
    QString minValue;        // Rminval
    QString averageValue;    // Ravgval
    QString integrated;      // Rsekival
    QString reference;       // Rbaseval
    QString upperAlarm;      // Rhalmval
    QString lowerAlarm;      // Rlalmval
    QString frameCaption;    // Rscale: "温度 [ﾟC ]", "湿度 [%RH]", "温度A[ﾟC ]" ...
    QString storageCaption;  // Dropchlist / Dropchlist2: "温度", "湿度", "温度A" ...
};

struct ReadoutParameterTexts {
    std::array<ReadoutParameterChannelTexts, 3> ch{};  // logger channels [1], [2]
    bool recordModeShown = false;                      // Rrectypetitle / Rrectypeval (models 3 and 4)
    bool secondShown = false;                          // the second logger channel's frames
    QColor secondColour;                               // the second channel's text colour (invalid = default)
};

// Every text of the window, from ctx.pendingLogger and the setting
// characters of the card and test numbers.
ReadoutParameterTexts readoutParameterTexts(const AppContext& ctx);

// The storage channels ("格納CH"): the choice of each row (1..8, 0 = none)
// and which of its options "A".."H" are enabled ([1..8]).
struct StorageChoice {
    int first = 0, second = 0;
    std::array<bool, 9> firstEnabled{}, secondEnabled{};
};

// The first logger channel goes to the lowest free grid channel, the second
// (two-channel loggers) to the lowest free one after that; options of
// channels in use are disabled, and each row's choice is disabled in the
// other row.
StorageChoice initialStorageChoice(const ChannelStore& s, bool twoChannels);

// The user picks option `channel` in row 1 or 2. A new choice re-enables the
// row's old choice in the other row and disables the new one there; picking
// the current choice, a disabled option or anything outside 1..8 changes
// nothing. Returns whether the choice changed.
bool pickStorage(StorageChoice& c, int row, int channel);

// Whether OK may start the transfer: the logger holds records, and every
// logger channel has its own grid channel.
bool readyToTransfer(const PendingLogger& p, const StorageChoice& c);

// The channels the choice sends the logger's channels to (0 for the second
// of a one-channel logger).
Destinations destinationsOf(const PendingLogger& p, const StorageChoice& c);

// The window loaded without being shown (the usual communication): the
// initial storage channels for ctx.pendingLogger.
Destinations chooseInitialDestinations(const AppContext& ctx);

// The read alarm values outside the logger's range (tenths): the lines of
// the message's sections (models 1, 2: one section per failing channel;
// model 4: one section for all four values; model 3: none), and which
// logger channels failed ([1], [2]; on model 4 both when any value failed).
struct ReadAlarmSections {
    QStringList lines;
    std::array<bool, 3> bad{};
};
ReadAlarmSections readAlarmSections(const PendingLogger& p);

// The check of the read alarm values: the message text, empty when every
// value lies inside the logger's range (and always for model 3). Nothing is
// changed. The window shows it with the error icon under kReadAlarmTitle.
QString readAlarmWarning(const PendingLogger& p);
inline constexpr const char16_t* kReadAlarmTitle = u"機器設定読み込み";

}  // namespace quillet
