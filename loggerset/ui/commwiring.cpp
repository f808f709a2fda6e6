#include "loggerset/ui/commwiring.h"

#include "comm/portsearch.h"
#include "comm/readout.h"
#include "comm/ui/portset.h"
#include "core/context.h"
#include "core/ui/mainwindow.h"

namespace quillet {

void wireCommunication(MAIN& window, AppContext& ctx, ReadoutWindows& readout) {
    // mLREAD_Click (and the toolbar's btnLRead, which runs the same entry).
    window.setCommand(window.mLREAD, [&ctx, &readout] { readLogger(ctx, readout); });
    window.setCommand(window.mPORTA, [&ctx] { searchPort(ctx); });
    window.setCommand(window.mPORTM, [&ctx, &window] {
        PORTSET dialog(ctx, &window);
        dialog.exec();
    });
}

}  // namespace quillet
