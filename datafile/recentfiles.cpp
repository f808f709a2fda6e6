#include "datafile/recentfiles.h"

#include "core/context.h"
#include "core/cp932.h"
#include "core/savefile.h"
#include "core/statusline.h"
#include "core/uitexts.h"
#include "datafile/fileops.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quillet {

QStringList withRecentFile(QStringList list, const QString& file) {
    list.removeAll(file);
    list.prepend(file);
    while (list.size() > kRecentFilesMax) list.removeLast();
    return list;
}

QStringList readRecentFiles(const QString& path) {
    QFile f(path);
    if (path.isEmpty() || !f.open(QIODevice::ReadOnly)) return {};
    const std::optional<QString> text = cp932::decode(f.read(64 * 1024));
    if (!text) return {};
    QStringList list;
    for (const QString& line : text->split(QStringLiteral("\r\n"))) {
        if (line.isEmpty() || !QDir::isAbsolutePath(line) || list.contains(line)) continue;
        list << line;
        if (list.size() == kRecentFilesMax) break;
    }
    return list;
}

SaveError writeRecentFiles(const QString& path, const QStringList& list) {
    QString text;
    for (const QString& file : list) text += file + QStringLiteral("\r\n");
    bool ok = true;
    const QByteArray bytes = cp932::encode(text, &ok);
    if (!ok) return SaveError::Writing;
    return writeFileAtomically(path, bytes);
}

QString recentFilesPath(const AppContext& ctx) {
    if (ctx.folders.settingsFile.isEmpty()) return {};
    return QFileInfo(ctx.folders.settingsFile).absoluteDir().filePath(QStringLiteral("qlet7recent.dat"));
}

QStringList recentFiles(const AppContext& ctx) { return readRecentFiles(recentFilesPath(ctx)); }

namespace {

void storeRecentFiles(AppContext& ctx, const QStringList& list) {
    const QString path = recentFilesPath(ctx);
    if (path.isEmpty()) return;
    QDir().mkpath(QFileInfo(path).absolutePath());
    writeRecentFiles(path, list);
}

}  // namespace

void rememberRecentFile(AppContext& ctx, const QString& file) {
    const QString path = QFileInfo(file).absoluteFilePath();
    bool ok = true;
    if (cp932::decode(cp932::encode(path, &ok)) != path || !ok) return;
    storeRecentFiles(ctx, withRecentFile(recentFiles(ctx), path));
}

void forgetRecentFile(AppContext& ctx, const QString& file) {
    QStringList list = recentFiles(ctx);
    if (list.removeAll(file) > 0) storeRecentFiles(ctx, list);
}

bool openRecentFile(AppContext& ctx, const QString& file) {
    if (!QFileInfo(file).isFile()) {
        forgetRecentFile(ctx, file);
        showStatusWord(ctx, uiText(ui::kRecentFileGone) + file);
        return false;
    }
    openDataFileNamed(ctx, file, UnsavedQuestion::Ask);
    return true;
}

}  // namespace quillet
