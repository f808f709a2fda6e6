// The windows of the "アーカイブ(&R)" menu: the search window (read-outs by
// logger, period and site, opened into the main window), the figures of a
// logger channel over a period, the import of files and folders, and the
// archive's settings. Thin: the work is archive/'s.
#pragma once

#include "analysis/reportprint.h"
#include "archive/archive.h"
#include "archive/series.h"

#include <QDialog>

#include <memory>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QTableWidget;

namespace quillet {
struct AppContext;
class MainWindow;
}  // namespace quillet

namespace quillet::archive {

// The archive of the user's settings; nullptr after the message box.
std::unique_ptr<Archive> openConfiguredArchive(AppContext& ctx);

// A period chooser: 7 / 30 / 90 days, this quarter, this year, or from–to.
class PeriodChooser : public QWidget {
    Q_OBJECT
public:
    explicit PeriodChooser(QWidget* parent = nullptr);
    Period period() const;
    QComboBox* choice = nullptr;
    QDateEdit* from = nullptr;
    QDateEdit* to = nullptr;

signals:
    void changed();
};

class ArchiveSearchWindow : public QDialog {
    Q_OBJECT
public:
    ArchiveSearchWindow(AppContext& ctx, Archive& archive, QWidget* parent = nullptr);

    // Fills the table from the filters.
    void search();
    // Opens the selected read-outs into the main window.
    void openSelected(StoreEntry entry);
    std::vector<qint64> selectedIds() const;
    // "長期トレンド" of the selected read-out's logger (else the chosen one).
    void showTrend();
    // Electronic records mode: the trend report's signatures.
    std::shared_ptr<const ReportSignOff> signOff;

    QComboBox* logger = nullptr;
    QCheckBox* wholeTime = nullptr;
    PeriodChooser* period = nullptr;
    QLineEdit* site = nullptr;
    QTableWidget* table = nullptr;
    QLabel* found = nullptr;

private:
    AppContext& ctx_;
    Archive& archive_;
    std::vector<Readout> shown_;
};

class PeriodStatsWindow : public QDialog {
    Q_OBJECT
public:
    PeriodStatsWindow(AppContext& ctx, Archive& archive, QWidget* parent = nullptr);
    void refill();

    QComboBox* series = nullptr;
    PeriodChooser* period = nullptr;
    QLabel* head = nullptr;
    QTableWidget* table = nullptr;

private:
    AppContext& ctx_;
    Archive& archive_;
    std::vector<SeriesKey> keys_;
};

class ArchiveSettingsDialog : public QDialog {
    Q_OBJECT
public:
    ArchiveSettingsDialog(AppContext& ctx, QWidget* parent = nullptr);
    // Saves the settings; false (after the message) when they cannot be used.
    bool apply();

    QLineEdit* location = nullptr;
    QLineEdit* site = nullptr;
    QCheckBox* importOnSave = nullptr;

private:
    AppContext& ctx_;
};

// "アーカイブ(&R)" of the main window. signOff: electronic records mode's
// signatures of the trend report (none without the mode).
void wireArchive(MainWindow& window, AppContext& ctx, std::shared_ptr<const ReportSignOff> signOff = {});

}  // namespace quillet::archive
