#include "core/channelops.h"

#include "core/catalog.h"
#include "core/channelfill.h"
#include "support/fakes.h"

#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::fakes;

namespace {

// Counts what the headless code asks of the window.
struct RecordingView : MainView {
    int refreshes = 0, captions = 0, states = 0;
    void refreshDisplay() override { ++refreshes; }
    void updateCaption() override { ++captions; }
    void updateCommandStates() override { ++states; }
};

// Channels 1..8 carry card numbers 11..88 and sample 1 = 100 × channel;
// the ones in `used` are in use.
void numberChannels(AppContext& ctx, std::initializer_list<int> used) {
    for (int ch = 1; ch <= kChannels; ++ch) {
        ctx.store.ch[ch].cardNo = int16_t(ch * 11);
        ctx.store.samples[ch][1] = int16_t(ch * 100);
    }
    for (int ch : used) {
        ChannelData want;
        want.samples = {int16_t(ch * 100)};
        want.cardNo = int16_t(ch * 11);
        fillChannel(ctx, ch, want);
    }
}

std::vector<int> cardOrder(const AppContext& ctx) {
    std::vector<int> v;
    for (int ch = 1; ch <= kChannels; ++ch) {
        v.push_back(ctx.store.ch[ch].cardNo / 11);
        EXPECT_EQ(ctx.store.samples[ch][1], ctx.store.ch[ch].cardNo / 11 * 100) << "samples follow their channel";
    }
    return v;
}

}  // namespace

TEST(ChannelOps, ShiftRule) {
    const struct {
        int from, to;
        std::vector<int> order;
    } cases[] = {
        {1, 4, {2, 3, 4, 1, 5, 6, 7, 8}},  // column 2 dropped at position 5
        {4, 1, {4, 1, 2, 3, 5, 6, 7, 8}}, {1, 8, {2, 3, 4, 5, 6, 7, 8, 1}}, {8, 1, {8, 1, 2, 3, 4, 5, 6, 7}},
        {5, 6, {1, 2, 3, 4, 6, 5, 7, 8}}, {3, 3, {1, 2, 3, 4, 5, 6, 7, 8}},  // no move
        {0, 3, {1, 2, 3, 4, 5, 6, 7, 8}},                                    // outside 1..8
        {3, 9, {1, 2, 3, 4, 5, 6, 7, 8}},
    };
    for (const auto& c : cases) {
        TestContext t;
        numberChannels(t.ctx, {});
        EXPECT_EQ(shiftChannel(t.ctx.store, c.from, c.to), c.from != c.to && c.from >= 1 && c.to <= 8);
        EXPECT_EQ(cardOrder(t.ctx), c.order) << c.from << "->" << c.to;
    }
}

TEST(ChannelOps, MoveColumnRebuildsAndMarksUnsaved) {
    TestContext t;
    RecordingView view;
    t.ctx.view = &view;
    numberChannels(t.ctx, {1, 2});
    const auto r = moveChannelColumn(t.ctx, 2, 5);
    EXPECT_EQ(r, ColumnMove::kMoved);
    EXPECT_EQ(cardOrder(t.ctx), (std::vector<int>{2, 3, 4, 1, 5, 6, 7, 8}));
    EXPECT_EQ(t.ctx.store.ch[1].inUse, 1);  // former channel 2
    EXPECT_EQ(t.ctx.store.ch[4].inUse, 1);  // former channel 1
    EXPECT_EQ(t.ctx.store.ch[2].inUse, 0);
    EXPECT_EQ(t.ctx.store.channelsInUse, 2);
    EXPECT_EQ(t.ctx.store.referenceChannel, 1);
    EXPECT_EQ(t.ctx.store.unsavedEdit, 1);
    EXPECT_GE(view.refreshes, 1);
}

