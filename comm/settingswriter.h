// Writing recording settings to the logger: the preparation before the
// recording settings dialog (status, unlock, identification) and the writer
// that the dialog's OK runs, one setting command after another.
#pragma once

#include "comm/recordingsettings.h"
#include "core/globals.h"

#include <functional>

namespace quillet {

struct AppContext;

// What the preparation read from the logger: the identification's fields
// of pendingLogger and the model.
struct CurrentLoggerSettings {
    int16_t loggerModel = 0;
    int16_t cardNo = 0;
    int16_t testNo = 0;
    int16_t intervalHour = 0;
    int16_t intervalMinute = 0;
    int16_t intervalTenSec = 0;
    bool hasSecondsInterval = false;
    // Per logger channel [1], [2]; [0] unused. Tenths; 9999 = not set.
    std::array<int16_t, 3> upperAlarm{};
    std::array<int16_t, 3> lowerAlarm{};
    std::array<int16_t, 3> referenceValue{kNotSet, kNotSet, kNotSet};
    std::array<int16_t, 3> referenceSide{};  // 0 "H", 8 "L"
    std::array<int16_t, 3> kind{};
    int16_t rangeModeCode = 0;  // model 3: 1..3 one-time, 6..8 endless
    bool endlessFlag = false;   // model 4
};

CurrentLoggerSettings currentLoggerSettings(const PendingLogger& p);

// The recording settings dialog (LOGSETLIST): shown modally, or loaded
// unseen during the usual communication, where it confirms itself. Its OK
// runs writeSettings. Returns when the dialog has closed.
class SettingsDialog {
public:
    virtual ~SettingsDialog() = default;
    virtual void run(AppContext& ctx, const CurrentLoggerSettings& current) = 0;
};

// The menu handler "収録設定(&S)": status (1,3), unlock of a locked logger
// (2,1 "2"), identification (1,1), then the dialog; failure messages under
// caption "ロガー設定".
void prepareSettings(AppContext& ctx, SettingsDialog& dialog);

// Sends settings step by step (3,5 3,6 3,7 3,3 3,4 3,8/3,9 3,0 3,1 3,2 2,1 as
// the model takes them), calling barsetting(step) after each step is begun;
// commStatus 0 when every command was acknowledged, 1 (and barsetting(0))
// at the first one that was not after its attempts.
void writeSettings(AppContext& ctx, const RecordingSettings& settings, int loggerModel,
                   const std::function<void(int)>& barsetting);

}  // namespace quillet
