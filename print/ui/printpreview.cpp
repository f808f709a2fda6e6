#include "print/ui/printpreview.h"
#include "core/uitexts.h"

#include <QPrintPreviewDialog>
#include <QPrinter>

namespace quillet {

bool ChosenPrinterControl::printerReady() { return printer_.isValid(); }

QPagedPaintDevice* ChosenPrinterControl::startDocument(const QString& title, PrintFault& fault) {
    fault = {};
    printer_.setDocName(title);
    return &printer_;
}

PrintFault ChosenPrinterControl::endDocument(bool completed) {
    if (!completed) printer_.abort();
    return {};
}

PrintOutcome QtPrintPreview::show(const QString& title, const QPageLayout& layout,
                                  const std::function<int(PrintControl&)>& paint) {
    QPrinter printer(QPrinter::HighResolution);
    if (layout.isValid()) printer.setPageLayout(layout);
    printer.setDocName(title);
    QPrintPreviewDialog dialog(&printer, parent_);
    dialog.setObjectName(QStringLiteral("printPreview"));
    dialog.setWindowTitle(uiText(ui::kPreviewTitlePrefix) + title);
    if (parent_) dialog.setFont(parent_->font());
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&paint](QPrinter* target) {
        ChosenPrinterControl control(*target);
        paint(control);  // a failure reports itself
    });
    // The dialog is accepted once the user printed from it.
    const int result = dialog.exec();
    return result == QDialog::Accepted ? PrintOutcome::Printed : PrintOutcome::Cancelled;
}

}  // namespace quillet
