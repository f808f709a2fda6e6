// The benchmarks' full store: eight channels of 12000 samples each, with an
// error sample now and then and every header value set.
#pragma once

#include "core/records.h"
#include "core/store.h"

namespace quillet::bench {

inline void fillFullStore(ChannelStore& s) {
    for (int ch = 1; ch <= kChannels; ++ch) {
        ChannelRecord& c = s.ch[size_t(ch)];
        c.inUse = 1;
        c.kind = int16_t(ch % 3);
        c.cardNo = int16_t(ch);
        c.testNo = int16_t(100 + ch);
        c.startYear = 2013;
        c.startMonth = 11;
        c.startDay = 15;
        c.startHour = 9;
        c.startMinute = int16_t(ch);
        c.intervalMinute = 1;
        c.rangeCode = 1;
        c.rangeLow = -400;
        c.referenceValue = 250;
        c.integratedValue = 12345;
        c.maxValue = 400;
        c.minValue = -100;
        c.averageValue = 150;
        c.upperAlarm = 350;
        c.lowerAlarm = -50;
        c.sampleCount = kMaxSamples;
        for (int i = 1; i <= kMaxSamples; ++i)
            s.samples[size_t(ch)][size_t(i)] = int16_t(i % 97 == 0 ? kErrorSample : (i * 7 + ch * 13) % 900 - 200);
        deriveDates(c);
    }
    s.channelsInUse = kChannels;
    rebuildTimeAxis(s);
}

}  // namespace quillet::bench
