// Automatic ranges, ticks and the zoom / undo / back-to-automatic cycle.
#include "graph/graphscale.h"
#include "graphfill.h"
#include "support/fakes.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

using fakes::TestContext;
using graphtest::channelData;
using graphtest::fill;

struct AxisCase {
    const char* name;
    int kind;
    std::vector<int16_t> samples;
    int wantMin, wantMax, wantTick, wantAutoMax;
};

TEST(GraphScale, AutomaticBoundsAndTicks) {
    const AxisCase cases[] = {
        {"21.0..23.5", 1, {210, 235}, 21, 26, 10, 24},
        {"all 0.0", 1, {0, 0, 0}, 0, 1, 2, 0},
        {"-5.3..-2.0", 0, {-53, -20}, -6, -1, 10, -2},
        {"171..199 fitted below 200", 1, {1710, 1990}, 150, 200, 100, 200},
        {"humidity 0.0..0.3 adds 1 %RH", 2, {0, 3}, 0, 5, 10, 2},
        {"humidity 45..62 fitted to five steps", 2, {450, 620}, 40, 90, 100, 70},
    };
    for (const AxisCase& c : cases) {
        SCOPED_TRACE(c.name);
        TestContext t;
        fill(t.ctx, 1, channelData(c.kind, c.samples));
        computeGraphScale(t.ctx);
        const GraphState& g = t.ctx.graph;
        if (c.kind == 2) {
            EXPECT_EQ(g.hasHumid, 1);
            EXPECT_EQ(g.hasTemp, 0);
            EXPECT_EQ(g.humid().shown.low, c.wantMin);
            EXPECT_EQ(g.humid().shown.high, c.wantMax);
            EXPECT_EQ(g.humid().tick, c.wantTick);
            EXPECT_EQ(g.humid().automatic.high, c.wantAutoMax);
        } else {
            EXPECT_EQ(g.hasTemp, 1);
            EXPECT_EQ(g.temp().shown.low, c.wantMin);
            EXPECT_EQ(g.temp().shown.high, c.wantMax);
            EXPECT_EQ(g.temp().tick, c.wantTick);
            EXPECT_EQ(g.temp().automatic.high, c.wantAutoMax);
        }
    }
}

