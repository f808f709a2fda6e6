#include "core/ui/mainwindow.h"

#include "core/catalog.h"
#include "core/channelops.h"
#include "core/fieldhelpers.h"
#include "core/maingrid.h"
#include "core/startup.h"
#include "core/store.h"
#include "core/ui/deletechannelsdialog.h"
#include "core/ui/menutable.h"
#include "core/ui/toolicons.h"
#include "core/ui/versionwindow.h"
#include "core/uitexts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHeaderView>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QStatusBar>
#include <QToolButton>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace quillet {
namespace {

// Entries that only open a sub-menu: enabled by the rule alone.
bool isSubmenu(const QAction* a) { return a->menu() != nullptr; }

QFont mainFont(int pointSize) {
    // The design font; IPAGothic stands in where it is not installed. Only
    // an installed family is named: a missing first family costs the font
    // database a search through every font each time text is measured.
    QFont::insertSubstitution(QStringLiteral("MS UI Gothic"), QStringLiteral("IPAGothic"));
    static const QString family = QFontDatabase::families().contains(QStringLiteral("MS UI Gothic"))
                                      ? QStringLiteral("MS UI Gothic")
                                      : QStringLiteral("IPAGothic");
    QFont f;
    f.setFamilies({family});
    f.setPointSize(pointSize);
    // Fully hinted, crisp as the design font on its home system; it also
    // spares the light auto-hinter's analysis of every glyph the first
    // screen shows.
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

// The status bar's word: shortened in its middle to the room it has (a
// path keeps its start and its file name), the whole text in its tooltip;
// text() stays whole.
class StatusWordLabel : public QLabel {
public:
    using QLabel::QLabel;
    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }
    QSize sizeHint() const override { return {0, QLabel::sizeHint().height()}; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QRect room = contentsRect();
        p.setPen(palette().color(foregroundRole()));
        p.drawText(room, Qt::AlignLeft | Qt::AlignVCenter,
                   fontMetrics().elidedText(text(), Qt::ElideMiddle, room.width()));
    }
};

}  // namespace

MainWindow::MainWindow(AppContext& ctx, QWidget* parent) : QMainWindow(parent), ctx_(ctx), previousView_(ctx.view) {
    setObjectName(QStringLiteral("MAIN"));
    ctx_.view = this;

    // Font, size and caption.
    setFont(mainFont(ctx_.layout.fontSize));
    resize(ctx_.layout.designWidth, ctx_.layout.designHeight);
    updateCaption();

    imageList_ = toolbarImages();
    statusWord = new StatusWordLabel(this);
    statusWord->setObjectName(QStringLiteral("statusWord"));
    statusBar()->addWidget(statusWord, 1);
    buildMenus();
    buildToolbar();
    buildGrids();
    layoutGrids();

    // The monitor entry shows only in debug mode.
    action(Command::ReadAll)->setVisible(ctx_.debug.debugMode);

    // Built-in commands of the main window.
    setCommand(Command::DeleteChannels, [this] { onDeleteChannels(); });
    setCommand(Command::Help, [this] { onHelp(); });
    setCommand(Command::Version, [this] { onVersion(); });
    setCommand(Command::Exit, [this] { close(); });

    labelEmptyChannels();
    refreshDisplay();
    updateCommandStates();
}

void MainWindow::showStatus(const QString& text) {
    statusWord->setText(text);
    statusWord->setToolTip(text);
}

MainWindow::~MainWindow() {
    if (ctx_.view == this) ctx_.view = previousView_;
}

// ---------------------------------------------------------------- menus

