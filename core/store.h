// Mglobal: operations on the channel store and its common time axis.
#pragma once

#include "core/records.h"

#include <QString>

namespace quillet {

struct AppContext;

// Channel letter "A".."H" for channel 1..8.
QString channelLetter(int channel);

// startTime and interval from the stored integer parts.
void deriveDates(ChannelRecord& c);

// Rebuilds referenceChannel, axisStart, axisInterval, every rowOffset and
// rowCount from the channels in use. Does nothing when none is in use.
void rebuildTimeAxis(ChannelStore& s);

// The time (date value) of row n (1-based) of the common time axis.
inline double rowTime(const ChannelStore& s, int n) { return s.axisStart + (n - 1) * s.axisInterval; }

// Rows first..last (1-based, inclusive) of the common time axis: the span of
// a partial list, of the graph on screen, of an export or of the figures.
struct AxisRows {
    int first = 1;
    int last = 1;
    int count() const { return last >= first ? last - first + 1 : 0; }
};
// Every row of the axis; none (1..0) when no channel is in use.
AxisRows wholeAxis(const ChannelStore& s);
// first..last limited to the rows of the axis.
AxisRows clampToAxis(const ChannelStore& s, int first, int last);

// Rebuilds the axis (when a channel is in use) and asks the view to refill.
void rebuildAxisAndDisplay(AppContext& ctx);

// Number of channels 1..8 with inUse = 1.
int countChannelsInUse(const ChannelStore& s);
int lowestFreeChannel(const ChannelStore& s);  // 0 when none is free

// Empties every channel, clears both unsaved flags, resets currentFileName
// to test.ql6 in the data folder (and forgets dataFileName) and updates the
// caption.
void clearAllChannels(AppContext& ctx);
// Empties channel ch (1..8); rebuilds the axis when channels remain, clears
// the unsaved flags when none does; resets currentFileName (forgetting
// dataFileName) and the caption.
void emptyChannel(AppContext& ctx, int ch);

// (unsavedRead = 1 and a channel in use) or unsavedEdit = 1.
bool holdsUnsavedData(const ChannelStore& s);

// The data folder's "test.ql6".
QString defaultFileName(const AppContext& ctx);

// Measuring range bottom for a range code (0.1 units); codes outside the
// table give 0.
int16_t rangeLowFor(int rangeCode);

}  // namespace quillet
