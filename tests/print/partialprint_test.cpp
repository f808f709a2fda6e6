// The partial print dialog: its rules (PartialPrintForm) and the window from
// the menu command to the printed rows.
#include "print/partialprint.h"
#include "print/ui/partialprintdialog.h"
#include "print/ui/printwiring.h"
#include "print/ui/qtprintcontrol.h"
#include "printfakes.h"

#include "core/store.h"
#include "core/ui/mainwindow.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest/QTest>

#include <sys/stat.h>

namespace quillet {
namespace {

using namespace fakes;
using Box = PartialPrintForm::Box;

QString u8(const char* s) { return QString::fromUtf8(s); }

const char* const kRange = "設定できる範囲を超えています。";
const char* const kOrder = "開始は終了より早く設定してください。";

TEST(PartialPrint, LargeStep) {
    EXPECT_EQ(partPrintLargeStep(100), 4);  // 3.5 to the even 4
    EXPECT_EQ(partPrintLargeStep(60), 2);   // 2.5 to the even 2
    EXPECT_EQ(partPrintLargeStep(20), 2);   // 1.5 to the even 2
    EXPECT_EQ(partPrintLargeStep(12000), 301);
}

class PartialPrintTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ensurePrintApplication(); }
    void SetUp() override {
        ChannelData a;
        a.start = QDateTime(QDate(2013, 11, 15), QTime(10, 0, 30));
        a.samples = ramp(100);
        fillChannel(t.ctx, 1, a);
        rebuildTimeAxis(t.ctx.store);
    }
    // Types text into a box and leaves it.
    void type(PartialPrintForm& f, Box b, const QString& text) {
        f.gotFocus(b);
        f.text[b] = text;
        f.leave(b);
    }
    TestContext t;
};

TEST_F(PartialPrintTest, Loading) {
    PartialPrintForm f(t.ctx);
    EXPECT_EQ(f.text[Box::StartNo], "1");
    EXPECT_EQ(f.text[Box::StartTime], "2013-11-15 10:00");  // without seconds
    EXPECT_EQ(f.text[Box::EndNo], "100");
    EXPECT_EQ(f.text[Box::EndTime], "2013-11-16 02:30:30");
    EXPECT_EQ(f.sctStartNo, 1);
    EXPECT_EQ(f.sctEndNo, 100);
    EXPECT_EQ(f.maximum, 100);
    EXPECT_EQ(f.largeStep, 4);
    // Passing through the start time as loaded asks nothing.
    f.gotFocus(Box::StartTime);
    f.leave(Box::StartTime);
    EXPECT_TRUE(t.messages.shown.empty());
}

