// The recording settings dialog answered without a window: it keeps what
// the preparation read and, on OK (the default), writes `settings` to the
// logger through the writer, recording the progress bar and the result.
#pragma once

#include "comm/settingswriter.h"
#include "core/context.h"

#include <optional>
#include <vector>

namespace quillet::fakes {

struct ScriptedSettingsDialog : SettingsDialog {
    bool ok = true;
    RecordingSettings settings;

    std::optional<PendingLogger> shown;  // what the preparation read
    std::vector<int> bar;                // every barsetting value
    int writeStatus = -1;                // commStatus after the writer
    QDateTime startSent;

    void run(AppContext& ctx, const PendingLogger& current) override {
        shown = current;
        if (!ok) return;
        startSent = writeSettings(ctx, settings, current.loggerModel, [this](int v) { bar.push_back(v); });
        writeStatus = int(ctx.comm->status);
    }
};

}  // namespace quillet::fakes
