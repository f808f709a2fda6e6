// The figures as texts: the rows of the "統計と逸脱" window, of the report's
// table and of quillet-cli stats, one formatting for all three.
#pragma once

#include "analysis/figures.h"

#include <QByteArray>
#include <QString>

namespace quillet {

struct AppContext;

constexpr int kFigureRows = 19;

// Label of figure row 0..kFigureRows − 1.
QString figureRowLabel(int row);
// The text of figure row row for a channel: "-----" where the figure does
// not apply. Values in the channel's unit, mean and MKT to two decimals.
QString figureText(const ChannelFigures& f, int row);

// Seconds as "h:mm:ss" (hours past 24 stay hours: "36:00:00").
QString durationText(long long seconds);
// A date value as "yyyy-mm-dd hh:nn:ss".
QString dateTimeText(double dateValue);
// The column head of a channel: letter, card-test texts and unit.
QString figureColumnHead(AppContext& ctx, int channel);

// The table of figures as tab-separated text, as a spreadsheet pastes it:
// a head line (an empty cell, then each channel's head), then one line per
// figure row (its label, then each channel's text), lines ended by LF.
QString figuresTabSeparated(AppContext& ctx, const std::vector<ChannelFigures>& figures);
// The same table as a CSV file: UTF-8 with a byte-order mark, CR LF, cells
// with a comma or a quote quoted.
QByteArray figuresCsv(AppContext& ctx, const std::vector<ChannelFigures>& figures);

}  // namespace quillet
