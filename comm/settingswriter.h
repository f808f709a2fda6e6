// Writing recording settings to the logger: the preparation before the
// recording settings dialog (status, unlock, identification) and the writer
// that the dialog's OK runs, one setting command after another.
#pragma once

#include "comm/commstate.h"
#include "comm/recordingsettings.h"
#include "core/catalog.h"
#include "core/records.h"

#include <QList>

#include <functional>

namespace quillet {

struct AppContext;

// The recording settings dialog (RecordingSettingsDialog): shown modally, or loaded
// unseen during the usual communication, where it confirms itself. Its OK
// runs writeSettings. Returns when the dialog has closed.
class SettingsDialog {
public:
    virtual ~SettingsDialog() = default;
    virtual void run(AppContext& ctx, const PendingLogger& current) = 0;
};

// What the preparation does when the writing would erase a recording
// unasked. The windows tell the user and go on, as they always have;
// headless callers, where nobody answers, stop before any setting.
enum class BusyLogger {
    TellAndGoOn,
    Stop,                 // a logger recording, waiting for its start, or with an unreadable status
    StopOrUnreadRecords,  // the same, and a logger whose summary reports records
};

// How the preparation ended.
enum class Preparation {
    DialogRan,
    Failed,         // a request failed (told), or an unknown model
    LoggerBusy,     // stopped: recording, waiting, or an unreadable status (told)
    UnreadRecords,  // stopped: the logger holds records (nothing told)
};

// The menu handler "収録設定(&S)": status (1,3); a locked logger is
// unlocked (2,1 "2"); identification (1,1; model 3 read twice, the dialog
// takes its range/mode code from position 34); then dialog.run with what was
// read. Each request has its 5 attempts. A request that stays unanswered
// shows "応答がありません。", a faulty one (or an identification no model
// has, after its own message) "正しく設定できませんでした。", both under
// "ロガー設定", and the dialog is not opened; the status keeps that result
// (1 or 2). A logger that is recording or waiting for its start is reported
// ("収録中又は収録予約中です。") and the preparation goes on without unlocking
// it, unless whenBusy says to stop; BusyLogger::StopOrUnreadRecords also reads
// the summary (1,4) and stops at a logger holding records. A stop leaves
// status Faulty and opens no dialog. After the dialog has closed
// status is Accepted.
Preparation prepareSettings(AppContext& ctx, SettingsDialog& dialog, BusyLogger whenBusy = BusyLogger::TellAndGoOn);

// Sends settings to a logger of loggerModel, one step after another: card
// 3,5, test 3,6, record mode 3,7 (models 3, 4), interval 3,3, references
// 3,4 (models 1..3), alarms 3,8 and 3,9 as one step (models 1, 2, 4), record
// limit 3,0 (models 1, 2, 4), clock 3,1, start 3,2 and the lock 2,1 ("1";
// model 4 "2" unless lockLogger). barsetting(step) is called as each step
// begins (9 steps, 8 on model 3); each command has 5 attempts and is
// followed by a pause of setCommandWait ms. The alarms of models 1 and 2
// are counted from the range bottoms of ctx.pendingLogger (the
// identification the preparation read).
//
// Just before 3,2 the start is checked: a start that is not later than
// both the clock sent (settings.clockTime) and the PC's present minute
// (ctx.clock) becomes the present time + 1 minute. An invalid clockTime
// sends the PC's present time.
//
// status Accepted when every command was acknowledged. At the first command
// that is not (after its attempts, a port error or a cancel): barsetting(0),
// status Faulty, and nothing after it is sent; when steps before it were
// acknowledged the logger is half-set, and message 80 under "ロガー設定"
// names the items written and those not. A port error is shown under the
// caption of its step ("カードNo.", "警報", ...). Returns the start time sent
// (to the minute), or an invalid QDateTime when the writer stopped before.
// Once every command is acknowledged, the status bar says what was written
// (settingsWrittenText).
QDateTime writeSettings(AppContext& ctx, const RecordingSettings& settings, int loggerModel,
                        const std::function<void(int)>& barsetting);

// The same, telling which steps were acknowledged.
struct WrittenSteps {
    QList<Caption> acknowledged;  // in the order sent
    QList<Caption> notWritten;    // the step that failed and those after it
};
QDateTime writeSettingsNotingSteps(AppContext& ctx, const RecordingSettings& settings, int loggerModel,
                                   const std::function<void(int)>& barsetting, WrittenSteps& steps);

// The captions joined as the message lists them ("カードNo.、テストNo.").
QString stepList(const QList<Caption>& captions);

// What a write put into a logger once every command was acknowledged.
struct WrittenSettings {
    RecordingSettings settings;  // as handed to the writer
    QDateTime startSent;         // the start 3,2 carried, to the minute
    int loggerModel = 0;
};

// What a write put into a logger of loggerModel, for the status bar:
// "ロガーに設定を書き込みました（開始 2026-12-08 08:00、間隔 00:15）", with
// "、終了 …" when the model keeps an end reservation and one was set, and
// "間隔 10秒" for a seconds interval.
QString settingsWrittenText(const RecordingSettings& settings, const QDateTime& startSent, int loggerModel);

}  // namespace quillet
