// The archive on an SQLite file: WAL, every import one transaction with
// full durability, samples in one table keyed by (series, instant).
#include "archive/backends.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <sqlite3.h>

#include <array>
#include <map>

namespace quillet::archive {
namespace {

// The header fields of a read-out's channel, one column each.
QByteArray schema() {
    QByteArray headerColumns;
    for (const HeaderColumn& c : kHeaderColumns) headerColumns += QByteArray("  ") + c.name + " INTEGER NOT NULL,\n";
    return R"(
CREATE TABLE IF NOT EXISTS meta(key TEXT PRIMARY KEY, value TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS readout(
  id INTEGER PRIMARY KEY,
  sha256 TEXT NOT NULL UNIQUE,
  path TEXT NOT NULL,
  imported_utc INTEGER NOT NULL,
  host TEXT NOT NULL,
  os_user TEXT NOT NULL,
  site TEXT NOT NULL,
  model INTEGER NOT NULL,
  zone TEXT NOT NULL,
  zone_offset INTEGER NOT NULL,
  first_utc INTEGER NOT NULL,
  last_utc INTEGER NOT NULL,
  samples_new INTEGER NOT NULL,
  samples_known INTEGER NOT NULL,
  conflicts INTEGER NOT NULL);
CREATE INDEX IF NOT EXISTS readout_time ON readout(first_utc, last_utc);
CREATE TABLE IF NOT EXISTS series(
  id INTEGER PRIMARY KEY,
  card INTEGER NOT NULL,
  test INTEGER NOT NULL,
  logger_channel INTEGER NOT NULL,
  kind INTEGER NOT NULL,
  UNIQUE(card, test, logger_channel, kind));
CREATE TABLE IF NOT EXISTS readout_channel(
  readout INTEGER NOT NULL REFERENCES readout(id),
  position INTEGER NOT NULL,
  series INTEGER NOT NULL REFERENCES series(id),
  start_utc INTEGER NOT NULL,
  interval_s INTEGER NOT NULL,
  samples INTEGER NOT NULL,
)" + headerColumns +
           R"(  integrated_value INTEGER NOT NULL,
  PRIMARY KEY(readout, position)) WITHOUT ROWID;
CREATE INDEX IF NOT EXISTS readout_channel_series ON readout_channel(series, start_utc);
CREATE TABLE IF NOT EXISTS sample(
  series INTEGER NOT NULL,
  t INTEGER NOT NULL,
  value INTEGER NOT NULL,
  readout INTEGER NOT NULL,
  PRIMARY KEY(series, t)) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS sample_hour(
  series INTEGER NOT NULL,
  hour INTEGER NOT NULL,
  first_s INTEGER NOT NULL,
  first_readout INTEGER NOT NULL,
  first_valid INTEGER NOT NULL,
  last_s INTEGER NOT NULL,
  last_valid INTEGER NOT NULL,
  valid INTEGER NOT NULL,
  min_value INTEGER NOT NULL,
  max_value INTEGER NOT NULL,
  lead INTEGER NOT NULL,
  trail INTEGER NOT NULL,
  trail_readout INTEGER NOT NULL,
  PRIMARY KEY(series, hour)) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS conflict(
  readout INTEGER NOT NULL,
  series INTEGER NOT NULL,
  t INTEGER NOT NULL,
  value INTEGER NOT NULL,
  PRIMARY KEY(readout, series, t)) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS pushed(
  readout INTEGER NOT NULL,
  target TEXT NOT NULL,
  PRIMARY KEY(readout, target)) WITHOUT ROWID;
)";
}

ArchiveError errorOf(int code) {
    switch (code & 0xff) {
    case SQLITE_OK:
    case SQLITE_DONE:
    case SQLITE_ROW: return ArchiveError::None;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return ArchiveError::Busy;
    case SQLITE_FULL: return ArchiveError::DiskFull;
    case SQLITE_READONLY:
    case SQLITE_PERM: return ArchiveError::ReadOnly;
    case SQLITE_CANTOPEN:
    case SQLITE_AUTH: return ArchiveError::CannotOpen;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB: return ArchiveError::Damaged;
    default: return ArchiveError::Failed;
    }
}

// A prepared statement, reset for its next use when it goes out of scope.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) { rc_ = sqlite3_prepare_v2(db, sql, -1, &s_, nullptr); }
    ~Statement() { sqlite3_finalize(s_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool ok() const { return rc_ == SQLITE_OK || rc_ == SQLITE_ROW || rc_ == SQLITE_DONE; }
    int code() const { return rc_; }
    Statement& bind(int i, qint64 v) {
        if (ok()) rc_ = sqlite3_bind_int64(s_, i, v);
        return *this;
    }
    Statement& bind(int i, const QString& v) {
        const QByteArray u = v.toUtf8();
        if (ok()) rc_ = sqlite3_bind_text(s_, i, u.constData(), int(u.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Statement& bind(int i, const QByteArray& v) {
        if (ok()) rc_ = sqlite3_bind_text(s_, i, v.constData(), int(v.size()), SQLITE_TRANSIENT);
        return *this;
    }
    // True while there is a row; after the last, ok() tells a failure.
    bool step() {
        if (!ok()) return false;
        rc_ = sqlite3_step(s_);
        return rc_ == SQLITE_ROW;
    }
    void reset() {
        sqlite3_reset(s_);
        if (rc_ == SQLITE_ROW || rc_ == SQLITE_DONE) rc_ = SQLITE_OK;
    }
    qint64 integer(int col) const { return sqlite3_column_int64(s_, col); }
    QString text(int col) const {
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s_, col)),
                                 sqlite3_column_bytes(s_, col));
    }
    QByteArray bytes(int col) const {
        return QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(s_, col)), sqlite3_column_bytes(s_, col));
    }
    sqlite3_stmt* raw() { return s_; }

private:
    sqlite3_stmt* s_ = nullptr;
    int rc_ = SQLITE_OK;
};

