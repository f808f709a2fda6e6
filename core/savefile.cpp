#include "core/savefile.h"

#include "core/catalog.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <filesystem>
#include <system_error>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <fcntl.h>
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

// The file a save replaces: a symbolic link's target (the link stays).
QFileInfo saveTarget(const QString& path) {
    QFileInfo info(path);
    if (info.isSymLink()) {
        const QString canonical = info.canonicalFilePath();
        info = QFileInfo(canonical.isEmpty() ? info.symLinkTarget() : canonical);
    }
    return info;
}

int targetError(const QFileInfo& info) {
    if (!info.absoluteDir().exists()) return kErrPathNotFound;
    if (info.isDir()) return kErrPathFileAccess;
    if (info.exists() && !info.isFile()) return kErrWriting;  // a device, a FIFO, a socket
    return 0;
}

// The longest name (in bytes) the file systems we write to hold.
constexpr qsizetype kMaxNameBytes = 255;

}  // namespace

QString saveTemporaryPrefix(const QString& fileName) {
    const QString prefix = QLatin1Char('.') + fileName + QStringLiteral(".quillet-save-");
    if (QFile::encodeName(prefix).size() + 6 <= kMaxNameBytes) return prefix;
    // A name near the limit: its temporaries are named by a digest instead,
    // still one prefix per target so that stale ones are found again.
    const QByteArray digest = QCryptographicHash::hash(fileName.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QLatin1Char('.') + QString::fromLatin1(digest) + QStringLiteral(".quillet-save-");
}

int checkSaveTarget(const QString& path) {
    if (path.isEmpty()) return kErrBadFileName;
    return targetError(saveTarget(path));
}

int folderError(const QString& folder) {
    // The nearest folder that exists decides: may this user write there?
    QFileInfo info(QFileInfo(folder).absoluteFilePath());
    while (!info.exists() && !info.isRoot() && info.absolutePath() != info.absoluteFilePath())
        info = QFileInfo(info.absolutePath());
    if (info.isDir() && !info.isWritable()) return kErrPermissionDenied;
    return kErrPathNotFound;
}

bool nameTaken(const QString& path) {
    std::error_code ec;
    return !path.isEmpty() && std::filesystem::exists(std::filesystem::symlink_status(fsPath(path), ec));
}

int readRegularFile(const QString& path, qint64 maxBytes, QByteArray& bytes) {
    bytes.clear();
    const QFileInfo info(path);
    if (!info.exists()) return kErrFileNotFound;
    if (!info.isFile()) return kErrPathFileAccess;  // a folder, a FIFO, a device, a socket
    QFile f(path);
#ifndef Q_OS_WIN
    // Opened without waiting (a FIFO put in its place since the check would
    // block the open) and checked again on the open file itself.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return kErrPathFileAccess;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return kErrPathFileAccess;
    }
    if (!f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return kErrPathFileAccess;
    }
#else
    if (!f.open(QIODevice::ReadOnly)) return kErrPathFileAccess;
#endif
    bytes = f.read(maxBytes);
    if (f.error() != QFileDevice::NoError) {
        bytes.clear();
        return kErrReading;
    }
    return 0;
}

int writeFileAtomically(const QString& path, const QByteArray& bytes) {
    if (path.isEmpty()) return kErrBadFileName;
    const QFileInfo info = saveTarget(path);
    if (const int error = targetError(info)) return error;

    const QString folder = info.absolutePath();
    const QString target = info.absoluteFilePath();
    removeStaleTemporaries(folder, info.fileName());

    QTemporaryFile temp(folder + QLatin1Char('/') + saveTemporaryPrefix(info.fileName()) + QStringLiteral("XXXXXX"));
    temp.setAutoRemove(true);  // every failure below removes it
    if (!temp.open()) return QFileInfo(folder).isWritable() ? kErrPathFileAccess : kErrPermissionDenied;
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
