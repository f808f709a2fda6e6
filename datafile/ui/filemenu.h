// The File menu of the main window, wired to the file dispatcher: open,
// overwrite save, save as, text and CSV export and data insertion.
#pragma once

#include "core/context.h"

namespace quillet {

class MAIN;
class InsertDialog;

// dialog: the insertion dialog to use; nullptr = frmFileins over the window.
void wireFileMenu(MAIN& window, AppContext& ctx, InsertDialog* dialog = nullptr);

}  // namespace quillet
