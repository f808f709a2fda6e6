#include "loggerset/settingrules.h"

#include <gtest/gtest.h>

using namespace quillet;

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }

const QDateTime kNow(QDate(2013, 11, 15), QTime(9, 5, 20));
const QDateTime kStart(QDate(2013, 11, 15), QTime(9, 6));

// A logger of the model with alarms and references in range, interval 00:01.
PendingLogger logger(int model) {
    PendingLogger c;
    c.loggerModel = int16_t(model);
    c.ch[1].cardNo = 3;
    c.ch[1].testNo = 4;
    c.ch[1].intervalMinute = 1;
    if (model == 4) {
        c.ch[1].upperAlarm = 1000;
        c.ch[2].upperAlarm = 1500;
        c.ch[1].lowerAlarm = -400;
        c.ch[2].lowerAlarm = -400;
    } else {
        c.ch[1].upperAlarm = 600;
        c.ch[2].upperAlarm = 1000;
        c.ch[1].lowerAlarm = -400;
        c.ch[2].lowerAlarm = 0;
    }
    c.ch[1].referenceValue = 250;
    c.ch[2].referenceValue = 500;
    c.ch[1].referenceSide = 0;
    c.ch[2].referenceSide = 8;
    c.rangeModeCode = 1;
    return c;
}

SettingsState opened(const PendingLogger& c) { return initialSettings(c, kNow, kStart, false).state; }

TEST(SettingRules, ChoiceLists) {
    const QStringList intervals = intervalChoices();
    ASSERT_EQ(intervals.size(), 60);
    EXPECT_EQ(intervals.first(), "00:01");
    EXPECT_EQ(intervals[58], "00:59");
    EXPECT_EQ(intervals.last(), "01:00");
    EXPECT_EQ(secondsChoices(), QStringList({"10", "20", "30", "40", "50"}));
    EXPECT_EQ(rangeChoices(), QStringList({u("-40～　60"), u("　0～100"), u(" 50～150")}));

    std::array<QString, 256> chars{};
    chars[5] = "A1";
    const QStringList numbers = numberChoices(chars);
    ASSERT_EQ(numbers.size(), 256);
    EXPECT_EQ(numbers[5], "A1");
    EXPECT_EQ(numbers[6], "006");
    EXPECT_EQ(numbers[255], "255");

    const struct {
        int model, channel;
        const char *upperFirst, *upperLast, *lowerFirst, *lowerLast;
        int size;
    } alarms[] = {
        {1, 1, "-39", "60", "-40", "59", 100},
        {2, 2, "1", "100", "0", "99", 100},
        {4, 1, "-39", "150", "-40", "149", 190},
        {4, 2, "-39", "150", "-40", "149", 190},
    };
    for (const auto& a : alarms) {
        const QStringList up = upperAlarmChoices(a.model, a.channel);
        const QStringList low = lowerAlarmChoices(a.model, a.channel);
        ASSERT_EQ(up.size(), a.size);
        ASSERT_EQ(low.size(), a.size);
        EXPECT_EQ(up.first(), a.upperFirst);
        EXPECT_EQ(up.last(), a.upperLast);
        EXPECT_EQ(low.first(), a.lowerFirst);
        EXPECT_EQ(low.last(), a.lowerLast);
    }
    EXPECT_TRUE(upperAlarmChoices(3, 1).isEmpty());

    SettingsState s = opened(logger(1));
    EXPECT_EQ(referenceChoices(s, 1).first(), "-40");
    EXPECT_EQ(referenceChoices(s, 1).size(), 101);
    EXPECT_EQ(referenceChoices(s, 2).last(), "100");
    EXPECT_EQ(lastRecordIndex(1), 2999);
    EXPECT_EQ(lastRecordIndex(2), 5999);
    EXPECT_EQ(lastRecordIndex(4), 5999);
}

