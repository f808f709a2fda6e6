#include "graph/ui/dialogsupport.h"

#include "core/catalog.h"
#include "core/platform.h"

#include <QDialog>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
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

namespace {

// Enter, and the keypad's comma, check the field.
bool isCheckKey(const QKeyEvent& k) {
    return k.key() == Qt::Key_Return || k.key() == Qt::Key_Enter ||
           (k.key() == Qt::Key_Comma && k.modifiers().testFlag(Qt::KeypadModifier));
}

}  // namespace

FieldDialog::FieldDialog(AppContext& ctx, std::function<void()> afterOk, QWidget* parent)
    : QDialog(parent), ctx_(ctx), afterOk_(std::move(afterOk)) {}

QLineEdit* FieldDialog::addField(const char* name, const QString& tooltip) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QLatin1String(name));
    edit->setToolTip(tooltip);
    edit->setAttribute(Qt::WA_InputMethodEnabled, false);  // digits and signs only
    edit->installEventFilter(this);
    return edit;
}

SpinBar* FieldDialog::addSpin(QLineEdit* field, int minimum, int maximum, int largeStep,
                              std::function<void(int)> changed) {
    auto* spin = new SpinBar(minimum, maximum, largeStep, this);
    spin->setObjectName(QStringLiteral("sc") + field->objectName());
    spin->setFixedHeight(field->sizeHint().height());
    field->setMaximumWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("-00000")) + 16);
    connect(spin, &SpinBar::spinChanged, this, [this, changed = std::move(changed)](int v) {
        if (busy_ || closing_) return;
        pull();
        changed(v);
        push();
    });
    return spin;
}

QHBoxLayout* FieldDialog::okCancelRow(const QString& name, const QString& okTooltip) {
    buttons_ = {new QPushButton(QStringLiteral("OK"), this), new QPushButton(QStringLiteral("Cancel"), this)};
    buttons_[0]->setToolTip(okTooltip);
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (int i = 0; i < 2; ++i) {
        QPushButton* b = buttons_[size_t(i)];
        b->setObjectName(name + QStringLiteral("_%1").arg(i));
        b->setAutoDefault(false);  // Enter belongs to the fields' checks
        connect(b, &QPushButton::clicked, this, [this, i] { onButtonClicked(i); });
        row->addWidget(b);
    }
    return row;
}

void FieldDialog::lostFocus(int field) {
    busy_ = true;
    pull();
    for (int m : check(field)) showMessage(ctx_, Caption::Graph, Msg(m), kOkOnly);
    push();
    busy_ = false;
}

bool FieldDialog::eventFilter(QObject* watched, QEvent* event) {
    const std::optional<int> f = fieldOf(watched);
    if (!f || busy_ || closing_) return QDialog::eventFilter(watched, event);
    const bool onField = isField(watched);
    switch (event->type()) {
    case QEvent::FocusIn:
        // Focus that comes back with the window (after a message box, from
        // another window) is no entry into the field.
        if (static_cast<QFocusEvent*>(event)->reason() != Qt::ActiveWindowFocusReason) onFocusIn(*f);
        break;
    case QEvent::FocusOut: {
        // Not when the whole window loses the focus (another window, a menu).
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) lostFocus(*f);
        break;
    }
    case QEvent::KeyPress: {
        if (!onField) break;
        const auto& key = *static_cast<QKeyEvent*>(event);
        if (isCheckKey(key)) {
            lostFocus(*f);
            return true;
        }
        if (!filterKeyEvent(key, keysOf(*f))) return true;
        break;
    }
    case QEvent::KeyRelease:
        if (!onField) break;
        pull();
        keyUp(*f);
        push();
        break;
    default: break;
    }
    return QDialog::eventFilter(watched, event);
}

void FieldDialog::onButtonClicked(int index) {
    if (index != 0) {
        reject();
        return;
    }
    pull();
    takeValues();
    const auto afterOk = afterOk_;
    accept();
    if (afterOk) afterOk();
}

void FieldDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    buttons_[0]->setFocus();  // OK, not a field: focusing a field may hold its axis
}

void FieldDialog::done(int result) {
    closing_ = true;
    QDialog::done(result);
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
