// The menu commands around the dispatcher: open with the unsaved question,
// and data insertion through the staging slots.
#include "datafile/fileops.h"
#include "core/store.h"
#include "filebuilder.h"
#include "support/fakes.h"

#include <QDir>

#include <gtest/gtest.h>

namespace quillet {
namespace {

// What the last file operation of a test came to.
FileOutcome lastFile = FileOutcome::NoEffect;

using fakes::TestContext;
using filetest::Block;
using filetest::fileBytes;
using filetest::readBytes;
using filetest::writeBytes;

class RecordingView : public MainView {
public:
    void refreshDisplay() override { ++refreshed; }
    void updateCaption() override { ++captions; }
    void enableAllCommands() override { ++enabled; }
    int refreshed = 0;
    int captions = 0;
    int enabled = 0;
};

class CommandTest : public ::testing::Test {
protected:
    CommandTest() { t.ctx.view = &view; }
    QString path(const QString& name) const { return t.root + "/" + name; }
    void useChannel(int ch, int samples = 2) {
        ChannelRecord& c = t.ctx.store.ch[size_t(ch)];
        c.inUse = 1;
        c.startYear = 2013;
        c.startMonth = 11;
        c.startDay = 15;
        c.startHour = 9;
        c.intervalMinute = 10;
        c.sampleCount = int16_t(samples);
        c.cardNo = int16_t(ch);
        for (int i = 1; i <= samples; ++i) t.ctx.store.samples[size_t(ch)][size_t(i)] = int16_t(ch * 100 + i);
        t.ctx.store.channelsInUse = int16_t(countChannelsInUse(t.ctx.store));
    }
    TestContext t;
    RecordingView view;
};

TEST_F(CommandTest, CancelledOpenSetsCommStatus) {
    lastFile = runFileOperation(t.ctx, kOpen);  // the script is empty: Cancel
    EXPECT_TRUE(lastFile == FileOutcome::Failed || lastFile == FileOutcome::Cancelled);
    EXPECT_TRUE(t.messages.shown.empty());
    ASSERT_EQ(t.dialogs.requests.size(), 1u);
    EXPECT_EQ(t.dialogs.requests[0].title, "ファイルの読み込み");
    EXPECT_EQ(t.dialogs.requests[0].filter, "ファイル(*.ql*)|*.ql6;*.ql5;*.ql4;*.ql3;*.ql2;*.ql1;*.ql;*.qlg;*.qld");
    EXPECT_EQ(t.dialogs.requests[0].defaultExtension, "ql*");
    EXPECT_EQ(t.dialogs.requests[0].initialName, "");
}

TEST_F(CommandTest, OpenCommandAfterCancelOnEmptyStoreStops) {
    openDataFile(t.ctx);
    EXPECT_NE(lastFile, FileOutcome::Failed);
    EXPECT_EQ(view.refreshed, 0);
    EXPECT_EQ(view.enabled, 0);
}

TEST_F(CommandTest, OpenCommandRebuildsTheAxisAndEnablesCommands) {
    Block a;
    Block b;
    b.code = 2;
    b.startMinute = 25;  // two rows after channel 1
    writeBytes(path("f.ql6"), fileBytes({a, b}));
    t.dialogs.answers.push_back(path("f.ql6"));
    openDataFile(t.ctx);

    EXPECT_TRUE(t.messages.shown.empty());  // nothing unsaved: no question
    EXPECT_EQ(view.refreshed, 1);
    EXPECT_EQ(view.enabled, 1);
    EXPECT_GE(view.captions, 1);
    EXPECT_EQ(t.ctx.store.referenceChannel, 1);
    EXPECT_EQ(t.ctx.store.ch[2].rowOffset, 2);
    EXPECT_EQ(t.ctx.store.rowCount, 5);
}

TEST_F(CommandTest, UnsavedQuestionYesSavesUnderANewNameFirst) {
    useChannel(6);
    t.ctx.store.unsavedRead = 1;
    writeBytes(path("next.ql6"), fileBytes({Block{}}));
    t.messages.answers.push_back(kYes);
    t.dialogs.answers.push_back(path("saved.ql6"));
    t.dialogs.answers.push_back(path("next.ql6"));
    openDataFile(t.ctx);

    ASSERT_GE(t.messages.shown.size(), 1u);
    EXPECT_EQ(t.messages.shown[0].title, "クイレット解析ソフト ");
    EXPECT_EQ(t.messages.shown[0].text, "データを保存しますか？");
    EXPECT_EQ(t.messages.shown[0].style & 7, 3);  // 保存 / 保存しない / キャンセル
    ASSERT_EQ(t.dialogs.requests.size(), 2u);
    EXPECT_EQ(t.dialogs.requests[0].title, "名前をつけて保存");
    EXPECT_EQ(t.dialogs.requests[1].title, "ファイルの読み込み");
    const QByteArray saved = readBytes(path("saved.ql6"));
    ASSERT_GE(saved.size(), 4);
    EXPECT_EQ(saved.mid(2, 2), QByteArray("\x06\x00", 2));  // channel 6 saved
    EXPECT_EQ(t.ctx.store.ch[6].inUse, 0);                  // then replaced by the open
    EXPECT_EQ(t.ctx.store.ch[1].inUse, 1);
    EXPECT_EQ(t.ctx.store.currentFileName, path("next.ql6"));
}

TEST_F(CommandTest, UnsavedQuestionNoOpensDirectly) {
    useChannel(6);
    t.ctx.store.unsavedEdit = 1;
    writeBytes(path("next.ql6"), fileBytes({Block{}}));
    t.messages.answers.push_back(kNo);
    t.dialogs.answers.push_back(path("next.ql6"));
    openDataFile(t.ctx);
    ASSERT_EQ(t.dialogs.requests.size(), 1u);
    EXPECT_EQ(t.dialogs.requests[0].title, "ファイルの読み込み");
    EXPECT_EQ(t.ctx.store.ch[1].inUse, 1);
}

TEST_F(CommandTest, FailedSaveBeforeOpenKeepsTheData) {
    useChannel(6);
    t.ctx.store.unsavedRead = 1;
    t.messages.answers.push_back(kYes);
    t.dialogs.answers.push_back(path("nowhere/saved.ql6"));
    openDataFile(t.ctx);
    ASSERT_EQ(t.dialogs.requests.size(), 1u);  // no open dialog after the failure
    EXPECT_EQ(t.ctx.store.ch[6].inUse, 1);
    EXPECT_EQ(t.ctx.store.unsavedRead, 1);
    EXPECT_NE(lastFile, FileOutcome::Failed);
}

// quillet FILE: the open of "開く" without its dialog.
TEST_F(CommandTest, FileNamedAtStartUpOpensAsTheOpenCommandDoes) {
    writeBytes(path("old.ql5"), fileBytes({Block{}}));
    QDir::setCurrent(t.root);
    openDataFileNamed(t.ctx, "old.ql5");  // relative to the current folder
    EXPECT_TRUE(t.dialogs.requests.empty());
    EXPECT_TRUE(t.messages.shown.empty());
    EXPECT_EQ(t.ctx.store.ch[1].inUse, 1);
    EXPECT_EQ(t.ctx.store.ch[1].startTenSec, 3);  // the layout with ten seconds
    EXPECT_EQ(t.ctx.store.currentFileName, path("old.ql6"));
    EXPECT_EQ(view.refreshed, 1);
    EXPECT_EQ(view.enabled, 1);

    openDataFileNamed(t.ctx, path("missing.ql6"));
    ASSERT_EQ(t.messages.shown.size(), 1u);
    EXPECT_EQ(t.messages.shown[0].title, "ファイルの読込");
    EXPECT_EQ(t.messages.shown[0].text, "ファイルが見つかりません｡\rエラー53");
    EXPECT_EQ(t.ctx.store.ch[1].inUse, 1);  // what was open stays
    EXPECT_NE(lastFile, FileOutcome::Failed);
}

TEST_F(CommandTest, FailedOpenKeepsTheCompletedChannelsOnScreen) {
    Block bad;
    bad.code = 3;
    bad.sampleCount = 12001;
    writeBytes(path("bad.ql6"), fileBytes({Block{}, bad}));
    t.dialogs.answers.push_back(path("bad.ql6"));
    openDataFile(t.ctx);
    EXPECT_NE(lastFile, FileOutcome::Failed);  // read and reset by the command
    EXPECT_EQ(t.ctx.store.channelsInUse, 1);
    EXPECT_EQ(view.refreshed, 1);
    EXPECT_EQ(t.ctx.store.rowCount, 3);
}

// A dialog double that records what it was shown.
class ScriptedInsertDialog : public InsertDialog {
public:
    std::optional<InsertChoice> choose(AppContext& ctx, const QString& fileName) override {
        ++calls;
        shownFile = fileName;
        for (int slot = 9; slot <= 16; ++slot)
            if (ctx.store.ch[size_t(slot)].inUse == 1) stagedSlots.push_back(slot);
        for (int n = 1; n <= 8; ++n) fileSlots.push_back(ctx.store.fileChannelSlot[size_t(n)]);
        offsets = ctx.store.stagedSampleOffset;
        staged = ctx.store.ch;
        return answer;
    }
    std::optional<InsertChoice> answer;
    int calls = 0;
    QString shownFile;
    std::vector<int> stagedSlots;
    std::vector<int> fileSlots;
    std::array<qint64, kSlots + 1> offsets{};
    std::array<ChannelRecord, kSlots + 1> staged{};
};

class InsertTest : public CommandTest {
protected:
    InsertTest() {
        two.code = 8 + 2;
        two.cardNo = 21;
        two.testNo = 22;
        two.startMinute = 10;  // one row after the store's channel 1
        two.startTenSec = 0;
        two.integratedValue = -1;
        two.samples = {111, 112, 113, 114};
        four.code = 4;
        four.cardNo = 41;
        four.samples = {444};
        writeBytes(path("ins.ql6"), fileBytes({two, four}));
    }
    Block two;
    Block four;
    ScriptedInsertDialog dialog;
};

TEST_F(InsertTest, FileChannelTwoGoesIntoFreeChannelFive) {
    useChannel(1, 3);
    useChannel(2, 2);
    t.ctx.store.unsavedRead = 0;
    const QString name = t.ctx.store.currentFileName;
    const ChannelRecord before2 = t.ctx.store.ch[2];
    t.dialogs.answers.push_back(path("ins.ql6"));
    dialog.answer = InsertChoice{0, 5};
    insertData(t.ctx, dialog);

    ASSERT_EQ(t.dialogs.requests.size(), 1u);
    EXPECT_EQ(t.dialogs.requests[0].title, "データの挿入");
    EXPECT_EQ(t.dialogs.requests[0].defaultExtension, "ql6");
    EXPECT_EQ(dialog.shownFile, path("ins.ql6"));
    EXPECT_EQ(dialog.stagedSlots, (std::vector<int>{10, 12}));
    EXPECT_EQ(dialog.fileSlots, (std::vector<int>{10, 12, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(dialog.offsets[10], 2 + 48);
    EXPECT_EQ(dialog.offsets[12], 2 + 48 + 8 + 44);
    EXPECT_EQ(dialog.staged[10].cardNo, 21);
    EXPECT_EQ(dialog.staged[12].cardNo, 41);
    EXPECT_GT(dialog.staged[10].startTime, 0);  // derived for the dialog's labels

    const ChannelRecord& c = t.ctx.store.ch[5];
    EXPECT_EQ(c.inUse, 1);
    EXPECT_EQ(c.kind, 1);
    EXPECT_EQ(c.cardNo, 21);
    EXPECT_EQ(c.testNo, 22);
    EXPECT_EQ(c.upperAlarm, 350);
    EXPECT_EQ(c.sampleCount, 4);
    EXPECT_EQ(c.integratedValue, 65534);  // as an open reads it
    EXPECT_EQ(c.rangeLow, -400);
    EXPECT_EQ(t.ctx.store.samples[5][1], 111);
    EXPECT_EQ(t.ctx.store.samples[5][4], 114);
    // Channel 2 of the store is untouched.
    EXPECT_EQ(t.ctx.store.ch[2].cardNo, before2.cardNo);
    EXPECT_EQ(t.ctx.store.samples[2][1], 201);
    EXPECT_EQ(t.ctx.store.channelsInUse, 3);
    EXPECT_EQ(t.ctx.store.unsavedEdit, 1);
    EXPECT_EQ(t.ctx.store.currentFileName, name);
    EXPECT_EQ(view.refreshed, 1);
    EXPECT_EQ(t.ctx.store.ch[5].rowOffset, 1);  // starts 10 minutes after channel 1
    EXPECT_NE(lastFile, FileOutcome::Failed);
}

TEST_F(InsertTest, ListIndexFollowsTheSlotOrderOfTheDialog) {
    // Blocks out of order in the file: the second entry of the list is still
    // the higher channel.
    writeBytes(path("rev.ql6"), fileBytes({four, two}));
    t.dialogs.answers.push_back(path("rev.ql6"));
    dialog.answer = InsertChoice{1, 3};
    insertData(t.ctx, dialog);
    EXPECT_EQ(t.ctx.store.ch[3].cardNo, 41);
    EXPECT_EQ(t.ctx.store.samples[3][1], 444);
}

TEST_F(InsertTest, OldLayoutFileIsStagedWithoutTenSeconds) {
    writeBytes(path("ins.qlg"), fileBytes({two, four}, false));
    t.dialogs.answers.push_back(path("ins.qlg"));
    dialog.answer = InsertChoice{1, 1};
    insertData(t.ctx, dialog);
    EXPECT_EQ(dialog.offsets[12], 2 + 44 + 8 + 40);
    EXPECT_EQ(t.ctx.store.ch[1].cardNo, 41);
    EXPECT_EQ(t.ctx.store.ch[1].startTenSec, 0);
    EXPECT_EQ(t.ctx.store.samples[1][1], 444);
}

TEST_F(InsertTest, CancelLeavesStoreAndFlagsUnchanged) {
    useChannel(1);
    t.ctx.store.unsavedRead = 1;
    t.dialogs.answers.push_back(path("ins.ql6"));
    dialog.answer = std::nullopt;
    lastFile = runFileOperation(t.ctx, kInsert, &dialog);
    EXPECT_TRUE(lastFile == FileOutcome::Failed || lastFile == FileOutcome::Cancelled);

    t.dialogs.answers.push_back(path("ins.ql6"));
    insertData(t.ctx, dialog);
    EXPECT_EQ(dialog.calls, 2);
    EXPECT_EQ(t.ctx.store.channelsInUse, 1);
    EXPECT_EQ(countChannelsInUse(t.ctx.store), 1);
    EXPECT_EQ(t.ctx.store.unsavedRead, 1);
    EXPECT_EQ(t.ctx.store.unsavedEdit, 0);
    EXPECT_EQ(view.refreshed, 0);
    EXPECT_TRUE(t.messages.shown.empty());
}

TEST_F(InsertTest, NoFreeChannelShowsMessageTen) {
    for (int ch = 1; ch <= 8; ++ch) useChannel(ch);
    insertData(t.ctx, dialog);
    ASSERT_EQ(t.messages.shown.size(), 1u);
    EXPECT_EQ(t.messages.shown[0].title, "ファイルの読込");
    EXPECT_EQ(t.messages.shown[0].text, "空のＣＨがありません。");
    EXPECT_TRUE(t.dialogs.requests.empty());
}

TEST_F(InsertTest, FailuresLeaveChannelsOneToEightAsTheyWere) {
    Block bad;
    bad.code = 0;
    writeBytes(path("bad.ql6"), fileBytes({two, bad}));
    const struct {
        const char* what;
        QString file;
        std::optional<InsertChoice> answer;
        QString text;
    } cases[] = {
        {"missing file", path("none.ql6"), InsertChoice{0, 5}, "ファイルが見つかりません｡\rエラー53"},
        {"bad block", path("bad.ql6"), InsertChoice{0, 5}, "不正なファイル形式です。\rエラー321"},
        {"target in use", path("ins.ql6"), InsertChoice{0, 1}, "予期しないエラーが発生しました。\rエラー9"},
        {"target 9", path("ins.ql6"), InsertChoice{0, 9}, "予期しないエラーが発生しました。\rエラー9"},
        {"index past the list", path("ins.ql6"), InsertChoice{2, 5}, "予期しないエラーが発生しました。\rエラー9"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        TestContext fresh;
        fresh.ctx.store.ch[1].inUse = 1;
        fresh.ctx.store.ch[1].cardNo = 5;
        fresh.ctx.store.channelsInUse = 1;
        const auto before = fresh.ctx.store.ch;
        const auto samples = fresh.ctx.store.samples;
        fresh.dialogs.answers.push_back(k.file);
        ScriptedInsertDialog d;
        d.answer = k.answer;
        insertData(fresh.ctx, d);
        ASSERT_EQ(fresh.messages.shown.size(), 1u);
        EXPECT_EQ(fresh.messages.shown[0].title, "ファイルの保存");
        EXPECT_EQ(fresh.messages.shown[0].text, k.text);
        for (int ch = 1; ch <= 8; ++ch) {
            EXPECT_EQ(fresh.ctx.store.ch[size_t(ch)].inUse, before[size_t(ch)].inUse) << ch;
            EXPECT_EQ(fresh.ctx.store.ch[size_t(ch)].cardNo, before[size_t(ch)].cardNo) << ch;
        }
        EXPECT_TRUE(fresh.ctx.store.samples == samples);
        EXPECT_EQ(fresh.ctx.store.channelsInUse, 1);
        EXPECT_EQ(fresh.ctx.store.unsavedEdit, 0);
    }
}

}  // namespace
}  // namespace quillet
