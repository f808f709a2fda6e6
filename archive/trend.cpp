#include "archive/trend.h"

#include "analysis/seriesfigures.h"
#include "core/uitexts.h"
#include "graph/graphscale.h"
#include "print/printjobs.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace quillet::archive {
namespace {

qint64 floorDiv(qint64 a, qint64 b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }
qint64 ceilDiv(qint64 a, qint64 b) { return -floorDiv(-a, b); }

// The indices first..last of a piece's samples with instants in p; first >
// last when none.
std::pair<qint64, qint64> indicesWithin(const SeriesPiece& piece, Period p) {
    const qint64 n = qint64(piece.values.size());
    if (piece.intervalSeconds <= 0 || n == 0) return {1, 0};
    const qint64 first = std::max<qint64>(0, ceilDiv(p.fromUtc - piece.startUtc, piece.intervalSeconds));
    const qint64 last = std::min<qint64>(n - 1, floorDiv(p.toUtc - piece.startUtc, piece.intervalSeconds));
    return {first, last};
}

// A sample, or an hour's valid samples, into a column: first .. last in
// time, joining the column before when the first is joined to the sample
// before it; the alarm limits of the last.
void enter(TrendColumn& col, int16_t first, int16_t min, int16_t max, int16_t last, bool joins,
           const ChannelHeader* header) {
    if (!col.any) {
        col.any = true;
        col.min = min;
        col.max = max;
        col.first = first;
        col.joinsPrevious = joins;
    } else {
        col.min = std::min(col.min, min);
        col.max = std::max(col.max, max);
    }
    col.last = last;
    const bool limited = header && hasAlarmValues(header->kind);
    col.upperAlarm = limited ? std::optional<int16_t>(header->upperAlarm) : std::nullopt;
    col.lowerAlarm = limited ? std::optional<int16_t>(header->lowerAlarm) : std::nullopt;
}

QColor channelColour(size_t index) { return QColor::fromRgb(QRgb(defaultChannelColor(int(index % 8) + 1))); }

// Axis bounds and a step of about six ticks around low..high.
struct ValueAxis {
    double low = 0;
    double high = 1;
    double step = 1;
};
ValueAxis niceAxis(double low, double high) {
    if (!(high > low)) {
        low -= 1;
        high += 1;
    }
    const double raw = (high - low) / 6;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    double step = magnitude;
    for (const double m : {1.0, 2.0, 5.0, 10.0})
        if (m * magnitude >= raw) {
            step = m * magnitude;
            break;
        }
    return {std::floor(low / step) * step, std::ceil(high / step) * step, step};
}

}  // namespace

std::vector<SeriesKey> loggerSeries(Archive& archive, int card, int test) {
    ArchiveFailure failure;
    std::vector<SeriesKey> keys;
    for (const SeriesKey& s : archive.series(failure))
        if (s.card == card && s.test == test && keys.size() < size_t(kTrendChannels)) keys.push_back(s);
    return keys;
}

std::vector<TrendChannel> loadTrend(Archive& archive, const std::vector<SeriesKey>& keys, Period p,
                                    ArchiveFailure& failure) {
    std::vector<TrendChannel> channels;
    for (const SeriesKey& k : keys) {
        TrendChannel c;
        c.key = k;
        c.pieces = archive.samples(k, p.fromUtc, p.toUtc, failure);
        if (failure) return {};
        channels.push_back(std::move(c));
    }
    return channels;
}

std::optional<Period> trendExtent(const std::vector<TrendChannel>& channels) {
    std::optional<Period> extent;
    for (const TrendChannel& c : channels)
        for (const SeriesPiece& piece : c.pieces) {
            if (piece.values.empty()) continue;
            const qint64 last = piece.startUtc + qint64(piece.values.size() - 1) * piece.intervalSeconds;
            if (!extent) extent = Period{piece.startUtc, last};
            extent->fromUtc = std::min(extent->fromUtc, piece.startUtc);
            extent->toUtc = std::max(extent->toUtc, last);
        }
    return extent;
}

