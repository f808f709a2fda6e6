// What the file commands must never do: replace a file the user did not
// choose, throw away unsaved data, or report a broken write as a success.
#include "core/cp932.h"
#include "core/store.h"
#include "datafile/datafile.h"
#include "datafile/fileops.h"
#include "filebuilder.h"
#include "support/fakes.h"

#include <gtest/gtest.h>

#include <functional>

namespace quillet {
namespace {

// What the last file operation of a test came to.
FileOutcome lastFile = FileOutcome::NoEffect;

using fakes::TestContext;
using filetest::Block;
using filetest::fileBytes;
using filetest::readBytes;
using filetest::writeBytes;

// A fresh context with scripted side effects, one per scenario.
struct Files {
    QString path(const QString& name) const { return t.root + "/" + name; }
    // Channel 1 as a read-out leaves it: in use and unsaved.
    void readOut() {
        ChannelRecord& c = t.ctx.store.ch[1];
        c = ChannelRecord{};
        c.inUse = 1;
        c.startYear = 2013;
        c.startMonth = 11;
        c.startDay = 15;
        c.intervalMinute = 10;
        c.sampleCount = 1;
        t.ctx.store.samples[1][1] = 250;
        t.ctx.store.channelsInUse = int16_t(countChannelsInUse(t.ctx.store));
        t.ctx.store.unsavedRead = 1;
    }
    TestContext t;
};

class DataLossTest : public ::testing::Test, public Files {};

// Overwrite save over an existing file that the channels were neither
// opened from nor last saved to: message 9 first, Cancel keeps the file.
TEST_F(DataLossTest, OverwriteSaveAsksBeforeReplacingAnotherFile) {
    const struct {
        const char* scenario;
        std::function<void(Files&)> before;
        const char* target;  // the file an overwrite save would write
        bool asks;
    } cases[] = {
        {"second read-out after a saved first one",
         [](Files& f) {
             f.readOut();
             lastFile = runFileOperation(f.t.ctx, kOverwriteSave);  // test.ql6, new: no question
             clearAllChannels(f.t.ctx);
             f.readOut();
         },
         "test.ql6", true},
        {"open of an older layout beside an unrelated .ql6",
         [](Files& f) {
             writeBytes(f.path("data.ql6"), "unrelated");
             writeBytes(f.path("data.ql5"), fileBytes({Block{}}));
             f.t.dialogs.answers.push_back(f.path("data.ql5"));
             lastFile = runFileOperation(f.t.ctx, kOpen);
         },
         "data.ql6", true},
        {"export beside an unrelated .ql6",
         [](Files& f) {
             f.readOut();
             writeBytes(f.path("out.ql6"), "unrelated");
             f.t.dialogs.answers.push_back(f.path("out.csv"));
             lastFile = runFileOperation(f.t.ctx, kCsvExport);
         },
         "out.ql6", true},
        {"the file that was opened",
         [](Files& f) {
             writeBytes(f.path("mine.ql6"), fileBytes({Block{}}));
             f.t.dialogs.answers.push_back(f.path("mine.ql6"));
             lastFile = runFileOperation(f.t.ctx, kOpen);
         },
         "mine.ql6", false},
        {"the file saved last",
         [](Files& f) {
             f.readOut();
             f.t.dialogs.answers.push_back(f.path("saved.ql6"));
             lastFile = runFileOperation(f.t.ctx, kSaveAs);
             f.t.ctx.store.unsavedEdit = 1;
         },
         "saved.ql6", false},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.scenario);
        Files f;
        if (QString(k.target) == "test.ql6") f.t.ctx.store.currentFileName = defaultFileName(f.t.ctx);
        k.before(f);
        const QString target = QString(k.target) == "test.ql6" ? defaultFileName(f.t.ctx) : f.path(k.target);
        ASSERT_EQ(f.t.ctx.store.currentFileName, target);
        const QByteArray old = readBytes(target);
        f.t.messages.shown.clear();

        f.t.messages.answers.push_back(kCancel);
        lastFile = runFileOperation(f.t.ctx, kOverwriteSave);
        if (k.asks) {
            ASSERT_EQ(f.t.messages.shown.size(), 1u);
            EXPECT_EQ(f.t.messages.shown[0].title, "ファイルの保存");
            EXPECT_EQ(f.t.messages.shown[0].text, "ファイルを上書きしますか？");
            EXPECT_EQ(readBytes(target), old);
            // OK writes.
            f.t.messages.answers.push_back(kOk);
            lastFile = runFileOperation(f.t.ctx, kOverwriteSave);
        } else {
            EXPECT_TRUE(f.t.messages.shown.empty());
        }
        EXPECT_EQ(readBytes(target), ql6Bytes(f.t.ctx.store));
        EXPECT_NE(lastFile, FileOutcome::Failed);
    }
}

// Yes to "データを保存しますか？", then no save: the open must not go on.
TEST_F(DataLossTest, UnsavedDataStaysWhenTheSaveBeforeAnOpenDoesNotHappen) {
    const struct {
        const char* scenario;
        std::optional<QString> saveAnswer;
        bool existing;
    } cases[] = {
        {"save dialog cancelled", std::nullopt, false},
        {"empty name", QString(), false},
        {"overwrite declined", QStringLiteral("exists.ql6"), true},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.scenario);
        Files f;
        f.readOut();
        writeBytes(f.path("exists.ql6"), "keep");
        writeBytes(f.path("other.ql6"), fileBytes({Block{}, Block{}}));
        f.t.messages.answers = {kYes, kCancel};
        f.t.dialogs.answers.push_back(
            k.saveAnswer ? std::optional<QString>(k.saveAnswer->isEmpty() ? QString() : f.path(*k.saveAnswer))
                         : std::nullopt);
        f.t.dialogs.answers.push_back(f.path("other.ql6"));
        openDataFile(f.t.ctx);

        EXPECT_EQ(f.t.dialogs.requests.size(), 1u);  // no open dialog
        EXPECT_EQ(f.t.ctx.store.ch[1].inUse, 1);
        EXPECT_EQ(f.t.ctx.store.samples[1][1], 250);
        EXPECT_EQ(f.t.ctx.store.unsavedRead, 1);
        EXPECT_NE(lastFile, FileOutcome::Failed);
        EXPECT_EQ(readBytes(f.path("exists.ql6")), "keep");
        EXPECT_EQ(f.t.messages.shown.size(), k.existing ? 2u : 1u);
    }
}

