// SettingCharactersDialog: the setting characters of card and test numbers
// ("ロガーパラメータ設定"). Two grids of 256 numbers, `CardGrid` and
// `TestGrid` (column 0 the number "000", column 1 its character, the only
// column edited); the buttons `comSetchar` "設定字の削除", `comSort`
// "ソート" and `comOkng` (index 0 OK, 1 Cancel). All editing acts on working
// copies (loggerset/settingchars.h); OK copies them into the general
// settings and saves the settings file; Cancel and closing the window leave
// the settings alone.
#pragma once

#include "loggerset/settingchars.h"

#include <QDialog>

#include <array>

class QPushButton;
class QTableView;

namespace quillet {

struct AppContext;
class SettingCharModel;

class SettingCharactersDialog : public QDialog {
    Q_OBJECT
public:
    explicit SettingCharactersDialog(AppContext& ctx, QWidget* parent = nullptr);
    ~SettingCharactersDialog() override;

    QTableView* grid(int which) const { return grids_[size_t(which)]; }  // kCardGrid, kTestGrid
    QPushButton* command(int index) const { return commands_[size_t(index)]; }
    const SettingCharEditor& editor() const { return editor_; }

    // Handlers.
    void onButtonClicked(int index);
    void onSetCharacterClicked();
    void onSortClicked();
    void reject() override;

    // The grid models' hooks: an edit starts and ends in a grid.
    void editStarted(int which);
    void editEnded(int which, int row, const QString& text);

private:
    void refreshGrids();

    AppContext& ctx_;
    SettingCharEditor editor_;
    std::array<QTableView*, 3> grids_{};
    std::array<SettingCharModel*, 3> models_{};
    std::array<QPushButton*, 2> commands_{};
};

}  // namespace quillet
