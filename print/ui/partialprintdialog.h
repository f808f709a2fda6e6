// PartialPrintDialog ("部分印刷"): the range of a partial list print, by row number,
// by time or by scroll bar, in the frames "開始設定" and "終了設定". The rules
// live in PartialPrintForm (print/partialprint.h); the window shows its state.
#pragma once

#include "print/partialprint.h"
#include "print/printjobs.h"

#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include <array>

namespace quillet {

class PartialPrintDialog : public QDialog {
    Q_OBJECT
public:
    explicit PartialPrintDialog(AppContext& ctx, QWidget* parent = nullptr);

    // The box lost the focus or Enter was pressed in it.
    void boxLeft(PartialPrintForm::Box box);
    void onButtonClicked(int index);  // 0 OK, 1 Cancel

    QGroupBox* Frame1 = nullptr;  // 開始設定
    QGroupBox* Frame2 = nullptr;  // 終了設定
    QLineEdit* tStartNo = nullptr;
    QLineEdit* tStartTime = nullptr;
    QLineEdit* tEndNo = nullptr;
    QLineEdit* tEndTime = nullptr;
    QScrollBar* sctStartNo = nullptr;
    QScrollBar* sctEndNo = nullptr;
    std::array<QPushButton*, 2> OkNg{};

    PartialPrintForm form;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QLineEdit* box(PartialPrintForm::Box b) const;
    int boxOf(QObject* o) const;  // -1 for another widget
    void showForm();
};

// The partial print dialog of printDispatch: PartialPrintDialog over parent.
class QtPartialPrintPrompt : public PartialPrintPrompt {
public:
    explicit QtPartialPrintPrompt(QWidget* parent = nullptr) : parent_(parent) {}
    std::optional<AxisRows> chooseRows(AppContext& ctx) override;

private:
    QWidget* parent_;
};

}  // namespace quillet
