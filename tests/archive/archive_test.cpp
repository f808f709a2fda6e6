// The archive on SQLite: what a set of data files comes to, whatever their
// order, overlap, layout and time zone; the figures over a period against
// those of the same samples in the store; a killed import; a save whose
// import fails.
#include "datafile/filebuilder.h"
#include "support/clirun.h"
#include "support/fakes.h"
#include "support/serverdatabase.h"

#include "analysis/figures.h"
#include "archive/archivesettings.h"
#include "archive/importer.h"
#include "archive/series.h"
#include "archive/sync.h"
#include "archive/trend.h"
#include "comm/commstate.h"
#include "core/store.h"
#include "datafile/datafile.h"
#include "datafile/fileops.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>
#include <libpq-fe.h>

#include <algorithm>
#include <random>

namespace quillet::archive {
namespace {

using filetest::Block;
using filetest::fileBytes;

const QTimeZone kBerlin("Europe/Berlin");

// A logger channel block: card 5, test 12, kind 1 (code 1), a 10-minute
// interval, starting on the given local day and time.
Block block(QDateTime start, std::vector<int> samples, int code = 9, int card = 5, int test = 12, int minutes = 10) {
    Block b;
    b.code = code;
    b.cardNo = card;
    b.testNo = test;
    b.startYear = start.date().year();
    b.startMonth = start.date().month();
    b.startDay = start.date().day();
    b.startHour = start.time().hour();
    b.startMinute = start.time().minute();
    b.startTenSec = start.time().second() / 10;
    b.intervalTenSec = 0;
    b.intervalMinute = minutes % 60;
    b.intervalHour = minutes / 60;
    b.upperAlarm = 80;
    b.lowerAlarm = 20;
    b.samples = std::move(samples);
    return b;
}

std::vector<int> ramp(int n, int from = 30, int step = 1) {
    std::vector<int> v(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) v[size_t(i)] = from + (i * step) % 90;
    return v;
}

const QDateTime kStart(QDate(2026, 7, 1), QTime(8, 0));

enum class Backend { Sqlite, Postgres };

using testsupport::serverConnection;
using testsupport::ServerDatabase;
const QString kServerFolder = QStringLiteral(QUILLET_PG_FOLDER);
const QString kServerScript = QStringLiteral(QUILLET_SOURCE_DIR "/scripts/pg-test-server");

struct Scratch {
    QTemporaryDir dir;
    std::unique_ptr<ServerDatabase> server;
    std::unique_ptr<Archive> archive;
    ImportOrigin origin;

