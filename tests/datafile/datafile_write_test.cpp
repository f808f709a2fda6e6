// Saving data files (modes 1, 2, 6, 7): the bytes, the atomic write, the
// names of the automatic saves.
#include "core/store.h"
#include "datafile/datafile.h"
#include "datafile/fileops.h"
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

// Puts block b into channel ch of the store as a read-out would.
void fill(ChannelStore& s, int ch, const Block& b) {
    ChannelRecord& c = s.ch[size_t(ch)];
    c = ChannelRecord{};
    c.inUse = 1;
    c.kind = int16_t(b.kind());
    c.cardNo = int16_t(b.cardNo);
    c.testNo = int16_t(b.testNo);
    c.startYear = int16_t(b.startYear);
    c.startMonth = int16_t(b.startMonth);
    c.startDay = int16_t(b.startDay);
    c.startHour = int16_t(b.startHour);
    c.startMinute = int16_t(b.startMinute);
    c.startTenSec = int16_t(b.startTenSec);
    c.intervalHour = int16_t(b.intervalHour);
    c.intervalMinute = int16_t(b.intervalMinute);
    c.intervalTenSec = int16_t(b.intervalTenSec);
    c.rangeCode = int16_t(b.rangeCode);
    c.referenceValue = int16_t(b.referenceValue);
    c.referenceSide = int16_t(b.referenceSide);
    c.integratedValue = b.integratedValue;
    c.maxValue = int16_t(b.maxValue);
    c.minValue = int16_t(b.minValue);
    c.averageValue = int16_t(b.averageValue);
    c.errorCount = int16_t(b.errorCount);
    c.upperAlarm = int16_t(b.upperAlarm);
    c.lowerAlarm = int16_t(b.lowerAlarm);
    c.sampleCount = int16_t(b.samples.size());
    for (size_t i = 0; i < b.samples.size(); ++i) s.samples[size_t(ch)][i + 1] = int16_t(b.samples[i]);
    s.channelsInUse = int16_t(countChannelsInUse(s));
}

TEST(Ql6Bytes, NoChannelIsTwoZeroBytes) {
    ChannelStore s;
    EXPECT_EQ(ql6Bytes(s), QByteArray("\0\0", 2));
}

TEST(Ql6Bytes, ChannelsTwoAndFiveInOrderWithCodesAndAlarmsByKind) {
    ChannelStore s;
    Block five;
    five.code = 2 * 8 + 5;         // humidity: alarm values written
    five.integratedValue = 70000;  // the only 32-bit field
    five.samples = {505, -1, 9999};
    Block two;
    two.code = 2;  // kind 0: no alarm values
    two.startTenSec = 4;
    two.intervalTenSec = 2;
    two.referenceValue = 250;
    two.referenceSide = 8;
    fill(s, 5, five);
    fill(s, 2, two);
    s.ch[2].upperAlarm = 1234;  // a kind-0 channel's alarm fields are not written

    const QByteArray expected = fileBytes({two, five});
    EXPECT_EQ(ql6Bytes(s).toHex(' '), expected.toHex(' '));
}

TEST(Ql6Bytes, KindTwoInChannelEightIsCode24) {
    ChannelStore s;
    Block h;
    h.code = 24;
    fill(s, 8, h);
    const QByteArray b = ql6Bytes(s);
    ASSERT_GE(b.size(), 4);
    EXPECT_EQ(b.mid(2, 2), QByteArray("\x18\x00", 2));
    EXPECT_EQ(b.size(), 2 + 48 + 6);
}

class SaveTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return t.root + "/" + name; }
    TestContext t;
};

TEST_F(SaveTest, OverwriteSaveAfterReadOutWritesTestQl6WithoutAsking) {
    fill(t.ctx.store, 1, Block{});
    t.ctx.store.unsavedRead = 1;
    lastFile = runFileOperation(t.ctx, kOverwriteSave);

    EXPECT_TRUE(t.messages.shown.empty());
    EXPECT_TRUE(t.dialogs.requests.empty());
    EXPECT_EQ(t.ctx.store.currentFileName, defaultFileName(t.ctx));
    EXPECT_EQ(readBytes(defaultFileName(t.ctx)), fileBytes({Block{}}));
    EXPECT_EQ(t.ctx.store.unsavedRead, 0);
    EXPECT_NE(lastFile, FileOutcome::Failed);
}

