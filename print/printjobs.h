// Print jobs: printing of the time list (whole or a range of rows), of the
// channel parameters and of the graph, with the printer checks of every
// print command. Tables go through the table layer (tableprinter.h) onto
// the print control's device (ctx.printer; the graph: ctx.graphPrinter).
#pragma once

#include "core/platform.h"
#include "core/records.h"
#include "core/store.h"

#include <QFont>
#include <QString>

#include <array>
#include <functional>
#include <optional>

class QPaintDevice;
class QPagedPaintDevice;
class QPainter;
class QPageLayout;
class QRectF;

namespace quillet {

struct AppContext;
class PrintControl;

// What a print job prints; the rows of a partial list.
enum class PrintKind : int { WholeList = 0, PartialList = 1, Parameters = 2, Graph = 3 };

// A plot painted on a page: the graph (axes, grid, labels, channels,
// reference lines) around and inside the plot rectangle, in page
// coordinates, with the painter's font, the print's character width and
// line height.
using PagePlot = std::function<void(QPainter& painter, const QRectF& plot, double charWidth, double lineHeight)>;

// What the graph puts on the graph print's page (graph/graphprintplot.h
// makes it): the plot, and the text of the graph window's statistics grid
// at row 1..6 (n/errors .. reference value) for channel 1..8.
struct GraphPage {
    PagePlot plot;
    std::function<QString(int row, int channel)> gridText;
};

struct PrintJob {
    PrintKind kind = PrintKind::WholeList;
    AxisRows rows;    // PartialList only
    GraphPage graph;  // Graph only
};

// What a print command came to. Failed: its error was shown. Cancelled: a
// dialog was cancelled or a range refused (told already where needed).
enum class PrintOutcome { Printed, Cancelled, Failed };

// Characters per line of the tables: the list (6 + 18 + 8 × 9), the
// parameters and the graph's summary table (13 + 8 × 10).
constexpr int kListChars = 96;
constexpr int kParameterChars = 93;
constexpr int kListRowLines = 3;  // the list's header row

// The print font: "MS UI Gothic" at size points. Where that font is not
// installed it falls back to an installed Japanese Gothic font.
QFont printFont(double size);

// The largest size s in 7..12 with chars × width(s) ≤ printable; 6 when not
// even size 7 fits. width(s) is asked from 12 down, only until one fits.
int fitFontSize(const std::function<double(int)>& width, double printable, int chars);

// The size fitFontSize() picks for chars "M" of the print font across
// printable on a device, with the width and height of "M" at that size.
// Only the sizes tried are measured (each size a font of its own to load).
struct FittedFont {
    int size = 6;
    double width = 0;
    double height = 0;
};
FittedFont fitPrintFont(QPaintDevice* device, double printable, int chars);

// The list's column widths in "M" and its cells. Header row: column 0..9
// ("No", "時    刻", a channel's card text, CR, test text, CR, unit). Data
// cell of row number n (1..rowCount) of the time axis.
const std::array<int, 10>& listColumnUnits();
QString listHeaderText(AppContext& ctx, int col);
QString listCellText(const AppContext& ctx, int n, int col);

// The parameter table: row 1..13, column 1 the labels, column c + 1 channel
// c (empty for a channel not in use).
const std::array<int, 9>& parameterColumnUnits();
QString parameterText(AppContext& ctx, int row, int col);

// A partial list first..last: 0 when it is a range of the time axis's rows,
// else the message that refuses it (60 start after end, 62 out of range).
int partRangeMessage(const ChannelStore& s, int first, int last);

// The printer checks: no printer device → run-time error 4821, the device
// not ready → 4820, both under caption 10 ("印刷"). true when both pass.
bool printerChecks(AppContext& ctx);

// A fault while printing: unless the user cancelled a dialog, its run-time
// error under caption 10. Returns the outcome it means.
PrintOutcome printFailed(AppContext& ctx, const PrintFault& fault);

// Starts a document on printer and the painter on its pages; nullptr once
// a failure is reported (printFailed; the printer's error when it named none).
QPagedPaintDevice* beginPrinting(AppContext& ctx, PrintControl& printer, const QString& title, QPainter& painter);
// Ends the painter, then the document; false once a failure is reported.
bool endPrinting(AppContext& ctx, PrintControl& printer, QPainter& painter);

// The rows of a partial list (the partial print dialog, modal): nothing
// for Cancel.
class PartialPrintPrompt {
public:
    virtual ~PartialPrintPrompt() = default;
    virtual std::optional<AxisRows> chooseRows(AppContext& ctx) = 0;
};

// The job a print command prints: the partial list asks for its rows first
// (nothing for Cancel, or without a prompt); the list and the parameters as
// they are; nothing for the graph, whose job the graph makes with its page
// (graphPrintJob), and for an unknown kind.
std::optional<PrintJob> jobFor(AppContext& ctx, PrintKind kind, PartialPrintPrompt* partPrint);

// Prints a job on its print control (ctx.printer; the graph on
// ctx.graphPrinter): the tables through printTables, the graph through
// printGraph. Returns the number of pages; 0 when nothing was printed
// (reported), and for a kind it does not know.
int printJob(AppContext& ctx, const PrintJob& job);

// Prints a job on target instead of its own control (a preview, a PDF
// file): every control the job prints on is target for that time.
int printJobOn(AppContext& ctx, const PrintJob& job, PrintControl& target);

// The one entry of all printing: the printer checks, then jobFor and
// printJob. Another kind prints nothing.
PrintOutcome printDispatch(AppContext& ctx, PrintKind kind, PartialPrintPrompt* partPrint = nullptr);
// The same for a job made already (the graph's).
PrintOutcome printDispatch(AppContext& ctx, const PrintJob& job);

// Prints a list or parameter job as one document on ctx.printer. Returns
// the number of pages; 0 when nothing was printed (reported by the failure
// rule, or by message 60/62 for a partial range that is no range).
int printTables(AppContext& ctx, const PrintJob& job);

// The main window's print commands: "全体印刷(&A)", "部分印刷(&B)",
// "パラメータ印刷(&P)" (the printer checks, the rows of a partial list, the
// printer dialog, then printJob) and "プリンタ設定(&S)" (the checks and the
// dialog).
PrintOutcome printMenuCommand(AppContext& ctx, PrintKind kind, PartialPrintPrompt* partPrint = nullptr);
PrintOutcome printerSetupCommand(AppContext& ctx);

// A print control with a page of its own (paper, orientation, margins): the
// preview and the PDF file of its jobs take that page.
class PagedPrintControl {
public:
    virtual ~PagedPrintControl() = default;
    virtual QPageLayout printPageLayout() = 0;
};

// A preview of a print job's pages (a window, modal): paint prints the
// pages on the control it is given and returns their number (0 = nothing,
// reported); it may run more than once, and once more when the user prints
// from the preview. layout is the page of the job's own printer.
class PrintPreview {
public:
    virtual ~PrintPreview() = default;
    virtual PrintOutcome show(const QString& title, const QPageLayout& layout,
                              const std::function<int(PrintControl&)>& paint) = 0;
};

// "印刷プレビュー(&V)": the job of kind (a partial list asks for its rows
// first) shown by preview, with the page of the job's printer.
PrintOutcome previewCommand(AppContext& ctx, PrintKind kind, PrintPreview& preview,
                            PartialPrintPrompt* partPrint = nullptr);
PrintOutcome previewCommand(AppContext& ctx, const PrintJob& job, PrintPreview& preview);

// "PDFで保存(&D)...": the job of kind (rows first for a partial list) into a
// PDF file chosen in the save dialog, the same pages as on paper (the page
// of the job's printer), without a printer dialog. The file appears only
// when every page is written.
PrintOutcome pdfCommand(AppContext& ctx, PrintKind kind, PartialPrintPrompt* partPrint = nullptr);
PrintOutcome pdfCommand(AppContext& ctx, const PrintJob& job);

// The caption of a job's document ("全体印刷", "グラフ印刷", ...).
QString jobTitle(PrintKind kind);

}  // namespace quillet
