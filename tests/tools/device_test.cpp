#include "tests/tools/host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using namespace quillet::sim;
using namespace quillet::sim::test;

namespace {

bool framedData(const QByteArray& a, char header) {
    return a.size() >= 7 && a.at(0) == kStx && a.mid(1, 3) == QByteArray(" ") + header + "," &&
           a.endsWith(QByteArray() + kEtx + kCr + kLf);
}

}  // namespace

TEST(SimIdentification, LengthAndModelMarkPerModel) {
    struct Case {
        int model;
        int length;
    } cases[] = {{1, 71}, {2, 71}, {3, 49}, {4, 65}};
    for (const Case& c : cases) {
        Device d(quiet(c.model, 10));
        const QByteArray a = ask(d, 1, 1);
        EXPECT_EQ(a.size(), c.length) << "model " << c.model;
        EXPECT_TRUE(framedData(a, '1')) << "model " << c.model;
        if (c.model == 1) {
            EXPECT_EQ(a.at(50), 'A');
        }
        if (c.model == 2) {
            EXPECT_NE(a.at(50), 'A');
        }
    }
}

TEST(SimIdentification, ModelTwoNeverReportsTheModelOneMark) {
    Config c = quiet(2, 1);
    c.rangeCode[1] = 10;
    Device d(c);
    EXPECT_NE(ask(d, 1, 1).at(50), 'A');
}

TEST(SimIdentification, FieldsOfModelsOneAndTwo) {
    Config c = quiet(1, 5);
    c.cardNo = 26;
    c.testNo = 200;
    c.start = LoggerTime{2013, 11, 15, 9, 5, 0};
    c.intervalHour = 1;
    c.intervalMinute = 0;
    c.referenceRaw[0] = 650;
    c.referenceSide[0] = 8;
    c.upperAlarmRaw[0] = 0;
    c.lowerAlarmRaw[1] = 1000;
    Device d(c);
    const QByteArray a = ask(d, 1, 1);
    EXPECT_EQ(a.mid(4, 2), "A1");  // card 26, low digit first
    EXPECT_EQ(fieldAt(a, 5, 2), 26);
    EXPECT_EQ(fieldAt(a, 8, 2), 5);
    EXPECT_EQ(fieldAt(a, 10, 2), 9);
    EXPECT_EQ(fieldAt(a, 12, 2), 15);
    EXPECT_EQ(fieldAt(a, 14, 2), 11);
    EXPECT_EQ(fieldAt(a, 16, 2), 13);
    EXPECT_EQ(fieldAt(a, 19, 2), 0);
    EXPECT_EQ(fieldAt(a, 21, 2), 1);
    EXPECT_EQ(fieldAt(a, 24, 3), 650);
    EXPECT_EQ(fieldAt(a, 27, 1), 8);
    EXPECT_EQ(a.mid(27, 3), "622");   // channel 2 reference by default: 55 %RH (0x226)
    EXPECT_EQ(fieldAt(a, 31, 1), 8);  // side L
    EXPECT_EQ(fieldAt(a, 33, 3), 0);
    EXPECT_EQ(fieldAt(a, 36, 3), 550);  // by default 15.0 on range code 1
    EXPECT_EQ(fieldAt(a, 40, 3), 700);  // by default 70 %RH
    EXPECT_EQ(a.mid(42, 3), "8E3");     // raw lower alarm 1000
    EXPECT_EQ(fieldAt(a, 47, 2), 200);
    EXPECT_EQ(fieldAt(a, 50, 1), 1);
    EXPECT_EQ(fieldAt(a, 64, 4), 2999);  // model 1: 3000 records
}

