// The window statistics of the visible part and the cursor read-out.
#include "graph/graphscale.h"
#include "graphfill.h"
#include "support/fakes.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

using fakes::TestContext;
using graphtest::channelData;
using graphtest::fill;

TEST(GraphGrid, StatisticsOfAZoomedWindow) {
    TestContext t;
    // Hourly samples 21.0 .. 40.0 ℃, sample 7 an error; reference 25.0 H.
    std::vector<int16_t> v;
    for (int i = 1; i <= 20; ++i) v.push_back(int16_t(i == 7 ? kErrorSample : 200 + 10 * i));
    auto a = channelData(1, v, 1, 3600);
    a.referenceValue = 250;
    fill(t.ctx, 1, a);
    fill(t.ctx, 2, channelData(2, std::vector<int16_t>(20, 555)));
    fill(t.ctx, 3, channelData(0, {100, 100}, 16, 3600));  // starts after the window
    GraphState& g = t.ctx.graph;
    g.x().manual = 1;
    g.x().shown.low = 6;
    g.x().shown.high = 10;
    computeGraphScale(t.ctx);

    // Over all samples the excess is 1180 tenths × 1 h: T / 10 = 118.
    struct Case {
        int32_t integratedValue;
        const char* want;                   // row 5
    } cases[] = {{118, "13"}, {50, "12"}};  // the window from sample 6, or from 7
    for (const Case& c : cases) {
        t.ctx.store.ch[1].integratedValue = c.integratedValue;
        const GraphGridTexts cells = fillGraphGrid(t.ctx);
        EXPECT_EQ(cells[5][1], QString::fromUtf8(c.want)) << c.integratedValue;
        EXPECT_EQ(cells[0][0], QStringLiteral("ｶｰﾄﾞ-ﾃｽﾄ"));
        EXPECT_EQ(cells[10][0], QStringLiteral("測定値"));
        EXPECT_EQ(cells[0][1], QStringLiteral("℃ 001\n001"));
        EXPECT_EQ(cells[1][1], QStringLiteral("5/1"));
        EXPECT_EQ(cells[2][1], QStringLiteral("30.0"));
        EXPECT_EQ(cells[3][1], QStringLiteral("26.0"));
        EXPECT_EQ(cells[4][1], QStringLiteral("28.2"));  // 282.5 tenths, halves to even
        EXPECT_EQ(cells[6][1], QStringLiteral("25H"));
        EXPECT_EQ(cells[7][1], QStringLiteral("25"));
        EXPECT_EQ(cells[8][1], QStringLiteral("10"));
        EXPECT_EQ(cells[0][2], QStringLiteral("%RH 001\n001"));
        EXPECT_EQ(cells[4][2], QStringLiteral("56"));
        EXPECT_EQ(cells[5][2], QStringLiteral("-----"));  // no reference value
        EXPECT_EQ(cells[1][3], QStringLiteral("0/0"));
        for (int r = 2; r <= 5; ++r) EXPECT_EQ(cells[size_t(r)][3], QStringLiteral("-----"));
        EXPECT_EQ(cells[7][3], QStringLiteral("-----"));  // kind 0: no alarms
        EXPECT_TRUE(cells[1][4].isEmpty());
    }
    // The whole channel shows the logger's integrated value.
    g.x().manual = 0;
    computeGraphScale(t.ctx);
    EXPECT_EQ(fillGraphGrid(t.ctx)[5][1], QStringLiteral("50"));
}

TEST(GraphGrid, CursorReadout) {
    TestContext t;
    auto a = channelData(1, std::vector<int16_t>(10, 249));
    a.samples[4] = kErrorSample;  // data number 5
    fill(t.ctx, 1, a);
    fill(t.ctx, 2, channelData(1, std::vector<int16_t>(10, 251)));
    fill(t.ctx, 3, channelData(2, std::vector<int16_t>(10, 555)));
    GraphState& g = t.ctx.graph;
    g.temp().manual = 1;
    g.temp().shown.low = 21;
    g.temp().shown.high = 26;
    computeGraphScale(t.ctx);
    const GraphGeometry geo = graphGeometry(t.ctx.layout);
    const double xScale = geo.plotWidth / 9.0, scale = geo.plotHeight / 50.0;
    auto x = [&](int n) { return geo.plotLeft + (n - 1) * xScale; };
    auto y = [&](int tenths) { return geo.plotTop + (260 - tenths) * scale + 1; };  // value under the cursor

    struct Case {
        const char* name;
        double x, y;
        const char* want;
    } cases[] = {
        {"a tie: the first channel wins", x(3), y(250), "13-11-15 10:20:00 24.9℃"},
        {"the closer channel", x(3), y(251), "13-11-15 10:20:00 25.1℃"},
        {"149 twips beside the data number", x(3) + 149, y(251), "13-11-15 10:20:00 25.1℃"},
        {"151 twips beside it", x(3) + 151, y(251), ""},
        {"too far above the closest sample", x(3), y(253), ""},
        {"outside the plot", geo.plotLeft - 1.0, y(250), ""},
        {"humidity", x(4),
         geo.plotTop + (g.humid().shown.high * 10 - 555) *
                           (geo.plotHeight / ((g.humid().shown.high - g.humid().shown.low) * 10.0)),
         "13-11-15 10:30:00 56%RH"},
    };
    for (const Case& c : cases) EXPECT_EQ(cursorReadout(t.ctx, geo, c.x, c.y), QString::fromUtf8(c.want)) << c.name;

    // Over an error sample only the other channels answer.
    EXPECT_EQ(cursorReadout(t.ctx, geo, x(5), y(251)), QStringLiteral("13-11-15 10:40:00 25.1℃"));
    t.ctx.store.ch[2].inUse = 0;
    EXPECT_EQ(cursorReadout(t.ctx, geo, x(5), y(249)), QString());
}

}  // namespace
}  // namespace quillet
