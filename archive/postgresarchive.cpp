// The archive on a PostgreSQL server, shared by several PCs: the same
// tables as the SQLite file, samples loaded by COPY into a staging table
// and moved with the same rule (the first value stays, the others are
// recorded as conflicts), every import one transaction. Two PCs importing
// one read-out at the same moment store it once: the import holds an
// advisory lock on the file's hash for its transaction.
#include "archive/backends.h"

#include <QtEndian>

#include <libpq-fe.h>

#include <algorithm>
#include <array>
#include <map>

namespace quillet::archive {
namespace {

QByteArray schema() {
    QByteArray headerColumns;
    for (const HeaderColumn& c : kHeaderColumns) headerColumns += QByteArray("  ") + c.name + " smallint NOT NULL,\n";
    return R"(
CREATE TABLE IF NOT EXISTS meta(key text PRIMARY KEY, value text NOT NULL);
CREATE TABLE IF NOT EXISTS readout(
  id bigserial PRIMARY KEY,
  sha256 text NOT NULL UNIQUE,
  path text NOT NULL,
  imported_utc bigint NOT NULL,
  host text NOT NULL,
  os_user text NOT NULL,
  site text NOT NULL,
  model integer NOT NULL,
  zone text NOT NULL,
  zone_offset integer NOT NULL,
  first_utc bigint NOT NULL,
  last_utc bigint NOT NULL,
  samples_new bigint NOT NULL,
  samples_known bigint NOT NULL,
  conflicts bigint NOT NULL);
CREATE INDEX IF NOT EXISTS readout_time ON readout(first_utc, last_utc);
CREATE TABLE IF NOT EXISTS series(
  id serial PRIMARY KEY,
  card integer NOT NULL,
  test integer NOT NULL,
  logger_channel integer NOT NULL,
  kind integer NOT NULL,
  UNIQUE(card, test, logger_channel, kind));
CREATE TABLE IF NOT EXISTS readout_channel(
  readout bigint NOT NULL REFERENCES readout(id),
  position integer NOT NULL,
  series integer NOT NULL REFERENCES series(id),
  start_utc bigint NOT NULL,
  interval_s integer NOT NULL,
  samples integer NOT NULL,
)" + headerColumns +
           R"(  integrated_value integer NOT NULL,
  PRIMARY KEY(readout, position));
CREATE INDEX IF NOT EXISTS readout_channel_series ON readout_channel(series, start_utc);
CREATE TABLE IF NOT EXISTS sample(
  series integer NOT NULL,
  t bigint NOT NULL,
  value smallint NOT NULL,
  readout bigint NOT NULL,
  PRIMARY KEY(series, t));
CREATE INDEX IF NOT EXISTS sample_time ON sample USING brin(t);
CREATE TABLE IF NOT EXISTS sample_hour(
  series integer NOT NULL,
  hour bigint NOT NULL,
  first_s integer NOT NULL,
  first_readout bigint NOT NULL,
  first_valid smallint NOT NULL,
  last_s integer NOT NULL,
  last_valid smallint NOT NULL,
  valid integer NOT NULL,
  min_value smallint NOT NULL,
  max_value smallint NOT NULL,
  lead smallint NOT NULL,
  trail smallint NOT NULL,
  trail_readout bigint NOT NULL,
  PRIMARY KEY(series, hour));
CREATE TABLE IF NOT EXISTS conflict(
  readout bigint NOT NULL,
  series integer NOT NULL,
  t bigint NOT NULL,
  value smallint NOT NULL,
  PRIMARY KEY(readout, series, t));
CREATE TABLE IF NOT EXISTS pushed(
  readout bigint NOT NULL,
  target text NOT NULL,
  PRIMARY KEY(readout, target));
)";
}

// A result, cleared when it goes out of scope.
class Result {
public:
    explicit Result(PGresult* r) : r_(r) {}
    ~Result() { PQclear(r_); }
    Result(const Result&) = delete;
    Result& operator=(const Result&) = delete;
    bool ok() const {
        const ExecStatusType s = PQresultStatus(r_);
        return s == PGRES_COMMAND_OK || s == PGRES_TUPLES_OK || s == PGRES_COPY_IN;
    }
    int rows() const { return PQntuples(r_); }
    qint64 integer(int row, int col) const { return QByteArray(PQgetvalue(r_, row, col)).toLongLong(); }
    QString text(int row, int col) const { return QString::fromUtf8(PQgetvalue(r_, row, col)); }
    QByteArray bytes(int row, int col) const { return QByteArray(PQgetvalue(r_, row, col)); }
    const char* state() const {
        const char* s = PQresultErrorField(r_, PG_DIAG_SQLSTATE);
        return s ? s : "";
    }
    PGresult* raw() const { return r_; }

private:
    PGresult* r_;
};

class PostgresArchive : public Archive {
public:
    PostgresArchive(QString location, PGconn* db) : location_(std::move(location)), db_(db) {}
    ~PostgresArchive() override {
        endBatch();
        PQfinish(db_);
    }

    QString location() const override { return location_; }

    ArchiveFailure failure(const char* state = "") const {
        const QString message = QString::fromUtf8(PQerrorMessage(db_)).trimmed();
        const QByteArray s(state);
        ArchiveError e = ArchiveError::Failed;
        if (PQstatus(db_) != CONNECTION_OK || s.startsWith("08"))
            e = ArchiveError::CannotOpen;
        else if (s == "53100")
            e = ArchiveError::DiskFull;
        else if (s == "42501" || s == "25006")
            e = ArchiveError::ReadOnly;
        else if (s.startsWith("40") || s == "55P03")
            e = ArchiveError::Busy;
        else if (s.startsWith("XX"))
            e = ArchiveError::Damaged;
        return {e, message};
    }

    // A statement with text parameters.
    PGresult* run(const char* sql, const std::vector<QByteArray>& params = {}) {
        std::vector<const char*> values;
        values.reserve(params.size());
        for (const QByteArray& p : params) values.push_back(p.constData());
        return PQexecParams(db_, sql, int(values.size()), nullptr, values.data(), nullptr, nullptr, 0);
    }
    static QByteArray n(qint64 v) { return QByteArray::number(v); }
    static QByteArray u(const QString& s) { return s.toUtf8(); }

