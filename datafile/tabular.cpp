#include "datafile/tabular.h"

#include "core/catalog.h"
#include "core/cp932.h"
#include "core/fieldhelpers.h"
#include "core/savefile.h"
#include "core/store.h"
#include "core/vb.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace quillet {
namespace {

// One channel in use as a column of the table.
struct Column {
    int channel;
    int first, last;  // rows of the axis holding its samples
    bool humidity;
    const int16_t* samples;  // samples[1..]
    QString title;           // "A 001-01 [℃]"

    // The sample of axis row r, or nothing (an error or no sample there).
    std::optional<int> at(int r) const {
        if (r < first || r > last) return std::nullopt;
        const int16_t v = samples[r - first + 1];
        if (v == kErrorSample) return std::nullopt;
        return v;
    }
};

QString unitText(int kind) {
    if (isTemperature(kind)) return QStringLiteral("℃");
    if (isHumidity(kind)) return QStringLiteral("%RH");
    return {};
}

std::vector<Column> columns(AppContext& ctx) {
    std::vector<Column> cols;
    ChannelStore& s = ctx.store;
    if (countChannelsInUse(s) == 0) return cols;
    for (int ch = 1; ch <= kChannels; ++ch) {
        ChannelRecord& c = s.ch[size_t(ch)];
        if (c.inUse != 1) continue;
        QString title =
            channelLetter(ch) + QLatin1Char(' ') + cardText(ctx, c.cardNo) + QLatin1Char('-') + testText(ctx, c.testNo);
        if (const QString unit = unitText(c.kind); !unit.isEmpty()) title += QStringLiteral(" [") + unit + ']';
        const int count = std::clamp<int>(c.sampleCount, 0, kMaxSamples);
        cols.push_back(
            {ch, c.rowOffset + 1, c.rowOffset + count, isHumidity(c.kind), s.samples[size_t(ch)].data(), title});
    }
    return cols;
}

// A date value to the whole second, as the table shows it.
double wholeSecond(double dateValue) { return std::round(dateValue * 86400.0) / 86400.0; }

// ---- the workbook ---------------------------------------------------------

QByteArray utf8(const QString& s) { return s.toUtf8(); }

class WorkbookWriter {
public:
    WorkbookWriter(AppContext& ctx, const RowSpan& span) : ctx_(ctx), span_(span), cols_(columns(ctx)) {}

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
        book_ = workbook_new_opt(path.constData(), &options);
        if (!book_) return {};
        formats();
        const int lastRow = dataSheet();
        statisticsSheet();
        chartSheet(lastRow);
        if (workbook_close(book_) != LXW_NO_ERROR || failed_) return {};
        QFile f(QString::fromLocal8Bit(path));
        if (!f.open(QIODevice::ReadOnly)) return {};
        return f.readAll();
    }

private:
    void check(lxw_error e) {
        if (e != LXW_NO_ERROR) failed_ = true;
    }
    lxw_format* numberFormat(const char* pattern) {
        lxw_format* f = workbook_add_format(book_);
        format_set_num_format(f, pattern);
        return f;
    }
    void formats() {
        bold_ = workbook_add_format(book_);
        format_set_bold(bold_);
        dateTime_ = numberFormat("yyyy-mm-dd hh:mm:ss");
        duration_ = numberFormat("[h]:mm:ss");
        tenths_ = numberFormat("0.0");
        whole_ = numberFormat("0");
    }
    void text(lxw_worksheet* w, int row, int col, const QString& s, lxw_format* f = nullptr) {
        check(worksheet_write_string(w, lxw_row_t(row), lxw_col_t(col), utf8(s).constData(), f));
    }
    void number(lxw_worksheet* w, int row, int col, double v, lxw_format* f) {
        check(worksheet_write_number(w, lxw_row_t(row), lxw_col_t(col), v, f));
    }
    void value(lxw_worksheet* w, int row, int col, int v, bool humidity) {
        number(w, row, col, v / 10.0, humidity ? whole_ : tenths_);
    }