std::vector<SeriesPiece> piecesWithin(const std::vector<SeriesPiece>& pieces, Period p) {
    std::vector<SeriesPiece> out;
    for (const SeriesPiece& piece : pieces) {
        const auto [first, last] = indicesWithin(piece, p);
        if (first > last) continue;
        SeriesPiece cut;
        cut.readoutId = piece.readoutId;
        cut.startUtc = piece.startUtc + first * piece.intervalSeconds;
        cut.intervalSeconds = piece.intervalSeconds;
        cut.values.assign(piece.values.begin() + first, piece.values.begin() + last + 1);
        cut.header = piece.header;
        cut.continuesPrevious = !out.empty() && first == 0 && piece.continuesPrevious;
        out.push_back(std::move(cut));
    }
    return out;
}

std::vector<TrendColumn> trendColumns(const std::vector<SeriesPiece>& pieces, Period p, int width) {
    std::vector<TrendColumn> columns(size_t(std::max(width, 0)));
    if (width <= 0 || p.toUtc < p.fromUtc) return columns;
    const __int128 span = __int128(p.toUtc) - p.fromUtc + 1;
    auto columnOf = [&](qint64 t) { return int((__int128(t) - p.fromUtc) * width / span); };
    // The first instant of column c (c = width: just past the span).
    auto columnStart = [&](int c) {
        const __int128 offset = (__int128(c) * span + width - 1) / width;
        return qint64(p.fromUtc + offset);
    };
    bool connected = false;  // the sample before was valid, in the span and next to the one now
    for (const SeriesPiece& piece : pieces) {
        const auto [first, last] = indicesWithin(piece, p);
        if (first > last) {
            connected = false;
            continue;
        }
        if (!piece.continuesPrevious || first > 0) connected = false;
        const int interval = piece.intervalSeconds;
        qint64 t = piece.startUtc + first * interval;
        int c = columnOf(t);
        qint64 next = columnStart(c + 1);
        for (qint64 i = first; i <= last; ++i, t += interval) {
            if (t >= next) {
                c = columnOf(t);
                next = columnStart(c + 1);
            }
            const int16_t v = piece.values[size_t(i)];
            if (v == kErrorSample) {
                connected = false;
                continue;
            }
            enter(columns[size_t(c)], v, v, v, v, connected, &piece.header);
            connected = true;
        }
        if (last < qint64(piece.values.size()) - 1) connected = false;
    }
    return columns;
}

std::vector<TrendColumn> outlineColumns(const SeriesOutline& outline, Period p, int width) {
    std::vector<TrendColumn> columns(size_t(std::max(width, 0)));
    if (width <= 0 || p.toUtc < p.fromUtc) return columns;
    const __int128 span = __int128(p.toUtc) - p.fromUtc + 1;
    auto columnOf = [&](qint64 t) { return size_t((__int128(t) - p.fromUtc) * width / span); };
    auto channel = [&](qint64 readout) {
        const auto c = outline.channels.find(readout);
        return c == outline.channels.end() ? nullptr : &c->second;
    };
    // The sample stored before, in the span: its instant, and whether it
    // was valid.
    qint64 previousT = 0;
    bool previousValid = false;
    // Hours and samples in time order: an hour's first sample joins the one
    // before as a sample would; its other samples lie in its column.
    const std::vector<HourSummary>& hours = outline.hours;
    const std::vector<StoredSample>& samples = outline.samples;
    for (size_t h = 0, s = 0; h < hours.size() || s < samples.size();) {
        if (s == samples.size() || (h < hours.size() && hours[h].firstUtc < samples[s].utc)) {
            const HourSummary& x = hours[h++];
            const auto* c = channel(x.firstReadout);
            const bool joins = x.firstValid && previousValid && c && x.firstUtc - previousT == c->first;
            if (x.valid > 0) {
                const auto* last = channel(x.trailReadout);
                enter(columns[columnOf(x.firstUtc)], x.lead, x.min, x.max, x.trail, joins,
                      last ? &last->second : nullptr);
            }
            previousT = x.lastUtc;
            previousValid = x.lastValid;
            continue;
        }
        const StoredSample& x = samples[s++];
        const auto* c = channel(x.readout);
        const bool valid = x.value != kErrorSample && x.utc >= p.fromUtc && x.utc <= p.toUtc && c;
        if (valid)
            enter(columns[columnOf(x.utc)], x.value, x.value, x.value, x.value,
                  previousValid && x.utc - previousT == c->first, &c->second);
        previousT = x.utc;
        previousValid = valid;
    }
    return columns;
}

std::vector<TrendColumn> archiveColumns(Archive& archive, const SeriesKey& key, Period p, int width,
                                        ArchiveFailure& failure) {
    return outlineColumns(archive.outline(key, p.fromUtc, p.toUtc, width, failure), p, width);
}

