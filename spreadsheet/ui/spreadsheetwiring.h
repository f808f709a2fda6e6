// The exports a spreadsheet opens, wired into the windows: "表形式CSVで保存..."
// and "Excelブックで保存..." of the main window over the whole time axis, and
// "表示範囲を保存" of the graph window over the span it shows.
#pragma once

namespace quillet {

struct AppContext;
class GraphWindow;
class MainWindow;

void wireSpreadsheet(MainWindow& window, AppContext& ctx);
void wireGraphSpreadsheet(GraphWindow& graph, AppContext& ctx);

}  // namespace quillet
