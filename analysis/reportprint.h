// The one-page report of a data file for an audit: title, loggers, period,
// interval, print date, the graph (the request's plot, drawn as the graph
// window draws it but with ranges that show every sample: reportPlot and
// reportGraphState in graph/), the table of figures per channel and the sign-off
// boxes, on A4 landscape.
#pragma once

#include "analysis/figures.h"
#include "print/printjobs.h"

#include <QPageLayout>
#include <QString>
#include <QStringList>

#include <array>

#include <functional>
#include <optional>
#include <vector>

class QPagedPaintDevice;
class QPainter;

namespace quillet {

struct AppContext;
class PrintControl;

struct ReportPageContent;

struct ReportRequest {
    QString title;
    AxisRows rows;  // of the common time axis
    double deltaHOverR = kDefaultDeltaHOverR;
    PagePlot plot;  // the graph; none = the page without it
    // Called with the page before it is printed (electronic records: the
    // signatures into the boxes, the trail's head into the footer); false
    // prints nothing (it said why).
    std::function<bool(ReportPageContent&)> beforePrint = {};
};

// The title a report starts with: the data file's name without its folder
// (the file the channels came from, else the current file name).
QString defaultReportTitle(const ChannelStore& s);
// A4 landscape with 15 mm margins.
QPageLayout reportPageLayout();

// The texts above the graph, one per line: loggers, period, interval, ΔH/R
// and print date ("印刷日時"), from the clock of the context.
QStringList reportHeaderLines(AppContext& ctx, const ReportRequest& r);

// What one report page holds: the title, the lines beside it, the figures
// with a column head each, and the graph. printReport fills it from the
// store; the archive's trend report from its series.
struct ReportPageContent {
    QString title;
    QStringList headerLines;
    std::vector<ChannelFigures> figures;  // up to kChannels
    QStringList columnHeads;              // one per entry of figures
    PagePlot plot;
    // The lines in the boxes 作成, 確認 and 承認 (empty boxes to sign by
    // hand), and a line at the foot of the page.
    std::array<QStringList, 3> signOff = {};
    QString footer = {};
};

// What electronic records add to a report printed from a window: before a
// print or a PDF the signatures, before a preview the boxes only (see
// ReportRequest::beforePrint).
struct ReportSignOff {
    std::function<bool(ReportPageContent&)> beforePrint;
    std::function<bool(ReportPageContent&)> beforePreview;
    // The same for a page whose data the caller binds (the long-term trend:
    // its series over the period, archive/databinding.h); preview: the
    // boxes only.
    std::function<bool(ReportPageContent&, const QStringList& bindings, bool preview)> bound;
};

// The page of the request as printReport prints it (before beforePrint).
ReportPageContent reportPageContent(AppContext& ctx, const ReportRequest& r);
// The table of figures as text, a line per figure: its label, then each
// channel's value, tab-separated; the column heads first.
QStringList reportFigureRows(const ReportPageContent& content);

// A document on printer in the report's page layout (A4 landscape; the
// printer's own is given back afterwards): paint draws its pages with the
// painter and returns how many. Returns them, or 0 when nothing was printed
// (reported by the failure rule).
using PaintDocument = std::function<int(QPainter& painter, QPagedPaintDevice& device)>;
int printReportDocument(AppContext& ctx, PrintControl& printer, const QString& jobTitle, const PaintDocument& paint);

// Prints the page as a document called jobTitle on printer (the page layout
// is the report's for this document and is given back afterwards). Returns
// 1, or 0 when nothing was printed (reported by the failure rule).
int printReportPage(AppContext& ctx, PrintControl& printer, const QString& jobTitle, const ReportPageContent& content);

// Prints the page on printer (the page layout is the report's for this
// document and is given back afterwards). Returns 1, or 0 when nothing was
// printed (reported by the failure rule).
int printReport(AppContext& ctx, PrintControl& printer, const ReportRequest& r);

// Asks for the report's title, starting from the given one; nothing for
// Cancel.
using TitlePrompt = std::function<std::optional<QString>(const QString& initial)>;

// "レポート印刷(&R)": the printer checks, the title of the request (asked
// for, starting from the data file's name), the printer dialog of printer,
// then the page.
PrintOutcome reportCommand(AppContext& ctx, PrintControl& printer, ReportRequest request, const TitlePrompt& askTitle);
// The same page after the same checks and title, shown by preview (from
// which it can be printed on printer's kind of device), or written into a
// PDF file chosen in the save dialog without a printer dialog.
PrintOutcome reportPreviewCommand(AppContext& ctx, PrintPreview& preview, ReportRequest request,
                                  const TitlePrompt& askTitle);
PrintOutcome reportPdfCommand(AppContext& ctx, ReportRequest request, const TitlePrompt& askTitle);

}  // namespace quillet
