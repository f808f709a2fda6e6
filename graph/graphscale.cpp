#include "graph/graphscale.h"
#include "core/store.h"

#include "core/context.h"
#include "core/settingsfiles.h"
#include "core/vb.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace quillet {

using vb::cint;

double dataNumberTime(const ChannelStore& s, int n) { return rowTime(s, n); }

Saved saveGraphSettings(AppContext& ctx) {
    GeneralSettings& s = ctx.general;
    const GraphState& g = ctx.graph;
    s.tempManual = g.temp().manual;
    s.humidManual = g.humid().manual;
    s.tempMax = g.temp().shown.high;
    s.tempMin = g.temp().shown.low;
    s.humidMax = g.humid().shown.high;
    s.humidMin = g.humid().shown.low;
    return saveGeneralSettings(s, ctx.folders.settingsFile);
}

// ---------------------------------------------------------------- geometry

int graphFontSize(const LayoutValues& l) { return l.designWidth < 1280 ? l.fontSize : 14; }

namespace {

GraphGeometry geometryFrom(const LayoutValues& l, double wd, double hd, double pictureWidth, double pictureHeight) {
    GraphGeometry g;
    g.pictureWidth = pictureWidth;
    g.pictureHeight = pictureHeight;
    g.plotLeft = int(cint(wd * 0.875));
    g.plotTop = int(cint(hd * 0.875));
    // A picture too small for its margins still gets a plot of one twip.
    g.plotWidth = std::max(1, int(cint(pictureWidth)) - 2 * g.plotLeft);
    g.plotHeight = std::max(1, int(cint(pictureHeight)) - 2 * g.plotTop);
    g.fontSize = graphFontSize(l);
    g.textHeight = g.fontSize * 15;
    return g;
}

}  // namespace

GraphGeometry graphGeometry(const LayoutValues& l) {
    const double w = double(cint(l.designWidth * 15.0 - 300));
    const double h = double(cint(l.designHeight * 5000.0 / 600));
    return geometryFrom(l, l.designWidth, l.designHeight, w, h);
}

GraphGeometry graphGeometryForPicture(const LayoutValues& l, double widthTwips, double heightTwips) {
    return geometryFrom(l, (widthTwips + 300) / 15, heightTwips * 600 / 5000, widthTwips, heightTwips);
}

uint32_t defaultChannelColor(int channel) {
    static const GraphState defaults;
    return channel >= 1 && channel <= kChannels + 1 ? defaults.channelColor[size_t(channel)] : 0;
}

// ---------------------------------------------------------------- scale

namespace {

int16_t xTickFor(int span) {
    static const std::pair<int, int> table[] = {{7802, 900}, {6002, 780}, {4802, 600}, {3602, 480}, {3002, 360},
                                                {2402, 300}, {1502, 240}, {1202, 150}, {902, 120},  {602, 90},
                                                {452, 60},   {302, 45},   {202, 30},   {152, 20},   {102, 15},
                                                {53, 10},    {42, 5},     {32, 4},     {22, 3},     {12, 2}};
    for (const auto& [least, tick] : table)
        if (span >= least) return int16_t(tick);
    return 1;
}

// Divisor v (tenths) and step u (whole units) of a data span d (tenths).
std::pair<int, int> divisorFor(int d) {
    if (d >= 500) return {1000, 100};
    if (d >= 300) return {500, 50};
    if (d >= 50) return {100, 10};
    return {10, 1};
}

int16_t tempTickFor(int d, int16_t previous) {
    static const std::pair<int, int> table[] = {{10, 2},     {20, 4},     {25, 5},     {50, 10},
                                                {100, 20},   {200, 40},   {250, 50},   {500, 100},
                                                {1000, 200}, {2000, 400}, {2500, 500}, {5000, 1000}};
    for (const auto& [most, tick] : table)
        if (d <= most) return int16_t(tick);
    return previous;
}

int16_t humidTickFor(int f, int16_t previous) {
    static const std::pair<int, int> table[] = {{50, 10}, {100, 20}, {200, 40}, {250, 50}, {500, 100}, {1000, 200}};
    for (const auto& [most, tick] : table)
        if (f <= most) return int16_t(tick);
    return previous;
}

// An axis after its automatic bounds (top, bottom) are known; the same rule
// for temperature and humidity, which differ in their ceiling and ticks.
// Held bounds stay, with a tick of a fifth of their span; automatic bounds
// take five ticks up from the bottom, moved down under the ceiling.
void settleAxis(AxisRange& a, int top, int bottom, int ceiling, int16_t (*tickFor)(int, int16_t)) {
    a.automatic = {int16_t(bottom), int16_t(top)};
    Bounds& b = a.shown;
    if (!a.manual) b = a.automatic;
    const int span = (b.high - b.low) * 10;
    a.tick = tickFor(span, a.tick);
    if (a.manual) {
        a.tick = int16_t(cint(span / 5.0));
        return;
    }
    b.high = int16_t(b.low + cint(5.0 * a.tick / 10));
    if (b.high > ceiling) {
        b.high = int16_t(ceiling);
        b.low = int16_t(ceiling - cint(5.0 * a.tick / 10));
    }
}

}  // namespace

