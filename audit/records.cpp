#include "audit/records.h"

#include "archive/backends.h"
#include "audit/audittexts.h"
#include "core/savefile.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <QTimeZone>

#include <openssl/evp.h>
#include <sodium.h>

#include <array>

namespace quillet::audit {

using archive::Archive;
using archive::ArchiveError;
using archive::ArchiveFailure;
using archive::SqlRow;

namespace {

bool sodiumReady() {
    static const bool ready = sodium_init() >= 0;
    return ready;
}

QByteArray number(qint64 v) { return QByteArray::number(v); }
// A parameter's text: never NULL, also when empty.
QByteArray text(const QString& s) {
    QByteArray u = s.toUtf8();
    return u.isNull() ? QByteArray("") : u;
}

// The tables of the records, the same on both back ends.
const std::array<const char*, 6> kTables{{
    "CREATE TABLE IF NOT EXISTS audit_user(id text PRIMARY KEY, name text NOT NULL, role text NOT NULL,"
    " password_hash text NOT NULL, failed_tries integer NOT NULL, locked integer NOT NULL, code text NOT NULL)",
    "CREATE TABLE IF NOT EXISTS audit_entry(seq bigint PRIMARY KEY, utc bigint NOT NULL, host text NOT NULL,"
    " user_id text NOT NULL, action text NOT NULL, object text NOT NULL, old_value text NOT NULL,"
    " new_value text NOT NULL, reason text NOT NULL, code text NOT NULL)",
    "CREATE INDEX IF NOT EXISTS audit_entry_time ON audit_entry(utc)",
    "CREATE TABLE IF NOT EXISTS audit_signature(id bigint PRIMARY KEY, seq bigint NOT NULL, utc bigint NOT NULL,"
    " local_time text NOT NULL, user_id text NOT NULL, name text NOT NULL, meaning text NOT NULL,"
    " title text NOT NULL, content_sha text NOT NULL, content text NOT NULL, code text NOT NULL)",
    "CREATE INDEX IF NOT EXISTS audit_signature_content ON audit_signature(content_sha)",
    "CREATE TABLE IF NOT EXISTS meta(key text PRIMARY KEY, value text NOT NULL)",
}};

// The trail and the signatures refuse UPDATE and DELETE: a second line of
// defence for the program's own mistakes; the chain is the evidence.
const std::array<const char*, 4> kSqliteGuards{{
    "CREATE TRIGGER IF NOT EXISTS audit_entry_no_update BEFORE UPDATE ON audit_entry"
    " BEGIN SELECT RAISE(ABORT, 'the audit trail is append-only'); END",
    "CREATE TRIGGER IF NOT EXISTS audit_entry_no_delete BEFORE DELETE ON audit_entry"
    " BEGIN SELECT RAISE(ABORT, 'the audit trail is append-only'); END",
    "CREATE TRIGGER IF NOT EXISTS audit_signature_no_update BEFORE UPDATE ON audit_signature"
    " BEGIN SELECT RAISE(ABORT, 'signatures are append-only'); END",
    "CREATE TRIGGER IF NOT EXISTS audit_signature_no_delete BEFORE DELETE ON audit_signature"
    " BEGIN SELECT RAISE(ABORT, 'signatures are append-only'); END",
}};
const std::array<const char*, 3> kServerGuards{{
    "CREATE OR REPLACE FUNCTION audit_append_only() RETURNS trigger LANGUAGE plpgsql AS"
    " $$BEGIN RAISE EXCEPTION 'the audit trail is append-only'; END$$",
    "CREATE OR REPLACE TRIGGER audit_entry_append_only BEFORE UPDATE OR DELETE ON audit_entry"
    " FOR EACH ROW EXECUTE FUNCTION audit_append_only()",
    "CREATE OR REPLACE TRIGGER audit_signature_append_only BEFORE UPDATE OR DELETE ON audit_signature"
    " FOR EACH ROW EXECUTE FUNCTION audit_append_only()",
}};

constexpr char kMetaKey[] = "records_key";
constexpr char kMetaHead[] = "records_head";
constexpr char kMetaIdle[] = "records_idle_minutes";
const QByteArray kGenesis(64, '0');

ArchiveFailure setMeta(Archive& a, const char* key, const QByteArray& value) {
    return a.execute(
        "INSERT INTO meta(key, value) VALUES ($1, $2) ON CONFLICT(key) DO UPDATE SET value = excluded.value",
        {QByteArray(key), value});
}
std::optional<QByteArray> meta(Archive& a, const char* key, ArchiveFailure& failure) {
    std::vector<SqlRow> rows;
    failure = a.execute("SELECT value FROM meta WHERE key = $1", {QByteArray(key)}, &rows);
    if (failure || rows.empty()) return std::nullopt;
    return rows[0][0];
}

}  // namespace

// HMAC-SHA-256 under the chain's key: the key's inner and outer blocks are
// hashed once, and every code starts from copies of them (OpenSSL's SHA-256
// uses the processor's SHA instructions: a million entries are checked in
// well under a second).
class Hmac {
public:
    explicit Hmac(const QByteArray& key) : inner_(EVP_MD_CTX_new()), outer_(EVP_MD_CTX_new()), work_(EVP_MD_CTX_new()) {
        std::array<unsigned char, 64> ipad{};
        std::array<unsigned char, 64> opad{};
        for (size_t i = 0; i < 64; ++i) {
            const unsigned char k = i < size_t(key.size()) ? uchar(key[qsizetype(i)]) : 0;
            ipad[i] = k ^ 0x36;
            opad[i] = k ^ 0x5c;
        }
        EVP_DigestInit_ex(inner_, EVP_sha256(), nullptr);
        EVP_DigestUpdate(inner_, ipad.data(), ipad.size());
        EVP_DigestInit_ex(outer_, EVP_sha256(), nullptr);
        EVP_DigestUpdate(outer_, opad.data(), opad.size());
    }
    ~Hmac() {
        EVP_MD_CTX_free(inner_);
        EVP_MD_CTX_free(outer_);
        EVP_MD_CTX_free(work_);
    }
    Hmac(const Hmac&) = delete;
    Hmac& operator=(const Hmac&) = delete;

