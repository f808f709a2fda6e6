// The file dispatcher of the main window and the caller logic of its file
// commands. Every side effect (file dialogs, questions, error boxes, the
// window caption) goes through the context's interfaces, so all of it runs
// without a display.
#pragma once

#include "core/context.h"
#include "core/savefile.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace quillet {

// Where a read-out goes once its data file is saved (the archive; the
// program sets it, tests may). What it says comes back for the status bar,
// empty when there is nothing to say.
class ReadoutSink {
public:
    virtual ~ReadoutSink() = default;
    virtual QString readoutSaved(AppContext& ctx, const QString& path) = 0;
};

// What the data files keep for the whole run: the layout of the last opened
// or inserted data file (true = with the ten-second fields; the program
// starts with the old layout), where saved read-outs go and what it said of
// the last one.
struct DataFileState {
    bool layoutWithTenSec = false;
    ReadoutSink* readoutSink = nullptr;
    QString readoutSinkWord;
};

enum FileMode {
    kOpen = 0,
    kOverwriteSave = 1,
    kSaveAs = 2,
    kTextExport = 3,
    kCsvExport = 4,
    kInsert = 5,
    kAutoSaveDate = 6,
    kAutoSaveNumber = 7,
};

// The insertion dialog's answer: the index of the chosen entry among the
// staged slots (slots 9..16 in order, used ones only) and the target
// channel 1..8.
struct InsertChoice {
    int listIndex;
    int targetChannel;
};

// The data insertion dialog (InsertChannelDialog). Called with the staged slots
// filled: ctx.store.ch[9..16] (inUse marks a used slot), with
// ctx.store.fileChannelSlot and ctx.store.stagedSampleOffset.
class InsertDialog {
public:
    virtual ~InsertDialog() = default;
    // nullopt = Cancel.
    virtual std::optional<InsertChoice> choose(AppContext& ctx, const QString& fileName) = 0;
};

// What one file operation came to. Failed: its error was shown. Cancelled:
// a dialog was cancelled or an overwrite declined. NoEffect: nothing to do
// (an empty name, an unknown mode).
enum class FileOutcome { Done, NoEffect, Cancelled, Failed };

// The one entry of all file work. Mode 5 needs the insertion dialog.
FileOutcome runFileOperation(AppContext& ctx, int mode, InsertDialog* insertDialog = nullptr);

// File → Open and the toolbar's open button: the unsaved question (Yes saves
// under a new name first), the open, the axis rebuild and the command
// states.
void openDataFile(AppContext& ctx);

// The unsaved question of "開く" (Yes saves under a new name first): false
// when what replaces the channels must not go on.
bool unsavedDataAnswered(AppContext& ctx);

// A data file named at start-up (quillet FILE) or chosen from the recent
// files: the open of "開く" without its dialog, with the same messages on
// failure; Ask puts the unsaved question of "開く" first. A relative name
// is taken from the current folder.
enum class UnsavedQuestion { Skip, Ask };
void openDataFileNamed(AppContext& ctx, const QString& fileName, UnsavedQuestion question = UnsavedQuestion::Skip);

// File → Data insertion and the toolbar's add button: the free-channel
// check, the insertion, the axis rebuild and the unsaved mark.
void insertData(AppContext& ctx, InsertDialog& dialog);

// ---- The headless pieces, shared with quillet-cli -------------------------

// Reads a data file into the store as an open does (clears the store first,
// unless the file is missing or empty). Uses and updates
// ctx.dataFiles->layoutWithTenSec. Returns 0, or the run-time error number; after
// an error the channels read completely before it stay in the store. Does
// not touch currentFileName.
int loadDataFile(AppContext& ctx, const QString& fileName);
// The same for the bytes of a non-empty file in the given layout.
int loadDataBytes(AppContext& ctx, const QByteArray& bytes, bool withTenSec);

// The text (mode 3) or CSV (mode 4) export of the store, CP932 with CR LF.
// Card and test numbers of 256 and more are corrected to 255 in the store,
// as every rendering through the setting characters does. Empty when the
// text could not be converted to CP932 (a write error for the caller).
QByteArray exportBytes(AppContext& ctx, int mode);

// name with its extension replaced by ext (".txt", ".csv", ".ql6"); a name
// without one gets ext appended. For the usual names ("data.ql6") this is
// the last four characters replaced.
QString replaceExtension(const QString& name, const QString& ext);

// The names of the automatic saves (modes 6 and 7) at time `now`: the folder
// to create and the file name.
struct AutoSaveName {
    QString folder;
    QString fileName;
};
AutoSaveName autoSaveName(AppContext& ctx, int mode, const QDateTime& now);

}  // namespace quillet
