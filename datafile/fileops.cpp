#include "datafile/fileops.h"

#include "core/savefile.h"
#include "core/statusline.h"

#include "core/catalog.h"
#include "core/fieldhelpers.h"
#include "core/store.h"
#include "core/uitexts.h"
#include "core/vb.h"
#include "datafile/datafile.h"
#include "datafile/recentfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace quillet {
namespace {

const QString kDataFilter = uiText(ui::kDataFileFilter);

using Outcome = FileOutcome;

// The one failure handler of the dispatcher: the error box under the
// operation's caption. (The usual communication empties the store itself
// when its save fails.)
Outcome fail(AppContext& ctx, int mode, int error) {
    showRuntimeError(ctx, error, captionText(mode == kOpen ? 8 : 9), kOkOnly);
    return Outcome::Failed;
}
Outcome fail(AppContext& ctx, int mode, SaveError error) { return fail(ctx, mode, runtimeErrorOf(error)); }

// Tells the message boxes which file the messages of a save concern, for
// as long as the save runs.
class FileConcern {
public:
    FileConcern(AppContext& ctx, const QString& path) : messages_(ctx.messages) { messages_->concern(path); }
    ~FileConcern() { messages_->concern(QString()); }
    FileConcern(const FileConcern&) = delete;
    FileConcern& operator=(const FileConcern&) = delete;

private:
    MessageBoxes* messages_;
};

// Reads at most what a data file can hold. 0 or a run-time error number;
// an empty file is an error too.
int readDataBytes(const QString& fileName, QByteArray& bytes) {
    if (const SaveError error = readRegularFile(fileName, kMaxDataFileBytes, bytes); error != SaveError::None)
        return runtimeErrorOf(error);
    if (bytes.isEmpty()) return kErrInputPastEnd;
    return 0;
}

// The name a loaded file is saved under later: its extension becomes ".ql6"
// (the file itself is not renamed).
QString ql6Name(const QString& fileName) {
    if (fileName.endsWith(QLatin1String(".ql6"), Qt::CaseInsensitive)) return fileName;
    return replaceExtension(fileName, QStringLiteral(".ql6"));
}

// A setting character becomes part of a file name in mode 7: it must stay
// one name inside the day folder, whatever the user typed into the table.
QString safeNamePart(QString s) {
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    for (QChar& c : s)
        if (c.unicode() < 0x20 || forbidden.contains(c)) c = QLatin1Char('_');
    s.replace(QStringLiteral(".."), QStringLiteral("_"));
    return s;
}

bool isSameFile(const QString& a, const QString& b) {
    if (a.isEmpty() || b.isEmpty()) return false;
    const QFileInfo fa(a), fb(b);
    if (fa.exists() && fb.exists()) return fa.canonicalFilePath() == fb.canonicalFilePath();
    return fa.absoluteFilePath() == fb.absoluteFilePath();
}

// The samples a cut-short last block lacks are error samples (9999); the
// error count says so, or the statistics and a later save would claim them
// as measured.
void countMissingSamples(ChannelRecord& c, int present) {
    const int missing = std::clamp<int>(c.sampleCount, 0, kMaxSamples) - present;
    if (missing > 0) c.errorCount = int16_t(std::min(int(c.errorCount) + missing, 32767));
}

// Open steps 1..6 without the dialog. `cleared` tells whether the store was
// emptied (everything after the missing / empty file checks).
int loadInto(AppContext& ctx, const QString& fileName, bool& cleared) {
    cleared = false;
    const bool withTenSec = layoutWithTenSecFor(fileName, ctx.dataFiles->layoutWithTenSec);
    ctx.dataFiles->layoutWithTenSec = withTenSec;

    QByteArray bytes;
    if (const int error = readDataBytes(fileName, bytes)) return error;

    cleared = true;
    return loadDataBytes(ctx, bytes, withTenSec);
}

// Mode 0; `named` replaces the dialog (a file given on the command line).
Outcome openFile(AppContext& ctx, const std::optional<QString>& named = std::nullopt) {
    const auto chosen =
        named ? named
              : ctx.dialogs->openFile({uiText(ui::kOpenFileTitle), kDataFilter, QStringLiteral("ql*"), QString()});
    if (!chosen) return Outcome::Cancelled;
    if (chosen->isEmpty()) return Outcome::NoEffect;

    bool cleared = false;
    const int error = loadInto(ctx, *chosen, cleared);
    if (cleared) {
        // Also after a failed open that kept some channels: the ".ql6" name
        // keeps a later overwrite save from writing this layout under an
        // older layout's name.
        ctx.store.currentFileName = ql6Name(*chosen);
        ctx.view->updateCaption();
    }
    if (error != 0) return fail(ctx, kOpen, error);
    // Only a complete open ties the channels to the file: writing back what
    // was read of a broken file would lose the rest of it unasked.
    ctx.store.dataFileName = *chosen;
    ctx.view->updateCaption();
    rememberRecentFile(ctx, *chosen);
    return Outcome::Done;
}

// Modes 1, 2, 6 and 7.
Outcome saveFile(AppContext& ctx, int mode) {
    QString name;
    if (mode == kOverwriteSave) {
        name = ctx.store.currentFileName;
    } else if (mode == kSaveAs) {
        const auto chosen = ctx.dialogs->saveFile(
            {uiText(ui::kSaveAsTitle), uiText(ui::kQl6Filter), QStringLiteral("ql6"), ctx.store.currentFileName});
        if (!chosen) return Outcome::Cancelled;
        if (chosen->isEmpty()) return Outcome::NoEffect;
        name = *chosen;
    } else {
        const AutoSaveName a = autoSaveName(ctx, mode, ctx.clock->now());
        if (const SaveError error = createFolder(a.folder); error != SaveError::None) return fail(ctx, mode, error);
        name = a.fileName;
    }

    // The chosen name becomes the current one only when the file is really
    // written: after a declined overwrite a later overwrite save must not
    // write to the file the user chose to keep. An overwrite save asks too
    // when the file is not the one the channels came from or went to last:
    // after opening an older layout, after an export or after a read-out
    // its name may belong to an unrelated file.
    // A name taken in any form (a link pointing nowhere too) is an existing
    // file: the save never writes through it unasked.
    const FileConcern concern(ctx, name);
    const bool ask = mode != kOverwriteSave || !isSameFile(name, ctx.store.dataFileName);
    if (ask && nameTaken(name) && showMessage(ctx, Caption::SaveFile, Msg::OverwriteFile, kOkCancel) != kOk)
        return Outcome::Cancelled;

    ChannelStore& s = ctx.store;
    s.channelsInUse = int16_t(countChannelsInUse(s));
    if (const SaveError error = writeFileAtomically(name, ql6Bytes(s)); error != SaveError::None)
        return fail(ctx, mode, error);
    const bool readout = s.unsavedRead != 0;
    s.currentFileName = name;
    s.dataFileName = name;
    s.unsavedRead = 0;
    s.unsavedEdit = 0;
    ctx.view->updateCaption();
    rememberRecentFile(ctx, name);
    showStatusWord(ctx, uiText(ui::kSavedStatus).arg(QDir::toNativeSeparators(name)));
    // The file is on the disk before the read-out goes on: whatever
    // happens there, the save stands.
    ctx.dataFiles->readoutSinkWord.clear();
    if (readout && ctx.dataFiles->readoutSink) {
        ctx.dataFiles->readoutSinkWord = ctx.dataFiles->readoutSink->readoutSaved(ctx, name);
        // A word of the archive's (it failed, or found conflicts) takes the status bar.
        if (!ctx.dataFiles->readoutSinkWord.isEmpty()) showStatusWord(ctx, ctx.dataFiles->readoutSinkWord);
    }
    return Outcome::Done;
}

// Modes 3 and 4.
Outcome exportFile(AppContext& ctx, int mode) {
    const bool text = mode == kTextExport;
    const auto chosen = ctx.dialogs->saveFile(
        {text ? uiText(ui::kSaveTextTitle) : uiText(ui::kSaveCsvTitle),
         text ? uiText(ui::kTextFilter) : uiText(ui::kCsvFilter), text ? QStringLiteral("txt") : QStringLiteral("csv"),
         replaceExtension(ctx.store.currentFileName, text ? QStringLiteral(".txt") : QStringLiteral(".csv"))});
    if (!chosen) return Outcome::Cancelled;
    if (chosen->isEmpty()) return Outcome::NoEffect;

    // currentFileName keeps its ".ql6" name unless the export is written.
    const FileConcern concern(ctx, *chosen);
    if (nameTaken(*chosen) && showMessage(ctx, Caption::SaveFile, Msg::OverwriteFile, kOkCancel) != kOk)
        return Outcome::Cancelled;
    // A text that cannot be converted is a write error: the previous file
    // stays as it was.
    const QByteArray bytes = exportBytes(ctx, mode);
    if (bytes.isEmpty()) return fail(ctx, mode, SaveError::Writing);
    if (const SaveError error = writeFileAtomically(*chosen, bytes); error != SaveError::None)
        return fail(ctx, mode, error);
    ctx.store.currentFileName = replaceExtension(*chosen, QStringLiteral(".ql6"));
    ctx.store.unsavedRead = 0;
    return Outcome::Done;
}

// Mode 5: stage the file's channels, let the dialog choose, copy one in.
Outcome insertFile(AppContext& ctx, InsertDialog* dialog) {
    const auto chosen =
        ctx.dialogs->openFile({uiText(ui::kInsertFileTitle), kDataFilter, QStringLiteral("ql6"), QString()});
    if (!chosen) return Outcome::Cancelled;
    if (chosen->isEmpty()) return Outcome::NoEffect;
    const QString fileName = *chosen;

    const bool withTenSec = layoutWithTenSecFor(fileName, ctx.dataFiles->layoutWithTenSec);
    ctx.dataFiles->layoutWithTenSec = withTenSec;

    ChannelStore& s = ctx.store;
    for (int slot = kChannels + 1; slot <= kSlots; ++slot) s.ch[size_t(slot)].inUse = 0;
    s.fileChannelSlot.fill(0);
    s.stagedSampleOffset.fill(0);

    QByteArray bytes;
    if (const int error = readDataBytes(fileName, bytes)) return fail(ctx, kInsert, error);
    const ParsedDataFile parsed = parseDataFile(bytes, withTenSec);
    if (parsed.error != 0) return fail(ctx, kInsert, parsed.error);
    for (size_t n = 0; n < parsed.blocks.size(); ++n) {
        const FileBlock& b = parsed.blocks[n];
        const int slot = b.channel + kChannels;
        ChannelRecord& staged = s.ch[size_t(slot)];
        staged = b.header;
        deriveDates(staged);
        s.fileChannelSlot[n + 1] = int16_t(slot);
        s.stagedSampleOffset[size_t(slot)] = b.sampleOffset;
    }

    if (!dialog) return Outcome::Cancelled;
    const auto choice = dialog->choose(ctx, fileName);
    if (!choice) return Outcome::Cancelled;

    // The list shows the used slots in slot order; its index names the slot
    // directly, whatever order the file holds its blocks in.
    int slot = 0;
    for (int sl = kChannels + 1, k = 0; sl <= kSlots; ++sl) {
        if (s.ch[size_t(sl)].inUse != 1) continue;
        if (k++ == choice->listIndex) {
            slot = sl;
            break;
        }
    }
    const int target = choice->targetChannel;
    if (slot == 0 || target < 1 || target > kChannels || s.ch[size_t(target)].inUse == 1)
        return fail(ctx, kInsert, kErrSubscript);

    // Reopen the file for the samples; the target channel is written only
    // once everything has been read.
    QByteArray again;
    if (const int error = readDataBytes(fileName, again)) return fail(ctx, kInsert, error);
    const ChannelRecord& staged = s.ch[size_t(slot)];
    std::array<int16_t, kMaxSamples + 1> table{};
    const int present = copySamples(again, s.stagedSampleOffset[size_t(slot)], staged.sampleCount, table.data());

    ChannelRecord& c = s.ch[size_t(target)];
    c = staged;
    countMissingSamples(c, present);
    c.rangeLow = rangeLowFor(c.rangeCode);  // not in the file
    c.inUse = 1;
    s.samples[size_t(target)] = table;
    s.channelsInUse = int16_t(countChannelsInUse(s));
    return Outcome::Done;
}

Outcome dispatch(AppContext& ctx, int mode, InsertDialog* insertDialog) {
    switch (mode) {
    case kOpen: return openFile(ctx);
    case kOverwriteSave:
    case kSaveAs:
    case kAutoSaveDate:
    case kAutoSaveNumber: return saveFile(ctx, mode);
    case kTextExport:
    case kCsvExport: return exportFile(ctx, mode);
    case kInsert: return insertFile(ctx, insertDialog);
    default: return Outcome::NoEffect;
    }
}

}  // namespace

