#include "core/ui/gridmodels.h"

#include "core/context.h"
#include "core/maingrid.h"

#include <QApplication>
#include <QGlyphRun>
#include <QPainter>
#include <QPalette>
#include <QStyle>

namespace quillet {
namespace {

QString shown(const QString& raw) {
    QString t = raw;
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

QVariant markedRole(bool marked, int role) {
    if (!marked) return {};
    const QPalette pal = QApplication::palette();
    if (role == Qt::BackgroundRole) return pal.brush(QPalette::Highlight);
    if (role == Qt::ForegroundRole) return pal.brush(QPalette::HighlightedText);
    return {};
}

}  // namespace

DataGridModel::DataGridModel(AppContext& ctx, QObject* parent)
    : QAbstractTableModel(parent), ctx_(ctx), rows_(gridRowCount(ctx.store)) {}

int DataGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int DataGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kGridColumns; }

QVariant DataGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int row = index.row() + 1;  // data rows are 1-based below the header
    switch (role) {
    case Qt::DisplayRole: return gridCellText(ctx_, row, index.column());
    case kRawTextRole: return gridCellText(ctx_, row, index.column());
    case Qt::TextAlignmentRole: return int(Qt::AlignCenter);
    case Qt::BackgroundRole:
    case Qt::ForegroundRole: return markedRole(marked_.isMarked(index.column()), role);
    }
    return {};
}

QVariant DataGridModel::headerData(int section, Qt::Orientation o, int role) const {
    if (o != Qt::Horizontal) return QAbstractTableModel::headerData(section, o, role);
    switch (role) {
    case Qt::DisplayRole: return shown(gridHeaderText(ctx_, section));
    case kRawTextRole: return gridHeaderText(ctx_, section);
    case Qt::TextAlignmentRole: return int(Qt::AlignCenter);
    case Qt::BackgroundRole:
    case Qt::ForegroundRole: return markedRole(marked_.isMarked(section), role);
    }
    return {};
}

void DataGridModel::refill() {
    // Rows come and go only past the 12000 the grid always has; the rest is
    // a change of texts, which the view fetches for the cells it shows. A
    // reset would make the view rebuild all 12000 row sections.
    const int rows = gridRowCount(ctx_.store);
    if (rows > rows_) {
        beginInsertRows({}, rows_, rows - 1);
        rows_ = rows;
        endInsertRows();
    } else if (rows < rows_) {
        beginRemoveRows({}, rows, rows_ - 1);
        rows_ = rows;
        endRemoveRows();
    }
    emit dataChanged(index(0, 0), index(rows_ - 1, kGridColumns - 1));
    emit headerDataChanged(Qt::Horizontal, 0, kGridColumns - 1);
}

void DataGridModel::relabel() { emit headerDataChanged(Qt::Horizontal, 0, kGridColumns - 1); }

void DataGridModel::setMarked(const MarkedColumns& m) {
    marked_ = m;
    emit dataChanged(index(0, 0), index(rows_ - 1, kGridColumns - 1), {Qt::BackgroundRole, Qt::ForegroundRole});
    emit headerDataChanged(Qt::Horizontal, 0, kGridColumns - 1);
}

StatsGridModel::StatsGridModel(AppContext& ctx, QObject* parent) : QAbstractTableModel(parent), ctx_(ctx) {}

int StatsGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kStatsRows; }

int StatsGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kStatsColumns; }

QVariant StatsGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    switch (role) {
    case Qt::DisplayRole: return shown(statsCellText(ctx_, index.row(), index.column()));
    case kRawTextRole: return statsCellText(ctx_, index.row(), index.column());
    case Qt::TextAlignmentRole: return int(Qt::AlignCenter);
    case Qt::BackgroundRole:
        if (marked_.isMarked(index.column())) return markedRole(true, role);
        // The label column looks like a fixed column.
        if (index.column() == 0) return QApplication::palette().brush(QPalette::Button);
        return {};
    case Qt::ForegroundRole: return markedRole(marked_.isMarked(index.column()), role);
    }
    return {};
}

void StatsGridModel::refill() { emit dataChanged(index(0, 0), index(kStatsRows - 1, kStatsColumns - 1)); }

void StatsGridModel::setMarked(const MarkedColumns& m) {
    marked_ = m;
    emit dataChanged(index(0, 0), index(kStatsRows - 1, kStatsColumns - 1), {Qt::BackgroundRole, Qt::ForegroundRole});
}

