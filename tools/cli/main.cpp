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
#include "loggerset/settingssummary.h"
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
    case 0: return uiText(ui::kTemperature) + uiText(text::kWithoutAlarms);
    case 1: return uiText(ui::kTemperature) + uiText(text::kWithAlarms);
    case 2: return uiText(ui::kHumidity) + uiText(text::kWithAlarms);
    default: return uiText(text::kKindNumber).arg(kind);
    }
}

int runInfo(AppContext& ctx, const Arguments& a) {
    const QString file = a.positional[0];
    int code = kExitOk;
    if (!openAlone(ctx, file, code)) return code;
    const ChannelStore& s = ctx.store;
    out() << labelled(text::kFileLabel, file) << "\n";
    out() << labelled(text::kLayoutLabel,
                      uiText(ctx.dataFiles->layoutWithTenSec ? text::kWithTenSeconds : text::kWithoutTenSeconds))
          << "\n";
    out() << labelled(text::kChannelCount, QString::number(s.channelsInUse)) << "\n";
    for (int ch = 1; ch <= kChannels; ++ch) {
        ChannelRecord& c = ctx.store.ch[size_t(ch)];
        if (c.inUse != 1) continue;
        const bool humid = isHumidity(c.kind);
        const QString fmt = humid ? QStringLiteral("0") : QStringLiteral("0.0");
        auto value = [&](int v) { return vb::format(v / 10.0, fmt); };
        auto line = [](const char16_t* label, const QString& value) {
            out() << "  " << labelled(label, value) << "\n";
        };
        out() << "\n" << uiText(text::kChannelHead).arg(channelLetter(ch)).arg(ch).arg(kindText(c.kind)) << "\n";
        line(ui::kCardTestNumbers, uiText(text::kCardTestValue)
                                       .arg(cardText(ctx, c.cardNo), testText(ctx, c.testNo))
                                       .arg(c.cardNo)
                                       .arg(c.testNo));
        line(ui::kStartTime, vb::formatDate(c.startTime, QStringLiteral("yyyy-mm-dd hh:nn:ss")));
        line(ui::kInterval, vb::formatDate(c.interval, QStringLiteral("hh:nn:ss")));
        line(ui::kMeasuringRange, uiText(text::kRangeValue)
                                      .arg(c.rangeCode)
                                      .arg(vb::format(c.rangeLow / 10.0, QStringLiteral("0")) + uiText(ui::kTilde) +
                                           vb::format(c.rangeLow / 10.0 + 100, QStringLiteral("0"))));
        line(ui::kRecordsErrors, QStringLiteral("%1/%2").arg(c.sampleCount).arg(c.errorCount));
        line(text::kHighLowAverage,
             QStringLiteral("%1 / %2 / %3").arg(value(c.maxValue), value(c.minValue), value(c.averageValue)));
        line(ui::kReference, c.referenceValue == kNotSet
                                 ? uiText(text::kNotSet)
                                 : uiText(text::kReferenceValue)
                                       .arg(value(c.referenceValue), referenceSideText(c.referenceSide))
                                       .arg(c.integratedValue));
        if (hasAlarmValues(c.kind))
            line(ui::kAlarmValues, QStringLiteral("%1 / %2").arg(value(c.upperAlarm), value(c.lowerAlarm)));
        line(text::kFirstRow, uiText(text::kRowOf).arg(c.rowOffset + 1).arg(s.rowCount));
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
        complain(uiText(text::kRowsOfFile).arg(span.last));
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
        complain(uiText(text::kExportOneKind));
        return kExitUsage;
    }
    const bool table = kind == QLatin1String("--tidy") || kind == QLatin1String("--xlsx");
    const QString encoding = a.value("--encoding");
    if ((a.has("--encoding") && kind != QLatin1String("--tidy")) || (a.has("--rows") && !table) ||
        (a.has("--encoding") && encoding != QLatin1String("utf8") && encoding != QLatin1String("cp932"))) {
        complain(uiText(text::kExportOptions));
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
    complain(uiText(text::kOutNamesQl6).arg(target, QLatin1String(command)));
    return false;
}

int runConvert(AppContext& ctx, const Arguments& a) {
    const QString file = a.positional[0];
    const QString target = a.options.value(QStringLiteral("--out"));
    if (target.isEmpty()) {
        complain(uiText(text::kNeedsOption).arg(QStringLiteral("convert"), QStringLiteral("--out OUT.ql6")));
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
        err() << uiText(text::kLoggerFound)
                     .arg(p.loggerModel)
                     .arg(cardText(ctx, card), testText(ctx, test))
                     .arg(p.ch[1].sampleCount)
              << "\n";
        // The settings it records with, as the settings dialog would open.
        const auto units = [](int tenths) { return QString::number(tenths / 10.0, 'f', 1); };
        err() << uiText(ui::kInterval) << " "
              << (p.intervalInSeconds ? uiText(ui::kSecondsValue).arg(p.ch[1].intervalTenSec * 10)
                                      : QStringLiteral("%1:%2")
                                            .arg(p.ch[1].intervalHour, 2, 10, QLatin1Char('0'))
                                            .arg(p.ch[1].intervalMinute, 2, 10, QLatin1Char('0')));
        if (isTwoChannelModel(p.loggerModel))
            for (int ch = 1; ch <= 2; ++ch)
                err() << uiText(text::kAlarmsOfChannel)
                             .arg(ch)
                             .arg(units(p.ch[size_t(ch)].upperAlarm), units(p.ch[size_t(ch)].lowerAlarm));
        err() << "\n";
        if (p.ch[1].sampleCount < 1) {
            complain(uiText(ui::kNothingToReadText));
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
        ctx.comm->progress = [](int maximum, int value) { drawProgress(value, maximum); };
        work();
        ctx.comm->progress = nullptr;
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

QString readSynopsis() {
    return QStringLiteral("read (--port N | --device PATH) --out FILE.ql6 [--channel A..H] [--force]");
}

int runRead(AppContext& ctx, const Arguments& a) {
    const bool byPort = a.options.contains(QStringLiteral("--port"));
    const bool byDevice = a.options.contains(QStringLiteral("--device"));
    const QString target = a.options.value(QStringLiteral("--out"));
    if (byPort == byDevice || target.isEmpty()) {
        complain(uiText(text::kUsageLine).arg(readSynopsis()));
        return kExitUsage;
    }
    if (!namesQl6(target, "read")) return kExitFailed;
    int first = 1;  // a fresh store: the first free channel is A
    if (a.options.contains(QStringLiteral("--channel"))) {
        const QString letter = a.options.value(QStringLiteral("--channel")).toUpper();
        first = letter.size() == 1 ? letter[0].unicode() - u'A' + 1 : 0;
        if (first < 1 || first > kChannels) {
            complain(uiText(text::kChannelLetter));
            return kExitUsage;
        }
    }
    QtSerialPort port;
    if (const QString problem = choosePort(a, port); !problem.isEmpty()) {
        complain(problem);
        return kExitUsage;
    }
    TerminalMessages terminal;
    terminal.useDevice(portDeviceName(a));
    ctx.messages = &terminal;
    // The save asks before replacing a file; nobody answers here.
    if (!a.has("--force") && nameTaken(target)) {
        terminal.concern(target);
        showMessage(ctx, Caption::SaveFile, Msg::OverwriteFile, kOkCancel);
        complain(uiText(text::kNothingReadForce));
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
        if (windows.transferRan && messages.shown == 0)
            complain(captionText(Caption::LoggerRead) + QStringLiteral(": ") + messageText(Msg::ReadError));
        return kExitFailed;
    }
    if (const SaveError error = writeFileAtomically(target, ql6Bytes(ctx.store)); error != SaveError::None)
        return failWith(error, 9, target);
    err() << uiText(text::kSavedChannels).arg(ctx.store.channelsInUse).arg(target) << "\n";
    // Into the archive, as the program's save of a read-out does.
    if (ctx.dataFiles->readoutSink)
        if (const QString word = ctx.dataFiles->readoutSink->readoutSaved(ctx, target); !word.isEmpty()) complain(word);
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

// The commands that, in electronic records mode, sign their user in first,
// and the audit commands after the others.
std::vector<Subcommand> withRecords(std::vector<Subcommand> table) {
    using audit::Permission;
    const std::vector<std::pair<const char*, Permission>> gates{
        {"read", Permission::ReadLogger}, {"usual", Permission::ReadLogger},
        {"set", Permission::ReadLogger},  {"archive import", Permission::ReadLogger},
        {"report", Permission::View},     {"archive report", Permission::View},
    };
    for (Subcommand& c : table)
        for (const auto& [name, permission] : gates)
            if (c.name == QLatin1String(name)) c = gated(c, permission);
    for (Subcommand& c : auditSubcommands()) table.push_back(std::move(c));
    return table;
}

const std::vector<Subcommand>& subcommands() {
    static const std::vector<Subcommand> table = withRecords({
        {QStringLiteral("info"), QStringLiteral("info FILE"), uiText(text::kInfoHelp), {}, 1, runInfo},
        {QStringLiteral("export"),
         QStringLiteral("export FILE (--csv OUT | --text OUT | --tidy OUT.csv [--encoding utf8|cp932] |\n"
                        "             --xlsx OUT.xlsx) [--rows FIRST..LAST]"),
         uiText(text::kExportHelp),
         {QStringLiteral("--csv"), QStringLiteral("--text"), QStringLiteral("--tidy"), QStringLiteral("--xlsx"),
          QStringLiteral("--encoding"), QStringLiteral("--rows")},
         1,
         runExport},
        {QStringLiteral("convert"),
         QStringLiteral("convert FILE --out OUT.ql6"),
         uiText(text::kConvertHelp),
         {QStringLiteral("--out")},
         1,
         runConvert},
        {QStringLiteral("read"),
         readSynopsis(),
         uiText(text::kReadHelp),
         {QStringLiteral("--port"), QStringLiteral("--device"), QStringLiteral("--out"), QStringLiteral("--channel")},
         0,
         runRead,
         {QStringLiteral("--force")}},
        // The subcommands of the other files (cli.h).
        usualSubcommand(),
        setSubcommand(),
        graphRangeSubcommand(),
        printSubcommand(),
        graphSubcommand(),
        statsSubcommand(),
        reportSubcommand(),
        archiveImportSubcommand(),
        archiveListSubcommand(),
        archiveSeriesSubcommand(),
        archiveStatsSubcommand(),
        archiveVerifySubcommand(),
        archivePushSubcommand(),
        archiveCopySubcommand(),
        archiveTrendSubcommand(),
        archiveReportSubcommand(),
    });
    return table;
}

namespace {

void printHelp(QTextStream& s) {
    s << uiText(text::kUsageHead);
    for (const Subcommand& c : subcommands()) {
        s << "  quillet-cli " << c.synopsis << "\n";
        for (const QString& line : c.description.split(QLatin1Char('\n'))) s << "      " << line << "\n";
        s << "\n";
    }
    s << uiText(text::kUsageTail);
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
                complain(uiText(text::kNeedsValue).arg(arg));
                return false;
            }
            a.options.insert(arg, args[++i]);
            a.repeated[arg] << args[i];
        } else if (arg.startsWith(QLatin1String("--"))) {
            complain(uiText(text::kUnknownOption).arg(arg, c.name));
            return false;
        } else {
            a.positional << arg;
        }
    }
    // A negative count takes any number.
    if (!a.help && c.positionalCount >= 0 && a.positional.size() != c.positionalCount) {
        complain(uiText(text::kUsageLine).arg(c.synopsis));
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
            s << uiText(text::kUsageList) << "\n";
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
            out() << uiText(text::kUsageLine).arg(c.synopsis) << "\n" << c.description << "\n";
            out().flush();
            return kExitOk;
        }
        AppContext ctx;
        startUp(ctx, standardFolders());  // the user's setting characters
        // Every saved read-out goes into the user's archive, as in the program.
        archive::ArchiveOnSave archiveOnSave(ctx.folders);
        ctx.dataFiles->readoutSink = &archiveOnSave;
        // Nobody answers a question here: each is answered Cancel (No).
        TerminalMessages messages;
        ctx.messages = &messages;
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
            ctx.loggerSet->settingsWritten = [&records](const SettingsState& held, const SettingsState& written) {
                records.record(audit::action::kSettingsWrite,
                               QStringLiteral("ロガー モデル %1").arg(written.loggerModel()), settingsStateText(held),
                               settingsStateText(written));
            };
        }
        const int code = c.run(ctx, a);
        setActiveRecords(nullptr);
        err().flush();
        return code;
    }
    complain(uiText(text::kUnknownCommand).arg(command));
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
