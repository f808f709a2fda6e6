// The graph as an image file: PNG, SVG (labels kept as text) or PDF, drawn
// by drawGraph with the current ranges.
#pragma once

#include "graph/drawgraph.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <functional>

class QPainter;

namespace quillet {

// Paints a picture into area; vector is true for SVG and PDF (text kept as
// text). False when the painting failed.
using PaintPicture = std::function<bool(QPainter& p, const QRectF& area, bool vector)>;

// A picture of size pixels written to path as PNG, SVG or PDF (by its
// extension; the PDF one page of the picture's size at 96 pixels an inch),
// titled title. The file is replaced atomically; on failure nothing is
// written and error tells why.
bool writePictureFile(const QString& path, QSize size, const QString& title, const PaintPicture& paint, QString* error);

// Draws the graph into a picture of size pixels (15 twips each) and writes
// it to path, whose extension (.png, .svg, .pdf) chooses the format. The file
// is replaced atomically; on failure nothing is written and error tells why.
bool writeGraphFile(AppContext& ctx, const QString& path, QSize size, QString* error);

// The graph into an image of size pixels, as the window shows it.
QImage graphImage(AppContext& ctx, QSize size);

}  // namespace quillet
