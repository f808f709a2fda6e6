#include "loggerset/parametertexts.h"

#include "core/loggermodels.h"

#include "core/fieldhelpers.h"
#include "core/uitexts.h"
#include "core/vb.h"

#include <QStringList>

namespace quillet {
namespace {

const QString kTwoBlanks = QStringLiteral("  ");
const QString kNoValue = QStringLiteral("---");
const QString kNoStatistic = QStringLiteral("-----  ");

// A value in tenths as the window shows it: one decimal, none for humidity.
QString tenths(int value, bool humidity) {
    return vb::format(value / 10.0, humidity ? QStringLiteral("0") : QStringLiteral("0.0"));
}

QString recordModeText(const PendingLogger& p) {
    const LoggerModel* m = loggerModel(p.loggerModel);
    if (!m || !m->hasModes) return {};
    if (m->hasRangeModeCode) {
        const int c = p.rangeModeCode;
        if (c >= 1 && c <= 3) return uiText(ui::kOneTime);
        if (c >= 6 && c <= 8) return uiText(ui::kEndless);
        return vb::format(c, QStringLiteral("0"));
    }
    return p.endlessFlag ? uiText(ui::kEndless) : uiText(ui::kOneTime);
}

QString wholeUnits(int tenthsValue) { return vb::format(tenthsValue / 10.0, QStringLiteral("0")); }

bool validChannel(int c) { return c >= 1 && c <= kChannels; }

}  // namespace

ReadoutParameterTexts readoutParameterTexts(const AppContext& ctx) {
    const PendingLogger& p = ctx.pendingLogger;
    ReadoutParameterTexts t;

    int16_t cardNo = p.ch[1].cardNo;
    int16_t testNo = p.ch[1].testNo;
    const QString ctno = cardText(ctx, cardNo) + QLatin1Char('-') + testText(ctx, testNo);

    const double start = vb::dateSerial(p.ch[1].startYear, p.ch[1].startMonth, p.ch[1].startDay) +
                         vb::timeSerial(p.ch[1].startHour, p.ch[1].startMinute, p.ch[1].startTenSec * 10);
    const double interval = vb::timeSerial(p.ch[1].intervalHour, p.ch[1].intervalMinute, p.ch[1].intervalTenSec * 10);
    const double end = p.ch[1].sampleCount >= 2 ? start + (p.ch[1].sampleCount - 1) * interval : start;
    const QString dateTimePattern = QStringLiteral("yyyy-mm-dd hh:nn:ss");

    t.recordModeShown = isKnownModel(p.loggerModel) && loggerModel(p.loggerModel)->hasModes;
    const QString recordMode = recordModeText(p);

    for (int c = 1; c <= 2; ++c) {
        const ChannelHeader& lc = p.ch[size_t(c)];
        ReadoutParameterChannelTexts& x = t.ch[size_t(c)];
        const bool humidity = isHumidity(lc.kind);
        const bool hasValues = p.ch[1].sampleCount > lc.errorCount;
        const bool referenceSet = lc.referenceValue != kNotSet;

        x.ctno = ctno;
        x.startTime = vb::formatDate(start, dateTimePattern);
        x.endTime = vb::formatDate(end, dateTimePattern);
        x.interval = vb::formatDate(interval, QStringLiteral("hh:nn:ss"));
        x.recordMode = recordMode;
        x.range = vb::format(lc.rangeLow / 10.0, QStringLiteral("0")) + uiText(ui::kSpacedTilde) +
                  vb::format(lc.rangeLow / 10.0 + 100, QStringLiteral("0"));
        x.dataCount = vb::format(p.ch[1].sampleCount, QStringLiteral("0"));
        x.errorCount = vb::format(lc.errorCount, QStringLiteral("0"));
        if (hasValues) {
            x.maxValue = tenths(lc.maxValue, humidity) + kTwoBlanks;
            x.minValue = tenths(lc.minValue, humidity) + kTwoBlanks;
            x.averageValue = tenths(lc.averageValue, humidity) + kTwoBlanks;
        } else {
            x.maxValue = x.minValue = x.averageValue = kNoStatistic;
        }
        x.integrated = (lc.kind == int16_t(ChannelKind::Temperature) && hasValues && referenceSet)
                           ? vb::format(lc.integratedValue, QStringLiteral("0  "))
                           : kNoValue;
        x.reference = referenceSet
                          ? tenths(lc.referenceValue, humidity) + referenceSideText(lc.referenceSide) + kTwoBlanks
                          : kNoValue;
        if (hasAlarmValues(lc.kind)) {
            x.upperAlarm = tenths(lc.upperAlarm, humidity) + kTwoBlanks;
            x.lowerAlarm = tenths(lc.lowerAlarm, humidity) + kTwoBlanks;
        } else {
            x.upperAlarm = x.lowerAlarm = kNoValue;
        }
    }

    // Frames by the channel kinds: one temperature channel; temperature and
    // humidity; two temperature channels.
    t.secondShown = isTwoChannelModel(p.loggerModel);
    if (!t.secondShown) {
        t.ch[1].frameCaption = uiText(ui::kTemperature);
        t.ch[1].storageCaption = uiText(ui::kTemperatureWord);
    } else if (isHumidity(p.ch[2].kind)) {
        t.ch[1].frameCaption = uiText(ui::kTemperature);
        t.ch[2].frameCaption = uiText(ui::kHumidity);
        t.ch[1].storageCaption = uiText(ui::kTemperatureWord);
        t.ch[2].storageCaption = uiText(ui::kHumidityWord);
        t.secondColour = QColor(0x00, 0xC0, 0xC0);  // &HC0C000 (blue, green, red)
    } else {
        t.ch[1].frameCaption = uiText(ui::kTemperatureA);
        t.ch[2].frameCaption = uiText(ui::kTemperatureB);
        t.ch[1].storageCaption = uiText(ui::kTemperatureAWord);
        t.ch[2].storageCaption = uiText(ui::kTemperatureBWord);
        t.secondColour = QColor(0xC0, 0x00, 0xC0);  // &HC000C0
    }
    return t;
}

StorageChoice initialStorageChoice(const ChannelStore& s, bool twoChannels) {
    StorageChoice c;
    for (int i = 1; i <= kChannels; ++i) {
        const bool free = s.ch[size_t(i)].inUse == 0;
        c.firstEnabled[size_t(i)] = free;
        if (free && c.first == 0) c.first = i;
    }
    if (!twoChannels) return c;
    for (int i = 1; i <= kChannels; ++i) {
        const bool free = s.ch[size_t(i)].inUse == 0 && i != c.first;
        c.secondEnabled[size_t(i)] = free;
        if (free && c.second == 0) c.second = i;
    }
    if (c.second != 0) c.firstEnabled[size_t(c.second)] = false;
    return c;
}

bool pickStorage(StorageChoice& c, int row, int channel) {
    if (!validChannel(channel) || (row != 1 && row != 2)) return false;
    int& current = row == 1 ? c.first : c.second;
    auto& enabled = row == 1 ? c.firstEnabled : c.secondEnabled;
    auto& otherEnabled = row == 1 ? c.secondEnabled : c.firstEnabled;
    if (channel == current || !enabled[size_t(channel)]) return false;
    if (validChannel(current)) otherEnabled[size_t(current)] = true;
    current = channel;
    otherEnabled[size_t(channel)] = false;
    return true;
}

bool readyToTransfer(const PendingLogger& p, const StorageChoice& c) {
    if (p.ch[1].sampleCount < 1 || !validChannel(c.first)) return false;
    if (isTwoChannelModel(p.loggerModel)) return validChannel(c.second) && c.second != c.first;
    return true;
}

Destinations destinationsOf(const PendingLogger& p, const StorageChoice& c) {
    return {c.first, isTwoChannelModel(p.loggerModel) ? c.second : 0};
}

Destinations chooseInitialDestinations(const AppContext& ctx) {
    const PendingLogger& p = ctx.pendingLogger;
    return destinationsOf(p, initialStorageChoice(ctx.store, isTwoChannelModel(p.loggerModel)));
}

ReadAlarmSections readAlarmSections(const PendingLogger& p) {
    ReadAlarmSections out;
    const LoggerModel* m = loggerModel(p.loggerModel);
    const std::array<int16_t, 3> upper{0, p.ch[1].upperAlarm, p.ch[2].upperAlarm};
    const std::array<int16_t, 3> lower{0, p.ch[1].lowerAlarm, p.ch[2].lowerAlarm};
    if (!m || m->alarmBase == AlarmBase::None) return out;
    if (m->alarmBase == AlarmBase::RangeBottom) {
        // A section per channel, each with its own limits.
        auto section = [&](int ch, const AlarmLimits& lim, const QString& title) {
            const bool badUpper = lim.upperBad(upper[size_t(ch)]);
            const bool badLower = lim.lowerBad(lower[size_t(ch)]);
            if (!badUpper && !badLower) return;
            out.bad[size_t(ch)] = true;
            out.lines << title;
            if (badUpper) out.lines << uiText(ui::kUpperBoundLabel) + wholeUnits(upper[size_t(ch)]);
            if (badLower) out.lines << uiText(ui::kLowerBoundLabel) + wholeUnits(lower[size_t(ch)]);
        };
        section(1, m->readAlarmLimits[0], uiText(ui::kTemperatureAlarmOutOfRange));
        section(2, m->readAlarmLimits[1], uiText(ui::kHumidityAlarmOutOfRange));
    } else {
        // One section for both channels, which share their limits.
        const AlarmLimits& lim = m->readAlarmLimits[0];
        QStringList bad;
        if (lim.upperBad(upper[1])) bad << uiText(ui::kAlarm1Upper) + wholeUnits(upper[1]);
        if (lim.upperBad(upper[2])) bad << uiText(ui::kAlarm2Upper) + wholeUnits(upper[2]);
        if (lim.lowerBad(lower[1])) bad << uiText(ui::kAlarm1Lower) + wholeUnits(lower[1]);
        if (lim.lowerBad(lower[2])) bad << uiText(ui::kAlarm2Lower) + wholeUnits(lower[2]);
        if (!bad.isEmpty()) {
            out.lines << uiText(ui::kAlarmOutOfRange) << bad;
            out.bad[1] = out.bad[2] = true;
        }
    }
    return out;
}

QString readAlarmWarning(const PendingLogger& p) {
    const ReadAlarmSections sections = readAlarmSections(p);
    if (sections.lines.isEmpty()) return {};
    QString text = uiText(ui::kAlarmValuesWrong);
    for (const QString& line : sections.lines) text += QStringLiteral("\r\n") + line;
    return text;
}

}  // namespace quillet
