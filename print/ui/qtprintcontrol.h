// The print control on Qt's printer: the system's print queues and, on a
// Linux desktop, output to a PDF file through the printer dialog.
#pragma once

#include "core/platform.h"
#include "print/pdfprinter.h"
#include "print/printjobs.h"

#include <QPointer>
#include <QPrinter>
#include <QWidget>

#include <memory>

namespace quillet {

class QtPrintControl : public PrintControl, public PagedPrintControl {
public:
    explicit QtPrintControl(QWidget* parent = nullptr);
    void setParent(QWidget* parent) { parent_ = parent; }
    // The printer is set up the first time it is needed: the print system
    // is not loaded at start-up.
    QPrinter& printer();

    // The print queues, plus one for output to a PDF file where the printer
    // dialog offers it (not on Windows, whose own PDF printer is a queue).
    int printerCount() override;
    bool printerReady() override;
    PrintFault printerDialog() override;
    PrintFault pageSetupDialog() override;
    // Without a chosen queue (a machine without print queues), and for
    // output to a PDF file unless the printer dialog was just accepted, the
    // printer dialog opens first, so that the user chooses the file.
    QPagedPaintDevice* startDocument(const QString& title, PrintFault& fault) override;
    PrintFault endDocument(bool completed) override;
    QPageLayout printPageLayout() override { return printer().pageLayout(); }

private:
    std::unique_ptr<QPrinter> printer_;
    // Output to a PDF file is drawn by a PDF control of its own, whose file
    // goes through the one atomic save (no device or FIFO is replaced, no
    // half file is left).
    std::unique_ptr<PdfPrintControl> file_;
    QPointer<QWidget> parent_;
    bool chosen_ = false;  // the printer dialog was accepted since the last document
};

}  // namespace quillet
