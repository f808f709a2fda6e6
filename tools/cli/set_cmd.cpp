// quillet-cli set: the recording settings dialog without a window. The
// preparation reads the logger (status, unlock, identification) as the menu
// entry does; the dialog opens with what the logger holds, each value given
// on the command line is entered through the dialog's own rules, and the
// result is written. Where a rule would put a different value in the box,
// the command refuses with the rule's message instead, and nothing is sent
// after the reads.
#include "comm/serialport.h"
#include "core/catalog.h"
#include "loggerset/settingssummary.h"
#include "loggerset/unseensettings.h"
#include "tools/cli/cli.h"
#include "tools/cli/recordsgate.h"

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
    err() << "quillet-cli: " << problem << "\nusage: quillet-cli " << kSynopsis << "\n";
    return kExitUsage;
}

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
        if (!ok || v < low || v > high)
            return QStringLiteral("%1 takes a number %2..%3").arg(QLatin1String(option)).arg(low).arg(high);
        into = v;
        return {};
    };
    if (QString e = number("--card", 0, 255, r.card); !e.isEmpty()) return e;
    if (QString e = number("--test", 0, 255, r.test); !e.isEmpty()) return e;
    if (a.has("--interval") && a.has("--seconds")) return QStringLiteral("give --interval or --seconds, not both");
    if (a.has("--interval")) {
        const qsizetype i = intervalChoices().indexOf(a.value("--interval"));
        if (i < 0) return QStringLiteral("--interval takes 00:01 .. 00:59 or 01:00");
        r.intervalIndex = int(i);
    }
    if (a.has("--seconds")) {
        const qsizetype i = secondsChoices().indexOf(a.value("--seconds"));
        if (i < 0) return QStringLiteral("--seconds takes 10, 20, 30, 40 or 50");
        r.secondsIndex = int(i);
    }
    for (const char* option : {"--start", "--end"}) {
        if (!a.has(option)) continue;
        const QString text = a.value(option);
        if (!QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm")).isValid())
            return QStringLiteral("%1 takes a time \"yyyy-mm-dd hh:nn\"").arg(QLatin1String(option));
        (QByteArray(option) == "--start" ? r.start : r.end) = text;
    }
    if (a.has("--mode")) {
        const QString m = a.value("--mode");
        if (m != QLatin1String("endless") && m != QLatin1String("onetime"))
            return QStringLiteral("--mode takes endless or onetime");
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
            if (!m.hasMatch())
                return QStringLiteral("%1 takes a whole value and H or L, e.g. 25H").arg(QLatin1String(refOption));
            r.ref[ch] = Reference{m.captured(1), int16_t(m.captured(2).toUpper() == QLatin1String("L") ? 8 : 0)};
        }
        if (a.has(alarmOption.constData())) {
            const auto m = alarmForm.match(a.value(alarmOption.constData()));
            if (!m.hasMatch())
                return QStringLiteral("%1 takes UPPER/LOWER in whole units, e.g. 30/-5")
                    .arg(QLatin1String(alarmOption));
            r.alarm[ch] = Alarms{m.captured(1), m.captured(2)};
        }
    }
    if (a.has("--lock") && a.has("--no-lock")) return QStringLiteral("give --lock or --no-lock, not both");
    if (a.has("--lock") || a.has("--no-lock")) r.lock = a.has("--lock");
    return {};
}

// A value the logger's model has no box for.
bool refuse(const QString& what, int model) {
    err() << "quillet-cli: " << what << " (the logger is model " << model << "); no setting was sent\n";
    return false;
}

