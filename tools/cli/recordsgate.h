// quillet-cli in electronic records mode: a command that changes something
// signs its user in first (the password from the terminal or, with
// --password-stdin, the first line of standard input) and leaves entries in
// the archive's audit trail (recordsgate.cpp, audit_cmd.cpp).
#pragma once

#include "analysis/reportprint.h"
#include "audit/records.h"
#include "tools/cli/cli.h"

#include <memory>
#include <optional>

namespace quillet::cli {

// The records of the archive a command works on, with its signed-in user;
// off (no records) when the archive is not in the mode.
struct RecordsSession {
    std::unique_ptr<archive::Archive> archive;
    std::optional<audit::Records> records;
    audit::User user;

    bool on() const { return records.has_value(); }
    // An entry by the signed-in user; a failure is said on stderr.
    bool record(const char* action, const QString& object, const QString& oldValue, const QString& newValue,
                const QString& reason = {});
};

// The session of the running command, null when the mode is off.
RecordsSession* activeRecords();
void setActiveRecords(RecordsSession* s);

// The options every gated command takes.
inline const QString kUserOption = QStringLiteral("--user");
inline const QString kPasswordStdin = QStringLiteral("--password-stdin");

// The lines of a password: from standard input with --password-stdin (line
// 1 the acting user's, line 2 a new user's), else asked on the terminal
// without echo. Empty when there is none (no terminal, no line).
QString passwordLine(const Arguments& a, int line, const QString& prompt);

// The archive's records for a command of the mode: the archive of --db or
// the user's; off when it is not in the mode. In the mode: --user and the
// password are signed in and the user's role must allow p. kExitOk, or the
// exit status after the refusal on stderr.
int openRecords(AppContext& ctx, const Arguments& a, audit::Permission p, RecordsSession& session);
// The records of the archive (no sign-in): for audit init, verify, list.
// False after the reason on stderr.
bool recordsOf(AppContext& ctx, archive::Archive& a, std::optional<audit::Records>& records);

// --sign of report and archive report: the meaning, which needs the mode.
// False after the refusal on stderr (exitCode set).
bool signOption(const Arguments& a, std::optional<audit::Meaning>& meaning, int& exitCode);

// A report page in the mode: bound to its data (bindings; or the data file's
// read-out, imported into the archive first when it is not there), signed
// as meaning when given (the password asked again), its boxes filled with
// the signatures of its content and its foot with the trail's head.
// contentSha receives what was signed. False after the reason on stderr.
bool signedReportPage(AppContext& ctx, const Arguments& a, RecordsSession& s, ReportPageContent& page,
                      const QString& dataFile, std::optional<audit::Meaning> meaning, QByteArray& contentSha);
bool signedReportPage(const Arguments& a, RecordsSession& s, ReportPageContent& page, const QStringList& bindings,
                      std::optional<audit::Meaning> meaning, QByteArray& contentSha);

}  // namespace quillet::cli
