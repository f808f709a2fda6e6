// Opening data files (mode 0) of every layout, and bad files.
#include "core/store.h"
#include "datafile/fileops.h"
#include "filebuilder.h"
#include "support/fakes.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

// What the last file operation of a test came to.
FileOutcome lastFile = FileOutcome::NoEffect;

using fakes::TestContext;
using filetest::Block;
using filetest::fileBytes;
using filetest::writeBytes;

class OpenTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return t.root + "/" + name; }

    // Writes bytes under name and opens it through the dispatcher.
    void open(const QString& name, const QByteArray& bytes) {
        writeBytes(path(name), bytes);
        openExisting(name);
    }
    void openExisting(const QString& name) {
        t.dialogs.answers.push_back(path(name));
        lastFile = runFileOperation(t.ctx, kOpen);
    }
    const ChannelRecord& ch(int n) const { return t.ctx.store.ch[size_t(n)]; }
    int16_t sample(int c, int i) const { return t.ctx.store.samples[size_t(c)][size_t(i)]; }

    TestContext t;
};

TEST_F(OpenTest, FiftyTwoByteExampleLoadsEveryField) {
    Block b;  // kind 0 in channel 1, three samples
    const QByteArray bytes = fileBytes({b});
    ASSERT_EQ(bytes.size(), 52);
    ASSERT_EQ(bytes.left(4), QByteArray("\x01\x00\x01\x00", 4));
    open("example.ql6", bytes);

    EXPECT_TRUE(t.messages.shown.empty());
    EXPECT_NE(lastFile, FileOutcome::Failed);
    EXPECT_EQ(t.ctx.store.channelsInUse, 1);
    const ChannelRecord& c = ch(1);
    EXPECT_EQ(c.inUse, 1);
    EXPECT_EQ(c.kind, 0);
    EXPECT_EQ(c.cardNo, 12);
    EXPECT_EQ(c.startTenSec, 3);
    EXPECT_EQ(c.startMinute, 5);
    EXPECT_EQ(c.startHour, 9);
    EXPECT_EQ(c.startDay, 15);
    EXPECT_EQ(c.startMonth, 11);
    EXPECT_EQ(c.startYear, 2013);
    EXPECT_EQ(c.intervalTenSec, 0);
    EXPECT_EQ(c.intervalMinute, 10);
    EXPECT_EQ(c.intervalHour, 0);
    EXPECT_EQ(c.referenceValue, 9999);
    EXPECT_EQ(c.referenceSide, 0);
    EXPECT_EQ(c.testNo, 7);
    EXPECT_EQ(c.rangeCode, 1);
    EXPECT_EQ(c.rangeLow, -400);  // derived from the range code after a load
    EXPECT_EQ(c.maxValue, 301);
    EXPECT_EQ(c.minValue, -52);
    EXPECT_EQ(c.averageValue, 123);
    EXPECT_EQ(c.integratedValue, 0);
    EXPECT_EQ(c.sampleCount, 3);
    EXPECT_EQ(c.errorCount, 0);
    EXPECT_EQ(sample(1, 1), 253);
    EXPECT_EQ(sample(1, 2), 9999);
    EXPECT_EQ(sample(1, 3), 260);
    EXPECT_EQ(t.ctx.store.currentFileName, path("example.ql6"));
    for (int n = 2; n <= 8; ++n) EXPECT_EQ(ch(n).inUse, 0) << n;
}

TEST_F(OpenTest, ChannelsTwoAndFiveGoBackToTwoAndFive) {
    Block two;
    two.code = 8 + 2;  // kind 1
    two.samples = {100, 101};
    Block five;
    five.code = 5;
    five.cardNo = 99;
    five.samples = {-5, -6, -7, -8};
    open("two.ql6", fileBytes({two, five}));

    EXPECT_EQ(t.ctx.store.channelsInUse, 2);
    EXPECT_EQ(ch(2).inUse, 1);
    EXPECT_EQ(ch(2).kind, 1);
    EXPECT_EQ(ch(2).upperAlarm, 350);
    EXPECT_EQ(ch(2).lowerAlarm, -100);
    EXPECT_EQ(ch(5).inUse, 1);
    EXPECT_EQ(ch(5).cardNo, 99);
    EXPECT_EQ(ch(5).sampleCount, 4);
    EXPECT_EQ(sample(5, 4), -8);
    EXPECT_EQ(sample(2, 2), 101);
    for (int n : {1, 3, 4, 6, 7, 8}) EXPECT_EQ(ch(n).inUse, 0) << n;
}