class SqliteArchive : public Archive {
public:
    SqliteArchive(QString location, sqlite3* db) : location_(std::move(location)), db_(db) {}
    ~SqliteArchive() override {
        endBatch();
        sqlite3_close_v2(db_);
    }

    QString location() const override { return location_; }

    ArchiveFailure failure(int code) const {
        return {errorOf(code), QString::fromUtf8(sqlite3_errstr(code)) + QStringLiteral(": ") +
                                   QString::fromUtf8(sqlite3_errmsg(db_))};
    }
    int exec(const char* sql) { return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr); }

    ArchiveFailure prepareSchema() {
        if (int rc = exec("PRAGMA journal_mode=WAL"); rc != SQLITE_OK) return failure(rc);
        if (int rc = exec("PRAGMA synchronous=FULL"); rc != SQLITE_OK) return failure(rc);
        if (int rc = exec("BEGIN IMMEDIATE"); rc != SQLITE_OK) return failure(rc);
        int rc = exec(schema().constData());
        if (rc == SQLITE_OK) {
            Statement version(db_, "SELECT value FROM meta WHERE key = 'schema'");
            if (version.step()) {
                const int stored = version.text(0).toInt();
                if (stored > kSchemaVersion) {
                    exec("ROLLBACK");
                    return {ArchiveError::CannotOpen, QStringLiteral("schema %1 is newer than this program's %2")
                                                          .arg(version.text(0))
                                                          .arg(kSchemaVersion)};
                }
                version.reset();
                // Version 1 kept no hour summaries: they are made of the samples.
                if (stored < 2) rc = summarizeAllHours();
                if (rc == SQLITE_OK && stored < kSchemaVersion)
                    rc = exec(QByteArray("UPDATE meta SET value = '" + QByteArray::number(kSchemaVersion) +
                                         "' WHERE key = 'schema'")
                                  .constData());
            } else if (version.ok()) {
                rc = exec(QByteArray("INSERT INTO meta(key, value) VALUES ('schema', '" +
                                     QByteArray::number(kSchemaVersion) + "')")
                              .constData());
            } else {
                rc = version.code();
            }
        }
        if (rc == SQLITE_OK) rc = exec("COMMIT");
        if (rc != SQLITE_OK) {
            const ArchiveFailure f = failure(rc);
            exec("ROLLBACK");
            return f;
        }
        return {};
    }

    ImportResult import(const Readout& r) override {
        ImportResult result;
        // Alone, a transaction of its own; in a batch, a savepoint within
        // the batch's transaction: all or nothing either way.
        const bool alone = !batch_;
        if (batch_ && !batchOpen_) {
            if (int rc = exec("BEGIN IMMEDIATE"); rc != SQLITE_OK) {
                result.failure = failure(rc);
                return result;
            }
            batchOpen_ = true;
        }
        int rc = exec(alone ? "BEGIN IMMEDIATE" : "SAVEPOINT readout");
        if (rc != SQLITE_OK) {
            result.failure = failure(rc);
            return result;
        }
        rc = importWithin(r, result);
        if (rc == SQLITE_OK && result.outcome == ImportOutcome::Stored) rc = exec(alone ? "COMMIT" : "RELEASE readout");
        if (rc != SQLITE_OK) {
            result.failure = failure(rc);
            result.outcome = ImportOutcome::Failed;
            result.counts = {};
        }
        if (rc != SQLITE_OK || result.outcome != ImportOutcome::Stored) {
            if (alone) {
                exec("ROLLBACK");
            } else {
                exec("ROLLBACK TO readout");
                exec("RELEASE readout");
            }
        }
        return result;
    }

    void beginBatch() override { batch_ = true; }
    ArchiveFailure commitBatch() override {
        if (!batchOpen_) return {};
        batchOpen_ = false;
        if (int rc = exec("COMMIT"); rc != SQLITE_OK) {
            const ArchiveFailure f = failure(rc);
            exec("ROLLBACK");
            return f;
        }
        return {};
    }
    ArchiveFailure endBatch() override {
        const ArchiveFailure f = commitBatch();
        batch_ = false;
        return f;
    }

    // The import's statements within its transaction; an SQLite code.
    int importWithin(const Readout& r, ImportResult& result) {
        {
            Statement known(db_, "SELECT id FROM readout WHERE sha256 = ?");
            known.bind(1, r.sha256);
            if (known.step()) {
                result.outcome = ImportOutcome::AlreadyKnown;
                result.readoutId = known.integer(0);
                return SQLITE_OK;
            }
            if (!known.ok()) return known.code();
        }
        qint64 first = 0;
        qint64 last = 0;
        bool any = false;
        for (const ReadoutChannel& c : r.channels) {
            if (c.samples.empty()) continue;
            const qint64 end = c.startUtc + qint64(c.samples.size() - 1) * c.intervalSeconds;
            first = any ? std::min(first, c.startUtc) : c.startUtc;
            last = any ? std::max(last, end) : end;
            any = true;
        }
        Statement add(db_,
                      "INSERT INTO readout(sha256, path, imported_utc, host, os_user, site, model, zone, zone_offset,"
                      " first_utc, last_utc, samples_new, samples_known, conflicts)"
                      " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 0, 0, 0)");
        add.bind(1, r.sha256)
            .bind(2, r.path)
            .bind(3, r.importedUtc)
            .bind(4, r.host)
            .bind(5, r.user)
            .bind(6, r.site)
            .bind(7, r.model)
            .bind(8, r.zone)
            .bind(9, r.zoneOffset)
            .bind(10, first)
            .bind(11, last);
        add.step();
        if (!add.ok()) return add.code();
        const qint64 id = sqlite3_last_insert_rowid(db_);

        QByteArray channelSql =
            "INSERT INTO readout_channel(readout, position, series, start_utc, interval_s, samples, " +
            headerColumnList() + ") VALUES (?, ?, ?, ?, ?, ?";
        for (size_t i = 0; i <= kHeaderColumns.size(); ++i) channelSql += ", ?";
        channelSql += ")";
        Statement channel(db_, channelSql.constData());
        Statement insert(db_,
                         "INSERT INTO sample(series, t, value, readout) VALUES (?, ?, ?, ?) ON CONFLICT DO NOTHING");
        Statement stored(db_, "SELECT value FROM sample WHERE series = ? AND t = ?");
        Statement conflict(db_, "INSERT OR IGNORE INTO conflict(readout, series, t, value) VALUES (?, ?, ?, ?)");
        for (const ReadoutChannel& c : r.channels) {
            qint64 series = 0;
            if (int rc = seriesId(c.series, series); rc != SQLITE_OK) return rc;
            channel.bind(1, id)
                .bind(2, c.position)
                .bind(3, series)
                .bind(4, c.startUtc)
                .bind(5, c.intervalSeconds)
                .bind(6, qint64(c.samples.size()));
            int col = 7;
            for (const HeaderColumn& h : kHeaderColumns) channel.bind(col++, c.header.*h.field);
            channel.bind(col, c.header.integratedValue);
            channel.step();
            if (!channel.ok()) return channel.code();
            channel.reset();

            sqlite3_stmt* in = insert.raw();
            sqlite3_bind_int64(in, 1, series);
            sqlite3_bind_int64(in, 4, id);
            for (size_t i = 0; i < c.samples.size(); ++i) {
                const qint64 t = c.startUtc + qint64(i) * c.intervalSeconds;
                sqlite3_bind_int64(in, 2, t);
                sqlite3_bind_int(in, 3, c.samples[i]);
                if (int rc = sqlite3_step(in); rc != SQLITE_DONE) return rc;
                sqlite3_reset(in);
                if (sqlite3_changes(db_) == 1) {
                    ++result.counts.samplesNew;
                    continue;
                }
                stored.bind(1, series).bind(2, t);
                if (!stored.step()) return stored.ok() ? SQLITE_CORRUPT : stored.code();
                const qint64 value = stored.integer(0);
                stored.reset();
                if (value == c.samples[i]) {
                    ++result.counts.samplesKnown;
                    continue;
                }
                ++result.counts.conflicts;
                conflict.bind(1, id).bind(2, series).bind(3, t).bind(4, c.samples[i]);
                conflict.step();
                if (!conflict.ok()) return conflict.code();
                conflict.reset();
            }
            if (!c.samples.empty())
                if (int rc = summarizeHours(series, c.startUtc,
                                            c.startUtc + qint64(c.samples.size() - 1) * c.intervalSeconds);
                    rc != SQLITE_OK)
                    return rc;
        }
        Statement counts(db_, "UPDATE readout SET samples_new = ?, samples_known = ?, conflicts = ? WHERE id = ?");
        counts.bind(1, result.counts.samplesNew)
            .bind(2, result.counts.samplesKnown)
            .bind(3, result.counts.conflicts)
            .bind(4, id);
        counts.step();
        if (!counts.ok()) return counts.code();
        result.outcome = ImportOutcome::Stored;
        result.readoutId = id;
        return SQLITE_OK;
    }

    // The hour summaries of the series over the hours of fromUtc..toUtc,
    // made anew of the samples stored.
    int summarizeHours(qint64 series, qint64 fromUtc, qint64 toUtc) {
        Statement q(db_, "SELECT t, value, readout FROM sample WHERE series = ? AND t BETWEEN ? AND ? ORDER BY t");
        q.bind(1, series).bind(2, (fromUtc / 3600 - (fromUtc % 3600 < 0)) * 3600);
        q.bind(3, (toUtc / 3600 - (toUtc % 3600 < 0)) * 3600 + 3599);
        HourBuilder hours;
        while (q.step()) hours.add(q.integer(0), int16_t(q.integer(1)), q.integer(2));
        return q.ok() ? storeHours(series, hours.take()) : q.code();
    }
    int summarizeAllHours() {
        Statement q(db_, "SELECT series, t, value, readout FROM sample ORDER BY series, t");
        HourBuilder hours;
        qint64 series = 0;
        while (q.step()) {
            if (q.integer(0) != series) {
                if (int rc = storeHours(series, hours.take()); rc != SQLITE_OK) return rc;
                series = q.integer(0);
            }
            hours.add(q.integer(1), int16_t(q.integer(2)), q.integer(3));
        }
        return q.ok() ? storeHours(series, hours.take()) : q.code();
    }
    int storeHours(qint64 series, const std::vector<HourSummary>& hours) {
        Statement put(db_,
                      "INSERT OR REPLACE INTO sample_hour(series, hour, first_s, first_readout, first_valid, last_s,"
                      " last_valid, valid, min_value, max_value, lead, trail, trail_readout)"
                      " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        for (const HourSummary& h : hours) {
            put.bind(1, series).bind(2, h.hour).bind(3, h.firstUtc - h.hour * 3600).bind(4, h.firstReadout);
            put.bind(5, h.firstValid).bind(6, h.lastUtc - h.hour * 3600).bind(7, h.lastValid).bind(8, h.valid);
            put.bind(9, h.min).bind(10, h.max).bind(11, h.lead).bind(12, h.trail).bind(13, h.trailReadout);
            put.step();
            if (!put.ok()) return put.code();
            put.reset();
        }
        return SQLITE_OK;
    }

    int seriesId(const SeriesKey& k, qint64& id) {
        const auto cached = seriesIds_.find(k);
        if (cached != seriesIds_.end()) {
            id = cached->second;
            return SQLITE_OK;
        }
        Statement add(db_,
                      "INSERT INTO series(card, test, logger_channel, kind) VALUES (?, ?, ?, ?)"
                      " ON CONFLICT DO NOTHING");
        add.bind(1, k.card).bind(2, k.test).bind(3, k.loggerChannel).bind(4, k.kind);
        add.step();
        if (!add.ok()) return add.code();
        Statement find(db_, "SELECT id FROM series WHERE card = ? AND test = ? AND logger_channel = ? AND kind = ?");
        find.bind(1, k.card).bind(2, k.test).bind(3, k.loggerChannel).bind(4, k.kind);
        if (!find.step()) return find.ok() ? SQLITE_CORRUPT : find.code();
        id = find.integer(0);
        // Not cached: a rolled-back import would leave an id that was never stored.
        return SQLITE_OK;
    }

    static constexpr const char* kReadoutColumns =
        "id, sha256, path, imported_utc, host, os_user, site, model, zone, zone_offset, first_utc, last_utc,"
        " samples_new, samples_known, conflicts";

    static Readout readoutOf(const Statement& s) {
        Readout r;
        r.id = s.integer(0);
        r.sha256 = s.bytes(1);
        r.path = s.text(2);
        r.importedUtc = s.integer(3);
        r.host = s.text(4);
        r.user = s.text(5);
        r.site = s.text(6);
        r.model = int(s.integer(7));
        r.zone = s.text(8);
        r.zoneOffset = int(s.integer(9));
        r.firstUtc = s.integer(10);
        r.lastUtc = s.integer(11);
        r.counts = {s.integer(12), s.integer(13), s.integer(14)};
        return r;
    }

    // The channels of read-out r, without samples.
    int channelsOf(Readout& r) {
        const QByteArray sql =
            "SELECT rc.position, s.card, s.test, s.logger_channel, s.kind, rc.start_utc, rc.interval_s, rc.samples, " +
            headerColumnList("rc.") +
            " FROM readout_channel rc JOIN series s ON s.id = rc.series WHERE rc.readout = ? ORDER BY rc.position";
        Statement q(db_, sql.constData());
        q.bind(1, r.id);
        while (q.step()) {
            ReadoutChannel c;
            c.position = int(q.integer(0));
            c.series = {int(q.integer(1)), int(q.integer(2)), int(q.integer(3)), int(q.integer(4))};
            c.startUtc = q.integer(5);
            c.intervalSeconds = int(q.integer(6));
            c.count = int(q.integer(7));
            int col = 8;
            for (const HeaderColumn& h : kHeaderColumns) c.header.*h.field = int16_t(q.integer(col++));
            c.header.integratedValue = int32_t(q.integer(col));
            r.channels.push_back(std::move(c));
        }
        return q.ok() ? SQLITE_OK : q.code();
    }

    std::vector<Readout> readouts(const ReadoutFilter& f, ArchiveFailure& fail) override {
        QByteArray sql = QByteArray("SELECT ") + kReadoutColumns + " FROM readout WHERE 1";
        if (f.card || f.test)
            sql +=
                " AND id IN (SELECT readout FROM readout_channel WHERE (?1 IS NULL OR card = ?1)"
                " AND (?2 IS NULL OR test = ?2))";
        if (f.fromUtc) sql += " AND last_utc >= ?3";
        if (f.toUtc) sql += " AND first_utc <= ?4";
        if (f.site) sql += " AND site = ?5";
        sql += " ORDER BY first_utc, id";
        Statement q(db_, sql.constData());
        if (f.card) q.bind(1, *f.card);
        if (f.test) q.bind(2, *f.test);
        if (f.fromUtc) q.bind(3, *f.fromUtc);
        if (f.toUtc) q.bind(4, *f.toUtc);
        if (f.site) q.bind(5, *f.site);
        std::vector<Readout> out;
        while (q.step()) out.push_back(readoutOf(q));
        if (!q.ok()) {
            fail = failure(q.code());
            return {};
        }
        for (Readout& r : out)
            if (int rc = channelsOf(r); rc != SQLITE_OK) {
                fail = failure(rc);
                return {};
            }
        return out;
    }

    std::optional<Readout> readout(qint64 id, WithSamples withSamples, ArchiveFailure& fail) override {
        Statement q(db_, (QByteArray("SELECT ") + kReadoutColumns + " FROM readout WHERE id = ?").constData());
        q.bind(1, id);
        if (!q.step()) {
            if (!q.ok()) fail = failure(q.code());
            return std::nullopt;
        }
        Readout r = readoutOf(q);
        if (int rc = channelsOf(r); rc != SQLITE_OK) {
            fail = failure(rc);
            return std::nullopt;
        }
        if (withSamples == WithSamples::No) return r;
        // The values stored at the channel's instants: its own, or the
        // first read-out's where it brought another.
        Statement s(db_,
                    "SELECT t, value FROM sample WHERE series = (SELECT series FROM readout_channel"
                    " WHERE readout = ? AND position = ?) AND t BETWEEN ? AND ?");
        for (ReadoutChannel& c : r.channels) {
            c.samples.assign(size_t(c.count), kErrorSample);
            s.bind(1, id).bind(2, c.position).bind(3, c.startUtc).bind(4, c.lastUtc());
            while (s.step()) {
                const qint64 offset = s.integer(0) - c.startUtc;
                if (c.intervalSeconds > 0 && offset % c.intervalSeconds == 0)
                    c.samples[size_t(offset / c.intervalSeconds)] = int16_t(s.integer(1));
            }
            if (!s.ok()) {
                fail = failure(s.code());
                return std::nullopt;
            }
            s.reset();
        }
        return r;
    }

    std::optional<qint64> readoutWithSha(const QByteArray& sha256, ArchiveFailure& fail) override {
        Statement q(db_, "SELECT id FROM readout WHERE sha256 = ?");
        q.bind(1, sha256);
        if (q.step()) return q.integer(0);
        if (!q.ok()) fail = failure(q.code());
        return std::nullopt;
    }

    std::vector<Conflict> conflicts(qint64 readoutId, ArchiveFailure& fail) override {
        Statement q(db_,
                    "SELECT s.card, s.test, s.logger_channel, s.kind, c.t, m.value, c.value FROM conflict c"
                    " JOIN series s ON s.id = c.series JOIN sample m ON m.series = c.series AND m.t = c.t"
                    " WHERE c.readout = ? ORDER BY c.series, c.t");
        q.bind(1, readoutId);
        std::vector<Conflict> out;
        while (q.step())
            out.push_back({{int(q.integer(0)), int(q.integer(1)), int(q.integer(2)), int(q.integer(3))},
                           q.integer(4),
                           int16_t(q.integer(5)),
                           int16_t(q.integer(6))});
        if (!q.ok()) fail = failure(q.code());
        return out;
    }

    std::vector<SeriesKey> series(ArchiveFailure& fail) override {
        Statement q(db_,
                    "SELECT card, test, logger_channel, kind FROM series ORDER BY card, test, logger_channel, kind");
        std::vector<SeriesKey> out;
        while (q.step()) out.push_back({int(q.integer(0)), int(q.integer(1)), int(q.integer(2)), int(q.integer(3))});
        if (!q.ok()) fail = failure(q.code());
        return out;
    }

    // The channels of the read-outs that stored samples of the series:
    // their intervals and headers.
    int channelsOf(const SeriesKey& k, std::map<qint64, std::pair<int, ChannelHeader>>& channels) {
        const QByteArray sql = "SELECT readout, interval_s, " + headerColumnList() +
                               " FROM readout_channel WHERE series = (SELECT id FROM series WHERE card = ? AND"
                               " test = ? AND logger_channel = ? AND kind = ?)";
        Statement q(db_, sql.constData());
        q.bind(1, k.card).bind(2, k.test).bind(3, k.loggerChannel).bind(4, k.kind);
        while (q.step()) {
            ChannelHeader h;
            int col = 2;
            for (const HeaderColumn& c : kHeaderColumns) h.*c.field = int16_t(q.integer(col++));
            h.integratedValue = int32_t(q.integer(col));
            channels[q.integer(0)] = {int(q.integer(1)), h};
        }
        return q.ok() ? SQLITE_OK : q.code();
    }

    std::vector<SeriesPiece> samples(const SeriesKey& k, qint64 fromUtc, qint64 toUtc, ArchiveFailure& fail) override {
        std::map<qint64, std::pair<int, ChannelHeader>> channels;
        if (int rc = channelsOf(k, channels); rc != SQLITE_OK) {
            fail = failure(rc);
            return {};
        }
        Statement q(db_,
                    "SELECT t, value, readout FROM sample WHERE series = (SELECT id FROM series WHERE card = ? AND"
                    " test = ? AND logger_channel = ? AND kind = ?) AND t BETWEEN ? AND ? ORDER BY t");
        q.bind(1, k.card).bind(2, k.test).bind(3, k.loggerChannel).bind(4, k.kind).bind(5, fromUtc).bind(6, toUtc);
        sqlite3_stmt* raw = q.raw();
        PieceBuilder pieces(std::move(channels));
        while (q.step())
            pieces.add(sqlite3_column_int64(raw, 0), int16_t(sqlite3_column_int(raw, 1)), sqlite3_column_int64(raw, 2));
        if (!q.ok()) {
            fail = failure(q.code());
            return {};
        }
        return pieces.take();
    }

    SeriesOutline outline(const SeriesKey& k, qint64 fromUtc, qint64 toUtc, int width, ArchiveFailure& fail) override {
        SeriesOutline out;
        int rc = channelsOf(k, out.channels);
        const char* series =
            "(SELECT id FROM series WHERE card = ?1 AND test = ?2 AND logger_channel = ?3 AND kind = ?4)";
        Statement hours(db_, (QByteArray("SELECT hour, first_s, first_readout, first_valid, last_s, last_valid, valid,"
                                         " min_value, max_value, lead, trail, trail_readout FROM sample_hour"
                                         " WHERE series = ") +
                              series + " AND hour BETWEEN ?5 AND ?6 ORDER BY hour")
                                 .constData());
        hours.bind(1, k.card).bind(2, k.test).bind(3, k.loggerChannel).bind(4, k.kind);
        hours.bind(5, fromUtc / 3600 - (fromUtc % 3600 < 0)).bind(6, toUtc / 3600 - (toUtc % 3600 < 0));
        while (rc == SQLITE_OK && hours.step()) {
            HourSummary h;
            h.hour = hours.integer(0);
            if (!hourInOneColumn(h.hour, fromUtc, toUtc, width)) continue;
            h.firstUtc = h.hour * 3600 + hours.integer(1);
            h.firstReadout = hours.integer(2);
            h.firstValid = hours.integer(3) != 0;
            h.lastUtc = h.hour * 3600 + hours.integer(4);
            h.lastValid = hours.integer(5) != 0;
            h.valid = int(hours.integer(6));
            h.min = int16_t(hours.integer(7));
            h.max = int16_t(hours.integer(8));
            h.lead = int16_t(hours.integer(9));
            h.trail = int16_t(hours.integer(10));
            h.trailReadout = hours.integer(11);
            out.hours.push_back(h);
        }
        if (rc == SQLITE_OK && !hours.ok()) rc = hours.code();
        Statement samples(db_, (QByteArray("SELECT t, value, readout FROM sample WHERE series = ") + series +
                                " AND t BETWEEN ?5 AND ?6 ORDER BY t")
                                   .constData());
        samples.bind(1, k.card).bind(2, k.test).bind(3, k.loggerChannel).bind(4, k.kind);
        sqlite3_stmt* raw = samples.raw();
        for (const auto& [first, last] : outlineSampleRanges(fromUtc, toUtc, out.hours)) {
            if (rc != SQLITE_OK) break;
            samples.bind(5, first).bind(6, last);
            while (samples.step())
                out.samples.push_back(
                    {sqlite3_column_int64(raw, 0), int16_t(sqlite3_column_int(raw, 1)), sqlite3_column_int64(raw, 2)});
            if (!samples.ok()) rc = samples.code();
            samples.reset();
        }
        if (rc != SQLITE_OK) {
            fail = failure(rc);
            return {};
        }
        return out;
    }

    std::vector<qint64> notPushedTo(const QString& target, ArchiveFailure& fail) override {
        Statement q(db_,
                    "SELECT id FROM readout WHERE id NOT IN (SELECT readout FROM pushed WHERE target = ?) ORDER BY id");
        q.bind(1, target);
        std::vector<qint64> out;
        while (q.step()) out.push_back(q.integer(0));
        if (!q.ok()) fail = failure(q.code());
        return out;
    }

    ArchiveFailure markPushed(qint64 readoutId, const QString& target) override {
        Statement q(db_, "INSERT OR IGNORE INTO pushed(readout, target) VALUES (?, ?)");
        q.bind(1, readoutId).bind(2, target);
        q.step();
        return q.ok() ? ArchiveFailure{} : failure(q.code());
    }

    ArchiveFailure each(const QByteArray& sql, const std::vector<QByteArray>& params,
                        const std::function<void(const RowView&)>& row) override {
        // $1 is SQLite's ?1.
        QByteArray numbered = sql;
        for (qsizetype i = 0; i + 1 < numbered.size(); ++i)
            if (numbered[i] == '$' && numbered[i + 1] >= '0' && numbered[i + 1] <= '9') numbered[i] = '?';
        Statement q(db_, numbered.constData());
        if (!q.ok()) return failure(q.code());
        for (size_t i = 0; i < params.size(); ++i) {
            const QByteArray& p = params[i];
            const int rc = p.isNull()
                               ? sqlite3_bind_null(q.raw(), int(i) + 1)
                               : sqlite3_bind_text(q.raw(), int(i) + 1, p.constData(), int(p.size()), SQLITE_TRANSIENT);
            if (rc != SQLITE_OK) return failure(rc);
        }
        const int columns = sqlite3_column_count(q.raw());
        RowView values(static_cast<size_t>(columns));
        while (q.step()) {
            for (int c = 0; c < columns; ++c) {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(q.raw(), c));
                values[size_t(c)] = text ? QByteArrayView(text, sqlite3_column_bytes(q.raw(), c)) : QByteArrayView();
            }
            row(values);
        }
        return q.ok() ? ArchiveFailure{} : failure(q.code());
    }

    ArchiveFailure exclusively(const std::function<ArchiveFailure()>& body) override {
        const bool alone = !batchOpen_;
        if (int rc = exec(alone ? "BEGIN IMMEDIATE" : "SAVEPOINT records"); rc != SQLITE_OK) return failure(rc);
        ArchiveFailure f = body();
        if (!f) {
            if (int rc = exec(alone ? "COMMIT" : "RELEASE records"); rc != SQLITE_OK) f = failure(rc);
        }
        if (f) {
            if (alone) {
                exec("ROLLBACK");
            } else {
                exec("ROLLBACK TO records");
                exec("RELEASE records");
            }
        }
        return f;
    }

    bool onServer() const override { return false; }

