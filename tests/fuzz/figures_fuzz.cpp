// libFuzzer target: any bytes as up to eight channels of samples with their
// kinds, alarm limits and start rows, and a span of rows; the audit figures
// of every channel must equal those reckoned sample by sample.
#include "analysis/figures.h"
#include "core/context.h"
#include "core/store.h"
#include "tests/analysis/plainfigures.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// The bytes as little-endian 16-bit words, read front to back.
struct Words {
    const uint8_t* data;
    size_t size;
    int16_t next() {
        if (size < 2) return 0;
        int16_t v;
        std::memcpy(&v, data, 2);
        data += 2;
        size -= 2;
        return v;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quillet;
    static AppContext ctx;  // the store is large: one, emptied each time
    ChannelStore& s = ctx.store;
    Words w{data, size};
    const int channels = 1 + (w.next() & 7);
    const int first = w.next(), last = w.next();
    const double dhr = kMinDeltaHOverR + (uint16_t(w.next()) % 100) * 1000.0;
    // Each channel: kind, alarm limits, start (in minutes after the first
    // channel's), then an equal share of the remaining words as samples; a
    // word ending in 0xF is an error sample.
    struct Head {
        int16_t kind, upper, lower, startMinute;
    } heads[kChannels];
    for (int i = 0; i < channels; ++i) heads[i] = {int16_t(w.next() & 3), w.next(), w.next(), int16_t(w.next() & 63)};
    const int each = std::min<int>(kMaxSamples, int(w.size / 2) / channels);
    for (int ch = 1; ch <= kChannels; ++ch) s.ch[size_t(ch)] = ChannelRecord{};
    s.channelsInUse = channels;
    for (int ch = 1; ch <= channels; ++ch) {
        const Head& h = heads[ch - 1];
        ChannelRecord& c = s.ch[size_t(ch)];
        c.inUse = 1;
        c.kind = int16_t(h.kind % 3);
        c.upperAlarm = h.upper;
        c.lowerAlarm = h.lower;
        c.startYear = 2024;
        c.startMonth = 1;
        c.startDay = 1;
        c.startMinute = h.startMinute;
        c.intervalMinute = 1;
        c.sampleCount = int16_t(each);
        deriveDates(c);
        for (int i = 1; i <= each; ++i) {
            const int16_t v = w.next();
            s.samples[size_t(ch)][size_t(i)] = (v & 0xF) == 0xF ? int16_t(kErrorSample) : v;
        }
    }
    rebuildTimeAxis(s);
    const AxisRows rows = clampToAxis(s, first, last);
    for (const ChannelFigures& got : channelFigures(s, rows, dhr))
        if (!plain::difference(got, plain::figures(s, got.channel, rows, dhr)).empty()) std::abort();
    return 0;
}
