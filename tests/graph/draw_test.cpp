// drawGraph, judged by the pixels of small images: transitions, gaps, late
// channels, markers, reference lines and the humidity-only grid.
#include "graph/drawgraph.h"
#include "graph/graphfile.h"
#include "graphfill.h"
#include "support/fakes.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>

namespace quillet {
namespace {

using fakes::TestContext;
using graphtest::channelData;
using graphtest::fill;

constexpr QRgb kBlue = 0x000080;   // channel A
constexpr QRgb kGreen = 0x008000;  // channel B

class DrawGraphTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { graphtest::ensureGuiApplication(); }
    // The curves alone; the alarm limits have a test of their own.
    void SetUp() override { t.ctx.graph->alarmLinesOn = false; }

    // Held temperature bounds, so that the pictures do not depend on the
    // automatic rules.
    void holdTemp(int min, int max) {
        t.ctx.graph->temp().manual = 1;
        t.ctx.graph->temp().shown.low = int16_t(min);
        t.ctx.graph->temp().shown.high = int16_t(max);
    }
    void draw() {
        computeGraphScale(t.ctx);
        geo = graphGeometryForPicture(t.ctx.layout, size.width() * 15.0, size.height() * 15.0);
        image = graphImage(t.ctx, size);
    }
    // Device position of data number n at value v (tenths, temperature axis).
    QPointF at(double n, double v) const {
        const GraphState& g = t.ctx.graph;
        const double xScale = double(geo.plotWidth) / (g.x().shown.high - g.x().shown.low);
        const double scale = double(geo.plotHeight) / ((g.temp().shown.high - g.temp().shown.low) * 10);
        return {(geo.plotLeft + (n - g.x().shown.low) * xScale) / 15,
                ((g.temp().shown.high * 10 - v) * scale + geo.plotTop) / 15};
    }
    bool colourNear(QPointF p, QRgb colour, int radius = 1) const {
        for (int dx = -radius; dx <= radius; ++dx)
            for (int dy = -radius; dy <= radius; ++dy) {
                const QPoint q(int(std::floor(p.x())) + dx, int(std::floor(p.y())) + dy);
                if (image.rect().contains(q) && (image.pixel(q) & 0xFFFFFF) == colour) return true;
            }
        return false;
    }
    // Pixels of a colour in a rectangle of device pixels.
    int count(QRect r, QRgb colour) const {
        int n = 0;
        r = r.intersected(image.rect());
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) n += (image.pixel(x, y) & 0xFFFFFF) == colour;
        return n;
    }
    // The inside of the plot, clear of the frame.
    QRect inside() const {
        return QRect(QPoint(int(geo.plotLeft / 15) + 3, int(geo.plotTop / 15) + 3),
                     QPoint(int(geo.plotRight() / 15) - 3, int(geo.plotBottom() / 15) - 3));
    }

    TestContext t;
    QSize size{1000, 400};
    GraphGeometry geo;
    QImage image;
};

TEST_F(DrawGraphTest, EdgeToEdgeJumpAndErrorGap) {
    holdTemp(0, 10);
    // above, below, error: 50.0 and -10.0 lie outside 0..10 ℃.
    fill(t.ctx, 1, channelData(1, {50, 50, 500, -100, 50, kErrorSample, 50, 50, 50, 50}));
    draw();
    auto mid = [](QPointF a, QPointF b) { return (a + b) / 2; };
    const QPointF topEdge3(at(3, 0).x(), geo.plotTop / 15.0), bottomEdge4(at(4, 0).x(), geo.plotBottom() / 15.0);
    EXPECT_TRUE(colourNear(mid(at(1, 50), at(2, 50)), kBlue));
    EXPECT_TRUE(colourNear(mid(at(2, 50), topEdge3), kBlue)) << "a curve leaving the range ends on the top edge";
    EXPECT_TRUE(colourNear(mid(topEdge3, bottomEdge4), kBlue)) << "one segment from edge to edge";
    EXPECT_TRUE(colourNear(mid(bottomEdge4, at(5, 50)), kBlue));
    EXPECT_FALSE(colourNear(mid(at(5, 50), at(6, 50)), kBlue, 2)) << "an error sample breaks the curve";
    EXPECT_FALSE(colourNear(mid(at(6, 50), at(7, 50)), kBlue, 2)) << "and the curve restarts without a line";
    EXPECT_TRUE(colourNear(mid(at(7, 50), at(8, 50)), kBlue));
}

