// "電子記録モード": off, what the mode is and the first administrator that
// switches it on; on (for an administrator), the users (added, locked,
// unlocked) and the idle time. Thin: the steps are audit/recordssetup's.
#pragma once

#include "audit/programrecords.h"
#include "audit/recordssetup.h"

#include <QDialog>

#include <functional>
#include <optional>

class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QStackedWidget;
class QTableWidget;

namespace quillet {
struct AppContext;
}

namespace quillet::audit {

// The user's ID, name, role and password twice; OK only once step (the
// addition) took them, else its refusal is told and the dialog stays.
class AddUserDialog : public QDialog {
public:
    AddUserDialog(std::function<QString(const UserForm&)> step, AppContext& ctx, QWidget* parent);
    UserForm form() const;

    QLineEdit* id;
    QLineEdit* name;
    QComboBox* role;
    QLineEdit* password;
    QLineEdit* repeated;

private:
    void done(int r) override;
    std::function<QString(const UserForm&)> step_;
    AppContext& ctx_;
};

class RecordsSettingsDialog : public QDialog {
public:
    RecordsSettingsDialog(AppContext& ctx, ProgramRecords& records, QWidget* parent);

    // "電子記録モードをオンにする" with the administrator's fields: asks to
    // confirm, then switches on and names the key file.
    bool switchOn();
    // The steps of the users' page; false when refused (told).
    bool addUser(const UserForm& user);
    bool setLocked(bool locked);  // the selected user; asks the reason
    bool applyIdleMinutes();      // asks the reason

    // The reason of a change (an input box); nothing for Cancel.
    std::function<std::optional<QString>(const QString& what)> askReason;
    // "ユーザー追加...": the dialog that adds through addUser.
    std::function<void()> askNewUser;

    QStackedWidget* pages = nullptr;
    // Off.
    QLineEdit* adminId = nullptr;
    QLineEdit* adminName = nullptr;
    QLineEdit* adminPassword = nullptr;
    QLineEdit* adminRepeated = nullptr;
    QPushButton* switchOnButton = nullptr;
    // On.
    QTableWidget* users = nullptr;
    QSpinBox* idleMinutes = nullptr;

private:
    QWidget* offPage();
    QWidget* onPage();
    void fillUsers();
    bool refused(const QString& why);
    QString addUserStep(const UserForm& user);

    AppContext& ctx_;
    ProgramRecords& records_;
};

}  // namespace quillet::audit
