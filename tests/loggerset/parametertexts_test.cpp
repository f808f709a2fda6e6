#include "loggerset/parametertexts.h"

#include "support/fakes.h"

#include <gtest/gtest.h>

using namespace quillet;

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }

// A temperature / humidity logger (model 1) as the identification and the
// summary fill it: started 2013-11-15 09:05:30, every 10 minutes, 3 records.
PendingLogger model1Logger() {
    PendingLogger p;
    p.loggerModel = 1;
    p.ch[1].cardNo = 7;
    p.ch[1].testNo = 12;
    p.ch[1].startYear = 2013;
    p.ch[1].startMonth = 11;
    p.ch[1].startDay = 15;
    p.ch[1].startHour = 9;
    p.ch[1].startMinute = 5;
    p.ch[1].startTenSec = 3;
    p.ch[1].intervalMinute = 10;
    p.ch[1].sampleCount = 3;
    ChannelHeader& t = p.ch[1];
    t.kind = 1;
    t.rangeLow = -400;
    t.maxValue = 265;
    t.minValue = -15;
    t.averageValue = 253;
    t.referenceValue = 250;
    t.referenceSide = 0;
    t.upperAlarm = 600;
    t.lowerAlarm = -400;
    ChannelHeader& h = p.ch[2];
    h.kind = 2;
    h.rangeLow = 0;
    h.maxValue = 655;
    h.minValue = 400;
    h.averageValue = 554;
    h.referenceValue = 505;
    h.referenceSide = 8;
    h.upperAlarm = 1000;
    h.lowerAlarm = 0;
    return p;
}

// A one-channel temperature logger with an integrated value (model 3).
PendingLogger model3Logger() {
    PendingLogger p = model1Logger();
    p.loggerModel = 3;
    p.rangeModeCode = 1;
    p.ch[1].kind = 0;
    p.ch[1].integratedValue = 1234;
    p.ch[2] = ChannelHeader{};
    return p;
}

// Two temperature channels (model 4).
PendingLogger model4Logger() {
    PendingLogger p = model1Logger();
    p.loggerModel = 4;
    p.ch[2] = p.ch[1];
    p.ch[1].upperAlarm = 1500;
    p.ch[1].lowerAlarm = -400;
    p.ch[2].upperAlarm = 1500;
    p.ch[2].lowerAlarm = -400;
    return p;
}

ReadoutParameterTexts textsOf(const PendingLogger& p) {
    fakes::TestContext t;
    t.ctx.pendingLogger = p;
    return readoutParameterTexts(t.ctx);
}

ChannelStore storeUsing(std::initializer_list<int> used) {
    ChannelStore s;
    for (int c : used) s.ch[size_t(c)].inUse = 1;
    return s;
}

std::vector<int> enabledOf(const std::array<bool, 9>& e) {
    std::vector<int> out;
    for (int i = 1; i <= 8; ++i)
        if (e[size_t(i)]) out.push_back(i);
    return out;
}

}  // namespace

// ---- storage channels -----------------------------------------------------

TEST(ReadoutParameterStorage, TwoChannelLoggerWithAAndBInUse) {
    StorageChoice c = initialStorageChoice(storeUsing({1, 2}), true);
    EXPECT_EQ(c.first, 3);
    EXPECT_EQ(c.second, 4);
    EXPECT_EQ(enabledOf(c.firstEnabled), (std::vector<int>{3, 5, 6, 7, 8}));   // A, B, D disabled
    EXPECT_EQ(enabledOf(c.secondEnabled), (std::vector<int>{4, 5, 6, 7, 8}));  // A, B, C disabled

    EXPECT_TRUE(pickStorage(c, 1, 5));  // E for the first channel
    EXPECT_EQ(c.first, 5);
    EXPECT_EQ(c.second, 4);
    EXPECT_EQ(enabledOf(c.firstEnabled), (std::vector<int>{3, 5, 6, 7, 8}));
    EXPECT_EQ(enabledOf(c.secondEnabled), (std::vector<int>{3, 4, 6, 7, 8}));  // C back, E gone

    EXPECT_TRUE(pickStorage(c, 2, 3));  // C for the second channel
    EXPECT_EQ(c.second, 3);
    EXPECT_EQ(enabledOf(c.firstEnabled), (std::vector<int>{4, 5, 6, 7, 8}));  // D back, C gone
}

