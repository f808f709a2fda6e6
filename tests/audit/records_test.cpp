// The electronic records on both back ends: what the chain finds when the
// database is changed behind the program's back, sign-in and lockout, who
// may sign what.
#include "audit/records.h"
#include "archive/readoutfile.h"
#include "datafile/filebuilder.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <libpq-fe.h>

#include <functional>

using namespace quillet;
using namespace quillet::audit;
using archive::Archive;
using archive::ArchiveFailure;

namespace {

enum class Backend { Sqlite, Postgres };

QString serverConnection(const QString& database) {
    return QStringLiteral("host=%1 dbname=%2 user=postgres").arg(QStringLiteral(QUILLET_PG_FOLDER), database);
}

struct ServerDatabase {
    QString name;
    ServerDatabase() {
        static int next = 0;
        name = QStringLiteral("audit%1_%2").arg(QCoreApplication::applicationPid()).arg(++next);
        admin("CREATE DATABASE " + name.toUtf8());
    }
    ~ServerDatabase() { admin("DROP DATABASE IF EXISTS " + name.toUtf8() + " WITH (FORCE)"); }
    static void admin(const QByteArray& sql) {
        PGconn* c = PQconnectdb(serverConnection(QStringLiteral("postgres")).toUtf8().constData());
        PQclear(PQexec(c, sql.constData()));
        PQfinish(c);
    }
};

// An archive with the records on, its administrator "admin" (password
// "admin-pass1"), an operator and a QA user, and a clock one second apart.
struct Scratch {
    QTemporaryDir dir;
    std::unique_ptr<ServerDatabase> server;
    std::unique_ptr<Archive> archive;
    std::optional<Records> records;
    qint64 now = 1'800'000'000;

    explicit Scratch(Backend backend) {
        if (backend == Backend::Postgres) server = std::make_unique<ServerDatabase>();
        ArchiveFailure f;
        archive = archive::openArchive(server ? serverConnection(server->name) : dir.filePath("a.sqlite"), f);
        EXPECT_TRUE(archive) << f.detail.toStdString();
        QString error;
        const std::optional<ChainKey> key = createKey(dir.path(), error);
        EXPECT_TRUE(key) << error.toStdString();
        RecordsOrigin origin{QStringLiteral("pc1"), [this] { return ++now; },
                             [] { return QStringLiteral("2027-01-15 09:30:00 +09:00"); }, testPasswordCost()};
        records.emplace(*archive, *key, origin);
        f = records->switchOn({QStringLiteral("admin"), QStringLiteral("管理 太郎"), Role::Admin},
                              QStringLiteral("admin-pass1"));
        EXPECT_FALSE(f) << f.detail.toStdString();
        EXPECT_FALSE(records->addUser(QStringLiteral("admin"),
                                      {QStringLiteral("op"), QStringLiteral("作業 花子"), Role::Operator},
                                      QStringLiteral("op-pass12")));
        EXPECT_FALSE(records->addUser(QStringLiteral("admin"),
                                      {QStringLiteral("qa"), QStringLiteral("品質 次郎"), Role::QualityAssurance},
                                      QStringLiteral("qa-pass12")));
    }
    // Full access to the database, as somebody who bypasses the program.
    void tamper(const QByteArray& sql) {
        if (archive->onServer()) {
            EXPECT_FALSE(archive->execute("ALTER TABLE audit_entry DISABLE TRIGGER USER"));
            EXPECT_FALSE(archive->execute("ALTER TABLE audit_signature DISABLE TRIGGER USER"));
        } else {
            for (const char* t : {"audit_entry_no_update", "audit_entry_no_delete", "audit_signature_no_update",
                                  "audit_signature_no_delete"})
                EXPECT_FALSE(archive->execute(QByteArray("DROP TRIGGER IF EXISTS ") + t));
        }
        for (const QByteArray& statement : sql.split(';')) {
            const ArchiveFailure f = archive->execute(statement);
            EXPECT_FALSE(f) << statement.toStdString() << ": " << f.detail.toStdString();
        }
    }
    // A read-out of one logger in the archive; its file's SHA-256.
    QByteArray importReadout() {
        filetest::Block b;
        b.samples = {253, 254, 255, 256, 257, 258};
        const QByteArray bytes = filetest::fileBytes({b});
        archive::ImportOrigin origin;
        origin.host = QStringLiteral("pc1");
        origin.zone = QTimeZone::utc();
        const archive::FileReadout r = archive::readoutFromBytes(bytes, dir.filePath("r.ql6"), origin);
        EXPECT_EQ(r.problem, archive::FileProblem::None);
        EXPECT_NE(archive->import(r.readout).outcome, archive::ImportOutcome::Failed);
        return r.readout.sha256;
    }
    // A report of that read-out signed by op as 作成; its content.
    QString signedReport(const QByteArray& fileSha) {
        ArchiveFailure f;
        const QString binding = readoutBinding(*archive, fileSha, f);
        EXPECT_FALSE(f) << f.detail.toStdString();
        const QString content = reportContentText(QStringLiteral("倉庫A 1月"), {QStringLiteral("期間 ...")},
                                                  {QStringLiteral("最大\t25.8")}, {binding});
        const auto signedBy = records->sign(QStringLiteral("op"), QStringLiteral("op-pass12"), Meaning::Author,
                                            QStringLiteral("倉庫A 1月"), content);
        EXPECT_TRUE(signedBy.signature) << signedBy.failure.detail.toStdString();
        return content;
    }
};

class BothBackends : public testing::TestWithParam<Backend> {};
INSTANTIATE_TEST_SUITE_P(Records, BothBackends, testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto& info) {
                             return std::string(info.param == Backend::Sqlite ? "SQLite" : "PostgreSQL");
                         });

}  // namespace