TEST(SimIdentification, FieldsOfModelThree) {
    Config c = quiet(3, 5);
    c.cardNo = 3;
    c.testNo = 4;
    c.start = LoggerTime{2020, 2, 29, 23, 59, 4};
    c.intervalMinute = 0;
    c.intervalTenSec = 3;
    c.referenceRaw[0] = 0x123;
    c.rangeCode[0] = 7;
    Device d(c);
    const QByteArray a = ask(d, 1, 1);
    ASSERT_EQ(a.size(), 49);
    EXPECT_EQ(fieldAt(a, 5, 2), 3);
    EXPECT_EQ(fieldAt(a, 8, 1), 4);
    EXPECT_EQ(fieldAt(a, 9, 2), 59);
    EXPECT_EQ(fieldAt(a, 11, 2), 23);
    EXPECT_EQ(fieldAt(a, 13, 2), 29);
    EXPECT_EQ(fieldAt(a, 15, 2), 2);
    EXPECT_EQ(fieldAt(a, 17, 2), 20);
    EXPECT_EQ(fieldAt(a, 20, 2), 0);
    EXPECT_EQ(fieldAt(a, 22, 1), 0);
    EXPECT_EQ(fieldAt(a, 23, 1), 3);
    EXPECT_EQ(a.mid(24, 3), "321");
    EXPECT_EQ(fieldAt(a, 28, 1), 0);
    EXPECT_EQ(fieldAt(a, 30, 2), 4);
    EXPECT_EQ(a.at(32), '7');
    EXPECT_EQ(a.at(33), '7');
}

TEST(SimIdentification, FieldsOfModelFour) {
    Config c = quiet(4, 5);
    c.upperAlarmRaw[0] = 1900;
    c.lowerAlarmRaw[0] = 1;
    c.upperAlarmRaw[1] = 700;
    c.lowerAlarmRaw[1] = 2;
    c.testNo = 255;
    c.flags = 2;
    c.recordLimit = 1234;
    Device d(c);
    const QByteArray a = ask(d, 1, 1);
    ASSERT_EQ(a.size(), 65);
    EXPECT_EQ(fieldAt(a, 25, 3), 1900);
    EXPECT_EQ(fieldAt(a, 28, 3), 1);
    EXPECT_EQ(fieldAt(a, 32, 3), 700);
    EXPECT_EQ(fieldAt(a, 35, 3), 2);
    EXPECT_EQ(a.mid(38, 2), "FF");
    EXPECT_EQ(fieldAt(a, 42, 1), 1);
    EXPECT_EQ(fieldAt(a, 43, 1), 1);
    EXPECT_EQ(fieldAt(a, 56, 4), 1234);
    EXPECT_EQ(fieldAt(a, 61, 1), 2);
}

TEST(SimSummary, AgreesWithTheRecordsHeld) {
    for (int model : {1, 2, 4}) {
        Config c = quiet(model, 0);
        c.rawRecords1 = {100, 1023, 300, 201};
        c.rawRecords2 = {1023, 1023, 50, 0};
        Device d(c);
        const QByteArray a = ask(d, 1, 4);
        ASSERT_TRUE(framedData(a, '4')) << model;
        EXPECT_EQ(fieldAt(a, 5, 3), 300);
        EXPECT_EQ(fieldAt(a, 8, 3), 100);
        EXPECT_EQ(fieldAt(a, 11, 3), 200);  // (100 + 300 + 201) / 3 rounded
        EXPECT_EQ(fieldAt(a, 15, 3), 50);
        EXPECT_EQ(fieldAt(a, 18, 3), 0);
        EXPECT_EQ(fieldAt(a, 21, 3), 25);
        EXPECT_EQ(fieldAt(a, 25, 4), 3);  // last record index
        EXPECT_EQ(fieldAt(a, 30, 3), 1);
        EXPECT_EQ(fieldAt(a, 34, 3), 2);
    }
}

TEST(SimSummary, GeneratedRecordsAgreeWithTheSummary) {
    Config c;
    c.model = 2;
    c.records = 600;
    c.seed = 42;
    Device d(c);
    const QByteArray a = ask(d, 1, 4);
    for (int ch = 1; ch <= 2; ++ch) {
        const auto& raw = d.rawRecords(ch);
        ASSERT_EQ(raw.size(), 600u);
        int mx = -1, mn = 2000, errors = 0;
        for (int v : raw) {
            if (v == 1023) {
                ++errors;
                continue;
            }
            mx = std::max(mx, v);
            mn = std::min(mn, v);
        }
        const int base = ch == 1 ? 5 : 15;
        EXPECT_EQ(fieldAt(a, base, 3), mx);
        EXPECT_EQ(fieldAt(a, base + 3, 3), mn);
        EXPECT_EQ(fieldAt(a, ch == 1 ? 30 : 34, 3), errors);
        EXPECT_GT(errors, 0);
    }
    EXPECT_EQ(fieldAt(a, 25, 4), 599);
}