TEST(SettingRules, InitialStartTime) {
    const struct {
        QTime now;
        int active;
        const char* usual;
        QDateTime want;
    } cases[] = {
        {QTime(9, 5, 20), 0, "12:00", QDateTime(QDate(2013, 11, 15), QTime(9, 6))},
        {QTime(23, 59, 30), 0, "12:00", QDateTime(QDate(2013, 11, 16), QTime(0, 0))},
        {QTime(9, 5, 20), 10, "12:00", QDateTime(QDate(2013, 11, 15), QTime(12, 0))},
        {QTime(12, 0, 40), 20, "12:00", QDateTime(QDate(2013, 11, 16), QTime(12, 0))},
        {QTime(11, 59, 59), 11, "12:00", QDateTime(QDate(2013, 11, 15), QTime(12, 0))},
        {QTime(9, 5, 20), 10, "xx", QDateTime(QDate(2013, 11, 15), QTime(9, 6))},
        {QTime(9, 5, 20), 10, "09:30", QDateTime(QDate(2013, 11, 15), QTime(9, 30))},
        {QTime(9, 5, 20), 10, "00:00", QDateTime(QDate(2013, 11, 16), QTime(0, 0))},
    };
    for (const auto& c : cases)
        EXPECT_EQ(initialStartTime(QDateTime(QDate(2013, 11, 15), c.now), c.active ? QString(c.usual) : QString()),
                  c.want)
            << c.now.toString().toStdString() << " " << c.active;
}

TEST(SettingRules, InitialValuesPerModel) {
    // Model 1: a lower not below the upper raises the upper; no box.
    PendingLogger c = logger(1);
    c.ch[1].upperAlarm = 200;
    c.ch[1].lowerAlarm = 250;
    c.ch[1].referenceValue = kNotSet;
    LoadedSettings l = initialSettings(c, kNow, kStart, false);
    EXPECT_EQ(l.readAlarmText, "");
    EXPECT_EQ(l.state.upperText[1], "26");
    EXPECT_EQ(l.state.lowerText[1], "25");
    EXPECT_EQ(l.state.referenceText[1], "") << "an unset reference shows empty";
    EXPECT_EQ(l.state.referenceText[2], "50");
    EXPECT_EQ(l.state.referenceSide[2], 8);
    EXPECT_EQ(l.state.startText, "2013-11-15 09:06");
    EXPECT_EQ(l.state.endText, "2013-11-17 11:05");  // + 2999 minutes
    EXPECT_EQ(l.state.recordLimit, 2999);

    // Model 1: an upper out of range gives the box and resets the pair.
    c = logger(1);
    c.ch[1].upperAlarm = 700;
    c.ch[2].lowerAlarm = -5;
    l = initialSettings(c, kNow, kStart, false);
    EXPECT_EQ(l.readAlarmText, u("警報値異常です！\r\n正しい値を設定してください。\r\n"
                                 "警報値(温度）が範囲外です(60～-40)\r\n上限値：70\r\n"
                                 "警報値(湿度)が範囲外です(100～0)\r\n下限値：-1"));
    EXPECT_EQ(l.state.upperText[1], "60");
    EXPECT_EQ(l.state.lowerText[1], "-40");
    EXPECT_EQ(l.state.upperText[2], "100");
    EXPECT_EQ(l.state.lowerText[2], "0");

    // Model 2 with 01:00: the end is start + 5999 hours.
    c = logger(2);
    c.ch[1].intervalHour = 1;
    c.ch[1].intervalMinute = 0;
    l = initialSettings(c, kNow, kStart, false);
    EXPECT_EQ(l.state.intervalIndex, 59);
    EXPECT_EQ(l.state.endText, "2014-07-23 08:06");

    // Model 4: one section for all four values, all four reset; the lock
    // from the program's last choice; the seconds interval read.
    c = logger(4);
    c.ch[2].upperAlarm = 1510;
    c.ch[1].lowerAlarm = -410;
    c.endlessFlag = true;
    c.intervalInSeconds = true;
    c.ch[1].intervalMinute = 0;
    c.ch[1].intervalTenSec = 3;
    l = initialSettings(c, kNow, kStart, true);
    EXPECT_EQ(l.readAlarmText, u("警報値異常です！\r\n正しい値を設定してください。\r\n"
                                 "警報範囲外です(150～-40）\r\n警報値２上限値：151\r\n警報値１下限値：-41"));
    EXPECT_EQ(l.state.upperText, (std::array<QString, 3>{"", "150", "150"}));
    EXPECT_EQ(l.state.lowerText, (std::array<QString, 3>{"", "-40", "-40"}));
    EXPECT_TRUE(l.state.lockLogger);
    EXPECT_EQ(l.state.recordMode, endless);
    EXPECT_TRUE(l.state.useSecondsInterval);
    EXPECT_EQ(l.state.intervalIndex, 0);
    EXPECT_EQ(l.state.secondsIndex, 2);
    EXPECT_EQ(l.state.recordLimit, 5999);
    EXPECT_EQ(l.state.endText, "2013-11-17 11:05");  // + 5999 × 30 s
    EXPECT_FALSE(endReservationEditable(l.state));

    // Model 3: range and mode from one code.
    const struct {
        int code, mode, range, listStart;
    } codes[] = {{1, oneTime, 0, -40}, {3, oneTime, 2, 50}, {7, endless, 1, 0}, {4, -1, -1, -40}};
    for (const auto& k : codes) {
        c = logger(3);
        c.rangeModeCode = int16_t(k.code);
        l = initialSettings(c, kNow, kStart, false);
        EXPECT_EQ(l.state.recordMode, k.mode) << k.code;
        EXPECT_EQ(l.state.measuringRange, k.range) << k.code;
        EXPECT_EQ(referenceChoices(l.state, 1).first(), QString::number(k.listStart)) << k.code;
        EXPECT_EQ(l.state.endText, "");
    }
}

