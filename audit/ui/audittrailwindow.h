// "監査証跡": the trail of electronic records mode, filtered by period,
// user and action, with the chain's check at the top; printed and written
// to a tidy CSV file. Thin: the texts and the CSV are audit/trailtable's.
#pragma once

#include "audit/programrecords.h"
#include "audit/trailtable.h"

#include <QAbstractTableModel>
#include <QDialog>

class QComboBox;
class QDateEdit;
class QLabel;
class QTableView;

namespace quillet {
struct AppContext;
}

namespace quillet::audit {

// The entries shown, a row each.
class TrailModel : public QAbstractTableModel {
public:
    explicit TrailModel(QObject* parent) : QAbstractTableModel(parent) {}
    void setEntries(std::vector<AuditEntry> entries, const QTimeZone& zone);
    const std::vector<AuditEntry>& entries() const { return entries_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<AuditEntry> entries_;
    QTimeZone zone_;
};

class AuditTrailWindow : public QDialog {
public:
    AuditTrailWindow(AppContext& ctx, ProgramRecords& records, QWidget* parent);

    // "表示": the entries of the filter chosen.
    void refill();
    // "印刷..." and "CSVに書き出す..." of the entries shown; each leaves an
    // entry in the trail.
    void print();
    void exportCsv();

    TrailFilter chosenFilter() const;
    const ChainCheck& check() const { return check_; }
    const TrailModel& model() const { return *model_; }

    QLabel* checkResult = nullptr;
    QDateEdit* from = nullptr;
    QDateEdit* to = nullptr;
    QComboBox* user = nullptr;
    QComboBox* action = nullptr;
    QTableView* table = nullptr;
    QLabel* count = nullptr;

private:
    void tell(const QString& message);
    void recordDone(const char* what, const QString& object, const QString& newValue);

    AppContext& ctx_;
    ProgramRecords& records_;
    TrailModel* model_;
    ChainCheck check_;
    TrailFilter shown_;
    QTimeZone zone_ = QTimeZone::systemTimeZone();
};

}  // namespace quillet::audit