    void begin() { EVP_MD_CTX_copy_ex(work_, inner_); }
    void update(const char* data, size_t n) { EVP_DigestUpdate(work_, data, n); }
    QByteArray hexEnd() {
        std::array<unsigned char, 32> h{};
        unsigned int n = 0;
        EVP_DigestFinal_ex(work_, h.data(), &n);
        EVP_MD_CTX_copy_ex(work_, outer_);
        EVP_DigestUpdate(work_, h.data(), h.size());
        EVP_DigestFinal_ex(work_, h.data(), &n);
        return QByteArray(reinterpret_cast<const char*>(h.data()), int(h.size())).toHex();
    }

private:
    EVP_MD_CTX* inner_;
    EVP_MD_CTX* outer_;
    EVP_MD_CTX* work_;
};

namespace {

// A code over fields, each after its length (four bytes, little-endian).
class Mac {
public:
    explicit Mac(Hmac& h) : h_(h) { h_.begin(); }
    Mac& add(QByteArrayView field) {
        const quint32 n = quint32(field.size());
        const std::array<char, 4> length{{char(n), char(n >> 8), char(n >> 16), char(n >> 24)}};
        h_.update(length.data(), length.size());
        h_.update(field.data(), size_t(field.size()));
        return *this;
    }
    Mac& add(const QByteArray& field) { return add(QByteArrayView(field)); }
    Mac& add(const QString& field) { return add(field.toUtf8()); }
    Mac& add(qint64 v) { return add(number(v)); }
    QByteArray hex() { return h_.hexEnd(); }

private:
    Hmac& h_;
};

constexpr char kEntrySql[] = "seq, utc, host, user_id, action, object, old_value, new_value, reason, code";
AuditEntry entryOf(const SqlRow& r) {
    AuditEntry e;
    e.seq = r[0].toLongLong();
    e.utc = r[1].toLongLong();
    e.host = QString::fromUtf8(r[2]);
    e.user = QString::fromUtf8(r[3]);
    e.action = QString::fromUtf8(r[4]);
    e.object = QString::fromUtf8(r[5]);
    e.oldValue = QString::fromUtf8(r[6]);
    e.newValue = QString::fromUtf8(r[7]);
    e.reason = QString::fromUtf8(r[8]);
    e.code = r[9];
    return e;
}

constexpr char kUserSql[] = "id, name, role, password_hash, failed_tries, locked, code";
User userOf(const SqlRow& r) {
    User u;
    u.id = QString::fromUtf8(r[0]);
    u.name = QString::fromUtf8(r[1]);
    u.role = roleOfWord(QString::fromUtf8(r[2])).value_or(Role::Viewer);
    u.passwordHash = r[3];
    u.failedTries = r[4].toInt();
    u.locked = r[5].toInt() != 0;
    return u;
}

constexpr char kSignatureSql[] = "id, seq, utc, local_time, user_id, name, meaning, title, content_sha, content, code";
Signature signatureOf(const SqlRow& r) {
    Signature s;
    s.id = r[0].toLongLong();
    s.seq = r[1].toLongLong();
    s.utc = r[2].toLongLong();
    s.localTime = QString::fromUtf8(r[3]);
    s.user = QString::fromUtf8(r[4]);
    s.name = QString::fromUtf8(r[5]);
    s.meaning = meaningOfText(QString::fromUtf8(r[6])).value_or(Meaning::Author);
    s.title = QString::fromUtf8(r[7]);
    s.contentSha = r[8];
    s.content = QString::fromUtf8(r[9]);
    s.code = r[10];
    return s;
}

struct RoleRow {
    Role role;
    const char* word;
    const char16_t* text;
};
constexpr std::array<RoleRow, 4> kRoles{{
    {Role::Admin, "admin", u"管理者"},
    {Role::QualityAssurance, "qa", u"品質保証"},
    {Role::Operator, "operator", u"作業者"},
    {Role::Viewer, "viewer", u"閲覧者"},
}};
constexpr std::array<const char16_t*, 3> kMeanings{{u"作成", u"確認", u"承認"}};

}  // namespace

bool roleMay(Role role, Permission p) {
    switch (p) {
    case Permission::ManageUsers:
    case Permission::ChangeSettings: return role == Role::Admin;
    case Permission::ViewTrail: return role == Role::Admin || role == Role::QualityAssurance;
    case Permission::SignReview: return role == Role::QualityAssurance;
    case Permission::ReadLogger:
    case Permission::SignAuthor: return role == Role::QualityAssurance || role == Role::Operator;
    case Permission::View: return true;
    }
    return false;
}

QString roleText(Role role) {
    for (const RoleRow& r : kRoles)
        if (r.role == role) return QString::fromUtf16(r.text);
    return {};
}
QString roleWord(Role role) {
    for (const RoleRow& r : kRoles)
        if (r.role == role) return QString::fromLatin1(r.word);
    return {};
}
std::optional<Role> roleOfWord(const QString& word) {
    for (const RoleRow& r : kRoles)
        if (word == QLatin1String(r.word) || word == QString::fromUtf16(r.text)) return r.role;
    return std::nullopt;
}

QString meaningText(Meaning m) { return QString::fromUtf16(kMeanings[size_t(m)]); }
std::optional<Meaning> meaningOfText(const QString& text) {
    for (size_t i = 0; i < kMeanings.size(); ++i)
        if (text == QString::fromUtf16(kMeanings[i])) return Meaning(i);
    return std::nullopt;
}

QString actionText(const QString& a) {
    static const std::array<std::pair<const char*, const char16_t*>, 16> kTexts{{
        {action::kModeOn, u"電子記録モード開始"},
        {action::kSignIn, u"サインイン"},
        {action::kSignInFailed, u"サインイン失敗"},
        {action::kSignOut, u"サインアウト"},
        {action::kUserAdd, u"ユーザー追加"},
        {action::kUserChange, u"ユーザー変更"},
        {action::kUserLock, u"ユーザーロック"},
        {action::kUserUnlock, u"ユーザーロック解除"},
        {action::kReadout, u"データ読込"},
        {action::kSettingsWrite, u"記録条件設定"},
        {action::kImport, u"アーカイブ取込"},
        {action::kSettingChange, u"設定変更"},
        {action::kReportSign, u"電子署名"},
        {action::kReportPrint, u"レポート出力"},
        {action::kFileMismatch, u"アーカイブと不一致"},
        {action::kExport, u"書き出し"},
    }};
    for (const auto& [word, text] : kTexts)
        if (a == QLatin1String(word)) return QString::fromUtf16(text);
    return a;
}

QStringList signatureBoxLines(const Signature& s) {
    const QString date = s.localTime.section(QLatin1Char(' '), 0, 0);
    const QString time = s.localTime.section(QLatin1Char(' '), 1);
    return {s.name, meaningText(s.meaning) + QLatin1Char(' ') + date, time};
}

// --- the key -------------------------------------------------------------

QByteArray ChainKey::id() const { return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().left(16); }
QString keyFolderOf(const QString& settingsFolder) {
    return QDir(settingsFolder).filePath(QStringLiteral("audit-keys"));
}
QString keyFileOf(const QString& settingsFolder, const QByteArray& keyId) {
    return QDir(keyFolderOf(settingsFolder)).filePath(QString::fromLatin1(keyId) + QStringLiteral(".key"));
}

std::optional<ChainKey> createKey(const QString& settingsFolder, QString& error) {
    if (!sodiumReady()) {
        error = QStringLiteral("libsodium could not start");
        return std::nullopt;
    }
    ChainKey key;
    key.bytes.resize(32);
    randombytes_buf(key.bytes.data(), size_t(key.bytes.size()));
    const QString folder = keyFolderOf(settingsFolder);
    if (!QDir().mkpath(folder)) {
        error = folder;
        return std::nullopt;
    }
    QFile::setPermissions(folder,
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup);
    const QString file = keyFileOf(settingsFolder, key.id());
    if (writeFileAtomically(file, key.bytes.toHex() + "\n") != SaveError::None) {
        error = file;
        return std::nullopt;
    }
    QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    return key;
}

std::optional<ChainKey> loadKey(const QString& settingsFolder, const QByteArray& keyId, QString& error) {
    const QString file = keyFileOf(settingsFolder, keyId);
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        error = file;
        return std::nullopt;
    }
    ChainKey key{QByteArray::fromHex(f.read(200).trimmed())};
    if (!key.valid() || key.id() != keyId) {
        error = file;
        return std::nullopt;
    }
    return key;
}

