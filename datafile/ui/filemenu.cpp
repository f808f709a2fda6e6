#include "datafile/ui/filemenu.h"

#include "core/ui/mainwindow.h"
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
    window.setCommand(window.mFOPEN, [&ctx] { openDataFile(ctx); });
    window.setCommand(window.mFSAVE, fileCommand(kOverwriteSave));
    window.setCommand(window.mFSAVEAS, fileCommand(kSaveAs));
    window.setCommand(window.mFTEXTSAVE, fileCommand(kTextExport));
    window.setCommand(window.mFCSVSAVE, fileCommand(kCsvExport));
    window.setCommand(window.mFINSERT, [&ctx, dialog, own] { insertData(ctx, *dialog); });
    fillRecentFilesMenu(window, ctx);
    QObject::connect(window.mFRECENTMENU, &QMenu::aboutToShow, &window,
                     [&window, &ctx] { fillRecentFilesMenu(window, ctx); });
}

void fillRecentFilesMenu(MainWindow& window, AppContext& ctx) {
    QMenu* menu = window.mFRECENTMENU;
    menu->clear();
    const QStringList files = recentFiles(ctx);
    if (files.isEmpty()) menu->addAction(QStringLiteral("（なし）"))->setEnabled(false);
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
