// VersionWindow: the version window (menu "バージョン情報(&V)"). Shift + D toggles
// the debug mode, which shows or hides the monitor entry "連続読み出し";
// any D while the debug mode is on reloads the timing settings file.
#pragma once

#include "core/context.h"
#include "core/version.h"

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <array>
#include <functional>

namespace quillet {

class VersionWindow : public QDialog {
    Q_OBJECT
public:
    // setMonitorVisible shows or hides the main window's monitor entry.
    VersionWindow(AppContext& ctx, std::function<void(bool)> setMonitorVisible, QWidget* parent = nullptr);

    // A key pressed anywhere in the window (it sees keys before its controls).
    void onKeyDown(int key, Qt::KeyboardModifiers modifiers);

    std::array<QLabel*, 2> Verlabel{};  // 0 version, 1 date
    QGroupBox* Frame1 = nullptr;        // "対応機種"
    QLabel* LaVer = nullptr;
    QPushButton* verdispok = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void showDebugColour();

    AppContext& ctx_;
    std::function<void(bool)> setMonitorVisible_;
};

}  // namespace quillet
