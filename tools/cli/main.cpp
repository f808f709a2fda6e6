// quillet-cli: the program's work from the command line, on the same
// headless code as the main window. Every subcommand is one entry of the
// table in subcommands(); info, export, convert and read live here, the
// others in files of their own (cli.h).
#include "archive/importer.h"
#include "audit/readoutrecorder.h"
#include "comm/readout.h"
#include "comm/serialport.h"
#include "core/catalog.h"
#include "core/context.h"
#include "core/fieldhelpers.h"
#include "core/loggermodels.h"
#include "core/savefile.h"
#include "core/startup.h"
#include "core/store.h"
#include "core/vb.h"
#include "core/version.h"
#include "datafile/datafile.h"
#include "datafile/fileops.h"
#include "spreadsheet/tabular.h"
#include "tools/cli/cli.h"
#include "tools/cli/recordsgate.h"

#include <QGuiApplication>
#include <QMap>
#include <QStringList>
#include <QTextStream>

#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace quillet::cli {

const std::vector<Subcommand>& subcommands();

namespace {

QString kindText(int kind) {
    switch (kind) {
    case 0: return QStringLiteral("temperature [ﾟC], no alarm values");
    case 1: return QStringLiteral("temperature [ﾟC] with alarm values");
    case 2: return QStringLiteral("humidity [%RH] with alarm values");
    default: return QStringLiteral("kind %1").arg(kind);
    }
}

int runInfo(AppContext& ctx, const Arguments& a) {
    const QString file = a.positional[0];
    int code = kExitOk;
    if (!openAlone(ctx, file, code)) return code;
    const ChannelStore& s = ctx.store;
    out() << "File:     " << file << "\n";
    out() << "Layout:   "
          << (ctx.dataFiles->layoutWithTenSec ? "with ten-second fields (.ql4, .ql5, .ql6)"
                                              : "without ten-second fields (.qlg, .qld)")
          << "\n";
    out() << "Channels: " << s.channelsInUse << "\n";
    for (int ch = 1; ch <= kChannels; ++ch) {
        ChannelRecord& c = ctx.store.ch[size_t(ch)];
        if (c.inUse != 1) continue;
        const bool humid = isHumidity(c.kind);
        const QString fmt = humid ? QStringLiteral("0") : QStringLiteral("0.0");
        auto value = [&](int v) { return vb::format(v / 10.0, fmt); };
        const int card = c.cardNo;
        const int test = c.testNo;
        out() << "\nCH " << channelLetter(ch) << " (channel " << ch << "): " << kindText(c.kind) << "\n";
        out() << "  card-test:    " << cardText(ctx, c.cardNo) << "-" << testText(ctx, c.testNo) << "  (card " << card
              << ", test " << test << ")\n";
        out() << "  start:        " << vb::formatDate(c.startTime, QStringLiteral("yyyy-mm-dd hh:nn:ss")) << "\n";
        out() << "  interval:     " << vb::formatDate(c.interval, QStringLiteral("hh:nn:ss")) << "\n";
        out() << "  range:        code " << c.rangeCode << ", " << vb::format(c.rangeLow / 10.0, QStringLiteral("0"))
              << "～" << vb::format(c.rangeLow / 10.0 + 100, QStringLiteral("0")) << "\n";
        out() << "  samples:      " << c.sampleCount << " (errors " << c.errorCount << ")\n";
        out() << "  max/min/avg:  " << value(c.maxValue) << " / " << value(c.minValue) << " / " << value(c.averageValue)
              << "\n";
        if (c.referenceValue == kNotSet) {
            out() << "  reference:    not set\n";
        } else {
            out() << "  reference:    " << value(c.referenceValue) << " " << referenceSideText(c.referenceSide)
                  << ", integrated value " << c.integratedValue << "\n";
        }
        if (hasAlarmValues(c.kind))
            out() << "  alarms:       upper " << value(c.upperAlarm) << ", lower " << value(c.lowerAlarm) << "\n";
        out() << "  first row:    " << (c.rowOffset + 1) << " of " << s.rowCount << "\n";
    }
    out().flush();
    return kExitOk;
}

// --rows FIRST..LAST of the tidy and workbook exports; every row without it.
// False after a usage or range problem (reported, exitCode set).
bool exportRows(const AppContext& ctx, const Arguments& a, AxisRows& span, int& exitCode) {
    span = wholeAxis(ctx.store);
    if (!a.has("--rows")) return true;
    int first = 0;
    int last = 0;
    if (!rowsOption(a, first, last)) {
        exitCode = kExitUsage;
        return false;
    }
    if (first < 1 || last < first || last > span.last) {
        err() << "quillet-cli: --rows takes FIRST..LAST, rows of the file (1.." << span.last << ")\n";
        exitCode = kExitFailed;
        return false;
    }
    span = {first, last};
    return true;
}

int runExport(AppContext& ctx, const Arguments& a) {
    static const QStringList kinds = {QStringLiteral("--csv"), QStringLiteral("--text"), QStringLiteral("--tidy"),
                                      QStringLiteral("--xlsx")};
    QString kind;
    int chosen = 0;
    for (const QString& k : kinds) {
        if (!a.options.contains(k)) continue;
        kind = k;
        ++chosen;
    }
    if (chosen != 1) {
        err() << "quillet-cli: export needs exactly one of --csv OUT, --text OUT, --tidy OUT.csv and --xlsx OUT.xlsx\n";
        return kExitUsage;
    }
    const bool table = kind == QLatin1String("--tidy") || kind == QLatin1String("--xlsx");
    const QString encoding = a.value("--encoding");
    if ((a.has("--encoding") && kind != QLatin1String("--tidy")) || (a.has("--rows") && !table) ||
        (a.has("--encoding") && encoding != QLatin1String("utf8") && encoding != QLatin1String("cp932"))) {
        err() << "quillet-cli: --encoding (utf8 or cp932) goes with --tidy, --rows with --tidy or --xlsx\n";
        return kExitUsage;
    }
    const QString file = a.positional[0];
    const QString target = a.options.value(kind);
    int code = kExitOk;
    if (!outputApartFromInput(target, file, code) || !openAlone(ctx, file, code)) return code;
    QByteArray bytes;
    if (table) {
        AxisRows span;
        if (!exportRows(ctx, a, span, code)) return code;
        bytes =
            kind == QLatin1String("--xlsx")
                ? workbookBytes(ctx, span)
                : tidyCsvBytes(ctx, span,
                               encoding == QLatin1String("cp932") ? TableEncoding::Cp932 : TableEncoding::Utf8WithBom);
    } else {
        bytes = exportBytes(ctx, kind == QLatin1String("--csv") ? kCsvExport : kTextExport);
    }
    if (bytes.isEmpty()) return failWith(SaveError::Writing, 9, target);  // not convertible, or the workbook failed
    if (const SaveError error = writeFileAtomically(target, bytes); error != SaveError::None)
        return failWith(error, 9, target);
    return kExitOk;
}

// The layout of a data file is told by its name: .ql6 bytes under any other
// name would open as a file of another layout.
bool namesQl6(const QString& target, const char* command) {
    if (target.endsWith(QLatin1String(".ql6"), Qt::CaseInsensitive)) return true;
    err() << "quillet-cli: " << target << ": " << command << " writes the .ql6 layout, so --out must end in .ql6\n";
    return false;
}

int runConvert(AppContext& ctx, const Arguments& a) {
    const QString file = a.positional[0];
    const QString target = a.options.value(QStringLiteral("--out"));
    if (target.isEmpty()) {
        err() << "quillet-cli: convert needs --out OUT.ql6\n";
        return kExitUsage;
    }
    if (!namesQl6(target, "convert")) return kExitFailed;
    int code = kExitOk;
    if (!outputApartFromInput(target, file, code) || !openAlone(ctx, file, code)) return code;
    if (const SaveError error = writeFileAtomically(target, ql6Bytes(ctx.store)); error != SaveError::None)
        return failWith(error, 9, target);
    return kExitOk;
}

// The read-out's windows on a terminal: the channels come from the command
// line, the progress is a bar on stderr.
class TerminalReadout : public ReadoutWindows {
public:
    explicit TerminalReadout(int firstChannel) : first_(firstChannel) {}

