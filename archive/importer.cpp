#include "archive/importer.h"

#include "archive/archivesettings.h"
#include "archive/sync.h"
#include "comm/commstate.h"
#include "core/catalog.h"
#include "core/context.h"
#include "core/uitexts.h"

#include <QDirIterator>
#include <QFileInfo>

#include <algorithm>
#include <future>

namespace quillet::archive {
namespace {

bool isDataFileName(const QString& name) {
    const QString tail = name.right(4).toLower();
    for (const char* ext : {".ql6", ".ql5", ".ql4", ".qlg", ".qld"})
        if (tail == QLatin1String(ext)) return true;
    return false;
}

}  // namespace

QStringList dataFilesUnder(const QStringList& paths) {
    QStringList files;
    for (const QString& p : paths) {
        if (!QFileInfo(p).isDir()) {
            files << p;
            continue;
        }
        QDirIterator it(p, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString f = it.next();
            if (isDataFileName(f)) files << f;
        }
    }
    std::sort(files.begin(), files.end());
    files.erase(std::unique(files.begin(), files.end()), files.end());
    return files;
}

QString failureText(const ArchiveFailure& f, const QString& location) {
    switch (f.error) {
    case ArchiveError::None: return {};
    case ArchiveError::NetworkFolder: return uiText(ui::kArchiveOnNetwork).arg(location);
    case ArchiveError::CannotOpen: return uiText(ui::kArchiveCannotOpen).arg(location, f.detail);
    case ArchiveError::NotThere: return uiText(ui::kArchiveNotThere).arg(location);
    case ArchiveError::Busy: return uiText(ui::kArchiveBusy).arg(location);
    case ArchiveError::DiskFull: return uiText(ui::kArchiveDiskFull).arg(location);
    case ArchiveError::ReadOnly: return uiText(ui::kArchiveReadOnly).arg(location);
    case ArchiveError::Damaged: return uiText(ui::kArchiveDamaged).arg(location, f.detail);
    case ArchiveError::Failed: return uiText(ui::kArchiveFailed).arg(location, f.detail);
    }
    return {};
}

QString fileProblemText(const FileReadout& r) {
    switch (r.problem) {
    case FileProblem::None: return {};
    case FileProblem::Unreadable:
        return uiText(ui::kArchiveFileUnreadable).arg(runtimeErrorText(runtimeErrorOf(r.readError)));
    case FileProblem::Damaged: return uiText(ui::kArchiveFileDamaged).arg(r.runtimeError);
    case FileProblem::NoTime: return uiText(ui::kArchiveFileNoTime);
    case FileProblem::Empty: return uiText(ui::kArchiveFileEmpty);
    }
    return {};
}

namespace {

FileImport importReadout(Archive& archive, const FileReadout& r) {
    FileImport out;
    if (r.problem != FileProblem::None) {
        out.why = fileProblemText(r);
        return out;
    }
    out.result = archive.import(r.readout);
    if (out.result.outcome == ImportOutcome::Failed) out.why = failureText(out.result.failure, archive.location());
    return out;
}

}  // namespace

FileImport importFile(Archive& archive, const QString& path, const ImportOrigin& origin) {
    return importReadout(archive, readoutFromFile(QFileInfo(path).absoluteFilePath(), origin));
}

ImportSummary importFiles(Archive& archive, const QStringList& files, const ImportOrigin& origin,
                          const ImportProgress& progress) {
    // Committed about every half a million samples: a disk's flush a batch,
    // not a file.
    constexpr qint64 kSamplesACommit = 500000;
    ImportSummary s;
    ImportSummary pending;  // imported since the last commit
    QStringList pendingFiles;
    auto settle = [&](const ArchiveFailure& commit) {
        if (commit) {  // none of them is in the archive
            s.filesFailed += pending.filesNew;
            for (const QString& f : pendingFiles) s.failures.emplace_back(f, failureText(commit, archive.location()));
        } else {
            s.filesNew += pending.filesNew;
            s.samples.samplesNew += pending.samples.samplesNew;
            s.samples.samplesKnown += pending.samples.samplesKnown;
            s.samples.conflicts += pending.samples.conflicts;
        }
        pending = {};
        pendingFiles.clear();
    };
    // The next file is read and decoded while the one before is imported.
    auto read = [&](int i) {
        return std::async(std::launch::async, [path = QFileInfo(files[i]).absoluteFilePath(), &origin] {
            return readoutFromFile(path, origin);
        });
    };
    std::future<FileReadout> next;
    if (!files.isEmpty()) next = read(0);
    archive.beginBatch();
    for (int i = 0; i < files.size(); ++i) {
        if (progress && !progress(i, int(files.size()), files[i])) break;
        const FileReadout r = next.get();
        if (i + 1 < files.size()) next = read(i + 1);
        const FileImport f = importReadout(archive, r);
        switch (f.result.outcome) {
        case ImportOutcome::Stored:
            ++pending.filesNew;
            pendingFiles << files[i];
            pending.samples.samplesNew += f.result.counts.samplesNew;
            pending.samples.samplesKnown += f.result.counts.samplesKnown;
            pending.samples.conflicts += f.result.counts.conflicts;
            break;
        case ImportOutcome::AlreadyKnown: ++s.filesKnown; break;
        case ImportOutcome::Failed:
            ++s.filesFailed;
            s.failures.emplace_back(files[i], f.why);
            break;
        }
        const ImportSummary& p = pending;
        if (p.samples.samplesNew + p.samples.samplesKnown + p.samples.conflicts >= kSamplesACommit)
            settle(archive.commitBatch());
    }
    settle(archive.endBatch());
    if (progress) progress(int(files.size()), int(files.size()), QString());
    return s;
}

QString summaryText(const ImportSummary& s) {
    QString text = uiText(ui::kArchiveSummaryFiles).arg(s.filesNew).arg(s.filesKnown).arg(s.filesFailed) +
                   QLatin1Char('\n') +
                   uiText(ui::kArchiveSummarySamples)
                       .arg(s.samples.samplesNew)
                       .arg(s.samples.samplesKnown)
                       .arg(s.samples.conflicts);
    for (const auto& [file, why] : s.failures) text += QLatin1Char('\n') + file + QStringLiteral(": ") + why;
    return text;
}

Archive* ArchiveOnSave::opened(std::unique_ptr<Archive>& slot, const QString& location, ArchiveFailure& failure) {
    if (!slot || slot->location() != location) slot = openArchive(location, failure);
    return slot.get();
}

QString ArchiveOnSave::readoutSaved(AppContext& ctx, const QString& path) {
    const ArchiveSettings settings = loadArchiveSettings(archiveSettingsFile(folders_));
    if (!settings.importOnSave) return {};
    const QString configured = archiveLocation(settings, folders_);
    const bool shared = isServerLocation(configured);
    // A shared server takes read-outs from this PC's own archive.
    const QString location = shared ? defaultArchiveLocation(folders_) : configured;
    ArchiveFailure failure;
    Archive* archive = opened(archive_, location, failure);
    if (!archive) return uiText(ui::kArchiveNotImported).arg(failureText(failure, location));
    const FileImport f = importFile(*archive, path, thisComputer(settings.site, ctx.pendingLogger->loggerModel));
    if (f.result.outcome == ImportOutcome::Failed) {
        archive_.reset();  // opened anew next time: the disk or the lock may have changed
        return uiText(ui::kArchiveNotImported).arg(f.why);
    }
    const QString pushed = shared ? pushWaiting() : QString();
    if (!pushed.isEmpty()) return pushed;
    if (f.result.counts.conflicts > 0) return uiText(ui::kArchiveImportedWithConflicts).arg(f.result.counts.conflicts);
    return {};
}

QString ArchiveOnSave::pushWaiting() {
    const ArchiveSettings settings = loadArchiveSettings(archiveSettingsFile(folders_));
    const QString server = archiveLocation(settings, folders_);
    if (!isServerLocation(server)) return {};
    const QString local = defaultArchiveLocation(folders_);
    ArchiveFailure failure;
    Archive* own = opened(archive_, local, failure);
    if (!own) return failureText(failure, local);
    if (waitingFor(*own, server) == 0) return {};
    Archive* shared = opened(server_, server, failure);
    if (!shared) return uiText(ui::kArchiveWaiting).arg(waitingFor(*own, server)).arg(failureText(failure, server));
    const SyncSummary s = pushArchive(*own, *shared);
    if (s.waiting == 0) return {};
    server_.reset();  // connected anew next time
    return uiText(ui::kArchiveWaiting).arg(s.waiting).arg(failureText(s.failure, server));
}

}  // namespace quillet::archive