TEST(SimSummary, EmptyLoggerReportsNoLastRecord) {
    for (int model : {1, 3}) {
        Device d(quiet(model, 0));
        const QByteArray a = ask(d, 1, 4);
        EXPECT_EQ(a.mid(model == 3 ? 20 : 24, 4), "FFFF") << model;
    }
}

TEST(SimSummary, ModelThreeIntegratedValue) {
    // Reference 25.0 °C side H on range code 1 (raw 650), interval 10 minutes.
    struct Case {
        std::vector<int> raw;
        int side;
        int integrated;
    } cases[] = {
        {{660, 670, 640}, 0, 0},               // 30 tenths x 1/6 h = 5 -> 0 whole degree-hours
        {std::vector<int>(600, 660), 0, 100},  // 6000 x 1/6 = 1000 -> 100
        {std::vector<int>(600, 640), 8, 100},  // the same below the reference, side L
        {std::vector<int>(600, 640), 0, 0},    // below, but side H
        {{1023, 1023, 660}, 0, 0},             // error samples count nothing
    };
    for (const Case& k : cases) {
        Config c = quiet(3, 0);
        c.rawRecords1 = k.raw;
        c.referenceRaw[0] = 650;
        c.referenceSide[0] = k.side;
        Device d(c);
        const QByteArray a = ask(d, 1, 4);
        ASSERT_EQ(a.size(), 32);
        EXPECT_EQ(fieldAt(a, 15, 5), k.integrated);
        EXPECT_EQ(fieldAt(a, 21, 4), int(k.raw.size()) - 1);
        EXPECT_EQ(fieldAt(a, 26, 3), int(std::count(k.raw.begin(), k.raw.end(), 1023)));
    }
}

TEST(SimStatus, ExactBytesAndLockCommands) {
    Config c = quiet(2, 1);
    Device d(c);
    EXPECT_EQ(ask(d, 1, 3), QByteArray("\x02 3,22,\x03\r\n"));
    EXPECT_EQ(ask(d, 2, 1, "1"), ackLine());
    EXPECT_TRUE(d.locked());
    EXPECT_EQ(ask(d, 1, 3), QByteArray("\x02 3,21,\x03\r\n"));
    EXPECT_EQ(ask(d, 2, 1, "2"), ackLine());
    EXPECT_FALSE(d.locked());
    EXPECT_EQ(ask(d, 1, 3), QByteArray("\x02 3,22,\x03\r\n"));
    EXPECT_EQ(ask(d, 2, 1, "3"), nakLine());

    c.status = "02";
    Device other(c);
    EXPECT_EQ(ask(other, 1, 3).size(), 10);
    EXPECT_EQ(ask(other, 1, 3).mid(4, 2), "02");
    EXPECT_EQ(ask(other, 2, 1, "1"), ackLine());
    EXPECT_EQ(ask(other, 1, 3).mid(4, 2), "01");
}

TEST(SimValues, BlockCountAndFraming) {
    struct Case {
        int model;
        int records;
        int blocks;
    } cases[] = {{2, 17, 2}, {2, 16, 1}, {3, 32, 1}, {3, 33, 2}, {1, 1, 1}, {4, 600, 38}, {2, 0, 1}};
    for (const Case& c : cases) {
        Device d(quiet(c.model, c.records));
        const QByteArray a = ask(d, 1, 2);
        ASSERT_EQ(a.size(), 88 * c.blocks) << c.model << "/" << c.records;
        for (int k = 0; k < c.blocks; ++k) {
            const QByteArray b = a.mid(88 * k, 88);
            EXPECT_EQ(b.at(0), kStx);
            EXPECT_EQ(b.at(87), kLf);
            const bool endsEtx = b.endsWith(QByteArray() + kEtx + kCr + kLf);
            EXPECT_EQ(endsEtx, k == c.blocks - 1) << "block " << k;
        }
    }
}

