// Atomic saves of every file the program writes (data files, exports,
// settings files): either the whole new file is in place afterwards, or the
// old one is untouched.
#pragma once

#include <QByteArray>
#include <QString>

namespace quillet {

// Run-time error numbers of a save, as the error box shows them.
constexpr int kErrBadFileName = 52;
constexpr int kErrPermissionDenied = 70;
constexpr int kErrPathFileAccess = 75;
constexpr int kErrPathNotFound = 76;
constexpr int kErrWriting = 31036;
constexpr int kErrReading = 31037;

// Writes bytes to path. The bytes go to a temporary file beside the target
// (".NAME.quillet-save-XXXXXX", or a shorter name when that one would pass
// the file system's limit of a name), are flushed and synced to the disk, and only
// then replace the target by a rename; a failed write (a full disk) leaves the
// old file as it was. A symbolic link stays and the file it points to is
// replaced; a target that exists but is not a regular file (a device, a FIFO,
// a socket) is refused, a folder too. Temporaries that an earlier save of the
// same target left behind (the program was killed) are removed first. An
// existing file keeps its permissions. A folder the user may not write to
// is kErrPermissionDenied. Returns 0 or the error number.
int writeFileAtomically(const QString& path, const QByteArray& bytes);

// What writeFileAtomically would refuse before writing anything (no folder,
// a folder or a device as the target); 0 when the target can be written.
// Lets a job that draws for a while (a PDF) refuse its target at once.
int checkSaveTarget(const QString& path);

// The error of a folder that cannot be created or written in:
// kErrPermissionDenied when the user may not write there, otherwise
// kErrPathNotFound.
int folderError(const QString& folder);

// True when something of any kind has this name, a symbolic link that
// points nowhere included (QFileInfo::exists() says no to that one).
bool nameTaken(const QString& path);

// Reads a whole input file of at most maxBytes (more is not read). Only a
// regular file (or a link to one) is read: a folder, a FIFO, a device or a
// socket is refused at once, never waited on. Returns 0 or the error
// number (53 for a missing file, kErrPathFileAccess, kErrReading).
int readRegularFile(const QString& path, qint64 maxBytes, QByteArray& bytes);

// The prefix of the temporaries of a save of fileName (no folder).
QString saveTemporaryPrefix(const QString& fileName);

}  // namespace quillet