FileOutcome runFileOperation(AppContext& ctx, int mode, InsertDialog* insertDialog) {
    return dispatch(ctx, mode, insertDialog);
}

namespace {

// The open after the unsaved question; `named` replaces the dialog.
void openAndShow(AppContext& ctx, const std::optional<QString>& named) {
    const Outcome o = openFile(ctx, named);
    // A cancelled or failed open redraws only what it kept.
    if ((o == Outcome::Cancelled || o == Outcome::Failed) && countChannelsInUse(ctx.store) == 0) return;
    rebuildAxisAndDisplay(ctx);
    if (countChannelsInUse(ctx.store) > 0)
        ctx.view->enableAllCommands();
    else
        ctx.view->updateCommandStates();  // an empty file: nothing to graph or save
    if (o == Outcome::Done && ctx.changes) ctx.changes->dataFileOpened(ctx.store.dataFileName);
}

// The unsaved question of an open: false when the open must not go on.
bool unsavedAnswered(AppContext& ctx) {
    if (!holdsUnsavedData(ctx.store)) return true;
    const int answer = showMessage(ctx, Caption::Program, Msg::SaveData, kYesNoCancel | kIconQuestion);
    if (answer == kCancel) return false;
    // Only a save that was written lets the open go on: a failed save, a
    // cancelled dialog or a declined overwrite keep the data on screen, and
    // opening now would throw away what the user asked to keep.
    if (answer == kYes && dispatch(ctx, kSaveAs, nullptr) != Outcome::Done) return false;
    return true;
}

}  // namespace