// --- passwords -----------------------------------------------------------

bool passwordAcceptable(const QString& password) {
    if (password.size() < 8) return false;
    for (QChar c : password)
        if (c.isDigit()) return true;
    return false;
}

PasswordCost programPasswordCost() { return {3, size_t(256) << 20}; }
PasswordCost testPasswordCost() { return {crypto_pwhash_OPSLIMIT_MIN, crypto_pwhash_MEMLIMIT_MIN}; }

QByteArray hashPassword(const QString& password, PasswordCost cost) {
    if (!sodiumReady()) return {};
    const QByteArray p = password.toUtf8();
    std::array<char, crypto_pwhash_STRBYTES> out{};
    if (crypto_pwhash_str_alg(out.data(), p.constData(), size_t(p.size()), cost.ops, cost.memory,
                              crypto_pwhash_ALG_ARGON2ID13) != 0)
        return {};
    return QByteArray(out.data());
}

bool passwordMatches(const QByteArray& hash, const QString& password) {
    if (!sodiumReady() || hash.isEmpty()) return false;
    const QByteArray p = password.toUtf8();
    return crypto_pwhash_str_verify(hash.constData(), p.constData(), size_t(p.size())) == 0;
}

// --- the records ---------------------------------------------------------

RecordsOrigin thisComputerOrigin() {
    RecordsOrigin o;
    o.host = QSysInfo::machineHostName();
    o.nowUtc = [] { return QDateTime::currentSecsSinceEpoch(); };
    o.localTimeText = [] {
        const QDateTime now = QDateTime::currentDateTime();
        const int offset = now.offsetFromUtc() / 60;
        return now.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss ")) +
               (offset < 0 ? QLatin1Char('-') : QLatin1Char('+')) +
               QStringLiteral("%1:%2")
                   .arg(std::abs(offset) / 60, 2, 10, QLatin1Char('0'))
                   .arg(std::abs(offset) % 60, 2, 10, QLatin1Char('0'));
    };
    return o;
}