TEST_F(PartialPrintTest, BoxesAndBars) {
    struct Case {
        const char* name;
        Box box;
        const char* typed;
        const char* message;   // "" = none
        int startRow, endRow;  // the bars afterwards
        const char* startTime;
        const char* endTime;
        const char* boxText;  // the typed box afterwards
    } cases[] = {
        {"time of row 10", Box::StartTime, "2013-11-15 11:30:30", "", 10, 100, "2013-11-15 11:30:30",
         "2013-11-16 02:30:30", "2013-11-15 11:30:30"},
        {"2 s before row 10", Box::StartTime, "2013-11-15 11:30:28", "", 9, 100, "2013-11-15 11:20:30",
         "2013-11-16 02:30:30", "2013-11-15 11:20:30"},
        {"end time of row 10", Box::EndTime, "2013-11-15 11:30:30", "", 1, 10, "2013-11-15 10:00",
         "2013-11-15 11:30:30", "2013-11-15 11:30:30"},
        {"last row's time", Box::EndTime, "2013-11-16 02:30:30", "", 1, 100, "2013-11-15 10:00", "2013-11-16 02:30:30",
         "2013-11-16 02:30:30"},
        {"time before the first row", Box::StartTime, "2013-11-15 10:00:29", kRange, 1, 100, "2013-11-15 10:00",
         "2013-11-16 02:30:30", "2013-11-15 10:00"},
        {"time after the last row", Box::EndTime, "2013-11-16 02:30:31", kRange, 1, 100, "2013-11-15 10:00",
         "2013-11-16 02:30:30", "2013-11-16 02:30:30"},
        {"start time not a time", Box::StartTime, "2013-13-01 10:00:00",
         "開始時刻の入力形式が正しくありません。\ryyyy-mm-dd hh:nn:ss形式で入力してください。", 1, 100,
         "2013-11-15 10:00", "2013-11-16 02:30:30", "2013-11-15 10:00"},
        {"end time not a time", Box::EndTime, "12:00",
         "終了時刻の入力形式が正しくありません。\ryyyy-mm-dd hh:nn:ss形式で入力してください。", 1, 100,
         "2013-11-15 10:00", "2013-11-16 02:30:30", "2013-11-16 02:30:30"},
        {"start number", Box::StartNo, "7", "", 7, 100, "2013-11-15 11:00:30", "2013-11-16 02:30:30", "7"},
        {"0 as start", Box::StartNo, "0", kRange, 1, 100, "2013-11-15 10:00:30", "2013-11-16 02:30:30", "1"},
        {"start above end", Box::StartNo, "101", kOrder, 1, 100, "2013-11-15 10:00:30", "2013-11-16 02:30:30", "1"},
        {"0 as end", Box::EndNo, "0", kRange, 1, 100, "2013-11-15 10:00", "2013-11-16 02:30:30", "100"},
        {"end above maximum", Box::EndNo, "250", kRange, 1, 100, "2013-11-15 10:00", "2013-11-16 02:30:30", "100"},
        {"end number", Box::EndNo, "42", "", 1, 42, "2013-11-15 10:00", "2013-11-15 16:50:30", "42"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        t.messages.shown.clear();
        PartialPrintForm f(t.ctx);
        type(f, c.box, u8(c.typed));
        EXPECT_EQ(t.messages.texts().join('|'), u8(c.message));
        for (const auto& s : t.messages.shown) EXPECT_EQ(s.title, u8("印刷"));
        EXPECT_EQ(f.sctStartNo, c.startRow);
        EXPECT_EQ(f.sctEndNo, c.endRow);
        EXPECT_EQ(f.text[Box::StartNo], QString::number(c.startRow));
        EXPECT_EQ(f.text[Box::EndNo], QString::number(c.endRow));
        EXPECT_EQ(f.text[Box::StartTime], u8(c.startTime));
        EXPECT_EQ(f.text[Box::EndTime], u8(c.endTime));
        EXPECT_EQ(f.text[c.box], u8(c.boxText));
    }
}

TEST_F(PartialPrintTest, EndBelowStartIsTakenButRefusedOnOk) {
    PartialPrintForm f(t.ctx);
    type(f, Box::EndNo, "20");
    // A start time after the end row: the number check refuses its row and
    // the time box follows the row kept.
    type(f, Box::StartTime, "2013-11-15 14:50:30");
    EXPECT_EQ(t.messages.texts(), QStringList{u8(kOrder)});
    EXPECT_EQ(f.text[Box::StartNo], "1");
    EXPECT_EQ(f.text[Box::StartTime], "2013-11-15 10:00:30");
    EXPECT_EQ(f.lastAccepted[Box::StartTime], "2013-11-15 10:00:30");
    t.messages.shown.clear();
    type(f, Box::StartNo, "30");
    EXPECT_EQ(t.messages.texts(), QStringList{u8(kOrder)});
    t.messages.shown.clear();
    type(f, Box::EndNo, "35");
    type(f, Box::StartNo, "30");
    type(f, Box::EndNo, "20");  // taken as typed
    EXPECT_TRUE(t.messages.shown.empty());
    EXPECT_EQ(f.sctEndNo, 20);
    EXPECT_FALSE(f.ok());
    EXPECT_EQ(t.messages.texts(), QStringList{u8(kOrder)});
    type(f, Box::EndNo, "35");
    EXPECT_TRUE(f.ok());
    EXPECT_EQ(f.rows.first, 30);
    EXPECT_EQ(f.rows.last, 35);
}

// From the menu: the printer dialog, PartialPrintDialog, a range typed by time, OK,
// and the printed rows.
TEST_F(PartialPrintTest, MenuToPrintedRows) {
    ScriptedPrinter printer(t.root + "/part.pdf");
    t.ctx.printer = &printer;
    MainWindow window(t.ctx);
    wirePrint(window, t.ctx);
    rebuildAxisAndDisplay(t.ctx);
    window.updateCommandStates();
    ASSERT_TRUE(window.action(Command::PrintPart)->isEnabled());
    ASSERT_TRUE(window.toolButton(Command::PrintAll)->isEnabled());

    bool shown = false;
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<PartialPrintDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        shown = true;
        EXPECT_EQ(d->windowTitle(), u8("部分印刷"));
        d->grab().save(QStringLiteral(QUILLET_BUILD_DIR "/fpartprint.png"));  // for a look by eye
        EXPECT_EQ(d->sctStartNo->pageStep(), 4);
        EXPECT_EQ(d->sctEndNo->maximum(), 100);
        d->tStartTime->setText("2013-11-15 11:30:30");
        d->boxLeft(Box::StartTime);
        EXPECT_EQ(d->tStartNo->text(), "10");
        EXPECT_EQ(d->sctStartNo->value(), 10);
        d->sctEndNo->setValue(12);  // the bar drives its boxes
        EXPECT_EQ(d->tEndNo->text(), "12");
        EXPECT_EQ(d->tEndTime->text(), "2013-11-15 11:50:30");
        d->OkNg[0]->click();
    });
    window.action(Command::PrintPart)->trigger();
    EXPECT_TRUE(shown);
    EXPECT_EQ(printer.dialogsShown, 1);
    EXPECT_TRUE(t.messages.shown.empty());
    QList<int> rows;
    for (const QString& line : pdfText(t.root + "/part.pdf").split('\n')) {
        const QRegularExpressionMatch m = QRegularExpression("^\\s*(\\d+)\\s+13/").match(line);
        if (m.hasMatch()) rows << m.captured(1).toInt();
    }
    EXPECT_EQ(rows, (QList<int>{10, 11, 12}));

    // Cancel prints nothing.
    QFile::remove(t.root + "/part.pdf");
    QTimer::singleShot(0, [] {
        auto* d = qobject_cast<PartialPrintDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        d->OkNg[1]->click();
    });
    window.action(Command::PrintPart)->trigger();
    EXPECT_FALSE(QFile::exists(t.root + "/part.pdf"));

    // The toolbar button prints the whole list.
    window.toolButton(Command::PrintAll)->trigger();
    EXPECT_EQ(pdfPages(t.root + "/part.pdf").size(), 2);
    t.ctx.store.unsavedRead = t.ctx.store.unsavedEdit = 0;
}