TEST_F(SaveTest, SaveAsAsksBeforeOverwritingAndTakesTheName) {
    fill(t.ctx.store, 3, Block{});
    t.ctx.store.unsavedEdit = 1;
    t.ctx.store.channelsInUse = 0;  // recounted by the save
    const QString before = t.ctx.store.currentFileName;
    writeBytes(path("exists.ql6"), "keep me");

    t.dialogs.answers.push_back(path("exists.ql6"));
    t.messages.answers.push_back(kOk);
    lastFile = runFileOperation(t.ctx, kSaveAs);

    ASSERT_EQ(t.dialogs.requests.size(), 1u);
    EXPECT_EQ(t.dialogs.requests[0].title, "名前をつけて保存");
    EXPECT_EQ(t.dialogs.requests[0].filter, "ファイル(*.ql6)|*.ql6");
    EXPECT_EQ(t.dialogs.requests[0].defaultExtension, "ql6");
    EXPECT_EQ(t.dialogs.requests[0].initialName, before);
    ASSERT_EQ(t.messages.shown.size(), 1u);
    EXPECT_EQ(t.messages.shown[0].title, "ファイルの保存");
    EXPECT_EQ(t.messages.shown[0].text, "ファイルを上書きしますか？");
    EXPECT_EQ(t.messages.shown[0].style, 1);
    EXPECT_EQ(t.ctx.store.currentFileName, path("exists.ql6"));
    EXPECT_EQ(t.ctx.store.channelsInUse, 1);
    EXPECT_EQ(t.ctx.store.unsavedEdit, 0);
    Block b;
    b.code = 3;
    EXPECT_EQ(readBytes(path("exists.ql6")), fileBytes({b}));
}

TEST_F(SaveTest, DeclinedOverwriteKeepsTheFileAndTheOldName) {
    fill(t.ctx.store, 1, Block{});
    t.ctx.store.unsavedRead = 1;
    const QString before = t.ctx.store.currentFileName;
    writeBytes(path("exists.ql6"), "keep me");

    t.dialogs.answers.push_back(path("exists.ql6"));
    t.messages.answers.push_back(kCancel);
    lastFile = runFileOperation(t.ctx, kSaveAs);

    EXPECT_EQ(readBytes(path("exists.ql6")), "keep me");
    EXPECT_EQ(t.ctx.store.currentFileName, before);
    EXPECT_EQ(t.ctx.store.unsavedRead, 1);
    EXPECT_NE(lastFile, FileOutcome::Failed);
}

TEST_F(SaveTest, CancelledOrEmptyDialogIsSilent) {
    fill(t.ctx.store, 1, Block{});
    t.dialogs.answers.push_back(std::nullopt);
    t.dialogs.answers.push_back(QString());
    lastFile = runFileOperation(t.ctx, kSaveAs);
    lastFile = runFileOperation(t.ctx, kSaveAs);
    EXPECT_TRUE(t.messages.shown.empty());
    EXPECT_NE(lastFile, FileOutcome::Failed);
}

TEST_F(SaveTest, FailedSaveLeavesTheOldFileAndShowsTheSaveError) {
    fill(t.ctx.store, 1, Block{});
    t.ctx.store.unsavedRead = 1;

    // A name near the length limit, on a full disk: the file exists, the
    // new one cannot be written.
    const QString longName = path(QString(250, 'x') + ".ql6");
    writeBytes(longName, "old contents");
    ASSERT_EQ(readBytes(longName), "old contents");
    t.ctx.store.currentFileName = longName;
    t.ctx.store.dataFileName = longName;  // opened from it: no question
    {
        filetest::DiskFull full;
        lastFile = runFileOperation(t.ctx, kOverwriteSave);
    }
    EXPECT_EQ(readBytes(longName), "old contents");
    EXPECT_TRUE(lastFile == FileOutcome::Failed || lastFile == FileOutcome::Cancelled);
    ASSERT_EQ(t.messages.shown.size(), 1u);
    EXPECT_EQ(t.messages.shown[0].title, "ファイルの保存");
    EXPECT_EQ(t.ctx.store.unsavedRead, 1);

    // A folder that does not exist.
    t.dialogs.answers.push_back(path("nowhere/data.ql6"));
    lastFile = runFileOperation(t.ctx, kSaveAs);
    EXPECT_TRUE(lastFile == FileOutcome::Failed || lastFile == FileOutcome::Cancelled);
    ASSERT_EQ(t.messages.shown.size(), 2u);
    EXPECT_EQ(t.messages.shown[1].title, "ファイルの保存");
    EXPECT_EQ(t.messages.shown[1].text, "パスが見つかりません。\rエラー76");
    EXPECT_EQ(t.ctx.store.currentFileName, longName);
    EXPECT_FALSE(QFile::exists(path("nowhere/data.ql6")));
}

