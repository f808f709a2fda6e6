// Choosing the reader's port: the automatic search over ports 1..16 and the
// manual choice of the port dialog. Either way the chosen number becomes
// comPort and is saved with the general settings.
#pragma once

#include "comm/serialport.h"

#include <QString>

namespace quillet {

struct AppContext;

// "自動設定": asks message 25 first, then tries the identification request on
// ports 1..16 (5 attempts each; ports that cannot be opened are skipped at
// once). Returns the port found, or 0 (message 19, the serial port set to 1
// for this session, comPort and the settings file unchanged).
int searchPort(AppContext& ctx);

// "手動設定" OK: tests that port n opens, then makes it comPort and saves the
// settings. false (message shown, the serial port back on comPort) when the
// port cannot be opened; the dialog then stays open.
bool choosePort(AppContext& ctx, int n);

// The texts of the port dialog's error boxes for a port that is not there
// (8002) or in use (8005).
QString manualPortErrorText(PortFault fault);

}  // namespace quillet