TEST_F(OpenTest, HumidityCodeTwentyFourIsChannelEightKindTwo) {
    Block h;
    h.code = 24;
    h.upperAlarm = 800;
    h.lowerAlarm = 200;
    h.samples = {505};
    open("hum.ql6", fileBytes({h}));
    EXPECT_EQ(ch(8).inUse, 1);
    EXPECT_EQ(ch(8).kind, 2);
    EXPECT_EQ(ch(8).upperAlarm, 800);
    EXPECT_EQ(ch(8).lowerAlarm, 200);
    EXPECT_EQ(sample(8, 1), 505);
}

// Layout by the last four characters, in lower case; other names keep the
// previous choice, and the program starts with the old layout.
TEST_F(OpenTest, LayoutFollowsTheExtension) {
    struct Case {
        const char* name;
        bool tenSec;
    };
    const Case cases[] = {
        {"a.qlg", false}, {"b.QLG", false}, {"c.qld", false}, {"d.QlD", false},
        {"e.ql4", true},  {"f.ql5", true},  {"g.QL5", true},  {"h.ql6", true},
    };
    for (const Case& k : cases) {
        Block b;
        b.code = 8 + 1;  // kind 1: 40 + 4 or 44 + 4 header bytes
        Block second;
        second.code = 3;
        second.samples = {42};
        open(k.name, fileBytes({b, second}, k.tenSec));
        SCOPED_TRACE(k.name);
        EXPECT_TRUE(t.messages.shown.empty());
        EXPECT_EQ(t.ctx.store.channelsInUse, 2);
        EXPECT_EQ(ch(1).startTenSec, k.tenSec ? 3 : 0);
        EXPECT_EQ(ch(1).intervalTenSec, 0);
        EXPECT_EQ(ch(1).startMinute, 5);
        EXPECT_EQ(ch(1).upperAlarm, 350);
        EXPECT_EQ(sample(1, 3), 260);
        EXPECT_EQ(ch(3).sampleCount, 1);
        EXPECT_EQ(sample(3, 1), 42);
        EXPECT_EQ(t.ctx.dataFiles->layoutWithTenSec, k.tenSec);
    }
}

TEST_F(OpenTest, OldLayoutSetsTenSecondFieldsToZero) {
    Block b;
    b.intervalTenSec = 5;  // not written in this layout
    open("old.qlg", fileBytes({b}, false));
    ASSERT_EQ(fileBytes({b}, false).size(), 2 + 40 + 6);
    EXPECT_EQ(ch(1).startTenSec, 0);
    EXPECT_EQ(ch(1).intervalTenSec, 0);
    EXPECT_EQ(ch(1).intervalMinute, 10);
}

TEST_F(OpenTest, OtherExtensionsKeepThePreviousLayout) {
    Block b;
    // Start: the old layout.
    open("first.ql3", fileBytes({b}, false));
    EXPECT_EQ(ch(1).startTenSec, 0);
    EXPECT_EQ(ch(1).startMinute, 5);
    open("second.ql6", fileBytes({b}, true));
    open("third.ql", fileBytes({b}, true));
    EXPECT_EQ(ch(1).startTenSec, 3);
    EXPECT_EQ(ch(1).startMinute, 5);
    open("fourth.qld", fileBytes({b}, false));
    open("fifth.ql1", fileBytes({b}, false));
    EXPECT_EQ(ch(1).startMinute, 5);
    EXPECT_TRUE(t.messages.shown.empty());
}

TEST_F(OpenTest, CurrentFileNameTakesTheQl6Extension) {
    const struct {
        const char* name;
        const char* expected;
    } cases[] = {
        {"data.ql5", "data.ql6"}, {"DATA.QLG", "DATA.ql6"}, {"x.qld", "x.ql6"}, {"y.QL6", "y.QL6"}, {"z.ql6", "z.ql6"},
    };
    for (const auto& k : cases) {
        const bool tenSec = QString(k.name).toLower().endsWith(".ql5") || QString(k.name).toLower().endsWith(".ql6");
        open(k.name, fileBytes({Block{}}, tenSec));
        EXPECT_EQ(t.ctx.store.currentFileName, path(k.expected)) << k.name;
        EXPECT_TRUE(QFile::exists(path(k.name)));  // the file itself keeps its name
    }
}

