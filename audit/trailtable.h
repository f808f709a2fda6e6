// The audit trail as its window shows it, prints it and writes it to a CSV
// file: the columns, each entry's texts, the window's filter and the filter
// in words.
#pragma once

#include "audit/records.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <QTimeZone>

#include <optional>
#include <vector>

namespace quillet {
struct AppContext;
class PrintControl;
}  // namespace quillet

namespace quillet::audit {

// 番号, 日時 (local time), PC, ユーザー, 操作, 対象, 変更前, 変更後, 理由.
inline constexpr int kTrailColumns = 9;
QString trailColumnHead(int column);
// The text of an entry in a column: its time in zone, its action as words.
QString trailCellText(const AuditEntry& e, int column, const QTimeZone& zone);

// Every action word, in the order the window lists them.
QStringList trailActionWords();

// The window's filter: the local days from..to (both included), one user
// or every one, one action (its word) or every one.
struct TrailFilter {
    QDate from;
    QDate to;
    std::optional<QString> user;
    std::optional<QString> action;
};
// The last 30 days up to today.
TrailFilter lastDaysFilter(const QDate& today);
EntryFilter entryFilterOf(const TrailFilter& f, const QTimeZone& zone);
// "期間: 2027-01-01 〜 2027-01-30　ユーザー: すべて　操作: すべて".
QString trailFilterText(const TrailFilter& f);

// The tidy CSV of the entries: one header row (the columns, and the time in
// UTC after the local one), a row per entry; UTF-8 with a BOM, CR LF.
QByteArray trailCsvBytes(const std::vector<AuditEntry>& entries, const QTimeZone& zone);

// What a print of the trail shows: the entries, the check's result and the
// filter in the heading of every page.
struct TrailPrint {
    std::vector<AuditEntry> entries;
    QString checkText;
    QString filterText;
    QTimeZone zone;
};
// Prints the trail on printer (A4 landscape for this document): the table
// over as many pages as it takes. Returns the number of pages; 0 when
// nothing was printed (reported by the failure rule).
int printTrail(AppContext& ctx, PrintControl& printer, const TrailPrint& p);

}  // namespace quillet::audit
