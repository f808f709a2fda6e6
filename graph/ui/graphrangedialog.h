// GraphRangeDialog: the graph's X range by data number or time and its temperature
// and humidity bounds, each automatic or held. The fields forward their
// events to the rules of graph/rangerules.h.
#pragma once

#include "graph/rangerules.h"
#include "graph/ui/dialogsupport.h"

#include <array>
#include <functional>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace quillet {

class GraphRangeDialog : public FieldDialog {
    Q_OBJECT
public:
    // rangesChanged: after OK, the graph window shows the undo item and
    // redraws (clear, computeGraphScale, drawGraph, fillGraphGrid).
    GraphRangeDialog(AppContext& ctx, std::function<void()> rangesChanged, QWidget* parent = nullptr);

    QLineEdit* field(RangeField f) const { return fields_[size_t(f)]; }
    SpinBar* spin(RangeField f) const { return spins_[size_t(f)]; }  // the first six fields
    QCheckBox* autoBox(RangeAxis a) const { return autoBoxes_[size_t(a)]; }
    QGroupBox* frame(RangeAxis a) const { return frames_[size_t(a)]; }
    // OK and Cancel: cmdSetgrasnge (button(0), button(1)).

private:
    std::optional<int> fieldOf(QObject* control) const override;
    bool isField(QObject* control) const override;
    KeyFilter keysOf(int field) const override;
    void pull() override;  // typed texts into the state
    void push() override;  // the state into the controls
    std::vector<int> check(int field) override;
    void keyUp(int field) override;
    void onFocusIn(int field) override;
    void takeValues() override;

    GraphRangeState st_;
    std::array<QLineEdit*, kRangeFields> fields_{};
    std::array<SpinBar*, kRangeSpins> spins_{};
    std::array<QCheckBox*, 3> autoBoxes_{};
    std::array<QGroupBox*, 3> frames_{};
};

// Opens GraphRangeDialog over the graph window without blocking (the graph window is
// disabled until it closes) and returns it; it deletes itself on closing.
GraphRangeDialog* showGraphRange(AppContext& ctx, QWidget* graphWindow, std::function<void()> rangesChanged);

}  // namespace quillet