TEST_F(OpenTest, CutShortLastBlockLoadsWhatIsThere) {
    Block first;
    first.code = 1;
    Block last;
    last.code = 2;
    last.sampleCount = 5;
    last.samples = {11, 12, 13, 14, 15};
    QByteArray bytes = fileBytes({first, last});
    bytes.chop(2 * 2 + 1);  // two and a half samples missing
    open("cut.ql6", bytes);

    EXPECT_TRUE(t.messages.shown.empty());
    EXPECT_NE(lastFile, FileOutcome::Failed);
    EXPECT_EQ(t.ctx.store.channelsInUse, 2);
    EXPECT_EQ(ch(2).sampleCount, 5);  // as stored
    EXPECT_EQ(sample(2, 1), 11);
    EXPECT_EQ(sample(2, 2), 12);
    // What the file does not hold is shown as missing, not as 0.0.
    EXPECT_EQ(sample(2, 3), 9999);
    EXPECT_EQ(sample(2, 5), 9999);
    // ...and counted as errors, so that the statistics and a later save
    // agree with the samples.
    EXPECT_EQ(ch(2).errorCount, 3);
    EXPECT_EQ(ch(1).errorCount, 0);
}

TEST_F(OpenTest, KindsThreeAndAboveOpenLikeTemperatureWithoutAlarms) {
    Block a;
    a.code = 25;  // kind 3, channel 1
    Block b;
    b.code = 32;  // kind 3, channel 8
    Block c;
    c.code = 8 * 7 + 4;  // kind 7, channel 4
    open("kinds.ql6", fileBytes({a, b, c}));
    EXPECT_TRUE(t.messages.shown.empty());
    EXPECT_EQ(t.ctx.store.channelsInUse, 3);
    EXPECT_EQ(ch(1).kind, 3);
    EXPECT_EQ(ch(8).kind, 3);
    EXPECT_EQ(ch(4).kind, 7);
    EXPECT_EQ(sample(8, 3), 260);  // no alarm values in the block
    // Saved back byte for byte, in channel order.
    t.dialogs.answers.push_back(path("again.ql6"));
    lastFile = runFileOperation(t.ctx, kSaveAs);
    EXPECT_EQ(filetest::readBytes(path("again.ql6")), fileBytes({a, c, b}));
}

TEST_F(OpenTest, FileEndingBetweenBlocksStopsEarly) {
    open("short.ql6", fileBytes(3, {Block{}}));
    EXPECT_TRUE(t.messages.shown.empty());
    EXPECT_EQ(t.ctx.store.channelsInUse, 1);
}

TEST_F(OpenTest, NegativeIntegratedValueAddsTheLoggersCorrection) {
    Block b;
    b.integratedValue = -1;
    Block c;
    c.code = 2;
    c.integratedValue = -65535;
    open("int.ql6", fileBytes({b, c}));
    EXPECT_EQ(ch(1).integratedValue, 65534);
    EXPECT_EQ(ch(2).integratedValue, 0);
}

TEST_F(OpenTest, LaterBlockOfTheSameChannelWins) {
    Block a;
    a.cardNo = 1;
    Block b;
    b.cardNo = 2;
    b.samples = {77};
    open("dup.ql6", fileBytes({a, b}));
    EXPECT_EQ(t.ctx.store.channelsInUse, 1);
    EXPECT_EQ(ch(1).cardNo, 2);
    EXPECT_EQ(ch(1).sampleCount, 1);
    EXPECT_EQ(sample(1, 1), 77);
}

