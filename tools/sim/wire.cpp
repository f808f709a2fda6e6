#include "tools/sim/wire.h"

namespace quillet::sim::wire {

namespace {

const char kDigits[] = "0123456789ABCDEF";

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

QByteArray field(unsigned value, int width) {
    QByteArray out(width, '0');
    for (int i = 0; i < width; ++i) {
        out[i] = kDigits[value & 0xF];
        value >>= 4;
    }
    return out;
}

std::optional<unsigned> readField(const QByteArray& text) {
    if (text.isEmpty() || text.size() > 8) return std::nullopt;
    unsigned value = 0;
    for (int i = text.size() - 1; i >= 0; --i) {
        const int d = hexValue(text.at(i));
        if (d < 0) return std::nullopt;
        value = value * 16 + static_cast<unsigned>(d);
    }
    return value;
}

std::optional<Frame> parseFrame(const QByteArray& bytes) {
    const int stx = bytes.lastIndexOf(STX);
    if (stx < 0) return std::nullopt;
    const QByteArray f = bytes.mid(stx);
    // STX ' ' g ',' ' ' n  then  ',' ETX CR LF  or  ',' data ',' ETX CR LF
    static const QByteArray tail = QByteArray(",") + ETX + CR + LF;
    if (f.size() < 6 + tail.size()) return std::nullopt;
    if (f.at(1) != ' ' || f.at(3) != ',' || f.at(4) != ' ') return std::nullopt;
    const char g = f.at(2);
    const char n = f.at(5);
    if (g < '0' || g > '9' || n < '0' || n > '9') return std::nullopt;
    if (!f.endsWith(tail)) return std::nullopt;
    Frame out;
    out.group = g - '0';
    out.number = n - '0';
    const QByteArray rest = f.mid(6, f.size() - 6 - tail.size());  // "" or ",data"
    if (!rest.isEmpty()) {
        if (rest.at(0) != ',' || rest.size() < 2) return std::nullopt;
        out.data = rest.mid(1);
        for (char c : out.data) {
            if (c == STX || c == ETX || c == CR || c == LF) return std::nullopt;
        }
    }
    return out;
}

QByteArray ack() { return QByteArray() + ACK + CR + LF; }
QByteArray nak() { return QByteArray() + NAK + CR + LF; }

QByteArray block(const int (&values)[32], bool last) {
    QByteArray out;
    out.reserve(kBlockLength);
    out += STX;
    out += " 2,";
    for (int g = 0; g < 8; ++g) {
        const int* v = values + 4 * g;
        auto high = [&](int i) { return (v[i] >> 8) & 3; };
        out += kDigits[high(0) | (high(1) << 2)];
        out += kDigits[high(2) | (high(3) << 2)];
        for (int i = 0; i < 4; ++i) {
            const int low = v[i] & 0xFF;
            out += kDigits[low & 0xF];  // low digit first
            out += kDigits[low >> 4];
        }
    }
    out += ',';
    out += last ? ETX : ETB;
    out += CR;
    out += LF;
    return out;
}

}  // namespace quillet::sim::wire
