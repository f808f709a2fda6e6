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
        const auto pair = [](const std::array<QString, 2>& v) { return v[1].isEmpty() ? v[0] : v[0] + " / " + v[1]; };
        out() << labelled(ui::kStartLabel, s.start) << "\n"
              << labelled(ui::kRecordCount, s.data) << "\n"
              << labelled(ui::kAverage, pair(s.ave)) << "\n"
              << labelled(ui::kLowest, pair(s.min)) << "\n"
              << labelled(ui::kHighest, pair(s.max)) << "\n";
        out().flush();
    }
};

const char kSynopsis[] =
    "usual (--port N | --device PATH) [--task read-save-set | set-only] [--naming date | card] [--start hh:nn] "
    "[--force]";

int usage(const QString& problem) {
    complain(problem);
    err() << uiText(text::kUsageLine).arg(QLatin1String(kSynopsis)) << "\n";
    return kExitUsage;
}

QString takesOneOf(const char* option, const char* one, const char* other) {
    return uiText(text::kTakesOneOf).arg(QLatin1String(option), QLatin1String(one), QLatin1String(other));
}

int runUsual(AppContext& ctx, const Arguments& a) {
    if (a.has("--port") == a.has("--device")) return usage(uiText(text::kOneOfPortAndDevice));
    GeneralSettings& g = ctx.general;  // the program's choices unless given here (not saved)
    if (a.has("--task")) {
        const QString task = a.value("--task");
        if (task != QLatin1String("read-save-set") && task != QLatin1String("set-only"))
            return usage(takesOneOf("--task", "read-save-set", "set-only"));
        g.usualCommunicationTask = task == QLatin1String("set-only") ? 1 : 0;
    }
    if (a.has("--naming")) {
        const QString naming = a.value("--naming");
        if (naming != QLatin1String("date") && naming != QLatin1String("card"))
            return usage(takesOneOf("--naming", "date", "card"));
        g.usualCommunicationNaming = naming == QLatin1String("card") ? 1 : 0;
    }
    if (a.has("--start")) {
        const QString start = a.value("--start");
        if (start.size() != 5 || !QTime::fromString(start, QStringLiteral("HH:mm")).isValid())
            return usage(uiText(text::kTimeOfDay));
        g.usualCommunicationStartTime = start;
    }

    QtSerialPort port;
    if (const QString problem = choosePort(a, port); !problem.isEmpty()) return usage(problem);
    ctx.serial = &port;
    TerminalMessages messages;
    messages.useDevice(portDeviceName(a));
    ctx.messages = &messages;
    if (stderrIsTerminal()) ctx.comm->progress = [](int maximum, int value) { drawProgress(value, maximum); };

    const std::optional<UsualRun> run = beginUsualCommunication(ctx);
    if (!run) return kExitFailed;
    err() << captionText(Caption::UsualCommunication) << ": " << usualTaskCaption(g.usualCommunicationTask);
    if (g.usualCommunicationTask == 0)
        err() << uiText(ui::kListComma) << usualNamingCaption(g.usualCommunicationNaming);
    err() << uiText(ui::kListComma) << g.usualCommunicationStartTime << "\n";

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

    if (!outcome.savedFile.isEmpty()) out() << uiText(ui::kDataSaved) << outcome.savedFile << "\n";
    if (!outcome.archiveWord.isEmpty())
        complain(outcome.archiveWord);
    else if (g.usualCommunicationTask == 0 && outcome.settingsRan)
        out() << uiText(ui::kNothingToReadText) << "\n";
    out().flush();
    if (!outcome.settingsRan) {
        complain(uiText(text::kNothingSent));
        return kExitFailed;
    }
    if (dialog.preparation == Preparation::LoggerBusy) {
        complain(uiText(text::kBusyRefusal));
        return kExitFailed;
    }
    if (dialog.preparation == Preparation::UnreadRecords)
        return refuseUnreadRecords(ctx.pendingLogger->ch[1].sampleCount);
    // What the window's closing note says, from the same outcome.
    const QString note = usualSettingsText(outcome);
    if (!outcome.written) {
        complain(uiText(dialog.written ? text::kSettingsNotWrittenSetAgain : text::kSettingsNotWrittenNote).arg(note));
        return kExitFailed;
    }
    printSettingsWritten(dialog);
    out() << uiText(text::kSettingsWritten).arg(outcome.written->startSent.toString(QStringLiteral("yyyy-MM-dd HH:mm")))
          << "\n"
          << note << "\n";
    return kExitOk;
}

}  // namespace

Subcommand usualSubcommand() {
    return {QStringLiteral("usual"),
            QString::fromLatin1(kSynopsis),
            uiText(text::kUsualHelp),
            {QStringLiteral("--port"), QStringLiteral("--device"), QStringLiteral("--task"), QStringLiteral("--naming"),
             QStringLiteral("--start")},
            0,
            runUsual,
            {QStringLiteral("--force")}};
}

}  // namespace quillet::cli
