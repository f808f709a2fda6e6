// The read-out's windows answered without windows: OK with logger channels 1
// and 2 into grid channels A and B, the transfer run at once.
#pragma once

#include "comm/readout.h"
#include "core/context.h"

namespace quillet::fakes {

struct ChannelsABWindows : ReadoutWindows {
    void showParameterWindow(AppContext&, const std::function<void(Destinations)>& transfer) override {
        transfer({1, 2});
    }
    void runWithProgress(AppContext&, const std::function<void()>& work) override { work(); }
};

}  // namespace quillet::fakes
