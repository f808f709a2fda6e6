// quillet-cli usual: the usual communication without windows. Read the
// logger, save its data under the automatic name, then write the next
// recording settings — only once the data is safely in the file. Nobody is
// there to answer a question, so every question is answered Cancel: an
// existing file is never overwritten, a logger without records is not set.
#include "comm/serialport.h"
#include "comm/settingswriter.h"
#include "comm/usual.h"
#include "core/catalog.h"
#include "loggerset/parametertexts.h"
#include "loggerset/unseensettings.h"
#include "tools/cli/cli.h"

#include <QTime>

namespace quillet::cli {
namespace {

class TerminalView : public UsualView {
public:
    void setMode(const QString& text) override { err() << text << "\n"; }
    void showSummary(const UsualSummary& s) override {
        out() << "Start:    " << s.start << "\n"
              << "Records:  " << s.data << "\n"
              << "Average:  " << s.ave[0] << (s.ave[1].isEmpty() ? "" : " / ") << s.ave[1] << "\n"
              << "Lowest:   " << s.min[0] << (s.min[1].isEmpty() ? "" : " / ") << s.min[1] << "\n"
              << "Highest:  " << s.max[0] << (s.max[1].isEmpty() ? "" : " / ") << s.max[1] << "\n";
        out().flush();
    }
};

int usage(const QString& problem) {
    err() << "quillet-cli: " << problem << "\n"
          << "usage: quillet-cli usual (--port N | --device PATH) [--task read-save-set | set-only]"
             " [--naming date | card] [--start hh:nn] [--force]\n";
    return kExitUsage;
}

int runUsual(AppContext& ctx, const Arguments& a) {
    if (a.has("--port") == a.has("--device")) return usage("give one of --port N and --device PATH");
    GeneralSettings& g = ctx.general;  // the program's choices unless given here (not saved)
    if (a.has("--task")) {
        const QString task = a.value("--task");
        if (task != QLatin1String("read-save-set") && task != QLatin1String("set-only"))
            return usage("--task takes read-save-set or set-only");
        g.usualCommunicationTask = task == QLatin1String("set-only") ? 1 : 0;
    }
    if (a.has("--naming")) {
        const QString naming = a.value("--naming");
        if (naming != QLatin1String("date") && naming != QLatin1String("card"))
            return usage("--naming takes date or card");
        g.usualCommunicationNaming = naming == QLatin1String("card") ? 1 : 0;
    }
    if (a.has("--start")) {
        const QString start = a.value("--start");
        if (start.size() != 5 || !QTime::fromString(start, QStringLiteral("HH:mm")).isValid())
            return usage("--start takes a time of day hh:nn (00:00 .. 23:59)");
        g.usualCommunicationStartTime = start;
    }

    QtSerialPort port;
    if (const QString problem = choosePort(a, port); !problem.isEmpty()) return usage(problem);
    ctx.serial = &port;
    TerminalMessages messages;
    ctx.messages = &messages;
    if (stderrIsTerminal())
        ctx.comm->progress = [](int maximum, int value) {
            const int width = 40;
            const int done = maximum > 0 ? qBound(0, int(qint64(value) * width / maximum), width) : 0;
            err() << "\r[" << QString(done, QLatin1Char('#')) << QString(width - done, QLatin1Char(' ')) << "] "
                  << value << "/" << maximum;
            if (value >= maximum) err() << "\n";
            err().flush();
        };

    const std::optional<UsualRun> run = beginUsualCommunication(ctx);
    if (!run) return kExitFailed;
    err() << captionText(Caption::UsualCommunication) << ": " << usualTaskCaption(g.usualCommunicationTask);
    if (g.usualCommunicationTask == 0) err() << ", " << usualNamingCaption(g.usualCommunicationNaming);
    err() << ", " << g.usualCommunicationStartTime << "\n";

    UnseenSettingsDialog dialog;
    UsualSteps steps;
    steps.chooseDestinations = [](AppContext& c) { return chooseInitialDestinations(c); };
    // Headless, a busy logger, or a set-only visit to a logger holding
    // records, is refused unless --force: writing erases its memory.
    const BusyLogger busy = a.has("--force")                ? BusyLogger::TellAndGoOn
                            : g.usualCommunicationTask == 1 ? BusyLogger::StopOrUnreadRecords
                                                            : BusyLogger::Stop;
    steps.settingsStep = [&dialog, busy](AppContext& c, const QDateTime& start) {
        dialog = usualSettingsStep(c, start, busy);
        return dialog.writtenSettings();
    };
    TerminalView view;
    const UsualOutcome outcome = runUsualCommunication(ctx, *run, steps, view);

    if (!outcome.savedFile.isEmpty()) out() << "Saved:    " << outcome.savedFile << "\n";
    if (!outcome.archiveWord.isEmpty())
        err() << "quillet-cli: " << outcome.archiveWord << "\n";
    else if (g.usualCommunicationTask == 0 && outcome.settingsRan)
        out() << "Saved:    nothing (the logger held no records)\n";
    out().flush();
    if (!outcome.settingsRan) {
        err() << "quillet-cli: the usual communication ended before the settings; nothing was sent to the logger\n";
        return kExitFailed;
    }
    if (dialog.preparation == Preparation::LoggerBusy) {
        err() << "quillet-cli: " << kBusyRefusal << "\n";
        return kExitFailed;
    }
    if (dialog.preparation == Preparation::UnreadRecords)
        return refuseUnreadRecords(ctx.pendingLogger->ch[1].sampleCount);
    // What the window's closing note says, from the same outcome.
    const QString note = usualSettingsText(outcome);
    if (!outcome.written) {
        err() << "quillet-cli: " << note << " (the recording settings were not written"
              << (dialog.written ? "; set the logger again" : "") << ")\n";
        return kExitFailed;
    }
    printSettingsWritten(dialog);
    recordSettingsWrite(dialog);
    out() << "Settings: written; the logger starts recording at "
          << outcome.written->startSent.toString(QStringLiteral("yyyy-MM-dd HH:mm")) << "\n"
          << note << "\n";
    return kExitOk;
}

}  // namespace

Subcommand usualSubcommand() {
    return {QStringLiteral("usual"),
            QStringLiteral("usual (--port N | --device PATH) [--task read-save-set | set-only] [--naming date | card] "
                           "[--start hh:nn] [--force]"),
            QStringLiteral("The usual communication (いつもの通信): reads the logger, saves its data under the\n"
                           "automatic name (--naming date: date/yy年mm月/dd日hh時nn分.ql6, card:\n"
                           "number/yy年mm月dd日/card_test.ql6 in the documents folder), checks the saved\n"
                           "file, then writes the next recording settings with the recording to start at\n"
                           "--start (today, or tomorrow when that time has passed). --task set-only only\n"
                           "writes the settings. Defaults are the program's いつもの通信設定. Prints the\n"
                           "saved file and what was written. Exit status 1 when the run stopped before\n"
                           "the settings (then nothing was sent to the logger) or the settings were not\n"
                           "written. An existing file is never overwritten, and a logger without records\n"
                           "is not set (nobody is there to answer the questions). A logger that is\n"
                           "recording or waiting for its start, or whose status cannot be read, and with\n"
                           "--task set-only a logger holding records, is refused unless --force is given."),
            {QStringLiteral("--port"), QStringLiteral("--device"), QStringLiteral("--task"), QStringLiteral("--naming"),
             QStringLiteral("--start")},
            0,
            runUsual,
            {QStringLiteral("--force")}};
}

}  // namespace quillet::cli
