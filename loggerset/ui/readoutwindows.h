// The read-out's windows in the program: ReadoutParametersWindow, then ProgressWindow driven
// by the receive.
#pragma once

#include "comm/readout.h"

class QWidget;

namespace quillet {

class QtReadoutWindows : public ReadoutWindows {
public:
    explicit QtReadoutWindows(QWidget* parent) : parent_(parent) {}
    void showParameterWindow(AppContext& ctx, const std::function<void(Destinations)>& transfer) override;
    void runWithProgress(AppContext& ctx, const std::function<void()>& work) override;

private:
    QWidget* parent_;
};

}  // namespace quillet