TEST(ReadoutParameterStorage, OneChannelLoggerTakesTheLowestFreeChannel) {
    const StorageChoice c = initialStorageChoice(storeUsing({1, 3, 4}), false);
    EXPECT_EQ(c.first, 2);
    EXPECT_EQ(c.second, 0);
    EXPECT_EQ(enabledOf(c.firstEnabled), (std::vector<int>{2, 5, 6, 7, 8}));
    EXPECT_TRUE(enabledOf(c.secondEnabled).empty());
}

TEST(ReadoutParameterStorage, NoFreeChannelLeavesNoChoice) {
    const StorageChoice c = initialStorageChoice(storeUsing({1, 2, 3, 4, 5, 6, 7, 8}), true);
    EXPECT_EQ(c.first, 0);
    EXPECT_EQ(c.second, 0);
    EXPECT_FALSE(readyToTransfer(model1Logger(), c));
}

TEST(ReadoutParameterStorage, PicksThatChangeNothing) {
    const StorageChoice initial = initialStorageChoice(storeUsing({1, 2}), true);
    const struct {
        int row, channel;
    } cases[] = {
        {1, 3},          // the current choice
        {1, 1},          // a channel in use
        {1, 4},          // the other row's choice
        {2, 3},          // the other row's choice
        {1, 0},          // outside the options
        {2, 9}, {3, 5},  // no such row
    };
    for (const auto& k : cases) {
        StorageChoice c = initial;
        EXPECT_FALSE(pickStorage(c, k.row, k.channel)) << k.row << "," << k.channel;
        EXPECT_EQ(c.first, initial.first);
        EXPECT_EQ(c.second, initial.second);
        EXPECT_EQ(c.firstEnabled, initial.firstEnabled);
        EXPECT_EQ(c.secondEnabled, initial.secondEnabled);
    }
}

TEST(ReadoutParameterStorage, ReadyToTransfer) {
    const StorageChoice two = initialStorageChoice(storeUsing({}), true);
    const StorageChoice one = initialStorageChoice(storeUsing({}), false);
    PendingLogger m1 = model1Logger();
    PendingLogger m3 = model3Logger();
    EXPECT_TRUE(readyToTransfer(m1, two));
    EXPECT_FALSE(readyToTransfer(m1, one));  // the second channel has nowhere to go
    EXPECT_TRUE(readyToTransfer(m3, one));
    m1.ch[1].sampleCount = 0;
    m3.ch[1].sampleCount = 0;
    EXPECT_FALSE(readyToTransfer(m1, two));
    EXPECT_FALSE(readyToTransfer(m3, one));
}

TEST(ReadoutParameterStorage, HeadlessLoadRecordsTheInitialChannels) {
    fakes::TestContext t;
    t.ctx.store.ch[1].inUse = 1;
    t.ctx.pendingLogger = model4Logger();
    Destinations d = chooseInitialDestinations(t.ctx);
    EXPECT_EQ(d.first, 2);
    EXPECT_EQ(d.second, 3);

    t.ctx.pendingLogger = model3Logger();
    d = chooseInitialDestinations(t.ctx);
    EXPECT_EQ(d.first, 2);
    EXPECT_EQ(d.second, 0);
}

// ---- texts ------------------------------------------------------------------

