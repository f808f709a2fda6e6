// A report in electronic records mode: what its signatures are bound to,
// the boxes they fill and the trail's head at its foot.
#pragma once

#include "analysis/reportprint.h"
#include "audit/records.h"

namespace quillet::audit {

// The content of a report page as signed: the title, the lines that say
// what the report is of (the first three: loggers, period, interval and
// ΔH/R, not the print date), the figures and the data's bindings.
QString pageContent(const ReportPageContent& page, const QStringList& bindings);

// The boxes 作成, 確認 and 承認: the latest signature of each meaning.
std::array<QStringList, 3> signOffBoxes(const std::vector<Signature>& signatures);

// The page's foot: the trail's head when it was printed.
QString footerLine(qint64 entries, const QByteArray& head);

// Fills the page's boxes with the signatures of its content and its foot
// with the trail's head. False (failure set) when they cannot be read.
bool fillSignOff(Records& records, ReportPageContent& page, const QString& content, archive::ArchiveFailure& failure);

}  // namespace quillet::audit
