#include "audit/ui/signindialog.h"

#include "audit/audittexts.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace quillet::audit {

SignInDialog::SignInDialog(const QString& title, const QString& note, const QString& fixedId, QWidget* parent)
    : QDialog(parent), id_(new QLineEdit(fixedId)), password_(new QLineEdit) {
    setObjectName(QStringLiteral("SignInDialog"));
    setWindowTitle(title);
    password_->setEchoMode(QLineEdit::Password);
    id_->setReadOnly(!fixedId.isEmpty());
    auto* layout = new QVBoxLayout(this);
    if (!note.isEmpty()) {
        auto* label = new QLabel(note);
        label->setWordWrap(true);
        layout->addWidget(label);
    }
    auto* form = new QFormLayout;
    form->addRow(text(kUserIdLabel), id_);
    form->addRow(text(kPasswordLabel), password_);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    setMinimumWidth(420);
    (fixedId.isEmpty() ? id_ : password_)->setFocus();
}

std::optional<Credentials> SignInDialog::ask() {
    if (exec() != QDialog::Accepted) return std::nullopt;
    return Credentials{id_->text().trimmed(), password_->text()};
}

}  // namespace quillet::audit