TEST(ReadoutParameterTexts, SharedFields) {
    fakes::TestContext t;
    t.ctx.pendingLogger = model1Logger();
    t.ctx.general.settingCharTest[12] = QStringLiteral("X1");
    const ReadoutParameterTexts x = readoutParameterTexts(t.ctx);
    for (int c = 1; c <= 2; ++c) {
        EXPECT_EQ(x.ch[size_t(c)].ctno, u("007-X1"));
        EXPECT_EQ(x.ch[size_t(c)].startTime, u("2013-11-15 09:05:30"));
        EXPECT_EQ(x.ch[size_t(c)].endTime, u("2013-11-15 09:25:30"));
        EXPECT_EQ(x.ch[size_t(c)].interval, u("00:10:00"));
        EXPECT_EQ(x.ch[size_t(c)].dataCount, u("3"));
    }
    EXPECT_EQ(x.ch[1].range, u("-40 ～ 60"));
    EXPECT_EQ(x.ch[2].range, u("0 ～ 100"));
}

TEST(ReadoutParameterTexts, EndTime) {
    const struct {
        int records;
        const char* end;
    } cases[] = {
        {0, "2013-11-15 09:05:30"},
        {1, "2013-11-15 09:05:30"},  // one record: start = end
        {2, "2013-11-15 09:15:30"},
        {145, "2013-11-16 09:05:30"},  // across midnight
    };
    for (const auto& k : cases) {
        PendingLogger p = model1Logger();
        p.ch[1].sampleCount = int16_t(k.records);
        EXPECT_EQ(textsOf(p).ch[1].endTime, u(k.end)) << k.records;
    }
    PendingLogger p = model3Logger();
    p.ch[1].intervalMinute = 0;
    p.ch[1].intervalTenSec = 3;  // 30-second interval
    p.ch[1].sampleCount = 3;
    const ReadoutParameterTexts x = textsOf(p);
    EXPECT_EQ(x.ch[1].interval, u("00:00:30"));
    EXPECT_EQ(x.ch[1].endTime, u("2013-11-15 09:06:30"));
}

TEST(ReadoutParameterTexts, Statistics) {
    // Temperature with one decimal, humidity on the second channel without.
    const ReadoutParameterTexts x = textsOf(model1Logger());
    EXPECT_EQ(x.ch[1].maxValue, u("26.5  "));
    EXPECT_EQ(x.ch[1].minValue, u("-1.5  "));
    EXPECT_EQ(x.ch[1].averageValue, u("25.3  "));
    EXPECT_EQ(x.ch[1].errorCount, u("0"));
    EXPECT_EQ(x.ch[2].maxValue, u("66  "));  // 65.5 rounds away from zero
    EXPECT_EQ(x.ch[2].minValue, u("40  "));
    EXPECT_EQ(x.ch[2].averageValue, u("55  "));
}

TEST(ReadoutParameterTexts, StatisticsDashedWhenEveryRecordIsAnError) {
    const struct {
        int records, errors1, errors2;
        bool dashed1, dashed2;
    } cases[] = {
        {3, 3, 0, true, false}, {3, 2, 3, false, true}, {0, 0, 0, true, true},  // no record at all
    };
    for (const auto& k : cases) {
        PendingLogger p = model1Logger();
        p.ch[1].sampleCount = int16_t(k.records);
        p.ch[1].errorCount = int16_t(k.errors1);
        p.ch[2].errorCount = int16_t(k.errors2);
        const ReadoutParameterTexts x = textsOf(p);
        const bool dashed[3] = {false, k.dashed1, k.dashed2};
        for (int c = 1; c <= 2; ++c) {
            const auto& t = x.ch[size_t(c)];
            if (dashed[c]) {
                EXPECT_EQ(t.maxValue, u("-----  ")) << k.records << " ch" << c;
                EXPECT_EQ(t.minValue, u("-----  "));
                EXPECT_EQ(t.averageValue, u("-----  "));
            } else {
                EXPECT_NE(t.maxValue, u("-----  ")) << k.records << " ch" << c;
            }
        }
    }
}

