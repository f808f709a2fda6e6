// The one context object: every process-wide record of the program and the
// injected side effects. main() creates one; every test builds a fresh one.
#pragma once

#include "core/platform.h"
#include "core/records.h"

#include <functional>
#include <memory>
#include <type_traits>

class QPainter;
class QRectF;

namespace quillet {

class SerialPort;  // comm/serialport.h
struct AppContext;
struct CommState;      // comm/commstate.h
struct PendingLogger;  // comm/commstate.h
struct GraphState;     // graph/graphstate.h

// The state of a folder above core/, held by the context without core/
// knowing its type: made on first use (from the context, where the type
// can be made from it), one per context, gone with it. Use it as a pointer.
template <class T>
class FolderState {
public:
    explicit FolderState(const AppContext& owner) : owner_(owner) {}
    FolderState(const FolderState&) = delete;
    FolderState& operator=(const FolderState&) = delete;

    T& get() const {
        if (!state_) {
            if constexpr (std::is_constructible_v<T, const AppContext&>)
                state_ = std::make_shared<T>(owner_);
            else
                state_ = std::make_shared<T>();
        }
        return *state_;
    }
    T* operator->() const { return &get(); }
    T& operator*() const { return get(); }
    operator T&() const { return get(); }
    FolderState& operator=(const T& value) {
        get() = value;
        return *this;
    }
    // Forgets the state; the next use makes it anew.
    void reset() { state_.reset(); }

private:
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
    std::array<int16_t, 3> destinationChannel{};  // [1], [2]
    int16_t usualCommunicationActive = 0;         // the usual communication running: its UsualRun, else 0
    // The last state of the recording settings dialog's lock check box,
    // kept for the whole run (never read from a logger).
    bool lockChoice = false;
    // Layout of the last opened or inserted data file: true = with the
    // ten-second fields. The program starts with the old layout.
    bool fileLayoutWithTenSec = false;

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
    SerialPort* serial = nullptr;  // set by the program or the test

    // Hooks of the serial link (comm/link.h); empty = nothing shown.
    // commProgress(maximum, value): the progress bar of a data read (1,2).
    // commMonitor(answer, group, number, progressMode): every judged,
    // non-empty answer in debug mode, for the received-data monitor.
    std::function<void(int maximum, int value)> commProgress;
    std::function<void(const QByteArray& answer, int group, int number, int progressMode)> commMonitor;

    // The graph print's parts that the graph draws (graph/); empty = the
    // graph print has no plot and no statistics. drawGraphPlot paints the
    // graph (axes, grid, labels, channels, reference lines) around and
    // inside the plot rectangle, in page coordinates, with the painter's
    // font, the character width W and the line height H of the print.
    // graphGridText is the text of the graph window's statistics grid at
    // row 1..6 (n/errors .. reference value) for channel 1..8.
    std::function<void(QPainter& painter, const QRectF& plot, double charWidth, double lineHeight)> drawGraphPlot;
    std::function<QString(int row, int channel)> graphGridText;
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
