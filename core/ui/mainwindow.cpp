#include "core/ui/mainwindow.h"

#include "core/catalog.h"
#include "core/channelops.h"
#include "core/fieldhelpers.h"
#include "core/maingrid.h"
#include "core/startup.h"
#include "core/store.h"
#include "core/ui/deletechannelsdialog.h"
#include "core/ui/toolicons.h"
#include "core/ui/versionwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHeaderView>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStatusBar>
#include <QToolButton>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

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

}  // namespace

MainWindow::MainWindow(AppContext& ctx, QWidget* parent) : QMainWindow(parent), ctx_(ctx), previousView_(ctx.view) {
    setObjectName(QStringLiteral("MAIN"));
    ctx_.view = this;

    // Font, size and caption.
    setFont(mainFont(ctx_.layout.fontSize));
    resize(ctx_.layout.designWidth, ctx_.layout.designHeight);
    updateCaption();

    imageList = toolbarImages();
    statusWord = new QLabel(this);
    statusWord->setObjectName(QStringLiteral("statusWord"));
    statusBar()->addWidget(statusWord, 1);
    buildMenus();
    buildToolbar();
    buildGrids();
    layoutGrids();

    // The monitor entry shows only in debug mode.
    mAllRead->setVisible(ctx_.debug.debugMode);

    // Built-in commands of the main window.
    setCommand(mCHDEL, [this] { onDeleteChannels(); });
    setCommand(mHELP, [this] { onHelp(); });
    setCommand(mVERSION, [this] { onVersion(); });
    setCommand(mFEND, [this] { close(); });

    labelEmptyChannels();
    refreshDisplay();
    updateCommandStates();
}

void MainWindow::showStatus(const QString& text) { statusWord->setText(text); }

MainWindow::~MainWindow() {
    if (ctx_.view == this) ctx_.view = previousView_;
}

// ---------------------------------------------------------------- menus

QAction* MainWindow::entry(QMenu* menu, const char* name, const QString& caption) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    connect(a, &QAction::triggered, this, [this, a] {
        statusWord->clear();  // the word of the last command
        auto it = handlers_.find(a);
        if (it != handlers_.end() && *it) (*it)();
        emit commandFinished();
    });
    return a;
}

