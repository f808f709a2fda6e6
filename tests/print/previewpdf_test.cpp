// The preview and the PDF file of every print job: the same pages as the
// printed job, no printer dialog for a PDF, the rows of a partial list asked
// before anything else, and the page of the job's own printer.
#include "print/printjobs.h"
#include "print/ui/printpreview.h"
#include "printfakes.h"

#include "core/catalog.h"
#include "core/store.h"

#include <QFile>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QRegularExpression>
#include <QTimer>

namespace quillet {
namespace {

using namespace fakes;

using PagedPrinter = ScriptedPrinter;

// Rows of a partial list; counts the printer dialogs shown before it asked.
struct Rows : PartialPrintPrompt {
    std::optional<AxisRows> rows;
    const PagedPrinter* printer = nullptr;
    int asked = 0;
    int dialogsBefore = -1;
    std::optional<AxisRows> chooseRows(AppContext&) override {
        ++asked;
        if (printer) dialogsBefore = printer->dialogsShown;
        return rows;
    }
};

// The page count of the preview dialog once it shows, then closes it.
// The graph page without its plot and statistics (the graph makes them).
PrintJob graphJob() { return PrintJob{PrintKind::Graph, {}, {}}; }

int previewPages(AppContext& ctx, PrintKind kind, PartialPrintPrompt* rows, PrintOutcome& outcome) {
    QtPrintPreview preview;
    int pages = -1;
    QTimer::singleShot(0, [&pages] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QPrintPreviewDialog*>(w);
            if (!dialog || !dialog->isVisible()) continue;
            auto* view = dialog->findChild<QPrintPreviewWidget*>();
            if (view) {
                view->updatePreview();
                pages = view->pageCount();
            }
            dialog->reject();
        }
    });
    outcome =
        kind == PrintKind::Graph ? previewCommand(ctx, graphJob(), preview) : previewCommand(ctx, kind, preview, rows);
    return pages;
}

int pdfPageCount(const QString& file) { return int(pdfPages(file).size()); }

class PreviewPdfTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ensurePrintApplication(); }
    void SetUp() override {
        t.ctx.printer = &printer;
        t.ctx.graphPrinter = &graphPrinter;
        ChannelData a;
        a.samples = ramp(300, 245);  // a list of several pages
        fillChannel(t.ctx, 1, a);
        ChannelData h;
        h.kind = 2;
        h.samples = std::vector<int16_t>(300, 654);
        fillChannel(t.ctx, 2, h);
        rebuildTimeAxis(t.ctx.store);
    }

    TestContext t;
    PagedPrinter printer{t.root + "/printed.pdf"};
    PagedPrinter graphPrinter{t.root + "/graph.pdf"};
};

