// The logger commands of the main window: read-out, port selection,
// recording settings and setting characters.
#pragma once

namespace quillet {

struct AppContext;
class MainWindow;
class ReadoutWindows;

void wireCommunication(MainWindow& window, AppContext& ctx, ReadoutWindows& readout);

}  // namespace quillet
