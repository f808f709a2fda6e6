// The headless half of start-up and shutdown: screen classes, folders,
// loading the settings files, and what shutdown writes.
#pragma once

#include "core/records.h"

#include <QString>

#include <functional>

namespace quillet {

struct AppContext;

// The layout for a screen of width x height pixels.
LayoutValues layoutForScreen(int width, int height);

// Folders under the application-data and documents folders (QStandardPaths,
// which follow the XDG variables on Linux), each + "ORVELL/Quillet7",
// created when missing; the settings, timing and debug file paths;
// numberFolder, dateFolder and the help file beside the program.
Folders buildFolders(const QString& appDataBase, const QString& documentsBase, const QString& programFolder);
Folders standardFolders();

// Start-up steps 2..5 and 8: folders, comPort, settings, empty channels.
void startUp(AppContext& ctx, const Folders& folders);

// Shutdown: true when the close may go on: nothing unsaved, or message 27
// answered 保存 and save() wrote the data, or answered 保存しない. The timing
// and debug files are written in either case.
bool requestShutdown(AppContext& ctx, const std::function<bool()>& save = {});

}  // namespace quillet
