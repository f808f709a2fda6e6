#include "core/savefile.h"

#include "core/catalog.h"

#include <QCryptographicHash>
#include <QFile>

#include <cerrno>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_WIN
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <algorithm>

#include <fcntl.h>
#include <io.h>
#else
#include <QStringView>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quillet {
namespace {

// The longest name the file systems we write to hold: 255 bytes on Linux,
// 255 UTF-16 units on Windows.
constexpr qsizetype kMaxNameLength = 255;
// As many links in a row as the system itself follows.
constexpr int kMaxLinks = 40;

// Writes all of bytes and pushes them to the disk: 0 or errno.
int writeAndSync(int fd, const QByteArray& bytes) {
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
#ifdef Q_OS_WIN
        const int n = ::_write(fd, p, unsigned(std::min<qsizetype>(left, 1 << 30)));
#else
        const ssize_t n = ::write(fd, p, size_t(left));
#endif
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        p += n;
        left -= n;
    }
#ifdef Q_OS_WIN
    return ::_commit(fd) == 0 ? 0 : errno;
#else
    return ::fsync(fd) == 0 ? 0 : errno;
#endif
}

// Reads at most maxBytes of the open file f: 0 or SaveError::Reading.
SaveError readOpened(QFile& f, qint64 maxBytes, QByteArray& bytes) {
    bytes = f.read(maxBytes);
    if (f.error() == QFileDevice::NoError) return SaveError::None;
    bytes.clear();
    return SaveError::Reading;
}

}  // namespace

#ifdef Q_OS_WIN

// Windows: a QString is the system's own spelling of a name (UTF-16), so the
// names stay QStrings and Qt's file classes do the work.

namespace {

// The file a save replaces: where the symbolic links lead (they stay).
struct Target {
    QFileInfo info;  // absolute, no symbolic link
};

// Follows the links from named; None or the error (a loop: too many links).
SaveError resolve(const QString& named, Target& t) {
    QString path = QFileInfo(named).absoluteFilePath();
    for (int links = 0;; ++links) {
        t.info = QFileInfo(path);
        if (!t.info.isSymbolicLink()) return SaveError::None;
        if (links == kMaxLinks) return SaveError::PathFileAccess;
        path = t.info.symLinkTarget();
        if (path.isEmpty()) return SaveError::PathFileAccess;
    }
}

// Why a save into t cannot be, before anything is written; None when it can.
SaveError targetError(const QString& path, Target& t) {
    if (path.isEmpty()) return SaveError::BadFileName;
    if (const SaveError error = resolve(path, t); error != SaveError::None) return error;
    if (t.info.fileName().size() > kMaxNameLength) return SaveError::NameTooLong;
    const QFileInfo folder(t.info.absolutePath());
    if (!folder.isDir()) return SaveError::PathNotFound;
    if (t.info.exists()) {
        if (t.info.isDir()) return SaveError::PathFileAccess;
        if (!t.info.isFile()) return SaveError::Writing;  // a device
        // A read-only file stays as it is: the rename would replace it.
        if (!t.info.isWritable()) return SaveError::PermissionDenied;
    }
    return folder.isWritable() ? SaveError::None : SaveError::PermissionDenied;
}

QString temporaryPrefix(const QString& name) {
    const QString prefix = QLatin1Char('.') + name + QStringLiteral(".quillet-save-");
    if (prefix.size() + 6 <= kMaxNameLength) return prefix;
    // A name near the limit: its temporaries are named by a digest instead,
    // still one prefix per target so that stale ones are found again.
    const QByteArray digest = QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QLatin1Char('.') + QString::fromLatin1(digest) + QStringLiteral(".quillet-save-");
}

void removeStaleTemporaries(const QString& folder, const QString& name) {
    const QString prefix = temporaryPrefix(name);
    const QDir dir(folder);
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& entry : names)
        if (entry.size() == prefix.size() + 6 && entry.startsWith(prefix)) QFile::remove(dir.filePath(entry));
}

std::filesystem::path fsPath(const QString& s) { return std::filesystem::path(s.toStdWString()); }

}  // namespace

QByteArray encodeFileName(const QString& name) { return QFile::encodeName(name); }

QString decodeFileName(const QByteArray& bytes) { return QFile::decodeName(bytes); }

QStringList decodeArguments(int argc, const char* const* argv) {
    // The application has the command line as Windows keeps it (UTF-16);
    // argv holds it in the ANSI code page, which has no room for every name.
    if (QCoreApplication::instance()) return QCoreApplication::arguments();
    QStringList args;
    for (int i = 0; i < argc; ++i) args << decodeFileName(QByteArray(argv[i]));
    return args;
}

QString saveTemporaryPrefix(const QString& fileName) { return temporaryPrefix(fileName); }

bool nameTaken(const QString& path) {
    const QFileInfo info(path);
    return !path.isEmpty() && (info.exists() || info.isSymLink());
}

