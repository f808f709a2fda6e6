// The usual communication ("いつもの通信"): the one-click visit to a logger.
// It reads the logger without windows, saves its data under an automatic
// name, empties the store and then writes the next recording settings —
// which erase the logger's memory. So the settings step runs only once the
// data is safely in a file: a failed or cancelled read-out, a failed save, a
// declined overwrite or a saved file that does not read back whole ends the
// run before it, and the logger keeps its records.
#pragma once

#include "comm/commstate.h"
#include "comm/settingswriter.h"
#include "core/context.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>

namespace quillet {

// What a run does.
enum class UsualRun {
    ByDate,    // read + save under a date name (file mode 6) + set
    ByNumber,  // read + save under card and test number (mode 7) + set
    SetOnly,   // set only
};

// The 48 start times of cMacroSet: "00:00", "00:30", "01:00" ... "23:30".
QStringList usualStartTimes();

// The captions of the options oMacroSel (task 0, 1) and oMacroSave (naming
// 0, 1), as the settings dialog and the progress window show them.
QString usualTaskCaption(int task);
QString usualNamingCaption(int naming);

// The settings as UsualCommunicationDialog selects them. Values it cannot show (a task or a
// naming other than 0 and 1, a time not in the list) are a load error: all
// three fall back to 0, 0 and "12:00".
struct UsualChoices {
    int16_t task = 0;
    int16_t naming = 0;
    QString startTime = QStringLiteral("12:00");
};
UsualChoices usualChoices(const GeneralSettings& g);

// The start of the next recording: today at hhnn ("hh:nn"), or the same time
// tomorrow when now, taken to the minute, is not earlier. An unreadable hhnn
// counts as "12:00".
QDateTime usualStartTime(const QDateTime& now, const QString& hhnn);

// startUsualCommunication's check. Task 0 with data on screen: message 71 under
// "いつもの通信", and nothing. Otherwise the run the settings ask for.
std::optional<UsualRun> beginUsualCommunication(AppContext& ctx);

// The window's way past that refusal: with data on screen for a reading
// task, message 71 asks whether to save the data first (Yes: "名前を付けて
// 保存", then clear; No: clear unsaved; Cancel: stop). True when the screen
// is empty (or the task only sets the logger) and the run can go on; a
// save that is not written keeps the data and stops.
bool clearScreenForUsual(AppContext& ctx);

// The steps the run hands to other windows.
struct UsualSteps {
    // The read-out parameter window loaded without being shown: the
    // channels it chooses for ctx.pendingLogger.
    std::function<Destinations(AppContext&)> chooseDestinations;
    // The settings step: the settings preparation with the recording
    // settings dialog loaded unseen, confirming itself with the recording to
    // start at startTime (ctx.general.usualCommunicationStartTime holds the
    // chosen "hh:nn").
    // Returns what it wrote, nothing unless every setting was acknowledged.
    std::function<std::optional<WrittenSettings>(AppContext&, const QDateTime& startTime)> settingsStep;
};

// The summary of the logger read, as UsualCommunicationWindow's value labels show it.
struct UsualSummary {
    QString start;  // lStart: "yy-mm-dd hh:nn:ss"
    QString data;   // lData: the number of records
    // lAve, lMin, lMax: [0] logger channel 1 ("0.0"), [1] logger channel 2
    // ("0" for humidity, "0.0" for model 4; empty for one-channel loggers).
    std::array<QString, 2> ave, min, max;
    // The card and test number as the setting characters show them: "001 / 002".
    QString cardTest;
};

// What UsualCommunicationWindow shows while the run goes on.
class UsualView {
public:
    virtual ~UsualView() = default;
    virtual void setMode(const QString& text) = 0;  // lMode
    virtual void showSummary(const UsualSummary& summary) = 0;
};

struct UsualOutcome {
    bool settingsRan = false;                      // the settings step was called
    Exchange settingsStatus = Exchange::Accepted;  // as the settings step left it
    std::optional<WrittenSettings> written;        // what the settings step reports it wrote
    QString savedFile;                             // the file written and read back whole; empty when none
    QString archiveWord;                           // what the archive said of the saved read-out; empty when fine
    bool hadRecords = false;
    UsualSummary summary;
    QDateTime startTime;  // what the settings step was given
};

// The run of UsualCommunicationWindow (the first tick of tMacroStart). The
// main window stays busy (disabled) for the whole run; once it is given
// back, its status bar says what was written, as after any write. After an
// abort of a reading run the store is empty, and status is Accepted.
UsualOutcome runUsualCommunication(AppContext& ctx, UsualRun run, const UsualSteps& steps, UsualView& view);

// The word after a run: the saved file with its full path, and what went
// into the logger ("ロガーに設定を書き込みました（開始 …）", or "ロガーへの設定の
// 書き込みは完了していません。" when the settings step ran but reports nothing
// written). One line each; empty when the run neither saved nor set.
QString usualOutcomeText(const UsualOutcome& outcome);
// Its line on the logger alone.
QString usualSettingsText(const UsualOutcome& outcome);

// The saved file holds exactly the store's channels in use, each with all
// of its samples.
bool savedFileIntact(const ChannelStore& store, const QString& fileName);

// tTenmetu: lMode is shown for 1.8 s and hidden for 0.2 s.
struct UsualBlink {
    static constexpr int kShownMs = 1800;
    static constexpr int kHiddenMs = 200;
    bool visible = true;
    int intervalMs = kShownMs;  // until the next tick
    void tick() {
        visible = !visible;
        intervalMs = visible ? kShownMs : kHiddenMs;
    }
};

}  // namespace quillet
