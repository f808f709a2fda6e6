// The one context object: every process-wide record of the program and the
// injected side effects. main() creates one; every test builds a fresh one.
#pragma once

#include "core/globals.h"
#include "core/platform.h"

namespace quillet {

class SerialPort;  // comm/serialport.h

struct AppContext {
    AppContext();

    ChannelStore store;
    GeneralSettings general;
    TimingSettings timing;
    DebugSettings debug;
    Folders folders;
    LayoutValues layout;
    CommState comm;
    PendingLogger pendingLogger;
    std::array<int16_t, 3> destinationChannel{};  // [1], [2]
    int16_t usualCommunicationActive = 0;
    // Layout of the last opened or inserted data file: true = with the
    // ten-second fields. The program starts with the old layout.
    bool fileLayoutWithTenSec = false;

    // Side effects. Never null: the defaults print messages to stderr and
    // answer OK, use the system clock, cancel every file dialog, open help
    // through the desktop, and ignore the view.
    MessageBoxes* messages;
    Clock* clock;
    FileDialogs* dialogs;
    HelpViewer* help;
    MainView* view;
    SerialPort* serial = nullptr;  // set by the program or the test
};

// The system clock: QElapsedTimer, and Qt's event processing.
class SystemClock : public Clock {
public:
    SystemClock();
    qint64 nowMs() override;
    void processEvents() override;
    QDateTime now() override;

private:
    qint64 origin_;
};

}  // namespace quillet
