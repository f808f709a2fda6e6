// The print preview on Qt's preview dialog: the pages of a print job as
// they come on paper, zoom and page set-up, and printing from the preview
// through the printer dialog.
#pragma once

#include "core/platform.h"
#include "print/printjobs.h"

#include <QPointer>
#include <QWidget>

class QPrinter;
class QPrintPreviewDialog;

namespace quillet {

class QtPrintPreview : public PrintPreview {
public:
    explicit QtPrintPreview(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    // Printed: the user printed from the preview; Cancelled: closed.
    PrintOutcome show(const QString& title, const QPageLayout& layout,
                      const std::function<int(PrintControl&)>& paint) override;

private:
    QPointer<QWidget> parent_;
};

// A print control on a printer that is already chosen (the preview's, or
// the printer the preview prints on): no dialogs.
class ChosenPrinterControl : public PrintControl {
public:
    explicit ChosenPrinterControl(QPrinter& printer) : printer_(printer) {}
    int printerCount() override { return 1; }
    bool printerReady() override;
    PrintFault printerDialog() override { return {}; }
    PrintFault pageSetupDialog() override { return {}; }
    QPagedPaintDevice* startDocument(const QString& title, PrintFault& fault) override;
    PrintFault endDocument(bool completed) override;

private:
    QPrinter& printer_;
};

}  // namespace quillet
