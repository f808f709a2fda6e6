#include "mainwin_fixture.h"

#include "core/catalog.h"
#include "core/store.h"
#include "core/ui/deletechannelsdialog.h"

#include <QFile>
#include <QHeaderView>
#include <QMenuBar>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>

using namespace quillet;
using namespace quillet::fakes;

namespace {

QStringList menuTexts(const QMenu* m) {
    QStringList out;
    for (const QAction* a : m->actions()) out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

// Records the texts and the marking of the grids when a message is shown.
struct MarkingMessages : MessageBoxes {
    MainWindow* window = nullptr;
    std::deque<int> answers;
    std::vector<std::pair<QString, QString>> shown;  // title, text
    std::vector<std::vector<int>> markedData, markedStats;
    int show(const QString& title, const QString& text, int) override {
        shown.emplace_back(title, text);
        std::vector<int> d, s;
        for (int c = 0; c < 10; ++c)
            if (window->gridModel->marked().isMarked(c)) d.push_back(c);
        for (int c = 0; c < 9; ++c)
            if (window->pgridModel->marked().isMarked(c)) s.push_back(c);
        markedData.push_back(d);
        markedStats.push_back(s);
        if (answers.empty()) return kOk;
        const int a = answers.front();
        answers.pop_front();
        return a;
    }
};

}  // namespace

TEST_F(MainWindowTest, MenuBarAndEntriesAsCaptioned) {
    QStringList top;
    for (const QAction* a : window->menuBar()->actions()) top << a->text();
    EXPECT_EQ(top, QStringList({u8("ロガー(&L)"), u8("いつもの通信(&I)"), u8("グラフ(&G)"), u8("ファイル(&F)"),
                                u8("チャンネル(&C)"), u8("解析(&A)"), u8("アーカイブ(&R)"), u8("ヘルプ(&H)")}));
    EXPECT_EQ(menuTexts(window->menu(Command::AnalysisMenu)),
              QStringList({u8("統計と逸脱(&S)"), u8("レポート印刷(&R)"), u8("レポートの印刷プレビュー(&V)"),
                           u8("レポートをPDFで保存(&D)...")}));
    EXPECT_EQ(menuTexts(window->menu(Command::LoggerMenu)),
              QStringList({u8("ロガー読み出し(&R)"), u8("ロガー設定&(S)"), u8("連続読み出し"), u8("ポート設定(&P)")}));
    EXPECT_EQ(menuTexts(window->menu(Command::LoggerSettingsMenu)),
              QStringList({u8("収録設定(&S)"), u8("パラメータ設定(&P)")}));
    EXPECT_EQ(menuTexts(window->menu(Command::PortMenu)), QStringList({u8("自動設定(&A)"), u8("手動設定(&M)")}));
    EXPECT_EQ(menuTexts(window->menu(Command::UsualMenu)), QStringList({u8("いつもの通信(&I)"), u8("通信設定(&S)")}));
    EXPECT_EQ(menuTexts(window->menu(Command::FileMenu)),
              QStringList({u8("開く(&O)"), u8("上書き保存(&A)"), u8("名前を付けて保存(&A)"), u8("テキスト保存(&T)"),
                           u8("表形式CSVで保存..."), u8("Excelブックで保存..."), u8("印刷(&P)"),
                           u8("印刷プレビュー(&V)"), u8("PDFで保存(&D)..."), u8("プリンタ設定(&S)"),
                           u8("データ挿入(&D)"), u8("-"), u8("最近使ったファイル(&R)"), u8("-"), u8("終了(&E)")}));
    EXPECT_EQ(menuTexts(window->menu(Command::TextMenu)), QStringList({u8("テキスト保存(&T)"), u8("ＣＳＶ保存(&C)")}));
    EXPECT_EQ(menuTexts(window->menu(Command::PrintMenu)),
              QStringList({u8("全体印刷(&A)"), u8("部分印刷(&B)"), u8("パラメータ印刷(&P)")}));
    EXPECT_EQ(menuTexts(window->menu(Command::ChannelMenu)), QStringList({u8("データ削除(&D)")}));
    EXPECT_EQ(menuTexts(window->menu(Command::HelpMenu)), QStringList({u8("ヘルプ(&H)"), u8("バージョン情報(&V)")}));
}

TEST_F(MainWindowTest, ToolbarPositionsKeysAndImages) {
    const QList<QAction*> actions = window->toolbar()->actions();
    ASSERT_EQ(actions.size(), 12);
    const struct {
        const char* key;
        const char* tip;
    } positions[12] = {{"btnLRead", "ロガー読み出し"},
                       {"btnLSet", "ロガーの設定"},
                       {nullptr, nullptr},
                       {"btnGraph", "グラフの描画"},
                       {nullptr, nullptr},
                       {"btnOpen", "データの読み出し"},
                       {"btnSave", "上書き保存"},
                       {nullptr, nullptr},
                       {"btnPrint", "全データ印刷"},
                       {nullptr, nullptr},
                       {"btnAddCh", "データを追加"},
                       {"btnDelCh", "ＣＨデータを削除"}};
    for (int i = 0; i < 12; ++i) {
        if (!positions[i].key) {
            EXPECT_TRUE(actions[i]->isSeparator()) << i + 1;
            continue;
        }
        EXPECT_EQ(actions[i]->objectName(), positions[i].key);
        EXPECT_EQ(actions[i]->toolTip(), u8(positions[i].tip));
    }
    for (const char* key : {"toolopen", "toolsave", "toolprint", "toollog", "toolgl"}) {
        ASSERT_TRUE(window->toolbarImageList().contains(key)) << key;
        const QPixmap pm = window->toolbarImageList().value(key).pixmap(16, 16);
        EXPECT_EQ(pm.size(), QSize(16, 16));
        EXPECT_FALSE(pm.toImage().allGray() && pm.toImage().pixelColor(8, 8).alpha() == 0) << key;
    }
}

TEST_F(MainWindowTest, CommandStatesFollowDataAndWiring) {
    int reads = 0, saves = 0;
    window->setCommand(Command::ReadLogger, [&] { ++reads; });
    window->setCommand(Command::Save, [&] { ++saves; });

    struct Expect {
        QAction* a;
        bool empty, withData;
    };
    const std::vector<Expect> expected = {
        {window->action(Command::ReadLogger), true, true},
        {window->toolButton(Command::ReadLogger), true, true},
        {window->action(Command::RecordingSettings), false, false},
        {window->toolButton(Command::RecordingSettings), false, false},  // not wired yet
        {window->action(Command::Graph), false, false},
        {window->toolButton(Command::Graph), false, false},
        {window->action(Command::Save), false, true},
        {window->toolButton(Command::Save), false, true},
        {window->action(Command::SaveAs), false, false},
        {window->action(Command::TextMenu), false, true},
        {window->action(Command::PrintMenu), false, true},
        {window->action(Command::PrintAll), false, false},
        {window->action(Command::ChannelMenu), false, true},
        {window->action(Command::DeleteChannels), true, true},
        {window->toolButton(Command::DeleteChannels), false, true},
        {window->toolButton(Command::Insert), false, false},
        {window->action(Command::Help), true, true},
        {window->action(Command::Version), true, true},
        {window->action(Command::Exit), true, true},
    };
    for (const auto& e : expected) EXPECT_EQ(e.a->isEnabled(), e.empty) << e.a->objectName().toStdString();

    fill(3, {.samples = ramp(5)});
    refresh();
    for (const auto& e : expected) EXPECT_EQ(e.a->isEnabled(), e.withData) << e.a->objectName().toStdString();

    window->toolButton(Command::ReadLogger)->trigger();
    window->toolButton(Command::Save)->trigger();
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(saves, 1);
}

TEST_F(MainWindowTest, GridAndStatisticsTexts) {
    fill(1, {.kind = 1, .samples = {253, 250, 9999}});
    fill(2, {.kind = 0, .start = QDateTime(QDate(2013, 11, 15), QTime(10, 10, 0)), .samples = {211}});
    refresh();
    EXPECT_EQ(window->gridModel->rowCount(), 12000);
    EXPECT_EQ(window->gridModel->columnCount(), 10);
    EXPECT_EQ(header(0), "No.");
    EXPECT_EQ(header(1), u8("時  刻"));
    EXPECT_EQ(header(2), u8("001\r001\r[ﾟC]"));
    EXPECT_EQ(header(4), "C");
    EXPECT_EQ(cell(1, 0), "1");
    EXPECT_EQ(cell(1, 1), "13-11-15 10:00:00");
    EXPECT_EQ(cell(1, 2), u8("25.3▲"));
    EXPECT_EQ(cell(2, 2), u8("25.0   "));
    EXPECT_EQ(cell(3, 2), u8("-----  "));
    EXPECT_EQ(cell(1, 3), "");  // the later channel starts in row 2
    EXPECT_EQ(cell(2, 3), u8("21.1   "));
    EXPECT_EQ(stat(0, 0), u8("開始時刻"));
    EXPECT_EQ(stat(0, 1), u8("13-11-15\r10:00:00 "));
    EXPECT_EQ(stat(7, 2), u8("-----"));
    EXPECT_EQ(stat(8, 2), u8("-----"));
    EXPECT_EQ(stat(7, 1), u8("25.0"));
    // The screen shows the two-line cells on two lines.
    EXPECT_EQ(window->pgridModel->index(0, 1).data().toString(), u8("13-11-15\n10:00:00 "));
    // Data from no file: no file name in the title.
    EXPECT_EQ(window->windowTitle(), u8("クイレット解析ソフト "));
}

TEST_F(MainWindowTest, TwentyRowsEqualColumnsAndScrollRules) {
    fill(1, {.samples = ramp(100)});
    refresh();
    EXPECT_EQ(window->VScroll->minimum(), 1);
    EXPECT_EQ(window->VScroll->maximum(), 81);
    EXPECT_EQ(window->VScroll->pageStep(), 6);
    EXPECT_EQ(window->VScroll->value(), 1);

    // At least 20 data rows fit below the header (the grid takes the
    // window's spare height); channel columns are equally wide.
    QTableView* g = window->grid;
    const int rowH = g->rowHeight(0);
    EXPECT_GE(g->viewport()->height(), 20 * rowH);
    // The header is three rows high (and what the division by 23 left).
    EXPECT_GE(g->horizontalHeader()->height(), 3 * rowH);
    EXPECT_LT(g->horizontalHeader()->height(), 3 * rowH + 23);
    for (int c = 3; c < 10; ++c) EXPECT_EQ(g->columnWidth(c), g->columnWidth(2));
    EXPECT_EQ(window->pgrid->columnWidth(0), g->columnWidth(0) + g->columnWidth(1));
    EXPECT_EQ(window->pgrid->columnWidth(5), g->columnWidth(2));

    window->VScroll->setValue(30);
    EXPECT_EQ(window->topRow(), 30);

    auto wheel = [&](int delta) {
        QWheelEvent e(QPointF(50, 50), g->viewport()->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(g->viewport(), &e);
    };
    window->VScroll->setValue(1);
    wheel(-120);
    EXPECT_EQ(window->VScroll->value(), 11);
    EXPECT_EQ(window->topRow(), 11);
    window->VScroll->setValue(78);
    wheel(-120);
    EXPECT_EQ(window->VScroll->value(), 81);
    wheel(120);
    EXPECT_EQ(window->VScroll->value(), 71);
    wheel(-60);  // half a notch does nothing yet
    EXPECT_EQ(window->VScroll->value(), 71);
    wheel(-60);
    EXPECT_EQ(window->VScroll->value(), 81);

    // A refill starts at the top again; 20 rows or fewer cannot scroll.
    fill(1, {.samples = ramp(20)});
    refresh();
    EXPECT_EQ(window->VScroll->maximum(), 1);
    wheel(-120);
    EXPECT_EQ(window->VScroll->value(), 1);
    EXPECT_EQ(window->topRow(), 1);
}

// A refill changes texts and, past the grid's 12000 rows, the row count; the
// view keeps its layout and shows the new data.
TEST_F(MainWindowTest, RefillsFollowTheStoreAndKeepTheLayout) {
    QTableView* g = window->grid;
    const int rowH = g->rowHeight(0), col2 = g->columnWidth(2), stats0 = window->pgrid->rowHeight(0);
    fill(1, {.start = QDateTime(QDate(2013, 11, 15), QTime(10, 0, 0)), .samples = ramp(12000, 100)});
    fill(2, {.start = QDateTime(QDate(2013, 11, 15), QTime(10, 30, 0)), .samples = ramp(12000, 300)});
    const struct {
        int rows;      // rows of the model and of the view
        int row, col;  // a cell that must show the new data
        const char* text;
    } steps[] = {
        {12003, 12003, 3, "1229.9▲"},  // channel B starts three rows late
        {12000, 1, 2, "10.0   "},      // channel B gone: back to 12000 rows
    };
    for (const auto& step : steps) {
        if (step.rows == 12000) emptyChannel(t.ctx, 2);
        g->setCurrentIndex(g->model()->index(4, 2));
        refresh();
        EXPECT_EQ(window->gridModel->rowCount(), step.rows);
        EXPECT_EQ(g->verticalHeader()->count(), step.rows);
        EXPECT_EQ(window->VScroll->maximum(), step.rows - 19);  // the last row can be reached
        EXPECT_EQ(cell(step.row, step.col), u8(step.text));
        EXPECT_FALSE(g->currentIndex().isValid());  // the chosen cell showed other data
        EXPECT_EQ(g->rowHeight(step.rows - 1), rowH);
        EXPECT_EQ(g->columnWidth(2), col2);
        EXPECT_EQ(window->pgrid->rowHeight(0), stats0);
    }
}

TEST_F(MainWindowTest, DraggingChannelColumnMovesTheChannel) {
    for (int ch = 1; ch <= 4; ++ch) fill(ch, {.samples = {int16_t(ch * 100)}, .cardNo = int16_t(ch)});
    refresh();
    QHeaderView* head = window->grid->horizontalHeader();
    head->moveSection(2, 5);  // what a drop of column 2 at position 5 reports
    for (int c = 0; c < 10; ++c) EXPECT_EQ(head->visualIndex(c), c) << "columns stay in place";
    EXPECT_EQ(t.ctx.store.ch[1].cardNo, 2);
    EXPECT_EQ(t.ctx.store.ch[2].cardNo, 3);
    EXPECT_EQ(t.ctx.store.ch[3].cardNo, 4);
    EXPECT_EQ(t.ctx.store.ch[4].cardNo, 1);
    EXPECT_EQ(cell(1, 5), u8("10.0   "));
    EXPECT_EQ(header(5), u8("001\r001\r[ﾟC]"));
    EXPECT_EQ(t.ctx.store.unsavedEdit, 1);

    // The number and time columns do not take part.
    head->moveSection(0, 4);
    head->moveSection(6, 1);
    for (int c = 0; c < 10; ++c) EXPECT_EQ(head->visualIndex(c), c);
    EXPECT_EQ(t.ctx.store.ch[1].cardNo, 2);
}

TEST_F(MainWindowTest, DraggingWithoutDataIsRefused) {
    t.ctx.store.unsavedRead = 1;
    t.ctx.store.unsavedEdit = 1;
    window->grid->horizontalHeader()->moveSection(3, 7);
    EXPECT_EQ(window->grid->horizontalHeader()->visualIndex(3), 3);
    EXPECT_EQ(t.ctx.store.unsavedRead, 0);
    EXPECT_EQ(t.ctx.store.unsavedEdit, 0);
    EXPECT_EQ(header(4), "C");
}

TEST_F(MainWindowTest, DeleteDialogWithOnlyChannelF) {
    MarkingMessages messages;
    messages.window = window.get();
    t.ctx.messages = &messages;
    fill(6, {.samples = ramp(5)});
    refresh();

    bool checked = false;
    whenModal<DeleteChannelsDialog>([&](DeleteChannelsDialog& d) {
        EXPECT_EQ(d.windowTitle(), u8("データ削除"));
        for (int i = 0; i < 8; ++i) EXPECT_EQ(d.Option1[size_t(i)]->isEnabled(), i == 5) << i;
        EXPECT_TRUE(d.Option1[8]->isEnabled());
        EXPECT_EQ(d.deleteSelection(), 7);
        EXPECT_TRUE(window->gridModel->marked().isMarked(7));
        EXPECT_TRUE(window->pgridModel->marked().isMarked(6));
        checked = true;
        d.delbutton[0]->click();
    });
    window->toolButton(Command::DeleteChannels)->trigger();
    ASSERT_TRUE(checked);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].first, u8("データ削除"));
    EXPECT_EQ(messages.shown[0].second, u8("CH:F を削除します"));
    EXPECT_EQ(messages.markedData[0], std::vector<int>({7}));
    EXPECT_EQ(messages.markedStats[0], std::vector<int>({6}));

