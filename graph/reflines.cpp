#include "graph/reflines.h"

#include "core/vb.h"
#include "graph/rangerules.h"

#include <algorithm>
#include <tuple>

namespace quillet {

RefLimits refLimits(RefField f) {
    return f == RefField::Temp ? RefLimits{-100, 200, 10, 52} : RefLimits{0, 100, 5, 53};
}

ReferenceLinesState openReferenceLines(const GraphState& g, const ChannelStore& s) {
    ReferenceLinesState st;
    std::tie(st.showTemp, st.showHumid) = graphAxesInUse(s);
    st.lineOn = g.refLineOn;
    const RefLimits t = refLimits(RefField::Temp), h = refLimits(RefField::Humid);
    st.tempSpin = std::clamp(int(g.refTemp), t.min, t.max);
    st.humidSpin = std::clamp(int(g.refHumid), h.min, h.max);
    if (st.showTemp) st.tempText = QString::number(g.refTemp);
    if (st.showHumid) st.humidText = QString::number(g.refHumid);
    return st;
}

void refFieldKeyUp(ReferenceLinesState& st, RefField f) {
    const RefLimits lim = refLimits(f);
    const double v = vb::val(st.text(f));
    if (v >= lim.min && v <= lim.max) st.spin(f) = int(vb::cint(v));
}

void refSpinChanged(ReferenceLinesState& st, RefField f, int value) {
    st.spin(f) = value;
    st.text(f) = QString::number(value);
}

std::vector<int> checkRefField(ReferenceLinesState& st, RefField f) {
    std::vector<int> messages;
    const RefLimits lim = refLimits(f);
    const double v = vb::val(st.text(f));
    if (v > lim.max || v < lim.min) {
        messages.push_back(lim.message);
        st.text(f) = QString::number(v > lim.max ? lim.max : lim.min);
    }
    refSpinChanged(st, f, std::clamp(wholeValue(st.text(f)), lim.min, lim.max));
    return messages;
}

void acceptReferenceLines(const ReferenceLinesState& st, GraphState& g) {
    // A hidden axis keeps its value: its field was never filled.
    if (st.showTemp) g.refTemp = int16_t(std::clamp(wholeValue(st.tempText), -32768, 32767));
    if (st.showHumid) g.refHumid = int16_t(std::clamp(wholeValue(st.humidText), -32768, 32767));
    g.refLineOn = st.lineOn;
}

}  // namespace quillet
