// What a logger held and what it was given, in the same words, for the
// audit trail's entry of a settings write.
#pragma once

#include "loggerset/settingrules.h"

#include <QString>

namespace quillet {

// The settings dialog's values in a line: "モデル 4 / カード-テスト 005-012 /
// 間隔 00:10 / 開始 2026-12-08 09:00 / 終了 ... / CH1 上限/下限 30/10 / ...".
QString settingsStateText(const SettingsState& s);

// The dialog's values as they opened from the logger, with the start the
// logger held (the dialog itself opens with a new one).
SettingsState heldSettingsState(const SettingsState& opened);

}  // namespace quillet
