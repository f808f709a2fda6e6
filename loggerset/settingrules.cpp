#include "loggerset/settingrules.h"

#include "core/loggermodels.h"

#include "comm/link.h"
#include "comm/serialport.h"
#include "core/catalog.h"
#include "core/context.h"
#include "core/uitexts.h"
#include "core/vb.h"
#include "loggerset/parametertexts.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace quillet {
namespace {

// Times are counted in whole seconds of the wall clock (date value × 86400),
// so that intervals add up exactly.
using Seconds = long long;
constexpr Seconds kMinute = 60;
constexpr Seconds kDay = 86400;
constexpr Seconds kMaxAhead = 180 * kDay;

Seconds toSeconds(const QDateTime& t) { return std::llround(vb::fromDateTime(t) * kDay); }
QDateTime toDateTime(Seconds s) { return vb::toDateTime(double(s) / kDay); }
Seconds toMinute(Seconds s) { return s - ((s % kMinute) + kMinute) % kMinute; }
Seconds nowSeconds(const SettingsState& s) { return toMinute(toSeconds(s.now)); }

// "yyyy-mm-dd hh:nn", the form of the start and end boxes.
QString minuteText(Seconds s) { return vb::formatDate(double(toMinute(s)) / kDay, QStringLiteral("yyyy-mm-dd hh:nn")); }

std::optional<Seconds> parseText(const QString& text) {
    const auto v = vb::parseDateTime(text);
    if (!v) return std::nullopt;
    return std::llround(*v * kDay);
}

// a / b rounded to the nearest integer, halves to even (a >= 0, b > 0).
Seconds roundHalfEven(Seconds a, Seconds b) {
    const Seconds q = a / b;
    const Seconds r2 = 2 * (a % b);
    if (r2 > b || (r2 == b && (q % 2) != 0)) return q + 1;
    return q;
}

QStringList numbers(int first, int last) {
    QStringList out;
    out.reserve(last - first + 1);
    for (int v = first; v <= last; ++v) out << QString::number(v);
    return out;
}

QString wholeUnits(int tenths) { return vb::format(tenths / 10.0, QStringLiteral("0")); }

bool hasEndReservation(int model) { return isKnownModel(model) && loggerModel(model)->hasEndReservation; }
bool hasSecondsInterval(int model) { return isKnownModel(model) && loggerModel(model)->hasSecondsInterval; }

// The minutes interval of the list.
Seconds listInterval(const SettingsState& s) { return Seconds(s.intervalIndex + 1) * kMinute; }

// The interval the end reservation counts in: on model 4 the seconds
// interval while it is in use, otherwise the minutes interval.
Seconds endInterval(const SettingsState& s) {
    if (hasEndReservation(s.loggerModel()) && hasSecondsInterval(s.loggerModel()) && s.useSecondsInterval)
        return Seconds(s.secondsIndex + 1) * 10;
    return listInterval(s);
}

int clampIndex(int i, int count) { return std::clamp(i, 0, count - 1); }

// The alarm lists' first upper value; the lower list starts one below.
std::optional<std::pair<int, int>> upperRange(int model, int channel) {
    const LoggerModel* m = loggerModel(model);
    if (!m || m->alarmBase == AlarmBase::None) return std::nullopt;
    const auto& r = m->upperAlarmRange[channel == 2 ? 1 : 0];
    return std::pair{r[0], r[1]};
}

}  // namespace

int lastRecordIndex(int loggerModel) {
    return isKnownModel(loggerModel) ? quillet::loggerModel(loggerModel)->lastRecordIndex : 0;
}

QStringList numberChoices(const std::array<QString, 256>& settingChars) {
    QStringList out;
    out.reserve(256);
    for (int n = 0; n < 256; ++n) {
        const QString& c = settingChars[size_t(n)];
        out << (c.isEmpty() ? vb::format(n, QStringLiteral("000")) : c);
    }
    return out;
}

QStringList intervalChoices() {
    QStringList out;
    for (int m = 1; m <= 59; ++m) out << QStringLiteral("00:") + vb::format(m, QStringLiteral("00"));
    out << QStringLiteral("01:00");
    return out;
}

QStringList secondsChoices() { return {"10", "20", "30", "40", "50"}; }

