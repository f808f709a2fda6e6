#include "spreadsheet/tabular.h"

#include "analysis/analysissettings.h"
#include "analysis/figuretexts.h"
#include "core/catalog.h"
#include "core/cp932.h"
#include "core/fieldhelpers.h"
#include "core/savefile.h"
#include "core/store.h"
#include "core/uitexts.h"
#include "core/vb.h"

#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QTemporaryDir>

#include <unzip.h>
#include <xlsxwriter.h>
#include <zip.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace quillet {
namespace {

constexpr long long kSecondsPerDay = 86400;

// A date value to the whole second.
long long secondsOf(double dateValue) { return std::llround(dateValue * kSecondsPerDay); }
double dateValueOf(long long seconds) { return double(seconds) / kSecondsPerDay; }
// A date value as the tables show it.
double wholeSecond(double dateValue) { return dateValueOf(secondsOf(dateValue)); }

// One channel in use as a column of the tables, with its samples that lie
// within the span. Sample i stands at its own instant, start + (i − 1) ×
// interval, wherever the axis shows it.
struct Column {
    int channel;
    int rowOffset;
    QString title;  // "A 001-01 [℃]"
    bool humidity;
    const int16_t* samples;     // samples[1..]
    long long start, interval;  // seconds
    int first = 1, last = 0;    // the samples within the span

