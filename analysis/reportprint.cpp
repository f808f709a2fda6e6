#include "analysis/reportprint.h"

#include "analysis/figuretexts.h"
#include "core/context.h"
#include "core/fieldhelpers.h"
#include "core/store.h"
#include "core/uitexts.h"
#include "core/vb.h"
#include "core/version.h"
#include "print/pdfprinter.h"
#include "print/printjobs.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTimeZone>

#include <algorithm>
#include <cstdlib>

namespace quillet {
namespace {

constexpr int kLabelChars = 12;    // the figure column
constexpr int kChannelChars = 17;  // each channel's column: a date and time
constexpr int kTableChars = kLabelChars + kChannels * kChannelChars;
const char16_t* const kSignOff[3] = {ui::kSignOffMade, ui::kSignOffChecked, ui::kSignOffApproved};

// Text in a cell, centred (or left-aligned with a small indent), cut at the
// cell's edge.
void cellText(QPainter& p, const QRectF& cell, const QString& text, bool left, double pad) {
    p.drawText(cell.adjusted(pad, 0, -pad, 0), Qt::AlignVCenter | (left ? Qt::AlignLeft : Qt::AlignHCenter), text);
}

// The page of a report as it is painted: its painter and device, the
// printable width and height, the fitted font, its size, the character
// width and the line height.
struct ReportPage {
    QPainter& painter;
    QPagedPaintDevice* device;
    double pw, ph;
    QFont font;
    int size;
    double w, h;
};

// Title and header lines on the left, the sign-off boxes on the right.
// Returns the height they take.
double drawReportHeader(const ReportPageContent& r, const ReportPage& page) {
    auto& [painter, device, pw, ph, font, size, w, h] = page;
    QFont titleFont = printFont(size * 1.8);
    titleFont.setBold(true);
    painter.setFont(titleFont);
    const double titleHeight = QFontMetricsF(titleFont, device).height();
    const double boxWidth = 12 * w;
    const double boxesLeft = pw - 3 * boxWidth;
    painter.drawText(QRectF(0, 0, boxesLeft - w, titleHeight), Qt::AlignLeft | Qt::AlignVCenter, r.title);
    painter.setFont(font);
    const QStringList& lines = r.headerLines;
    double y = titleHeight + 0.3 * h;
    for (const QString& line : lines) {
        painter.drawText(QRectF(0, y, boxesLeft - w, h), Qt::AlignLeft | Qt::AlignVCenter, line);
        y += h;
    }
    const double boxHeight = y;
    for (int i = 0; i < 3; ++i) {
        const QRectF box(boxesLeft + i * boxWidth, 0, boxWidth, boxHeight);
        painter.drawRect(box);
        painter.drawLine(QPointF(box.left(), h * 1.2), QPointF(box.right(), h * 1.2));
        cellText(painter, QRectF(box.left(), 0, boxWidth, h * 1.2), QString::fromUtf16(kSignOff[i]), false, 0);
        // A signature: name, meaning and date, time, small enough to fit.
        const QStringList& signature = r.signOff[size_t(i)];
        if (signature.isEmpty()) continue;
        painter.setFont(printFont(size * 0.75));
        const double lineHeight = (boxHeight - h * 1.3) / std::max<qsizetype>(signature.size(), 3);
        for (qsizetype k = 0; k < signature.size(); ++k)
            cellText(painter, QRectF(box.left(), h * 1.25 + double(k) * lineHeight, boxWidth, lineHeight), signature[k],
                     false, 0);
        painter.setFont(font);
    }
    return boxHeight;
}

// The table of figures at the foot, above the page number. Returns its top.
double drawFigureTable(const std::vector<ChannelFigures>& figures, const QStringList& heads, const ReportPage& page) {
    auto& [painter, device, pw, ph, font, size, w, h] = page;
    const int rows = kFigureRows + 1;
    const double rowHeight = h * 1.05;
    const double tableWidth = (kLabelChars + int(figures.size()) * kChannelChars) * w;
    const double tableTop = ph - 1.5 * h - rows * rowHeight;
    const double tableLeft = (pw - tableWidth) / 2;
    QFont tableFont = printFont(size * 0.85);
    painter.setFont(tableFont);
    for (int row = 0; row < rows; ++row) {
        const double top = tableTop + row * rowHeight;
        double left = tableLeft;
        const QRectF label(left, top, kLabelChars * w, rowHeight);
        cellText(painter, label, row == 0 ? QString() : figureRowLabel(row - 1), true, w * 0.3);
        left += kLabelChars * w;
        for (size_t i = 0; i < figures.size(); ++i) {
            const QRectF cell(left, top, kChannelChars * w, rowHeight);
            cellText(painter, cell, row == 0 ? heads.value(qsizetype(i)) : figureText(figures[i], row - 1), false,
                     w * 0.3);
            left += kChannelChars * w;
        }
        painter.drawLine(QPointF(tableLeft, top), QPointF(tableLeft + tableWidth, top));
    }
    painter.drawRect(QRectF(tableLeft, tableTop, tableWidth, rows * rowHeight));
    for (size_t i = 0; i <= figures.size(); ++i) {
        const double x = tableLeft + (kLabelChars + double(i) * kChannelChars) * w;
        painter.drawLine(QPointF(x, tableTop), QPointF(x, tableTop + rows * rowHeight));
    }
    return tableTop;
}

// The graph between the header and the table, with room for its labels.
void drawReportGraph(const ReportPageContent& r, const ReportPage& page, double boxHeight, double tableTop) {
    auto& [painter, device, pw, ph, font, size, w, h] = page;
    painter.setFont(font);
    const QRectF plot(9 * w, boxHeight + 2.5 * h, pw - 15 * w, tableTop - boxHeight - 5.5 * h);
    if (r.plot && plot.height() > 0) {
        painter.drawRect(plot);
        painter.save();
        r.plot(painter, plot, w, h);
        painter.restore();
    }
}

}  // namespace

QString defaultReportTitle(const ChannelStore& s) {
    return QFileInfo(s.dataFileName.isEmpty() ? s.currentFileName : s.dataFileName).fileName();
}

QPageLayout reportPageLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(15, 15, 15, 15),
                       QPageLayout::Millimeter);
}

