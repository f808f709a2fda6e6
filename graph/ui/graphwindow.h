// GraphWindow: the graph window. The picture gImage shows the plot (drawGraph,
// cached and repainted only when ranges, colours, labels, line width or
// reference lines change; the drag rectangle is an overlay), the grid
// gpgrid the statistics of the visible window. The mouse zooms by dragging
// and reads values in the picture's tooltip. While the window is open the
// main window is disabled.
//
// Every menu, entry, pop-up and key is a GraphCommand; its QAction keeps the
// old control's name as its object name (mrange, mgPrint, popRange2, ...).
// The range dialog, the reference-line dialog, printing and the exports are
// attached with setCommand(); their entries (and toolbar buttons) stay
// disabled until then. A dialog calls rangesChanged() after its OK.
#pragma once

#include "core/context.h"
#include "graph/graphscale.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QImage>
#include <QMainWindow>
#include <QMap>
#include <QMenu>
#include <QPointer>
#include <QTableView>
#include <QToolBar>

#include <array>
#include <functional>

namespace quillet {

class MainWindow;
class GraphWindow;

// The graph window's menus, entries, pop-ups and keys, in the order of the
// menu bar.
enum class GraphCommand {
    Range,           // mrange "レンジ変更(&R)" (a command on the menu bar)
    PrintMenu,       // mprint "印刷(&G)"
    Print,           //   mgPrint (Ctrl+P)
    Preview,         //   mgPreview
    Pdf,             //   mgPdf
    PageSetup,       //   mPaperset
    PrinterSetup,    //   mPrinterSetting
    SaveSpan,        // msaveSpan "表示範囲を保存..."
    AnalysisMenu,    // manalysis "解析(&A)"
    Statistics,      //   mgStats: the figures of the visible span
    Report,          //   mgReport: the report of the visible span
    ReportPreview,   //   mgReportPreview: its print preview
    ReportPdf,       //   mgReportPdf: it into a PDF file
    ParameterMenu,   // mpara "パラメータ(&P)"
    Labels,          //   mpLabel (checkable)
    LineWidthMenu,   //   mpLIne "グラフ線幅(&S)"
    ThinLine,        //     mpLIneSe "細"
    ThickLine,       //     mpLIneSe "太"
    ReferenceLines,  //   mpRef "基準線(&K)"
    AlarmLines,      //   mpAlarm: the channels' alarm limits (checkable, on at first)
    Close,           // mend "グラフ終了(&E)"
    ColorPopup,      // popC "色の設定"
    ChangeColor,     //   popColor "CH:A 色変更" ...
    RangePopup,      // popR "レンジ元に戻す"
    RestoreRange,    //   popRange "自動範囲に戻す"
    UndoRange,       //   popRange2 "ひとつ前に戻す" (shown once there is something to undo)
    UndoKey,         // undoRangeKey: Ctrl+Z
    CloseKey,        // closeKey: Esc
};
constexpr int kGraphCommands = int(GraphCommand::CloseKey) + 1;
// The line width's entry: 0 thin, 1 thick.
constexpr GraphCommand lineWidthCommand(int index) { return GraphCommand(int(GraphCommand::ThinLine) + index); }

// gImage: the cached plot and the drag rectangle over it.
class GraphPicture : public QWidget {
    Q_OBJECT
public:
    explicit GraphPicture(GraphWindow& owner);
    void invalidate();                    // the plot is painted again at the next paint
    void setRubberBand(const QRectF& r);  // device pixels; empty = none
    int renderCount() const { return renders_; }

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent*) override;

private:
    GraphWindow& owner_;
    QImage cache_;
    bool dirty_ = true;
    QRectF rubber_;
    int renders_ = 0;
};

// gpgrid's cells: the texts of fillGraphGrid, the header cells (row 0) of
// the channels in their colours.
class GraphGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GraphGridModel(AppContext& ctx, QObject* parent = nullptr) : QAbstractTableModel(parent), ctx_(ctx) {}
    int rowCount(const QModelIndex& = {}) const override { return kGraphGridRows; }
    int columnCount(const QModelIndex& = {}) const override { return kChannels + 1; }
    QVariant data(const QModelIndex& index, int role) const override;
    void refill();    // fillGraphGrid
    void recolour();  // the header colours changed
    const GraphGridTexts& texts() const { return texts_; }