void MainWindow::buildMenus() {
    QMenuBar* bar = menuBar();

    mLOGGER = bar->addMenu(QStringLiteral("ロガー(&L)"));
    mLOGGER->menuAction()->setObjectName(QStringLiteral("mLOGGER"));
    mLREAD = entry(mLOGGER, "mLREAD", QStringLiteral("ロガー読み出し(&R)"));
    mLSET = mLOGGER->addMenu(QStringLiteral("ロガー設定&(S)"));
    mLSET->menuAction()->setObjectName(QStringLiteral("mLSET"));
    mLRECSET = entry(mLSET, "mLRECSET", QStringLiteral("収録設定(&S)"));
    mLPARASET = entry(mLSET, "mLPARASET", QStringLiteral("パラメータ設定(&P)"));
    mAllRead = entry(mLOGGER, "mAllRead", QStringLiteral("連続読み出し"));
    mPORT = mLOGGER->addMenu(QStringLiteral("ポート設定(&P)"));
    mPORT->menuAction()->setObjectName(QStringLiteral("mPORT"));
    mPORTA = entry(mPORT, "mPORTA", QStringLiteral("自動設定(&A)"));
    mPORTM = entry(mPORT, "mPORTM", QStringLiteral("手動設定(&M)"));

    mITUMOMENU = bar->addMenu(QStringLiteral("いつもの通信(&I)"));
    mITUMOMENU->menuAction()->setObjectName(QStringLiteral("mITUMOMENU"));
    mItumo = entry(mITUMOMENU, "mItumo", QStringLiteral("いつもの通信(&I)"));
    mItumoSet = entry(mITUMOMENU, "mItumoSet", QStringLiteral("通信設定(&S)"));

    mGRAPH = bar->addAction(QStringLiteral("グラフ(&G)"));
    mGRAPH->setObjectName(QStringLiteral("mGRAPH"));
    connect(mGRAPH, &QAction::triggered, this, [this] {
        auto it = handlers_.find(mGRAPH);
        if (it != handlers_.end() && *it) (*it)();
    });

    mFILE = bar->addMenu(QStringLiteral("ファイル(&F)"));
    mFILE->menuAction()->setObjectName(QStringLiteral("mFILE"));
    mFOPEN = entry(mFILE, "mFOPEN", QStringLiteral("開く(&O)"));
    mFSAVE = entry(mFILE, "mFSAVE", QStringLiteral("上書き保存(&A)"));
    mFSAVEAS = entry(mFILE, "mFSAVEAS", QStringLiteral("名前を付けて保存(&A)"));
    mFTEXTMENU = mFILE->addMenu(QStringLiteral("テキスト保存(&T)"));
    mFTEXT = mFTEXTMENU->menuAction();
    mFTEXT->setObjectName(QStringLiteral("mFTEXT"));
    mFTEXTSAVE = entry(mFTEXTMENU, "mFTEXTSAVE", QStringLiteral("テキスト保存(&T)"));
    mFCSVSAVE = entry(mFTEXTMENU, "mFCSVSAVE", QStringLiteral("ＣＳＶ保存(&C)"));
    mFTIDYSAVE = entry(mFILE, "mFTIDYSAVE", QStringLiteral("表形式CSVで保存..."));
    mFXLSXSAVE = entry(mFILE, "mFXLSXSAVE", QStringLiteral("Excelブックで保存..."));
    mFPRINTMENU = mFILE->addMenu(QStringLiteral("印刷(&P)"));
    mFPRINT = mFPRINTMENU->menuAction();
    mFPRINT->setObjectName(QStringLiteral("mFPRINT"));
    mFPRINTALL = entry(mFPRINTMENU, "mFPRINTALL", QStringLiteral("全体印刷(&A)"));
    mFPRINTSEL = entry(mFPRINTMENU, "mFPRINTSEL", QStringLiteral("部分印刷(&B)"));
    mFPRINTPARA = entry(mFPRINTMENU, "mFPRINTPARA", QStringLiteral("パラメータ印刷(&P)"));
    mFPREVIEWMENU = mFILE->addMenu(QStringLiteral("印刷プレビュー(&V)"));
    mFPREVIEW = mFPREVIEWMENU->menuAction();
    mFPREVIEW->setObjectName(QStringLiteral("mFPREVIEW"));
    mFPREVIEWALL = entry(mFPREVIEWMENU, "mFPREVIEWALL", QStringLiteral("全体印刷(&A)"));
    mFPREVIEWSEL = entry(mFPREVIEWMENU, "mFPREVIEWSEL", QStringLiteral("部分印刷(&B)"));
    mFPREVIEWPARA = entry(mFPREVIEWMENU, "mFPREVIEWPARA", QStringLiteral("パラメータ印刷(&P)"));
    mFPDFMENU = mFILE->addMenu(QStringLiteral("PDFで保存(&D)..."));
    mFPDF = mFPDFMENU->menuAction();
    mFPDF->setObjectName(QStringLiteral("mFPDF"));
    mFPDFALL = entry(mFPDFMENU, "mFPDFALL", QStringLiteral("全体印刷(&A)"));
    mFPDFSEL = entry(mFPDFMENU, "mFPDFSEL", QStringLiteral("部分印刷(&B)"));
    mFPDFPARA = entry(mFPDFMENU, "mFPDFPARA", QStringLiteral("パラメータ印刷(&P)"));
    mFPRINTSET = entry(mFILE, "mFPRINTSET", QStringLiteral("プリンタ設定(&S)"));
    mFINSERT = entry(mFILE, "mFINSERT", QStringLiteral("データ挿入(&D)"));
    mFILE->addSeparator();
    mFRECENTMENU = mFILE->addMenu(QStringLiteral("最近使ったファイル(&R)"));
    mFRECENT = mFRECENTMENU->menuAction();
    mFRECENT->setObjectName(QStringLiteral("mFRECENT"));
    mFILE->addSeparator();
    mFEND = entry(mFILE, "mFEND", QStringLiteral("終了(&E)"));

    // Shortcuts beside the mnemonics.
    mFOPEN->setShortcut(QKeySequence::Open);       // Ctrl+O
    mFSAVE->setShortcut(QKeySequence::Save);       // Ctrl+S
    mFPRINTALL->setShortcut(QKeySequence::Print);  // Ctrl+P

    mCHANNELMENU = bar->addMenu(QStringLiteral("チャンネル(&C)"));
    mCHANNEL = mCHANNELMENU->menuAction();
    mCHANNEL->setObjectName(QStringLiteral("mCHANNEL"));
    mCHDEL = entry(mCHANNELMENU, "mCHDEL", QStringLiteral("データ削除(&D)"));

    mANALYSISMENU = bar->addMenu(QStringLiteral("解析(&A)"));
    mANALYSIS = mANALYSISMENU->menuAction();
    mANALYSIS->setObjectName(QStringLiteral("mANALYSIS"));
    mASTATS = entry(mANALYSISMENU, "mASTATS", QStringLiteral("統計と逸脱(&S)"));
    mAREPORT = entry(mANALYSISMENU, "mAREPORT", QStringLiteral("レポート印刷(&R)"));

    mHELPMENU = bar->addMenu(QStringLiteral("ヘルプ(&H)"));
    mHELPMENU->menuAction()->setObjectName(QStringLiteral("mHELPMENU"));
    mHELP = entry(mHELPMENU, "mHELP", QStringLiteral("ヘルプ(&H)"));
    mHELP->setShortcut(QKeySequence::HelpContents);  // F1
    mVERSION = entry(mHELPMENU, "mVERSION", QStringLiteral("バージョン情報(&V)"));

    // Header pop-ups.
    popDel = new QMenu(this);
    popDel->setObjectName(QStringLiteral("popDel"));
    popDDEl = popDel->addAction(QString());
    popDDEl->setObjectName(QStringLiteral("popDDEl"));
    connect(popDDEl, &QAction::triggered, this, [this] { confirmAndDelete(popupSelection_, 0); });
    popAll = new QMenu(this);
    popAll->setObjectName(QStringLiteral("popAll"));
    popDAll = popAll->addAction(QStringLiteral("全データ削除"));
    popDAll->setObjectName(QStringLiteral("popDAll"));
    connect(popDAll, &QAction::triggered, this, [this] { confirmAndDelete(kDeleteAll, 0); });
}

