// The program: the Qt side effects, the headless start-up, the main window
// with its commands, and the event loop.
#include "analysis/ui/analysiswiring.h"
#include "app/demo.h"
#include "app/firstpaint.h"
#include "archive/importer.h"
#include "archive/ui/archivewindows.h"
#include "audit/ui/recordswiring.h"
#include "comm/serialport.h"
#include "comm/settingswriter.h"
#include "comm/ui/receivemonitor.h"
#include "comm/ui/usualwindows.h"
#include "core/catalog.h"
#include "core/context.h"
#include "core/savefile.h"
#include "core/startup.h"
#include "core/statusline.h"
#include "core/store.h"
#include "core/ui/helpviewer.h"
#include "core/ui/mainwindow.h"
#include "core/ui/qtplatform.h"
#include "core/ui/versionwindow.h"
#include "core/uitexts.h"
#include "datafile/fileops.h"
#include "datafile/ui/filemenu.h"
#include "graph/ui/graphwindow.h"
#include "loggerset/parametertexts.h"
#include "loggerset/ui/commwiring.h"
#include "loggerset/ui/readoutwindows.h"
#include "loggerset/unseensettings.h"
#include "print/ui/printwiring.h"
#include "print/ui/qtprintcontrol.h"
#include "spreadsheet/ui/spreadsheetwiring.h"

#include <QApplication>
#include <QFileInfo>
#include <QFont>
#include <QLabel>
#include <QScreen>
#include <QStatusBar>
#include <QStringList>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

// The options of the program, and Qt's own that take a value or stand
// alone (-platform offscreen, -style Fusion, ...).
bool knownOption(const QByteArray& a, bool& takesValue) {
    static const char* const withValue[] = {
        "--open",           "-platform",    "-platformpluginpath", "-platformtheme", "-plugin",
        "-qwindowgeometry", "-qwindowicon", "-qwindowtitle",       "-style",         "-stylesheet",
        "-session",         "-display",     "-geometry",           "-title",         "-name"};
    static const char* const alone[] = {
        "--demo", "--quit-after-paint", "-reverse", "-widgetcount", "-nograb", "-dograb", "-sync"};
    takesValue = false;
    for (const char* o : withValue)
        if (a == o) takesValue = true;
    if (takesValue) return true;
    for (const char* o : alone)
        if (a == o) return true;
    return false;
}

// Whether Qt can reach a screen: a platform chosen by the environment or
// an option, else a display to connect to.
bool displayAvailable(int argc, char** argv) {
#if defined(Q_OS_LINUX) || defined(Q_OS_FREEBSD)
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) return true;
    for (int i = 1; i < argc; ++i)
        if (QByteArray(argv[i]) == "-platform") return true;
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    (void)argc;
    (void)argv;
    return true;
#endif
}

// --help and --version answer before any window or display is needed; an
// unknown option prints the usage on stderr (status 2); without a display
// the program says so (status 1) rather than letting Qt abort.
bool answeredWithoutWindow(int argc, char** argv, int& exitCode) {
    for (int i = 1; i < argc; ++i) {
        const QByteArray a(argv[i]);
        if (a == "--help" || a == "-h") {
            std::fputs(quillet::uiText(quillet::ui::kProgramUsage).toUtf8().constData(), stdout);
            exitCode = 0;
            return true;
        }
        if (a == "--version") {
            std::printf("%s\n", quillet::versionLine().toUtf8().constData());
            exitCode = 0;
            return true;
        }
    }
    for (int i = 1; i < argc; ++i) {
        const QByteArray a(argv[i]);
        if (!a.startsWith('-') || a == "-") continue;
        bool takesValue = false;
        if (knownOption(a, takesValue)) {
            i += takesValue;
            continue;
        }
        const QString text = quillet::uiText(quillet::ui::kUnknownOption).arg(QString::fromLocal8Bit(a)) +
                             quillet::uiText(quillet::ui::kProgramUsage);
        std::fputs(text.toUtf8().constData(), stderr);
        exitCode = 2;
        return true;
    }
    if (!displayAvailable(argc, argv)) {
        std::fputs(quillet::uiText(quillet::ui::kNoDisplay).toUtf8().constData(), stderr);
        exitCode = 1;
        return true;
    }
    return false;
}

// The data file named on the command line: the first argument that is not
// an option (nor the file of --open).
QString fileArgument(const QStringList& args) {
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--open"))
            ++i;
        else if (!args[i].startsWith(QLatin1Char('-')))
            return args[i];
    }
    return {};
}

