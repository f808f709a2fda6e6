// GraphWindow: the graph window. The picture gImage shows the plot (drawGraph,
// cached and repainted only when ranges, colours, labels, line width or
// reference lines change; the drag rectangle is an overlay), the grid
// gpgrid the statistics of the visible window. The mouse zooms by dragging
// and reads values in the picture's tooltip. While the window is open the
// main window is disabled.
//
// The range dialog, the reference-line dialog and printing are attached
// through the public hooks below; their entries stay disabled while a hook
// is empty. A dialog calls rangesChanged() after its OK.
#pragma once

#include "core/context.h"
#include "graph/graphscale.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QImage>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <QTableView>
#include <QToolBar>

#include <array>
#include <functional>

namespace quillet {

class MainWindow;
class GraphWindow;

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

    // Hooks of the dialogs and the graph print; empty = entry disabled.
    std::function<void()> openRangeDialog;      // mrange, btnRange
    std::function<void()> openReferenceDialog;  // mpRef, btnref
    std::function<void()> printGraph;           // mgPrint, btnprint
    std::function<void()> pageSetup;            // mPaperset
    std::function<void()> printerSetup;         // mPrinterSetting
    std::function<void()> previewGraph;         // mgPreview
    std::function<void()> saveGraphPdf;         // mgPdf
    std::function<void()> saveVisibleSpan;      // msaveSpan
    std::function<void()> openStats;            // mgStats: the figures of the visible span
    std::function<void()> printReport;          // mgReport: the report of the visible span
    // Enables the entries of the hooks that are set (open() does it too).
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
    QToolBar* Toolbar1 = nullptr;
    QAction* mrange = nullptr;           // "レンジ変更(&R)"
    QMenu* mprint = nullptr;             // "印刷(&G)"
    QAction* mgPrint = nullptr;          //   "グラフ印刷(&P)" (Ctrl+P)
    QAction* mgPreview = nullptr;        //   "印刷プレビュー(&V)"
    QAction* mgPdf = nullptr;            //   "PDFで保存(&D)..."
    QAction* mPaperset = nullptr;        //   "ページ設定(&Y)"
    QAction* mPrinterSetting = nullptr;  //   "プリンタ設定(&P)"
    QMenu* manalysis = nullptr;          // "解析(&A)"
    QAction* mgStats = nullptr;          //   "統計と逸脱(&S)"
    QAction* mgReport = nullptr;         //   "レポート印刷(&R)"
    QMenu* mpara = nullptr;              // "パラメータ(&P)"
    QAction* mpLabel = nullptr;          //   "ラベル表示(&L)"
    QMenu* mpLIne = nullptr;             //   "グラフ線幅(&S)"
    std::array<QAction*, 2> mpLIneSe{};  //     "細", "太"
    QAction* mpRef = nullptr;            //   "基準線(&K)"
    QAction* msaveSpan = nullptr;        // "表示範囲を保存..."
    QAction* mend = nullptr;             // "グラフ終了(&E)"
    QMenu* popC = nullptr;               // "色の設定"
    QAction* popColor = nullptr;         //   "CH:A 色変更" ...
    QMenu* popR = nullptr;               // "レンジ元に戻す"
    QAction* popRange = nullptr;         //   "自動範囲に戻す"
    QAction* popRange2 = nullptr;        //   "ひとつ前に戻す"
    QAction* undoRangeKey = nullptr;     // Ctrl+Z: "ひとつ前に戻す" from the keyboard
    QAction* closeKey = nullptr;         // Esc: closes the window
    QAction* btnRange = nullptr;
    QAction* btnprint = nullptr;
    QAction* btnlabel = nullptr;
    QAction* btnline = nullptr;
    QAction* btnref = nullptr;

protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    friend class GraphPicture;
    void buildMenus();
    void buildToolbar();
    void buildGrid();
    void layoutGridColumns();
    void paintPlot(QPainter& p, const QRectF& target);
    void redraw(bool recompute, bool refillGrid);

    void onLabelsToggled();
    void onLineWidthChosen(int index);
    void onLineWidthToggled();
    void onColorClicked();
    void onRestoreRange();
    void onUndoRange();

    AppContext& ctx_;
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
