#include "tools/sim/options.h"
#include "tools/sim/pacer.h"
#include "tools/sim/records.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

using namespace quillet::sim;

namespace {

ParseResult parse(QStringList args, ServerOptions& out, QString& message) {
    args.prepend(QStringLiteral("quillet-logger-sim"));
    return parseOptions(args, out, message);
}

}  // namespace

TEST(SimOptions, Defaults) {
    ServerOptions o;
    QString m;
    ASSERT_EQ(parse({}, o, m), ParseResult::Ok) << m.toStdString();
    EXPECT_EQ(o.config.model, 2);
    EXPECT_EQ(o.config.records, 600);
    EXPECT_FALSE(o.paced);
    EXPECT_EQ(o.baud, 4800);
    EXPECT_TRUE(o.link.isEmpty());
}

TEST(SimOptions, DeviceSettingsAndFaults) {
    ServerOptions o;
    QString m;
    ASSERT_EQ(parse({"--model",
                     "4",
                     "--records",
                     "50",
                     "--card",
                     "0x1A",
                     "--test",
                     "010",
                     "--start",
                     "2014-01-02 03:04:50",
                     "--interval",
                     "00:00:30",
                     "--status",
                     "21",
                     "--alarm2",
                     "700,100",
                     "--reference1",
                     "650,L",
                     "--flags",
                     "3",
                     "--wrap-position",
                     "17",
                     "--nak",
                     "--fault-only",
                     "3,6",
                     "--fault-only",
                     "2,1",
                     "--fail-first",
                     "2",
                     "--disconnect-after",
                     "0",
                     "--paced",
                     "--link",
                     "/tmp/x"},
                    o, m),
              ParseResult::Ok)
        << m.toStdString();
    const Config& c = o.config;
    EXPECT_EQ(c.model, 4);
    EXPECT_EQ(c.records, 50);
    EXPECT_EQ(c.cardNo, 26);
    EXPECT_EQ(c.testNo, 10);  // decimal, not octal
    EXPECT_EQ(c.start, (LoggerTime{2014, 1, 2, 3, 4, 5}));
    EXPECT_EQ(c.intervalMinute, 0);
    EXPECT_EQ(c.intervalTenSec, 3);
    EXPECT_EQ(c.status, "21");
    EXPECT_EQ(c.upperAlarmRaw[1], 700);
    EXPECT_EQ(c.lowerAlarmRaw[1], 100);
    EXPECT_EQ(c.referenceRaw[0], 650);
    EXPECT_EQ(c.referenceSide[0], 8);
    EXPECT_EQ(c.flags, 3);
    EXPECT_EQ(c.wrapPosition, 17);
    EXPECT_TRUE(c.faults.nak);
    EXPECT_EQ(c.faults.only, (std::vector<int>{36, 21}));
    EXPECT_EQ(c.faults.failFirst, 2);
    EXPECT_EQ(c.faults.disconnectAfter, 0);
    EXPECT_EQ(c.faults.cutAfter, -1);
    EXPECT_TRUE(o.paced);
    EXPECT_EQ(o.link, "/tmp/x");
}

TEST(SimOptions, RejectedArguments) {
    const QStringList cases[] = {
        {"--model", "5"},
        {"--records", "-1"},
        {"--records", "65536"},
        {"--card", "256"},
        {"--interval", "00:01:15"},
        {"--interval", "00:00"},
        {"--model", "1", "--interval", "00:00:30"},
        {"--status", "2"},
        {"--reference1", "100,X"},
        {"--alarm1", "100"},
        {"--fault-only", "12"},
        {"--start", "2013-02-30 10:00"},
        {"--bogus"},
        {"positional"},
        {"--model", "2", "--range-codes", "1,10"},
        {"--speed", "0"},
        {"--model", "2", "--next-range-code", "7"},  // model 3 only
        {"--model", "3", "--next-range-code", "16"},
    };
    for (const QStringList& args : cases) {
        ServerOptions o;
        QString m;
        EXPECT_EQ(parse(args, o, m), ParseResult::Error) << args.join(' ').toStdString();
        EXPECT_FALSE(m.isEmpty());
    }
}

TEST(SimOptions, SettingsPartner) {
    ServerOptions o;
    QString m;
    ASSERT_EQ(parse({"--model", "3", "--range-codes", "2", "--next-range-code", "8", "--speed", "600", "--log",
                     "/tmp/frames.log"},
                    o, m),
              ParseResult::Ok)
        << m.toStdString();
    EXPECT_EQ(o.config.rangeCode[0], 2);
    EXPECT_EQ(o.config.nextRangeCode, 8);
    EXPECT_EQ(o.config.speed, 600);
    EXPECT_EQ(o.logFile, "/tmp/frames.log");
    ASSERT_EQ(parse({}, o, m), ParseResult::Ok);
    EXPECT_EQ(o.config.speed, 1);
    EXPECT_TRUE(o.logFile.isEmpty());
}

