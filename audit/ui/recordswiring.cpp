#include "audit/ui/recordswiring.h"

#include "archive/archivesettings.h"
#include "archive/importer.h"
#include "audit/audittexts.h"
#include "audit/readoutrecorder.h"
#include "audit/reportsigning.h"
#include "audit/trailchanges.h"
#include "audit/ui/audittrailwindow.h"
#include "audit/ui/recordssettingsdialog.h"
#include "audit/ui/signindialog.h"
#include "core/context.h"
#include "core/store.h"
#include "core/ui/mainwindow.h"
#include "datafile/fileops.h"
#include "loggerset/settingrules.h"
#include "loggerset/settingssummary.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFormLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include <array>

namespace quillet::audit {

using archive::ArchiveFailure;

namespace {

void tell(QWidget* parent, const QString& title, const QString& message,
          QMessageBox::Icon icon = QMessageBox::Warning) {
    QMessageBox box(icon, title, message, QMessageBox::Ok, parent);
    box.exec();
}

// Asks until a user signs in (fixedId: that user only); false for Cancel.
bool askSignIn(ProgramRecords& records, QWidget* parent, const QString& title, const QString& note,
               const QString& fixedId) {
    for (;;) {
        SignInDialog dialog(title, note, fixedId, parent);
        const std::optional<Credentials> c = dialog.ask();
        if (!c) return false;
        const SignInResult r = records.records().signIn(c->id, c->password);
        if (r.outcome == SignInOutcome::SignedIn) {
            records.signedIn(r.user);
            return true;
        }
        tell(parent, title, signInText(r, c->id));
    }
}

// What each command of the main window needs of the user's role.
Permission permissionOf(Command c) {
    switch (c) {
    case Command::ReadLogger:
    case Command::RecordingSettings:
    case Command::ReadAll:
    case Command::SearchPort:
    case Command::ChoosePort:
    case Command::Usual:
    case Command::UsualSettings:
    case Command::Save:
    case Command::SaveAs:
    case Command::Insert:
    case Command::DeleteChannels:
    case Command::DeleteChannel:
    case Command::DeleteAll:
    case Command::ArchiveImport: return Permission::ReadLogger;
    case Command::SettingCharacters:
    case Command::ArchiveSettings: return Permission::ChangeSettings;
    case Command::AuditTrail: return Permission::ViewTrail;
    case Command::RecordsSettings: return Permission::ManageUsers;
    default: return Permission::View;
    }
}

// The trail's changes, with the reason asked in an input box, and every
// saved read-out into the trail after the archive's import; as long as the
// window lives.
class ProgramChanges : public QObject {
public:
    ProgramChanges(AppContext& ctx, ProgramRecords& records, ReadoutSink* inner, QWidget* parent)
        : QObject(parent),
          ctx_(ctx),
          changes_(ctx, records,
                   [parent](const QString& what) -> std::optional<QString> {
                       bool ok = false;
                       const QString reason = QInputDialog::getText(
                           parent, text(kReasonTitle), text(kReasonPrompt).arg(what), QLineEdit::Normal, {}, &ok);
                       if (!ok) return std::nullopt;
                       return reason;
                   }),
          recorder_(inner, [&records](const QString& object, const QString& value) {
              records.record(action::kReadout, object, {}, value);
          }) {
        ctx_.changes = &changes_;
        ctx_.dataFiles->readoutSink = &recorder_;
    }
    ~ProgramChanges() override {
        if (ctx_.changes == &changes_) ctx_.changes = nullptr;
        if (ctx_.dataFiles->readoutSink == &recorder_) ctx_.dataFiles->readoutSink = recorder_.inner();
    }

private:
    AppContext& ctx_;
    TrailChanges changes_;
    ReadoutRecorder recorder_;
};

// Notes the user's last keystroke or click; after the idle time the
// password is asked again.
class IdleWatch : public QObject {
public:
    IdleWatch(ProgramRecords& records, QWidget* window) : QObject(window), records_(records), window_(window) {
        last_.start();
        qApp->installEventFilter(this);
        auto* timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [this] { check(); });
        timer->start(15000);
    }

    bool eventFilter(QObject* watched, QEvent* e) override {
        switch (e->type()) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::Wheel: last_.restart(); break;
        default: break;
        }
        return QObject::eventFilter(watched, e);
    }

private:
    void check() {
        if (asking_ || !records_.on() || !records_.user()) return;
        const int minutes = records_.records().idleMinutes();
        if (last_.elapsed() < qint64(minutes) * 60000) return;
        asking_ = true;
        const QString id = records_.user()->id;
        if (!askSignIn(records_, window_, text(kIdleTitle), text(kIdleNote).arg(minutes), id)) {
            // Another user, or nobody: then the program ends.
            records_.record(action::kSignOut, id, {}, {});
            records_.signedOut();
            if (!askSignIn(records_, window_, text(kSignInTitle), text(kSignInNote), {})) qApp->quit();
        }
        last_.restart();
        asking_ = false;
    }

