#include "comm/ui/progresswindow.h"

#include "comm/link.h"
#include "core/uitexts.h"

#include <QVBoxLayout>

#include <algorithm>

namespace quillet {

ProgressWindow::ProgressWindow(AppContext& ctx, std::function<void()> start, QWidget* parent)
    : QDialog(parent), ctx_(ctx), start_(std::move(start)) {
    setObjectName(QStringLiteral("PROGRESS"));
    setWindowTitle(uiText(ui::kReadingRecordsTitle));
    setModal(true);
    DataReadBar = new QProgressBar(this);
    DataReadBar->setObjectName(QStringLiteral("DataReadBar"));
    DataReadBar->setMinimum(0);
    DataReadBar->setValue(0);
    DataReadBar->setMinimumWidth(320);
    progcansel = new QPushButton(QStringLiteral("Cancel"), this);
    progcansel->setObjectName(QStringLiteral("progcansel"));
    progcansel->setAutoDefault(false);
    connect(progcansel, &QPushButton::clicked, this, &ProgressWindow::onCancelClicked);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DataReadBar);
    layout->addWidget(progcansel, 0, Qt::AlignHCenter);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(1);
    connect(Timer1, &QTimer::timeout, this, &ProgressWindow::onTick);
}

void ProgressWindow::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!started_) {
        started_ = true;
        Timer1->start();
    }
}

void ProgressWindow::onTick() {
    Timer1->stop();
    if (start_) {
        auto start = std::move(start_);  // once only
        start_ = nullptr;
        start();
    }
}

void ProgressWindow::setMaximum(int maximum) { DataReadBar->setMaximum(std::max(0, maximum)); }

void ProgressWindow::setValue(int value) {
    DataReadBar->setValue(std::clamp(value, DataReadBar->minimum(), DataReadBar->maximum()));
}

void ProgressWindow::onCancelClicked() {
    requestCancel(ctx_);  // a pending receive ends at once
    Timer1->stop();
    QDialog::reject();
}

void ProgressWindow::reject() { onCancelClicked(); }

}  // namespace quillet
