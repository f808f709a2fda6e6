#include "print/ui/qtprintcontrol.h"

#include "core/catalog.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinterInfo>

namespace quillet {

QtPrintControl::QtPrintControl(QWidget* parent) : printer_(QPrinter::HighResolution), parent_(parent) {}

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
    return dialog.exec() == QDialog::Accepted ? 0 : int(kErrCancel);
}

int QtPrintControl::pageSetupDialog() {
    QPageSetupDialog dialog(&printer_, parent_);
    return dialog.exec() == QDialog::Accepted ? 0 : int(kErrCancel);
}

QPagedPaintDevice* QtPrintControl::startDocument(const QString& title, int& error) {
    error = 0;
    const bool toFile = printer_.outputFormat() == QPrinter::PdfFormat;
    if ((toFile && printer_.outputFileName().isEmpty()) || (!toFile && printer_.printerName().isEmpty())) {
        if (const int e = printerDialog()) {
            error = e;
            return nullptr;
        }
    }
    printer_.setDocName(title);
    return &printer_;
}

int QtPrintControl::endDocument(bool completed) {
    if (!completed) printer_.abort();
    return 0;
}

}  // namespace quillet