std::optional<Period> archiveExtent(Archive& archive, const std::vector<SeriesKey>& keys, Period p,
                                    ArchiveFailure& failure) {
    std::optional<Period> extent;
    auto take = [&](qint64 first, qint64 last) {
        if (!extent) extent = Period{first, last};
        extent->fromUtc = std::min(extent->fromUtc, first);
        extent->toUtc = std::max(extent->toUtc, last);
    };
    for (const SeriesKey& k : keys) {
        // In one column, every hour but the first and last is summed up.
        const SeriesOutline o = archive.outline(k, p.fromUtc, p.toUtc, 1, failure);
        if (failure) return std::nullopt;
        if (!o.hours.empty()) take(o.hours.front().firstUtc, o.hours.back().lastUtc);
        if (!o.samples.empty()) take(o.samples.front().utc, o.samples.back().utc);
    }
    return extent;
}

std::vector<TimeTick> timeTicks(Period p, const QTimeZone& zone, int maxTicks) {
    enum class Unit { Hour, Day, Week, Month, Year };
    struct Step {
        Unit unit;
        int count;
        qint64 seconds;  // about
    };
    static const Step kSteps[] = {
        {Unit::Hour, 1, 3600},       {Unit::Hour, 2, 7200},     {Unit::Hour, 3, 10800},    {Unit::Hour, 6, 21600},
        {Unit::Hour, 12, 43200},     {Unit::Day, 1, 86400},     {Unit::Day, 2, 172800},    {Unit::Week, 1, 604800},
        {Unit::Week, 2, 1209600},    {Unit::Month, 1, 2629800}, {Unit::Month, 2, 5259600}, {Unit::Month, 3, 7889400},
        {Unit::Month, 6, 15778800},  {Unit::Year, 1, 31557600}, {Unit::Year, 2, 63115200}, {Unit::Year, 5, 157788000},
        {Unit::Year, 10, 315576000},
    };
    std::vector<TimeTick> ticks;
    if (p.toUtc < p.fromUtc || maxTicks < 1) return ticks;
    const qint64 span = p.toUtc - p.fromUtc;
    const Step* step = &kSteps[std::size(kSteps) - 1];
    for (const Step& s : kSteps)
        if (span / s.seconds + 1 <= maxTicks) {
            step = &s;
            break;
        }
    const QDateTime start = QDateTime::fromSecsSinceEpoch(p.fromUtc, zone);
    const QDate d = start.date();
    QDateTime at;
    QString format;
    switch (step->unit) {
    case Unit::Hour:
        at = QDateTime(d, QTime(start.time().hour() / step->count * step->count, 0), zone);
        format = QStringLiteral("MM-dd HH:mm");
        break;
    case Unit::Day: at = QDateTime(d, QTime(0, 0), zone), format = QStringLiteral("yyyy-MM-dd"); break;
    case Unit::Week:
        at = QDateTime(d.addDays(1 - d.dayOfWeek()), QTime(0, 0), zone), format = QStringLiteral("yyyy-MM-dd");
        break;
    case Unit::Month:
        at = QDateTime(QDate(d.year(), (d.month() - 1) / step->count * step->count + 1, 1), QTime(0, 0), zone);
        format = QStringLiteral("yyyy-MM");
        break;
    case Unit::Year:
        at = QDateTime(QDate(d.year() / step->count * step->count, 1, 1), QTime(0, 0), zone);
        format = QStringLiteral("yyyy");
        break;
    }
    for (int guard = 0; guard < 10000 && at.toSecsSinceEpoch() <= p.toUtc; ++guard) {
        if (at.toSecsSinceEpoch() >= p.fromUtc) ticks.push_back({at.toSecsSinceEpoch(), at.toString(format)});
        switch (step->unit) {
        case Unit::Hour: at = at.addSecs(3600 * step->count); break;
        case Unit::Day: at = QDateTime(at.date().addDays(step->count), QTime(0, 0), zone); break;
        case Unit::Week: at = QDateTime(at.date().addDays(7 * step->count), QTime(0, 0), zone); break;
        case Unit::Month: at = QDateTime(at.date().addMonths(step->count), QTime(0, 0), zone); break;
        case Unit::Year: at = QDateTime(at.date().addYears(step->count), QTime(0, 0), zone); break;
        }
    }
    return ticks;
}

