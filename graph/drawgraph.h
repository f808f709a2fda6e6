// drawGraph: the one painting of the graph, on any QPainter (the window's
// picture, an image, SVG, PDF, the printer).
#pragma once

#include "graph/graphscale.h"
#include "graph/graphstate.h"

#include <QColor>
#include <QRectF>

class QPainter;

namespace quillet {

struct DrawOptions {
    // Paper and vector files: no single-pixel marks, and samples are thinned
    // to columns of 15 twips (a screen pixel) instead of device pixels.
    bool paper = false;
    // Fills the whole picture first; an invalid colour leaves it as it is.
    QColor background = Qt::white;
};

// The reference values as drawn: an unset one (9999) is the middle of its
// axis.
struct ReferenceValues {
    int16_t temp;
    int16_t humid;
};
ReferenceValues referenceValues(const GraphState& g);
// Sets the unset reference values to the middle of their axes.
void defaultReferenceLines(GraphState& g);

// Paints the picture of geometry geo (twips) into target (device units of
// p): plot area, frame, axis labels and grid, the alarm limits of the
// channels that carry them (while g.alarmLinesOn), reference lines (an unset one
// in the middle of its axis), then every channel in use, as g shows the
// store. Changes nothing. Call computeGraphScale first.
void drawGraph(QPainter& p, const QRectF& target, const ChannelStore& s, const GraphState& g, const GraphGeometry& geo,
               const DrawOptions& options = {});

}  // namespace quillet
