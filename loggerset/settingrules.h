// The recording settings dialog's logic (RecordingSettingsDialog), without a window: the
// choice lists of every logger model, the values the dialog opens with, and
// the rules that check and derive its items as the user edits them. Every
// rule works on one SettingsState (the values of one open dialog) and
// returns the message the dialog shows, if any; the replacement value is
// already in the state. The finished state becomes the RecordingSettings
// that the writer sends.
//
// Without a window (the usual communication, the command line):
//     LoadedSettings l = initialSettings(current, now, initialStartTime(now), ctx.loggerSet->lockChoice);
//     RuleOutcome r = checkStartTime(l.state, "2013-11-20 08:00");  // r.messageNo 0 = accepted
//     RecordingSettings s = recordingSettings(l.state);
#pragma once

#include "comm/recordingsettings.h"
#include "comm/serialport.h"
#include "comm/settingswriter.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>

namespace quillet {

// ---- Choice lists -----------------------------------------------------------

// Intervals from the first to the last record of a full memory: 2999
// (model 1), 5999 (models 2 and 4); model 3 has no end reservation (0).
int lastRecordIndex(int loggerModel);

// comboCardno / comboTestno: for 0..255 the setting character, else "000".
QStringList numberChoices(const std::array<QString, 256>& settingChars);
// comboIntervalset: "00:01" … "00:59", "01:00" (item i = i + 1 minutes).
QStringList intervalChoices();
// comboSecint: "10" … "50".
QStringList secondsChoices();
// comboLogrange1 (model 3): "-40～　60", "　0～100", " 50～150".
QStringList rangeChoices();
// The start of measuring range 0..2 (-40, 0, 50).
int rangeStart(int rangeIndex);
// The alarm lists of a model's channel (1 or 2); empty where not offered.
// The lower list always starts one unit below the upper list.
QStringList upperAlarmChoices(int loggerModel, int channel);
QStringList lowerAlarmChoices(int loggerModel, int channel);

// ---- The dialog's values --------------------------------------------------

struct SettingsState {
    PendingLogger current;  // as read from the logger
    QDateTime now;          // Realtime: the clock as last shown, to the minute
    int cardNo = 0;         // comboCardno / comboTestno list positions
    int testNo = 0;
    QString startText;                // Starttimeset, "yyyy-mm-dd hh:nn"
    QString endText;                  // Logendnoset (models 1, 2, 4)
    int intervalIndex = 0;            // comboIntervalset: 0 "00:01" … 59 "01:00"
    bool useSecondsInterval = false;  // intcheck (models 3, 4)
    int secondsIndex = 0;             // comboSecint: 0 "10" … 4 "50"
    int recordMode = -1;              // Rectypeop: oneTime, endless, -1 none picked
    int measuringRange = -1;          // comboLogrange1 (model 3): 0..2, -1 none picked
    int referenceListStart = -40;     // model 3: the first item of the CH1 reference list
    // Per logger channel [1], [2]; [0] unused.
    std::array<QString, 3> referenceText;    // comboBasetempset1/2
    std::array<int16_t, 3> referenceSide{};  // Basehlset1/2: 0 "H", 8 "L"
    std::array<QString, 3> upperText;        // ComboHalmtempset1/2
    std::array<QString, 3> lowerText;        // ComboLalmtempset1/2
    bool lockLogger = false;                 // chkRock (model 4)
    int recordLimit = 0;                     // intervals from start to end reservation

