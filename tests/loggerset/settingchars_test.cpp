#include "loggerset/settingchars.h"

#include <gtest/gtest.h>

using namespace quillet;

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }

TEST(SettingChars, EditingRules) {
    GeneralSettings g;
    g.settingCharCard[9] = "old";
    SettingCharEditor e(g);

    const struct {
        int grid, number;
        const char* text;
        int result;
        const char* stored;
    } cases[] = {
        {kCardGrid, 5, "A1", 0, "A1"},
        {kCardGrid, 9, "A1", 40, "old"},  // already set for card 5
        {kTestGrid, 9, "A1", 0, "A1"},    // the other table may have it
        {kCardGrid, 7, "12", -1, ""},     // a plain number
        {kCardGrid, 7, "0255", -1, ""},
        {kCardGrid, 7, "300", 0, "300"},
        {kCardGrid, 8, "12A", 0, "12A"},
        {kCardGrid, 9, "", 0, "old"},  // erasing does not delete
        {kCardGrid, 10, "ﾃｽﾄ", 0, "ﾃｽﾄ"},
        {kCardGrid, 11, "冷蔵庫", 0, "冷蔵庫"},
        {kCardGrid, 12, "a\"b", -1, ""},
        {kCardGrid, 12, "😀", -1, ""},  // not in CP932
        {kCardGrid, 12, "温度温度温度温度温度温度温度温度温度温度温度温度温度温度温度温度", 0,
         "温度温度温度温度温度温度温度温度温度温度温度温度温度温度温度温度"},  // 64 bytes
        {kCardGrid, 13, "温度温度温度温度温度温度温度温度温度温度温度温度温度温度温度温度x", -1, ""},
    };
    for (const auto& c : cases) {
        e.beginEdit(c.grid);
        EXPECT_EQ(e.endEdit(c.grid, c.number, u(c.text)), c.result) << c.text;
        EXPECT_EQ(e.table[size_t(c.grid)][size_t(c.number)], u(c.stored)) << c.text;
    }
    // Nothing reaches the settings before OK.
    EXPECT_EQ(g.settingCharCard[5], "");
    e.applyTo(g);
    EXPECT_EQ(g.settingCharCard[5], "A1");
    EXPECT_EQ(g.settingCharTest[9], "A1");
    EXPECT_EQ(g.settingCharCard[9], "old");
}

TEST(SettingChars, DeleteNeedsASelectedGrid) {
    GeneralSettings g;
    g.settingCharTest[3] = "T3";
    SettingCharEditor e(g);
    EXPECT_EQ(e.deleteRequest(), 42);
    e.beginEdit(kTestGrid);
    EXPECT_EQ(e.deleteRequest(), 41);
    e.deleteConfirmed(3);
    EXPECT_EQ(e.table[kTestGrid][3], "");
    EXPECT_EQ(e.selectedGrid, kNoGrid);
    EXPECT_EQ(e.deleteRequest(), 42);
}

TEST(SettingChars, ThreeSortsAndEditsWhileSorted) {
    GeneralSettings g;
    g.settingCharCard[5] = "B";
    g.settingCharCard[200] = "A";
    g.settingCharTest[7] = "Z";
    SettingCharEditor e(g);

    e.sort(1);  // ascending by each grid's characters: empty ones first, in number order
    EXPECT_EQ(e.sortState, 1);
    EXPECT_EQ(e.numberAt(kCardGrid, 0), 0);
    EXPECT_EQ(e.numberAt(kCardGrid, 254), 200);
    EXPECT_EQ(e.numberAt(kCardGrid, 255), 5);
    EXPECT_EQ(e.numberAt(kTestGrid, 255), 7);
    EXPECT_EQ(e.numberAt(kTestGrid, 7), 8);

    // An edit in a sorted row lands on the number the row shows.
    e.beginEdit(kCardGrid);
    EXPECT_EQ(e.endEdit(kCardGrid, 254, "AA"), 0);
    EXPECT_EQ(e.table[kCardGrid][200], "AA");

    e.sort(1);  // descending
    EXPECT_EQ(e.numberAt(kCardGrid, 0), 5);
    EXPECT_EQ(e.numberAt(kCardGrid, 1), 200);
    EXPECT_EQ(e.numberAt(kTestGrid, 0), 7);
    EXPECT_EQ(e.endEdit(kTestGrid, 0, "Y"), 0);
    EXPECT_EQ(e.table[kTestGrid][7], "Y");
    e.deleteConfirmed(1);  // the card grid is selected: its row 1 is number 200
    EXPECT_EQ(e.table[kCardGrid][200], "");

    e.sort(1);  // back to number order
    EXPECT_EQ(e.sortState, 0);
    for (int r = 0; r < 256; ++r) {
        ASSERT_EQ(e.numberAt(kCardGrid, r), r);
        ASSERT_EQ(e.numberAt(kTestGrid, r), r);
    }
    EXPECT_EQ(e.table[kCardGrid][5], "B");

    e.sort(0);  // by the number column: 0..255, then 255..0
    e.sort(0);
    EXPECT_EQ(e.numberAt(kCardGrid, 0), 255);
    EXPECT_EQ(e.numberAt(kTestGrid, 255), 0);
}

}  // namespace