TEST(ChannelOps, MoveColumnRefusedOrIgnored) {
    {
        TestContext t;  // nothing in use: refused, and both flags cleared
        t.ctx.store.unsavedRead = 1;
        t.ctx.store.unsavedEdit = 1;
        EXPECT_EQ(moveChannelColumn(t.ctx, 2, 5), ColumnMove::kRefused);
        EXPECT_EQ(t.ctx.store.unsavedRead, 0);
        EXPECT_EQ(t.ctx.store.unsavedEdit, 0);
    }
    const std::pair<int, int> ignored[] = {{0, 5}, {1, 5}, {5, 1}, {4, 4}, {2, 10}};
    for (auto [a, c] : ignored) {
        TestContext t;
        numberChannels(t.ctx, {1});
        EXPECT_EQ(moveChannelColumn(t.ctx, a, c), ColumnMove::kIgnored) << a << "->" << c;
        EXPECT_EQ(cardOrder(t.ctx), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
        EXPECT_EQ(t.ctx.store.unsavedEdit, 0);
    }
}

TEST(ChannelOps, DeleteOneOfSeveral) {
    TestContext t;
    RecordingView view;
    t.ctx.view = &view;
    numberChannels(t.ctx, {2, 6});
    t.ctx.store.currentFileName = t.root + "/opened.ql6";
    t.ctx.store.unsavedRead = 1;
    EXPECT_TRUE(deleteChannels(t.ctx, 3));  // column 3 = channel 2
    EXPECT_EQ(t.ctx.store.ch[2].inUse, 0);
    EXPECT_EQ(t.ctx.store.ch[6].inUse, 1);
    EXPECT_EQ(t.ctx.store.channelsInUse, 1);
    EXPECT_EQ(t.ctx.store.referenceChannel, 6);
    EXPECT_EQ(t.ctx.store.unsavedRead, 1);  // deleting does not touch it while data remains
    EXPECT_EQ(t.ctx.store.currentFileName, t.ctx.folders.dataFolder + "test.ql6");
    EXPECT_GE(view.refreshes, 1);
    EXPECT_GE(view.captions, 1);
    EXPECT_EQ(view.states, 1);
}

TEST(ChannelOps, DeleteLastOrAll) {
    for (int selection : {7, kDeleteAll}) {
        TestContext t;
        numberChannels(t.ctx, {6});
        if (selection == kDeleteAll) numberChannels(t.ctx, {1, 8});
        t.ctx.store.unsavedRead = 1;
        t.ctx.store.unsavedEdit = 1;
        t.ctx.store.currentFileName = t.root + "/opened.ql6";
        EXPECT_TRUE(deleteChannels(t.ctx, selection));
        EXPECT_EQ(t.ctx.store.channelsInUse, 0);
        for (int ch = 1; ch <= kChannels; ++ch) EXPECT_EQ(t.ctx.store.ch[ch].inUse, 0);
        EXPECT_EQ(t.ctx.store.unsavedRead, 0);
        EXPECT_EQ(t.ctx.store.unsavedEdit, 0);
        EXPECT_EQ(t.ctx.store.currentFileName, t.ctx.folders.dataFolder + "test.ql6");
    }
}

TEST(ChannelOps, DeleteRefusesWhatIsNotThere) {
    // Nothing in use, an empty channel, a column that is no channel: the
    // store, the count and the file name stay as they are.
    const struct {
        std::initializer_list<int> used;
        int selection;
    } cases[] = {{{}, kDeleteAll}, {{}, 3}, {{2}, 4}, {{2}, 1}, {{2}, 10}, {{2}, -1}};
    for (const auto& c : cases) {
        TestContext t;
        RecordingView view;
        t.ctx.view = &view;
        numberChannels(t.ctx, c.used);
        t.ctx.store.currentFileName = t.root + "/opened.ql6";
        const int before = t.ctx.store.channelsInUse;
        EXPECT_FALSE(deleteChannels(t.ctx, c.selection)) << c.selection;
        EXPECT_EQ(t.ctx.store.channelsInUse, before);
        EXPECT_EQ(t.ctx.store.currentFileName, t.root + "/opened.ql6");
        EXPECT_EQ(view.states, 1);  // the command states are renewed in every case
    }
}

TEST(ChannelOps, PopupCaption) {
    EXPECT_EQ(deletePopupCaption(3), "CH:C 削除");
    EXPECT_EQ(deletePopupCaption(8), "CH:H 削除");
}