void computeGraphScale(AppContext& ctx) {
    GraphState& g = ctx.graph;
    const ChannelStore& s = ctx.store;

    // 1. X range. An empty store still gets a range of one row.
    const int rows = std::max<int>(1, s.rowCount);
    g.x().automatic.low = 1;
    g.x().automatic.high = int16_t(rows);
    if (!g.x().manual) {
        g.x().shown.low = 1;
        g.x().shown.high = int16_t(rows);
    }
    if (g.x().shown.high < g.x().shown.low) std::swap(g.x().shown.low, g.x().shown.high);
    if (g.x().shown.low == g.x().shown.high) {
        // The span is never zero. The highest data number is 9000 or, on a
        // longer axis, its last row.
        if (g.x().shown.high >= std::max(9000, rows) && g.x().shown.low > 1)
            --g.x().shown.low;
        else
            ++g.x().shown.high;
    }

    // 2. Vertical grid step.
    g.x().tick = xTickFor(g.x().shown.high - g.x().shown.low);

    // 3. Extremes of the channels' stored statistics (tenths).
    g.hasTemp = false;
    g.hasHumid = false;
    int tMax = -1000, tMin = 2000, hMax = 0, hMin = 1000;
    for (int ch = 1; ch <= kChannels; ++ch) {
        const ChannelRecord& c = s.ch[size_t(ch)];
        if (c.inUse != 1) continue;
        if (isTemperature(c.kind)) {
            g.hasTemp = true;
            tMax = std::max<int>(tMax, c.maxValue);
            tMin = std::min<int>(tMin, c.minValue);
        } else if (isHumidity(c.kind)) {
            g.hasHumid = true;
            hMax = std::max<int>(hMax, c.maxValue);
            hMin = std::min<int>(hMin, c.minValue);
        }
    }

    // 4. Temperature bounds.
    if (g.hasTemp) {
        const auto [v, u] = divisorFor(tMax - tMin);
        int top = tMax > 0 ? (tMax / v + 1) * u : tMax < 0 ? ((tMax - 1) / v) * u : 0;
        int bottom = tMin > 0 ? (tMin / v) * u : tMin < 0 ? ((tMin / v) - 1) * u : 0;
        top = std::min(top, 200);
        bottom = std::max(bottom, -100);
        settleAxis(g.temp(), top, bottom, 200, tempTickFor);
    }

    // 5. Humidity bounds: the bottom uses Hmin − 1, small spans add 1 %RH.
    if (g.hasHumid) {
        const int d = hMax - hMin;
        const auto [v, u] = divisorFor(d);
        if (d < 50) hMax += 10;
        const int top = std::min((hMax / v + 1) * u, 100);
        const int bottom = std::max(((hMin - 1) / v) * u, 0);
        settleAxis(g.humid(), top, bottom, 100, humidTickFor);
    }
}

// ---------------------------------------------------------------- report

namespace {

// The lowest and highest sample (tenths) of the temperature or of the
// humidity channels inside the X range; low > high when there is none.
std::pair<int, int> sampleExtremes(const AppContext& ctx, const ChannelWindows& windows, bool humidity) {
    int low = std::numeric_limits<int>::max(), high = std::numeric_limits<int>::min();
    for (int ch = 1; ch <= kChannels; ++ch) {
        const ChannelWindow& w = windows[size_t(ch)];
        if (w.firstSample == 0 || isHumidity(ctx.store.ch[size_t(ch)].kind) != humidity) continue;
        const auto& samples = ctx.store.samples[size_t(ch)];
        for (int i = w.firstSample; i <= w.lastSample; ++i) {
            const int v = samples[size_t(i)];
            if (v == kErrorSample) continue;
            low = std::min(low, v);
            high = std::max(high, v);
        }
    }
    return {low, high};
}

// Widens min..max (whole units) to hold low..high (tenths); true when it did.
bool widenToHold(AxisRange& a, std::pair<int, int> extremes) {
    const auto [low, high] = extremes;
    if (low > high) return false;
    const int lowest = int(std::floor(low / 10.0)), highest = int(std::ceil(high / 10.0));
    Bounds& b = a.shown;
    if (lowest >= b.low && highest <= b.high) return false;
    b.low = int16_t(std::min<int>(b.low, lowest));
    b.high = int16_t(std::max<int>(b.high, highest));
    a.manual = true;
    return true;
}

}  // namespace

