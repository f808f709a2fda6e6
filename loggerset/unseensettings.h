// The recording settings dialog without a window. During the usual
// communication the dialog is loaded unseen and confirms itself with the
// values it opens with (the start at the chosen time of day); quillet-cli
// set opens it the same way and edits it through the dialog's rules before
// confirming. Either way the writer's result is kept here, since the
// preparation sets the status to Accepted once the dialog has closed.
#pragma once

#include "comm/commstate.h"
#include "comm/settingswriter.h"
#include "core/catalog.h"
#include "loggerset/settingrules.h"

#include <QDateTime>

#include <functional>
#include <optional>

namespace quillet {

class UnseenSettingsDialog : public SettingsDialog {
public:
    // The start the dialog opens with; invalid: initialStartTime().
    QDateTime start;
    // Edits the opened values as a user would; false leaves the dialog
    // without writing (Cancel).
    std::function<bool(AppContext&, SettingsState&)> edit;
    // The dialog's progress bar barsetting: (steps, step) as the writer
    // begins each step (9 steps, 8 on model 3), (steps, 0) before the first.
    std::function<void(int steps, int step)> progress;

    // The caption of message 13 when the writer stops: caption 2, as the
    // dialog's OK shows it; quillet-cli set names what it was doing.
    Caption failureCaption = Caption::LoggerRead;

    // Loads the values of `current` (the read-alarm box shown when it has
    // something to say), edits them, and writes them; when the writer
    // stops, message 13 under failureCaption.
    void run(AppContext& ctx, const PendingLogger& current) override;

    bool opened = false;                            // the preparation reached the dialog
    bool written = false;                           // the writer ran
    Exchange status = Exchange::Faulty;             // as the writer left it
    SettingsState state;                            // the dialog's values as they were written
    SettingsState heldState;                        // as they opened from the logger, its start too
    RecordingSettings settings;                     // what was handed to the writer
    QDateTime startSent;                            // the start 3,2 carried; invalid when not sent
    Preparation preparation = Preparation::Failed;  // how usualSettingsStep's preparation ended
    int loggerModel = 0;                            // the model written to

    // What the writer put into the logger; nothing unless every setting
    // was acknowledged.
    std::optional<WrittenSettings> writtenSettings() const;
};

// The usual communication's settings step: the preparation with the unseen
// dialog opening at startTime, its progress shown through ctx.comm->progress
// (the progress window's bar). Leaves in the status the result of the
// settings: the preparation's failure, 1 when the dialog did not write,
// else the writer's result. busy as prepareSettings takes it. Returns the
// dialog with what it wrote.
UnseenSettingsDialog usualSettingsStep(AppContext& ctx, const QDateTime& startTime,
                                       BusyLogger busy = BusyLogger::TellAndGoOn);

}  // namespace quillet
