#include "loggerset/ui/readoutwindows.h"

#include "comm/ui/progresswindow.h"
#include "loggerset/ui/readoutparameterswindow.h"

namespace quillet {

void QtReadoutWindows::showParameterWindow(AppContext& ctx, const std::function<void(Destinations)>& transfer) {
    ReadoutParametersWindow window(ctx, transfer, parent_);
    window.exec();
}

void QtReadoutWindows::runWithProgress(AppContext& ctx, const std::function<void()>& work) {
    ProgressWindow* progress = nullptr;
    ProgressWindow window(
        ctx,
        [&] {
            work();
            progress->accept();
        },
        parent_);
    progress = &window;
    // The receive reports the characters expected and received.
    auto previous = ctx.comm->progress;
    ctx.comm->progress = [&](int maximum, int value) {
        window.setMaximum(maximum);
        window.setValue(value);
    };
    window.exec();
    ctx.comm->progress = previous;
}

}  // namespace quillet
