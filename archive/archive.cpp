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

std::unique_ptr<Archive> openArchive(const QString& location, ArchiveFailure& failure, OpenMode mode) {
    if (isServerLocation(location)) return openServerArchive(location, failure);
    return openFileArchive(location, failure, mode);
}

}  // namespace quillet::archive
