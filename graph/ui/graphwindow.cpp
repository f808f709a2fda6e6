#include "graph/ui/graphwindow.h"
#include "core/uitexts.h"

#include <memory>

#include "core/catalog.h"
#include "core/store.h"
#include "core/ui/gridmodels.h"
#include "core/ui/mainwindow.h"
#include "core/ui/menutable.h"
#include "core/ui/qtplatform.h"
#include "core/ui/toolicons.h"
#include "graph/drawgraph.h"
#include "graph/graphprintplot.h"
#include "graph/ui/graphrangedialog.h"
#include "graph/ui/referencelinesdialog.h"
#include "print/graphprint.h"
#include "print/printjobs.h"
#include "print/ui/printpreview.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QHeaderView>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace quillet {
namespace {

QFont graphWindowFont(int pointSize) {
    QFont f;
    f.setFamilies({QStringLiteral("MS UI Gothic"), QStringLiteral("IPAGothic")});
    f.setPointSize(pointSize);
    return f;
}

QColor channelColour(const AppContext& ctx, int ch) {
    return QColor::fromRgb(QRgb(ctx.graph->channelColor[size_t(ch)]));
}

}  // namespace

// ---------------------------------------------------------------- gImage

GraphPicture::GraphPicture(GraphWindow& owner) : QWidget(&owner), owner_(owner) {
    setObjectName(QStringLiteral("gImage"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(200, 120);
}

void GraphPicture::invalidate() {
    dirty_ = true;
    update();
}

void GraphPicture::setRubberBand(const QRectF& r) {
    rubber_ = r;
    update();
}

void GraphPicture::paintEvent(QPaintEvent*) {
    const qreal dpr = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * dpr).toSize();
    if (dirty_ || cache_.size() != pixels) {
        cache_ = QImage(pixels, QImage::Format_RGB32);
        cache_.setDevicePixelRatio(dpr);
        QPainter p(&cache_);
        owner_.paintPlot(p, QRectF(QPointF(0, 0), QSizeF(size())));
        dirty_ = false;
        ++renders_;
    }
    QPainter p(this);
    p.drawImage(QPoint(0, 0), cache_);
    if (rubber_.width() > 0 || rubber_.height() > 0) {
        p.setPen(QPen(Qt::black, 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(rubber_);
    }
}

void GraphPicture::mousePressEvent(QMouseEvent* e) {
    owner_.onPlotMousePressed(e->button(), e->position(), e->globalPosition().toPoint());
}

void GraphPicture::mouseMoveEvent(QMouseEvent* e) {
    owner_.onPlotMouseMoved(e->buttons(), e->position(), e->globalPosition().toPoint());
}

void GraphPicture::mouseReleaseEvent(QMouseEvent* e) { owner_.onPlotMouseReleased(e->button(), e->position()); }

void GraphPicture::leaveEvent(QEvent*) {
    setToolTip(QString());
    QToolTip::hideText();
}

// ---------------------------------------------------------------- gpgrid

QVariant GraphGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int row = index.row(), col = index.column();
    const QString& text = texts_[size_t(row)][size_t(col)];
    switch (role) {
    case Qt::DisplayRole:
    case kRawTextRole: return text;
    case Qt::TextAlignmentRole: return col == 0 ? int(Qt::AlignLeft | Qt::AlignVCenter) : int(Qt::AlignCenter);
    case Qt::BackgroundRole:
        if (row == 0 && col >= 1) return channelColour(ctx_, col);
        if (col == 0) return QColor(0xE0, 0xE0, 0xE0);
        return {};
    case Qt::ForegroundRole:
        // Readable text on the channel colours.
        if (row == 0 && col >= 1)
            return channelColour(ctx_, col).lightness() < 128 ? QColor(Qt::white) : QColor(Qt::black);
        return {};
    default: return {};
    }
}

void GraphGridModel::refill() {
    texts_ = fillGraphGrid(ctx_);
    emit dataChanged(index(0, 0), index(kGraphGridRows - 1, kChannels));
}

void GraphGridModel::recolour() { emit dataChanged(index(0, 1), index(0, kChannels)); }

// ---------------------------------------------------------------- GraphWindow

GraphWindow::GraphWindow(AppContext& ctx, QWidget* parent) : QMainWindow(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("GRAPH"));
    setWindowTitle(captionText(Caption::Graph));
    setFont(graphWindowFont(ctx_.layout.fontSize));
    resize(ctx_.layout.designWidth, ctx_.layout.designHeight);

    auto* central = new QWidget(this);
    setCentralWidget(central);
    gImage = new GraphPicture(*this);
    gImage->setParent(central);
    buildGrid();
    gpgrid->setParent(central);

    // The picture stands 150 twips in from the window's sides; the grid
    // takes the window's width and its own height, the picture the rest.
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 4, 0, 0);
    column->setSpacing(4);
    auto* row = new QHBoxLayout;
    const int side = int(std::lround(150 / twipsX()));
    row->setContentsMargins(side, 0, side, 0);
    row->addWidget(gImage);
    column->addLayout(row, 1);
    column->addWidget(gpgrid);

    buildMenus();
    buildToolbar();
    updateCommandStates();
}

