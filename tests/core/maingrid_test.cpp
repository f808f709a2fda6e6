#include "core/maingrid.h"

#include "core/channelfill.h"
#include "support/fakes.h"

#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::fakes;

namespace {

ChannelRecord channel(int kind, int16_t upper = 250, int16_t lower = 100) {
    ChannelRecord c;
    c.inUse = 1;
    c.kind = int16_t(kind);
    c.upperAlarm = upper;
    c.lowerAlarm = lower;
    return c;
}

}  // namespace

TEST(MainGrid, SampleTexts) {
    const struct {
        int kind;
        int16_t upper, lower, raw;
        const char* text;
    } cases[] = {
        {1, 250, 100, 253, "25.3▲"},    {1, 250, 100, 250, "25.0   "},  // equal to the alarm: no mark
        {1, 250, 100, 100, "10.0   "},  {1, 250, 100, 99, "9.9▼"},
        {1, 100, 200, 150, "15.0◆"},                                // inconsistent alarms: above and below at once
        {0, 250, 100, 253, "25.3   "},                              // kind 0 never has a mark
        {0, 250, 100, -12, "-1.2   "},  {2, 800, 200, 853, "85▲"},  // humidity without decimals
        {2, 800, 200, 655, "66   "},                                // "0" rounds halves away from zero
        {1, 250, 100, 9999, "-----  "},                             // an error sample, not 999.9
        {0, 250, 100, 9999, "-----  "}, {2, 800, 200, 9999, "-----  "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sampleText(channel(c.kind, c.upper, c.lower), c.raw), QString::fromUtf8(c.text))
            << c.kind << " " << c.raw;
}

TEST(MainGrid, HeaderTexts) {
    TestContext t;
    AppContext& ctx = t.ctx;
    EXPECT_EQ(gridHeaderText(ctx, 0), "No.");
    EXPECT_EQ(gridHeaderText(ctx, 1), "時  刻");
    for (int col = 2; col <= 9; ++col) EXPECT_EQ(gridHeaderText(ctx, col), QString(QChar('A' + col - 2)));

    fillChannel(ctx, 2, {.kind = 2, .samples = ramp(3), .cardNo = 7, .testNo = 5});
    fillChannel(ctx, 5, {.kind = 1, .samples = ramp(3), .cardNo = 300, .testNo = 12});
    ctx.general.settingCharTest[12] = QStringLiteral("ｱ");
    EXPECT_EQ(gridHeaderText(ctx, 3), "007\r005\r[%RH]");
    EXPECT_EQ(gridHeaderText(ctx, 6), "255\rｱ\r[ﾟC]");
    EXPECT_EQ(ctx.store.ch[5].cardNo, 255);  // corrected in the store
    EXPECT_EQ(gridHeaderText(ctx, 2), "A");
}

TEST(MainGrid, EmptyChannelLabels) {
    TestContext t;
    fillChannel(t.ctx, 3, {.samples = ramp(2)});
    const auto labels = emptyChannelLabels(t.ctx.store);
    EXPECT_EQ(labels[0], "");
    EXPECT_EQ(labels[1], "");
    EXPECT_EQ(labels[2], "A");
    EXPECT_EQ(labels[4], "");  // channel 3 in use
    EXPECT_EQ(labels[9], "H");
}

TEST(MainGrid, CellsOnTheCommonAxis) {
    TestContext t;
    AppContext& ctx = t.ctx;
    // Channel 1 from 10:00, channel 2 starts two rows later.
    fillChannel(ctx, 1, {.kind = 1, .samples = {253, 250, 9999, 99, 200}});
    fillChannel(ctx, 2, {.kind = 0, .start = QDateTime(QDate(2013, 11, 15), QTime(10, 20, 0)), .samples = {211, 212}});
    rebuildTimeAxis(ctx.store);
    ASSERT_EQ(ctx.store.ch[2].rowOffset, 2);

    const struct {
        int row, col;
        const char* text;
    } cases[] = {
        {1, 0, "1"},
        {12000, 0, "12000"},
        {1, 1, "13-11-15 10:00:00"},
        {5, 1, "13-11-15 10:40:00"},
        {20, 1, "13-11-15 13:10:00"},  // 20 rows of times even for a short axis
        {21, 1, ""},
        {1, 2, "25.3▲"},
        {2, 2, "25.0   "},
        {3, 2, "-----  "},
        {4, 2, "9.9▼"},
        {6, 2, ""},
        {1, 3, ""},  // above the first sample of the later channel
        {2, 3, ""},
        {3, 3, "21.1   "},
        {4, 3, "21.2   "},
        {5, 3, ""},
        {1, 4, ""},  // an empty channel
        {0, 2, ""},
        {1, 10, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(gridCellText(ctx, c.row, c.col), QString::fromUtf8(c.text)) << c.row << "," << c.col;
}

TEST(MainGrid, NoChannelShowsOnlyRowNumbers) {
    TestContext t;
    EXPECT_EQ(gridCellText(t.ctx, 1, 0), "1");
    EXPECT_EQ(gridCellText(t.ctx, 1, 1), "");
    EXPECT_EQ(gridCellText(t.ctx, 1, 2), "");
    EXPECT_EQ(gridRowCount(t.ctx.store), 12000);
}

TEST(MainGrid, LongAxisGetsMoreRows) {
    // A full channel and one that starts 100 rows later: the axis is longer
    // than the grid's 12000 rows, and its last samples still have rows.
    TestContext t;
    fillChannel(t.ctx, 1, {.samples = std::vector<int16_t>(12000, 200)});
    fillChannel(t.ctx, 2,
                {.start = QDateTime(QDate(2013, 11, 15), QTime(10, 0, 0)).addSecs(600 * 100),
                 .samples = std::vector<int16_t>(12000, 210)});
    rebuildTimeAxis(t.ctx.store);
    ASSERT_EQ(t.ctx.store.rowCount, 12100);
    EXPECT_EQ(gridRowCount(t.ctx.store), 12100);
    EXPECT_EQ(gridCellText(t.ctx, 12100, 3), "21.0   ");
    EXPECT_EQ(gridCellText(t.ctx, 12100, 2), "");
    EXPECT_EQ(scrollSettingsFor(t.ctx.store).maximum, 12100 - 19);
}

TEST(MainGrid, StatisticsTexts) {
    TestContext t;
    AppContext& ctx = t.ctx;
    fillChannel(ctx, 1, {.kind = 0, .start = QDateTime(QDate(2013, 11, 15), QTime(9, 5, 30)), .samples = ramp(10)});
    fillChannel(ctx, 2, {.kind = 1, .intervalSeconds = 3600 + 120 + 50, .samples = ramp(10), .referenceValue = 250});
    fillChannel(ctx, 3, {.kind = 2, .samples = ramp(10), .referenceValue = 605, .referenceSide = 8});
    fillChannel(ctx, 4, {.kind = 1, .samples = {9999, 9999}, .referenceValue = 250});
    for (int ch = 1; ch <= 4; ++ch) {
        ctx.store.ch[ch].maxValue = 305;
        ctx.store.ch[ch].minValue = -15;
        ctx.store.ch[ch].averageValue = 144;
        ctx.store.ch[ch].integratedValue = 65534;
    }
    const struct {
        int row, col;
        const char* text;
    } cases[] = {
        {0, 0, "開始時刻"},   {1, 0, "測定間隔"},
        {2, 0, "最高値"},     {3, 0, "最低値"},
        {4, 0, "平均値"},     {5, 0, "積算値"},
        {6, 0, "基準値"},     {7, 0, "上限警報値"},
        {8, 0, "下限警報値"}, {0, 1, "13-11-15\r09:05:30 "},
        {1, 1, "00:10:00 "},  {2, 1, "30.5"},
        {3, 1, "-1.5"},       {4, 1, "14.4"},
        {5, 1, "-----  "},                      // no reference value
        {6, 1, "-----  "},    {7, 1, "-----"},  // kind 0 has no alarm values
        {8, 1, "-----"},      {1, 2, "01:02:50 "},
        {5, 2, "65534  "},    {6, 2, "25.0H "},
        {7, 2, "25.0"},       {8, 2, "10.0"},
        {2, 3, "31"},  // humidity: no decimals
        {3, 3, "-2"},         {6, 3, "61L "},
        {7, 3, "25"},         {2, 4, "-----  "},  // no valid sample
        {3, 4, "-----  "},    {4, 4, "-----  "},
        {5, 4, "-----  "},    {6, 4, "25.0H "},
        {0, 5, ""},  // an empty channel
        {9, 1, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(statsCellText(ctx, c.row, c.col), QString::fromUtf8(c.text)) << c.row << "," << c.col;
}

TEST(MainGrid, ScrollBarRules) {
    const struct {
        int channels, rows, maximum, largeChange;
    } cases[] = {
        {1, 100, 81, 6},        {1, 20, 1, 1},  {1, 5, 1, 1}, {1, 21, 2, 2},  // 21 ÷ 20 + 1 = 2.05
        {1, 50, 31, 4},                                                       // 3.5 rounds to even 4
        {1, 110, 91, 6},                                                      // 6.5 rounds to even 6
        {1, 12000, 11981, 601}, {0, 100, 1, 1},                               // nothing in use: the axis means nothing
    };
    for (const auto& c : cases) {
        ChannelStore s;
        s.channelsInUse = int16_t(c.channels);
        s.rowCount = int16_t(c.rows);
        const ScrollSettings r = scrollSettingsFor(s);
        EXPECT_EQ(r.maximum, c.maximum) << c.rows;
        EXPECT_EQ(r.largeChange, c.largeChange) << c.rows;
        EXPECT_EQ(r.minimum, 1);
        EXPECT_EQ(r.value, 1);
    }
}

TEST(MainGrid, WheelSteps) {
    const struct {
        int value, minimum, maximum, delta, result;
    } cases[] = {
        {1, 1, 81, -120, 11},                                                                // toward the user: down
        {78, 1, 81, -120, 81}, {11, 1, 81, 120, 1}, {5, 1, 81, 120, 1}, {1, 1, 1, -120, 1},  // nothing to scroll
        {40, 81, 1, -120, 50},                                                               // bounds in either order
        {75, 81, 1, -120, 81}, {40, 1, 81, 0, 30},  // no distance counts as away from the user
    };
    for (const auto& c : cases)
        EXPECT_EQ(wheelScroll(c.value, c.minimum, c.maximum, c.delta, kWheelStep), c.result) << c.value;
}
