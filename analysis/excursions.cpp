#include "analysis/excursions.h"

#include <algorithm>

namespace quillet {

std::vector<Excursion> excursionList(const ChannelStore& s, AxisRows rows) {
    std::vector<Excursion> out;
    for (int ch = 1; ch <= kChannels; ++ch) {
        const ChannelRecord& c = s.ch[size_t(ch)];
        if (c.inUse != 1 || !hasAlarmValues(c.kind)) continue;
        const int count = std::clamp<int>(c.sampleCount, 0, kMaxSamples);
        const int first = std::max(1, rows.first - c.rowOffset);
        const int last = std::min(count, rows.last - c.rowOffset);
        const int16_t* v = s.samples[size_t(ch)].data();
        const long long interval = c.intervalHour * 3600 + c.intervalMinute * 60 + c.intervalTenSec * 10;
        // Each limit's runs on their own (crossed limits in a damaged file
        // put a sample beyond both), then the channel's runs in time order.
        const size_t channelFirst = out.size();
        for (const bool above : {true, false}) {
            const int16_t limit = above ? c.upperAlarm : c.lowerAlarm;
            int runFirst = 0, peak = 0;
            auto close = [&](int end) {
                if (runFirst == 0) return;
                Excursion e;
                e.channel = ch;
                e.above = above;
                e.limit = limit / 10.0;
                e.start = c.startTime + (runFirst - 1) * c.interval;
                e.end = c.startTime + end * c.interval;
                e.seconds = (long long)(end - runFirst + 1) * interval;
                e.peak = peak / 10.0;
                out.push_back(e);
                runFirst = 0;
            };
            for (int i = first; i <= last; ++i) {
                const int x = v[i];
                const bool beyond = x != kErrorSample && (above ? x > limit : x < limit);
                if (!beyond) {
                    close(i - 1);
                } else if (runFirst == 0) {
                    runFirst = i;
                    peak = x;
                } else {
                    peak = above ? std::max(peak, x) : std::min(peak, x);
                }
            }
            close(last);
        }
        std::stable_sort(out.begin() + std::ptrdiff_t(channelFirst), out.end(),
                         [](const Excursion& a, const Excursion& b) { return a.start < b.start; });
    }
    return out;
}

}  // namespace quillet
