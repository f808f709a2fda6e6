// The analysis commands: the main window's "解析(&A)" menu over the whole time
// axis and the graph window's over its visible span.
#pragma once

#include "analysis/reportprint.h"

#include <memory>

namespace quillet {

struct AppContext;
class GraphWindow;
class MainWindow;

// askTitle: the report's title prompt; empty = an input dialog over the
// window.
// signOff: electronic records mode's signatures (none without the mode).
void wireAnalysis(MainWindow& window, AppContext& ctx, TitlePrompt askTitle = {},
                  std::shared_ptr<const ReportSignOff> signOff = {});
void wireGraphAnalysis(GraphWindow& graph, AppContext& ctx, TitlePrompt askTitle = {},
                       std::shared_ptr<const ReportSignOff> signOff = {});

// The rows the graph window shows (its X range within the axis).
AxisRows visibleRows(const AppContext& ctx);

}  // namespace quillet
