#include "graph/rangerules.h"

#include "core/channelfill.h"
#include "core/settingsfiles.h"
#include "core/startup.h"
#include "core/vb.h"
#include "support/fakes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

using namespace quillet;
using F = RangeField;

namespace {

QString u8(const char* s) { return QString::fromUtf8(s); }

// A temperature and a humidity channel of 100 samples every ten minutes from
// 2013-11-15 10:00:00, shown as data numbers 1..100, 20..30 ℃, 40..80 %RH.
class RangeRules : public ::testing::Test {
protected:
    void SetUp() override {
        fakes::fillChannel(t.ctx, 1, {.kind = 1, .samples = fakes::ramp(100, 200)});
        fakes::fillChannel(t.ctx, 2, {.kind = 2, .samples = fakes::ramp(100, 500)});
        rebuildTimeAxis(t.ctx.store);
        GraphState& g = t.ctx.graph;
        g.x().shown.low = 1, g.x().shown.high = 100, g.x().automatic.low = 1, g.x().automatic.high = 100;
        g.temp().shown.low = 20, g.temp().shown.high = 30, g.temp().automatic.low = 20, g.temp().automatic.high = 29;
        g.humid().shown.low = 40, g.humid().shown.high = 80, g.humid().automatic.low = 50,
        g.humid().automatic.high = 60;
        g.x().manual = g.temp().manual = g.humid().manual = 0;
    }
    GraphRangeState open() { return openGraphRange(t.ctx.graph, t.ctx.store); }
    std::vector<int> check(GraphRangeState& st, F f) { return checkRangeField(st, t.ctx.graph, t.ctx.store, f); }
    double sampleTime(int n) { return t.ctx.store.axisStart + (n - 1) * t.ctx.store.axisInterval; }

    fakes::TestContext t;
};

using Texts = std::vector<std::pair<F, const char*>>;

struct Case {
    const char* what;
    Texts accepted;  // fields already accepted with these texts
    F field;
    const char* typed;
    std::vector<int> messages;
    Texts want;  // texts after the check (each also its last accepted text)
};

}  // namespace

TEST_F(RangeRules, OpensOverTheCurrentRanges) {
    t.ctx.graph->x().manual = 1;
    t.ctx.graph->x().shown.low = 3;
    const GraphRangeState st = open();
    EXPECT_EQ(st[F::FirstRow], "3");
    EXPECT_EQ(st[F::FirstTime], "2013-11-15 10:20:00");
    EXPECT_EQ(st[F::LastTime], "2013-11-16 02:30:00");
    EXPECT_EQ(st.spin[size_t(F::LastRow)], 100);
    EXPECT_EQ(st[F::TempMin], "20");
    EXPECT_EQ(st[F::HumidMax], "80");
    EXPECT_EQ(st.autoChecked, (std::array<bool, 3>{false, true, true}));
    EXPECT_TRUE(st.tempEnabled && st.humidEnabled);
    EXPECT_EQ(st.accepted, st.text);

    emptyChannel(t.ctx, 1);  // humidity only: the temperature frame stays empty
    const GraphRangeState h = open();
    EXPECT_FALSE(h.tempEnabled);
    EXPECT_TRUE(h.humidEnabled);
    EXPECT_EQ(h[F::TempMin], "");
}

