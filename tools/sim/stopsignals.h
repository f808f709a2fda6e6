// The stop signals (SIGTERM, SIGINT; Ctrl+C on Windows) end the simulator's
// serving loop.
#pragma once

#ifndef _WIN32
#include <csignal>
#endif

namespace quillet::sim {

void installStopSignals();
bool stopRequested();

#ifndef _WIN32
// The signal mask to wait with: the stop signals let through.
const sigset_t& stopWaitMask();
#endif

}  // namespace quillet::sim