// Qt's printer: without print queues a PDF file is still a device, and a
// list prints into the file chosen for it.
TEST_F(PartialPrintTest, QtPrinterIntoPdfFile) {
    QtPrintControl control;
    EXPECT_GE(control.printerCount(), 1);
    control.printer().setOutputFormat(QPrinter::PdfFormat);
    control.printer().setOutputFileName(t.root + "/qt.pdf");
    EXPECT_TRUE(control.printerReady());
    t.ctx.printer = &control;
    // The printer dialog opens for the file of each document; the user
    // accepts the file shown.
    int dialogs = 0;
    auto acceptDialog = [&dialogs] {
        if (QWidget* d = QApplication::activeModalWidget()) {
            ++dialogs;
            QMetaObject::invokeMethod(d, "accept", Qt::QueuedConnection);
        }
    };
    QTimer accepter;
    QObject::connect(&accepter, &QTimer::timeout, acceptDialog);
    accepter.start(20);
    printDispatch(t.ctx, PrintKind::Parameters);
    EXPECT_TRUE(t.messages.shown.empty());
    EXPECT_TRUE(pdfText(t.root + "/qt.pdf").contains(u8("測定間隔")));
    EXPECT_EQ(dialogs, 1);
    QFile::remove(t.root + "/qt.pdf");
    printDispatch(t.ctx, PrintKind::Parameters);  // asked again, not overwritten unasked
    EXPECT_EQ(dialogs, 2);
    EXPECT_TRUE(QFile::exists(t.root + "/qt.pdf"));
}

// A print to a file that is a FIFO or a folder is refused with the error
// box and leaves it as it was; the dialog's file goes through the one save.
TEST_F(PartialPrintTest, QtPrinterRefusesAFileThatIsNoRegularFile) {
    const QString fifo = t.root + "/pipe.pdf";
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QDir().mkpath(t.root + "/folder.pdf"));
    const struct {
        QString file;
        const char* error;
    } cases[] = {{fifo, "エラー31036"}, {t.root + "/folder.pdf", "エラー75"}};
    for (const auto& c : cases) {
        QtPrintControl control;
        control.printer().setOutputFormat(QPrinter::PdfFormat);
        control.printer().setOutputFileName(c.file);
        t.ctx.printer = &control;
        QTimer accepter;
        QObject::connect(&accepter, &QTimer::timeout, [] {
            if (QWidget* d = QApplication::activeModalWidget())
                QMetaObject::invokeMethod(d, "accept", Qt::QueuedConnection);
        });
        accepter.start(20);
        t.messages.shown.clear();
        printDispatch(t.ctx, PrintKind::Parameters);
        EXPECT_TRUE(t.messages.texts().join('|').contains(u8(c.error))) << t.messages.texts().join('|').toStdString();
        EXPECT_FALSE(QFileInfo(c.file).isFile());
        EXPECT_TRUE(QFileInfo(c.file).exists());
    }
}

}  // namespace
}  // namespace quillet
