// The three catalogues (Mcaption, mmsg, Merror): every caption, message and
// run-time error text the user sees. Callers pass numbers, never texts.
#pragma once

#include <QString>
#include <QStringList>

namespace quillet {

struct AppContext;

// Run-time error numbers the callers test.
enum RuntimeError : int {
    kErrSubscript = 9,
    kErrFileNotFound = 53,
    kErrBadFileFormat = 321,
    kErrPrinterNotReady = 4820,
    kErrNoPrinter = 4821,
    kErrInvalidPort = 8002,
    kErrPortOpen = 8005,
    kErrPortLocked = 8010,
    // The device refused this user (no permission): shown as 8010 with a
    // hint about the serial group. Not 8005, so the port search stops at it.
    kErrPortDenied = 18010,
    kErrCancel = 32755,
};

// Caption n; empty for numbers without a caption.
QString captionText(int n);

// Text of message n. Message 18 takes comPort from args[0]; 30 and 32 take
// the first and last time of their range from args[0] and args[1].
QString messageText(int n, const QStringList& args = {});

// The error table's text for errorNo (the catch-all for unlisted numbers).
QString runtimeErrorText(int errorNo);
// The whole box text: the error text, CR, "エラー" and the number.
QString runtimeErrorMessage(int errorNo);

// Show message messageNo under captionText(titleNo) with style buttons;
// returns the pressed button (1 OK, 2 Cancel, 6 Yes, 7 No).
int showMessage(AppContext& ctx, int titleNo, int messageNo, int buttons,
                const QStringList& args = {});
// Message 18 with the context's comPort.
int showPortEstablished(AppContext& ctx, int titleNo, int buttons);
int showRuntimeError(AppContext& ctx, int errorNo, const QString& title, int buttons);

// The main window's caption: caption 0, a blank and currentFileName.
QString mainCaption(const AppContext& ctx);

}  // namespace quillet
