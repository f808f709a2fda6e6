// ReferenceLinesDialog: one horizontal reference line on the temperature axis and one on
// the humidity axis of the graph, switched on and off together. The fields
// forward their events to the rules of graph/reflines.h.
#pragma once

#include "graph/reflines.h"

#include <QDialog>

#include <array>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quillet {

struct AppContext;
class SpinBar;

class ReferenceLinesDialog : public QDialog {
    Q_OBJECT
public:
    // redraw: after OK, the graph window runs drawGraph without clearing.
    ReferenceLinesDialog(AppContext& ctx, std::function<void()> redraw, QWidget* parent = nullptr);

    QCheckBox* ckRefLineEn() const { return lineOn_; }
    QLineEdit* field(RefField f) const { return fields_[size_t(f)]; }
    SpinBar* spin(RefField f) const { return spins_[size_t(f)]; }
    QLabel* unit(RefField f) const { return units_[size_t(f)]; }
    QPushButton* button(int index) const { return buttons_[size_t(index)]; }

    // comRefokng: 0 OK, 1 Cancel.
    void onButtonClicked(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void pull();
    void push();
    void lostFocus(RefField f);

    AppContext& ctx_;
    std::function<void()> redraw_;
    ReferenceLinesState st_;
    QCheckBox* lineOn_;
    std::array<QLineEdit*, 2> fields_{};
    std::array<SpinBar*, 2> spins_{};
    std::array<QLabel*, 2> units_{};
    std::array<QPushButton*, 2> buttons_{};
    bool busy_ = false;
    bool closing_ = false;
};

// Opens ReferenceLinesDialog over the graph window without blocking (the graph window is
// disabled until it closes) and returns it; it deletes itself on closing.
ReferenceLinesDialog* showReferenceLines(AppContext& ctx, QWidget* graphWindow,
                                         std::function<void()> redrawWithoutClearing);

}  // namespace quillet
