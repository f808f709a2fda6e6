// "長期トレンド": logger channels of the archive over a period on one graph
// (archive/trend draws it), zoomed by dragging, moved by the wheel and the
// keys, with the figures of the span shown beside it and its report. Thin:
// the work is archive/'s.
#pragma once

#include "analysis/reportprint.h"
#include "archive/trend.h"

#include <QDialog>

#include <QWidget>
#include <memory>

class QCheckBox;
class QLabel;
class QListWidget;
class QTableWidget;

namespace quillet {
struct AppContext;
}

namespace quillet::archive {

class PeriodChooser;

// The graph: the loaded channels over the view; a drag zooms, Ctrl+Z goes
// back, the wheel, ← → and PageUp/PageDown move, + − zoom around the middle.
class TrendCanvas : public QWidget {
    Q_OBJECT
public:
    explicit TrendCanvas(QWidget* parent = nullptr);
    // New channels: the view is span, the moves stay within bounds.
    void setTrend(const std::vector<TrendChannel>* channels, Period span, Period bounds);
    const TrendView& view() const { return view_; }
    // Shows span (kept within the bounds), the view before it kept for Ctrl+Z.
    void showSpan(Period span);
    // Back to the view before the last zoom or move; false when there is none.
    bool back();
    // Moves by fraction of the span shown (negative: earlier).
    void pan(double fraction);
    // Zooms around the middle: factor < 1 in, > 1 out.
    void zoom(double factor);
    QRectF plotArea() const;

signals:
    void viewChanged();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    qint64 timeAt(double x) const;
    const std::vector<TrendChannel>* channels_ = nullptr;
    TrendView view_;
    Period bounds_;
    std::vector<Period> history_;
    std::optional<double> dragFrom_;
    double dragTo_ = 0;
};

class TrendWindow : public QDialog {
    Q_OBJECT
public:
    // keys: the channels checked at first (up to 8).
    TrendWindow(AppContext& ctx, Archive& archive, const std::vector<SeriesKey>& keys, QWidget* parent = nullptr);

    // Loads the checked channels over the period chosen.
    void load();
    // The figures and excursions of the span shown.
    void refreshFigures();
    // "レポート印刷(&R)", its preview and "PDFで保存" of the span shown.
    void printReport();
    void previewReport();
    void saveReportPdf();

    QListWidget* series = nullptr;
    QCheckBox* allTime = nullptr;
    PeriodChooser* period = nullptr;
    TrendCanvas* canvas = nullptr;
    QTableWidget* figures = nullptr;
    QTableWidget* excursions = nullptr;
    QLabel* shown = nullptr;

    // Electronic records mode: the report's signatures (none without it).
    std::shared_ptr<const ReportSignOff> signOff;

private:
    std::optional<QString> askTitle();
    // The report of the span shown; false when the signing was cancelled.
    bool signedPage(ReportPageContent& page, bool preview);
    AppContext& ctx_;
    Archive& archive_;
    std::vector<SeriesKey> keys_;
    std::vector<TrendChannel> channels_;
};

}  // namespace quillet::archive
