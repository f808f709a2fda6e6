// Text and CSV export: whole files against the expected bytes.
#include "core/channelfill.h"
#include "core/cp932.h"
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
using filetest::readBytes;
using filetest::writeBytes;

// Channel 1 temperature without alarms (an error sample, no reference),
// channel 2 empty, channel 3 temperature with alarms starting one row later
// (card 300 beyond the tables), channel 4 humidity.
class ExportTest : public ::testing::Test {
protected:
    ExportTest() {
        ChannelStore& s = t.ctx.store;
        set(1, 0, 1, 2, 30, {253, 9999, -52});
        s.ch[1].rangeLow = -400;
        s.ch[1].errorCount = 1;
        s.ch[1].maxValue = 253;
        s.ch[1].minValue = -52;
        s.ch[1].averageValue = 100;
        s.ch[1].integratedValue = 12;  // not shown: no reference value

        set(3, 1, 300, 5, 15 * 6 + 3, {250, 251});
        s.ch[3].rangeLow = 500;
        s.ch[3].maxValue = 251;
        s.ch[3].minValue = 250;
        s.ch[3].averageValue = 250;
        s.ch[3].referenceValue = 250;
        s.ch[3].referenceSide = 8;
        s.ch[3].integratedValue = 65534;
        s.ch[3].upperAlarm = 300;
        s.ch[3].lowerAlarm = -45;

        set(4, 2, 7, 8, 30, {505});
        s.ch[4].rangeLow = 0;
        s.ch[4].maxValue = 505;
        s.ch[4].minValue = 0;
        s.ch[4].averageValue = 255;
        s.ch[4].referenceValue = 600;
        s.ch[4].referenceSide = 0;
        s.ch[4].integratedValue = 70000;
        s.ch[4].upperAlarm = 800;
        s.ch[4].lowerAlarm = 200;

        t.ctx.general.settingCharCard[1] = "ｱ";
        s.channelsInUse = 3;
        rebuildTimeAxis(s);
    }

    void set(int ch, int kind, int card, int test, int tenSecs, std::vector<int> samples) {
        fakes::placeChannel(t.ctx, ch, kind, card, test, tenSecs, samples);
    }

    static QString expectedCsv() {
        const QString P = "\"       \"";
        const QString rest = P + "," + P + "," + P + "," + P + ",";  // channels 5..8
        const QString pre = "\"    \",";
        const QStringList lines = {
            "",
            pre + "\"ｶｰﾄﾞ-ﾃｽﾄNo:\",\"ｱ-002\"," + P + ",\"255-005\",\"007-008\"," + rest,
            pre + "\"         \",\"  [ﾟC ]  \"," + P + ",\"  [ﾟC ]  \",\"  [%RH]  \"," + rest,
            pre + "\" 開始時刻: \", 13-11-15," + P + ", 13-11-15, 13-11-15," + rest,
            pre + "\"         \", 09:05:00," + P + ", 09:15:30, 09:05:00," + rest,
            pre + "\" 測定間隔: \", 00:10:00," + P + ", 00:10:00, 00:10:00," + rest,
            pre + "\" 測定範囲: \",\"-40～60\"," + P + ",\"50～150\",\"0～100\"," + rest,
            pre + "\"  収録数:  \",   3  ," + P + ",   2  ,   1  ," + rest,
            pre + "\"  ｴﾗｰ 数:  \",   1  ," + P + ",   0  ,   0  ," + rest,
            pre + "\"  最高値:  \",  25.3  ," + P + ",  25.1  ,  51    ," + rest,
            pre + "\"  最低値:  \",  -5.2  ," + P + ",  25.0  ,  0    ," + rest,
            pre + "\"  平均値:  \",  10.0  ," + P + ",  25.0  ,  26    ," + rest,
            pre + "\"  積算値:  \"," + P + "," + P + ",  65534  ,  70000  ," + rest,
            pre + "\"  基準値:  \"," + P + "," + P + ",  25.0L  ,  60  H  ," + rest,
            pre + "\"上限警報値:\",------ ," + P + ",  30.0  ,  80    ," + rest,
            pre + "\"下限警報値:\",------ ," + P + ",  -4.5  ,  20    ," + rest,
            "",
            "\" No \",\"時刻 \",ｱ-002," + P + ",255-005,007-008," + rest,
            pre + "\"         \",\"  [ﾟC ]  \"," + P + ",\"  [ﾟC ]  \",\"  [%RH]  \"," + rest,
            "\"" + QString(78, '-') + "\"",
            " 1 ,\"2013-11-15 09:05:00\", 25.3 ," + P + "," + P + ", 51 ," + rest,
            " 2 ,\"2013-11-15 09:15:00\",-----," + P + ", 25.0 ," + P + "," + rest,
            " 3 ,\"2013-11-15 09:25:00\", -5.2 ," + P + ", 25.1 ," + P + "," + rest,
        };
        return lines.join("\r\n") + "\r\n";
    }