GraphState reportGraphState(AppContext& ctx, AxisRows span, ReportBounds bounds) {
    const GraphState shown = ctx.graph;
    GraphState& g = ctx.graph;
    g.x().manual = true;
    g.x().shown = {int16_t(span.first), int16_t(span.last)};
    if (bounds == ReportBounds::Automatic) {
        g.temp().manual = false;
        g.humid().manual = false;
    }
    computeGraphScale(ctx);
    const ChannelWindows windows = channelWindows(ctx.store, ctx.graph);
    const bool temp = g.hasTemp && widenToHold(g.temp(), sampleExtremes(ctx, windows, false));
    const bool humid = g.hasHumid && widenToHold(g.humid(), sampleExtremes(ctx, windows, true));
    if (temp || humid) computeGraphScale(ctx);  // the ticks of the widened axes
    const GraphState report = ctx.graph;
    ctx.graph = shown;
    return report;
}

// ---------------------------------------------------------------- zoom

namespace {

// Zooms an axis to the fractions lowFraction..highFraction of its span:
// Int of the lower edge and the upper edge rounded up when not whole; equal
// bounds are widened by one. A span under two stays. The bounds before are
// kept for undo, and the axis is held.
void zoomAxis(AxisRange& a, double lowFraction, double highFraction) {
    Bounds& b = a.shown;
    a.previous = b;
    const int span = b.high - b.low;
    if (span >= 2) {
        const int low = int(std::floor(lowFraction * span + b.low));
        int high = int(std::ceil(highFraction * span + b.low));
        if (high == low) ++high;
        b = {int16_t(low), int16_t(high)};
    }
    a.manual = true;
}

}  // namespace

void zoomToSelection(AppContext& ctx, const GraphGeometry& geo) {
    GraphState& g = ctx.graph;
    const double xl = std::min(g.dragStartX, g.dragEndX), xr = std::max(g.dragStartX, g.dragEndX);
    const double yt = std::min(g.dragStartY, g.dragEndY), yb = std::max(g.dragStartY, g.dragEndY);
    const double w = std::max(1, geo.plotWidth), h = std::max(1, geo.plotHeight);
    const double bottom = geo.plotTop + geo.plotHeight;

    zoomAxis(g.x(), (xl - geo.plotLeft) / w, (xr - geo.plotLeft) / w);
    g.undoAvailable = true;
    if (g.hasTemp) zoomAxis(g.temp(), (bottom - yb) / h, (bottom - yt) / h);
    if (g.hasHumid) zoomAxis(g.humid(), (bottom - yb) / h, (bottom - yt) / h);
}

void restoreAutoRange(AppContext& ctx) {
    GraphState& g = ctx.graph;
    for (AxisRange& a : g.axes) {
        a.previous = a.shown;
        a.manual = false;
    }
    g.undoAvailable = true;
}

bool undoRange(AppContext& ctx) {
    GraphState& g = ctx.graph;
    if (!g.undoAvailable) return false;
    for (AxisRange& a : g.axes) {
        std::swap(a.shown, a.previous);
        a.manual = true;
    }
    return true;
}

PlotPoint clampToPlot(const GraphGeometry& g, double x, double y) {
    PlotPoint p{std::clamp<double>(x, g.plotLeft, g.plotRight()), std::clamp<double>(y, g.plotTop, g.plotBottom()),
                false};
    p.clamped = p.x != x || p.y != y;
    return p;
}

// ---------------------------------------------------------------- channel windows

ChannelWindows channelWindows(const ChannelStore& s, const GraphState& g) {
    ChannelWindows w{};
    for (int ch = 1; ch <= kChannels; ++ch) {
        const ChannelRecord& c = s.ch[size_t(ch)];
        if (c.inUse != 1 || c.kind < 0 || c.kind > 2 || c.sampleCount <= 0) continue;
        if (c.sampleCount + c.rowOffset < g.x().shown.low || c.rowOffset >= g.x().shown.high) continue;
        ChannelWindow& cw = w[size_t(ch)];
        if (g.x().shown.low > c.rowOffset + 1) {
            cw.firstSample = g.x().shown.low - c.rowOffset;
            cw.xIndex = 1;
        } else {
            cw.firstSample = 1;
            cw.xIndex = c.rowOffset + 2 - g.x().shown.low;
        }
        cw.lastSample =
            c.sampleCount + c.rowOffset <= g.x().shown.high ? c.sampleCount : g.x().shown.high - c.rowOffset;
    }
    return w;
}

}  // namespace quillet
