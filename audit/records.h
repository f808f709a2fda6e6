// Electronic records: users who sign in, a trail of everything done that no
// edit of the database can hide, and signatures bound to a report's
// content. All of it lives in the archive (the same tables on an SQLite
// file and on a server); what makes it evidence is a key the database does
// not hold: every trail entry carries an HMAC-SHA-256 over the previous
// entry's code and its own content, every user row and every signature an
// HMAC of its own, so a change, a deletion or an insertion made without the
// key breaks the chain at that entry.
#pragma once

#include "archive/archive.h"
#include "archive/databinding.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace quillet::audit {

// The roles, each allowed what the ones below it are.
enum class Role { Admin, QualityAssurance, Operator, Viewer };

enum class Permission {
    ManageUsers,     // add, change, lock and unlock users
    ChangeSettings,  // the archive's and the mode's settings
    ViewTrail,       // the audit trail window and audit list
    SignReview,      // sign as 確認 or 承認
    ReadLogger,      // read out, write recording settings, save, import
    SignAuthor,      // sign as 作成
    View,            // look and print
};
bool roleMay(Role role, Permission p);
QString roleText(Role role);                          // 管理者, 品質保証, 作業者, 閲覧者
QString roleWord(Role role);                          // admin, qa, operator, viewer
std::optional<Role> roleOfWord(const QString& word);  // the words of quillet-cli and the database

// What a signature means: the three boxes of a report.
enum class Meaning { Author, Review, Approval };
QString meaningText(Meaning m);  // 作成, 確認, 承認
std::optional<Meaning> meaningOfText(const QString& text);
inline constexpr Permission permissionToSign(Meaning m) {
    return m == Meaning::Author ? Permission::SignAuthor : Permission::SignReview;
}

// The key of the chain: 32 random bytes in a file of the PC's settings
// folder ("audit-keys/<id>.key", readable by its owner and group only); the
// archive keeps only the key's id (the start of its SHA-256), so that a PC
// with the wrong key is told apart from a changed trail.
struct ChainKey {
    QByteArray bytes;
    QByteArray id() const;
    bool valid() const { return bytes.size() == 32; }
};
QString keyFolderOf(const QString& settingsFolder);
QString keyFileOf(const QString& settingsFolder, const QByteArray& keyId);
// A new key written to its file; nullopt (why in error) when it could not be.
std::optional<ChainKey> createKey(const QString& settingsFolder, QString& error);
std::optional<ChainKey> loadKey(const QString& settingsFolder, const QByteArray& keyId, QString& error);

// A password the mode accepts: at least 8 characters, one a digit.
bool passwordAcceptable(const QString& password);
// The cost of a password's hash (Argon2id): the program's takes about half a
// second on a PC; tests choose a small one.
struct PasswordCost {
    unsigned long long ops;
    size_t memory;
};
PasswordCost programPasswordCost();
PasswordCost testPasswordCost();
QByteArray hashPassword(const QString& password, PasswordCost cost);
bool passwordMatches(const QByteArray& hash, const QString& password);

struct User {
    QString id;
    QString name;  // as printed in a signature
    Role role = Role::Viewer;
    QByteArray passwordHash;
    int failedTries = 0;
    bool locked = false;
};

// One entry of the trail. action is a word of kActions; object what it was
// done to (a logger, a file and its SHA-256, a setting, a user); oldValue and
// newValue what it held before and after; reason what the user gave.
struct AuditEntry {
    qint64 seq = 0;
    qint64 utc = 0;
    QString host;
    QString user;
    QString action;
    QString object;
    QString oldValue;
    QString newValue;
    QString reason;
    QByteArray code;  // the chain's HMAC, 64 hex digits
};

namespace action {
inline constexpr char kModeOn[] = "mode-on";
inline constexpr char kSignIn[] = "sign-in";
inline constexpr char kSignInFailed[] = "sign-in-failed";
inline constexpr char kSignOut[] = "sign-out";
inline constexpr char kUserAdd[] = "user-add";
inline constexpr char kUserChange[] = "user-change";
inline constexpr char kUserLock[] = "user-lock";
inline constexpr char kUserUnlock[] = "user-unlock";
inline constexpr char kReadout[] = "read-out";
inline constexpr char kSettingsWrite[] = "settings-write";
inline constexpr char kImport[] = "import";
inline constexpr char kSettingChange[] = "setting-change";
inline constexpr char kReportSign[] = "report-sign";
inline constexpr char kReportPrint[] = "report-print";
inline constexpr char kFileMismatch[] = "file-mismatch";
inline constexpr char kExport[] = "export";
}  // namespace action
// An action as the trail window shows it.
QString actionText(const QString& action);

struct EntryFilter {
    std::optional<qint64> fromUtc;
    std::optional<qint64> toUtc;
    std::optional<QString> user;
    std::optional<QString> action;
};

// A signature of a report: who, what it means, when, and the SHA-256 of the
// report's content it is bound to.
struct Signature {
    qint64 id = 0;
    qint64 seq = 0;  // the trail entry that records it
    qint64 utc = 0;
    QString localTime;  // as printed: yyyy-MM-dd hh:mm:ss and the offset
    QString user;
    QString name;
    Meaning meaning = Meaning::Author;
    QString title;
    QByteArray contentSha;  // 64 hex digits
    QString content;        // what the hash is of
    QByteArray code;
};
// The box of a report for a signature: name, meaning, date and time.
QStringList signatureBoxLines(const Signature& s);

