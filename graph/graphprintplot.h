// The graph's part of the graph print: the plot drawn by drawGraph in page
// coordinates and the statistics of the visible window, carried by the
// print job (GraphPage). The program and quillet-cli both print the graph
// and the report's plot through these.
#pragma once

#include "graph/graphscale.h"
#include "print/printjobs.h"

#include <QRectF>

class QPainter;

namespace quillet {

// The geometry of the printed graph in twips (kx, ky twips per page unit) of
// a picture covering the whole paper (page units, relative to the painter's
// origin at the printable area's corner; the units and time labels may
// stand in the margins): the plot rectangle, text offsets in the print's
// line height H, the humidity labels W right of the plot, the temperature
// labels 5 W left of it, or further left when labelWidth (the width of six
// characters of the font) would reach within W / 2 of the plot.
GraphGeometry graphPrintGeometry(const QRectF& paper, double kx, double ky, const QRectF& plot, double charWidth,
                                 double lineHeight, int fontSize, double labelWidth);

// The graph print of the graph as ctx.graph shows it when the job prints.
PrintJob graphPrintJob(AppContext& ctx);

// The plot with the report's ranges (reportGraphState) instead of the
// graph's own, which stay as they are on screen.
PagePlot reportPlot(const AppContext& ctx, const GraphState& report);

}  // namespace quillet
