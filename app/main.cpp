// The program: the Qt side effects, the headless start-up, the main window
// with its commands, and the event loop.
#include "loggerset/ui/commwiring.h"
#include "app/demo.h"
#include "app/firstpaint.h"
#include "comm/serialport.h"
#include "comm/ui/fcomdata.h"
#include "core/catalog.h"
#include "core/context.h"
#include "core/startup.h"
#include "core/store.h"
#include "core/ui/mainwindow.h"
#include "core/ui/qtplatform.h"
#include "datafile/fileops.h"
#include "datafile/ui/filemenu.h"
#include "loggerset/ui/readoutwindows.h"

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QScreen>
#include <QStatusBar>
#include <QStringList>

#include <memory>

namespace {

// "--open FILE": the file is opened at start as File → Open opens it.
void openAtStart(quillet::AppContext& ctx, quillet::MAIN& window, const QString& fileName) {
    using namespace quillet;
    const int error = loadDataFile(ctx, fileName);
    if (countChannelsInUse(ctx.store) > 0) {
        ctx.store.currentFileName = replaceExtension(fileName, QStringLiteral(".ql6"));
        window.updateCaption();
        rebuildAxisAndDisplay(ctx);
        window.enableAllCommands();
    }
    if (error != 0) showRuntimeError(ctx, error, captionText(8), kOkOnly);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillet7"));
    QFont::insertSubstitution(QStringLiteral("MS UI Gothic"), QStringLiteral("IPAGothic"));
    const QStringList args = QApplication::arguments();

    quillet::AppContext ctx;

    // Start-up: the screen class, then folders, settings and empty channels.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize size = screen->size();
        ctx.layout = quillet::layoutForScreen(size.width(), size.height());
    }
    quillet::startUp(ctx, quillet::standardFolders());

    quillet::QtMessageBoxes messages;
    quillet::QtFileDialogs dialogs(nullptr, ctx.folders.dataFolder);
    ctx.messages = &messages;
    ctx.dialogs = &dialogs;

    // Demo mode: the logger simulator stands in for a reader on port 1.
    quillet::Demo demo;
    QString demoText;
    if (args.contains(QStringLiteral("--demo"))) demoText = demo.start(ctx);

    // The serial control gets the reader's port, with DTR on.
    quillet::QtSerialPort serial;
    serial.setPortNumber(ctx.general.comPort);
    serial.setDtr(true);
    ctx.serial = &serial;

    quillet::MAIN window(ctx);
    messages.setParent(&window);
    dialogs.setParent(&window);

    // Commands of the other subsystems. An entry without a handler stays
    // disabled: window.setCommand(window.mLREAD, [&] { ... }) enables it.
    quillet::wireFileMenu(window, ctx);
    quillet::wireMonitorOnDemand(window, ctx);
    quillet::QtReadoutWindows readout(&window);
    quillet::wireCommunication(window, ctx, readout);

    if (!demoText.isEmpty()) window.statusBar()->addPermanentWidget(new QLabel(demoText));
    if (const qsizetype i = args.indexOf(QStringLiteral("--open")); i > 0 && i + 1 < args.size())
        openAtStart(ctx, window, args[i + 1]);
    // The start-up benchmark ends the program once the grid has painted.
    std::unique_ptr<quillet::QuitAfterFirstPaint> quit;
    if (args.contains(QStringLiteral("--quit-after-paint")))
        quit = std::make_unique<quillet::QuitAfterFirstPaint>(window.grid->viewport());

    window.show();
    return app.exec();
}