namespace {

using Line = MenuLine<Command>;

// The three sub-menus of the list prints (print, preview, PDF) hold the
// same three entries.
struct PrintMenu {
    Command menu;
    const char* name;
    const char16_t* caption;
};
constexpr PrintMenu kPrintMenus[] = {
    {Command::PrintMenu, "mFPRINT", ui::kPrintMenu},
    {Command::PreviewMenu, "mFPREVIEW", ui::kPreviewEntry},
    {Command::PdfMenu, "mFPDF", ui::kPdfEntry},
};
constexpr std::pair<const char*, const char16_t*> kPrintEntries[] = {
    {"ALL", ui::kPrintAllEntry}, {"SEL", ui::kPrintPartEntry}, {"PARA", ui::kPrintParametersEntry}};

std::vector<Line> menuLines() {
    using C = Command;
    std::vector<Line> l = {
        {Line::Menu, C::LoggerMenu, {}, "mLOGGER", ui::kLoggerMenu},
        {Line::Entry, C::ReadLogger, C::LoggerMenu, "mLREAD", ui::kReadLoggerEntry},
        {Line::Menu, C::LoggerSettingsMenu, C::LoggerMenu, "mLSET", ui::kLoggerSettingsMenu},
        {Line::Entry, C::RecordingSettings, C::LoggerSettingsMenu, "mLRECSET", ui::kRecordingSettingsEntry},
        {Line::Entry, C::SettingCharacters, C::LoggerSettingsMenu, "mLPARASET", ui::kSettingCharactersEntry},
        {Line::Entry, C::ReadAll, C::LoggerMenu, "mAllRead", ui::kReadAllEntry},
        {Line::Menu, C::PortMenu, C::LoggerMenu, "mPORT", ui::kPortMenu},
        {Line::Entry, C::SearchPort, C::PortMenu, "mPORTA", ui::kSearchPortEntry},
        {Line::Entry, C::ChoosePort, C::PortMenu, "mPORTM", ui::kChoosePortEntry},
        {Line::Menu, C::UsualMenu, {}, "mITUMOMENU", ui::kUsualEntry},
        {Line::Entry, C::Usual, C::UsualMenu, "mItumo", ui::kUsualEntry},
        {Line::Entry, C::UsualSettings, C::UsualMenu, "mItumoSet", ui::kUsualSettingsEntry},
        {Line::Entry, C::Graph, {}, "mGRAPH", ui::kGraphEntry},
        {Line::Menu, C::FileMenu, {}, "mFILE", ui::kFileMenu},
        {Line::Entry, C::Open, C::FileMenu, "mFOPEN", ui::kOpenEntry},
        {Line::Entry, C::Save, C::FileMenu, "mFSAVE", ui::kSaveEntry},
        {Line::Entry, C::SaveAs, C::FileMenu, "mFSAVEAS", ui::kSaveAsEntry},
        {Line::Menu, C::TextMenu, C::FileMenu, "mFTEXT", ui::kTextExportEntry},
        {Line::Entry, C::TextExport, C::TextMenu, "mFTEXTSAVE", ui::kTextExportEntry},
        {Line::Entry, C::CsvExport, C::TextMenu, "mFCSVSAVE", ui::kCsvExportEntry},
        {Line::Entry, C::TidyCsvExport, C::FileMenu, "mFTIDYSAVE", ui::kTidyCsvExportEntry},
        {Line::Entry, C::WorkbookExport, C::FileMenu, "mFXLSXSAVE", ui::kWorkbookExportEntry},
    };
    for (const PrintMenu& m : kPrintMenus) {
        l.push_back({Line::Menu, m.menu, C::FileMenu, m.name, m.caption});
        int k = 1;
        // The entries follow their menu in Command's order; their names are
        // the menu's and the print's: mFPRINTALL.
        for (const auto& [suffix, caption] : kPrintEntries)
            l.push_back({Line::Entry, Command(int(m.menu) + k++), m.menu, QByteArray(m.name) + suffix, caption});
    }
    const std::vector<Line> rest = {
        {Line::Entry, C::PrinterSettings, C::FileMenu, "mFPRINTSET", ui::kPrinterSettingsEntry},
        {Line::Entry, C::Insert, C::FileMenu, "mFINSERT", ui::kInsertEntry},
        {Line::Separator, C::FileMenu, C::FileMenu, "", u""},
        {Line::Menu, C::RecentMenu, C::FileMenu, "mFRECENT", ui::kRecentMenu},
        {Line::Separator, C::FileMenu, C::FileMenu, "", u""},
        {Line::Entry, C::Exit, C::FileMenu, "mFEND", ui::kExitEntry},
        {Line::Menu, C::ChannelMenu, {}, "mCHANNEL", ui::kChannelMenu},
        {Line::Entry, C::DeleteChannels, C::ChannelMenu, "mCHDEL", ui::kDeleteDataEntry},
        {Line::Menu, C::AnalysisMenu, {}, "mANALYSIS", ui::kAnalysisMenu},
        {Line::Entry, C::Statistics, C::AnalysisMenu, "mASTATS", ui::kStatisticsEntry},
        {Line::Entry, C::Report, C::AnalysisMenu, "mAREPORT", ui::kReportEntry},
        {Line::Entry, C::ReportPreview, C::AnalysisMenu, "mAPREVIEW", ui::kReportPreviewEntry},
        {Line::Entry, C::ReportPdf, C::AnalysisMenu, "mAPDF", ui::kReportPdfEntry},
        {Line::Menu, C::ArchiveMenu, {}, "mARCHIVE", ui::kArchiveMenu},
        {Line::Entry, C::ArchiveSearch, C::ArchiveMenu, "mARSEARCH", ui::kArchiveSearchEntry},
        {Line::Entry, C::ArchivePeriod, C::ArchiveMenu, "mARPERIOD", ui::kArchivePeriodEntry},
        {Line::Entry, C::ArchiveTrend, C::ArchiveMenu, "mARTREND", ui::kTrendEntry},
        {Line::Separator, C::ArchiveMenu, C::ArchiveMenu, "", u""},
        {Line::Entry, C::ArchiveImport, C::ArchiveMenu, "mARIMPORT", ui::kArchiveImportEntry},
        {Line::Entry, C::ArchiveSettings, C::ArchiveMenu, "mARSETTINGS", ui::kArchiveSettingsEntry},
        {Line::Separator, C::ArchiveMenu, C::ArchiveMenu, "", u""},
        {Line::Entry, C::AuditTrail, C::ArchiveMenu, "mARAUDIT", ui::kAuditTrailEntry},
        {Line::Entry, C::RecordsSettings, C::ArchiveMenu, "mARRECORDS", ui::kRecordsSettingsEntry},
        {Line::Menu, C::HelpMenu, {}, "mHELPMENU", ui::kHelpEntry},
        {Line::Entry, C::Help, C::HelpMenu, "mHELP", ui::kHelpEntry},
        {Line::Entry, C::Version, C::HelpMenu, "mVERSION", ui::kVersionEntry},
    };
    l.insert(l.end(), rest.begin(), rest.end());
    return l;
}

}  // namespace

