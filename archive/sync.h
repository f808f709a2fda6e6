// Read-outs from one archive into another: a PC's own archive pushed to
// the shared server once it can be reached, and whole archives copied
// (SQLite to PostgreSQL and back). A read-out goes whole, with its own
// samples and its SHA-256: samples never change, so handing one on twice
// adds nothing and can never conflict with itself.
#pragma once

#include "archive/archive.h"

#include <functional>

namespace quillet::archive {

// The read-out as it came in: the stored values of its channels, with its
// own value put back where it brought a conflicting one.
std::optional<Readout> readoutAsImported(Archive& archive, qint64 id, ArchiveFailure& failure);

struct SyncSummary {
    int copied = 0;   // stored by the target
    int known = 0;    // the target had it already
    int waiting = 0;  // still to go (the target failed on the way)
    ArchiveFailure failure;
};
using SyncProgress = std::function<void(int done, int total)>;

// Every read-out of from into to, oldest first; stops at the first failure.
SyncSummary copyArchive(Archive& from, Archive& to, const SyncProgress& progress = {});

// The read-outs of local not yet pushed to server, each marked in local
// once the server holds it.
SyncSummary pushArchive(Archive& local, Archive& server, const SyncProgress& progress = {});
// How many read-outs of local wait for server (its location).
int waitingFor(Archive& local, const QString& server);

// The summary in words.
QString syncText(const SyncSummary& s, const QString& target);

}  // namespace quillet::archive
