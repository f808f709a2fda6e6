// The archive: every read-out kept once, every sample stored once, on a
// database behind one interface (an SQLite file on this PC). A read-out is
// the content of one data file; a series is one logger channel across all
// its read-outs; a sample is keyed by its series and its instant (UTC), so
// two read-outs of one recording store their common samples once. A
// different value at a stored instant never replaces the first: the
// read-out is marked with the conflict.
#pragma once

#include "core/records.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <algorithm>
#include <compare>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace quillet::archive {

// One logger channel: its card and test numbers, which channel of the
// logger (1 or 2; for a file that does not say, the order of that
// card-test's channels in the file) and what it measures (a ChannelKind).
struct SeriesKey {
    int card = 0;
    int test = 0;
    int loggerChannel = 1;
    int kind = 0;
    auto operator<=>(const SeriesKey&) const = default;
};

// One channel of a read-out: the header as the data file holds it and the
// samples in order, the first at startUtc (seconds since 1970, UTC), one
// interval apart.
struct ReadoutChannel {
    int position = 0;  // 1.. in file order
    SeriesKey series;
    ChannelHeader header;
    qint64 startUtc = 0;
    int intervalSeconds = 0;
    int count = 0;                 // samples
    std::vector<int16_t> samples;  // filled on import and by readout(id, WithSamples::Yes)

    qint64 lastUtc() const { return startUtc + qint64(std::max(count, 1) - 1) * intervalSeconds; }
};

// What a read-out's import came to, kept with it.
struct ImportCounts {
    qint64 samplesNew = 0;    // stored by this read-out
    qint64 samplesKnown = 0;  // stored already, with the same value
    qint64 conflicts = 0;     // stored already, with another value (the first stays)
};

// One read-out: where its file was and when, on which PC and by whom it
// was imported, the PC's time zone (IANA name and offset in seconds at the
// start) the logger's wall-clock times were taken in.
struct Readout {
    qint64 id = 0;
    QByteArray sha256;  // of the file's bytes, 64 lower-case hex digits
    QString path;
    qint64 importedUtc = 0;
    QString host;
    QString user;
    QString site;
    int model = 0;  // logger model 1..4, 0 = not known
    QString zone;
    int zoneOffset = 0;
    std::vector<ReadoutChannel> channels;
    ImportCounts counts;  // filled when read back
    qint64 firstUtc = 0;  // the earliest and latest sample of any channel
    qint64 lastUtc = 0;
};

// Why the archive could not do what was asked.
enum class ArchiveError {
    None,
    NetworkFolder,  // SQLite on NFS/SMB/CIFS: its locking fails there
    CannotOpen,     // no such folder, no permission, not a database
    NotThere,       // no archive at the location yet
    Busy,           // another program holds the archive locked
    DiskFull,
    ReadOnly,
    Damaged,  // the database or a data file is damaged
    Failed,   // anything else; the detail says what
};

struct ArchiveFailure {
    ArchiveError error = ArchiveError::None;
    QString detail;  // what the database said, for the message
    explicit operator bool() const { return error != ArchiveError::None; }
};

enum class ImportOutcome { Stored, AlreadyKnown, Failed };
struct ImportResult {
    ImportOutcome outcome = ImportOutcome::Failed;
    qint64 readoutId = 0;  // the read-out stored, or the one that already holds the file
    ImportCounts counts;
    ArchiveFailure failure;
};

// Which read-outs: of one logger (card and test), with a sample between
// fromUtc and toUtc (inclusive), of one site. Empty fields take all.
struct ReadoutFilter {
    std::optional<int> card;
    std::optional<int> test;
    std::optional<qint64> fromUtc;
    std::optional<qint64> toUtc;
    std::optional<QString> site;
};

// Samples of one series one interval apart, all stored by one read-out
// (whose alarm limits they were recorded under). continuesPrevious: the
// first lies one interval after the last of the piece before.
struct SeriesPiece {
    qint64 readoutId = 0;
    qint64 startUtc = 0;
    int intervalSeconds = 0;
    std::vector<int16_t> values;
    ChannelHeader header;  // of the read-out's channel: kind, alarm limits
    bool continuesPrevious = false;
};

// A sample a read-out brought with another value than the one stored.
struct Conflict {
    SeriesKey series;
    qint64 utc = 0;
    int16_t stored = 0;
    int16_t brought = 0;
};

enum class WithSamples { No, Yes };

// A row of a statement's result: each column's value as text (UTF-8), an
// SQL NULL as a null QByteArray.
using SqlRow = std::vector<QByteArray>;
// The stored samples of a series in one hour (instant div 3600), summed up
// as far as the trend needs them to draw the hour inside one pixel column
// exactly as from the samples: the first and the last sample (valid or an
// error sample), and of the valid ones the count, the least and greatest
// value and the first and last value.
struct HourSummary {
    qint64 hour = 0;
    qint64 firstUtc = 0;
    qint64 firstReadout = 0;  // the read-out that stored the first sample
    bool firstValid = false;
    qint64 lastUtc = 0;
    bool lastValid = false;
    int valid = 0;
    int16_t min = 0;
    int16_t max = 0;
    int16_t lead = 0;   // the first valid value
    int16_t trail = 0;  // the last valid value
    qint64 trailReadout = 0;
    int samples = 0;  // valid or not (not stored)
};