TEST_F(DrawGraphTest, LateChannelStartsAtItsOwnDataNumber) {
    holdTemp(0, 50);
    fill(t.ctx, 1, channelData(1, std::vector<int16_t>(10, 100)));
    fill(t.ctx, 2, channelData(1, {300, 300, 300, 300}, 6));
    draw();
    const ChannelWindows w = channelWindows(t.ctx.store, t.ctx.graph);
    EXPECT_EQ(w[2].firstSample, 1);
    EXPECT_EQ(w[2].xIndex, 6);
    EXPECT_TRUE(colourNear(at(6, 300), kGreen));
    const int lateX = int(at(6, 300).x()) - 4;
    EXPECT_EQ(count(QRect(QPoint(0, 0), QPoint(lateX, size.height())), kGreen), 0);
    EXPECT_TRUE(colourNear((at(8, 300) + at(9, 300)) / 2, kGreen));
}

TEST_F(DrawGraphTest, AllErrorChannelDrawsNothing) {
    holdTemp(0, 50);
    fill(t.ctx, 1, channelData(1, std::vector<int16_t>(50, 100)));
    fill(t.ctx, 2, channelData(1, std::vector<int16_t>(50, kErrorSample)));
    draw();
    EXPECT_GT(count(image.rect(), kBlue), 50);
    EXPECT_EQ(count(image.rect(), kGreen), 0);
}

TEST_F(DrawGraphTest, SingleVisibleSampleIsAMarkedPoint) {
    holdTemp(0, 50);
    fill(t.ctx, 1, channelData(1, {250}));
    draw();
    ASSERT_EQ(t.ctx.graph->x().shown.high, 2);
    const QPointF p = at(1, 250);
    EXPECT_TRUE(colourNear(p, kBlue, 2));
    EXPECT_EQ(count(QRect(QPoint(int(p.x()) + 6, 0), QPoint(size.width(), size.height())), kBlue), 0);
}

TEST_F(DrawGraphTest, CirclesUpToAHundredDataNumbers) {
    for (int rows : {101, 102}) {
        SCOPED_TRACE(rows);
        TestContext fresh;
        fill(fresh.ctx, 1, channelData(1, std::vector<int16_t>(size_t(rows), 250)));
        fresh.ctx.graph->temp().manual = 1;
        fresh.ctx.graph->temp().shown.low = 0;
        fresh.ctx.graph->temp().shown.high = 50;
        computeGraphScale(fresh.ctx);
        geo = graphGeometryForPicture(fresh.ctx.layout, size.width() * 15.0, size.height() * 15.0);
        image = graphImage(fresh.ctx, size);
        // Circles are filled black; nothing else inside the plot is black.
        if (rows == 101)
            EXPECT_GT(count(inside(), 0x000000), 20);
        else
            EXPECT_EQ(count(inside(), 0x000000), 0);
    }
}

TEST_F(DrawGraphTest, ReferenceLineOnlyStrictlyInsideTheBounds) {
    holdTemp(0, 10);
    fill(t.ctx, 1, channelData(1, std::vector<int16_t>(200, 20)));
    t.ctx.graph->refLineOn = 1;
    draw();
    // An unset reference is drawn in the middle of the axis, in the colour
    // of the axis's first channel; painting keeps the state as it is.
    EXPECT_EQ(t.ctx.graph->refTemp, 9999);
    const QRect middleRow(inside().left(), int(at(1, 50).y()) - 1, inside().width(), 3);
    EXPECT_GT(count(middleRow, kBlue), 200);
    EXPECT_EQ(count(inside(), 0x000000), 0);
    t.ctx.graph->refTemp = 10;  // equal to tempMax
    draw();
    EXPECT_EQ(count(middleRow, kBlue), 0);
}

