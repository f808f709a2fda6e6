// The graph as an image file: PNG, SVG (labels kept as text) or PDF, drawn
// by drawGraph with the current ranges.
#pragma once

#include "core/savefile.h"
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

// What became of a picture file: written, or why not (nothing written).
struct PictureWritten {
    SaveError fileError = SaveError::None;  // the file cannot be written there
    bool drawn = true;                      // false: no picture of that size or extension could be drawn
    explicit operator bool() const { return drawn && fileError == SaveError::None; }
};

// A picture of size pixels written to path as PNG, SVG or PDF (by its
// extension; the PDF one page of the picture's size at 96 pixels an inch),
// titled title. The file is replaced atomically; on failure nothing is
// written.
PictureWritten writePictureFile(const QString& path, QSize size, const QString& title, const PaintPicture& paint);

// Draws the graph into a picture of size pixels (15 twips each) and writes
// it to path, whose extension (.png, .svg, .pdf) chooses the format. The file
// is replaced atomically; on failure nothing is written.
PictureWritten writeGraphFile(AppContext& ctx, const QString& path, QSize size);

// The graph into an image of size pixels, as the window shows it.
QImage graphImage(AppContext& ctx, QSize size);

}  // namespace quillet
