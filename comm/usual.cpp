#include "comm/usual.h"

#include "core/loggermodels.h"
#include "core/savefile.h"

#include "comm/readout.h"
#include "core/catalog.h"
#include "core/fieldhelpers.h"
#include "core/statusline.h"
#include "core/store.h"
#include "core/uitexts.h"
#include "core/vb.h"
#include "datafile/datafile.h"
#include "datafile/fileops.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTime>

namespace quillet {
namespace {

constexpr Caption kCaptionUsual = Caption::UsualCommunication;  // "いつもの通信"
constexpr Caption kCaptionSave = Caption::SaveFile;             // "ファイルの保存"

// The main window stays disabled from the start of the run to its end: the
// read-out and the settings preparation inside it would enable it again.
struct HeldBusyView : MainView {
    explicit HeldBusyView(MainView& inner) : inner(inner) {}
    void refreshDisplay() override { inner.refreshDisplay(); }
    void updateCaption() override { inner.updateCaption(); }
    void updateCommandStates() override { inner.updateCommandStates(); }
    void enableAllCommands() override { inner.enableAllCommands(); }
    void setBusy(bool) override {}
    MainView& inner;
};

// A run from its start to its end: the main window held busy meanwhile,
// and handed back with the run over however the run ends.
class HeldRun {
public:
    explicit HeldRun(AppContext& ctx) : ctx_(ctx), main_(*ctx.view), held_(main_) {
        main_.setBusy(true);
        ctx_.view = &held_;
    }
    HeldRun(const HeldRun&) = delete;
    HeldRun& operator=(const HeldRun&) = delete;
    ~HeldRun() {
        ctx_.comm->status = Exchange::Accepted;
        ctx_.view = &main_;
        main_.updateCommandStates();
        main_.setBusy(false);
    }

private:
    AppContext& ctx_;
    MainView& main_;
    HeldBusyView held_;
};

QString writtenText(const WrittenSettings& w) { return settingsWrittenText(w.settings, w.startSent, w.loggerModel); }

void emptyChannels(AppContext& ctx) {
    for (int ch = 1; ch <= kChannels; ++ch) ctx.store.ch[size_t(ch)].inUse = 0;
    ctx.store.channelsInUse = 0;
}

UsualSummary summaryOf(const AppContext& ctx, Destinations to) {
    const ChannelStore& s = ctx.store;
    const ChannelRecord& c1 = s.ch[size_t(to.first)];
    const auto tenths = [](int v, const char* pattern) { return vb::format(v / 10.0, QString::fromLatin1(pattern)); };
    UsualSummary u;
    u.start = vb::formatDate(c1.startTime, QStringLiteral("yy-mm-dd hh:nn:ss"));
    u.data = QString::number(c1.sampleCount);
    u.max[0] = tenths(c1.maxValue, "0.0");
    u.min[0] = tenths(c1.minValue, "0.0");
    u.ave[0] = tenths(c1.averageValue, "0.0");
    int16_t card = c1.cardNo;
    int16_t test = c1.testNo;
    u.cardTest = cardText(ctx, card) + QStringLiteral(" / ") + testText(ctx, test);
    const int model = ctx.pendingLogger->loggerModel;
    if (isTwoChannelModel(model)) {
        const ChannelRecord& c2 = s.ch[size_t(to.second)];
        const char* pattern = loggerModel(model)->humidityWholeUnits ? "0" : "0.0";
        u.max[1] = tenths(c2.maxValue, pattern);
        u.min[1] = tenths(c2.minValue, pattern);
        u.ave[1] = tenths(c2.averageValue, pattern);
    }
    return u;
}

// Step c: identification and summary, no window, no question. False after
// a failure (told to the user).
bool identify(AppContext& ctx) {
    Identified identified = Identified::Faulty;
    try {
        identified = identifyLogger(ctx);
    } catch (...) {
        // What the read-out did not expect ends the run with its error.
        showReadoutFault(ctx, std::current_exception());
        return false;
    }
    switch (identified) {
    case Identified::Logger: return true;
    // A port that cannot be used, and a logger of no known model, have had
    // their message already.
    case Identified::PortError:
    case Identified::Unsupported: return false;
    case Identified::NoAnswer: showMessage(ctx, kCaptionUsual, Msg::NoAnswer, kOkOnly); return false;
    case Identified::Cancelled: showMessage(ctx, kCaptionUsual, Msg::ReadingStopped, kOkOnly); return false;
    case Identified::Faulty: showMessage(ctx, kCaptionUsual, Msg::ReadError, kOkOnly); return false;
    }
    return false;
}

// Step d: the transfer, the summary, the save and its check, the store
// emptied. False when the run must end here.
bool readAndSave(AppContext& ctx, UsualRun run, Destinations to, UsualView& view, UsualOutcome& out) {
    switch (transferReadout(ctx, to)) {
    case Transfer::Stored: break;
    // A cancel, and a broken block, still need a word: the logger was not set.
    case Transfer::Cancelled: showMessage(ctx, kCaptionUsual, Msg::ReadingStopped, kOkOnly); return false;
    case Transfer::Failed: showMessage(ctx, kCaptionUsual, Msg::ReadError, kOkOnly); return false;
    case Transfer::NoAnswer: showReadFailure(ctx, Exchange::NoAnswer); return false;
    case Transfer::Faulty: showReadFailure(ctx, Exchange::Faulty); return false;
    case Transfer::PortError: return false;  // told
    }
    out.summary = summaryOf(ctx, to);
    view.showSummary(out.summary);

    ctx.comm->status = Exchange::Accepted;
    const int mode = run == UsualRun::ByNumber ? kAutoSaveNumber : kAutoSaveDate;
    // A failure has shown its file error; a declined overwrite ends quietly.
    if (runFileOperation(ctx, mode) != FileOutcome::Done) return false;
    const QString saved = ctx.store.currentFileName;
    if (!savedFileIntact(ctx.store, saved)) {
        showRuntimeError(ctx, runtimeErrorOf(SaveError::Writing), captionText(kCaptionSave), kOkOnly);
        return false;
    }
    out.savedFile = saved;
    out.archiveWord = ctx.dataFiles->readoutSinkWord;

    emptyChannels(ctx);
    ctx.store.currentFileName = defaultFileName(ctx);
    ctx.view->updateCaption();
    return true;
}

// Steps c to e of a run, inside its HeldRun.
void runSteps(AppContext& ctx, UsualRun run, const UsualSteps& steps, UsualView& view, UsualOutcome& out);

}  // namespace

QStringList usualStartTimes() {
    QStringList times;
    for (int h = 0; h < 24; ++h)
        for (int m : {0, 30})
            times << QStringLiteral("%1:%2").arg(h, 2, 10, QLatin1Char('0')).arg(m, 2, 10, QLatin1Char('0'));
    return times;
}

QString usualTaskCaption(int task) { return task == 1 ? uiText(ui::kSetOnlyTask) : uiText(ui::kReadSaveSetTask); }

QString usualNamingCaption(int naming) { return naming == 1 ? uiText(ui::kByNumberNaming) : uiText(ui::kByDateNaming); }

UsualChoices usualChoices(const GeneralSettings& g) {
    const bool valid = (g.usualCommunicationTask == 0 || g.usualCommunicationTask == 1) &&
                       (g.usualCommunicationNaming == 0 || g.usualCommunicationNaming == 1) &&
                       usualStartTimes().contains(g.usualCommunicationStartTime);
    if (!valid) return {};
    return {g.usualCommunicationTask, g.usualCommunicationNaming, g.usualCommunicationStartTime};
}

QDateTime usualStartTime(const QDateTime& now, const QString& hhnn) {
    QTime at = QTime::fromString(hhnn, QStringLiteral("HH:mm"));
    if (!at.isValid()) at = QTime(12, 0);
    const QDateTime minute(now.date(), QTime(now.time().hour(), now.time().minute()));
    QDateTime start(now.date(), at);
    if (!(minute < start)) start = QDateTime(now.date().addDays(1), at);
    return start;
}

std::optional<UsualRun> beginUsualCommunication(AppContext& ctx) {
    if (ctx.general.usualCommunicationTask == 1) return UsualRun::SetOnly;
    if (ctx.store.channelsInUse != 0 || countChannelsInUse(ctx.store) != 0) {
        showMessage(ctx, kCaptionUsual, Msg::ClearDataFirst, kOkOnly);
        return std::nullopt;
    }
    return ctx.general.usualCommunicationNaming == 1 ? UsualRun::ByNumber : UsualRun::ByDate;
}

bool clearScreenForUsual(AppContext& ctx) {
    if (ctx.general.usualCommunicationTask == 1 || countChannelsInUse(ctx.store) == 0) return true;
    const QString text = messageText(int(Msg::ClearDataFirst)) + QStringLiteral("\r\r") +
                         uiText(ui::kSaveAndClearQuestion) + uiText(ui::kSaveAndClearAnswers);
    const int answer = ctx.messages->show(captionText(kCaptionUsual), text, kYesNoCancel | kIconQuestion);
    if (answer != kYes && answer != kNo) return false;
    if (answer == kYes && runFileOperation(ctx, kSaveAs) != FileOutcome::Done) return false;
    clearAllChannels(ctx);
    rebuildAxisAndDisplay(ctx);
    ctx.view->updateCommandStates();
    return true;
}

UsualOutcome runUsualCommunication(AppContext& ctx, UsualRun run, const UsualSteps& steps, UsualView& view) {
    UsualOutcome out;
    {
        HeldRun held(ctx);
        runSteps(ctx, run, steps, view, out);
    }
    // The writer's word went to the held view, which has no status line.
    if (out.written) showStatusWord(ctx, writtenText(*out.written));
    return out;
}

namespace {

void runSteps(AppContext& ctx, UsualRun run, const UsualSteps& steps, UsualView& view, UsualOutcome& out) {
    const bool reading = run != UsualRun::SetOnly;
    bool goOn = true;
    if (reading) {
        view.setMode(uiText(ui::kReadLoggerWords));
        goOn = identify(ctx);
        if (goOn) {
            const Destinations to = steps.chooseDestinations ? steps.chooseDestinations(ctx) : Destinations{};
            out.hadRecords = ctx.pendingLogger->ch[1].sampleCount > 0;
            goOn = out.hadRecords ? readAndSave(ctx, run, to, view, out)
                                  : showMessage(ctx, kCaptionUsual, Msg::NoRecordsContinue, kOkCancel) == kOk;
        }
    }

    if (goOn) {
        view.setMode(uiText(ui::kLoggerSettingsMode));
        out.startTime = usualStartTime(ctx.clock->now(), ctx.general.usualCommunicationStartTime);
        ctx.comm->status = Exchange::Accepted;
        out.settingsRan = true;
        if (steps.settingsStep) out.written = steps.settingsStep(ctx, out.startTime);
        out.settingsStatus = ctx.comm->status;
    } else if (reading) {
        emptyChannels(ctx);
    }
}

}  // namespace

QString usualOutcomeText(const UsualOutcome& outcome) {
    QStringList lines;
    if (!outcome.savedFile.isEmpty())
        lines << uiText(ui::kDataSaved) + QDir::toNativeSeparators(QFileInfo(outcome.savedFile).absoluteFilePath());
    if (!outcome.archiveWord.isEmpty()) lines << outcome.archiveWord;
    if (outcome.settingsRan) lines << usualSettingsText(outcome);
    return lines.join(QLatin1Char('\n'));
}

QString usualSettingsText(const UsualOutcome& outcome) {
    return outcome.written ? writtenText(*outcome.written) : uiText(ui::kSettingsNotWritten);
}

bool savedFileIntact(const ChannelStore& store, const QString& fileName) {
    QByteArray bytes;
    if (readRegularFile(fileName, kMaxDataFileBytes + 1, bytes) != SaveError::None || bytes != ql6Bytes(store))
        return false;
    const ParsedDataFile parsed = parseDataFile(bytes, true);
    if (parsed.error != 0 || int(parsed.blocks.size()) != countChannelsInUse(store)) return false;
    for (const FileBlock& b : parsed.blocks) {
        const ChannelRecord& c = store.ch[size_t(b.channel)];
        if (c.inUse != 1 || b.samplesPresent != c.sampleCount || b.header.sampleCount != c.sampleCount) return false;
    }
    return true;
}

}  // namespace quillet