TEST_F(DrawGraphTest, AlarmLimitsDashedInChannelColourWithTimeBeyondShaded) {
    holdTemp(0, 50);
    // Alarm limits 25.0 and 10.0; samples 11..15 lie above the upper one.
    std::vector<int16_t> v(30, 200);
    std::fill(v.begin() + 10, v.begin() + 15, int16_t(300));
    fill(t.ctx, 1, channelData(1, v));
    // A channel of kind 0 carries no alarm values: nothing of its own.
    fill(t.ctx, 2, channelData(0, std::vector<int16_t>(30, 400)));
    auto row = [&](int tenths) {
        return QRect(QPoint(int(at(2, 0).x()), int(at(1, tenths).y()) - 1),
                     QPoint(int(at(9, 0).x()), int(at(1, tenths).y()) + 1));
    };
    for (const bool on : {true, false}) {
        SCOPED_TRACE(on);
        t.ctx.graph->alarmLinesOn = on;
        draw();
        const int width = row(250).width();
        for (const int limit : {250, 100}) {
            const int blue = count(row(limit), kBlue);
            if (on) {
                EXPECT_GT(blue, width / 4) << limit;
                EXPECT_LT(blue, 3 * width - width / 4) << "dashed, not solid: " << limit;
            } else {
                EXPECT_EQ(blue, 0) << limit;
            }
        }
        // Above both curves: tinted during the excursion, white before it.
        const QRgb during = image.pixel(at(13, 450).toPoint()) & 0xFFFFFF;
        const QRgb before = image.pixel(at(5, 450).toPoint()) & 0xFFFFFF;
        EXPECT_EQ(before, 0xFFFFFFu);
        if (on)
            EXPECT_TRUE(during != 0xFFFFFF && during != kBlue) << std::hex << during;
        else
            EXPECT_EQ(during, 0xFFFFFFu);
        EXPECT_EQ(count(row(250), kGreen), 0) << "a channel without alarm values has no lines";
    }
}

TEST_F(DrawGraphTest, HumidityOnlyGridHasNoLeftLabels) {
    fill(t.ctx, 1, channelData(2, std::vector<int16_t>(50, 550)));
    draw();
    const int left = geo.plotLeft / 15 - 3, right = geo.plotRight() / 15 + 3;
    auto nonWhite = [&](QRect r) { return r.width() * r.height() - count(r, 0xFFFFFF); };
    EXPECT_EQ(nonWhite(QRect(QPoint(0, 0), QPoint(left, geo.plotBottom() / 15))), 0);
    EXPECT_GT(nonWhite(QRect(QPoint(right, 0), QPoint(size.width() - 1, geo.plotBottom() / 15))), 20);
    const int gridRow = (geo.plotTop + geo.plotHeight / 5) / 15;
    EXPECT_GT(count(QRect(inside().left(), gridRow - 1, inside().width(), 3), 0x800000), 20);
}

TEST_F(DrawGraphTest, DegenerateRangesDrawAnEmptyOrFlatPlot) {
    // Held bounds that are equal (a hand-edited settings file) and a zoom to
    // one data number: no division by zero, the picture is still drawn.
    holdTemp(20, 20);
    fill(t.ctx, 1, channelData(1, std::vector<int16_t>(10, 200)));
    t.ctx.graph->x().manual = 1;
    t.ctx.graph->x().shown.low = t.ctx.graph->x().shown.high = 7;
    draw();
    EXPECT_EQ(t.ctx.graph->x().shown.high - t.ctx.graph->x().shown.low, 1);
    EXPECT_GT(count(image.rect(), kBlue), 10);

    // No channel at all: the frame and nothing else.
    TestContext empty;
    computeGraphScale(empty.ctx);
    const QImage blank = graphImage(empty.ctx, size);
    EXPECT_FALSE(blank.isNull());
}

TEST_F(DrawGraphTest, FullStoreSkipsByPixelColumn) {
    for (int ch = 1; ch <= kChannels; ++ch) {
        std::vector<int16_t> v(kMaxSamples);
        for (int i = 0; i < kMaxSamples; ++i) v[size_t(i)] = int16_t(200 + 50 * std::sin(i / 300.0 + ch));
        fill(t.ctx, ch, channelData(ch == 8 ? 2 : 1, v));
    }
    draw();
    EXPECT_EQ(t.ctx.graph->x().shown.high, kMaxSamples);
    EXPECT_GT(count(image.rect(), kBlue), 100);
    EXPECT_GT(count(image.rect(), 0xFF00FF), 100);  // channel H, humidity
}

}  // namespace
}  // namespace quillet
