// The long-term trend: the per-column reduction against a sample-by-sample
// reckoning over random series with spikes, gaps and error samples; gaps
// between read-outs left unjoined; the figures of a span against the
// archive's figures of the same period; the picture and the report of
// quillet-cli, the report read back from the PDF.
#include "support/clirun.h"
#include "support/serverdatabase.h"

#include "analysis/figuretexts.h"
#include "archive/trend.h"
#include "archive/trendreport.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <array>
#include <map>
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

// The trend's columns read from the archive's hour summaries against those
// of the samples, and both against a plain reckoning of what the archive
// holds, on both back ends; the same after an archive of the version before
// (no summaries) is opened, which makes them.
enum class Backend { Sqlite, Postgres };
class TrendOnBothBackends : public testing::TestWithParam<Backend> {};
INSTANTIATE_TEST_SUITE_P(Trend, TrendOnBothBackends, testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const testing::TestParamInfo<Backend>& i) {
                             return i.param == Backend::Sqlite ? "SQLite" : "PostgreSQL";
                         });

struct BackendScratch {
    QTemporaryDir dir;
    std::unique_ptr<testsupport::ServerDatabase> server;
    QString location;
    std::unique_ptr<Archive> archive;
    explicit BackendScratch(Backend b) {
        if (b == Backend::Postgres) server = std::make_unique<testsupport::ServerDatabase>(QUILLET_PG_FOLDER);
        location = server ? server->location() : dir.filePath(QStringLiteral("a.sqlite"));
        ArchiveFailure f;
        archive = openArchive(location, f);
        EXPECT_TRUE(archive) << f.detail.toStdString();
    }
    // The archive closed, sql run on it, opened again.
    ArchiveFailure rewrite(const QByteArray& sql) {
        archive.reset();
        if (server) {
            server->exec(sql);
        } else {
            sqlite3* db = nullptr;
            sqlite3_open(location.toUtf8().constData(), &db);
            EXPECT_EQ(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
            sqlite3_close(db);
        }
        ArchiveFailure f;
        archive = openArchive(location, f);
        return f;
    }
};

TEST_P(TrendOnBothBackends, ColumnsFromHourSummariesEqualThoseOfTheSamples) {
    BackendScratch s(GetParam());
    ASSERT_TRUE(s.archive);
    std::mt19937 rng(32);
    const qint64 t0 = kT0 + 17 * 60 + 30;  // half a minute into a minute, 17 minutes into an hour
    // A: a minute's interval; B: the same recording read again from its
    // middle on with other values (conflicts: the first stays) and other
    // limits; E: the next read-out, from within B's last hour; after a gap
    // of about five hours, C at ten minutes with its first hour of error
    // samples, and D interleaved with C five minutes later; G: the minutes
    // before A, in A's first hour, imported last.
    std::vector<ReadoutChannel> readouts = {channel(1, 1, t0, 60, randomValues(rng, 3000)),
                                            channel(1, 1, t0 + 1500 * 60, 60, randomValues(rng, 3000)),
                                            channel(1, 1, t0 + 4500 * 60, 60, randomValues(rng, 40)),
                                            channel(1, 1, t0 + 4805 * 60, 600, randomValues(rng, 400)),
                                            channel(1, 1, t0 + 4805 * 60 + 300, 600, randomValues(rng, 300)),
                                            channel(1, 1, kT0 + 30, 60, randomValues(rng, 17))};
    readouts[1].header.upperAlarm = 90;
    readouts[1].header.lowerAlarm = 10;
    for (int i = 0; i < 6; ++i) readouts[3].samples[size_t(i)] = kErrorSample;
    std::map<qint64, std::pair<int16_t, size_t>> stored;  // instant: value, read-out
    Readout r;
    r.path = QStringLiteral("x.ql6");
    r.zone = QStringLiteral("UTC");
    s.archive->beginBatch();  // all but G in one, as a bulk import does
    for (size_t k = 0; k < readouts.size(); ++k) {
        const ReadoutChannel& c = readouts[k];
        for (size_t i = 0; i < c.samples.size(); ++i)
            stored.try_emplace(c.startUtc + qint64(i) * c.intervalSeconds, c.samples[i], k);
        r.sha256 = QByteArray::number(qint64(k) + 1).rightJustified(64, '0');
        r.channels = {c};
        if (k + 1 == readouts.size()) {
            ASSERT_FALSE(s.archive->endBatch());
        }
        ASSERT_EQ(s.archive->import(r).outcome, ImportOutcome::Stored);
    }
    // The columns as each stored sample puts them.
    auto reckoned = [&](Period p, int width) {
        std::vector<TrendColumn> columns(size_t(width), TrendColumn{});
        const long double span = (long double)(p.toUtc - p.fromUtc + 1);
        bool previousValid = false;
        qint64 previousT = 0;
        for (const auto& [t, stored] : stored) {
            const auto [v, k] = stored;
            const bool valid = v != kErrorSample && t >= p.fromUtc && t <= p.toUtc;
            const bool joins = previousValid && t - previousT == readouts[k].intervalSeconds;
            previousValid = valid;
            previousT = t;
            if (!valid) continue;
            TrendColumn& col = columns[size_t((long double)(t - p.fromUtc) * width / span)];
            if (!col.any) col = {true, v, v, v, v, joins};
            col.min = std::min(col.min, v);
            col.max = std::max(col.max, v);
            col.last = v;
            col.upperAlarm = readouts[k].header.upperAlarm;
            col.lowerAlarm = readouts[k].header.lowerAlarm;
        }
        return columns;
    };
    const qint64 end = stored.rbegin()->first;
    struct Case {
        Period span;
        int width;
    };
    const std::vector<Case> cases = {
        {{t0, end}, 1600},                     // columns of an hour and a half
        {{kT0, kT0 + 100 * 3600 - 1}, 100},    // of an hour each, on the hours
        {{kT0 - 7, end + 3 * 3600}, 7},        // of about a day, the ends mid-hour
        {{t0 + 999, t0 + 3000 * 60}, 4000},    // of under an hour: samples alone
        {{kT0, end}, 1},                       // one column
        {{t0 + 4000 * 60, end - 1000}, 333},   // around the gap and the interleaved read-outs
        {{end + 3600, end + 90 * 86400}, 50},  // after every sample
    };
    const SeriesKey key{5, 12, 1, 1};
    for (const char* stage : {"as imported", "opened after the version before"}) {
        if (stage[0] == 'o') {
            ASSERT_FALSE(s.rewrite("DELETE FROM sample_hour; UPDATE meta SET value = '1' WHERE key = 'schema'"));
        }
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << stage << ", width " << c.width << " from " << c.span.fromUtc - kT0);
            ArchiveFailure f;
            const std::vector<TrendChannel> loaded = loadTrend(*s.archive, {key}, c.span, f);
            const std::vector<TrendColumn> want = reckoned(c.span, c.width);
            const std::vector<TrendColumn> fromSamples = trendColumns(loaded.at(0).pieces, c.span, c.width);
            const std::vector<TrendColumn> fromHours = archiveColumns(*s.archive, key, c.span, c.width, f);
            ASSERT_FALSE(f) << f.detail.toStdString();
            ASSERT_EQ(fromHours.size(), want.size());
            for (size_t col = 0; col < want.size(); ++col)
                for (const std::vector<TrendColumn>* got : {&fromSamples, &fromHours}) {
                    const TrendColumn& a = (*got)[col];
                    const TrendColumn& b = want[col];
                    ASSERT_EQ(a.any, b.any) << "column " << col << (got == &fromHours ? " (hours)" : "");
                    if (!a.any) continue;
                    ASSERT_TRUE(a.min == b.min && a.max == b.max && a.first == b.first && a.last == b.last &&
                                a.joinsPrevious == b.joinsPrevious && a.upperAlarm == b.upperAlarm &&
                                a.lowerAlarm == b.lowerAlarm)
                        << "column " << col << (got == &fromHours ? " (hours)" : "") << ": " << a.min << ".." << a.max
                        << " " << a.first << "/" << a.last << " joins " << a.joinsPrevious << " against " << b.min
                        << ".." << b.max << " " << b.first << "/" << b.last << " joins " << b.joinsPrevious;
                }
            // The figures of the span count what the archive holds there.
            const std::vector<ChannelFigures> figures = trendFigures(loaded, c.span, 10000, QTimeZone::utc());
            int samples = 0;
            int errors = 0;
            for (const auto& [t, v] : stored)
                if (t >= c.span.fromUtc && t <= c.span.toUtc) ++samples, errors += v.first == kErrorSample;
            EXPECT_EQ(figures.at(0).samples, samples);
            EXPECT_EQ(figures.at(0).errors, errors);
            const std::optional<Period> extent = archiveExtent(*s.archive, {key}, c.span, f);
            ASSERT_EQ(extent.has_value(), samples > 0);
            if (extent) {
                EXPECT_EQ(extent->fromUtc, trendExtent(loaded)->fromUtc);
                EXPECT_EQ(extent->toUtc, trendExtent(loaded)->toUtc);
            }
        }
    }
    // A program refuses an archive of a later version.
    EXPECT_EQ(s.rewrite("UPDATE meta SET value = '99' WHERE key = 'schema'").error, ArchiveError::CannotOpen);
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
