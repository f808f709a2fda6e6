// Exports a spreadsheet opens as they are: the tidy CSV (one header row, one
// row per row of the common time axis, no padding) and the workbook (the
// same table with date-time cells and numbers, the channels' statistics and
// a chart). Neither is a save of the data file: the store, its unsaved marks
// and the current file name stay as they are.
#pragma once

#include "analysis/figures.h"
#include "core/context.h"
#include "datafile/fileops.h"

#include <QByteArray>
#include <QString>

namespace quillet {

enum class TableEncoding { Utf8WithBom, Cp932 };
enum class TableFormat { TidyCsv, Workbook };

// The tidy CSV of the rows of span: "日時", then a column per channel in
// use ("A 001-01 [℃]"); temperatures with one decimal, humidity whole, an
// empty cell for an error sample or a row outside a channel's samples; CR LF.
// Empty when the text could not be encoded.
QByteArray tidyCsvBytes(AppContext& ctx, const AxisRows& span, TableEncoding encoding = TableEncoding::Utf8WithBom);

// The workbook (.xlsx) of the rows of span: sheets "データ", "統計" and the
// chart sheet "グラフ". Empty when the library failed.
QByteArray workbookBytes(AppContext& ctx, const AxisRows& span);

// The format a chosen file name asks for: ".xlsx" a workbook, anything else
// the tidy CSV.
TableFormat tableFormatFor(const QString& fileName);

// The window's export: the save dialog (format fixed, or both offered when
// `format` is empty), the overwrite question, the write through the atomic
// save. Failures are shown as the other exports show theirs.
FileOutcome exportTable(AppContext& ctx, std::optional<TableFormat> format, const AxisRows& span);

}  // namespace quillet