TEST(SimValues, HandDecodedGroupAndAlternatingChannels) {
    Config c = quiet(2, 0);
    c.rawRecords1 = {1023, 0x2FE, 7};
    c.rawRecords2 = {0x1A3, 5, 1022};
    Device d(c);
    const QByteArray a = ask(d, 1, 2);
    ASSERT_EQ(a.size(), 88);
    // Group 0: high bits (3 | 1 << 2) = 7 and (2 | 0 << 2) = 2, then the low
    // bytes FF, A3, FE, 05, each low digit first.
    EXPECT_EQ(a.mid(4, 10), "72FF3AEF50");
    const std::vector<int> v = blockValues(a);
    EXPECT_EQ(v[0], 1023);
    EXPECT_EQ(v[1], 0x1A3);
    EXPECT_EQ(v[2], 0x2FE);
    EXPECT_EQ(v[3], 5);
    EXPECT_EQ(v[4], 7);
    EXPECT_EQ(v[5], 1022);
    EXPECT_EQ(v[6], 1023);  // past the last record: erased memory
}

TEST(SimValues, EveryRecordTravels) {
    for (int model : {1, 3, 4}) {
        Config c;
        c.model = model;
        c.records = 100;
        c.seed = 9;
        Device d(c);
        const QByteArray a = ask(d, 1, 2);
        const int per = model == 3 ? 32 : 16;
        std::vector<int> got[2];
        for (int k = 0; k * 88 < a.size(); ++k) {
            const std::vector<int> v = blockValues(a.mid(88 * k, 88));
            for (int j = 0; j < 32; ++j) {
                if (model == 3)
                    got[0].push_back(v[j]);
                else
                    got[j % 2].push_back(v[j]);
            }
        }
        const int channels = model == 3 ? 1 : 2;
        for (int ch = 0; ch < channels; ++ch) {
            ASSERT_GE(got[ch].size(), 100u);
            ASSERT_EQ(int(got[ch].size()) % per, 0);
            got[ch].resize(100);
            EXPECT_EQ(got[ch], d.rawRecords(ch + 1)) << "model " << model << " channel " << ch + 1;
        }
    }
}

TEST(SimValues, ModelFourWrappedMemory) {
    Config c;
    c.model = 4;
    c.records = 10;  // ignored: a wrapped memory is full
    c.flags = 3;
    c.wrapPosition = 100;
    c.errorSamples = 0;
    Device d(c);
    ASSERT_EQ(d.rawRecords(1).size(), 6000u);
    EXPECT_EQ(ask(d, 1, 2).size(), 375 * 88);
    const QByteArray summary = ask(d, 1, 4);
    EXPECT_EQ(fieldAt(summary, 25, 4), 99);  // wrap position - 1
    EXPECT_EQ(fieldAt(ask(d, 1, 1), 61, 1), 3);

    // Memory p+1 .. 6000 then 1 .. p is the recording in time order: a smooth
    // daily curve without a jump where the memory wrapped.
    const auto& m = d.rawRecords(1);
    std::vector<int> ordered(m.begin() + 100, m.end());
    ordered.insert(ordered.end(), m.begin(), m.begin() + 100);
    int worst = 0;
    for (size_t i = 1; i < ordered.size(); ++i) worst = std::max(worst, std::abs(ordered[i] - ordered[i - 1]));
    EXPECT_LT(worst, 40);
}

