#include "print/printjobs.h"
#include "core/store.h"

#include "core/catalog.h"
#include "core/context.h"
#include "core/fieldhelpers.h"
#include "core/maingrid.h"
#include "core/uitexts.h"
#include "core/vb.h"
#include "print/graphprint.h"
#include "print/pdfprinter.h"
#include "print/tableprinter.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>

namespace quillet {
namespace {

constexpr Caption kCaptionPrint = Caption::Print;
const QString kCr = QStringLiteral("\r");
const QString kDashes = QStringLiteral("-----");

// Card text, CR, test text (the stored numbers are corrected as the setting
// characters do).
QString cardAndTest(AppContext& ctx, ChannelRecord& c) {
    return cardText(ctx, c.cardNo) + kCr + testText(ctx, c.testNo);
}

QString rangeText(int rangeLow) {
    switch (rangeLow) {
    case -400: return uiText(ui::kRangeMinus40To60);
    case 0: return uiText(ui::kRange0To100);
    case 500: return uiText(ui::kRange50To150);
    default: return {};
    }
}

// Puts target in place of the print controls for one scope.
class PrintControlsRedirected {
public:
    PrintControlsRedirected(AppContext& ctx, PrintControl& target)
        : ctx_(ctx), printer_(ctx.printer), graphPrinter_(ctx.graphPrinter) {
        ctx.printer = &target;
        ctx.graphPrinter = &target;
    }
    ~PrintControlsRedirected() {
        ctx_.printer = printer_;
        ctx_.graphPrinter = graphPrinter_;
    }
    PrintControlsRedirected(const PrintControlsRedirected&) = delete;
    PrintControlsRedirected& operator=(const PrintControlsRedirected&) = delete;

private:
    AppContext& ctx_;
    PrintControl* printer_;
    PrintControl* graphPrinter_;
};

// The page of the printer a kind prints on; an invalid layout when it has
// none of its own.
QPageLayout pageOf(AppContext& ctx, PrintKind kind) {
    PrintControl* printer = kind == PrintKind::Graph ? ctx.graphPrinter : ctx.printer;
    auto* paged = dynamic_cast<PagedPrintControl*>(printer);
    return paged ? paged->printPageLayout() : QPageLayout();
}

// The PDF's file name offered first: the data file's name with ".pdf".
QString pdfInitialName(const AppContext& ctx) {
    const QString name = QFileInfo(ctx.store.currentFileName).completeBaseName();
    return (name.isEmpty() ? QStringLiteral("quillet") : name) + QStringLiteral(".pdf");
}

}  // namespace

QString jobTitle(PrintKind kind) {
    switch (kind) {
    case PrintKind::WholeList: return uiText(ui::kWholeListJob);
    case PrintKind::PartialList: return uiText(ui::kPartialPrintTitle);
    case PrintKind::Graph: return uiText(ui::kGraphJob);
    default: return uiText(ui::kParametersJob);
    }
}

QFont printFont(double size) {
    static const bool fallback = [] {
        const QString family = QStringLiteral("MS UI Gothic");
        if (!QFontDatabase::families().contains(family) && QFont::substitutes(family).isEmpty())
            QFont::insertSubstitutions(
                family, {QStringLiteral("IPAGothic"), QStringLiteral("IPAexGothic"), QStringLiteral("Noto Sans CJK JP"),
                         QStringLiteral("VL Gothic"), QStringLiteral("TakaoGothic")});
        return true;
    }();
    (void)fallback;
    QFont f(QStringLiteral("MS UI Gothic"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(size);
    return f;
}

int fitFontSize(const std::function<double(int)>& width, double printable, int chars) {
    for (int s = 12; s >= 7; --s)
        if (chars * width(s) <= printable) return s;
    return 6;
}

FittedFont fitPrintFont(QPaintDevice* device, double printable, int chars) {
    FittedFont f;
    auto measure = [&](int s) {
        const QFontMetricsF fm(printFont(s), device);
        f = {s, fm.horizontalAdvance(QStringLiteral("M")), fm.height()};
        return f.width;
    };
    const int size = fitFontSize(measure, printable, chars);
    if (f.size != size) measure(size);  // 6, the last resort, is not tried
    return f;
}

const std::array<int, 10>& listColumnUnits() {
    static const std::array<int, 10> units{6, 18, 9, 9, 9, 9, 9, 9, 9, 9};
    return units;
}

QString listHeaderText(AppContext& ctx, int col) {
    if (col == 0) return QStringLiteral("No");
    if (col == 1) return uiText(ui::kListTimeHead);
    if (col < 2 || col > kChannels + 1) return {};
    ChannelRecord& c = ctx.store.ch[size_t(col - 1)];
    if (c.inUse != 1) return {};
    return cardAndTest(ctx, c) + kCr + (isHumidity(c.kind) ? QStringLiteral("[%RH]") : uiText(ui::kCelsiusHead));
}

QString listCellText(const AppContext& ctx, int n, int col) {
    const ChannelStore& s = ctx.store;
    if (col == 0) return vb::formatText(QString::number(n), QStringLiteral("@@@@@"));
    if (col == 1) return vb::formatDate(rowTime(s, n), QStringLiteral("yy/mm/dd hh:nn:ss"));
    if (col < 2 || col > kChannels + 1) return {};
    const int ch = col - 1;
    const ChannelRecord& c = s.ch[size_t(ch)];
    if (c.inUse != 1) return {};
    const int i = n - c.rowOffset;
    if (i < 1 || i > std::min<int>(c.sampleCount, kMaxSamples)) return {};
    const int16_t raw = s.samples[size_t(ch)][size_t(i)];
    if (raw == kErrorSample) return kDashes;
    return valueText(c, raw) + alarmMark(c, raw);
}

const std::array<int, 9>& parameterColumnUnits() {
    static const std::array<int, 9> units{13, 10, 10, 10, 10, 10, 10, 10, 10};
    return units;
}

QString parameterText(AppContext& ctx, int row, int col) {
    static const char16_t* const labels[13] = {
        ui::kCardTestUnitHead, ui::kStartTime,     ui::kInterval,     ui::kMeasuringRange, ui::kRecordsRow,
        ui::kErrorsRow,        ui::kMaximum,       ui::kMinimum,      ui::kAverage,        ui::kIntegrated,
        ui::kReference,        ui::kUpperAlarmRow, ui::kLowerAlarmRow};
    if (row < 1 || row > 13) return {};
    if (col == 1) return QString::fromUtf16(labels[row - 1]);
    if (col < 2 || col > kChannels + 1) return {};
    ChannelRecord& c = ctx.store.ch[size_t(col - 1)];
    if (c.inUse != 1) return {};
    const bool noValid = c.sampleCount - c.errorCount <= 0;
    const bool noReference = c.referenceValue == kNotSet;
    switch (row) {
    case 1: return cardAndTest(ctx, c) + kCr + unitText(c.kind);
    case 2:
        return vb::formatDate(c.startTime, QStringLiteral("yy-mm-dd")) + kCr +
               vb::formatDate(c.startTime, QStringLiteral("hh:nn:ss"));
    case 3: return vb::formatDate(c.interval, QStringLiteral("hh:nn:ss"));
    case 4: return rangeText(c.rangeLow);
    case 5: return QString::number(c.sampleCount);
    case 6: return QString::number(c.errorCount);
    case 7: return noValid ? kDashes : valueText(c, c.maxValue);
    case 8: return noValid ? kDashes : valueText(c, c.minValue);
    case 9: return noValid ? kDashes : valueText(c, c.averageValue);
    case 10: return noReference ? kDashes : QString::number(c.integratedValue);
    case 11:
        return noReference
                   ? kDashes
                   : vb::format(c.referenceValue / 10.0, QStringLiteral("0")) + referenceSideText(c.referenceSide);
    case 12: return hasAlarmValues(c.kind) ? vb::format(c.upperAlarm / 10.0, QStringLiteral("0")) : kDashes;
    case 13: return hasAlarmValues(c.kind) ? vb::format(c.lowerAlarm / 10.0, QStringLiteral("0")) : kDashes;
    default: return {};
    }
}

int partRangeMessage(const ChannelStore& s, int first, int last) {
    if (first < 1 || last > s.rowCount || first > s.rowCount || last < 1) return 62;
    if (first > last) return 60;
    return 0;
}

bool printerChecks(AppContext& ctx) {
    if (ctx.printer->printerCount() < 1) {
        showRuntimeError(ctx, kErrNoPrinter, captionText(kCaptionPrint), kOkOnly);
        return false;
    }
    if (!ctx.printer->printerReady()) {
        showRuntimeError(ctx, kErrPrinterNotReady, captionText(kCaptionPrint), kOkOnly);
        return false;
    }
    return true;
}

PrintOutcome printFailed(AppContext& ctx, const PrintFault& fault) {
    if (fault.kind == PrintFault::Kind::Cancelled) return PrintOutcome::Cancelled;
    showRuntimeError(ctx, runtimeErrorOf(fault), captionText(kCaptionPrint), kOkOnly);
    return PrintOutcome::Failed;
}

QPagedPaintDevice* beginPrinting(AppContext& ctx, PrintControl& printer, const QString& title, QPainter& painter) {
    const PrintFault printerError = PrintFault::of(PrintFault::Kind::PrinterError);
    PrintFault fault;
    QPagedPaintDevice* device = printer.startDocument(title, fault);
    if (!device) {
        printFailed(ctx, fault ? fault : printerError);
        return nullptr;
    }
    if (!painter.begin(device)) {
        printer.endDocument(false);
        printFailed(ctx, printerError);
        return nullptr;
    }
    return device;
}

bool endPrinting(AppContext& ctx, PrintControl& printer, QPainter& painter) {
    const bool painted = painter.end();
    if (const PrintFault fault = printer.endDocument(painted)) {
        printFailed(ctx, fault);
        return false;
    }
    if (!painted) {
        printFailed(ctx, PrintFault::of(PrintFault::Kind::PrinterError));
        return false;
    }
    return true;
}

std::optional<PrintJob> jobFor(AppContext& ctx, PrintKind kind, PartialPrintPrompt* partPrint) {
    switch (kind) {
    case PrintKind::WholeList:
    case PrintKind::Parameters: return PrintJob{kind, {}, {}};
    case PrintKind::Graph: return std::nullopt;  // made by the graph, with its page
    case PrintKind::PartialList: {
        const std::optional<AxisRows> rows = partPrint ? partPrint->chooseRows(ctx) : std::nullopt;
        if (!rows) return std::nullopt;
        return PrintJob{kind, *rows};
    }
    }
    return std::nullopt;  // a kind nobody prints
}

int printJob(AppContext& ctx, const PrintJob& job) {
    switch (job.kind) {
    case PrintKind::WholeList:
    case PrintKind::PartialList:
    case PrintKind::Parameters: return printTables(ctx, job);
    case PrintKind::Graph: return printGraph(ctx, job.graph);
    }
    return 0;
}

int printJobOn(AppContext& ctx, const PrintJob& job, PrintControl& target) {
    const PrintControlsRedirected redirected(ctx, target);
    return printJob(ctx, job);
}

PrintOutcome printDispatch(AppContext& ctx, PrintKind kind, PartialPrintPrompt* partPrint) {
    if (!printerChecks(ctx)) return PrintOutcome::Failed;
    const std::optional<PrintJob> job = jobFor(ctx, kind, partPrint);
    if (!job) return PrintOutcome::Cancelled;
    return printJob(ctx, *job) > 0 ? PrintOutcome::Printed : PrintOutcome::Failed;
}

PrintOutcome printDispatch(AppContext& ctx, const PrintJob& job) {
    if (!printerChecks(ctx)) return PrintOutcome::Failed;
    return printJob(ctx, job) > 0 ? PrintOutcome::Printed : PrintOutcome::Failed;
}

int printTables(AppContext& ctx, const PrintJob& job) {
    const PrintKind kind = job.kind;
    if (kind != PrintKind::WholeList && kind != PrintKind::PartialList && kind != PrintKind::Parameters) return 0;
    const bool list = kind != PrintKind::Parameters;
    int first = 1;
    int last = ctx.store.rowCount;
    if (kind == PrintKind::PartialList) {
        first = job.rows.first;
        last = job.rows.last;
        // A range without rows would print an empty list as if it were done.
        if (const int message = partRangeMessage(ctx.store, first, last)) {
            showMessage(ctx, kCaptionPrint, Msg(message), kOkOnly);
            return 0;
        }
    }

    QPainter painter;
    QPagedPaintDevice* device = beginPrinting(ctx, *ctx.printer, jobTitle(kind), painter);
    if (!device) return 0;

    // The font: the largest size whose table fits the printable width.
    const int chars = list ? kListChars : kParameterChars;
    const double printable = device->width();
    const FittedFont fitted = fitPrintFont(device, printable, chars);
    PrintTable t;
    t.font = printFont(fitted.size);
    t.unit = fitted.width;
    t.lineHeight = fitted.height;
    t.indent = (printable - chars * t.unit) / 2;

    std::array<QString, 10> header;
    if (list) {
        for (int col = 0; col < 10; ++col) header[size_t(col)] = listHeaderText(ctx, col);
        t.columnUnits.assign(listColumnUnits().begin(), listColumnUnits().end());
        t.align = {CellAlign::Right, CellAlign::Centre};
        t.align.resize(10, CellAlign::ValueMark);
        t.rows = last - first + 2;
        t.rowLines = [](int row) { return row == 0 ? kListRowLines : 1; };
        t.cell = [&ctx, &header, first](int row, int col) {
            return row == 0 ? header[size_t(col)] : listCellText(ctx, first + row - 1, col);
        };
    } else {
        std::array<std::array<QString, 9>, 13> cells;
        for (int row = 1; row <= 13; ++row)
            for (int col = 1; col <= 9; ++col) cells[size_t(row - 1)][size_t(col - 1)] = parameterText(ctx, row, col);
        t.columnUnits.assign(parameterColumnUnits().begin(), parameterColumnUnits().end());
        t.align = {CellAlign::Left};
        t.align.resize(9, CellAlign::Centre);
        t.rows = 13;
        t.rowLines = [](int row) { return row == 0 ? 3 : row == 1 ? 2 : 1; };
        t.cell = [cells](int row, int col) { return cells[size_t(row)][size_t(col)]; };
    }
    const int pages = printTable(painter, *device, t);
    return endPrinting(ctx, *ctx.printer, painter) ? pages : 0;
}

PrintOutcome printMenuCommand(AppContext& ctx, PrintKind kind, PartialPrintPrompt* partPrint) {
    if (!printerChecks(ctx)) return PrintOutcome::Failed;
    // The rows come first: the printer is chosen for a job that is known.
    const std::optional<PrintJob> job = jobFor(ctx, kind, partPrint);
    if (!job) return PrintOutcome::Cancelled;
    if (const PrintFault fault = ctx.printer->printerDialog()) return printFailed(ctx, fault);
    return printJob(ctx, *job) > 0 ? PrintOutcome::Printed : PrintOutcome::Failed;
}

PrintOutcome printerSetupCommand(AppContext& ctx) {
    if (!printerChecks(ctx)) return PrintOutcome::Failed;
    if (const PrintFault fault = ctx.printer->printerDialog()) return printFailed(ctx, fault);
    return PrintOutcome::Printed;
}

PrintOutcome previewCommand(AppContext& ctx, PrintKind kind, PrintPreview& preview, PartialPrintPrompt* partPrint) {
    const std::optional<PrintJob> job = jobFor(ctx, kind, partPrint);
    if (!job) return PrintOutcome::Cancelled;
    return previewCommand(ctx, *job, preview);
}

PrintOutcome previewCommand(AppContext& ctx, const PrintJob& job, PrintPreview& preview) {
    return preview.show(jobTitle(job.kind), pageOf(ctx, job.kind),
                        [&ctx, job](PrintControl& target) { return printJobOn(ctx, job, target); });
}

PrintOutcome pdfCommand(AppContext& ctx, PrintKind kind, PartialPrintPrompt* partPrint) {
    const std::optional<PrintJob> job = jobFor(ctx, kind, partPrint);
    if (!job) return PrintOutcome::Cancelled;
    return pdfCommand(ctx, *job);
}

PrintOutcome pdfCommand(AppContext& ctx, const PrintJob& job) {
    const PrintKind kind = job.kind;
    FileDialogRequest request;
    request.title = uiText(ui::kSavePdfTitle);
    request.filter = uiText(ui::kPdfFilter);
    request.defaultExtension = QStringLiteral("pdf");
    request.initialName = pdfInitialName(ctx);
    const std::optional<QString> file = ctx.dialogs->saveFile(request);
    if (!file || file->isEmpty()) return PrintOutcome::Cancelled;
    PdfPrintControl pdf(*file);
    if (const QPageLayout layout = pageOf(ctx, kind); layout.isValid()) pdf.pageLayout = layout;
    return printJobOn(ctx, job, pdf) > 0 ? PrintOutcome::Printed : PrintOutcome::Failed;
}

}  // namespace quillet