    // "データ": the table; returns its last sheet row (0 = header only).
    int dataSheet() {
        lxw_worksheet* w = workbook_add_worksheet(book_, utf8(kDataSheet).constData());
        text(w, 0, 0, QStringLiteral("日時"), bold_);
        for (size_t i = 0; i < cols_.size(); ++i) text(w, 0, int(i) + 1, cols_[i].title, bold_);
        check(worksheet_set_column(w, 0, 0, 20, nullptr));
        check(worksheet_set_column(w, 1, lxw_col_t(std::max<size_t>(cols_.size(), 1)), 16, nullptr));
        worksheet_freeze_panes(w, 1, 0);
        const ChannelStore& s = ctx_.store;
        int row = 0;
        for (int r = span_.first; r <= span_.last; ++r) {
            ++row;
            number(w, row, 0, wholeSecond(rowTime(s, r)), dateTime_);
            for (size_t i = 0; i < cols_.size(); ++i)
                if (const auto v = cols_[i].at(r)) value(w, row, int(i) + 1, *v, cols_[i].humidity);
        }
        return row;
    }

    // "統計": one row per channel with its header values.
    void statisticsSheet() {
        lxw_worksheet* w = workbook_add_worksheet(book_, utf8(QStringLiteral("統計")).constData());
        static const char* const heads[] = {"チャンネル", "カード-テスト", "単位",       "開始時刻",
                                            "測定間隔",   "収録数",        "エラー数",   "最高値",
                                            "最低値",     "平均値",        "上限警報値", "下限警報値"};
        for (int c = 0; c < int(std::size(heads)); ++c) text(w, 0, c, QString::fromUtf8(heads[c]), bold_);
        check(worksheet_set_column(w, 0, 0, 10, nullptr));
        check(worksheet_set_column(w, 1, 1, 16, nullptr));
        check(worksheet_set_column(w, 3, 3, 20, nullptr));
        check(worksheet_set_column(w, 4, 11, 11, nullptr));
        worksheet_freeze_panes(w, 1, 0);
        int row = 0;
        for (const Column& col : cols_) {
            ++row;
            ChannelRecord& c = ctx_.store.ch[size_t(col.channel)];
            text(w, row, 0, channelLetter(col.channel));
            text(w, row, 1, cardText(ctx_, c.cardNo) + QLatin1Char('-') + testText(ctx_, c.testNo));
            text(w, row, 2, unitText(c.kind));
            number(w, row, 3, wholeSecond(c.startTime), dateTime_);
            number(w, row, 4, wholeSecond(c.interval), duration_);
            number(w, row, 5, c.sampleCount, whole_);
            number(w, row, 6, c.errorCount, whole_);
            value(w, row, 7, c.maxValue, col.humidity);
            value(w, row, 8, c.minValue, col.humidity);
            value(w, row, 9, c.averageValue, col.humidity);
            if (hasAlarmValues(c.kind)) {
                value(w, row, 10, c.upperAlarm, col.humidity);
                value(w, row, 11, c.lowerAlarm, col.humidity);
            }
        }
    }

    // "グラフ": every channel over time, as lines (none without a channel).
    void chartSheet(int lastRow) {
        if (cols_.empty()) return;
        lxw_chart* chart = workbook_add_chart(book_, LXW_CHART_SCATTER_STRAIGHT);
        const QByteArray sheet = utf8(kDataSheet);
        bool temperature = false, humidity = false;
        for (size_t i = 0; i < cols_.size(); ++i) {
            lxw_chart_series* series = chart_add_series(chart, nullptr, nullptr);
            const lxw_row_t last = lxw_row_t(std::max(lastRow, 1));
            chart_series_set_categories(series, sheet.constData(), 1, 0, last, 0);
            chart_series_set_values(series, sheet.constData(), 1, lxw_col_t(i + 1), last, lxw_col_t(i + 1));
            chart_series_set_name_range(series, sheet.constData(), 0, lxw_col_t(i + 1));
            chart_series_set_marker_type(series, LXW_CHART_MARKER_NONE);
            (cols_[i].humidity ? humidity : temperature) = true;
        }
        chart_show_blanks_as(chart, LXW_CHART_BLANKS_AS_GAP);
        chart_axis_set_num_format(chart->x_axis, "yyyy-mm-dd hh:mm");
        chart_axis_set_name(chart->x_axis, utf8(QStringLiteral("日時")).constData());
        if (lastRow >= 1) {
            const ChannelStore& s = ctx_.store;
            chart_axis_set_min(chart->x_axis, wholeSecond(rowTime(s, span_.first)));
            chart_axis_set_max(chart->x_axis, wholeSecond(rowTime(s, span_.last)));
        }
        // One value axis: this library version draws no secondary axis.
        QString yName = temperature ? QStringLiteral("温度 [℃]") : QString();
        if (humidity) yName += (temperature ? QStringLiteral(" / ") : QString()) + QStringLiteral("湿度 [%RH]");
        if (!yName.isEmpty()) chart_axis_set_name(chart->y_axis, utf8(yName).constData());
        chart_legend_set_position(chart, LXW_CHART_LEGEND_BOTTOM);
        lxw_chartsheet* cs = workbook_add_chartsheet(book_, utf8(QStringLiteral("グラフ")).constData());
        check(chartsheet_set_chart(cs, chart));
    }

