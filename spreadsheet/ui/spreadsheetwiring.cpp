#include "spreadsheet/ui/spreadsheetwiring.h"

#include "core/context.h"
#include "core/ui/mainwindow.h"
#include "graph/graphstate.h"
#include "graph/ui/graphwindow.h"
#include "spreadsheet/tabular.h"

namespace quillet {

void wireSpreadsheet(MainWindow& window, AppContext& ctx) {
    auto tableCommand = [&ctx](TableFormat f) { return [&ctx, f] { exportTable(ctx, f, wholeAxis(ctx.store)); }; };
    window.setCommand(Command::TidyCsvExport, tableCommand(TableFormat::TidyCsv));
    window.setCommand(Command::WorkbookExport, tableCommand(TableFormat::Workbook));
}

void wireGraphSpreadsheet(GraphWindow& graph, AppContext& ctx) {
    // The rows between the X bounds on screen, CSV or workbook by the
    // chosen name.
    graph.setCommand(GraphCommand::SaveSpan, [&ctx] {
        exportTable(ctx, std::nullopt, clampToAxis(ctx.store, ctx.graph->x().shown.low, ctx.graph->x().shown.high));
    });
}

}  // namespace quillet