    void showParameterWindow(AppContext& ctx, const std::function<void(Destinations)>& transfer) override {
        const PendingLogger& p = ctx.pendingLogger;
        int16_t card = p.ch[1].cardNo, test = p.ch[1].testNo;
        err() << "Logger model " << p.loggerModel << ", card-test " << cardText(ctx, card) << "-" << testText(ctx, test)
              << ", " << p.ch[1].sampleCount << " records\n";
        // The settings it records with, as the settings dialog would open.
        const auto units = [](int tenths) { return QString::number(tenths / 10.0, 'f', 1); };
        if (p.intervalInSeconds)
            err() << "Interval " << p.ch[1].intervalTenSec * 10 << " s";
        else
            err() << "Interval "
                  << QStringLiteral("%1:%2")
                         .arg(p.ch[1].intervalHour, 2, 10, QLatin1Char('0'))
                         .arg(p.ch[1].intervalMinute, 2, 10, QLatin1Char('0'));
        if (isTwoChannelModel(p.loggerModel))
            for (int ch = 1; ch <= 2; ++ch)
                err() << ", CH" << ch << " alarms " << units(p.ch[size_t(ch)].upperAlarm) << "/"
                      << units(p.ch[size_t(ch)].lowerAlarm);
        err() << "\n";
        if (p.ch[1].sampleCount < 1) {
            err() << "quillet-cli: the logger holds no records; nothing was read\n";
            ctx.comm->status = Exchange::Faulty;
            return;
        }
        int second = 0;
        for (int ch = 1; ch <= kChannels && second == 0; ++ch)
            if (ctx.store.ch[size_t(ch)].inUse != 1 && ch != first_) second = ch;
        transfer({first_, isTwoChannelModel(p.loggerModel) ? second : 0});
    }