TEST(SimSettings, AcknowledgedAndReportedByTheIdentification) {
    Device d(quiet(2, 50));
    EXPECT_EQ(ask(d, 3, 5, "A1"), ackLine());  // card 26
    EXPECT_EQ(ask(d, 3, 6, hexData(7, 2)), ackLine());
    EXPECT_EQ(ask(d, 3, 3, hexData(30, 2) + hexData(0, 2)), ackLine());
    EXPECT_EQ(ask(d, 3, 4, hexData(650, 3) + "8" + hexData(500, 3) + "0"), ackLine());
    EXPECT_EQ(ask(d, 3, 8, hexData(700, 3) + hexData(300, 3)), ackLine());
    EXPECT_EQ(ask(d, 3, 9, hexData(900, 3) + hexData(100, 3)), ackLine());
    EXPECT_EQ(ask(d, 3, 0, hexData(1000, 4)), ackLine());
    EXPECT_EQ(ask(d, 3, 1, hexData(1, 2) + hexData(2, 2) + hexData(3, 2) + hexData(4, 2) + hexData(14, 2)), ackLine());
    EXPECT_EQ(ask(d, 3, 2, hexData(30, 2) + hexData(12, 2) + hexData(16, 2) + hexData(11, 2) + hexData(13, 2)),
              ackLine());
    EXPECT_EQ(ask(d, 2, 1, "1"), ackLine());

    const QByteArray a = ask(d, 1, 1);
    EXPECT_EQ(fieldAt(a, 5, 2), 26);
    EXPECT_EQ(fieldAt(a, 47, 2), 7);
    EXPECT_EQ(fieldAt(a, 19, 2), 30);
    EXPECT_EQ(fieldAt(a, 21, 2), 0);
    EXPECT_EQ(fieldAt(a, 24, 3), 650);
    EXPECT_EQ(fieldAt(a, 27, 1), 8);
    EXPECT_EQ(fieldAt(a, 28, 3), 500);
    EXPECT_EQ(fieldAt(a, 31, 1), 0);
    EXPECT_EQ(fieldAt(a, 33, 3), 700);
    EXPECT_EQ(fieldAt(a, 36, 3), 300);
    EXPECT_EQ(fieldAt(a, 40, 3), 900);
    EXPECT_EQ(fieldAt(a, 43, 3), 100);
    EXPECT_EQ(fieldAt(a, 64, 4), 1000);
    EXPECT_EQ(fieldAt(a, 8, 2), 30);
    EXPECT_EQ(fieldAt(a, 10, 2), 12);
    EXPECT_EQ(fieldAt(a, 12, 2), 16);
    EXPECT_EQ(fieldAt(a, 14, 2), 11);
    EXPECT_EQ(fieldAt(a, 16, 2), 13);
    EXPECT_EQ(d.clock(), (LoggerTime{2014, 4, 3, 2, 1, 0}));
    EXPECT_TRUE(d.locked());
    EXPECT_EQ(d.received().size(), 11u);
}

TEST(SimSettings, ModelsThreeAndFourIntervalWithSecondsAndRecordMode) {
    Device four(quiet(4, 5));
    EXPECT_EQ(ask(four, 3, 3, "0003"), ackLine());  // 30 s
    EXPECT_EQ(ask(four, 3, 7, "1"), ackLine());
    QByteArray a = ask(four, 1, 1);
    EXPECT_EQ(fieldAt(a, 20, 2), 0);
    EXPECT_EQ(fieldAt(a, 22, 1), 0);
    EXPECT_EQ(fieldAt(a, 23, 1), 3);
    EXPECT_EQ(fieldAt(a, 61, 1), 2);
    EXPECT_EQ(ask(four, 3, 3, hexData(0, 2) + hexData(1, 2)), ackLine());  // 01:00
    a = ask(four, 1, 1);
    EXPECT_EQ(fieldAt(a, 22, 1), 1);
    EXPECT_EQ(fieldAt(a, 23, 1), 0);

    Config c = quiet(3, 5);
    c.rangeCode[0] = 3;
    Device three(c);
    EXPECT_EQ(ask(three, 3, 7, "1"), ackLine());
    EXPECT_EQ(ask(three, 1, 1).at(33), '8');  // endless with range 3
    EXPECT_EQ(ask(three, 3, 7, "0"), ackLine());
    EXPECT_EQ(ask(three, 1, 1).at(33), '3');
    EXPECT_EQ(ask(three, 3, 4, hexData(200, 3) + "8"), ackLine());
    a = ask(three, 1, 1);
    EXPECT_EQ(fieldAt(a, 25, 3), 200);
    EXPECT_EQ(fieldAt(a, 28, 1), 8);
}