    ProgramRecords& records_;
    QWidget* window_;
    QElapsedTimer last_;
    bool asking_ = false;
};

// The signature dialog of a report: the three boxes as signed so far, the
// meaning to sign as (those the role allows) and the password.
class SignatureDialog : public QDialog {
public:
    SignatureDialog(const std::array<QStringList, 3>& boxes, const User& user, QWidget* parent)
        : QDialog(parent), meaning_(new QComboBox), password_(new QLineEdit) {
        setObjectName(QStringLiteral("SignatureDialog"));
        setWindowTitle(text(kSignatureTitle));
        auto* layout = new QVBoxLayout(this);
        auto* note = new QLabel(text(kSignatureNote));
        note->setWordWrap(true);
        layout->addWidget(note);
        for (int i = 0; i < 3; ++i) {
            const QString meaning = meaningText(Meaning(i));
            layout->addWidget(new QLabel(boxes[size_t(i)].isEmpty()
                                             ? text(kUnsignedBox).arg(meaning)
                                             : text(kSignedBox).arg(meaning, boxes[size_t(i)].join(QLatin1Char(' ')))));
        }
        meaning_->addItem(text(kNoSignature), -1);
        for (int i = 0; i < 3; ++i)
            if (roleMay(user.role, permissionToSign(Meaning(i))))
                meaning_->addItem(text(kSignAs).arg(meaningText(Meaning(i))), i);
        password_->setEchoMode(QLineEdit::Password);
        auto* form = new QFormLayout;
        form->addRow(text(kUserIdLabel), new QLabel(user.id + QStringLiteral(" (") + user.name + QLatin1Char(')')));
        form->addRow(meaning_);
        form->addRow(text(kPasswordLabel), password_);
        layout->addLayout(form);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        layout->addWidget(buttons);
        if (meaning_->count() > 1) meaning_->setCurrentIndex(1);
        password_->setFocus();
    }
    std::optional<Meaning> meaning() const {
        const int m = meaning_->currentData().toInt();
        return m < 0 ? std::nullopt : std::optional<Meaning>(Meaning(m));
    }
    QString password() const { return password_->text(); }

private:
    QComboBox* meaning_;
    QLineEdit* password_;
};

// The read-out of the store's data file in the archive (imported when it
// is not there yet); its binding, or empty after the message.
QString storeBinding(AppContext& ctx, ProgramRecords& records, QWidget* parent) {
    const QString file = ctx.store.dataFileName;
    if (file.isEmpty() || holdsUnsavedData(ctx.store)) {
        tell(parent, text(kSignatureTitle), text(kSaveBeforeSigning));
        return {};
    }
    const QByteArray sha = fileSha256(file);
    ArchiveFailure f;
    if (!records.archive().readoutWithSha(sha, f) && !f) {
        const archive::ArchiveSettings settings =
            archive::loadArchiveSettings(archive::archiveSettingsFile(records.folders()));
        const archive::FileImport imported =
            archive::importFile(records.archive(), file, archive::thisComputer(settings.site));
        if (!imported.why.isEmpty()) {
            tell(parent, text(kSignatureTitle), text(kNotInArchive).arg(imported.why));
            return {};
        }
        records.record(action::kImport, file, {}, QStringLiteral("sha256:") + QString::fromLatin1(sha));
    }
    const QString binding = readoutBinding(records.archive(), sha, f);
    if (f) tell(parent, text(kSignatureTitle), text(kNotInArchive).arg(f.detail));
    return binding;
}

}  // namespace

bool signInAtStart(AppContext& ctx, ProgramRecords& records, QWidget* parent) {
    QString why;
    switch (records.open(why)) {
    case ProgramRecords::Opened::Off: return true;
    case ProgramRecords::Opened::Failed:
        // The mode cannot be known: the program starts as without it.
        tell(parent, text(kSignInTitle), text(kRecordsUnreadable).arg(why));
        return true;
    case ProgramRecords::Opened::NoKey: tell(parent, text(kSignInTitle), text(kNoKey).arg(why)); return false;
    case ProgramRecords::Opened::On: break;
    }
    (void)ctx;
    return askSignIn(records, parent, text(kSignInTitle), text(kSignInNote), {});
}