    const QString kDataSheet = QStringLiteral("データ");
    AppContext& ctx_;
    const RowSpan span_;
    const std::vector<Column> cols_;
    lxw_workbook* book_ = nullptr;
    lxw_format *bold_ = nullptr, *dateTime_ = nullptr, *duration_ = nullptr, *tenths_ = nullptr, *whole_ = nullptr;
    bool failed_ = false;
};

}  // namespace

RowSpan allRows(const ChannelStore& s) {
    if (countChannelsInUse(s) == 0) return {1, 0};
    return {1, int(s.rowCount)};
}

RowSpan clampRows(const ChannelStore& s, int first, int last) {
    const RowSpan all = allRows(s);
    return {std::max(first, all.first), std::min(last, all.last)};
}

QByteArray tidyCsvBytes(AppContext& ctx, const RowSpan& span, TableEncoding encoding) {
    const std::vector<Column> cols = columns(ctx);
    QString head = QStringLiteral("日時");
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
    // the longest rows.
    constexpr int kMaxRowBytes = vb::kMaxDateTimeChars + kChannels * (1 + vb::kMaxTenthsChars) + 2;
    const ChannelStore& s = ctx.store;
    const qsizetype start = out.size();
    out.resize(start + qsizetype(span.count()) * kMaxRowBytes);
    char* const begin = out.data();
    char* p = begin + start;
    for (int r = span.first; r <= span.last; ++r) {
        p = vb::putDateTime(p, rowTime(s, r), vb::DateTimeLayout::Long);
        for (const Column& c : cols) {
            *p++ = ',';
            if (const auto v = c.at(r)) p = vb::putTenths(p, *v, c.humidity ? 0 : 1);
        }
        *p++ = '\r';
        *p++ = '\n';
    }
    out.resize(p - begin);
    return out;
}

QByteArray workbookBytes(AppContext& ctx, const RowSpan& span) { return WorkbookWriter(ctx, span).bytes(); }

TableFormat tableFormatFor(const QString& fileName) {
    return fileName.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive) ? TableFormat::Workbook
                                                                          : TableFormat::TidyCsv;
}

FileOutcome exportTable(AppContext& ctx, std::optional<TableFormat> format, const RowSpan& span) {
    const QString csvFilter = QStringLiteral("表形式CSV(*.csv)|*.csv");
    const QString bookFilter = QStringLiteral("Excelブック(*.xlsx)|*.xlsx");
    FileDialogRequest r;
    if (!format) {
        r = {QStringLiteral("表示範囲の保存"), bookFilter + QLatin1Char('|') + csvFilter, QStringLiteral("xlsx"),
             replaceExtension(ctx.store.currentFileName, QStringLiteral(".xlsx"))};
    } else if (*format == TableFormat::Workbook) {
        r = {QStringLiteral("Excelブックの保存"), bookFilter, QStringLiteral("xlsx"),
             replaceExtension(ctx.store.currentFileName, QStringLiteral(".xlsx"))};
    } else {
        r = {QStringLiteral("表形式CSVの保存"), csvFilter, QStringLiteral("csv"),
             replaceExtension(ctx.store.currentFileName, QStringLiteral(".csv"))};
    }
    const auto chosen = ctx.dialogs->saveFile(r);
    if (!chosen) return FileOutcome::Cancelled;
    if (chosen->isEmpty()) return FileOutcome::NoEffect;
    if (QFileInfo::exists(*chosen) && showMessage(ctx, Caption::SaveFile, Msg::OverwriteFile, kOkCancel) != kOk)
        return FileOutcome::Cancelled;
    const TableFormat f = format.value_or(tableFormatFor(*chosen));
    const QByteArray bytes = f == TableFormat::Workbook ? workbookBytes(ctx, span) : tidyCsvBytes(ctx, span);
    int error = bytes.isEmpty() ? kErrWriting : writeFileAtomically(*chosen, bytes);
    if (error != 0) {
        showRuntimeError(ctx, error, captionText(Caption::SaveFile), kOkOnly);
        return FileOutcome::Failed;
    }
    return FileOutcome::Done;
}

}  // namespace quillet
