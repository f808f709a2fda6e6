#include "analysis/ui/analysiswiring.h"

#include "analysis/analysissettings.h"
#include "analysis/ui/statswindow.h"
#include "core/catalog.h"
#include "core/context.h"
#include "core/ui/mainwindow.h"
#include "graph/graphprintplot.h"
#include "graph/ui/graphwindow.h"
#include "print/ui/printpreview.h"

#include <QInputDialog>

#include <memory>

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

// The request with electronic records' hook: the boxes only for a preview.
ReportRequest signedBy(ReportRequest r, const std::shared_ptr<const ReportSignOff>& signOff, bool preview) {
    if (signOff) r.beforePrint = preview ? signOff->beforePreview : signOff->beforePrint;
    return r;
}

}  // namespace

AxisRows visibleRows(const AppContext& ctx) {
    return clampToAxis(ctx.store, ctx.graph->x().shown.low, ctx.graph->x().shown.high);
}

void wireAnalysis(MainWindow& window, AppContext& ctx, TitlePrompt askTitle,
                  std::shared_ptr<const ReportSignOff> signOff) {
    if (!askTitle) askTitle = dialogTitlePrompt(&window);
    // The graph of the whole axis with the automatic ranges, whatever the
    // graph window holds.
    const auto plain = [&ctx] {
        const AxisRows rows = wholeAxis(ctx.store);
        const PagePlot plot = reportPlot(ctx, reportGraphState(ctx, rows, ReportBounds::Automatic));
        return ReportRequest{{}, rows, savedDeltaHOverR(ctx), plot};
    };
    const auto request = [plain, signOff] { return signedBy(plain(), signOff, false); };
    const auto previewed = [plain, signOff] { return signedBy(plain(), signOff, true); };
    window.setCommand(Command::Report,
                      [&ctx, askTitle, request] { reportCommand(ctx, *ctx.printer, request(), askTitle); });
    auto preview = std::make_shared<QtPrintPreview>(&window);
    window.setCommand(Command::ReportPreview, [&ctx, askTitle, previewed, preview] {
        reportPreviewCommand(ctx, *preview, previewed(), askTitle);
    });
    window.setCommand(Command::ReportPdf, [&ctx, askTitle, request] { reportPdfCommand(ctx, request(), askTitle); });
    window.setCommand(Command::Statistics, [&window, &ctx, askTitle, request] {
        showStatsWindow(ctx, wholeAxis(ctx.store), &window,
                        [&ctx, askTitle, request] { reportCommand(ctx, *ctx.printer, request(), askTitle); });
    });
}

void wireGraphAnalysis(GraphWindow& graph, AppContext& ctx, TitlePrompt askTitle,
                       std::shared_ptr<const ReportSignOff> signOff) {
    if (!askTitle) askTitle = dialogTitlePrompt(&graph);
    // The time span shown, every sample of it within the Y axes.
    const auto plain = [&ctx] {
        const AxisRows shown{ctx.graph->x().shown.low, ctx.graph->x().shown.high};
        const PagePlot plot = reportPlot(ctx, reportGraphState(ctx, shown, ReportBounds::Held));
        return ReportRequest{{}, visibleRows(ctx), savedDeltaHOverR(ctx), plot};
    };
    const auto request = [plain, signOff] { return signedBy(plain(), signOff, false); };
    const auto previewed = [plain, signOff] { return signedBy(plain(), signOff, true); };
    graph.setCommand(GraphCommand::Report,
                     [&ctx, askTitle, request] { reportCommand(ctx, *ctx.graphPrinter, request(), askTitle); });
    auto preview = std::make_shared<QtPrintPreview>(&graph);
    graph.setCommand(GraphCommand::ReportPreview, [&ctx, askTitle, previewed, preview] {
        reportPreviewCommand(ctx, *preview, previewed(), askTitle);
    });
    graph.setCommand(GraphCommand::Statistics, [&graph, &ctx, askTitle, request] {
        showStatsWindow(ctx, visibleRows(ctx), &graph,
                        [&ctx, askTitle, request] { reportCommand(ctx, *ctx.graphPrinter, request(), askTitle); });
    });
    graph.setCommand(GraphCommand::ReportPdf,
                     [&ctx, askTitle, request] { reportPdfCommand(ctx, request(), askTitle); });
}

}  // namespace quillet