namespace {

// Each row changes the database as somebody with full access to it could,
// and names what the check must find and where.
struct Tamper {
    const char* what;
    QByteArray sql;
    ChainFault fault;
    qint64 entry;
};

TEST_P(BothBackends, EveryChangeBehindTheProgramIsFoundAtItsEntry) {
    // The trail before tampering: 1 mode-on, 2 user-add admin, 3 user-add
    // op, 4 user-add qa, 5 sign-in op, 6 report-sign; signature 1.
    const std::vector<Tamper> table{
        {"an entry's value changed", "UPDATE audit_entry SET new_value = 'operator' WHERE seq = 3",
         ChainFault::EntryChanged, 3},
        {"an entry's time changed", "UPDATE audit_entry SET utc = utc - 60 WHERE seq = 5", ChainFault::EntryChanged, 5},
        {"an entry deleted", "DELETE FROM audit_entry WHERE seq = 4", ChainFault::EntryMissing, 4},
        {"the last entry deleted", "DELETE FROM audit_entry WHERE seq = 6", ChainFault::TailMissing, 6},
        {"an entry inserted at the end",
         "INSERT INTO audit_entry SELECT 7, utc, host, user_id, action, object, old_value, new_value, reason, code"
         " FROM audit_entry WHERE seq = 6",
         ChainFault::EntryChanged, 7},
        {"entries renumbered", "UPDATE audit_entry SET seq = seq + 100 WHERE seq >= 3", ChainFault::EntryMissing, 3},
        {"an entry inserted in the middle",
         "UPDATE audit_entry SET seq = seq + 100 WHERE seq >= 3;UPDATE audit_entry SET seq = seq - 99 WHERE seq > 100;"
         "INSERT INTO audit_entry SELECT 3, utc, host, user_id, action, object, old_value, new_value, reason, code"
         " FROM audit_entry WHERE seq = 2",
         ChainFault::EntryChanged, 3},
        {"a signature's content hash changed",
         "UPDATE audit_signature SET content_sha = '" + QByteArray(64, 'a') + "' WHERE id = 1",
         ChainFault::SignatureChanged, 1},
        {"a signature's meaning changed", "UPDATE audit_signature SET meaning = '承認' WHERE id = 1",
         ChainFault::SignatureChanged, 1},
        {"a signed sample changed", "UPDATE sample SET value = value + 1 WHERE t = (SELECT min(t) FROM sample)",
         ChainFault::SignedDataChanged, 1},
        {"a signed read-out's alarm limit changed", "UPDATE readout_channel SET upper_alarm = 999",
         ChainFault::SignedDataChanged, 1},
        {"a user's role raised", "UPDATE audit_user SET role = 'admin' WHERE id = 'op'", ChainFault::UserChanged, 0},
        {"a user's password replaced",
         "UPDATE audit_user SET password_hash = (SELECT password_hash FROM audit_user WHERE id = 'admin')"
         " WHERE id = 'qa'",
         ChainFault::UserChanged, 0},
    };
    for (const Tamper& t : table) {
        SCOPED_TRACE(t.what);
        Scratch s(GetParam());
        const QByteArray sha = s.importReadout();
        s.signedReport(sha);
        const ChainCheck before = s.records->check();
        ASSERT_TRUE(before) << chainCheckText(before).toStdString();
        EXPECT_EQ(before.entries, 6);
        EXPECT_EQ(before.signatures, 1);
        s.tamper(t.sql);
        const ChainCheck after = s.records->check();
        EXPECT_EQ(after.fault, t.fault) << chainCheckText(after).toStdString();
        EXPECT_EQ(after.entry, t.entry) << chainCheckText(after).toStdString();
    }
}

TEST_P(BothBackends, TheTrailRefusesUpdatesAndAnotherKeyIsToldApart) {
    Scratch s(GetParam());
    EXPECT_TRUE(s.archive->execute("UPDATE audit_entry SET reason = 'x' WHERE seq = 1"));
    EXPECT_TRUE(s.archive->execute("DELETE FROM audit_entry WHERE seq = 1"));
    QString error;
    Records other(*s.archive, *createKey(s.dir.filePath("other"), error), {});
    EXPECT_EQ(other.check().fault, ChainFault::WrongKey);
    EXPECT_TRUE(s.records->check());
}

TEST_P(BothBackends, FiveWrongPasswordsLockUntilAnAdministratorUnlocks) {
    Scratch s(GetParam());
    const QString op = QStringLiteral("op");
    for (int i = 1; i <= 4; ++i) {
        const SignInResult r = s.records->signIn(op, QStringLiteral("wrong-pass1"));
        EXPECT_EQ(r.outcome, SignInOutcome::WrongPassword);
        EXPECT_EQ(r.triesLeft, 5 - i);
    }
    EXPECT_EQ(s.records->signIn(op, QStringLiteral("op-pass12")).outcome, SignInOutcome::SignedIn)
        << "a right password before the fifth try resets the count";
    for (int i = 1; i <= 5; ++i) s.records->signIn(op, QStringLiteral("wrong-pass1"));
    EXPECT_EQ(s.records->signIn(op, QStringLiteral("op-pass12")).outcome, SignInOutcome::Locked);
    EXPECT_EQ(s.records->signIn(QStringLiteral("nobody"), QStringLiteral("x")).outcome, SignInOutcome::UnknownUser);
    EXPECT_FALSE(s.records->setLocked(QStringLiteral("admin"), op, false, QStringLiteral("本人確認済み")));
    EXPECT_EQ(s.records->signIn(op, QStringLiteral("op-pass12")).outcome, SignInOutcome::SignedIn);

    ArchiveFailure f;
    QStringList trail;
    for (const AuditEntry& e : s.records->entries({}, f))
        if (e.seq > 4) trail << e.action + QLatin1Char(' ') + e.newValue;
    const QStringList expected{"sign-in-failed パスワード誤り 1/5",
                               "sign-in-failed パスワード誤り 2/5",
                               "sign-in-failed パスワード誤り 3/5",
                               "sign-in-failed パスワード誤り 4/5",
                               "sign-in ",
                               "sign-in-failed パスワード誤り 1/5",
                               "sign-in-failed パスワード誤り 2/5",
                               "sign-in-failed パスワード誤り 3/5",
                               "sign-in-failed パスワード誤り 4/5",
                               "sign-in-failed パスワード誤り 5/5",
                               "user-lock ロック中",
                               "sign-in-failed ロック中",
                               "sign-in-failed 未登録のユーザー",
                               "user-unlock 有効",
                               "sign-in "};
    EXPECT_EQ(trail, expected);
    EXPECT_TRUE(s.records->check());
}

TEST_P(BothBackends, ASignatureNeedsThePasswordAndTheRole) {
    Scratch s(GetParam());
    const QString content = reportContentText(QStringLiteral("t"), {}, {}, {});
    struct Row {
        const char* user;
        const char* password;
        Meaning meaning;
        bool signs;
    };
    const std::vector<Row> table{
        {"op", "op-pass12", Meaning::Author, true},       {"op", "wrong-pass1", Meaning::Author, false},
        {"op", "op-pass12", Meaning::Review, false},      {"op", "op-pass12", Meaning::Approval, false},
        {"qa", "qa-pass12", Meaning::Review, true},       {"qa", "qa-pass12", Meaning::Approval, true},
        {"admin", "admin-pass1", Meaning::Author, false},
    };
    for (const Row& r : table) {
        const auto out = s.records->sign(QString::fromUtf8(r.user), QString::fromUtf8(r.password), r.meaning,
                                         QStringLiteral("t"), content);
        EXPECT_EQ(out.signature.has_value(), r.signs) << r.user << " " << meaningText(r.meaning).toStdString();
    }
    ArchiveFailure f;
    const std::vector<Signature> kept = s.records->signaturesOf(contentSha(content), f);
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(signatureBoxLines(kept[1]), QStringList({"品質 次郎", "確認 2027-01-15", "09:30:00 +09:00"}));
    EXPECT_TRUE(s.records->check());
}

TEST(Passwords, TheRuleAndTheHash) {
    EXPECT_FALSE(passwordAcceptable(QStringLiteral("short1")));
    EXPECT_FALSE(passwordAcceptable(QStringLiteral("no-digits-here")));
    EXPECT_TRUE(passwordAcceptable(QStringLiteral("eight8ch")));
    const QByteArray h = hashPassword(QStringLiteral("eight8ch"), testPasswordCost());
    EXPECT_TRUE(h.startsWith("$argon2id$"));
    EXPECT_TRUE(passwordMatches(h, QStringLiteral("eight8ch")));
    EXPECT_FALSE(passwordMatches(h, QStringLiteral("eight8cH")));
}

}  // namespace