TEST(ReadoutParameterTexts, ReferenceAndIntegratedValue) {
    const struct {
        int model, reference, side, errors;
        const char* referenceText;
        const char* integratedText;
    } cases[] = {
        {3, 250, 0, 0, "25.0H  ", "1234  "}, {3, -125, 8, 0, "-12.5L  ", "1234  "},
        {3, 9999, 0, 0, "---", "---"},     // not set: neither is shown
        {3, 250, 0, 3, "25.0H  ", "---"},  // no valid record
        {1, 250, 0, 0, "25.0H  ", "---"},  // no integrated value before the transfer
        {1, 9999, 0, 0, "---", "---"},
    };
    for (const auto& k : cases) {
        PendingLogger p = k.model == 3 ? model3Logger() : model1Logger();
        p.ch[1].referenceValue = int16_t(k.reference);
        p.ch[1].referenceSide = int16_t(k.side);
        p.ch[1].errorCount = int16_t(k.errors);
        const ReadoutParameterTexts x = textsOf(p);
        EXPECT_EQ(x.ch[1].reference, u(k.referenceText)) << k.model << " " << k.reference;
        EXPECT_EQ(x.ch[1].integrated, u(k.integratedText)) << k.model << " " << k.reference;
    }
    // Humidity: no decimals.
    EXPECT_EQ(textsOf(model1Logger()).ch[2].reference, u("51L  "));
}

TEST(ReadoutParameterTexts, Alarms) {
    const ReadoutParameterTexts m1 = textsOf(model1Logger());
    EXPECT_EQ(m1.ch[1].upperAlarm, u("60.0  "));
    EXPECT_EQ(m1.ch[1].lowerAlarm, u("-40.0  "));
    EXPECT_EQ(m1.ch[2].upperAlarm, u("100  "));
    EXPECT_EQ(m1.ch[2].lowerAlarm, u("0  "));
    const ReadoutParameterTexts m3 = textsOf(model3Logger());
    EXPECT_EQ(m3.ch[1].upperAlarm, u("---"));
    EXPECT_EQ(m3.ch[1].lowerAlarm, u("---"));
    const ReadoutParameterTexts m4 = textsOf(model4Logger());
    EXPECT_EQ(m4.ch[2].upperAlarm, u("150.0  "));
}

TEST(ReadoutParameterTexts, RecordingMode) {
    const struct {
        int model, code;
        bool endless;
        const char* text;
        bool shown;
    } cases[] = {
        {3, 1, false, "ワンタイム", true}, {3, 3, false, "ワンタイム", true}, {3, 6, false, "エンドレス", true},
        {3, 8, false, "エンドレス", true}, {3, 4, false, "4", true},          {3, 0, false, "0", true},
        {4, 0, true, "エンドレス", true},  {4, 0, false, "ワンタイム", true}, {1, 6, true, "", false},
        {2, 1, false, "", false},
    };
    for (const auto& k : cases) {
        PendingLogger p = k.model == 3 ? model3Logger() : k.model == 4 ? model4Logger() : model1Logger();
        p.loggerModel = int16_t(k.model);
        p.rangeModeCode = int16_t(k.code);
        p.endlessFlag = k.endless;
        const ReadoutParameterTexts x = textsOf(p);
        EXPECT_EQ(x.recordModeShown, k.shown) << k.model << " " << k.code;
        if (k.shown) {
            EXPECT_EQ(x.ch[1].recordMode, u(k.text)) << k.model << " " << k.code;
        }
    }
}

TEST(ReadoutParameterTexts, Frames) {
    const struct {
        PendingLogger logger;
        const char *frame1, *frame2, *storage1, *storage2;
        bool second;
        QColor colour;
    } cases[] = {
        {model1Logger(), "温度 [ﾟC ]", "湿度 [%RH]", "温度", "湿度", true, QColor(0, 192, 192)},
        {model3Logger(), "温度 [ﾟC ]", "", "温度", "", false, QColor()},
        {model4Logger(), "温度A[ﾟC ]", "温度B[ﾟC ]", "温度A", "温度B", true, QColor(192, 0, 192)},
    };
    for (const auto& k : cases) {
        const ReadoutParameterTexts x = textsOf(k.logger);
        EXPECT_EQ(x.ch[1].frameCaption, u(k.frame1));
        EXPECT_EQ(x.ch[1].storageCaption, u(k.storage1));
        EXPECT_EQ(x.secondShown, k.second);
        if (k.second) {
            EXPECT_EQ(x.ch[2].frameCaption, u(k.frame2));
            EXPECT_EQ(x.ch[2].storageCaption, u(k.storage2));
        }
        EXPECT_EQ(x.secondColour, k.colour);
    }
}

