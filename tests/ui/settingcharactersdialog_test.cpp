#include "loggerset/ui/settingcharactersdialog.h"

#include "core/settingsfiles.h"
#include "loggerset/ui/commwiring.h"
#include "loggerset/ui/readoutwindows.h"
#include "mainwin_fixture.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>

using namespace quillet;
using namespace quillet::fakes;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class SettingCharactersDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ensureApplication(); }

    void SetUp() override {
        t.ctx.general.settingCharCard[9] = "old";
        ASSERT_TRUE(saveGeneralSettings(t.ctx.general, t.ctx.folders.settingsFile));
        saved = fileBytes(t.ctx.folders.settingsFile);
        d = std::make_unique<SettingCharactersDialog>(t.ctx);
        d->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(d.get()));
    }

    QString cell(int grid, int row, int col) { return d->grid(grid)->model()->index(row, col).data().toString(); }

    // Types into the cell's editor as the user does and ends with Enter.
    void type(int grid, int row, const char* keys) {
        QTableView* view = d->grid(grid);
        const QModelIndex i = view->model()->index(row, 1);
        view->setCurrentIndex(i);
        view->edit(i);
        QLineEdit* editor = nullptr;
        for (auto* e : view->viewport()->findChildren<QLineEdit*>("settingCharEditor"))
            if (e->isVisible()) editor = e;
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, QString::fromUtf8(keys));
        QTest::keyClick(editor, Qt::Key_Return);
        // The commit, then the message it posts, then the editor's deletion.
        for (int round = 0; round < 3; ++round) QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    TestContext t;
    QByteArray saved;
    std::unique_ptr<SettingCharactersDialog> d;
};

TEST_F(SettingCharactersDialogTest, EditsThroughTheGridAndCancelKeepsTheFile) {
    EXPECT_EQ(d->windowTitle(), u8("ロガーパラメータ設定"));
    EXPECT_EQ(d->grid(kCardGrid)->model()->headerData(0, Qt::Horizontal).toString(), u8("カードNo."));
    EXPECT_EQ(d->grid(kTestGrid)->model()->headerData(1, Qt::Horizontal).toString(), u8("変換文字"));
    EXPECT_EQ(cell(kCardGrid, 7, 0), "007");

    type(kCardGrid, 5, "A-1 ");  // "-" and the blank are not setting characters
    EXPECT_EQ(cell(kCardGrid, 5, 1), "A1");
    type(kCardGrid, 9, "A1");
    ASSERT_EQ(t.messages.shown.size(), 1u);
    EXPECT_EQ(t.messages.shown[0].text, u8("同一の文字がすでに設定されています。"));
    EXPECT_EQ(cell(kCardGrid, 9, 1), "old");
    type(kTestGrid, 9, "A1");
    EXPECT_EQ(cell(kTestGrid, 9, 1), "A1");
    type(kCardGrid, 7, "12");  // silently refused
    EXPECT_EQ(cell(kCardGrid, 7, 1), "");
    EXPECT_EQ(t.messages.shown.size(), 1u);

    d->command(1)->click();  // Cancel
    EXPECT_EQ(d->result(), QDialog::Rejected);
    EXPECT_EQ(t.ctx.general.settingCharCard[5], "");
    EXPECT_EQ(fileBytes(t.ctx.folders.settingsFile), saved);
}

TEST_F(SettingCharactersDialogTest, SortDeleteAndOkSaves) {
    type(kCardGrid, 200, "A");
    type(kCardGrid, 5, "B");
    QPushButton* sort = d->findChild<QPushButton*>("comSort");
    QPushButton* remove = d->findChild<QPushButton*>("comSetchar");

    sort->click();  // ascending by the characters (the cursor is in column 1)
    EXPECT_EQ(cell(kCardGrid, 253, 0), "200");
    EXPECT_EQ(cell(kCardGrid, 254, 0), "005");
    EXPECT_EQ(cell(kCardGrid, 255, 0), "009");
    type(kCardGrid, 253, "AA");               // lands on number 200
    sort->click();                            // descending
    EXPECT_EQ(cell(kCardGrid, 0, 0), "009");  // "old"
    EXPECT_EQ(cell(kCardGrid, 2, 1), "AA");

    // Delete the character of the cursor's row after the confirmation.
    d->grid(kCardGrid)->setCurrentIndex(d->grid(kCardGrid)->model()->index(2, 1));
    t.messages.answers = {kCancel};
    remove->click();
    EXPECT_EQ(t.messages.shown.back().text, u8("設定文字を削除しますか？"));
    EXPECT_EQ(cell(kCardGrid, 2, 1), "AA");
    remove->click();  // OK
    EXPECT_EQ(cell(kCardGrid, 2, 1), "");
    remove->click();  // nothing selected any more
    EXPECT_EQ(t.messages.shown.back().text, u8("設定文字を選択してください。"));

    sort->click();  // number order again
    for (int r : {0, 5, 200, 255}) EXPECT_EQ(cell(kCardGrid, r, 0).toInt(), r);

    d->command(0)->click();  // OK
    GeneralSettings back;
    loadGeneralSettings(back, t.ctx.folders.settingsFile);
    EXPECT_EQ(back.settingCharCard[5], "B");
    EXPECT_EQ(back.settingCharCard[200], "");
    EXPECT_EQ(back.settingCharCard[9], "old");
    EXPECT_EQ(t.ctx.general.settingCharCard[5], "B");
}

class SettingsMenuTest : public MainWindowTest {};

TEST_F(SettingsMenuTest, MenuEntriesAreWired) {
    QtReadoutWindows readout(window.get());
    wireCommunication(*window, t.ctx, readout);
    for (QAction* a : {window->action(Command::RecordingSettings), window->toolButton(Command::RecordingSettings),
                       window->action(Command::SettingCharacters)})
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
    bool opened = false;
    whenModal<SettingCharactersDialog>([&opened](SettingCharactersDialog& p) {
        opened = true;
        p.command(1)->click();
    });
    window->action(Command::SettingCharacters)->trigger();
    EXPECT_TRUE(opened);

    // OK: the grid's captions are asked again, so the new characters show at once.
    QSignalSpy captions(window->grid->model(), &QAbstractItemModel::headerDataChanged);
    whenModal<SettingCharactersDialog>([](SettingCharactersDialog& p) {
        p.grid(kCardGrid)->model()->setData(p.grid(kCardGrid)->model()->index(1, 1), "SOKO1");
        p.command(0)->click();
    });
    window->action(Command::SettingCharacters)->trigger();
    EXPECT_EQ(t.ctx.general.settingCharCard[1], "SOKO1");
    EXPECT_GE(captions.count(), 1);
}

}  // namespace
