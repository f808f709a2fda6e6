// DeleteChannelsDialog: the channel deletion dialog (menu "データ削除(&D)" and the toolbar
// button "ＣＨデータを削除"). The user picks one channel or all; the chosen
// columns are marked in the main window's grids while the dialog asks.
#pragma once

#include "core/context.h"

#include <QDialog>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include <array>
#include <functional>

namespace quillet {

class DeleteChannelsDialog : public QDialog {
    Q_OBJECT
public:
    // mark(deleteSelection) marks the columns in the grids: -1 none, 0 all,
    // 2..9 one channel column.
    DeleteChannelsDialog(AppContext& ctx, std::function<void(int)> mark, QWidget* parent = nullptr);

    // 0 = all channels, 2..9 = the data-grid column of the chosen channel.
    int deleteSelection() const { return deleteSelection_; }

    void onChannelChosen(int index);  // 0..7 channels A..H, 8 "全データ削除"
    void onButtonClicked(int index);  // 0 Ok, 1 Cancel

    QGroupBox* Frame1 = nullptr;
    std::array<QRadioButton*, 9> Option1{};
    std::array<QPushButton*, 2> delbutton{};

protected:
    void reject() override;  // the window's close box acts as Cancel

private:
    AppContext& ctx_;
    std::function<void(int)> mark_;
    int deleteSelection_ = 0;
};

}  // namespace quillet
