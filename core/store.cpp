#include "core/store.h"

#include "core/context.h"
#include "core/vb.h"

#include <QDir>

#include <algorithm>
#include <limits>

namespace quillet {

QString channelLetter(int channel) { return QString(QChar(u'A' + (channel - 1))); }

void deriveDates(ChannelRecord& c) {
    const QDate d(c.startYear, c.startMonth, c.startDay);
    c.startTime = (d.isValid() ? vb::dateSerial(c.startYear, c.startMonth, c.startDay) : 0.0) +
                  vb::timeSerial(c.startHour, c.startMinute, c.startTenSec * 10);
    c.interval = vb::timeSerial(c.intervalHour, c.intervalMinute, c.intervalTenSec * 10);
}

void rebuildTimeAxis(ChannelStore& s) {
    int ref = 0;
    double provisionalEnd = 0;
    for (int ch = 1; ch <= kChannels; ++ch) {
        ChannelRecord& c = s.ch[ch];
        if (c.inUse != 1) continue;
        deriveDates(c);
        if (ref == 0) {
            ref = ch;
            s.referenceChannel = int16_t(ch);
            s.axisStart = c.startTime;
            s.axisInterval = c.interval;
            provisionalEnd = c.startTime + (c.sampleCount - 1) * c.interval;
            continue;
        }
        if (s.axisInterval > 0) {
            const double d = (c.startTime - s.ch[ref].startTime) / s.axisInterval;
            if (d < 0 && d >= -1500 && c.startTime < s.axisStart) s.axisStart = c.startTime;
        }
    }
    if (ref == 0) return;

    // A zero interval cannot space rows: every channel then starts in row 1
    // and the axis is as long as the longest channel.
    if (s.axisInterval <= 0) {
        int rows = 0;
        for (int ch = 1; ch <= kChannels; ++ch) {
            if (s.ch[ch].inUse != 1) continue;
            s.ch[ch].rowOffset = 0;
            rows = std::max<int>(rows, s.ch[ch].sampleCount);
        }
        s.rowCount = int16_t(std::max(rows, 1));
        return;
    }

    double end = provisionalEnd;
    for (int ch = 1; ch <= kChannels; ++ch) {
        ChannelRecord& c = s.ch[ch];
        if (c.inUse != 1) continue;
        const double o = (c.startTime - s.axisStart) / s.axisInterval;
        c.rowOffset = (o > 1500 || o <= 0) ? int16_t(0) : int16_t(vb::cint(o));
        end = std::max(end, s.axisStart + (c.rowOffset + c.sampleCount - 1) * s.axisInterval);
    }
    const long long rows = vb::cint((end - s.axisStart) / s.axisInterval + 1);
    s.rowCount = int16_t(std::clamp<long long>(rows, 0, std::numeric_limits<int16_t>::max()));
}

void rebuildAxisAndDisplay(AppContext& ctx) {
    if (countChannelsInUse(ctx.store) > 0) rebuildTimeAxis(ctx.store);
    ctx.view->refreshDisplay();
}

AxisRows wholeAxis(const ChannelStore& s) {
    if (countChannelsInUse(s) == 0) return {1, 0};
    return {1, int(s.rowCount)};
}

AxisRows clampToAxis(const ChannelStore& s, int first, int last) {
    const AxisRows all = wholeAxis(s);
    return {std::max(first, all.first), std::min(last, all.last)};
}

int countChannelsInUse(const ChannelStore& s) {
    int n = 0;
    for (int ch = 1; ch <= kChannels; ++ch) n += s.ch[ch].inUse == 1 ? 1 : 0;
    return n;
}

int lowestFreeChannel(const ChannelStore& s) {
    for (int ch = 1; ch <= kChannels; ++ch)
        if (s.ch[ch].inUse != 1) return ch;
    return 0;
}

QString defaultFileName(const AppContext& ctx) { return ctx.folders.dataFolder + QStringLiteral("test.ql6"); }

void clearAllChannels(AppContext& ctx) {
    ChannelStore& s = ctx.store;
    for (int ch = 1; ch <= kChannels; ++ch) s.ch[ch].inUse = 0;
    s.channelsInUse = 0;
    // The sample tables stay as they are: nothing reads past a channel's
    // sampleCount, and whatever fills a channel writes samples
    // 1..sampleCount (an open then costs the copy of the file and no more).
    s.unsavedRead = 0;
    s.unsavedEdit = 0;
    s.currentFileName = defaultFileName(ctx);
    s.dataFileName.clear();
    ctx.view->updateCaption();
}

void emptyChannel(AppContext& ctx, int ch) {
    ChannelStore& s = ctx.store;
    if (ch < 1 || ch > kChannels || s.ch[ch].inUse != 1) return;
    s.ch[ch].inUse = 0;
    s.channelsInUse = int16_t(std::max(0, s.channelsInUse - 1));
    if (countChannelsInUse(s) > 0) {
        rebuildTimeAxis(s);
    } else {
        s.unsavedRead = 0;
        s.unsavedEdit = 0;
    }
    s.currentFileName = defaultFileName(ctx);
    s.dataFileName.clear();
    ctx.view->updateCaption();
}

bool holdsUnsavedData(const ChannelStore& s) {
    return (s.unsavedRead == 1 && s.channelsInUse > 0) || s.unsavedEdit == 1;
}

int16_t rangeLowFor(int rangeCode) {
    switch (rangeCode) {
    case 1:
    case 6: return -400;
    case 3:
    case 8: return 500;
    default:  // 2, 7, 10, 11 and codes no logger reports
        return 0;
    }
}

}  // namespace quillet