// Bad files: the error box under "ファイルの読込", commStatus 1, the blocks
// read completely before the fault stay, and nothing is half filled.
TEST_F(OpenTest, BadFilesAreRejectedWithoutHalfFilledChannels) {
    Block good;
    good.code = 1;
    auto withSecond = [&](Block second) { return fileBytes({good, second}); };
    Block tooMany;
    tooMany.code = 2;
    tooMany.sampleCount = 12001;
    Block negative;
    negative.code = 2;
    negative.sampleCount = -1;
    Block code0;
    code0.code = 0;
    Block codeNeg;
    codeNeg.code = -7;
    QByteArray headerCut = withSecond(Block{});
    headerCut.chop(6 + 30);  // the second block ends inside its header
    QByteArray alarmsCut = fileBytes({good}) + [] {
        Block k;
        k.code = 8 + 2;
        k.samples = {};
        return k.bytes().left(46);
    }();
    alarmsCut[0] = 2;

    const struct {
        const char* what;
        QByteArray bytes;
        int error;
        int channelsLeft;
    } cases[] = {
        {"12001 samples", withSecond(tooMany), 9, 1},  {"negative sample count", withSecond(negative), 9, 1},
        {"channel code 0", withSecond(code0), 321, 1}, {"negative channel code", withSecond(codeNeg), 321, 1},
        {"N = 9", fileBytes(9, {good}), 321, 0},       {"N = -1", fileBytes(-1, {good}), 321, 0},
        {"header cut short", headerCut, 62, 1},        {"alarm values cut short", alarmsCut, 62, 1},
        {"one byte", QByteArray("\x01", 1), 62, 0},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        TestContext fresh;
        fresh.ctx.store.ch[4].inUse = 1;  // replaced by the open
        fresh.ctx.store.channelsInUse = 1;
        writeBytes(fresh.root + "/bad.ql6", k.bytes);
        fresh.dialogs.answers.push_back(fresh.root + "/bad.ql6");
        lastFile = runFileOperation(fresh.ctx, kOpen);

        EXPECT_TRUE(lastFile == FileOutcome::Failed || lastFile == FileOutcome::Cancelled);
        ASSERT_EQ(fresh.messages.shown.size(), 1u);
        EXPECT_EQ(fresh.messages.shown[0].title, "ファイルの読込");
        const QString expected =
            k.error == 321 ? QString("不正なファイル形式です。") : QString("予期しないエラーが発生しました。");
        EXPECT_EQ(fresh.messages.shown[0].text, expected + "\rエラー" + QString::number(k.error));
        EXPECT_EQ(fresh.messages.shown[0].style, 0);
        EXPECT_EQ(fresh.ctx.store.channelsInUse, k.channelsLeft);
        EXPECT_EQ(countChannelsInUse(fresh.ctx.store), k.channelsLeft);
        EXPECT_EQ(fresh.ctx.store.ch[2].inUse, 0);
        EXPECT_EQ(fresh.ctx.store.ch[4].inUse, 0);
        // Never saved back under a name of another layout.
        EXPECT_TRUE(fresh.ctx.store.currentFileName.endsWith(".ql6"));
    }
}

TEST_F(OpenTest, MissingOrEmptyFileLeavesTheStoreAlone) {
    t.ctx.store.ch[3].inUse = 1;
    t.ctx.store.ch[3].sampleCount = 1;
    t.ctx.store.channelsInUse = 1;
    const QString before = t.ctx.store.currentFileName;

    openExisting("missing.ql6");
    ASSERT_EQ(t.messages.shown.size(), 1u);
    EXPECT_EQ(t.messages.shown[0].title, "ファイルの読込");
    EXPECT_EQ(t.messages.shown[0].text, "ファイルが見つかりません｡\rエラー53");
    EXPECT_TRUE(lastFile == FileOutcome::Failed || lastFile == FileOutcome::Cancelled);
    open("empty.ql6", QByteArray());
    ASSERT_EQ(t.messages.shown.size(), 2u);
    EXPECT_TRUE(t.messages.shown[1].text.startsWith("予期しないエラーが発生しました。\rエラー"));
    EXPECT_TRUE(lastFile == FileOutcome::Failed || lastFile == FileOutcome::Cancelled);

    EXPECT_EQ(t.ctx.store.ch[3].inUse, 1);
    EXPECT_EQ(t.ctx.store.channelsInUse, 1);
    EXPECT_EQ(t.ctx.store.currentFileName, before);
}

TEST_F(OpenTest, FullChannelsLoad) {
    std::vector<Block> blocks;
    for (int c = 1; c <= 8; ++c) {
        Block b;
        b.code = (c % 3) * 8 + c;
        b.samples.assign(12000, c * 10);
        b.samples.back() = -c;
        blocks.push_back(b);
    }
    open("full.ql6", fileBytes(blocks));
    EXPECT_TRUE(t.messages.shown.empty());
    EXPECT_EQ(t.ctx.store.channelsInUse, 8);
    for (int c = 1; c <= 8; ++c) {
        EXPECT_EQ(ch(c).sampleCount, 12000);
        EXPECT_EQ(ch(c).kind, c % 3);
        EXPECT_EQ(sample(c, 12000), -c);
    }
}

}  // namespace
}  // namespace quillet
