// The binary data file: the ".ql6" block layout that every save writes, and
// the older layouts that are still read (".ql4"/".ql5" with the ten-second
// fields, ".qlg"/".qld" without them). Pure: bytes in, records out.
//
// File:  int16 N, then N channel blocks in ascending channel order.
// Block: int16 code (kind * 8 + channel; any kind, kinds other than 0..2
//        are shown like kind 0), cardNo, [startTenSec], startMinute,
//        startHour, startDay, startMonth, startYear, [intervalTenSec],
//        intervalMinute, intervalHour, referenceValue, referenceSide, testNo,
//        rangeCode, maxValue, minValue, averageValue, int32 integratedValue,
//        sampleCount, errorCount, then upperAlarm and lowerAlarm for kinds 1
//        and 2 only, then sampleCount int16 samples. Little-endian throughout.
#pragma once

#include "core/records.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace quillet {

// Run-time errors of the reader besides those of core/catalog.h.
enum DataFileError : int {
    kErrInputPastEnd = 62,  // empty file, or a block header cut short
};

// The largest file a reader ever needs to look at: eight blocks with alarm
// values and full sample tables. Anything beyond is old content that a save
// over a longer file left behind.
constexpr qint64 kMaxDataFileBytes = 2 + kChannels * (48 + 2 * qint64(kMaxSamples));

// Layout of a file name: true = with the ten-second fields. Decided by the
// last four characters in lower case; any other name keeps `previous`.
bool layoutWithTenSecFor(const QString& fileName, bool previous);

// One block read completely (header fields; the samples stay in the bytes).
struct FileBlock {
    int channel = 0;          // 1..8
    ChannelRecord header;     // inUse = 1, kind and every stored field
    qint64 sampleOffset = 0;  // file offset of sample 1
    int samplesPresent = 0;   // samples the file really holds (<= sampleCount)
};

struct ParsedDataFile {
    int declaredBlocks = 0;         // N as stored
    std::vector<FileBlock> blocks;  // the blocks read completely, in file order
    int error = 0;                  // 0, or the run-time error that stopped reading
};

// Walks the blocks. Reading stops at the first bad block with `error` set;
// the blocks before it are kept. A file that ends exactly between blocks
// stops early without error; a last block whose samples are cut short is
// kept with the samples that are there. A negative integrated value is
// stored by the loggers' 16-bit counter and is read back as value + 65535.
ParsedDataFile parseDataFile(const QByteArray& bytes, bool withTenSec);

// Copies count samples (at most 12000) starting at file offset `offset` out
// of bytes into dest[1..count]; samples past the end of the file become error
// samples (9999). dest has room for indexes 0..12000. Returns the number of
// samples that were in the file.
int copySamples(const QByteArray& bytes, qint64 offset, int count, int16_t* dest);

// The ".ql6" file of the channels in use.
QByteArray ql6Bytes(const ChannelStore& store);

}  // namespace quillet
