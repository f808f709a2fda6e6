// What a signed report's data is bound to, a line of its content each: the
// samples as the archive holds them, hashed, so that a later check finds
// any change of them.
#pragma once

#include "archive/archive.h"

namespace quillet::archive {

// A read-out (by its file's SHA-256): "readout\t<file sha>\t<sha>" over its
// channels' headers and samples.
QString readoutBinding(Archive& a, const QByteArray& fileSha, ArchiveFailure& failure);
// A series over fromUtc..toUtc (the long-term trend):
// "series\t<card>\t<test>\t<channel>\t<kind>\t<from>\t<to>\t<sha>" over its
// samples with their alarm limits.
QString seriesBinding(Archive& a, const SeriesKey& key, qint64 fromUtc, qint64 toUtc, ArchiveFailure& failure);

}  // namespace quillet::archive