    static qint64 hourStart(qint64 t) { return (t / 3600 - (t % 3600 < 0)) * 3600; }
    static constexpr qint64 kFarPast = -(qint64(1) << 62);
    static constexpr qint64 kFarFuture = qint64(1) << 62;

    // The samples of a series with instants in the ranges (both ends
    // included, apart), in time order; false when the server refused, its
    // SQLSTATE then in refused_.
    bool storedSamples(qint64 series, const std::vector<std::pair<qint64, qint64>>& ranges,
                       std::vector<StoredSample>& out) {
        QByteArray firsts = "{";
        QByteArray lasts = "{";
        for (const auto& [first, last] : ranges) {
            firsts += n(first) + ',';
            lasts += n(last) + ',';
        }
        firsts[firsts.size() - 1] = '}';
        lasts[lasts.size() - 1] = '}';
        if (ranges.empty()) firsts = lasts = "{}";
        const QByteArray id = n(series);
        const char* values[] = {id.constData(), firsts.constData(), lasts.constData()};
        // Binary results: three integers a row without text conversions.
        Result q(PQexecParams(db_,
                              "SELECT s.t, s.value, s.readout FROM unnest($2::bigint[], $3::bigint[]) r(a, b)"
                              " JOIN sample s ON s.series = $1 AND s.t BETWEEN r.a AND r.b ORDER BY s.t",
                              3, nullptr, values, nullptr, nullptr, 1));
        if (!q.ok()) {
            refused_ = QByteArray(q.state()).isEmpty() ? QByteArray("XX000") : QByteArray(q.state());
            return false;
        }
        auto be = [](const char* p, int bytes) {
            qint64 v = 0;
            for (int i = 0; i < bytes; ++i) v = (v << 8) | uint8_t(p[i]);
            if (bytes == 2) return qint64(int16_t(v));
            return v;
        };
        out.reserve(out.size() + size_t(q.rows()));
        for (int row = 0; row < q.rows(); ++row)
            out.push_back({be(PQgetvalue(q.raw(), row, 0), 8), int16_t(be(PQgetvalue(q.raw(), row, 1), 2)),
                           be(PQgetvalue(q.raw(), row, 2), 8)});
        return true;
    }

    // The hour summaries of the samples (of one series, in time order,
    // whole hours of them) stored in place of those there; false as above.
    bool storeHours(qint64 series, const std::vector<StoredSample>& samples) {
        HourBuilder builder;
        for (const StoredSample& x : samples) builder.add(x.utc, x.value, x.readout);
        const std::vector<HourSummary> hours = builder.take();
        if (hours.empty()) return true;
        // Those there deleted and these loaded by COPY, in one round trip.
        const QByteArray sql = "DELETE FROM sample_hour WHERE series = " + n(series) + " AND hour BETWEEN " +
                               n(hours.front().hour) + " AND " + n(hours.back().hour) +
                               "; COPY sample_hour(series, hour, first_s, first_readout, first_valid, last_s,"
                               " last_valid, valid, min_value, max_value, lead, trail, trail_readout)"
                               " FROM STDIN (FORMAT binary)";
        Result copy(PQexec(db_, sql.constData()));
        if (!copy.ok()) {
            refused_ = QByteArray(copy.state()).isEmpty() ? QByteArray("XX000") : QByteArray(copy.state());
            return false;
        }
        QByteArray buffer("PGCOPY\n\377\r\n\0\0\0\0\0\0\0\0\0", 19);
        buffer.reserve(19 + qsizetype(hours.size()) * 105 + 2);
        auto field = [&](auto v) {
            char bytes[4 + sizeof(v)];
            qToBigEndian<qint32>(qint32(sizeof(v)), bytes);
            qToBigEndian(v, bytes + 4);
            buffer.append(bytes, sizeof(bytes));
        };
        for (const HourSummary& h : hours) {
            char count[2];
            qToBigEndian<qint16>(13, count);
            buffer.append(count, 2);
            field(qint32(series)), field(qint64(h.hour)), field(qint32(h.firstUtc - h.hour * 3600));
            field(qint64(h.firstReadout)), field(qint16(h.firstValid)), field(qint32(h.lastUtc - h.hour * 3600));
            field(qint16(h.lastValid)), field(qint32(h.valid)), field(qint16(h.min)), field(qint16(h.max));
            field(qint16(h.lead)), field(qint16(h.trail)), field(qint64(h.trailReadout));
        }
        buffer.append("\377\377", 2);
        const bool sent = PQputCopyData(db_, buffer.constData(), int(buffer.size())) == 1;
        PQputCopyEnd(db_, sent ? nullptr : "cancelled");
        Result done(PQgetResult(db_));
        while (PGresult* more = PQgetResult(db_)) PQclear(more);
        if (PQresultStatus(done.raw()) == PGRES_COMMAND_OK) return true;
        refused_ = QByteArray(done.state()).isEmpty() ? QByteArray("XX000") : QByteArray(done.state());
        return false;
    }

    ArchiveFailure prepareSchema() {
        Result quiet(run("SET client_min_messages = warning"));
        Result begin(run("BEGIN"));
        // One PC at a time makes or upgrades the schema.
        Result lock(run("SELECT pg_advisory_xact_lock(7461001)"));
        Result made(PQexec(db_, schema().constData()));
        if (!made.ok()) {
            const ArchiveFailure f = failure(made.state());
            Result rollback(run("ROLLBACK"));
            return f;
        }
        Result version(run("SELECT value FROM meta WHERE key = 'schema'"));
        const int stored = version.ok() && version.rows() == 1 ? version.text(0, 0).toInt() : kSchemaVersion;
        if (stored > kSchemaVersion) {
            Result rollback(run("ROLLBACK"));
            return {ArchiveError::CannotOpen, QStringLiteral("schema %1 is newer than this program's %2")
                                                  .arg(version.text(0, 0))
                                                  .arg(kSchemaVersion)};
        }
        // Version 1 kept no hour summaries: they are made of the samples.
        if (stored < 2) {
            Result ids(run("SELECT id FROM series ORDER BY id"));
            const char* state = ids.ok() ? nullptr : ids.state();
            for (int row = 0; row < ids.rows() && !state; ++row) {
                const qint64 series = ids.integer(row, 0);
                std::vector<StoredSample> all;
                if (!storedSamples(series, {{kFarPast, kFarFuture}}, all) || !storeHours(series, all))
                    state = refused_.constData();
            }
            if (state) {
                const ArchiveFailure f = failure(state);
                Result rollback(run("ROLLBACK"));
                return f;
            }
        }
        // The version written only when it changes: a viewer's role may not write.
        const bool current = version.ok() && version.rows() == 1 && stored == kSchemaVersion;
        Result mark(run(current ? "SELECT 1"
                                : "INSERT INTO meta(key, value) VALUES ('schema', $1) ON CONFLICT (key) DO UPDATE"
                                  " SET value = $1",
                        current ? std::vector<QByteArray>{} : std::vector<QByteArray>{n(kSchemaVersion)}));
        Result commit(run("COMMIT"));
        if (!mark.ok() || !commit.ok()) return failure(commit.state());
        return {};
    }

