#include "archive/archivesettings.h"

#include "core/cp932.h"
#include "core/uitexts.h"

#include <QDir>

namespace quillet::archive {
namespace {

// A field in double quotes, a quote inside doubled.
QString quotedField(const QString& text) {
    QString q = text;
    q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

// The first field of a line: a quoted text (quotes doubled inside) or the
// text before the first comma.
QString firstField(const QString& line) {
    if (!line.startsWith(QLatin1Char('"'))) return line.section(QLatin1Char(','), 0, 0).trimmed();
    QString out;
    for (qsizetype i = 1; i < line.size(); ++i) {
        if (line[i] != QLatin1Char('"')) {
            out += line[i];
            continue;
        }
        if (i + 1 < line.size() && line[i + 1] == QLatin1Char('"')) {
            out += QLatin1Char('"');
            ++i;
            continue;
        }
        break;
    }
    return out;
}

}  // namespace

QString archiveSettingsFile(const Folders& folders) {
    QString folder = folders.settingsFolder;
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return folder + QStringLiteral("qlet7archive.dat");
}

QString defaultArchiveLocation(const Folders& folders) {
    return QDir(folders.documentsFolder).filePath(QStringLiteral("quillet-archive.sqlite"));
}

QString archiveLocation(const ArchiveSettings& s, const Folders& folders) {
    return s.location.isEmpty() ? defaultArchiveLocation(folders) : s.location;
}

ArchiveSettings parseArchiveSettings(const QByteArray& bytes) {
    ArchiveSettings s;
    const QStringList lines = cp932::decode(bytes).value_or(QString()).split(QStringLiteral("\r\n"));
    if (lines.size() > 0) s.location = firstField(lines[0]);
    if (lines.size() > 1) s.site = firstField(lines[1]);
    if (lines.size() > 2) s.importOnSave = firstField(lines[2]) != QLatin1String("#FALSE#");
    return s;
}

QByteArray archiveSettingsBytes(const ArchiveSettings& s) {
    const QString text = quotedField(s.location) + QLatin1Char(',') + quotedField(uiText(ui::kArchiveLocationLine)) +
                         QStringLiteral("\r\n") + quotedField(s.site) + QLatin1Char(',') +
                         quotedField(uiText(ui::kArchiveSiteLine)) + QStringLiteral("\r\n") +
                         (s.importOnSave ? QStringLiteral("#TRUE#") : QStringLiteral("#FALSE#")) + QLatin1Char(',') +
                         quotedField(uiText(ui::kArchiveImportOnSaveLine)) + QStringLiteral("\r\n");
    bool ok = true;
    const QByteArray bytes = cp932::encode(text, &ok);
    return ok ? bytes : QByteArray();
}

ArchiveSettings loadArchiveSettings(const QString& path) {
    QByteArray bytes;
    if (readRegularFile(path, 1 << 16, bytes) != SaveError::None) return {};
    return parseArchiveSettings(bytes);
}

Saved saveArchiveSettings(const ArchiveSettings& s, const QString& path) {
    const QByteArray bytes = archiveSettingsBytes(s);
    return Saved{bytes.isEmpty() ? SaveError::Writing : writeFileAtomically(path, bytes)};
}

}  // namespace quillet::archive
