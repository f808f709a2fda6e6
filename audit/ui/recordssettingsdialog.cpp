#include "audit/ui/recordssettingsdialog.h"

#include "archive/archivesettings.h"
#include "archive/importer.h"
#include "audit/audittexts.h"
#include "core/context.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace quillet::audit {

using archive::ArchiveFailure;

namespace {

QLineEdit* passwordField(QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setEchoMode(QLineEdit::Password);
    return e;
}

QTableWidgetItem* cell(const QString& s) {
    auto* item = new QTableWidgetItem(s);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

}  // namespace

AddUserDialog::AddUserDialog(std::function<QString(const UserForm&)> step, AppContext& ctx, QWidget* parent)
    : QDialog(parent),
      id(new QLineEdit(this)),
      name(new QLineEdit(this)),
      role(new QComboBox(this)),
      password(passwordField(this)),
      repeated(passwordField(this)),
      step_(std::move(step)),
      ctx_(ctx) {
    setObjectName(QStringLiteral("AddUserDialog"));
    setWindowTitle(text(kAddUserTitle));
    for (Role r : {Role::Admin, Role::QualityAssurance, Role::Operator, Role::Viewer})
        role->addItem(roleText(r), int(r));
    role->setCurrentIndex(2);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->addRow(text(kUserIdLabel), id);
    form->addRow(text(kNameLabel), name);
    form->addRow(text(kRoleLabel), role);
    form->addRow(text(kPasswordLabel), password);
    form->addRow(text(kRepeatLabel), repeated);
    layout->addLayout(form);
    auto* rule = new QLabel(text(kPasswordRule), this);
    rule->setWordWrap(true);
    layout->addWidget(rule);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}

UserForm AddUserDialog::form() const {
    return {id->text().trimmed(), name->text().trimmed(), Role(role->currentData().toInt()), password->text(),
            repeated->text()};
}

void AddUserDialog::done(int r) {
    if (r == QDialog::Accepted) {
        if (const QString why = step_(form()); !why.isEmpty()) {
            ctx_.messages->show(text(kAddUserTitle), why, kOkOnly | kIconExclamation);
            return;  // stays open with what was typed
        }
    }
    QDialog::done(r);
}

RecordsSettingsDialog::RecordsSettingsDialog(AppContext& ctx, ProgramRecords& records, QWidget* parent)
    : QDialog(parent), ctx_(ctx), records_(records) {
    setObjectName(QStringLiteral("RecordsSettingsDialog"));
    setWindowTitle(text(kSetupTitle));
    askReason = [this](const QString& what) -> std::optional<QString> {
        bool ok = false;
        const QString reason =
            QInputDialog::getText(this, text(kReasonTitle), text(kReasonFor).arg(what), QLineEdit::Normal, {}, &ok);
        if (!ok) return std::nullopt;
        return reason;
    };
    askNewUser = [this] {
        AddUserDialog dialog([this](const UserForm& u) { return addUserStep(u); }, ctx_, this);
        dialog.exec();
    };
    auto* layout = new QVBoxLayout(this);
    pages = new QStackedWidget(this);
    pages->addWidget(records_.on() ? onPage() : offPage());
    layout->addWidget(pages, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(720, 520);
}

bool RecordsSettingsDialog::refused(const QString& why) {
    if (why.isEmpty()) return false;
    ctx_.messages->show(text(kSetupTitle), why, kOkOnly | kIconExclamation);
    return true;
}

QWidget* RecordsSettingsDialog::offPage() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* note = new QLabel(text(kModeOffNote), page);
    note->setWordWrap(true);
    layout->addWidget(note);
    const Folders& folders = records_.folders();
    auto* where = new QLabel(text(kModeArchive)
                                 .arg(archive::archiveLocation(
                                     archive::loadArchiveSettings(archive::archiveSettingsFile(folders)), folders)),
                             page);
    where->setWordWrap(true);
    where->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(where);
    auto* form = new QFormLayout;
    adminId = new QLineEdit(page);
    adminName = new QLineEdit(page);
    adminPassword = passwordField(page);
    adminRepeated = passwordField(page);
    form->addRow(text(kAdminIdLabel), adminId);
    form->addRow(text(kNameLabel), adminName);
    form->addRow(text(kPasswordLabel), adminPassword);
    form->addRow(text(kRepeatLabel), adminRepeated);
    layout->addLayout(form);
    auto* rule = new QLabel(text(kPasswordRule), page);
    rule->setWordWrap(true);
    layout->addWidget(rule);
    switchOnButton = new QPushButton(text(kSwitchOn), page);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(switchOnButton);
    layout->addLayout(row);
    layout->addStretch(1);
    connect(switchOnButton, &QPushButton::clicked, this, [this] { switchOn(); });
    return page;
}

QWidget* RecordsSettingsDialog::onPage() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel(text(kUsersLabel), page));
    const QStringList heads = text(kUserColumns).split(QLatin1Char('\t'));
    users = new QTableWidget(0, int(heads.size()), page);
    users->setHorizontalHeaderLabels(heads);
    users->verticalHeader()->hide();
    users->setSelectionBehavior(QAbstractItemView::SelectRows);
    users->setSelectionMode(QAbstractItemView::SingleSelection);
    users->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    users->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    layout->addWidget(users, 1);
    auto* row = new QHBoxLayout;
    auto* add = new QPushButton(text(kAddUser), page);
    auto* lock = new QPushButton(text(kLockUser), page);
    auto* unlock = new QPushButton(text(kUnlockUser), page);
    row->addWidget(add);
    row->addWidget(lock);
    row->addWidget(unlock);
    row->addStretch(1);
    layout->addLayout(row);

    auto* idleRow = new QHBoxLayout;
    idleMinutes = new QSpinBox(page);
    idleMinutes->setRange(kFewestIdleMinutes, kMostIdleMinutes);
    idleMinutes->setValue(records_.on() ? records_.records().idleMinutes() : kDefaultIdleMinutes);
    auto* apply = new QPushButton(text(kApply), page);
    idleRow->addWidget(new QLabel(text(kIdleLabel), page));
    idleRow->addWidget(idleMinutes);
    idleRow->addWidget(apply);
    idleRow->addStretch(1);
    layout->addLayout(idleRow);

    connect(add, &QPushButton::clicked, this, [this] { askNewUser(); });
    connect(lock, &QPushButton::clicked, this, [this] { setLocked(true); });
    connect(unlock, &QPushButton::clicked, this, [this] { setLocked(false); });
    connect(apply, &QPushButton::clicked, this, [this] { applyIdleMinutes(); });
    fillUsers();
    return page;
}

