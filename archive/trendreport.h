// The one-page report of a trend's span: the report of a data file's
// page (title, loggers, period, print date, graph, figures, sign-off boxes)
// with the trend as its graph and the figures of the span.
#pragma once

#include "analysis/reportprint.h"
#include "archive/trend.h"

namespace quillet::archive {

// A channel's name on the trend: logger, which channel of it and unit
// ("005-012 ch1 [ﾟC]", the grid's unit).
QString trendChannelName(const AppContext& ctx, const SeriesKey& key);

// The title a trend report starts with.
QString defaultTrendTitle(const std::vector<TrendChannel>& channels);

// The page of the span view.span shown; its plot paints channels, which
// must outlive it.
ReportPageContent trendReportContent(AppContext& ctx, const std::vector<TrendChannel>& channels, const TrendView& view,
                                     double deltaHOverR, const QString& title);

// Prints the page on printer: 1, or 0 when nothing was printed (reported).
int printTrendReport(AppContext& ctx, PrintControl& printer, const ReportPageContent& content);

}  // namespace quillet::archive