TEST(SettingRules, CheckStartTime) {
    const struct {
        const char* text;
        int message;
        const char* start;
    } cases[] = {
        {"2013-11-15 09:05", 30, "2013-11-15 09:06"},  // now, to the minute
        {"2013-11-15 09:06", 0, "2013-11-15 09:06"},    {"2013/11/20 8:00", 0, "2013-11-20 08:00"},
        {"2014-05-14 09:05", 0, "2014-05-14 09:05"},  // now + 180 days
        {"2014-05-14 09:06", 30, "2013-11-15 09:06"},   {"2013-11-14 23:00", 30, "2013-11-15 09:06"},
        {"2013-11-15 9:30abc", 31, "2013-11-15 09:06"}, {"2013-02-30 10:00", 31, "2013-11-15 09:06"},
    };
    for (const auto& c : cases) {
        SettingsState s = opened(logger(2));
        s.startText = "2013-11-20 10:00";
        const RuleOutcome r = checkStartTime(s, c.text);
        EXPECT_EQ(r.messageNo, c.message) << c.text;
        EXPECT_EQ(s.startText, c.start) << c.text;
        if (r.messageNo == 30) {
            EXPECT_EQ(r.args, QStringList({"2013-11-15 09:06", "2014-05-14 09:05"})) << c.text;
        }
        // The end reservation always counts from the start shown.
        SettingsState expect = s;
        defaultEndReservation(expect);
        EXPECT_EQ(s.endText, expect.endText) << c.text;
        EXPECT_EQ(s.recordLimit, 5999);
    }
}

TEST(SettingRules, CheckEndReservation) {
    // Model 1 from 10:00; the latest end at 1 minute is + 2999 minutes.
    const struct {
        int intervalIndex;
        const char* text;
        int message, limit;
        const char* end;
    } cases[] = {
        {0, "2013-11-17 11:59", 0, 2999, "2013-11-17 11:59"},
        {0, "2013-11-17 11:59:01", 0, 2999, "2013-11-17 11:59"},  // one second past the latest
        {0, "2013-11-17 11:59:02", 32, 2999, "2013-11-17 11:59"},
        {0, "2013-11-15 10:00", 0, 0, "2013-11-15 10:00"},
        {0, "2013-11-15 09:59", 32, 2999, "2013-11-17 11:59"},
        {0, "2013-11-15 12:00:29", 0, 120, "2013-11-15 12:00"},
        {0, "2013-11-15 12:00:31", 0, 121, "2013-11-15 12:01"},
        // Between two steps of 2 minutes: to the nearest step; an exact half
        // is tipped upwards by the added 1/86400 of an interval.
        {1, "2013-11-15 10:03", 0, 2, "2013-11-15 10:04"},
        {1, "2013-11-15 10:05", 0, 3, "2013-11-15 10:06"},
        {1, "2013-11-15 10:04:59", 0, 2, "2013-11-15 10:04"},
        {0, "tomorrow", 33, 2999, "2013-11-17 11:59"},
    };
    for (const auto& c : cases) {
        SettingsState s = opened(logger(1));
        s.startText = "2013-11-15 10:00";
        pickInterval(s, c.intervalIndex);
        const RuleOutcome r = checkEndReservation(s, c.text);
        EXPECT_EQ(r.messageNo, c.message) << c.text;
        EXPECT_EQ(s.recordLimit, c.limit) << c.text;
        EXPECT_EQ(s.endText, c.end) << c.text;
        if (r.messageNo == 32) {
            EXPECT_EQ(r.args, QStringList({"2013-11-15 10:00", "2013-11-17 11:59"}));
        }
    }
}

