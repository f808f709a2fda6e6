// MainWindow: the program's main window. It shows the channel store in the data
// grid `grid` and the statistics grid `pgrid`, carries the menu bar, the
// toolbar and the header pop-up menus, and forwards every command to the
// headless code. It is also the MainView the headless code redraws through.
//
// Every menu, entry and header pop-up is a Command; its QAction keeps the old
// control's name as its object name (mLREAD, mFOPEN, popDDEl, ...), as the
// toolbar buttons keep their keys (btnLRead, ...). An entry does nothing and
// stays disabled until a handler is attached with setCommand(); from then
// on it follows the command-state rule (the data commands are enabled only
// while a channel is in use). A toolbar button triggers its menu entry and
// follows its state.
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

#include <array>
#include <functional>

namespace quillet {

// The main window's menus, their entries and the header pop-ups, in the
// order of the menu bar.
enum class Command {
    LoggerMenu,          // mLOGGER "ロガー(&L)"
    ReadLogger,          //   mLREAD
    LoggerSettingsMenu,  //   mLSET
    RecordingSettings,   //     mLRECSET
    SettingCharacters,   //     mLPARASET
    ReadAll,             //   mAllRead (shown in debug mode)
    PortMenu,            //   mPORT
    SearchPort,          //     mPORTA
    ChoosePort,          //     mPORTM
    UsualMenu,           // mITUMOMENU
    Usual,               //   mItumo
    UsualSettings,       //   mItumoSet
    Graph,               // mGRAPH (a command on the menu bar)
    FileMenu,            // mFILE
    Open,                //   mFOPEN
    Save,                //   mFSAVE
    SaveAs,              //   mFSAVEAS
    TextMenu,            //   mFTEXT
    TextExport,          //     mFTEXTSAVE
    CsvExport,           //     mFCSVSAVE
    TidyCsvExport,       //   mFTIDYSAVE
    WorkbookExport,      //   mFXLSXSAVE
    PrintMenu,           //   mFPRINT
    PrintAll,            //     mFPRINTALL
    PrintPart,           //     mFPRINTSEL
    PrintParameters,     //     mFPRINTPARA
    PreviewMenu,         //   mFPREVIEW
    PreviewAll,          //     mFPREVIEWALL
    PreviewPart,         //     mFPREVIEWSEL
    PreviewParameters,   //     mFPREVIEWPARA
    PdfMenu,             //   mFPDF
    PdfAll,              //     mFPDFALL
    PdfPart,             //     mFPDFSEL
    PdfParameters,       //     mFPDFPARA
    PrinterSettings,     //   mFPRINTSET
    Insert,              //   mFINSERT
    RecentMenu,          //   mFRECENT (filled by the file menu's wiring)
    Exit,                //   mFEND
    ChannelMenu,         // mCHANNEL
    DeleteChannels,      //   mCHDEL
    AnalysisMenu,        // mANALYSIS
    Statistics,          //   mASTATS
    Report,              //   mAREPORT
    ReportPreview,       //   mAPREVIEW: the report in the print preview
    ReportPdf,           //   mAPDF: the report into a PDF file
    ArchiveMenu,         // mARCHIVE "アーカイブ(&R)"
    ArchiveSearch,       //   mARSEARCH
    ArchivePeriod,       //   mARPERIOD
    ArchiveTrend,        //   mARTREND
    ArchiveImport,       //   mARIMPORT
    ArchiveSettings,     //   mARSETTINGS
    AuditTrail,          //   mARAUDIT: the audit trail of electronic records mode
    RecordsSettings,     //   mARRECORDS: the mode, its users and its settings
    HelpMenu,            // mHELPMENU
    Help,                //   mHELP
    Version,             //   mVERSION
    ChannelPopup,        // popDel: the header pop-up of one channel
    DeleteChannel,       //   popDDEl "CH:" letter " 削除"
    AllPopup,            // popAll: the header pop-up of every channel
    DeleteAll,           //   popDAll "全データ削除"
};
constexpr int kCommands = int(Command::DeleteAll) + 1;

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

    // The action of a command (a menu's is its menu action); its menu for
    // a menu or a pop-up, else nullptr; its toolbar button, else nullptr.
    QAction* action(Command c) const { return actions_[size_t(c)]; }
    QMenu* menu(Command c) const { return menus_[size_t(c)]; }
    QAction* toolButton(Command c) const { return buttons_.value(c); }
    QToolBar* toolbar() const { return toolbar_; }
    // The toolbar's images by their keys ("toollog", "toolopen", ...).
    const QMap<QString, QIcon>& toolbarImageList() const { return imageList_; }

    // Attaches a handler to a menu entry (and its toolbar button); the entry
    // is enabled by the command-state rule from now on.
    void setCommand(Command c, std::function<void()> handler);
    bool hasCommand(const QAction* entry) const;
    // Asked before every command runs (electronic records mode: the
    // signed-in user's role); false leaves the command undone.
    std::function<bool(Command)> commandGuard;

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
    QAction* button(const char* key, const QString& tooltip, Command target, const QString& image);
    void runCommand(const QAction* a);

    void onScrolled(int value);
    void onColumnMoved(int logical, int oldVisual, int newVisual);
    void wheel(int delta);

    void onDeleteChannels();
    void onHelp();
    void onVersion();

    AppContext& ctx_;
    MainView* previousView_;
    std::array<QAction*, kCommands> actions_{};
    std::array<QMenu*, kCommands> menus_{};
    QMap<Command, QAction*> buttons_;  // command -> its toolbar button
    QToolBar* toolbar_ = nullptr;
    QMap<QString, QIcon> imageList_;
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