TEST(GraphScale, XRangeNeverHasZeroSpan) {
    struct Case {
        const char* name;
        int rows;
        int manualStart, manualEnd;  // 0 = automatic
        int wantStart, wantEnd, wantTick;
    } cases[] = {
        {"one row", 1, 0, 0, 1, 2, 1},
        {"9000..9000", 9000, 9000, 9000, 8999, 9000, 1},
        {"last row of a longer axis", 12500, 12500, 12500, 12499, 12500, 1},
        {"inside a longer axis", 12500, 9500, 9500, 9500, 9501, 1},
        {"whole 9000 rows", 9000, 0, 0, 1, 9000, 900},
        {"100 rows", 100, 0, 0, 1, 100, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestContext t;
        fill(t.ctx, 1, channelData(1, std::vector<int16_t>(size_t(std::min(c.rows, kMaxSamples)), 200)));
        t.ctx.store.rowCount = int16_t(c.rows);  // a late channel lengthens the axis
        if (c.manualStart) {
            t.ctx.graph->x().manual = 1;
            t.ctx.graph->x().shown.low = int16_t(c.manualStart);
            t.ctx.graph->x().shown.high = int16_t(c.manualEnd);
        }
        computeGraphScale(t.ctx);
        EXPECT_EQ(t.ctx.graph->x().shown.low, c.wantStart);
        EXPECT_EQ(t.ctx.graph->x().shown.high, c.wantEnd);
        EXPECT_EQ(t.ctx.graph->x().tick, c.wantTick);
        EXPECT_EQ(t.ctx.graph->x().automatic.high, c.rows);
    }
}

TEST(GraphScale, EmptyStoreGivesAnEmptyRange) {
    TestContext t;
    computeGraphScale(t.ctx);
    EXPECT_EQ(t.ctx.graph->x().shown.low, 1);
    EXPECT_EQ(t.ctx.graph->x().shown.high, 2);
    EXPECT_EQ(t.ctx.graph->hasTemp, 0);
    EXPECT_EQ(t.ctx.graph->hasHumid, 0);
}

TEST(GraphScale, ZoomUndoAndRestoreRoundTrip) {
    TestContext t;
    GraphState& g = t.ctx.graph;
    fill(t.ctx, 1, channelData(1, fakes::ramp(432, 210)));  // 21.0..64.1 ℃
    fill(t.ctx, 2, channelData(2, std::vector<int16_t>(432, 550)));
    computeGraphScale(t.ctx);
    EXPECT_EQ(g.temp().shown.low, 0);
    EXPECT_EQ(g.temp().shown.high, 100);
    EXPECT_EQ(g.humid().shown.low, 54);
    EXPECT_EQ(g.humid().shown.high, 59);
    EXPECT_EQ(g.undoAvailable, 0);
    EXPECT_FALSE(undoRange(t.ctx));  // nothing to undo yet
    EXPECT_EQ(g.x().manual, 0);

    // Right to left, bottom to top: the same as the other way round.
    const GraphGeometry geo = graphGeometry(t.ctx.layout);
    g.dragStartX = float(geo.plotLeft + geo.plotWidth / 2.0);
    g.dragStartY = float(geo.plotTop + geo.plotHeight / 2.0);
    g.dragEndX = float(geo.plotLeft + geo.plotWidth / 4.0);
    g.dragEndY = float(geo.plotTop);
    zoomToSelection(t.ctx, geo);
    computeGraphScale(t.ctx);
    // X: Int(431/4 + 1) = 108, 431/2 + 1 = 216.5 rounded up.
    EXPECT_EQ(g.x().shown.low, 108);
    EXPECT_EQ(g.x().shown.high, 217);
    EXPECT_EQ(g.temp().shown.low, 50);
    EXPECT_EQ(g.temp().shown.high, 100);
    EXPECT_EQ(g.temp().tick, 100);       // one fifth of the held span
    EXPECT_EQ(g.humid().shown.low, 56);  // Int(2.5 + 54)
    EXPECT_EQ(g.humid().shown.high, 59);
    EXPECT_EQ(g.humid().tick, 6);
    EXPECT_EQ(g.undoAvailable, 1);
    EXPECT_EQ(g.x().manual + g.temp().manual + g.humid().manual, 3);

    ASSERT_TRUE(undoRange(t.ctx));
    computeGraphScale(t.ctx);
    EXPECT_EQ(g.x().shown.low, 1);
    EXPECT_EQ(g.x().shown.high, 432);
    EXPECT_EQ(g.temp().shown.low, 0);
    EXPECT_EQ(g.temp().shown.high, 100);
    EXPECT_EQ(g.humid().shown.low, 54);
    ASSERT_TRUE(undoRange(t.ctx));  // twice: back to the zoom
    computeGraphScale(t.ctx);
    EXPECT_EQ(g.x().shown.low, 108);
    EXPECT_EQ(g.temp().shown.low, 50);

    restoreAutoRange(t.ctx);
    computeGraphScale(t.ctx);
    EXPECT_EQ(g.x().shown.low, 1);
    EXPECT_EQ(g.x().shown.high, 432);
    EXPECT_EQ(g.temp().shown.low, 0);
    EXPECT_EQ(g.temp().shown.high, 100);
    EXPECT_EQ(g.x().manual + g.temp().manual + g.humid().manual, 0);
    EXPECT_EQ(g.x().previous.low, 108);
    ASSERT_TRUE(undoRange(t.ctx));
    computeGraphScale(t.ctx);
    EXPECT_EQ(g.x().shown.low, 108);
    EXPECT_EQ(g.x().shown.high, 217);
}

TEST(GraphScale, NarrowZoomKeepsASpanOfOne) {
    TestContext t;
    GraphState& g = t.ctx.graph;
    fill(t.ctx, 1, channelData(1, fakes::ramp(11, 200)));  // data numbers 1..11
    computeGraphScale(t.ctx);
    const GraphGeometry geo = graphGeometry(t.ctx.layout);
    // A vertical line exactly on data number 6, and a flat line.
    g.dragStartX = g.dragEndX = float(geo.plotLeft + geo.plotWidth / 2.0);
    g.dragStartY = float(geo.plotTop);
    g.dragEndY = g.dragStartY;
    zoomToSelection(t.ctx, geo);
    computeGraphScale(t.ctx);
    EXPECT_EQ(g.x().shown.low, 6);
    EXPECT_EQ(g.x().shown.high, 7);
    EXPECT_EQ(g.temp().shown.high - g.temp().shown.low, 1);
}

TEST(GraphScale, GeometryFollowsThePicture) {
    LayoutValues l;  // 1024 × 680
    const GraphGeometry d = graphGeometry(l);
    EXPECT_EQ(d.pictureWidth, 15060);
    EXPECT_EQ(d.pictureHeight, 5667);
    EXPECT_EQ(d.plotLeft, 896);
    EXPECT_EQ(d.plotTop, 595);
    EXPECT_EQ(d.plotWidth, 13268);
    EXPECT_EQ(d.plotHeight, 4477);
    const GraphGeometry same = graphGeometryForPicture(l, 15060, 5667);
    EXPECT_EQ(same.plotLeft, d.plotLeft);
    EXPECT_EQ(same.plotTop, d.plotTop);
    const GraphGeometry tiny = graphGeometryForPicture(l, 30, 30);
    EXPECT_GE(tiny.plotWidth, 1);
    EXPECT_GE(tiny.plotHeight, 1);
}

}  // namespace
}  // namespace quillet