    int loggerModel() const { return current.loggerModel; }
};

// The reference list of a channel as the state offers it (model 3: from
// referenceListStart); empty where not offered.
QStringList referenceChoices(const SettingsState& s, int channel);

// What a rule asks the dialog to show: 0 = accepted, nothing shown; else a
// message of the catalogue (caption 1 "ロガー設定", OK button) with its
// arguments (messages 30 and 32).
struct RuleOutcome {
    int messageNo = 0;
    QStringList args;
    bool accepted() const { return messageNo == 0; }
};

// The start the dialog opens with: now + 1 minute; during the usual
// communication (its start time given) today at usualStartTime ("hh:nn"),
// or tomorrow when the present minute is not earlier than that. To the
// minute.
QDateTime initialStartTime(const QDateTime& now, const QString& usualStartTime = {});

// What the settings dialog keeps for the whole run (never read from a
// logger): the last state of its lock check box.
struct LoggerSetState {
    bool lockChoice = false;
    // After a settings write the logger acknowledged: what it held (the
    // dialog's values as they opened, with the logger's own start) and what
    // it got. Electronic records mode puts both in the trail.
    std::function<void(const SettingsState& held, const SettingsState& written)> settingsWritten;
};

// The values the dialog opens with. readAlarmText is the "警報値異常です！"
// box (empty when the read alarm values were in range); the alarm values it
// names are already reset in the state.
struct LoadedSettings {
    SettingsState state;
    QString readAlarmText;
};
inline constexpr const char16_t* kReadAlarmBoxTitle = u"機器設定読み込み";
LoadedSettings initialSettings(const PendingLogger& current, const QDateTime& now, const QDateTime& start,
                               bool lockChoice);

// The read alarm values (tenths) outside the model's range are reset; the
// text of the box, or empty.
QString checkReadAlarms(PendingLogger& current);

// endText = start + lastRecordIndex × interval; recordLimit = lastRecordIndex.
// Nothing for model 3 or a start that cannot be parsed.
void defaultEndReservation(SettingsState& s);

// The start time typed (leaving the box, Enter): accepted when now < start
// ≤ now + 180 days (messages 30, 31 otherwise; the start becomes now + 1
// minute). The state's startText holds the result either way.
RuleOutcome checkStartTime(SettingsState& s, const QString& text);
// The end reservation typed: snapped to whole intervals (messages 32, 33
// otherwise; the end becomes the latest one).
RuleOutcome checkEndReservation(SettingsState& s, const QString& text);

// The spin control: +1 a minute later, -1 a minute earlier, then
// checkStartTime; nothing at the limits.
RuleOutcome spinStartTime(SettingsState& s, int step);

// The clock timer: now becomes the clock (to the minute); a start no longer
// later than now moves to now + 1 minute (no message) and the end follows.
// Returns whether the start moved.
bool clockTick(SettingsState& s, const QDateTime& now);

// Picks and their derived effects.
void pickInterval(SettingsState& s, int index);
void setSecondsInterval(SettingsState& s, bool on);
void pickSecondsInterval(SettingsState& s, int index);
void pickRecordMode(SettingsState& s, RecordMode mode);
// Model 3: the reference list follows the new range start; the reference
// value stays when it lies in the new range, else is clamped to it.
void rebuildReferenceList(SettingsState& s, int rangeIndex);

// What the dialog enables.
bool endReservationEditable(const SettingsState& s);
// Model 3 with a range the logger reported: the writer sends no range, so
// the logger keeps that one, and the range cannot be picked.
bool measuringRangeFixed(const SettingsState& s);
inline constexpr const char16_t* kFixedRangeTip =
    u"ロガーが報告した測定範囲です。測定範囲はロガーに書き込まれないため、ここでは変更できません"
    u"（ロガー側の測定範囲に従います）。";

// Leaving an alarm or reference box of channel 1 or 2. previousText is the
// box's kept text (restored when the text is no list item).
RuleOutcome checkUpperAlarm(SettingsState& s, int channel, const QString& previousText);
RuleOutcome checkLowerAlarm(SettingsState& s, int channel, const QString& previousText);
RuleOutcome checkReferenceValue(SettingsState& s, int channel, const QString& previousText);

// "初期設定": list positions of the factory choices (-1 = left alone).
struct FactoryChoices {
    int cardNo = 255;
    int testNo = 255;
    std::array<int, 3> reference{-1, -1, -1};
    std::array<int, 3> upper{-1, -1, -1};
    std::array<int, 3> lower{-1, -1, -1};
};
FactoryChoices factoryChoices(int loggerModel);
void applyFactoryChoices(SettingsState& s);

// The record the writer sends. clockTime is the clock as last shown.
RecordingSettings recordingSettings(const SettingsState& s);

// The clock timer keeps the reader's link alive: the status request 1,3 is
// sent without waiting for its answer (the next exchange empties the input).
// None, or the port's fault (nothing is shown; the port is closed again).
PortFault sendStatusRequest(AppContext& ctx);

}  // namespace quillet
