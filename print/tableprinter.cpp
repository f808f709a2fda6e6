#include "print/tableprinter.h"

#include <QFontMetricsF>
#include <QPen>
#include <QStringList>

#include <algorithm>

namespace quillet {
namespace {

double rowHeight(const PrintTable& t, int row) {
    const int lines = t.rowLines ? t.rowLines(row) : 1;
    return (lines * t.linePitch + t.rowPadding) * t.lineHeight;
}

double footerHeight(const PrintTable& t) { return t.pageNumbers ? 1.5 * t.lineHeight : 0; }

bool isMark(QChar c) { return c == u'◆' || c == u'▲' || c == u'▼'; }

struct CellPainter {
    QPainter& p;
    const PrintTable& t;
    QFontMetricsF fm;
    double pad;
    double markWidth;

    CellPainter(QPainter& painter, const PrintTable& table)
        : p(painter),
          t(table),
          fm(table.font, painter.device()),
          pad(table.unit * 0.3),
          markWidth(fm.horizontalAdvance(QStringLiteral("◆"))) {}

    void line(const QString& text, CellAlign align, double left, double right, double baseline) {
        if (text.isEmpty()) return;
        QString value = text;
        QString mark;
        if (align == CellAlign::ValueMark) {
            if (isMark(text.back())) {
                value = text.left(text.size() - 1);
                mark = text.right(1);
            } else if (text.endsWith(QLatin1String("   "))) {
                value = text.left(text.size() - 3);
            }
            right -= markWidth;
        }
        const double width = fm.horizontalAdvance(value);
        const double room = right - left - 2 * pad;
        double x = left + pad;
        if (width > room && width <= right - left) {
            // Fits only without the padding: centred on the whole cell.
            p.drawText(QPointF(left + (right - left - width) / 2, baseline), value);
        } else if (width > room) {
            // Too long for its cell: left-aligned and cut at the cell's edge.
            p.save();
            p.setClipRect(QRectF(left, baseline - fm.ascent() - t.lineHeight, right - left, 3 * t.lineHeight));
            p.drawText(QPointF(x, baseline), value);
            p.restore();
        } else {
            if (align == CellAlign::Right || align == CellAlign::ValueMark)
                x = right - pad - width;
            else if (align == CellAlign::Centre)
                x = left + (right - left - width) / 2;
            p.drawText(QPointF(x, baseline), value);
        }
        if (!mark.isEmpty()) p.drawText(QPointF(right - pad, baseline), mark);
    }

    void cell(const QString& text, CellAlign align, double left, double right, double top, double height) {
        if (text.isEmpty()) return;
        QString normal = text;
        if (normal.contains(u'\r')) normal.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
        const QStringList lines = normal.split(u'\n');
        const double pitch = t.linePitch * t.lineHeight;
        const double block = lines.size() * pitch;
        double baseline = top + (height - block) / 2 + (pitch - fm.height()) / 2 + fm.ascent();
        for (const QString& l : lines) {
            line(l, align, left, right, baseline);
            baseline += pitch;
        }
    }
};

}  // namespace

std::vector<int> pageStarts(const PrintTable& t, double pageHeight) {
    double header = 0;
    for (int r = 0; r < std::min(t.headerRows, t.rows); ++r) header += rowHeight(t, r);
    const double room = pageHeight - footerHeight(t) - t.headingHeight;
    std::vector<int> starts;
    int r = t.headerRows;
    do {
        starts.push_back(r);
        double y = header;
        int onPage = 0;
        while (r < t.rows) {
            const double h = rowHeight(t, r);
            if (onPage > 0 && y + h > room) break;  // at least one row per page
            y += h;
            ++r;
            ++onPage;
        }
    } while (r < t.rows);
    return starts;
}

double paintRows(QPainter& painter, const PrintTable& t, int first, int last, double y) {
    CellPainter cp(painter, t);
    const size_t columns = t.columnUnits.size();
    std::vector<double> edges{t.indent};
    for (int u : t.columnUnits) edges.push_back(edges.back() + u * t.unit);
    const double top = y;
    painter.setFont(t.font);
    QPen pen(Qt::black);
    pen.setWidthF(t.unit * 0.06);
    painter.setPen(pen);
    painter.drawLine(QPointF(edges.front(), y), QPointF(edges.back(), y));
    for (int r = first; r < last; ++r) {
        const double h = rowHeight(t, r);
        const bool header = r < t.headerRows;
        for (size_t c = 0; c < columns; ++c) {
            const CellAlign a = header ? CellAlign::Centre : (c < t.align.size() ? t.align[c] : CellAlign::Left);
            cp.cell(t.cell(r, int(c)), a, edges[c], edges[c + 1], y, h);
        }
        y += h;
        painter.drawLine(QPointF(edges.front(), y), QPointF(edges.back(), y));
    }
    for (double x : edges) painter.drawLine(QPointF(x, top), QPointF(x, y));
    return y;
}

int printTable(QPainter& painter, QPagedPaintDevice& device, const PrintTable& t) {
    const double pageHeight = device.height();
    const std::vector<int> starts = pageStarts(t, pageHeight);
    const int pages = int(starts.size());
    for (int page = 0; page < pages; ++page) {
        if (page > 0) device.newPage();
        const int end = page + 1 < pages ? starts[size_t(page) + 1] : t.rows;
        if (t.heading) t.heading(painter, page, pages);
        double y = paintRows(painter, t, 0, std::min(t.headerRows, t.rows), t.headingHeight);
        if (starts[size_t(page)] < end) {
            // The data rows continue the header's grid.
            y = paintRows(painter, t, starts[size_t(page)], end, y);
        }
        if (t.pageNumbers) {
            const QString number = QStringLiteral("%1 / %2").arg(page + 1).arg(pages);
            const QFontMetricsF fm(t.font, painter.device());
            const double x = (device.width() - fm.horizontalAdvance(number)) / 2;
            painter.drawText(QPointF(x, pageHeight - fm.descent()), number);
        }
    }
    return pages;
}

}  // namespace quillet
