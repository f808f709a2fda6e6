// Exports a spreadsheet opens as they are: the tidy CSV (one header row, one
// row per instant at which a channel holds a sample, no padding) and the
// workbook (each channel's instants and values with date-time cells and
// numbers, the channels' statistics and a chart). Every value stands at its
// own time, its channel's start + (i − 1) × interval, also where the grid
// lists a channel on rows of other times. A span of rows of the common time
// axis exports the samples of the instants those rows stand for; a span
// from the first row or to the last one is open at that end, so the whole
// axis exports every sample. Values in tenths, as stored, for temperature
// and humidity alike. Neither is a save of the data file: the store, its
// unsaved marks and the current file name stay as they are.
#pragma once

#include "analysis/figures.h"
#include "core/context.h"
#include "datafile/fileops.h"

#include <QByteArray>
#include <QString>

namespace quillet {

enum class TableEncoding { Utf8WithBom, Cp932 };
enum class TableFormat { TidyCsv, Workbook };

// The tidy CSV of the span: "日時", then a column per channel in use
// ("A 001-01 [℃]"); values with one decimal, an empty cell for an error
// sample or where a channel has no sample at the row's instant; CR LF.
// Empty when the text could not be encoded.
QByteArray tidyCsvBytes(AppContext& ctx, const AxisRows& span, TableEncoding encoding = TableEncoding::Utf8WithBom);

// The workbook (.xlsx) of the span: sheets "データ" (per channel a column
// of its instants beside the column of its values), "統計" (the figures over
// the same samples) and the chart sheet "グラフ". Empty when the library
// failed.
QByteArray workbookBytes(AppContext& ctx, const AxisRows& span);

// The format a chosen file name asks for: ".xlsx" a workbook, anything else
// the tidy CSV.
TableFormat tableFormatFor(const QString& fileName);

// The window's export: the save dialog (format fixed, or both offered when
// `format` is empty), the overwrite question, the write through the atomic
// save. Failures are shown as the other exports show theirs.
FileOutcome exportTable(AppContext& ctx, std::optional<TableFormat> format, const AxisRows& span);

}  // namespace quillet
