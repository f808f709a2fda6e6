#include "datafile/ui/filemenu.h"

#include "core/ui/mainwindow.h"
#include "core/uitexts.h"
#include "datafile/fileops.h"
#include "datafile/recentfiles.h"
#include "datafile/ui/insertchanneldialog.h"

#include <QFileInfo>
#include <QMenu>

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
    window.setCommand(Command::Open, [&ctx] { openDataFile(ctx); });
    window.setCommand(Command::Save, fileCommand(kOverwriteSave));
    window.setCommand(Command::SaveAs, fileCommand(kSaveAs));
    window.setCommand(Command::TextExport, fileCommand(kTextExport));
    window.setCommand(Command::CsvExport, fileCommand(kCsvExport));
    window.setCommand(Command::Insert, [&ctx, dialog, own] { insertData(ctx, *dialog); });
    fillRecentFilesMenu(window, ctx);
    QObject::connect(window.menu(Command::RecentMenu), &QMenu::aboutToShow, &window,
                     [&window, &ctx] { fillRecentFilesMenu(window, ctx); });
}

void fillRecentFilesMenu(MainWindow& window, AppContext& ctx) {
    QMenu* menu = window.menu(Command::RecentMenu);
    menu->clear();
    const QStringList files = recentFiles(ctx);
    if (files.isEmpty()) menu->addAction(uiText(ui::kNone))->setEnabled(false);
    for (int i = 0; i < files.size(); ++i) {
        const QString file = files[i];
        // "&1 name" .. "&8 name": the digit picks the entry from the keyboard.
        const QString name = QFileInfo(file).fileName().replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* a = menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(name));
        a->setToolTip(file);
        a->setStatusTip(file);
        QObject::connect(a, &QAction::triggered, &window, [&window, &ctx, file] {
            window.statusWord->clear();
            openRecentFile(ctx, file);
            emit window.commandFinished();
        });
    }
}

}  // namespace quillet
