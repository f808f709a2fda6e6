// quillet-cli set: the recording settings dialog without a window. The
// preparation reads the logger (status, unlock, identification) as the menu
// entry does; the dialog opens with what the logger holds, each value given
// on the command line is entered through the dialog's own rules, and the
// result is written. Where a rule would put a different value in the box,
// the command refuses with the rule's message instead, and nothing is sent
// after the reads.
#include "comm/serialport.h"
#include "core/catalog.h"
#include "loggerset/unseensettings.h"
#include "tools/cli/cli.h"

#include <QRegularExpression>

#include <optional>

namespace quillet::cli {
namespace {

const char kSynopsis[] =
    "set (--port N | --device PATH) [--card N] [--test N] [--interval hh:nn | --seconds 10|20|30|40|50]"
    " [--start \"yyyy-mm-dd hh:nn\"] [--end \"yyyy-mm-dd hh:nn\"] [--mode endless|onetime] [--range 1|2|3]"
    " [--ref1 VALUE(H|L)] [--ref2 VALUE(H|L)] [--alarm1 UPPER/LOWER] [--alarm2 UPPER/LOWER] [--lock | --no-lock] "
    "[--force]";

int usage(const QString& problem) {
    complain(problem);
    err() << uiText(text::kUsageLine).arg(QLatin1String(kSynopsis)) << "\n";
    return kExitUsage;
}

QString said(const char16_t* text, const char* option) { return uiText(text).arg(QLatin1String(option)); }

struct Reference {
    QString value;
    int16_t side = 0;  // 0 "H", 8 "L"
};
struct Alarms {
    QString upper, lower;
};

// The command line, checked for its form; what the logger takes is checked
// once it has been read.
struct Request {
    std::optional<int> card, test;
    std::optional<int> intervalIndex, secondsIndex;
    QString start, end;
    std::optional<RecordMode> mode;
    std::optional<int> range;  // 0..2
    std::optional<Reference> ref[3];
    std::optional<Alarms> alarm[3];
    std::optional<bool> lock;
};

// Returns an empty string, or what is wrong with the command line.
QString parse(const Arguments& a, Request& r) {
    const auto number = [&](const char* option, int low, int high, std::optional<int>& into) -> QString {
        if (!a.has(option)) return {};
        bool ok = false;
        const int v = a.value(option).toInt(&ok);
        if (!ok || v < low || v > high) return said(text::kTakesNumber, option).arg(low).arg(high);
        into = v;
        return {};
    };
    if (QString e = number("--card", 0, 255, r.card); !e.isEmpty()) return e;
    if (QString e = number("--test", 0, 255, r.test); !e.isEmpty()) return e;
    if (a.has("--interval") && a.has("--seconds")) return said(text::kNotBoth, "--interval").arg("--seconds");
    if (a.has("--interval")) {
        const qsizetype i = intervalChoices().indexOf(a.value("--interval"));
        if (i < 0) return uiText(text::kIntervalChoices);
        r.intervalIndex = int(i);
    }
    if (a.has("--seconds")) {
        const qsizetype i = secondsChoices().indexOf(a.value("--seconds"));
        if (i < 0) return uiText(text::kSecondsChoices);
        r.secondsIndex = int(i);
    }
    for (const char* option : {"--start", "--end"}) {
        if (!a.has(option)) continue;
        const QString text = a.value(option);
        if (!QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm")).isValid())
            return said(text::kTimeForm, option);
        (QByteArray(option) == "--start" ? r.start : r.end) = text;
    }
    if (a.has("--mode")) {
        const QString m = a.value("--mode");
        if (m != QLatin1String("endless") && m != QLatin1String("onetime"))
            return uiText(text::kTakesOneOf)
                .arg(QStringLiteral("--mode"), QStringLiteral("endless"), QStringLiteral("onetime"));
        r.mode = m == QLatin1String("endless") ? endless : oneTime;
    }
    std::optional<int> range;
    if (QString e = number("--range", 1, 3, range); !e.isEmpty()) return e;
    if (range) r.range = *range - 1;
    static const QRegularExpression refForm(QStringLiteral("^(-?\\d+)([HLhl])$"));
    static const QRegularExpression alarmForm(QStringLiteral("^(-?\\d+)/(-?\\d+)$"));
    for (int ch = 1; ch <= 2; ++ch) {
        const QByteArray refOption = "--ref" + QByteArray::number(ch);
        const QByteArray alarmOption = "--alarm" + QByteArray::number(ch);
        if (a.has(refOption.constData())) {
            const auto m = refForm.match(a.value(refOption.constData()));
            if (!m.hasMatch()) return said(text::kReferenceForm, refOption.constData());
            r.ref[ch] = Reference{m.captured(1), int16_t(m.captured(2).toUpper() == QLatin1String("L") ? 8 : 0)};
        }
        if (a.has(alarmOption.constData())) {
            const auto m = alarmForm.match(a.value(alarmOption.constData()));
            if (!m.hasMatch()) return said(text::kAlarmForm, alarmOption.constData());
            r.alarm[ch] = Alarms{m.captured(1), m.captured(2)};
        }
    }
    if (a.has("--lock") && a.has("--no-lock")) return said(text::kNotBoth, "--lock").arg("--no-lock");
    if (a.has("--lock") || a.has("--no-lock")) r.lock = a.has("--lock");
    return {};
}

// A value the logger's model has no box for.
bool refuse(const QString& what, int model) {
    complain(uiText(text::kNotForModel).arg(what).arg(model));
    return false;
}

// A rule's message: shown as the dialog shows it; the value is refused.
bool refused(AppContext& ctx, const RuleOutcome& r) {
    showMessage(ctx, Caption::LoggerSettings, Msg(r.messageNo), kOkOnly, r.args);
    complain(uiText(text::kValueRefused));
    return false;
}

// Enters the request into the opened dialog in the order a user works down
// it: numbers, range, mode, interval, start, end, references, alarms, lock.
bool enter(AppContext& ctx, SettingsState& s, const Request& r) {
    const int m = s.loggerModel();
    const bool modes = m == 3 || m == 4;
    if (r.card) s.cardNo = *r.card;
    if (r.test) s.testNo = *r.test;
    if (r.range) {
        if (m != 3) return refuse(uiText(text::kRangeIsForOneChannel), m);
        if (measuringRangeFixed(s) && *r.range != s.measuringRange)
            return refuse(
                uiText(text::kRangeKept).arg(s.measuringRange + 1).arg(rangeChoices().value(s.measuringRange)), m);
        rebuildReferenceList(s, *r.range);
    }
    if (r.mode) {
        if (!modes) return refuse(said(text::kForModels, "--mode").arg(QStringLiteral("3、4")), m);
        pickRecordMode(s, *r.mode);
    }
    if (r.secondsIndex) {
        if (!modes) return refuse(said(text::kForModels, "--seconds").arg(QStringLiteral("3、4")), m);
        setSecondsInterval(s, true);
        pickSecondsInterval(s, *r.secondsIndex);
    }
    if (r.intervalIndex) {
        setSecondsInterval(s, false);
        pickInterval(s, *r.intervalIndex);
    }
    if (!r.start.isEmpty()) {
        const RuleOutcome o = checkStartTime(s, r.start);
        if (!o.accepted()) return refused(ctx, o);
    }
    if (!r.end.isEmpty()) {
        if (m == 3) return refuse(said(text::kForModels, "--end").arg(QStringLiteral("1、2、4")), m);
        if (!endReservationEditable(s)) return refuse(uiText(text::kNoEndReservation), m);
        const RuleOutcome o = checkEndReservation(s, r.end);
        if (!o.accepted()) return refused(ctx, o);
        if (s.endText != r.end) {
            complain(uiText(text::kEndBetweenRecords).arg(s.endText));
            return false;
        }
    }
    for (int ch = 1; ch <= 2; ++ch) {
        const size_t c = size_t(ch);
        if (r.ref[c]) {
            if (referenceChoices(s, ch).isEmpty()) return refuse(uiText(text::kNoReferenceOnChannel).arg(ch), m);
            const QString previous = s.referenceText[c];
            s.referenceText[c] = r.ref[c]->value;
            const RuleOutcome o = checkReferenceValue(s, ch, previous);
            if (!o.accepted()) return refused(ctx, o);
            s.referenceSide[c] = r.ref[c]->side;
        }
        if (r.alarm[c]) {
            if (upperAlarmChoices(m, ch).isEmpty()) return refuse(uiText(text::kNoAlarmsOnChannel).arg(ch), m);
            const QString previousUpper = s.upperText[c], previousLower = s.lowerText[c];
            s.upperText[c] = r.alarm[c]->upper;
            s.lowerText[c] = r.alarm[c]->lower;
            RuleOutcome o = checkUpperAlarm(s, ch, previousUpper);
            if (o.accepted()) o = checkLowerAlarm(s, ch, previousLower);
            if (!o.accepted()) return refused(ctx, o);
        }
    }
    if (r.lock) {
        if (m != 4) return refuse(uiText(text::kLockForModel4), m);
        s.lockLogger = *r.lock;
    }
    return true;
}

QString minuteText(const QDateTime& t) { return t.toString(QStringLiteral("yyyy-MM-dd HH:mm")); }

int runSet(AppContext& ctx, const Arguments& a) {
    if (a.has("--port") == a.has("--device")) return usage(uiText(text::kOneOfPortAndDevice));
    Request request;
    if (const QString problem = parse(a, request); !problem.isEmpty()) return usage(problem);

    QtSerialPort port;
    if (const QString problem = choosePort(a, port); !problem.isEmpty()) return usage(problem);
    ctx.serial = &port;
    TerminalMessages messages;
    messages.useDevice(portDeviceName(a));
    ctx.messages = &messages;

    UnseenSettingsDialog dialog;  // opens with the start a minute from now
    dialog.failureCaption = Caption::LoggerSettings;
    bool entered = false;
    dialog.edit = [&](AppContext& c, SettingsState& s) { return entered = enter(c, s, request); };
    // Writing erases the logger's memory: a logger that is recording, or
    // that holds records nobody read, is refused unless --force.
    const Preparation prepared =
        prepareSettings(ctx, dialog, a.has("--force") ? BusyLogger::TellAndGoOn : BusyLogger::StopOrUnreadRecords);
    if (prepared == Preparation::LoggerBusy) {
        complain(uiText(text::kBusyRefusal));
        return kExitFailed;
    }
    if (prepared == Preparation::UnreadRecords) return refuseUnreadRecords(ctx.pendingLogger->ch[1].sampleCount);
    if (!dialog.opened || !entered) return kExitFailed;  // told already
    if (dialog.status != Exchange::Accepted) {
        complain(uiText(ui::kSettingsNotWritten) + uiText(text::kSetAgain));
        return kExitFailed;
    }
    printSettingsWritten(dialog);
    return kExitOk;
}

// Where the measuring range written came from: no command writes it, so it
// is only ever what the logger reported, or the default when the logger
// reported no range the dialog knows (its box stays empty), or --range.
QString rangeOrigin(const SettingsState& s) {
    if (measuringRangeFixed(s)) return uiText(text::kRangeLoggersOwn);
    if (s.measuringRange < 0) return uiText(text::kRangeDefault).arg(s.current.rangeModeCode);
    return uiText(text::kRangeAsGiven);
}

}  // namespace

void printSettingsWritten(const UnseenSettingsDialog& written) {
    const RecordingSettings& s = written.settings;
    const int m = written.loggerModel;
    const QDateTime& startSent = written.startSent;
    const auto three = [](int v) { return QStringLiteral("%1").arg(v, 3, 10, QLatin1Char('0')); };
    const auto line = [](const QString& label, const QString& value) { out() << labelled(label, value) << "\n"; };
    const auto channelLine = [&](int ch, const char16_t* label, const QString& value) {
        line(uiText(text::kChannelItem).arg(ch).arg(uiText(label)), value);
    };
    out() << uiText(text::kWrittenModel).arg(m) << "\n";
    line(uiText(ui::kCardTestNumbers), three(s.cardNo) + "-" + three(s.testNo));
    if (s.useSecondsInterval && (m == 3 || m == 4))
        line(uiText(ui::kInterval), uiText(ui::kSecondsValue).arg(s.secondsInterval));
    else
        line(uiText(ui::kInterval), intervalChoices().value(s.intervalHour * 60 + s.intervalMinute - 1));
    if (m == 3 || m == 4) line(uiText(ui::kRecordMode), uiText(s.recordMode == endless ? ui::kEndless : ui::kOneTime));
    if (m == 3)
        line(uiText(ui::kMeasuringRange),
             rangeChoices().value(s.measuringRange) + " (" + rangeOrigin(written.state) + ")");
    for (int ch = 1; ch <= 2; ++ch) {
        const size_t c = size_t(ch);
        const int first = m == 3 ? rangeStart(s.measuringRange) : ch == 1 ? -40 : 0;
        const QString side = QLatin1String(s.referenceSide[c] == 8 ? "L" : "H");
        if ((m == 1 || m == 2) || (m == 3 && ch == 1))
            channelLine(ch, ui::kReference,
                        s.referenceValue[c] == kNotSet ? uiText(text::kNotSet)
                                                       : QString::number(first + s.referenceValue[c]) + side);
        if (m != 3)
            channelLine(ch, ui::kAlarmValues, QStringLiteral("%1/%2").arg(s.upperAlarm[c]).arg(s.lowerAlarm[c]));
    }
    line(uiText(ui::kClockLabel), minuteText(s.clockTime));
    line(uiText(ui::kStartTime), minuteText(startSent));
    if (m != 3)
        line(uiText(ui::kEndReservation), uiText(text::kEndValue).arg(minuteText(s.endReservation)).arg(s.recordLimit));
    if (m == 4) line(uiText(ui::kLock), uiText(s.lockLogger ? text::kLocked : text::kNotLocked));
    out().flush();
}

Subcommand setSubcommand() {
    return {QStringLiteral("set"),
            QString::fromLatin1(kSynopsis),
            uiText(text::kSetHelp),
            {QStringLiteral("--port"), QStringLiteral("--device"), QStringLiteral("--card"), QStringLiteral("--test"),
             QStringLiteral("--interval"), QStringLiteral("--seconds"), QStringLiteral("--start"),
             QStringLiteral("--end"), QStringLiteral("--mode"), QStringLiteral("--range"), QStringLiteral("--ref1"),
             QStringLiteral("--ref2"), QStringLiteral("--alarm1"), QStringLiteral("--alarm2")},
            0,
            runSet,
            {QStringLiteral("--lock"), QStringLiteral("--no-lock"), QStringLiteral("--force")}};
}

}  // namespace quillet::cli
