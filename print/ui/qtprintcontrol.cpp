#include "print/ui/qtprintcontrol.h"

#include "core/catalog.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinterInfo>

namespace quillet {

// The pages start with the margins of quillet-cli's PDF pages, so that the
// program and the command line print the same page; the page set-up dialog
// changes them.
QtPrintControl::QtPrintControl(QWidget* parent) : printer_(QPrinter::HighResolution), parent_(parent) {
    printer_.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
}

int QtPrintControl::printerCount() {
    int n = int(QPrinterInfo::availablePrinters().size());
#ifndef Q_OS_WIN
    ++n;  // "Print to File (PDF)" in the printer dialog
#endif
    return n;
}

bool QtPrintControl::printerReady() { return printer_.isValid(); }

int QtPrintControl::printerDialog() {
    QPrintDialog dialog(&printer_, parent_);
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize |
                      QAbstractPrintDialog::PrintCollateCopies);
    chosen_ = dialog.exec() == QDialog::Accepted;
    return chosen_ ? 0 : int(kErrCancel);
}

int QtPrintControl::pageSetupDialog() {
    QPageSetupDialog dialog(&printer_, parent_);
    return dialog.exec() == QDialog::Accepted ? 0 : int(kErrCancel);
}

QPagedPaintDevice* QtPrintControl::startDocument(const QString& title, int& error) {
    error = 0;
    const bool toFile = printer_.outputFormat() == QPrinter::PdfFormat;
    // A file is chosen for every document (as Windows' PDF printer asks for
    // one each time), so that a print never overwrites the last one unasked.
    if ((toFile && !chosen_) || (!toFile && printer_.printerName().isEmpty())) {
        if (const int e = printerDialog()) {
            error = e;
            return nullptr;
        }
    }
    chosen_ = false;
    printer_.setDocName(title);
    return &printer_;
}

int QtPrintControl::endDocument(bool completed) {
    if (!completed) printer_.abort();
    return 0;
}

}  // namespace quillet
