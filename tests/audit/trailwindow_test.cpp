// The audit trail window's rows, CSV and print, and the settings dialog of
// electronic records mode driven offscreen: switched on, a user added and
// locked, the idle time changed, each with its entry in the trail.
#include "audit/audittexts.h"
#include "audit/trailtable.h"
#include "audit/ui/audittrailwindow.h"
#include "audit/ui/recordssettingsdialog.h"
#include "print/pdfprinter.h"
#include "support/fakes.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::audit;

namespace {

void ensureApplication() {
    if (QApplication::instance()) return;
    static int argc = 1;
    static char name[] = "tests_audit";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);  // lives for the whole run
}

QString u8(const char* s) { return QString::fromUtf8(s); }

const QTimeZone kTokyo(9 * 3600);

std::vector<AuditEntry> someEntries() {
    return {
        {1,
         1'800'000'000,
         u8("pc1"),
         u8("admin"),
         u8(action::kUserAdd),
         u8("op"),
         {},
         u8("operator 作業 花子"),
         {},
         {}},
        {2,
         1'800'000'061,
         u8("pc1"),
         u8("admin"),
         u8(action::kSettingChange),
         u8("idle-minutes"),
         u8("15"),
         u8("30"),
         u8("夜勤, \"交代\"\n後"),
         {}},
        {10, 1'800'000'061, u8("倉庫PC"), u8("op"), u8("x-new"), u8("a,b"), {}, {}, {}, {}},
    };
}

TEST(TrailTable, CellsOfEachColumn) {
    const AuditEntry e = someEntries()[1];
    const struct {
        int column;
        const char* head;
        const char* text;
    } rows[] = {
        {0, "番号", "2"},
        {1, "日時", "2027-01-15 17:01:01"},
        {2, "PC", "pc1"},
        {3, "ユーザー", "admin"},
        {4, "操作", "設定変更"},
        {5, "対象", "idle-minutes"},
        {6, "変更前", "15"},
        {7, "変更後", "30"},
        {8, "理由", "夜勤, \"交代\"\n後"},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(trailColumnHead(r.column), u8(r.head)) << r.column;
        EXPECT_EQ(trailCellText(e, r.column, kTokyo), u8(r.text)) << r.column;
    }
    // An action the program does not know is shown as its word.
    EXPECT_EQ(trailCellText(someEntries()[2], 4, kTokyo), u8("x-new"));
}

TEST(TrailTable, TidyCsvBytes) {
    const QByteArray expected =
        QByteArray("\xEF\xBB\xBF") +
        u8("番号,日時,日時(UTC),PC,ユーザー,操作,対象,変更前,変更後,理由\r\n"
           "1,2027-01-15 17:00:00,2027-01-15T08:00:00Z,pc1,admin,ユーザー追加,op,,operator 作業 花子,\r\n"
           "2,2027-01-15 17:01:01,2027-01-15T08:01:01Z,pc1,admin,設定変更,idle-minutes,15,30,\"夜勤, "
           "\"\"交代\"\"\n後\"\r\n"
           "10,2027-01-15 17:01:01,2027-01-15T08:01:01Z,倉庫PC,op,x-new,\"a,b\",,,\r\n")
            .toUtf8();
    EXPECT_EQ(trailCsvBytes(someEntries(), kTokyo).toStdString(), expected.toStdString());
    EXPECT_EQ(
        trailCsvBytes({}, kTokyo),
        QByteArray("\xEF\xBB\xBF") + u8("番号,日時,日時(UTC),PC,ユーザー,操作,対象,変更前,変更後,理由\r\n").toUtf8());
}

TEST(TrailTable, FilterOfLocalDays) {
    TrailFilter f = lastDaysFilter(QDate(2027, 1, 30));
    EXPECT_EQ(f.from, QDate(2027, 1, 1));
    const EntryFilter e = entryFilterOf(f, kTokyo);
    EXPECT_EQ(*e.fromUtc, QDateTime(QDate(2026, 12, 31), QTime(15, 0), QTimeZone::utc()).toSecsSinceEpoch());
    EXPECT_EQ(*e.toUtc, QDateTime(QDate(2027, 1, 30), QTime(14, 59, 59), QTimeZone::utc()).toSecsSinceEpoch());
    EXPECT_FALSE(e.user);
    EXPECT_EQ(trailFilterText(f), u8("期間: 2027-01-01 〜 2027-01-30　ユーザー: すべて　操作: すべて"));
    f.user = u8("op");
    f.action = u8(action::kUserLock);
    EXPECT_EQ(trailFilterText(f), u8("期間: 2027-01-01 〜 2027-01-30　ユーザー: op　操作: ユーザーロック"));
}

TEST(TrailTable, PrintRunsOverPages) {
    ensureApplication();
    fakes::TestContext t;
    std::vector<AuditEntry> many;
    for (int i = 1; i <= 150; ++i) {
        AuditEntry e = someEntries()[size_t(i % 2)];
        e.seq = i;
        many.push_back(e);
    }
    const QString file = t.root + "/trail.pdf";
    PdfPrintControl pdf(file);
    const int pages = printTrail(t.ctx, pdf, {many, u8("監査証跡は改ざんされていません"), u8("期間: ..."), kTokyo});
    EXPECT_GT(pages, 1);
    EXPECT_TRUE(QFile::exists(file));
    EXPECT_TRUE(t.messages.shown.empty()) << t.messages.texts().join('\n').toStdString();
}

TEST(RecordsSetup, UserFormRefusals) {
    const struct {
        const char* id;
        const char* password;
        const char* repeated;
        FormProblem problem;
    } rows[] = {
        {"", "pass1234", "pass1234", FormProblem::NoId},
        {"  ", "pass1234", "pass1234", FormProblem::NoId},
        {"a b", "pass1234", "pass1234", FormProblem::IdWithBlank},
        {"op", "pass123", "pass123", FormProblem::PasswordRule},
        {"op", "password", "password", FormProblem::PasswordRule},
        {"op", "pass1234", "pass1235", FormProblem::PasswordMismatch},
        {"op", "pass1234", "pass1234", FormProblem::None},
    };
    for (const auto& r : rows)
        EXPECT_EQ(checkUserForm({u8(r.id), {}, Role::Operator, u8(r.password), u8(r.repeated)}), r.problem) << r.id;
}

class RecordsDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ensureApplication();
        qputenv("QUILLET_TEST_PASSWORD_COST", "1");
    }
    fakes::TestContext t;
    ProgramRecords records{t.ctx.folders};

    std::vector<AuditEntry> entriesOf(const char* action) {
        archive::ArchiveFailure f;
        EntryFilter filter;
        filter.action = u8(action);
        auto out = records.records().entries(filter, f);
        EXPECT_FALSE(f) << f.detail.toStdString();
        return out;
    }
    int rowOf(RecordsSettingsDialog& d, const QString& id) {
        for (int r = 0; r < d.users->rowCount(); ++r)
            if (d.users->item(r, 0)->text() == id) return r;
        return -1;
    }
    // Switched on through the dialog's fields by "admin".
    void switchOn(RecordsSettingsDialog& d) {
        d.adminId->setText(u8("admin"));
        d.adminName->setText(u8("管理 太郎"));
        d.adminPassword->setText(u8("admin-pass1"));
        d.adminRepeated->setText(u8("admin-pass1"));
        d.switchOnButton->click();
        ASSERT_TRUE(records.on()) << t.messages.texts().join('\n').toStdString();
    }
};

