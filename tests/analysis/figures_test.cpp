// The audit figures against hand-computed tables.
#include "analysis/plainfigures.h"
#include "core/channelfill.h"
#include "support/fakes.h"

#include "analysis/analysissettings.h"
#include "analysis/excursions.h"
#include "analysis/figures.h"
#include "analysis/figuretexts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace quillet {
namespace {

using namespace fakes;

constexpr int16_t E = kErrorSample;
const std::optional<double> kNone;

// What a channel should give over the whole axis (interval 600 s, alarms
// 25.0 / 10.0 unless the case says otherwise).
struct Case {
    const char* name;
    int kind;
    std::vector<int16_t> samples;
    int16_t upper;
    int16_t lower;
    int errors;
    std::optional<double> min, max, mean, mkt;
    bool limits;
    long long secondsAbove, secondsBelow;
    int runsAbove, runsBelow;
    long long longestAbove, longestBelow;
    int longestAboveFirst, longestBelowFirst;  // 1-based sample of the longest run's start
    double degreeMinutesAbove, degreeMinutesBelow, within;
};

// MKT of 20 °C and 30 °C in equal parts with ΔH/R = 10000 K, worked out by
// hand: 10000 / −ln((e^(−10000/293.15) + e^(−10000/303.15)) / 2) − 273.15.
constexpr double kMktTwenty30 = 26.25988691600344;

// clang-format off
const Case kCases[] = {
    {"constant: MKT equals the value", 1, std::vector<int16_t>(10, 200), 250, 100, 0, 20.0, 20.0, 20.0, 20.0, true,
     0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1.0},
    {"two values, no alarms (kind 0): MKT above the mean", 0, {200, 300, 200, 300, 200, 300}, 250, 100, 0, 20.0,
     30.0, 25.0, kMktTwenty30, false},
    {"every sample an error", 1, {E, E, E}, 250, 100, 3, kNone, kNone, kNone, kNone, false},
    {"runs split by an error sample", 1, {260, 270, E, 280, 240, 260}, 250, 100, 1, 24.0, 28.0, 26.2, 26.29067348922007,
     true, 2400, 0, 3, 0, 1200, 0, 1, 0, 70.0, 0, 0.2},
    {"runs at the very start and end", 1, {50, 50, 150, 150, 50}, 140, 100, 0, 5.0, 15.0, 9.0, std::nullopt, true,
     1200, 1800, 1, 2, 1200, 1200, 3, 1, 20.0, 150.0, 0.0},
    {"crossed limits (a damaged header): outside once", 1, {150, 50, 250}, 100, 200, 0, 5.0, 25.0, 15.0,
     std::nullopt, true, 1200, 1200, 2, 1, 600, 1200, 1, 1, 200.0, 200.0, 0.0},
    {"humidity: no MKT", 2, {500, 700, 700, 200}, 650, 300, 0, 20.0, 70.0, 52.5, kNone, true, 1200, 600, 1, 1, 1200,
     600, 2, 4, 100.0, 100.0, 0.25},
};
// clang-format on

TEST(ChannelFigures, HandComputedChannels) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        TestContext t;
        ChannelData d;
        d.kind = c.kind;
        d.samples = c.samples;
        d.upperAlarm = c.upper;
        d.lowerAlarm = c.lower;
        fillChannel(t.ctx, 1, d);
        rebuildTimeAxis(t.ctx.store);
        const auto all = channelFigures(t.ctx.store, wholeAxis(t.ctx.store));
        ASSERT_EQ(all.size(), 1u);
        const ChannelFigures& f = all[0];
        EXPECT_EQ(f.samples, int(c.samples.size()));
        EXPECT_EQ(f.errors, c.errors);
        EXPECT_EQ(f.intervalSeconds, 600);
        auto near = [](std::optional<double> got, std::optional<double> want, const char* what) {
            SCOPED_TRACE(what);
            ASSERT_EQ(got.has_value(), want.has_value());
            if (want) {
                EXPECT_NEAR(*got, *want, 1e-9);
            }
        };
        near(f.min, c.min, "min");
        near(f.max, c.max, "max");
        near(f.mean, c.mean, "mean");
        if (c.mkt || !isTemperature(c.kind) || !c.mean) {
            near(f.mkt, c.mkt, "mkt");
        } else {
            ASSERT_TRUE(f.mkt && *f.mkt > *f.mean);
        }
        EXPECT_EQ(f.upperAlarm.has_value(), hasAlarmValues(c.kind));
        ASSERT_EQ(f.limits.has_value(), c.limits);
        if (!c.limits) continue;
        const auto& l = *f.limits;
        EXPECT_EQ(l.secondsAbove, c.secondsAbove);
        EXPECT_EQ(l.secondsBelow, c.secondsBelow);
        EXPECT_EQ(l.above.count, c.runsAbove);
        EXPECT_EQ(l.below.count, c.runsBelow);
        EXPECT_EQ(l.above.longestSeconds, c.longestAbove);
        EXPECT_EQ(l.below.longestSeconds, c.longestBelow);
        const double day = 1.0 / 144;  // 600 s as a date value
        const double start = t.ctx.store.ch[1].startTime;
        if (c.runsAbove) {
            EXPECT_NEAR(l.above.longestStart, start + (c.longestAboveFirst - 1) * day, 1e-9);
        }
        if (c.runsBelow) {
            EXPECT_NEAR(l.below.longestStart, start + (c.longestBelowFirst - 1) * day, 1e-9);
        }
        EXPECT_NEAR(l.degreeMinutesAbove, c.degreeMinutesAbove, 1e-9);
        EXPECT_NEAR(l.degreeMinutesBelow, c.degreeMinutesBelow, 1e-9);
        EXPECT_NEAR(l.withinShare, c.within, 1e-12);
    }
}

