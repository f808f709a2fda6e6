// What the graph window's two dialogs share: the spin (a small up/down
// scroll bar whose up arrow raises the value), the value fields and their
// checks, OK and Cancel, and the way they open over the graph window.
#pragma once

#include "core/fieldhelpers.h"

#include <QDialog>
#include <QScrollBar>

#include <array>
#include <functional>
#include <optional>
#include <vector>

class QHBoxLayout;
class QLineEdit;
class QPushButton;

namespace quillet {

struct AppContext;

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

// A dialog of value fields, each with its spin or without: a field is
// checked when it is left (not when the whole window loses the focus) and
// when Enter is pressed, its messages shown under "グラフ"; it takes only the
// keys of its filter; OK (not the default: Enter belongs to the checks)
// takes the values and then runs afterOk, Cancel closes. Opens with the
// focus on OK. The dialog keeps its values in a state of its own: pull()
// takes the typed texts into it, push() shows it.
class FieldDialog : public QDialog {
    Q_OBJECT
public:
    QPushButton* button(int index) const { return buttons_[size_t(index)]; }
    // 0 OK, 1 Cancel.
    void onButtonClicked(int index);

protected:
    FieldDialog(AppContext& ctx, std::function<void()> afterOk, QWidget* parent);

    // A value field and its spin; changed runs with the spin's value unless
    // a check runs or the dialog closes, between pull() and push().
    QLineEdit* addField(const char* name, const QString& tooltip);
    SpinBar* addSpin(QLineEdit* field, int minimum, int maximum, int largeStep, std::function<void(int)> changed);
    // OK and Cancel (object names name_0, name_1) on a row of their own.
    QHBoxLayout* okCancelRow(const QString& name, const QString& okTooltip = {});

    // The field (index) a control belongs to, and whether it is the field
    // itself rather than its spin.
    virtual std::optional<int> fieldOf(QObject* control) const = 0;
    virtual bool isField(QObject* control) const = 0;
    virtual KeyFilter keysOf(int field) const = 0;
    virtual void pull() = 0;
    virtual void push() = 0;
    // The check of a field left: the messages to show.
    virtual std::vector<int> check(int field) = 0;
    // A key released in a field; the focus coming into a field or its spin
    // (nothing by default).
    virtual void keyUp(int field) = 0;
    virtual void onFocusIn(int field) { (void)field; }
    // OK: the values into the graph (and its settings).
    virtual void takeValues() = 0;

    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

    AppContext& ctx_;
    bool busy_ = false;  // a check is running (its message box may move the focus)
    bool closing_ = false;

private:
    void lostFocus(int field);

    std::function<void()> afterOk_;
    std::array<QPushButton*, 2> buttons_{};
};

// Shows a dialog without blocking over the graph window: the dialog becomes a
// child window of the graph window, which is disabled while the dialog is
// open and enabled again when it closes; the dialog deletes itself on closing.
void showOverGraphWindow(QDialog* dialog, QWidget* graphWindow);

}  // namespace quillet