// A rule's message: shown as the dialog shows it; the value is refused.
bool refused(AppContext& ctx, const RuleOutcome& r) {
    showMessage(ctx, Caption::LoggerSettings, Msg(r.messageNo), kOkOnly, r.args);
    err() << "quillet-cli: the value was refused; no setting was sent\n";
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
        if (m != 3) return refuse(QStringLiteral("--range is for the one-channel logger"), m);
        if (measuringRangeFixed(s) && *r.range != s.measuringRange)
            return refuse(QStringLiteral("no command writes the measuring range; this logger keeps its range %1 (%2)")
                              .arg(s.measuringRange + 1)
                              .arg(rangeChoices().value(s.measuringRange)),
                          m);
        rebuildReferenceList(s, *r.range);
    }
    if (r.mode) {
        if (!modes) return refuse(QStringLiteral("--mode is for models 3 and 4"), m);
        pickRecordMode(s, *r.mode);
    }
    if (r.secondsIndex) {
        if (!modes) return refuse(QStringLiteral("--seconds is for models 3 and 4"), m);
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
        if (m == 3) return refuse(QStringLiteral("--end is for models 1, 2 and 4"), m);
        if (!endReservationEditable(s))
            return refuse(QStringLiteral("an endless or seconds recording has no end reservation"), m);
        const RuleOutcome o = checkEndReservation(s, r.end);
        if (!o.accepted()) return refused(ctx, o);
        if (s.endText != r.end) {
            err() << "quillet-cli: the end reservation falls between two records; the nearest is " << s.endText
                  << "; no setting was sent\n";
            return false;
        }
    }
    for (int ch = 1; ch <= 2; ++ch) {
        const size_t c = size_t(ch);
        if (r.ref[c]) {
            if (referenceChoices(s, ch).isEmpty())
                return refuse(QStringLiteral("this logger has no reference value on channel %1").arg(ch), m);
            const QString previous = s.referenceText[c];
            s.referenceText[c] = r.ref[c]->value;
            const RuleOutcome o = checkReferenceValue(s, ch, previous);
            if (!o.accepted()) return refused(ctx, o);
            s.referenceSide[c] = r.ref[c]->side;
        }
        if (r.alarm[c]) {
            if (upperAlarmChoices(m, ch).isEmpty())
                return refuse(QStringLiteral("this logger has no alarm values on channel %1").arg(ch), m);
            const QString previousUpper = s.upperText[c], previousLower = s.lowerText[c];
            s.upperText[c] = r.alarm[c]->upper;
            s.lowerText[c] = r.alarm[c]->lower;
            RuleOutcome o = checkUpperAlarm(s, ch, previousUpper);
            if (o.accepted()) o = checkLowerAlarm(s, ch, previousLower);
            if (!o.accepted()) return refused(ctx, o);
        }
    }
    if (r.lock) {
        if (m != 4)
            return refuse(QStringLiteral("--lock and --no-lock are for model 4 (the others are always locked)"), m);
        s.lockLogger = *r.lock;
    }
    return true;
}

QString minuteText(const QDateTime& t) { return t.toString(QStringLiteral("yyyy-MM-dd HH:mm")); }

int runSet(AppContext& ctx, const Arguments& a) {
    if (a.has("--port") == a.has("--device")) return usage(QStringLiteral("give one of --port N and --device PATH"));
    Request request;
    if (const QString problem = parse(a, request); !problem.isEmpty()) return usage(problem);

    QtSerialPort port;
    if (const QString problem = choosePort(a, port); !problem.isEmpty()) return usage(problem);
    ctx.serial = &port;
    TerminalMessages messages;
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
        err() << "quillet-cli: " << kBusyRefusal << "\n";
        return kExitFailed;
    }
    if (prepared == Preparation::UnreadRecords) return refuseUnreadRecords(ctx.pendingLogger->ch[1].sampleCount);
    if (!dialog.opened || !entered) return kExitFailed;  // told already
    if (dialog.status != Exchange::Accepted) {
        err() << "quillet-cli: the recording settings were not written completely; set the logger again\n";
        return kExitFailed;
    }
    printSettingsWritten(dialog);
    recordSettingsWrite(dialog);
    return kExitOk;
}

// Where the measuring range written came from: no command writes it, so it
// is only ever what the logger reported, or the default when the logger
// reported no range the dialog knows (its box stays empty), or --range.
QString rangeOrigin(const SettingsState& s) {
    if (measuringRangeFixed(s)) return QStringLiteral("the logger's own; not sent");
    if (s.measuringRange < 0)
        return QStringLiteral("the default: the logger reported range/mode code %1, which is no range; not sent")
            .arg(s.current.rangeModeCode);
    return QStringLiteral("as given; the logger reported no range, and this one is not sent");
}

}  // namespace