TEST_F(RangeRules, NumberFieldsOnLosingTheFocus) {
    const Case cases[] = {
        {"end beyond 9000", {}, F::LastRow, "9500", {54}, {{F::LastRow, "9000"}, {F::LastTime, "2014-01-16 21:50:00"}}},
        {"end 0: the range, then the order", {{F::FirstRow, "50"}}, F::LastRow, "0", {54, 51}, {{F::LastRow, "100"}}},
        {"start after end", {}, F::FirstRow, "200", {50}, {{F::FirstRow, "1"}, {F::FirstTime, "2013-11-15 10:00:00"}}},
        {"start 0", {}, F::FirstRow, "0", {54}, {{F::FirstRow, "1"}}},
        {"start = end = 50", {{F::LastRow, "50"}}, F::FirstRow, "50", {}, {{F::FirstRow, "49"}, {F::LastRow, "50"}}},
        {"end = start = 50", {{F::FirstRow, "50"}}, F::LastRow, "50", {}, {{F::FirstRow, "50"}, {F::LastRow, "51"}}},
        {"start = end = 1",
         {{F::LastRow, "1"}},
         F::FirstRow,
         "1",
         {},
         {{F::FirstRow, "1"}, {F::LastRow, "2"}, {F::LastTime, "2013-11-15 10:10:00"}}},
        {"start = end = 9000",
         {{F::FirstRow, "9000"}},
         F::LastRow,
         "9000",
         {},
         {{F::FirstRow, "8999"}, {F::LastRow, "9000"}}},
        {"leading zeros", {}, F::LastRow, "0070", {}, {{F::LastRow, "70"}, {F::LastTime, "2013-11-15 21:30:00"}}},
        {"temperature lower = upper", {}, F::TempMin, "30", {50}, {{F::TempMin, "20"}}},
        {"temperature upper = lower", {}, F::TempMax, "20", {51}, {{F::TempMax, "30"}}},
        {"temperature below -100", {}, F::TempMin, "-150", {52}, {{F::TempMin, "-100"}}},
        {"temperature above 200", {}, F::TempMax, "250", {52}, {{F::TempMax, "200"}}},
        {"temperature normalised", {}, F::TempMin, "-07", {}, {{F::TempMin, "-7"}}},
        {"a lone minus is 0", {}, F::TempMin, "-", {}, {{F::TempMin, "0"}}},
        {"bounds that round equal", {{F::TempMax, "25"}}, F::TempMin, "24.6", {50}, {{F::TempMin, "20"}}},
        {"humidity above 100", {}, F::HumidMax, "120", {53}, {{F::HumidMax, "100"}}},
        {"humidity lower = upper", {}, F::HumidMin, "80", {50}, {{F::HumidMin, "40"}}},
        {"humidity empty is 0", {}, F::HumidMin, "", {}, {{F::HumidMin, "0"}}},
    };
    for (const Case& c : cases) {
        GraphRangeState st = open();
        for (const auto& [f, text] : c.accepted) st[f] = st.accepted[size_t(f)] = text;
        st[c.field] = c.typed;
        EXPECT_EQ(check(st, c.field), c.messages) << c.what;
        for (const auto& [f, text] : c.want) {
            EXPECT_EQ(st[f], text) << c.what << " field " << int(f);
            EXPECT_EQ(st.accepted[size_t(f)], text) << c.what << " field " << int(f);
        }
        EXPECT_EQ(st.spin[size_t(c.field)], wholeValue(st[c.field])) << c.what;
    }
}

TEST_F(RangeRules, TimeFieldsSnapToTheDataNumberAtOrBefore) {
    const Case cases[] = {
        {"between two samples",
         {},
         F::FirstTime,
         "2013-11-15 10:15:00",
         {},
         {{F::FirstTime, "2013-11-15 10:10:00"}, {F::FirstRow, "2"}}},
        {"without seconds, slashes",
         {},
         F::LastTime,
         "2013/11/15 12:00",
         {},
         {{F::LastTime, "2013-11-15 12:00:00"}, {F::LastRow, "13"}}},
        {"month 13", {}, F::FirstTime, "2013-13-15 10:00:00", {55}, {{F::FirstTime, "2013-11-15 10:00:00"}}},
        {"not a time", {}, F::LastTime, "2013-11-15", {56}, {{F::LastTime, "2013-11-16 02:30:00"}}},
        {"before the axis", {}, F::FirstTime, "2013-11-15 09:59:59", {62}, {{F::FirstTime, "2013-11-15 10:00:00"}}},
        {"data number 9000", {}, F::LastTime, "2014-01-16 21:50:00", {}, {{F::LastRow, "9000"}}},
        {"after data number 9000", {}, F::LastTime, "2014-01-16 21:50:01", {62}, {{F::LastRow, "100"}}},
        {"start time after the end",
         {},
         F::FirstTime,
         "2013-11-16 10:00:00",
         {50},
         {{F::FirstRow, "1"}, {F::FirstTime, "2013-11-15 10:00:00"}}},
        {"start time at the end",
         {},
         F::FirstTime,
         "2013-11-16 02:30:00",
         {},
         {{F::FirstRow, "99"}, {F::FirstTime, "2013-11-16 02:20:00"}}},
    };
    for (const Case& c : cases) {
        GraphRangeState st = open();
        st[c.field] = c.typed;
        EXPECT_EQ(check(st, c.field), c.messages) << c.what;
        for (const auto& [f, text] : c.want) {
            EXPECT_EQ(st[f], text) << c.what << " field " << int(f);
            EXPECT_EQ(st.accepted[size_t(f)], text) << c.what << " field " << int(f);
        }
    }
}