private:
    QString location_;
    sqlite3* db_;
    bool batch_ = false;
    bool batchOpen_ = false;
    std::map<SeriesKey, qint64> seriesIds_;
};

}  // namespace

bool onNetworkFileSystem(const QString& path) {
    QFileInfo info(path);
    QString probe = info.absoluteFilePath();
    while (!QFileInfo::exists(probe)) {
        const QString up = QFileInfo(probe).absolutePath();
        if (up == probe) break;
        probe = up;
    }
    const QByteArray type = QStorageInfo(probe).fileSystemType().toLower();
    for (const char* network : {"nfs", "cifs", "smb", "9p", "afs", "ncp", "fuse.sshfs", "davfs", "glusterfs", "ceph"})
        if (type.startsWith(network)) return true;
    return probe.startsWith(QStringLiteral("//")) || probe.startsWith(QStringLiteral("\\\\"));
}

std::unique_ptr<Archive> openFileArchive(const QString& location, ArchiveFailure& failure, OpenMode mode) {
    if (onNetworkFileSystem(location)) {
        failure = {ArchiveError::NetworkFolder, location};
        return nullptr;
    }
    if (mode == OpenMode::Existing && !QFileInfo::exists(location)) {
        failure = {ArchiveError::NotThere, location};
        return nullptr;
    }
    const QString folder = QFileInfo(location).absolutePath();
    if (!QDir().mkpath(folder)) {
        failure = {ArchiveError::CannotOpen, folder};
        return nullptr;
    }
    sqlite3* db = nullptr;
    // An archive's connection is used by one thread at a time, so SQLite
    // need not lock it on every call (a year of samples is read a column
    // call at a time).
    const int rc = sqlite3_open_v2(
        QFile::encodeName(location).constData(), &db,
        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOFOLLOW | SQLITE_OPEN_NOMUTEX, nullptr);
    auto archive = std::make_unique<SqliteArchive>(location, db);
    if (rc != SQLITE_OK) {
        failure = archive->failure(rc);
        return nullptr;
    }
    sqlite3_busy_timeout(db, 10000);
    sqlite3_extended_result_codes(db, 1);
    if ((failure = archive->prepareSchema())) return nullptr;
    return archive;
}

}  // namespace quillet::archive
