// The rules of the graph range dialog (GraphRangeDialog), without the window: the
// dialog's fields as a small state value, and what opening, focusing, typing,
// the spins, the "自動" boxes, leaving a field and OK do to it. The window
// forwards its events here and shows the returned message numbers (caption 4
// "グラフ", OK button) in order.
#pragma once

#include "core/records.h"
#include "core/savefile.h"
#include "graph/graphstate.h"

#include <QString>

#include <array>
#include <optional>
#include <utility>
#include <vector>

namespace quillet {

struct AppContext;

// The value fields. The first six have a spin (scDrstartno .. scHrendv).
enum class RangeField { FirstRow, LastRow, TempMin, TempMax, HumidMin, HumidMax, FirstTime, LastTime };
constexpr int kRangeFields = 8;
constexpr int kRangeSpins = 6;

struct GraphRangeState {
    std::array<QString, kRangeFields> text;      // what each field shows
    std::array<QString, kRangeFields> accepted;  // its last accepted text
    std::array<int, kRangeSpins> spin{};         // the spins' values
    std::array<bool, 3> autoChecked{};           // Drangeauto, Trangeauto, Hrangeauto
    bool tempEnabled = false;                    // a temperature channel is in use
    bool humidEnabled = false;                   // a humidity channel is in use

    QString& operator[](RangeField f) { return text[size_t(f)]; }
    const QString& operator[](RangeField f) const { return text[size_t(f)]; }
};

// The dialog as it opens over the current graph ranges.
GraphRangeState openGraphRange(const GraphState& g, const ChannelStore& s);

// The axis a field belongs to.
RangeAxis rangeAxisOf(RangeField f);

// Focus on a field or its spin: the axis's "自動" box is unchecked and its
// manual flag is set at once (Cancel does not undo it).
void rangeFieldFocused(GraphRangeState& st, GraphState& g, RangeField f);

// Key up in a field: a number within its range moves the spin; a complete
// time within the axis moves the data-number spin. The field being typed in
// is never rewritten.
void rangeFieldKeyUp(GraphRangeState& st, const ChannelStore& s, RangeField f);

// The spin of field f (one of the first six) took value: its field shows the
// value, and a data-number spin's time field the time of that data number.
void rangeSpinChanged(GraphRangeState& st, const ChannelStore& s, RangeField f, int value);

// A click on an axis's "自動" box. Checked: the axis becomes automatic and its
// fields show the automatic range; unchecked: the axis is held.
void rangeAutoClicked(GraphRangeState& st, GraphState& g, const ChannelStore& s, RangeAxis a, bool checked);

// The lost-focus check of a field (also run by Enter and the keypad
// separator, and by a spin losing the focus). Repairs the state and returns
// the messages to show, in order.
std::vector<int> checkRangeField(GraphRangeState& st, GraphState& g, const ChannelStore& s, RangeField f);

// OK: the held axes' fields go into GraphState (the previous ranges kept for
// undo) and undo becomes available ...
void applyGraphRange(const GraphRangeState& st, GraphState& g);
// ... and the graph's range values are written to the general settings.
// Why the settings file could not be written, if it could not.
Saved acceptGraphRange(const GraphRangeState& st, AppContext& ctx);

// The data number at or before a time of the common time axis, counted from
// 0 (the small addend absorbs the rounding of the division); nothing when the
// axis has no interval.
std::optional<int> dataIndexAtOrBefore(const ChannelStore& s, double time);

// Whether a temperature (kind 0 or 1) and a humidity (kind 2) channel is in
// use: the axes the dialogs offer.
std::pair<bool, bool> graphAxesInUse(const ChannelStore& s);

// round(Val(text)), halves to even, kept within ±1e9.
int wholeValue(const QString& text);

// The text of a field's time: "yyyy-mm-dd hh:nn:ss" of data number n.
QString dataNumberTimeText(const ChannelStore& s, int n);

}  // namespace quillet