bool modeIsOn(Archive& a, ArchiveFailure& failure) {
    if (const std::optional<QByteArray> key = meta(a, kMetaKey, failure); key && !key->isEmpty()) return true;
    if (failure) return false;
    // The mode's mark removed from a database that holds users: still on.
    std::vector<SqlRow> rows;
    if (a.execute("SELECT id FROM audit_user LIMIT 1", {}, &rows)) return false;  // no such table: off
    return !rows.empty();
}

QByteArray keyIdOf(Archive& a, ArchiveFailure& failure) { return meta(a, kMetaKey, failure).value_or(QByteArray()); }

Records::Records(Archive& a, ChainKey key, RecordsOrigin origin)
    : archive_(a), key_(std::move(key)), origin_(std::move(origin)), hmac_(std::make_shared<Hmac>(key_.bytes)) {}

ArchiveFailure Records::ensureTables() {
    for (const char* sql : kTables)
        if (ArchiveFailure f = archive_.execute(sql)) return f;
    if (archive_.onServer()) {
        for (const char* sql : kServerGuards)
            if (ArchiveFailure f = archive_.execute(sql)) return f;
    } else {
        for (const char* sql : kSqliteGuards)
            if (ArchiveFailure f = archive_.execute(sql)) return f;
    }
    return {};
}

QByteArray Records::entryCode(const QByteArray& previous, const AuditEntry& e) const {
    return Mac(*hmac_)
        .add(previous)
        .add(e.seq)
        .add(e.utc)
        .add(e.host)
        .add(e.user)
        .add(e.action)
        .add(e.object)
        .add(e.oldValue)
        .add(e.newValue)
        .add(e.reason)
        .hex();
}
QByteArray Records::userCode(const User& u) const {
    return Mac(*hmac_)
        .add(QByteArray("user"))
        .add(u.id)
        .add(u.name)
        .add(roleWord(u.role))
        .add(u.passwordHash)
        .add(qint64(u.failedTries))
        .add(qint64(u.locked))
        .hex();
}
QByteArray Records::signatureCode(const Signature& s) const {
    return Mac(*hmac_)
        .add(QByteArray("signature"))
        .add(s.id)
        .add(s.seq)
        .add(s.utc)
        .add(s.localTime)
        .add(s.user)
        .add(s.name)
        .add(meaningText(s.meaning))
        .add(s.title)
        .add(s.contentSha)
        .add(s.content)
        .hex();
}
QByteArray Records::headCode(qint64 seq, const QByteArray& code) const {
    return Mac(*hmac_).add(QByteArray("head")).add(seq).add(code).hex();
}

