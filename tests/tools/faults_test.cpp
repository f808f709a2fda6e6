#include "tests/tools/host.h"

#include <gtest/gtest.h>

using namespace quillet::sim;
using namespace quillet::sim::test;

namespace {

Config withFaults(int model, const Faults& f) {
    Config c;
    c.model = model;
    c.records = 100;
    c.errorSamples = 0;
    c.faults = f;
    return c;
}

bool wellFramed(const QByteArray& a) {
    return !a.isEmpty() && a.at(0) == kStx && a.endsWith(QByteArray() + kEtx + kCr + kLf);
}

}  // namespace

TEST(SimFaults, SilenceNeverAnswers) {
    Faults f;
    f.silence = true;
    Device d(withFaults(2, f));
    EXPECT_TRUE(ask(d, 1, 1).isEmpty());
    EXPECT_TRUE(ask(d, 1, 3).isEmpty());
    EXPECT_TRUE(ask(d, 3, 5, "10").isEmpty());
    EXPECT_EQ(d.cardNo(), 1);  // the reader did not hear it
    EXPECT_EQ(d.requestCount(), 3);
}

TEST(SimFaults, GarbageIsNeitherDataNorAcknowledgement) {
    Faults f;
    f.garbage = true;
    Device d(withFaults(2, f));
    for (int number : {1, 2, 3, 4}) {
        const QByteArray a = ask(d, 1, number);
        ASSERT_FALSE(a.isEmpty());
        EXPECT_NE(a.at(0), kStx);
        EXPECT_TRUE(a.endsWith("\r\n"));
    }
    const QByteArray a = ask(d, 3, 5, "10");
    EXPECT_NE(a, ackLine());
    EXPECT_FALSE(a.contains(kAck));
}

TEST(SimFaults, NakToSettingCommandsOnly) {
    Faults f;
    f.nak = true;
    Device d(withFaults(2, f));
    EXPECT_EQ(ask(d, 3, 5, "A1"), nakLine());
    EXPECT_EQ(ask(d, 2, 1, "1"), nakLine());
    EXPECT_EQ(d.cardNo(), 1);
    EXPECT_FALSE(d.locked());
    EXPECT_EQ(ask(d, 1, 1).size(), 71);
}

TEST(SimFaults, FaultsLimitedToChosenCommands) {
    Faults f;
    f.nak = true;
    f.only = {36};
    Device d(withFaults(2, f));
    EXPECT_EQ(ask(d, 3, 5, "A1"), ackLine());
    EXPECT_EQ(ask(d, 3, 6, "A1"), nakLine());
    EXPECT_EQ(d.cardNo(), 26);
    EXPECT_EQ(d.testNo(), 1);

    Faults s;
    s.silence = true;
    s.only = {14};
    Device e(withFaults(3, s));
    EXPECT_EQ(ask(e, 1, 1).size(), 49);
    EXPECT_TRUE(ask(e, 1, 4).isEmpty());
}

TEST(SimFaults, FailFirstAttemptsThenAnswer) {
    struct Case {
        const char* name;
        Faults faults;
        int group, number;
        QByteArray data;
    };
    Faults silent;
    silent.silence = true;
    silent.failFirst = 2;
    Faults bare;  // no fault kind: the first requests go unanswered
    bare.failFirst = 2;
    Faults nak;
    nak.nak = true;
    nak.failFirst = 2;
    Faults garbage;
    garbage.garbage = true;
    garbage.failFirst = 2;
    const Case cases[] = {
        {"silence", silent, 1, 1, {}},
        {"bare", bare, 1, 1, {}},
        {"nak", nak, 3, 6, "05"},
        {"garbage", garbage, 1, 4, {}},
    };
    for (const Case& k : cases) {
        Device d(withFaults(2, k.faults));
        QByteArray answers[3];
        for (QByteArray& a : answers) a = ask(d, k.group, k.number, k.data);
        const bool setting = k.group == 3;
        for (int i = 0; i < 2; ++i) {
            EXPECT_FALSE(setting ? answers[i] == ackLine() : wellFramed(answers[i])) << k.name << " " << i;
        }
        EXPECT_TRUE(setting ? answers[2] == ackLine() : wellFramed(answers[2])) << k.name;
    }
}

TEST(SimFaults, FailFirstCountsOnlyRequestsTheFaultHits) {
    Faults f;
    f.nak = true;
    f.failFirst = 1;
    Device d(withFaults(2, f));
    EXPECT_EQ(ask(d, 1, 3).size(), 10);  // a NAK fault leaves requests alone
    EXPECT_EQ(ask(d, 3, 5, "10"), nakLine());
    EXPECT_EQ(ask(d, 3, 5, "10"), ackLine());
}

TEST(SimFaults, BrokenBlock) {
    for (int k : {1, 2, 7}) {
        Faults f;
        f.brokenBlock = k;
        Device d(withFaults(2, f));  // 100 records: 7 blocks
        const QByteArray a = ask(d, 1, 2);
        ASSERT_EQ(a.size(), 7 * 88);
        for (int b = 1; b <= 7; ++b) {
            EXPECT_EQ(a.at(88 * (b - 1)) == kStx, b != k) << "broken " << k << " block " << b;
            EXPECT_EQ(a.at(88 * b - 1), kLf);
        }
        EXPECT_EQ(ask(d, 1, 1).size(), 71);  // other answers are sound
    }
}

TEST(SimFaults, ReplyCutShort) {
    Faults f;
    f.cutAfter = 20;
    for (int model : {1, 3}) {
        Device d(withFaults(model, f));
        for (int number : {1, 2, 4}) {
            const QByteArray a = ask(d, 1, number);
            EXPECT_EQ(a.size(), 20) << model << "," << number;
            EXPECT_EQ(a.at(0), kStx);
            EXPECT_FALSE(a.contains(kLf));
        }
    }
    f.cutAfter = 0;
    Device d(withFaults(2, f));
    EXPECT_TRUE(ask(d, 1, 1).isEmpty());
}

TEST(SimFaults, DisconnectMidTransfer) {
    Faults f;
    f.disconnectAfter = 200;
    Device d(withFaults(2, f));
    EXPECT_EQ(ask(d, 1, 1).size(), 71);  // only the value transfer is hit
    EXPECT_FALSE(d.disconnected());
    d.receive(frame(1, 2));
    EXPECT_EQ(d.take(150).size(), 150);
    EXPECT_FALSE(d.disconnected());
    EXPECT_EQ(d.take(1000).size(), 50);
    EXPECT_TRUE(d.disconnected());
    EXPECT_EQ(d.pending(), 0);
    EXPECT_TRUE(ask(d, 1, 1).isEmpty());
    EXPECT_TRUE(d.disconnected());

    f.disconnectAfter = 0;
    Device e(withFaults(2, f));
    e.receive(frame(1, 2));
    EXPECT_TRUE(e.disconnected());
    EXPECT_TRUE(e.take(1000).isEmpty());
}

TEST(SimFaults, MalformedIdentificationLength) {
    for (int length : {70, 72, 48, 10}) {
        Faults f;
        f.identLength = length;
        Device d(withFaults(length < 49 ? 3 : 2, f));
        const QByteArray a = ask(d, 1, 1);
        EXPECT_EQ(a.size(), length);
        EXPECT_TRUE(wellFramed(a)) << length;  // framing intact: only the length is wrong
        EXPECT_EQ(ask(d, 1, 4).at(0), kStx);
    }
}