TEST_F(PreviewPdfTest, EveryJobPreviewsAndSavesTheSamePagesAsPrinted) {
    struct Case {
        const char* name;
        PrintKind kind;
        AxisRows rows;
    } cases[] = {
        {"whole list", PrintKind::WholeList, {}},
        {"partial list", PrintKind::PartialList, {2, 120}},
        {"parameters", PrintKind::Parameters, {}},
        {"graph", PrintKind::Graph, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rows rows;
        rows.rows = c.rows;
        // Printed on paper (the PDF of the scripted printer).
        PagedPrinter& own = c.kind == PrintKind::Graph ? graphPrinter : printer;
        QFile::remove(own.fileName);
        const bool graph = c.kind == PrintKind::Graph;
        ASSERT_EQ(graph ? printDispatch(t.ctx, graphJob()) : printDispatch(t.ctx, c.kind, &rows), PrintOutcome::Printed)
            << t.messages.texts().join('|').toStdString();
        const int printed = pdfPageCount(own.fileName);
        ASSERT_GT(printed, 0);

        // Saved as PDF: no printer dialog, the file chosen in the save dialog.
        const QString pdf = t.root + "/" + c.name + ".pdf";
        t.dialogs.answers = {pdf};
        const int dialogsBefore = own.dialogsShown;
        EXPECT_EQ(graph ? pdfCommand(t.ctx, graphJob()) : pdfCommand(t.ctx, c.kind, &rows), PrintOutcome::Printed);
        EXPECT_EQ(own.dialogsShown, dialogsBefore);
        EXPECT_EQ(pdfPageCount(pdf), printed);
        EXPECT_EQ(pdfText(pdf), pdfText(own.fileName));
        EXPECT_EQ(t.dialogs.requests.back().filter, QStringLiteral("PDFファイル(*.pdf)|*.pdf"));

        // Previewed: the preview dialog shows as many pages.
        PrintOutcome outcome = PrintOutcome::Printed;
        EXPECT_EQ(previewPages(t.ctx, c.kind, &rows, outcome), printed);
        EXPECT_EQ(outcome, PrintOutcome::Cancelled);  // closed without printing
        EXPECT_TRUE(t.messages.shown.empty());
        // The controls are the job's own again afterwards.
        EXPECT_EQ(t.ctx.printer, &printer);
        EXPECT_EQ(t.ctx.graphPrinter, &graphPrinter);
    }
}

TEST_F(PreviewPdfTest, CancelsWriteNothing) {
    struct Case {
        const char* name;
        std::optional<AxisRows> rows;  // the partial list's answer
        std::optional<QString> file;   // the save dialog's answer
        int saveDialogs;
    } cases[] = {
        {"rows cancelled: no save dialog", std::nullopt, QString("x.pdf"), 0},
        {"save dialog cancelled", AxisRows{1, 3}, std::nullopt, 1},
        {"empty name", AxisRows{1, 3}, QString(), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        t.dialogs.requests.clear();
        Rows rows;
        rows.rows = c.rows;
        t.dialogs.answers = {c.file && !c.file->isEmpty() ? std::optional<QString>(t.root + "/" + *c.file) : c.file};
        EXPECT_EQ(pdfCommand(t.ctx, PrintKind::PartialList, &rows), PrintOutcome::Cancelled);
        EXPECT_EQ(int(t.dialogs.requests.size()), c.saveDialogs);
        EXPECT_FALSE(QFile::exists(t.root + "/x.pdf"));
        EXPECT_TRUE(t.messages.shown.empty());
    }
}

TEST_F(PreviewPdfTest, PartialPrintAsksForItsRowsBeforeThePrinter) {
    struct Case {
        const char* name;
        std::optional<AxisRows> rows;
        int dialogAnswer;
        PrintOutcome outcome;
        int dialogs;
    } cases[] = {
        {"rows then printer", AxisRows{1, 5}, 0, PrintOutcome::Printed, 1},
        {"rows cancelled: no printer dialog", std::nullopt, 0, PrintOutcome::Cancelled, 0},
        {"printer cancelled after the rows", AxisRows{1, 5}, kErrCancel, PrintOutcome::Cancelled, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        printer.dialogsShown = 0;
        printer.dialogAnswers = {c.dialogAnswer};
        Rows rows;
        rows.rows = c.rows;
        rows.printer = &printer;
        EXPECT_EQ(printMenuCommand(t.ctx, PrintKind::PartialList, &rows), c.outcome);
        EXPECT_EQ(rows.asked, 1);
        EXPECT_EQ(rows.dialogsBefore, 0);
        EXPECT_EQ(printer.dialogsShown, c.dialogs);
    }
}

TEST_F(PreviewPdfTest, PdfTakesThePageOfTheJobsPrinter) {
    graphPrinter.pageLayout = *pageLayoutFor(QStringLiteral("A4"), true);
    const QString pdf = t.root + "/landscape.pdf";
    t.dialogs.answers = {pdf};
    ASSERT_EQ(pdfCommand(t.ctx, graphJob()), PrintOutcome::Printed);
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    ASSERT_TRUE(info.waitForFinished(60000));
    const QString text = QString::fromUtf8(info.readAllStandardOutput());
    static const QRegularExpression size(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+)"));
    const QRegularExpressionMatch m = size.match(text);
    ASSERT_TRUE(m.hasMatch()) << text.toStdString();
    EXPECT_GT(m.captured(1).toDouble(), m.captured(2).toDouble());  // landscape
    EXPECT_TRUE(text.contains(QStringLiteral("(A4)"))) << text.toStdString();
}

}  // namespace
}  // namespace quillet
