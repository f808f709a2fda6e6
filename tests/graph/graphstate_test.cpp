// The graph's state: held bounds taken from the general settings at start-up.
#include "graph/graphstate.h"
#include "core/settingsfiles.h"
#include "core/startup.h"
#include "support/fakes.h"

#include <gtest/gtest.h>

using namespace quillet;

TEST(GraphState, HeldBoundsAtStartUp) {
    const struct {
        int tempMax, tempMin, humidMax, humidMin;
        int16_t tempManual, humidManual;
    } cases[] = {
        {30, 18, 79, 27, 1, 1},
        {32767, -32768, 100, 0, 0, 1},  // far out
        {20, 20, 30, 40, 0, 0},         // equal, reversed
        {201, 0, 101, -1, 0, 0},        // past the axes' limits
    };
    for (const auto& c : cases) {
        fakes::TestContext t;
        t.ctx.general.tempManual = 1;
        t.ctx.general.humidManual = 1;
        t.ctx.general.tempMax = int16_t(c.tempMax);
        t.ctx.general.tempMin = int16_t(c.tempMin);
        t.ctx.general.humidMax = int16_t(c.humidMax);
        t.ctx.general.humidMin = int16_t(c.humidMin);
        ASSERT_TRUE(saveGeneralSettings(t.ctx.general, t.ctx.folders.settingsFile));
        startUp(t.ctx, t.ctx.folders);
        EXPECT_EQ(t.ctx.graph->temp().manual, c.tempManual) << c.tempMax;
        EXPECT_EQ(t.ctx.graph->humid().manual, c.humidManual) << c.humidMax;
        EXPECT_EQ(t.ctx.general.tempMax, c.tempMax);  // the file's values stay as they are
    }
}
