#include "print/ui/printwiring.h"

#include "core/ui/mainwindow.h"
#include "print/printjobs.h"
#include "print/ui/partialprintdialog.h"
#include "print/ui/printpreview.h"

#include <memory>

namespace quillet {

void wirePrint(MainWindow& window, AppContext& ctx, PartialPrintPrompt* partPrint, PrintPreview* preview) {
    std::shared_ptr<PartialPrintPrompt> ownPrompt;
    if (!partPrint) {
        ownPrompt = std::make_shared<QtPartialPrintPrompt>(&window);
        partPrint = ownPrompt.get();
    }
    std::shared_ptr<PrintPreview> ownPreview;
    if (!preview) {
        ownPreview = std::make_shared<QtPrintPreview>(&window);
        preview = ownPreview.get();
    }
    // A failed print reports itself.
    auto print = [&ctx, partPrint, ownPrompt](PrintKind kind) {
        return [&ctx, partPrint, ownPrompt, kind] { printMenuCommand(ctx, kind, partPrint); };
    };
    auto show = [&ctx, partPrint, ownPrompt, preview, ownPreview](PrintKind kind) {
        return
            [&ctx, partPrint, ownPrompt, preview, ownPreview, kind] { previewCommand(ctx, kind, *preview, partPrint); };
    };
    auto pdf = [&ctx, partPrint, ownPrompt](PrintKind kind) {
        return [&ctx, partPrint, ownPrompt, kind] { pdfCommand(ctx, kind, partPrint); };
    };
    window.setCommand(window.mFPRINTALL, print(PrintKind::WholeList));
    window.setCommand(window.mFPRINTSEL, print(PrintKind::PartialList));
    window.setCommand(window.mFPRINTPARA, print(PrintKind::Parameters));
    window.setCommand(window.mFPREVIEWALL, show(PrintKind::WholeList));
    window.setCommand(window.mFPREVIEWSEL, show(PrintKind::PartialList));
    window.setCommand(window.mFPREVIEWPARA, show(PrintKind::Parameters));
    window.setCommand(window.mFPDFALL, pdf(PrintKind::WholeList));
    window.setCommand(window.mFPDFSEL, pdf(PrintKind::PartialList));
    window.setCommand(window.mFPDFPARA, pdf(PrintKind::Parameters));
    window.setCommand(window.mFPRINTSET, [&ctx] { printerSetupCommand(ctx); });
}

}  // namespace quillet
