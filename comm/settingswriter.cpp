#include "comm/settingswriter.h"
#include "core/loggermodels.h"

#include "comm/link.h"
#include "comm/protocol.h"
#include "core/catalog.h"
#include "core/context.h"
#include "core/fieldhelpers.h"
#include "core/statusline.h"
#include "core/uitexts.h"

namespace quillet {

namespace {

constexpr Caption kCaptionSettings = Caption::LoggerSettings;  // "ロガー設定"

QDateTime toMinute(const QDateTime& t) {
    QDateTime m = t;
    m.setTime(QTime(t.time().hour(), t.time().minute()));
    return m;
}

// The start time that 3,2 sends: the one asked for when it is later than the
// clock shown to the user and than the present minute, else now + 1 minute.
QDateTime startToSend(AppContext& ctx, const RecordingSettings& s) {
    const QDateTime now = ctx.clock->now();
    QDateTime clock = toMinute(s.clockTime);
    if (!clock.isValid() || toMinute(now) > clock) clock = toMinute(now);
    const QDateTime start = toMinute(s.startTime);
    if (start.isValid() && start > clock) return start;
    return toMinute(now.addSecs(60));
}

}  // namespace

Preparation prepareSettings(AppContext& ctx, SettingsDialog& dialog, BusyLogger whenBusy) {
    {
        const BusyScope busy(*ctx.view);
        // A request that was not accepted ends the preparation: a port error
        // (already reported) and a cancel quietly, the others with their
        // message.
        const auto fail = [&](Exchange result) {
            if (result == Exchange::Faulty)
                showMessage(ctx, kCaptionSettings, Msg::SettingsFailed, kOkOnly);
            else if (result == Exchange::NoAnswer)
                showMessage(ctx, kCaptionSettings, Msg::NoAnswer, kOkOnly);
            return Preparation::Failed;
        };
        const auto stop = [&](Preparation why) {
            ctx.comm->status = Exchange::Faulty;
            return why;
        };

        Exchange r = request(ctx, Cmd::ReadStatus, {});
        if (r != Exchange::Accepted) return fail(r);
        const LoggerStatus status = parseStatus(ctx);  // recording and unreadable are told here
        const bool engaged = status == LoggerStatus::recording || status == LoggerStatus::readError;
        if (engaged && whenBusy != BusyLogger::TellAndGoOn) return stop(Preparation::LoggerBusy);
        if (status == LoggerStatus::locked) {
            r = request(ctx, Cmd::Lock, "2");
            if (r != Exchange::Accepted) return fail(r);
        }
        r = request(ctx, Cmd::Identify, {});
        if (r != Exchange::Accepted) return fail(r);
        const int model = parseIdentification(ctx, 0);
        if (!isKnownModel(model)) return fail(Exchange::Faulty);
        // The one-channel logger reports its range/mode code twice; the
        // settings take the second.
        if (loggerModel(model)->hasRangeModeCode) parseIdentification(ctx, 1);
        if (whenBusy == BusyLogger::StopOrUnreadRecords) {
            r = request(ctx, Cmd::ReadSummary, {});
            if (r != Exchange::Accepted) return fail(r);
            if (!parseSummary(ctx)) return fail(Exchange::Faulty);
            if (ctx.pendingLogger->ch[1].sampleCount > 0) return stop(Preparation::UnreadRecords);
        }
    }
    const PendingLogger read = ctx.pendingLogger;  // the dialog's own copy
    dialog.run(ctx, read);
    ctx.comm->status = Exchange::Accepted;
    ctx.view->setBusy(false);
    return Preparation::DialogRan;
}

QString stepList(const QList<Caption>& captions) {
    QStringList names;
    for (Caption c : captions) names << captionText(c);
    return names.join(uiText(ui::kListComma));
}

QDateTime writeSettings(AppContext& ctx, const RecordingSettings& settings, int loggerModel,
                        const std::function<void(int)>& barsetting) {
    WrittenSteps steps;
    return writeSettingsNotingSteps(ctx, settings, loggerModel, barsetting, steps);
}

QDateTime writeSettingsNotingSteps(AppContext& ctx, const RecordingSettings& settings, int loggerModel,
                                   const std::function<void(int)>& barsetting, WrittenSteps& steps) {
    const auto bar = [&](int value) {
        if (barsetting) barsetting(value);
    };
    RecordingSettings s = settings;
    if (!s.clockTime.isValid()) s.clockTime = toMinute(ctx.clock->now());
    // The channels' range bottoms come from the identification; without one
    // of this model, the bottoms every model 1/2 logger has.
    PendingLogger logger = ctx.pendingLogger;
    if (logger.loggerModel != loggerModel) {
        logger = PendingLogger{};
        logger.ch[1].rangeLow = -400;
        logger.ch[2].rangeLow = 0;
    }
    logger.loggerModel = int16_t(loggerModel);

    const QList<SettingCommand> commands = settingCommands(s, logger);
    if (commands.isEmpty()) {
        // No logger model to write to.
        bar(0);
        ctx.comm->status = Exchange::Faulty;
        return {};
    }
    steps = {};
    int step = 0;
    QDateTime startSent;
    for (qsizetype i = 0; i < commands.size(); ++i) {
        SettingCommand cmd = commands[i];
        if (cmd.step != step) {
            step = cmd.step;
            bar(step);
        }
        if (cmd.group == 3 && cmd.number == 2) {
            startSent = startToSend(ctx, s);
            cmd.data = dateTimeData(startSent);
        }
        if (request(ctx, cmd.group, cmd.number, cmd.data, {}, kRequestAttempts, cmd.captionNo) != Exchange::Accepted) {
            bar(0);
            const Exchange result = ctx.comm->status;
            for (qsizetype j = i; j < commands.size(); ++j)
                if (j == i || commands[j].step != commands[j - 1].step)
                    steps.notWritten << Caption(commands[j].captionNo);
            // A half-set logger needs setting again; a cancel is the user's own.
            if (!steps.acknowledged.isEmpty() && result != Exchange::Cancelled)
                showMessage(ctx, kCaptionSettings, Msg::PartlyWritten, kOkOnly | kIconExclamation,
                            {stepList(steps.acknowledged), stepList(steps.notWritten)});
            ctx.comm->status = Exchange::Faulty;
            return {};
        }
        // A step is written once its last command is acknowledged.
        if (i + 1 == commands.size() || commands[i + 1].step != step) steps.acknowledged << Caption(cmd.captionNo);
        pauseMs(ctx, ctx.timing.setCommandWait);
    }
    ctx.comm->status = Exchange::Accepted;
    showStatusWord(ctx, settingsWrittenText(s, startSent, loggerModel));
    return startSent;
}

QString settingsWrittenText(const RecordingSettings& settings, const QDateTime& startSent, int loggerModel) {
    const LoggerModel* model = quillet::loggerModel(loggerModel);
    const bool seconds = settings.useSecondsInterval && model && model->hasSecondsInterval;
    const qint64 intervalSeconds =
        seconds ? settings.secondsInterval : (qint64(settings.intervalHour) * 60 + settings.intervalMinute) * 60;
    const QString format = QStringLiteral("yyyy-MM-dd HH:mm");
    QString text = uiText(ui::kSettingsWrittenStart) + startSent.toString(format) +
                   uiText(ui::kSettingsWrittenInterval) +
                   (seconds ? uiText(ui::kSecondsValue).arg(settings.secondsInterval)
                            : QStringLiteral("%1:%2")
                                  .arg(settings.intervalHour, 2, 10, QLatin1Char('0'))
                                  .arg(settings.intervalMinute, 2, 10, QLatin1Char('0')));
    if (model && model->hasEndReservation && settings.recordLimit > 0 && startSent.isValid())
        text += uiText(ui::kSettingsWrittenEnd) +
                startSent.addSecs(intervalSeconds * settings.recordLimit).toString(format);
    return text + uiText(ui::kSettingsWrittenClose);
}

}  // namespace quillet
