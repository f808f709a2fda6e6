// What a desktop user expects of the windows: the keys beside the
// mnemonics, the print preview from the menus with the pages of the print,
// the recent files in the file menu across a restart, the status line.
#include "mainwin_fixture.h"

#include "core/store.h"
#include "datafile/recentfiles.h"
#include "datafile/ui/filemenu.h"
#include "graph/ui/graphwindow.h"
#include "print/pdfprinter.h"
#include "print/printjobs.h"
#include "print/ui/printwiring.h"

#include <QFile>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>

namespace quillet {
namespace {

using namespace fakes;

class DesktopTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ChannelData a;
        a.samples = ramp(250);
        fill(1, a);
        refresh();
        t.ctx.printer = &printer;
        t.ctx.graphPrinter = &printer;
    }
    PdfPrintControl printer{t.root + "/printed.pdf"};
};

TEST_F(DesktopTest, KeysBesideTheMnemonics) {
    GraphWindow graph(t.ctx);
    wireGraph(*window, t.ctx, graph);
    struct Case {
        QAction* action;
        QKeySequence key;
    } cases[] = {
        {window->action(Command::Open), QKeySequence(Qt::CTRL | Qt::Key_O)},
        {window->action(Command::Save), QKeySequence(Qt::CTRL | Qt::Key_S)},
        {window->action(Command::PrintAll), QKeySequence(Qt::CTRL | Qt::Key_P)},
        {window->action(Command::Help), QKeySequence(Qt::Key_F1)},
        {graph.action(GraphCommand::Print), QKeySequence(Qt::CTRL | Qt::Key_P)},
        {graph.action(GraphCommand::UndoKey), QKeySequence(Qt::CTRL | Qt::Key_Z)},
        {graph.action(GraphCommand::CloseKey), QKeySequence(Qt::Key_Escape)},
    };
    for (const Case& c : cases) EXPECT_EQ(c.action->shortcut(), c.key) << c.action->objectName().toStdString();
    EXPECT_TRUE(window->action(Command::Open)->text().contains(u8("(&O)")));  // the mnemonic stays

    // In the open graph: Ctrl+Z holds the previous range, Esc closes.
    graph.open(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&graph));
    graph.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&graph));
    graph.action(GraphCommand::RestoreRange)->trigger();  // the automatic range, the old one kept
    ASSERT_TRUE(t.ctx.graph->undoAvailable);
    QTest::keyClick(&graph, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(t.ctx.graph->x().manual);
    QTest::keyClick(&graph, Qt::Key_Escape);
    EXPECT_FALSE(graph.isVisible());
}

TEST_F(DesktopTest, GraphGridShowsEveryRowAtAnySize) {
    GraphWindow graph(t.ctx);
    wireGraph(*window, t.ctx, graph);
    graph.open(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&graph));
    for (const bool maximised : {false, true}) {
        if (maximised) graph.showMaximized();
        QCoreApplication::processEvents();
        QTableView* g = graph.gpgrid;
        const int last = g->model()->rowCount() - 1;
        EXPECT_EQ(g->model()->index(last, 0).data().toString(), u8("測定値"));
        EXPECT_LE(g->rowViewportPosition(last) + g->rowHeight(last), g->viewport()->height()) << maximised;
        EXPECT_GT(g->rowHeight(last), 0);
    }
    graph.close();
}

TEST_F(DesktopTest, PreviewFromTheMenuShowsThePagesOfThePrint) {
    const int printed = printTables(t.ctx, {PrintKind::WholeList, {}});
    ASSERT_GT(printed, 1);
    wirePrint(*window, t.ctx);
    EXPECT_TRUE(window->action(Command::PreviewMenu)->isEnabled());
    int pages = -1;
    whenModal<QPrintPreviewDialog>([&pages](QPrintPreviewDialog& d) {
        auto* view = d.findChild<QPrintPreviewWidget*>();
        ASSERT_NE(view, nullptr);
        view->updatePreview();
        pages = view->pageCount();
        d.resize(900, 700);
        d.grab().save(QStringLiteral(QUILLET_BUILD_DIR "/preview.png"));  // for a look by eye
        d.reject();
    });
    window->action(Command::PreviewAll)->trigger();
    EXPECT_EQ(pages, printed);
    EXPECT_TRUE(t.messages.shown.empty());

    // The PDF from the menu: the same pages, no printer dialog.
    t.dialogs.answers = {t.root + "/list.pdf"};
    window->action(Command::PdfAll)->trigger();
    EXPECT_TRUE(QFile::exists(t.root + "/list.pdf"));
}

TEST_F(DesktopTest, RecentFilesInTheMenuAfterSaveAndRestart) {
    wireFileMenu(*window, t.ctx);
    auto entries = [](MainWindow& w) {
        emit w.menu(Command::RecentMenu)->aboutToShow();
        QStringList out;
        for (QAction* a : w.menu(Command::RecentMenu)->actions()) out << a->text() + (a->isEnabled() ? "" : " (off)");
        return out;
    };
    EXPECT_EQ(entries(*window), QStringList{u8("（なし） (off)")});
    const QString a = t.root + "/a&b.ql6";
    const QString b = t.root + "/yesterday.ql6";
    t.dialogs.answers = {a, b};
    window->action(Command::SaveAs)->trigger();
    window->action(Command::SaveAs)->trigger();
    EXPECT_EQ(entries(*window), (QStringList{u8("&1 yesterday.ql6"), u8("&2 a&&b.ql6")}));

    // A restart: a new window over the same settings folder.
    window.reset();
    window = std::make_unique<MainWindow>(t.ctx);
    wireFileMenu(*window, t.ctx);
    EXPECT_EQ(entries(*window), (QStringList{u8("&1 yesterday.ql6"), u8("&2 a&&b.ql6")}));

    // Reopening yesterday's file from the list.
    t.ctx.store.unsavedRead = 0;
    t.ctx.store.unsavedEdit = 0;
    window->menu(Command::RecentMenu)->actions()[0]->trigger();
    EXPECT_EQ(t.ctx.store.dataFileName, b);
    EXPECT_TRUE(t.messages.shown.empty());

    // A file that has gone: a word in the status bar, off the list.
    ASSERT_TRUE(QFile::remove(a));
    emit window->menu(Command::RecentMenu)->aboutToShow();
    window->menu(Command::RecentMenu)->actions()[1]->trigger();
    EXPECT_TRUE(window->statusWord->text().contains(a));
    EXPECT_TRUE(t.messages.shown.empty());
    EXPECT_EQ(entries(*window), QStringList{u8("&1 yesterday.ql6")});
    // The next command clears the word.
    window->action(Command::Open)->trigger();  // the open dialog cancelled
    EXPECT_TRUE(window->statusWord->text().isEmpty());
}

}  // namespace
}  // namespace quillet