    void runWithProgress(AppContext& ctx, const std::function<void()>& work) override {
        transferRan = true;
        // The bar redraws itself with carriage returns: only on a terminal,
        // never into a log file.
        if (!stderrIsTerminal()) {
            work();
            return;
        }
        ctx.comm->progress = [](int maximum, int value) {
            const int width = 40;
            const int done = maximum > 0 ? int(qint64(value) * width / maximum) : 0;
            err() << "\r[" << QString(qBound(0, done, width), QLatin1Char('#'))
                  << QString(width - qBound(0, done, width), QLatin1Char(' ')) << "] " << value << "/" << maximum;
            err().flush();
        };
        work();
        ctx.comm->progress = nullptr;
        err() << "\n";
    }

    bool transferRan = false;

private:
    int first_;
};

// Passes every message on and counts them.
class CountingMessages : public MessageBoxes {
public:
    explicit CountingMessages(MessageBoxes* inner) : inner_(inner) {}
    int show(const QString& title, const QString& text, int style) override {
        ++shown;
        return inner_->show(title, text, style);
    }
    int shown = 0;

private:
    MessageBoxes* inner_;
};

int runRead(AppContext& ctx, const Arguments& a) {
    const bool byPort = a.options.contains(QStringLiteral("--port"));
    const bool byDevice = a.options.contains(QStringLiteral("--device"));
    const QString target = a.options.value(QStringLiteral("--out"));
    if (byPort == byDevice || target.isEmpty()) {
        err() << "quillet-cli: usage: quillet-cli read (--port N | --device PATH) --out FILE.ql6 [--channel A..H]"
                 " [--force]\n";
        return kExitUsage;
    }
    if (!namesQl6(target, "read")) return kExitFailed;
    int first = 1;  // a fresh store: the first free channel is A
    if (a.options.contains(QStringLiteral("--channel"))) {
        const QString letter = a.options.value(QStringLiteral("--channel")).toUpper();
        first = letter.size() == 1 ? letter[0].unicode() - u'A' + 1 : 0;
        if (first < 1 || first > kChannels) {
            err() << "quillet-cli: --channel takes a letter A..H\n";
            return kExitUsage;
        }
    }
    QtSerialPort port;
    if (const QString problem = choosePort(a, port); !problem.isEmpty()) {
        err() << "quillet-cli: " << problem << "\n";
        return kExitUsage;
    }
    // The save asks before replacing a file; nobody answers here.
    if (!a.has("--force") && nameTaken(target)) {
        TerminalMessages terminal;
        terminal.concern(target);
        ctx.messages = &terminal;
        showMessage(ctx, Caption::SaveFile, Msg::OverwriteFile, kOkCancel);
        err() << "quillet-cli: nothing was read (--force replaces the file)\n";
        return kExitFailed;
    }
    ctx.serial = &port;
    TerminalReadout windows(first);
    // A two-channel logger whose second channel would not fit after H is
    // refused by the read-out itself ("空のＣＨがありません。").
    CountingMessages messages(ctx.messages);
    ctx.messages = &messages;
    if (!readLogger(ctx, windows)) {
        // A broken value block ends the transfer without a message in the
        // window; a command-line user still needs the reason.
        if (windows.transferRan && messages.shown == 0) err() << messageText(Msg::ReadError) << "\n";
        return kExitFailed;
    }
    if (const SaveError error = writeFileAtomically(target, ql6Bytes(ctx.store)); error != SaveError::None)
        return failWith(error, 9, target);
    err() << "Saved " << ctx.store.channelsInUse << " channel(s) to " << target << "\n";
    // Into the archive, as the program's save of a read-out does.
    if (ctx.dataFiles->readoutSink)
        if (const QString word = ctx.dataFiles->readoutSink->readoutSaved(ctx, target); !word.isEmpty())
            err() << "quillet-cli: " << word << "\n";
    return kExitOk;
}

}  // namespace

