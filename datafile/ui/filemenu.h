// The File menu of the main window, wired to the file dispatcher: open,
// overwrite save, save as, text and CSV export, the tidy CSV and workbook
// exports and data insertion.
#pragma once

#include "core/context.h"

namespace quillet {

class MainWindow;
class InsertDialog;

// dialog: the insertion dialog to use; nullptr = InsertChannelDialog over the window.
// Also the recent files' sub-menu, filled each time it opens.
void wireFileMenu(MainWindow& window, AppContext& ctx, InsertDialog* dialog = nullptr);

// The recent files' sub-menu from the list in its file: an entry opens its
// file as "開く" does.
void fillRecentFilesMenu(MainWindow& window, AppContext& ctx);

}  // namespace quillet
