// What electronic records mode asks of the headless code (ChangeRecorder):
// a changed setting with the user's reason, and a data file that no longer
// matches its read-out in the archive, both into the trail.
#pragma once

#include "audit/programrecords.h"
#include "core/platform.h"

#include <functional>
#include <optional>

namespace quillet {
struct AppContext;
}

namespace quillet::audit {

// Asks the reason of a change of what; nothing for Cancel.
using ReasonPrompt = std::function<std::optional<QString>(const QString& what)>;

class TrailChanges : public ChangeRecorder {
public:
    TrailChanges(AppContext& ctx, ProgramRecords& records, ReasonPrompt askReason)
        : ctx_(ctx), records_(records), askReason_(std::move(askReason)) {}
    bool settingChanging(const QString& what, const QString& before, const QString& after) override;
    void dataFileOpened(const QString& path) override;
    void imported(const QString& paths, const QString& summary) override;

private:
    AppContext& ctx_;
    ProgramRecords& records_;
    ReasonPrompt askReason_;
};

}  // namespace quillet::audit
