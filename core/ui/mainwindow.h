// MainWindow: the program's main window. It shows the channel store in the data
// grid `grid` and the statistics grid `pgrid`, carries the menu bar, the
// toolbar and the header pop-up menus, and forwards every command to the
// headless code. It is also the MainView the headless code redraws through.
//
// Commands are QActions named after their menu entries (mLREAD, mFOPEN, ...)
// and toolbar keys (btnLRead, ...). An entry does nothing and stays disabled
// until a handler is attached with setCommand(); from then on it follows the
// command-state rule (the data commands are enabled only while a channel is
// in use). A toolbar button triggers its menu entry and follows its state.
#pragma once

#include "core/context.h"
#include "core/statusline.h"
#include "core/ui/gridmodels.h"

#include <QAction>
#include <QIcon>
#include <QLabel>
#include <QMainWindow>
#include <QMap>
#include <QMenu>
#include <QScrollBar>
#include <QTableView>
#include <QToolBar>

#include <functional>

namespace quillet {

class MainWindow : public QMainWindow, public MainView, public StatusLine {
    Q_OBJECT
public:
    // Start-up of the window (the headless start-up has run already): font,
    // size, caption, empty channels labelled, grids laid out, wheel on.
    explicit MainWindow(AppContext& ctx, QWidget* parent = nullptr);
    ~MainWindow() override;

    // MainView.
    void refreshDisplay() override;
    void updateCaption() override;
    void updateCommandStates() override;
    void enableAllCommands() override;
    void setBusy(bool busy) override;
    void showStatus(const QString& text) override;

    // Puts the letters "A".."H" into the headers of the empty channels.
    void labelEmptyChannels();

    // Attaches a handler to a menu entry (or the toolbar button's entry);
    // the entry is enabled by the command-state rule from now on.
    void setCommand(QAction* entry, std::function<void()> handler);
    bool hasCommand(const QAction* entry) const;

    // Marks the columns a deletion asks about: -1 none, 0 all channel
    // columns, 2..9 one data-grid column (and its statistics column).
    void markDeleteSelection(int deleteSelection);

    // Asks message 0 or 1..8 under caption titleNo with the columns marked;
    // OK deletes. Returns whether the channels were deleted.
    bool confirmAndDelete(int deleteSelection, int titleNo);

    // The header pop-up for data-grid column col (what a right-button
    // release over the header opens); false when no menu applies.
    bool showHeaderPopup(int col, const QPoint& globalPos);

    // The top data row shown (the scroll bar's value).
    int topRow() const;

    AppContext& context() { return ctx_; }

signals:
    // A menu entry's handler (or its toolbar button's) has returned.
    void commandFinished();

public:
    // Menus.
    QMenu* mLOGGER = nullptr;        // "ロガー(&L)"
    QMenu* mLSET = nullptr;          //   "ロガー設定&(S)"
    QMenu* mPORT = nullptr;          //   "ポート設定(&P)"
    QMenu* mITUMOMENU = nullptr;     // "いつもの通信(&I)"
    QMenu* mFILE = nullptr;          // "ファイル(&F)"
    QMenu* mFTEXTMENU = nullptr;     //   "テキスト保存(&T)"
    QMenu* mFPRINTMENU = nullptr;    //   "印刷(&P)"
    QMenu* mFPREVIEWMENU = nullptr;  //   "印刷プレビュー(&V)"
    QMenu* mFPDFMENU = nullptr;      //   "PDFで保存(&D)..."
    QMenu* mFRECENTMENU = nullptr;   //   "最近使ったファイル(&R)"
    QMenu* mCHANNELMENU = nullptr;   // "チャンネル(&C)"
    QMenu* mANALYSISMENU = nullptr;  // "解析(&A)"
    QMenu* mHELPMENU = nullptr;      // "ヘルプ(&H)"

