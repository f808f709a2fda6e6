// What the graph window's two dialogs share: the spin (a small up/down
// scroll bar whose up arrow raises the value) and the way they open over the
// graph window.
#pragma once

#include <QScrollBar>

class QDialog;

namespace quillet {

// A vertical scroll bar used as a spin: value() runs from the top (maximum)
// down to the bottom (minimum), the small step is 1.
class SpinBar : public QScrollBar {
    Q_OBJECT
public:
    SpinBar(int minimum, int maximum, int largeStep, QWidget* parent = nullptr);
    int spinValue() const { return -value(); }
    // Sets the value without the spinChanged signal.
    void setSpinValue(int v);

signals:
    // The user moved the spin (arrows, page, keys, wheel).
    void spinChanged(int value);
};

// Shows a dialog without blocking over the graph window: the dialog becomes a
// child window of the graph window, which is disabled while the dialog is
// open and enabled again when it closes; the dialog deletes itself on closing.
void showOverGraphWindow(QDialog* dialog, QWidget* graphWindow);

}  // namespace quillet