#include "archive/archivesettings.h"
#include "audit/audittexts.h"
#include "audit/trailchanges.h"
#include "core/context.h"
#include "support/fakes.h"

namespace {

// The program's side: the archive of the user's settings found in the mode,
// a changed setting recorded with its reason (none given: left unchanged),
// and a data file changed after its read-out warned about and recorded.
TEST(ProgramRecords, ChangesAndChangedFilesGoIntoTheTrail) {
    QTemporaryDir dir;
    AppContext ctx;
    ctx.folders.settingsFolder = dir.filePath("settings");
    ctx.folders.documentsFolder = dir.filePath("documents");
    QDir().mkpath(ctx.folders.settingsFolder);
    QDir().mkpath(ctx.folders.documentsFolder);
    fakes::ScriptedMessages messages;
    ctx.messages = &messages;
    {
        ArchiveFailure f;
        auto a = archive::openArchive(archive::defaultArchiveLocation(ctx.folders), f);
        QString error;
        Records r(*a, *createKey(ctx.folders.settingsFolder, error), ProgramRecords::origin());
        ASSERT_FALSE(
            r.switchOn({QStringLiteral("admin"), QStringLiteral("admin"), Role::Admin}, QStringLiteral("admin-pass1")));
    }
    ProgramRecords program(ctx.folders);
    QString why;
    ASSERT_EQ(program.open(why), ProgramRecords::Opened::On) << why.toStdString();
    ArchiveFailure f;
    program.signedIn(*program.records().user(QStringLiteral("admin"), f));

    std::deque<std::optional<QString>> reasons{QString(), QStringLiteral("校正のため"), std::nullopt};
    TrailChanges changes(ctx, program, [&reasons](const QString&) {
        const std::optional<QString> r = reasons.front();
        reasons.pop_front();
        return r;
    });
    EXPECT_TRUE(changes.settingChanging(QStringLiteral("ΔH/R"), QStringLiteral("10000.0"), QStringLiteral("9500.0")));
    EXPECT_EQ(messages.texts(), QStringList{text(kReasonNeeded)});
    EXPECT_FALSE(changes.settingChanging(QStringLiteral("ΔH/R"), QStringLiteral("9500.0"), QStringLiteral("9000.0")));

    // A read-out saved, imported, then its file changed.
    filetest::Block b;
    const QString file = dir.filePath("r.ql6");
    filetest::writeBytes(file, filetest::fileBytes({b}));
    const archive::FileReadout r = archive::readoutFromFile(file, archive::thisComputer({}));
    ASSERT_NE(program.archive().import(r.readout).outcome, archive::ImportOutcome::Failed);
    changes.dataFileOpened(file);  // as it was: nothing to say
    b.samples[0] += 1;
    filetest::writeBytes(file, filetest::fileBytes({b}));
    changes.dataFileOpened(file);
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].title, text(kFileMismatch));

    QStringList trail;
    for (const AuditEntry& e : program.records().entries({}, f))
        if (e.seq > 2)
            trail << e.user + " " + e.action + " " + e.object + " " + e.oldValue.left(7) + " → " + e.newValue.left(7) +
                         " " + e.reason;
    EXPECT_EQ(trail, QStringList({"admin setting-change ΔH/R 10000.0 → 9500.0 校正のため",
                                  "admin file-mismatch " + file + " sha256: → sha256: "}));
    EXPECT_TRUE(program.records().check());
}

}  // namespace