ArchiveFailure Records::appendWithin(AuditEntry& e) {
    std::vector<SqlRow> last;
    if (ArchiveFailure f = archive_.execute("SELECT seq, code FROM audit_entry ORDER BY seq DESC LIMIT 1", {}, &last))
        return f;
    const QByteArray previous = last.empty() ? kGenesis : last[0][1];
    e.seq = last.empty() ? 1 : last[0][0].toLongLong() + 1;
    e.utc = origin_.nowUtc();
    e.host = origin_.host;
    e.code = entryCode(previous, e);
    if (ArchiveFailure f = archive_.execute(
            "INSERT INTO audit_entry(seq, utc, host, user_id, action, object, old_value, new_value, reason, code)"
            " VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10)",
            {number(e.seq), number(e.utc), text(e.host), text(e.user), text(e.action), text(e.object), text(e.oldValue),
             text(e.newValue), text(e.reason), e.code}))
        return f;
    return setMeta(archive_, kMetaHead, number(e.seq) + ' ' + e.code + ' ' + headCode(e.seq, e.code));
}

ArchiveFailure Records::putUserWithin(const User& u) {
    return archive_.execute(
        "INSERT INTO audit_user(id, name, role, password_hash, failed_tries, locked, code)"
        " VALUES ($1, $2, $3, $4, $5, $6, $7) ON CONFLICT(id) DO UPDATE SET name = excluded.name,"
        " role = excluded.role, password_hash = excluded.password_hash, failed_tries = excluded.failed_tries,"
        " locked = excluded.locked, code = excluded.code",
        {text(u.id), text(u.name), text(roleWord(u.role)), u.passwordHash, number(u.failedTries),
         number(u.locked ? 1 : 0), userCode(u)});
}

ArchiveFailure Records::record(AuditEntry e) {
    return archive_.exclusively([&] { return appendWithin(e); });
}

ArchiveFailure Records::record(std::vector<AuditEntry> entries) {
    return archive_.exclusively([&]() -> ArchiveFailure {
        for (AuditEntry& e : entries)
            if (ArchiveFailure f = appendWithin(e)) return f;
        return {};
    });
}

ArchiveFailure Records::switchOn(const User& admin, const QString& password) {
    ArchiveFailure f;
    if (modeIsOn(archive_, f))
        return {ArchiveError::Failed, QString::fromUtf16(u"このアーカイブはすでに電子記録モードです")};
    if (f) return f;
    if (!key_.valid()) return {ArchiveError::Failed, QString::fromUtf16(u"監査証跡の鍵がありません")};
    if ((f = ensureTables())) return f;
    User u = admin;
    u.role = Role::Admin;
    u.passwordHash = hashPassword(password, origin_.cost);
    if (u.passwordHash.isEmpty())
        return {ArchiveError::Failed, QString::fromUtf16(u"パスワードのハッシュを作れませんでした")};
    return archive_.exclusively([&]() -> ArchiveFailure {
        if (ArchiveFailure g = setMeta(archive_, kMetaKey, key_.id())) return g;
        if (ArchiveFailure g = setMeta(archive_, kMetaIdle, number(kDefaultIdleMinutes))) return g;
        if (ArchiveFailure g = putUserWithin(u)) return g;
        AuditEntry on{
            0,  0, {}, u.id, QLatin1String(action::kModeOn), archive_.location(), text(kValueOff), text(kValueOn),
            {}, {}};
        if (ArchiveFailure g = appendWithin(on)) return g;
        AuditEntry added{
            0,  0, {}, u.id, QLatin1String(action::kUserAdd), u.id, {}, roleWord(u.role) + QLatin1Char(' ') + u.name,
            {}, {}};
        return appendWithin(added);
    });
}

int Records::idleMinutes() {
    ArchiveFailure f;
    const int m = meta(archive_, kMetaIdle, f).value_or(QByteArray()).toInt();
    return m > 0 ? m : kDefaultIdleMinutes;
}

ArchiveFailure Records::setIdleMinutes(const QString& by, int minutes, const QString& reason) {
    const int before = idleMinutes();
    return archive_.exclusively([&]() -> ArchiveFailure {
        if (ArchiveFailure f = setMeta(archive_, kMetaIdle, number(minutes))) return f;
        AuditEntry e{0,
                     0,
                     {},
                     by,
                     QLatin1String(action::kSettingChange),
                     text(kValueIdleMinutes),
                     QString::number(before),
                     QString::number(minutes),
                     reason,
                     {}};
        return appendWithin(e);
    });
}

std::optional<User> Records::user(const QString& id, ArchiveFailure& failure) {
    std::vector<SqlRow> rows;
    failure = archive_.execute(QByteArray("SELECT ") + kUserSql + " FROM audit_user WHERE id = $1", {text(id)}, &rows);
    if (failure || rows.empty()) return std::nullopt;
    return userOf(rows[0]);
}

std::vector<User> Records::users(ArchiveFailure& failure) {
    std::vector<SqlRow> rows;
    failure = archive_.execute(QByteArray("SELECT ") + kUserSql + " FROM audit_user ORDER BY id", {}, &rows);
    std::vector<User> out;
    for (const SqlRow& r : rows) out.push_back(userOf(r));
    return out;
}