QStringList rangeChoices() {
    return {uiText(ui::kRangeChoiceMinus40To60), uiText(ui::kRangeChoice0To100), uiText(ui::kRangeChoice50To150)};
}

int rangeStart(int rangeIndex) {
    static constexpr int kStarts[3] = {-40, 0, 50};
    return kStarts[clampIndex(rangeIndex, 3)];
}

QStringList upperAlarmChoices(int loggerModel, int channel) {
    const auto r = upperRange(loggerModel, channel);
    return r ? numbers(r->first, r->second) : QStringList{};
}

QStringList lowerAlarmChoices(int loggerModel, int channel) {
    const auto r = upperRange(loggerModel, channel);
    return r ? numbers(r->first - 1, r->second - 1) : QStringList{};
}

QStringList referenceChoices(const SettingsState& s, int channel) {
    const LoggerModel* m = loggerModel(s.loggerModel());
    if (!m || channel > m->referenceChannels) return {};
    // A measuring range moves the list; fixed ranges count from their bottom.
    if (m->hasRangeModeCode) return numbers(s.referenceListStart, s.referenceListStart + 100);
    return isHumidity(int16_t(m->kinds[size_t(channel - 1)])) ? numbers(0, 100) : numbers(-40, 60);
}

QDateTime initialStartTime(const QDateTime& now, const QString& usualStartTime) {
    const Seconds present = toMinute(toSeconds(now));
    if (!usualStartTime.isEmpty()) {
        QTime at = QTime::fromString(usualStartTime.trimmed(), QStringLiteral("HH:mm"));
        if (!at.isValid()) at = QTime::fromString(usualStartTime.trimmed(), QStringLiteral("H:mm"));
        if (at.isValid()) {
            Seconds start = toSeconds(QDateTime(now.date(), QTime(at.hour(), at.minute())));
            if (present >= start) start += kDay;
            return toDateTime(start);
        }
    }
    return toDateTime(present + kMinute);
}

QString checkReadAlarms(PendingLogger& c) {
    const ReadAlarmSections sections = readAlarmSections(c);
    if (sections.lines.isEmpty()) return {};
    const LoggerModel* m = loggerModel(c.loggerModel);
    for (size_t ch = 1; m && ch <= 2; ++ch) {
        if (!sections.bad[ch]) continue;
        c.ch[ch].upperAlarm = m->alarmReset[ch - 1][0];
        c.ch[ch].lowerAlarm = m->alarmReset[ch - 1][1];
    }
    QString text = uiText(ui::kAlarmValuesWrongSetRight);
    for (const QString& line : sections.lines) text += QStringLiteral("\r\n") + line;
    return text;
}

