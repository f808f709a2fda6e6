#include "archive/backends.h"

#include <QRegularExpression>

namespace quillet::archive {

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

qint64 hourOf(qint64 t) { return t / 3600 - (t % 3600 < 0); }

// The column of instant t (fromUtc <= t <= toUtc) and the first instant of
// column c, as the trend divides the span.
int columnOf(qint64 t, qint64 fromUtc, qint64 toUtc, int width) {
    return int((__int128(t) - fromUtc) * width / (__int128(toUtc) - fromUtc + 1));
}
qint64 columnStart(int c, qint64 fromUtc, qint64 toUtc, int width) {
    return qint64(fromUtc + (__int128(c) * (__int128(toUtc) - fromUtc + 1) + width - 1) / width);
}

}  // namespace

bool hourInOneColumn(qint64 hour, qint64 fromUtc, qint64 toUtc, int width) {
    const qint64 first = hour * 3600;
    const qint64 last = first + 3599;
    width = std::max(width, 1);
    return first >= fromUtc && last <= toUtc &&
           columnOf(first, fromUtc, toUtc, width) == columnOf(last, fromUtc, toUtc, width);
}

std::vector<std::pair<qint64, qint64>> outlineSampleRanges(qint64 fromUtc, qint64 toUtc, int width) {
    std::vector<std::pair<qint64, qint64>> ranges;
    if (toUtc < fromUtc) return ranges;
    width = std::max(width, 1);
    auto cut = [&](qint64 t) {  // the hour of t, unless t begins it
        if (t % 3600 == 0) return;
        const qint64 first = std::max(fromUtc, hourOf(t) * 3600);
        const qint64 last = std::min(toUtc, hourOf(t) * 3600 + 3599);
        if (!ranges.empty() && first <= ranges.back().second + 1)
            ranges.back().second = std::max(ranges.back().second, last);
        else
            ranges.emplace_back(first, last);
    };
    cut(fromUtc);
    for (int c = 1; c < width; ++c) cut(columnStart(c, fromUtc, toUtc, width));
    cut(toUtc + 1);
    return ranges;
}

std::unique_ptr<Archive> openArchive(const QString& location, ArchiveFailure& failure, OpenMode mode) {
    if (isServerLocation(location)) return openServerArchive(location, failure);
    return openFileArchive(location, failure, mode);
}

}  // namespace quillet::archive
