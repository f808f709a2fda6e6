// ProgressWindow: the window shown while recorded data is read out of a logger
// ("収録データ読み出し中"). Once it is visible, its one-shot timer Timer1
// calls the start function (the read-out's transfer) a single time; the
// transfer drives the bar and closes the window. Cancel asks the transfer
// to stop (requestCancel), so a pending receive ends at once.
#pragma once

#include "core/context.h"

#include <QDialog>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <functional>

namespace quillet {

class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    ProgressWindow(AppContext& ctx, std::function<void()> start, QWidget* parent = nullptr);

    // The bar (characters expected and received).
    void setMaximum(int maximum);
    void setValue(int value);

    void onTick();
    void onCancelClicked();

    QProgressBar* DataReadBar = nullptr;
    QPushButton* progcansel = nullptr;
    QTimer* Timer1 = nullptr;

protected:
    void showEvent(QShowEvent* e) override;
    void reject() override;  // Esc and the close box cancel too

private:
    AppContext& ctx_;
    std::function<void()> start_;
    bool started_ = false;
};

}  // namespace quillet