TEST(SettingRules, DerivedEffects) {
    SettingsState s = opened(logger(4));
    ASSERT_TRUE(checkEndReservation(s, "2013-11-15 10:00").accepted());
    EXPECT_EQ(s.recordLimit, 54);
    pickRecordMode(s, endless);  // the whole memory again, and the end says so
    EXPECT_EQ(s.recordLimit, 5999);
    EXPECT_EQ(s.endText, "2013-11-19 13:05");
    EXPECT_FALSE(endReservationEditable(s));
    pickRecordMode(s, oneTime);
    EXPECT_TRUE(endReservationEditable(s));
    setSecondsInterval(s, true);
    EXPECT_FALSE(endReservationEditable(s));
    pickSecondsInterval(s, 0);
    EXPECT_EQ(s.endText, "2013-11-16 01:45");  // + 5999 × 10 s
    setSecondsInterval(s, false);
    pickInterval(s, 4);
    EXPECT_EQ(s.recordLimit, 5999);
    EXPECT_EQ(s.endText, "2013-12-06 05:01");  // + 5999 × 5 min

    // Model 3: the reference follows the range.
    const struct {
        int fromCode;
        const char* reference;
        int range;
        const char* want;
        const char* listFirst;
    } ranges[] = {
        {1, "20", 2, "50", "50"},
        {1, "0", 1, "0", "0"},
        {3, "150", 0, "60", "-40"},
        {3, "", 0, "", "50"},  // nothing while the reference is empty
    };
    for (const auto& r : ranges) {
        PendingLogger c = logger(3);
        c.rangeModeCode = int16_t(r.fromCode);
        SettingsState m3 = opened(c);
        m3.referenceText[1] = r.reference;
        rebuildReferenceList(m3, r.range);
        EXPECT_EQ(m3.referenceText[1], r.want) << r.reference;
        EXPECT_EQ(referenceChoices(m3, 1).first(), r.listFirst) << r.reference;
        EXPECT_EQ(m3.measuringRange, r.range);
    }
}

TEST(SettingRules, AlarmAndReferenceChecks) {
    enum Which { upper, lower, reference };
    const struct {
        int model, channel;
        Which which;
        const char *upperText, *lowerText, *refText;
        int message;
        const char* want;  // the checked box afterwards
    } cases[] = {
        {1, 1, upper, "-40", "-40", "", 24, "-39"},
        {1, 1, upper, "61", "0", "", 21, "30"},  // previous text back
        {1, 1, upper, "abc", "-40", "", 21, "30"},
        {1, 1, upper, "25", "-40", "", 0, "25"},
        {1, 2, upper, "0", "0", "", 24, "1"},
        {1, 1, lower, "20", "30", "", 23, "19"},
        {1, 1, lower, "20", "-41", "", 22, "10"},
        {1, 2, lower, "100", "99", "", 0, "99"},
        {4, 2, upper, "151", "0", "", 21, "30"},
        {4, 1, lower, "-39", "-39", "", 23, "-40"},
        {4, 1, upper, "150", "149", "", 0, "150"},
        {1, 1, reference, "", "", "1000", 20, "7"},
        {1, 1, reference, "", "", "-40", 0, "-40"},
        {1, 1, reference, "", "", "", 0, ""},  // unset stays unset {2, 2, reference, "", "", "101", 20, "7"},
        {3, 1, reference, "", "", "-41", 20, "7"},
    };
    for (const auto& c : cases) {
        SettingsState s = opened(logger(c.model));
        const size_t ch = size_t(c.channel);
        RuleOutcome r;
        QString got;
        switch (c.which) {
        case upper:
            s.upperText[ch] = c.upperText;
            s.lowerText[ch] = c.lowerText;
            r = checkUpperAlarm(s, c.channel, "30");
            got = s.upperText[ch];
            break;
        case lower:
            s.upperText[ch] = c.upperText;
            s.lowerText[ch] = c.lowerText;
            r = checkLowerAlarm(s, c.channel, "10");
            got = s.lowerText[ch];
            break;
        case reference:
            s.referenceText[ch] = c.refText;
            r = checkReferenceValue(s, c.channel, "7");
            got = s.referenceText[ch];
            break;
        }
        EXPECT_EQ(r.messageNo, c.message) << c.model << " " << c.upperText << c.lowerText << c.refText;
        EXPECT_EQ(got, c.want) << c.model << " " << c.upperText << c.lowerText << c.refText;
    }
}

