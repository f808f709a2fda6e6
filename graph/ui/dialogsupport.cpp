#include "graph/ui/dialogsupport.h"

#include <QDialog>
#include <QPointer>
#include <QSignalBlocker>
#include <QWindow>

namespace quillet {

// The scroll bar runs from -maximum to -minimum so that its upper arrow,
// which lowers a scroll bar's value, raises the spin's.
SpinBar::SpinBar(int minimum, int maximum, int largeStep, QWidget* parent) : QScrollBar(Qt::Vertical, parent) {
    setRange(-maximum, -minimum);
    setSingleStep(1);
    setPageStep(largeStep);
    setFocusPolicy(Qt::StrongFocus);
    setFixedWidth(sizeHint().width());
    connect(this, &QScrollBar::valueChanged, this, [this](int v) { emit spinChanged(-v); });
}

void SpinBar::setSpinValue(int v) {
    const QSignalBlocker block(this);
    setValue(-v);
}

void showOverGraphWindow(QDialog* dialog, QWidget* graphWindow) {
    const QPointer<QWidget> owner = graphWindow ? graphWindow->window() : nullptr;
    QObject::connect(dialog, &QDialog::finished, dialog, [dialog, owner] {
        if (owner) owner->setEnabled(true);
        dialog->deleteLater();
    });
    if (owner) {
        if (dialog->parentWidget() != owner) dialog->setParent(owner, dialog->windowFlags());
        owner->setEnabled(false);
        // Disabling a window disables its child windows too; a child window
        // (unlike a child control) may be enabled again on its own.
        dialog->setEnabled(true);
    }
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

}  // namespace quillet
