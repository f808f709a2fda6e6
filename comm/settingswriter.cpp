#include "comm/settingswriter.h"

#include "core/context.h"

namespace quillet {

CurrentLoggerSettings currentLoggerSettings(const PendingLogger& p) {
    CurrentLoggerSettings c;
    c.loggerModel = p.loggerModel;
    c.cardNo = p.cardNo;
    c.testNo = p.testNo;
    c.intervalHour = p.intervalHour;
    c.intervalMinute = p.intervalMinute;
    c.intervalTenSec = p.intervalTenSec;
    c.hasSecondsInterval = p.hasSecondsInterval;
    for (size_t ch = 1; ch <= 2; ++ch) {
        c.upperAlarm[ch] = p.ch[ch].upperAlarm;
        c.lowerAlarm[ch] = p.ch[ch].lowerAlarm;
        c.referenceValue[ch] = p.ch[ch].referenceValue;
        c.referenceSide[ch] = p.ch[ch].referenceSide;
        c.kind[ch] = p.ch[ch].kind;
    }
    c.rangeModeCode = p.rangeModeCode;
    c.endlessFlag = p.endlessFlag;
    return c;
}

// Placeholders until the writer lands: nothing is sent, and the run counts
// as failed.
void prepareSettings(AppContext& ctx, SettingsDialog&) { ctx.comm.commStatus = kFaulty; }

void writeSettings(AppContext& ctx, const RecordingSettings&, int, const std::function<void(int)>& barsetting) {
    if (barsetting) barsetting(0);
    ctx.comm.commStatus = kFaulty;
}

}  // namespace quillet
