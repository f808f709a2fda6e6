#include "audit/recordssetup.h"

#include "archive/archivesettings.h"
#include "archive/importer.h"
#include "audit/audittexts.h"

#include <QFile>

#include <algorithm>

namespace quillet::audit {

using archive::ArchiveFailure;

FormProblem checkUserForm(const UserForm& f) {
    if (f.id.trimmed().isEmpty()) return FormProblem::NoId;
    for (const QChar c : f.id)
        if (c.isSpace()) return FormProblem::IdWithBlank;
    if (!passwordAcceptable(f.password)) return FormProblem::PasswordRule;
    if (f.password != f.repeated) return FormProblem::PasswordMismatch;
    return FormProblem::None;
}

QString formProblemText(FormProblem p) {
    switch (p) {
    case FormProblem::None: return {};
    case FormProblem::NoId: return text(kIdMissing);
    case FormProblem::IdWithBlank: return text(kIdSpaces);
    case FormProblem::PasswordRule: return text(kPasswordRule);
    case FormProblem::PasswordMismatch: return text(kPasswordMismatch);
    }
    return {};
}

namespace {

User userOf(const UserForm& f) { return {f.id, f.name.trimmed().isEmpty() ? f.id : f.name.trimmed(), f.role}; }

}  // namespace

SwitchedOn switchRecordsOn(ProgramRecords& records, const UserForm& admin) {
    if (const FormProblem p = checkUserForm(admin); p != FormProblem::None) return {formProblemText(p), {}};
    const Folders& folders = records.folders();
    const QString location =
        archive::archiveLocation(archive::loadArchiveSettings(archive::archiveSettingsFile(folders)), folders);
    // The program opens the mode's archive without a password: one written
    // into the location would leave the mode off at the next start.
    if (archive::holdsPassword(location)) return {text(kLocationHoldsPassword), {}};
    ArchiveFailure f;
    std::unique_ptr<archive::Archive> a = archive::openArchive(location, f, archive::OpenMode::Create);
    if (!a) return {archive::failureText(f, location), {}};
    if (modeIsOn(*a, f)) return {text(kModeAlreadyOn), {}};
    if (f) return {archive::failureText(f, location), {}};

    const QString settingsFolder = folders.settingsFolder;
    QString why;
    const std::optional<ChainKey> key = createKey(settingsFolder, why);
    if (!key) return {text(kKeyNotMade).arg(why), {}};
    const QString keyFile = keyFileOf(settingsFolder, key->id());
    User u = userOf(admin);
    u.role = Role::Admin;
    {
        Records fresh(*a, *key, ProgramRecords::origin());
        if ((f = fresh.switchOn(u, admin.password))) {
            QFile::remove(keyFile);  // a key of no trail
            return {archive::failureText(f, location), {}};
        }
        const std::optional<User> made = fresh.user(u.id, f);
        if (made) u = *made;
    }
    records.switchedOn(std::move(a), *key, u);
    return {{}, keyFile};
}

QString addRecordsUser(ProgramRecords& records, const UserForm& form) {
    if (const FormProblem p = checkUserForm(form); p != FormProblem::None) return formProblemText(p);
    ArchiveFailure f;
    if (records.records().user(form.id, f)) return text(kUserIdTaken).arg(form.id);
    if (!f) f = records.records().addUser(records.user() ? records.user()->id : QString(), userOf(form), form.password);
    return f ? archive::failureText(f, records.archive().location()) : QString();
}

QString lockRefusal(ProgramRecords& records, const QString& id, bool locked) {
    ArchiveFailure f;
    const std::optional<User> u = records.records().user(id, f);
    if (f) return archive::failureText(f, records.archive().location());
    if (!u) return text(kUnknownUser).arg(id);
    if (locked && records.user() && id == records.user()->id) return text(kLockSelf);
    if (locked && u->locked) return text(kAlreadyLocked).arg(id);
    if (!locked && !u->locked) return text(kNotLocked).arg(id);
    return {};
}

QString lockRecordsUser(ProgramRecords& records, const QString& id, bool locked, const QString& reason) {
    if (const QString why = lockRefusal(records, id, locked); !why.isEmpty()) return why;
    if (reason.trimmed().isEmpty()) return text(kReasonNeeded);
    const ArchiveFailure f =
        records.records().setLocked(records.user() ? records.user()->id : QString(), id, locked, reason.trimmed());
    return f ? archive::failureText(f, records.archive().location()) : QString();
}

QString setRecordsIdleMinutes(ProgramRecords& records, int minutes, const QString& reason) {
    minutes = std::clamp(minutes, kFewestIdleMinutes, kMostIdleMinutes);
    if (minutes == records.records().idleMinutes()) return text(kIdleUnchanged);
    if (reason.trimmed().isEmpty()) return text(kReasonNeeded);
    const ArchiveFailure f =
        records.records().setIdleMinutes(records.user() ? records.user()->id : QString(), minutes, reason.trimmed());
    return f ? archive::failureText(f, records.archive().location()) : QString();
}

}  // namespace quillet::audit
