// ReferenceLinesDialog: one horizontal reference line on the temperature axis and one on
// the humidity axis of the graph, switched on and off together. The fields
// forward their events to the rules of graph/reflines.h.
#pragma once

#include "graph/reflines.h"
#include "graph/ui/dialogsupport.h"

#include <array>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quillet {

class ReferenceLinesDialog : public FieldDialog {
    Q_OBJECT
public:
    // redraw: after OK, the graph window runs drawGraph without clearing.
    ReferenceLinesDialog(AppContext& ctx, std::function<void()> redraw, QWidget* parent = nullptr);

    QCheckBox* ckRefLineEn() const { return lineOn_; }
    QLineEdit* field(RefField f) const { return fields_[size_t(f)]; }
    SpinBar* spin(RefField f) const { return spins_[size_t(f)]; }
    QLabel* unit(RefField f) const { return units_[size_t(f)]; }
    // OK and Cancel: comRefokng (button(0), button(1)).

private:
    std::optional<int> fieldOf(QObject* control) const override;
    bool isField(QObject*) const override { return true; }
    KeyFilter keysOf(int field) const override;
    void pull() override;
    void push() override;
    std::vector<int> check(int field) override;
    void keyUp(int field) override;
    void takeValues() override;

    ReferenceLinesState st_;
    QCheckBox* lineOn_;
    std::array<QLineEdit*, 2> fields_{};
    std::array<SpinBar*, 2> spins_{};
    std::array<QLabel*, 2> units_{};
};

// Opens ReferenceLinesDialog over the graph window without blocking (the graph window is
// disabled until it closes) and returns it; it deletes itself on closing.
ReferenceLinesDialog* showReferenceLines(AppContext& ctx, QWidget* graphWindow,
                                         std::function<void()> redrawWithoutClearing);

}  // namespace quillet
