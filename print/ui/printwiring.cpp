#include "print/ui/printwiring.h"

#include "core/ui/mainwindow.h"
#include "print/mprint.h"
#include "print/ui/fpartprint.h"

#include <memory>

namespace quillet {

void wirePrint(MAIN& window, AppContext& ctx, PartPrintDialog* partPrint) {
    std::shared_ptr<PartPrintDialog> own;
    if (!partPrint) {
        own = std::make_shared<QtPartPrintDialog>(&window);
        partPrint = own.get();
    }
    // A failed print reports itself; the status is then reset.
    auto print = [&ctx, partPrint, own](int index) {
        return [&ctx, partPrint, own, index] {
            mFPRINTSEL_Click(ctx, index, partPrint);
            ctx.comm.commStatus = 0;
        };
    };
    window.setCommand(window.mFPRINTALL, print(kPrintWholeList));
    window.setCommand(window.mFPRINTSEL, print(kPrintPartList));
    window.setCommand(window.mFPRINTPARA, print(kPrintParameters));
    window.setCommand(window.mFPRINTSET, [&ctx] {
        mFPRINTSET_Click(ctx);
        ctx.comm.commStatus = 0;
    });
}

}  // namespace quillet