QAction* MainWindow::button(const char* key, const QString& tooltip, QAction* target, const QString& image) {
    QAction* b = new QAction(this);
    b->setObjectName(QString::fromLatin1(key));
    b->setToolTip(tooltip);
    b->setText(tooltip);
    if (!image.isEmpty()) b->setIcon(imageList.value(image));
    connect(b, &QAction::triggered, target, &QAction::trigger);
    buttonTarget_.insert(b, target);
    Toolbar1->addAction(b);
    return b;
}

void MainWindow::buildToolbar() {
    Toolbar1 = addToolBar(QStringLiteral("Toolbar1"));
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setMovable(false);
    Toolbar1->setIconSize(QSize(16, 16));
    Toolbar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    btnLRead = button("btnLRead", QStringLiteral("ロガー読み出し"), mLREAD, QStringLiteral("toollog"));
    btnLSet = button("btnLSet", QStringLiteral("ロガーの設定"), mLRECSET, QString());
    Toolbar1->addSeparator();
    btnGraph = button("btnGraph", QStringLiteral("グラフの描画"), mGRAPH, QStringLiteral("toolgl"));
    Toolbar1->addSeparator();
    btnOpen = button("btnOpen", QStringLiteral("データの読み出し"), mFOPEN, QStringLiteral("toolopen"));
    btnSave = button("btnSave", QStringLiteral("上書き保存"), mFSAVE, QStringLiteral("toolsave"));
    Toolbar1->addSeparator();
    btnPrint = button("btnPrint", QStringLiteral("全データ印刷"), mFPRINTALL, QStringLiteral("toolprint"));
    Toolbar1->addSeparator();
    btnAddCh = button("btnAddCh", QStringLiteral("データを追加"), mFINSERT, QString());
    btnDelCh = button("btnDelCh", QStringLiteral("ＣＨデータを削除"), mCHDEL, QString());
    // Buttons without an image of their own show their text.
    for (QAction* b : {btnLSet, btnAddCh, btnDelCh}) {
        if (auto* w = qobject_cast<QToolButton*>(Toolbar1->widgetForAction(b)))
            w->setToolButtonStyle(Qt::ToolButtonTextOnly);
    }
}

void MainWindow::setCommand(QAction* entry, std::function<void()> handler) {
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
        if (a == popDDEl || a == popDAll) continue;
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
        else if (a != popDDEl && a != popDAll)
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
        popAll->popup(globalPos);
        return true;
    }
    if (col >= 2 && col < kGridColumns && ctx_.store.ch[size_t(col - 1)].inUse == 1) {
        popupSelection_ = col;
        popDDEl->setText(deletePopupCaption(col - 1));
        popDel->popup(globalPos);
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
        ctx_, [this](bool on) { mAllRead->setVisible(on); }, this);
    dlg.exec();
}

void MainWindow::closeEvent(QCloseEvent* e) {
    // Message 27 when data is unsaved; the timing and debug files are
    // written whatever the answer.
    if (requestShutdown(ctx_))
        e->accept();
    else
        e->ignore();
}

}  // namespace quillet
