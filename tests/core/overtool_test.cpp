#include "core/overtool.h"

#include "support/fakes.h"

#include <gtest/gtest.h>

using namespace quillet;

TEST(Overtool, CardAndTestText) {
    fakes::TestContext t;
    t.ctx.general.settingCharCard[255] = QString::fromUtf8("倉庫");
    int16_t card = 300;
    EXPECT_EQ(cardText(t.ctx, card), QString::fromUtf8("倉庫"));
    EXPECT_EQ(card, 255);  // written back
    int16_t test = 5;
    EXPECT_EQ(testText(t.ctx, test), "005");
    int16_t test2 = 300;
    EXPECT_EQ(testText(t.ctx, test2), "255");
    EXPECT_EQ(test2, 255);
}

TEST(Overtool, FilterKey) {
    const struct { int key, mode, out; } cases[] = {
        {'a', 1, 0}, {'-', 1, '-'}, {'5', 1, '5'}, {8, 1, 8}, {':', 1, 0},
        {'-', 2, 0}, {'A', 2, 'A'}, {'z', 2, 'z'}, {'_', 2, '_'}, {' ', 2, 0}, {0xB1, 2, 0xB1}, {'"', 2, 0}, {',', 2, 0},
        {':', 3, ':'}, {' ', 3, ' '}, {'-', 3, '-'}, {'a', 3, 0},
        {'a', 4, 'a'},
        {'-', 0, 0}, {'7', 9, '7'}, {8, 9, 8},
    };
    for (const auto& c : cases) EXPECT_EQ(filterKey(c.key, c.mode), c.out) << c.key << " mode " << c.mode;
}

TEST(Overtool, PauseRunsOnTheClock) {
    fakes::TestContext t;
    int pumped = 0;
    t.clock.hooks.push_back([&] { ++pumped; });
    pauseMs(t.ctx, 0);
    EXPECT_EQ(pumped, 0);
    pauseMs(t.ctx, 250);
    EXPECT_EQ(t.clock.ms, 250);
    EXPECT_EQ(pumped, 250);
}
