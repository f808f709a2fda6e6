// What a new user meets first: standard dialogs in Japanese, a main window
// whose grids follow its size, help in the program's own window, and the
// program's command line.
#include "mainwin_fixture.h"
#include "support/toolmissing.h"

#include "core/maingrid.h"
#include "core/ui/helpviewer.h"
#include "core/ui/qtplatform.h"
#include "graph/ui/graphwindow.h"

#include <QFile>
#include <QHeaderView>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSet>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolBar>

#include <functional>

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
void expectGridsFill(MainWindow& w, int minDataRows) {
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
    window->action(Command::Help)->trigger();
    ASSERT_NE(help.window(), nullptr);
    EXPECT_TRUE(help.window()->isVisible());
    EXPECT_EQ(help.window()->windowTitle(), u8("クイレット解析ソフト ヘルプ"));
    EXPECT_EQ(help.browser()->source().fragment(), "context1");
    EXPECT_TRUE(help.browser()->toPlainText().contains(u8("ロガー読み出し")));
    EXPECT_TRUE(t.messages.shown.empty());

    // Help asked again reuses the window.
    QWidget* first = help.window();
    window->action(Command::Help)->trigger();
    EXPECT_EQ(help.window(), first);

    // No help anywhere (the tests have no bundled copy): the user is told.
    QtHelpViewer none(window.get());
    t.ctx.help = &none;
    t.ctx.folders.helpFile = t.root + "/missing.html";
    window->action(Command::Help)->trigger();
    EXPECT_EQ(none.window(), nullptr);
    EXPECT_EQ(t.messages.texts(), QStringList{u8("ファイルが見つかりません｡\rエラー53")});
}

// A caption as the menu shows it: "印刷(&P)" and "ロガー設定&(S)" read 印刷
// and ロガー設定.
QString shownCaption(QString text) {
    static const QRegularExpression accelerator(QStringLiteral("\\(&.\\)|&\\(.\\)"));
    return text.remove(accelerator).remove(QLatin1Char('&'));
}

// Every command of the menus, toolbars and pop-ups of the main window and
// the graph window is named in the help as the program shows it; every link
// of the contents lands on an anchor, and the help window opens at one.
TEST_F(MainWindowTest, HelpNamesEveryCommandAndItsLinksLand) {
    const QString helpFile = QStringLiteral(QUILLET_SOURCE_DIR "/app/help/QuilletHelp_jpn.html");
    QFile file(helpFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(file.readAll());
    QTextDocument doc;
    doc.setHtml(html);
    const QString text = doc.toPlainText();

    GraphWindow graph(t.ctx);
    QStringList captions;
    std::function<void(const QList<QAction*>&)> collect = [&](const QList<QAction*>& actions) {
        for (QAction* a : actions) {
            // The received-data monitor belongs to debug mode only.
            if (a->isSeparator() || a->objectName() == QStringLiteral("mAllRead")) continue;
            if (!a->text().isEmpty()) captions << shownCaption(a->text());
            if (a->menu()) collect(a->menu()->actions());
        }
    };
    collect(window->menuBar()->actions());
    collect(window->toolbar()->actions());
    collect(window->menu(Command::AllPopup)->actions());
    collect(graph.menuBar()->actions());
    collect(graph.toolbar()->actions());
    collect(graph.menu(GraphCommand::RangePopup)->actions());
    EXPECT_GE(captions.size(), 50);
    QStringList missing;
    for (const QString& c : captions)
        if (!text.contains(c)) missing << c;
    EXPECT_TRUE(missing.isEmpty()) << missing.join(" / ").toStdString();

    static const QRegularExpression link(QStringLiteral("href=\"#([^\"]+)\""));
    static const QRegularExpression name(QStringLiteral("name=\"([^\"]+)\""));
    QSet<QString> anchors;
    for (const QRegularExpressionMatch& m : name.globalMatch(html)) anchors.insert(m.captured(1));
    for (int n = 1; n <= 18; ++n) EXPECT_TRUE(anchors.contains(QStringLiteral("context%1").arg(n))) << n;
    int links = 0;
    for (const QRegularExpressionMatch& m : link.globalMatch(html)) {
        ++links;
        EXPECT_TRUE(anchors.contains(m.captured(1))) << m.captured(1).toStdString();
    }
    EXPECT_GE(links, 17);

    // Opened at the graph's section the window scrolls down to it; the
    // picture is kept for a look by eye (QUILLET_BUILD_DIR/help.png).
    QtHelpViewer help(window.get());
    ASSERT_TRUE(help.openHelp(helpFile, 12));
    QApplication::processEvents();
    EXPECT_EQ(help.browser()->source().fragment(), "context12");
    EXPECT_GT(help.browser()->verticalScrollBar()->value(), 0);
    EXPECT_TRUE(help.window()->grab().save(QStringLiteral(QUILLET_BUILD_DIR "/help.png")));
}

// --help and --version print and exit, with no display at all; an unknown
// option prints the usage on stderr (status 2), and without a display the
// program says so (status 1) instead of aborting.
TEST(ProgramCommandLine, AnswersWithoutAWindow) {
    const QString program = QStringLiteral(QUILLET_BUILD_DIR "/app/quillet");
    if (!QFile::exists(program)) QUILLET_TOOL_MISSING("the program is not built");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* v : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(v);
    const struct {
        QStringList args;
        int status;
        bool onStdout;
        const char* says;
    } cases[] = {
        {{"--help"}, 0, true, "使い方: quillet"},
        {{"--version"}, 0, true, "クイレット解析ソフト Ver"},
        {{"--frobnicate"}, 2, false, "quillet: 不明なオプション: --frobnicate"},
        {{"--demo", "-x"}, 2, false, "quillet: 不明なオプション: -x"},
        {{}, 1, false, "quillet: 画面"},
    };
    for (const auto& c : cases) {
        const QString name = c.args.join(QLatin1Char(' '));
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(program, c.args);
        ASSERT_TRUE(p.waitForFinished(10000)) << name.toStdString();
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << name.toStdString();
        EXPECT_EQ(p.exitCode(), c.status) << name.toStdString();
        const QString out = QString::fromUtf8(c.onStdout ? p.readAllStandardOutput() : p.readAllStandardError());
        EXPECT_TRUE(out.startsWith(u8(c.says))) << out.toStdString();
        if (c.status == 2) {
            EXPECT_TRUE(out.contains(u8("使い方: quillet"))) << out.toStdString();
        }
    }
}

}  // namespace
}  // namespace quillet::fakes