TEST_F(RecordsDialogTest, SwitchOnAddLockAndIdleTimeLeaveTheirEntries) {
    RecordsSettingsDialog d(t.ctx, records, nullptr);
    ASSERT_NE(d.adminId, nullptr);
    // The passwords must match before anything is made.
    d.adminId->setText(u8("admin"));
    d.adminPassword->setText(u8("admin-pass1"));
    d.adminRepeated->setText(u8("admin-pass2"));
    d.switchOnButton->click();
    EXPECT_FALSE(records.on());
    EXPECT_EQ(t.messages.shown.back().text, text(kPasswordMismatch));

    switchOn(d);
    EXPECT_EQ(records.user()->id, u8("admin"));
    const QString keyMessage = t.messages.shown.back().text;
    archive::ArchiveFailure f;
    const QString keyFile = keyFileOf(t.ctx.folders.settingsFolder, keyIdOf(records.archive(), f));
    EXPECT_TRUE(keyMessage.contains(keyFile)) << keyMessage.toStdString();
    EXPECT_TRUE(QFile::exists(keyFile));
    // The next start finds the mode on with this PC's key.
    QString why;
    ProgramRecords again(t.ctx.folders);
    EXPECT_EQ(again.open(why), ProgramRecords::Opened::On) << why.toStdString();
    ASSERT_NE(d.users, nullptr);
    EXPECT_EQ(d.users->rowCount(), 1);

    // Additions refused with their reason, then one that is done.
    const struct {
        const char* id;
        const char* password;
        const char* repeated;
        QString told;
    } additions[] = {
        {"admin", "op-pass12", "op-pass12", text(kUserIdTaken).arg(u8("admin"))},
        {"op", "short1", "short1", text(kPasswordRule)},
        {"op", "op-pass12", "op-pass13", text(kPasswordMismatch)},
        {"op", "op-pass12", "op-pass12", {}},
    };
    for (const auto& a : additions) {
        const size_t before = t.messages.shown.size();
        const bool added = d.addUser({u8(a.id), u8("作業 花子"), Role::Operator, u8(a.password), u8(a.repeated)});
        EXPECT_EQ(added, a.told.isEmpty()) << a.id;
        if (!a.told.isEmpty()) {
            ASSERT_EQ(t.messages.shown.size(), before + 1);
            EXPECT_EQ(t.messages.shown.back().text, a.told);
        }
    }
    ASSERT_EQ(d.users->rowCount(), 2);

    // Lock: the administrator's own row is refused before a reason is asked.
    QStringList asked;
    std::deque<std::optional<QString>> reasons{u8("退職"), u8("夜勤に合わせる")};
    d.askReason = [&](const QString& what) {
        asked << what;
        const std::optional<QString> r = reasons.front();
        reasons.pop_front();
        return r;
    };
    d.users->selectRow(rowOf(d, u8("admin")));
    EXPECT_FALSE(d.setLocked(true));
    EXPECT_EQ(t.messages.shown.back().text, text(kLockSelf));
    EXPECT_TRUE(asked.isEmpty());
    d.users->selectRow(rowOf(d, u8("op")));
    EXPECT_TRUE(d.setLocked(true));
    EXPECT_EQ(asked, QStringList{text(kLockWhat).arg(u8("op"))});
    EXPECT_EQ(d.users->item(rowOf(d, u8("op")), 3)->text(), text(kStateLocked));

    d.idleMinutes->setValue(30);
    EXPECT_TRUE(d.applyIdleMinutes());
    EXPECT_EQ(records.records().idleMinutes(), 30);

    const std::vector<AuditEntry> added = entriesOf(action::kUserAdd);
    ASSERT_EQ(added.size(), 2u);
    EXPECT_EQ(added[1].user, u8("admin"));
    EXPECT_EQ(added[1].object, u8("op"));
    EXPECT_EQ(added[1].newValue, u8("operator 作業 花子"));
    const std::vector<AuditEntry> locked = entriesOf(action::kUserLock);
    ASSERT_EQ(locked.size(), 1u);
    EXPECT_EQ(locked[0].user, u8("admin"));
    EXPECT_EQ(locked[0].object, u8("op"));
    EXPECT_EQ(locked[0].oldValue + " → " + locked[0].newValue, u8("有効 → ロック中"));
    EXPECT_EQ(locked[0].reason, u8("退職"));
    const std::vector<AuditEntry> idle = entriesOf(action::kSettingChange);
    ASSERT_EQ(idle.size(), 1u);
    EXPECT_EQ(idle[0].oldValue + " → " + idle[0].newValue, u8("15 → 30"));
    EXPECT_EQ(idle[0].reason, u8("夜勤に合わせる"));
    EXPECT_TRUE(records.records().check());

    // What is refused whatever the reason.
    const struct {
        const char* id;
        bool lock;
        QString told;
    } refusals[] = {
        {"admin", true, text(kLockSelf)},
        {"op", true, text(kAlreadyLocked).arg(u8("op"))},
        {"admin", false, text(kNotLocked).arg(u8("admin"))},
        {"nobody", true, text(kUnknownUser).arg(u8("nobody"))},
    };
    for (const auto& r : refusals) EXPECT_EQ(lockRecordsUser(records, u8(r.id), r.lock, u8("理由")), r.told) << r.id;
    EXPECT_EQ(lockRecordsUser(records, u8("op"), false, u8("  ")), text(kReasonNeeded));
}

