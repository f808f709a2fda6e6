// The graph print (print kind 3): one page with the graph over a summary
// table of the visible window. The page's frame, font and table are drawn
// here; the plot and the statistics come from the graph with the job
// (GraphPage).
#pragma once

#include "print/printjobs.h"

#include <QRectF>
#include <QString>

namespace quillet {

struct AppContext;

// Table width of the graph print in characters: a title column of 13 and
// eight channel columns of 10.
constexpr int kGraphTableChars = 93;

// Where the parts of the page go, in page coordinates with the origin at
// the top-left corner of the printable area (PW × PH), for character width
// W and line height H of the fitted font.
struct GraphPrintLayout {
    QRectF table;  // the summary table's frame: 93 W × 9 H, one line above the bottom
    QRectF plot;   // the plot rectangle above it
};
GraphPrintLayout graphPrintLayout(double printableWidth, double printableHeight, double charWidth, double lineHeight);

// Summary table cell: row 1..8, column 1 the titles, column c + 1 channel c;
// rows 2..7 are the page's statistics grid.
QString graphSummaryText(AppContext& ctx, const GraphPage& page, int row, int col);

// The graph window's "ページ設定(&Y)" (mPaperset) and "プリンタ設定(&P)"
// (mPrinterSetting): the printer checks of the main window's print control,
// then the page set-up or printer dialog of the graph's (a cancel is
// silent).
void graphPageSetup(AppContext& ctx);
void graphPrinterSetup(AppContext& ctx);

// Prints the page on ctx.graphPrinter. Returns 1, or 0 when nothing was
// printed (reported by the failure rule).
int printGraph(AppContext& ctx, const GraphPage& page);

}  // namespace quillet
