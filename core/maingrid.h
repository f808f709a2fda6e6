// The texts of the main window's two grids, computed from the channel store
// when the window asks for a cell, and the rules of the data grid's scroll
// bar and mouse wheel. No window code here: the grid models of core/ui call
// these functions for the visible cells only.
#pragma once

#include "core/records.h"

#include <QString>

#include <array>

namespace quillet {

struct AppContext;

// The data grid: header row 0 and rows 1..12000 (more when a long common
// axis needs them), columns 0 "No.", 1 the time, 2..9 channels 1..8.
constexpr int kGridColumns = 10;
constexpr int kGridRows = kMaxSamples;  // data rows below the header
constexpr int kVisibleRows = 20;        // data rows on screen
// Statistics grid: 9 rows, column 0 the labels, column n channel n.
constexpr int kStatsRows = 9;
constexpr int kStatsColumns = kChannels + 1;
// Rows moved per notch of the mouse wheel.
constexpr int kWheelStep = 10;

// Number of data rows the grid holds: 12000, or the length of the common
// axis when that is longer (a channel that starts late on a full axis).
int gridRowCount(const ChannelStore& s);

// Number format of a channel's values: "0.0" for temperature (kind 0, 1),
// "0" for humidity (kind 2).
QString numberFormat(int kind);
// A value stored in tenths, in the channel's number format: the one
// formatting of values for the grids, the prints and the insertion dialog.
QString valueText(const ChannelRecord& c, int tenths);
// "[ﾟC]" or "[%RH]".
QString unitText(int kind);

// The alarm mark after a value: "◆" above the upper and below the lower
// alarm at once, "▲" above the upper, "▼" below the lower, three blanks
// otherwise and always for kind 0.
QString alarmMark(const ChannelRecord& c, int16_t raw);
// A data cell: "-----  " for an error sample, else the value in tenths
// shown in the channel's number format followed by its alarm mark.
QString sampleText(const ChannelRecord& c, int16_t raw);

// Letters of the empty channels for columns 0..9 ("A".."H" in columns 2..9
// whose channel is empty, empty text elsewhere).
std::array<QString, kGridColumns> emptyChannelLabels(const ChannelStore& s);

// Header cell (row 0) of data-grid column col. An in-use channel shows its
// card text, CR, test text, CR and unit (card and test numbers of 256 and
// more are corrected to 255 in the store, as the setting characters do).
QString gridHeaderText(AppContext& ctx, int col);
// Cell of data row row (1-based) and column col.
QString gridCellText(const AppContext& ctx, int row, int col);

// Cell of the statistics grid (row 0..8, column 0..8).
QString statsCellText(const AppContext& ctx, int row, int col);
QString statsRowLabel(int row);

// The separate vertical scroll bar of the data grid.
struct ScrollSettings {
    int minimum = 1;
    int maximum = 1;
    int largeChange = 1;
    int value = 1;
};
// After the grid is refilled: maximum 1 while fewer than 21 rows (or no
// channel) are shown; otherwise maximum rowCount − 19 and large change
// rowCount ÷ 20 + 1 rounded half to even. The value goes back to 1.
ScrollSettings scrollSettingsFor(const ChannelStore& s);

// One notch of the mouse wheel: toward the user (delta < 0) adds step,
// away subtracts it; the result is clamped between minimum and maximum
// (whichever order they are in).
int wheelScroll(int value, int minimum, int maximum, int wheelDelta, int step);

}  // namespace quillet
