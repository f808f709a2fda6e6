// The program's electronic records: the archive of the user's settings when
// it is in the mode, and who is signed in. Off, everything works as without
// the mode.
#pragma once

#include "audit/records.h"
#include "core/records.h"

#include <memory>
#include <optional>

namespace quillet::audit {

// The records of archive a with this PC's key: Off when a is not in the mode,
// NoKey when this PC lacks the key (why: the key file's path), Failed when
// a cannot be read (why: what it said). The program and quillet-cli both.
enum class RecordsFound { Off, On, NoKey, Failed };
RecordsFound findRecords(archive::Archive& a, const QString& settingsFolder, std::optional<Records>& records,
                         QString& why);

class ProgramRecords {
public:
    explicit ProgramRecords(const Folders& folders) : folders_(folders) {}

    using Opened = RecordsFound;
    // Opens the archive of the user's settings and finds out whether it is
    // in the mode; why says what failed (the key file's path for NoKey).
    Opened open(QString& why);
    // After the mode was switched on in the program (the key just made).
    void switchedOn(std::unique_ptr<archive::Archive> archive, const ChainKey& key, const User& admin);

    bool on() const { return records_.has_value(); }
    Records& records() { return *records_; }
    archive::Archive& archive() { return *archive_; }
    const Folders& folders() const { return folders_; }

    const std::optional<User>& user() const { return user_; }
    void signedIn(const User& u) { user_ = u; }
    void signedOut() { user_.reset(); }
    // Off: everything; on: what the signed-in user's role allows.
    bool may(Permission p) const { return !on() || (user_ && roleMay(user_->role, p)); }

    // An entry by the signed-in user (nothing when off).
    archive::ArchiveFailure record(const char* action, const QString& object, const QString& oldValue,
                                   const QString& newValue, const QString& reason = {});

    // The origin of the program's records (this PC, its clock).
    static RecordsOrigin origin();

private:
    const Folders& folders_;
    std::unique_ptr<archive::Archive> archive_;
    std::optional<Records> records_;
    std::optional<User> user_;
};

}  // namespace quillet::audit
