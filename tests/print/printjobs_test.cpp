// The list and parameter prints: font fitting, the cells of both tables, the
// printer checks and the failure rule, and the printed PDFs read back as text.
#include "print/printjobs.h"
#include "print/tableprinter.h"
#include "printfakes.h"

#include "core/catalog.h"
#include "core/store.h"

#include <QFile>
#include <QRegularExpression>

namespace quillet {
namespace {

using namespace fakes;

QString u8(const char* s) { return QString::fromUtf8(s); }

// A copy in the build folder, for a look by eye (pdftoppm -png).
void keepForALook(const QString& pdf, const char* name) {
    const QString copy = QStringLiteral(QUILLET_BUILD_DIR "/") + name;
    QFile::remove(copy);
    QFile::copy(pdf, copy);
}

TEST(FontFitting, LargestSizeWhoseLineFits) {
    // "M" half an em wide: 96 characters need 48 points per point of size.
    const auto w = [](int size) { return size / 2.0; };
    struct Case {
        double printable;
        int chars;
        int want;
    } cases[] = {
        {432, kListChars, 9},                              // 96 × 4.5 fits exactly
        {479.9, kListChars, 9},                            // 96 × 5 = 480 does not
        {480, kListChars, 10},      {470, kListChars, 9},  // the list at 9 ...
        {470, kParameterChars, 10},                        // ... while the parameters get 10 (93 × 5 = 465)
        {335, kListChars, 6},                              // not even 7 (336): the last resort
        {10000, kListChars, 12},                           // never above 12
    };
    for (const Case& c : cases)
        EXPECT_EQ(fitFontSize(w, c.printable, c.chars), c.want) << c.printable << " " << c.chars;
}

class PrintTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ensurePrintApplication(); }
    void SetUp() override { t.ctx.printer = &printer; }

    // Channel 1 temperature from 10:00, channel 2 humidity five rows later,
    // channel 4 temperature without alarms; ten-minute interval.
    void fillThree(int rows = 20) {
        ChannelData a;
        a.samples = ramp(rows, 245);  // 24.5 .. ; 25.3 is row 9
        a.samples[2] = kErrorSample;
        a.upperAlarm = 250;
        a.lowerAlarm = 0;
        fillChannel(t.ctx, 1, a);
        ChannelData h;
        h.kind = 2;
        h.start = a.start.addSecs(5 * 600);
        h.samples = std::vector<int16_t>(size_t(rows - 5), 654);
        h.upperAlarm = 600;
        h.lowerAlarm = 300;
        h.cardNo = 12;
        h.testNo = 34;
        fillChannel(t.ctx, 2, h);
        ChannelData k;
        k.kind = 0;
        k.samples = ramp(rows, -52);
        fillChannel(t.ctx, 4, k);
        rebuildTimeAxis(t.ctx.store);
    }

    TestContext t;
    ScriptedPrinter printer{t.root + "/out.pdf"};
};

TEST_F(PrintTest, ListCells) {
    fillThree();
    struct Case {
        int n;
        int col;
        const char* want;
    } cases[] = {
        {1, 0, "    1"},   {20, 0, "   20"}, {1, 1, "13/11/15 10:00:00"}, {7, 1, "13/11/15 11:00:00"},
        {1, 2, "24.5   "}, {3, 2, "-----"},  // error sample
        {9, 2, "25.3▲"},                     // 253 above 250
        {1, 3, ""},                          // humidity starts five rows late
        {5, 3, ""},        {6, 3, "65▲"},    // 654 in whole units, above 600
        {1, 5, "-5.2   "},                   // kind 0: never a mark
        {1, 4, ""},                          // channel 3 not in use
        {21, 2, ""},                         // past the channel's samples
    };
    for (const Case& c : cases) EXPECT_EQ(listCellText(t.ctx, c.n, c.col), u8(c.want)) << c.n << "," << c.col;

    EXPECT_EQ(listHeaderText(t.ctx, 0), u8("No"));
    EXPECT_EQ(listHeaderText(t.ctx, 1), u8("時    刻"));
    EXPECT_EQ(listHeaderText(t.ctx, 2), u8("001\r001\r[ ﾟC]"));
    EXPECT_EQ(listHeaderText(t.ctx, 3), u8("012\r034\r[%RH]"));
    EXPECT_EQ(listHeaderText(t.ctx, 4), QString());  // channel 3 not in use
    EXPECT_EQ(listHeaderText(t.ctx, 5), u8("001\r001\r[ ﾟC]"));

    // Both alarms at once.
    t.ctx.store.ch[1].upperAlarm = 240;
    t.ctx.store.ch[1].lowerAlarm = 300;
    EXPECT_EQ(listCellText(t.ctx, 9, 2), u8("25.3◆"));
    t.ctx.store.ch[1].upperAlarm = 400;
    EXPECT_EQ(listCellText(t.ctx, 9, 2), u8("25.3▼"));
}