    ImportResult import(const Readout& r) override {
        ImportResult result;
        // Alone, a transaction of its own; in a batch, a savepoint within
        // the batch's transaction: all or nothing either way. The savepoint
        // of the read-out before is released with this one's first
        // statement (or by the commit); each has its own name, so that
        // undoing this one can never undo that one.
        const bool alone = !batch_;
        if (batch_ && broken_) {
            result.failure = {ArchiveError::Failed, QStringLiteral("the batch failed")};
            return result;
        }
        const QByteArray savepoint = "r" + n(++savepoints_);
        QByteArray begin = alone ? "BEGIN" : "SAVEPOINT " + savepoint;
        if (!alone && !batchOpen_) begin = "BEGIN; " + begin;
        if (!alone && toRelease_) begin = "RELEASE r" + n(savepoints_ - 1) + "; " + begin;
        batchOpen_ = batch_;
        toRelease_ = false;
        QByteArray state;
        deferred_.clear();
        if (const char* s = importWithin(r, result, begin.constData())) state = s;
        if (state.isEmpty() && result.outcome == ImportOutcome::Stored) {
            if (alone) {
                Result done(run("COMMIT"));
                if (!done.ok())
                    state = QByteArray(done.state()).isEmpty() ? QByteArray("XX000") : QByteArray(done.state());
            } else {
                toRelease_ = true;
            }
        }
        if (state.isEmpty() && result.outcome == ImportOutcome::Stored) {
            for (const auto& [series, k] : deferred_) defer(series, r.channels[k], result.readoutId);
            if (pendingRows_ >= kPendingRows && !flushPending()) state = refused_;
        }
        if (!state.isEmpty()) {
            result.failure = failure(state.constData());
            result.outcome = ImportOutcome::Failed;
            result.counts = {};
        }
        if (!state.isEmpty() || result.outcome != ImportOutcome::Stored) {
            if (alone) {
                Result rollback(run("ROLLBACK"));
            } else {
                Result back(run("ROLLBACK TO " + savepoint));
                Result release(run("RELEASE " + savepoint));
            }
            // What was made in what was undone is gone with it.
            stagingMade_ = false;
            seriesIds_.clear();
            toRelease_ = false;
        }
        return result;
    }

    void beginBatch() override { batch_ = true; }
    ArchiveFailure commitBatch() override {
        if (!batchOpen_) return {};
        batchOpen_ = false;
        toRelease_ = false;
        const bool flushed = !broken_ && flushPending();
        broken_ = false;
        Result commit(run(flushed ? "COMMIT" : "ROLLBACK"));
        // A transaction that failed ends in a rollback however it is ended.
        if (flushed && commit.ok() && QByteArray(PQcmdStatus(commit.raw())) == "COMMIT") return {};
        const ArchiveFailure f = failure(flushed              ? commit.state()
                                         : refused_.isEmpty() ? "XX000"
                                                              : refused_.constData());
        Result rollback(run("ROLLBACK"));
        stagingMade_ = false;
        seriesIds_.clear();
        return f;
    }
    ArchiveFailure endBatch() override {
        const ArchiveFailure f = commitBatch();
        batch_ = false;
        return f;
    }

    // In a batch, the samples of read-outs that go straight into the
    // samples wait to be sent by one COPY (a COPY a read-out costs the
    // server more than the rows): before the commit, before anything reads
    // the samples or moves staged ones, or when many wait. Until then the
    // import's own reckoning (the hours, a later read-out's overlap) takes
    // them from here.
    static constexpr qint64 kPendingRows = 400000;
    void defer(qint64 series, const ReadoutChannel& c, qint64 readout) {
        std::vector<StoredSample>& rows = pending_[series];
        std::vector<StoredSample> own;
        own.reserve(c.samples.size());
        for (size_t i = 0; i < c.samples.size(); ++i)
            own.push_back({c.startUtc + qint64(i) * c.intervalSeconds, c.samples[i], readout});
        const auto at = std::upper_bound(rows.begin(), rows.end(), c.startUtc,
                                         [](qint64 t, const StoredSample& x) { return t < x.utc; });
        rows.insert(at, own.begin(), own.end());
        pendingRows_ += qint64(own.size());
    }
    // The waiting samples of series within first..last, into out (in time
    // order with what it holds).
    void pendingWithin(qint64 series, qint64 first, qint64 last, std::vector<StoredSample>& out) const {
        const auto rows = pending_.find(series);
        if (rows == pending_.end()) return;
        const auto from = std::lower_bound(rows->second.begin(), rows->second.end(), first,
                                           [](const StoredSample& x, qint64 t) { return x.utc < t; });
        const auto to =
            std::upper_bound(from, rows->second.end(), last, [](qint64 t, const StoredSample& x) { return t < x.utc; });
        const auto middle = out.insert(out.end(), from, to);
        std::inplace_merge(out.begin(), middle, out.end(),
                           [](const StoredSample& a, const StoredSample& b) { return a.utc < b.utc; });
    }
    bool flushPending() {
        if (pending_.empty()) return true;
        Result copy(run("COPY sample(series, t, value, readout) FROM STDIN (FORMAT binary)"));
        if (!copy.ok()) {
            refused_ = QByteArray(copy.state()).isEmpty() ? QByteArray("XX000") : QByteArray(copy.state());
            pending_.clear();
            pendingRows_ = 0;
            broken_ = batchOpen_;
            return false;
        }
        QByteArray buffer("PGCOPY\n\377\r\n\0\0\0\0\0\0\0\0\0", 19);
        buffer.reserve(1 << 20);
        char row[40];
        qToBigEndian<qint16>(4, row);
        qToBigEndian<qint32>(4, row + 2);
        qToBigEndian<qint32>(8, row + 10);
        qToBigEndian<qint32>(2, row + 22);
        qToBigEndian<qint32>(8, row + 28);
        bool sent = true;
        for (const auto& [series, rows] : pending_) {
            qToBigEndian<qint32>(qint32(series), row + 6);
            for (const StoredSample& x : rows) {
                if (!sent) break;
                qToBigEndian<qint64>(x.utc, row + 14);
                qToBigEndian<qint16>(x.value, row + 26);
                qToBigEndian<qint64>(x.readout, row + 32);
                buffer.append(row, 40);
                if (buffer.size() > (1 << 20) - 64) {
                    sent = PQputCopyData(db_, buffer.constData(), int(buffer.size())) == 1;
                    buffer.clear();
                }
            }
        }
        pending_.clear();
        pendingRows_ = 0;
        buffer.append("\377\377", 2);
        if (sent) sent = PQputCopyData(db_, buffer.constData(), int(buffer.size())) == 1;
        PQputCopyEnd(db_, sent ? nullptr : "cancelled");
        Result done(PQgetResult(db_));
        while (PGresult* more = PQgetResult(db_)) PQclear(more);
        if (PQresultStatus(done.raw()) == PGRES_COMMAND_OK) return true;
        refused_ = QByteArray(done.state()).isEmpty() ? QByteArray("XX000") : QByteArray(done.state());
        broken_ = batchOpen_;  // read-outs stored in the batch lost their samples
        return false;
    }

