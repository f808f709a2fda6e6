#include "loggerset/parametertexts.h"

#include "core/loggermodels.h"

#include "core/fieldhelpers.h"
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
        if (c >= 1 && c <= 3) return QStringLiteral("ワンタイム");
        if (c >= 6 && c <= 8) return QStringLiteral("エンドレス");
        return vb::format(c, QStringLiteral("0"));
    }
    return p.endlessFlag ? QStringLiteral("エンドレス") : QStringLiteral("ワンタイム");
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
        x.range = vb::format(lc.rangeLow / 10.0, QStringLiteral("0")) + QStringLiteral(" ～ ") +
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
        t.ch[1].frameCaption = QStringLiteral("温度 [ﾟC ]");
        t.ch[1].storageCaption = QStringLiteral("温度");
    } else if (isHumidity(p.ch[2].kind)) {
        t.ch[1].frameCaption = QStringLiteral("温度 [ﾟC ]");
        t.ch[2].frameCaption = QStringLiteral("湿度 [%RH]");
        t.ch[1].storageCaption = QStringLiteral("温度");
        t.ch[2].storageCaption = QStringLiteral("湿度");
        t.secondColour = QColor(0x00, 0xC0, 0xC0);  // &HC0C000 (blue, green, red)
    } else {
        t.ch[1].frameCaption = QStringLiteral("温度A[ﾟC ]");
        t.ch[2].frameCaption = QStringLiteral("温度B[ﾟC ]");
        t.ch[1].storageCaption = QStringLiteral("温度A");
        t.ch[2].storageCaption = QStringLiteral("温度B");
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
            if (badUpper) out.lines << QStringLiteral("上限値：") + wholeUnits(upper[size_t(ch)]);
            if (badLower) out.lines << QStringLiteral("下限値：") + wholeUnits(lower[size_t(ch)]);
        };
        section(1, m->readAlarmLimits[0], QStringLiteral("警報値(温度）が範囲外です(60～-40)"));
        section(2, m->readAlarmLimits[1], QStringLiteral("警報値(湿度)が範囲外です(100～0)"));
    } else {
        // One section for both channels, which share their limits.
        const AlarmLimits& lim = m->readAlarmLimits[0];
        QStringList bad;
        if (lim.upperBad(upper[1])) bad << QStringLiteral("警報値１上限値：") + wholeUnits(upper[1]);
        if (lim.upperBad(upper[2])) bad << QStringLiteral("警報値２上限値：") + wholeUnits(upper[2]);
        if (lim.lowerBad(lower[1])) bad << QStringLiteral("警報値１下限値：") + wholeUnits(lower[1]);
        if (lim.lowerBad(lower[2])) bad << QStringLiteral("警報値２下限値：") + wholeUnits(lower[2]);
        if (!bad.isEmpty()) {
            out.lines << QStringLiteral("警報範囲外です(150～-40）") << bad;
            out.bad[1] = out.bad[2] = true;
        }
    }
    return out;
}

QString readAlarmWarning(const PendingLogger& p) {
    const ReadAlarmSections sections = readAlarmSections(p);
    if (sections.lines.isEmpty()) return {};
    QString text = QStringLiteral("警報値異常です！");
    for (const QString& line : sections.lines) text += QStringLiteral("\r\n") + line;
    return text;
}

}  // namespace quillet