ArchiveFailure Records::addUser(const QString& by, const User& u, const QString& password) {
    ArchiveFailure f;
    if (user(u.id, f))
        return {ArchiveError::Failed, QString::fromUtf16(u"ユーザー %1 はすでに登録されています").arg(u.id)};
    if (f) return f;
    User n = u;
    n.passwordHash = hashPassword(password, origin_.cost);
    n.failedTries = 0;
    n.locked = false;
    return archive_.exclusively([&]() -> ArchiveFailure {
        if (ArchiveFailure g = putUserWithin(n)) return g;
        AuditEntry e{
            0,  0, {}, by, QLatin1String(action::kUserAdd), n.id, {}, roleWord(n.role) + QLatin1Char(' ') + n.name,
            {}, {}};
        return appendWithin(e);
    });
}

ArchiveFailure Records::setLocked(const QString& by, const QString& id, bool locked, const QString& reason) {
    return archive_.exclusively([&]() -> ArchiveFailure {
        ArchiveFailure f;
        std::optional<User> u = user(id, f);
        if (f) return f;
        if (!u) return {ArchiveError::Failed, QString::fromUtf16(u"ユーザー %1 は登録されていません").arg(id)};
        const bool before = u->locked;
        u->locked = locked;
        u->failedTries = 0;
        if ((f = putUserWithin(*u))) return f;
        AuditEntry e{0,
                     0,
                     {},
                     by,
                     QLatin1String(locked ? action::kUserLock : action::kUserUnlock),
                     id,
                     before ? text(kValueLocked) : text(kValueUnlocked),
                     locked ? text(kValueLocked) : text(kValueUnlocked),
                     reason,
                     {}};
        return appendWithin(e);
    });
}

SignInResult Records::signIn(const QString& id, const QString& password) {
    SignInResult result;
    ArchiveFailure f;
    const std::optional<User> found = user(id, f);
    // The hash is checked outside the writer's lock: it takes a while.
    const bool matches = found && !found->locked && passwordMatches(found->passwordHash, password);
    f = archive_.exclusively([&]() -> ArchiveFailure {
        ArchiveFailure g;
        std::optional<User> u = user(id, g);
        if (g) return g;
        AuditEntry e{0, 0, {}, id, QLatin1String(action::kSignInFailed), id, {}, {}, {}, {}};
        if (!u) {
            result.outcome = SignInOutcome::UnknownUser;
            e.newValue = text(kValueUnknownUser);
            return appendWithin(e);
        }
        result.user = *u;
        if (u->locked) {
            result.outcome = SignInOutcome::Locked;
            e.newValue = text(kValueLocked);
            return appendWithin(e);
        }
        if (matches) {
            result.outcome = SignInOutcome::SignedIn;
            if (u->failedTries != 0) {
                u->failedTries = 0;
                if ((g = putUserWithin(*u))) return g;
            }
            result.user = *u;
            e.action = QLatin1String(action::kSignIn);
            return appendWithin(e);
        }
        const int before = u->failedTries;
        u->failedTries = before + 1;
        u->locked = u->failedTries >= kMaxFailedTries;
        if ((g = putUserWithin(*u))) return g;
        e.oldValue = QString::number(before);
        e.newValue = text(kValueWrongPassword).arg(u->failedTries).arg(kMaxFailedTries);
        if ((g = appendWithin(e))) return g;
        result.user = *u;
        result.triesLeft = kMaxFailedTries - u->failedTries;
        if (!u->locked) {
            result.outcome = SignInOutcome::WrongPassword;
            return {};
        }
        result.outcome = SignInOutcome::Locked;
        AuditEntry lock{0,
                        0,
                        {},
                        id,
                        QLatin1String(action::kUserLock),
                        id,
                        text(kValueUnlocked),
                        text(kValueLocked),
                        text(kValueLockedAfter).arg(kMaxFailedTries),
                        {}};
        return appendWithin(lock);
    });
    if (f) {
        result.outcome = SignInOutcome::Failed;
        result.detail = f.detail;
    }
    return result;
}

std::vector<AuditEntry> Records::entries(const EntryFilter& filter, ArchiveFailure& failure) {
    QByteArray sql = QByteArray("SELECT ") + kEntrySql + " FROM audit_entry WHERE 1 = 1";
    std::vector<QByteArray> params;
    auto where = [&](const char* condition, const QByteArray& value) {
        params.push_back(value);
        sql += QByteArray(" AND ") + condition + " $" + number(qint64(params.size()));
    };
    if (filter.fromUtc) where("utc >=", number(*filter.fromUtc));
    if (filter.toUtc) where("utc <=", number(*filter.toUtc));
    if (filter.user) where("user_id =", text(*filter.user));
    if (filter.action) where("action =", text(*filter.action));
    sql += " ORDER BY seq";
    std::vector<SqlRow> rows;
    failure = archive_.execute(sql, params, &rows);
    std::vector<AuditEntry> out;
    out.reserve(rows.size());
    for (const SqlRow& r : rows) out.push_back(entryOf(r));
    return out;
}