    int count() const { return last >= first ? last - first + 1 : 0; }
    long long secondOf(int i) const { return start + (i - 1) * interval; }
    double timeOf(int i) const { return dateValueOf(secondOf(i)); }
    // Sample i, or nothing for an error sample.
    std::optional<int> at(int i) const {
        const int16_t v = samples[i];
        if (v == kErrorSample) return std::nullopt;
        return v;
    }
};

QString unitText(int kind) {
    if (isTemperature(kind)) return QStringLiteral("℃");
    if (isHumidity(kind)) return QStringLiteral("%RH");
    return {};
}

// The instants (seconds) rows first..last of the axis stand for: from half
// a step before the first row to half a step after the last one, so that a
// channel the axis places by rounding keeps its rows. A span from the
// axis' first row is open before it, one to its last row open after it:
// the whole axis holds every sample, also those of a channel that starts
// too far from the others to be placed on the axis by its time. Rows of an
// axis without a step stand for no instants of their own: every sample.
struct Instants {
    std::optional<long long> from;  // inclusive
    std::optional<long long> to;    // exclusive
};

Instants instantsOf(const ChannelStore& s, const AxisRows& span) {
    const long long step = secondsOf(s.axisInterval);
    Instants w;
    if (span.first > 1 && step > 0) w.from = secondsOf(rowTime(s, span.first)) - step / 2;
    if (span.last < s.rowCount && step > 0) w.to = secondsOf(rowTime(s, span.last)) + (step - step / 2);
    return w;
}

// Limits c.first..c.last (of count samples) to the samples within w.
void keepWithin(Column& c, int count, const Instants& w) {
    c.first = 1;
    c.last = count;
    if (w.from && c.start < *w.from) {
        const long long before = *w.from - c.start;  // > 0
        c.first = c.interval > 0 ? int(std::min<long long>((before + c.interval - 1) / c.interval + 1, count + 1))
                                 : count + 1;
    }
    if (w.to && c.secondOf(count) >= *w.to) {
        const long long upTo = *w.to - 1 - c.start;
        c.last = upTo < 0 ? 0 : c.interval > 0 ? int(std::min<long long>(upTo / c.interval + 1, count)) : count;
    }
}

std::vector<Column> columns(AppContext& ctx, const AxisRows& span) {
    std::vector<Column> cols;
    ChannelStore& s = ctx.store;
    if (countChannelsInUse(s) == 0) return cols;
    const Instants within = instantsOf(s, span);
    for (int ch = 1; ch <= kChannels; ++ch) {
        ChannelRecord& c = s.ch[size_t(ch)];
        if (c.inUse != 1) continue;
        QString title =
            channelLetter(ch) + QLatin1Char(' ') + cardText(ctx, c.cardNo) + QLatin1Char('-') + testText(ctx, c.testNo);
        if (const QString unit = unitText(c.kind); !unit.isEmpty()) title += QStringLiteral(" [") + unit + ']';
        Column col{ch,
                   c.rowOffset,
                   title,
                   isHumidity(c.kind),
                   s.samples[size_t(ch)].data(),
                   secondsOf(c.startTime),
                   c.intervalHour * 3600LL + c.intervalMinute * 60LL + c.intervalTenSec * 10LL};
        if (span.count() > 0) keepWithin(col, std::clamp<int>(c.sampleCount, 0, kMaxSamples), within);
        cols.push_back(col);
    }
    return cols;
}

// The instants of the table's rows, earliest first: every instant at which a
// column holds a sample within the span, an instant as often as one column
// holds samples there (a zero interval). Calls row(seconds, here) for each,
// here[k] being column k's sample index there or 0.
template <typename Row>
void forEachRow(const std::vector<Column>& cols, Row&& row) {
    std::vector<int> next(cols.size()), here(cols.size());
    for (size_t k = 0; k < cols.size(); ++k) next[k] = cols[k].first;
    for (;;) {
        std::optional<long long> t;
        for (size_t k = 0; k < cols.size(); ++k)
            if (next[k] <= cols[k].last && (!t || cols[k].secondOf(next[k]) < *t)) t = cols[k].secondOf(next[k]);
        if (!t) return;
        for (size_t k = 0; k < cols.size(); ++k)
            here[k] = next[k] <= cols[k].last && cols[k].secondOf(next[k]) == *t ? next[k]++ : 0;
        row(*t, here);
    }
}

// The first and last instant of the table (date values); nothing when no
// column holds a sample within the span.
std::optional<std::pair<double, double>> tableInstants(const std::vector<Column>& cols) {
    std::optional<long long> first, last;
    for (const Column& c : cols) {
        if (c.count() == 0) continue;
        first = std::min(first.value_or(c.secondOf(c.first)), c.secondOf(c.first));
        last = std::max(last.value_or(c.secondOf(c.last)), c.secondOf(c.last));
    }
    if (!first) return std::nullopt;
    return std::pair{dateValueOf(*first), dateValueOf(*last)};
}

// ---- the workbook ---------------------------------------------------------

QByteArray utf8(const QString& s) { return s.toUtf8(); }

// The element <tag …>…</tag> starting at or after from: its position and
// length, or a length of 0.
std::pair<qsizetype, qsizetype> element(const QByteArray& xml, const QByteArray& tag, qsizetype from) {
    const qsizetype start = xml.indexOf('<' + tag + '>', from);
    const QByteArray close = "</" + tag + '>';
    const qsizetype end = start < 0 ? -1 : xml.indexOf(close, start);
    if (end < 0) return {0, 0};
    return {start, end + close.size() - start};
}

// A scatter chart's part with its series from the (keep + 1)-th on moved
// to a second scatter plot: its own hidden time axis, scaled as the first,
// and a value axis on the right; the first value axis is titled leftTitle,
// the second rightTitle. Empty when the part is not laid out as expected.
QByteArray withSecondValueAxis(const QByteArray& xml, int keep, const QByteArray& leftTitle,
                               const QByteArray& rightTitle) {
    const auto [plot, plotLength] = element(xml, "c:scatterChart", 0);
    if (plotLength == 0) return {};
    const qsizetype plotEnd = plot + plotLength;
    qsizetype moved = plot;
    for (int i = 0; i <= keep && moved >= 0; ++i) moved = xml.indexOf("<c:ser>", moved + 1);
    const qsizetype ids = xml.indexOf("<c:axId ", plot);
    if (moved < 0 || ids < 0 || moved > ids || ids > plotEnd) return {};
    const auto [xAt, xLength] = element(xml, "c:valAx", plotEnd);
    const auto [yAt, yLength] = element(xml, "c:valAx", xAt + xLength);
    if (xLength == 0 || yLength == 0) return {};
    QByteArray xAxis = xml.mid(xAt, xLength), yAxis = xml.mid(yAt, yLength);
    // Each axis names itself first and the one it crosses later on.
    const QByteArray xId = "val=\"50010001\"", yId = "val=\"50010002\"";
    const QByteArray x2Id = "val=\"50020001\"", y2Id = "val=\"50020002\"";
    if (!xml.mid(ids, plotEnd - ids).contains(xId) || !xml.mid(ids, plotEnd - ids).contains(yId) ||
        xml.contains(x2Id) || xml.contains(y2Id))
        return {};
    const qsizetype titleAt = yAxis.indexOf("<a:t>"), titleEnd = yAxis.indexOf("</a:t>");
    if (titleAt < 0 || titleEnd < titleAt || !yAxis.contains("<c:axPos val=\"l\"/>") ||
        !yAxis.contains("<c:crosses val=\"autoZero\"/>") || !xAxis.contains("</c:scaling>"))
        return {};
    xAxis.replace(xId, x2Id).replace(yId, y2Id).replace("</c:scaling>", "</c:scaling><c:delete val=\"1\"/>");
    if (const auto [at, length] = element(xAxis, "c:title", 0); length > 0) xAxis.remove(at, length);
    QByteArray y2Axis = yAxis;
    yAxis.replace(titleAt + 5, titleEnd - titleAt - 5, leftTitle);
    y2Axis.replace(titleAt + 5, titleEnd - titleAt - 5, rightTitle);
    y2Axis.replace(yId, y2Id)
        .replace(xId, x2Id)
        .replace("<c:axPos val=\"l\"/>", "<c:axPos val=\"r\"/>")
        .replace("<c:majorGridlines/>", "")
        .replace("<c:crosses val=\"autoZero\"/>", "<c:crosses val=\"max\"/>");
    const QByteArray second = "<c:scatterChart><c:scatterStyle val=\"lineMarker\"/>" + xml.mid(moved, ids - moved) +
                              "<c:axId " + x2Id + "/><c:axId " + y2Id + "/></c:scatterChart>";
    return xml.left(moved) + xml.mid(ids, plotEnd - ids) + second + xml.mid(plotEnd, yAt - plotEnd) + yAxis + xAxis +
           y2Axis + xml.mid(yAt + yLength);
}

// libxlsxwriter is opened on the first workbook, not when the program
// starts: it brings libcrypto, whose loading alone costs a tenth of the
// program's start-up. The functions the writer calls, resolved by name.
#define QUILLET_WORKBOOK_FUNCTIONS(X) \
    X(chart_add_series)               \
    X(chart_axis_set_max)             \
    X(chart_axis_set_min)             \
    X(chart_axis_set_name)            \
    X(chart_axis_set_num_format)      \
    X(chart_legend_set_position)      \
    X(chart_series_set_categories)    \
    X(chart_series_set_marker_type)   \
    X(chart_series_set_name_range)    \
    X(chart_series_set_values)        \
    X(chart_show_blanks_as)           \
    X(chartsheet_set_chart)           \
    X(format_set_bold)                \
    X(format_set_num_format)          \
    X(workbook_add_chart)             \
    X(workbook_add_chartsheet)        \
    X(workbook_add_format)            \
    X(workbook_add_worksheet)         \
    X(workbook_close)                 \
    X(workbook_new_opt)               \
    X(worksheet_fit_to_pages)         \
    X(worksheet_freeze_panes)         \
    X(worksheet_set_column)           \
    X(worksheet_set_landscape)        \
    X(worksheet_write_number)         \
    X(worksheet_write_string)

struct WorkbookLibrary {
#define QUILLET_POINTER(f) decltype(&::f) f = nullptr;
    QUILLET_WORKBOOK_FUNCTIONS(QUILLET_POINTER)
#undef QUILLET_POINTER
};

// The library's functions; nothing when it or one of them is missing.
const WorkbookLibrary* workbookLibrary() {
    static const std::optional<WorkbookLibrary> loaded = []() -> std::optional<WorkbookLibrary> {
        QLibrary library(QStringLiteral("xlsxwriter"), 4);  // stays loaded
        if (!library.load()) return std::nullopt;
        WorkbookLibrary api;
#define QUILLET_RESOLVE(f)                                          \
    api.f = reinterpret_cast<decltype(api.f)>(library.resolve(#f)); \
    if (!api.f) return std::nullopt;
        QUILLET_WORKBOOK_FUNCTIONS(QUILLET_RESOLVE)
#undef QUILLET_RESOLVE
        return api;
    }();
    return loaded ? &*loaded : nullptr;
}

class WorkbookWriter {
public:
    WorkbookWriter(const WorkbookLibrary& api, AppContext& ctx, const AxisRows& span)
        : api_(api), ctx_(ctx), span_(span), cols_(columns(ctx, span)) {}

    QByteArray bytes() {
        QTemporaryDir dir;
        if (!dir.isValid()) return {};
        const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("book.xlsx")));
        QByteArray tmp = QFile::encodeName(dir.path());
        lxw_workbook_options options{};
        // Rows go out as they are written (every sheet is written top to
        // bottom): a third of the time and the size. The chart then holds
        // no copy of the values; spreadsheets read them from "データ".
        options.constant_memory = LXW_TRUE;
        options.tmpdir = tmp.data();
        book_ = api_.workbook_new_opt(path.constData(), &options);
        if (!book_) return {};
        formats();
        dataSheet();
        statisticsSheet();
        chartSheet();
        if (api_.workbook_close(book_) != LXW_NO_ERROR || failed_ || !rightHandHumidity(path)) return {};
        QFile f(QString::fromLocal8Bit(path));
        if (!f.open(QIODevice::ReadOnly)) return {};
        return f.readAll();
    }

private:
    void check(lxw_error e) {
        if (e != LXW_NO_ERROR) failed_ = true;
    }
    lxw_format* numberFormat(const char* pattern) {
        lxw_format* f = api_.workbook_add_format(book_);
        api_.format_set_num_format(f, pattern);
        return f;
    }
    void formats() {
        bold_ = api_.workbook_add_format(book_);
        api_.format_set_bold(bold_);
        dateTime_ = numberFormat("yyyy-mm-dd hh:mm:ss");
        duration_ = numberFormat("[h]:mm:ss");
        tenths_ = numberFormat("0.0");
        hundredths_ = numberFormat("0.00");
        percent_ = numberFormat("0.0%");
        whole_ = numberFormat("0");
    }
    // The workbook is written in constant-memory mode, one row after the
    // other: a sheet filled column by column collects its cells first
    // (writeInRowOrder()).
    struct Cell {
        int row, col;
        std::function<void()> write;
    };
    void text(lxw_worksheet* w, int row, int col, const QString& s, lxw_format* f = nullptr) {
        if (collecting_) {
            collecting_->push_back({row, col, [this, w, row, col, s, f] { text(w, row, col, s, f); }});
            return;
        }
        check(api_.worksheet_write_string(w, lxw_row_t(row), lxw_col_t(col), utf8(s).constData(), f));
    }
    void number(lxw_worksheet* w, int row, int col, double v, lxw_format* f) {
        if (collecting_) {
            collecting_->push_back({row, col, [this, w, row, col, v, f] { number(w, row, col, v, f); }});
            return;
        }
        check(api_.worksheet_write_number(w, lxw_row_t(row), lxw_col_t(col), v, f));
    }
    void writeInRowOrder(std::vector<Cell>& cells) {
        std::stable_sort(cells.begin(), cells.end(), [](const Cell& a, const Cell& b) {
            return std::pair(a.row, a.col) < std::pair(b.row, b.col);
        });
        for (const Cell& c : cells) c.write();
    }
    // A measured value (tenths of ℃ or %RH) as stored.
    void value(lxw_worksheet* w, int row, int col, int tenths) { number(w, row, col, tenths / 10.0, tenths_); }
    static int timeColumn(size_t column) { return 2 * int(column); }

    // "データ": two columns per channel, the instants of its samples within
    // the span and their values, so that every value stands beside its own
    // time also where the channels were recorded at different instants.
    void dataSheet() {
        lxw_worksheet* w = api_.workbook_add_worksheet(book_, utf8(kDataSheet).constData());
        int rows = 0;
        for (size_t i = 0; i < cols_.size(); ++i) {
            const int t = timeColumn(i);
            text(w, 0, t, channelLetter(cols_[i].channel) + uiText(ui::kTimeColumnSuffix), bold_);
            text(w, 0, t + 1, cols_[i].title, bold_);
            check(api_.worksheet_set_column(w, lxw_col_t(t), lxw_col_t(t), 20, nullptr));
            check(api_.worksheet_set_column(w, lxw_col_t(t + 1), lxw_col_t(t + 1), 16, nullptr));
            rows = std::max(rows, cols_[i].count());
        }
        api_.worksheet_freeze_panes(w, 1, 0);
        for (int row = 1; row <= rows; ++row) {
            for (size_t i = 0; i < cols_.size(); ++i) {
                const Column& c = cols_[i];
                if (row > c.count()) continue;
                const int n = c.first + row - 1;
                number(w, row, timeColumn(i), c.timeOf(n), dateTime_);
                if (const auto v = c.at(n)) value(w, row, timeColumn(i) + 1, *v);
            }
        }
    }

    // The figures of each column over its samples within the span: the rows
    // of the axis that hold them, as the figures count rows.
    std::vector<ChannelFigures> columnFigures(double dhr) const {
        std::map<std::pair<int, int>, std::vector<ChannelFigures>> byRows;
        std::vector<ChannelFigures> out;
        for (const Column& c : cols_) {
            const auto [at, added] = byRows.try_emplace({c.first + c.rowOffset, c.last + c.rowOffset});
            if (added) at->second = channelFigures(ctx_.store, {at->first.first, at->first.second}, dhr);
            for (const ChannelFigures& f : at->second)
                if (f.channel == c.channel) out.push_back(f);
        }
        return out;
    }

    // "統計": one column per channel: its header values, then the audit
    // figures over the samples exported, a row each; below the table the
    // span and the ΔH/R they were computed with.
    void statisticsSheet() {
        lxw_worksheet* w = api_.workbook_add_worksheet(book_, utf8(uiText(ui::kStatisticsSheet)).constData());
        static const char16_t* const heads[] = {ui::kChannelColumn,
                                                ui::kCardTestColumn,
                                                ui::kUnitColumn,
                                                ui::kStartTime,
                                                ui::kInterval,
                                                ui::kRecordsRow,
                                                ui::kErrorsRow,
                                                ui::kMaximum,
                                                ui::kMinimum,
                                                ui::kAverage,
                                                ui::kUpperAlarmRow,
                                                ui::kLowerAlarmRow,
                                                u"MKT [℃]",
                                                ui::kTimeAboveRow,
                                                ui::kTimeBelowRow,
                                                ui::kShareWithinRow,
                                                ui::kExcursionsAboveRow,
                                                ui::kExcursionsBelowRow,
                                                ui::kLongestAboveRow,
                                                ui::kLongestAboveStartRow,
                                                ui::kLongestBelowRow,
                                                ui::kLongestBelowStartRow,
                                                ui::kDegreeMinutesAboveRow,
                                                ui::kDegreeMinutesBelowRow};
        std::vector<Cell> cells;
        collecting_ = &cells;
        for (int r = 0; r < int(std::size(heads)); ++r) text(w, r, 0, QString::fromUtf16(heads[r]), bold_);
        // A row per figure and a column per channel, as "統計と逸脱" shows
        // them: eight channels fit one printed page.
        check(api_.worksheet_set_column(w, 0, 0, 24, nullptr));
        check(api_.worksheet_set_column(w, 1, kChannels, 20, nullptr));
        api_.worksheet_freeze_panes(w, 1, 1);
        api_.worksheet_set_landscape(w);
        api_.worksheet_fit_to_pages(w, 1, 1);
        const double dhr = loadDeltaHOverR(analysisSettingsFile(ctx_.folders));
        const std::vector<ChannelFigures> figures = columnFigures(dhr);
        int column = 0;
        for (const Column& col : cols_) {
            ++column;
            ChannelRecord& c = ctx_.store.ch[size_t(col.channel)];
            text(w, 0, column, channelLetter(col.channel));
            text(w, 1, column, cardText(ctx_, c.cardNo) + QLatin1Char('-') + testText(ctx_, c.testNo));
            text(w, 2, column, unitText(c.kind));
            number(w, 3, column, wholeSecond(c.startTime), dateTime_);
            number(w, 4, column, wholeSecond(c.interval), duration_);
            number(w, 5, column, c.sampleCount, whole_);
            number(w, 6, column, c.errorCount, whole_);
            value(w, 7, column, c.maxValue);
            value(w, 8, column, c.minValue);
            value(w, 9, column, c.averageValue);
            if (hasAlarmValues(c.kind)) {
                value(w, 10, column, c.upperAlarm);
                value(w, 11, column, c.lowerAlarm);
            }
            const auto f = std::find_if(figures.begin(), figures.end(),
                                        [&](const ChannelFigures& x) { return x.channel == col.channel; });
            if (f != figures.end()) analysisFigures(w, column, *f);
        }
        if (span_.count() > 0) {
            const ChannelStore& s = ctx_.store;
            const auto [from, to] =
                tableInstants(cols_).value_or(std::pair{rowTime(s, span_.first), rowTime(s, span_.last)});
            text(w, int(std::size(heads)) + 1, 0,
                 uiText(ui::kFiguresFootnote).arg(dateTimeText(from), dateTimeText(to), QString::number(dhr, 'f', 1)));
        }
        collecting_ = nullptr;
        writeInRowOrder(cells);
    }

    // Rows 12.. of "統計": the figures that apply; the others stay empty.
    void analysisFigures(lxw_worksheet* w, int column, const ChannelFigures& f) {
        if (f.mkt) number(w, 12, column, *f.mkt, hundredths_);
        if (!f.limits) return;
        const ChannelFigures::Limits& l = *f.limits;
        number(w, 13, column, l.secondsAbove / 86400.0, duration_);
        number(w, 14, column, l.secondsBelow / 86400.0, duration_);
        number(w, 15, column, l.withinShare, percent_);
        number(w, 16, column, l.above.count, whole_);
        number(w, 17, column, l.below.count, whole_);
        int row = 18;
        for (const Excursions* e : {&l.above, &l.below}) {
            number(w, row, column, e->longestSeconds / 86400.0, duration_);
            if (e->count > 0) number(w, row + 1, column, wholeSecond(e->longestStart), dateTime_);
            row += 2;
        }
        number(w, 22, column, l.degreeMinutesAbove, hundredths_);
        number(w, 23, column, l.degreeMinutesBelow, hundredths_);
    }

    // "グラフ": every channel over time as lines, temperatures first. With
    // both kinds the humidity series go to the right-hand axis afterwards
    // (rightHandHumidity()), as this library version draws one value axis.
    void chartSheet() {
        if (cols_.empty()) return;
        lxw_chart* chart = api_.workbook_add_chart(book_, LXW_CHART_SCATTER_STRAIGHT);
        const QByteArray sheet = utf8(kDataSheet);
        for (const bool humidity : {false, true}) {
            for (size_t i = 0; i < cols_.size(); ++i) {
                if (cols_[i].humidity != humidity) continue;
                lxw_chart_series* series = api_.chart_add_series(chart, nullptr, nullptr);
                const lxw_row_t last = lxw_row_t(std::max(cols_[i].count(), 1));
                const lxw_col_t t = lxw_col_t(timeColumn(i));
                api_.chart_series_set_categories(series, sheet.constData(), 1, t, last, t);
                api_.chart_series_set_values(series, sheet.constData(), 1, t + 1, last, t + 1);
                api_.chart_series_set_name_range(series, sheet.constData(), 0, t + 1);
                api_.chart_series_set_marker_type(series, LXW_CHART_MARKER_NONE);
                (humidity ? humiditySeries_ : temperatureSeries_) += 1;
            }
        }
        api_.chart_show_blanks_as(chart, LXW_CHART_BLANKS_AS_GAP);
        api_.chart_axis_set_num_format(chart->x_axis, "yyyy-mm-dd hh:mm");
        api_.chart_axis_set_name(chart->x_axis, utf8(uiText(ui::kTimeColumn)).constData());
        if (const auto instants = tableInstants(cols_)) {
            api_.chart_axis_set_min(chart->x_axis, instants->first);
            api_.chart_axis_set_max(chart->x_axis, instants->second);
        }
        // Both kinds: one axis named for both, until rightHandHumidity() splits it.
        QString yName = temperatureSeries_ > 0 ? kTemperatureAxis : kHumidityAxis;
        if (temperatureSeries_ > 0 && humiditySeries_ > 0) yName += QStringLiteral(" / ") + kHumidityAxis;
        api_.chart_axis_set_name(chart->y_axis, utf8(yName).constData());
        api_.chart_legend_set_position(chart, LXW_CHART_LEGEND_BOTTOM);
        lxw_chartsheet* cs = api_.workbook_add_chartsheet(book_, utf8(uiText(ui::kGraphWord)).constData());
        check(api_.chartsheet_set_chart(cs, chart));
    }

    // Moves the humidity series of the written chart to a second plot with a
    // value axis on the right (and a hidden time axis scaled as the visible
    // one): the package is copied part by part, the others as they are
    // (still compressed), the chart's part rewritten.
    bool rightHandHumidity(const QByteArray& path) {
        if (temperatureSeries_ == 0 || humiditySeries_ == 0) return true;
        const QByteArray copyPath = path + ".split";
        unzFile in = unzOpen64(path.constData());
        if (!in) return false;
        zipFile out = zipOpen64(copyPath.constData(), APPEND_STATUS_CREATE);
        bool ok = out != nullptr;
        bool split = false;
        int more = ok ? unzGoToFirstFile(in) : UNZ_END_OF_LIST_OF_FILE;
        for (; ok && more == UNZ_OK; more = unzGoToNextFile(in)) {
            unz_file_info64 info;
            char name[256];
            ok = unzGetCurrentFileInfo64(in, &info, name, sizeof name, nullptr, 0, nullptr, 0) == UNZ_OK;
            zip_fileinfo stamp{};
            stamp.dosDate = info.dosDate;
            stamp.internal_fa = info.internal_fa;
            stamp.external_fa = info.external_fa;
            QByteArray chart;
            if (ok && qstrcmp(name, "xl/charts/chart1.xml") == 0) {
                chart.resize(qsizetype(info.uncompressed_size));
                ok = unzOpenCurrentFile(in) == UNZ_OK &&
                     unzReadCurrentFile(in, chart.data(), unsigned(chart.size())) == int(chart.size());
                unzCloseCurrentFile(in);
                chart = withSecondValueAxis(chart, temperatureSeries_, utf8(kTemperatureAxis), utf8(kHumidityAxis));
                split = !chart.isEmpty();
            }
            if (!ok) break;
            if (split && !chart.isEmpty()) {
                ok = zipOpenNewFileInZip64(out, name, &stamp, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                           Z_DEFAULT_COMPRESSION, 0) == ZIP_OK &&
                     zipWriteInFileInZip(out, chart.constData(), unsigned(chart.size())) == ZIP_OK &&
                     zipCloseFileInZip(out) == ZIP_OK;
                continue;
            }
            // A part as it is: its compressed bytes, size and checksum.
            int method = 0, level = 0;
            ok = unzOpenCurrentFile2(in, &method, &level, 1) == UNZ_OK &&
                 zipOpenNewFileInZip2_64(out, name, &stamp, nullptr, 0, nullptr, 0, nullptr, method, level, 1,
                                         info.uncompressed_size >= 0xFFFFFFFFu) == ZIP_OK;
            char buffer[65536];
            int n = 0;
            while (ok && (n = unzReadCurrentFile(in, buffer, sizeof buffer)) > 0)
                ok = zipWriteInFileInZip(out, buffer, unsigned(n)) == ZIP_OK;
            ok = ok && n == 0 && unzCloseCurrentFile(in) == UNZ_OK &&
                 zipCloseFileInZipRaw64(out, info.uncompressed_size, info.crc) == ZIP_OK;
        }
        ok = ok && more == UNZ_END_OF_LIST_OF_FILE;
        if (out && zipClose(out, nullptr) != ZIP_OK) ok = false;
        unzClose(in);
        // Laid out otherwise: the chart keeps its one axis, named for both.
        if (!ok || !split) return ok;
        return QFile::remove(QString::fromLocal8Bit(path)) &&
               QFile::rename(QString::fromLocal8Bit(copyPath), QString::fromLocal8Bit(path));
    }

    const QString kDataSheet = uiText(ui::kDataSheet);
    const QString kTemperatureAxis = uiText(ui::kTemperatureAxis);
    const QString kHumidityAxis = uiText(ui::kHumidity);
    int temperatureSeries_ = 0, humiditySeries_ = 0;
    const WorkbookLibrary& api_;
    AppContext& ctx_;
    const AxisRows span_;
    const std::vector<Column> cols_;
    lxw_workbook* book_ = nullptr;
    lxw_format *bold_ = nullptr, *dateTime_ = nullptr, *duration_ = nullptr, *tenths_ = nullptr, *hundredths_ = nullptr,
               *percent_ = nullptr, *whole_ = nullptr;
    bool failed_ = false;
    std::vector<Cell>* collecting_ = nullptr;
};

}  // namespace

