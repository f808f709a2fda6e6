// The host's side of the reader protocol, restated for the tests of the
// simulator (they must not share the simulator's own wire code).
#pragma once

#include "tools/sim/device.h"

#include <QByteArray>

#include <vector>

namespace quillet::sim::test {

inline const char kStx = 0x02, kEtx = 0x03, kAck = 0x06, kNak = 0x15, kEtb = 0x17, kCr = 0x0D, kLf = 0x0A;

// STX " " g "," " " n ["," data] "," ETX CR LF
inline QByteArray frame(int group, int number, const QByteArray& data = {}) {
    QByteArray f;
    f += kStx;
    f += ' ';
    f += char('0' + group);
    f += ',';
    f += ' ';
    f += char('0' + number);
    if (!data.isEmpty()) f += ',' + data;
    f += ',';
    f += kEtx;
    f += kCr;
    f += kLf;
    return f;
}

inline QByteArray ackLine() { return QByteArray() + kAck + kCr + kLf; }
inline QByteArray nakLine() { return QByteArray() + kNak + kCr + kLf; }

// A field in the answer: `width` characters at 1-based `position`, least
// significant hex digit first.
inline int fieldAt(const QByteArray& answer, int position, int width) {
    int v = 0;
    for (int i = width - 1; i >= 0; --i) {
        const char c = answer.at(position - 1 + i);
        v = v * 16 + (c <= '9' ? c - '0' : c - 'A' + 10);
    }
    return v;
}

// A value for a setting command: hex, least significant digit first.
inline QByteArray hexData(int value, int width) {
    const char* digits = "0123456789ABCDEF";
    QByteArray out;
    for (int i = 0; i < width; ++i) {
        out += digits[value & 0xF];
        value >>= 4;
    }
    return out;
}

// Everything the device has to send after one request.
inline QByteArray ask(Device& d, int group, int number, const QByteArray& data = {}) {
    d.receive(frame(group, number, data));
    QByteArray all;
    while (d.pending() > 0) all += d.take(1000);
    return all;
}

// The 32 values of one 88-character block (group g at 5 + 10 g: two digits of
// high bits, then four low bytes, low digit first).
inline std::vector<int> blockValues(const QByteArray& block) {
    auto hex = [&](int pos) {
        const char c = block.at(pos - 1);
        return c <= '9' ? c - '0' : c - 'A' + 10;
    };
    std::vector<int> v;
    for (int g = 0; g < 8; ++g) {
        const int o = 5 + 10 * g;
        const int highs[4] = {hex(o) & 3, (hex(o) >> 2) & 3, hex(o + 1) & 3, (hex(o + 1) >> 2) & 3};
        for (int i = 0; i < 4; ++i) {
            const int low = hex(o + 2 + 2 * i) + 16 * hex(o + 3 + 2 * i);
            v.push_back(highs[i] * 256 + low);
        }
    }
    return v;
}

// A logger of the model with the records and no error samples among them.
inline Config quiet(int model, int records) {
    Config c;
    c.model = model;
    c.records = records;
    c.errorSamples = 0;
    return c;
}

}  // namespace quillet::sim::test
