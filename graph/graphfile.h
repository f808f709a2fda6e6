// The graph as an image file: PNG, SVG (labels kept as text) or PDF, drawn
// by drawGraph with the current ranges.
#pragma once

#include "graph/drawgraph.h"

#include <QImage>
#include <QSize>
#include <QString>

namespace quillet {

// Draws the graph into a picture of size pixels (15 twips each) and writes
// it to path, whose extension (.png, .svg, .pdf) chooses the format. The file
// is replaced atomically; on failure nothing is written and error tells why.
bool writeGraphFile(AppContext& ctx, const QString& path, QSize size, QString* error);

// The graph into an image of size pixels, as the window shows it.
QImage graphImage(AppContext& ctx, QSize size);

}  // namespace quillet
