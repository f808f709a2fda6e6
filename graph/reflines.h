// The rules of the reference-line dialog (ReferenceLinesDialog), without the window:
// one horizontal line on the temperature axis and one on the humidity axis,
// switched on and off together.
#pragma once

#include "core/records.h"
#include "graph/graphstate.h"

#include <QString>

#include <vector>

namespace quillet {

enum class RefField { Temp, Humid };  // reflinevalT, reflinevalH

struct ReferenceLinesState {
    QString tempText, humidText;  // reflinevalT, reflinevalH
    int tempSpin = 0;             // screflinevalT
    int humidSpin = 0;            // screflinevalH
    bool lineOn = false;          // ckRefLineEn
    bool showTemp = false;        // a temperature channel is in use
    bool showHumid = false;       // a humidity channel is in use

    QString& text(RefField f) { return f == RefField::Temp ? tempText : humidText; }
    int& spin(RefField f) { return f == RefField::Temp ? tempSpin : humidSpin; }
};

// Limits of the spins: temperature -100..200 (large step 10), humidity
// 0..100 (large step 5).
struct RefLimits {
    int min, max, largeStep, message;
};
RefLimits refLimits(RefField f);

ReferenceLinesState openReferenceLines(const GraphState& g, const ChannelStore& s);

// Key up: a value within the limits moves the spin (the field is left as typed).
void refFieldKeyUp(ReferenceLinesState& st, RefField f);
// The spin took value: the field shows it.
void refSpinChanged(ReferenceLinesState& st, RefField f, int value);
// Lost focus (also Enter and the keypad separator): a value beyond a limit
// becomes that limit with the range message; the spin follows. Returns the
// messages to show (caption 4, OK button).
std::vector<int> checkRefField(ReferenceLinesState& st, RefField f);

// OK: the shown axes' values and the on/off switch go into GraphState.
void acceptReferenceLines(const ReferenceLinesState& st, GraphState& g);

}  // namespace quillet
