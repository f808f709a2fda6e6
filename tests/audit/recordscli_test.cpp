// quillet-cli in electronic records mode, from end to end on the simulated
// logger: the administrator switches it on, an operator reads a logger,
// writes its settings and signs a report as 作成, a QA user signs it as 確認
// and 承認; the trail holds all of it; a byte changed in the database is
// found by archive verify at its entry.
#include "support/simprocess.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

const QString kCli = QStringLiteral(QUILLET_BUILD_DIR "/tools/cli/quillet-cli");

struct CliResult {
    int exitCode = -1;
    QString out;
    QString err;
};

// quillet-cli in home with the password lines on standard input.
CliResult cli(const QString& home, const QStringList& args, const QByteArray& input = {}) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home);
    env.insert("XDG_CONFIG_HOME", home + "/config");
    env.insert("XDG_DATA_HOME", home + "/data");
    env.insert("QUILLET_TEST_PASSWORD_COST", "1");
    p.setProcessEnvironment(env);
    p.start(kCli, args);
    p.write(input);
    p.closeWriteChannel();
    CliResult r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QString archiveOf(const QString& home) {
    QStringList found;
    for (const QString& f : {home + "/Documents", home}) {
        QDir d(f);
        if (!d.exists()) continue;
        QStringList stack{f};
        while (!stack.isEmpty()) {
            QDir dir(stack.takeLast());
            for (const QFileInfo& i : dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
                if (i.isDir()) stack << i.filePath();
                if (i.fileName() == "quillet-archive.sqlite") return i.filePath();
            }
        }
    }
    return {};
}

