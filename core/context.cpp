#include "core/context.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QUrl>

#include <cstdio>

namespace quillet {
namespace {

class StderrMessages : public MessageBoxes {
public:
    int show(const QString& title, const QString& text, int style) override {
        QString t = text;
        t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        std::fprintf(stderr, "%s\n", t.toUtf8().constData());
        (void)title;
        return (style & 7) == kYesNo ? kYes : kOk;
    }
};

class CancellingDialogs : public FileDialogs {
public:
    std::optional<QString> openFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<QString> saveFile(const FileDialogRequest&) override { return std::nullopt; }
};

class CancellingColors : public ColorDialogs {
public:
    std::optional<QColor> chooseColor(QColor) override { return std::nullopt; }
};

class DesktopHelp : public HelpViewer {
public:
    bool openHelp(const QString& helpFile, int) override {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(helpFile));
    }
};

// No printer: every print reports 4821.
class NoPrinters : public PrintControl {
public:
    int printerCount() override { return 0; }
    bool printerReady() override { return false; }
    PrintFault printerDialog() override { return PrintFault::of(PrintFault::Kind::Cancelled); }
    PrintFault pageSetupDialog() override { return PrintFault::of(PrintFault::Kind::Cancelled); }
    QPagedPaintDevice* startDocument(const QString&, PrintFault& fault) override {
        fault = PrintFault::of(PrintFault::Kind::NoPrinter);
        return nullptr;
    }
    PrintFault endDocument(bool) override { return {}; }
};

StderrMessages gStderrMessages;
SystemClock* systemClock() {
    static SystemClock clock;
    return &clock;
}
CancellingDialogs gCancellingDialogs;
CancellingColors gCancellingColors;
DesktopHelp gDesktopHelp;
MainView gNoView;
NoPrinters gNoPrinters;

}  // namespace

AppContext::AppContext()
    : messages(&gStderrMessages),
      clock(systemClock()),
      dialogs(&gCancellingDialogs),
      help(&gDesktopHelp),
      view(&gNoView),
      printer(&gNoPrinters),
      graphPrinter(&gNoPrinters),
      colors(&gCancellingColors) {}

SystemClock::SystemClock() {
    QElapsedTimer t;
    t.start();
    origin_ = t.msecsSinceReference();
}

qint64 SystemClock::nowMs() {
    QElapsedTimer t;
    t.start();
    return t.msecsSinceReference() - origin_;
}

void SystemClock::processEvents() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
}

QDateTime SystemClock::now() { return QDateTime::currentDateTime(); }

}  // namespace quillet