    // The read-out's samples by COPY in binary (copySql names the table and
    // columns; readout, when not 0, is a fourth column). False when the
    // server refused them; refused_ then holds its SQLSTATE.
    bool copySamples(const char* copySql, const Readout& r, const std::vector<qint64>& seriesOf, qint64 readout) {
        Result copy(run(copySql));
        if (!copy.ok()) {
            refused_ = QByteArray(copy.state()).isEmpty() ? QByteArray("XX000") : QByteArray(copy.state());
            return false;
        }
        // The binary format: a header, then each row its field count and
        // each field its length and big-endian bytes; -1 ends it.
        QByteArray buffer("PGCOPY\n\377\r\n\0\0\0\0\0\0\0\0\0", 19);
        buffer.reserve(1 << 20);
        char row[40];
        bool sent = true;
        for (size_t k = 0; k < r.channels.size() && sent; ++k) {
            const ReadoutChannel& c = r.channels[k];
            qToBigEndian<qint16>(readout ? 4 : 3, row);
            qToBigEndian<qint32>(4, row + 2);
            qToBigEndian<qint32>(qint32(seriesOf[k]), row + 6);
            qToBigEndian<qint32>(8, row + 10);
            qToBigEndian<qint32>(2, row + 22);
            qToBigEndian<qint32>(8, row + 28);
            qToBigEndian<qint64>(readout, row + 32);
            const qsizetype rowBytes = readout ? 40 : 28;
            for (size_t i = 0; i < c.samples.size(); ++i) {
                qToBigEndian<qint64>(c.startUtc + qint64(i) * c.intervalSeconds, row + 14);
                qToBigEndian<qint16>(c.samples[i], row + 26);
                buffer.append(row, rowBytes);
                if (buffer.size() > (1 << 20) - 64) {
                    sent = PQputCopyData(db_, buffer.constData(), int(buffer.size())) == 1;
                    buffer.clear();
                }
            }
        }
        buffer.append("\377\377", 2);
        if (sent) sent = PQputCopyData(db_, buffer.constData(), int(buffer.size())) == 1;
        PQputCopyEnd(db_, sent ? nullptr : "cancelled");
        Result done(PQgetResult(db_));
        while (PGresult* more = PQgetResult(db_)) PQclear(more);
        if (PQresultStatus(done.raw()) == PGRES_COMMAND_OK) return true;
        refused_ = QByteArray(done.state()).isEmpty() ? QByteArray("XX000") : QByteArray(done.state());
        return false;
    }

    // The id of series k, made when it is new; 0 when the server refused
    // (refused_ says why). Kept until something is undone.
    qint64 seriesId(const SeriesKey& k) {
        if (const auto known = seriesIds_.find(k); known != seriesIds_.end()) return known->second;
        const std::vector<QByteArray> key = {n(k.card), n(k.test), n(k.loggerChannel), n(k.kind)};
        Result add(
            run("INSERT INTO series(card, test, logger_channel, kind) VALUES ($1, $2, $3, $4) ON CONFLICT DO NOTHING",
                key));
        Result find(
            run("SELECT id FROM series WHERE card = $1 AND test = $2 AND logger_channel = $3 AND kind = $4", key));
        if (!add.ok() || !find.ok() || find.rows() != 1) {
            const char* state = add.ok() ? find.state() : add.state();
            refused_ = QByteArray(state).isEmpty() ? QByteArray("XX000") : QByteArray(state);
            return 0;
        }
        return seriesIds_[k] = find.integer(0, 0);
    }