TEST_F(PrintTest, ParameterRows) {
    fillThree();
    ChannelRecord& a = t.ctx.store.ch[1];
    a.rangeLow = -400;
    a.maxValue = 263;
    a.minValue = 245;
    a.averageValue = 254;
    a.referenceValue = 250;
    a.referenceSide = 8;
    a.integratedValue = 4321;
    ChannelRecord& h = t.ctx.store.ch[2];
    h.rangeLow = 0;
    h.errorCount = h.sampleCount;  // no valid sample
    h.maxValue = 654;
    ChannelRecord& k = t.ctx.store.ch[4];
    k.rangeLow = 500;
    k.referenceValue = 253;
    k.referenceSide = 0;
    struct Case {
        int row;
        const char* label;
        const char* a;  // channel 1 (column 2)
        const char* h;  // channel 2 (column 3)
        const char* k;  // channel 4 (column 5)
    } cases[] = {
        {1, "カードNo.\rテストNo.\r単位", "001\r001\r[ﾟC]", "012\r034\r[%RH]", "001\r001\r[ﾟC]"},
        {2, "開始時刻", "13-11-15\r10:00:00", "13-11-15\r10:50:00", "13-11-15\r10:00:00"},
        {3, "測定間隔", "00:10:00", "00:10:00", "00:10:00"},
        {4, "測定範囲", "-40～60", "0～100", "50～150"},
        {5, "収録数", "20", "15", "20"},
        {6, "エラー数", "1", "15", "0"},
        {7, "最高値", "26.3", "-----", "0.0"},
        {8, "最低値", "24.5", "-----", "0.0"},
        {9, "平均値", "25.4", "-----", "0.0"},
        {10, "積算値", "4321", "-----", "0"},
        {11, "基準値", "25L", "-----", "25H"},
        {12, "上限警報値", "25", "60", "-----"},
        {13, "下限警報値", "0", "30", "-----"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parameterText(t.ctx, c.row, 1), u8(c.label)) << c.row;
        EXPECT_EQ(parameterText(t.ctx, c.row, 2), u8(c.a)) << c.row;
        EXPECT_EQ(parameterText(t.ctx, c.row, 3), u8(c.h)) << c.row;
        EXPECT_EQ(parameterText(t.ctx, c.row, 5), u8(c.k)) << c.row;
        EXPECT_EQ(parameterText(t.ctx, c.row, 4), QString()) << c.row;  // channel 3 not in use
    }
}