void openDataFile(AppContext& ctx) {
    if (unsavedAnswered(ctx)) openAndShow(ctx, std::nullopt);
}

bool unsavedDataAnswered(AppContext& ctx) { return unsavedAnswered(ctx); }

void openDataFileNamed(AppContext& ctx, const QString& fileName, UnsavedQuestion question) {
    if (question == UnsavedQuestion::Ask && !unsavedAnswered(ctx)) return;
    openAndShow(ctx, QFileInfo(fileName).absoluteFilePath());
}

void insertData(AppContext& ctx, InsertDialog& dialog) {
    if (lowestFreeChannel(ctx.store) == 0) {
        showMessage(ctx, Caption::OpenFile, Msg::NoFreeChannel, kOkOnly);
        return;
    }
    if (dispatch(ctx, kInsert, &dialog) != Outcome::Done) return;
    rebuildAxisAndDisplay(ctx);
    ctx.store.unsavedEdit = 1;
}

int loadDataBytes(AppContext& ctx, const QByteArray& bytes, bool withTenSec) {
    const ParsedDataFile parsed = parseDataFile(bytes, withTenSec);
    clearAllChannels(ctx);
    ChannelStore& s = ctx.store;
    // Later blocks of the same channel overwrite earlier ones.
    for (const FileBlock& b : parsed.blocks) {
        ChannelRecord& c = s.ch[size_t(b.channel)];
        c = b.header;
        c.rangeLow = rangeLowFor(c.rangeCode);  // not in the file
        const int present = copySamples(bytes, b.sampleOffset, c.sampleCount, s.samples[size_t(b.channel)].data());
        countMissingSamples(c, present);
    }
    s.channelsInUse = int16_t(countChannelsInUse(s));
    return parsed.error;
}

