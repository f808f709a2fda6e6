// What a new user meets first: standard dialogs in Japanese, a main window
// whose grids follow its size, help in the program's own window, and the
// program's command line.
#include "mainwin_fixture.h"

#include "core/maingrid.h"
#include "core/ui/helpviewer.h"
#include "core/ui/qtplatform.h"

#include <QHeaderView>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QTextBrowser>

namespace quillet::fakes {
namespace {

TEST(QtJapanese, StandardButtonsReadInJapanese) {
    ensureApplication();
    QTranslator* translator = installQtJapanese(*qApp);
    ASSERT_NE(translator, nullptr) << "qtbase_ja not installed (qt6-translations-l10n)";
    QStringList texts;
    whenModal<QMessageBox>([&texts](QMessageBox& box) {
        for (QAbstractButton* b : box.buttons()) texts << b->text();
        box.button(QMessageBox::No)->click();
    });
    QtMessageBoxes boxes;
    EXPECT_EQ(boxes.show(u8("クイレット解析ソフト "), u8("データを保存しますか？"), kYesNo), kNo);
    QCoreApplication::removeTranslator(translator);
    delete translator;
    ASSERT_EQ(texts.size(), 2);
    EXPECT_TRUE(texts.join("|").contains(u8("はい"))) << texts.join("|").toStdString();
    EXPECT_TRUE(texts.join("|").contains(u8("いいえ"))) << texts.join("|").toStdString();
}

// The grids fill the central area and share it without overlapping: the
// data grid on top with the scroll bar beside it, the statistics grid whole
// below, nothing under the status bar; the channel columns share the width.
void expectGridsFill(MAIN& w, int minDataRows) {
    QApplication::processEvents();
    const QRect central = w.centralWidget()->rect();
    const QRect g = w.grid->geometry();
    const QRect bar = w.VScroll->geometry();
    const QRect p = w.pgrid->geometry();
    EXPECT_EQ(g.topLeft(), QPoint(0, 0));
    EXPECT_EQ(bar.top(), 0);
    EXPECT_EQ(bar.left(), g.right() + 1);
    EXPECT_EQ(bar.right(), central.right());
    EXPECT_EQ(bar.height(), g.height());
    EXPECT_EQ(p.top(), g.bottom() + 1);
    EXPECT_EQ(p.left(), 0);
    EXPECT_EQ(p.width(), g.width());
    EXPECT_EQ(p.bottom(), central.bottom());
    const QRect centralInWindow(w.centralWidget()->mapTo(&w, QPoint(0, 0)), central.size());
    EXPECT_LE(centralInWindow.bottom(), w.statusBar()->geometry().top() - 1);
    EXPECT_LE(centralInWindow.right(), w.width() - 1);

    // The statistics grid shows its nine rows whole.
    int statsHeight = 0;
    for (int r = 0; r < kStatsRows; ++r) statsHeight += w.pgrid->rowHeight(r);
    EXPECT_LE(statsHeight, w.pgrid->viewport()->height());
    // Equal channel columns fill the width but for the remainder of the division.
    const int used = w.grid->columnWidth(0) + w.grid->columnWidth(1) + kChannels * w.grid->columnWidth(2);
    for (int c = 3; c < kGridColumns; ++c) EXPECT_EQ(w.grid->columnWidth(c), w.grid->columnWidth(2));
    EXPECT_LE(used, w.grid->viewport()->width());
    EXPECT_GT(used, w.grid->viewport()->width() - kChannels);
    EXPECT_EQ(w.pgrid->columnWidth(1), w.grid->columnWidth(2));
    EXPECT_GE(w.grid->viewport()->height() / w.grid->rowHeight(0), minDataRows);
}

TEST_F(MainWindowTest, GridsFollowTheWindowFromFullScreenToItsMinimum) {
    window->statusBar()->showMessage(u8("ポート1: /dev/ttyUSB0"));
    fill(1, {.samples = {250, 260}});
    refresh();

    const int designRows = window->grid->viewport()->height() / window->grid->rowHeight(0);
    EXPECT_GE(designRows, 20);
    const int designChannel = window->grid->columnWidth(2);

    window->resize(1366, 768);  // maximised on a 1366 x 768 screen
    SCOPED_TRACE("1366 x 768");
    expectGridsFill(*window, designRows + 3);
    EXPECT_GT(window->grid->columnWidth(2), designChannel);

    window->resize(1, 1);  // as small as it goes
    QApplication::processEvents();
    const QSize minimum = window->size();
    EXPECT_LT(minimum.width(), t.ctx.layout.designWidth);
    EXPECT_LT(minimum.height(), t.ctx.layout.designHeight);
    SCOPED_TRACE("minimum");
    expectGridsFill(*window, 10);
    // Still wide enough for a start date in every channel column.
    EXPECT_GE(window->pgrid->columnWidth(1), QFontMetrics(window->pgrid->font()).horizontalAdvance("13-11-15"));
}

TEST_F(MainWindowTest, HelpOpensInTheProgramsOwnWindow) {
    QtHelpViewer help(window.get());
    t.ctx.help = &help;
    t.ctx.folders.helpFile = QStringLiteral(QUILLET_SOURCE_DIR "/app/help/QuilletHelp_jpn.html");
    window->mHELP->trigger();
    ASSERT_NE(help.window(), nullptr);
    EXPECT_TRUE(help.window()->isVisible());
    EXPECT_EQ(help.window()->windowTitle(), u8("クイレット解析ソフト ヘルプ"));
    EXPECT_EQ(help.browser()->source().fragment(), "context1");
    EXPECT_TRUE(help.browser()->toPlainText().contains(u8("ロガー読み出し")));
    EXPECT_TRUE(t.messages.shown.empty());

    // Help asked again reuses the window.
    QWidget* first = help.window();
    window->mHELP->trigger();
    EXPECT_EQ(help.window(), first);

    // No help anywhere (the tests have no bundled copy): the user is told.
    QtHelpViewer none(window.get());
    t.ctx.help = &none;
    t.ctx.folders.helpFile = t.root + "/missing.html";
    window->mHELP->trigger();
    EXPECT_EQ(none.window(), nullptr);
    EXPECT_EQ(t.messages.texts(), QStringList{u8("ファイルが見つかりません｡\rエラー53")});
}

// --help and --version print and exit, with no display at all.
TEST(ProgramCommandLine, HelpAndVersionNeedNoWindow) {
    const QString program = QStringLiteral(QUILLET_BUILD_DIR "/app/quillet");
    if (!QFile::exists(program)) GTEST_SKIP() << "the program is not built";
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* v : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(v);
    const struct { const char* arg; const char* says; } cases[] = {
        {"--help", "使い方: quillet"},
        {"--version", "クイレット解析ソフト Ver"},
    };
    for (const auto& c : cases) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(program, {c.arg});
        ASSERT_TRUE(p.waitForFinished(10000)) << c.arg;
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << c.arg;
        EXPECT_EQ(p.exitCode(), 0) << c.arg;
        EXPECT_TRUE(QString::fromUtf8(p.readAllStandardOutput()).startsWith(u8(c.says))) << c.arg;
    }
}

}  // namespace
}  // namespace quillet::fakes