    explicit Scratch(Backend backend = Backend::Sqlite) {
        if (backend == Backend::Postgres) server = std::make_unique<ServerDatabase>(kServerFolder);
        ArchiveFailure f;
        archive = openArchive(server ? server->location() : dir.filePath(QStringLiteral("a.sqlite")), f);
        EXPECT_TRUE(archive) << f.detail.toStdString();
        origin.site = QStringLiteral("site");
        origin.host = QStringLiteral("pc");
        origin.user = QStringLiteral("user");
        origin.zone = kBerlin;
    }
    ~Scratch() { archive.reset(); }
    ImportResult import(const QByteArray& bytes, const QString& name = QStringLiteral("x.ql6")) {
        const FileReadout r = readoutFromBytes(bytes, dir.filePath(name), origin);
        EXPECT_EQ(r.problem, FileProblem::None) << name.toStdString();
        return archive->import(r.readout);
    }
    QStringList content() { return contentOf(*archive); }
    // Every stored sample as "card-test/channel/kind t value", in order.
    static QStringList contentOf(Archive& archive) {
        ArchiveFailure f;
        QStringList out;
        for (const SeriesKey& k : archive.series(f))
            for (const SeriesPiece& p : archive.samples(k, 0, std::numeric_limits<qint64>::max() / 2, f))
                for (size_t i = 0; i < p.values.size(); ++i)
                    out << QStringLiteral("%1-%2/%3/%4 %5 %6")
                               .arg(k.card)
                               .arg(k.test)
                               .arg(k.loggerChannel)
                               .arg(k.kind)
                               .arg(p.startUtc + qint64(i) * p.intervalSeconds)
                               .arg(p.values[i]);
        EXPECT_FALSE(f) << f.detail.toStdString();
        return out;
    }
};

// Two archives' content, the first difference named.
void expectSameContent(const QStringList& a, const QStringList& b) {
    EXPECT_EQ(a.size(), b.size());
    for (qsizetype i = 0; i < std::min(a.size(), b.size()); ++i)
        if (a[i] != b[i]) {
            ADD_FAILURE() << "sample " << i << ": " << a[i].toStdString() << " against " << b[i].toStdString();
            return;
        }
}

// The tests of the table below run on both back ends with the same
// expectations.
class BothBackends : public testing::TestWithParam<Backend> {};
INSTANTIATE_TEST_SUITE_P(Archive, BothBackends, testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const testing::TestParamInfo<Backend>& i) {
                             return i.param == Backend::Sqlite ? "SQLite" : "PostgreSQL";
                         });

// Files imported one after the other: each import's outcome and counts,
// then what the archive holds.
struct ImportCase {
    const char* name;
    std::vector<QByteArray> files;
    std::vector<ImportOutcome> outcomes;
    std::vector<ImportCounts> counts;
    int samplesStored;
    int series;
};

TEST_P(BothBackends, ImportsEachSampleOnceAndKeepsTheFirstValue) {
    const QByteArray day = fileBytes({block(kStart, ramp(144))});
    // The same recording read again a day later: the first day and one more.
    const QByteArray twoDays = fileBytes({block(kStart, ramp(288))});
    std::vector<int> changed = ramp(144);
    changed[10] = 99;
    changed[11] = 9999;  // an error sample where a value is stored differs too
    const QByteArray conflicting = fileBytes({block(kStart, changed)});
    // A temperature and humidity logger: two channels of one card-test.
    const QByteArray twoChannels = fileBytes({block(kStart, ramp(6), 9), block(kStart, ramp(6, 400), 18)});
    // Two temperatures of one kind: logger channels 1 and 2 by their order.
    const QByteArray twoTemperatures = fileBytes({block(kStart, ramp(6), 9), block(kStart, ramp(6, 50), 10)});
    const std::vector<ImportCase> cases = {
        {"same file twice",
         {day, day},
         {ImportOutcome::Stored, ImportOutcome::AlreadyKnown},
         {{144, 0, 0}, {}},
         144,
         1},
        {"overlapping read-outs",
         {day, twoDays},
         {ImportOutcome::Stored, ImportOutcome::Stored},
         {{144, 0, 0}, {144, 144, 0}},
         288,
         1},
        {"the first value stays",
         {day, conflicting},
         {ImportOutcome::Stored, ImportOutcome::Stored},
         {{144, 0, 0}, {0, 142, 2}},
         144,
         1},
        {"temperature and humidity", {twoChannels}, {ImportOutcome::Stored}, {{12, 0, 0}}, 12, 2},
        {"two temperatures", {twoTemperatures}, {ImportOutcome::Stored}, {{12, 0, 0}}, 12, 2},
    };
    for (const ImportCase& c : cases) {
        SCOPED_TRACE(c.name);
        Scratch s(GetParam());
        ASSERT_TRUE(s.archive);
        for (size_t i = 0; i < c.files.size(); ++i) {
            const ImportResult r = s.import(c.files[i], QStringLiteral("f%1.ql6").arg(i));
            EXPECT_EQ(r.outcome, c.outcomes[i]) << i;
            EXPECT_EQ(r.counts.samplesNew, c.counts[i].samplesNew) << i;
            EXPECT_EQ(r.counts.samplesKnown, c.counts[i].samplesKnown) << i;
            EXPECT_EQ(r.counts.conflicts, c.counts[i].conflicts) << i;
        }
        EXPECT_EQ(s.content().size(), c.samplesStored);
        ArchiveFailure f;
        EXPECT_EQ(int(s.archive->series(f).size()), c.series);
    }
}

TEST_P(BothBackends, AConflictIsListedWithBothValues) {
    Scratch s(GetParam());
    std::vector<int> changed = ramp(144);
    changed[10] = 99;
    s.import(fileBytes({block(kStart, ramp(144))}), QStringLiteral("first.ql6"));
    const ImportResult r = s.import(fileBytes({block(kStart, changed)}), QStringLiteral("second.ql6"));
    ArchiveFailure f;
    const std::vector<Conflict> list = s.archive->conflicts(r.readoutId, f);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].stored, ramp(144)[10]);
    EXPECT_EQ(list[0].brought, 99);
    EXPECT_EQ(list[0].utc, QDateTime(kStart.date(), kStart.time(), kBerlin).toSecsSinceEpoch() + 10 * 600);
    const std::optional<Readout> back = s.archive->readout(r.readoutId, WithSamples::Yes, f);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->counts.conflicts, 1);
    EXPECT_EQ(back->channels[0].samples[10], ramp(144)[10]);  // the stored value, not its own
}

