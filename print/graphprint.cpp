#include "print/graphprint.h"

#include "core/context.h"
#include "core/fieldhelpers.h"
#include "core/uitexts.h"
#include "core/vb.h"
#include "print/printjobs.h"
#include "print/tableprinter.h"

#include <QPagedPaintDevice>
#include <QPainter>

#include <array>

namespace quillet {

GraphPrintLayout graphPrintLayout(double pw, double ph, double w, double h) {
    const double tableWidth = kGraphTableChars * w;
    const double tableLeft = (pw - tableWidth) / 2;
    GraphPrintLayout l;
    l.table = QRectF(tableLeft, ph - 10 * h, tableWidth, 9 * h);
    l.plot = QRectF(tableLeft + 2 * h + 7 * w, h, tableWidth - 4 * h - 13 * w, ph - 14 * h);
    return l;
}

QString graphSummaryText(AppContext& ctx, const GraphPage& page, int row, int col) {
    static const char16_t* const titles[8] = {ui::kCardTestUnitHead, ui::kRecordsErrorsRow, ui::kMaximum,
                                              ui::kMinimum,          ui::kAverage,          ui::kIntegrated,
                                              ui::kReference,        ui::kAlarmsRow};
    if (row < 1 || row > 8) return {};
    if (col == 1) return QString::fromUtf16(titles[row - 1]);
    if (col < 2 || col > kChannels + 1) return {};
    const int ch = col - 1;
    ChannelRecord& c = ctx.store.ch[size_t(ch)];
    if (c.inUse != 1) return {};
    if (row == 1) {
        const QString unit = isHumidity(c.kind) ? QStringLiteral("%RH ") : uiText(ui::kCelsiusPrintUnit);
        const QString card = cardText(ctx, c.cardNo);
        return unit + card + QStringLiteral("\r     ") + testText(ctx, c.testNo);
    }
    if (row == 8) {
        if (!hasAlarmValues(c.kind)) return QStringLiteral("----/----");
        return vb::format(c.upperAlarm / 10.0, QStringLiteral("0")) + QStringLiteral("/") +
               vb::format(c.lowerAlarm / 10.0, QStringLiteral("0"));
    }
    // Rows 2..7: the graph window's statistics grid, rows 1..6.
    return page.gridText ? page.gridText(row - 1, ch) : QString();
}

void graphPageSetup(AppContext& ctx) {
    if (!printerChecks(ctx)) return;
    if (const PrintFault fault = ctx.graphPrinter->pageSetupDialog()) printFailed(ctx, fault);
}

void graphPrinterSetup(AppContext& ctx) {
    if (!printerChecks(ctx)) return;
    if (const PrintFault fault = ctx.graphPrinter->printerDialog()) printFailed(ctx, fault);
}

int printGraph(AppContext& ctx, const GraphPage& page) {
    QPainter painter;
    QPagedPaintDevice* device = beginPrinting(ctx, *ctx.graphPrinter, uiText(ui::kGraphJob), painter);
    if (!device) return 0;
    const double pw = device->width();
    const double ph = device->height();
    const auto [size, w, h] = fitPrintFont(device, pw, kGraphTableChars);
    const GraphPrintLayout l = graphPrintLayout(pw, ph, w, h);

    const QFont font = printFont(size);
    painter.setFont(font);
    QPen pen(Qt::black);
    pen.setWidthF(w * 0.06);
    painter.setPen(pen);
    painter.drawRect(l.plot);
    if (page.plot) {
        painter.save();
        page.plot(painter, l.plot, w, h);
        painter.restore();
    }

    // The summary table fills its frame: ten lines of text (three in the
    // first row) at 0.9 of the line height, in a font of 0.8 of the size so
    // that the text stays clear of the row lines.
    PrintTable t;
    t.font = printFont(size * 0.8);
    t.unit = w;
    t.lineHeight = h;
    t.indent = l.table.left();
    t.columnUnits = {13, 10, 10, 10, 10, 10, 10, 10, 10};
    t.align = {CellAlign::Left};
    t.align.resize(9, CellAlign::Centre);
    t.rows = 8;
    t.headerRows = 1;
    t.linePitch = 0.9;
    t.rowPadding = 0;
    t.pageNumbers = false;
    t.rowLines = [](int row) { return row == 0 ? 3 : 1; };
    std::array<std::array<QString, 9>, 8> cells;
    for (int row = 1; row <= 8; ++row)
        for (int col = 1; col <= 9; ++col)
            cells[size_t(row - 1)][size_t(col - 1)] = graphSummaryText(ctx, page, row, col);
    t.cell = [&cells](int row, int col) { return cells[size_t(row)][size_t(col)]; };
    paintRows(painter, t, 0, t.rows, l.table.top());
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(l.table);

    painter.setPen(QPen());
    return endPrinting(ctx, *ctx.graphPrinter, painter) ? 1 : 0;
}

}  // namespace quillet
