// Atomic saves of every file the program writes (data files, exports,
// settings files): either the whole new file is in place afterwards, or the
// old one is untouched.
#pragma once

#include <QByteArray>
#include <QString>

namespace quillet {

// Run-time error numbers of a save, as the error box shows them.
constexpr int kErrBadFileName = 52;
constexpr int kErrPathFileAccess = 75;
constexpr int kErrPathNotFound = 76;
constexpr int kErrWriting = 31036;

// Writes bytes to path. The bytes go to a temporary file beside the target
// (".NAME.quillet-save-XXXXXX"), are flushed and synced to the disk, and only
// then replace the target by a rename; a failed write (a full disk) leaves the
// old file as it was. A symbolic link stays and the file it points to is
// replaced; a target that exists but is not a regular file (a device, a FIFO,
// a socket) is refused, a folder too. Temporaries that an earlier save of the
// same target left behind (the program was killed) are removed first. An
// existing file keeps its permissions. Returns 0 or the error number.
int writeFileAtomically(const QString& path, const QByteArray& bytes);

// The prefix of the temporaries of a save of fileName (no folder).
QString saveTemporaryPrefix(const QString& fileName);

}  // namespace quillet
