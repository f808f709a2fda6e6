// quillet-cli audit ...: electronic records mode headless: switching it on,
// the users, the trail.
#include "archive/importer.h"
#include "audit/audittexts.h"
#include "audit/programrecords.h"
#include "tools/cli/archiveoptions.h"
#include "tools/cli/clitexts_records.h"
#include "tools/cli/recordsgate.h"

#include <QDateTime>
#include <QTimeZone>

namespace quillet::cli {

using namespace quillet::audit;
using archive::ArchiveFailure;

namespace {

const QString kDb = QStringLiteral("--db");

int runInit(AppContext& ctx, const Arguments& a) {
    const QString id = a.value("--admin");
    if (id.isEmpty()) {
        err() << "quillet-cli: usage: quillet-cli audit init --admin ID [--name TEXT] [--password-stdin] [--db DB]\n";
        return kExitUsage;
    }
    const std::unique_ptr<archive::Archive> archive = openFromOptions(ctx, a, archive::OpenMode::Create);
    if (!archive) return kExitFailed;
    ArchiveFailure f;
    if (modeIsOn(*archive, f)) {
        err() << "quillet-cli: " << text::records::kModeAlreadyOn << "\n";
        return kExitFailed;
    }
    if (f) return archiveFailed(f, *archive);
    const QString password = passwordLine(a, 1, QString(text::records::kNewPasswordPrompt).arg(id));
    if (!passwordAcceptable(password)) {
        err() << "quillet-cli: " << text::records::kPasswordRule << "\n";
        return kExitFailed;
    }
    QString where;
    const std::optional<ChainKey> key = createKey(ctx.folders.settingsFolder, where);
    if (!key) {
        err() << "quillet-cli: " << audit::text(audit::kNoKey).arg(where) << "\n";
        return kExitFailed;
    }
    Records records(*archive, *key, ProgramRecords::origin());
    User admin{id, a.has("--name") ? a.value("--name") : id, Role::Admin};
    if ((f = records.switchOn(admin, password))) return archiveFailed(f, *archive);
    out() << QString(text::records::kModeOn)
                 .arg(archive->location(), id, keyFileOf(ctx.folders.settingsFolder, key->id()))
          << "\n";
    return kExitOk;
}

int runUserAdd(AppContext& ctx, const Arguments& a) {
    const std::optional<Role> role = roleOfWord(a.value("--role"));
    if (!role) {
        err() << "quillet-cli: " << text::records::kBadRole << "\n";
        return kExitUsage;
    }
    RecordsSession s;
    if (int code = openRecords(ctx, a, Permission::ManageUsers, s); code != kExitOk) return code;
    if (!s.on()) {
        err() << "quillet-cli: " << text::records::kModeOff << "\n";
        return kExitFailed;
    }
    const QString id = a.positional[0];
    const QString password = passwordLine(a, 2, QString(text::records::kNewPasswordPrompt).arg(id));
    if (!passwordAcceptable(password)) {
        err() << "quillet-cli: " << text::records::kPasswordRule << "\n";
        return kExitFailed;
    }
    const User u{id, a.has("--name") ? a.value("--name") : id, *role};
    if (const ArchiveFailure f = s.records->addUser(s.user.id, u, password)) return archiveFailed(f, *s.archive);
    out() << QString(text::records::kUserAdded).arg(id, roleText(*role)) << "\n";
    return kExitOk;
}

int runLock(AppContext& ctx, const Arguments& a, bool lock) {
    RecordsSession s;
    if (int code = openRecords(ctx, a, Permission::ManageUsers, s); code != kExitOk) return code;
    if (!s.on()) {
        err() << "quillet-cli: " << text::records::kModeOff << "\n";
        return kExitFailed;
    }
    const QString id = a.positional[0];
    if (const ArchiveFailure f = s.records->setLocked(s.user.id, id, lock, a.value("--reason")))
        return archiveFailed(f, *s.archive);
    out() << QString(lock ? text::records::kUserLocked : text::records::kUserUnlocked).arg(id) << "\n";
    return kExitOk;
}

QString localTime(qint64 utc) {
    return QDateTime::fromSecsSinceEpoch(utc, QTimeZone::systemTimeZone())
        .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

int runList(AppContext& ctx, const Arguments& a) {
    archive::Period period;
    if (!periodFromOptions(a, period)) return kExitUsage;
    RecordsSession s;
    if (int code = openRecords(ctx, a, Permission::ViewTrail, s); code != kExitOk) return code;
    if (!s.on()) {
        err() << "quillet-cli: " << text::records::kModeOff << "\n";
        return kExitFailed;
    }
    EntryFilter filter;
    if (a.has("--from")) filter.fromUtc = period.fromUtc;
    if (a.has("--to")) filter.toUtc = period.toUtc;
    if (a.has("--who")) filter.user = a.value("--who");
    const ChainCheck check = s.records->check();
    ArchiveFailure f;
    const std::vector<AuditEntry> entries = s.records->entries(filter, f);
    if (f) return archiveFailed(f, *s.archive);
    if (a.has("--json")) {
        out() << "{\"check\": {\"ok\": " << (check ? "true" : "false") << ", \"entry\": " << check.entry
              << ", \"text\": " << jsonString(chainCheckText(check)) << "},\n \"entries\": [";
        for (size_t i = 0; i < entries.size(); ++i) {
            const AuditEntry& e = entries[i];
            out() << (i ? ",\n  " : "\n  ") << "{\"seq\": " << e.seq << ", \"utc\": " << e.utc
                  << ", \"time\": " << jsonString(localTime(e.utc)) << ", \"host\": " << jsonString(e.host)
                  << ", \"user\": " << jsonString(e.user) << ", \"action\": " << jsonString(e.action)
                  << ", \"object\": " << jsonString(e.object) << ", \"old\": " << jsonString(e.oldValue)
                  << ", \"new\": " << jsonString(e.newValue) << ", \"reason\": " << jsonString(e.reason)
                  << ", \"code\": " << jsonString(QString::fromLatin1(e.code)) << "}";
        }
        out() << "\n]}\n";
    } else {
        out() << text::records::kChainOk << chainCheckText(check) << "\n";
        for (const AuditEntry& e : entries) {
            out() << e.seq << "  " << localTime(e.utc) << "  " << e.host << "  " << e.user << "  "
                  << actionText(e.action) << "  " << e.object;
            if (!e.oldValue.isEmpty() || !e.newValue.isEmpty()) out() << "  " << e.oldValue << " → " << e.newValue;
            if (!e.reason.isEmpty()) out() << "  理由: " << e.reason;
            out() << "\n";
        }
    }
    out().flush();
    return check ? kExitOk : kExitFailed;
}

}  // namespace

std::vector<Subcommand> auditSubcommands() {
    const QString user = kUserOption;
    const QString stdinFlag = kPasswordStdin;
    return {
        {QStringLiteral("audit init"),
         QStringLiteral("audit init --admin ID [--name TEXT] [--password-stdin] [--db DB]"),
         QStringLiteral("アーカイブの電子記録モードを開始します。最初の管理者 ID を作り (パスワードは端末で\n"
                        "入力するか、--password-stdin で標準入力の 1 行目から渡します)、監査証跡の鍵ファイルを\n"
                        "この PC の設定フォルダーに作ります。鍵ファイルはバックアップし、同じアーカイブを使う\n"
                        "ほかの PC にもコピーしてください。"),
         {kDb, QStringLiteral("--admin"), QStringLiteral("--name")},
         0,
         runInit,
         {stdinFlag}},
        {QStringLiteral("audit user add"),
         QStringLiteral("audit user add ID --role admin|qa|operator|viewer [--name TEXT] --user ADMIN "
                        "[--password-stdin] [--db DB]"),
         QStringLiteral("ユーザーを追加します (管理者のみ)。--password-stdin では標準入力の 1 行目が管理者の、\n"
                        "2 行目が新しいユーザーのパスワードです。パスワードは 8 文字以上で数字を含みます。"),
         {kDb, user, QStringLiteral("--role"), QStringLiteral("--name")},
         1,
         runUserAdd,
         {stdinFlag}},
        {QStringLiteral("audit user lock"),
         QStringLiteral("audit user lock ID --user ADMIN [--reason TEXT] [--password-stdin] [--db DB]"),
         QStringLiteral("ユーザーをロックします (管理者のみ)。"),
         {kDb, user, QStringLiteral("--reason")},
         1,
         [](AppContext& ctx, const Arguments& a) { return runLock(ctx, a, true); },
         {stdinFlag}},
        {QStringLiteral("audit user unlock"),
         QStringLiteral("audit user unlock ID --user ADMIN [--reason TEXT] [--password-stdin] [--db DB]"),
         QStringLiteral("ユーザーのロックを解除します (管理者のみ)。"),
         {kDb, user, QStringLiteral("--reason")},
         1,
         [](AppContext& ctx, const Arguments& a) { return runLock(ctx, a, false); },
         {stdinFlag}},
        {QStringLiteral("audit list"),
         QStringLiteral("audit list [--from yyyy-mm-dd] [--to yyyy-mm-dd] [--who ID] [--json] --user ID "
                        "[--password-stdin] [--db DB]"),
         QStringLiteral("監査証跡を表示します (管理者と品質保証)。先頭に証跡の検証結果を示し、改ざんが\n"
                        "見つかったときは終了コード 1 で終わります。"),
         {kDb, user, QStringLiteral("--from"), QStringLiteral("--to"), QStringLiteral("--who")},
         0,
         runList,
         {stdinFlag, QStringLiteral("--json")}},
    };
}

}  // namespace quillet::cli
