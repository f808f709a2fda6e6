// The graph's scaling, zoom, undo, window statistics and cursor
// read-out over ctx.graph (GraphState) and the channel store. Drawing is in
// graph/drawgraph.h, image files in graph/graphfile.h.
//
// Coordinates are twips inside the graph picture (15 twips = one pixel of a
// 96-dpi screen); data numbers are rows of the common time axis (1-based).
#pragma once

#include "core/records.h"
#include "core/savefile.h"
#include "core/store.h"
#include "graph/graphstate.h"

#include <QString>

#include <array>

namespace quillet {

struct AppContext;

// The time (date value) of data number n of the common time axis.
double dataNumberTime(const ChannelStore& s, int n);

// Copies the six range values of the graph (manual flags and Y bounds) into
// the general settings and writes them (qlet7.dat).
Saved saveGraphSettings(AppContext& ctx);

// The picture and its plot area, in twips.
struct GraphGeometry {
    double pictureWidth = 15060;
    double pictureHeight = 5667;
    int plotLeft = 896;
    int plotTop = 595;
    int plotWidth = 13268;
    int plotHeight = 4477;
    int fontSize = 11;     // graph font (points)
    int textHeight = 165;  // fontSize × 15: the unit of every text offset
    int labelLeft = 15;    // x of the temperature labels
    int labelGap = 15;     // humidity labels stand this far right of the plot

    int plotRight() const { return plotLeft + plotWidth; }
    int plotBottom() const { return plotTop + plotHeight; }
};

// The graph font size of a layout: fontSize below a 1280 design width, else 14.
int graphFontSize(const LayoutValues& l);
// The picture of the design size: (Wd × 15 − 300) × (Hd × 5000 / 600) twips,
// the plot centred with margins Wd × 0.875 and Hd × 0.875.
GraphGeometry graphGeometry(const LayoutValues& l);
// The same formulas for a picture of another size (a resized window, an
// image file): the design size is taken back from the picture's size.
GraphGeometry graphGeometryForPicture(const LayoutValues& l, double widthTwips, double heightTwips);

// The default channel colours (RGB) of channels 1..9.
uint32_t defaultChannelColor(int channel);

// Recomputes the X range, data extremes, Y bounds and ticks from the
// channels in use and the manual flags. The painting of the plot area is
// drawGraph's.
void computeGraphScale(AppContext& ctx);

// Where a report's Y bounds start from.
enum class ReportBounds {
    Automatic,  // the report of a file: the automatic bounds
    Held,       // the report from the graph window: the bounds it shows
};

// The ranges a report draws with: the time span data numbers
// span.first..span.last, the Y bounds as chosen, and each Y axis then widened
// (to whole units, held) where a sample of the span would lie outside it, so
// that an audit document shows every sample. ctx.graph is left as it was.
GraphState reportGraphState(AppContext& ctx, AxisRows span, ReportBounds bounds);

// Turns the drag rectangle (dragStartX.. in ctx.graph, clamped to the plot)
// into held ranges and saves the old ones for undo. computeGraphScale
// follows.
void zoomToSelection(AppContext& ctx, const GraphGeometry& g);

// "自動範囲に戻す": saves the current ranges for undo, clears the manual flags.
void restoreAutoRange(AppContext& ctx);

// "ひとつ前に戻す": swaps each range with its saved copy and holds all three;
// false (nothing changed) before the first range change.
bool undoRange(AppContext& ctx);

// Clamps a mouse position to the plot area; clamped tells whether it moved.
struct PlotPoint {
    double x = 0;
    double y = 0;
    bool clamped = false;
};
PlotPoint clampToPlot(const GraphGeometry& g, double x, double y);

// The part of a channel inside the X range: samples firstSample..lastSample
// (1-based; 0/0 when the channel is skipped), the first of them drawn at
// data number x().shown.low + xIndex − 1.
struct ChannelWindow {
    int firstSample = 0;
    int lastSample = 0;
    int xIndex = 0;
};
using ChannelWindows = std::array<ChannelWindow, kChannels + 1>;
ChannelWindows channelWindows(const ChannelStore& s, const GraphState& g);

// The statistics grid gpgrid: 11 rows × 9 columns (column 0 the titles,
// columns 1..8 the channels).
constexpr int kGraphGridRows = 11;
using GraphGridTexts = std::array<std::array<QString, kChannels + 1>, kGraphGridRows>;
const std::array<QString, kGraphGridRows>& graphGridTitles();
// The titles and, for every channel in use, the statistics of its visible
// window (line break in row 0 as "\n").
GraphGridTexts fillGraphGrid(const AppContext& ctx);

// The tooltip of the picture at (x, y): "yy-mm-dd hh:nn:ss value unit" of
// the closest in-range sample within 150 twips, or empty.
QString cursorReadout(const AppContext& ctx, const GraphGeometry& g, double x, double y);

}  // namespace quillet
