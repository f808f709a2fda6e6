// The tidy CSV and the workbook: exact bytes of the CSV, the times of a span,
// every value at its own channel's time, humidity in tenths,
// the export through the file dialog, and a largest-axis file exported by
// quillet-cli and read back with independent readers (pandas, openpyxl).
#include "spreadsheet/tabular.h"
#include "analysis/figuretexts.h"
#include "core/channelfill.h"
#include "core/cp932.h"
#include "core/store.h"
#include "datafile/datafile.h"
#include "datafile/filebuilder.h"
#include "support/clirun.h"
#include "support/fakes.h"

#include <QProcess>

#include <gtest/gtest.h>

namespace quillet {
namespace {

using fakes::TestContext;
using filetest::readBytes;
using filetest::writeBytes;

// Channel 1 temperature with an error sample, channel 2 empty, channel 3
// temperature starting a row later (card 300 beyond the tables), channel 4
// humidity; every ten minutes from 2013-11-15 09:05.
class TableTest : public ::testing::Test {
protected:
    TableTest() {
        set(1, 0, 1, 2, 30, {253, 9999, -52});
        set(3, 1, 300, 5, 15 * 6 + 3, {250, 251});
        set(4, 2, 7, 8, 30, {505});
        t.ctx.general.settingCharCard[1] = "ｱ";
        rebuildTimeAxis(t.ctx.store);
    }
    void set(int ch, int kind, int card, int test, int tenSecs, std::vector<int> samples) {
        fakes::placeChannel(t.ctx, ch, kind, card, test, tenSecs, samples);
    }
    QString path(const QString& name) const { return t.root + "/" + name; }