int trendColumnCount(const QRectF& plot) { return std::clamp(int(plot.width()), 1, 4000); }

void paintTrend(QPainter& painter, const QRectF& plot, const std::vector<TrendChannel>& channels, const TrendView& view,
                double charWidth, double lineHeight, const std::vector<std::vector<TrendColumn>>* given) {
    if (plot.width() < 2 || plot.height() < 2) return;
    const Period span = view.span;
    const int width = trendColumnCount(plot);
    const double columnWidth = plot.width() / width;
    std::vector<std::vector<TrendColumn>> columns;
    columns.reserve(channels.size());
    // Each axis spans its channels' samples and limits in the span.
    double low[2] = {1e9, 1e9};
    double high[2] = {-1e9, -1e9};
    bool used[2] = {false, false};
    for (size_t i = 0; i < channels.size(); ++i) {
        const TrendChannel& c = channels[i];
        columns.push_back(given ? (*given)[i] : trendColumns(c.pieces, span, width));
        const int axis = isHumidity(c.key.kind) ? 1 : 0;
        used[axis] = true;
        for (const TrendColumn& col : columns.back()) {
            if (!col.any) continue;
            low[axis] = std::min(low[axis], col.min / 10.0);
            high[axis] = std::max(high[axis], col.max / 10.0);
            if (col.upperAlarm) high[axis] = std::max(high[axis], *col.upperAlarm / 10.0);
            if (col.lowerAlarm) low[axis] = std::min(low[axis], *col.lowerAlarm / 10.0);
        }
    }
    ValueAxis axes[2];
    for (int a = 0; a < 2; ++a) axes[a] = high[a] >= low[a] ? niceAxis(low[a], high[a]) : niceAxis(0, a ? 100 : 40);
    auto yOf = [&](int axis, double value) {
        const ValueAxis& v = axes[axis];
        return plot.bottom() - (value - v.low) / (v.high - v.low) * plot.height();
    };
    const double secondsSpan = double(span.toUtc - span.fromUtc + 1);
    auto xOfTime = [&](qint64 t) { return plot.left() + double(t - span.fromUtc) / secondsSpan * plot.width(); };
    const double thin = std::max(1.0, charWidth * 0.08);

    // The grid and the labels.
    painter.save();
    QPen grid(QColor(220, 220, 220));
    grid.setWidthF(thin);
    painter.setPen(grid);
    const QFontMetricsF fm(painter.font(), painter.device());
    const std::vector<TimeTick> ticks = timeTicks(span, view.zone, std::max(1, int(plot.width() / (charWidth * 13))));
    for (const TimeTick& t : ticks)
        painter.drawLine(QPointF(xOfTime(t.utc), plot.top()), QPointF(xOfTime(t.utc), plot.bottom()));
    const int gridAxis = used[0] || !used[1] ? 0 : 1;
    for (double v = axes[gridAxis].low; v <= axes[gridAxis].high + axes[gridAxis].step / 2; v += axes[gridAxis].step)
        painter.drawLine(QPointF(plot.left(), yOf(gridAxis, v)), QPointF(plot.right(), yOf(gridAxis, v)));
    painter.setPen(Qt::black);
    for (const TimeTick& t : ticks) {
        const double x = xOfTime(t.utc);
        const double w = fm.horizontalAdvance(t.label);
        painter.drawText(QRectF(x - w / 2 - charWidth, plot.bottom() + 0.2 * lineHeight, w + 2 * charWidth, lineHeight),
                         Qt::AlignCenter, t.label);
    }
    painter.drawText(QRectF(plot.left(), plot.bottom() + 1.2 * lineHeight, plot.width(), lineHeight), Qt::AlignCenter,
                     uiText(ui::kTrendTimeAxis).arg(QString::fromUtf8(view.zone.id())));
    for (int a = 0; a < 2; ++a) {
        if (!used[a] && !(a == 0 && !used[1])) continue;
        const ValueAxis& v = axes[a];
        const int decimals = v.step < 1 ? 1 : 0;
        for (double value = v.low; value <= v.high + v.step / 2; value += v.step) {
            const QRectF cell = a == 0 ? QRectF(plot.left() - 7 * charWidth, yOf(a, value) - lineHeight / 2,
                                                6.5 * charWidth, lineHeight)
                                       : QRectF(plot.right() + 0.5 * charWidth, yOf(a, value) - lineHeight / 2,
                                                6.5 * charWidth, lineHeight);
            painter.drawText(cell, Qt::AlignVCenter | (a == 0 ? Qt::AlignRight : Qt::AlignLeft),
                             QString::number(value, 'f', decimals));
        }
        const QString title = uiText(a == 0 ? ui::kTemperatureAxis : ui::kHumidity);
        painter.drawText(QRectF(a == 0 ? plot.left() - 7 * charWidth : plot.right() - 20 * charWidth,
                                plot.top() - 2.3 * lineHeight, 27 * charWidth, lineHeight),
                         Qt::AlignVCenter | (a == 0 ? Qt::AlignLeft : Qt::AlignRight), title);
    }
    // The legend above the plot, each name in its channel's colour.
    double legendX = plot.left() + 8 * charWidth;
    for (size_t i = 0; i < channels.size(); ++i) {
        painter.setPen(channelColour(i));
        const QString name = channels[i].name;
        painter.drawText(QPointF(legendX, plot.top() - 1.35 * lineHeight), name);
        legendX += fm.horizontalAdvance(name) + 2 * charWidth;
    }
    painter.restore();

    painter.save();
    painter.setClipRect(plot);
    for (size_t i = 0; i < channels.size(); ++i) {
        const int axis = isHumidity(channels[i].key.kind) ? 1 : 0;
        const QColor colour = channelColour(i);
        const std::vector<TrendColumn>& cols = columns[i];
        QColor shade = colour;
        shade.setAlpha(45);
        QPen dashed(colour);
        dashed.setWidthF(thin);
        dashed.setStyle(Qt::DashLine);
        // The time beyond a limit: the band from the limit to the edge of
        // the plot, over each run of columns with a sample beyond it.
        for (const bool upper : {true, false}) {
            auto beyond = [&](const TrendColumn& col) {
                if (!col.any || !col.upperAlarm || !col.lowerAlarm) return false;
                return upper ? col.max > *col.upperAlarm : col.min < *col.lowerAlarm;
            };
            for (size_t c = 0; c < cols.size();) {
                if (!beyond(cols[c])) {
                    ++c;
                    continue;
                }
                size_t end = c + 1;
                while (end < cols.size() && beyond(cols[end]) && cols[end].upperAlarm == cols[c].upperAlarm &&
                       cols[end].lowerAlarm == cols[c].lowerAlarm)
                    ++end;
                const double limit = yOf(axis, (upper ? *cols[c].upperAlarm : *cols[c].lowerAlarm) / 10.0);
                painter.fillRect(
                    QRectF(QPointF(plot.left() + double(c) * columnWidth, upper ? plot.top() : limit),
                           QPointF(plot.left() + double(end) * columnWidth, upper ? limit : plot.bottom())),
                    shade);
                c = end;
            }
        }
        // The limits dashed where samples were recorded under them.
        painter.setPen(dashed);
        for (size_t c = 0; c < cols.size();) {
            if (!cols[c].any || !cols[c].upperAlarm || !cols[c].lowerAlarm) {
                ++c;
                continue;
            }
            size_t end = c + 1;
            while (end < cols.size() && (!cols[end].any || (cols[end].upperAlarm == cols[c].upperAlarm &&
                                                            cols[end].lowerAlarm == cols[c].lowerAlarm)))
                ++end;
            const double x0 = plot.left() + double(c) * columnWidth;
            const double x1 = plot.left() + double(end) * columnWidth;
            for (const int16_t limit : {*cols[c].upperAlarm, *cols[c].lowerAlarm})
                painter.drawLine(QPointF(x0, yOf(axis, limit / 10.0)), QPointF(x1, yOf(axis, limit / 10.0)));
            c = end;
        }
        // The samples: each column from its minimum to its maximum, joined
        // to the column before only where no gap lies between.
        QPen line(colour);
        line.setWidthF(thin * 1.2);
        line.setCapStyle(Qt::SquareCap);
        painter.setPen(line);
        std::vector<QLineF> lines;
        lines.reserve(cols.size() * 2);
        double previousX = 0;
        double previousY = 0;
        for (size_t c = 0; c < cols.size(); ++c) {
            const TrendColumn& col = cols[c];
            if (!col.any) continue;
            const double x = plot.left() + (double(c) + 0.5) * columnWidth;
            if (col.joinsPrevious) lines.emplace_back(previousX, previousY, x, yOf(axis, col.first / 10.0));
            lines.emplace_back(x, yOf(axis, col.min / 10.0), x, yOf(axis, col.max / 10.0));
            previousX = x;
            previousY = yOf(axis, col.last / 10.0);
        }
        painter.drawLines(lines.data(), int(lines.size()));
    }
    painter.restore();
    painter.save();
    QPen frame(Qt::black);
    frame.setWidthF(thin);
    painter.setPen(frame);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot);
    painter.restore();
}