    // The import's statements within its transaction, the first after
    // begin; nullptr, or the SQLSTATE of the failure.
    const char* importWithin(const Readout& r, ImportResult& result, const char* begin) {
        auto fail = [&](const Result& res) {
            refused_ = QByteArray(res.state()).isEmpty() ? QByteArray("XX000") : QByteArray(res.state());
            return refused_.constData();
        };
        // The series' ids where they are known already, and the lock of
        // each (below).
        auto lockSeries = [](const std::vector<qint64>& ids) {
            QByteArray list = "{";
            for (const qint64 id : ids) list += n(id) + ',';
            list = ids.empty() ? QByteArray("{}") : list.left(list.size() - 1) + '}';
            return "SELECT pg_advisory_xact_lock(7461002, s) FROM (SELECT DISTINCT s FROM unnest('" + list +
                   "'::int[]) s ORDER BY s) o";
        };
        std::vector<qint64> seriesOf;
        for (const ReadoutChannel& c : r.channels)
            if (const auto id = seriesIds_.find(c.series); id != seriesIds_.end()) seriesOf.push_back(id->second);
        const bool known = seriesOf.size() == r.channels.size();
        {
            // Two PCs with the same file: the second waits for the first's
            // commit, then finds its read-out.
            char* sha = PQescapeLiteral(db_, r.sha256.constData(), size_t(r.sha256.size()));
            if (!sha) return "XX000";
            const QByteArray sql = QByteArray(begin) + "; SELECT pg_advisory_xact_lock(hashtext(" + sha + ")); " +
                                   (known ? lockSeries(seriesOf) + "; " : QByteArray()) +
                                   "SELECT id FROM readout WHERE sha256 = " + sha;
            PQfreemem(sha);
            Result known(PQexec(db_, sql.constData()));
            if (!known.ok()) return fail(known);
            if (known.rows() == 1) {
                result.outcome = ImportOutcome::AlreadyKnown;
                result.readoutId = known.integer(0, 0);
                return nullptr;
            }
        }
        qint64 first = 0;
        qint64 last = 0;
        bool any = false;
        qint64 total = 0;
        for (const ReadoutChannel& c : r.channels) {
            total += qint64(c.samples.size());
            if (c.samples.empty()) continue;
            const qint64 end = c.startUtc + qint64(c.samples.size() - 1) * c.intervalSeconds;
            first = any ? std::min(first, c.startUtc) : c.startUtc;
            last = any ? std::max(last, end) : end;
            any = true;
        }
        // One import at a time adds to a series (the others wait for its
        // commit), so that its hour summaries are made of all it holds and
        // a COPY straight into the samples meets none of another PC's. The
        // lock went with the first statement where the series were known.
        if (!known) {
            seriesOf.clear();
            for (const ReadoutChannel& c : r.channels) {
                seriesOf.push_back(seriesId(c.series));
                if (!seriesOf.back()) return refused_.constData();
            }
            Result lock(PQexec(db_, lockSeries(seriesOf).constData()));
            if (!lock.ok()) return fail(lock);
        }
        // The samples stored in the hours of each channel: a read-out that
        // shares no instant with them (a new recording: the usual case)
        // goes by COPY straight into the samples, the hours summed up of
        // these and its own.
        bool direct = true;
        std::vector<std::vector<StoredSample>> around(r.channels.size());
        for (size_t k = 0; k < r.channels.size(); ++k) {
            const ReadoutChannel& c = r.channels[k];
            if (c.samples.empty()) continue;
            const qint64 end = c.startUtc + qint64(c.samples.size() - 1) * c.intervalSeconds;
            if (!storedSamples(seriesOf[k], {{hourStart(c.startUtc), hourStart(end) + 3599}}, around[k]))
                return refused_.constData();
            pendingWithin(seriesOf[k], hourStart(c.startUtc), hourStart(end) + 3599, around[k]);
            for (const StoredSample& x : around[k]) direct = direct && (x.utc < c.startUtc || x.utc > end);
            direct = direct && std::count(seriesOf.begin(), seriesOf.end(), seriesOf[k]) == 1;
        }
        // Staged samples meet the stored ones in the table.
        if (!direct && !flushPending()) return refused_.constData();
        if (direct) result.counts.samplesNew = total;
        Result add(
            run("INSERT INTO readout(sha256, path, imported_utc, host, os_user, site, model, zone, zone_offset,"
                " first_utc, last_utc, samples_new, samples_known, conflicts)"
                " VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12, 0, 0) RETURNING id",
                {r.sha256, u(r.path), n(r.importedUtc), u(r.host), u(r.user), u(r.site), n(r.model), u(r.zone),
                 n(r.zoneOffset), n(first), n(last), n(result.counts.samplesNew)}));
        if (!add.ok()) return fail(add);
        const qint64 id = add.integer(0, 0);

        QByteArray channelSql =
            "INSERT INTO readout_channel(readout, position, series, start_utc, interval_s, samples, " +
            headerColumnList() + ") VALUES ($1, $2, $3, $4, $5, $6";
        for (size_t i = 0; i <= kHeaderColumns.size(); ++i) channelSql += ", $" + QByteArray::number(7 + qint64(i));
        channelSql += ")";
        for (size_t k = 0; k < r.channels.size(); ++k) {
            const ReadoutChannel& c = r.channels[k];
            std::vector<QByteArray> p = {n(id),         n(c.position),        n(seriesOf[k]),
                                         n(c.startUtc), n(c.intervalSeconds), n(qint64(c.samples.size()))};
            for (const HeaderColumn& h : kHeaderColumns) p.push_back(n(c.header.*h.field));
            p.push_back(n(c.header.integratedValue));
            Result channel(run(channelSql.constData(), p));
            if (!channel.ok()) return fail(channel);
        }

        if (direct && batch_) {
            for (size_t k = 0; k < r.channels.size(); ++k) deferred_.emplace_back(seriesOf[k], k);
        } else if (direct) {
            if (!copySamples("COPY sample(series, t, value, readout) FROM STDIN (FORMAT binary)", r, seriesOf, id))
                return refused_.constData();
        } else {
            // Into a staging table of this connection (emptied at every
            // commit), then moved: the first value stays.
            if (!stagingMade_) {
                Result staging(
                    run("CREATE TEMP TABLE IF NOT EXISTS staging(series integer, t bigint, value smallint)"
                        " ON COMMIT DELETE ROWS"));
                if (!staging.ok()) return fail(staging);
                stagingMade_ = true;
            }
            Result empty(run("TRUNCATE staging"));  // in a batch, the read-out before left its rows
            if (!empty.ok()) return fail(empty);
            if (!copySamples("COPY staging FROM STDIN (FORMAT binary)", r, seriesOf, 0)) return refused_.constData();
            Result stored(
                run("INSERT INTO sample(series, t, value, readout) SELECT series, t, value, $1 FROM staging"
                    " ON CONFLICT DO NOTHING",
                    {n(id)}));
            if (!stored.ok()) return fail(stored);
            result.counts.samplesNew = QByteArray(PQcmdTuples(stored.raw())).toLongLong();
            if (result.counts.samplesNew < total) {
                // Some were stored already: those with another value are
                // conflicts. With the staging table's size known, the
                // planner looks each one up by the key instead of scanning
                // every sample.
                Result analyze(run("ANALYZE staging"));
                if (!analyze.ok()) return fail(analyze);
                Result conflicts(
                    run("INSERT INTO conflict(readout, series, t, value) SELECT $1, s.series, s.t, s.value"
                        " FROM staging s JOIN sample m ON m.series = s.series AND m.t = s.t"
                        " WHERE m.readout <> $1 AND m.value <> s.value ON CONFLICT DO NOTHING",
                        {n(id)}));
                if (!conflicts.ok()) return fail(conflicts);
                result.counts.conflicts = QByteArray(PQcmdTuples(conflicts.raw())).toLongLong();
            }
        }
        for (size_t k = 0; k < r.channels.size(); ++k) {
            const ReadoutChannel& c = r.channels[k];
            if (c.samples.empty()) continue;
            const qint64 end = c.startUtc + qint64(c.samples.size() - 1) * c.intervalSeconds;
            std::vector<StoredSample> hours;
            if (direct) {
                hours.reserve(around[k].size() + c.samples.size());
                auto before = std::partition_point(around[k].begin(), around[k].end(),
                                                   [&](const StoredSample& x) { return x.utc < c.startUtc; });
                hours.assign(around[k].begin(), before);
                for (size_t i = 0; i < c.samples.size(); ++i)
                    hours.push_back({c.startUtc + qint64(i) * c.intervalSeconds, c.samples[i], id});
                hours.insert(hours.end(), before, around[k].end());
            } else if (!storedSamples(seriesOf[k], {{hourStart(c.startUtc), hourStart(end) + 3599}}, hours)) {
                return refused_.constData();
            }
            if (!storeHours(seriesOf[k], hours)) return refused_.constData();
        }
        result.counts.samplesKnown = total - result.counts.samplesNew - result.counts.conflicts;
        if (!direct) {
            Result counts(
                run("UPDATE readout SET samples_new = $1, samples_known = $2, conflicts = $3 WHERE id = $4",
                    {n(result.counts.samplesNew), n(result.counts.samplesKnown), n(result.counts.conflicts), n(id)}));
            if (!counts.ok()) return fail(counts);
        }
        result.outcome = ImportOutcome::Stored;
        result.readoutId = id;
        return nullptr;
    }

