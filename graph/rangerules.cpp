#include "graph/rangerules.h"
#include "core/store.h"

#include "core/context.h"
#include "core/vb.h"
#include "graph/graphscale.h"

#include <algorithm>
#include <tuple>

namespace quillet {
namespace {

constexpr int kHighestDataNumber = 9000;

struct Limits {
    int min, max, message;
};

Limits limitsOf(RangeAxis a) {
    switch (a) {
    case RangeAxis::X: return {1, kHighestDataNumber, 54};
    case RangeAxis::Temp: return {-100, 200, 52};
    case RangeAxis::Humid: break;
    }
    return {0, 100, 53};
}

bool isTimeField(RangeField f) { return f == RangeField::FirstTime || f == RangeField::LastTime; }

bool isLowerField(RangeField f) {
    return f == RangeField::FirstRow || f == RangeField::TempMin || f == RangeField::HumidMin;
}

// The other bound of the same axis (number fields).
RangeField partnerOf(RangeField f) {
    switch (f) {
    case RangeField::FirstRow: return RangeField::LastRow;
    case RangeField::LastRow: return RangeField::FirstRow;
    case RangeField::TempMin: return RangeField::TempMax;
    case RangeField::TempMax: return RangeField::TempMin;
    case RangeField::HumidMin: return RangeField::HumidMax;
    default: return RangeField::HumidMin;
    }
}

RangeField timeFieldOf(RangeField numberField) {
    return numberField == RangeField::FirstRow ? RangeField::FirstTime : RangeField::LastTime;
}
RangeField numberFieldOf(RangeField timeField) {
    return timeField == RangeField::FirstTime ? RangeField::FirstRow : RangeField::LastRow;
}

bool& manualFlag(GraphState& g, RangeAxis a) {
    return a == RangeAxis::X ? g.x().manual : a == RangeAxis::Temp ? g.temp().manual : g.humid().manual;
}

QString number(int v) { return QString::number(v); }

// Times of the axis are whole seconds; half a second of slack keeps a typed
// time equal to the first or last data number inside however the sums round.
constexpr double kHalfSecond = vb::kOneSecond / 2;

bool withinAxis(const ChannelStore& s, double t) {
    return t >= s.axisStart - kHalfSecond && t <= rowTime(s, kHighestDataNumber) + kHalfSecond;
}

// Sets a spin as its Change event would, rewriting the paired fields except
// `source`, the field the value came from.
void setSpin(GraphRangeState& st, const ChannelStore& s, RangeField f, int value, std::optional<RangeField> source) {
    st.spin[size_t(f)] = value;
    if (source != f) st[f] = number(value);
    if (rangeAxisOf(f) == RangeAxis::X && source != timeFieldOf(f)) st[timeFieldOf(f)] = dataNumberTimeText(s, value);
}

void fillField(GraphRangeState& st, const ChannelStore& s, RangeField f, int value, const Limits& lim) {
    setSpin(st, s, f, std::clamp(value, lim.min, lim.max), std::nullopt);
    st[f] = number(value);
    st.accepted[size_t(f)] = st[f];
    if (rangeAxisOf(f) == RangeAxis::X) st.accepted[size_t(timeFieldOf(f))] = st[timeFieldOf(f)];
}

void checkNumberField(GraphRangeState& st, const ChannelStore& s, RangeField f, std::vector<int>& messages) {
    const RangeAxis axis = rangeAxisOf(f);
    const Limits lim = limitsOf(axis);
    const bool lower = isLowerField(f);
    const RangeField partner = partnerOf(f);

    // Order against the other bound: data numbers may meet (mended below),
    // temperature and humidity bounds may not.
    const auto order = [&] {
        const int own = wholeValue(st[f]);
        const int other = wholeValue(st[partner]);
        const bool rejected =
            axis == RangeAxis::X ? (lower ? other < own : own < other) : (lower ? other <= own : own <= other);
        if (!rejected) return;
        messages.push_back(lower ? 50 : 51);
        st[f] = st.accepted[size_t(f)];
    };
    const auto range = [&] {
        const double v = vb::val(st[f]);
        if (v > lim.max) {
            messages.push_back(lim.message);
            st[f] = number(lim.max);
        } else if (v < lim.min) {
            messages.push_back(lim.message);
            st[f] = number(lim.min);
        }
    };
    if (f == RangeField::LastRow) {
        range();
        order();
    } else {
        order();
        range();
    }

    if (axis == RangeAxis::X) {
        const int start = wholeValue(st[RangeField::FirstRow]);
        const int end = wholeValue(st[RangeField::LastRow]);
        if (start == end) {
            if (f == RangeField::FirstRow) {
                if (end > 1) {
                    st[f] = number(end - 1);
                } else {
                    st[RangeField::LastRow] = number(2);
                    checkNumberField(st, s, RangeField::LastRow, messages);
                }
            } else {
                if (start < kHighestDataNumber) {
                    st[f] = number(start + 1);
                } else {
                    st[RangeField::FirstRow] = number(kHighestDataNumber - 1);
                    checkNumberField(st, s, RangeField::FirstRow, messages);
                }
            }
        }
    }

    setSpin(st, s, f, std::clamp(wholeValue(st[f]), lim.min, lim.max), std::nullopt);
    st.accepted[size_t(f)] = st[f];
    if (axis == RangeAxis::X) st.accepted[size_t(timeFieldOf(f))] = st[timeFieldOf(f)];
}

void checkTimeField(GraphRangeState& st, GraphState& g, const ChannelStore& s, RangeField f,
                    std::vector<int>& messages) {
    const RangeField n = numberFieldOf(f);
    // A refused time takes back its data number too, which the key-up may
    // have moved while the time was being typed.
    const auto refuse = [&](int message) {
        messages.push_back(message);
        st[f] = st.accepted[size_t(f)];
        st[n] = st.accepted[size_t(n)];
        st.spin[size_t(n)] = std::clamp(wholeValue(st[n]), 1, kHighestDataNumber);
    };
    const std::optional<double> t = vb::parseDateTime(st[f]);
    if (!t) return refuse(f == RangeField::FirstTime ? 55 : 56);
    if (!withinAxis(s, *t)) return refuse(62);
    const std::optional<int> k = dataIndexAtOrBefore(s, *t);
    if (!k) {  // an axis without interval: nothing to snap to
        messages.push_back(99);
        rangeFieldFocused(st, g, f);
        return;
    }
    const int index = std::clamp(*k, 0, kHighestDataNumber - 1);
    setSpin(st, s, n, index + 1, std::nullopt);
    checkNumberField(st, s, n, messages);
}

}  // namespace

int wholeValue(const QString& text) { return int(vb::cint(std::clamp(vb::val(text), -1e9, 1e9))); }

RangeAxis rangeAxisOf(RangeField f) {
    switch (f) {
    case RangeField::TempMin:
    case RangeField::TempMax: return RangeAxis::Temp;
    case RangeField::HumidMin:
    case RangeField::HumidMax: return RangeAxis::Humid;
    default: return RangeAxis::X;
    }
}

QString dataNumberTimeText(const ChannelStore& s, int n) {
    return vb::formatDate(dataNumberTime(s, n), QStringLiteral("yyyy-mm-dd hh:nn:ss"));
}

std::optional<int> dataIndexAtOrBefore(const ChannelStore& s, double time) {
    if (!(s.axisInterval > 0)) return std::nullopt;
    const double k = vb::intPart((time - s.axisStart) / s.axisInterval + vb::kOneSecond);
    return int(std::clamp(k, -1e9, 1e9));
}

std::pair<bool, bool> graphAxesInUse(const ChannelStore& s) {
    bool temp = false, humid = false;
    for (int ch = 1; ch <= kChannels; ++ch) {
        const ChannelRecord& c = s.ch[size_t(ch)];
        if (c.inUse != 1) continue;
        if (isTemperature(c.kind)) temp = true;
        if (isHumidity(c.kind)) humid = true;
    }
    return {temp, humid};
}

GraphRangeState openGraphRange(const GraphState& g, const ChannelStore& s) {
    GraphRangeState st;
    st.autoChecked = {!g.x().manual, !g.temp().manual, !g.humid().manual};
    std::tie(st.tempEnabled, st.humidEnabled) = graphAxesInUse(s);
    const Limits x = limitsOf(RangeAxis::X);
    fillField(st, s, RangeField::FirstRow, g.x().shown.low, x);
    fillField(st, s, RangeField::LastRow, g.x().shown.high, x);
    if (st.tempEnabled) {
        fillField(st, s, RangeField::TempMin, g.temp().shown.low, limitsOf(RangeAxis::Temp));
        fillField(st, s, RangeField::TempMax, g.temp().shown.high, limitsOf(RangeAxis::Temp));
    }
    if (st.humidEnabled) {
        fillField(st, s, RangeField::HumidMin, g.humid().shown.low, limitsOf(RangeAxis::Humid));
        fillField(st, s, RangeField::HumidMax, g.humid().shown.high, limitsOf(RangeAxis::Humid));
    }
    return st;
}

void rangeFieldFocused(GraphRangeState& st, GraphState& g, RangeField f) {
    const RangeAxis a = rangeAxisOf(f);
    st.autoChecked[size_t(a)] = false;
    manualFlag(g, a) = true;
}

void rangeFieldKeyUp(GraphRangeState& st, const ChannelStore& s, RangeField f) {
    if (isTimeField(f)) {
        if (st[f].size() != 19) return;
        const std::optional<double> t = vb::parseDateTime(st[f]);
        if (!t || !withinAxis(s, *t)) return;
        const std::optional<int> k = dataIndexAtOrBefore(s, *t);
        if (!k) return;
        setSpin(st, s, numberFieldOf(f), std::clamp(*k, 0, kHighestDataNumber - 1) + 1, f);
        return;
    }
    const Limits lim = limitsOf(rangeAxisOf(f));
    const double v = vb::val(st[f]);
    if (v >= lim.min && v <= lim.max) setSpin(st, s, f, int(vb::cint(v)), f);
}

void rangeSpinChanged(GraphRangeState& st, const ChannelStore& s, RangeField f, int value) {
    setSpin(st, s, f, value, std::nullopt);
}

void rangeAutoClicked(GraphRangeState& st, GraphState& g, const ChannelStore& s, RangeAxis a, bool checked) {
    st.autoChecked[size_t(a)] = checked;
    manualFlag(g, a) = !checked;
    if (!checked) return;
    const Limits lim = limitsOf(a);
    switch (a) {
    case RangeAxis::X:
        fillField(st, s, RangeField::FirstRow, g.x().automatic.low, lim);
        fillField(st, s, RangeField::LastRow, g.x().automatic.high, lim);
        break;
    case RangeAxis::Temp:
        fillField(st, s, RangeField::TempMin, g.temp().automatic.low, lim);
        fillField(st, s, RangeField::TempMax, g.temp().automatic.high, lim);
        break;
    case RangeAxis::Humid:
        fillField(st, s, RangeField::HumidMin, g.humid().automatic.low, lim);
        fillField(st, s, RangeField::HumidMax, g.humid().automatic.high, lim);
        break;
    }
}

std::vector<int> checkRangeField(GraphRangeState& st, GraphState& g, const ChannelStore& s, RangeField f) {
    std::vector<int> messages;
    if (isTimeField(f))
        checkTimeField(st, g, s, f, messages);
    else
        checkNumberField(st, s, f, messages);
    return messages;
}

void applyGraphRange(const GraphRangeState& st, GraphState& g) {
    const auto value = [&](RangeField f) {
        const Limits lim = limitsOf(rangeAxisOf(f));
        return int16_t(std::clamp(wholeValue(st[f]), lim.min, lim.max));
    };
    if (!st.autoChecked[size_t(RangeAxis::X)]) {
        g.x().previous.low = g.x().shown.low;
        g.x().previous.high = g.x().shown.high;
        g.x().shown.high = value(RangeField::LastRow);
        g.x().shown.low = value(RangeField::FirstRow);
    }
    // A frame without channels was never filled: its held bounds (perhaps
    // from the settings file) stay as they are.
    if (st.tempEnabled && !st.autoChecked[size_t(RangeAxis::Temp)]) {
        g.temp().previous.low = g.temp().shown.low;
        g.temp().previous.high = g.temp().shown.high;
        g.temp().shown.high = value(RangeField::TempMax);
        g.temp().shown.low = value(RangeField::TempMin);
        g.temp().manual = true;
    }
    if (st.humidEnabled && !st.autoChecked[size_t(RangeAxis::Humid)]) {
        g.humid().previous.low = g.humid().shown.low;
        g.humid().previous.high = g.humid().shown.high;
        g.humid().shown.high = value(RangeField::HumidMax);
        g.humid().shown.low = value(RangeField::HumidMin);
        g.humid().manual = true;
    }
    g.undoAvailable = true;
}

Saved acceptGraphRange(const GraphRangeState& st, AppContext& ctx) {
    applyGraphRange(st, ctx.graph);
    return saveGraphSettings(ctx);
}

}  // namespace quillet