// What a check of the records found. entry names the first entry (or
// signature, or user) that fails.
enum class ChainFault {
    None,
    WrongKey,      // this PC's key is not the trail's
    EntryChanged,  // its content or code is not what the key made
    EntryMissing,  // a number of the chain is not there
    TailMissing,   // entries after the last one are gone
    UserChanged,   // a user's row was changed outside the program
    SignatureChanged,
    SignedDataChanged,  // the samples of a signed report are not those signed
    Failed,             // the database could not be read
};
struct ChainCheck {
    ChainFault fault = ChainFault::None;
    qint64 entry = 0;  // the entry's number, the signature's, or 0
    QString detail;    // what differs, in words
    qint64 entries = 0;
    qint64 signatures = 0;
    QByteArray head;  // the last entry's code
    explicit operator bool() const { return fault == ChainFault::None; }
};
QString chainCheckText(const ChainCheck& c);

enum class SignInOutcome { SignedIn, UnknownUser, WrongPassword, Locked, Failed };
struct SignInResult {
    SignInOutcome outcome = SignInOutcome::Failed;
    User user;
    int triesLeft = 0;  // after a wrong password
    QString detail;     // the database's words when Failed
};
// A sign-in that did not succeed, in words (empty when it did).
QString signInText(const SignInResult& r, const QString& id);
inline constexpr int kMaxFailedTries = 5;
inline constexpr int kDefaultIdleMinutes = 15;

// What a record is written as: where and when.
struct RecordsOrigin {
    QString host;
    std::function<qint64()> nowUtc;
    std::function<QString()> localTimeText;  // now, as a signature prints it
    PasswordCost cost = programPasswordCost();
};
RecordsOrigin thisComputerOrigin();

// True when the mode is on for this archive (false also when it cannot be
// read; failure says so).
bool modeIsOn(archive::Archive& a, archive::ArchiveFailure& failure);
// The key id the archive's records were made with.
QByteArray keyIdOf(archive::Archive& a, archive::ArchiveFailure& failure);

class Hmac;

// The records of one archive with this PC's key.
class Records {
public:
    Records(archive::Archive& a, ChainKey key, RecordsOrigin origin);

    // Switches the mode on: the tables, the first administrator, the first
    // entry. Refused (failure) when it is on already.
    archive::ArchiveFailure switchOn(const User& admin, const QString& password);

    int idleMinutes();
    archive::ArchiveFailure setIdleMinutes(const QString& by, int minutes, const QString& reason);

    // Sign-in with the trail's entries for it; five wrong passwords in a row
    // lock the account.
    SignInResult signIn(const QString& id, const QString& password);
    // The password of a signed-in user again (a signature, the idle lock):
    // the same counting of wrong tries.
    SignInResult confirm(const QString& id, const QString& password) { return signIn(id, password); }

    std::optional<User> user(const QString& id, archive::ArchiveFailure& failure);
    std::vector<User> users(archive::ArchiveFailure& failure);
    archive::ArchiveFailure addUser(const QString& by, const User& u, const QString& password);
    archive::ArchiveFailure setLocked(const QString& by, const QString& id, bool locked, const QString& reason = {});

    // Appends one entry (its number, time and host filled in); several in
    // one transaction.
    archive::ArchiveFailure record(AuditEntry e);
    archive::ArchiveFailure record(std::vector<AuditEntry> entries);
    std::vector<AuditEntry> entries(const EntryFilter& f, archive::ArchiveFailure& failure);
    std::optional<AuditEntry> lastEntry(archive::ArchiveFailure& failure);

    // The signature of a report: the signer's password checked first (a
    // wrong one counts as a failed try). content: what the report holds
    // (reportContentText); its SHA-256 is what is signed.
    struct SignOutcome {
        SignInResult signIn;
        std::optional<Signature> signature;
        archive::ArchiveFailure failure;
    };
    SignOutcome sign(const QString& id, const QString& password, Meaning m, const QString& title,
                     const QString& content);
    std::vector<Signature> signaturesOf(const QByteArray& contentSha, archive::ArchiveFailure& failure);

    // Checks the whole chain, the users, every signature's code and the data
    // each one is bound to.
    ChainCheck check();

private:
    archive::ArchiveFailure ensureTables();
    archive::ArchiveFailure appendWithin(AuditEntry& e);
    archive::ArchiveFailure putUserWithin(const User& u);
    QByteArray userCode(const User& u) const;
    QByteArray entryCode(const QByteArray& previous, const AuditEntry& e) const;
    QByteArray signatureCode(const Signature& s) const;
    QByteArray headCode(qint64 seq, const QByteArray& code) const;

    archive::Archive& archive_;
    ChainKey key_;
    RecordsOrigin origin_;
    std::shared_ptr<Hmac> hmac_;
};

// What a report's data is bound to (archive/databinding.h).
using archive::readoutBinding;
using archive::seriesBinding;
// The report's content as signed: the title, the lines that say what it is
// of (not the print date), the figures' table and the data's bindings.
QString reportContentText(const QString& title, const QStringList& lines, const QStringList& figureRows,
                          const QStringList& bindings);
QByteArray contentSha(const QString& content);

}  // namespace quillet::audit