SaveError readRegularFile(const QString& path, qint64 maxBytes, QByteArray& bytes) {
    bytes.clear();
    const QFileInfo info(path);
    if (!info.exists()) return SaveError::FileNotFound;
    if (!info.isFile()) return SaveError::PathFileAccess;  // a folder, a device
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return SaveError::PathFileAccess;
    return readOpened(f, maxBytes, bytes);
}

SaveError writeFileAtomically(const QString& path, const QByteArray& bytes) {
    Target t;
    if (const SaveError error = targetError(path, t); error != SaveError::None) return error;
    const QString folder = t.info.absolutePath();
    removeStaleTemporaries(folder, t.info.fileName());

    // Removed again by its destructor on every failure below.
    QTemporaryFile temp(folder + QLatin1Char('/') + temporaryPrefix(t.info.fileName()) + QStringLiteral("XXXXXX"));
    if (!temp.open()) return SaveError::PathFileAccess;
    const int fd = temp.handle();
    (void)::_setmode(fd, _O_BINARY);  // the bytes as they are, no CR added
    int failure = writeAndSync(fd, bytes);
    // No permissions to carry over: the read-only bit is the one Windows
    // keeps and a read-only target was refused; access comes from the folder.
    temp.close();
    if (failure == 0) {
        std::error_code ec;
        std::filesystem::rename(fsPath(temp.fileName()), fsPath(t.info.absoluteFilePath()), ec);
        failure = ec ? ec.default_error_condition().value() : 0;
    }
    if (failure != 0) return saveErrorOf(failure);
    temp.setAutoRemove(false);  // it is the target now
    return SaveError::None;
}

#else

// Linux: a name is bytes, kept in a QString byte for byte.

namespace {

// A name's own bytes that are no UTF-8 live in a QString as U+DC80..U+DCFF.
constexpr char16_t kByteEscape = 0xDC00;

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0) return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

QByteArray nameOf(const QByteArray& path) { return path.mid(path.lastIndexOf('/') + 1); }

// The file a save replaces: where the symbolic links lead (they stay).
struct Target {
    QByteArray path;  // no symbolic link
    bool exists = false;
    mode_t mode = 0;
};

// Follows the links from named; None or the error (a loop: too many links).
SaveError resolve(const QByteArray& named, Target& t) {
    t.path = named;
    for (int links = 0;; ++links) {
        struct stat st {};
        if (::lstat(t.path.constData(), &st) != 0) {
            t.exists = false;
            return errno == ENOENT ? SaveError::None : saveErrorOf(errno);
        }
        if (!S_ISLNK(st.st_mode)) {
            t.exists = true;
            t.mode = st.st_mode;
            return SaveError::None;
        }
        if (links == kMaxLinks) return saveErrorOf(ELOOP);
        QByteArray to(qsizetype(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        const ssize_t n = ::readlink(t.path.constData(), to.data(), size_t(to.size()));
        if (n < 0) return saveErrorOf(errno);
        to.truncate(n);
        t.path = to.startsWith('/') ? to : folderOf(t.path) + '/' + to;
    }
}

// Why a save into t cannot be, before anything is written; None when it can.
SaveError targetError(const QString& path, Target& t) {
    if (path.isEmpty()) return SaveError::BadFileName;
    if (const SaveError error = resolve(encodeFileName(path), t); error != SaveError::None) return error;
    const QByteArray folder = folderOf(t.path);
    struct stat st {};
    if (::stat(folder.constData(), &st) != 0) return saveErrorOf(errno);
    if (!S_ISDIR(st.st_mode)) return SaveError::PathNotFound;
    if (t.exists) {
        if (S_ISDIR(t.mode)) return SaveError::PathFileAccess;
        if (!S_ISREG(t.mode)) return SaveError::Writing;  // a device, a FIFO, a socket
        // A file nobody may write to stays as it is: the rename would replace
        // it all the same, and the super-user's access() says yes to it.
        if ((t.mode & 0222) == 0) return SaveError::PermissionDenied;
        if (::access(t.path.constData(), W_OK) != 0) return saveErrorOf(errno);
    }
    if (::access(folder.constData(), W_OK | X_OK) != 0) return saveErrorOf(errno);
    return SaveError::None;
}

QByteArray temporaryPrefix(const QByteArray& name) {
    const QByteArray prefix = '.' + name + ".quillet-save-";
    if (prefix.size() + 6 <= kMaxNameLength) return prefix;
    // A name near the limit: its temporaries are named by a digest instead,
    // still one prefix per target so that stale ones are found again.
    const QByteArray digest = QCryptographicHash::hash(name, QCryptographicHash::Sha1).toHex().left(16);
    return '.' + digest + ".quillet-save-";
}

void removeStaleTemporaries(const QByteArray& folder, const QByteArray& name) {
    const QByteArray prefix = temporaryPrefix(name);
    DIR* dir = ::opendir(folder.constData());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray entryName(entry->d_name);
        if (entryName.size() == prefix.size() + 6 && entryName.startsWith(prefix))
            ::unlink((folder + '/' + entryName).constData());  // a folder of that name stays
    }
    ::closedir(dir);
}

// The permissions any newly created file would get.
mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

std::filesystem::path fsPath(const QString& s) { return std::filesystem::path(encodeFileName(s).toStdString()); }

}  // namespace