// ---- read alarm values ------------------------------------------------------

TEST(ReadoutParameterAlarms, Warnings) {
    struct Case {
        const char* what;
        PendingLogger logger;
        const char* text;  // without the leading "警報値異常です！"; nullptr = none
    };
    auto m1 = [](int u1, int l1, int u2, int l2, int model = 1) {
        PendingLogger p = model1Logger();
        p.loggerModel = int16_t(model);
        p.ch[1].upperAlarm = int16_t(u1);
        p.ch[1].lowerAlarm = int16_t(l1);
        p.ch[2].upperAlarm = int16_t(u2);
        p.ch[2].lowerAlarm = int16_t(l2);
        return p;
    };
    auto m4 = [](int u1, int u2, int l1, int l2) {
        PendingLogger p = model4Logger();
        p.ch[1].upperAlarm = int16_t(u1);
        p.ch[2].upperAlarm = int16_t(u2);
        p.ch[1].lowerAlarm = int16_t(l1);
        p.ch[2].lowerAlarm = int16_t(l2);
        return p;
    };
    PendingLogger m3 = model3Logger();
    m3.ch[1].upperAlarm = 5000;
    m3.ch[1].lowerAlarm = -5000;
    const Case cases[] = {
        {"model 1 at its limits", m1(600, -400, 1000, 0), nullptr},
        {"model 1 other limits", m1(-390, 590, 10, 990), nullptr},
        {"temperature upper 70", m1(700, -400, 1000, 0), "\r\n警報値(温度）が範囲外です(60～-40)\r\n上限値：70"},
        {"temperature both", m1(-391, 591, 1000, 0),
         "\r\n警報値(温度）が範囲外です(60～-40)\r\n上限値：-39\r\n下限値：59"},
        {"humidity lower", m1(600, -400, 1000, -5), "\r\n警報値(湿度)が範囲外です(100～0)\r\n下限値：-1"},
        {"model 2, both channels", m1(-400, -400, 9, 0, 2),
         "\r\n警報値(温度）が範囲外です(60～-40)\r\n上限値：-40"
         "\r\n警報値(湿度)が範囲外です(100～0)\r\n上限値：1"},
        {"model 4 at its limits", m4(1500, -390, -400, 1490), nullptr},
        {"model 4, one value", m4(1501, 1500, -400, -400), "\r\n警報範囲外です(150～-40）\r\n警報値１上限値：150"},
        {"model 4, all four", m4(-391, 1600, 1491, -401),
         "\r\n警報範囲外です(150～-40）\r\n警報値１上限値：-39\r\n警報値２上限値：160"
         "\r\n警報値１下限値：149\r\n警報値２下限値：-40"},
        {"model 3 has no alarms", m3, nullptr},
    };
    for (const Case& k : cases) {
        const QString expected = k.text ? u("警報値異常です！") + u(k.text) : QString();
        EXPECT_EQ(readAlarmWarning(k.logger), expected) << k.what;
    }
}

TEST(ReadoutParameterAlarms, NothingIsChanged) {
    PendingLogger p = model1Logger();
    p.ch[1].upperAlarm = 700;
    const PendingLogger before = p;
    EXPECT_FALSE(readAlarmWarning(p).isEmpty());
    EXPECT_EQ(p.ch[1].upperAlarm, before.ch[1].upperAlarm);
    EXPECT_EQ(p.ch[1].lowerAlarm, before.ch[1].lowerAlarm);
}