TEST_F(RangeRules, ATimeAtASampleSelectsItWhateverTheDivisionGives) {
    // Intervals whose date values have no exact binary form: some divisions
    // land a hair below the whole number, which the one-second addend absorbs.
    int hairBelow = 0;
    for (int seconds : {10, 70, 600, 3610}) {
        ChannelStore& s = t.ctx.store;
        s.axisInterval = seconds / 86400.0;
        for (int n = 1; n <= 9000; ++n) {
            const auto typed = vb::parseDateTime(dataNumberTimeText(s, n));
            ASSERT_TRUE(typed);
            if (std::floor((*typed - s.axisStart) / s.axisInterval) < n - 1) ++hairBelow;
            ASSERT_EQ(dataIndexAtOrBefore(s, *typed), n - 1) << seconds << " s, data number " << n;
        }
    }
    EXPECT_GT(hairBelow, 0);
}

TEST_F(RangeRules, AnAxisWithoutIntervalIsAnUnexpectedError) {
    t.ctx.store.axisInterval = 0;
    GraphRangeState st = open();
    st[F::FirstTime] = "2013-11-15 10:00:00";
    EXPECT_EQ(check(st, F::FirstTime), std::vector<int>{99});
    EXPECT_EQ(t.ctx.graph->x().manual, 1);
}

TEST_F(RangeRules, KeyUpMovesTheSpinsButNotTheFieldBeingTyped) {
    GraphRangeState st = open();
    st[F::FirstTime] = "2013-11-15 10:25:00";
    rangeFieldKeyUp(st, t.ctx.store, F::FirstTime);
    EXPECT_EQ(st.spin[size_t(F::FirstRow)], 3);
    EXPECT_EQ(st[F::FirstRow], "3");
    EXPECT_EQ(st[F::FirstTime], "2013-11-15 10:25:00");

    st[F::FirstTime] = "2013-11-15 10:35:0";  // 18 characters: not yet a time
    rangeFieldKeyUp(st, t.ctx.store, F::FirstTime);
    EXPECT_EQ(st.spin[size_t(F::FirstRow)], 3);
    // Typed on into no time at all: the time and the number it moved go back.
    st[F::FirstTime] = "2013-11-15 10:35:001";
    EXPECT_EQ(check(st, F::FirstTime), std::vector<int>{55});
    EXPECT_EQ(st[F::FirstTime], "2013-11-15 10:00:00");
    EXPECT_EQ(st[F::FirstRow], "1");
    EXPECT_EQ(st.spin[size_t(F::FirstRow)], 1);

    st[F::LastRow] = "12";
    rangeFieldKeyUp(st, t.ctx.store, F::LastRow);
    EXPECT_EQ(st.spin[size_t(F::LastRow)], 12);
    EXPECT_EQ(st[F::LastTime], "2013-11-15 11:50:00");

    st[F::TempMin] = "-";
    rangeFieldKeyUp(st, t.ctx.store, F::TempMin);
    EXPECT_EQ(st[F::TempMin], "-");
    EXPECT_EQ(st.spin[size_t(F::TempMin)], 0);
    st[F::TempMax] = "300";  // beyond the range: the spin stays
    rangeFieldKeyUp(st, t.ctx.store, F::TempMax);
    EXPECT_EQ(st.spin[size_t(F::TempMax)], 30);

    rangeSpinChanged(st, t.ctx.store, F::LastRow, 7);
    EXPECT_EQ(st[F::LastRow], "7");
    EXPECT_EQ(st[F::LastTime], "2013-11-15 11:00:00");
}