// A text that cannot be converted to CP932 is a write error; the file that
// was there stays.
TEST_F(DataLossTest, FailedCp932ConversionIsAWriteError) {
    readOut();
    writeBytes(path("out.csv"), "previous");
    t.ctx.store.currentFileName = path("data.ql6");
    const char* previous = cp932::setConverterName("no-such-converter");
    t.dialogs.answers.push_back(path("out.csv"));
    lastFile = runFileOperation(t.ctx, kCsvExport);
    t.dialogs.answers.push_back(path("new.txt"));
    lastFile = runFileOperation(t.ctx, kTextExport);
    cp932::setConverterName(previous);

    EXPECT_EQ(readBytes(path("out.csv")), "previous");
    EXPECT_FALSE(QFile::exists(path("new.txt")));
    ASSERT_EQ(t.messages.shown.size(), 3u);  // the overwrite question, two errors
    EXPECT_EQ(t.messages.shown[1].title, "ファイルの保存");
    EXPECT_EQ(t.messages.shown[1].text, "ファイルへの書き込み中にエラーが発生しました｡\rエラー31036");
    EXPECT_EQ(t.messages.shown[2].text, t.messages.shown[1].text);
    EXPECT_TRUE(lastFile == FileOutcome::Failed || lastFile == FileOutcome::Cancelled);
    EXPECT_EQ(t.ctx.store.currentFileName, path("data.ql6"));
    EXPECT_EQ(t.ctx.store.unsavedRead, 1);
    EXPECT_TRUE(cp932::encode("abc").size() == 3);  // the codec is back
}

// A cut-short last block, inserted: the missing samples are errors in the
// count too, and the saved file says so.
TEST_F(DataLossTest, CutShortBlockCountsItsMissingSamplesWhenInserted) {
    Block b;
    b.samples = {11, 12, 13, 14};
    b.errorCount = 1;
    QByteArray bytes = fileBytes({b});
    bytes.chop(4);  // samples 3 and 4 missing
    writeBytes(path("cut.ql6"), bytes);

    struct First : InsertDialog {
        std::optional<InsertChoice> choose(AppContext&, const QString&) override { return InsertChoice{0, 3}; }
    } dialog;
    t.dialogs.answers.push_back(path("cut.ql6"));
    insertData(t.ctx, dialog);
    const ChannelRecord& c = t.ctx.store.ch[3];
    ASSERT_EQ(c.inUse, 1);
    EXPECT_EQ(c.sampleCount, 4);
    EXPECT_EQ(c.errorCount, 3);
    EXPECT_EQ(t.ctx.store.samples[3][4], 9999);
}

}  // namespace
}  // namespace quillet