    // Channel C stands on the rows of 09:15 and 09:25 but was recorded 30
    // seconds later.
    static inline const QString kHead = "日時,A ｱ-002 [℃],C 255-005 [℃],D 007-008 [%RH]\r\n";
    static inline const QStringList kRows = {
        "2013-11-15 09:05:00,25.3,,50.5\r\n",  // A 1, D 1
        "2013-11-15 09:15:00,,,\r\n",          // A 2, an error sample
        "2013-11-15 09:15:30,,25.0,\r\n",      // C 1
        "2013-11-15 09:25:00,-5.2,,\r\n",      // A 3
        "2013-11-15 09:25:30,,25.1,\r\n",      // C 2
    };
    TestContext t;
};

TEST_F(TableTest, TidyCsvInBothEncodingsAndEverySpan) {
    const struct {
        int first, last;     // asked
        int fromRow, toRow;  // written (1-based rows of kRows)
    } spans[] = {{1, 3, 1, 5}, {2, 2, 2, 3}, {2, 3, 2, 5}, {1, 2, 1, 3}, {-5, 99, 1, 5}, {3, 2, 1, 0}};
    for (const auto& s : spans) {
        QString body = kHead;
        for (int r = s.fromRow; r <= s.toRow; ++r) body += kRows[r - 1];
        const AxisRows span = clampToAxis(t.ctx.store, s.first, s.last);
        const QByteArray utf8 = tidyCsvBytes(t.ctx, span);
        EXPECT_EQ(utf8, "\xEF\xBB\xBF" + body.toUtf8()) << s.first << ".." << s.last;
        const QByteArray sjis = tidyCsvBytes(t.ctx, span, TableEncoding::Cp932);
        EXPECT_EQ(sjis, cp932::encode(body)) << s.first << ".." << s.last;
        EXPECT_TRUE(sjis.startsWith("\x93\xFA\x8E\x9E,"));  // 日時 in CP932
    }
    // The export is no save: the store keeps its marks.
    EXPECT_EQ(t.ctx.store.ch[3].cardNo, 255);
    TestContext empty;
    EXPECT_EQ(wholeAxis(empty.ctx.store).count(), 0);
    EXPECT_EQ(tidyCsvBytes(empty.ctx, wholeAxis(empty.ctx.store)), "\xEF\xBB\xBF\xE6\x97\xA5\xE6\x99\x82\r\n");
}

// Channels the axis cannot place by their times, all listed from row 1: A
// every ten minutes from 2013-11-15 09:00, B (humidity) from 2026, far more
// than 1500 intervals later, D from 09:00 every fifteen minutes, E from
// 2012, far before.
void placeApart(AppContext& ctx) {
    const QDateTime nine(QDate(2013, 11, 15), QTime(9, 0));
    fakes::fillChannel(ctx, 1, {.kind = 1, .start = nine, .samples = {253, kErrorSample, -51}, .cardNo = 1});
    fakes::fillChannel(ctx, 2, {.kind = 2, .start = {{2026, 5, 1}, {12, 0}}, .samples = {505, 498, 512}, .cardNo = 2});
    fakes::fillChannel(ctx, 4,
                       {.kind = 0, .start = nine, .intervalSeconds = 900, .samples = {200, 210, 220}, .cardNo = 4});
    fakes::fillChannel(ctx, 5, {.kind = 1, .start = {{2012, 1, 1}, {0, 0}}, .samples = {100}, .cardNo = 5});
    rebuildTimeAxis(ctx.store);
}

// Their tidy CSV: each value at its channel's start + (i − 1) × interval.
const QString kApartHead = "日時,A 001-001 [℃],B 002-001 [%RH],D 004-001 [℃],E 005-001 [℃]\r\n";
const QStringList kApartRows = {
    "2012-01-01 00:00:00,,,,10.0\r\n",      // E 1
    "2013-11-15 09:00:00,25.3,,20.0,\r\n",  // A 1, D 1
    "2013-11-15 09:10:00,,,,\r\n",          // A 2, an error sample
    "2013-11-15 09:15:00,,,21.0,\r\n",      // D 2
    "2013-11-15 09:20:00,-5.1,,,\r\n",      // A 3
    "2013-11-15 09:30:00,,,22.0,\r\n",      // D 3
    "2026-05-01 12:00:00,,50.5,,\r\n",      // B 1
    "2026-05-01 12:10:00,,49.8,,\r\n",      // B 2
    "2026-05-01 12:20:00,,51.2,,\r\n",      // B 3
};

TEST(TableTimes, EveryValueAtItsOwnChannelsTime) {
    TestContext t;
    placeApart(t.ctx);
    const ChannelStore& s = t.ctx.store;
    ASSERT_EQ(s.rowCount, 3);
    const struct {
        int first, last;     // rows of the axis: 09:00, 09:10, 09:20
        int fromRow, toRow;  // written (1-based rows of kApartRows)
    } spans[] = {
        {1, 3, 1, 9},  // the whole axis: every sample
        {1, 1, 1, 2},  // open before, up to 09:05
        {2, 2, 3, 3},  // 09:05 up to 09:15, which belongs to the next row
        {2, 3, 3, 9},  // from 09:05, open after
    };
    for (const auto& k : spans) {
        const QString want = kApartHead + kApartRows.mid(k.fromRow - 1, k.toRow - k.fromRow + 1).join(QString());
        EXPECT_EQ(tidyCsvBytes(t.ctx, {k.first, k.last}), "\xEF\xBB\xBF" + want.toUtf8()) << k.first << ".." << k.last;
    }

    // Humidity in tenths as temperature: a channel's mean recomputed from
    // the CSV is the figures' mean as they print it.
    int meanRow = 0;
    while (figureRowLabel(meanRow) != QStringLiteral("平均値")) ++meanRow;
    const std::vector<ChannelFigures> figures = channelFigures(s, wholeAxis(s));
    ASSERT_EQ(figures.size(), 4u);
    for (size_t k = 0; k < figures.size(); ++k) {
        double sum = 0;
        int n = 0;
        for (const QString& row : kApartRows) {
            const QString cell = row.trimmed().split(QLatin1Char(','))[qsizetype(k) + 1];
            if (cell.isEmpty()) continue;
            sum += cell.toDouble();
            ++n;
        }
        EXPECT_EQ(QString::number(sum / n, 'f', 2), figureText(figures[k], meanRow)) << k;
    }
}

TEST_F(TableTest, ExportThroughTheDialogIsNoSave) {
    const struct {
        std::optional<TableFormat> format;
        const char* name;
        const char* title;
        const char* magic;
    } cases[] = {
        {TableFormat::TidyCsv, "t.csv", "表形式CSVの保存", "\xEF\xBB\xBF"},
        {TableFormat::Workbook, "b.xlsx", "Excelブックの保存", "PK\x03\x04"},
        {std::nullopt, "s.xlsx", "表示範囲の保存", "PK\x03\x04"},
        {std::nullopt, "s.csv", "表示範囲の保存", "\xEF\xBB\xBF"},
    };
    ChannelStore& s = t.ctx.store;
    s.currentFileName = path("data.ql6");
    s.unsavedRead = 1;
    s.unsavedEdit = 1;
    for (const auto& k : cases) {
        t.dialogs.answers.push_back(path(k.name));
        EXPECT_EQ(exportTable(t.ctx, k.format, wholeAxis(s)), FileOutcome::Done) << k.name;
        EXPECT_EQ(t.dialogs.requests.back().title, k.title);
        EXPECT_TRUE(readBytes(path(k.name)).startsWith(k.magic)) << k.name;
        EXPECT_EQ(s.currentFileName, path("data.ql6"));
        EXPECT_EQ(s.unsavedRead, 1);
        EXPECT_EQ(s.unsavedEdit, 1);
    }
    EXPECT_EQ(t.dialogs.requests[1].initialName, path("data.xlsx"));
    EXPECT_TRUE(t.messages.shown.empty());

    // An existing file: Cancel keeps it, OK replaces it; a cancelled dialog
    // writes nothing; a failed write shows the save error.
    writeBytes(path("t.csv"), "keep");
    t.dialogs.answers.push_back(path("t.csv"));
    t.messages.answers.push_back(kCancel);
    EXPECT_EQ(exportTable(t.ctx, TableFormat::TidyCsv, wholeAxis(s)), FileOutcome::Cancelled);
    EXPECT_EQ(readBytes(path("t.csv")), "keep");
    t.dialogs.answers.push_back(path("t.csv"));
    t.messages.answers.push_back(kOk);
    EXPECT_EQ(exportTable(t.ctx, TableFormat::TidyCsv, wholeAxis(s)), FileOutcome::Done);
    EXPECT_EQ(readBytes(path("t.csv")), tidyCsvBytes(t.ctx, wholeAxis(s)));
    ASSERT_EQ(t.messages.shown.size(), 2u);
    EXPECT_EQ(t.messages.shown[0].text, "ファイルを上書きしますか？");
    t.dialogs.answers.push_back(std::nullopt);
    EXPECT_EQ(exportTable(t.ctx, TableFormat::Workbook, wholeAxis(s)), FileOutcome::Cancelled);
    t.dialogs.answers.push_back(path("missing/b.xlsx"));
    EXPECT_EQ(exportTable(t.ctx, TableFormat::Workbook, wholeAxis(s)), FileOutcome::Failed);
    ASSERT_EQ(t.messages.shown.size(), 3u);
    EXPECT_EQ(t.messages.shown[2].title, "ファイルの保存");
    EXPECT_FALSE(QFile::exists(path("missing/b.xlsx")));
}

// The largest axis: channel 1 holds 12000 samples with an error every 97th
// and alarm limits 50.0/-10.0 ℃,
// channel 3 (humidity in tenths, limits 80/35 %RH) starts 250 rows later, channel 5 is a short
// temperature channel. quillet-cli writes the classic CSV, the tidy CSV in
// both encodings, a span and the workbook, and those of the channels apart;
// readback.py compares them with pandas and openpyxl.
TEST(TableReadBack, IndependentReadersSeeTheClassicExportsValues) {
    const QString python = QStringLiteral("/usr/bin/python3");
    if (QProcess::execute(python, {"-c", "import pandas, openpyxl"}) != 0)
        GTEST_SKIP() << "python3-pandas and python3-openpyxl are installed by scripts/setup.sh";
    TestContext t;
    ChannelStore& s = t.ctx.store;
    auto channel = [&](int ch, int kind, int startMinute, int count) {
        ChannelRecord& c = s.ch[size_t(ch)];
        c = {};
        c.inUse = 1;
        c.kind = int16_t(kind);
        c.cardNo = int16_t(ch);
        c.testNo = int16_t(ch + 10);
        c.startYear = 2024;
        c.startMonth = 2;
        c.startDay = 28;  // across a leap day
        c.startHour = 23;
        c.startMinute = int16_t(startMinute);
        c.intervalMinute = 1;
        c.sampleCount = int16_t(count);
        c.referenceValue = kNotSet;
        for (int i = 1; i <= count; ++i) {
            const int v = kind == 2 ? 300 + (i * 7) % 600 : (i * 7 + ch * 13) % 900 - 200;
            s.samples[size_t(ch)][size_t(i)] = int16_t(i % 97 == 0 ? kErrorSample : v);
        }
    };
    channel(1, 1, 0, kMaxSamples);
    s.ch[1].upperAlarm = 500;
    s.ch[1].lowerAlarm = -100;
    channel(3, 2, 10, kMaxSamples - 250);
    s.ch[3].upperAlarm = 800;
    s.ch[3].lowerAlarm = 350;  // 23:00 + 250 minutes = 03:10 the next day
    s.ch[3].averageValue = 555;
    s.ch[3].startDay = 29;
    s.ch[3].startHour = 3;
    channel(5, 0, 5, 40);
    s.channelsInUse = 3;
    const QString file = t.root + "/big.ql6";
    writeBytes(file, ql6Bytes(s));

    TestContext apart;
    placeApart(apart.ctx);
    const QString apartFile = t.root + "/apart.ql6";
    writeBytes(apartFile, ql6Bytes(apart.ctx.store));

    const QString dir = t.root;
    const struct {
        QString file;
        QStringList args;
    } runs[] = {
        {file, {"--csv", dir + "/classic.csv"}},
        {file, {"--tidy", dir + "/tidy.csv"}},
        {file, {"--tidy", dir + "/sjis.csv", "--encoding", "cp932"}},
        {file, {"--tidy", dir + "/span.csv", "--rows", "240..260"}},
        {file, {"--xlsx", dir + "/book.xlsx"}},
        {file, {"--xlsx", dir + "/spanbook.xlsx", "--rows", "240..260"}},
        {apartFile, {"--tidy", dir + "/apart.csv"}},
        {apartFile, {"--xlsx", dir + "/apart.xlsx"}},
    };
    for (const auto& r : runs) {
        const fakes::CliRun run = fakes::runCli(QStringList{"export", r.file} + r.args, t.root);
        ASSERT_EQ(run.exitCode, 0) << r.args.join(' ').toStdString() << run.err.toStdString();
    }
    EXPECT_EQ(readBytes(dir + "/apart.csv"), "\xEF\xBB\xBF" + (kApartHead + kApartRows.join(QString())).toUtf8());
    QProcess check;
    check.start(python, {QStringLiteral(QUILLET_SOURCE_DIR "/tests/spreadsheet/readback.py"), dir});
    ASSERT_TRUE(check.waitForFinished(300000));
    EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardOutput().toStdString()
                                   << check.readAllStandardError().toStdString();
}

TEST(TableReadBack, CommandLineRefusesWrongCombinations) {
    TestContext t;
    const QString file = t.root + "/one.ql6";
    t.ctx.store.ch[1].inUse = 1;
    t.ctx.store.ch[1].sampleCount = 3;
    t.ctx.store.ch[1].startYear = 2024;
    t.ctx.store.ch[1].startMonth = 1;
    t.ctx.store.ch[1].startDay = 1;
    t.ctx.store.ch[1].intervalMinute = 1;
    t.ctx.store.channelsInUse = 1;
    writeBytes(file, ql6Bytes(t.ctx.store));
    const QString out = t.root + "/out";
    const struct {
        QStringList args;
        int exitCode;
    } cases[] = {
        {{"--tidy", out, "--csv", out}, 2},          {{"--csv", out, "--rows", "1..2"}, 2},
        {{"--xlsx", out, "--encoding", "cp932"}, 2}, {{"--tidy", out, "--encoding", "latin1"}, 2},
        {{"--tidy", out, "--rows", "0..2"}, 1},      {{"--tidy", out, "--rows", "2..4"}, 1},
        {{"--tidy", out, "--rows", "3..2"}, 1},      {{"--tidy", out, "--rows", "x"}, 2},
    };
    for (const auto& k : cases) {
        const fakes::CliRun run = fakes::runCli(QStringList{"export", file} + k.args, t.root);
        EXPECT_EQ(run.exitCode, k.exitCode) << k.args.join(' ').toStdString();
        EXPECT_FALSE(QFile::exists(out)) << k.args.join(' ').toStdString();
    }
    EXPECT_EQ(fakes::runCli({"export", file, "--tidy", out, "--rows", "2..3"}, t.root).exitCode, 0);
    EXPECT_EQ(readBytes(out).count("\r\n"), 3);
}

}  // namespace
}  // namespace quillet