QRectF trendPlotArea(const QRectF& area, double charWidth, double lineHeight) {
    return area.adjusted(8 * charWidth, 2.5 * lineHeight, -8 * charWidth, -2.8 * lineHeight);
}

void paintTrendIn(QPainter& painter, const QRectF& area, const std::vector<TrendChannel>& channels,
                  const TrendView& view) {
    const QFontMetricsF fm(painter.font(), painter.device());
    const double w = fm.horizontalAdvance(QLatin1Char('0'));
    const double h = fm.height();
    paintTrend(painter, trendPlotArea(area, w, h), channels, view, w, h);
}

bool paintTrendFromArchive(QPainter& painter, const QRectF& area, Archive& archive,
                           const std::vector<TrendChannel>& channels, const TrendView& view, ArchiveFailure& failure) {
    const QFontMetricsF fm(painter.font(), painter.device());
    const double w = fm.horizontalAdvance(QLatin1Char('0'));
    const double h = fm.height();
    const QRectF plot = trendPlotArea(area, w, h);
    std::vector<std::vector<TrendColumn>> columns;
    for (const TrendChannel& c : channels) {
        columns.push_back(archiveColumns(archive, c.key, view.span, trendColumnCount(plot), failure));
        if (failure) return false;
    }
    paintTrend(painter, plot, channels, view, w, h, &columns);
    return true;
}