void wireRecords(MainWindow& window, AppContext& ctx, ProgramRecords& records, ReadoutSink* archiveOnSave) {
    window.commandGuard = [&window, &records](Command c) {
        if (records.may(permissionOf(c))) return true;
        const User* u = records.user() ? &*records.user() : nullptr;
        tell(&window, text(kRecordsTitle),
             text(kRoleRefused).arg(u ? u->id : QString(), u ? roleText(u->role) : QString()));
        return false;
    };
    new IdleWatch(records, &window);
    // Who is signed in, after every command (a new sign-in changes it).
    auto* who = new QLabel(&window);
    who->setObjectName(QStringLiteral("signedInLabel"));
    window.statusBar()->addPermanentWidget(who);
    const auto showWho = [who, &records] {
        who->setText(records.on() && records.user()
                         ? text(kSignedInWord).arg(records.user()->id, roleText(records.user()->role))
                         : QString());
    };
    showWho();
    QObject::connect(&window, &MainWindow::commandFinished, who, showWho);
    new ProgramChanges(ctx, records, archiveOnSave, &window);
    window.setCommand(Command::AuditTrail, [&window, &ctx, &records] {
        if (!records.on()) {
            tell(&window, text(kRecordsTitle), text(kModeIsOff));
            return;
        }
        AuditTrailWindow w(ctx, records, &window);
        w.exec();
    });
    window.setCommand(Command::RecordsSettings, [&window, &ctx, &records] {
        RecordsSettingsDialog w(ctx, records, &window);
        w.exec();
    });
    ctx.loggerSet->settingsWritten = [&records](const SettingsState& held, const SettingsState& written) {
        records.record(action::kSettingsWrite, QStringLiteral("ロガー モデル %1").arg(written.loggerModel()),
                       settingsStateText(held), settingsStateText(written));
    };
}

namespace {

// The boxes of a page bound to bindings, for a preview.
bool previewPage(ProgramRecords& records, ReportPageContent& page, const QStringList& bindings) {
    if (!records.on()) return true;
    ArchiveFailure f;
    fillSignOff(records.records(), page, pageContent(page, bindings), f);
    return true;
}

// A page bound to bindings before it is printed: the signature dialog
// (when there is data to bind), the boxes, the trail's head, the entry.
bool signPage(ProgramRecords& records, QWidget* parent, ReportPageContent& page, const QStringList& bindings) {
    if (!records.on() || !records.user()) return true;
    const QString content = pageContent(page, bindings);
    ArchiveFailure f;
    if (!bindings.isEmpty()) {
        for (;;) {
            fillSignOff(records.records(), page, content, f);
            SignatureDialog dialog(page.signOff, *records.user(), parent);
            if (dialog.exec() != QDialog::Accepted) return false;
            const std::optional<Meaning> m = dialog.meaning();
            if (!m) break;
            const Records::SignOutcome out =
                records.records().sign(records.user()->id, dialog.password(), *m, page.title, content);
            if (out.signature) break;
            tell(parent, text(kSignatureTitle),
                 out.signIn.outcome != SignInOutcome::SignedIn ? signInText(out.signIn, records.user()->id)
                                                               : out.failure.detail);
        }
    }
    fillSignOff(records.records(), page, content, f);
    records.record(action::kReportPrint, page.title, {},
                   QStringLiteral("sha256:") + QString::fromLatin1(contentSha(content)));
    return true;
}

}  // namespace

std::shared_ptr<ReportSignOff> reportSignOff(AppContext& ctx, ProgramRecords& records, QWidget* parent) {
    auto signOff = std::make_shared<ReportSignOff>();
    signOff->beforePreview = [&ctx, &records](ReportPageContent& page) {
        if (!records.on()) return true;
        ArchiveFailure f;
        const QByteArray sha = fileSha256(ctx.store.dataFileName);
        const QString binding = sha.isEmpty() ? QString() : readoutBinding(records.archive(), sha, f);
        return previewPage(records, page, binding.isEmpty() ? QStringList() : QStringList{binding});
    };
    signOff->beforePrint = [&ctx, &records, parent](ReportPageContent& page) {
        if (!records.on() || !records.user()) return true;
        const QString binding = storeBinding(ctx, records, parent);
        return signPage(records, parent, page, binding.isEmpty() ? QStringList() : QStringList{binding});
    };
    signOff->bound = [&records, parent](ReportPageContent& page, const QStringList& bindings, bool preview) {
        return preview ? previewPage(records, page, bindings) : signPage(records, parent, page, bindings);
    };
    return signOff;
}

}  // namespace quillet::audit