void MainWindow::runCommand(const QAction* a) {
    auto it = handlers_.find(a);
    if (it == handlers_.end() || !*it) return;
    if (commandGuard) {
        const auto c = std::find(actions_.begin(), actions_.end(), a);
        if (c != actions_.end() && !commandGuard(Command(c - actions_.begin()))) return;
    }
    (*it)();
}

void MainWindow::buildMenus() {
    const std::vector<Line> lines = menuLines();
    buildMenuBar(menuBar(), lines, actions_, menus_);
    for (const Line& line : lines) {
        if (line.kind != Line::Entry) continue;
        QAction* a = action(line.command);
        if (line.in) {
            connect(a, &QAction::triggered, this, [this, a] {
                showStatus(QString());  // the word of the last command
                runCommand(a);
                updateCaption();  // the unsaved mark
                emit commandFinished();
            });
        } else {
            connect(a, &QAction::triggered, this, [this, a] { runCommand(a); });  // グラフ on the bar
        }
    }

    // Shortcuts beside the mnemonics.
    action(Command::Open)->setShortcut(QKeySequence::Open);          // Ctrl+O
    action(Command::Save)->setShortcut(QKeySequence::Save);          // Ctrl+S
    action(Command::PrintAll)->setShortcut(QKeySequence::Print);     // Ctrl+P
    action(Command::Help)->setShortcut(QKeySequence::HelpContents);  // F1

    // Header pop-ups.
    QAction* one = addPopup(this, Command::ChannelPopup, "popDel", QString(), Command::DeleteChannel, "popDDEl",
                            QString(), actions_, menus_);
    connect(one, &QAction::triggered, this, [this] { confirmAndDelete(popupSelection_, 0); });
    QAction* all = addPopup(this, Command::AllPopup, "popAll", QString(), Command::DeleteAll, "popDAll",
                            uiText(ui::kDeleteAllEntry), actions_, menus_);
    connect(all, &QAction::triggered, this, [this] { confirmAndDelete(kDeleteAll, 0); });
}

