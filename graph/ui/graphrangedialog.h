// GraphRangeDialog: the graph's X range by data number or time and its temperature
// and humidity bounds, each automatic or held. The fields forward their
// events to the rules of graph/rangerules.h.
#pragma once

#include "graph/rangerules.h"

#include <QDialog>

#include <array>
#include <functional>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace quillet {

struct AppContext;
class SpinBar;

class GraphRangeDialog : public QDialog {
    Q_OBJECT
public:
    // rangesChanged: after OK, the graph window shows the undo item and
    // redraws (clear, computeGraphScale, drawGraph, fillGraphGrid).
    GraphRangeDialog(AppContext& ctx, std::function<void()> rangesChanged, QWidget* parent = nullptr);

    QLineEdit* field(RangeField f) const { return fields_[size_t(f)]; }
    SpinBar* spin(RangeField f) const { return spins_[size_t(f)]; }  // the first six fields
    QCheckBox* autoBox(RangeAxis a) const { return autoBoxes_[size_t(a)]; }
    QGroupBox* frame(RangeAxis a) const { return frames_[size_t(a)]; }
    QPushButton* button(int index) const { return buttons_[size_t(index)]; }

    // cmdSetgrasnge: 0 OK, 1 Cancel.
    void onButtonClicked(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    std::optional<RangeField> fieldOf(QObject* o) const;
    void pull();  // typed texts into the state
    void push();  // the state into the controls
    void lostFocus(RangeField f);

    AppContext& ctx_;
    std::function<void()> rangesChanged_;
    GraphRangeState st_;
    std::array<QLineEdit*, kRangeFields> fields_{};
    std::array<SpinBar*, kRangeSpins> spins_{};
    std::array<QCheckBox*, 3> autoBoxes_{};
    std::array<QGroupBox*, 3> frames_{};
    std::array<QPushButton*, 2> buttons_{};
    bool busy_ = false;  // a check is running (its message box may move the focus)
    bool closing_ = false;
};

// Opens GraphRangeDialog over the graph window without blocking (the graph window is
// disabled until it closes) and returns it; it deletes itself on closing.
GraphRangeDialog* showGraphRange(AppContext& ctx, QWidget* graphWindow, std::function<void()> rangesChanged);

}  // namespace quillet
