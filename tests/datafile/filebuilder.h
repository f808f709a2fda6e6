// Data files built byte by byte for the tests, independent of the writer
// under test: little-endian int16 fields, the int32 integrated value, the
// alarm pair for kinds 1 and 2, then the samples.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <csignal>
#include <cstdint>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace quillet::filetest {

inline void put16(QByteArray& b, int v) {
    b.append(char(v & 0xFF));
    b.append(char((v >> 8) & 0xFF));
}
inline void put32(QByteArray& b, int32_t v) {
    const auto u = uint32_t(v);
    for (int i = 0; i < 4; ++i) b.append(char((u >> (8 * i)) & 0xFF));
}

// One channel block. Every field has its own value so that two fields read
// in the wrong order show up.
struct Block {
    int code = 1;
    int cardNo = 12;
    int startTenSec = 3;
    int startMinute = 5;
    int startHour = 9;
    int startDay = 15;
    int startMonth = 11;
    int startYear = 2013;
    int intervalTenSec = 0;
    int intervalMinute = 10;
    int intervalHour = 0;
    int referenceValue = 9999;
    int referenceSide = 0;
    int testNo = 7;
    int rangeCode = 1;
    int maxValue = 301;
    int minValue = -52;
    int averageValue = 123;
    int32_t integratedValue = 0;
    std::optional<int> sampleCount;  // default: samples.size()
    int errorCount = 0;
    int upperAlarm = 350;
    int lowerAlarm = -100;
    std::vector<int> samples{253, 9999, 260};
    std::optional<bool> alarms;  // default: kind 1 or 2

    int kind() const { return (code - 1) / 8; }

    // tenSec: the layout with the ten-second fields (".ql4".. ".ql6").
    QByteArray bytes(bool tenSec = true) const {
        QByteArray b;
        put16(b, code);
        put16(b, cardNo);
        if (tenSec) put16(b, startTenSec);
        put16(b, startMinute);
        put16(b, startHour);
        put16(b, startDay);
        put16(b, startMonth);
        put16(b, startYear);
        if (tenSec) put16(b, intervalTenSec);
        put16(b, intervalMinute);
        put16(b, intervalHour);
        put16(b, referenceValue);
        put16(b, referenceSide);
        put16(b, testNo);
        put16(b, rangeCode);
        put16(b, maxValue);
        put16(b, minValue);
        put16(b, averageValue);
        put32(b, integratedValue);
        put16(b, sampleCount.value_or(int(samples.size())));
        put16(b, errorCount);
        if (alarms.value_or(kind() == 1 || kind() == 2)) {
            put16(b, upperAlarm);
            put16(b, lowerAlarm);
        }
        for (int s : samples) put16(b, s);
        return b;
    }
};

inline QByteArray fileBytes(int n, const std::vector<Block>& blocks, bool tenSec = true) {
    QByteArray b;
    put16(b, n);
    for (const Block& k : blocks) b += k.bytes(tenSec);
    return b;
}
inline QByteArray fileBytes(const std::vector<Block>& blocks, bool tenSec = true) {
    return fileBytes(int(blocks.size()), blocks, tenSec);
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
    f.write(bytes);
}
inline QByteArray readBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

// How a name lies on the disk, by its own bytes: its mode and a link's
// target or a file's bytes; "missing" when nothing has that name.
inline QByteArray asItLies(const QByteArray& name) {
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0) return "missing";
    QByteArray to(4096, '\0');
    const ssize_t n = ::readlink(name.constData(), to.data(), size_t(to.size()));
    std::ifstream in(n < 0 ? name.toStdString() : std::string(), std::ios::binary);
    return QByteArray::number(st.st_mode) + " " +
           (n < 0 ? QByteArray::fromStdString(std::string(std::istreambuf_iterator<char>(in), {})) : to.left(n));
}

// While alive, no file of this process may grow: every write to a regular
// file fails as it does on a full disk.
class DiskFull {
public:
    DiskFull() {
        getrlimit(RLIMIT_FSIZE, &old_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit none = old_;
        none.rlim_cur = 0;
        setrlimit(RLIMIT_FSIZE, &none);
    }
    ~DiskFull() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, previous_);
    }

private:
    rlimit old_{};
    void (*previous_)(int) = nullptr;
};

}  // namespace quillet::filetest