LoadedSettings initialSettings(const PendingLogger& current, const QDateTime& now, const QDateTime& start,
                               bool lockChoice) {
    LoadedSettings out;
    SettingsState& s = out.state;
    s.current = current;
    PendingLogger& c = s.current;
    const int m = c.loggerModel;
    s.now = toDateTime(toMinute(toSeconds(now)));

    // 1. Card and test number (values of 256 and more as 255).
    s.cardNo = std::clamp<int>(c.ch[1].cardNo, 0, 255);
    s.testNo = std::clamp<int>(c.ch[1].testNo, 0, 255);

    // 2. Interval; a seconds interval shows "00:01" in the disabled minutes list.
    const bool seconds = hasSecondsInterval(m) && c.intervalInSeconds;
    const int minutes = c.ch[1].intervalHour * 60 + c.ch[1].intervalMinute;
    s.intervalIndex = seconds ? 0 : std::clamp(minutes, 1, 60) - 1;
    s.secondsIndex = seconds ? std::clamp<int>(c.ch[1].intervalTenSec, 1, 5) - 1 : 0;

    // 3. Alarms counted from the range bottom, inside their lists but the
    // lower not below the upper, raise the upper to lower + 1.
    const LoggerModel* model = loggerModel(m);
    if (model && model->alarmBase == AlarmBase::RangeBottom) {
        for (size_t ch = 1; ch <= 2; ++ch) {
            const AlarmLimits& r = model->readAlarmLimits[ch - 1];
            const int up = c.ch[ch].upperAlarm, low = c.ch[ch].lowerAlarm;
            if (!r.upperBad(up) && !r.lowerBad(low) && low >= up) c.ch[ch].upperAlarm = int16_t(low + 10);
        }
    }
    if (isTwoChannelModel(m)) out.readAlarmText = checkReadAlarms(c);

    // 4. Loggers that may stay unlocked: lock and recording mode.
    if (model && model->canStayUnlocked) {
        s.lockLogger = lockChoice;
        s.recordMode = c.endlessFlag ? endless : oneTime;
    }
    // 5. Range and mode from one code; the reference list from the range.
    if (model && model->hasRangeModeCode) {
        if (c.rangeModeCode >= 1 && c.rangeModeCode <= 3) {
            s.recordMode = oneTime;
            s.measuringRange = c.rangeModeCode - 1;
        } else if (c.rangeModeCode >= 6 && c.rangeModeCode <= 8) {
            s.recordMode = endless;
            s.measuringRange = c.rangeModeCode - 6;
        }
        s.referenceListStart = rangeStart(std::max(s.measuringRange, 0));
    }

    // 6. Reference and alarm texts in whole units.
    const int channels = isTwoChannelModel(m) ? 2 : 1;
    for (int ch = 1; ch <= channels; ++ch) {
        const size_t i = size_t(ch);
        if (m != 4) {
            // An unset reference shows empty (not its 9999 tenths).
            s.referenceText[i] = c.ch[i].referenceValue == kNotSet ? QString() : wholeUnits(c.ch[i].referenceValue);
            s.referenceSide[i] = c.ch[i].referenceSide == 8 ? 8 : 0;
        }
        if (m != 3) {
            s.upperText[i] = wholeUnits(c.ch[i].upperAlarm);
            s.lowerText[i] = wholeUnits(c.ch[i].lowerAlarm);
        }
    }

    // 7. Start and the end reservation; a read seconds interval switches
    // the seconds on.
    s.startText = minuteText(toSeconds(start));
    defaultEndReservation(s);
    if (seconds) setSecondsInterval(s, true);
    return out;
}

void defaultEndReservation(SettingsState& s) {
    const int m = s.loggerModel();
    if (!hasEndReservation(m)) return;
    s.recordLimit = lastRecordIndex(m);
    const auto start = parseText(s.startText);
    if (!start) return;
    s.endText = minuteText(toMinute(*start) + Seconds(s.recordLimit) * endInterval(s));
}

RuleOutcome checkStartTime(SettingsState& s, const QString& text) {
    const Seconds now = nowSeconds(s);
    const auto start = parseText(text);
    RuleOutcome r;
    if (!start) {
        r.messageNo = 31;
        s.startText = minuteText(now + kMinute);
    } else if (toMinute(*start) > now && toMinute(*start) <= now + kMaxAhead) {
        s.startText = minuteText(*start);
    } else {
        r.messageNo = 30;
        r.args = {minuteText(now + kMinute), minuteText(now + kMaxAhead)};
        s.startText = minuteText(now + kMinute);
    }
    // The end always follows the start shown, so that the end reservation
    // sent is the one on screen.
    defaultEndReservation(s);
    return r;
}

RuleOutcome checkEndReservation(SettingsState& s, const QString& text) {
    const int m = s.loggerModel();
    if (!hasEndReservation(m)) return {};
    const auto start = parseText(s.startText);
    if (!start) {  // the start box is checked first; nothing to count from
        s.endText = text;
        return {33, {}};
    }
    const int last = lastRecordIndex(m);
    const Seconds interval = listInterval(s);
    const Seconds first = toMinute(*start);
    const Seconds latest = first + Seconds(last) * interval;
    const auto end = parseText(text);
    if (end && *end >= first && *end <= latest + 1) {
        // (end − start) / interval + 1/86400, to the nearest whole interval.
        const Seconds limit = std::min<Seconds>(roundHalfEven((*end - first) * kDay + interval, interval * kDay), last);
        s.recordLimit = int(limit);
        s.endText = minuteText(first + limit * interval);
        return {};
    }
    s.recordLimit = last;
    s.endText = minuteText(latest);
    if (!end) return {33, {}};
    return {32, {minuteText(first), minuteText(latest)}};
}

