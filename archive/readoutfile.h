// A data file as a read-out of the archive: its bytes' SHA-256, its
// channels with their samples, each sample's instant. A logger counts
// wall-clock time without a zone: the start is taken as local time of the
// PC's zone at that start, and every sample one interval after the one
// before (a logger never jumps an hour), so a recording across a
// daylight-saving change keeps evenly spaced instants.
#pragma once

#include "archive/archive.h"
#include "core/savefile.h"

#include <QDateTime>
#include <QTimeZone>

namespace quillet::archive {

// Who imports, where and when.
struct ImportOrigin {
    QString site;
    QString host;
    QString user;
    qint64 importedUtc = 0;
    int model = 0;  // the logger model where known (a read-out just made)
    QTimeZone zone = QTimeZone::systemTimeZone();
};
// This PC, its user and now.
ImportOrigin thisComputer(const QString& site, int model = 0);

// Why a file could not become a read-out.
enum class FileProblem {
    None,
    Unreadable,  // readError says why
    Damaged,     // not a data file of any layout, or cut short
    NoTime,      // a channel whose start is no date or whose interval is 0
    Empty,       // no channel
};

struct FileReadout {
    Readout readout;
    FileProblem problem = FileProblem::None;
    SaveError readError = SaveError::None;
    int runtimeError = 0;  // the reader's run-time error of a damaged file
};

// The read-out of the file's bytes (the layout from its name, as an open
// takes it: ".qlg"/".qld" without the ten-second fields).
FileReadout readoutFromBytes(const QByteArray& bytes, const QString& path, const ImportOrigin& origin);
FileReadout readoutFromFile(const QString& path, const ImportOrigin& origin);

// The SHA-256 of bytes as 64 lower-case hex digits.
QByteArray sha256Hex(const QByteArray& bytes);

// A read-out's channel as the channel store keeps it (header, in use,
// derived times); its samples go to the store separately.
ChannelRecord channelRecordOf(const ReadoutChannel& c);

// An instant as the local date value of zone (days since 1899-12-30).
double localDateValue(qint64 utc, const QTimeZone& zone);

}  // namespace quillet::archive
