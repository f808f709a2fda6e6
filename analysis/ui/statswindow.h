// "統計と逸脱": the figures of every channel in use over rows of the time
// axis, a column per channel and a row per figure, with the ΔH/R of the mean
// kinetic temperature editable (kept in the analysis settings file).
#pragma once

#include "analysis/figures.h"

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace quillet {

struct AppContext;

class StatsWindow : public QDialog {
    Q_OBJECT
public:
    // rows: the whole axis, or the graph window's visible span.
    StatsWindow(AppContext& ctx, AxisRows rows, QWidget* parent = nullptr);

    // Takes the ΔH/R of the field: refilled and saved when it is a valid
    // value, else the message and the old value back in the field.
    void applyDeltaHOverR();
    double deltaHOverR() const { return deltaHOverR_; }

    QLabel* span = nullptr;
    QLineEdit* dhr = nullptr;
    QTableWidget* table = nullptr;
    QTableWidget* excursions = nullptr;  // every excursion, one a row
    QPushButton* reportButton = nullptr;

    // Ctrl+C: the whole table as tab-separated text on the clipboard.
    void copyTable();
    // "ＣＳＶ保存": the table into a CSV file chosen in the save dialog.
    void saveCsv();
    // "レポート印刷": the report of the same rows (set by the wiring; without
    // it the button is hidden).
    std::function<void()> printReport;

private:
    void refill();
    void fillExcursions();

    AppContext& ctx_;
    AxisRows rows_;
    double deltaHOverR_;
    std::vector<ChannelFigures> figures_;
};

// Opens the window (modal) over rows; printReport prints their report.
void showStatsWindow(AppContext& ctx, AxisRows rows, QWidget* parent, std::function<void()> printReport = {});

}  // namespace quillet
