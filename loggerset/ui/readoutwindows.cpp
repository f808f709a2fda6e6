#include "loggerset/ui/readoutwindows.h"

#include "core/ui/progressdialog.h"
#include "loggerset/ui/logparalist.h"

namespace quillet {

void QtReadoutWindows::showParameterWindow(AppContext& ctx, const std::function<void()>& transfer) {
    LOGPARALIST window(ctx, transfer, parent_);
    window.exec();
}

void QtReadoutWindows::runWithProgress(AppContext& ctx, const std::function<void()>& work) {
    PROGRESS* progress = nullptr;
    PROGRESS window(ctx, [&] {
        work();
        progress->accept();
    }, parent_);
    progress = &window;
    // The receive reports the characters expected and received.
    auto previous = ctx.commProgress;
    ctx.commProgress = [&](int maximum, int value) {
        window.setMaximum(maximum);
        window.setValue(value);
    };
    window.exec();
    ctx.commProgress = previous;
}

}  // namespace quillet
