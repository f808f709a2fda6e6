// The long-term trend: the per-column reduction against a sample-by-sample
// reckoning over random series with spikes, gaps and error samples; gaps
// between read-outs left unjoined; the figures of a span against the
// archive's figures of the same period; the picture and the report of
// quillet-cli, the report read back from the PDF.
#include "support/clirun.h"

#include "analysis/figuretexts.h"
#include "archive/trend.h"
#include "archive/trendreport.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <random>

namespace quillet::archive {
namespace {

const qint64 kT0 = QDateTime(QDate(2025, 1, 1), QTime(0, 0), QTimeZone::utc()).toSecsSinceEpoch();

ReadoutChannel channel(int loggerChannel, int kind, qint64 start, int interval, std::vector<int16_t> values) {
    ReadoutChannel c;
    c.position = loggerChannel;
    c.series = {5, 12, loggerChannel, kind};
    c.header.kind = int16_t(kind);
    c.header.cardNo = 5;
    c.header.testNo = 12;
    c.header.upperAlarm = kind == 2 ? 700 : 80;
    c.header.lowerAlarm = kind == 2 ? 300 : 20;
    c.startUtc = start;
    c.intervalSeconds = interval;
    c.count = int(values.size());
    c.samples = std::move(values);
    return c;
}

// A scratch archive holding read-outs of logger 005-012.
struct Scratch {
    QTemporaryDir dir;
    std::unique_ptr<Archive> archive;
    int next = 0;
    Scratch() {
        ArchiveFailure f;
        archive = openArchive(path(), f);
    }
    QString path() const { return dir.filePath(QStringLiteral("a.sqlite")); }
    void add(std::vector<ReadoutChannel> channels) {
        Readout r;
        r.sha256 = QByteArray::number(++next).rightJustified(64, '0');
        r.path = QStringLiteral("x.ql6");
        r.zone = QStringLiteral("UTC");
        r.channels = std::move(channels);
        ASSERT_EQ(archive->import(r).outcome, ImportOutcome::Stored);
    }
};

// Samples around 5.0 ℃ with spikes to ±40 ℃ and error samples.
std::vector<int16_t> randomValues(std::mt19937& rng, int n) {
    std::vector<int16_t> v(static_cast<size_t>(n));
    std::uniform_int_distribution<int> base(-30, 130);
    std::uniform_int_distribution<int> pick(0, 99);
    for (int16_t& x : v) {
        const int p = pick(rng);
        x = int16_t(p < 3 ? kErrorSample : p < 6 ? (p % 2 ? 400 : -400) : base(rng));
    }
    return v;
}

// The columns as each sample, one by one, puts them: a sample joins the
// previous column's last one when the sample before it is valid, in the
// span and next to it in time.
std::vector<TrendColumn> reckoned(const std::vector<SeriesPiece>& pieces, Period p, int width) {
    struct Flat {
        qint64 t;
        int16_t v;
        bool next;  // one interval after the sample before
    };
    std::vector<Flat> flat;
    for (const SeriesPiece& piece : pieces)
        for (size_t i = 0; i < piece.values.size(); ++i)
            flat.push_back({piece.startUtc + qint64(i) * piece.intervalSeconds, piece.values[i],
                            i > 0 || (piece.continuesPrevious && !flat.empty())});
    std::vector<TrendColumn> columns(static_cast<size_t>(width));
    const long double span = (long double)(p.toUtc - p.fromUtc + 1);
    for (size_t k = 0; k < flat.size(); ++k) {
        const Flat& f = flat[k];
        if (f.t < p.fromUtc || f.t > p.toUtc || f.v == kErrorSample) continue;
        const int c = int((long double)(f.t - p.fromUtc) * width / span);
        TrendColumn& col = columns[size_t(c)];
        if (!col.any) {
            col.any = true;
            col.min = col.max = col.first = f.v;
            col.joinsPrevious = k > 0 && f.next && flat[k - 1].v != kErrorSample && flat[k - 1].t >= p.fromUtc;
        }
        col.min = std::min(col.min, f.v);
        col.max = std::max(col.max, f.v);
        col.last = f.v;
    }
    return columns;
}

TEST(Trend, ColumnsKeepEveryExtremeOfRandomSeriesWithGaps) {
    std::mt19937 rng(33);
    for (int round = 0; round < 300; ++round) {
        std::vector<SeriesPiece> pieces;
        qint64 t = kT0;
        std::uniform_int_distribution<int> count(1, 400);
        std::uniform_int_distribution<int> gap(0, 3);
        const int interval = std::array{60, 600, 1}[size_t(round % 3)];
        for (int k = 0, n = 1 + round % 6; k < n; ++k) {
            const int g = gap(rng);
            SeriesPiece piece;
            piece.readoutId = k;
            piece.startUtc = t + (g == 0 && k > 0 ? 0 : g * 7 * interval);
            piece.continuesPrevious = k > 0 && g == 0;
            if (k == 0) piece.startUtc = t;
            piece.intervalSeconds = interval;
            piece.values = randomValues(rng, count(rng));
            t = piece.startUtc + qint64(piece.values.size()) * interval;
            pieces.push_back(std::move(piece));
        }
        const qint64 last = t - interval;
        std::uniform_int_distribution<qint64> at(kT0 - 50 * interval, last + 50 * interval);
        Period p{at(rng), at(rng)};
        if (round % 5 == 0) p = {kT0, last};
        if (p.toUtc < p.fromUtc) std::swap(p.fromUtc, p.toUtc);
        const int width = std::array{1, 7, 100, 1600, 5000}[size_t(round % 5)];
        const std::vector<TrendColumn> got = trendColumns(pieces, p, width);
        const std::vector<TrendColumn> want = reckoned(pieces, p, width);
        ASSERT_EQ(got.size(), want.size());
        for (size_t c = 0; c < got.size(); ++c) {
            SCOPED_TRACE(testing::Message() << "round " << round << " column " << c);
            ASSERT_EQ(got[c].any, want[c].any);
            if (!got[c].any) continue;
            EXPECT_EQ(got[c].min, want[c].min);
            EXPECT_EQ(got[c].max, want[c].max);
            EXPECT_EQ(got[c].first, want[c].first);
            EXPECT_EQ(got[c].last, want[c].last);
            EXPECT_EQ(got[c].joinsPrevious, want[c].joinsPrevious);
        }
    }
}

TEST(Trend, AGapBetweenReadoutsOrAnErrorSampleIsNeverJoined) {
    Scratch s;
    // Two read-outs with a day between them; an error sample in the second.
    s.add({channel(1, 1, kT0, 600, std::vector<int16_t>(144, 50))});
    std::vector<int16_t> second(144, 60);
    second[72] = kErrorSample;
    s.add({channel(1, 1, kT0 + 2 * 86400, 600, second)});
    ArchiveFailure f;
    const std::vector<TrendChannel> trend = loadTrend(*s.archive, {SeriesKey{5, 12, 1, 1}}, {kT0, kT0 + 3 * 86400}, f);
    ASSERT_FALSE(f);
    ASSERT_EQ(trend.size(), 1u);
    // 3 days in 72 columns: an hour each.
    const std::vector<TrendColumn> cols = trendColumns(trend[0].pieces, {kT0, kT0 + 3 * 86400 - 1}, 72);
    struct Case {
        int column;
        bool any;
        bool joins;
    };
    for (const Case& c : {Case{0, true, false}, Case{1, true, true}, Case{23, true, true}, Case{24, false, false},
                          Case{47, false, false}, Case{48, true, false}, Case{49, true, true}, Case{60, true, false},
                          Case{61, true, true}}) {
        SCOPED_TRACE(c.column);
        EXPECT_EQ(cols[size_t(c.column)].any, c.any);
        EXPECT_EQ(cols[size_t(c.column)].joinsPrevious, c.joins);
    }
}

TEST(Trend, FiguresOfTheSpanShownEqualTheArchivesFiguresOfThatPeriod) {
    Scratch s;
    std::mt19937 rng(7);
    // A two-channel logger at one minute, three read-outs, one gap between.
    for (const qint64 start : {kT0, kT0 + 5000 * 60, kT0 + 12000 * 60}) {
        std::vector<int16_t> humidity = randomValues(rng, 5000);
        for (int16_t& h : humidity)
            if (h != kErrorSample) h = int16_t(std::clamp(h * 2 + 300, 0, 1000));
        s.add({channel(1, 1, start, 60, randomValues(rng, 5000)), channel(2, 2, start, 60, humidity)});
    }
    ArchiveFailure f;
    const std::vector<SeriesKey> keys = loggerSeries(*s.archive, 5, 12);
    ASSERT_EQ(keys.size(), 2u);
    const std::vector<TrendChannel> trend = loadTrend(*s.archive, keys, {kT0 - 1, kT0 + 86400 * 30}, f);
    ASSERT_FALSE(f);
    const QTimeZone zone("Asia/Tokyo");
    for (const Period span : {Period{kT0, kT0 + 17000 * 60}, Period{kT0 + 4321 * 60 + 17, kT0 + 4999 * 60},
                              Period{kT0 + 4990 * 60, kT0 + 12010 * 60}, Period{kT0 + 9999 * 60, kT0 + 9999 * 60},
                              Period{kT0 + 100000 * 60, kT0 + 100001 * 60}}) {
        const std::vector<ChannelFigures> shown = trendFigures(trend, span, 10000, zone);
        for (size_t i = 0; i < keys.size(); ++i) {
            const std::optional<ChannelFigures> stored = periodFigures(*s.archive, keys[i], span, 10000, zone, f);
            ASSERT_TRUE(stored);
            for (int row = 0; row < kFigureRows; ++row)
                EXPECT_EQ(figureText(shown[i], row), figureText(*stored, row)) << "row " << row << " channel " << i;
            EXPECT_EQ(shown[i].samples, stored->samples);
        }
    }
}

TEST(Trend, TimeAxisStepsSuitTheSpan) {
    const QTimeZone zone("Asia/Tokyo");
    struct Case {
        qint64 seconds;
        const char* firstLabel;
    };
    // From 2025-01-01 09:00 Tokyo time, at most 10 ticks.
    for (const Case& c : {Case{6 * 3600, "01-01 09:00"}, Case{8 * 86400, "2025-01-02"}, Case{60 * 86400, "2025-01-06"},
                          Case{365 * 86400, "2025-03"}, Case{5 * 365 * 86400, "2025-07"}}) {
        const std::vector<TimeTick> ticks = timeTicks({kT0, kT0 + c.seconds}, zone, 10);
        ASSERT_FALSE(ticks.empty());
        EXPECT_LE(ticks.size(), 10u);
        EXPECT_EQ(ticks.front().label, QLatin1String(c.firstLabel)) << c.seconds;
        for (const TimeTick& t : ticks) EXPECT_TRUE(t.utc >= kT0 && t.utc <= kT0 + c.seconds);
    }
}

TEST(Trend, CliDrawsThePictureAndPrintsTheReportOfTheSpan) {
    Scratch s;
    std::vector<int16_t> temperature(3 * 1440, 50);
    for (int i = 1000; i < 1100; ++i) temperature[size_t(i)] = 95;  // an excursion above 8.0 ℃
    s.add({channel(1, 1, kT0, 60, temperature), channel(2, 2, kT0, 60, std::vector<int16_t>(3 * 1440, 500))});
    s.archive.reset();
    QTemporaryDir home;
    const QString png = home.filePath(QStringLiteral("t.png"));
    fakes::CliRun r = fakes::runCli({"archive", "trend", "005-012", "--channel", "1", "--channel", "2", "--db",
                                     s.path(), "--out", png, "--size", "800x400"},
                                    home.path());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(QImage(png).size(), QSize(800, 400));
    r = fakes::runCli({"archive", "trend", "005-012", "--channel", "3", "--db", s.path(), "--out", png}, home.path());
    EXPECT_EQ(r.exitCode, 2);
    r = fakes::runCli(
        {"archive", "trend", "005-012", "--db", s.path(), "--out", s.path() + ".png", "--from", "2030-01-01"},
        home.path());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(QFile::exists(s.path() + ".png"));

    const QString pdf = home.filePath(QStringLiteral("r.pdf"));
    r = fakes::runCli({"archive", "report", "005-012", "--channel", "1", "--db", s.path(), "--pdf", pdf, "--title",
                       "倉庫A 年次", "--dhr", "9000"},
                      home.path());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString page = QString::fromUtf8(text.readAllStandardOutput());
    for (const char* expected : {"倉庫A 年次", "作成", "確認", "承認", "ロガー: ", "005-012 ch1",
                                 "期間: ", "印刷日時: ", "MKT", "上限超過時間", "1:40:00"})
        EXPECT_TRUE(page.contains(QString::fromUtf8(expected))) << expected << "\n" << page.toStdString();
    EXPECT_FALSE(page.contains(QStringLiteral("ch2")));
}

}  // namespace
}  // namespace quillet::archive
