// commnication: the serial link to the reader. One exchange opens the port,
// sends one command frame character by character, collects one answer,
// judges it and closes the port again. Every wait runs on ctx.clock, so the
// program keeps processing window events and tests run on a virtual clock.
//
// State lives in ctx.comm: commStatus (0 accepted, 1 faulty / cancel
// request, 2 no answer, 3 cancelled), receiveBuffer (the last answer with its
// framing) and timeoutElapsed (the receive timer fired; a Cancel button sets
// it together with commStatus = 1 to end a pending receive at once).
//
// Usual use, for every operation (read-out, settings, port search):
//     int r = request(ctx, 1, 1, {}, 0);
//     if (r == kPortError) return;            // message already shown
//     if (r == kCancelled) return;            // no message
//     if (r != kAccepted) show message 13 (r == 1) or 11 (r == 2) ...
//     parseIdentification(ctx, 0);            // reads ctx.comm.receiveBuffer
#pragma once

#include <QByteArray>
#include <QString>

namespace quillet {

struct AppContext;

// progressMode of receiveAnswer.
enum ProgressMode : int {
    kProgressOneChannel = 0,  // data read of a one-channel logger
    kProgressTwoChannels = 1,  // data read of a two-channel logger
    kProgressNone = 9,         // the port search: no progress display
};

// request() result for a port that could not be used (the run-time error
// was shown, commStatus is 1, the caller stops without a further message).
constexpr int kPortError = -1;

// Attempts of one request.
constexpr int kRequestAttempts = 5;

// Opens the port when it is closed, empties its input and transmits the
// frame. Returns 0, or the run-time error number after closing the port,
// showing the error under caption 2 "ロガー読み出し" (group 1) or caption 1
// "ロガー設定" (groups 2 and 3) and setting commStatus = 1.
int sendCommand(AppContext& ctx, int group, int number, const QByteArray& data);

// Writes the frame one character at a time, pausing commandWait ms before
// each (twice before the closing "," when data is empty), then empties the
// input (an echo, anything sent meanwhile). The port must be open. Returns 0
// or the run-time error number; shows nothing (the port search calls it
// directly and decides itself).
int transmitFrame(AppContext& ctx, int group, int number, const QByteArray& data);

// Collects and judges the answer to the command just sent: 0 accepted, 1
// faulty, 2 no answer, 3 cancelled (commStatus was 1 while waiting). The
// answer stays in ctx.comm.receiveBuffer; the port is closed afterwards,
// whatever the result. progressMode 0/1 makes a 1,2 read report progress
// through ctx.commProgress.
int receiveAnswer(AppContext& ctx, int group, int number, int progressMode);

// The one retry rule: up to `attempts` times {commStatus = 0; sendCommand;
// receiveAnswer}; stops at the first accepted answer, and at once on a
// cancel. Returns the last result (also left in commStatus), or kPortError
// when the port could not be used (commStatus 1). A cancel request that
// arrives while the frame is being sent, or in the pause after an answer,
// gives kCancelled. A device that disappears after an earlier attempt had
// the port (unplugged mid-transfer) gives 1, a failed read, with no message.
int request(AppContext& ctx, int group, int number, const QByteArray& data, int progressMode,
            int attempts = kRequestAttempts);

// The Cancel of a progress or parameter window: ends a pending receive with
// result 3 at once.
void requestCancel(AppContext& ctx);

// The bar maximum of a data read: (Int(sampleCount ÷ perBlock) + 1) × 88.
int dataReadMaximum(int sampleCount, int progressMode);

// The received-data monitor: appends one judged answer to the monitor text
// (emptied first when it holds more than 35000 characters). ACK CR LF and
// NAK CR LF give the line "Com:g_n_m   ACK" / "... NAK"; any other answer is
// shown with STX, ETX, ETB, CR and LF spelt out. Each entry ends with CR LF.
void appendMonitorText(QString& text, const QByteArray& answer, int group, int number,
                       int progressMode);

}  // namespace quillet