// The status bar's text in real mode: the chosen port and its device.
QString portText(const quillet::SerialPort& serial) {
    const int n = serial.portNumber();
    const QString device = quillet::serialDeviceForPort(n);
    QString text = quillet::uiText(quillet::ui::kPortDevice).arg(n).arg(device);
#ifndef Q_OS_WIN
    if (!QFileInfo::exists(device)) text += quillet::uiText(quillet::ui::kNotConnected);
#endif
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    int exitCode = 0;
    if (answeredWithoutWindow(argc, argv, exitCode)) return exitCode;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillet7"));
    QFont::insertSubstitution(QStringLiteral("MS UI Gothic"), QStringLiteral("IPAGothic"));
    quillet::installQtJapanese(app);
    const QStringList args = quillet::decodeArguments(argc, argv);

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
    quillet::QtHelpViewer help;
    ctx.messages = &messages;
    ctx.dialogs = &dialogs;
    ctx.colors = &colors;
    ctx.help = &help;

    // The serial control gets the reader's port, with DTR on; in demo mode
    // the simulated reader inside the program stands in for it on port 1.
    quillet::QtSerialPort serial;
    serial.setPortNumber(ctx.general.comPort);
    serial.setDtr(true);
    ctx.serial = &serial;
    std::unique_ptr<quillet::Demo> demo;
    QString demoText;
    if (args.contains(QStringLiteral("--demo"))) {
        demo = std::make_unique<quillet::Demo>(*ctx.clock, quillet::ReaderManner{},
                                               [](int ms) { QThread::msleep(ulong(ms)); });
        demoText = demo->start(ctx);
    }

    // The print controls: the main window's and the graph window's.
    quillet::QtPrintControl printer;
    quillet::QtPrintControl graphPrinter;
    ctx.printer = &printer;
    ctx.graphPrinter = &graphPrinter;

    quillet::MainWindow window(ctx);
    messages.setParent(&window);
    dialogs.setParent(&window);
    printer.setParent(&window);
    graphPrinter.setParent(&window);
    help.setParent(&window);

    // Commands of the other subsystems. An entry without a handler stays
    // disabled: window.setCommand(Command::ReadLogger, [&] { ... }) enables it.
    quillet::wireFileMenu(window, ctx);
    quillet::wireSpreadsheet(window, ctx);
    quillet::wireMonitorOnDemand(window, ctx);
    quillet::QtReadoutWindows readout(&window);
    quillet::wireCommunication(window, ctx, readout);
    // The usual communication: the read-out parameter window and the
    // recording settings dialog act unseen.
    quillet::UsualSteps usual;
    usual.chooseDestinations = [](quillet::AppContext& c) { return quillet::chooseInitialDestinations(c); };
    usual.settingsStep = [](quillet::AppContext& c, const QDateTime& start) {
        return quillet::usualSettingsStep(c, start).writtenSettings();
    };
    quillet::wireUsualCommunication(window, ctx, usual);
    quillet::wirePrint(window, ctx);
    // Electronic records mode, when the user's archive is in it: the
    // signatures of the reports.
    quillet::audit::ProgramRecords records(ctx.folders);
    const std::shared_ptr<quillet::ReportSignOff> signOff = quillet::audit::reportSignOff(ctx, records, &window);
    // The graph window with its range and reference-line dialogs and print,
    // built when it first opens; its print dialogs show over it.
    quillet::wireGraph(window, ctx, [&graphPrinter, &ctx, signOff](quillet::GraphWindow& graph) {
        graphPrinter.setParent(&graph);
        quillet::wireGraphAnalysis(graph, ctx, {}, signOff);
        quillet::wireGraphSpreadsheet(graph, ctx);
    });
    // "解析(&A)": the figures and the report.
    quillet::wireAnalysis(window, ctx, {}, signOff);
    // "アーカイブ(&R)", and every saved read-out into the archive.
    quillet::archive::wireArchive(window, ctx, signOff);
    quillet::archive::ArchiveOnSave archiveOnSave(ctx.folders);
    ctx.dataFiles->readoutSink = &archiveOnSave;
    // In the mode a user signs in before the window shows; the trail gets
    // every read-out, settings write and changed setting.
    if (!quillet::audit::signInAtStart(ctx, records, nullptr)) return 1;
    quillet::audit::wireRecords(window, ctx, records, &archiveOnSave);

    if (!demoText.isEmpty()) {
        window.statusBar()->addPermanentWidget(new QLabel(demoText));
    } else {
        // Real mode: the port in use and its device, after every command
        // (the port commands change it).
        auto* port = new QLabel(portText(serial));
        port->setObjectName(QStringLiteral("portLabel"));
        window.statusBar()->addPermanentWidget(port);
        QObject::connect(&window, &quillet::MainWindow::commandFinished, port,
                         [port, &serial] { port->setText(portText(serial)); });
    }
    // "--open FILE" opens the file before the window first paints (the
    // start-up benchmark times that paint).
    if (const qsizetype i = args.indexOf(QStringLiteral("--open")); i > 0 && i + 1 < args.size())
        quillet::openDataFileNamed(ctx, args[i + 1]);
    // The start-up benchmark ends the program once the grid has painted.
    std::unique_ptr<quillet::QuitAfterFirstPaint> quit;
    if (args.contains(QStringLiteral("--quit-after-paint")))
        quit = std::make_unique<quillet::QuitAfterFirstPaint>(window.grid->viewport());

    window.show();
    // Read-outs kept on this PC while the shared server was away go to it now.
    QTimer::singleShot(0, &window, [&ctx, &archiveOnSave] {
        if (const QString word = archiveOnSave.pushWaiting(); !word.isEmpty()) quillet::showStatusWord(ctx, word);
    });
    // A data file named on the command line opens as "開く" opens it, once
    // the window is up to carry its messages.
    if (const QString file = fileArgument(args); !file.isEmpty())
        QTimer::singleShot(0, &window, [&ctx, file] { quillet::openDataFileNamed(ctx, file); });
    return app.exec();
}
