// libFuzzer target: any bytes as a data file, in both layouts, through the
// open's loader, the time axis, the CSV export and the writer. Whatever is
// loaded must be consistent and must save to a file that reads back.
#include "core/context.h"
#include "core/store.h"
#include "datafile/datafile.h"
#include "datafile/fileops.h"

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

void oneLayout(const QByteArray& bytes, bool withTenSec) {
    static quillet::AppContext ctx;  // the defaults: no dialogs, no view
    using namespace quillet;
    const int error = loadDataBytes(ctx, bytes, withTenSec);
    ChannelStore& s = ctx.store;
    check(s.channelsInUse == countChannelsInUse(s));
    for (int ch = 1; ch <= kChannels; ++ch) {
        const ChannelRecord& c = s.ch[size_t(ch)];
        if (c.inUse != 1) continue;
        check(c.sampleCount >= 0 && c.sampleCount <= kMaxSamples);
        // Kinds past 2 open (shown like kind 0); the code kind * 8 + channel
        // came from a 16-bit field and must fit one again.
        check(c.kind >= 0 && c.kind * 8 + ch <= 32767);
    }
    (void)error;
    rebuildTimeAxis(s);
    if (s.channelsInUse > 0) check(s.rowCount >= 0);
    // The export of a long axis walks the same index checks as a short one
    // and would only slow the fuzzer down; one layout's export is enough.
    if (withTenSec && s.rowCount <= 16) check(!exportBytes(ctx, kCsvExport).isEmpty());

    // Saved and read again: the same channels, the same sample counts.
    const QByteArray saved = ql6Bytes(s);
    const ParsedDataFile again = parseDataFile(saved, true);
    check(again.error == 0);
    check(int(again.blocks.size()) == s.channelsInUse);
    for (const FileBlock& b : again.blocks) {
        const ChannelRecord& c = s.ch[size_t(b.channel)];
        check(c.inUse == 1 && b.header.sampleCount == c.sampleCount && b.samplesPresent == c.sampleCount);
        check(b.header.kind == c.kind && b.header.cardNo == c.cardNo && b.header.lowerAlarm == c.lowerAlarm);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;  // an empty file never reaches the loader
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    oneLayout(bytes, true);
    oneLayout(bytes, false);
    return 0;
}
