// The models behind the main window's data grid (`grid`) and statistics
// grid (`pgrid`). They hold no texts: every cell asks core/maingrid for its
// text when the view paints it, so a refill after any change of the store
// only tells the view that the texts changed and costs nothing until cells
// are shown.
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QHash>
#include <QHeaderView>
#include <QRawFont>
#include <QStyledItemDelegate>

namespace quillet {

struct AppContext;

// The cell's text exactly as the grid holds it (CR between the lines of a
// two-line cell); Qt::DisplayRole shows the same text with LF.
constexpr int kRawTextRole = Qt::UserRole + 1;

// Columns marked while a deletion asks for confirmation.
class MarkedColumns {
public:
    void clear() { bits_ = 0; }
    void mark(int col) {
        if (col >= 0 && col < 32) bits_ |= 1u << col;
    }
    bool isMarked(int col) const { return col >= 0 && col < 32 && (bits_ >> col) & 1u; }
    bool any() const { return bits_ != 0; }

private:
    unsigned bits_ = 0;
};

// One line of text drawn from the glyphs of one font, each character's
// glyph and advance looked up once.
class CellGlyphs {
public:
    // Draws text centred in rect as painter->drawText(rect, Qt::AlignCenter,
    // text) does. False, with nothing drawn, when that needs more than the
    // glyphs: a second line, a character the font lacks (a fallback font),
    // text wider or taller than rect (clipped), or a scaled painter.
    bool drawCentred(QPainter* painter, const QRect& rect, QStringView text);

private:
    struct Glyph {
        quint32 index = 0;
        qreal advance = 0;
    };
    QFont font_;
    int dpi_ = 0;
    QRawFont raw_;
    QHash<char16_t, Glyph> glyphs_;
};

class DataGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DataGridModel(AppContext& ctx, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

    // All texts may have changed (refreshDisplay).
    void refill();
    // Only the header texts (labelEmptyChannels).
    void relabel();

    void setMarked(const MarkedColumns& m);
    const MarkedColumns& marked() const { return marked_; }

private:
    AppContext& ctx_;
    int rows_;
    MarkedColumns marked_;
};

class StatsGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit StatsGridModel(AppContext& ctx, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    void refill();
    void setMarked(const MarkedColumns& m);
    const MarkedColumns& marked() const { return marked_; }

private:
    AppContext& ctx_;
    MarkedColumns marked_;
};

// Paints a grid cell as the item views do (background, selection, focus,
// the text centred on one or more lines, never wrapped or elided) but lays
// its text out once: the style's own item painting measures and lays out
// every text three times, most of the cost of a screenful of cells. A
// cell of one line whose characters all have glyphs in the font (digits,
// signs, dates, the marks) is drawn from glyphs looked up once, without
// shaping it again: the same pixels as QPainter::drawText, in a third of
// the time.
class GridCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    mutable CellGlyphs glyphs_;
};

// A header of a fixed height: its size hint is that height, instead of
// the height of every section's text, measured each time the view lays
// itself out.
class FixedHeightHeader : public QHeaderView {
public:
    using QHeaderView::QHeaderView;
    QSize sizeHint() const override;
};

}  // namespace quillet
