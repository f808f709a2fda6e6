#include "datafile/datafile.h"

#include "core/catalog.h"

#include <QtEndian>

#include <algorithm>

namespace quillet {
namespace {

// Reads little-endian fields from a byte array without ever passing its end.
class Reader {
public:
    explicit Reader(const QByteArray& b) : data_(b.constData()), size_(b.size()) {}

    qint64 pos() const { return pos_; }
    qint64 size() const { return size_; }
    bool atEnd() const { return pos_ >= size_; }
    void seek(qint64 p) { pos_ = p; }
    // False when fewer than n bytes remain; then nothing is consumed.
    bool has(qint64 n) const { return pos_ >= 0 && n >= 0 && size_ - pos_ >= n; }

    int16_t i16() {
        const int16_t v = qFromLittleEndian<qint16>(data_ + pos_);
        pos_ += 2;
        return v;
    }
    int32_t i32() {
        const int32_t v = qFromLittleEndian<qint32>(data_ + pos_);
        pos_ += 4;
        return v;
    }

private:
    const char* data_;
    qint64 size_;
    qint64 pos_ = 0;
};

// Header bytes of a block, alarm values not counted.
qint64 headerBytes(bool withTenSec) { return withTenSec ? 44 : 40; }

}  // namespace

bool layoutWithTenSecFor(const QString& fileName, bool previous) {
    const QString tail = fileName.right(4).toLower();
    if (tail == QLatin1String(".qlg") || tail == QLatin1String(".qld")) return false;
    if (tail == QLatin1String(".ql4") || tail == QLatin1String(".ql5") || tail == QLatin1String(".ql6")) return true;
    return previous;
}

ParsedDataFile parseDataFile(const QByteArray& bytes, bool withTenSec) {
    ParsedDataFile out;
    Reader r(bytes);
    if (!r.has(2)) {  // empty, or not even a whole count
        out.error = kErrInputPastEnd;
        return out;
    }
    out.declaredBlocks = r.i16();
    if (out.declaredBlocks < 0 || out.declaredBlocks > kChannels) {
        out.error = kErrBadFileFormat;
        return out;
    }

    for (int n = 1; n <= out.declaredBlocks; ++n) {
        if (r.atEnd()) break;  // the file ends between blocks: stop early
        if (!r.has(headerBytes(withTenSec))) {
            out.error = kErrInputPastEnd;
            return out;
        }
        FileBlock b;
        ChannelRecord& c = b.header;
        const int code = r.i16();
        if (code < 1) {  // no channel number fits
            out.error = kErrBadFileFormat;
            return out;
        }
        b.channel = (code - 1) % 8 + 1;
        c.kind = int16_t((code - 1) / 8);
        c.cardNo = r.i16();
        c.startTenSec = withTenSec ? r.i16() : int16_t(0);
        c.startMinute = r.i16();
        c.startHour = r.i16();
        c.startDay = r.i16();
        c.startMonth = r.i16();
        c.startYear = r.i16();
        c.intervalTenSec = withTenSec ? r.i16() : int16_t(0);
        c.intervalMinute = r.i16();
        c.intervalHour = r.i16();
        c.referenceValue = r.i16();
        c.referenceSide = r.i16();
        c.testNo = r.i16();
        c.rangeCode = r.i16();
        c.maxValue = r.i16();
        c.minValue = r.i16();
        c.averageValue = r.i16();
        c.integratedValue = r.i32();
        // The loggers count the integrated value in 16 bits; files keep the
        // old correction (+65535, so -1 reads as 65534).
        if (c.integratedValue < 0) c.integratedValue += 65535;
        c.sampleCount = r.i16();
        c.errorCount = r.i16();
        if (hasAlarmValues(c.kind)) {
            if (!r.has(4)) {
                out.error = kErrInputPastEnd;
                return out;
            }
            c.upperAlarm = r.i16();
            c.lowerAlarm = r.i16();
        }
        if (c.sampleCount < 0 || c.sampleCount > kMaxSamples) {
            out.error = kErrSubscript;  // the sample table holds 12000
            return out;
        }
        c.inUse = 1;
        b.sampleOffset = r.pos();
        const qint64 remaining = r.size() - b.sampleOffset;
        b.samplesPresent = int(std::min<qint64>(c.sampleCount, remaining / 2));
        out.blocks.push_back(b);

        // The next block follows the samples; a cut-short block ends the file.
        const qint64 next = b.sampleOffset + 2 * qint64(c.sampleCount);
        if (next >= r.size()) break;
        r.seek(next);
    }
    return out;
}

int copySamples(const QByteArray& bytes, qint64 offset, int count, int16_t* dest) {
    count = std::clamp(count, 0, int(kMaxSamples));
    const qint64 available = offset < 0 || offset > bytes.size() ? 0 : (bytes.size() - offset) / 2;
    const int present = int(std::min<qint64>(count, available));
    const char* p = bytes.constData() + (present > 0 ? offset : 0);
    // One block copy (a byte swap only on a big-endian machine).
    if (present > 0) qFromLittleEndian<qint16>(p, present, dest + 1);
    for (int i = present + 1; i <= count; ++i) dest[i] = kErrorSample;
    return present;
}

QByteArray ql6Bytes(const ChannelStore& store) {
    QByteArray out;
    auto put16 = [&out](int v) {
        char b[2];
        qToLittleEndian<qint16>(qint16(v), b);
        out.append(b, 2);
    };
    auto put32 = [&out](int32_t v) {
        char b[4];
        qToLittleEndian<qint32>(v, b);
        out.append(b, 4);
    };

    int n = 0;
    qint64 size = 2;
    for (int ch = 1; ch <= kChannels; ++ch) {
        if (store.ch[ch].inUse != 1) continue;
        ++n;
        size += 48 + 2 * qint64(std::clamp<int>(store.ch[ch].sampleCount, 0, kMaxSamples));
    }
    out.reserve(size);
    put16(n);
    for (int ch = 1; ch <= kChannels; ++ch) {
        const ChannelRecord& c = store.ch[ch];
        if (c.inUse != 1) continue;
        const int count = std::clamp<int>(c.sampleCount, 0, kMaxSamples);
        put16(c.kind * 8 + ch);
        put16(c.cardNo);
        put16(c.startTenSec);
        put16(c.startMinute);
        put16(c.startHour);
        put16(c.startDay);
        put16(c.startMonth);
        put16(c.startYear);
        put16(c.intervalTenSec);
        put16(c.intervalMinute);
        put16(c.intervalHour);
        put16(c.referenceValue);
        put16(c.referenceSide);
        put16(c.testNo);
        put16(c.rangeCode);
        put16(c.maxValue);
        put16(c.minValue);
        put16(c.averageValue);
        put32(c.integratedValue);
        put16(count);
        put16(c.errorCount);
        if (hasAlarmValues(c.kind)) {
            put16(c.upperAlarm);
            put16(c.lowerAlarm);
        }
        // The samples as one block (a byte swap only on a big-endian machine).
        const qsizetype at = out.size();
        out.resize(at + 2 * qsizetype(count));
        if (count > 0) qToLittleEndian<qint16>(store.samples[size_t(ch)].data() + 1, count, out.data() + at);
    }
    return out;
}

}  // namespace quillet
