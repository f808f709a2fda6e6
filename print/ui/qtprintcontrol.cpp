#include "print/ui/qtprintcontrol.h"

#include "core/catalog.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinterInfo>

namespace quillet {

QtPrintControl::QtPrintControl(QWidget* parent) : parent_(parent) {}

// The pages start with the margins of quillet-cli's PDF pages, so that the
// program and the command line print the same page; the page set-up dialog
// changes them.
QPrinter& QtPrintControl::printer() {
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer_->setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
    }
    return *printer_;
}

int QtPrintControl::printerCount() {
    int n = int(QPrinterInfo::availablePrinters().size());
#ifndef Q_OS_WIN
    ++n;  // "Print to File (PDF)" in the printer dialog
#endif
    return n;
}

bool QtPrintControl::printerReady() { return printer().isValid(); }

PrintFault QtPrintControl::printerDialog() {
    QPrintDialog dialog(&printer(), parent_);
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize |
                      QAbstractPrintDialog::PrintCollateCopies);
    chosen_ = dialog.exec() == QDialog::Accepted;
    return chosen_ ? PrintFault{} : PrintFault::of(PrintFault::Kind::Cancelled);
}

PrintFault QtPrintControl::pageSetupDialog() {
    QPageSetupDialog dialog(&printer(), parent_);
    return dialog.exec() == QDialog::Accepted ? PrintFault{} : PrintFault::of(PrintFault::Kind::Cancelled);
}

QPagedPaintDevice* QtPrintControl::startDocument(const QString& title, PrintFault& fault) {
    fault = {};
    QPrinter& p = printer();
    const bool toFile = p.outputFormat() == QPrinter::PdfFormat;
    // A file is chosen for every document (as Windows' PDF printer asks for
    // one each time), so that a print never overwrites the last one unasked.
    if ((toFile && !chosen_) || (!toFile && p.printerName().isEmpty())) {
        if (const PrintFault f = printerDialog()) {
            fault = f;
            return nullptr;
        }
    }
    chosen_ = false;
    file_.reset();
    if (p.outputFormat() == QPrinter::PdfFormat) {
        file_ = std::make_unique<PdfPrintControl>(p.outputFileName());
        file_->pageLayout = p.pageLayout();
        file_->resolution = p.resolution();
        return file_->startDocument(title, fault);
    }
    p.setDocName(title);
    return &p;
}

PrintFault QtPrintControl::endDocument(bool completed) {
    if (file_) {
        const PrintFault fault = file_->endDocument(completed);
        file_.reset();
        return fault;
    }
    if (!completed) printer().abort();
    return {};
}

}  // namespace quillet