TEST(SimOptions, Help) {
    ServerOptions o;
    QString m;
    ASSERT_EQ(parse({"--help"}, o, m), ParseResult::Help);
    for (const char* word : {"--model", "--records", "--paced", "--link", "--disconnect-after", "--records-file",
                             "--log", "--speed", "--next-range-code"}) {
        EXPECT_TRUE(m.contains(QLatin1String(word))) << word;
    }
}

TEST(SimOptions, RecordsFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("records.txt");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("# temperature, humidity\r\n21.5, 63\r\n\r\n-40 0  # the range bottom\r\nE;100\r\n");
    f.close();
    ServerOptions o;
    QString m;
    ASSERT_EQ(parse({"--model", "1", "--records-file", path}, o, m), ParseResult::Ok) << m.toStdString();
    EXPECT_EQ(o.config.records, 3);
    EXPECT_EQ(o.config.rawRecords1, (std::vector<int>{615, 0, 1023}));
    EXPECT_EQ(o.config.rawRecords2, (std::vector<int>{630, 0, 1000}));
    Device d(o.config);
    EXPECT_EQ(d.rawRecords(1), o.config.rawRecords1);

    EXPECT_EQ(parse({"--model", "3", "--records-file", path}, o, m), ParseResult::Error);
    EXPECT_TRUE(m.contains("line 2")) << m.toStdString();
    EXPECT_EQ(parse({"--records-file", dir.filePath("missing.txt")}, o, m), ParseResult::Error);
}

TEST(SimRecords, FileValuesAndTheirLimits) {
    struct Case {
        int model;
        int range;
        const char* text;
        bool ok;
        std::vector<int> raw1;
    } cases[] = {
        {3, 1, "62.2\n-40.0\n20.04\n", true, {1022, 0, 600}},
        {3, 1, "62.3\n", false, {}},
        {3, 1, "-40.1\n", false, {}},
        {3, 3, "50\n150\nerr\n", true, {0, 1000, 1023}},
        {3, 1, "abc\n", false, {}},
        {3, 1, "nan\n", false, {}},
        {3, 1, "# nothing\n\n", true, {}},
        {2, 1, "20 50 60\n", false, {}},
    };
    for (const Case& k : cases) {
        Config c;
        c.model = k.model;
        c.rangeCode[0] = k.range;
        std::vector<int> a, b;
        QString why;
        const bool ok = parseRecords(k.text, resolved(c), a, b, &why);
        EXPECT_EQ(ok, k.ok) << k.text;
        if (ok)
            EXPECT_EQ(a, k.raw1) << k.text;
        else
            EXPECT_TRUE(why.startsWith("line 1")) << why.toStdString();
    }
}

TEST(SimRecords, GeneratedCurvesFollowTheSeed) {
    Config c;
    c.model = 2;
    c.records = 1000;
    c.errorSamples = 4;
    std::vector<int> a1, a2, b1, b2, c1, c2;
    generateRecords(resolved(c), a1, a2);
    generateRecords(resolved(c), b1, b2);
    EXPECT_EQ(a1, b1);
    EXPECT_EQ(a2, b2);
    c.seed = 2;
    generateRecords(resolved(c), c1, c2);
    EXPECT_NE(a1, c1);
    ASSERT_EQ(a1.size(), 1000u);
    ASSERT_EQ(a2.size(), 1000u);
    for (const auto* v : {&a1, &a2}) {
        const auto errors = std::count(v->begin(), v->end(), 1023);
        EXPECT_GE(errors, 1);
        EXPECT_LE(errors, 4);
        EXPECT_TRUE(std::all_of(v->begin(), v->end(), [](int x) { return x >= 0 && x <= 1023; }));
    }
    // A room temperature around 20 °C on range code 1 (raw = tenths + 400),
    // a humidity between 30 and 90 %RH.
    long long sum = 0;
    int n = 0;
    for (int v : a1) {
        if (v == 1023) continue;
        EXPECT_GT(v, 400 + 50);
        EXPECT_LT(v, 400 + 350);
        sum += v;
        ++n;
    }
    EXPECT_NEAR(double(sum) / n, 600.0, 40.0);
    for (int v : a2) {
        if (v != 1023) {
            EXPECT_GE(v, 300);
            EXPECT_LE(v, 900);
        }
    }
}

TEST(SimPacer, AbsoluteDeadlinesWithoutDrift) {
    Pacer p(4800);
    EXPECT_EQ(p.periodNs(), 2083333);
    const int64_t t0 = 1'000'000;
    EXPECT_EQ(p.due(t0), t0);
    // Late wake-ups do not shift later deadlines.
    for (int i = 0; i < 480; ++i) {
        p.due(t0 + int64_t(i) * 2'500'000);
        p.sent();
    }
    EXPECT_EQ(p.due(t0 + 5'000'000'000), t0 + 1'000'000'000);  // 480 characters = 1 s
    p.idle();
    EXPECT_EQ(p.due(t0 + 7'000'000'000), t0 + 7'000'000'000);
    p.sent();
    EXPECT_EQ(p.due(0), t0 + 7'000'000'000 + 2083333);
}
