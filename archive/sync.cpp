#include "archive/sync.h"

#include "archive/importer.h"
#include "core/uitexts.h"

namespace quillet::archive {

std::optional<Readout> readoutAsImported(Archive& archive, qint64 id, ArchiveFailure& failure) {
    std::optional<Readout> r = archive.readout(id, WithSamples::Yes, failure);
    if (!r) return std::nullopt;
    const std::vector<Conflict> conflicts = archive.conflicts(id, failure);
    if (failure) return std::nullopt;
    for (const Conflict& c : conflicts)
        for (ReadoutChannel& ch : r->channels) {
            if (ch.series != c.series || ch.intervalSeconds <= 0) continue;
            const qint64 offset = c.utc - ch.startUtc;
            if (offset >= 0 && offset % ch.intervalSeconds == 0 && offset / ch.intervalSeconds < ch.count)
                ch.samples[size_t(offset / ch.intervalSeconds)] = c.brought;
        }
    return r;
}

namespace {

// The read-outs ids of from into to.
SyncSummary handOn(Archive& from, Archive& to, const std::vector<qint64>& ids, bool mark,
                   const SyncProgress& progress) {
    SyncSummary s;
    for (size_t i = 0; i < ids.size(); ++i) {
        if (progress) progress(int(i), int(ids.size()));
        std::optional<Readout> r = readoutAsImported(from, ids[i], s.failure);
        if (!r) {
            if (!s.failure) s.failure = {ArchiveError::Damaged, QStringLiteral("read-out %1").arg(ids[i])};
            s.waiting = int(ids.size() - i);
            return s;
        }
        const ImportResult result = to.import(*r);
        if (result.outcome == ImportOutcome::Failed) {
            s.failure = result.failure;
            s.waiting = int(ids.size() - i);
            return s;
        }
        ++(result.outcome == ImportOutcome::Stored ? s.copied : s.known);
        if (mark) {
            if (const ArchiveFailure f = from.markPushed(ids[i], to.location()); f) {
                s.failure = f;
                s.waiting = int(ids.size() - i - 1);
                return s;
            }
        }
    }
    if (progress) progress(int(ids.size()), int(ids.size()));
    return s;
}

}  // namespace

SyncSummary copyArchive(Archive& from, Archive& to, const SyncProgress& progress) {
    SyncSummary s;
    std::vector<qint64> ids;
    for (const Readout& r : from.readouts({}, s.failure)) ids.push_back(r.id);
    if (s.failure) return s;
    std::sort(ids.begin(), ids.end());
    return handOn(from, to, ids, false, progress);
}

SyncSummary pushArchive(Archive& local, Archive& server, const SyncProgress& progress) {
    SyncSummary s;
    const std::vector<qint64> ids = local.notPushedTo(server.location(), s.failure);
    if (s.failure) return s;
    return handOn(local, server, ids, true, progress);
}

int waitingFor(Archive& local, const QString& server) {
    ArchiveFailure f;
    return int(local.notPushedTo(server, f).size());
}

QString syncText(const SyncSummary& s, const QString& target) {
    QString text = uiText(ui::kArchiveSyncSummary).arg(s.copied).arg(s.known).arg(s.waiting);
    if (s.failure) text += QLatin1Char('\n') + failureText(s.failure, target);
    return text;
}

}  // namespace quillet::archive