void RecordsSettingsDialog::fillUsers() {
    if (!users || !records_.on()) return;
    ArchiveFailure f;
    const std::vector<User> list = records_.records().users(f);
    if (f) {
        refused(archive::failureText(f, records_.archive().location()));
        return;
    }
    users->setRowCount(int(list.size()));
    for (int r = 0; r < int(list.size()); ++r) {
        const User& u = list[size_t(r)];
        const QStringList cells{u.id, u.name, roleText(u.role), text(u.locked ? kStateLocked : kStateActive),
                                QString::number(u.failedTries)};
        for (int c = 0; c < int(cells.size()); ++c) users->setItem(r, c, cell(cells[c]));
    }
}

bool RecordsSettingsDialog::switchOn() {
    const UserForm admin{adminId->text().trimmed(), adminName->text().trimmed(), Role::Admin, adminPassword->text(),
                         adminRepeated->text()};
    if (refused(formProblemText(checkUserForm(admin)))) return false;
    if (ctx_.messages->show(text(kSetupTitle), text(kSwitchOnConfirm), kOkCancel | kIconQuestion) != kOk) return false;
    const SwitchedOn done = switchRecordsOn(records_, admin);
    if (refused(done.refusal)) return false;
    ctx_.messages->show(text(kSetupTitle), text(kSwitchedOn).arg(admin.id, done.keyFile), kOkOnly | kIconInformation);
    QWidget* off = pages->currentWidget();
    pages->addWidget(onPage());
    pages->setCurrentIndex(pages->count() - 1);
    pages->removeWidget(off);
    off->deleteLater();
    adminId = adminName = adminPassword = adminRepeated = nullptr;
    switchOnButton = nullptr;
    return true;
}

QString RecordsSettingsDialog::addUserStep(const UserForm& user) {
    const QString why = addRecordsUser(records_, user);
    if (why.isEmpty()) fillUsers();
    return why;
}

bool RecordsSettingsDialog::addUser(const UserForm& user) { return !refused(addUserStep(user)); }

bool RecordsSettingsDialog::setLocked(bool locked) {
    const int row = users ? users->currentRow() : -1;
    if (row < 0 || !users->item(row, 0)) return !refused(text(kChooseUser));
    const QString id = users->item(row, 0)->text();
    // What would be refused anyway is refused before the reason is asked.
    if (refused(lockRefusal(records_, id, locked))) return false;
    const std::optional<QString> reason = askReason(text(locked ? kLockWhat : kUnlockWhat).arg(id));
    if (!reason) return false;
    const bool done = !refused(lockRecordsUser(records_, id, locked, *reason));
    fillUsers();
    return done;
}

bool RecordsSettingsDialog::applyIdleMinutes() {
    const int minutes = idleMinutes->value();
    const int before = records_.records().idleMinutes();
    if (minutes == before) return !refused(text(kIdleUnchanged));
    const std::optional<QString> reason = askReason(text(kIdleWhat).arg(before).arg(minutes));
    if (!reason) return false;
    return !refused(setRecordsIdleMinutes(records_, minutes, *reason));
}

}  // namespace quillet::audit