// A stored sample and the read-out that stored it.
struct StoredSample {
    qint64 utc = 0;
    int16_t value = 0;
    qint64 readout = 0;
};

// A series from fromUtc to toUtc as a trend width pixel columns wide draws
// it: the summaries of the hours that lie whole inside one column, the
// samples of the others (both in time order), and the interval and channel
// header of each read-out that stored any of them.
struct SeriesOutline {
    std::map<qint64, std::pair<int, ChannelHeader>> channels;
    std::vector<HourSummary> hours;
    std::vector<StoredSample> samples;
};

class Archive {
public:
    virtual ~Archive() = default;
    // Where it is, as the user gave it.
    virtual QString location() const = 0;
    // Stores the read-out with its samples, all or nothing.
    virtual ImportResult import(const Readout& r) = 0;
    // A bulk import of many files: the imports between beginBatch() and
    // commitBatch() or endBatch() share one commit (each still all or
    // nothing), which a disk pays for once. Until that commit their
    // results are not durable; a failed commit undoes all of them. A back
    // end may commit each import on its own regardless.
    virtual void beginBatch() {}
    virtual ArchiveFailure commitBatch() { return {}; }
    virtual ArchiveFailure endBatch() { return {}; }
    // The read-outs (without samples), oldest first.
    virtual std::vector<Readout> readouts(const ReadoutFilter& f, ArchiveFailure& failure) = 0;
    virtual std::optional<Readout> readout(qint64 id, WithSamples samples, ArchiveFailure& failure) = 0;
    virtual std::optional<qint64> readoutWithSha(const QByteArray& sha256, ArchiveFailure& failure) = 0;
    virtual std::vector<Conflict> conflicts(qint64 readoutId, ArchiveFailure& failure) = 0;
    // Every series stored, in key order.
    virtual std::vector<SeriesKey> series(ArchiveFailure& failure) = 0;
    // The samples of a series with instants fromUtc..toUtc, in pieces.
    virtual std::vector<SeriesPiece> samples(const SeriesKey& s, qint64 fromUtc, qint64 toUtc,
                                             ArchiveFailure& failure) = 0;
    // The series over fromUtc..toUtc for a trend width columns wide (each
    // column an equal part of the time, the first from fromUtc on).
    virtual SeriesOutline outline(const SeriesKey& s, qint64 fromUtc, qint64 toUtc, int width,
                                  ArchiveFailure& failure) = 0;
    // What this archive has handed on to another one (target: its
    // location): the read-outs not yet there, oldest first, and the mark
    // of one that is.
    virtual std::vector<qint64> notPushedTo(const QString& target, ArchiveFailure& failure) = 0;
    virtual ArchiveFailure markPushed(qint64 readoutId, const QString& target) = 0;

    // The stores kept beside the read-outs (users, the audit trail,
    // signatures) speak SQL that both back ends understand: parameters
    // $1, $2, ... given as text (a null QByteArray is NULL), the values of
    // the result as text. rows, when given, receives the result.
    ArchiveFailure execute(const QByteArray& sql, const std::vector<QByteArray>& params = {},
                           std::vector<SqlRow>* rows = nullptr);
    // The same with each row of the result handed to row while it lasts
    // (a null view is NULL): for long results, without a copy of each.
    using RowView = std::vector<QByteArrayView>;
    virtual ArchiveFailure each(const QByteArray& sql, const std::vector<QByteArray>& params,
                                const std::function<void(const RowView&)>& row) = 0;
    // body within one transaction that holds the archive's writer lock (on
    // a server, across every PC), committed when body returns no failure,
    // undone when it does. Within a batch, a savepoint of its transaction.
    virtual ArchiveFailure exclusively(const std::function<ArchiveFailure()>& body) = 0;
    // True for a PostgreSQL server, false for an SQLite file: for the few
    // statements the two spell differently.
    virtual bool onServer() const = 0;
};

// The archive at location: a path to an SQLite file, or a PostgreSQL
// connection (a libpq connection string or a postgresql:// URI); nullptr
// with the failure when it cannot be opened there. Create makes an SQLite
// file (and its folder) on first use; Existing refuses a path where none is
// yet (NotThere). A server gets its tables on first use either way.
enum class OpenMode { Create, Existing };
std::unique_ptr<Archive> openArchive(const QString& location, ArchiveFailure& failure,
                                     OpenMode mode = OpenMode::Create);

// True for a PostgreSQL connection rather than a path.
bool isServerLocation(const QString& location);
// True when a connection names a password: the program never stores one
// (libpq's password file, a service file or PGPASSWORD hold it).
bool holdsPassword(const QString& location);

// True when path (or the nearest folder of it that exists) lies on a
// network file system (NFS, SMB/CIFS, ...), where SQLite must not live.
bool onNetworkFileSystem(const QString& path);

}  // namespace quillet::archive