// A command that, in electronic records mode, signs its user in first.
Subcommand gated(Subcommand c, audit::Permission p) {
    c.valueOptions << kUserOption;
    if (!c.valueOptions.contains(QStringLiteral("--db")) && p == audit::Permission::View)
        c.valueOptions << QStringLiteral("--db");
    c.flagOptions << kPasswordStdin;
    c.records = p;
    return c;
}

const std::vector<Subcommand>& subcommands() {
    using audit::Permission;
    static const std::vector<Subcommand> table = [] {
        std::vector<Subcommand> t = {
            {QStringLiteral("info"),
             QStringLiteral("info FILE"),
             QStringLiteral("Shows the channels of a data file and their header values."),
             {},
             1,
             runInfo},
            {QStringLiteral("export"),
             QStringLiteral("export FILE (--csv OUT | --text OUT | --tidy OUT.csv [--encoding utf8|cp932] |\n"
                            "             --xlsx OUT.xlsx) [--rows FIRST..LAST]"),
             QStringLiteral("Writes the CSV (\",\") or text (\"#\") export of a data file, byte for byte as\n"
                            "the program's export after opening FILE alone; or the tidy CSV (one header row,\n"
                            "one row per sample time, UTF-8 with a byte-order mark unless --encoding cp932) or the\n"
                            "Excel workbook (table, statistics, chart) of all rows or of --rows FIRST..LAST.\n"
                            "OUT is overwritten without asking, unless it is FILE itself."),
             {QStringLiteral("--csv"), QStringLiteral("--text"), QStringLiteral("--tidy"), QStringLiteral("--xlsx"),
              QStringLiteral("--encoding"), QStringLiteral("--rows")},
             1,
             runExport},
            {QStringLiteral("convert"),
             QStringLiteral("convert FILE --out OUT.ql6"),
             QStringLiteral("Writes a data file of any layout (.ql6, .ql5, .ql4, .qlg, .qld) as a .ql6 file.\n"
                            "OUT must end in .ql6; it is overwritten without asking, unless it is FILE\n"
                            "itself."),
             {QStringLiteral("--out")},
             1,
             runConvert},
            {QStringLiteral("read"),
             QStringLiteral("read (--port N | --device PATH) --out FILE.ql6 [--channel A..H] [--force]"),
             QStringLiteral(
                 "Reads the logger on the reader (identification, summary and records, with a\n"
                 "progress bar on stderr when it is a terminal) and saves its channels as FILE.ql6, the first logger\n"
                 "channel in --channel (default A), the second in the lowest other channel.\n"
                 "--port N uses the program's port N (1..16; on Linux QUILLET_COM<n> names its\n"
                 "device); --device PATH any serial device. Nothing is written on failure. An\n"
                 "existing FILE.ql6 is not replaced (the program would ask first): nothing is\n"
                 "read and the exit status is 1, unless --force is given."),
             {QStringLiteral("--port"), QStringLiteral("--device"), QStringLiteral("--out"),
              QStringLiteral("--channel")},
             0,
             runRead,
             {QStringLiteral("--force")}},
            // The subcommands of the other files (cli.h).
            gated(usualSubcommand(), Permission::ReadLogger),
            gated(setSubcommand(), Permission::ReadLogger),
            graphRangeSubcommand(),
            printSubcommand(),
            graphSubcommand(),
            statsSubcommand(),
            gated(reportSubcommand(), Permission::View),
            gated(archiveImportSubcommand(), Permission::ReadLogger),
            archiveListSubcommand(),
            archiveSeriesSubcommand(),
            archiveStatsSubcommand(),
            archiveVerifySubcommand(),
            archivePushSubcommand(),
            archiveCopySubcommand(),
            archiveTrendSubcommand(),
            gated(archiveReportSubcommand(), Permission::View),
        };
        for (Subcommand& c : t)
            if (c.name == QLatin1String("read")) c = gated(c, Permission::ReadLogger);
        for (Subcommand& c : auditSubcommands()) t.push_back(std::move(c));
        return t;
    }();
    return table;
}

