#include "analysis/ui/statswindow.h"

#include "analysis/analysissettings.h"
#include "analysis/excursions.h"
#include "analysis/figuretexts.h"
#include "core/catalog.h"
#include "core/context.h"
#include "core/savefile.h"
#include "core/store.h"
#include "core/uitexts.h"

#include <QAction>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

namespace quillet {

StatsWindow::StatsWindow(AppContext& ctx, AxisRows rows, QWidget* parent)
    : QDialog(parent), ctx_(ctx), rows_(rows), deltaHOverR_(loadDeltaHOverR(analysisSettingsFile(ctx.folders))) {
    setObjectName(QStringLiteral("ANALYSIS"));
    setWindowTitle(captionText(Caption::Analysis));
    auto* layout = new QVBoxLayout(this);
    span = new QLabel(this);
    layout->addWidget(span);
    auto* dhrRow = new QHBoxLayout;
    dhrRow->addWidget(new QLabel(uiText(ui::kDeltaHOverRLabel), this));
    dhr = new QLineEdit(QString::number(deltaHOverR_), this);
    dhr->setObjectName(QStringLiteral("txtDhr"));
    dhr->setMaximumWidth(120);
    dhrRow->addWidget(dhr);
    dhrRow->addStretch();
    layout->addLayout(dhrRow);
    table = new QTableWidget(this);
    table->setObjectName(QStringLiteral("figures"));
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The table fills the window.
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    layout->addWidget(table, 3);
    layout->addWidget(new QLabel(uiText(ui::kExcursionListLabel), this));
    excursions = new QTableWidget(this);
    excursions->setObjectName(QStringLiteral("excursions"));
    excursions->setEditTriggers(QAbstractItemView::NoEditTriggers);
    excursions->verticalHeader()->hide();
    excursions->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    layout->addWidget(excursions, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    reportButton = buttons->addButton(uiText(ui::kReportEntry), QDialogButtonBox::ActionRole);
    reportButton->setObjectName(QStringLiteral("btnReport"));
    connect(reportButton, &QPushButton::clicked, this, [this] {
        if (printReport) printReport();
    });
    auto* csv = buttons->addButton(uiText(ui::kCsvExportEntry), QDialogButtonBox::ActionRole);
    csv->setObjectName(QStringLiteral("btnCsv"));
    connect(csv, &QPushButton::clicked, this, &StatsWindow::saveCsv);
    layout->addWidget(buttons);
    // Enter belongs to the ΔH/R field: it applies the value and the window
    // stays open to show the figures it gives.
    for (QAbstractButton* b : buttons->buttons())
        if (auto* push = qobject_cast<QPushButton*>(b)) {
            push->setAutoDefault(false);
            push->setDefault(false);
        }
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(dhr, &QLineEdit::editingFinished, this, &StatsWindow::applyDeltaHOverR);
    auto* copy = new QAction(this);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    table->addAction(copy);
    connect(copy, &QAction::triggered, this, &StatsWindow::copyTable);
    refill();
    // Within the screen's room, as large as the figures want.
    QSize size(1180, 720);
    if (const QScreen* screen = this->screen())
        size = size.boundedTo(screen->availableGeometry().size() - QSize(40, 80));
    resize(size);
}

void StatsWindow::fillExcursions() {
    const std::vector<Excursion> list = excursionList(ctx_.store, rows_);
    excursions->clear();
    excursions->setColumnCount(6);
    excursions->setRowCount(int(list.size()));
    excursions->setHorizontalHeaderLabels({uiText(ui::kChannelColumn), uiText(ui::kExcursionLimitColumn),
                                           uiText(ui::kExcursionStartColumn), uiText(ui::kExcursionEndColumn),
                                           uiText(ui::kExcursionDurationColumn), uiText(ui::kExcursionPeakColumn)});
    for (int row = 0; row < int(list.size()); ++row) {
        const Excursion& e = list[size_t(row)];
        const QString limit = QString::number(e.limit, 'f', 1);
        const QStringList cells = {
            figureColumnHead(ctx_, e.channel),
            uiText(e.above ? ui::kExcursionAbove : ui::kExcursionBelow).arg(limit),
            dateTimeText(e.start),
            dateTimeText(e.end),
            durationText(e.seconds),
            QString::number(e.peak, 'f', 1),
        };
        for (int col = 0; col < int(cells.size()); ++col) {
            auto* item = new QTableWidgetItem(cells[col]);
            item->setTextAlignment((col < 2 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
            excursions->setItem(row, col, item);
        }
    }
}

void StatsWindow::saveCsv() {
    const std::optional<QString> file =
        ctx_.dialogs->saveFile({uiText(ui::kSaveCsvTitle), uiText(ui::kCsvFilter), QStringLiteral("csv"), QString()});
    if (!file || file->isEmpty()) return;
    ctx_.messages->concern(*file);
    if (QFileInfo::exists(*file) && showMessage(ctx_, Caption::SaveFile, Msg::OverwriteFile, kOkCancel) != kOk) {
        ctx_.messages->concern(QString());
        return;
    }
    if (const SaveError error = writeFileAtomically(*file, figuresCsv(ctx_, figures_)); error != SaveError::None)
        showRuntimeError(ctx_, runtimeErrorOf(error), captionText(Caption::SaveFile), kOkOnly | kIconError);
    ctx_.messages->concern(QString());
}

void StatsWindow::copyTable() { QGuiApplication::clipboard()->setText(figuresTabSeparated(ctx_, figures_)); }

void StatsWindow::applyDeltaHOverR() {
    const std::optional<double> v = parseDeltaHOverR(dhr->text());
    if (!v) {
        dhr->setText(QString::number(deltaHOverR_));
        showMessage(ctx_, Caption::Analysis, Msg::BadDeltaHOverR, kOkOnly | kIconExclamation);
        return;
    }
    if (*v == deltaHOverR_) return;
    // Electronic records mode: the change with its reason in the trail.
    if (ctx_.changes && !ctx_.changes->settingChanging(QStringLiteral("ΔH/R"), QString::number(deltaHOverR_, 'f', 1),
                                                       QString::number(*v, 'f', 1))) {
        dhr->setText(QString::number(deltaHOverR_));
        return;
    }
    deltaHOverR_ = *v;
    if (const Saved saved = saveDeltaHOverR(deltaHOverR_, analysisSettingsFile(ctx_.folders)); !saved)
        showRuntimeError(ctx_, runtimeErrorOf(saved.error), captionText(Caption::Analysis), kOkOnly | kIconError);
    refill();
}

void StatsWindow::refill() {
    const ChannelStore& s = ctx_.store;
    span->setText(uiText(ui::kPeriodLine)
                      .arg(dateTimeText(rowTime(s, rows_.first)), dateTimeText(rowTime(s, rows_.last)))
                      .arg(rows_.first)
                      .arg(rows_.last));
    figures_ = channelFigures(s, rows_, deltaHOverR_);
    const std::vector<ChannelFigures>& figures = figures_;
    fillExcursions();
    table->clear();
    table->setRowCount(kFigureRows);
    table->setColumnCount(int(figures.size()));
    QStringList labels;
    for (int row = 0; row < kFigureRows; ++row) labels << figureRowLabel(row);
    table->setVerticalHeaderLabels(labels);
    for (int col = 0; col < int(figures.size()); ++col) {
        const ChannelFigures& f = figures[size_t(col)];
        table->setHorizontalHeaderItem(col, new QTableWidgetItem(figureColumnHead(ctx_, f.channel)));
        for (int row = 0; row < kFigureRows; ++row) {
            auto* item = new QTableWidgetItem(figureText(f, row));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(row, col, item);
        }
    }
}

void showStatsWindow(AppContext& ctx, AxisRows rows, QWidget* parent, std::function<void()> printReport) {
    StatsWindow w(ctx, rows, parent);
    w.printReport = std::move(printReport);
    w.reportButton->setVisible(bool(w.printReport));
    w.exec();
}

}  // namespace quillet
