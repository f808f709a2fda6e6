// The side effects the headless code needs, as small interfaces. The program
// gives Qt implementations (core/ui, comm); tests give scripted ones
// (tests/support).
#pragma once

#include <QColor>
#include <QDateTime>
#include <QString>

#include <optional>

namespace quillet {

// Message-box styles and answers, as the catalogue callers use them.
enum MessageStyle : int {
    kOkOnly = 0,
    kOkCancel = 1,
    kYesNo = 4,
    kIconError = 16,
    kIconQuestion = 32,
    kIconExclamation = 48,
    kIconInformation = 64,
};
enum MessageAnswer : int { kOk = 1, kCancel = 2, kYes = 6, kNo = 7 };

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows text under title with the given style; returns the pressed button.
    virtual int show(const QString& title, const QString& text, int style) = 0;
};

// The millisecond clock and the event pump. pauseMs and the receive loop
// wait through it: the program processes window events, tests advance a
// virtual clock.
class Clock {
public:
    virtual ~Clock() = default;
    virtual qint64 nowMs() = 0;            // monotonic milliseconds
    virtual void processEvents() = 0;      // one round of pending events
    virtual QDateTime now() = 0;           // the PC clock (local time)
};

struct FileDialogRequest {
    QString title;
    QString filter;         // "description|pattern" pairs, as the callers give them
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

// The system colour dialog.
class ColorDialogs {
public:
    virtual ~ColorDialogs() = default;
    // The chosen colour, or nullopt when the user cancelled.
    virtual std::optional<QColor> chooseColor(QColor initial) = 0;
};

// What the headless code asks of the main window after changing the store.
// Every method has a no-op default so that headless callers need no window.
class MainView {
public:
    virtual ~MainView() = default;
    virtual void refreshDisplay() {}        // grids after an axis rebuild
    virtual void updateCaption() {}         // caption 0 + blank + currentFileName
    virtual void updateCommandStates() {}   // data-dependent commands
    virtual void enableAllCommands() {}     // after a successful open
    virtual void setBusy(bool) {}           // hourglass pointer, window disabled
};

}  // namespace quillet
