// quillet-cli: what every subcommand shares. A subcommand is one Subcommand
// value (name, usage, options, run function); each lives in its own file and
// is listed once in the table of main.cpp.
#pragma once

#include "analysis/figures.h"
#include "audit/records.h"
#include "comm/recordingsettings.h"
#include "core/context.h"
#include "core/platform.h"
#include "core/savefile.h"
#include "core/uitexts.h"
#include "tools/cli/clitexts.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>

namespace quillet {
class QtSerialPort;
class UnseenSettingsDialog;
}  // namespace quillet

namespace quillet::cli {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;  // the operation failed; the reason is on stderr
constexpr int kExitUsage = 2;   // the command line is wrong

QTextStream& out();
QTextStream& err();
// One line on stderr: "quillet-cli: " and text.
void complain(const QString& text);
// "LABEL: value", the form of every line of a command's report.
inline QString labelled(const QString& label, const QString& value) {
    return uiText(text::kLabelled).arg(label, value);
}
inline QString labelled(const char16_t* label, const QString& value) { return labelled(uiText(label), value); }
// Progress bars redraw themselves with carriage returns: only on a
// terminal, never into a log file.
bool stderrIsTerminal();
// The progress bar on stderr at done of total, ended by a new line once
// done reaches total. Only where stderrIsTerminal().
void drawProgress(qint64 done, qint64 total);

// The arguments after the subcommand's name.
struct Arguments {
    QStringList positional;
    QMap<QString, QString> options;       // "--csv" -> value (the last given); a flag maps to ""
    QMap<QString, QStringList> repeated;  // "--channel" -> every value given, in order
    bool help = false;

    bool has(const char* option) const { return options.contains(QLatin1String(option)); }
    QString value(const char* option) const { return options.value(QLatin1String(option)); }
    QStringList values(const char* option) const { return repeated.value(QLatin1String(option)); }
};

struct Subcommand {
    QString name;
    QString synopsis;          // the usage line after "quillet-cli "
    QString description;       // what it does, for --help
    QStringList valueOptions;  // options followed by a value
    int positionalCount;       // required positional arguments
    std::function<int(AppContext&, const Arguments&)> run;
    QStringList flagOptions = {};  // options without a value
    bool paints = false;           // draws pictures or pages: needs a GUI application
    // In electronic records mode: the user signs in first (--user and the
    // password) and must be allowed this.
    std::optional<audit::Permission> records = std::nullopt;
};

// A run-time error about file as one line under the operation's caption:
// the file, the catalogue's text in words, the error's number and what the
// file's own state says (core/fileerror.h).
int failWith(int error, int captionNo, const QString& file);
inline int failWith(SaveError error, int captionNo, const QString& file) {
    return failWith(runtimeErrorOf(error), captionNo, file);
}

// False, after the refusal on stderr (exitCode set), when output is the
// file input as well: the same name, another spelling of it, a symbolic
// link to it or a hard link of it. Writing there would replace the input
// with what was made of it. Every command that writes a file made from an
// input asks this before anything else.
bool outputApartFromInput(const QString& output, const QString& input, int& exitCode);

// Opens file into the store as File → Open does and rebuilds the time axis;
// false after an error (already reported, exitCode set).
bool openAlone(AppContext& ctx, const QString& file, int& exitCode);

// Points port at the device of --device PATH or of --port N (1..16). The
// problem with them for the usage message, empty when there is none.
QString choosePort(const Arguments& a, QtSerialPort& port);
// The device the port of --device or --port opens, to name in its errors.
QString portDeviceName(const Arguments& a);

// The two row numbers of --rows FIRST..LAST (given). False, after the usage
// line on stderr, when the text is not of that form.
bool rowsOption(const Arguments& a, int& first, int& last);

// The refusal of set and usual where writing would erase records that were
// never read: the settings dialog's note, then why nothing was sent.
int refuseUnreadRecords(int records);

// Flushes standard output. False, after saying so on stderr, when what was
// written did not get there (a full disk, a closed pipe): the command's
// result must then not be taken for a success.
bool standardOutputWritten();

// The message boxes on a terminal: each box on stderr; nobody is there to
// answer a question, so every question is answered Cancel (No). A message
// about a file (concern()) names it; a run-time error is one line that
// names the file, or for a port fault the serial device (useDevice()).
class TerminalMessages : public MessageBoxes {
public:
    int show(const QString& title, const QString& text, int style) override;
    void concern(const QString& path) override { subject_ = path; }
    void useDevice(const QString& device) { device_ = device; }

private:
    QString subject_;
    QString device_;
};

// What the recording settings dialog handed to the writer, and the start
// that 3,2 carried (set_cmd.cpp).
void printSettingsWritten(const UnseenSettingsDialog& written);

// The subcommands of the other files, in the order --help lists them.
Subcommand usualSubcommand();       // usual_cmd.cpp
Subcommand setSubcommand();         // set_cmd.cpp
Subcommand graphRangeSubcommand();  // graphrange_cmd.cpp
Subcommand printSubcommand();       // print_cmd.cpp
Subcommand graphSubcommand();
Subcommand statsSubcommand();   // stats_cmd.cpp
Subcommand reportSubcommand();  // stats_cmd.cpp

// The figures of one channel as the JSON object of stats --json.
QString figuresJson(const AppContext& ctx, const ChannelFigures& f, int16_t card, int16_t test, int kind);
// Text padded with blanks to width columns of a terminal (full-width
// characters take two).
QString padded(const QString& text, int width);
// A text as a JSON string.
QString jsonString(const QString& s);
Subcommand archiveImportSubcommand();  // archive_cmd.cpp
Subcommand archiveListSubcommand();
Subcommand archiveSeriesSubcommand();
Subcommand archiveStatsSubcommand();
Subcommand archiveVerifySubcommand();
Subcommand archivePushSubcommand();
Subcommand archiveCopySubcommand();
Subcommand archiveTrendSubcommand();         // trend_cmd.cpp
Subcommand archiveReportSubcommand();        // trend_cmd.cpp
std::vector<Subcommand> auditSubcommands();  // audit_cmd.cpp

// --rows FIRST..LAST of stats and report, checked against the open file's
// axis (all rows without the option), and --dhr (else the user's setting).
// False after a refused value (reported, exitCode set).
bool axisRowsFromOptions(AppContext& ctx, const Arguments& a, AxisRows& rows, int& exitCode);
bool deltaHOverRFromOptions(AppContext& ctx, const Arguments& a, double& kelvin, int& exitCode);

}  // namespace quillet::cli
