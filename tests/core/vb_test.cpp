#include "core/vb.h"

#include <gtest/gtest.h>

using namespace quillet;

TEST(Vb, CIntRoundsHalvesToEven) {
    const struct {
        double in;
        long long out;
    } cases[] = {
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
    const struct {
        double v;
        const char* pattern;
        const char* out;
    } cases[] = {
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
    const struct {
        const char* pattern;
        const char* out;
    } cases[] = {
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
    const struct {
        const char* text;
        bool ok;
        double value;
    } cases[] = {
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
        if (v && c.ok) {
            EXPECT_NEAR(*v, c.value, 1e-9) << c.text;
        }
    }
}

// The fast paths against the general functions they stand in for, over every
// stored tenth, row numbers well past the grid, and date values across the
// calendar: leap days, century years, second boundaries, negative values and
// years the fast paths hand back to the general function.
TEST(Vb, FastPathsMatchTheGeneralFunctions) {
    int checked = 0, mismatches = 0;
    auto same = [&](const QString& fast, const QString& general, const QString& what) {
        ++checked;
        if (fast == general) return;
        if (++mismatches <= 10)
            ADD_FAILURE() << what.toStdString() << ": fast \"" << fast.toStdString() << "\", general \""
                          << general.toStdString() << "\"";
    };
    auto viaBytes = [](char* begin, char* end) { return QString::fromLatin1(begin, end - begin); };

    for (int v = -32768; v <= 32767; ++v) {
        char buf[vb::kMaxTenthsChars];
        same(vb::formatTenths(v, 1), vb::format(v / 10.0, "0.0"), QString("0.0 of %1").arg(v));
        same(vb::formatTenths(v, 0), vb::format(v / 10.0, "0"), QString("0 of %1").arg(v));
        same(viaBytes(buf, vb::putTenths(buf, v, 1)), vb::format(v / 10.0, "0.0"), QString("bytes of %1").arg(v));
    }
    for (int n : {-12345, -1, 0, 1, 9, 10, 99, 999, 9999, 12000, 32767, 99999, 100000, 2147483647})
        same(vb::formatRowNumber(n), vb::formatText(QString::number(n), "@@@@@"), QString("row %1").arg(n));

    const struct {
        double start, step;
        int count;
    } dates[] = {
        {vb::dateSerial(2013, 11, 15) + vb::timeSerial(9, 0, 0), vb::kOneMinute, 20000},  // a full logger
        {vb::dateSerial(1999, 12, 31), vb::kOneSecond * 10, 20000},                       // over a new century
        {vb::dateSerial(2000, 2, 28), 0.25, 400},                                         // a leap day of 2000
        {vb::dateSerial(1900, 2, 27), 0.5, 20},                                           // 1900 has no 29 February
        {-800000, 97.3, 40000},  // year 0 and before to beyond 9999: the general function's share
        {0, -0.37, 3000},        // before the epoch
        {1.0 / 86400 * 0.4999, 1.0 / 86400 / 7, 2000},                                 // rounding to whole seconds
        {vb::dateSerial(9999, 12, 31) + vb::timeSerial(23, 59, 58), 0.2 / 86400, 20},  // the last fast second
        {1e9, 1, 3},                                                                   // far beyond any calendar year
    };
    const std::pair<vb::DateTimeLayout, const char*> layouts[] = {
        {vb::DateTimeLayout::ShortDash, "yy-mm-dd hh:nn:ss"},
        {vb::DateTimeLayout::ShortSlash, "yy/mm/dd hh:nn:ss"},
        {vb::DateTimeLayout::Long, "yyyy-mm-dd hh:nn:ss"},
    };
    for (const auto& d : dates) {
        for (int k = 0; k < d.count; ++k) {
            const double t = d.start + k * d.step;
            for (const auto& [layout, pattern] : layouts) {
                char buf[vb::kMaxDateTimeChars];
                const QString general = vb::formatDate(t, pattern);
                same(vb::formatDateTime(t, layout), general, QString("%1 of %2").arg(pattern).arg(t, 0, 'g', 17));
                same(viaBytes(buf, vb::putDateTime(buf, t, layout)), general, QString("bytes %1").arg(pattern));
            }
        }
    }
    EXPECT_EQ(mismatches, 0) << "of " << checked;
}