TEST(SimSettings, StartTimeErasesTheRecords) {
    Config c = quiet(4, 0);
    c.flags = 3;
    Device d(c);
    EXPECT_EQ(d.recordCount(), 6000);
    EXPECT_EQ(ask(d, 3, 5, "10"), ackLine());
    EXPECT_EQ(d.recordCount(), 6000);  // the card number alone keeps them
    EXPECT_EQ(ask(d, 3, 2, hexData(0, 2) + hexData(12, 2) + hexData(1, 2) + hexData(1, 2) + hexData(14, 2)), ackLine());
    EXPECT_EQ(d.recordCount(), 0);
    EXPECT_TRUE(d.rawRecords(1).empty());
    EXPECT_EQ(ask(d, 1, 4).mid(24, 4), "FFFF");
    EXPECT_EQ(fieldAt(ask(d, 1, 1), 61, 1), 2);  // still endless, no longer wrapped
}

TEST(SimSettings, MalformedDataIsRefused) {
    struct Case {
        int model;
        int group;
        int number;
        QByteArray data;
    } cases[] = {
        {2, 3, 5, "A"},   // card needs two digits
        {2, 3, 5, "G1"},  // not hex
        {2, 3, 2, hexData(0, 2) + hexData(9, 2) + hexData(1, 2) + hexData(13, 2) + hexData(14, 2)},  // month 13
        {2, 3, 2, hexData(0, 2) + hexData(9, 2) + hexData(30, 2) + hexData(2, 2) + hexData(16, 2)},  // 30 February
        {2, 3, 1, hexData(60, 2) + hexData(9, 2) + hexData(1, 2) + hexData(1, 2) + hexData(14, 2)},  // minute 60
        {2, 3, 3, "0000"},                                                                           // zero interval
        {2, 3, 3, "C300"},                                                                           // 60 minutes
        {2, 3, 4, hexData(650, 3) + "8"},                          // models 1 and 2 send both channels
        {2, 3, 4, hexData(650, 3) + "5" + hexData(650, 3) + "0"},  // side neither H nor L
        {2, 3, 7, "2"},
        {2, 3, 8, "00000"},
        {2, 2, 1, ""},
        {2, 2, 2, "1"},
        {4, 3, 3, "0006"},  // 60 s is not a seconds interval
    };
    for (const Case& k : cases) {
        Device d(quiet(k.model, 5));
        const QByteArray before = ask(d, 1, 1);
        EXPECT_EQ(ask(d, k.group, k.number, k.data), nakLine())
            << k.group << "," << k.number << " " << k.data.constData();
        EXPECT_EQ(ask(d, 1, 1), before);
        EXPECT_EQ(d.recordCount(), 5);
    }
}

TEST(SimSettings, StrictLoggerRefusesWhileLockedOrRecording) {
    for (const char* status : {"21", "12", "32"}) {
        Config c = quiet(2, 5);
        c.strict = true;
        c.status = status;
        Device d(c);
        EXPECT_EQ(ask(d, 3, 5, "10"), nakLine()) << status;
    }
    Config c = quiet(2, 5);
    c.strict = true;
    c.status = "21";
    Device d(c);
    EXPECT_EQ(ask(d, 2, 1, "2"), ackLine());
    EXPECT_EQ(ask(d, 3, 5, "10"), ackLine());
}

TEST(SimLine, AnyChunkingAndNoiseBeforeTheFrame) {
    Device d(quiet(3, 5));
    const QByteArray bytes = QByteArray("\x15junk") + frame(1, 1);
    for (char b : bytes) d.receive(QByteArray(1, b));
    EXPECT_EQ(d.pending(), 49);
    EXPECT_EQ(d.received().size(), 1u);
    // Not a command: no answer.
    d.take(1000);
    d.receive("hello\n");
    d.receive(QByteArray("\x02 1, 1,\x03\n"));   // CR missing
    d.receive(QByteArray("\x02 1,1,\x03\r\n"));  // blank missing
    d.receive(frame(1, 7));                      // no such request
    EXPECT_EQ(d.pending(), 0);
}

TEST(SimLine, NewCommandEndsTheAnswerBeingSent) {
    Device d(quiet(2, 600));
    d.receive(frame(1, 2));
    EXPECT_EQ(d.take(100).size(), 100);
    d.receive(frame(1, 3));
    EXPECT_EQ(d.pending(), 10);
    EXPECT_EQ(d.take(1000), QByteArray("\x02 3,22,\x03\r\n"));
    EXPECT_TRUE(d.take(1000).isEmpty());
}
