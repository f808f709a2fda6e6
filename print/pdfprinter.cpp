#include "print/pdfprinter.h"

#include "core/catalog.h"
#include "core/savefile.h"

#include <QMarginsF>
#include <QPageSize>

namespace quillet {

namespace {
const QMarginsF kMargins(20, 20, 20, 20);  // millimetres
}

std::optional<QPageLayout> pageLayoutFor(const QString& paper, bool landscape) {
    QPageSize::PageSizeId id;
    const QString p = paper.toLower();
    if (p == QLatin1String("a4"))
        id = QPageSize::A4;
    else if (p == QLatin1String("a3"))
        id = QPageSize::A3;
    else if (p == QLatin1String("letter"))
        id = QPageSize::Letter;
    else
        return std::nullopt;
    return QPageLayout(QPageSize(id), landscape ? QPageLayout::Landscape : QPageLayout::Portrait, kMargins,
                       QPageLayout::Millimeter);
}

PdfPrintControl::PdfPrintControl(QString name)
    : pageLayout(*pageLayoutFor(QStringLiteral("A4"), false)), fileName(std::move(name)) {}

PdfPrintControl::~PdfPrintControl() = default;

QPagedPaintDevice* PdfPrintControl::startDocument(const QString& title, PrintFault& fault) {
    writer_.reset();
    file_.reset();
    // A target no save could write (no folder, a folder, a device, a FIFO)
    // is refused before anything is drawn.
    if (const SaveError refused = checkSaveTarget(fileName); refused != SaveError::None) {
        fault = PrintFault::ofFile(refused);
        return nullptr;
    }
    file_ = std::make_unique<QBuffer>();
    file_->open(QIODevice::WriteOnly);
    writer_ = std::make_unique<QPdfWriter>(file_.get());
    writer_->setTitle(title);
    writer_->setCreator(captionText(Caption::Program).trimmed());
    writer_->setResolution(resolution);
    writer_->setPageLayout(pageLayout);
    fault = {};
    return writer_.get();
}

PrintFault PdfPrintControl::endDocument(bool completed) {
    PrintFault fault;
    writer_.reset();  // flushes nothing more: the painter has ended
    if (file_) {
        if (completed) {
            file_->close();
            fault = PrintFault::ofFile(writeFileAtomically(fileName, file_->data()));
            if (!fault) ++documents_;
        }
        file_.reset();
    }
    return fault;
}

}  // namespace quillet
