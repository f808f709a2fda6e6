// Atomic saves of every file the program writes (data files, exports,
// settings files): either the whole new file is in place afterwards, or the
// old one is untouched. Also the program's one door to file names: a Linux
// name is bytes, and every byte of it survives the way through a QString.
#pragma once

#include "core/catalog.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace quillet {

// What a file operation refused, as the error box shows it: its run-time
// error number.
enum class SaveError : int {
    None = 0,
    BadFileName = 52,
    FileNotFound = kErrFileNotFound,  // 53
    DiskFull = 61,
    PermissionDenied = 70,
    PathFileAccess = 75,
    PathNotFound = 76,
    NameTooLong = kErrNameTooLong,  // shown as 52 with a line that says so
    Writing = 31036,
    Reading = 31037,
};
constexpr int runtimeErrorOf(SaveError e) { return int(e); }

// A save's outcome: true when the file is in place, else error says why.
struct Saved {
    SaveError error = SaveError::None;
    explicit operator bool() const { return error == SaveError::None; }
};

// The name as the system spells it, and back: UTF-8, except that a byte
// that is no part of UTF-8 (a Latin-1 "é" in a name made elsewhere) is kept
// in the QString as the code U+DC00 + byte, so the name round-trips byte for
// byte (QFile::decodeName would make it U+FFFD, a different name). On
// Windows, where a QString already is the system's spelling of a name, they
// are QFile::encodeName and QFile::decodeName, and decodeArguments gives the
// application's own (UTF-16) arguments.
QByteArray encodeFileName(const QString& name);
QString decodeFileName(const QByteArray& bytes);
// The command line so decoded (QCoreApplication::arguments() would lose the
// bytes of such a name); after the application took its own arguments.
QStringList decodeArguments(int argc, const char* const* argv);

// The run-time error a failed file operation shows, from the system's
// error number (errno): the one table of the save path. A full disk (or a
// file-size limit) is DiskFull; no permission or a read-only disk
// PermissionDenied; a name too long NameTooLong; a link that leads back to
// itself PathFileAccess; a missing folder PathNotFound; anything else
// Writing.
SaveError saveErrorOf(int systemError);

// Writes bytes to path. The bytes go to a temporary file beside the target
// (".NAME.quillet-save-XXXXXX", or a shorter name when that one would pass
// the file system's limit of a name), are flushed and synced to the disk, and only
// then replace the target by a rename; a failed write (a full disk) leaves the
// old file as it was. A symbolic link stays and the file it points to is
// replaced; a link that leads back to itself is refused (PathFileAccess).
// A target that exists but is not a regular file (a device, a FIFO, a socket)
// is refused, a folder too, and so is a file nobody may write to (mode 0444:
// PermissionDenied, for the super-user too). Temporaries that an earlier
// save of the same target left behind (the program was killed) are removed
// first. An existing file keeps its permissions. Returns None or the error
// (saveErrorOf for what the system refused).
SaveError writeFileAtomically(const QString& path, const QByteArray& bytes);

// What writeFileAtomically would refuse before writing anything (no folder,
// a folder, a device, a looping link or a read-only file as the target, a
// folder the user may not write in, a name too long); None when the target
// can be written. Lets a job that draws for a while (a PDF) refuse its
// target at once.
SaveError checkSaveTarget(const QString& path);

// Creates folder and the folders above it that are missing: None, or the
// error (PermissionDenied where the user may not write, DiskFull on a full
// disk, PathNotFound where a file stands in the way).
SaveError createFolder(const QString& folder);

// True when something of any kind has this name, a symbolic link that
// points nowhere included (QFileInfo::exists() says no to that one).
bool nameTaken(const QString& path);

// Reads a whole input file of at most maxBytes (more is not read). Only a
// regular file (or a link to one) is read: a folder, a FIFO, a device or a
// socket is refused at once, never waited on. Returns None or the error
// (FileNotFound, PathFileAccess, Reading).
SaveError readRegularFile(const QString& path, qint64 maxBytes, QByteArray& bytes);

// The prefix of the temporaries of a save of fileName (no folder).
QString saveTemporaryPrefix(const QString& fileName);

}  // namespace quillet