QAction* MainWindow::button(const char* key, const QString& tooltip, Command target, const QString& image) {
    QAction* b = new QAction(this);
    b->setObjectName(QString::fromLatin1(key));
    b->setToolTip(tooltip);
    b->setText(tooltip);
    if (!image.isEmpty()) b->setIcon(imageList_.value(image));
    connect(b, &QAction::triggered, action(target), &QAction::trigger);
    buttonTarget_.insert(b, action(target));
    buttons_.insert(target, b);
    toolbar_->addAction(b);
    return b;
}

void MainWindow::buildToolbar() {
    toolbar_ = addToolBar(QStringLiteral("Toolbar1"));
    toolbar_->setObjectName(QStringLiteral("Toolbar1"));
    toolbar_->setMovable(false);
    toolbar_->setIconSize(QSize(16, 16));
    toolbar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button("btnLRead", uiText(ui::kReadLoggerWords), Command::ReadLogger, QStringLiteral("toollog"));
    QAction* settings = button("btnLSet", uiText(ui::kLoggerSettingsTip), Command::RecordingSettings, QString());
    toolbar_->addSeparator();
    button("btnGraph", uiText(ui::kDrawGraphTip), Command::Graph, QStringLiteral("toolgl"));
    toolbar_->addSeparator();
    button("btnOpen", uiText(ui::kOpenTip), Command::Open, QStringLiteral("toolopen"));
    button("btnSave", uiText(ui::kSaveTip), Command::Save, QStringLiteral("toolsave"));
    toolbar_->addSeparator();
    button("btnPrint", uiText(ui::kPrintAllTip), Command::PrintAll, QStringLiteral("toolprint"));
    toolbar_->addSeparator();
    QAction* add = button("btnAddCh", uiText(ui::kAddDataTip), Command::Insert, QString());
    QAction* remove = button("btnDelCh", uiText(ui::kDeleteChannelTip), Command::DeleteChannels, QString());
    // Buttons without an image of their own show their text.
    for (QAction* b : {settings, add, remove}) {
        if (auto* w = qobject_cast<QToolButton*>(toolbar_->widgetForAction(b)))
            w->setToolButtonStyle(Qt::ToolButtonTextOnly);
    }
}

void MainWindow::setCommand(Command c, std::function<void()> handler) {
    QAction* entry = action(c);
    if (!entry) return;
    handlers_.insert(entry, std::move(handler));
    updateCommandStates();
}

bool MainWindow::hasCommand(const QAction* entry) const {
    auto it = handlers_.find(entry);
    return it != handlers_.end() && bool(*it);
}

void MainWindow::updateCommandStates() {
    const bool hasData = dataCommandsEnabled(ctx_.store);
    const QStringList& dataNames = dataCommandNames();
    auto apply = [&](QAction* a, bool wired) {
        const bool needsData = dataNames.contains(a->objectName());
        a->setEnabled(wired && (!needsData || hasData));
    };
    for (QAction* a : findChildren<QAction*>()) {
        if (a->objectName().isEmpty() || a->isSeparator()) continue;
        if (a == action(Command::DeleteChannel) || a == action(Command::DeleteAll)) continue;
        if (buttonTarget_.contains(a))
            apply(a, hasCommand(buttonTarget_.value(a)));
        else if (isSubmenu(a))
            apply(a, true);
        else
            apply(a, hasCommand(a));
    }
    if (!hasData) {
        const QSignalBlocker block(VScroll);
        VScroll->setMaximum(1);
        VScroll->setValue(1);
        grid->verticalScrollBar()->setValue(0);
    }
}

