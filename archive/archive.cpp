#include "archive/backends.h"

#include <QRegularExpression>

namespace quillet::archive {

ArchiveFailure Archive::execute(const QByteArray& sql, const std::vector<QByteArray>& params,
                                std::vector<SqlRow>* rows) {
    return each(sql, params, [rows](const RowView& view) {
        if (!rows) return;
        SqlRow row;
        row.reserve(view.size());
        for (const QByteArrayView v : view) row.push_back(v.data() ? v.toByteArray() : QByteArray());
        rows->push_back(std::move(row));
    });
}

bool isServerLocation(const QString& location) {
    static const QRegularExpression keyword(QStringLiteral("^\\s*[a-z_]+\\s*="));
    return location.startsWith(QLatin1String("postgresql://")) || location.startsWith(QLatin1String("postgres://")) ||
           keyword.match(location).hasMatch();
}

bool holdsPassword(const QString& location) {
    static const QRegularExpression keyword(QStringLiteral("(^|\\s)password\\s*="));
    static const QRegularExpression uri(QStringLiteral("^postgres(ql)?://[^/@]*:[^/@]*@"));
    static const QRegularExpression query(QStringLiteral("[?&]password="));
    return keyword.match(location).hasMatch() || uri.match(location).hasMatch() || query.match(location).hasMatch();
}

namespace {

// The column of instant t (fromUtc <= t <= toUtc), as the trend divides
// the span.
int columnOf(qint64 t, qint64 fromUtc, qint64 toUtc, int width) {
    return int((__int128(t) - fromUtc) * width / (__int128(toUtc) - fromUtc + 1));
}

}  // namespace

bool hourInOneColumn(qint64 hour, qint64 fromUtc, qint64 toUtc, int width) {
    const qint64 first = hour * 3600;
    const qint64 last = first + 3599;
    width = std::max(width, 1);
    return first >= fromUtc && last <= toUtc &&
           columnOf(first, fromUtc, toUtc, width) == columnOf(last, fromUtc, toUtc, width);
}

std::vector<std::pair<qint64, qint64>> outlineSampleRanges(qint64 fromUtc, qint64 toUtc,
                                                           const std::vector<HourSummary>& summed) {
    std::vector<std::pair<qint64, qint64>> ranges;
    qint64 next = fromUtc;  // the first instant not yet in a range or a summed hour
    for (const HourSummary& h : summed) {
        if (h.hour * 3600 > next) ranges.emplace_back(next, h.hour * 3600 - 1);
        next = h.hour * 3600 + 3600;
    }
    if (next <= toUtc) ranges.emplace_back(next, toUtc);
    return ranges;
}

std::unique_ptr<Archive> openArchive(const QString& location, ArchiveFailure& failure, OpenMode mode) {
    if (isServerLocation(location)) return openServerArchive(location, failure);
    return openFileArchive(location, failure, mode);
}

}  // namespace quillet::archive