void recordSettingsWrite(const UnseenSettingsDialog& written) {
    if (RecordsSession* r = activeRecords())
        r->record(audit::action::kSettingsWrite, QStringLiteral("ロガー モデル %1").arg(written.loggerModel),
                  settingsStateText(written.heldState), settingsStateText(written.state));
}

void printSettingsWritten(const UnseenSettingsDialog& written) {
    const RecordingSettings& s = written.settings;
    const int m = written.loggerModel;
    const QDateTime& startSent = written.startSent;
    const auto three = [](int v) { return QStringLiteral("%1").arg(v, 3, 10, QLatin1Char('0')); };
    out() << "Written:  logger model " << m << "\n"
          << "Card-test: " << three(s.cardNo) << "-" << three(s.testNo) << "\n";
    if (s.useSecondsInterval && (m == 3 || m == 4))
        out() << "Interval: " << s.secondsInterval << " s\n";
    else
        out() << "Interval: " << intervalChoices().value(s.intervalHour * 60 + s.intervalMinute - 1) << "\n";
    if (m == 3 || m == 4) out() << "Mode:     " << (s.recordMode == endless ? "endless" : "one-time") << "\n";
    if (m == 3)
        out() << "Range:    " << rangeChoices().value(s.measuringRange) << " (" << rangeOrigin(written.state) << ")\n";
    for (int ch = 1; ch <= 2; ++ch) {
        const size_t c = size_t(ch);
        const int first = m == 3 ? rangeStart(s.measuringRange) : ch == 1 ? -40 : 0;
        const char* side = s.referenceSide[c] == 8 ? "L" : "H";
        if ((m == 1 || m == 2) || (m == 3 && ch == 1)) {
            out() << "CH" << ch << " reference: ";
            if (s.referenceValue[c] == kNotSet)
                out() << "not set\n";
            else
                out() << first + s.referenceValue[c] << side << "\n";
        }
        if (m != 3) out() << "CH" << ch << " alarms:    " << s.upperAlarm[c] << "/" << s.lowerAlarm[c] << "\n";
    }
    out() << "Clock:    " << minuteText(s.clockTime) << "\n"
          << "Start:    " << minuteText(startSent) << "\n";
    if (m != 3) out() << "End:      " << minuteText(s.endReservation) << " (" << s.recordLimit << " intervals)\n";
    if (m == 4) out() << "Lock:     " << (s.lockLogger ? "yes" : "no") << "\n";
    out().flush();
}

Subcommand setSubcommand() {
    return {QStringLiteral("set"),
            QString::fromLatin1(kSynopsis),
            QStringLiteral("Writes recording settings to the logger, as 収録設定 does: reads its status\n"
                           "(a locked logger is unlocked) and its settings, then writes them back with the\n"
                           "values given here. Writing erases the logger's memory. Items not given keep\n"
                           "what the logger holds; the start defaults to a minute from now, the end\n"
                           "reservation to a full memory. Each value passes the settings dialog's rules;\n"
                           "a value the dialog would correct is refused with its message (exit status 1,\n"
                           "nothing sent after the reads). The logger's clock is set to the PC's.\n"
                           "--ref1/--ref2 take the reference value and its side (H above, L below),\n"
                           "--alarm1/--alarm2 the upper and lower alarm value, in whole units.\n"
                           "A logger that is recording or waiting for its start, whose status cannot be\n"
                           "read, or that holds records not yet read (quillet-cli read saves them), is\n"
                           "refused (exit status 1, nothing sent) unless --force is given.\n"
                           "A reference never set stays unset unless --ref1/--ref2 gives one. The one-\n"
                           "channel logger keeps its own measuring range (no command writes it); --range\n"
                           "may only repeat it. Prints what was written."),
            {QStringLiteral("--port"), QStringLiteral("--device"), QStringLiteral("--card"), QStringLiteral("--test"),
             QStringLiteral("--interval"), QStringLiteral("--seconds"), QStringLiteral("--start"),
             QStringLiteral("--end"), QStringLiteral("--mode"), QStringLiteral("--range"), QStringLiteral("--ref1"),
             QStringLiteral("--ref2"), QStringLiteral("--alarm1"), QStringLiteral("--alarm2")},
            0,
            runSet,
            {QStringLiteral("--lock"), QStringLiteral("--no-lock"), QStringLiteral("--force")}};
}

}  // namespace quillet::cli
