// The program: the Qt side effects, the headless start-up, the main window
// with its commands, and the event loop.
#include "loggerset/ui/commwiring.h"
#include "app/demo.h"
#include "comm/serialport.h"
#include "comm/settingswriter.h"
#include "comm/ui/fcomdata.h"
#include "comm/ui/fmacro.h"
#include "core/context.h"
#include "core/startup.h"
#include "core/ui/mainwindow.h"
#include "core/ui/qtplatform.h"
#include "datafile/ui/filemenu.h"
#include "loggerset/paralist.h"
#include "graph/ui/graphwindow.h"
#include "loggerset/ui/readoutwindows.h"
#include "print/ui/printwiring.h"
#include "print/ui/qtprintcontrol.h"

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QScreen>
#include <QStatusBar>
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
    quillet::QtColorDialogs colors;
    ctx.messages = &messages;
    ctx.dialogs = &dialogs;
    ctx.colors = &colors;

    // Demo mode: the logger simulator stands in for a reader on port 1.
    quillet::Demo demo;
    QString demoText;
    if (args.contains(QStringLiteral("--demo"))) demoText = demo.start(ctx);

    // The serial control gets the reader's port, with DTR on.
    quillet::QtSerialPort serial;
    serial.setPortNumber(ctx.general.comPort);
    serial.setDtr(true);
    ctx.serial = &serial;

    // The print controls: the main window's and the graph window's.
    quillet::QtPrintControl printer;
    quillet::QtPrintControl graphPrinter;
    ctx.printer = &printer;
    ctx.graphPrinter = &graphPrinter;

    quillet::MAIN window(ctx);
    messages.setParent(&window);
    dialogs.setParent(&window);
    printer.setParent(&window);
    graphPrinter.setParent(&window);

    // Commands of the other subsystems. An entry without a handler stays
    // disabled: window.setCommand(window.mLREAD, [&] { ... }) enables it.
    quillet::wireFileMenu(window, ctx);
    quillet::fComData monitor(&window);
    quillet::wireMonitor(window, ctx, monitor);
    quillet::QtReadoutWindows readout(&window);
    quillet::wireCommunication(window, ctx, readout);
    // The usual communication: the read-out parameter window and the
    // recording settings dialog act unseen.
    struct : quillet::SettingsDialog {
        void run(quillet::AppContext&, const quillet::CurrentLoggerSettings&) override {}
    } unseenSettings;
    quillet::UsualSteps usual;
    usual.chooseDestinations = [](quillet::AppContext& c) { quillet::chooseInitialDestinations(c); };
    usual.settingsStep = [&unseenSettings](quillet::AppContext& c, const QDateTime&) {
        quillet::prepareSettings(c, unseenSettings);
    };
    quillet::wireUsualCommunication(window, ctx, usual);
    quillet::wirePrint(window, ctx);
    // The graph window with its range and reference-line dialogs and print.
    quillet::GRAPH graph(ctx);
    quillet::wireGraph(window, ctx, graph);
    graphPrinter.setParent(&graph);  // its dialogs over the graph window

    if (!demoText.isEmpty()) window.statusBar()->addPermanentWidget(new QLabel(demoText));

    window.show();
    return app.exec();
}