TEST(SettingRules, SpinAndClock) {
    SettingsState s = opened(logger(1));
    const struct {
        const char* start;
        int step;
        const char* want;
    } spins[] = {
        {"2014-05-14 09:05", +1, "2014-05-14 09:05"},  // at now + 180 days
        {"2014-05-14 09:04", +1, "2014-05-14 09:05"},
        {"2013-11-15 09:06", -1, "2013-11-15 09:06"},  // at now + 1 minute
        {"2013-11-15 10:00", -1, "2013-11-15 09:59"},
        {"2013-11-15 10:00", +1, "2013-11-15 10:01"},
    };
    for (const auto& c : spins) {
        s.startText = c.start;
        EXPECT_TRUE(spinStartTime(s, c.step).accepted()) << c.start;
        EXPECT_EQ(s.startText, c.want) << c.start;
    }

    s.startText = "2013-11-15 09:07";
    EXPECT_FALSE(clockTick(s, QDateTime(QDate(2013, 11, 15), QTime(9, 6, 50))));
    EXPECT_TRUE(clockTick(s, QDateTime(QDate(2013, 11, 15), QTime(9, 7, 0))));
    EXPECT_EQ(s.startText, "2013-11-15 09:08");
    EXPECT_EQ(s.endText, "2013-11-17 11:07");
    s.startText = "garbage";  // not parseable: the tick leaves it
    EXPECT_FALSE(clockTick(s, QDateTime(QDate(2013, 11, 15), QTime(9, 8, 0))));
    EXPECT_EQ(s.startText, "garbage");
}

TEST(SettingRules, RecordingSettingsFromTheState) {
    SettingsState s = opened(logger(1));
    s.cardNo = 26;
    pickInterval(s, 29);
    s.referenceText = {"", "-40", "25"};
    s.referenceSide[1] = 8;
    s.upperText = {"", "30", "80"};
    s.lowerText = {"", "-5", "20"};
    ASSERT_TRUE(checkStartTime(s, "2013-11-16 08:00").accepted());
    ASSERT_TRUE(checkEndReservation(s, "2013-11-16 09:00").accepted());
    RecordingSettings r = recordingSettings(s);
    EXPECT_EQ(r.cardNo, 26);
    EXPECT_EQ(r.testNo, 4);
    EXPECT_EQ(r.intervalHour, 0);
    EXPECT_EQ(r.intervalMinute, 30);
    EXPECT_FALSE(r.useSecondsInterval);
    EXPECT_EQ(r.referenceValue[1], 0);
    EXPECT_EQ(r.referenceValue[2], 25);
    EXPECT_EQ(r.referenceSide[1], 8);
    EXPECT_EQ(r.upperAlarm[1], 30);
    EXPECT_EQ(r.lowerAlarm[1], -5);
    EXPECT_EQ(r.upperAlarm[2], 80);
    EXPECT_EQ(r.recordLimit, 2);
    EXPECT_EQ(r.startTime, QDateTime(QDate(2013, 11, 16), QTime(8, 0)));
    EXPECT_EQ(r.endReservation, QDateTime(QDate(2013, 11, 16), QTime(9, 0)));
    EXPECT_EQ(r.clockTime, QDateTime(QDate(2013, 11, 15), QTime(9, 5)));
    EXPECT_FALSE(r.lockLogger);

    PendingLogger c = logger(4);
    c.intervalInSeconds = true;
    c.ch[1].intervalMinute = 0;
    c.ch[1].intervalTenSec = 3;
    s = initialSettings(c, kNow, kStart, true).state;
    r = recordingSettings(s);
    EXPECT_TRUE(r.useSecondsInterval);
    EXPECT_EQ(r.secondsInterval, 30);
    EXPECT_TRUE(r.lockLogger);
    EXPECT_EQ(r.recordLimit, 5999);
    EXPECT_EQ(r.upperAlarm[1], 100);

    // Model 3 from range " 50～150": the reference goes as its list position.
    c = logger(3);
    c.rangeModeCode = 8;
    c.ch[1].referenceValue = 720;
    r = recordingSettings(opened(c));
    EXPECT_EQ(r.recordMode, endless);
    EXPECT_EQ(r.measuringRange, 2);
    EXPECT_EQ(r.referenceValue[1], 22);
    EXPECT_EQ(r.recordLimit, 0);
}

