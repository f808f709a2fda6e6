// The one context object: every process-wide record of the program and the
// injected side effects. main() creates one; every test builds a fresh one.
#pragma once

#include "core/platform.h"
#include "core/records.h"

#include <memory>
#include <type_traits>

namespace quillet {

class SerialPort;  // comm/serialport.h
struct AppContext;
struct CommState;       // comm/commstate.h
struct PendingLogger;   // comm/commstate.h
struct DataFileState;   // datafile/fileops.h
struct GraphState;      // graph/graphstate.h
struct LoggerSetState;  // loggerset/settingrules.h

// The state of a folder above core/, held by the context without core/
// knowing its type: made on first use (from the context, where the type
// can be made from it), one per context, gone with it. Use it as a pointer;
// a const context gives it read-only.
template <class T>
class FolderState {
public:
    explicit FolderState(const AppContext& owner) : owner_(owner) {}
    FolderState(const FolderState&) = delete;
    FolderState& operator=(const FolderState&) = delete;

    T& get() { return made(); }
    const T& get() const { return made(); }
    T* operator->() { return &made(); }
    const T* operator->() const { return &made(); }
    T& operator*() { return made(); }
    const T& operator*() const { return made(); }
    operator T&() { return made(); }
    operator const T&() const { return made(); }
    FolderState& operator=(const T& value) {
        made() = value;
        return *this;
    }
    // Forgets the state; the next use makes it anew.
    void reset() { state_.reset(); }

private:
    // Making it on first use changes no state the context shows.
    T& made() const {
        if (!state_) {
            if constexpr (std::is_constructible_v<T, const AppContext&>)
                state_ = std::make_shared<T>(owner_);
            else
                state_ = std::make_shared<T>();
        }
        return *state_;
    }

    const AppContext& owner_;
    mutable std::shared_ptr<T> state_;  // shared_ptr: destroyed without T known here
};

struct AppContext {
    AppContext();

    ChannelStore store;
    GeneralSettings general;
    TimingSettings timing;
    DebugSettings debug;
    Folders folders;
    LayoutValues layout;
    FolderState<CommState> comm{*this};
    FolderState<PendingLogger> pendingLogger{*this};
    FolderState<GraphState> graph{*this};
    FolderState<DataFileState> dataFiles{*this};
    FolderState<LoggerSetState> loggerSet{*this};

    // Side effects. Never null: the defaults print messages to stderr and
    // answer OK, use the system clock, cancel every file dialog, open help
    // through the desktop, and ignore the view; the colour dialog cancels.
    MessageBoxes* messages;
    Clock* clock;
    FileDialogs* dialogs;
    HelpViewer* help;
    MainView* view;
    // Print controls: the main window's (lists, parameters and the printer
    // checks of every print) and the graph window's. The default has no
    // printer.
    PrintControl* printer;
    PrintControl* graphPrinter;
    ColorDialogs* colors;
    SerialPort* serial = nullptr;       // set by the program or the test
    ChangeRecorder* changes = nullptr;  // electronic records mode, else null
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