TEST_P(BothBackends, AnyOrderOfOverlappingFilesGivesTheSameContent) {
    std::vector<QByteArray> files;
    for (int i = 0; i < 8; ++i)  // read-outs of one recording, each a little longer, of two loggers
        files.push_back(fileBytes({block(kStart, ramp(50 + 30 * i), 9, 5 + i % 2)}));
    files.push_back(fileBytes({block(kStart.addDays(3), ramp(20), 18, 7)}));
    std::vector<QStringList> contents;
    for (unsigned seed : {1u, 2u}) {
        std::vector<QByteArray> order = files;
        std::shuffle(order.begin(), order.end(), std::mt19937(seed));
        Scratch s(GetParam());
        for (size_t i = 0; i < order.size(); ++i) s.import(order[i], QStringLiteral("%1.ql6").arg(i));
        contents.push_back(s.content());
    }
    EXPECT_EQ(contents[0].size(), (50 + 30 * 6) + (50 + 30 * 7) + 20);  // the longest of each logger
    expectSameContent(contents[0], contents[1]);
}

TEST_P(BothBackends, ARecordingAcrossDaylightSavingKeepsEvenInstants) {
    struct Row {
        QDateTime start;
        int offset;  // at the start, seconds east of UTC
    };
    for (const Row& row : {Row{QDateTime(QDate(2026, 3, 28), QTime(12, 0)), 3600},
                           Row{QDateTime(QDate(2026, 10, 24), QTime(12, 0)), 7200}}) {
        Scratch s(GetParam());
        const ImportResult r = s.import(fileBytes({block(row.start, ramp(48), 9, 5, 12, 60)}));
        ArchiveFailure f;
        const std::optional<Readout> back = s.archive->readout(r.readoutId, WithSamples::No, f);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->zone, QStringLiteral("Europe/Berlin"));
        EXPECT_EQ(back->zoneOffset, row.offset);
        const qint64 start = QDateTime(row.start.date(), row.start.time(), kBerlin).toSecsSinceEpoch();
        EXPECT_EQ(back->channels[0].startUtc, start);
        const std::vector<SeriesPiece> pieces = s.archive->samples(back->channels[0].series, 0, start * 2, f);
        ASSERT_EQ(pieces.size(), 1u);  // one piece: no instant skipped or doubled at the change
        EXPECT_EQ(pieces[0].values.size(), 48u);
        EXPECT_EQ(back->lastUtc, start + 47 * 3600);
    }
}

TEST_P(BothBackends, EveryLayoutImportsTheSameSamples) {
    Scratch s(GetParam());
    Block b = block(kStart, ramp(30));
    b.startTenSec = 0;
    const QByteArray withTenSec = fileBytes({b});
    const QByteArray without = fileBytes({b}, false);
    struct Row {
        const char* name;
        QByteArray bytes;
        ImportOutcome outcome;
    };
    const std::vector<Row> rows = {{"a.ql6", withTenSec, ImportOutcome::Stored},
                                   {"b.ql5", withTenSec, ImportOutcome::AlreadyKnown},
                                   {"c.ql4", withTenSec, ImportOutcome::AlreadyKnown},
                                   {"d.qlg", without, ImportOutcome::Stored},
                                   {"e.qld", without, ImportOutcome::AlreadyKnown}};
    for (const Row& r : rows) {
        const ImportResult got = s.import(r.bytes, QString::fromLatin1(r.name));
        EXPECT_EQ(got.outcome, r.outcome) << r.name;
        EXPECT_EQ(got.counts.conflicts, 0) << r.name;
    }
    EXPECT_EQ(s.content().size(), 30);
}