TEST_F(PrintTest, WholeListPdfRepeatsTheHeaderOnEveryPage) {
    fillThree(150);
    const int pages = printTables(t.ctx, {PrintKind::WholeList, {}});
    ASSERT_GE(pages, 2);
    EXPECT_TRUE(t.messages.shown.empty());
    keepForALook(t.root + "/out.pdf", "print_list.pdf");
    const QStringList text = pdfPages(t.root + "/out.pdf");
    ASSERT_EQ(text.size(), pages);
    for (int p = 0; p < pages; ++p) {
        EXPECT_TRUE(text[p].contains(QRegularExpression(u8("時\\s+刻")))) << p;
        EXPECT_TRUE(text[p].contains("[%RH]")) << p;
        EXPECT_TRUE(text[p].contains(QStringLiteral("%1 / %2").arg(p + 1).arg(pages))) << p;
    }
    EXPECT_TRUE(text[0].contains(QRegularExpression(u8("\\b9\\s+13/11/15 11:20:00\\s+25\\.3▲"))));
    EXPECT_TRUE(text[0].contains(QRegularExpression(u8("\\b6\\s+13/11/15 10:50:00\\s+25\\.0\\s+65▲\\s+-4\\.7"))));
    EXPECT_TRUE(text[0].contains("-----"));
    EXPECT_TRUE(text.back().contains(QRegularExpression(u8("\\b150\\s+13/11/16 10:50:00"))));
    // Every row once, in order.
    const QString all = text.join(QString());
    int last = 0;
    for (const QString& line : all.split('\n')) {
        const QRegularExpressionMatch m = QRegularExpression("^\\s*(\\d+)\\s+13/").match(line);
        if (!m.hasMatch()) continue;
        EXPECT_EQ(m.captured(1).toInt(), last + 1);
        last = m.captured(1).toInt();
    }
    EXPECT_EQ(last, 150);
}

// A full store: eight channels of 12000 rows, about 60 rows a page.
TEST_F(PrintTest, FullStorePages) {
    for (int ch = 1; ch <= kChannels; ++ch) {
        ChannelData c;
        c.kind = ch % 3;
        c.samples = ramp(kMaxSamples, -300);
        fillChannel(t.ctx, ch, c);
    }
    rebuildTimeAxis(t.ctx.store);
    const int pages = printTables(t.ctx, {PrintKind::WholeList, {}});
    EXPECT_GT(pages, 150);
    EXPECT_LT(pages, 260);
    EXPECT_EQ(pdfPageCount(t.root + "/out.pdf"), pages);
    const QString lastPage = pdfText(t.root + "/out.pdf", pages, pages);
    EXPECT_TRUE(lastPage.contains(QRegularExpression("\\b12000\\s+14/02/06 17:50:00")));
    EXPECT_TRUE(lastPage.contains(QStringLiteral("%1 / %1").arg(pages)));
    EXPECT_TRUE(lastPage.contains("[%RH]"));
}

TEST_F(PrintTest, ParameterPdf) {
    fillThree();
    t.ctx.store.ch[1].rangeLow = -400;
    EXPECT_EQ(printTables(t.ctx, {PrintKind::Parameters, {}}), 1);
    keepForALook(t.root + "/out.pdf", "print_parameters.pdf");
    const QString text = pdfText(t.root + "/out.pdf");
    for (const char* want : {"カードNo.", "テストNo.", "単位", "下限警報値", "[%RH]", "13-11-15", "00:10:00"})
        EXPECT_TRUE(text.contains(u8(want))) << want;
    // The font's one glyph for "～" reads back as either wave.
    EXPECT_TRUE(text.contains(QRegularExpression(u8("-40[～〜]60"))));
}

TEST_F(PrintTest, PartListPrintsItsRowsOnly) {
    fillThree(40);
    EXPECT_EQ(printTables(t.ctx, {PrintKind::PartialList, {10, 12}}), 1);
    const QString text = pdfText(t.root + "/out.pdf");
    QList<int> rows;
    for (const QString& line : text.split('\n')) {
        const QRegularExpressionMatch m = QRegularExpression("^\\s*(\\d+)\\s+13/").match(line);
        if (m.hasMatch()) rows << m.captured(1).toInt();
    }
    EXPECT_EQ(rows, (QList<int>{10, 11, 12}));
}

