// The reader's side of the serial text protocol, written for the simulator
// alone: framing characters, reversed hexadecimal fields and the packing of
// 10-bit values into the 88-character blocks of the 1,2 answer.
#pragma once

#include <QByteArray>

#include <optional>
#include <vector>

namespace quillet::sim::wire {

constexpr char STX = 0x02;
constexpr char ETX = 0x03;
constexpr char ACK = 0x06;
constexpr char NAK = 0x15;
constexpr char ETB = 0x17;
constexpr char CR = 0x0D;
constexpr char LF = 0x0A;

constexpr int kBlockLength = 88;
constexpr int kErrorRaw = 1023;

// A field of `width` hex digits, least significant digit first. A value that
// does not fit is cut to its low digits (the reader has no wider field).
QByteArray field(unsigned value, int width);
// Reads a reversed hex field; nullopt when a character is not a hex digit.
std::optional<unsigned> readField(const QByteArray& text);

// A command frame from the host: STX " " g "," " " n ["," data] "," ETX CR LF.
struct Frame {
    int group = 0;
    int number = 0;
    QByteArray data;
};
// Parses one frame that ends in LF. Anything before the last STX is line
// noise and skipped; nullopt when the rest is not a well-formed frame.
std::optional<Frame> parseFrame(const QByteArray& bytes);

// ACK CR LF / NAK CR LF.
QByteArray ack();
QByteArray nak();

// One 88-character block of the 1,2 answer holding 32 raw values (0..1023),
// closed by "," ETB CR LF, or "," ETX CR LF when it is the last block.
QByteArray block(const int (&values)[32], bool last);

}  // namespace quillet::sim::wire