QByteArray encodeFileName(const QString& name) {
    QByteArray out;
    const QStringView s(name);
    qsizetype run = 0;  // the start of the text not yet encoded
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t u = s[i].unicode();
        const bool escaped =
            u >= kByteEscape + 0x80 && u <= kByteEscape + 0xFF && (i == 0 || !s[i - 1].isHighSurrogate());
        if (!escaped) continue;
        out += s.mid(run, i - run).toUtf8();
        out += char(u - kByteEscape);
        run = i + 1;
    }
    return out + s.mid(run).toUtf8();
}

QString decodeFileName(const QByteArray& bytes) {
    QString out;
    out.reserve(bytes.size());
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char lead = b[i];
        // The length of the sequence, its first bits, and its least value
        // (a longer form than needed is no UTF-8).
        const int length = lead < 0x80 ? 1
                           : (lead & 0xE0) == 0xC0 ? 2
                           : (lead & 0xF0) == 0xE0 ? 3
                           : (lead & 0xF8) == 0xF0 ? 4
                                                   : 0;
        char32_t code = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        bool valid = length > 0 && i + length <= n;
        for (int k = 1; valid && k < length; ++k) {
            valid = (b[i + k] & 0xC0) == 0x80;
            code = (code << 6) | (b[i + k] & 0x3F);
        }
        static constexpr char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        valid = valid && code >= least[length] && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
        if (!valid) {
            out += QChar(char16_t(kByteEscape + lead));
            ++i;
            continue;
        }
        if (QChar::requiresSurrogates(code)) {
            out += QChar(QChar::highSurrogate(code));
            out += QChar(QChar::lowSurrogate(code));
        } else {
            out += QChar(char16_t(code));
        }
        i += length;
    }
    return out;
}

QStringList decodeArguments(int argc, const char* const* argv) {
    QStringList args;
    for (int i = 0; i < argc; ++i) args << decodeFileName(QByteArray(argv[i]));
    return args;
}

QString saveTemporaryPrefix(const QString& fileName) {
    return decodeFileName(temporaryPrefix(encodeFileName(fileName)));
}

bool nameTaken(const QString& path) {
    struct stat st {};
    return !path.isEmpty() && ::lstat(encodeFileName(path).constData(), &st) == 0;
}

SaveError readRegularFile(const QString& path, qint64 maxBytes, QByteArray& bytes) {
    bytes.clear();
    const QByteArray name = encodeFileName(path);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0) return SaveError::FileNotFound;
    if (!S_ISREG(st.st_mode)) return SaveError::PathFileAccess;  // a folder, a FIFO, a device, a socket
    // Opened without waiting (a FIFO put in its place since the check would
    // block the open) and checked again on the open file itself.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return SaveError::PathFileAccess;
    QFile f;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        !f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return SaveError::PathFileAccess;
    }
    return readOpened(f, maxBytes, bytes);
}

SaveError writeFileAtomically(const QString& path, const QByteArray& bytes) {
    Target t;
    if (const SaveError error = targetError(path, t); error != SaveError::None) return error;
    const QByteArray folder = folderOf(t.path);
    removeStaleTemporaries(folder, nameOf(t.path));

    QByteArray temp = folder + '/' + temporaryPrefix(nameOf(t.path)) + "XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return saveErrorOf(errno);
    int failure = writeAndSync(fd, bytes);
    // Best effort: a file system without permissions refuses, and the save
    // goes on.
    (void)::fchmod(fd, t.exists ? t.mode & 0777 : newFileMode());
    if (::close(fd) != 0 && failure == 0) failure = errno;
    if (failure == 0 && ::rename(temp.constData(), t.path.constData()) != 0) failure = errno;
    if (failure == 0) return SaveError::None;
    ::unlink(temp.constData());
    return saveErrorOf(failure);
}

#endif  // Q_OS_WIN

// Both systems.

SaveError saveErrorOf(int systemError) {
    switch (systemError) {
    case ENOSPC:
#ifdef EDQUOT  // no such number on Windows
    case EDQUOT:
#endif
    case EFBIG:  // a file-size limit: the file does not fit either
        return SaveError::DiskFull;
    case EACCES:
    case EPERM:
    case EROFS: return SaveError::PermissionDenied;
    case ENAMETOOLONG: return SaveError::NameTooLong;
    case ELOOP: return SaveError::PathFileAccess;
    case ENOENT:
    case ENOTDIR:
    case EEXIST:  // a file where a folder should be
        return SaveError::PathNotFound;
    default: return SaveError::Writing;
    }
}

SaveError checkSaveTarget(const QString& path) {
    Target t;
    return targetError(path, t);
}

SaveError createFolder(const QString& folder) {
    std::error_code ec;
    std::filesystem::create_directories(fsPath(folder), ec);
    // The error as an errno number (on Windows the system reports its own).
    return ec ? saveErrorOf(ec.default_error_condition().value()) : SaveError::None;
}

}  // namespace quillet