double GraphWindow::twipsX() const { return 1440.0 / std::max(1, logicalDpiX()); }
double GraphWindow::twipsY() const { return 1440.0 / std::max(1, logicalDpiY()); }

GraphGeometry GraphWindow::plotGeometry() const {
    return graphGeometryForPicture(ctx_.layout, gImage->width() * twipsX(), gImage->height() * twipsY());
}

namespace {

using Line = MenuLine<GraphCommand>;

constexpr GraphCommand kHandled[] = {
    GraphCommand::Range,     GraphCommand::Print,         GraphCommand::Preview,   GraphCommand::Pdf,
    GraphCommand::PageSetup, GraphCommand::PrinterSetup,  GraphCommand::SaveSpan,  GraphCommand::Statistics,
    GraphCommand::Report,    GraphCommand::ReportPreview, GraphCommand::ReportPdf, GraphCommand::ReferenceLines};

}  // namespace

void GraphWindow::run(GraphCommand c) {
    const auto it = handlers_.find(c);
    if (it != handlers_.end() && *it) (*it)();
}

void GraphWindow::setCommand(GraphCommand c, std::function<void()> handler) {
    handlers_.insert(c, std::move(handler));
    updateCommandStates();
}

void GraphWindow::buildMenus() {
    using C = GraphCommand;
    const std::vector<Line> lines = {
        {Line::Entry, C::Range, {}, "mrange", ui::kRangeEntry},
        {Line::Menu, C::PrintMenu, {}, "mprint", ui::kGraphPrintMenu},
        {Line::Entry, C::Print, C::PrintMenu, "mgPrint", ui::kGraphPrintEntry},
        {Line::Entry, C::Preview, C::PrintMenu, "mgPreview", ui::kPreviewEntry},
        {Line::Entry, C::Pdf, C::PrintMenu, "mgPdf", ui::kPdfEntry},
        {Line::Separator, C::PrintMenu, C::PrintMenu, "", u""},
        {Line::Entry, C::PageSetup, C::PrintMenu, "mPaperset", ui::kPageSetupEntry},
        {Line::Entry, C::PrinterSetup, C::PrintMenu, "mPrinterSetting", ui::kGraphPrinterSetupEntry},
        {Line::Entry, C::SaveSpan, {}, "msaveSpan", ui::kSaveSpanEntry},
        {Line::Menu, C::AnalysisMenu, {}, "manalysis", ui::kAnalysisMenu},
        {Line::Entry, C::Statistics, C::AnalysisMenu, "mgStats", ui::kStatisticsEntry},
        {Line::Entry, C::Report, C::AnalysisMenu, "mgReport", ui::kReportEntry},
        {Line::Entry, C::ReportPreview, C::AnalysisMenu, "mgReportPreview", ui::kReportPreviewEntry},
        {Line::Entry, C::ReportPdf, C::AnalysisMenu, "mgReportPdf", ui::kReportPdfEntry},
        {Line::Menu, C::ParameterMenu, {}, "mpara", ui::kParameterMenu},
        {Line::Entry, C::Labels, C::ParameterMenu, "mpLabel", ui::kLabelsEntry},
        {Line::Menu, C::LineWidthMenu, C::ParameterMenu, "mpLIne", ui::kLineWidthMenu},
        {Line::Entry, C::ThinLine, C::LineWidthMenu, "mpLIneSe", ui::kThinLine},
        {Line::Entry, C::ThickLine, C::LineWidthMenu, "mpLIneSe", ui::kThickLine},
        {Line::Entry, C::ReferenceLines, C::ParameterMenu, "mpRef", ui::kReferenceLinesEntry},
        {Line::Entry, C::AlarmLines, C::ParameterMenu, "mpAlarm", ui::kAlarmLinesEntry},
        {Line::Entry, C::Close, {}, "mend", ui::kCloseGraphEntry},
    };
    buildMenuBar(menuBar(), lines, actions_, menus_);
    for (const C c : kHandled) connect(action(c), &QAction::triggered, this, [this, c] { run(c); });
    action(C::Print)->setShortcut(QKeySequence::Print);
    action(C::Labels)->setCheckable(true);
    connect(action(C::Labels), &QAction::triggered, this, [this] { onLabelsToggled(); });
    action(C::AlarmLines)->setCheckable(true);
    action(C::AlarmLines)->setChecked(ctx_.graph->alarmLinesOn);
    connect(action(C::AlarmLines), &QAction::triggered, this, [this] { onAlarmLinesToggled(); });
    auto* widths = new QActionGroup(this);
    for (int i = 0; i < 2; ++i) {
        QAction* width = action(lineWidthCommand(i));
        width->setCheckable(true);
        widths->addAction(width);
        connect(width, &QAction::triggered, this, [this, i] { onLineWidthChosen(i); });
    }
    action(C::ThinLine)->setChecked(true);
    connect(action(C::Close), &QAction::triggered, this, &QWidget::close);

    // The pop-ups of the grid's header and of the picture.
    QAction* color = addPopup(this, C::ColorPopup, "popC", uiText(ui::kColorPopup), C::ChangeColor, "popColor",
                              uiText(ui::kChangeColorEntry), actions_, menus_);
    connect(color, &QAction::triggered, this, [this] { onColorClicked(); });
    QAction* restore = addPopup(this, C::RangePopup, "popR", uiText(ui::kRangePopup), C::RestoreRange, "popRange",
                                uiText(ui::kRestoreRangeEntry), actions_, menus_);
    connect(restore, &QAction::triggered, this, [this] { onRestoreRange(); });
    QAction* undo = menu(C::RangePopup)->addAction(uiText(ui::kUndoRangeEntry));
    undo->setObjectName(QStringLiteral("popRange2"));
    actions_[size_t(C::UndoRange)] = undo;
    undo->setVisible(false);
    connect(undo, &QAction::triggered, this, [this] { onUndoRange(); });

    // Keys of the window (the pop-up's entry shows only while it applies).
    auto key = [this](C c, const char* name, const QString& text, const QKeySequence& shortcut) {
        auto* a = new QAction(text, this);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcut(shortcut);
        addAction(a);
        actions_[size_t(c)] = a;
        return a;
    };
    connect(key(C::UndoKey, "undoRangeKey", uiText(ui::kUndoRangeEntry), QKeySequence::Undo), &QAction::triggered, this,
            [this] { onUndoRange(); });
    connect(key(C::CloseKey, "closeKey", QString(), Qt::Key_Escape), &QAction::triggered, this, &QWidget::close);
}