std::optional<AuditEntry> Records::lastEntry(ArchiveFailure& failure) {
    std::vector<SqlRow> last;
    failure =
        archive_.execute(QByteArray("SELECT ") + kEntrySql + " FROM audit_entry ORDER BY seq DESC LIMIT 1", {}, &last);
    if (last.empty()) return std::nullopt;
    return entryOf(last[0]);
}

Records::SignOutcome Records::sign(const QString& id, const QString& password, Meaning m, const QString& title,
                                   const QString& content) {
    SignOutcome out;
    out.signIn = signIn(id, password);
    if (out.signIn.outcome != SignInOutcome::SignedIn) return out;
    if (!roleMay(out.signIn.user.role, permissionToSign(m))) {
        out.failure = {ArchiveError::Failed, QString::fromUtf16(u"%1 の役割では %2 として署名できません")
                                                 .arg(roleText(out.signIn.user.role), meaningText(m))};
        return out;
    }
    Signature s;
    s.utc = origin_.nowUtc();
    s.localTime = origin_.localTimeText();
    s.user = id;
    s.name = out.signIn.user.name.isEmpty() ? id : out.signIn.user.name;
    s.meaning = m;
    s.title = title;
    s.contentSha = contentSha(content);
    s.content = content;
    out.failure = archive_.exclusively([&]() -> ArchiveFailure {
        std::vector<SqlRow> last;
        if (ArchiveFailure f = archive_.execute("SELECT max(id) FROM audit_signature", {}, &last)) return f;
        s.id = (last.empty() || last[0][0].isNull() ? 0 : last[0][0].toLongLong()) + 1;
        AuditEntry e{0,
                     0,
                     {},
                     id,
                     QLatin1String(action::kReportSign),
                     title,
                     {},
                     meaningText(m) + QStringLiteral(" sha256:") + QString::fromLatin1(s.contentSha),
                     {},
                     {}};
        if (ArchiveFailure f = appendWithin(e)) return f;
        s.seq = e.seq;
        s.code = signatureCode(s);
        return archive_.execute(
            QByteArray("INSERT INTO audit_signature(") + kSignatureSql +
                ") VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11)",
            {number(s.id), number(s.seq), number(s.utc), text(s.localTime), text(s.user), text(s.name),
             text(meaningText(s.meaning)), text(s.title), s.contentSha, text(s.content), s.code});
    });
    if (!out.failure) out.signature = s;
    return out;
}

std::vector<Signature> Records::signaturesOf(const QByteArray& sha, ArchiveFailure& failure) {
    std::vector<SqlRow> rows;
    failure = archive_.execute(
        QByteArray("SELECT ") + kSignatureSql + " FROM audit_signature WHERE content_sha = $1 ORDER BY id", {sha},
        &rows);
    std::vector<Signature> out;
    for (const SqlRow& r : rows) out.push_back(signatureOf(r));
    return out;
}

