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

QPagedPaintDevice* PdfPrintControl::startDocument(const QString& title, int& error) {
    writer_.reset();
    file_.reset();
    // A target no save could write (no folder, a folder, a device, a FIFO)
    // is refused before anything is drawn.
    if (const int refused = checkSaveTarget(fileName)) {
        error = refused;
        return nullptr;
    }
    file_ = std::make_unique<QBuffer>();
    file_->open(QIODevice::WriteOnly);
    writer_ = std::make_unique<QPdfWriter>(file_.get());
    writer_->setTitle(title);
    writer_->setCreator(captionText(Caption::Program).trimmed());
    writer_->setResolution(resolution);
    writer_->setPageLayout(pageLayout);
    error = 0;
    return writer_.get();
}

int PdfPrintControl::endDocument(bool completed) {
    int error = 0;
    writer_.reset();  // flushes nothing more: the painter has ended
    if (file_) {
        if (completed) {
            file_->close();
            error = writeFileAtomically(fileName, file_->data());
            if (error == 0) ++documents_;
        }
        file_.reset();
    }
    return error;
}

}  // namespace quillet