    // The last channel is gone: empty store, test.ql6 as the next save's
    // name but no file in the title, data commands off.
    EXPECT_EQ(t.ctx.store.channelsInUse, 0);
    EXPECT_FALSE(window->gridModel->marked().any());
    EXPECT_EQ(t.ctx.store.currentFileName, t.ctx.folders.dataFolder + "test.ql6");
    EXPECT_EQ(window->windowTitle(), u8("クイレット解析ソフト "));
    EXPECT_FALSE(window->action(Command::ChannelMenu)->isEnabled());
    EXPECT_FALSE(window->toolButton(Command::DeleteChannels)->isEnabled());
    EXPECT_FALSE(window->action(Command::TextMenu)->isEnabled());
    EXPECT_EQ(header(7), "F");
    EXPECT_EQ(cell(1, 1), "");
}

TEST_F(MainWindowTest, DeleteDialogAllAndCancel) {
    MarkingMessages messages;
    messages.window = window.get();
    t.ctx.messages = &messages;
    fill(2, {.samples = ramp(5)});
    fill(4, {.samples = ramp(5)});
    refresh();
    t.ctx.store.unsavedRead = 1;
    t.ctx.store.currentFileName = t.root + "/opened.ql6";
    t.ctx.store.dataFileName = t.ctx.store.currentFileName;
    window->updateCaption();
    EXPECT_TRUE(window->windowTitle().startsWith(u8("*クイレット解析ソフト"))) << "unsaved";

    // "全データ削除", then Cancel in the question: nothing changes.
    messages.answers = {kCancel};
    whenModal<DeleteChannelsDialog>([](DeleteChannelsDialog& d) {
        d.Option1[8]->click();
        EXPECT_EQ(d.deleteSelection(), 0);
        d.delbutton[0]->click();
    });
    window->action(Command::DeleteChannels)->trigger();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].second, u8("すべてのデータを削除します"));
    EXPECT_EQ(messages.markedData[0], std::vector<int>({2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(messages.markedStats[0], std::vector<int>({1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(t.ctx.store.channelsInUse, 2);
    EXPECT_EQ(t.ctx.store.unsavedRead, 1);
    EXPECT_TRUE(window->windowTitle().endsWith("opened.ql6"));
    EXPECT_FALSE(window->gridModel->marked().any());

    // Channel D chosen, the dialog's own Cancel: no question, nothing deleted.
    whenModal<DeleteChannelsDialog>([](DeleteChannelsDialog& d) {
        EXPECT_EQ(d.deleteSelection(), 3);  // the lowest channel in use
        d.Option1[3]->click();
        EXPECT_EQ(d.deleteSelection(), 5);
        d.delbutton[1]->click();
    });
    window->action(Command::DeleteChannels)->trigger();
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(t.ctx.store.channelsInUse, 2);
    EXPECT_FALSE(window->gridModel->marked().any());

    // One of two deleted: the other stays, no longer the file's data: the
    // title loses the file's name and keeps the unsaved mark.
    whenModal<DeleteChannelsDialog>([](DeleteChannelsDialog& d) { d.delbutton[0]->click(); });
    window->action(Command::DeleteChannels)->trigger();
    EXPECT_EQ(messages.shown.back().second, u8("CH:B を削除します"));
    EXPECT_EQ(t.ctx.store.ch[2].inUse, 0);
    EXPECT_EQ(t.ctx.store.ch[4].inUse, 1);
    EXPECT_EQ(t.ctx.store.unsavedRead, 1);
    EXPECT_EQ(window->windowTitle(), u8("*クイレット解析ソフト "));
    EXPECT_TRUE(t.ctx.store.currentFileName.endsWith("/test.ql6"));
    EXPECT_TRUE(window->action(Command::ChannelMenu)->isEnabled());
    EXPECT_EQ(header(3), "B");
}

TEST_F(MainWindowTest, HeaderPopups) {
    MarkingMessages messages;
    messages.window = window.get();
    t.ctx.messages = &messages;

    // No channel in use: no menu.
    EXPECT_FALSE(window->showHeaderPopup(0, QPoint(10, 10)));

    fill(3, {.samples = ramp(5)});
    fill(5, {.samples = ramp(5)});
    refresh();
    EXPECT_FALSE(window->showHeaderPopup(1, QPoint(10, 10)));  // the time column
    EXPECT_FALSE(window->showHeaderPopup(3, QPoint(10, 10)));  // channel B is empty

    // A right-button release over the header of channel C.
    QHeaderView* head = window->grid->horizontalHeader();
    const QPoint at(head->sectionViewportPosition(4) + 5, head->height() / 2);
    QTest::mouseRelease(head->viewport(), Qt::RightButton, Qt::NoModifier, at);
    EXPECT_TRUE(window->menu(Command::ChannelPopup)->isVisible());
    EXPECT_EQ(window->action(Command::DeleteChannel)->text(), u8("CH:C 削除"));
    window->menu(Command::ChannelPopup)->hide();
    messages.answers = {kCancel};
    window->action(Command::DeleteChannel)->trigger();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].first, u8("クイレット解析ソフト "));
    EXPECT_EQ(messages.shown[0].second, u8("CH:C を削除します"));
    EXPECT_EQ(messages.markedData[0], std::vector<int>({4}));
    EXPECT_EQ(t.ctx.store.channelsInUse, 2);

    window->action(Command::DeleteChannel)->trigger();  // OK this time
    EXPECT_EQ(t.ctx.store.ch[3].inUse, 0);
    EXPECT_EQ(header(4), "C");

    EXPECT_TRUE(window->showHeaderPopup(0, QPoint(10, 10)));
    EXPECT_TRUE(window->menu(Command::AllPopup)->isVisible());
    EXPECT_EQ(window->action(Command::DeleteAll)->text(), u8("全データ削除"));
    window->menu(Command::AllPopup)->hide();
    window->action(Command::DeleteAll)->trigger();
    EXPECT_EQ(messages.shown.back().second, u8("すべてのデータを削除します"));
    EXPECT_EQ(t.ctx.store.channelsInUse, 0);
}

TEST_F(MainWindowTest, ShutdownWithUnsavedDataAndCancel) {
    fill(1, {.samples = ramp(5)});
    refresh();
    t.ctx.store.unsavedRead = 1;
    QFile::remove(t.ctx.folders.timingFile);
    QFile::remove(t.ctx.folders.debugFile);
    t.messages.answers = {kCancel};
    window->action(Command::Exit)->trigger();
    EXPECT_TRUE(window->isVisible());
    ASSERT_EQ(t.messages.shown.size(), 1u);
    EXPECT_EQ(t.messages.shown[0].title, u8("クイレット解析ソフト "));
    EXPECT_EQ(t.messages.shown[0].text, u8("ロガーのデータが保存されていません。\r\n終了しますか？"));
    EXPECT_EQ(t.ctx.store.channelsInUse, 1);
    EXPECT_TRUE(QFile::exists(t.ctx.folders.timingFile));
    EXPECT_TRUE(QFile::exists(t.ctx.folders.debugFile));

    // 保存しない: the program ends.
    t.messages.answers = {kNo};
    window->action(Command::Exit)->trigger();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, HelpOpensTheHelpFileAtContextOne) {
    struct RecordingHelp : HelpViewer {
        QString file;
        int context = -1;
        bool openHelp(const QString& f, int c) override {
            file = f;
            context = c;
            return true;
        }
    } help;
    t.ctx.help = &help;
    window->action(Command::Help)->trigger();
    EXPECT_EQ(help.file, t.ctx.folders.helpFile);
    EXPECT_TRUE(help.file.endsWith("QuilletHelp_jpn.html"));
    EXPECT_EQ(help.context, 1);
}

TEST_F(MainWindowTest, MonitorEntryFollowsDebugMode) {
    EXPECT_FALSE(window->action(Command::ReadAll)->isVisible());
    t.ctx.debug.debugMode = true;
    MainWindow second(t.ctx);
    EXPECT_TRUE(second.action(Command::ReadAll)->isVisible());
    t.ctx.debug.debugMode = false;
}

TEST_F(MainWindowTest, MouseDragOfAChannelHeader) {
    for (int ch = 1; ch <= 3; ++ch) fill(ch, {.samples = {int16_t(ch * 100)}, .cardNo = int16_t(ch)});
    refresh();
    QHeaderView* head = window->grid->horizontalHeader();
    QWidget* vp = head->viewport();
    auto centre = [&](int col) {
        return QPoint(head->sectionViewportPosition(col) + head->sectionSize(col) / 2, head->height() / 2);
    };
    // Channel C's column dropped on channel A's place.
    QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, centre(4));
    for (int x = centre(4).x(); x >= centre(2).x(); x -= 10) QTest::mouseMove(vp, QPoint(x, head->height() / 2));
    QTest::mouseMove(vp, centre(2) - QPoint(10, 0));
    QTest::mouseRelease(vp, Qt::LeftButton, Qt::NoModifier, centre(2) - QPoint(10, 0));
    for (int c = 0; c < 10; ++c) EXPECT_EQ(head->visualIndex(c), c);
    EXPECT_EQ(t.ctx.store.ch[1].cardNo, 3);
    EXPECT_EQ(t.ctx.store.ch[2].cardNo, 1);
    EXPECT_EQ(t.ctx.store.ch[3].cardNo, 2);
    EXPECT_EQ(t.ctx.store.unsavedEdit, 1);
}