    static constexpr const char* kReadoutColumns =
        "id, sha256, path, imported_utc, host, os_user, site, model, zone, zone_offset, first_utc, last_utc,"
        " samples_new, samples_known, conflicts";

    static Readout readoutOf(const Result& s, int row) {
        Readout r;
        r.id = s.integer(row, 0);
        r.sha256 = s.bytes(row, 1);
        r.path = s.text(row, 2);
        r.importedUtc = s.integer(row, 3);
        r.host = s.text(row, 4);
        r.user = s.text(row, 5);
        r.site = s.text(row, 6);
        r.model = int(s.integer(row, 7));
        r.zone = s.text(row, 8);
        r.zoneOffset = int(s.integer(row, 9));
        r.firstUtc = s.integer(row, 10);
        r.lastUtc = s.integer(row, 11);
        r.counts = {s.integer(row, 12), s.integer(row, 13), s.integer(row, 14)};
        return r;
    }

    bool channelsOf(std::vector<Readout>& readouts, ArchiveFailure& fail) {
        if (readouts.empty()) return true;
        std::map<qint64, Readout*> byId;
        QByteArray ids = "{";
        for (Readout& r : readouts) {
            byId[r.id] = &r;
            ids += n(r.id) + ',';
        }
        ids[ids.size() - 1] = '}';
        const QByteArray sql =
            "SELECT rc.readout, rc.position, s.card, s.test, s.logger_channel, s.kind, rc.start_utc, rc.interval_s,"
            " rc.samples, " +
            headerColumnList("rc.") +
            " FROM readout_channel rc JOIN series s ON s.id = rc.series WHERE rc.readout = ANY($1::bigint[])"
            " ORDER BY rc.readout, rc.position";
        Result q(run(sql.constData(), {ids}));
        if (!q.ok()) {
            fail = failure(q.state());
            return false;
        }
        for (int row = 0; row < q.rows(); ++row) {
            ReadoutChannel c;
            c.position = int(q.integer(row, 1));
            c.series = {int(q.integer(row, 2)), int(q.integer(row, 3)), int(q.integer(row, 4)), int(q.integer(row, 5))};
            c.startUtc = q.integer(row, 6);
            c.intervalSeconds = int(q.integer(row, 7));
            c.count = int(q.integer(row, 8));
            int col = 9;
            for (const HeaderColumn& h : kHeaderColumns) c.header.*h.field = int16_t(q.integer(row, col++));
            c.header.integratedValue = int32_t(q.integer(row, col));
            byId[q.integer(row, 0)]->channels.push_back(std::move(c));
        }
        return true;
    }

    std::vector<Readout> readouts(const ReadoutFilter& f, ArchiveFailure& fail) override {
        QByteArray sql = QByteArray("SELECT ") + kReadoutColumns + " FROM readout WHERE true";
        std::vector<QByteArray> p;
        auto param = [&](const QByteArray& v) {
            p.push_back(v);
            return "$" + n(qint64(p.size()));
        };
        if (f.card || f.test) {
            sql += " AND id IN (SELECT readout FROM readout_channel WHERE true";
            if (f.card) sql += " AND card = " + param(n(*f.card)) + "::smallint";
            if (f.test) sql += " AND test = " + param(n(*f.test)) + "::smallint";
            sql += ")";
        }
        if (f.fromUtc) sql += " AND last_utc >= " + param(n(*f.fromUtc)) + "::bigint";
        if (f.toUtc) sql += " AND first_utc <= " + param(n(*f.toUtc)) + "::bigint";
        if (f.site) sql += " AND site = " + param(u(*f.site));
        sql += " ORDER BY first_utc, id";
        Result q(run(sql.constData(), p));
        if (!q.ok()) {
            fail = failure(q.state());
            return {};
        }
        std::vector<Readout> out;
        for (int row = 0; row < q.rows(); ++row) out.push_back(readoutOf(q, row));
        if (!channelsOf(out, fail)) return {};
        return out;
    }