TEST(SettingRules, FactoryChoices) {
    SettingsState s = opened(logger(1));
    applyFactoryChoices(s);
    EXPECT_EQ(s.cardNo, 255);
    EXPECT_EQ(s.testNo, 255);
    EXPECT_EQ(s.referenceText, (std::array<QString, 3>{"", "-40", "0"}));
    EXPECT_EQ(s.upperText, (std::array<QString, 3>{"", "60", "100"}));
    EXPECT_EQ(s.lowerText, (std::array<QString, 3>{"", "-40", "0"}));

    s = opened(logger(4));
    applyFactoryChoices(s);
    EXPECT_EQ(s.upperText, (std::array<QString, 3>{"", "150", "150"}));
    EXPECT_EQ(s.lowerText, (std::array<QString, 3>{"", "-40", "-40"}));

    PendingLogger c = logger(3);
    c.rangeModeCode = 2;
    s = opened(c);
    applyFactoryChoices(s);
    EXPECT_EQ(s.referenceText[1], "0");
}

}  // namespace

TEST(SettingRules, AReferenceNeverSetStaysUnset) {
    const struct {
        int model;
        int rangeModeCode;
        int pickRange;  // model 3: a range picked afterwards, -1 none
        std::array<int16_t, 3> read;
        std::array<int16_t, 3> sent;
    } cases[] = {
        {1, 1, -1, {0, kNotSet, kNotSet}, {0, kNotSet, kNotSet}},
        {2, 1, -1, {0, kNotSet, 500}, {0, kNotSet, 50}},
        {2, 1, -1, {0, -400, 1000}, {0, 0, 100}},  // the ends of the lists are set values
        {3, 3, -1, {0, kNotSet, kNotSet}, {0, kNotSet, 0}},
        {3, 1, 2, {0, kNotSet, kNotSet}, {0, kNotSet, 0}},  // a new range does not set it
        {3, 2, -1, {0, 1000, kNotSet}, {0, 100, 0}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.model * 100 + k.rangeModeCode);
        PendingLogger c = logger(k.model);
        c.rangeModeCode = int16_t(k.rangeModeCode);
        for (size_t ch = 1; ch <= 2; ++ch) c.ch[ch].referenceValue = k.read[ch];
        SettingsState s = opened(c);
        if (k.pickRange >= 0) rebuildReferenceList(s, k.pickRange);
        const RecordingSettings r = recordingSettings(s);
        EXPECT_EQ(r.referenceValue[1], k.sent[1]);
        if (k.model != 3) {
            EXPECT_EQ(r.referenceValue[2], k.sent[2]);
        }
    }
}

TEST(SettingRules, TheOneChannelLoggersRangeIsFixedOnceReported) {
    const struct {
        int model;
        int rangeModeCode;
        bool fixed;
    } cases[] = {
        {3, 1, true}, {3, 3, true}, {3, 6, true}, {3, 8, true}, {3, 0, false}, {3, 4, false}, {2, 1, false},
    };
    for (const auto& k : cases) {
        PendingLogger c = logger(k.model);
        c.rangeModeCode = int16_t(k.rangeModeCode);
        EXPECT_EQ(measuringRangeFixed(opened(c)), k.fixed) << k.model << " " << k.rangeModeCode;
    }
}
