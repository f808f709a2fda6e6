#include "tools/cli/recordsgate.h"

#include "archive/archivesettings.h"
#include "archive/importer.h"
#include "audit/audittexts.h"
#include "audit/programrecords.h"
#include "audit/readoutrecorder.h"
#include "audit/reportsigning.h"
#include "tools/cli/clitexts_records.h"

#include <iostream>
#include <string>

#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <termios.h>
#include <unistd.h>
#endif

namespace quillet::cli {

using namespace quillet::audit;
using archive::ArchiveError;
using archive::ArchiveFailure;

namespace {

RecordsSession* active = nullptr;

// Standard input's lines, read once.
QStringList& stdinLines() {
    static QStringList lines;
    static bool read = false;
    if (!read) {
        read = true;
        std::string line;
        while (lines.size() < 2 && std::getline(std::cin, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines << QString::fromStdString(line);
        }
    }
    return lines;
}

bool stdinIsTerminal() {
#ifdef Q_OS_WIN
    return _isatty(_fileno(stdin)) != 0;
#else
    return ::isatty(STDIN_FILENO) != 0;
#endif
}

// A line from the terminal without echo.
QString askHidden(const QString& prompt) {
    err() << prompt;
    err().flush();
    std::string line;
#ifdef Q_OS_WIN
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    GetConsoleMode(in, &mode);
    SetConsoleMode(in, mode & ~DWORD(ENABLE_ECHO_INPUT));
    std::getline(std::cin, line);
    SetConsoleMode(in, mode);
#else
    termios before{};
    const bool terminal = tcgetattr(STDIN_FILENO, &before) == 0;
    if (terminal) {
        termios quiet = before;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    std::getline(std::cin, line);
    if (terminal) tcsetattr(STDIN_FILENO, TCSANOW, &before);
#endif
    err() << "\n";
    err().flush();
    return QString::fromStdString(line);
}

}  // namespace

RecordsSession* activeRecords() { return active; }
void setActiveRecords(RecordsSession* s) { active = s; }

bool RecordsSession::record(const char* action, const QString& object, const QString& oldValue, const QString& newValue,
                            const QString& reason) {
    if (!records) return true;
    const ArchiveFailure f =
        records->record({0, 0, {}, user.id, QLatin1String(action), object, oldValue, newValue, reason, {}});
    if (f) err() << "quillet-cli: " << text::records::kTrailNotWritten << failureText(f, archive->location()) << "\n";
    return !f;
}

QString passwordLine(const Arguments& a, int line, const QString& prompt) {
    if (a.has("--password-stdin")) return stdinLines().value(line - 1);
    if (!stdinIsTerminal()) return {};
    return askHidden(prompt);
}

bool recordsOf(AppContext& ctx, archive::Archive& a, std::optional<Records>& records) {
    QString why;
    switch (findRecords(a, ctx.folders.settingsFolder, records, why)) {
    case RecordsFound::Off:
    case RecordsFound::On: return true;
    case RecordsFound::NoKey: err() << "quillet-cli: " << audit::text(audit::kNoKey).arg(why) << "\n"; return false;
    case RecordsFound::Failed: err() << "quillet-cli: " << why << "\n"; return false;
    }
    return false;
}

bool signOption(const Arguments& a, std::optional<Meaning>& meaning, int& exitCode) {
    if (!a.has("--sign")) return true;
    if (!(meaning = meaningOfText(a.value("--sign")))) {
        err() << "quillet-cli: " << text::records::kBadMeaning << "\n";
        exitCode = kExitUsage;
        return false;
    }
    if (!activeRecords()) {
        err() << "quillet-cli: " << text::records::kModeOff << "\n";
        exitCode = kExitFailed;
        return false;
    }
    return true;
}

bool signedReportPage(const Arguments& a, RecordsSession& s, ReportPageContent& page, const QStringList& bindings,
                      std::optional<Meaning> meaning, QByteArray& sha) {
    const QString content = pageContent(page, bindings);
    sha = contentSha(content);
    if (meaning && !roleMay(s.user.role, permissionToSign(*meaning))) {
        err() << "quillet-cli: "
              << QString(text::records::kSignRefused)
                     .arg(QString(text::records::kRoleRefused).arg(s.user.id, roleText(s.user.role)))
              << "\n";
        return false;
    }
    if (meaning) {
        const QString password = passwordLine(a, 1, QString(text::records::kPasswordPrompt).arg(s.user.id));
        const Records::SignOutcome signedBy = s.records->sign(s.user.id, password, *meaning, page.title, content);
        if (signedBy.signIn.outcome != SignInOutcome::SignedIn) {
            err() << "quillet-cli: " << QString(text::records::kSignRefused).arg(signInText(signedBy.signIn, s.user.id))
                  << "\n";
            return false;
        }
        if (!signedBy.signature) {
            err() << "quillet-cli: " << QString(text::records::kSignRefused).arg(signedBy.failure.detail) << "\n";
            return false;
        }
        err() << QString(text::records::kSigned).arg(meaningText(*meaning), page.title, QString::fromLatin1(sha))
              << "\n";
    }
    ArchiveFailure f;
    if (!fillSignOff(*s.records, page, content, f)) {
        err() << "quillet-cli: " << failureText(f, s.archive->location()) << "\n";
        return false;
    }
    return true;
}

bool signedReportPage(AppContext& ctx, const Arguments& a, RecordsSession& s, ReportPageContent& page,
                      const QString& dataFile, std::optional<Meaning> meaning, QByteArray& sha) {
    const QByteArray fileSha = fileSha256(dataFile);
    ArchiveFailure f;
    if (!s.archive->readoutWithSha(fileSha, f) && !f) {
        const archive::ArchiveSettings settings =
            archive::loadArchiveSettings(archive::archiveSettingsFile(ctx.folders));
        const archive::FileImport imported =
            archive::importFile(*s.archive, dataFile, archive::thisComputer(settings.site));
        if (!imported.why.isEmpty()) {
            err() << "quillet-cli: " << QString(text::records::kNotInArchive).arg(dataFile) << ": " << imported.why
                  << "\n";
            return false;
        }
        s.record(action::kImport, dataFile, {}, QStringLiteral("sha256:%1").arg(QString::fromLatin1(fileSha)));
    }
    const QString binding = readoutBinding(*s.archive, fileSha, f);
    if (f) {
        err() << "quillet-cli: " << QString(text::records::kNotInArchive).arg(dataFile) << ": "
              << failureText(f, s.archive->location()) << "\n";
        return false;
    }
    return signedReportPage(a, s, page, {binding}, meaning, sha);
}

int openRecords(AppContext& ctx, const Arguments& a, Permission p, RecordsSession& session) {
    const QString location =
        a.has("--db") ? a.value("--db")
                      : archive::archiveLocation(
                            archive::loadArchiveSettings(archive::archiveSettingsFile(ctx.folders)), ctx.folders);
    if (archive::holdsPassword(location)) return kExitOk;  // refused by the command itself
    ArchiveFailure f;
    session.archive = archive::openArchive(location, f, archive::OpenMode::Existing);
    if (!session.archive) {
        // No archive yet: no records either. One that cannot be reached is
        // said; the command goes on as without the mode.
        if (f.error != ArchiveError::NotThere)
            err() << "quillet-cli: " << text::records::kRecordsUnknown << failureText(f, location) << "\n";
        return kExitOk;
    }
    if (!recordsOf(ctx, *session.archive, session.records)) return kExitFailed;
    if (!session.on()) return kExitOk;
    const QString id = a.value("--user");
    if (id.isEmpty()) {
        err() << "quillet-cli: " << text::records::kUserNeeded << "\n";
        return kExitFailed;
    }
    const QString password = passwordLine(a, 1, QString(text::records::kPasswordPrompt).arg(id));
    if (password.isEmpty()) {
        err() << "quillet-cli: " << text::records::kPasswordNeeded << "\n";
        return kExitFailed;
    }
    const SignInResult r = session.records->signIn(id, password);
    if (r.outcome != SignInOutcome::SignedIn) {
        err() << "quillet-cli: " << signInText(r, id) << "\n";
        return kExitFailed;
    }
    session.user = r.user;
    if (!roleMay(r.user.role, p)) {
        err() << "quillet-cli: " << QString(text::records::kRoleRefused).arg(id, roleText(r.user.role)) << "\n";
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace quillet::cli