bool CellGlyphs::drawCentred(QPainter* painter, const QRect& rect, QStringView text) {
    constexpr qsizetype kMaxLength = 64;
    const qsizetype n = text.size();
    if (n == 0 || n > kMaxLength) return false;
    if (painter->transform().type() > QTransform::TxTranslate || painter->device()->devicePixelRatio() != 1)
        return false;
    // The painter's font is already the device's; QFont's == leaves the
    // resolution out, so it is compared on its own. Decorations and
    // spacing are drawText's.
    const QFont& font = painter->font();
    if (font.underline() || font.strikeOut() || font.overline() || font.letterSpacing() != 0 ||
        font.wordSpacing() != 0 || font.capitalization() != QFont::MixedCase)
        return false;
    const int dpi = painter->device()->logicalDpiY();
    if (!raw_.isValid() || font != font_ || dpi != dpi_) {
        font_ = font;
        dpi_ = dpi;
        raw_ = QRawFont::fromFont(font);
        glyphs_.clear();
        if (!raw_.isValid()) return false;
    }

    quint32 indexes[kMaxLength];
    QPointF positions[kMaxLength];
    qreal width = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        auto it = glyphs_.constFind(c.unicode());
        if (it == glyphs_.cend()) {
            // Characters that shaping may change, join or reorder go the
            // general way (controls and line breaks, marks, surrogates,
            // right-to-left and complex scripts).
            Glyph g;
            const QChar::Script script = c.script();
            const bool simple =
                c.unicode() >= 0x20 && !c.isMark() && !c.isSurrogate() && c.category() != QChar::Other_Format &&
                (script == QChar::Script_Common || script == QChar::Script_Latin || script == QChar::Script_Han ||
                 script == QChar::Script_Hiragana || script == QChar::Script_Katakana) &&
                c.direction() != QChar::DirR && c.direction() != QChar::DirAL;
            int count = 1;
            if (simple && raw_.glyphIndexesForChars(&c, 1, &g.index, &count) && count == 1 && g.index != 0) {
                QPointF advance;
                if (raw_.advancesForGlyphIndexes(&g.index, &advance, 1))
                    g.advance = advance.x();
                else
                    g.index = 0;
            } else {
                g.index = 0;
            }
            it = glyphs_.insert(c.unicode(), g);
        }
        if (it->index == 0) return false;
        indexes[i] = it->index;
        positions[i] = QPointF(width, 0);
        width += it->advance;
    }

    // Placed as drawText places one line: centred on its advance and on
    // ascent plus descent, the baseline at the ascent; drawText clips text
    // that overflows its rectangle, which is left to it.
    const qreal ascent = raw_.ascent();
    const qreal x = (rect.width() - width) / 2;
    const qreal y = (rect.height() - (ascent + raw_.descent())) / 2;
    if (x < 0 || y < 0) return false;
    QGlyphRun run;
    run.setRawFont(raw_);
    run.setRawData(indexes, positions, int(n));
    painter->drawGlyphRun(QPointF(rect.x() + x, rect.y() + y + ascent), run);
    return true;
}

void GridCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = opt.text;
    opt.text.clear();
    opt.features &= ~QStyleOptionViewItem::HasDisplay;
    const QWidget* widget = opt.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    // All but the text; a plain cell (not selected, focused, hovered nor
    // coloured) has nothing of it to draw.
    const bool plain =
        !(opt.state & (QStyle::State_Selected | QStyle::State_HasFocus | QStyle::State_MouseOver)) &&
        opt.backgroundBrush.style() == Qt::NoBrush &&
        !(opt.features & (QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDecoration));
    if (!plain) style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
    if (text.isEmpty()) return;

    // The text's colour and margins as the style gives them.
    QPalette::ColorGroup group = (opt.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
    if (group == QPalette::Normal && !(opt.state & QStyle::State_Active)) group = QPalette::Inactive;
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect rect = opt.rect.adjusted(margin, 0, -margin, 0);
    painter->save();
    painter->setFont(opt.font);
    painter->setPen(
        opt.palette.color(group, (opt.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text));
    if (opt.displayAlignment != Qt::AlignCenter || !glyphs_.drawCentred(painter, rect, text))
        painter->drawText(rect, int(opt.displayAlignment), text);
    painter->restore();
}

QSize FixedHeightHeader::sizeHint() const {
    if (minimumHeight() == maximumHeight()) return {length(), minimumHeight()};
    return QHeaderView::sizeHint();
}

}  // namespace quillet
