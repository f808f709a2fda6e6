#include "graph/graphprintplot.h"

#include "core/context.h"
#include "graph/drawgraph.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace quillet {

GraphGeometry graphPrintGeometry(const QRectF& paper, double kx, double ky, const QRectF& plot, double w, double h,
                                 int fontSize, double labelWidth) {
    auto x = [&](double v) { return int(std::lround((v - paper.left()) * kx)); };
    auto y = [&](double v) { return int(std::lround((v - paper.top()) * ky)); };
    GraphGeometry g;
    g.pictureWidth = paper.width() * kx;
    g.pictureHeight = paper.height() * ky;
    g.plotLeft = x(plot.left());
    g.plotTop = y(plot.top());
    g.plotWidth = int(std::lround(plot.width() * kx));
    g.plotHeight = int(std::lround(plot.height() * ky));
    g.fontSize = fontSize;
    g.textHeight = int(std::lround(h * ky));
    g.labelLeft = x(plot.left() - std::max(5 * w, labelWidth + w / 2));
    g.labelGap = int(std::lround(w * kx));
    return g;
}

namespace {

// The plot of g in page coordinates.
void drawPrintedPlot(const ChannelStore& s, const GraphState& graph, QPainter& p, const QRectF& plot, double w,
                     double h) {
    QPaintDevice* device = p.device();
    QRectF paper(0, 0, device->width(), device->height());
    if (auto* paged = dynamic_cast<QPagedPaintDevice*>(device)) {
        const QPageLayout layout = paged->pageLayout();
        const int dpi = device->logicalDpiX();
        const QRect full = layout.fullRectPixels(dpi);
        const QRect paint = layout.paintRectPixels(dpi);
        paper = QRectF(full).translated(-paint.topLeft());
    }
    const double kx = 1440.0 / std::max(1, device->logicalDpiX());
    const double ky = 1440.0 / std::max(1, device->logicalDpiY());
    const int points = std::max(1, int(std::lround(p.font().pointSizeF())));
    const double labelWidth = QFontMetricsF(p.font(), device).horizontalAdvance(QStringLiteral("-100.0"));
    const GraphGeometry g = graphPrintGeometry(paper, kx, ky, plot, w, h, points, labelWidth);
    DrawOptions o;
    o.paper = true;
    o.background = QColor();
    drawGraph(p, paper, s, graph, g, o);
}

}  // namespace

PrintJob graphPrintJob(AppContext& ctx) {
    GraphPage page;
    page.plot = [&ctx](QPainter& p, const QRectF& plot, double w, double h) {
        drawPrintedPlot(ctx.store, ctx.graph, p, plot, w, h);
    };
    page.gridText = [&ctx](int row, int channel) {
        if (row < 1 || row >= kGraphGridRows || channel < 1 || channel > kChannels) return QString();
        return fillGraphGrid(ctx)[size_t(row)][size_t(channel)];
    };
    return PrintJob{PrintKind::Graph, {}, page};
}

PagePlot reportPlot(const AppContext& ctx, const GraphState& report) {
    return [&ctx, report](QPainter& p, const QRectF& plot, double w, double h) {
        drawPrintedPlot(ctx.store, report, p, plot, w, h);
    };
}

}  // namespace quillet