void GraphWindow::buildToolbar() {
    toolbar_ = addToolBar(QStringLiteral("Toolbar1"));
    toolbar_->setObjectName(QStringLiteral("Toolbar1"));
    toolbar_->setMovable(false);
    const QMap<QString, QIcon> images = toolbarImages();
    auto button = [this](GraphCommand c, const char* key, const QString& text, const QString& tooltip,
                         const QIcon& icon = {}) {
        QAction* b = toolbar_->addAction(icon, text);
        b->setObjectName(QString::fromLatin1(key));
        b->setToolTip(tooltip);
        if (icon.isNull())
            if (auto* w = qobject_cast<QToolButton*>(toolbar_->widgetForAction(b)))
                w->setToolButtonStyle(Qt::ToolButtonTextOnly);
        buttons_.insert(c, b);
        // A button does what its entry does; the line-width button toggles.
        if (c == GraphCommand::LineWidthMenu)
            connect(b, &QAction::triggered, this, [this] { onLineWidthToggled(); });
        else
            connect(b, &QAction::triggered, action(c), &QAction::trigger);
        return b;
    };
    button(GraphCommand::Range, "btnRange", uiText(ui::kRangeButton), uiText(ui::kRangeButtonTip));
    toolbar_->addSeparator();
    button(GraphCommand::Print, "btnprint", uiText(ui::kPrintButton), uiText(ui::kPrintButtonTip),
           images.value(QStringLiteral("toolprint")));
    toolbar_->addSeparator();
    button(GraphCommand::Labels, "btnlabel", uiText(ui::kLabelsButton), uiText(ui::kLabelsButtonTip));
    button(GraphCommand::LineWidthMenu, "btnline", uiText(ui::kLineWidthButton), uiText(ui::kLineWidthButtonTip));
    button(GraphCommand::ReferenceLines, "btnref", uiText(ui::kReferenceButton), uiText(ui::kReferenceButtonTip));
}

