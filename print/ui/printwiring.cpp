#include "print/ui/printwiring.h"

#include "core/ui/mainwindow.h"
#include "print/printjobs.h"
#include "print/ui/partialprintdialog.h"

#include <memory>

namespace quillet {

void wirePrint(MainWindow& window, AppContext& ctx, PartialPrintPrompt* partPrint) {
    std::shared_ptr<PartialPrintPrompt> own;
    if (!partPrint) {
        own = std::make_shared<QtPartialPrintPrompt>(&window);
        partPrint = own.get();
    }
    // A failed print reports itself.
    auto print = [&ctx, partPrint, own](PrintKind kind) {
        return [&ctx, partPrint, own, kind] { printMenuCommand(ctx, kind, partPrint); };
    };
    window.setCommand(window.mFPRINTALL, print(PrintKind::WholeList));
    window.setCommand(window.mFPRINTSEL, print(PrintKind::PartialList));
    window.setCommand(window.mFPRINTPARA, print(PrintKind::Parameters));
    window.setCommand(window.mFPRINTSET, [&ctx] { printerSetupCommand(ctx); });
}

}  // namespace quillet
