#include "audit/reportsigning.h"

namespace quillet::audit {

QString pageContent(const ReportPageContent& page, const QStringList& bindings) {
    return reportContentText(page.title, page.headerLines.mid(0, 3), reportFigureRows(page), bindings);
}

std::array<QStringList, 3> signOffBoxes(const std::vector<Signature>& signatures) {
    std::array<QStringList, 3> boxes;
    for (const Signature& s : signatures) boxes[size_t(s.meaning)] = signatureBoxLines(s);  // the latest stays
    return boxes;
}

QString footerLine(qint64 entries, const QByteArray& head) {
    return QStringLiteral("監査証跡 第 %1 件まで  %2").arg(entries).arg(QString::fromLatin1(head));
}

bool fillSignOff(Records& records, ReportPageContent& page, const QString& content, archive::ArchiveFailure& failure) {
    const std::vector<Signature> signatures = records.signaturesOf(contentSha(content), failure);
    if (failure) return false;
    page.signOff = signOffBoxes(signatures);
    const std::optional<AuditEntry> last = records.lastEntry(failure);
    if (failure) return false;
    page.footer = footerLine(last ? last->seq : 0, last ? last->code : QByteArray());
    return true;
}

}  // namespace quillet::audit
