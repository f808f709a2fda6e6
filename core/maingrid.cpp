#include "core/maingrid.h"

#include "core/context.h"
#include "core/fieldhelpers.h"
#include "core/store.h"
#include "core/uitexts.h"
#include "core/vb.h"

#include <algorithm>

namespace quillet {
namespace {

const QString kDashes = QStringLiteral("-----  ");  // five dashes, two blanks
const QString kCr = QStringLiteral("\r");

bool validColumn(int col) { return col >= 0 && col < kGridColumns; }

// Channel shown in data-grid column col (2..9), 0 for the other columns.
int channelOfColumn(int col) { return (col >= 2 && col <= kChannels + 1) ? col - 1 : 0; }

}  // namespace

QString valueText(const ChannelRecord& c, int tenths) { return vb::formatTenths(tenths, isHumidity(c.kind) ? 0 : 1); }

int gridRowCount(const ChannelStore& s) {
    if (s.channelsInUse <= 0) return kGridRows;
    return std::max<int>(kGridRows, s.rowCount);
}

QString numberFormat(int kind) { return isHumidity(kind) ? QStringLiteral("0") : QStringLiteral("0.0"); }

QString unitText(int kind) { return isHumidity(kind) ? QStringLiteral("[%RH]") : uiText(ui::kCelsiusGridHead); }

QString alarmMark(const ChannelRecord& c, int16_t raw) {
    if (!hasAlarmValues(c.kind) || raw == kErrorSample) return QStringLiteral("   ");
    const bool above = raw > c.upperAlarm;
    const bool below = raw < c.lowerAlarm;
    if (above && below) return QStringLiteral("◆");
    if (above) return QStringLiteral("▲");
    if (below) return QStringLiteral("▼");
    return QStringLiteral("   ");
}

QString sampleText(const ChannelRecord& c, int16_t raw) {
    if (raw == kErrorSample) return kDashes;
    // One string of the value's digits and the mark.
    char digits[vb::kMaxTenthsChars];
    const int n = int(vb::putTenths(digits, raw, isHumidity(c.kind) ? 0 : 1) - digits);
    const QString mark = alarmMark(c, raw);
    QString out(n + mark.size(), Qt::Uninitialized);
    QChar* d = out.data();
    for (int i = 0; i < n; ++i) d[i] = QLatin1Char(digits[i]);
    std::copy(mark.cbegin(), mark.cend(), d + n);
    return out;
}

std::array<QString, kGridColumns> emptyChannelLabels(const ChannelStore& s) {
    std::array<QString, kGridColumns> labels{};
    for (int ch = 1; ch <= kChannels; ++ch)
        if (s.ch[ch].inUse != 1) labels[size_t(ch + 1)] = channelLetter(ch);
    return labels;
}

QString gridHeaderText(AppContext& ctx, int col) {
    if (col == 0) return QStringLiteral("No.");
    if (col == 1) return uiText(ui::kGridTimeHead);
    const int ch = channelOfColumn(col);
    if (ch == 0) return {};
    ChannelRecord& c = ctx.store.ch[ch];
    if (c.inUse != 1) return channelLetter(ch);
    return cardText(ctx, c.cardNo) + kCr + testText(ctx, c.testNo) + kCr + unitText(c.kind);
}

QString gridCellText(const AppContext& ctx, int row, int col) {
    const ChannelStore& s = ctx.store;
    if (row < 1 || !validColumn(col) || row > gridRowCount(s)) return {};
    if (col == 0) return QString::number(row);
    if (s.channelsInUse <= 0) return {};
    if (col == 1) {
        if (row > std::max<int>(s.rowCount, kVisibleRows)) return {};
        return vb::formatDateTime(rowTime(s, row), vb::DateTimeLayout::ShortDash);
    }
    const int ch = channelOfColumn(col);
    const ChannelRecord& c = s.ch[ch];
    if (c.inUse != 1) return {};
    const int i = row - c.rowOffset;
    const int count = std::min<int>(c.sampleCount, kMaxSamples);
    if (i < 1 || i > count) return {};
    return sampleText(c, s.samples[size_t(ch)][size_t(i)]);
}

QString statsRowLabel(int row) {
    static const char16_t* const labels[kStatsRows] = {ui::kStartTime, ui::kInterval,      ui::kMaximum,
                                                       ui::kMinimum,   ui::kAverage,       ui::kIntegrated,
                                                       ui::kReference, ui::kUpperAlarmRow, ui::kLowerAlarmRow};
    if (row < 0 || row >= kStatsRows) return {};
    return QString::fromUtf16(labels[row]);
}

QString statsCellText(const AppContext& ctx, int row, int col) {
    if (row < 0 || row >= kStatsRows || col < 0 || col >= kStatsColumns) return {};
    if (col == 0) return statsRowLabel(row);
    const ChannelRecord& c = ctx.store.ch[size_t(col)];
    if (c.inUse != 1) return {};
    const bool noValidSample = c.sampleCount - c.errorCount < 1;
    const bool referenceSet = c.referenceValue != kNotSet;
    switch (row) {
    case 0: {
        // "yy-mm-dd", CR, "hh:nn:ss ": the two halves of one date-time text.
        const QString t = vb::formatDateTime(c.startTime, vb::DateTimeLayout::ShortDash);
        return t.left(8) + kCr + t.mid(9) + QLatin1Char(' ');
    }
    case 1:  // "hh:nn:ss "
        return vb::formatDateTime(c.interval, vb::DateTimeLayout::ShortDash).mid(9) + QLatin1Char(' ');
    case 2: return noValidSample ? kDashes : valueText(c, c.maxValue);
    case 3: return noValidSample ? kDashes : valueText(c, c.minValue);
    case 4: return noValidSample ? kDashes : valueText(c, c.averageValue);
    case 5:
        if (noValidSample || !referenceSet) return kDashes;
        return QString::number(c.integratedValue) + QStringLiteral("  ");  // "0  " of a whole number
    case 6: {
        if (!referenceSet) return kDashes;
        return valueText(c, c.referenceValue) + referenceSideText(c.referenceSide) + QLatin1Char(' ');
    }
    case 7: return hasAlarmValues(c.kind) ? valueText(c, c.upperAlarm) : QStringLiteral("-----");
    case 8: return hasAlarmValues(c.kind) ? valueText(c, c.lowerAlarm) : QStringLiteral("-----");
    }
    return {};
}

ScrollSettings scrollSettingsFor(const ChannelStore& s) {
    ScrollSettings r;
    const int rows = std::min(int(s.rowCount), gridRowCount(s));
    if (s.channelsInUse <= 0 || rows < kVisibleRows + 1) return r;
    r.largeChange = int(vb::cint(rows / 20.0 + 1));
    r.maximum = rows - (kVisibleRows - 1);
    return r;
}

int wheelScroll(int value, int minimum, int maximum, int wheelDelta, int step) {
    const int next = wheelDelta < 0 ? value + step : value - step;
    return std::clamp(next, std::min(minimum, maximum), std::max(minimum, maximum));
}

}  // namespace quillet