int loadDataFile(AppContext& ctx, const QString& fileName) {
    bool cleared = false;
    return loadInto(ctx, fileName, cleared);
}

QString replaceExtension(const QString& name, const QString& ext) {
    const qsizetype slash = std::max(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\')));
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return (dot > slash + 1 ? name.left(dot) : name) + ext;
}

AutoSaveName autoSaveName(AppContext& ctx, int mode, const QDateTime& now) {
    AutoSaveName a;
    if (mode == kAutoSaveDate) {
        a.folder = ctx.folders.dateFolder + QLatin1Char('/') + vb::formatDate(now, uiText(ui::kMonthFolder));
        a.fileName =
            a.folder + QLatin1Char('/') + vb::formatDate(now, uiText(ui::kDateFileName)) + QStringLiteral(".ql6");
    } else {
        a.folder = ctx.folders.numberFolder + QLatin1Char('/') + vb::formatDate(now, uiText(ui::kDayFolder));
        // The lowest-numbered channel in use names the file.
        int ch = 1;
        while (ch < kChannels && ctx.store.ch[size_t(ch)].inUse != 1) ++ch;
        ChannelRecord& c = ctx.store.ch[size_t(ch)];
        a.fileName = a.folder + QLatin1Char('/') + safeNamePart(cardText(ctx, c.cardNo)) + QLatin1Char('_') +
                     safeNamePart(testText(ctx, c.testNo)) + QStringLiteral(".ql6");
    }
    a.folder = QDir::toNativeSeparators(a.folder);
    a.fileName = QDir::toNativeSeparators(a.fileName);
    return a;
}

}  // namespace quillet
