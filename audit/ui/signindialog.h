// Sign-in of electronic records mode: user ID and password, at start, after
// the idle time, and for a signature (the ID fixed to the signer's).
#pragma once

#include <QDialog>

#include <optional>

class QLineEdit;
class QLabel;

namespace quillet::audit {

struct Credentials {
    QString id;
    QString password;
};

class SignInDialog : public QDialog {
public:
    // fixedId: the ID shown and not editable (re-entering the password).
    SignInDialog(const QString& title, const QString& note, const QString& fixedId, QWidget* parent);
    // What was typed, or nothing for Cancel.
    std::optional<Credentials> ask();

private:
    QLineEdit* id_;
    QLineEdit* password_;
};

}  // namespace quillet::audit
