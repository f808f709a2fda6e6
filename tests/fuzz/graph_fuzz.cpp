// libFuzzer target: a data file with a graph state around it, through the
// scale, a zoom by a drag inside the plot, the undo and the painting of the
// graph on a small picture. The first 24 bytes are the state (the Y ranges
// and their manual flags as the general settings file may hold any 16-bit
// value, a manual X range within 1..9000 as the range dialog allows, the
// drag's corners, labels, line width, reference line); the rest is the file.
#include "core/context.h"
#include "core/store.h"
#include "datafile/fileops.h"
#include "graph/drawgraph.h"
#include "graph/graphscale.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

constexpr size_t kStateBytes = 24;

int16_t i16(const uint8_t* p) {
    int16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Text needs a GUI application; the replay program makes its own.
    if (!QCoreApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        new QGuiApplication(*argc, *argv);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quillet;
    if (size <= kStateBytes) return 0;
    static AppContext ctx;  // the defaults: no dialogs, no view
    const QByteArray file(reinterpret_cast<const char*>(data) + kStateBytes, qsizetype(size - kStateBytes));
    loadDataBytes(ctx, file, (data[0] & 1) != 0);
    if (countChannelsInUse(ctx.store) == 0) return 0;
    rebuildTimeAxis(ctx.store);

    GraphState& g = ctx.graph;
    g = GraphState{};
    g.temp().manual = data[1] & 1;
    g.humid().manual = (data[1] >> 1) & 1;
    g.x().manual = (data[1] >> 2) & 1;
    g.labelsOn = (data[1] >> 3) & 1;
    g.refLineOn = (data[1] >> 4) & 1;
    g.lineWidth = int16_t(1 + (data[1] >> 5) % 5);
    g.temp().shown.high = i16(data + 2);
    g.temp().shown.low = i16(data + 4);
    g.humid().shown.high = i16(data + 6);
    g.humid().shown.low = i16(data + 8);
    g.x().shown.low = int16_t(1 + uint16_t(i16(data + 10)) % 9000);
    g.x().shown.high = int16_t(1 + uint16_t(i16(data + 12)) % 9000);
    if (data[14] & 1) g.refTemp = i16(data + 16);
    if (data[14] & 2) g.refHumid = i16(data + 18);

    const GraphGeometry geo = graphGeometryForPicture(LayoutValues{}, 3000, 1800);
    computeGraphScale(ctx);
    check(g.x().shown.low < g.x().shown.high);

    QImage picture(200, 120, QImage::Format_RGB32);
    {
        QPainter painter(&picture);
        drawGraph(painter, QRectF(picture.rect()), ctx.store, ctx.graph, geo, DrawOptions{(data[14] & 4) != 0});
    }

    // A drag from one corner to the other, both inside the plot as the window
    // clamps them, then the zoom, a repaint and the undo.
    const auto x = [&](uint8_t b) { return float(geo.plotLeft + geo.plotWidth * (b / 255.0)); };
    const auto y = [&](uint8_t b) { return float(geo.plotTop + geo.plotHeight * (b / 255.0)); };
    g.dragStartX = x(data[20]);
    g.dragStartY = y(data[21]);
    g.dragEndX = x(data[22]);
    g.dragEndY = y(data[23]);
    zoomToSelection(ctx, geo);
    computeGraphScale(ctx);
    {
        QPainter painter(&picture);
        drawGraph(painter, QRectF(picture.rect()), ctx.store, ctx.graph, geo, DrawOptions{(data[14] & 8) != 0});
    }
    check(undoRange(ctx));
    return 0;
}