private:
    AppContext& ctx_;
    GraphGridTexts texts_{};
};

class GraphWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit GraphWindow(AppContext& ctx, QWidget* parent = nullptr);

    // Opening from the main window (disabled until the graph closes): the
    // switches of a new window, the automatic X range, the first drawing.
    void open(QWidget* mainWindow);

    // After a range or reference change from outside (the range dialog's OK
    // with clearPicture = true: ranges recomputed and statistics refilled;
    // the reference-line dialog with false: drawn again). Shows the undo
    // item once ctx.graph->undoAvailable is set.
    void rangesChanged(bool clearPicture);

    // The plot geometry of the picture at its current size (twips).
    GraphGeometry plotGeometry() const;
    // Twips per device pixel of the picture.
    double twipsX() const;
    double twipsY() const;

    // The action of a command (a menu's is its menu action); its menu for a
    // menu or a pop-up, else nullptr; its toolbar button, else nullptr (the
    // line-width menu's button toggles the width).
    QAction* action(GraphCommand c) const { return actions_[size_t(c)]; }
    QMenu* menu(GraphCommand c) const { return menus_[size_t(c)]; }
    QAction* toolButton(GraphCommand c) const { return buttons_.value(c); }
    QToolBar* toolbar() const { return toolbar_; }

    // Attaches what an entry does: the range and reference-line dialogs,
    // the print, its preview, PDF, page and printer set-up, the export of
    // the visible span, its figures and its report. Entries without a
    // handler stay disabled.
    void setCommand(GraphCommand c, std::function<void()> handler);
    // Enables the entries that have a handler (open() does it too).
    void updateCommandStates();

    // The colour popup of the grid's header cell of column c (1..8); false
    // for any other column.
    bool showColorPopup(int column, const QPoint& globalPos);

    // Mouse on gImage, in device pixels of the picture.
    void onPlotMousePressed(Qt::MouseButton button, QPointF pos, QPoint globalPos);
    void onPlotMouseMoved(Qt::MouseButtons buttons, QPointF pos, QPoint globalPos);
    void onPlotMouseReleased(Qt::MouseButton button, QPointF pos);

    AppContext& context() { return ctx_; }

    // Controls.
    GraphPicture* gImage = nullptr;
    QTableView* gpgrid = nullptr;
    GraphGridModel* gpgridModel = nullptr;

protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    friend class GraphPicture;
    void buildMenus();
    void buildToolbar();
    void run(GraphCommand c);
    void buildGrid();
    void layoutGridColumns();
    void paintPlot(QPainter& p, const QRectF& target);
    void redraw(bool recompute, bool refillGrid);

    void onLabelsToggled();
    void onAlarmLinesToggled();
    void onLineWidthChosen(int index);
    void onLineWidthToggled();
    void onColorClicked();
    void onRestoreRange();
    void onUndoRange();

    AppContext& ctx_;
    std::array<QAction*, kGraphCommands> actions_{};
    std::array<QMenu*, kGraphCommands> menus_{};
    QMap<GraphCommand, QAction*> buttons_;
    QToolBar* toolbar_ = nullptr;
    QMap<GraphCommand, std::function<void()>> handlers_;
    QPointer<QWidget> mainWindow_;
    int colorColumn_ = 0;
    PlotPoint dragStart_;
    bool dragging_ = false;
};

// Attaches the graph window to "グラフ(G)" and the graph toolbar button, and
// its range and reference-line dialogs and the graph print to the window.
void wireGraph(MainWindow& window, AppContext& ctx, GraphWindow& graph);
// The same with a graph window built the first time it opens (start-up
// builds only what the first window shows), then handed to built; it lives
// as long as the main window's command.
void wireGraph(MainWindow& window, AppContext& ctx, std::function<void(GraphWindow&)> built);

}  // namespace quillet