std::vector<ChannelFigures> trendFigures(const std::vector<TrendChannel>& channels, Period p, double deltaHOverR,
                                         const QTimeZone& zone) {
    std::vector<ChannelFigures> figures;
    for (size_t i = 0; i < channels.size(); ++i) {
        const std::vector<SeriesPiece> within = piecesWithin(channels[i].pieces, p);
        figures.push_back(seriesFigures(int(i) + 1, channels[i].key.kind, sampleRuns(within, zone), deltaHOverR));
    }
    return figures;
}

std::vector<TrendExcursion> trendExcursions(const std::vector<TrendChannel>& channels, Period p) {
    std::vector<TrendExcursion> found;
    for (size_t i = 0; i < channels.size(); ++i) {
        std::optional<TrendExcursion> run[2];  // above, below
        auto end = [&](int which) {
            if (run[which]) found.push_back(*run[which]);
            run[which].reset();
        };
        for (const SeriesPiece& piece : piecesWithin(channels[i].pieces, p)) {
            if (!piece.continuesPrevious) end(0), end(1);
            const bool limited = hasAlarmValues(piece.header.kind);
            for (size_t k = 0; k < piece.values.size(); ++k) {
                const int16_t v = piece.values[k];
                const qint64 t = piece.startUtc + qint64(k) * piece.intervalSeconds;
                for (int which = 0; which < 2; ++which) {
                    const bool beyond = limited && v != kErrorSample &&
                                        (which == 0 ? v > piece.header.upperAlarm : v < piece.header.lowerAlarm);
                    if (!beyond) {
                        end(which);
                        continue;
                    }
                    if (!run[which]) run[which] = TrendExcursion{int(i) + 1, which == 0, t, 0};
                    run[which]->seconds += piece.intervalSeconds;
                }
            }
        }
        end(0), end(1);
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const TrendExcursion& a, const TrendExcursion& b) { return a.startUtc < b.startUtc; });
    return found;
}

PictureWritten writeTrendFile(const std::vector<TrendChannel>& channels, const TrendView& view, const QString& path,
                              QSize size, Archive* source, ArchiveFailure* failure) {
    ArchiveFailure f;
    const PictureWritten written =
        writePictureFile(path, size, uiText(ui::kTrendTitle), [&](QPainter& p, const QRectF& area, bool) {
            p.setRenderHint(QPainter::Antialiasing, false);
            p.setFont(printFont(9));
            if (source) return paintTrendFromArchive(p, area, *source, channels, view, f);
            paintTrendIn(p, area, channels, view);
            return true;
        });
    if (failure) *failure = f;
    return written;
}

}  // namespace quillet::archive
