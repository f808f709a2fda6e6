#include "graph/graphfile.h"

#include "core/context.h"
#include "core/savefile.h"
#include "core/uitexts.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

namespace quillet {
namespace {

GraphGeometry geometryForPixels(const AppContext& ctx, QSize size) {
    return graphGeometryForPicture(ctx.layout, size.width() * 15.0, size.height() * 15.0);
}

}  // namespace

QImage graphImage(AppContext& ctx, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    drawGraph(p, QRectF(QPointF(0, 0), QSizeF(size)), ctx.store, ctx.graph, geometryForPixels(ctx, size));
    return image;
}

PictureWritten writePictureFile(const QString& path, QSize size, const QString& title, const PaintPicture& paint) {
    const PictureWritten notDrawn{SaveError::None, false};
    if (size.width() < 1 || size.height() < 1) return notDrawn;
    // A target that can never be written is refused before the drawing.
    if (const SaveError refused = checkSaveTarget(path); refused != SaveError::None) return {refused};
    const QString suffix = QFileInfo(path).suffix().toLower();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    auto painted = [&](QPaintDevice& device, const QRectF& area, bool vector) {
        QPainter p;
        if (!p.begin(&device)) return false;
        return paint(p, area, vector) && p.end();
    };
    if (suffix == QLatin1String("png")) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        if (!painted(image, QRectF(QPointF(0, 0), QSizeF(size)), false) || !image.save(&buffer, "PNG")) return notDrawn;
    } else if (suffix == QLatin1String("svg")) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(title);
        if (!painted(svg, QRectF(QPointF(0, 0), QSizeF(size)), true)) return notDrawn;
    } else if (suffix == QLatin1String("pdf")) {
        QPdfWriter pdf(&buffer);
        pdf.setTitle(title);
        pdf.setCreator(QStringLiteral("Quillet"));
        // One page of the picture's size at 96 pixels an inch.
        pdf.setPageSize(QPageSize(QSizeF(size.width() * 0.75, size.height() * 0.75), QPageSize::Point));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setResolution(600);
        if (!painted(pdf, QRectF(0, 0, pdf.width(), pdf.height()), true)) return notDrawn;
    } else {
        return notDrawn;
    }
    buffer.close();
    return {writeFileAtomically(path, bytes)};
}

PictureWritten writeGraphFile(AppContext& ctx, const QString& path, QSize size) {
    const GraphGeometry geo = geometryForPixels(ctx, size);
    return writePictureFile(path, size, uiText(ui::kGraphWord), [&](QPainter& p, const QRectF& area, bool vector) {
        drawGraph(p, area, ctx.store, ctx.graph, geo, DrawOptions{vector});
        return true;
    });
}

}  // namespace quillet