    QString path(const QString& name) const { return t.root + "/" + name; }
    TestContext t;
};

TEST_F(ExportTest, CsvIsExactlyTheExpectedFile) {
    ASSERT_EQ(t.ctx.store.ch[3].rowOffset, 1);
    ASSERT_EQ(t.ctx.store.rowCount, 3);
    const QByteArray got = exportBytes(t.ctx, kCsvExport);
    const QByteArray expected = cp932::encode(expectedCsv());
    EXPECT_EQ(QString::fromLatin1(got.toHex(' ')).toStdString(),
              QString::fromLatin1(expected.toHex(' ')).toStdString());
    // CP932 bytes of the half-width katakana and the wave dash.
    EXPECT_TRUE(
        got.contains(QByteArray("\"  [\xDF"
                                "C ]  \"")));
    EXPECT_TRUE(
        got.contains(QByteArray("-40\x81\x60"
                                "60")));
    // The card number beyond the tables was corrected in the store.
    EXPECT_EQ(t.ctx.store.ch[3].cardNo, 255);
}

TEST_F(ExportTest, TextUsesHashAsSeparator) {
    QString expected = expectedCsv();
    expected.replace(',', '#');
    EXPECT_EQ(exportBytes(t.ctx, kTextExport), cp932::encode(expected));
}

TEST_F(ExportTest, RoundingAndLongRowNumbers) {
    ChannelStore& s = t.ctx.store;
    s.samples[4][1] = 515;  // 51.5 % rounds away from zero
    s.samples[1][3] = -55;  // -5.5 with one decimal stays
    s.ch[1].sampleCount = 12000;
    for (int i = 4; i <= 12000; ++i) s.samples[1][size_t(i)] = 5;
    rebuildTimeAxis(s);
    ASSERT_EQ(s.rowCount, 12000);
    const QString text = *cp932::decode(exportBytes(t.ctx, kCsvExport));
    EXPECT_TRUE(text.contains("\r\n 1 ,\"2013-11-15 09:05:00\", 25.3 ,\"       \",\"       \", 52 ,"));
    EXPECT_TRUE(text.contains("\r\n 3 ,\"2013-11-15 09:25:00\", -5.5 ,"));
    EXPECT_TRUE(text.contains("\r\n 12000 ,\"2014-02-06 16:55:00\", 0.5 ,"));
    EXPECT_TRUE(text.endsWith(
        " 0.5 ,\"       \",\"       \",\"       \",\"       \",\"       \",\"       \",\"       \",\r\n"));
}

TEST_F(ExportTest, UnknownKindHasNoUnitField) {
    t.ctx.store.ch[4].kind = 5;
    const QString text = *cp932::decode(exportBytes(t.ctx, kCsvExport));
    const QStringList lines = text.split("\r\n");
    ASSERT_GT(lines.size(), 19);
    EXPECT_EQ(lines[2].count(','), 9);  // prefix, label, 8 channels less one
    EXPECT_EQ(lines[18].count(','), 9);
    EXPECT_EQ(lines[3].count(','), 10);
}

TEST_F(ExportTest, NoChannelWritesHeadersWithoutRows) {
    TestContext empty;
    empty.ctx.store.rowCount = 40;  // left over; means nothing without channels
    const QStringList lines = cp932::decode(exportBytes(empty.ctx, kCsvExport))->split("\r\n");
    EXPECT_EQ(lines.size(), 21);  // 17 header lines, 3 data header lines, the end
    EXPECT_EQ(lines[20], "");
}

