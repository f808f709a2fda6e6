#include "graph/reflines.h"

#include "core/channelfill.h"
#include "support/fakes.h"

#include <gtest/gtest.h>

using namespace quillet;

TEST(RefLines, OpensWithTheAxesInUse) {
    fakes::TestContext t;
    fakes::fillChannel(t.ctx, 3, {.kind = 2, .samples = fakes::ramp(10, 500)});
    t.ctx.graph->refTemp = 9999;
    t.ctx.graph->refHumid = 55;
    t.ctx.graph->refLineOn = 1;
    ReferenceLinesState st = openReferenceLines(t.ctx.graph, t.ctx.store);
    EXPECT_FALSE(st.showTemp);
    EXPECT_TRUE(st.showHumid);
    EXPECT_TRUE(st.lineOn);
    EXPECT_EQ(st.humidText, "55");
    EXPECT_EQ(st.humidSpin, 55);

    // OK leaves the hidden temperature line alone.
    st.humidText = "60";
    st.lineOn = false;
    acceptReferenceLines(st, t.ctx.graph);
    EXPECT_EQ(t.ctx.graph->refTemp, 9999);
    EXPECT_EQ(t.ctx.graph->refHumid, 60);
    EXPECT_EQ(t.ctx.graph->refLineOn, 0);
}

TEST(RefLines, ValuesAreClampedOnLosingTheFocus) {
    const struct {
        RefField field;
        const char* typed;
        std::vector<int> messages;
        const char* text;
        int spin;
    } cases[] = {
        {RefField::Temp, "250", {52}, "200", 200},  {RefField::Temp, "-101", {52}, "-100", -100},
        {RefField::Temp, "200", {}, "200", 200},  // a bound itself is accepted
        {RefField::Temp, "-05", {}, "-5", -5},      {RefField::Temp, "", {}, "0", 0},
        {RefField::Humid, "101", {53}, "100", 100}, {RefField::Humid, "0", {}, "0", 0},
        {RefField::Humid, "72", {}, "72", 72},
    };
    for (const auto& c : cases) {
        ReferenceLinesState st;
        st.showTemp = st.showHumid = true;
        st.text(c.field) = c.typed;
        EXPECT_EQ(checkRefField(st, c.field), c.messages) << c.typed;
        EXPECT_EQ(st.text(c.field), c.text) << c.typed;
        EXPECT_EQ(st.spin(c.field), c.spin) << c.typed;
    }
}

TEST(RefLines, KeyUpMovesTheSpinOnlyWithinTheLimits) {
    ReferenceLinesState st;
    st.tempText = "-";
    st.tempSpin = 25;
    refFieldKeyUp(st, RefField::Temp);
    EXPECT_EQ(st.tempSpin, 0);
    EXPECT_EQ(st.tempText, "-");
    st.tempText = "-120";
    refFieldKeyUp(st, RefField::Temp);
    EXPECT_EQ(st.tempSpin, 0);
    refSpinChanged(st, RefField::Humid, 35);
    EXPECT_EQ(st.humidText, "35");
}
