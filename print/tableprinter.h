// The table layer of printing: a table of columns measured in units of the
// letter "M", centred on the page, with header rows of several lines that
// repeat at the top of every page, cell alignment, page breaks and page
// numbers in the footer. Painting goes through QPainter onto any paged
// device (a printer or a PDF file).
#pragma once

#include <QFont>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QString>

#include <functional>
#include <vector>

namespace quillet {

enum class CellAlign {
    Left,
    Centre,
    Right,
    // A value followed by its alarm mark ("25.3▲", "25.3" and three blanks,
    // "-----"): values right-aligned before a mark column, so that the
    // decimal points line up whatever the mark.
    ValueMark,
};

struct PrintTable {
    QFont font;
    double unit = 0;        // column unit: the width of "M"
    double lineHeight = 0;  // the height of "M"
    double indent = 0;      // left edge of the table within the page
    std::vector<int> columnUnits;
    std::vector<CellAlign> align;                   // of the data rows; header rows are centred
    int rows = 0;                                   // header rows included
    int headerRows = 1;                             // repeated at the top of each page
    std::function<int(int row)> rowLines;           // lines of row 0..rows-1
    std::function<QString(int row, int col)> cell;  // CR (or LF) between lines
    bool pageNumbers = true;                        // "n / N" centred in the footer line
    double linePitch = 1.0;                         // distance of the lines of a cell, in lineHeight
    double rowPadding = 0.2;                        // added to the height of every row, in lineHeight
    // Room above the table on every page, painted by heading (what a print
    // shows, repeated on each page): page 0..pages-1.
    double headingHeight = 0;
    std::function<void(QPainter& painter, int page, int pages)> heading;
};

// The rows that start each page: first data row per page (header rows not
// counted), for a page height and a table.
std::vector<int> pageStarts(const PrintTable& t, double pageHeight);

// Prints the table onto the painter's device from the top of its current
// page, starting new pages as needed. Returns the number of pages.
int printTable(QPainter& painter, QPagedPaintDevice& device, const PrintTable& t);

// Paints the rows [first, last) of the table with their top at y and
// returns the y below them (no page breaks; the graph's summary table).
double paintRows(QPainter& painter, const PrintTable& t, int first, int last, double y);

}  // namespace quillet