    std::optional<Readout> readout(qint64 id, WithSamples withSamples, ArchiveFailure& fail) override {
        if (!flushPending()) {
            fail = failure(refused_.constData());
            return {};
        }
        Result q(run((QByteArray("SELECT ") + kReadoutColumns + " FROM readout WHERE id = $1").constData(), {n(id)}));
        if (!q.ok()) {
            fail = failure(q.state());
            return std::nullopt;
        }
        if (q.rows() != 1) return std::nullopt;
        std::vector<Readout> one{readoutOf(q, 0)};
        if (!channelsOf(one, fail)) return std::nullopt;
        Readout r = std::move(one[0]);
        if (withSamples == WithSamples::No) return r;
        for (ReadoutChannel& c : r.channels) {
            c.samples.assign(size_t(c.count), kErrorSample);
            Result s(
                run("SELECT t, value FROM sample WHERE series = (SELECT series FROM readout_channel WHERE"
                    " readout = $1 AND position = $2) AND t BETWEEN $3 AND $4",
                    {n(id), n(c.position), n(c.startUtc), n(c.lastUtc())}));
            if (!s.ok()) {
                fail = failure(s.state());
                return std::nullopt;
            }
            for (int row = 0; row < s.rows(); ++row) {
                const qint64 offset = s.integer(row, 0) - c.startUtc;
                if (c.intervalSeconds > 0 && offset % c.intervalSeconds == 0)
                    c.samples[size_t(offset / c.intervalSeconds)] = int16_t(s.integer(row, 1));
            }
        }
        return r;
    }

    std::optional<qint64> readoutWithSha(const QByteArray& sha256, ArchiveFailure& fail) override {
        Result q(run("SELECT id FROM readout WHERE sha256 = $1", {sha256}));
        if (!q.ok()) {
            fail = failure(q.state());
            return std::nullopt;
        }
        if (q.rows() == 1) return q.integer(0, 0);
        return std::nullopt;
    }

    std::vector<Conflict> conflicts(qint64 readoutId, ArchiveFailure& fail) override {
        if (!flushPending()) {
            fail = failure(refused_.constData());
            return {};
        }
        Result q(
            run("SELECT s.card, s.test, s.logger_channel, s.kind, c.t, m.value, c.value FROM conflict c"
                " JOIN series s ON s.id = c.series JOIN sample m ON m.series = c.series AND m.t = c.t"
                " WHERE c.readout = $1 ORDER BY c.series, c.t",
                {n(readoutId)}));
        if (!q.ok()) {
            fail = failure(q.state());
            return {};
        }
        std::vector<Conflict> out;
        for (int row = 0; row < q.rows(); ++row)
            out.push_back(
                {{int(q.integer(row, 0)), int(q.integer(row, 1)), int(q.integer(row, 2)), int(q.integer(row, 3))},
                 q.integer(row, 4),
                 int16_t(q.integer(row, 5)),
                 int16_t(q.integer(row, 6))});
        return out;
    }

    std::vector<SeriesKey> series(ArchiveFailure& fail) override {
        Result q(run("SELECT card, test, logger_channel, kind FROM series ORDER BY card, test, logger_channel, kind"));
        if (!q.ok()) {
            fail = failure(q.state());
            return {};
        }
        std::vector<SeriesKey> out;
        for (int row = 0; row < q.rows(); ++row)
            out.push_back(
                {int(q.integer(row, 0)), int(q.integer(row, 1)), int(q.integer(row, 2)), int(q.integer(row, 3))});
        return out;
    }

    // The channels of the read-outs that stored samples of the series:
    // their intervals and headers.
    bool channelsOf(const std::vector<QByteArray>& key, std::map<qint64, std::pair<int, ChannelHeader>>& channels,
                    ArchiveFailure& fail) {
        const QByteArray sql = "SELECT readout, interval_s, " + headerColumnList() +
                               " FROM readout_channel WHERE series = (SELECT id FROM series WHERE card = $1 AND"
                               " test = $2 AND logger_channel = $3 AND kind = $4)";
        Result q(run(sql.constData(), key));
        if (!q.ok()) {
            fail = failure(q.state());
            return false;
        }
        for (int row = 0; row < q.rows(); ++row) {
            ChannelHeader h;
            int col = 2;
            for (const HeaderColumn& c : kHeaderColumns) h.*c.field = int16_t(q.integer(row, col++));
            h.integratedValue = int32_t(q.integer(row, col));
            channels[q.integer(row, 0)] = {int(q.integer(row, 1)), h};
        }
        return true;
    }

    std::vector<SeriesPiece> samples(const SeriesKey& k, qint64 fromUtc, qint64 toUtc, ArchiveFailure& fail) override {
        if (!flushPending()) {
            fail = failure(refused_.constData());
            return {};
        }
        const std::vector<QByteArray> key = {n(k.card), n(k.test), n(k.loggerChannel), n(k.kind)};
        std::map<qint64, std::pair<int, ChannelHeader>> channels;
        if (!channelsOf(key, channels, fail)) return {};
        // Binary results: three integers a row without text conversions.
        const QByteArray from = n(fromUtc);
        const QByteArray to = n(toUtc);
        const char* values[] = {key[0].constData(), key[1].constData(), key[2].constData(),
                                key[3].constData(), from.constData(),   to.constData()};
        Result q(PQexecParams(db_,
                              "SELECT t, value, readout FROM sample WHERE series = (SELECT id FROM series WHERE"
                              " card = $1 AND test = $2 AND logger_channel = $3 AND kind = $4) AND t BETWEEN $5 AND $6"
                              " ORDER BY t",
                              6, nullptr, values, nullptr, nullptr, 1));
        if (!q.ok()) {
            fail = failure(q.state());
            return {};
        }
        auto be = [](const char* p, int bytes) {
            qint64 v = 0;
            for (int i = 0; i < bytes; ++i) v = (v << 8) | uint8_t(p[i]);
            if (bytes == 2) return qint64(int16_t(v));
            return v;
        };
        PieceBuilder pieces(std::move(channels));
        for (int row = 0; row < q.rows(); ++row)
            pieces.add(be(PQgetvalue(q.raw(), row, 0), 8), int16_t(be(PQgetvalue(q.raw(), row, 1), 2)),
                       be(PQgetvalue(q.raw(), row, 2), 8));
        return pieces.take();
    }