RuleOutcome spinStartTime(SettingsState& s, int step) {
    const auto parsed = parseText(s.startText);
    if (!parsed) return checkStartTime(s, s.startText);
    Seconds start = toMinute(*parsed);
    const QString now = minuteText(nowSeconds(s));
    if (step > 0) {
        if (minuteText(start - kMaxAhead) >= now) return {};
        start += kMinute;
    } else if (step < 0) {
        if (minuteText(start - kMinute) == now) return {};
        start -= kMinute;
    } else {
        return {};
    }
    return checkStartTime(s, minuteText(start));
}

bool clockTick(SettingsState& s, const QDateTime& now) {
    s.now = toDateTime(toMinute(toSeconds(now)));
    const auto start = parseText(s.startText);
    if (!start || toMinute(*start) > nowSeconds(s)) return false;
    s.startText = minuteText(nowSeconds(s) + kMinute);
    defaultEndReservation(s);
    return true;
}

void pickInterval(SettingsState& s, int index) {
    s.intervalIndex = clampIndex(index, 60);
    defaultEndReservation(s);
}

void setSecondsInterval(SettingsState& s, bool on) {
    s.useSecondsInterval = hasSecondsInterval(s.loggerModel()) && on;
    defaultEndReservation(s);
}

void pickSecondsInterval(SettingsState& s, int index) {
    s.secondsIndex = clampIndex(index, 5);
    defaultEndReservation(s);
}

void pickRecordMode(SettingsState& s, RecordMode mode) {
    s.recordMode = mode;
    // The whole memory again, and the end on screen says so.
    defaultEndReservation(s);
}

void rebuildReferenceList(SettingsState& s, int rangeIndex) {
    if (!isKnownModel(s.loggerModel()) || !loggerModel(s.loggerModel())->hasRangeModeCode) return;
    s.measuringRange = clampIndex(rangeIndex, 3);
    if (s.referenceText[1].isEmpty()) return;
    const int first = rangeStart(s.measuringRange);
    const long long value = vb::cint(vb::val(s.referenceText[1]));
    // A reference never set (outside the old list) stays unset.
    const bool set = value >= s.referenceListStart && value <= s.referenceListStart + 100;
    s.referenceListStart = first;
    if (set) s.referenceText[1] = QString::number(std::clamp<long long>(value, first, first + 100));
}

bool measuringRangeFixed(const SettingsState& s) {
    const LoggerModel* m = loggerModel(s.loggerModel());
    const int code = s.current.rangeModeCode;
    return m && m->hasRangeModeCode && ((code >= 1 && code <= 3) || (code >= 6 && code <= 8));
}

bool endReservationEditable(const SettingsState& s) {
    const LoggerModel* m = loggerModel(s.loggerModel());
    if (!m || !m->hasEndReservation) return false;
    // An endless recording or a seconds interval has no end to reserve.
    return !m->hasModes || (s.recordMode != endless && !s.useSecondsInterval);
}

RuleOutcome checkUpperAlarm(SettingsState& s, int channel, const QString& previousText) {
    const size_t ch = channel == 2 ? 2 : 1;
    const QStringList uppers = upperAlarmChoices(s.loggerModel(), int(ch));
    const QStringList lowers = lowerAlarmChoices(s.loggerModel(), int(ch));
    QString& upper = s.upperText[ch];
    const QString& lower = s.lowerText[ch];
    if (vb::val(lower) >= vb::val(upper)) {
        const int pos = int(lowers.indexOf(lower));
        upper = pos >= 0 ? uppers[pos] : QString::number(vb::cint(vb::val(lower)) + 1);
        return {24, {}};
    }
    if (!uppers.contains(upper)) {
        upper = previousText;
        return {21, {}};
    }
    return {};
}

RuleOutcome checkLowerAlarm(SettingsState& s, int channel, const QString& previousText) {
    const size_t ch = channel == 2 ? 2 : 1;
    const QStringList uppers = upperAlarmChoices(s.loggerModel(), int(ch));
    const QStringList lowers = lowerAlarmChoices(s.loggerModel(), int(ch));
    const QString& upper = s.upperText[ch];
    QString& lower = s.lowerText[ch];
    if (vb::val(lower) >= vb::val(upper)) {
        const int pos = int(uppers.indexOf(upper));
        lower = pos >= 0 ? lowers[pos] : QString::number(vb::cint(vb::val(upper)) - 1);
        return {23, {}};
    }
    if (!lowers.contains(lower)) {
        lower = previousText;
        return {22, {}};
    }
    return {};
}

