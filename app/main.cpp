// The program: the Qt side effects, the headless start-up, the main window
// with its commands, and the event loop.
#include "comm/serialport.h"
#include "comm/ui/fcomdata.h"
#include "core/context.h"
#include "core/startup.h"
#include "core/ui/mainwindow.h"
#include "core/ui/qtplatform.h"
#include "datafile/ui/filemenu.h"

#include <QApplication>
#include <QFont>
#include <QScreen>
#include <QStringList>

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

    // The serial control gets the reader's port.
    quillet::QtSerialPort serial;
    serial.setPortNumber(ctx.general.comPort);
    ctx.serial = &serial;

    quillet::MAIN window(ctx);
    messages.setParent(&window);
    dialogs.setParent(&window);

    // Commands of the other subsystems. An entry without a handler stays
    // disabled: window.setCommand(window.mLREAD, [&] { ... }) enables it.
    quillet::wireFileMenu(window, ctx);
    quillet::fComData monitor(&window);
    quillet::wireMonitor(window, ctx, monitor);

    if (args.contains(QStringLiteral("--demo"))) {
        // Demo mode: a simulated logger on the serial link is set up here.
    }

    window.show();
    return app.exec();
}