void MainWindow::enableAllCommands() {
    for (QAction* a : findChildren<QAction*>()) {
        if (a->objectName().isEmpty() || a->isSeparator()) continue;
        if (buttonTarget_.contains(a))
            a->setEnabled(hasCommand(buttonTarget_.value(a)));
        else if (isSubmenu(a))
            a->setEnabled(true);
        else if (a != action(Command::DeleteChannel) && a != action(Command::DeleteAll))
            a->setEnabled(hasCommand(a));
    }
}

void MainWindow::setBusy(bool busy) {
    setEnabled(!busy);
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else if (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

void MainWindow::updateCaption() { setWindowTitle(mainCaption(ctx_)); }

// ---------------------------------------------------------------- grids

void MainWindow::buildGrids() {
    auto* central = new QWidget(this);
    setCentralWidget(central);

    gridModel = new DataGridModel(ctx_, this);
    grid = new QTableView(central);
    grid->setObjectName(QStringLiteral("grid"));
    grid->setItemDelegate(new GridCellDelegate(grid));
    grid->setHorizontalHeader(new FixedHeightHeader(Qt::Horizontal, grid));
    grid->verticalHeader()->hide();
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setWordWrap(false);
    grid->setTextElideMode(Qt::ElideNone);
    QHeaderView* head = grid->horizontalHeader();
    head->setSectionsMovable(true);
    head->setSectionResizeMode(QHeaderView::Fixed);
    head->setDefaultAlignment(Qt::AlignCenter);
    head->setHighlightSections(false);
    head->viewport()->installEventFilter(this);
    connect(head, &QHeaderView::sectionMoved, this, &MainWindow::onColumnMoved);
    grid->viewport()->installEventFilter(this);
    grid->installEventFilter(this);  // the columns follow the grid's width

    VScroll = new QScrollBar(Qt::Vertical, central);
    VScroll->setObjectName(QStringLiteral("VScroll"));
    VScroll->setMinimum(1);
    VScroll->setMaximum(1);
    VScroll->setSingleStep(1);
    connect(VScroll, &QScrollBar::valueChanged, this, &MainWindow::onScrolled);
    // Keys that move the grid's current cell keep the bar in step.
    connect(grid->verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int v) {
        const QSignalBlocker block(VScroll);
        VScroll->setValue(v + 1);
    });

    pgridModel = new StatsGridModel(ctx_, this);
    pgrid = new QTableView(central);
    pgrid->setObjectName(QStringLiteral("pgrid"));
    pgrid->setItemDelegate(new GridCellDelegate(pgrid));
    pgrid->verticalHeader()->hide();
    pgrid->horizontalHeader()->hide();
    pgrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    pgrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    pgrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    pgrid->setSelectionMode(QAbstractItemView::NoSelection);
    pgrid->setWordWrap(false);
    pgrid->setTextElideMode(Qt::ElideNone);
}

void MainWindow::layoutGrids() {
    const LayoutValues& l = ctx_.layout;
    // Twips to pixels at the screen's resolution (15 twips a pixel at 96 dpi).
    const double tx = 1440.0 / std::max(1, logicalDpiX());
    const double ty = 1440.0 / std::max(1, logicalDpiY());
    auto px = [](double twips, double perPixel) { return int(std::lround(twips / perPixel)); };

    // The sizes of the design layout: the data grid 23 equal rows high, the
    // header three of them (20 data rows show), the statistics grid ten, its
    // first row two.
    const int gridHeight = px(l.rowTwips * 23 + 60, ty);
    const int barWidth = px(200, tx);
    const int pgridHeight = px(l.rowTwips * 10 + 60, ty);
    const int frame = 2 * grid->frameWidth();
    gridSizes_.rowHeight = std::max(1, (gridHeight - frame) / 23);
    gridSizes_.headerHeight = (gridHeight - frame) - kVisibleRows * gridSizes_.rowHeight;
    gridSizes_.col0 = px(l.lineTwips * 5, tx);
    gridSizes_.col1 = px(l.lineTwips * 13, tx);
    const int pClient = pgridHeight - 2 * pgrid->frameWidth();
    gridSizes_.pRow = std::max(1, pClient / 10);
    gridSizes_.pFirstRow = pClient - (kStatsRows - 1) * gridSizes_.pRow;

    // The grids follow the window: the data grid takes the spare height
    // (more rows show), the statistics grid keeps its height and stays
    // whole, both share the width, the channel columns equally.
    auto* layout = new QGridLayout(centralWidget());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(grid, 0, 0);
    layout->addWidget(VScroll, 0, 1);
    layout->addWidget(pgrid, 1, 0);
    layout->setRowStretch(0, 1);
    layout->setColumnStretch(0, 1);
    VScroll->setFixedWidth(barWidth);
    pgrid->setFixedHeight(pgridHeight);
    grid->horizontalHeader()->setFixedHeight(gridSizes_.headerHeight);

    // Smallest sensible size: ten data rows, and channel columns wide
    // enough for a start date or a value with its mark.
    const QFontMetrics fm(grid->font());
    const int minChannel =
        std::max(fm.horizontalAdvance(QStringLiteral("88-88-88 ")), fm.horizontalAdvance(QStringLiteral("-888.8▲"))) +
        6;
    grid->setMinimumHeight(frame + gridSizes_.headerHeight + 10 * gridSizes_.rowHeight);
    grid->setMinimumWidth(frame + gridSizes_.col0 + gridSizes_.col1 + kChannels * minChannel);
    applyGridSizes();
}

void MainWindow::applyGridSizes() {
    const GridSizes& g = gridSizes_;
    grid->verticalHeader()->setMinimumSectionSize(1);
    grid->verticalHeader()->setDefaultSectionSize(g.rowHeight);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // The models come after the row height: 12000 rows then start at their
    // size instead of each being resized.
    if (!grid->model()) grid->setModel(gridModel);
    const int clientWidth = grid->width() - 2 * grid->frameWidth();
    const int channelWidth = std::max(1, (clientWidth - g.col0 - g.col1) / kChannels);
    grid->horizontalHeader()->setMinimumSectionSize(1);
    grid->setColumnWidth(0, g.col0);
    grid->setColumnWidth(1, g.col1);
    for (int c = 2; c < kGridColumns; ++c) grid->setColumnWidth(c, channelWidth);

    pgrid->verticalHeader()->setMinimumSectionSize(1);
    pgrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    pgrid->verticalHeader()->setDefaultSectionSize(g.pRow);
    if (!pgrid->model()) pgrid->setModel(pgridModel);
    pgrid->setRowHeight(0, g.pFirstRow);
    pgrid->horizontalHeader()->setMinimumSectionSize(1);
    pgrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    pgrid->setColumnWidth(0, g.col0 + g.col1);
    for (int c = 1; c < kStatsColumns; ++c) pgrid->setColumnWidth(c, channelWidth);
}

void MainWindow::refreshDisplay() {
    gridModel->refill();
    pgridModel->refill();
    grid->selectionModel()->clear();  // the cell chosen before showed other data
    const ScrollSettings s = scrollSettingsFor(ctx_.store);
    {
        const QSignalBlocker block(VScroll);
        VScroll->setMinimum(s.minimum);
        VScroll->setMaximum(s.maximum);
        VScroll->setPageStep(s.largeChange);
        VScroll->setValue(s.value);
    }
    onScrolled(VScroll->value());
}

void MainWindow::labelEmptyChannels() { gridModel->relabel(); }

void MainWindow::onScrolled(int value) {
    // The scroll bar's value v shows data row v at the top.
    grid->verticalScrollBar()->setValue(value - 1);
}

int MainWindow::topRow() const { return grid->rowAt(0) + 1; }

void MainWindow::wheel(int delta) {
    // Whole notches of 120; a finer wheel adds up until a notch is complete.
    wheelRemainder_ += delta;
    while (std::abs(wheelRemainder_) >= 120) {
        const int notch = wheelRemainder_ > 0 ? 120 : -120;
        wheelRemainder_ -= notch;
        VScroll->setValue(wheelScroll(VScroll->value(), VScroll->minimum(), VScroll->maximum(), notch, kWheelStep));
    }
}

void MainWindow::onColumnMoved(int /*logical*/, int oldVisual, int newVisual) {
    if (undoingMove_) return;
    // The header only shows the drop; the store decides what moves. Columns
    // go back to their places and the refill shows the channels' new order.
    undoingMove_ = true;
    grid->horizontalHeader()->moveSection(newVisual, oldVisual);
    undoingMove_ = false;
    moveChannelColumn(ctx_, oldVisual, newVisual);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* e) {
    if (watched == grid && e->type() == QEvent::Resize) applyGridSizes();
    if (watched == grid->viewport() && e->type() == QEvent::Wheel) {
        auto* w = static_cast<QWheelEvent*>(e);
        const int dy = w->angleDelta().y();
        if (dy != 0) wheel(dy);
        return true;  // the grid scrolls only through the bar
    }
    if (watched == grid->horizontalHeader()->viewport() && e->type() == QEvent::MouseButtonRelease) {
        auto* m = static_cast<QMouseEvent*>(e);
        if (m->button() == Qt::RightButton) {
            const int col = grid->horizontalHeader()->logicalIndexAt(m->position().toPoint());
            showHeaderPopup(col, m->globalPosition().toPoint());
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

// ---------------------------------------------------------------- deletion

void MainWindow::markDeleteSelection(int deleteSelection) {
    MarkedColumns data, stats;
    if (deleteSelection == kDeleteAll) {
        for (int c = 2; c < kGridColumns; ++c) {
            data.mark(c);
            stats.mark(c - 1);
        }
    } else if (deleteSelection >= 2 && deleteSelection < kGridColumns) {
        data.mark(deleteSelection);
        stats.mark(deleteSelection - 1);
    }
    gridModel->setMarked(data);
    pgridModel->setMarked(stats);
}

bool MainWindow::confirmAndDelete(int deleteSelection, int titleNo) {
    markDeleteSelection(deleteSelection);
    const int messageNo = deleteSelection == kDeleteAll ? 0 : deleteSelection - 1;
    bool deleted = false;
    if (showMessage(ctx_, titleNo, messageNo, kOkCancel) == kOk) deleted = deleteChannels(ctx_, deleteSelection);
    markDeleteSelection(-1);
    return deleted;
}

bool MainWindow::showHeaderPopup(int col, const QPoint& globalPos) {
    if (ctx_.store.channelsInUse <= 0) return false;
    if (col == 0) {
        menu(Command::AllPopup)->popup(globalPos);
        return true;
    }
    if (col >= 2 && col < kGridColumns && ctx_.store.ch[size_t(col - 1)].inUse == 1) {
        popupSelection_ = col;
        action(Command::DeleteChannel)->setText(deletePopupCaption(col - 1));
        menu(Command::ChannelPopup)->popup(globalPos);
        return true;
    }
    return false;
}

void MainWindow::onDeleteChannels() {
    DeleteChannelsDialog dlg(
        ctx_, [this](int sel) { markDeleteSelection(sel); }, this);
    dlg.exec();
}

// ---------------------------------------------------------------- help, version, close

void MainWindow::onHelp() {
    // The help is compiled into the program: only a broken build has none.
    if (!openHelp(ctx_, 1)) showRuntimeError(ctx_, kErrFileNotFound, captionText(Caption::Program), kOkOnly);
}

void MainWindow::onVersion() {
    VersionWindow dlg(
        ctx_, [this](bool on) { action(Command::ReadAll)->setVisible(on); }, this);
    dlg.exec();
}

void MainWindow::closeEvent(QCloseEvent* e) {
    // Message 27 when data is unsaved; the timing and debug files are
    // written whatever the answer.
    // 保存 saves as the entry would, to the file the data came from if any.
    const auto save = [this] {
        const QAction* entry = action(ctx_.store.dataFileName.isEmpty() ? Command::SaveAs : Command::Save);
        runCommand(entry);
        return !holdsUnsavedData(ctx_.store);
    };
    if (requestShutdown(ctx_, save))
        e->accept();
    else
        e->ignore();
}

}  // namespace quillet