RuleOutcome checkReferenceValue(SettingsState& s, int channel, const QString& previousText) {
    const size_t ch = channel == 2 ? 2 : 1;
    // Empty: the reference stays unset.
    if (s.referenceText[ch].isEmpty() || referenceChoices(s, int(ch)).contains(s.referenceText[ch])) return {};
    s.referenceText[ch] = previousText;
    return {20, {}};
}

FactoryChoices factoryChoices(int model) {
    FactoryChoices f;
    if (const LoggerModel* m = loggerModel(model)) {
        f.reference = m->factory.reference;
        f.upper = m->factory.upper;
        f.lower = m->factory.lower;
    }
    return f;
}

void applyFactoryChoices(SettingsState& s) {
    const FactoryChoices f = factoryChoices(s.loggerModel());
    s.cardNo = f.cardNo;
    s.testNo = f.testNo;
    for (int ch = 1; ch <= 2; ++ch) {
        const size_t i = size_t(ch);
        auto pick = [](QString& text, const QStringList& list, int pos) {
            if (pos >= 0 && pos < list.size()) text = list[pos];
        };
        pick(s.referenceText[i], referenceChoices(s, ch), f.reference[i]);
        pick(s.upperText[i], upperAlarmChoices(s.loggerModel(), ch), f.upper[i]);
        pick(s.lowerText[i], lowerAlarmChoices(s.loggerModel(), ch), f.lower[i]);
    }
}

RecordingSettings recordingSettings(const SettingsState& s) {
    const int m = s.loggerModel();
    RecordingSettings r;
    r.cardNo = int16_t(s.cardNo);
    r.testNo = int16_t(s.testNo);
    const int minutes = s.intervalIndex + 1;
    r.intervalHour = int16_t(minutes / 60);
    r.intervalMinute = int16_t(minutes % 60);
    r.useSecondsInterval = hasSecondsInterval(m) && s.useSecondsInterval;
    r.secondsInterval = int16_t((s.secondsIndex + 1) * 10);
    r.recordMode = s.recordMode == endless ? endless : oneTime;
    r.lockLogger = isKnownModel(m) && loggerModel(m)->canStayUnlocked && s.lockLogger;
    for (int ch = 1; ch <= 2; ++ch) {
        const size_t i = size_t(ch);
        r.upperAlarm[i] = int16_t(vb::cint(vb::val(s.upperText[i])));
        r.lowerAlarm[i] = int16_t(vb::cint(vb::val(s.lowerText[i])));
        // The list position; an empty text or a value outside the list is a
        // reference that was never set and stays unset.
        const QStringList refs = referenceChoices(s, ch);
        if (s.referenceText[i].isEmpty()) {
            r.referenceValue[i] = kNotSet;
        } else if (!refs.isEmpty()) {
            const long long first = vb::cint(vb::val(refs.first()));
            const long long pos = vb::cint(vb::val(s.referenceText[i])) - first;
            r.referenceValue[i] = pos >= 0 && pos < refs.size() ? int16_t(pos) : kNotSet;
        }
        r.referenceSide[i] = s.referenceSide[i] == 8 ? 8 : 0;
    }
    r.measuringRange = int16_t(std::max(s.measuringRange, 0));
    r.clockTime = s.now;
    const auto start = parseText(s.startText);
    r.startTime = toDateTime(start ? toMinute(*start) : nowSeconds(s) + kMinute);
    if (const auto end = parseText(s.endText)) r.endReservation = toDateTime(toMinute(*end));
    r.recordLimit = int16_t(hasEndReservation(m) ? s.recordLimit : 0);
    return r;
}

PortFault sendStatusRequest(AppContext& ctx) {
    return openAndTransmit(ctx, Cmd::ReadStatus.group, Cmd::ReadStatus.number, {});
}

}  // namespace quillet
