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
    window.setCommand(Command::PrintAll, print(PrintKind::WholeList));
    window.setCommand(Command::PrintPart, print(PrintKind::PartialList));
    window.setCommand(Command::PrintParameters, print(PrintKind::Parameters));
    window.setCommand(Command::PreviewAll, show(PrintKind::WholeList));
    window.setCommand(Command::PreviewPart, show(PrintKind::PartialList));
    window.setCommand(Command::PreviewParameters, show(PrintKind::Parameters));
    window.setCommand(Command::PdfAll, pdf(PrintKind::WholeList));
    window.setCommand(Command::PdfPart, pdf(PrintKind::PartialList));
    window.setCommand(Command::PdfParameters, pdf(PrintKind::Parameters));
    window.setCommand(Command::PrinterSettings, [&ctx] { printerSetupCommand(ctx); });
}

}  // namespace quillet