TEST_F(SaveTest, AutomaticSaveByDate) {
    fill(t.ctx.store, 2, Block{});
    lastFile = runFileOperation(t.ctx, kAutoSaveDate);  // the virtual clock: 2013-11-15 09:05
    const QString expected = t.ctx.folders.dateFolder + "/13年11月/15日09時05分.ql6";
    EXPECT_EQ(t.ctx.store.currentFileName, QDir::toNativeSeparators(expected));
    EXPECT_TRUE(QFile::exists(expected));
    EXPECT_TRUE(t.messages.shown.empty());

    // The folders exist now; a second save asks before overwriting.
    t.messages.answers.push_back(kOk);
    lastFile = runFileOperation(t.ctx, kAutoSaveDate);
    ASSERT_EQ(t.messages.shown.size(), 1u);
    EXPECT_EQ(t.messages.shown[0].text, "ファイルを上書きしますか？");
    EXPECT_NE(lastFile, FileOutcome::Failed);
}

TEST_F(SaveTest, AutomaticSaveByCardAndTestNumber) {
    Block b;
    b.cardNo = 3;
    b.testNo = 12;
    fill(t.ctx.store, 4, b);
    Block later;
    later.cardNo = 99;
    fill(t.ctx.store, 6, later);
    t.clock.wallClock = QDateTime(QDate(2021, 2, 3), QTime(23, 59, 0));
    lastFile = runFileOperation(t.ctx, kAutoSaveNumber);
    EXPECT_TRUE(QFile::exists(t.ctx.folders.numberFolder + "/21年02月03日/003_012.ql6"));

    // Setting characters name the file, and cannot lead out of the folder.
    t.ctx.general.settingCharCard[3] = "北/工場";
    t.ctx.general.settingCharTest[12] = "..\\..";
    lastFile = runFileOperation(t.ctx, kAutoSaveNumber);
    const QString expected = t.ctx.folders.numberFolder + "/21年02月03日/北_工場____.ql6";
    EXPECT_TRUE(QFile::exists(expected)) << t.ctx.store.currentFileName.toStdString();
    EXPECT_EQ(QDir(t.ctx.folders.numberFolder + "/21年02月03日").entryList(QDir::Files).size(), 2);
}

TEST_F(SaveTest, SavedFileOpensToTheSameStore) {
    Block a;
    a.code = 8 + 1;
    a.integratedValue = 1234;
    a.referenceValue = 300;
    Block b;
    b.code = 2 * 8 + 7;
    b.samples = {0, 1000, -1};
    fill(t.ctx.store, 1, a);
    fill(t.ctx.store, 7, b);
    t.dialogs.answers.push_back(path("round.ql6"));
    lastFile = runFileOperation(t.ctx, kSaveAs);
    const QByteArray saved = readBytes(path("round.ql6"));

    TestContext other;
    other.dialogs.answers.push_back(path("round.ql6"));
    lastFile = runFileOperation(other.ctx, kOpen);
    EXPECT_EQ(ql6Bytes(other.ctx.store), saved);
    EXPECT_EQ(other.ctx.store.ch[7].kind, 2);
    EXPECT_EQ(other.ctx.store.ch[1].integratedValue, 1234);
}

}  // namespace
}  // namespace quillet
