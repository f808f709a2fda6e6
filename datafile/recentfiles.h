// The recent data files: the last eight opened or saved, newest first, in
// a file of their own beside the settings files (qlet7recent.dat, one full
// path a line, CP932 with CR LF). The settings files do not hold them.
#pragma once

#include "core/savefile.h"

#include <QString>
#include <QStringList>

namespace quillet {

struct AppContext;

constexpr int kRecentFilesMax = 8;

// The list with file first: an earlier entry of the same file goes, the
// list keeps at most eight.
QStringList withRecentFile(QStringList list, const QString& file);

// The list in its file, and back. Reading a missing or unreadable file
// gives an empty list; lines that are empty or not absolute paths are
// skipped. Writing returns 0 or the save's error number.
QStringList readRecentFiles(const QString& path);
SaveError writeRecentFiles(const QString& path, const QStringList& list);

// The file of the program's list, beside ctx.folders.settingsFile (empty
// without settings files), and the list in it.
QString recentFilesPath(const AppContext& ctx);
QStringList recentFiles(const AppContext& ctx);
// Puts file first in the program's list. A name that the file's codec
// cannot hold is not kept (it would come back as another name). A failed
// write only loses the list's update: the data file itself is saved.
void rememberRecentFile(AppContext& ctx, const QString& file);
void forgetRecentFile(AppContext& ctx, const QString& file);

// "最近使ったファイル": opens file as "開く" does (the unsaved question
// first). A file that is gone leaves the list with a word in the status
// bar, not an error box. Returns whether the file still exists.
bool openRecentFile(AppContext& ctx, const QString& file);

}  // namespace quillet
