#include "analysis/figuretexts.h"

#include "core/context.h"
#include "core/fieldhelpers.h"
#include "core/store.h"
#include "core/uitexts.h"
#include "core/vb.h"

namespace quillet {
namespace {

enum Row {
    kSamples,
    kErrors,
    kMin,
    kMax,
    kMean,
    kMkt,
    kUpper,
    kLower,
    kTimeAbove,
    kTimeBelow,
    kWithin,
    kExcursionsAbove,
    kExcursionsBelow,
    kLongestAbove,
    kLongestAboveStart,
    kLongestBelow,
    kLongestBelowStart,
    kDegreeMinutesAbove,
    kDegreeMinutesBelow,
};

const QString kNone = QStringLiteral("-----");

QString fixed(const std::optional<double>& v, int decimals) { return v ? QString::number(*v, 'f', decimals) : kNone; }

QString startText(const Excursions& e) { return e.count ? dateTimeText(e.longestStart) : kNone; }

}  // namespace

QString figureRowLabel(int row) {
    static const char16_t* const labels[kFigureRows] = {
        ui::kRecordsRow,
        ui::kErrorsRow,
        ui::kMinimum,
        ui::kMaximum,
        ui::kAverage,
        ui::kMktRow,
        ui::kUpperAlarmRow,
        ui::kLowerAlarmRow,
        ui::kTimeAboveRow,
        ui::kTimeBelowRow,
        ui::kShareWithinRow,
        ui::kExcursionsAboveRow,
        ui::kExcursionsBelowRow,
        ui::kLongestAboveRow,
        ui::kExcursionStartRow,
        ui::kLongestBelowRow,
        ui::kExcursionStartRow,
        ui::kDegreeMinutesAboveRow,
        ui::kDegreeMinutesBelowRow,
    };
    if (row < 0 || row >= kFigureRows) return {};
    return QString::fromUtf16(labels[row]);
}

QString figureText(const ChannelFigures& f, int row) {
    const auto& l = f.limits;
    switch (row) {
    case kSamples: return QString::number(f.samples);
    case kErrors: return QString::number(f.errors);
    case kMin: return fixed(f.min, 1);
    case kMax: return fixed(f.max, 1);
    case kMean: return fixed(f.mean, 2);
    case kMkt: return fixed(f.mkt, 2);
    case kUpper: return fixed(f.upperAlarm, 1);
    case kLower: return fixed(f.lowerAlarm, 1);
    }
    if (!l) return kNone;
    switch (row) {
    case kTimeAbove: return durationText(l->secondsAbove);
    case kTimeBelow: return durationText(l->secondsBelow);
    case kWithin: return QString::number(l->withinShare * 100, 'f', 1) + QLatin1Char('%');
    case kExcursionsAbove: return QString::number(l->above.count);
    case kExcursionsBelow: return QString::number(l->below.count);
    case kLongestAbove: return durationText(l->above.longestSeconds);
    case kLongestAboveStart: return startText(l->above);
    case kLongestBelow: return durationText(l->below.longestSeconds);
    case kLongestBelowStart: return startText(l->below);
    case kDegreeMinutesAbove: return QString::number(l->degreeMinutesAbove, 'f', 2);
    case kDegreeMinutesBelow: return QString::number(l->degreeMinutesBelow, 'f', 2);
    }
    return {};
}

QString durationText(long long seconds) {
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString dateTimeText(double dateValue) { return vb::formatDate(dateValue, QStringLiteral("yyyy-mm-dd hh:nn:ss")); }

QString figureColumnHead(AppContext& ctx, int channel) {
    ChannelRecord& c = ctx.store.ch[size_t(channel)];
    return channelLetter(channel) + QLatin1Char(' ') + cardText(ctx, c.cardNo) + QLatin1Char('-') +
           testText(ctx, c.testNo) + (isHumidity(c.kind) ? QStringLiteral(" [%RH]") : uiText(ui::kCelsiusFigureUnit));
}

namespace {

// The table's cells: the head line, then a line per figure row.
QList<QStringList> figureCells(AppContext& ctx, const std::vector<ChannelFigures>& figures) {
    QList<QStringList> lines;
    QStringList head{QString()};
    for (const ChannelFigures& f : figures) head << figureColumnHead(ctx, f.channel);
    lines << head;
    for (int row = 0; row < kFigureRows; ++row) {
        QStringList cells{figureRowLabel(row)};
        for (const ChannelFigures& f : figures) cells << figureText(f, row);
        lines << cells;
    }
    return lines;
}

}  // namespace

QString figuresTabSeparated(AppContext& ctx, const std::vector<ChannelFigures>& figures) {
    QString text;
    for (const QStringList& cells : figureCells(ctx, figures))
        text += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
    return text;
}

QByteArray figuresCsv(AppContext& ctx, const std::vector<ChannelFigures>& figures) {
    QByteArray bytes("\xEF\xBB\xBF");  // as the tidy CSV: Excel opens it as UTF-8
    for (const QStringList& cells : figureCells(ctx, figures)) {
        QStringList quoted;
        for (QString c : cells) {
            c = c.trimmed();
            if (c.contains(QLatin1Char(',')) || c.contains(QLatin1Char('"')) || c.contains(QLatin1Char('\n')))
                c = QLatin1Char('"') + c.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
            quoted << c;
        }
        bytes += quoted.join(QLatin1Char(',')).toUtf8() + "\r\n";
    }
    return bytes;
}

}  // namespace quillet