QStringList reportHeaderLines(AppContext& ctx, const ReportRequest& r) {
    const ChannelStore& s = ctx.store;
    QStringList loggers;
    for (int ch = 1; ch <= kChannels; ++ch) {
        ChannelRecord& c = ctx.store.ch[size_t(ch)];
        if (c.inUse == 1)
            loggers << channelLetter(ch) + QLatin1Char(' ') + cardText(ctx, c.cardNo) + QLatin1Char('-') +
                           testText(ctx, c.testNo);
    }
    const AxisRows rows{std::max(1, r.rows.first), std::min<int>(r.rows.last, s.rowCount)};
    // The times of the data and of the print are local times of this zone.
    const QTimeZone zone = QTimeZone::systemTimeZone();
    const int offset = zone.offsetFromUtc(QDateTime::currentDateTime()) / 60;
    const QString offsetText = QStringLiteral("%1%2:%3")
                                   .arg(offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
                                   .arg(std::abs(offset) / 60, 2, 10, QLatin1Char('0'))
                                   .arg(std::abs(offset) % 60, 2, 10, QLatin1Char('0'));
    return {
        uiText(ui::kReportLoggers) + loggers.join(QStringLiteral(",  ")),
        uiText(ui::kPeriodLine)
            .arg(dateTimeText(rowTime(s, rows.first)), dateTimeText(rowTime(s, rows.last)))
            .arg(rows.first)
            .arg(rows.last),
        uiText(ui::kReportInterval) + vb::formatDate(s.axisInterval, QStringLiteral("hh:nn:ss")) +
            uiText(ui::kReportDeltaHOverR).arg(r.deltaHOverR, 0, 'f', 1),
        uiText(ui::kReportPrinted) + vb::formatDate(ctx.clock->now(), QStringLiteral("yyyy-mm-dd hh:nn:ss")) +
            uiText(ui::kReportTimeZone).arg(QString::fromUtf8(zone.id()), offsetText),
        uiText(ui::kReportDataFile) +
            (s.dataFileName.isEmpty() ? uiText(ui::kReportNoDataFile) : QDir::toNativeSeparators(s.dataFileName)) +
            uiText(ui::kReportProgram) + versionLine(),
    };
}

ReportPageContent reportPageContent(AppContext& ctx, const ReportRequest& r) {
    ReportPageContent content{
        r.title, reportHeaderLines(ctx, r), channelFigures(ctx.store, r.rows, r.deltaHOverR), {}, r.plot};
    for (const ChannelFigures& f : content.figures) content.columnHeads << figureColumnHead(ctx, f.channel);
    return content;
}

QStringList reportFigureRows(const ReportPageContent& content) {
    QStringList rows{QStringList(content.columnHeads).join(QLatin1Char('\t'))};
    for (int row = 0; row < kFigureRows; ++row) {
        QStringList cells{figureRowLabel(row)};
        for (const ChannelFigures& f : content.figures) cells << figureText(f, row);
        rows << cells.join(QLatin1Char('\t'));
    }
    return rows;
}

int printReport(AppContext& ctx, PrintControl& printer, const ReportRequest& r) {
    ReportPageContent content = reportPageContent(ctx, r);
    if (r.beforePrint && !r.beforePrint(content)) return 0;
    // The document (and a PDF's title) is named as the report is.
    return printReportPage(ctx, printer, r.title.isEmpty() ? uiText(ui::kReportJob) : r.title, content);
}

int printReportDocument(AppContext& ctx, PrintControl& printer, const QString& jobTitle, const PaintDocument& paint) {
    const PrintFault printerError = PrintFault::of(PrintFault::Kind::PrinterError);
    PrintFault fault;
    QPagedPaintDevice* device = printer.startDocument(jobTitle, fault);
    if (!device) {
        printFailed(ctx, fault ? fault : printerError);
        return 0;
    }
    const QPageLayout previous = device->pageLayout();
    device->setPageLayout(reportPageLayout());
    QPainter painter;
    if (!painter.begin(device)) {
        device->setPageLayout(previous);
        printer.endDocument(false);
        printFailed(ctx, printerError);
        return 0;
    }

    const int pages = paint(painter, *device);
    const bool painted = painter.end();
    device->setPageLayout(previous);  // the printer's own page for its other prints
    if (const PrintFault f = printer.endDocument(painted)) {
        printFailed(ctx, f);
        return 0;
    }
    if (!painted) {
        printFailed(ctx, printerError);
        return 0;
    }
    return pages;
}

int printReportPage(AppContext& ctx, PrintControl& printer, const QString& jobTitle, const ReportPageContent& r) {
    return printReportDocument(ctx, printer, jobTitle, [&r](QPainter& painter, QPagedPaintDevice& target) {
        QPagedPaintDevice* device = &target;
        const double pw = device->width();
        const double ph = device->height();
        const auto [size, w, h] = fitPrintFont(device, pw, kTableChars);
        const QFont font = printFont(size);
        QPen pen(Qt::black);
        pen.setWidthF(w * 0.06);
        painter.setPen(pen);
        const ReportPage page{painter, device, pw, ph, font, size, w, h};
        const double headerHeight = drawReportHeader(r, page);
        const double tableTop = drawFigureTable(r.figures, r.columnHeads, page);
        drawReportGraph(r, page, headerHeight, tableTop);

        painter.setPen(QPen());
        painter.setFont(font);
        const QString number = QStringLiteral("1 / 1");
        const QFontMetricsF fm(font, device);
        painter.drawText(QPointF((pw - fm.horizontalAdvance(number)) / 2, ph - fm.descent()), number);
        if (!r.footer.isEmpty()) {
            const QFont small = printFont(size * 0.7);
            painter.setFont(small);
            painter.drawText(QPointF(0, ph - QFontMetricsF(small, device).descent()), r.footer);
        }

        return 1;
    });
}

PrintOutcome reportCommand(AppContext& ctx, PrintControl& printer, ReportRequest request, const TitlePrompt& askTitle) {
    if (!printerChecks(ctx)) return PrintOutcome::Failed;
    const std::optional<QString> title = askTitle(defaultReportTitle(ctx.store));
    if (!title) return PrintOutcome::Cancelled;
    if (const PrintFault f = printer.printerDialog()) return printFailed(ctx, f);
    request.title = *title;
    return printReport(ctx, printer, request) ? PrintOutcome::Printed : PrintOutcome::Failed;
}

PrintOutcome reportPreviewCommand(AppContext& ctx, PrintPreview& preview, ReportRequest request,
                                  const TitlePrompt& askTitle) {
    if (!printerChecks(ctx)) return PrintOutcome::Failed;
    const std::optional<QString> title = askTitle(defaultReportTitle(ctx.store));
    if (!title) return PrintOutcome::Cancelled;
    request.title = *title;
    return preview.show(request.title, reportPageLayout(),
                        [&ctx, &request](PrintControl& target) { return printReport(ctx, target, request); });
}

PrintOutcome reportPdfCommand(AppContext& ctx, ReportRequest request, const TitlePrompt& askTitle) {
    const std::optional<QString> title = askTitle(defaultReportTitle(ctx.store));
    if (!title) return PrintOutcome::Cancelled;
    request.title = *title;
    FileDialogRequest dialog;
    dialog.title = uiText(ui::kSavePdfTitle);
    dialog.filter = uiText(ui::kPdfFilter);
    dialog.defaultExtension = QStringLiteral("pdf");
    const QFileInfo data(ctx.store.currentFileName);
    dialog.initialName = data.completeBaseName() + QStringLiteral(".pdf");
    if (data.isAbsolute()) dialog.initialName = data.dir().filePath(dialog.initialName);
    const std::optional<QString> file = ctx.dialogs->saveFile(dialog);
    if (!file || file->isEmpty()) return PrintOutcome::Cancelled;
    PdfPrintControl pdf(*file);
    pdf.pageLayout = reportPageLayout();
    return printReport(ctx, pdf, request) ? PrintOutcome::Printed : PrintOutcome::Failed;
}

}  // namespace quillet
