// The usual communication's windows: the settings dialog fMacro
// ("いつもの通信設定") and the progress window fMacroView ("いつもの通信中"),
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

class MAIN;

class fMacro : public QDialog {
    Q_OBJECT
public:
    explicit fMacro(AppContext& ctx, QWidget* parent = nullptr);

    // OkNg(0) saves the choice in the general settings; OkNg(1) leaves.
    void OkNg_Click(int index);

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

class fMacroView : public QDialog, public UsualView {
    Q_OBJECT
public:
    fMacroView(AppContext& ctx, UsualSteps steps, QWidget* parent = nullptr);

    // UsualView.
    void setMode(const QString& text) override;
    void showSummary(const UsualSummary& summary) override;

    void tMacroStart_Timer();
    void tTenmetu_Timer();
    // The transfer's Cancel: ends the read-out, and with it the run.
    void cmdCancel_Click();

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
    UsualSteps steps_;
    UsualBlink blink_;
    UsualOutcome outcome_;
    bool started_ = false;
    bool running_ = false;
};

// mItumo_Click: the check of the task, then fMacroView modally.
void mItumo_Click(AppContext& ctx, const UsualSteps& steps, QWidget* parent);

// Attaches mItumo and mItumoSet.
void wireUsualCommunication(MAIN& window, AppContext& ctx, UsualSteps steps);

}  // namespace quillet
