// The wire codec against hand-written answers. Every answer and every data
// string below is spelt out by hand (digits reversed by hand), never built
// with the code under test.
#include "comm/protocol.h"
#include "core/store.h"

#include "support/fakes.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace quillet {
namespace {

using Fields = std::vector<std::pair<int, const char*>>;

// A data answer of `length` characters: STX " 1," then "0" filler, ETX CR
// LF at the end, and the given texts placed at their 1-based positions.
QByteArray answer(int length, const Fields& fields) {
    QByteArray a = QByteArray("\x02 1,") + QByteArray(length - 7, '0') + "\x03\r\n";
    for (const auto& [pos, text] : fields) a.replace(pos - 1, int(qstrlen(text)), text);
    EXPECT_EQ(a.size(), length);
    return a;
}

// ---- Number encoding ----------------------------------------------------

TEST(Field, EncodingExamples) {
    EXPECT_EQ(hexField(26, 2), "1A");
    EXPECT_EQ(reverseDigits("1A"), "A1");
    EXPECT_EQ(encodeField(26, 2), "A1");  // card number 26
    EXPECT_EQ(encodeField(0x1A3, 3), "3A1");
    EXPECT_EQ(hexField(0x12345, 3), "12345");   // wider values keep their digits
    EXPECT_EQ(encodeField(0x12345, 3), "FFF");  // a sent field keeps its width
    EXPECT_EQ(encodeField(-10, 3), "000");
}

TEST(Field, ReadingStopsAtTheFirstNonHexCharacter) {
    struct Case {
        QByteArray text;
        int value;
    } cases[] = {
        {"3A1", 0x1A3}, {"a1", 0x1A}, {"", 0},       {"FFFF", 0xFFFF}, {"3G1", 0x1},  // reversed "1G3": stops at G
        {"G1", 0x1},    {"1G", 0},    {"\x03\r", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(decodeField(c.text), c.value) << c.text.toStdString();
}

TEST(Field, ReadFieldNeverReadsPastTheAnswer) {
    const QByteArray a = "\x02 1,A1";
    EXPECT_EQ(readField(a, 5, 2), 26);
    EXPECT_EQ(readField(a, 6, 2), 1);  // only "1" is there
    EXPECT_EQ(readField(a, 7, 4), 0);
    EXPECT_EQ(readField(a, 500, 3), 0);
    EXPECT_EQ(readField(a, 0, 3), 0);
}

TEST(Field, RangeLowOfTheRangeCodes) {
    const std::pair<int, int> cases[] = {{1, -400}, {6, -400}, {2, 0},   {7, 0}, {10, 0},
                                         {11, 0},   {3, 500},  {8, 500}, {0, 0}, {15, 0}};
    for (auto [code, low] : cases) EXPECT_EQ(rangeLowFor(code), low) << code;
}

// ---- Frames -----------------------------------------------------------------

TEST(Frame, IdentificationRequestIsTenBytes) {
    EXPECT_EQ(commandFrame(1, 1, {}), QByteArray("\x02\x20\x31\x2C\x20\x31\x2C\x03\x0D\x0A", 10));
}

TEST(Frame, EmptyDataHasNoSecondComma) {
    EXPECT_EQ(commandFrame(1, 3, {}), QByteArray("\x02\x20\x31\x2C\x20\x33\x2C\x03\x0D\x0A", 10));
}

TEST(Frame, DataFollowsItsOwnComma) { EXPECT_EQ(commandFrame(3, 5, "A1"), QByteArray("\x02 3, 5,A1,\x03\r\n")); }

// ---- Identification -----------------------------------------------------------

// Model 1: card 26, start 2013-11-15 09:30, interval 00:10, CH1 reference
// raw 0x2FA side L, CH2 reference not set, CH1 alarms raw 0 / 1000, CH2
// alarms raw 0x1B4 / 0, test 12, range codes 1 and "A", record limit field
// 0x0BB7 (2999).
QByteArray model1Identification(char at51 = 'A') {
    char code[2] = {at51, 0};
    return answer(71, {{5, "A1"},   {8, "E1"},   {10, "90"}, {12, "F0"},  {14, "B0"}, {16, "D0"},  {19, "A0"},
                       {21, "00"},  {24, "AF2"}, {27, "8"},  {28, "FFF"}, {31, "0"},  {33, "000"}, {36, "8E3"},
                       {40, "4B1"}, {43, "000"}, {47, "C0"}, {50, "1"},   {51, code}, {64, "7BB0"}});
}

TEST(Identification, ModelFromLengthAndPosition51) {
    EXPECT_EQ(modelFromIdentification(model1Identification('A')), 1);
    EXPECT_EQ(modelFromIdentification(model1Identification('B')), 2);
    EXPECT_EQ(modelFromIdentification(answer(49, {})), 3);
    EXPECT_EQ(modelFromIdentification(answer(65, {})), 4);
    for (int len : {0, 10, 48, 50, 64, 66, 70, 72}) EXPECT_EQ(modelFromIdentification(QByteArray(len, '0')), 0) << len;
}

TEST(Identification, Model1Fields) {
    PendingLogger p;
    ASSERT_EQ(parseIdentification(model1Identification(), 0, p), 1);
    EXPECT_EQ(p.loggerModel, 1);
    EXPECT_EQ(p.ch[1].cardNo, 26);
    EXPECT_EQ(p.ch[1].testNo, 12);
    EXPECT_EQ(p.ch[1].startYear, 2013);
    EXPECT_EQ(p.ch[1].startMonth, 11);
    EXPECT_EQ(p.ch[1].startDay, 15);
    EXPECT_EQ(p.ch[1].startHour, 9);
    EXPECT_EQ(p.ch[1].startMinute, 30);
    EXPECT_EQ(p.ch[1].startTenSec, 0);
    EXPECT_EQ(p.ch[1].intervalHour, 0);
    EXPECT_EQ(p.ch[1].intervalMinute, 10);
    EXPECT_EQ(p.ch[1].intervalTenSec, 0);
    EXPECT_FALSE(p.intervalInSeconds);
    EXPECT_EQ(p.ch[1].rangeCode, 1);
    EXPECT_EQ(p.ch[1].rangeLow, -400);
    EXPECT_EQ(p.ch[2].rangeCode, 10);
    EXPECT_EQ(p.ch[2].rangeLow, 0);
    EXPECT_EQ(p.ch[1].referenceValue, 762 - 400);
    EXPECT_EQ(p.ch[1].referenceSide, 8);
    // "FFF" is "not set", never 4095 + rangeLow.
    EXPECT_EQ(p.ch[2].referenceValue, 9999);
    EXPECT_EQ(p.ch[2].referenceSide, 0);
    // Raw upper 0 is raised by one unit; raw lower 1000 lowered by one.
    EXPECT_EQ(p.ch[1].upperAlarm, -390);
    EXPECT_EQ(p.ch[1].lowerAlarm, 590);
    EXPECT_EQ(p.ch[2].upperAlarm, 0x1B4);
    EXPECT_EQ(p.ch[2].lowerAlarm, 0);
    EXPECT_EQ(p.ch[1].kind, 1);
    EXPECT_EQ(p.ch[2].kind, 2);
    EXPECT_EQ(p.recordLimit, 3000);
}

TEST(Identification, HumidityLowerAlarmOf1000Reads990) {
    PendingLogger p;
    QByteArray a = model1Identification('A');
    a.replace(43 - 1, 3, "8E3");
    ASSERT_EQ(parseIdentification(a, 0, p), 1);
    EXPECT_EQ(p.ch[2].lowerAlarm, 990);
}

TEST(Identification, TwoDigitYears) {
    const std::pair<const char*, int> cases[] = {{"00", 2000}, {"E5", 2094}, {"F5", 1995}, {"36", 1999}};
    for (auto [text, year] : cases) {
        QByteArray a = model1Identification();
        a.replace(16 - 1, 2, text);
        PendingLogger p;
        parseIdentification(a, 0, p);
        EXPECT_EQ(p.ch[1].startYear, year) << text;
    }
}

// Model 3: card 5, start 1998-02-01 12:00 and 30 s, interval 30 s, reference
// not set, test 7, code 6 at position 33 and 8 at 34.
QByteArray model3Identification() {
    return answer(49, {{5, "50"},
                       {8, "3"},
                       {9, "00"},
                       {11, "C0"},
                       {13, "10"},
                       {15, "20"},
                       {17, "26"},
                       {20, "00"},
                       {22, "0"},
                       {23, "3"},
                       {25, "FFF"},
                       {28, "0"},
                       {30, "70"},
                       {33, "6"},
                       {34, "8"}});
}

TEST(Identification, Model3AndItsSecondRangeCode) {
    PendingLogger p;
    ASSERT_EQ(parseIdentification(model3Identification(), 0, p), 3);
    EXPECT_EQ(p.ch[1].cardNo, 5);
    EXPECT_EQ(p.ch[1].testNo, 7);
    EXPECT_EQ(p.ch[1].startYear, 1998);
    EXPECT_EQ(p.ch[1].startMonth, 2);
    EXPECT_EQ(p.ch[1].startDay, 1);
    EXPECT_EQ(p.ch[1].startHour, 12);
    EXPECT_EQ(p.ch[1].startTenSec, 3);
    EXPECT_EQ(p.ch[1].intervalTenSec, 3);
    EXPECT_TRUE(p.intervalInSeconds);
    EXPECT_EQ(p.ch[1].referenceValue, 9999);
    EXPECT_EQ(p.ch[1].kind, 0);
    EXPECT_EQ(p.rangeModeCode, 6);
    EXPECT_EQ(p.ch[1].rangeLow, -400);

    ASSERT_EQ(parseIdentification(model3Identification(), 1, p), 3);
    EXPECT_EQ(p.rangeModeCode, 8);
    EXPECT_EQ(p.ch[1].rangeLow, 500);
}

// Model 4: card 255, interval 00:05, CH1 alarms raw 0x5A0 / 0, CH2 alarms
// raw 0 / 0x3E8, flags 3 (endless and wrapped).
QByteArray model4Identification(const char* flags = "3") {
    return answer(65, {{5, "FF"},
                       {9, "50"},
                       {20, "50"},
                       {25, "0A5"},
                       {28, "000"},
                       {32, "000"},
                       {35, "8E3"},
                       {39, "40"},
                       {42, "1"},
                       {43, "1"},
                       {56, "1234"},
                       {61, flags}});
}

TEST(Identification, Model4AlarmsCountFromMinus40WithoutAdjustment) {
    PendingLogger p;
    ASSERT_EQ(parseIdentification(model4Identification(), 0, p), 4);
    EXPECT_EQ(p.ch[1].cardNo, 255);
    EXPECT_EQ(p.ch[1].testNo, 4);
    EXPECT_EQ(p.ch[1].upperAlarm, 0x5A0 - 400);
    EXPECT_EQ(p.ch[1].lowerAlarm, -400);
    EXPECT_EQ(p.ch[2].upperAlarm, -400);  // no one-unit raise on model 4
    EXPECT_EQ(p.ch[2].lowerAlarm, 600);   // no one-unit drop either
    EXPECT_EQ(p.ch[1].referenceValue, 9999);
    EXPECT_EQ(p.ch[2].referenceValue, 9999);
    EXPECT_EQ(p.ch[1].kind, 1);
    EXPECT_EQ(p.ch[2].kind, 1);
    EXPECT_TRUE(p.endlessFlag);
    EXPECT_TRUE(p.wrapFlag);
    EXPECT_EQ(p.recordLimit, 6000);  // full memory, whatever the field says
}

TEST(Identification, Model4FlagsAndRecordLimit) {
    const struct {
        const char* flags;
        bool endless, wrap;
        int limit;
    } cases[] = {{"0", false, false, 0x4321 + 1},
                 {"2", true, false, 0x4321 + 1},
                 {"1", false, true, 0x4321 + 1},
                 {"3", true, true, 6000}};
    for (const auto& c : cases) {
        PendingLogger p;
        parseIdentification(model4Identification(c.flags), 0, p);
        EXPECT_EQ(p.endlessFlag, c.endless) << c.flags;
        EXPECT_EQ(p.wrapFlag, c.wrap) << c.flags;
        EXPECT_EQ(p.recordLimit, c.limit) << c.flags;
    }
}

TEST(Identification, UnsupportedLengthShowsMessage12AndFails) {
    fakes::TestContext t;
    t.ctx.comm->receiveBuffer = answer(50, {{5, "A1"}});
    t.ctx.pendingLogger->ch[1].cardNo = 77;
    EXPECT_EQ(parseIdentification(t.ctx, 0), 0);
    EXPECT_EQ(t.ctx.pendingLogger->loggerModel, 0);
    EXPECT_EQ(t.ctx.comm->status, 1);
    ASSERT_EQ(t.messages.shown.size(), 1u);
    EXPECT_EQ(t.messages.shown[0].title, QStringLiteral("ロガー読み出し"));
    EXPECT_EQ(t.messages.shown[0].text, QStringLiteral("対応していないロガーです。"));
}

TEST(Identification, SupportedAnswerShowsNothing) {
    fakes::TestContext t;
    t.ctx.comm->receiveBuffer = model1Identification();
    EXPECT_EQ(parseIdentification(t.ctx, 0), 1);
    EXPECT_EQ(t.ctx.pendingLogger->ch[1].cardNo, 26);
    EXPECT_EQ(t.ctx.comm->status, 0);
    EXPECT_TRUE(t.messages.shown.empty());
}

// ---- Summary ------------------------------------------------------------------

QByteArray twoChannelSummary(const char* last) {
    // CH1 max/min/avg raw 0x2BC/0x12C/0x1F4, CH2 0x3E8/0/0x1F4, errors 3 and
    // 0x12.
    return answer(40, {{5, "CB2"},
                       {8, "C21"},
                       {11, "4F1"},
                       {15, "8E3"},
                       {18, "000"},
                       {21, "4F1"},
                       {25, last},
                       {30, "300"},
                       {34, "210"}});
}

TEST(Summary, TwoChannelFields) {
    PendingLogger p;
    parseIdentification(model1Identification(), 0, p);
    ASSERT_TRUE(parseSummary(twoChannelSummary("7520"), p));  // last record 0x257
    EXPECT_EQ(p.ch[1].maxValue, 700 - 400);
    EXPECT_EQ(p.ch[1].minValue, 300 - 400);
    EXPECT_EQ(p.ch[1].averageValue, 500 - 400);
    EXPECT_EQ(p.ch[2].maxValue, 1000);
    EXPECT_EQ(p.ch[2].minValue, 0);
    EXPECT_EQ(p.ch[2].averageValue, 500);
    EXPECT_EQ(p.ch[1].errorCount, 3);
    EXPECT_EQ(p.ch[2].errorCount, 0x12);
    EXPECT_EQ(p.ch[1].sampleCount, 600);
}

TEST(Summary, LastRecordField) {
    const std::pair<const char*, int> cases[] = {{"FFFF", 0}, {"0000", 1}, {"F000", 16}, {"0100", 17}};
    for (auto [text, count] : cases) {
        PendingLogger p;
        parseIdentification(model1Identification(), 0, p);
        ASSERT_TRUE(parseSummary(twoChannelSummary(text), p)) << text;
        EXPECT_EQ(p.ch[1].sampleCount, count) << text;
    }
}

TEST(Summary, Model3IntegratedValue) {
    PendingLogger p;
    parseIdentification(model3Identification(), 0, p);  // rangeLow -400
    const QByteArray a = answer(32, {{5, "CB2"}, {8, "C21"}, {11, "4F1"}, {15, "54321"}, {21, "F100"}, {26, "200"}});
    ASSERT_TRUE(parseSummary(a, p));
    EXPECT_EQ(p.ch[1].maxValue, 300);
    EXPECT_EQ(p.ch[1].integratedValue, 0x12345);
    EXPECT_EQ(p.ch[1].sampleCount, 0x1F + 1);
    EXPECT_EQ(p.ch[1].errorCount, 2);
}

TEST(Summary, Model4FullMemoryIsSixThousandRecordsWithItsWrapPosition) {
    PendingLogger p;
    parseIdentification(model4Identification("3"), 0, p);
    ASSERT_TRUE(parseSummary(twoChannelSummary("9000"), p));  // last record 9
    EXPECT_EQ(p.ch[1].sampleCount, 6000);
    EXPECT_EQ(p.wrapPosition, 10);

    parseIdentification(model4Identification("2"), 0, p);
    ASSERT_TRUE(parseSummary(twoChannelSummary("9000"), p));
    EXPECT_EQ(p.ch[1].sampleCount, 10);
    EXPECT_EQ(p.wrapPosition, 0);
}

TEST(Summary, RefusesShortAnswersAndImpossibleCounts) {
    PendingLogger p;
    parseIdentification(model1Identification(), 0, p);
    const PendingLogger before = p;
    // Too short to hold the error counts.
    EXPECT_FALSE(parseSummary(answer(30, {{5, "CB2"}}), p));
    EXPECT_FALSE(parseSummary(QByteArray(), p));
    // More records than a channel holds (0x3000 = 12288).
    EXPECT_FALSE(parseSummary(twoChannelSummary("0003"), p));
    EXPECT_EQ(p.ch[1].sampleCount, before.ch[1].sampleCount);
    EXPECT_EQ(p.ch[1].maxValue, before.ch[1].maxValue);
    // A wrapped model 4 whose wrap position lies outside its memory.
    parseIdentification(model4Identification("3"), 0, p);
    EXPECT_FALSE(parseSummary(twoChannelSummary("0771"), p));  // 0x1770 = 6000
    EXPECT_FALSE(parseSummary(twoChannelSummary("FFFF"), p));
}

// ---- Status ---------------------------------------------------------------------

TEST(Status, Pairs) {
    const struct {
        QByteArray text;
        LoggerStatus status;
    } cases[] = {
        {"\x02 3,21,\x03\r\n", LoggerStatus::locked},
        {"\x02 3,01,\x03\r\n", LoggerStatus::locked},
        {"\x02 3,22,\x03\r\n", LoggerStatus::ready},
        {"\x02 3,02,\x03\r\n", LoggerStatus::ready},
        {"\x02 3,20,\x03\r\n", LoggerStatus::readError},
        {"\x02 3,00,\x03\r\n", LoggerStatus::readError},
        {"\x02 3,12,\x03\r\n", LoggerStatus::recording},
        {"\x02 3,11,\x03\r\n", LoggerStatus::recording},
        {"\x02 3,32,\x03\r\n", LoggerStatus::recording},
        {"\x02 1,22,\x03\r\n", LoggerStatus::readError},   // wrong head
        {"\x02 3,22;\x03\r\n", LoggerStatus::readError},   // wrong tail
        {"\x02 3,222,\x03\r\n", LoggerStatus::readError},  // 11 characters
        {"\x02 3,2,\x03\r\n", LoggerStatus::readError},
        {"", LoggerStatus::readError},
    };
    for (const auto& c : cases) EXPECT_EQ(readStatus(c.text), c.status) << c.text.toStdString();
}

TEST(Status, MessagesOfTheContextParser) {
    const struct {
        QByteArray text;
        LoggerStatus result;
        const char* message;  // nullptr = none
    } cases[] = {
        {"\x02 3,21,\x03\r\n", LoggerStatus::locked, nullptr},
        {"\x02 3,22,\x03\r\n", LoggerStatus::ready, nullptr},
        {"\x02 3,12,\x03\r\n", LoggerStatus::recording, "収録中又は収録予約中です。"},
        {"\x02 3,20,\x03\r\n", LoggerStatus::readError, "読み取りエラーです。"},
        {"FFF", LoggerStatus::readError, "読み取りエラーです。"},
    };
    for (const auto& c : cases) {
        fakes::TestContext t;
        t.ctx.comm->receiveBuffer = c.text;
        EXPECT_EQ(parseStatus(t.ctx), c.result);
        if (!c.message) {
            EXPECT_TRUE(t.messages.shown.empty());
        } else {
            ASSERT_EQ(t.messages.shown.size(), 1u);
            EXPECT_EQ(t.messages.shown[0].title, QStringLiteral("ロガー設定"));
            EXPECT_EQ(t.messages.shown[0].text, QString::fromUtf8(c.message));
        }
    }
}

// ---- Recorded values ----------------------------------------------------------

const char* kZeroGroup = "0000000000";

// One 88-character block from eight 10-character groups.
QByteArray block(const std::vector<const char*>& groups, bool last) {
    QByteArray b = "\x02 2,";
    for (int g = 0; g < 8; ++g) b += g < int(groups.size()) ? groups[g] : kZeroGroup;
    b += last ? ",\x03\r\n" : ",\x17\r\n";
    EXPECT_EQ(b.size(), 88);
    return b;
}

// Values 1023, 1022, 0, 0x1A5: high digits F (3 | 3<<2) and 4 (0 | 1<<2),
// low bytes FF, FE, 00, A5 each low digit first.
const char* kMixedGroup = "F4FFEF005A";

TEST(Blocks, BlockCounts) {
    EXPECT_EQ(blockCount(16, true), 1);
    EXPECT_EQ(blockCount(17, true), 2);
    EXPECT_EQ(blockCount(32, false), 1);
    EXPECT_EQ(blockCount(33, false), 2);
    EXPECT_EQ(blockCount(0, true), 0);
}

TEST(Blocks, TwoChannelValuesAlternate) {
    BlockDecoding how;
    how.twoChannels = true;
    how.sampleCount = 3;
    how.rangeLow1 = -400;
    how.rangeLow2 = 0;
    std::vector<int16_t> a, b;
    ASSERT_TRUE(decodeBlocks(block({kMixedGroup, kMixedGroup}, true), how, a, b));
    // 1023 is an error sample whatever the range; 1022 is a value.
    EXPECT_EQ(a, (std::vector<int16_t>{9999, -400, 9999}));
    EXPECT_EQ(b, (std::vector<int16_t>{1022, 0x1A5, 1022}));
}

TEST(Blocks, OneChannelValuesRunInOrder) {
    BlockDecoding how;
    how.twoChannels = false;
    how.sampleCount = 6;
    how.rangeLow1 = 500;
    std::vector<int16_t> a, b;
    ASSERT_TRUE(decodeBlocks(block({kMixedGroup, kMixedGroup}, true), how, a, b));
    EXPECT_EQ(a, (std::vector<int16_t>{9999, 1522, 500, 0x1A5 + 500, 9999, 1522}));
    EXPECT_TRUE(b.empty());
}

TEST(Blocks, SeventeenTwoChannelRecordsSpanTwoBlocks) {
    BlockDecoding how;
    how.sampleCount = 17;
    std::vector<int16_t> a, b;
    // Record 17 is value 1 and 2 of the first group of block 2.
    const QByteArray two = block({}, false) + block({"0001020000"}, true);
    ASSERT_TRUE(decodeBlocks(two, how, a, b));
    ASSERT_EQ(a.size(), 17u);
    EXPECT_EQ(a[16], 0x10);
    EXPECT_EQ(b[16], 0x20);
    // One block is not enough.
    EXPECT_FALSE(decodeBlocks(block({}, true), how, a, b));
    EXPECT_TRUE(a.empty());
}

TEST(Blocks, BadAnswersAreRefusedWithoutReadingPastThem) {
    BlockDecoding how;
    how.sampleCount = 17;
    std::vector<int16_t> a, b;
    const QByteArray good = block({}, false) + block({}, true);
    ASSERT_TRUE(decodeBlocks(good, how, a, b));

    QByteArray noStx = good;
    noStx[88] = '0';
    QByteArray noLf = good;
    noLf[87] = '\r';
    const QByteArray cutShort = good.left(170);
    const QByteArray cases[] = {noStx, noLf, cutShort, QByteArray(), good.left(88)};
    for (const auto& c : cases) {
        a.assign(5, 1);
        EXPECT_FALSE(decodeBlocks(c, how, a, b));
        EXPECT_TRUE(a.empty());
    }

    how.sampleCount = kMaxSamples + 1;
    EXPECT_FALSE(decodeBlocks(good, how, a, b));
    how.sampleCount = -1;
    EXPECT_FALSE(decodeBlocks(good, how, a, b));
}

TEST(Blocks, NonHexDigitsReadAsFieldsDo) {
    BlockDecoding how;
    how.sampleCount = 2;
    std::vector<int16_t> a, b;
    // High digits "G" and "?" read 0; the low byte "5Z" is read reversed as
    // "Z5" and stops at once (0); "Z5" is read as "5Z" and gives 5.
    ASSERT_TRUE(decodeBlocks(block({"G?5ZZ5FFFF"}, true), how, a, b));
    EXPECT_EQ(a, (std::vector<int16_t>{0, 0xFF}));
    EXPECT_EQ(b, (std::vector<int16_t>{5, 0xFF}));
}

TEST(Blocks, Model4WrapPutsTheOldestRecordFirst) {
    BlockDecoding how;
    how.sampleCount = 4;
    how.wrapPosition = 1;  // memory record 1 written last
    std::vector<int16_t> a, b;
    // Records 1..4 of CH1: 1, 2, 3, 4; of CH2: 0x11 .. 0x14.
    ASSERT_TRUE(decodeBlocks(block({"0010112021", "0030314041"}, true), how, a, b));
    EXPECT_EQ(a, (std::vector<int16_t>{2, 3, 4, 1}));
    EXPECT_EQ(b, (std::vector<int16_t>{0x12, 0x13, 0x14, 0x11}));
}

TEST(Blocks, ContextDecodeFillsOnlyOnSuccess) {
    fakes::TestContext t;
    auto& ctx = t.ctx;
    ctx.pendingLogger->loggerModel = 1;
    ctx.pendingLogger->ch[1].sampleCount = 3;
    ctx.pendingLogger->ch[1].rangeLow = -400;
    ctx.comm->receiveBuffer = block({kMixedGroup, kMixedGroup}, true);
    ASSERT_TRUE(decodeBlocks(ctx, {3, 5}, true));
    EXPECT_EQ(ctx.store.samples[3][1], 9999);
    EXPECT_EQ(ctx.store.samples[3][2], -400);
    EXPECT_EQ(ctx.store.samples[5][1], 1022);
    EXPECT_EQ(ctx.store.samples[5][3], 1022);

    ctx.store.samples[3][1] = 123;
    ctx.comm->receiveBuffer = block({kMixedGroup}, true).left(60);
    EXPECT_FALSE(decodeBlocks(ctx, {3, 5}, true));
    EXPECT_EQ(ctx.comm->status, 1);
    EXPECT_EQ(ctx.store.samples[3][1], 123);

    // A destination outside the channels is refused, not written.
    ctx.comm->status = Exchange::Accepted;
    ctx.comm->receiveBuffer = block({kMixedGroup, kMixedGroup}, true);
    EXPECT_FALSE(decodeBlocks(ctx, {3, 9}, true));
    EXPECT_EQ(ctx.comm->status, 1);
}

// ---- Data of the setting commands ----------------------------------------------

TEST(SettingData, SingleItems) {
    RecordingSettings s;
    EXPECT_EQ(cardNoData(26), "A1");
    EXPECT_EQ(testNoData(255), "FF");
    EXPECT_EQ(recordModeData(endless), "1");
    EXPECT_EQ(recordModeData(oneTime), "0");

    s.useSecondsInterval = true;
    s.secondsInterval = 30;
    EXPECT_EQ(intervalData(s), "0003");
    s.useSecondsInterval = false;
    s.intervalHour = 1;
    s.intervalMinute = 0;
    EXPECT_EQ(intervalData(s), "0010");
    s.intervalHour = 0;
    s.intervalMinute = 15;
    EXPECT_EQ(intervalData(s), "F000");

    EXPECT_EQ(recordLimitData(5999), "F671");
    EXPECT_EQ(dateTimeData(QDateTime(QDate(2013, 11, 15), QTime(9, 5))), "5090F0B0D0");
}

TEST(SettingData, ReferenceValues) {
    RecordingSettings s;
    s.referenceValue[1] = 65;  // 25 °C in the list from -40
    s.referenceSide[1] = 0;
    s.referenceValue[2] = 50;
    s.referenceSide[2] = 8;
    EXPECT_EQ(referenceData(s, 1), "A8204F18");  // raw 650, 500
    EXPECT_EQ(referenceData(s, 2), "A8204F18");
    EXPECT_EQ(referenceData(s, 3), "A820");  // one channel
}

TEST(SettingData, AlarmValues) {
    RecordingSettings s;
    s.upperAlarm[1] = 30;
    s.lowerAlarm[1] = -10;
    s.upperAlarm[2] = 150;
    s.lowerAlarm[2] = -40;
    EXPECT_EQ(alarmData(s, 1, 1, -400), "CB2C21");  // raw 700, 300
    EXPECT_EQ(alarmData(s, 1, 2, 0), "C21000");     // humidity range: raw 300, 0 (clamped)
    EXPECT_EQ(alarmData(s, 2, 4, 0), "C67000");     // model 4 from -40: raw 1900, 0
}

TEST(SettingData, Lock) {
    RecordingSettings s;
    s.lockLogger = false;
    EXPECT_EQ(lockData(s, 1), "1");
    EXPECT_EQ(lockData(s, 3), "1");
    EXPECT_EQ(lockData(s, 4), "2");
    s.lockLogger = true;
    EXPECT_EQ(lockData(s, 4), "1");
}

TEST(SettingData, CommandsPerModel) {
    RecordingSettings s;
    auto commandsOf = [&](int model) {
        PendingLogger p;
        p.loggerModel = int16_t(model);
        QStringList out;
        int lastStep = 0;
        for (const auto& c : settingCommands(s, p)) {
            out << QStringLiteral("%1,%2").arg(c.group).arg(c.number);
            lastStep = c.step;
        }
        return std::make_pair(out.join(' '), lastStep);
    };
    EXPECT_EQ(commandsOf(1), std::make_pair(QStringLiteral("3,5 3,6 3,3 3,4 3,8 3,9 3,0 3,1 3,2 2,1"), 9));
    EXPECT_EQ(commandsOf(2), commandsOf(1));
    EXPECT_EQ(commandsOf(3), std::make_pair(QStringLiteral("3,5 3,6 3,7 3,3 3,4 3,1 3,2 2,1"), 8));
    EXPECT_EQ(commandsOf(4), std::make_pair(QStringLiteral("3,5 3,6 3,7 3,3 3,8 3,9 3,0 3,1 3,2 2,1"), 9));
    EXPECT_EQ(commandsOf(0).first, QString());
}

TEST(SettingData, CaptionsNameTheSteps) {
    RecordingSettings s;
    PendingLogger p;
    p.loggerModel = 4;
    QList<int> captions;
    for (const auto& c : settingCommands(s, p)) captions << c.captionNo;
    EXPECT_EQ(captions, (QList<int>{20, 21, 23, 22, 25, 25, 31, 26, 30, 24}));
}

}  // namespace
}  // namespace quillet