    // Entries (object names as the fields).
    QAction* mLREAD = nullptr;       // ロガー読み出し(&R)
    QAction* mLRECSET = nullptr;     // 収録設定(&S)
    QAction* mLPARASET = nullptr;    // パラメータ設定(&P)
    QAction* mAllRead = nullptr;     // 連続読み出し (visible in debug mode)
    QAction* mPORTA = nullptr;       // 自動設定(&A)
    QAction* mPORTM = nullptr;       // 手動設定(&M)
    QAction* mItumo = nullptr;       // いつもの通信(&I)
    QAction* mItumoSet = nullptr;    // 通信設定(&S)
    QAction* mGRAPH = nullptr;       // グラフ(&G) (a command on the menu bar)
    QAction* mFOPEN = nullptr;       // 開く(&O)
    QAction* mFSAVE = nullptr;       // 上書き保存(&A)
    QAction* mFSAVEAS = nullptr;     // 名前を付けて保存(&A)
    QAction* mFTEXT = nullptr;       // the "テキスト保存(&T)" sub-menu
    QAction* mFTEXTSAVE = nullptr;   // テキスト保存(&T)
    QAction* mFCSVSAVE = nullptr;    // ＣＳＶ保存(&C)
    QAction* mFTIDYSAVE = nullptr;   // 表形式CSVで保存...
    QAction* mFXLSXSAVE = nullptr;   // Excelブックで保存...
    QAction* mFPRINT = nullptr;      // the "印刷(&P)" sub-menu
    QAction* mFPRINTALL = nullptr;   // 全体印刷(&A)
    QAction* mFPRINTSEL = nullptr;   // 部分印刷(&B)
    QAction* mFPRINTPARA = nullptr;  // パラメータ印刷(&P)
    QAction* mFPRINTSET = nullptr;   // プリンタ設定(&S)
    // The previews and PDF files of the three prints (sub-menus' entries).
    QAction* mFPREVIEW = nullptr;      // the "印刷プレビュー(&V)" sub-menu
    QAction* mFPREVIEWALL = nullptr;   // 全体印刷(&A)
    QAction* mFPREVIEWSEL = nullptr;   // 部分印刷(&B)
    QAction* mFPREVIEWPARA = nullptr;  // パラメータ印刷(&P)
    QAction* mFPDF = nullptr;          // the "PDFで保存(&D)..." sub-menu
    QAction* mFPDFALL = nullptr;       // 全体印刷(&A)
    QAction* mFPDFSEL = nullptr;       // 部分印刷(&B)
    QAction* mFPDFPARA = nullptr;      // パラメータ印刷(&P)
    QAction* mFRECENT = nullptr;       // the recent files' sub-menu (filled by the file menu's wiring)
    QAction* mFINSERT = nullptr;       // データ挿入(&D)
    QAction* mFEND = nullptr;          // 終了(&E)
    QAction* mCHANNEL = nullptr;       // the "チャンネル(&C)" menu
    QAction* mCHDEL = nullptr;         // データ削除(&D)
    QAction* mANALYSIS = nullptr;      // the "解析(&A)" menu
    QAction* mASTATS = nullptr;        // 統計と逸脱(&S)
    QAction* mAREPORT = nullptr;       // レポート印刷(&R)
    QAction* mHELP = nullptr;          // ヘルプ(&H)
    QAction* mVERSION = nullptr;       // バージョン情報(&V)

    // Toolbar and its buttons (keys as object names).
    QToolBar* Toolbar1 = nullptr;
    QAction* btnLRead = nullptr;
    QAction* btnLSet = nullptr;
    QAction* btnGraph = nullptr;
    QAction* btnOpen = nullptr;
    QAction* btnSave = nullptr;
    QAction* btnPrint = nullptr;
    QAction* btnAddCh = nullptr;
    QAction* btnDelCh = nullptr;
    QMap<QString, QIcon> imageList;

    // Header pop-ups.
    QMenu* popDel = nullptr;
    QAction* popDDEl = nullptr;  // "CH:" letter " 削除"
    QMenu* popAll = nullptr;
    QAction* popDAll = nullptr;  // "全データ削除"

    // The status bar's word on what the last command did.
    QLabel* statusWord = nullptr;

    // Grids and the scroll bar.
    QTableView* grid = nullptr;
    QTableView* pgrid = nullptr;
    QScrollBar* VScroll = nullptr;
    DataGridModel* gridModel = nullptr;
    StatsGridModel* pgridModel = nullptr;

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void buildMenus();
    void buildToolbar();
    void buildGrids();
    void layoutGrids();     // once: the layout and the design sizes
    void applyGridSizes();  // row heights and column widths for the grids' size
    QAction* entry(QMenu* menu, const char* name, const QString& caption);
    QAction* button(const char* key, const QString& tooltip, QAction* target, const QString& image);

    void onScrolled(int value);
    void onColumnMoved(int logical, int oldVisual, int newVisual);
    void wheel(int delta);

    void onDeleteChannels();
    void onHelp();
    void onVersion();

    AppContext& ctx_;
    MainView* previousView_;
    QMap<const QAction*, std::function<void()>> handlers_;
    QMap<QAction*, QAction*> buttonTarget_;  // toolbar button -> menu entry
    // Pixel sizes from the design layout: data rows, the header, the number
    // and time columns, the statistics rows.
    struct GridSizes {
        int rowHeight = 1, headerHeight = 1, col0 = 1, col1 = 1, pRow = 1, pFirstRow = 1;
    } gridSizes_;
    int popupSelection_ = -1;
    int wheelRemainder_ = 0;
    bool undoingMove_ = false;
};

}  // namespace quillet