// The figures over a period against channelFigures() of the same samples
// opened as a file, field by field.
void expectSameFigures(const ChannelFigures& a, const ChannelFigures& b) {
    EXPECT_EQ(a.samples, b.samples);
    EXPECT_EQ(a.errors, b.errors);
    EXPECT_EQ(a.intervalSeconds, b.intervalSeconds);
    EXPECT_NEAR(a.firstTime, b.firstTime, 1e-6);
    EXPECT_NEAR(a.lastTime, b.lastTime, 1e-6);
    EXPECT_EQ(a.min, b.min);
    EXPECT_EQ(a.max, b.max);
    ASSERT_EQ(a.mean.has_value(), b.mean.has_value());
    if (a.mean) {
        EXPECT_NEAR(*a.mean, *b.mean, 1e-9);
    }
    ASSERT_EQ(a.mkt.has_value(), b.mkt.has_value());
    if (a.mkt) {
        EXPECT_NEAR(*a.mkt, *b.mkt, 1e-9);
    }
    EXPECT_EQ(a.upperAlarm, b.upperAlarm);
    EXPECT_EQ(a.lowerAlarm, b.lowerAlarm);
    ASSERT_EQ(a.limits.has_value(), b.limits.has_value());
    if (!a.limits) return;
    const auto& x = *a.limits;
    const auto& y = *b.limits;
    EXPECT_EQ(x.secondsAbove, y.secondsAbove);
    EXPECT_EQ(x.secondsBelow, y.secondsBelow);
    EXPECT_EQ(x.above.count, y.above.count);
    EXPECT_EQ(x.below.count, y.below.count);
    EXPECT_EQ(x.above.longestSeconds, y.above.longestSeconds);
    EXPECT_EQ(x.below.longestSeconds, y.below.longestSeconds);
    EXPECT_NEAR(x.above.longestStart, y.above.longestStart, 1e-6);
    EXPECT_NEAR(x.below.longestStart, y.below.longestStart, 1e-6);
    EXPECT_NEAR(x.degreeMinutesAbove, y.degreeMinutesAbove, 1e-9);
    EXPECT_NEAR(x.degreeMinutesBelow, y.degreeMinutesBelow, 1e-9);
    EXPECT_NEAR(x.withinShare, y.withinShare, 1e-12);
}

