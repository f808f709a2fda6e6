// A print control that prints into a PDF file: the command-line tool's
// printer, and the device of the tests and benchmarks. The document is
// drawn in memory; the file appears only when it ends completed, written
// through the one atomic save.
#pragma once

#include "core/platform.h"
#include "print/printjobs.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPdfWriter>
#include <QString>

#include <memory>

namespace quillet {

class PdfPrintControl : public PrintControl, public PagedPrintControl {
public:
    explicit PdfPrintControl(QString fileName = {});
    ~PdfPrintControl() override;

    // The page of the next document: A4 portrait with 20 mm margins unless
    // changed.
    QPageLayout pageLayout;
    int resolution = 1200;  // dots per inch of the page coordinates
    QString fileName;

    int printerCount() override { return 1; }
    bool printerReady() override { return true; }
    PrintFault printerDialog() override { return {}; }
    PrintFault pageSetupDialog() override { return {}; }
    QPagedPaintDevice* startDocument(const QString& title, PrintFault& fault) override;
    PrintFault endDocument(bool completed) override;
    QPageLayout printPageLayout() override { return pageLayout; }

    int documentsWritten() const { return documents_; }

private:
    std::unique_ptr<QBuffer> file_;
    std::unique_ptr<QPdfWriter> writer_;
    int documents_ = 0;
};

// The page layout for a paper name ("A4", "A3", "Letter"; case does not
// matter) and orientation, with 20 mm margins; nullopt for another name.
std::optional<QPageLayout> pageLayoutFor(const QString& paper, bool landscape);

}  // namespace quillet