ChainCheck Records::check() {
    ChainCheck c;
    auto failed = [&c](const ArchiveFailure& f) {
        c.fault = ChainFault::Failed;
        c.detail = f.detail;
        return c;
    };
    ArchiveFailure f;
    const QByteArray keyId = keyIdOf(archive_, f);
    if (f) return failed(f);
    if (keyId != key_.id()) {
        c.fault = ChainFault::WrongKey;
        c.detail = QString::fromLatin1(keyId);
        return c;
    }
    // The chain, a part at a time, each row's code made from its own text:
    // the numbers as the database spells them are those the code was made of.
    QByteArray previous = kGenesis;
    qint64 expected = 1;
    for (;;) {
        qint64 rows = 0;
        f = archive_.each(
            QByteArray("SELECT ") + kEntrySql + " FROM audit_entry WHERE seq >= $1 ORDER BY seq LIMIT 50000",
            {number(expected)}, [&](const Archive::RowView& r) {
                ++rows;
                if (c.fault != ChainFault::None) return;
                const qint64 seq = r[0].toLongLong();
                if (seq != expected) {
                    c.fault = ChainFault::EntryMissing;
                    c.entry = expected;
                    return;
                }
                Mac m(*hmac_);
                m.add(previous);
                for (size_t i = 0; i < 9; ++i) m.add(r[i]);
                QByteArray code = m.hex();
                if (code != r[9]) {
                    c.fault = ChainFault::EntryChanged;
                    c.entry = seq;
                    return;
                }
                previous = std::move(code);
                ++expected;
                ++c.entries;
            });
        if (f) return failed(f);
        if (c.fault != ChainFault::None) return c;
        if (rows < 50000) break;
    }
    c.head = c.entries ? previous : QByteArray();
    const QList<QByteArray> head = meta(archive_, kMetaHead, f).value_or(QByteArray()).split(' ');
    if (f) return failed(f);
    if (head.size() != 3 || headCode(head[0].toLongLong(), head[1]) != head[2] || head[0].toLongLong() < c.entries) {
        c.fault = ChainFault::EntryChanged;
        c.entry = c.entries;
        c.detail = QStringLiteral("head");
        return c;
    }
    if (head[0].toLongLong() > c.entries) {
        c.fault = ChainFault::TailMissing;
        c.entry = c.entries + 1;
        c.detail = QString::fromLatin1(head[0]);
        return c;
    }
    // The users.
    std::vector<SqlRow> rows;
    if ((f = archive_.execute(QByteArray("SELECT ") + kUserSql + " FROM audit_user ORDER BY id", {}, &rows)))
        return failed(f);
    for (const SqlRow& r : rows)
        if (userCode(userOf(r)) != r[6]) {
            c.fault = ChainFault::UserChanged;
            c.detail = QString::fromUtf8(r[0]);
            return c;
        }
    // The signatures and the data each is bound to.
    rows.clear();
    if ((f = archive_.execute(QByteArray("SELECT ") + kSignatureSql + " FROM audit_signature ORDER BY id", {}, &rows)))
        return failed(f);
    for (const SqlRow& r : rows) {
        const Signature s = signatureOf(r);
        ++c.signatures;
        if (signatureCode(s) != s.code || contentSha(s.content) != s.contentSha) {
            c.fault = ChainFault::SignatureChanged;
            c.entry = s.id;
            return c;
        }
        for (const QString& line : s.content.split(QLatin1Char('\n'))) {
            const QStringList f = line.split(QLatin1Char('\t'));
            ArchiveFailure g;
            QString now;
            if (f.value(0) == QLatin1String("readout") && f.size() == 3)
                now = readoutBinding(archive_, f[1].toLatin1(), g);
            else if (f.value(0) == QLatin1String("series") && f.size() == 8)
                now = seriesBinding(archive_, {f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt()},
                                    f[5].toLongLong(), f[6].toLongLong(), g);
            else
                continue;
            if (now != line) {
                c.fault = ChainFault::SignedDataChanged;
                c.entry = s.id;
                c.detail = f.value(0) == QLatin1String("readout") ? f[1] : f.mid(1, 4).join(QLatin1Char('-'));
                return c;
            }
        }
    }
    return c;
}

QString signInText(const SignInResult& r, const QString& id) {
    switch (r.outcome) {
    case SignInOutcome::SignedIn: return {};
    case SignInOutcome::UnknownUser: return text(kUnknownUser).arg(id);
    case SignInOutcome::WrongPassword: return text(kWrongPassword).arg(id).arg(r.triesLeft);
    case SignInOutcome::Locked: return text(kLocked).arg(id);
    case SignInOutcome::Failed: return text(kSignInFailed).arg(r.detail);
    }
    return {};
}

QString chainCheckText(const ChainCheck& c) {
    switch (c.fault) {
    case ChainFault::None:
        return QStringLiteral("監査証跡は改ざんされていません（%1 件、署名 %2 件）").arg(c.entries).arg(c.signatures);
    case ChainFault::WrongKey:
        return QStringLiteral("この PC の鍵は監査証跡の鍵ではありません（証跡の鍵: %1）").arg(c.detail);
    case ChainFault::EntryChanged:
        return c.detail == QLatin1String("head")
                   ? QStringLiteral("監査証跡の末尾の記録が一致しません（第 %1 件）").arg(c.entry)
                   : QStringLiteral("監査証跡の第 %1 件が変更されています").arg(c.entry);
    case ChainFault::EntryMissing: return QStringLiteral("監査証跡の第 %1 件がありません").arg(c.entry);
    case ChainFault::TailMissing:
        return QStringLiteral("監査証跡の第 %1 件以降（第 %2 件まで）が削除されています").arg(c.entry).arg(c.detail);
    case ChainFault::UserChanged: return QStringLiteral("ユーザー %1 の記録が変更されています").arg(c.detail);
    case ChainFault::SignatureChanged: return QStringLiteral("電子署名 %1 が変更されています").arg(c.entry);
    case ChainFault::SignedDataChanged:
        return QStringLiteral("電子署名 %1 のデータ（ファイル SHA-256 %2）がアーカイブで変更されています")
            .arg(c.entry)
            .arg(c.detail);
    case ChainFault::Failed: return QStringLiteral("監査証跡を読めません: %1").arg(c.detail);
    }
    return {};
}

// --- what a report is bound to -------------------------------------------

QString reportContentText(const QString& title, const QStringList& lines, const QStringList& figureRows,
                          const QStringList& bindings) {
    QStringList out{QStringLiteral("title\t") + title};
    for (const QString& l : lines) out << QStringLiteral("line\t") + l;
    for (const QString& r : figureRows) out << QStringLiteral("figure\t") + r;
    out << bindings;
    return out.join(QLatin1Char('\n'));
}

QByteArray contentSha(const QString& content) {
    return QCryptographicHash::hash(content.toUtf8(), QCryptographicHash::Sha256).toHex();
}

}  // namespace quillet::audit
