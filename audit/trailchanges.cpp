#include "audit/trailchanges.h"

#include "audit/audittexts.h"
#include "audit/readoutrecorder.h"
#include "core/context.h"

#include <QDateTime>
#include <QFileInfo>

namespace quillet::audit {

using archive::ArchiveFailure;

bool TrailChanges::settingChanging(const QString& what, const QString& before, const QString& after) {
    if (!records_.on()) return true;
    for (;;) {
        const std::optional<QString> reason = askReason_(what);
        if (!reason) return false;
        if (reason->trimmed().isEmpty()) {
            ctx_.messages->show(text(kReasonTitle), text(kReasonNeeded), kOkOnly | kIconExclamation);
            continue;
        }
        const ArchiveFailure f = records_.record(action::kSettingChange, what, before, after, reason->trimmed());
        if (f) ctx_.messages->show(text(kReasonTitle), text(kRecordsUnreadable).arg(f.detail), kOkOnly | kIconError);
        return !f;
    }
}

void TrailChanges::imported(const QString& paths, const QString& summary) {
    records_.record(action::kImport, paths, {}, QString(summary).replace(QLatin1Char('\n'), QStringLiteral(" / ")));
}

void TrailChanges::dataFileOpened(const QString& path) {
    if (!records_.on() || path.isEmpty()) return;
    const QByteArray sha = fileSha256(path);
    ArchiveFailure f;
    if (sha.isEmpty() || records_.archive().readoutWithSha(sha, f) || f) return;
    // A file the archive knows by its place but not by its content.
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const std::vector<archive::Readout> readouts = records_.archive().readouts({}, f);
    for (auto r = readouts.rbegin(); r != readouts.rend(); ++r) {
        if (QFileInfo(r->path).absoluteFilePath() != absolute) continue;
        records_.record(action::kFileMismatch, path, QStringLiteral("sha256:") + QString::fromLatin1(r->sha256),
                        QStringLiteral("sha256:") + QString::fromLatin1(sha));
        ctx_.messages->show(
            text(kFileMismatch),
            text(kFileMismatchDetail)
                .arg(path)
                .arg(r->id)
                .arg(QDateTime::fromSecsSinceEpoch(r->importedUtc).toString(QStringLiteral("yyyy-MM-dd HH:mm"))),
            kOkOnly | kIconExclamation);
        return;
    }
}

}  // namespace quillet::audit
