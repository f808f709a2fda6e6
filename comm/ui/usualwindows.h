// The usual communication's windows: the settings dialog UsualCommunicationDialog
// ("いつもの通信設定") and the progress window UsualCommunicationWindow ("いつもの通信中"),
// with the menu entries mItumo and mItumoSet of the main window.
#pragma once

#include "comm/usual.h"

#include <QDialog>

#include <array>

class QComboBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;

namespace quillet {

class MainWindow;

class UsualCommunicationDialog : public QDialog {
    Q_OBJECT
public:
    explicit UsualCommunicationDialog(AppContext& ctx, QWidget* parent = nullptr);

    // OkNg(0) saves the choice in the general settings; OkNg(1) leaves.
    void onButtonClicked(int index);

    QGroupBox* fMacroStartTime = nullptr;
    QComboBox* cMacroSet = nullptr;
    QGroupBox* fMacroSave = nullptr;
    std::array<QRadioButton*, 2> oMacroSave{};
    QGroupBox* fMacroSel = nullptr;
    std::array<QRadioButton*, 2> oMacroSel{};
    std::array<QPushButton*, 2> OkNg{};

private:
    AppContext& ctx_;
};

class UsualCommunicationWindow : public QDialog, public UsualView {
    Q_OBJECT
public:
    UsualCommunicationWindow(AppContext& ctx, UsualRun run, UsualSteps steps, QWidget* parent = nullptr);

    // UsualView.
    void setMode(const QString& text) override;
    void showSummary(const UsualSummary& summary) override;

    void onStartTimer();
    void onBlinkTimer();
    // The transfer's Cancel: ends the read-out, and with it the run.
    void onCancelClicked();

    const UsualOutcome& outcome() const { return outcome_; }

    QLabel* mSetTime = nullptr;
    QLabel* mSetSave = nullptr;
    QLabel* mSetMode = nullptr;
    QGroupBox* fPara = nullptr;
    std::array<QLabel*, 5> label1{};
    QLabel* lStart = nullptr;
    QLabel* lData = nullptr;
    std::array<QLabel*, 2> lAve{}, lMin{}, lMax{};
    QLabel* lMode = nullptr;
    QProgressBar* barReadout = nullptr;
    QPushButton* cmdCancel = nullptr;
    QTimer* tMacroStart = nullptr;
    QTimer* tTenmetu = nullptr;

protected:
    void showEvent(QShowEvent* e) override;
    void reject() override;  // Esc and the close box: the Cancel while reading, else nothing

private:
    AppContext& ctx_;
    UsualRun run_;
    UsualSteps steps_;
    UsualBlink blink_;
    UsualOutcome outcome_;
    bool started_ = false;
    bool running_ = false;
};

// startUsualCommunication: the check of the task, then UsualCommunicationWindow modally.
// Afterwards a word (showUsualOutcome) names the saved file and what the
// logger got.
void startUsualCommunication(AppContext& ctx, const UsualSteps& steps, QWidget* parent);

// The word after a run, over parent and not modal, with "フォルダを開く" for
// the saved file's folder in the desktop's file manager.
void showUsualOutcome(QWidget* parent, const QString& savedFile, const QString& text);

// Attaches mItumo and mItumoSet.
void wireUsualCommunication(MainWindow& window, AppContext& ctx, UsualSteps steps);

}  // namespace quillet
