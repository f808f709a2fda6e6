#include "audit/ui/audittrailwindow.h"

#include "audit/audittexts.h"
#include "core/catalog.h"
#include "core/context.h"
#include "print/printjobs.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace quillet::audit {

using archive::ArchiveFailure;

void TrailModel::setEntries(std::vector<AuditEntry> entries, const QTimeZone& zone) {
    beginResetModel();
    entries_ = std::move(entries);
    zone_ = zone;
    endResetModel();
}

int TrailModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(entries_.size()); }
int TrailModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kTrailColumns; }

QVariant TrailModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || size_t(index.row()) >= entries_.size()) return {};
    const AuditEntry& e = entries_[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: return trailCellText(e, index.column(), zone_);
    case Qt::TextAlignmentRole:
        return index.column() == 0 ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                   : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    default: return {};
    }
}

QVariant TrailModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) return trailColumnHead(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

AuditTrailWindow::AuditTrailWindow(AppContext& ctx, ProgramRecords& records, QWidget* parent)
    : QDialog(parent), ctx_(ctx), records_(records), model_(new TrailModel(this)) {
    setObjectName(QStringLiteral("AuditTrailWindow"));
    setWindowTitle(text(kTrailTitle));
    auto* layout = new QVBoxLayout(this);

    checkResult = new QLabel(this);
    checkResult->setWordWrap(true);
    checkResult->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(checkResult);

    const TrailFilter initial = lastDaysFilter(QDate::currentDate());
    auto* filters = new QHBoxLayout;
    from = new QDateEdit(initial.from, this);
    to = new QDateEdit(initial.to, this);
    for (QDateEdit* d : {from, to}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    }
    user = new QComboBox(this);
    user->addItem(text(kTrailAll));
    action = new QComboBox(this);
    action->addItem(text(kTrailAll));
    for (const QString& word : trailActionWords()) action->addItem(actionText(word), word);
    auto* show = new QPushButton(text(kTrailShow), this);
    filters->addWidget(new QLabel(text(kTrailPeriod), this));
    filters->addWidget(from);
    filters->addWidget(new QLabel(text(kTrailTo), this));
    filters->addWidget(to);
    filters->addSpacing(12);
    filters->addWidget(new QLabel(text(kTrailUser), this));
    filters->addWidget(user);
    filters->addSpacing(12);
    filters->addWidget(new QLabel(text(kTrailAction), this));
    filters->addWidget(action);
    filters->addSpacing(12);
    filters->addWidget(show);
    filters->addStretch(1);
    layout->addLayout(filters);

    table = new QTableView(this);
    table->setModel(model_);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setWordWrap(false);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->horizontalHeader()->setStretchLastSection(true);
    const int widths[kTrailColumns] = {56, 140, 100, 90, 130, 200, 180, 180, 120};
    for (int c = 0; c < kTrailColumns; ++c) table->setColumnWidth(c, widths[c]);
    layout->addWidget(table, 1);

    auto* bottom = new QHBoxLayout;
    count = new QLabel(this);
    bottom->addWidget(count, 1);
    auto* buttons = new QDialogButtonBox(this);
    auto* printButton = buttons->addButton(text(kTrailPrint), QDialogButtonBox::ActionRole);
    auto* exportButton = buttons->addButton(text(kTrailExport), QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Close);
    bottom->addWidget(buttons);
    layout->addLayout(bottom);

    connect(show, &QPushButton::clicked, this, [this] { refill(); });
    connect(printButton, &QPushButton::clicked, this, [this] { print(); });
    connect(exportButton, &QPushButton::clicked, this, [this] { exportCsv(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(1280, 660);

    if (!records_.on()) {
        check_.fault = ChainFault::Failed;
        checkResult->setText(text(kTrailModeOff));
        for (QWidget* w : std::initializer_list<QWidget*>{show, printButton, exportButton}) w->setEnabled(false);
        return;
    }
    // The check as the window opens: the whole chain, users and signatures.
    check_ = records_.records().check();
    checkResult->setText(chainCheckText(check_));
    checkResult->setStyleSheet(check_ ? QStringLiteral("QLabel { font-weight: bold; }")
                                      : QStringLiteral("QLabel { color: #c00000; font-weight: bold; }"));
    ArchiveFailure f;
    for (const User& u : records_.records().users(f))
        user->addItem(u.name.isEmpty() || u.name == u.id ? u.id : u.id + QStringLiteral(" (") + u.name + u')', u.id);
    refill();
}

TrailFilter AuditTrailWindow::chosenFilter() const {
    TrailFilter f{from->date(), to->date(), std::nullopt, std::nullopt};
    if (user->currentIndex() > 0) f.user = user->currentData().toString();
    if (action->currentIndex() > 0) f.action = action->currentData().toString();
    return f;
}

void AuditTrailWindow::tell(const QString& message) {
    ctx_.messages->show(text(kTrailTitle), message, kOkOnly | kIconExclamation);
}

void AuditTrailWindow::refill() {
    if (!records_.on()) return;
    const TrailFilter f = chosenFilter();
    if (f.from > f.to) {
        tell(text(kTrailPeriodReversed));
        return;
    }
    ArchiveFailure failure;
    std::vector<AuditEntry> entries = records_.records().entries(entryFilterOf(f, zone_), failure);
    if (failure) {
        tell(text(kTrailUnreadable).arg(failure.detail));
        return;
    }
    shown_ = f;
    model_->setEntries(std::move(entries), zone_);
    count->setText(text(kTrailCount).arg(model_->entries().size()) + QStringLiteral("　") + trailFilterText(f));
    if (model_->rowCount() > 0) table->scrollToBottom();
}

void AuditTrailWindow::recordDone(const char* what, const QString& object, const QString& newValue) {
    if (const ArchiveFailure f = records_.record(what, object, {}, newValue))
        tell(text(kTrailNotRecorded).arg(f.detail));
}

void AuditTrailWindow::print() {
    if (!records_.on() || !printerChecks(ctx_)) return;
    if (const PrintFault f = ctx_.printer->printerDialog()) {
        printFailed(ctx_, f);
        return;
    }
    const QString filter = trailFilterText(shown_);
    const int pages = printTrail(ctx_, *ctx_.printer, {model_->entries(), chainCheckText(check_), filter, zone_});
    if (pages > 0)
        recordDone(action::kReportPrint, text(kTrailTitle),
                   text(kTrailPrinted).arg(model_->entries().size()).arg(pages).arg(filter));
}

void AuditTrailWindow::exportCsv() {
    if (!records_.on()) return;
    FileDialogRequest request;
    request.title = text(kTrailCsvTitle);
    request.filter = text(kTrailCsvFilter);
    request.defaultExtension = QStringLiteral("csv");
    request.initialName = text(kTrailCsvName).arg(QDate::currentDate().toString(QStringLiteral("yyyyMMdd")));
    const std::optional<QString> file = ctx_.dialogs->saveFile(request);
    if (!file || file->isEmpty()) return;
    if (QFileInfo::exists(*file) && showMessage(ctx_, Caption::SaveFile, Msg::OverwriteFile, kOkCancel) != kOk) return;
    if (const SaveError e = writeFileAtomically(*file, trailCsvBytes(model_->entries(), zone_)); e != SaveError::None) {
        showRuntimeError(ctx_, runtimeErrorOf(e), captionText(Caption::SaveFile), kOkOnly);
        return;
    }
    recordDone(action::kExport, *file, text(kTrailExported).arg(model_->entries().size()).arg(trailFilterText(shown_)));
}

}  // namespace quillet::audit
