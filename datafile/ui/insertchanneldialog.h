// InsertChannelDialog: the data insertion dialog. It lists the channels of the
// chosen data file (staged in slots 9..16), shows the header values of the
// selected one and lets the user pick a free target channel.
#pragma once

#include "core/context.h"
#include "datafile/fileops.h"

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include <array>

namespace quillet {

// The eight value texts of a staged channel, in the order of their labels
// "開始時刻：", "測定間隔：", "　収録数：", "エラー数：", "　最高値：",
// "　最低値：", "　平均値：", "　積算値：".
std::array<QString, 8> insertValueTexts(const ChannelRecord& c);
// "パラメータ" and the unit of the channel's kind.
QString insertParameterText(int kind);
// A list entry: the channel's number in the file, then card and test number
// with the setting characters and the unit, as the grid's head shows them.
QString insertListText(const AppContext& ctx, const ChannelRecord& c, int fileChannel);

class InsertChannelDialog : public QDialog {
    Q_OBJECT
public:
    // The staged slots of ctx.store must be filled (inUse marks a used slot).
    InsertChannelDialog(AppContext& ctx, const QString& fileName, QWidget* parent = nullptr);

    // Ok: the chosen entry and channel; nothing after Cancel.
    std::optional<InsertChoice> choice() const { return choice_; }
    int insertTarget() const { return insertTarget_; }
    // The staged slot behind list entry index (0 when none).
    int slotOfEntry(int index) const;

    void onEntryChosen();
    void onTargetChosen(int index);   // 0..7 = channels A..H
    void onButtonClicked(int index);  // 0 Ok, 1 Cancel

    QLabel* Insfilename = nullptr;
    QListWidget* Insnolist = nullptr;
    QGroupBox* Frame1 = nullptr;  // "挿入CH"
    std::array<QRadioButton*, 8> InsertCH{};
    QLabel* Insertpara = nullptr;
    std::array<QLabel*, 8> Insvalue{};
    std::array<QPushButton*, 2> Command1{};

private:
    AppContext& ctx_;
    std::vector<int> slots_;  // list index -> staged slot
    int insertTarget_ = 0;
    std::optional<InsertChoice> choice_;
};

// The InsertDialog of the program: shows InsertChannelDialog modally.
class QtInsertDialog : public InsertDialog {
public:
    explicit QtInsertDialog(QWidget* parent = nullptr) : parent_(parent) {}
    std::optional<InsertChoice> choose(AppContext& ctx, const QString& fileName) override;

private:
    QWidget* parent_;
};

}  // namespace quillet