    SeriesOutline outline(const SeriesKey& k, qint64 fromUtc, qint64 toUtc, int width, ArchiveFailure& fail) override {
        if (!flushPending()) {
            fail = failure(refused_.constData());
            return {};
        }
        const std::vector<QByteArray> key = {n(k.card), n(k.test), n(k.loggerChannel), n(k.kind)};
        SeriesOutline out;
        if (!channelsOf(key, out.channels, fail)) return {};
        Result id(
            run("SELECT id FROM series WHERE card = $1 AND test = $2 AND logger_channel = $3 AND kind = $4", key));
        if (!id.ok()) {
            fail = failure(id.state());
            return {};
        }
        if (id.rows() != 1) return out;
        const qint64 series = id.integer(0, 0);
        Result hours(
            run("SELECT hour, first_s, first_readout, first_valid, last_s, last_valid, valid, min_value, max_value,"
                " lead, trail, trail_readout FROM sample_hour WHERE series = $1 AND hour BETWEEN $2 AND $3"
                " ORDER BY hour",
                {n(series), n(hourStart(fromUtc) / 3600), n(hourStart(toUtc) / 3600)}));
        if (!hours.ok()) {
            fail = failure(hours.state());
            return {};
        }
        for (int row = 0; row < hours.rows(); ++row) {
            HourSummary h;
            h.hour = hours.integer(row, 0);
            if (!hourInOneColumn(h.hour, fromUtc, toUtc, width)) continue;
            h.firstUtc = h.hour * 3600 + hours.integer(row, 1);
            h.firstReadout = hours.integer(row, 2);
            h.firstValid = hours.integer(row, 3) != 0;
            h.lastUtc = h.hour * 3600 + hours.integer(row, 4);
            h.lastValid = hours.integer(row, 5) != 0;
            h.valid = int(hours.integer(row, 6));
            h.min = int16_t(hours.integer(row, 7));
            h.max = int16_t(hours.integer(row, 8));
            h.lead = int16_t(hours.integer(row, 9));
            h.trail = int16_t(hours.integer(row, 10));
            h.trailReadout = hours.integer(row, 11);
            out.hours.push_back(h);
        }
        if (!storedSamples(series, outlineSampleRanges(fromUtc, toUtc, out.hours), out.samples)) {
            fail = failure(refused_.constData());
            return {};
        }
        return out;
    }

    std::vector<qint64> notPushedTo(const QString& target, ArchiveFailure& fail) override {
        Result q(
            run("SELECT id FROM readout WHERE id NOT IN (SELECT readout FROM pushed WHERE target = $1) ORDER BY id",
                {u(target)}));
        if (!q.ok()) {
            fail = failure(q.state());
            return {};
        }
        std::vector<qint64> out;
        for (int row = 0; row < q.rows(); ++row) out.push_back(q.integer(row, 0));
        return out;
    }

    ArchiveFailure markPushed(qint64 readoutId, const QString& target) override {
        Result q(run("INSERT INTO pushed(readout, target) VALUES ($1, $2) ON CONFLICT DO NOTHING",
                     {n(readoutId), u(target)}));
        return q.ok() ? ArchiveFailure{} : failure(q.state());
    }

    ArchiveFailure each(const QByteArray& sql, const std::vector<QByteArray>& params,
                        const std::function<void(const RowView&)>& row) override {
        std::vector<const char*> values;
        values.reserve(params.size());
        for (const QByteArray& p : params) values.push_back(p.isNull() ? nullptr : p.constData());
        Result q(PQexecParams(db_, sql.constData(), int(values.size()), nullptr, values.data(), nullptr, nullptr, 0));
        if (!q.ok()) return failure(q.state());
        const int columns = PQnfields(q.raw());
        RowView view(static_cast<size_t>(columns));
        for (int r = 0; r < q.rows(); ++r) {
            for (int c = 0; c < columns; ++c)
                view[size_t(c)] = PQgetisnull(q.raw(), r, c)
                                      ? QByteArrayView()
                                      : QByteArrayView(PQgetvalue(q.raw(), r, c), PQgetlength(q.raw(), r, c));
            row(view);
        }
        return {};
    }

    ArchiveFailure exclusively(const std::function<ArchiveFailure()>& body) override {
        const bool alone = !batchOpen_;
        {
            Result begin(run(alone ? "BEGIN" : "SAVEPOINT records"));
            if (!begin.ok()) return failure(begin.state());
        }
        // One writer of the records at a time across every PC (the key is
        // the records' own; an import's locks are on its file's hash).
        Result lock(run("SELECT pg_advisory_xact_lock(7461, 2)"));
        ArchiveFailure f = lock.ok() ? body() : failure(lock.state());
        if (!f) {
            Result done(run(alone ? "COMMIT" : "RELEASE records"));
            if (!done.ok()) f = failure(done.state());
        }
        if (f) {
            if (alone) {
                Result rollback(run("ROLLBACK"));
            } else {
                Result back(run("ROLLBACK TO records"));
                Result release(run("RELEASE records"));
            }
            stagingMade_ = false;
        }
        return f;
    }

    bool onServer() const override { return true; }

private:
    QString location_;
    PGconn* db_;
    bool stagingMade_ = false;
    bool toRelease_ = false;  // the savepoint of the read-out before, in a batch
    qint64 savepoints_ = 0;
    bool broken_ = false;  // the batch lost samples: its commit fails
    std::map<SeriesKey, qint64> seriesIds_;
    std::map<qint64, std::vector<StoredSample>> pending_;  // by series, in time order
    qint64 pendingRows_ = 0;
    std::vector<std::pair<qint64, size_t>> deferred_;  // the read-out's series and channel to wait
    QByteArray refused_;
    bool batch_ = false;
    bool batchOpen_ = false;
};

}  // namespace

std::unique_ptr<Archive> openServerArchive(const QString& location, ArchiveFailure& failure) {
    // A server that does not answer is given up after a few seconds unless
    // the connection says otherwise: a reading PC must not hang on it.
    const QByteArray dbname = location.toUtf8();
    const char* keywords[] = {"connect_timeout", "application_name", "dbname", nullptr};
    const char* values[] = {"5", "quillet", dbname.constData(), nullptr};
    PGconn* db = PQconnectdbParams(keywords, values, 1);
    auto archive = std::make_unique<PostgresArchive>(location, db);
    if (PQstatus(db) != CONNECTION_OK) {
        failure = {ArchiveError::CannotOpen, QString::fromUtf8(PQerrorMessage(db)).trimmed()};
        return nullptr;
    }
    if ((failure = archive->prepareSchema())) return nullptr;
    return archive;
}

}  // namespace quillet::archive