void GraphWindow::buildGrid() {
    gpgridModel = new GraphGridModel(ctx_, this);
    gpgrid = new QTableView(this);
    gpgrid->setObjectName(QStringLiteral("gpgrid"));
    gpgrid->setModel(gpgridModel);
    gpgrid->verticalHeader()->hide();
    gpgrid->horizontalHeader()->hide();
    gpgrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    gpgrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    gpgrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gpgrid->setSelectionMode(QAbstractItemView::NoSelection);
    gpgrid->setFocusPolicy(Qt::NoFocus);
    gpgrid->setWordWrap(false);
    gpgrid->setTextElideMode(Qt::ElideNone);
    gpgrid->verticalHeader()->setMinimumSectionSize(1);
    gpgrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    gpgrid->horizontalHeader()->setMinimumSectionSize(1);
    gpgrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // fontSize × 15 × 1.5 twips a line + 75: the header row two lines, every
    // other row one line, down to "指定時刻" and "測定値", so that no row is
    // cut at any window size.
    const LayoutValues& l = ctx_.layout;
    constexpr int kLines = 2 + (kGraphGridRows - 1);
    // A line is never lower than the font's own line and its padding, so
    // that the last row is not cut on a screen of another resolution.
    const int line = std::max(int(std::lround(l.fontSize * 15 * 1.5 / twipsY())), fontMetrics().height() + 4);
    const int height = line * kLines + int(std::lround(75 / twipsY())) + 2 * gpgrid->frameWidth();
    gpgrid->setFixedHeight(height);
    const int rowHeight = std::max(1, (height - 2 * gpgrid->frameWidth()) / kLines);
    gpgrid->verticalHeader()->setDefaultSectionSize(rowHeight);
    gpgrid->setRowHeight(0, height - 2 * gpgrid->frameWidth() - (kGraphGridRows - 1) * rowHeight);
    gpgrid->installEventFilter(this);
    gpgrid->viewport()->installEventFilter(this);
}

void GraphWindow::layoutGridColumns() {
    const int col0 = int(std::lround(ctx_.layout.lineTwips * 12 / twipsX()));
    const int client = gpgrid->width() - 2 * gpgrid->frameWidth();
    const int channel = std::max(1, int((client - col0 - 150 / twipsX()) / kChannels));
    gpgrid->setColumnWidth(0, col0);
    for (int c = 1; c <= kChannels; ++c) gpgrid->setColumnWidth(c, channel);
}

void GraphWindow::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    centralWidget()->layout()->activate();
    layoutGridColumns();
}

void GraphWindow::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    centralWidget()->layout()->activate();
    layoutGridColumns();
}

