// The print tests' doubles: a scripted print control that prints into a PDF
// file, the PDF's text through poppler's pdftotext, and a store of filled
// channels.
#pragma once

#include "core/channelfill.h"
#include "print/pdfprinter.h"
#include "support/fakes.h"

#include <QApplication>
#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

#include <deque>

namespace quillet::fakes {

inline void ensurePrintApplication() {
    if (QApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The machine's print queues stay out of the tests: the printer dialog
    // then offers the PDF file alone, as on a machine without queues.
    qputenv("CUPS_SERVER", "/nonexistent/cups.sock");
    static int argc = 1;
    static char name[] = "tests_print";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);  // lives for the whole run
}

// A printer whose checks and dialogs answer from a script and whose
// documents go to a PDF file.
class ScriptedPrinter : public PdfPrintControl {
public:
    explicit ScriptedPrinter(const QString& file) : PdfPrintControl(file) {}

    int printers = 1;
    bool ready = true;
    int startError = 0;             // a device that cannot start a document
    std::deque<int> dialogAnswers;  // 0 OK, 32755 Cancel; OK when empty
    int dialogsShown = 0;

    int printerCount() override { return printers; }
    bool printerReady() override { return ready; }
    PrintFault printerDialog() override { return answer(); }
    PrintFault pageSetupDialog() override { return answer(); }
    QPagedPaintDevice* startDocument(const QString& title, PrintFault& fault) override {
        if (startError) {
            fault = faultOf(startError);
            return nullptr;
        }
        return PdfPrintControl::startDocument(title, fault);
    }

    // The fault a script's run-time error number stands for.
    static PrintFault faultOf(int error) {
        switch (error) {
        case 0: return {};
        case 32755: return PrintFault::of(PrintFault::Kind::Cancelled);
        case 482: return PrintFault::of(PrintFault::Kind::PrinterError);
        case 4821: return PrintFault::of(PrintFault::Kind::NoPrinter);
        default: return PrintFault::ofFile(SaveError(error));
        }
    }

private:
    PrintFault answer() {
        ++dialogsShown;
        if (dialogAnswers.empty()) return {};
        const int a = dialogAnswers.front();
        dialogAnswers.pop_front();
        return faultOf(a);
    }
};

// The text of a PDF file (or of its pages first..last), pages separated by
// form feeds, columns kept.
inline QString pdfText(const QString& file, int first = 0, int last = 0) {
    QStringList args{QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8")};
    if (first > 0)
        args << QStringLiteral("-f") << QString::number(first) << QStringLiteral("-l") << QString::number(last);
    QProcess p;
    p.start(QStringLiteral("pdftotext"), args + QStringList{file, QStringLiteral("-")});
    if (!p.waitForFinished(60000)) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

inline QStringList pdfPages(const QString& file) {
    QStringList pages = pdfText(file).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.back().trimmed().isEmpty()) pages.pop_back();
    return pages;
}

// Number of pages of a PDF file (pdfinfo); -1 when it cannot be read.
inline int pdfPageCount(const QString& file) {
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {file});
    if (!p.waitForFinished(60000)) return -1;
    for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1String("Pages:"))) return line.mid(6).trimmed().toInt();
    return -1;
}

}  // namespace quillet::fakes