namespace {

void printHelp(QTextStream& s) {
    s << "Usage: quillet-cli COMMAND ARGUMENTS\n"
         "       quillet-cli --help | --version | COMMAND --help\n\n"
         "Works on the data files of the Quillet analysis program.\n\n"
         "Commands:\n";
    for (const Subcommand& c : subcommands()) {
        s << "  quillet-cli " << c.synopsis << "\n";
        for (const QString& line : c.description.split(QLatin1Char('\n'))) s << "      " << line << "\n";
        s << "\n";
    }
    s << "The layout of FILE is told by its extension: .qlg and .qld without the\n"
         "ten-second fields, .ql4, .ql5 and .ql6 with them, any other name the old\n"
         "layout. Card and test numbers are shown through the setting characters\n"
         "of the user's settings (qlet7.dat), as in the program.\n\n"
         "No command writes over the file it reads, under whatever name or link.\n\n"
         "Exit status: 0 on success; 1 when the operation failed (the program's\n"
         "error text is written to standard error) or standard output could not\n"
         "be written; 2 for a wrong command line.\n";
    s.flush();
}

// Splits the arguments after the subcommand; false for a wrong command line.
bool parseArguments(const Subcommand& c, const QStringList& args, Arguments& a) {
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            a.help = true;
        } else if (c.flagOptions.contains(arg)) {
            a.options.insert(arg, QString());
        } else if (c.valueOptions.contains(arg)) {
            if (i + 1 >= args.size()) {
                err() << "quillet-cli: " << arg << " needs a value\n";
                return false;
            }
            a.options.insert(arg, args[++i]);
            a.repeated[arg] << args[i];
        } else if (arg.startsWith(QLatin1String("--"))) {
            err() << "quillet-cli: unknown option " << arg << " for " << c.name << "\n";
            return false;
        } else {
            a.positional << arg;
        }
    }
    // A negative count takes any number.
    if (!a.help && c.positionalCount >= 0 && a.positional.size() != c.positionalCount) {
        err() << "quillet-cli: usage: quillet-cli " << c.synopsis << "\n";
        return false;
    }
    return true;
}

