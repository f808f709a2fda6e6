#include "loggerset/ui/commwiring.h"

#include "comm/portsearch.h"
#include "comm/readout.h"
#include "comm/settingswriter.h"
#include "comm/ui/portdialog.h"
#include "core/context.h"
#include "core/ui/mainwindow.h"
#include "loggerset/ui/recordingsettingsdialog.h"
#include "loggerset/ui/settingcharactersdialog.h"

#include <memory>

namespace quillet {

void wireCommunication(MainWindow& window, AppContext& ctx, ReadoutWindows& readout) {
    // the read-out command (and the toolbar's btnLRead, which runs the same entry).
    window.setCommand(Command::ReadLogger, [&ctx, &readout, &window] {
        if (readLogger(ctx, readout)) window.updateCommandStates();
    });
    window.setCommand(Command::SearchPort, [&ctx] { searchPort(ctx); });
    window.setCommand(Command::ChoosePort, [&ctx, &window] {
        PortDialog dialog(ctx, &window);
        dialog.exec();
    });
    // the recording settings command (and the toolbar's btnLSet): the preparation, then the
    // recording settings dialog.
    auto settingsDialog = std::make_shared<QtSettingsDialog>(&window);
    window.setCommand(Command::RecordingSettings, [&ctx, settingsDialog] { prepareSettings(ctx, *settingsDialog); });
    window.setCommand(Command::SettingCharacters, [&ctx, &window] {
        SettingCharactersDialog dialog(ctx, &window);
        // The grid's card and test captions show the new characters at once.
        if (dialog.exec() == QDialog::Accepted && ctx.view) ctx.view->refreshDisplay();
    });
}

}  // namespace quillet
