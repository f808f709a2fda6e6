#include "core/vb.h"

#include <gtest/gtest.h>

using namespace quillet;

TEST(Vb, CIntRoundsHalvesToEven) {
    const struct { double in; long long out; } cases[] = {
        {2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {2.4999, 2}, {2.5001, 3}, {0.5, 0}, {1.5, 2},
    };
    for (const auto& c : cases) EXPECT_EQ(vb::cint(c.in), c.out) << c.in;
}

TEST(Vb, IntIsFloor) {
    EXPECT_EQ(vb::intPart(2.9), 2);
    EXPECT_EQ(vb::intPart(-2.1), -3);
    EXPECT_EQ(vb::intPart(-2.0), -2);
}

TEST(Vb, NumberFormats) {
    const struct { double v; const char* pattern; const char* out; } cases[] = {
        {-52 / 10.0, "0.0", "-5.2"},
        {505 / 10.0, "0", "51"},
        {-505 / 10.0, "0", "-51"},
        {7, "000", "007"},
        {255, "000", "255"},
        {12000, " #### ", " 12000 "},
        {1, " #### ", " 1 "},
        {0, " #### ", "  "},
        {25, "0  ", "25  "},
        {25.3, "  0.0  ", "  25.3  "},
        {50.5, "  0    ", "  51    "},
        {3, "   0  ", "   3  "},
        {-0.25, "0.0", "-0.3"},
        {0.25, "0.0", "0.3"},
        {2.675, "0.00", "2.68"},
        {0.04, "0.0", "0.0"},
        {100, "0", "100"},
        {-40, "0", "-40"},
        {25.3, " 0.0 ", " 25.3 "},
        {65534, "  0  ", "  65534  "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(vb::format(c.v, QString::fromUtf8(c.pattern)), QString::fromUtf8(c.out))
            << c.v << " with " << c.pattern;
}

TEST(Vb, TextFormat) {
    EXPECT_EQ(vb::formatText("12", "@@@@@"), "   12");
    EXPECT_EQ(vb::formatText("123456", "@@@@@"), "123456");
}

TEST(Vb, DateFormats) {
    const double t = vb::dateSerial(2013, 11, 15) + vb::timeSerial(9, 5, 30);
    const struct { const char* pattern; const char* out; } cases[] = {
        {"yy-mm-dd", "13-11-15"},
        {"yyyy-mm-dd hh:nn:ss", "2013-11-15 09:05:30"},
        {"yyyy-mm-dd hh:nn", "2013-11-15 09:05"},
        {"hh:nn:ss", "09:05:30"},
        {"yy/mm/dd hh:nn:ss", "13/11/15 09:05:30"},
        {"yy年mm月", "13年11月"},
        {"dd日hh時nn分", "15日09時05分"},
        {"yy年mm月dd日", "13年11月15日"},
        {" yy-mm-dd", " 13-11-15"},
        {"hh:nn:ss ", "09:05:30 "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(vb::formatDate(t, QString::fromUtf8(c.pattern)), QString::fromUtf8(c.out)) << c.pattern;
    // An interval is a time of day on day 0.
    EXPECT_EQ(vb::formatDate(vb::timeSerial(0, 10, 0), "hh:nn:ss"), "00:10:00");
    // The epoch and the rounding to whole seconds.
    EXPECT_EQ(vb::formatDate(0.0, "yyyy-mm-dd"), "1899-12-30");
    EXPECT_EQ(vb::formatDate(vb::dateSerial(2000, 1, 1) - 0.1 / 86400, "yyyy-mm-dd hh:nn:ss"), "2000-01-01 00:00:00");
}

TEST(Vb, DateSerialMatchesTheEpoch) {
    EXPECT_EQ(vb::dateSerial(1900, 1, 1), 2);
    EXPECT_EQ(vb::dateSerial(2013, 11, 15), 41593);
    EXPECT_DOUBLE_EQ(vb::timeSerial(12, 0, 0), 0.5);
}

TEST(Vb, Val) {
    EXPECT_EQ(vb::val("  -40"), -40);
    EXPECT_EQ(vb::val("25.5abc"), 25.5);
    EXPECT_EQ(vb::val("abc"), 0);
    EXPECT_EQ(vb::val(""), 0);
}

TEST(Vb, ParseDateTime) {
    const struct { const char* text; bool ok; double value; } cases[] = {
        {"2013-11-15 09:05", true, 41593 + 9 / 24.0 + 5 / 1440.0},
        {"2013-11-15 09:05:30", true, 41593 + 9 / 24.0 + 5 / 1440.0 + 30 / 86400.0},
        {"2013/11/15 9:05", true, 41593 + 9 / 24.0 + 5 / 1440.0},
        {"2013-13-15 09:05", false, 0},
        {"2013-02-30 09:05", false, 0},
        {"2013-11-15 24:00", false, 0},
        {"2013-11-15", false, 0},
        {"garbage", false, 0},
        {"", false, 0},
    };
    for (const auto& c : cases) {
        const auto v = vb::parseDateTime(QString::fromUtf8(c.text));
        EXPECT_EQ(v.has_value(), c.ok) << c.text;
        if (v && c.ok) EXPECT_NEAR(*v, c.value, 1e-9) << c.text;
    }
}