QByteArray tidyCsvBytes(AppContext& ctx, const AxisRows& span, TableEncoding encoding) {
    const std::vector<Column> cols = columns(ctx, span);
    QString head = uiText(ui::kTimeColumn);
    for (const Column& c : cols) head += QLatin1Char(',') + c.title;
    head += QStringLiteral("\r\n");
    QByteArray out;
    if (encoding == TableEncoding::Cp932) {
        bool ok = false;
        out = cp932::encode(head, &ok);
        if (!ok) return {};
    } else {
        out = QByteArrayLiteral("\xEF\xBB\xBF") + head.toUtf8();
    }
    // The rows are ASCII, written straight into the buffer sized once for
    // the longest rows, at most a row per sample.
    constexpr int kMaxRowBytes = vb::kMaxDateTimeChars + kChannels * (1 + vb::kMaxTenthsChars) + 2;
    qsizetype rows = 0;
    for (const Column& c : cols) rows += c.count();
    const qsizetype start = out.size();
    out.resize(start + rows * kMaxRowBytes);
    char* const begin = out.data();
    char* p = begin + start;
    forEachRow(cols, [&](long long second, const std::vector<int>& here) {
        p = vb::putDateTime(p, dateValueOf(second), vb::DateTimeLayout::Long);
        for (size_t k = 0; k < cols.size(); ++k) {
            *p++ = ',';
            if (here[k] == 0) continue;
            if (const auto v = cols[k].at(here[k])) p = vb::putTenths(p, *v, 1);
        }
        *p++ = '\r';
        *p++ = '\n';
    });
    out.resize(p - begin);
    return out;
}

