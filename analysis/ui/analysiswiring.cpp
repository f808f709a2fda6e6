#include "analysis/ui/analysiswiring.h"

#include "analysis/analysissettings.h"
#include "analysis/ui/statswindow.h"
#include "core/catalog.h"
#include "core/context.h"
#include "core/ui/mainwindow.h"
#include "graph/graphprintplot.h"
#include "graph/ui/graphwindow.h"

#include <QInputDialog>

namespace quillet {
namespace {

TitlePrompt dialogTitlePrompt(QWidget* parent) {
    return [parent](const QString& initial) -> std::optional<QString> {
        bool ok = false;
        const QString title = QInputDialog::getText(parent, captionText(Caption::Report), messageText(Msg::ReportTitle),
                                                    QLineEdit::Normal, initial, &ok);
        if (!ok) return std::nullopt;
        return title;
    };
}

double savedDeltaHOverR(const AppContext& ctx) { return loadDeltaHOverR(analysisSettingsFile(ctx.folders)); }

}  // namespace

AxisRows visibleRows(const AppContext& ctx) {
    return clampToAxis(ctx.store, ctx.graph->x().shown.low, ctx.graph->x().shown.high);
}

void wireAnalysis(MainWindow& window, AppContext& ctx, TitlePrompt askTitle) {
    if (!askTitle) askTitle = dialogTitlePrompt(&window);
    window.setCommand(Command::Statistics, [&window, &ctx] { showStatsWindow(ctx, wholeAxis(ctx.store), &window); });
    window.setCommand(Command::Report, [&ctx, askTitle] {
        // The graph of the whole axis with the automatic ranges, whatever
        // the graph window holds.
        const AxisRows rows = wholeAxis(ctx.store);
        const PagePlot plot = reportPlot(ctx, reportGraphState(ctx, rows, ReportBounds::Automatic));
        reportCommand(ctx, *ctx.printer, ReportRequest{{}, rows, savedDeltaHOverR(ctx), plot}, askTitle);
    });
}

void wireGraphAnalysis(GraphWindow& graph, AppContext& ctx, TitlePrompt askTitle) {
    if (!askTitle) askTitle = dialogTitlePrompt(&graph);
    graph.setCommand(GraphCommand::Statistics, [&graph, &ctx] { showStatsWindow(ctx, visibleRows(ctx), &graph); });
    graph.setCommand(GraphCommand::Report, [&ctx, askTitle] {
        // The time span shown, every sample of it within the Y axes.
        const AxisRows shown{ctx.graph->x().shown.low, ctx.graph->x().shown.high};
        const PagePlot plot = reportPlot(ctx, reportGraphState(ctx, shown, ReportBounds::Held));
        reportCommand(ctx, *ctx.graphPrinter, ReportRequest{{}, visibleRows(ctx), savedDeltaHOverR(ctx), plot},
                      askTitle);
    });
}

}  // namespace quillet
