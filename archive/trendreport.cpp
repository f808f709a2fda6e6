#include "archive/trendreport.h"

#include "core/context.h"
#include "core/maingrid.h"
#include "core/uitexts.h"
#include "core/vb.h"

#include <QPainter>

namespace quillet::archive {

QString trendChannelName(const AppContext& ctx, const SeriesKey& key) {
    return uiText(ui::kTrendChannelHead)
        .arg(loggerText(ctx, key.card, key.test))
        .arg(key.loggerChannel)
        .arg(unitText(key.kind));
}

QString defaultTrendTitle(const std::vector<TrendChannel>& channels) {
    QStringList loggers;
    for (const TrendChannel& c : channels) {
        const QString logger = c.name.section(QLatin1Char(' '), 0, 0);
        if (!loggers.contains(logger)) loggers << logger;
    }
    return uiText(ui::kTrendReportTitle).arg(loggers.join(QStringLiteral(", ")));
}

ReportPageContent trendReportContent(AppContext& ctx, const std::vector<TrendChannel>& channels, const TrendView& view,
                                     double deltaHOverR, const QString& title) {
    ReportPageContent page;
    page.title = title;
    QStringList names;
    for (const TrendChannel& c : channels) names << c.name;
    auto local = [&](qint64 utc) {
        return QDateTime::fromSecsSinceEpoch(utc, view.zone).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    };
    page.headerLines = {
        uiText(ui::kReportLoggers) + names.join(QStringLiteral(",  ")),
        uiText(ui::kTrendReportPeriod)
            .arg(local(view.span.fromUtc), local(view.span.toUtc), QString::fromUtf8(view.zone.id())),
        uiText(ui::kReportDeltaHOverR).arg(deltaHOverR, 0, 'f', 1).trimmed(),
        uiText(ui::kReportPrinted) + vb::formatDate(ctx.clock->now(), QStringLiteral("yyyy-mm-dd hh:nn:ss")),
    };
    page.figures = trendFigures(channels, view.span, deltaHOverR, view.zone);
    page.columnHeads = names;
    page.plot = [&channels, view](QPainter& painter, const QRectF& plot, double w, double h) {
        paintTrend(painter, plot, channels, view, w, h);
    };
    return page;
}

int printTrendReport(AppContext& ctx, PrintControl& printer, const ReportPageContent& content) {
    return printReportPage(ctx, printer, uiText(ui::kTrendReportJob), content);
}

}  // namespace quillet::archive
