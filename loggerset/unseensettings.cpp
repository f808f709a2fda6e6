#include "loggerset/unseensettings.h"

#include "loggerset/settingssummary.h"

#include "comm/protocol.h"

#include "core/catalog.h"
#include "core/context.h"

namespace quillet {

void UnseenSettingsDialog::run(AppContext& ctx, const PendingLogger& current) {
    opened = true;
    const QDateTime now = ctx.clock->now();
    const QDateTime opening = start.isValid() ? start : initialStartTime(now);
    LoadedSettings loaded = initialSettings(current, now, opening, ctx.loggerSet->lockChoice);
    if (!loaded.readAlarmText.isEmpty())
        ctx.messages->show(QString::fromUtf16(kReadAlarmBoxTitle), loaded.readAlarmText, kOkOnly | kIconError);
    heldState = heldSettingsState(loaded.state);
    if (edit && !edit(ctx, loaded.state)) return;

    state = loaded.state;
    settings = recordingSettings(state);
    loggerModel = state.loggerModel();
    const int steps = settingSteps(loggerModel);
    const auto bar = [this, steps](int step) {
        if (progress) progress(steps, step);
    };
    bar(0);
    startSent = writeSettings(ctx, settings, loggerModel, bar);
    written = true;
    status = ctx.comm->status;
    if (status != Exchange::Accepted)
        showMessage(ctx, failureCaption, Msg::ReadError, kOkOnly);
    else if (ctx.loggerSet->settingsWritten)
        ctx.loggerSet->settingsWritten(heldState, state);
}

std::optional<WrittenSettings> UnseenSettingsDialog::writtenSettings() const {
    if (!written || status != Exchange::Accepted) return std::nullopt;
    return WrittenSettings{settings, startSent, loggerModel};
}

UnseenSettingsDialog usualSettingsStep(AppContext& ctx, const QDateTime& startTime, BusyLogger busy) {
    UnseenSettingsDialog dialog;
    dialog.start = startTime;
    dialog.progress = ctx.comm->progress;
    dialog.preparation = prepareSettings(ctx, dialog, busy);
    if (dialog.opened)
        ctx.comm->status = dialog.written ? dialog.status : Exchange::Faulty;
    else if (ctx.comm->status == Exchange::Accepted)
        ctx.comm->status = Exchange::Faulty;
    return dialog;
}

}  // namespace quillet