int runCommand(const QStringList& argv) {
    if (argv.size() < 2) {
        printHelp(err());
        return kExitUsage;
    }
    const QString name = argv[1];
    if (name == QLatin1String("--help") || name == QLatin1String("-h") || name == QLatin1String("help")) {
        printHelp(out());
        return kExitOk;
    }
    if (name == QLatin1String("--version")) {
        out() << versionLine() << "\n";
        out().flush();
        return kExitOk;
    }
    // "archive VERB", "audit VERB" and "audit user VERB" name one command of
    // several words: the longest name the arguments begin with.
    const Subcommand* found = nullptr;
    int words = 0;
    for (const Subcommand& c : subcommands()) {
        const QStringList parts = c.name.split(QLatin1Char(' '));
        if (parts.size() > words && argv.mid(1, parts.size()) == parts) {
            found = &c;
            words = int(parts.size());
        }
    }
    if (!found) {
        // A family's name alone lists its commands.
        if (name == QLatin1String("archive") || name == QLatin1String("audit")) {
            const bool asked =
                argv.size() > 2 && (argv[2] == QLatin1String("--help") || argv[2] == QLatin1String("-h"));
            QTextStream& s = asked ? out() : err();
            s << "Usage:\n";
            for (const Subcommand& c : subcommands())
                if (c.name.startsWith(name + QLatin1Char(' '))) s << "  quillet-cli " << c.synopsis << "\n";
            s.flush();
            return asked ? kExitOk : kExitUsage;
        }
    }
    const QString command = found ? found->name : name;
    if (found) {
        const Subcommand& c = *found;
        Arguments a;
        if (!parseArguments(c, argv.mid(1 + words), a)) {
            err().flush();
            return kExitUsage;
        }
        if (a.help) {
            out() << "Usage: quillet-cli " << c.synopsis << "\n" << c.description << "\n";
            out().flush();
            return kExitOk;
        }
        AppContext ctx;
        startUp(ctx, standardFolders());  // the user's setting characters
        // Every saved read-out goes into the user's archive, as in the program.
        archive::ArchiveOnSave archiveOnSave(ctx.folders);
        ctx.dataFiles->readoutSink = &archiveOnSave;
        // In electronic records mode the user signs in first, and every saved
        // read-out leaves its entry in the trail.
        RecordsSession records;
        if (c.records) {
            if (const int code = openRecords(ctx, a, *c.records, records); code != kExitOk) {
                err().flush();
                return code;
            }
        }
        audit::ReadoutRecorder recorder(&archiveOnSave, [&records](const QString& object, const QString& value) {
            records.record(audit::action::kReadout, object, {}, value);
        });
        if (records.on()) {
            setActiveRecords(&records);
            ctx.dataFiles->readoutSink = &recorder;
        }
        const int code = c.run(ctx, a);
        setActiveRecords(nullptr);
        err().flush();
        return code;
    }
    err() << "quillet-cli: unknown command " << command << " (see quillet-cli --help)\n";
    err().flush();
    return kExitUsage;
}

// The command's exit status, or 1 when its output did not reach standard
// output (a success must not be claimed for output nobody got).
int run(const QStringList& argv) {
    const int code = runCommand(argv);
    if (!standardOutputWritten()) return code == kExitOk ? kExitFailed : code;
    return code;
}

}  // namespace
}  // namespace quillet::cli

namespace {

// A command-line tool has no use for a runtime folder: Qt's note that
// XDG_RUNTIME_DIR is not set (a shell without a desktop session, a cron
// job, a container) would only be noise on standard error. Every other
// message goes on as before.
QtMessageHandler previousHandler = nullptr;
void withoutRuntimeDirNote(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && message.contains(QLatin1String("XDG_RUNTIME_DIR"))) return;
    if (previousHandler) previousHandler(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
    previousHandler = qInstallMessageHandler(withoutRuntimeDirNote);
    // Graphs and prints paint text with the system's fonts, which needs a GUI
    // application (on the offscreen platform: a command-line tool never needs
    // a display); the other subcommands start without one, which is faster.
    bool paints = false;
    // A name of two words ("archive trend") is matched by both.
    const QString name = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const QString twoWords = argc > 2 ? name + QLatin1Char(' ') + QString::fromLocal8Bit(argv[2]) : QString();
    for (const quillet::cli::Subcommand& c : quillet::cli::subcommands())
        if (c.name == name || c.name == twoWords) paints = c.paints;
    std::unique_ptr<QCoreApplication> app;
    if (paints) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    return quillet::cli::run(quillet::decodeArguments(argc, argv));
}
