// quillet-cli print: the program's list, partial list, parameter and graph
// prints into a PDF file, through the same print code as the program's menus.
#include "core/catalog.h"
#include "graph/graphprintplot.h"
#include "print/pdfprinter.h"
#include "print/printjobs.h"
#include "tools/cli/cli.h"
#include "tools/cli/graphoptions.h"

namespace quillet::cli {
namespace {

// The partial print dialog of the command line: the rows of --rows.
class RowsFromCommandLine : public PartialPrintPrompt {
public:
    RowsFromCommandLine(int first, int last) : first_(first), last_(last) {}
    std::optional<AxisRows> chooseRows(AppContext&) override { return AxisRows{first_, last_}; }

private:
    int first_;
    int last_;
};

QString printSynopsis() {
    return QStringLiteral(
        "print FILE (--list | --rows FIRST..LAST | --params | --graph [graph options])\n"
        "      --pdf OUT.pdf [--paper A4|A3|Letter] [--landscape]");
}

int runPrint(AppContext& ctx, const Arguments& a) {
    const int jobs = int(a.has("--list")) + int(a.has("--rows")) + int(a.has("--params")) + int(a.has("--graph"));
    const QString target = a.value("--pdf");
    if (jobs != 1 || target.isEmpty()) {
        complain(uiText(text::kUsageLine).arg(printSynopsis()));
        return kExitUsage;
    }
    const bool graph = a.has("--graph");
    for (const QString& option : graphValueOptions() + graphFlagOptions()) {
        if (!graph && a.options.contains(option)) {
            complain(uiText(text::kBelongsToGraph).arg(option));
            return kExitUsage;
        }
    }
    const std::optional<QPageLayout> layout =
        pageLayoutFor(a.has("--paper") ? a.value("--paper") : QStringLiteral("A4"), a.has("--landscape"));
    if (!layout) {
        complain(uiText(text::kPaper));
        return kExitUsage;
    }
    int first = 0;
    int last = 0;
    if (a.has("--rows") && !rowsOption(a, first, last)) return kExitUsage;

    int code = kExitOk;
    GraphState g;
    if (graph && !graphStateFromOptions(a, ctx.graph, g, code)) return code;
    if (!outputApartFromInput(target, a.positional[0], code) || !openAlone(ctx, a.positional[0], code)) return code;
    const PrintKind kind = graph             ? PrintKind::Graph
                           : a.has("--list") ? PrintKind::WholeList
                           : a.has("--rows") ? PrintKind::PartialList
                                             : PrintKind::Parameters;
    if (graph) {
        // The graph as the graph window shows it, printed by the window's print.
        ctx.graph = g;
        computeGraphScale(ctx);
    }
    if (kind == PrintKind::PartialList) {
        if (const int message = partRangeMessage(ctx.store, first, last)) {
            complain(captionText(Caption::Print) + QStringLiteral(": ") + messageText(message) +
                     uiText(text::kRowsAre).arg(ctx.store.rowCount));
            return kExitFailed;
        }
    }

    // The print's error boxes concern the PDF file: they name it.
    TerminalMessages messages;
    messages.concern(target);
    ctx.messages = &messages;
    PdfPrintControl pdf(target);
    pdf.pageLayout = *layout;
    ctx.printer = &pdf;
    ctx.graphPrinter = &pdf;
    RowsFromCommandLine rows(first, last);
    if (graph)
        printDispatch(ctx, graphPrintJob(ctx));
    else
        printDispatch(ctx, kind, &rows);
    if (pdf.documentsWritten() != 1) return kExitFailed;  // the reason is on stderr
    err() << uiText(text::kPrinted).arg(target) << "\n";
    return kExitOk;
}

}  // namespace

Subcommand printSubcommand() {
    return {
        QStringLiteral("print"),
        printSynopsis() + "\n" + uiText(text::kPrintGraphOptions) + graphOptionsSynopsis(),
        uiText(text::kPrintHelp),
        QStringList{QStringLiteral("--rows"), QStringLiteral("--pdf"), QStringLiteral("--paper")} + graphValueOptions(),
        1,
        runPrint,
        QStringList{QStringLiteral("--list"), QStringLiteral("--params"), QStringLiteral("--graph"),
                    QStringLiteral("--landscape")} +
            graphFlagOptions(),
        /*paints=*/true};
}

}  // namespace quillet::cli
