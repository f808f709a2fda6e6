// RecordingSettingsDialog: the recording settings dialog ("クイレット設定"). Shows the
// settings of the logger on the reader, applies the rules of
// loggerset/settingrules.h as the user edits, and on OK runs the writer.
// During the usual communication it is loaded without being shown and
// presses OK itself at the end of loading.
//
// Controls keep their names (objectName): comboCardno, comboTestno,
// Realtime, Starttimeset, scStarttimeset, Logendnoset, comboIntervalset,
// intcheck, comboSecint, Rectypeop (property "index": 0 "ワンタイム",
// 1 "エンドレス"), comboLogrange1, comboBasetempset1/2, Basehlset1/2
// (index 0 "H(上側）", 1 "L(下側）"), ComboHalmtempset1/2,
// ComboLalmtempset1/2, chkRock, comOkng (index 0 OK, 1 Cancel), Command2
// "No.設定", HideDefSetButton "初期設定", barsetting and the frames
// Logch1set/Logch2set (index 0 reference, 1 alarms).
#pragma once

#include "comm/settingswriter.h"
#include "loggerset/settingrules.h"

#include <QDialog>
#include <QPointer>

#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTimer;

class QGridLayout;
class QHBoxLayout;
class QVBoxLayout;

namespace quillet {

class SettingCharactersDialog;

// The writer the dialog's OK runs: writeSettings, or a test's script.
using SettingsWriterFn = std::function<void(AppContext&, const RecordingSettings&, int loggerModel,
                                            const std::function<void(int)>& barsetting)>;

class RecordingSettingsDialog : public QDialog {
    Q_OBJECT
public:
    // Loads the dialog from what the preparation read. Unseen (the usual
    // communication), it opens with the usual start time and confirms itself
    // before returning (the writer has run; see written()).
    enum class Shown { Window, Unseen };
    RecordingSettingsDialog(AppContext& ctx, const PendingLogger& current, SettingsWriterFn writer = writeSettings,
                            QWidget* parent = nullptr, Shown shown = Shown::Window);
    ~RecordingSettingsDialog() override;

    const SettingsState& state() const { return state_; }
    bool written() const { return written_; }  // OK ran the writer
    bool unseen() const { return unseen_; }

    // Controls, for the callers and the tests.
    QComboBox *comboCardno = nullptr, *comboTestno = nullptr, *comboIntervalset = nullptr, *comboSecint = nullptr,
              *comboLogrange1 = nullptr;
    std::array<QComboBox*, 3> comboBasetempset{}, ComboHalmtempset{}, ComboLalmtempset{};  // [1], [2]
    std::array<std::array<QRadioButton*, 2>, 3> Basehlset{};
    std::array<QRadioButton*, 2> Rectypeop{};
    std::array<std::array<QGroupBox*, 2>, 3> Logchset{};  // [channel][0 reference, 1 alarms]
    QLabel* Realtime = nullptr;
    QLineEdit *Starttimeset = nullptr, *Logendnoset = nullptr;
    QScrollBar* scStarttimeset = nullptr;
    QCheckBox *intcheck = nullptr, *chkRock = nullptr;
    std::array<QPushButton*, 2> comOkng{};
    QPushButton *Command2 = nullptr, *HideDefSetButton = nullptr;
    QProgressBar* barsetting = nullptr;
    QTimer* Realclock = nullptr;

    // Handlers.
    void onButtonClicked(int index);
    void onNumberSettingsClicked();
    void onFactorySettingsClicked();
    void onClockTick();
    void onStartTimeEdited();
    void onRecordLimitEdited();
    void onStartTimeSpun(int value);
    void onIntervalChosen(int index);
    void onSecondsIntervalChosen(int index);
    void onSecondsIntervalToggled();
    void onRecordModeChosen(int index);
    void onRangeChosen(int index);
    void onAlarmEdited(bool upper, int channel);
    void onReferenceEdited(int channel);
    void onLockToggled();

    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void buildNumbersAndTimes(QGridLayout& form, int& row);
    void buildModeAndRange(QGridLayout& form, int& row);
    QHBoxLayout* buildChannelFrames();
    void buildFoot(QVBoxLayout& top);
    void connectControls();
    void fillNumberLists();
    void showState();
    void applyVisibility();
    void showRule(const RuleOutcome& r, QWidget* focusBack);
    void keep(QComboBox* box);
    void stopClock();

    AppContext& ctx_;
    SettingsWriterFn writer_;
    SettingsState state_;
    SettingsState heldState_;  // as opened from the logger, with its start
    bool unseen_ = false;
    bool written_ = false;
    bool checking_ = false;  // a rule's message is up: focus changes are not edits
    QPointer<SettingCharactersDialog> para_;
    std::array<QString, 3> keptReference_, keptUpper_, keptLower_;
    QLabel* endLabel_ = nullptr;
    QLabel* alarmTitle_ = nullptr;
    QGroupBox* intervalSeconds_ = nullptr;
    QGroupBox* modeFrame_ = nullptr;
    QGroupBox* rangeFrame_ = nullptr;
};

// The dialog in the program: shown modally, or, during the usual
// communication, loaded unseen (it confirms itself) and unloaded again.
class QtSettingsDialog : public SettingsDialog {
public:
    explicit QtSettingsDialog(QWidget* parent, SettingsWriterFn writer = writeSettings,
                              RecordingSettingsDialog::Shown shown = RecordingSettingsDialog::Shown::Window)
        : parent_(parent), writer_(std::move(writer)), shown_(shown) {}
    void run(AppContext& ctx, const PendingLogger& current) override;

private:
    QWidget* parent_;
    SettingsWriterFn writer_;
    RecordingSettingsDialog::Shown shown_;
};

}  // namespace quillet
