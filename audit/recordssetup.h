// What the settings dialog of electronic records mode does, without the
// dialog: the mode switched on for the configured archive with its first
// administrator, users added, locked and unlocked, the idle time changed.
// Each step is refused with the reason in words (refusal) or done, with its
// entry in the trail.
#pragma once

#include "audit/programrecords.h"

#include <QString>

namespace quillet::audit {

// A user as the dialog takes them: the password typed twice.
struct UserForm {
    QString id;
    QString name;  // empty: the ID
    Role role = Role::Operator;
    QString password;
    QString repeated;
};

enum class FormProblem { None, NoId, IdWithBlank, PasswordRule, PasswordMismatch };
FormProblem checkUserForm(const UserForm& f);
QString formProblemText(FormProblem p);

// Switches the mode on for the archive of the user's settings: the archive
// opened (made when it is not there yet), the chain's key written to the
// settings folder, the administrator created and signed in (records then
// on). refusal: why not; keyFile: the key's file when it was done.
struct SwitchedOn {
    QString refusal;
    QString keyFile;
    explicit operator bool() const { return refusal.isEmpty(); }
};
SwitchedOn switchRecordsOn(ProgramRecords& records, const UserForm& admin);

// The steps of the mode for the signed-in administrator; an empty text
// when done, else why not.
QString addRecordsUser(ProgramRecords& records, const UserForm& user);
// Why the user cannot be locked (unlocked), before a reason is asked: an
// unknown user, the administrator's own ID, locked already (not locked).
QString lockRefusal(ProgramRecords& records, const QString& id, bool locked);
// reason: what the administrator gave (asked before; empty is refused).
QString lockRecordsUser(ProgramRecords& records, const QString& id, bool locked, const QString& reason);
inline constexpr int kFewestIdleMinutes = 1;
inline constexpr int kMostIdleMinutes = 240;
QString setRecordsIdleMinutes(ProgramRecords& records, int minutes, const QString& reason);

}  // namespace quillet::audit