TEST(RecordsCli, AWorkingDayOfOperatorAndQualityAssuranceEndsInAVerifiedTrail) {
    QTemporaryDir dir;
    const QString home = dir.filePath("home");
    QDir().mkpath(home);
    quillet::fakes::SimProcess sim({"--model", "4", "--records", "200", "--card", "5", "--test", "12"});
    ASSERT_FALSE(sim.devicePath().isEmpty());
    const QString file = dir.filePath("r1.ql6");

    struct Step {
        const char* what;
        QStringList args;
        QByteArray input;
        int exitCode;
        const char* says;  // in stdout or stderr
    };
    const std::vector<Step> steps{
        {"the mode switched on",
         {"audit", "init", "--admin", "admin", "--name", "管理 太郎", "--password-stdin"},
         "admin-pass1\n",
         0,
         "電子記録モードを開始しました"},
        {"a password without a digit refused",
         {"audit", "user", "add", "x", "--role", "operator", "--user", "admin", "--password-stdin"},
         "admin-pass1\nnodigitshere\n",
         1,
         "8 文字以上"},
        {"an operator added",
         {"audit", "user", "add", "op", "--role", "operator", "--name", "作業 花子", "--user", "admin",
          "--password-stdin"},
         "admin-pass1\nop-pass123\n",
         0,
         "ユーザー op (作業者) を追加しました"},
        {"a QA user added",
         {"audit", "user", "add", "qa", "--role", "qa", "--name", "品質 次郎", "--user", "admin", "--password-stdin"},
         "admin-pass1\nqa-pass123\n",
         0,
         "品質保証"},
        {"an operator may not add users",
         {"audit", "user", "add", "y", "--role", "viewer", "--user", "op", "--password-stdin"},
         "op-pass123\nyy-pass123\n",
         1,
         "この操作はできません"},
        {"a read-out without a user refused", {"read", "--device", sim.devicePath(), "--out", file}, {}, 1, "--user"},
        {"a read-out with a wrong password refused",
         {"read", "--device", sim.devicePath(), "--out", file, "--user", "op", "--password-stdin"},
         "wrong-pass1\n",
         1,
         "パスワードが違います"},
        {"the operator reads the logger",
         {"read", "--device", sim.devicePath(), "--out", file, "--user", "op", "--password-stdin"},
         "op-pass123\n",
         0,
         "保存しました"},
        {"the operator writes its settings",
         {"set", "--device", sim.devicePath(), "--alarm1", "30/5", "--force", "--user", "op", "--password-stdin"},
         "op-pass123\n",
         0,
         "書き込み"},
        {"the operator signs as 作成",
         {"report", file, "--pdf", dir.filePath("a.pdf"), "--sign", "作成", "--user", "op", "--password-stdin"},
         "op-pass123\n",
         0,
         "作成 として署名しました"},
        {"the operator may not sign as 確認",
         {"report", file, "--pdf", dir.filePath("b.pdf"), "--sign", "確認", "--user", "op", "--password-stdin"},
         "op-pass123\n",
         1,
         "署名できませんでした"},
        {"QA signs as 確認",
         {"report", file, "--pdf", dir.filePath("c.pdf"), "--sign", "確認", "--user", "qa", "--password-stdin"},
         "qa-pass123\n",
         0,
         "確認 として署名しました"},
        {"QA signs as 承認",
         {"report", file, "--pdf", dir.filePath("d.pdf"), "--sign", "承認", "--user", "qa", "--password-stdin"},
         "qa-pass123\n",
         0,
         "承認 として署名しました"},
        {"an operator may not read the trail",
         {"audit", "list", "--user", "op", "--password-stdin"},
         "op-pass123\n",
         1,
         "この操作はできません"},
        {"the chain holds", {"archive", "verify"}, {}, 0, "改ざんされていません"},
    };
    for (const Step& s : steps) {
        const CliResult r = cli(home, s.args, s.input);
        EXPECT_EQ(r.exitCode, s.exitCode) << s.what << "\n" << r.out.toStdString() << r.err.toStdString();
        EXPECT_TRUE((r.out + r.err).contains(QString::fromUtf8(s.says))) << s.what << "\n"
                                                                         << r.out.toStdString() << r.err.toStdString();
    }

    // The trail as QA sees it: every step with its user, and the settings
    // write with what the logger held and what it got.
    const CliResult list = cli(home, {"audit", "list", "--json", "--user", "qa", "--password-stdin"}, "qa-pass123\n");
    ASSERT_EQ(list.exitCode, 0) << list.err.toStdString();
    const QJsonObject trail = QJsonDocument::fromJson(list.out.toUtf8()).object();
    EXPECT_TRUE(trail["check"].toObject()["ok"].toBool());
    QStringList actions;
    QJsonObject settingsWrite;
    for (const QJsonValue v : trail["entries"].toArray()) {
        const QJsonObject e = v.toObject();
        if (e["action"].toString() == "sign-in") continue;
        actions << e["user"].toString() + " " + e["action"].toString();
        if (e["action"].toString() == "settings-write") settingsWrite = e;
    }
    EXPECT_EQ(actions,
              QStringList({"admin mode-on", "admin user-add", "admin user-add", "admin user-add", "op sign-in-failed",
                           "op read-out", "op settings-write", "op report-sign", "op report-print", "qa report-sign",
                           "qa report-print", "qa report-sign", "qa report-print"}));
    EXPECT_TRUE(settingsWrite["old"].toString().contains("カード-テスト 005-012"))
        << settingsWrite["old"].toString().toStdString();
    EXPECT_FALSE(settingsWrite["old"].toString().contains("CH1 上限/下限 30/5"));
    EXPECT_TRUE(settingsWrite["new"].toString().contains("CH1 上限/下限 30/5"))
        << settingsWrite["new"].toString().toStdString();

    // One byte of one entry changed in the database file: verify names it.
    const QString db = archiveOf(home);
    ASSERT_FALSE(db.isEmpty());
    sqlite3* h = nullptr;
    ASSERT_EQ(sqlite3_open(db.toUtf8().constData(), &h), SQLITE_OK);
    sqlite3_exec(h, "DROP TRIGGER audit_entry_no_update", nullptr, nullptr, nullptr);
    ASSERT_EQ(
        sqlite3_exec(
            h, "UPDATE audit_entry SET new_value = replace(new_value, '30/5', '30/6') WHERE action = 'settings-write'",
            nullptr, nullptr, nullptr),
        SQLITE_OK);
    std::string seq;
    sqlite3_exec(
        h, "SELECT seq FROM audit_entry WHERE action = 'settings-write'",
        [](void* out, int, char** values, char**) {
            *static_cast<std::string*>(out) = values[0];
            return 0;
        },
        &seq, nullptr);
    sqlite3_close(h);
    const CliResult verify = cli(home, {"archive", "verify"});
    EXPECT_EQ(verify.exitCode, 1);
    EXPECT_TRUE(verify.out.contains(QString("第 %1 件が変更されています").arg(QString::fromStdString(seq))))
        << verify.out.toStdString();
}

}  // namespace