QByteArray workbookBytes(AppContext& ctx, const AxisRows& span) {
    const WorkbookLibrary* api = workbookLibrary();
    return api ? WorkbookWriter(*api, ctx, span).bytes() : QByteArray();
}

TableFormat tableFormatFor(const QString& fileName) {
    return fileName.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive) ? TableFormat::Workbook
                                                                          : TableFormat::TidyCsv;
}

FileOutcome exportTable(AppContext& ctx, std::optional<TableFormat> format, const AxisRows& span) {
    const QString csvFilter = uiText(ui::kTidyCsvFilter);
    const QString bookFilter = uiText(ui::kWorkbookFilter);
    FileDialogRequest r;
    if (!format) {
        r = {uiText(ui::kSaveSpanTitle), bookFilter + QLatin1Char('|') + csvFilter, QStringLiteral("xlsx"),
             replaceExtension(ctx.store.currentFileName, QStringLiteral(".xlsx"))};
    } else if (*format == TableFormat::Workbook) {
        r = {uiText(ui::kSaveWorkbookTitle), bookFilter, QStringLiteral("xlsx"),
             replaceExtension(ctx.store.currentFileName, QStringLiteral(".xlsx"))};
    } else {
        r = {uiText(ui::kSaveTidyCsvTitle), csvFilter, QStringLiteral("csv"),
             replaceExtension(ctx.store.currentFileName, QStringLiteral(".csv"))};
    }
    const auto chosen = ctx.dialogs->saveFile(r);
    if (!chosen) return FileOutcome::Cancelled;
    if (chosen->isEmpty()) return FileOutcome::NoEffect;
    if (QFileInfo::exists(*chosen) && showMessage(ctx, Caption::SaveFile, Msg::OverwriteFile, kOkCancel) != kOk)
        return FileOutcome::Cancelled;
    const TableFormat f = format.value_or(tableFormatFor(*chosen));
    const QByteArray bytes = f == TableFormat::Workbook ? workbookBytes(ctx, span) : tidyCsvBytes(ctx, span);
    const SaveError error = bytes.isEmpty() ? SaveError::Writing : writeFileAtomically(*chosen, bytes);
    if (error != SaveError::None) {
        showRuntimeError(ctx, runtimeErrorOf(error), captionText(Caption::SaveFile), kOkOnly);
        return FileOutcome::Failed;
    }
    return FileOutcome::Done;
}

}  // namespace quillet
