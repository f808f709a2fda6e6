#include "analysis/ui/statswindow.h"

#include "analysis/analysissettings.h"
#include "analysis/figuretexts.h"
#include "core/catalog.h"
#include "core/context.h"
#include "core/store.h"
#include "core/uitexts.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
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
    table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(table);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(dhr, &QLineEdit::editingFinished, this, &StatsWindow::applyDeltaHOverR);
    refill();
    resize(1180, 720);
}

void StatsWindow::applyDeltaHOverR() {
    const std::optional<double> v = parseDeltaHOverR(dhr->text());
    if (!v) {
        dhr->setText(QString::number(deltaHOverR_));
        showMessage(ctx_, Caption::Analysis, Msg::BadDeltaHOverR, kOkOnly | kIconExclamation);
        return;
    }
    if (*v == deltaHOverR_) return;
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
    const std::vector<ChannelFigures> figures = channelFigures(s, rows_, deltaHOverR_);
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
    table->resizeColumnsToContents();
}

void showStatsWindow(AppContext& ctx, AxisRows rows, QWidget* parent) {
    StatsWindow w(ctx, rows, parent);
    w.exec();
}

}  // namespace quillet