TEST_F(PrintTest, PartRangeWithoutRowsIsRefused) {
    fillThree(40);
    struct Case {
        int first, last;
        const char* message;
    } cases[] = {{12, 10, "開始は終了より早く設定してください。"},
                 {0, 10, "設定できる範囲を超えています。"},
                 {1, 41, "設定できる範囲を超えています。"}};
    for (const Case& c : cases) {
        t.messages.shown.clear();
        EXPECT_EQ(printTables(t.ctx, {PrintKind::PartialList, {c.first, c.last}}), 0);
        ASSERT_EQ(t.messages.shown.size(), 1u);
        EXPECT_EQ(t.messages.shown[0].text, u8(c.message));
        EXPECT_EQ(t.messages.shown[0].title, u8("印刷"));
        EXPECT_FALSE(QFile::exists(t.root + "/out.pdf"));
    }
}

// The three print commands through the printer checks and the dialog.
TEST_F(PrintTest, PrinterChecksAndFailures) {
    fillThree();
    struct Case {
        const char* name;
        int printers;
        bool ready;
        int dialog;
        int startError;
        const char* message;  // "" = none
        bool printed;
        PrintOutcome outcome;
    } cases[] = {
        {"printed", 1, true, 0, 0, "", true, PrintOutcome::Printed},
        {"no printer", 0, true, 0, 0, "プリンタがありません。\rエラー4821", false, PrintOutcome::Failed},
        {"not ready", 2, false, 0, 0, "プリンタがありません。\rエラー4820", false, PrintOutcome::Failed},
        {"dialog cancelled", 1, true, kErrCancel, 0, "", false, PrintOutcome::Cancelled},
        {"printer error", 1, true, 0, 482, "プリンタ エラーです｡\rエラー482", false, PrintOutcome::Failed},
        {"file not writable", 1, true, 0, 75, "パス名が無効です｡\rエラー75", false, PrintOutcome::Failed},
    };
    for (PrintKind index : {PrintKind::WholeList, PrintKind::Parameters, PrintKind::PartialList}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + " " + std::to_string(int(index)));
            TestContext fresh;
            fillThree();
            fresh.ctx.store = t.ctx.store;
            ScriptedPrinter p(fresh.root + "/out.pdf");
            p.printers = c.printers;
            p.ready = c.ready;
            p.dialogAnswers = {c.dialog};
            p.startError = c.startError;
            fresh.ctx.printer = &p;
            struct Rows : PartialPrintPrompt {
                std::optional<AxisRows> chooseRows(AppContext&) override { return AxisRows{2, 4}; }
            } rows;
            const PrintOutcome outcome = printMenuCommand(fresh.ctx, index, &rows);
            EXPECT_EQ(QFile::exists(fresh.root + "/out.pdf"), c.printed);
            EXPECT_EQ(fresh.messages.texts().join('|'), u8(c.message));
            for (const auto& s : fresh.messages.shown) EXPECT_EQ(s.title, u8("印刷"));
            EXPECT_EQ(outcome, c.outcome);
            EXPECT_EQ(p.dialogsShown, c.printers > 0 && c.ready ? 1 : 0);
        }
    }
}

TEST_F(PrintTest, PrinterSettingsOnlyOpensTheDialog) {
    fillThree();
    printerSetupCommand(t.ctx);
    EXPECT_EQ(printer.dialogsShown, 1);
    EXPECT_FALSE(QFile::exists(t.root + "/out.pdf"));
    printer.printers = 0;
    printerSetupCommand(t.ctx);
    EXPECT_EQ(printer.dialogsShown, 1);
    EXPECT_EQ(t.messages.texts(), QStringList{u8("プリンタがありません。\rエラー4821")});
}

TEST_F(PrintTest, DispatchRunsOnlyTheKnownKinds) {
    fillThree();
    EXPECT_EQ(printDispatch(t.ctx, PrintKind(7)), PrintOutcome::Cancelled);
    EXPECT_FALSE(QFile::exists(t.root + "/out.pdf"));
    printDispatch(t.ctx, PrintKind::PartialList, nullptr);  // no dialog: nothing
    EXPECT_FALSE(QFile::exists(t.root + "/out.pdf"));
    printDispatch(t.ctx, PrintKind::WholeList);
    EXPECT_TRUE(QFile::exists(t.root + "/out.pdf"));
}

}  // namespace
}  // namespace quillet