TEST_P(BothBackends, FiguresOverAPeriodEqualThoseOfTheOpenedFile) {
    std::vector<int> spiky = ramp(500, 0, 7);
    for (int i = 40; i < 60; ++i) spiky[size_t(i)] = 9999;
    struct Row {
        const char* name;
        std::vector<QByteArray> files;  // read-outs of one series, opened together as the store holds them
    };
    const std::vector<Row> rows = {
        {"excursions both ways, errors", {fileBytes({block(kStart, spiky)})}},
        {"humidity", {fileBytes({block(kStart, ramp(300, 300, 11), 18)})}},
        {"no alarms", {fileBytes({block(kStart, ramp(200), 1)})}},
        {"two read-outs with a gap",
         {fileBytes({block(kStart, ramp(100, 60, 3))}), fileBytes({block(kStart.addDays(2), ramp(100, 10, 5))})}},
        {"overlapping read-outs", {fileBytes({block(kStart, spiky)}), fileBytes({block(kStart.addDays(1), spiky)})}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Scratch s(GetParam());
        for (size_t i = 0; i < row.files.size(); ++i) s.import(row.files[i], QStringLiteral("%1.ql6").arg(i));
        ArchiveFailure f;
        const SeriesKey key = s.archive->series(f).at(0);
        const std::optional<ChannelFigures> period =
            periodFigures(*s.archive, key, periodOfDays({}, {}, kBerlin), kDefaultDeltaHOverR, kBerlin, f);
        ASSERT_TRUE(period);
        // The same samples as one channel of the store: the series laid out
        // on its instants, error samples in the gaps.
        AppContext ctx;
        ASSERT_EQ(seriesIntoStore(ctx, *s.archive, key, periodOfDays({}, {}, kBerlin), kBerlin, f), StoreFit::Fits);
        const std::vector<ChannelFigures> opened = channelFigures(ctx.store, wholeAxis(ctx.store));
        ASSERT_EQ(opened.size(), 1u);
        if (row.files.size() == 1) {
            // One file: the store holds exactly its samples.
            expectSameFigures(*period, opened[0]);
        } else {
            // Gaps are error samples in the store: every valid-sample figure agrees.
            EXPECT_EQ(period->validSamples(), opened[0].validSamples());
            EXPECT_EQ(period->min, opened[0].min);
            EXPECT_EQ(period->max, opened[0].max);
            EXPECT_NEAR(*period->mkt, *opened[0].mkt, 1e-9);
            EXPECT_EQ(period->limits->secondsAbove, opened[0].limits->secondsAbove);
            EXPECT_EQ(period->limits->above.count, opened[0].limits->above.count);
            EXPECT_NEAR(period->limits->degreeMinutesBelow, opened[0].limits->degreeMinutesBelow, 1e-9);
        }
    }
}

TEST(Archive, AKilledImportLeavesWholeReadoutsAndARepeatCompletesIt) {
    QTemporaryDir home;
    const QString folder = home.filePath(QStringLiteral("files"));
    QDir().mkpath(folder);
    constexpr int kFiles = 40;
    qint64 expected = 0;
    for (int i = 0; i < kFiles; ++i) {
        filetest::writeBytes(QStringLiteral("%1/%2.ql6").arg(folder).arg(i, 3, 10, QLatin1Char('0')),
                             fileBytes({block(kStart.addDays(60 * i), ramp(8000), 9, 1 + i % 5)}));
        expected += 8000;
    }
    const QString db = home.filePath(QStringLiteral("archive.sqlite"));
    QProcess p;
    p.start(fakes::kCli, {QStringLiteral("archive"), QStringLiteral("import"), folder, QStringLiteral("--db"), db});
    ASSERT_TRUE(p.waitForStarted());
    // Killed once the archive has taken some read-outs (or has just begun).
    for (int i = 0; i < 400 && QFileInfo(db + QStringLiteral("-wal")).size() < 400000; ++i) QThread::msleep(5);
    ::kill(pid_t(p.processId()), SIGKILL);
    p.waitForFinished();

    auto check = [&](bool complete) {
        ArchiveFailure f;
        std::unique_ptr<Archive> a = openArchive(db, f);
        ASSERT_TRUE(a);
        const std::vector<Readout> readouts = a->readouts({}, f);
        qint64 stored = 0;
        for (const SeriesKey& k : a->series(f))
            for (const SeriesPiece& piece : a->samples(k, 0, std::numeric_limits<qint64>::max() / 2, f))
                stored += qint64(piece.values.size());
        qint64 claimed = 0;
        for (const Readout& r : readouts) {
            EXPECT_EQ(r.counts.samplesNew, 8000);  // all or nothing
            claimed += r.counts.samplesNew;
        }
        EXPECT_EQ(stored, claimed);
        if (complete) {
            EXPECT_EQ(stored, expected);
        }
    };
    check(false);
    const fakes::CliRun again = fakes::runCli(
        {QStringLiteral("archive"), QStringLiteral("import"), folder, QStringLiteral("--db"), db}, home.path());
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
    check(true);
}

TEST(Archive, ASaveWhoseImportFailsKeepsTheDataFile) {
    fakes::TestContext t;
    ArchiveOnSave sink(t.ctx.folders);
    t.ctx.dataFiles->readoutSink = &sink;
    t.ctx.pendingLogger->loggerModel = 4;
    struct Row {
        const char* name;
        QString location;  // of the archive
        bool imported;
    };
    filetest::writeBytes(t.root + QStringLiteral("/plain"), "x");
    const std::vector<Row> rows = {
        {"an archive that cannot be made", t.root + QStringLiteral("/plain/sub/a.sqlite"), false},
        {"an archive that can", t.root + QStringLiteral("/a.sqlite"), true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ArchiveSettings settings;
        settings.location = row.location;
        ASSERT_EQ(saveArchiveSettings(settings, archiveSettingsFile(t.ctx.folders)).error, SaveError::None);
        AppContext& ctx = t.ctx;
        ASSERT_EQ(loadDataBytes(ctx, fileBytes({block(kStart, ramp(20))}), true), 0);
        rebuildTimeAxis(ctx.store);
        ctx.store.unsavedRead = 1;  // a read-out not yet saved
        const QString target = t.root + QStringLiteral("/%1.ql6").arg(row.imported);
        t.dialogs.answers.push_back(target);
        EXPECT_EQ(runFileOperation(ctx, kSaveAs), FileOutcome::Done);
        EXPECT_EQ(filetest::readBytes(target), ql6Bytes(ctx.store));
        EXPECT_EQ(ctx.dataFiles->readoutSinkWord.isEmpty(), row.imported)
            << ctx.dataFiles->readoutSinkWord.toStdString();
        if (!row.imported) continue;
        ArchiveFailure f;
        const std::vector<Readout> all = openArchive(row.location, f)->readouts({}, f);
        ASSERT_EQ(all.size(), 1u);
        EXPECT_EQ(all[0].model, 4);
        EXPECT_EQ(all[0].path, target);
    }
}

// A server of the test's own, which it may stop and start.
struct OwnServer {
    QString folder = QStringLiteral("/tmp/quillet-pg-own-%1").arg(QCoreApplication::applicationPid());
    OwnServer() { script("start"); }
    ~OwnServer() { script("stop"); }
    void script(const char* action) const {
        EXPECT_EQ(QProcess::execute(kServerScript, {QString::fromLatin1(action), folder}), 0) << action;
    }
};

// Read-outs of five loggers, each read a little further than the one before.
QStringList overlappingFiles(const QString& folder, int count) {
    QDir().mkpath(folder);
    QStringList files;
    for (int i = 0; i < count; ++i) {
        files << QStringLiteral("%1/%2.ql6").arg(folder).arg(i, 3, 10, QLatin1Char('0'));
        filetest::writeBytes(files.back(), fileBytes({block(kStart, ramp(2000 + 100 * i), 9, 1 + i % 5, 12, 1)}));
    }
    return files;
}

TEST(SharedArchive, ThreeImportersAndARestartedServerStoreWhatOneSerialImportDoes) {
    OwnServer server;
    ServerDatabase db(server.folder);
    QTemporaryDir home;
    const QStringList files = overlappingFiles(home.filePath(QStringLiteral("files")), 30);
    qputenv("TZ", "Europe/Berlin");  // the importers take the loggers' times as the serial import below does
    // Three PCs at once, each with every file in another order.
    std::vector<std::unique_ptr<QProcess>> importers;
    for (int pc = 0; pc < 3; ++pc) {
        QStringList order = files;
        std::shuffle(order.begin(), order.end(), std::mt19937(pc));
        importers.push_back(std::make_unique<QProcess>());
        importers.back()->start(fakes::kCli, QStringList{QStringLiteral("archive"), QStringLiteral("import")} + order +
                                                 QStringList{QStringLiteral("--db"), db.location()});
    }
    QThread::msleep(300);
    server.script("restart");
    for (auto& p : importers) p->waitForFinished(120000);
    // What failed while the server was away goes in on the next try.
    const fakes::CliRun again = fakes::runCli(
        QStringList{QStringLiteral("archive"), QStringLiteral("import")} + files + QStringList{"--db", db.location()},
        home.path(), 120000);
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();

    Scratch serial;
    for (const QString& f : files) serial.import(filetest::readBytes(f));
    ArchiveFailure failure;
    std::unique_ptr<Archive> shared = openArchive(db.location(), failure);
    ASSERT_TRUE(shared);
    expectSameContent(Scratch::contentOf(*shared), serial.content());
    EXPECT_EQ(shared->readouts({}, failure).size(), size_t(files.size()));  // each file once
    // The hour summaries as well: the trend's columns (an hour and more each) of each logger.
    auto columns = [](Archive& a, const SeriesKey& k) {
        ArchiveFailure f;
        QStringList out;
        const qint64 from = QDateTime(kStart.date(), QTime(0, 0), kBerlin).toSecsSinceEpoch();
        for (const TrendColumn& c : archiveColumns(a, k, {from, from + 5 * 86400 - 1}, 97, f))
            out << QStringLiteral("%1 %2 %3 %4 %5 %6")
                       .arg(c.any)
                       .arg(c.min)
                       .arg(c.max)
                       .arg(c.first)
                       .arg(c.last)
                       .arg(c.joinsPrevious);
        EXPECT_FALSE(f) << f.detail.toStdString();
        return out;
    };
    for (const SeriesKey& k : serial.archive->series(failure))
        expectSameContent(columns(*shared, k), columns(*serial.archive, k));
}

TEST(SharedArchive, APushCutShortWaitsAndCompletesOnceTheServerIsBack) {
    OwnServer server;
    ServerDatabase db(server.folder);
    Scratch local;
    for (int i = 0; i < 6; ++i) local.import(fileBytes({block(kStart.addDays(60 * i), ramp(1000), 9, 1 + i)}));
    ArchiveFailure failure;
    std::unique_ptr<Archive> shared = openArchive(db.location(), failure);
    ASSERT_TRUE(shared);
    // The server goes away after the second read-out.
    const SyncSummary cut = pushArchive(*local.archive, *shared, [&](int done, int) {
        if (done == 2) server.script("halt");
    });
    EXPECT_EQ(cut.copied, 2);
    EXPECT_EQ(cut.waiting, 4);
    EXPECT_TRUE(cut.failure);
    EXPECT_EQ(waitingFor(*local.archive, db.location()), 4);

    server.script("resume");
    shared = openArchive(db.location(), failure);
    ASSERT_TRUE(shared);
    const SyncSummary rest = pushArchive(*local.archive, *shared);
    EXPECT_EQ(rest.copied, 4);
    EXPECT_EQ(rest.waiting, 0);
    expectSameContent(Scratch::contentOf(*shared), local.content());
    // Pushing again adds nothing.
    EXPECT_EQ(pushArchive(*local.archive, *shared).copied, 0);
}

TEST(SharedArchive, CopiesFromSqliteToPostgresAndBackKeepEverything) {
    Scratch first;
    std::vector<int> changed = ramp(300);
    changed[5] = 77;
    first.import(fileBytes({block(kStart, ramp(300))}), QStringLiteral("a.ql6"));
    first.import(fileBytes({block(kStart, changed), block(kStart, ramp(300, 400), 18)}), QStringLiteral("b.ql6"));
    first.import(fileBytes({block(kStart.addDays(9), ramp(50), 1, 9, 9)}), QStringLiteral("c.ql6"));
    Scratch server(Backend::Postgres);
    Scratch back;
    EXPECT_EQ(copyArchive(*first.archive, *server.archive).copied, 3);
    EXPECT_EQ(copyArchive(*server.archive, *back.archive).copied, 3);
    EXPECT_EQ(copyArchive(*first.archive, *server.archive).known, 3);  // idempotent
    expectSameContent(server.content(), first.content());
    expectSameContent(back.content(), first.content());
    ArchiveFailure f;
    const std::vector<Readout> a = first.archive->readouts({}, f);
    const std::vector<Readout> b = back.archive->readouts({}, f);
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].sha256, b[i].sha256);
        EXPECT_EQ(a[i].path, b[i].path);
        EXPECT_EQ(a[i].importedUtc, b[i].importedUtc);
        EXPECT_EQ(a[i].zone, b[i].zone);
        EXPECT_EQ(a[i].counts.conflicts, b[i].counts.conflicts);  // the conflict travels with its read-out
    }
}

}  // namespace
}  // namespace quillet::archive
