// The stop signals. On POSIX systems SIGTERM and SIGINT stay blocked except
// inside the pseudo-terminal's wait (ppoll with stopWaitMask()), so a signal
// always interrupts that wait instead of slipping in before it; a line that
// waits otherwise notices a pending one through stopRequested().
#include "tools/sim/stopsignals.h"

#include <csignal>
#include <cstring>

namespace quillet::sim {
namespace {

volatile std::sig_atomic_t g_stop = 0;

void onSignal(int) { g_stop = 1; }

#ifndef _WIN32
sigset_t g_waitMask;
#endif

}  // namespace

#ifdef _WIN32

void installStopSignals() {
    std::signal(SIGTERM, onSignal);
    std::signal(SIGINT, onSignal);
}

bool stopRequested() { return g_stop != 0; }

#else

void installStopSignals() {
    sigset_t blocked;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGTERM);
    sigaddset(&blocked, SIGINT);
    sigprocmask(SIG_BLOCK, &blocked, &g_waitMask);
    sigdelset(&g_waitMask, SIGTERM);
    sigdelset(&g_waitMask, SIGINT);
    struct sigaction sa;
    std::memset(&sa, 0, sizeof sa);
    sa.sa_handler = onSignal;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

bool stopRequested() {
    if (g_stop) return true;
    sigset_t pending;
    sigpending(&pending);
    return sigismember(&pending, SIGTERM) == 1 || sigismember(&pending, SIGINT) == 1;
}

const sigset_t& stopWaitMask() { return g_waitMask; }

#endif

}  // namespace quillet::sim
