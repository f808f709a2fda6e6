#include "core/store.h"

#include "core/vb.h"
#include "support/fakes.h"

#include <gtest/gtest.h>

using namespace quillet;

namespace {

// Fills channel ch with n samples starting at the given time, interval in minutes.
void fill(ChannelStore& s, int ch, int n, int y, int mo, int d, int h, int mi, int intervalMin, int tenSec = 0) {
    ChannelRecord& c = s.ch[ch];
    c = ChannelRecord{};
    c.inUse = 1;
    c.startYear = int16_t(y);
    c.startMonth = int16_t(mo);
    c.startDay = int16_t(d);
    c.startHour = int16_t(h);
    c.startMinute = int16_t(mi);
    c.startTenSec = int16_t(tenSec);
    c.intervalMinute = int16_t(intervalMin % 60);
    c.intervalHour = int16_t(intervalMin / 60);
    c.sampleCount = int16_t(n);
    s.channelsInUse = int16_t(countChannelsInUse(s));
}

}  // namespace

TEST(TimeAxis, DerivesDatesFromTheIntegerParts) {
    ChannelRecord c;
    c.startYear = 2013;
    c.startMonth = 11;
    c.startDay = 15;
    c.startHour = 9;
    c.startMinute = 5;
    c.startTenSec = 3;
    c.intervalMinute = 10;
    c.intervalTenSec = 2;
    deriveDates(c);
    EXPECT_EQ(vb::formatDate(c.startTime, "yyyy-mm-dd hh:nn:ss"), "2013-11-15 09:05:30");
    EXPECT_EQ(vb::formatDate(c.interval, "hh:nn:ss"), "00:10:20");
}

TEST(TimeAxis, Cases) {
    struct Ch {
        int ch, n, h, mi, interval;
    };
    const struct {
        const char* name;
        std::vector<Ch> channels;
        int referenceChannel;
        const char* axisStart;
        std::vector<int> offsets;  // per listed channel
        int rowCount;
    } cases[] = {
        {"one channel", {{1, 100, 0, 0, 10}}, 1, "00:00", {0}, 100},
        {"later start", {{1, 100, 0, 0, 10}, {2, 10, 1, 0, 10}}, 1, "00:00", {0, 6}, 100},
        {"later start runs past the end", {{1, 10, 0, 0, 10}, {2, 10, 1, 0, 10}}, 1, "00:00", {0, 6}, 16},
        {"earlier start moves the axis", {{2, 10, 1, 0, 10}, {5, 10, 0, 0, 10}}, 2, "00:00", {6, 0}, 16},
        {"1500 steps late", {{1, 10, 0, 0, 1}, {2, 5, 25, 0, 1}}, 1, "00:00", {0, 1500}, 1505},
        {"1501 steps late gets offset 0", {{1, 10, 0, 0, 1}, {2, 5, 25, 1, 1}}, 1, "00:00", {0, 0}, 10},
        {"1501 steps early does not move the axis", {{1, 10, 25, 1, 1}, {2, 5, 0, 0, 1}}, 1, "01:01", {0, 0}, 10},
        {"half step rounds to even", {{1, 10, 0, 0, 2}, {2, 10, 0, 5, 2}}, 1, "00:00", {0, 2}, 12},
        {"mixed intervals list one sample per row", {{1, 10, 0, 0, 10}, {2, 30, 0, 0, 1}}, 1, "00:00", {0, 0}, 30},
    };
    for (const auto& c : cases) {
        ChannelStore s;
        for (const auto& ch : c.channels) {
            int day = 1 + ch.h / 24;
            fill(s, ch.ch, ch.n, 2013, 11, day, ch.h % 24, ch.mi, ch.interval);
        }
        rebuildTimeAxis(s);
        EXPECT_EQ(s.referenceChannel, c.referenceChannel) << c.name;
        EXPECT_EQ(vb::formatDate(s.axisStart, "hh:nn"), c.axisStart) << c.name;
        for (size_t i = 0; i < c.channels.size(); ++i)
            EXPECT_EQ(s.ch[c.channels[i].ch].rowOffset, c.offsets[i]) << c.name << " channel " << c.channels[i].ch;
        EXPECT_EQ(s.rowCount, c.rowCount) << c.name;
    }
}

TEST(TimeAxis, NoChannelLeavesTheAxisAlone) {
    ChannelStore s;
    s.rowCount = 42;
    rebuildTimeAxis(s);
    EXPECT_EQ(s.rowCount, 42);
}

TEST(TimeAxis, ZeroIntervalDoesNotDivideByZero) {
    ChannelStore s;
    fill(s, 1, 5, 2013, 11, 1, 0, 0, 0);
    fill(s, 2, 8, 2013, 11, 1, 1, 0, 0);
    rebuildTimeAxis(s);
    EXPECT_EQ(s.ch[1].rowOffset, 0);
    EXPECT_EQ(s.ch[2].rowOffset, 0);
    EXPECT_EQ(s.rowCount, 8);
}

TEST(Store, ClearingAndEmptying) {
    fakes::TestContext t;
    ChannelStore& s = t.ctx.store;
    fill(s, 1, 10, 2013, 11, 1, 0, 0, 10);
    fill(s, 3, 10, 2013, 11, 1, 1, 0, 10);
    s.unsavedRead = 1;
    s.currentFileName = "/x/data.ql6";
    EXPECT_TRUE(holdsUnsavedData(s));

    emptyChannel(t.ctx, 1);
    EXPECT_EQ(s.ch[1].inUse, 0);
    EXPECT_EQ(s.channelsInUse, 1);
    EXPECT_EQ(s.referenceChannel, 3);
    EXPECT_EQ(s.unsavedRead, 1);
    EXPECT_EQ(s.currentFileName, t.ctx.folders.dataFolder + "test.ql6");

    emptyChannel(t.ctx, 3);
    EXPECT_EQ(s.channelsInUse, 0);
    EXPECT_EQ(s.unsavedRead, 0);
    EXPECT_FALSE(holdsUnsavedData(s));

    fill(s, 2, 10, 2013, 11, 1, 0, 0, 10);
    s.unsavedEdit = 1;
    clearAllChannels(t.ctx);
    EXPECT_EQ(s.ch[2].inUse, 0);
    EXPECT_EQ(s.channelsInUse, 0);
    EXPECT_EQ(s.unsavedEdit, 0);
}

TEST(Store, UnsavedRule) {
    ChannelStore s;
    s.unsavedRead = 1;
    EXPECT_FALSE(holdsUnsavedData(s));  // nothing in use
    s.channelsInUse = 1;
    EXPECT_TRUE(holdsUnsavedData(s));
    s = ChannelStore{};
    s.unsavedEdit = 1;
    EXPECT_TRUE(holdsUnsavedData(s));
}

TEST(Store, RangeLow) {
    const struct {
        int code, low;
    } cases[] = {{1, -400}, {6, -400}, {2, 0}, {7, 0}, {10, 0}, {11, 0}, {3, 500}, {8, 500}, {0, 0}};
    for (const auto& c : cases) EXPECT_EQ(rangeLowFor(c.code), c.low) << c.code;
}
