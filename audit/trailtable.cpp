#include "audit/trailtable.h"

#include "analysis/reportprint.h"
#include "audit/audittexts.h"
#include "core/context.h"
#include "print/printjobs.h"
#include "print/tableprinter.h"

#include <QDateTime>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <array>

namespace quillet::audit {

namespace {

QString localTime(qint64 utc, const QTimeZone& zone) {
    return QDateTime::fromSecsSinceEpoch(utc, zone).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// A field of the CSV: quoted when it holds a comma, a quote or a line end.
QString csvField(const QString& s) {
    if (!s.contains(QLatin1Char(',')) && !s.contains(QLatin1Char('"')) && !s.contains(QLatin1Char('\n')) &&
        !s.contains(QLatin1Char('\r')))
        return s;
    QString quoted = s;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// The text broken into lines no wider than width (at a blank where one is
// in the second half of the line, else between characters).
QStringList wrapped(const QString& text, const QFontMetricsF& fm, double width) {
    QStringList lines;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        QString rest = paragraph;
        while (fm.horizontalAdvance(rest) > width && rest.size() > 1) {
            qsizetype n = 1;
            while (n < rest.size() && fm.horizontalAdvance(rest.left(n + 1)) <= width) ++n;
            const qsizetype blank = rest.left(n).lastIndexOf(QLatin1Char(' '));
            if (blank > n / 2) n = blank + 1;
            lines << rest.left(n).trimmed();
            rest = rest.mid(n);
        }
        lines << rest;
    }
    return lines;
}

constexpr std::array<int, kTrailColumns> kPrintUnits{5, 13, 9, 8, 12, 15, 13, 13, 12};
constexpr int kPrintChars = 100;

}  // namespace

QString trailColumnHead(int column) { return text(kTrailColumnHeads).split(QLatin1Char('\t')).value(column); }

QString trailCellText(const AuditEntry& e, int column, const QTimeZone& zone) {
    switch (column) {
    case 0: return QString::number(e.seq);
    case 1: return localTime(e.utc, zone);
    case 2: return e.host;
    case 3: return e.user;
    case 4: return actionText(e.action);
    case 5: return e.object;
    case 6: return e.oldValue;
    case 7: return e.newValue;
    case 8: return e.reason;
    default: return {};
    }
}

QStringList trailActionWords() {
    QStringList words;
    for (const char* w : {action::kModeOn, action::kSignIn, action::kSignInFailed, action::kSignOut, action::kUserAdd,
                          action::kUserChange, action::kUserLock, action::kUserUnlock, action::kReadout,
                          action::kSettingsWrite, action::kImport, action::kSettingChange, action::kReportSign,
                          action::kReportPrint, action::kFileMismatch, action::kExport})
        words << QLatin1String(w);
    return words;
}

TrailFilter lastDaysFilter(const QDate& today) { return {today.addDays(-29), today, std::nullopt, std::nullopt}; }

EntryFilter entryFilterOf(const TrailFilter& f, const QTimeZone& zone) {
    EntryFilter e;
    e.fromUtc = QDateTime(f.from, QTime(0, 0), zone).toSecsSinceEpoch();
    e.toUtc = QDateTime(f.to.addDays(1), QTime(0, 0), zone).toSecsSinceEpoch() - 1;
    e.user = f.user;
    e.action = f.action;
    return e;
}

QString trailFilterText(const TrailFilter& f) {
    const QString all = text(kTrailAll);
    return text(kTrailFilterText)
        .arg(f.from.toString(Qt::ISODate), f.to.toString(Qt::ISODate), f.user.value_or(all),
             f.action ? actionText(*f.action) : all);
}

QByteArray trailCsvBytes(const std::vector<AuditEntry>& entries, const QTimeZone& zone) {
    QStringList head;
    for (int c = 0; c < kTrailColumns; ++c) {
        head << trailColumnHead(c);
        if (c == 1) head << text(kTrailUtcColumn);
    }
    QString out = head.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    for (const AuditEntry& e : entries) {
        QStringList row;
        for (int c = 0; c < kTrailColumns; ++c) {
            row << csvField(trailCellText(e, c, zone));
            if (c == 1)
                row << QDateTime::fromSecsSinceEpoch(e.utc, QTimeZone::utc())
                           .toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss'Z'"));
        }
        out += row.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return QByteArrayLiteral("\xEF\xBB\xBF") + out.toUtf8();
}

int printTrail(AppContext& ctx, PrintControl& printer, const TrailPrint& p) {
    return printReportDocument(ctx, printer, text(kTrailTitle), [&](QPainter& painter, QPagedPaintDevice& target) {
        QPagedPaintDevice* device = &target;
        const double printable = device->width();
        const FittedFont fitted = fitPrintFont(device, printable, kPrintChars);
        PrintTable t;
        t.font = printFont(fitted.size);
        t.unit = fitted.width;
        t.lineHeight = fitted.height;
        t.indent = (printable - kPrintChars * t.unit) / 2;
        t.columnUnits.assign(kPrintUnits.begin(), kPrintUnits.end());
        t.align = {CellAlign::Right, CellAlign::Left};
        t.align.resize(kTrailColumns, CellAlign::Left);

        // Every cell broken into the lines its column holds.
        const QFontMetricsF fm(t.font, device);
        std::vector<std::array<QString, kTrailColumns>> cells(p.entries.size() + 1);
        std::vector<int> lines(p.entries.size() + 1, 1);
        for (int c = 0; c < kTrailColumns; ++c) cells[0][size_t(c)] = trailColumnHead(c);
        for (size_t r = 0; r < p.entries.size(); ++r) {
            for (int c = 0; c < kTrailColumns; ++c) {
                const double room = kPrintUnits[size_t(c)] * t.unit * 0.94;
                const QStringList l = wrapped(trailCellText(p.entries[r], c, p.zone), fm, room);
                cells[r + 1][size_t(c)] = l.join(QLatin1Char('\n'));
                lines[r + 1] = std::max(lines[r + 1], int(l.size()));
            }
        }
        t.rows = int(cells.size());
        t.rowLines = [&lines](int row) { return lines[size_t(row)]; };
        t.cell = [&cells](int row, int col) { return cells[size_t(row)][size_t(col)]; };

        const QStringList heading{
            p.checkText, p.filterText,
            text(kTrailPrintedAt).arg(ctx.clock->now().toString(QStringLiteral("yyyy-MM-dd HH:mm"))) +
                QStringLiteral("　") + text(kTrailCount).arg(p.entries.size())};
        t.headingHeight = (heading.size() + 2.5) * t.lineHeight * 1.2;
        t.heading = [&](QPainter& painter, int, int) {
            QFont bold = t.font;
            bold.setBold(true);
            bold.setPointSizeF(t.font.pointSizeF() * 1.4);
            painter.setFont(bold);
            double y = QFontMetricsF(bold, device).ascent();
            painter.drawText(QPointF(t.indent, y), text(kTrailTitle));
            painter.setFont(t.font);
            y += t.lineHeight * 1.6;
            for (const QString& line : heading) {
                painter.drawText(QPointF(t.indent, y), line);
                y += t.lineHeight * 1.2;
            }
        };

        return printTable(painter, *device, t);
    });
}

}  // namespace quillet::audit
