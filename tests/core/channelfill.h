// Filling channels of the store for the grid, deletion and window tests.
#pragma once

#include "core/context.h"
#include "core/store.h"

#include <QDateTime>

#include <vector>

namespace quillet::fakes {

struct ChannelData {
    int kind = 1;
    QDateTime start = QDateTime(QDate(2013, 11, 15), QTime(10, 0, 0));
    int intervalSeconds = 600;
    std::vector<int16_t> samples{};
    int16_t cardNo = 1;
    int16_t testNo = 1;
    int16_t upperAlarm = 250;
    int16_t lowerAlarm = 100;
    int16_t referenceValue = kNotSet;
    int16_t referenceSide = 0;
};

// Writes channel ch as a read-out or an open does and counts it in use.
inline void fillChannel(AppContext& ctx, int ch, const ChannelData& want) {
    ChannelRecord& c = ctx.store.ch[size_t(ch)];
    const bool wasInUse = c.inUse == 1;
    c = ChannelRecord{};
    c.inUse = 1;
    c.kind = int16_t(want.kind);
    c.cardNo = want.cardNo;
    c.testNo = want.testNo;
    c.startYear = int16_t(want.start.date().year());
    c.startMonth = int16_t(want.start.date().month());
    c.startDay = int16_t(want.start.date().day());
    c.startHour = int16_t(want.start.time().hour());
    c.startMinute = int16_t(want.start.time().minute());
    c.startTenSec = int16_t(want.start.time().second() / 10);
    c.intervalHour = int16_t(want.intervalSeconds / 3600);
    c.intervalMinute = int16_t(want.intervalSeconds / 60 % 60);
    c.intervalTenSec = int16_t(want.intervalSeconds % 60 / 10);
    c.upperAlarm = want.upperAlarm;
    c.lowerAlarm = want.lowerAlarm;
    c.referenceValue = want.referenceValue;
    c.referenceSide = want.referenceSide;
    c.sampleCount = int16_t(want.samples.size());
    int16_t errors = 0;
    for (size_t i = 0; i < want.samples.size(); ++i) {
        ctx.store.samples[size_t(ch)][i + 1] = want.samples[i];
        if (want.samples[i] == kErrorSample) ++errors;
    }
    c.errorCount = errors;
    deriveDates(c);
    if (!wasInUse) ++ctx.store.channelsInUse;
}

// Channel ch of the store as the export tests place it: kind, card and test
// numbers, the samples, starting on 2013-11-15 at 09:00 plus tenSecs × 10
// seconds, every ten minutes. The rest of the record stays as it is.
inline void placeChannel(AppContext& ctx, int ch, int kind, int card, int test, int tenSecs,
                         const std::vector<int>& samples) {
    ChannelRecord& c = ctx.store.ch[size_t(ch)];
    c.inUse = 1;
    c.kind = int16_t(kind);
    c.cardNo = int16_t(card);
    c.testNo = int16_t(test);
    c.startYear = 2013;
    c.startMonth = 11;
    c.startDay = 15;
    c.startHour = 9;
    c.startMinute = int16_t(tenSecs / 6);
    c.startTenSec = int16_t(tenSecs % 6);
    c.intervalMinute = 10;
    c.sampleCount = int16_t(samples.size());
    for (size_t i = 0; i < samples.size(); ++i) ctx.store.samples[size_t(ch)][i + 1] = int16_t(samples[i]);
}

// n samples counting up from first.
inline std::vector<int16_t> ramp(int n, int first = 200) {
    std::vector<int16_t> v;
    for (int i = 0; i < n; ++i) v.push_back(int16_t(first + i));
    return v;
}

}  // namespace quillet::fakes
