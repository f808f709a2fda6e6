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

std::unique_ptr<Archive> openArchive(const QString& location, ArchiveFailure& failure, OpenMode mode) {
    if (isServerLocation(location)) return openServerArchive(location, failure);
    return openFileArchive(location, failure, mode);
}

}  // namespace quillet::archive