TEST_F(RecordsDialogTest, TrailWindowFiltersPrintsAndExports) {
    {
        RecordsSettingsDialog d(t.ctx, records, nullptr);
        switchOn(d);
        ASSERT_TRUE(d.addUser({u8("op"), {}, Role::Operator, u8("op-pass12"), u8("op-pass12")}));
    }
    AuditTrailWindow w(t.ctx, records, nullptr);
    EXPECT_TRUE(w.check());
    EXPECT_EQ(w.checkResult->text(), chainCheckText(w.check()));
    EXPECT_EQ(w.model().rowCount(), 3);  // mode-on, user-add admin, user-add op
    EXPECT_EQ(w.user->count(), 3);       // すべて, admin, op

    w.action->setCurrentIndex(w.action->findData(u8(action::kUserAdd)));
    w.user->setCurrentIndex(w.user->findData(u8("admin")));
    w.refill();
    ASSERT_EQ(w.model().rowCount(), 2);
    EXPECT_EQ(w.model().data(w.model().index(1, 5), Qt::DisplayRole).toString(), u8("op"));

    // A reversed period is refused and the table kept.
    w.from->setDate(w.to->date().addDays(1));
    w.refill();
    EXPECT_EQ(t.messages.shown.back().text, text(kTrailPeriodReversed));
    EXPECT_EQ(w.model().rowCount(), 2);

    const QString csv = t.root + "/trail.csv";
    t.dialogs.answers.push_back(csv);
    w.exportCsv();
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(bytes.count("\r\n"), 3);

    const QString pdfFile = t.root + "/trail.pdf";
    PdfPrintControl pdf(pdfFile);
    PrintControl* const printer = t.ctx.printer;
    t.ctx.printer = &pdf;
    w.print();
    t.ctx.printer = printer;
    EXPECT_TRUE(QFile::exists(pdfFile));

    const std::vector<AuditEntry> exported = entriesOf(action::kExport);
    ASSERT_EQ(exported.size(), 1u);
    EXPECT_EQ(exported[0].object, csv);
    EXPECT_TRUE(exported[0].newValue.startsWith(u8("監査証跡 CSV 2 件"))) << exported[0].newValue.toStdString();
    const std::vector<AuditEntry> printed = entriesOf(action::kReportPrint);
    ASSERT_EQ(printed.size(), 1u);
    EXPECT_EQ(printed[0].object, text(kTrailTitle));
    EXPECT_TRUE(records.records().check());
}

}  // namespace
