#include "datafile/ui/filemenu.h"

#include "core/ui/mainwindow.h"
#include "datafile/fileops.h"
#include "datafile/tabular.h"
#include "datafile/ui/insertchanneldialog.h"

#include <memory>

namespace quillet {

void wireFileMenu(MainWindow& window, AppContext& ctx, InsertDialog* dialog) {
    std::shared_ptr<InsertDialog> own;
    if (!dialog) {
        own = std::make_shared<QtInsertDialog>(&window);
        dialog = own.get();
    }
    // A save or export reports its own failure.
    auto fileCommand = [&ctx](int mode) { return [&ctx, mode] { runFileOperation(ctx, mode); }; };
    window.setCommand(window.mFOPEN, [&ctx] { openDataFile(ctx); });
    window.setCommand(window.mFSAVE, fileCommand(kOverwriteSave));
    window.setCommand(window.mFSAVEAS, fileCommand(kSaveAs));
    window.setCommand(window.mFTEXTSAVE, fileCommand(kTextExport));
    window.setCommand(window.mFCSVSAVE, fileCommand(kCsvExport));
    auto tableCommand = [&ctx](TableFormat f) { return [&ctx, f] { exportTable(ctx, f, allRows(ctx.store)); }; };
    window.setCommand(window.mFTIDYSAVE, tableCommand(TableFormat::TidyCsv));
    window.setCommand(window.mFXLSXSAVE, tableCommand(TableFormat::Workbook));
    window.setCommand(window.mFINSERT, [&ctx, dialog, own] { insertData(ctx, *dialog); });
}

}  // namespace quillet
