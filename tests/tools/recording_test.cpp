// The simulated logger as a partner for settings: what each model refuses,
// the recording that a new start time and the lock set going on the
// logger's own clock, model 3's two range codes, and the frame log.
#include "tests/tools/host.h"

#include <gtest/gtest.h>

using namespace quillet::sim;
using namespace quillet::sim::test;

namespace {

// minute, hour, day, month, year as 3,1 and 3,2 carry them.
QByteArray timeData(int year, int month, int day, int hour, int minute) {
    return hexData(minute, 2) + hexData(hour, 2) + hexData(day, 2) + hexData(month, 2) + hexData(year % 100, 2);
}

QByteArray statusOf(Device& d) { return ask(d, 1, 3).mid(4, 2); }

}  // namespace

TEST(SimSettings, RefusesWhatTheModelDoesNotTakeAndValuesOutsideTheirFields) {
    const struct {
        int model;
        int number;
        QByteArray data;
        bool accepted;
    } cases[] = {
        // Commands a model does not take.
        {1, 7, "0", false},
        {4, 4, hexData(650, 3) + "0", false},
        {3, 8, hexData(700, 3) + hexData(300, 3), false},
        {3, 9, hexData(700, 3) + hexData(300, 3), false},
        {3, 0, hexData(100, 4), false},
        // Values at and past the ends of their fields.
        {1, 0, hexData(2999, 4), true},
        {1, 0, hexData(3000, 4), false},
        {2, 3, hexData(0, 2) + hexData(1, 2), true},   // 1 hour
        {2, 3, hexData(1, 2) + hexData(1, 2), false},  // 61 minutes
        {3, 3, "1003", false},                         // minutes and seconds together
        {2, 4, hexData(1000, 3) + "0" + hexData(1001, 3) + "8", false},
        {2, 8, hexData(1000, 3) + hexData(990, 3), true},
        {2, 8, hexData(300, 3) + hexData(700, 3), false},  // upper and lower swapped
        {4, 8, hexData(1900, 3) + hexData(1890, 3), true},
        {4, 9, hexData(1910, 3) + hexData(0, 3), false},
    };
    for (const auto& k : cases) {
        Device d(quiet(k.model, 5));
        const QByteArray before = ask(d, 1, 1);
        const QByteArray reply = ask(d, 3, k.number, k.data);
        SCOPED_TRACE(testing::Message() << "model " << k.model << " 3," << k.number << " " << k.data.constData());
        EXPECT_EQ(reply, k.accepted ? ackLine() : nakLine());
        if (!k.accepted) {
            EXPECT_EQ(ask(d, 1, 1), before);
        }
    }
}

TEST(SimRecording, WaitsForTheStartThenTakesRecordsAtTheInterval) {
    int64_t ms = 1000;
    Config c = quiet(2, 50);
    c.speed = 60;  // a logger minute each real second
    Device d(c, [&] { return ms; });
    EXPECT_EQ(d.recordCount(), 50);

    ASSERT_EQ(ask(d, 3, 3, hexData(10, 2) + hexData(0, 2)), ackLine());  // every 10 minutes
    ASSERT_EQ(ask(d, 3, 1, timeData(2014, 3, 1, 8, 0)), ackLine());
    ASSERT_EQ(ask(d, 3, 2, timeData(2014, 3, 1, 9, 0)), ackLine());
    EXPECT_EQ(d.recordCount(), 0);  // erased
    EXPECT_EQ(statusOf(d), "22");   // not yet: the lock sets it going
    ASSERT_EQ(ask(d, 2, 1, "1"), ackLine());
    EXPECT_EQ(statusOf(d), "31");

    ms += 59'990;  // 08:59:59.4 on the logger
    EXPECT_EQ(statusOf(d), "31");
    EXPECT_EQ(d.loggerNow(), (LoggerTime{2014, 3, 1, 8, 59, 5}));
    ms += 10;
    EXPECT_EQ(statusOf(d), "11");
    EXPECT_EQ(d.recordCount(), 1);
    ms += 25 * 1000;  // 09:25
    EXPECT_EQ(d.recordCount(), 3);
    EXPECT_EQ(fieldAt(ask(d, 1, 4), 25, 4), 2);  // last record index

    // A setting ends the recording; its records stay until the next start.
    ASSERT_EQ(ask(d, 3, 5, "10"), ackLine());
    EXPECT_EQ(statusOf(d), "21");
    ms += 3600 * 1000;
    EXPECT_EQ(d.recordCount(), 3);
}

TEST(SimRecording, EndsAtItsLimitOrWrapsWhenEndless) {
    const struct {
        const char* what;
        int model;
        QByteArray extra;  // 3,7 data, or a record limit for 3,0
        int64_t loggerSeconds;
        int records;
        QByteArray status;
        int flags;
        int wrapPosition;
    } cases[] = {
        {"one-time with a limit of 4 intervals", 1, hexData(4, 4), 3600, 5, "01", 0, 1},
        {"one-time model 4 at its memory", 4, "0", 7 * 24 * 3600, 6000, "01", 0, 1},
        {"endless model 4 wraps", 4, "1", 6100 * 60 - 30, 6000, "11", 3, 100},
        {"model 3 stops at its memory", 3, "1", 9000 * 60, 8000, "11", 0, 1},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        int64_t ms = 0;
        Config c = quiet(k.model, 10);
        c.speed = 1000;
        Device d(c, [&] { return ms; });
        ASSERT_EQ(ask(d, 3, 3, hexData(1, 2) + hexData(0, 2)), ackLine());
        if (k.model == 1)
            ASSERT_EQ(ask(d, 3, 0, k.extra), ackLine());
        else
            ASSERT_EQ(ask(d, 3, 7, k.extra), ackLine());
        ASSERT_EQ(ask(d, 3, 1, timeData(2014, 3, 1, 8, 0)), ackLine());
        ASSERT_EQ(ask(d, 3, 2, timeData(2014, 3, 1, 8, 0)), ackLine());
        ASSERT_EQ(ask(d, 2, 1, "1"), ackLine());
        ms += k.loggerSeconds;  // x 1000 speed: seconds on the logger
        EXPECT_EQ(d.recordCount(), k.records);
        EXPECT_EQ(statusOf(d), k.status);
        if (k.model == 4) {
            EXPECT_EQ(d.flags(), k.flags);
            EXPECT_EQ(d.wrapPosition(), k.wrapPosition);
            EXPECT_EQ(fieldAt(ask(d, 1, 1), 61, 1), k.flags);
        }
    }
}

TEST(SimModelThree, ReportsTheNextRangeCodeApartFromTheHeldOne) {
    Config c = quiet(3, 5);
    c.rangeCode[0] = 2;
    c.nextRangeCode = 8;
    Device d(c);
    QByteArray a = ask(d, 1, 1);
    EXPECT_EQ(a.at(32), '2');  // position 33: the recording held
    EXPECT_EQ(a.at(33), '8');  // position 34: the next one
    ASSERT_EQ(ask(d, 3, 7, "0"), ackLine());
    a = ask(d, 1, 1);
    EXPECT_EQ(a.mid(32, 2), "23");  // one-time, still range 3
    ASSERT_EQ(ask(d, 3, 2, timeData(2014, 3, 1, 8, 0)), ackLine());
    EXPECT_EQ(ask(d, 1, 1).mid(32, 2), "33");  // the new recording takes it

    Config same = quiet(3, 5);
    same.rangeCode[0] = 7;
    Device alike(same);
    EXPECT_EQ(ask(alike, 1, 1).mid(32, 2), "77");
}
