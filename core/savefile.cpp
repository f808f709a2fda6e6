#include "core/savefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <filesystem>
#include <system_error>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quillet {
namespace {

std::filesystem::path fsPath(const QString& s) {
#ifdef Q_OS_WIN
    return std::filesystem::path(s.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(s).toStdString());
#endif
}

// Pushes what the file holds to the disk; false when the disk refused it.
bool syncToDisk(QTemporaryFile& f) {
    if (!f.flush()) return false;
#ifdef Q_OS_WIN
    return _commit(f.handle()) == 0;
#else
    return ::fsync(f.handle()) == 0;
#endif
}

// A new file gets the permissions any newly created file would get.
void giveNewFilePermissions(QTemporaryFile& f) {
#ifndef Q_OS_WIN
    const mode_t mask = ::umask(0);
    ::umask(mask);
    (void)::fchmod(f.handle(), 0666 & ~mask);
#else
    (void)f;
#endif
}

void removeStaleTemporaries(const QString& folder, const QString& fileName) {
    const QString prefix = saveTemporaryPrefix(fileName);
    const QDir dir(folder);
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names)
        if (name.size() == prefix.size() + 6 && name.startsWith(prefix)) QFile::remove(dir.filePath(name));
}

}  // namespace

QString saveTemporaryPrefix(const QString& fileName) {
    return QLatin1Char('.') + fileName + QStringLiteral(".quillet-save-");
}

int writeFileAtomically(const QString& path, const QByteArray& bytes) {
    if (path.isEmpty()) return kErrBadFileName;
    QFileInfo info(path);
    if (info.isSymLink()) {
        // Write the file the link points to; the link itself stays.
        const QString canonical = info.canonicalFilePath();
        info = QFileInfo(canonical.isEmpty() ? info.symLinkTarget() : canonical);
    }
    if (!info.absoluteDir().exists()) return kErrPathNotFound;
    if (info.isDir()) return kErrPathFileAccess;
    if (info.exists() && !info.isFile()) return kErrWriting;  // a device, a FIFO, a socket

    const QString folder = info.absolutePath();
    const QString target = info.absoluteFilePath();
    removeStaleTemporaries(folder, info.fileName());

    QTemporaryFile temp(folder + QLatin1Char('/') + saveTemporaryPrefix(info.fileName()) + QStringLiteral("XXXXXX"));
    temp.setAutoRemove(true);  // every failure below removes it
    if (!temp.open()) return kErrPathFileAccess;
    if (temp.write(bytes) != bytes.size() || !syncToDisk(temp)) return kErrWriting;
    if (info.exists())
        temp.setPermissions(QFile::permissions(target));
    else
        giveNewFilePermissions(temp);
    temp.close();
    if (temp.error() != QFileDevice::NoError) return kErrWriting;

    std::error_code ec;
    std::filesystem::rename(fsPath(temp.fileName()), fsPath(target), ec);
    if (ec) return kErrWriting;
    temp.setAutoRemove(false);  // it is the target now
    return 0;
}

}  // namespace quillet