// A channel that starts three rows late counts from its own first sample,
// over the whole axis and over spans of it.
TEST(ChannelFigures, LateChannelAndSpans) {
    TestContext t;
    ChannelData a;
    a.samples = ramp(10, 200);  // 20.0 .. 20.9 on rows 1..10
    fillChannel(t.ctx, 1, a);
    ChannelData b;
    b.start = a.start.addSecs(3 * 600);
    b.samples = {300, 310, 320, 330};  // rows 4..7
    fillChannel(t.ctx, 2, b);
    rebuildTimeAxis(t.ctx.store);
    struct Span {
        AxisRows rows;
        int samplesA, samplesB;
        std::optional<double> minB;
        int firstSampleB;
    };
    const Span spans[] = {
        {{1, 10}, 10, 4, 30.0, 1}, {{2, 5}, 4, 2, 30.0, 1},   {{6, 10}, 5, 2, 32.0, 3},
        {{1, 3}, 3, 0, kNone, 0},  {{8, 10}, 3, 0, kNone, 0}, {{-5, 50}, 10, 4, 30.0, 1},
    };
    for (const Span& s : spans) {
        SCOPED_TRACE(testing::Message() << s.rows.first << ".." << s.rows.last);
        const auto f = channelFigures(t.ctx.store, s.rows);
        ASSERT_EQ(f.size(), 2u);
        EXPECT_EQ(f[0].samples, s.samplesA);
        EXPECT_EQ(f[1].samples, s.samplesB);
        EXPECT_EQ(f[1].min, s.minB);
        if (s.firstSampleB) {
            EXPECT_NEAR(f[1].firstTime, t.ctx.store.ch[2].startTime + (s.firstSampleB - 1) / 144.0, 1e-9);
        }
        EXPECT_FALSE(f[1].mkt.has_value() && s.samplesB == 0);
    }
}

// Long channels side by side in one store, over spans of every length
// modulo the loops' strides: the figures equal the plain reckoning (the
// mean kinetic temperature to rounding, though the channels share their
// exponentials).
TEST(ChannelFigures, LongChannelsAsReckonedSampleBySample) {
    struct Channel {
        const char* name;
        int kind;
        int16_t upper, lower;
        std::function<int16_t(int)> sample;  // of i = 1..n
    };
    const Channel channels[] = {
        {"sawtooth through both limits, errors", 1, 350, -50,
         [](int i) { return int16_t(i % 97 == 0 ? E : (i * 7 + 13) % 900 - 200); }},
        {"humidity in long runs", 2, 800, 300, [](int i) { return int16_t((i / 700) % 2 ? 900 : 500 - i % 300); }},
        {"few repeated values, no alarms", 0, 0, 0, [](int i) { return int16_t(200 + (i / 37) % 3); }},
        {"crossed limits", 1, 100, 200, [](int i) { return int16_t(i % 5 == 0 ? E : 50 + (i * 13) % 250); }},
        {"far colder than the others", 1, -1500, -2000, [](int i) { return int16_t(-2600 + i % 50); }},
        {"near absolute zero: no MKT", 0, 0, 0, [](int i) { return int16_t(i == 3 ? -2732 : 100); }},
        {"the largest valid values", 1, 32000, -32000, [](int i) { return int16_t(i % 2 ? 32767 : -32768); }},
        {"errors only at first, then constant", 1, 250, 100, [](int i) { return int16_t(i < 9 ? E : 260); }},
    };
    constexpr int kLength = 5003;
    TestContext t;
    for (int ch = 1; ch <= kChannels; ++ch) {
        const Channel& c = channels[ch - 1];
        ChannelData d;
        d.kind = c.kind;
        d.upperAlarm = c.upper;
        d.lowerAlarm = c.lower;
        for (int i = 1; i <= kLength; ++i) d.samples.push_back(c.sample(i));
        fillChannel(t.ctx, ch, d);
    }
    rebuildTimeAxis(t.ctx.store);
    const AxisRows spans[] = {{1, kLength}, {1, 1}, {2, 8}, {3, 12}, {17, 4000}, {4990, 5003}};
    for (const double dhr : {kDefaultDeltaHOverR, kMaxDeltaHOverR}) {
        for (const AxisRows& span : spans) {
            const auto all = channelFigures(t.ctx.store, span, dhr);
            ASSERT_EQ(all.size(), size_t(kChannels));
            for (const ChannelFigures& got : all) {
                SCOPED_TRACE(testing::Message() << channels[got.channel - 1].name << ", rows " << span.first << ".."
                                                << span.last << ", dH/R " << dhr);
                EXPECT_EQ(plain::difference(got, plain::figures(t.ctx.store, got.channel, span, dhr)), "");
            }
        }
    }
    // The list of every excursion agrees with the figures' counts, longest
    // runs and their starts, and its peaks lie beyond their limits.
    for (const AxisRows& span : spans) {
        const std::vector<Excursion> list = excursionList(t.ctx.store, span);
        for (const ChannelFigures& f : channelFigures(t.ctx.store, span)) {
            SCOPED_TRACE(testing::Message()
                         << channels[f.channel - 1].name << ", rows " << span.first << ".." << span.last);
            for (const bool above : {true, false}) {
                Excursions want;
                if (f.limits) want = above ? f.limits->above : f.limits->below;
                int count = 0;
                long long longest = 0;
                double longestStart = 0;
                for (const Excursion& e : list) {
                    if (e.channel != f.channel || e.above != above) continue;
                    ++count;
                    EXPECT_TRUE(above ? e.peak > e.limit : e.peak < e.limit);
                    if (e.seconds > longest) {
                        longest = e.seconds;
                        longestStart = e.start;
                    }
                }
                EXPECT_EQ(count, want.count) << above;
                EXPECT_EQ(longest, want.longestSeconds) << above;
                EXPECT_DOUBLE_EQ(longestStart, want.longestStart) << above;
            }
        }
    }
}

