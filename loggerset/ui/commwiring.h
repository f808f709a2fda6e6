// The logger commands of the main window: read-out, port selection,
// recording settings and setting characters.
#pragma once

namespace quillet {

struct AppContext;
class MAIN;
class ReadoutWindows;

void wireCommunication(MAIN& window, AppContext& ctx, ReadoutWindows& readout);

}  // namespace quillet