bool GraphWindow::eventFilter(QObject* watched, QEvent* e) {
    if (watched == gpgrid && e->type() == QEvent::Resize) layoutGridColumns();
    if (watched == gpgrid->viewport() && e->type() == QEvent::MouseButtonPress) {
        auto* m = static_cast<QMouseEvent*>(e);
        const QPoint pos = m->position().toPoint();
        if (m->button() == Qt::RightButton && gpgrid->rowAt(pos.y()) == 0) {
            showColorPopup(gpgrid->columnAt(pos.x()), m->globalPosition().toPoint());
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

void GraphWindow::updateCommandStates() {
    for (const GraphCommand c : kHandled) {
        const bool handled = handlers_.contains(c) && bool(handlers_.value(c));
        action(c)->setEnabled(handled);
        if (QAction* b = toolButton(c)) b->setEnabled(handled);
    }
}

// ---------------------------------------------------------------- open and close

void GraphWindow::open(QWidget* mainWindow) {
    mainWindow_ = mainWindow;
    if (mainWindow_) mainWindow_->setEnabled(false);
    GraphState& g = ctx_.graph;
    g.refLineOn = false;
    g.refTemp = 9999;
    g.refHumid = 9999;
    g.lineWidth = 1;
    g.labelsOn = false;
    action(GraphCommand::Labels)->setChecked(false);
    action(GraphCommand::ThinLine)->setChecked(true);
    action(GraphCommand::UndoRange)->setVisible(false);
    updateCommandStates();
    gpgridModel->recolour();
    fitIntoScreen(this);
    show();
    raise();
    activateWindow();
    redraw(true, true);
}

void GraphWindow::closeEvent(QCloseEvent* e) {
    ctx_.graph->x().manual = false;
    ctx_.graph->labelsOn = false;
    action(GraphCommand::Labels)->setChecked(false);
    gImage->setRubberBand({});
    dragging_ = false;
    if (mainWindow_) mainWindow_->setEnabled(true);
    QToolTip::hideText();
    e->accept();
}

// ---------------------------------------------------------------- drawing

void GraphWindow::paintPlot(QPainter& p, const QRectF& target) {
    DrawOptions o;
    o.background = palette().color(QPalette::Window);
    drawGraph(p, target, ctx_.store, ctx_.graph, plotGeometry(), o);
}

void GraphWindow::redraw(bool recompute, bool refillGrid) {
    if (recompute) computeGraphScale(ctx_);
    // The reference values, while unset, take the middle of the axes the
    // graph is first shown with and keep them through a zoom.
    defaultReferenceLines(ctx_.graph);
    gImage->invalidate();
    if (refillGrid) gpgridModel->refill();
    if (ctx_.graph->undoAvailable) action(GraphCommand::UndoRange)->setVisible(true);
}

void GraphWindow::rangesChanged(bool clearPicture) { redraw(clearPicture, clearPicture); }

// ---------------------------------------------------------------- mouse

void GraphWindow::onPlotMousePressed(Qt::MouseButton button, QPointF pos, QPoint globalPos) {
    if (button == Qt::RightButton) {
        menu(GraphCommand::RangePopup)->popup(globalPos);
        return;
    }
    if (button != Qt::LeftButton) return;
    const GraphGeometry geo = plotGeometry();
    dragStart_ = clampToPlot(geo, pos.x() * twipsX(), pos.y() * twipsY());
    ctx_.graph->dragStartX = float(dragStart_.x);
    ctx_.graph->dragStartY = float(dragStart_.y);
    dragging_ = true;
}

void GraphWindow::onPlotMouseMoved(Qt::MouseButtons buttons, QPointF pos, QPoint globalPos) {
    const GraphGeometry geo = plotGeometry();
    const double x = pos.x() * twipsX(), y = pos.y() * twipsY();
    if (buttons & Qt::LeftButton) {
        if (!dragging_) return;
        const PlotPoint p = clampToPlot(geo, x, y);
        if (p.x != dragStart_.x || p.y != dragStart_.y)
            gImage->setRubberBand(QRectF(QPointF(dragStart_.x / twipsX(), dragStart_.y / twipsY()),
                                         QPointF(p.x / twipsX(), p.y / twipsY()))
                                      .normalized());
        return;
    }
    if (buttons != Qt::NoButton) return;
    const QString text = cursorReadout(ctx_, geo, x, y);
    gImage->setToolTip(text);
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(globalPos, text, gImage);
}

void GraphWindow::onPlotMouseReleased(Qt::MouseButton button, QPointF pos) {
    if (button != Qt::LeftButton || !dragging_) return;
    dragging_ = false;
    const GraphGeometry geo = plotGeometry();
    const PlotPoint end = clampToPlot(geo, pos.x() * twipsX(), pos.y() * twipsY());
    ctx_.graph->dragEndX = float(end.x);
    ctx_.graph->dragEndY = float(end.y);
    gImage->setRubberBand({});
    // A click, or a drag that starts and ends outside the plot, only erases.
    if ((end.x == dragStart_.x && end.y == dragStart_.y) || (dragStart_.clamped && end.clamped)) return;
    zoomToSelection(ctx_, geo);
    redraw(true, true);
}

// ---------------------------------------------------------------- menus

void GraphWindow::onLabelsToggled() {
    ctx_.graph->labelsOn = action(GraphCommand::Labels)->isChecked();
    redraw(true, false);
}

void GraphWindow::onAlarmLinesToggled() {
    ctx_.graph->alarmLinesOn = action(GraphCommand::AlarmLines)->isChecked();
    redraw(false, false);
}

void GraphWindow::onLineWidthChosen(int index) {
    ctx_.graph->lineWidth = index == 1 ? 2 : 1;
    action(lineWidthCommand(index))->setChecked(true);
    redraw(false, false);
}

void GraphWindow::onLineWidthToggled() { onLineWidthChosen(action(GraphCommand::ThinLine)->isChecked() ? 1 : 0); }

bool GraphWindow::showColorPopup(int column, const QPoint& globalPos) {
    if (column < 1 || column > kChannels) return false;
    colorColumn_ = column;
    action(GraphCommand::ChangeColor)
        ->setText(QStringLiteral("CH:") + channelLetter(column) + uiText(ui::kChangeColorSuffix));
    menu(GraphCommand::ColorPopup)->popup(globalPos);
    return true;
}

void GraphWindow::onColorClicked() {
    const int c = colorColumn_;
    if (c < 1 || c > kChannels) return;
    const std::optional<QColor> chosen = ctx_.colors->chooseColor(channelColour(ctx_, c));
    if (!chosen || !chosen->isValid()) return;
    ctx_.graph->channelColor[size_t(c)] = chosen->rgb() & 0xFFFFFF;
    gpgridModel->recolour();
    redraw(false, false);
}

void GraphWindow::onRestoreRange() {
    restoreAutoRange(ctx_);
    redraw(true, true);
}

void GraphWindow::onUndoRange() {
    if (undoRange(ctx_)) redraw(true, true);
}

// ---------------------------------------------------------------- wiring

namespace {

// The graph window's own entries: its dialogs, its print and the export of
// the visible span.
void wireGraphEntries(AppContext& ctx, GraphWindow& graph) {
    using C = GraphCommand;
    graph.setCommand(C::Range,
                     [&ctx, &graph] { showGraphRange(ctx, &graph, [&graph] { graph.rangesChanged(true); }); });
    graph.setCommand(C::ReferenceLines, [&ctx, &graph] {
        // The dialog shows the reference values, which default to the middle
        // of their axes.
        defaultReferenceLines(ctx.graph);
        showReferenceLines(ctx, &graph, [&graph] { graph.rangesChanged(false); });
    });
    graph.setCommand(C::Print, [&ctx] { printDispatch(ctx, graphPrintJob(ctx)); });
    auto preview = std::make_shared<QtPrintPreview>(&graph);
    graph.setCommand(C::Preview, [&ctx, preview] { previewCommand(ctx, graphPrintJob(ctx), *preview); });
    graph.setCommand(C::Pdf, [&ctx] { pdfCommand(ctx, graphPrintJob(ctx)); });
    graph.setCommand(C::PageSetup, [&ctx] { graphPageSetup(ctx); });
    graph.setCommand(C::PrinterSetup, [&ctx] { graphPrinterSetup(ctx); });
}

}  // namespace

void wireGraph(MainWindow& window, AppContext& ctx, GraphWindow& graph) {
    window.setCommand(Command::Graph, [&window, &graph] { graph.open(&window); });
    wireGraphEntries(ctx, graph);
}

void wireGraph(MainWindow& window, AppContext& ctx, std::function<void(GraphWindow&)> built) {
    auto graph = std::make_shared<std::unique_ptr<GraphWindow>>();
    window.setCommand(Command::Graph, [&window, &ctx, graph, built] {
        if (!*graph) {
            *graph = std::make_unique<GraphWindow>(ctx);
            wireGraphEntries(ctx, **graph);
            if (built) built(**graph);
        }
        (*graph)->open(&window);
    });
}

}  // namespace quillet