TEST_F(RangeRules, FocusHoldsTheAxisAndTheAutoBoxRestoresTheAutomaticRange) {
    GraphState& g = t.ctx.graph;
    GraphRangeState st = open();
    rangeFieldFocused(st, g, F::TempMin);
    EXPECT_EQ(g.temp().manual, 1);
    EXPECT_FALSE(st.autoChecked[size_t(RangeAxis::Temp)]);
    rangeFieldFocused(st, g, F::LastTime);
    EXPECT_EQ(g.x().manual, 1);
    EXPECT_EQ(g.humid().manual, 0);

    st[F::FirstRow] = "40";
    rangeAutoClicked(st, g, t.ctx.store, RangeAxis::X, true);
    EXPECT_EQ(g.x().manual, 0);
    EXPECT_EQ(st[F::FirstRow], "1");
    EXPECT_EQ(st.accepted[size_t(F::FirstTime)], "2013-11-15 10:00:00");
    rangeAutoClicked(st, g, t.ctx.store, RangeAxis::Temp, true);
    EXPECT_EQ(st[F::TempMax], "29");
    rangeAutoClicked(st, g, t.ctx.store, RangeAxis::Humid, false);
    EXPECT_EQ(g.humid().manual, 1);
}

TEST_F(RangeRules, OkHoldsTheBoundsAcrossARestart) {
    GraphState& g = t.ctx.graph;
    GraphRangeState st = open();
    rangeFieldFocused(st, g, F::FirstRow);
    st[F::FirstRow] = "10";
    rangeFieldFocused(st, g, F::TempMax);
    st[F::TempMax] = "35";
    ASSERT_TRUE(acceptGraphRange(st, t.ctx));
    EXPECT_EQ((std::array{g.x().shown.low, g.x().shown.high, g.x().previous.low, g.x().previous.high}),
              (std::array<int16_t, 4>{10, 100, 1, 100}));
    EXPECT_EQ((std::array{g.temp().shown.low, g.temp().shown.high, g.temp().previous.low, g.temp().previous.high}),
              (std::array<int16_t, 4>{20, 35, 20, 30}));
    EXPECT_EQ((std::array{g.temp().manual, g.humid().manual, g.undoAvailable}), (std::array{true, false, true}));

    AppContext restarted;  // a new run over the same settings folder
    startUp(restarted, t.ctx.folders);
    EXPECT_EQ(restarted.graph->temp().manual, 1);
    EXPECT_EQ(restarted.graph->temp().shown.low, 20);
    EXPECT_EQ(restarted.graph->temp().shown.high, 35);
    EXPECT_EQ(restarted.graph->humid().manual, 0);
}

TEST_F(RangeRules, OkLeavesTheHeldBoundsOfAnAxisWithoutChannels) {
    // Held temperature bounds from the settings file, and only humidity in use:
    // the empty temperature frame must not overwrite them with 0..0.
    GraphState& g = t.ctx.graph;
    g.temp().manual = 1, g.temp().shown.low = -10, g.temp().shown.high = 40;
    emptyChannel(t.ctx, 1);
    GraphRangeState st = open();
    rangeFieldFocused(st, g, F::HumidMax);
    st[F::HumidMax] = "90";
    ASSERT_TRUE(acceptGraphRange(st, t.ctx));
    EXPECT_TRUE(g.temp().manual);
    EXPECT_EQ((std::array{g.temp().shown.low, g.temp().shown.high}), (std::array<int16_t, 2>{-10, 40}));
    EXPECT_EQ(g.humid().shown.high, 90);
    EXPECT_EQ(t.ctx.general.tempMin, -10);
}

TEST_F(RangeRules, OkReportsASettingsFileThatCannotBeWritten) {
    t.ctx.folders.settingsFile = t.root + u8("/missing/qlet7.dat");
    GraphRangeState st = open();
    EXPECT_FALSE(acceptGraphRange(st, t.ctx));
    EXPECT_EQ(t.ctx.graph->undoAvailable, 1);  // the ranges apply all the same
}