TEST_F(ExportTest, DispatcherNamesBeforeAndAfter) {
    t.ctx.store.currentFileName = path("data.ql6");
    t.ctx.store.unsavedRead = 1;
    t.ctx.store.unsavedEdit = 1;
    t.dialogs.answers.push_back(path("out.csv"));
    lastFile = runFileOperation(t.ctx, kCsvExport);

    ASSERT_EQ(t.dialogs.requests.size(), 1u);
    EXPECT_EQ(t.dialogs.requests[0].title, "ＣＳＶファイルの保存");
    EXPECT_EQ(t.dialogs.requests[0].filter, "ＣＳＶ(*.csv)|*.csv");
    EXPECT_EQ(t.dialogs.requests[0].defaultExtension, "csv");
    EXPECT_EQ(t.dialogs.requests[0].initialName, path("data.csv"));
    EXPECT_EQ(readBytes(path("out.csv")), cp932::encode(expectedCsv()));
    EXPECT_EQ(t.ctx.store.currentFileName, path("out.ql6"));
    EXPECT_EQ(t.ctx.store.unsavedRead, 0);
    EXPECT_EQ(t.ctx.store.unsavedEdit, 1);
    EXPECT_TRUE(t.messages.shown.empty());

    t.dialogs.answers.push_back(path("out.txt"));
    lastFile = runFileOperation(t.ctx, kTextExport);
    EXPECT_EQ(t.dialogs.requests[1].title, "テキストファイルの保存");
    EXPECT_EQ(t.dialogs.requests[1].filter, "テキスト(*.txt)|*.txt");
    EXPECT_EQ(t.dialogs.requests[1].defaultExtension, "txt");
    EXPECT_EQ(t.dialogs.requests[1].initialName, path("out.txt"));
    EXPECT_TRUE(QFile::exists(path("out.txt")));

    // A later overwrite save writes the binary file beside the export.
    lastFile = runFileOperation(t.ctx, kOverwriteSave);
    EXPECT_TRUE(QFile::exists(path("out.ql6")));
    EXPECT_EQ(readBytes(path("out.csv")), cp932::encode(expectedCsv()));
}

TEST(ExportNames, ExtensionIsReplacedOrAdded) {
    const struct {
        const char* name;
        const char* ext;
        const char* expected;
    } cases[] = {
        {"/d/data.ql6", ".csv", "/d/data.csv"},   {"/d/data.csv", ".ql6", "/d/data.ql6"},
        {"/d/out", ".ql6", "/d/out.ql6"},  // not "/d.ql6"
        {"/d.x/out", ".txt", "/d.x/out.txt"},     {"C:\\d.x\\out", ".txt", "C:\\d.x\\out.txt"},
        {"/d/.hidden", ".ql6", "/d/.hidden.ql6"}, {"/d/a.b.ql5", ".ql6", "/d/a.b.ql6"},
    };
    for (const auto& k : cases) EXPECT_EQ(replaceExtension(k.name, k.ext), k.expected) << k.name;
}

TEST_F(ExportTest, DeclinedOverwriteKeepsTheFileAndTheName) {
    t.ctx.store.currentFileName = path("data.ql6");
    writeBytes(path("out.csv"), "keep");
    t.dialogs.answers.push_back(path("out.csv"));
    t.messages.answers.push_back(kCancel);
    lastFile = runFileOperation(t.ctx, kCsvExport);
    ASSERT_EQ(t.messages.shown.size(), 1u);
    EXPECT_EQ(t.messages.shown[0].title, "ファイルの保存");
    EXPECT_EQ(t.messages.shown[0].text, "ファイルを上書きしますか？");
    EXPECT_EQ(readBytes(path("out.csv")), "keep");
    // Not the export name: an overwrite save must not put binary data there.
    EXPECT_EQ(t.ctx.store.currentFileName, path("data.ql6"));
    EXPECT_NE(lastFile, FileOutcome::Failed);

    t.messages.answers.push_back(kOk);
    t.dialogs.answers.push_back(path("out.csv"));
    lastFile = runFileOperation(t.ctx, kCsvExport);
    EXPECT_EQ(readBytes(path("out.csv")), cp932::encode(expectedCsv()));
}

TEST_F(ExportTest, FailedExportShowsTheSaveErrorAndKeepsTheName) {
    t.ctx.store.currentFileName = path("data.ql6");
    t.dialogs.answers.push_back(path("missing/out.txt"));
    lastFile = runFileOperation(t.ctx, kTextExport);
    EXPECT_TRUE(lastFile == FileOutcome::Failed || lastFile == FileOutcome::Cancelled);
    ASSERT_EQ(t.messages.shown.size(), 1u);
    EXPECT_EQ(t.messages.shown[0].title, "ファイルの保存");
    EXPECT_EQ(t.ctx.store.currentFileName, path("data.ql6"));
    lastFile = runFileOperation(t.ctx, kTextExport);  // Cancel: silent
    EXPECT_NE(lastFile, FileOutcome::Failed);
    EXPECT_EQ(t.messages.shown.size(), 1u);
}

}  // namespace
}  // namespace quillet
