// The serial link to the reader. One exchange opens the port, sends one
// command frame character by character, collects one answer, judges it and
// closes the port again. Every wait runs on ctx.clock, so the program keeps
// processing window events and tests run on a virtual clock.
//
// State lives in ctx.comm (comm/commstate.h): status (the last outcome),
// cancelRequested (a Cancel button: a pending receive ends at once),
// receiveBuffer (the last answer with its framing) and timeoutElapsed (the
// receive timer fired).
//
// Usual use, for every operation (read-out, settings, port search):
//     const Exchange r = request(ctx, Cmd::Identify, {});
//     if (r == Exchange::PortError) return;   // message already shown
//     if (r == Exchange::Cancelled) return;   // no message
//     if (r != Exchange::Accepted) show message 13 (Faulty) or 11 (NoAnswer)
//     parseIdentification(ctx, 0);            // reads ctx.comm->receiveBuffer
#pragma once

#include "comm/commands.h"
#include "comm/commstate.h"
#include "comm/serialport.h"

#include <QByteArray>
#include <QString>

namespace quillet {

struct AppContext;

// Attempts of one request.
constexpr int kRequestAttempts = 5;

// Opens the port when it is closed, empties its input and transmits the
// frame. Returns None, or the fault after closing the port, showing its
// run-time error under caption 2 "ロガー読み出し" (group 1) or caption 1
// "ロガー設定" (groups 2 and 3); status becomes PortError.
PortFault sendCommand(AppContext& ctx, int group, int number, const QByteArray& data);

// The same without the message: the port opened when closed, its input
// emptied, the frame sent; closed again on a fault.
PortFault openAndTransmit(AppContext& ctx, int group, int number, const QByteArray& data);

// Writes the frame one character at a time, pausing commandWait ms before
// each (twice before the closing "," when data is empty). What arrives
// before the LF is dropped (an echo, anything sent meanwhile); the answer
// that follows the LF is kept, however quickly it comes, and receiveAnswer
// leaves out the rest of an echo of the frame. The port must be open. Returns
// None or the fault; shows nothing (the port search calls it directly and
// decides itself).
PortFault transmitFrame(AppContext& ctx, int group, int number, const QByteArray& data);

// Collects and judges the answer to the command just sent: Accepted,
// Faulty, NoAnswer, or Cancelled (a cancel was requested while waiting). The
// answer stays in ctx.comm->receiveBuffer; the port is closed afterwards,
// whatever the result. A data read (1,2) reports its progress through
// ctx.comm->progress against the records expected, unless its progress is
// None.
Exchange receiveAnswer(AppContext& ctx, int group, int number, Expected expected = {});

// The one retry rule: up to `attempts` times {forget any earlier cancel;
// sendCommand; receiveAnswer}; stops at the first accepted answer, and at
// once on a cancel. Returns the last result (also left in status), or
// PortError when the port could not be used (its error shown). A cancel
// request that arrives while the frame is being sent, or in the pause after
// an answer, gives Cancelled. A device that disappears after an earlier
// attempt had the port (unplugged mid-transfer) gives Faulty, a failed read,
// with no message.
// portErrorCaption names the job in a port error's box (0: "ロガー読み出し"
// for group 1, "ロガー設定" for the others).
Exchange request(AppContext& ctx, int group, int number, const QByteArray& data, Expected expected = {},
                 int attempts = kRequestAttempts, int portErrorCaption = 0);

// The same by the command's name.
inline Exchange request(AppContext& ctx, WireCommand c, const QByteArray& data, Expected expected = {},
                        int attempts = kRequestAttempts) {
    return request(ctx, c.group, c.number, data, expected, attempts);
}
inline PortFault transmitFrame(AppContext& ctx, WireCommand c, const QByteArray& data) {
    return transmitFrame(ctx, c.group, c.number, data);
}
inline Exchange receiveAnswer(AppContext& ctx, WireCommand c, Expected expected = {}) {
    return receiveAnswer(ctx, c.group, c.number, expected);
}

// Waits ms milliseconds on the context's clock, processing events.
void pauseMs(AppContext& ctx, int ms);

// The Cancel of a progress or parameter window: ends a pending receive with
// Cancelled at once.
void requestCancel(AppContext& ctx);

// The bar maximum of a data read: (Int(records ÷ perBlock) + 1) × 88, with
// 32 records a block for one channel and 16 for two.
int dataReadMaximum(Expected expected);

// The received-data monitor: appends one judged answer to the monitor text
// (emptied first when it holds more than 35000 characters). ACK CR LF and
// NAK CR LF give the line "Com:g_n_m   ACK" / "... NAK"; any other answer is
// shown with STX, ETX, ETB, CR and LF spelt out. Each entry ends with CR LF.
void appendMonitorText(QString& text, const QByteArray& answer, int group, int number, Progress progress);

}  // namespace quillet
