// The side effects the headless code needs, as small interfaces. The program
// gives Qt implementations (core/ui, comm); tests give scripted ones
// (tests/support).
#pragma once

#include "core/savefile.h"

#include <QColor>
#include <QDateTime>
#include <QString>

#include <optional>

class QPagedPaintDevice;

namespace quillet {

// Message-box styles and answers, as the catalogue callers use them.
enum MessageStyle : int {
    kOkOnly = 0,
    kOkCancel = 1,
    kAbortRetryIgnore = 2,
    kYesNoCancel = 3,
    kYesNo = 4,
    kRetryCancel = 5,
    kIconError = 16,
    kIconQuestion = 32,
    kIconExclamation = 48,
    kIconInformation = 64,
};
enum MessageAnswer : int { kOk = 1, kCancel = 2, kAbort = 3, kRetry = 4, kIgnore = 5, kYes = 6, kNo = 7 };

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows text under title with the given style; returns the pressed button.
    virtual int show(const QString& title, const QString& text, int style) = 0;
    // The messages that follow concern this file (a question about
    // overwriting it, an error saving it); empty when they no longer do.
    // A window's box names it already in its own way, a terminal names it.
    virtual void concern(const QString& path) { (void)path; }
};

// The millisecond clock and the event pump. The serial link's pauses and
// its receive loop
// wait through it: the program processes window events, tests advance a
// virtual clock.
class Clock {
public:
    virtual ~Clock() = default;
    virtual qint64 nowMs() = 0;        // monotonic milliseconds
    virtual void processEvents() = 0;  // one round of pending events
    virtual QDateTime now() = 0;       // the PC clock (local time)
};

struct FileDialogRequest {
    QString title;
    QString filter;  // "description|pattern" pairs, as the callers give them
    QString defaultExtension;
    QString initialName;
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // nullopt = the user cancelled; an empty string ends the operation too.
    virtual std::optional<QString> openFile(const FileDialogRequest& r) = 0;
    virtual std::optional<QString> saveFile(const FileDialogRequest& r) = 0;
};

class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    virtual bool openHelp(const QString& helpFile, int context) = 0;
};

// What a step of a print control came to: done (None); a dialog the user
// cancelled (nothing is told); the printer failed; there is no printer; or
// the PDF file could not be written (its save error).
struct PrintFault {
    enum class Kind { None, Cancelled, PrinterError, NoPrinter, File };
    Kind kind = Kind::None;
    SaveError file = SaveError::None;  // Kind::File

    static PrintFault of(Kind k) { return PrintFault{k, SaveError::None}; }
    static PrintFault ofFile(SaveError e) { return e == SaveError::None ? PrintFault{} : PrintFault{Kind::File, e}; }
    explicit operator bool() const { return kind != Kind::None; }
    friend bool operator==(const PrintFault&, const PrintFault&) = default;
};

// The run-time error a print fault is shown with: 32755 for a cancel, 482
// for the printer, 4821 for no printer, the file's save error.
constexpr int runtimeErrorOf(const PrintFault& f) {
    switch (f.kind) {
    case PrintFault::Kind::None: return 0;
    case PrintFault::Kind::Cancelled: return kErrCancel;
    case PrintFault::Kind::PrinterError: return kErrPrinter;
    case PrintFault::Kind::NoPrinter: return kErrNoPrinter;
    case PrintFault::Kind::File: return runtimeErrorOf(f.file);
    }
    return 0;
}

// A print control: the main window's list printer and the graph window's
// printer each have one.
class PrintControl {
public:
    virtual ~PrintControl() = default;
    // Devices the user can print on. Output to a PDF file counts as one
    // where the printer dialog offers it (a Linux desktop without a print
    // queue), as a built-in PDF printer does on Windows.
    virtual int printerCount() = 0;
    // Whether the current device can be used.
    virtual bool printerReady() = 0;
    // The printer dialog and the page set-up dialog, modal: None when
    // confirmed, Cancelled when not.
    virtual PrintFault printerDialog() = 0;
    virtual PrintFault pageSetupDialog() = 0;
    // Starts one document on the current device; nullptr with fault set
    // when no document could be started (Cancelled when the user cancelled
    // the choice of a device). The device's page rectangle is the printable
    // area, its origin the top-left corner inside the margins.
    virtual QPagedPaintDevice* startDocument(const QString& title, PrintFault& fault) = 0;
    // Ends the document of startDocument after the painter has ended; with
    // completed false it is discarded where the device allows (no partial
    // file).
    virtual PrintFault endDocument(bool completed) = 0;
};

// The system colour dialog.
class ColorDialogs {
public:
    virtual ~ColorDialogs() = default;
    // The chosen colour, or nullopt when the user cancelled.
    virtual std::optional<QColor> chooseColor(QColor initial) = 0;
};

// Electronic records mode: what a change of a setting and the opening of a
// data file leave in the audit trail. settingChanging asks the user's
// reason and records the change; false (no reason given) leaves the
// setting as it was. Without the mode nothing is asked (null in the
// context).
class ChangeRecorder {
public:
    virtual ~ChangeRecorder() = default;
    virtual bool settingChanging(const QString& what, const QString& before, const QString& after) = 0;
    // A data file was opened: the mode warns when it no longer matches its
    // read-out in the archive.
    virtual void dataFileOpened(const QString& path) = 0;
    // Files imported into the archive from a window: what was chosen and
    // the summary.
    virtual void imported(const QString& paths, const QString& summary) = 0;
};

// What the headless code asks of the main window after changing the store.
// Every method has a no-op default so that headless callers need no window.
class MainView {
public:
    virtual ~MainView() = default;
    virtual void refreshDisplay() {}       // grids after an axis rebuild
    virtual void updateCaption() {}        // caption 0 + blank + currentFileName
    virtual void updateCommandStates() {}  // data-dependent commands
    virtual void enableAllCommands() {}    // after a successful open
    virtual void setBusy(bool) {}          // hourglass pointer, window disabled
};

// The main window busy for one scope: the wait pointer and the window
// disabled from here to the end of the scope, however it is left.
class BusyScope {
public:
    explicit BusyScope(MainView& view) : view_(view) { view_.setBusy(true); }
    ~BusyScope() { view_.setBusy(false); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    MainView& view_;
};

}  // namespace quillet