TEST(ChannelFigures, MeanKineticTemperatureOfLists) {
    struct Row {
        std::vector<double> celsius;
        double dhr;
        std::optional<double> want;
    };
    const Row rows[] = {
        {{20, 30}, 10000, kMktTwenty30},
        {{-40, -40}, 100000, -40.0},  // terms near e^-430 neither underflow nor lose the result
        {{5}, kDefaultDeltaHOverR, 5.0},
        {{}, 10000, kNone},
        {{-300}, 10000, kNone},  // below absolute zero: a damaged value, no figure
    };
    for (const Row& r : rows) {
        const auto got = meanKineticTemperature(r.celsius, r.dhr);
        ASSERT_EQ(got.has_value(), r.want.has_value());
        if (r.want) {
            EXPECT_NEAR(*got, *r.want, 1e-9);
        }
    }
}

TEST(AnalysisSettings, ValuesAndFiles) {
    struct Row {
        QByteArray bytes;
        double want;
    };
    const Row rows[] = {
        {analysisSettingsBytes(8314.4), 8314.4}, {"12000,\"x\"\r\n", 12000},       {"", kDefaultDeltaHOverR},
        {"abc\r\n", kDefaultDeltaHOverR},        {"999\r\n", kDefaultDeltaHOverR},  // below the range
        {"1e9\r\n", kDefaultDeltaHOverR},                                           // above it
        {"nan\r\n", kDefaultDeltaHOverR},
    };
    for (const Row& r : rows) EXPECT_EQ(parseAnalysisSettings(r.bytes), r.want) << r.bytes.toStdString();
    EXPECT_TRUE(analysisSettingsBytes(10000).endsWith("\r\n"));

    TestContext t;
    const QString file = analysisSettingsFile(t.ctx.folders);
    EXPECT_EQ(loadDeltaHOverR(file), kDefaultDeltaHOverR);  // no file yet
    EXPECT_TRUE(bool(saveDeltaHOverR(9000, file)));
    EXPECT_EQ(loadDeltaHOverR(file), 9000);
    EXPECT_FALSE(bool(saveDeltaHOverR(50, file)));  // refused, the file keeps its value
    EXPECT_EQ(loadDeltaHOverR(file), 9000);
}

TEST(FigureTexts, Formats) {
    struct Row {
        long long seconds;
        const char* want;
    };
    const Row rows[] = {{0, "0:00:00"}, {600, "0:10:00"}, {3661, "1:01:01"}, {36 * 3600, "36:00:00"}};
    for (const Row& r : rows) EXPECT_EQ(durationText(r.seconds), QString::fromLatin1(r.want));
    ChannelFigures humid;
    humid.samples = 2;
    EXPECT_EQ(figureText(humid, 5), QStringLiteral("-----"));  // no MKT
    EXPECT_EQ(figureText(humid, 8), QStringLiteral("-----"));  // no limits
}

}  // namespace
}  // namespace quillet
