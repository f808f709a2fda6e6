#include "core/fieldhelpers.h"

#include "support/fakes.h"

#include <QKeyEvent>

#include <gtest/gtest.h>

using namespace quillet;

TEST(FieldHelpers, CardAndTestText) {
    fakes::TestContext t;
    t.ctx.general.settingCharCard[255] = QString::fromUtf8("倉庫");
    int16_t card = 300;
    EXPECT_EQ(cardText(t.ctx, card), QString::fromUtf8("倉庫"));
    EXPECT_EQ(card, 255);  // written back
    int16_t test = 5;
    EXPECT_EQ(testText(t.ctx, test), "005");
    int16_t test2 = 300;
    EXPECT_EQ(testText(t.ctx, test2), "255");
    EXPECT_EQ(test2, 255);
}

TEST(FieldHelpers, ReferenceSideText) {
    // Int(side / 2 + 72) as one printable character; a damaged file's side
    // (any 16-bit value) shows nothing.
    const struct {
        int side;
        const char* text;
    } cases[] = {{0, "H"},  {8, "L"},  {1, "H"},   {3, "I"},     {-78, "!"}, {108, "~"},
                 {-80, ""}, {110, ""}, {-200, ""}, {-32768, ""}, {32767, ""}};
    for (const auto& c : cases) EXPECT_EQ(referenceSideText(c.side), QString::fromLatin1(c.text)) << c.side;
}

TEST(FieldHelpers, FilterKey) {
    const struct {
        int key, mode, out;
    } cases[] = {
        {'a', 1, 0},   {'-', 1, '-'}, {'5', 1, '5'}, {8, 1, 8},       {':', 1, 0}, {'-', 2, 0},   {'A', 2, 'A'},
        {'z', 2, 'z'}, {'_', 2, '_'}, {' ', 2, 0},   {0xB1, 2, 0xB1}, {'"', 2, 0}, {',', 2, 0},   {':', 3, ':'},
        {' ', 3, ' '}, {'-', 3, '-'}, {'a', 3, 0},   {'a', 4, 'a'},   {'-', 0, 0}, {'7', 9, '7'}, {8, 9, 8},
    };
    for (const auto& c : cases) EXPECT_EQ(filterKey(c.key, KeyFilter(c.mode)), c.out) << c.key << " mode " << c.mode;
}

TEST(FieldHelpers, FilterKeyOnUnicodeTextAndKeyEvents) {
    const auto u = [](const char* s) { return QString::fromUtf8(s); };
    // Half-width katakana have their code-page codes: ｱ 0xB1 passes mode 2,
    // ｡ 0xA1 and ﾟ 0xDF fall in its blocked ranges; full-width and kanji
    // characters pass only modes 2 and 4.
    const struct {
        const char* text;
        int mode;
        const char* kept;
    } cases[] = {
        {"12-3a", 0, "123"}, {"12-3a", 1, "12-3"}, {"2013-11-15 10:00", 3, "2013-11-15 10:00"},
        {"ｱｲｳ", 0, ""},      {"ｱ｡ﾟ", 2, "ｱ"},      {"ｱ｡ﾟ", 4, "ｱ｡ﾟ"},
        {"１倉", 1, ""},     {"１倉", 2, "１倉"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(filterKeyText(u(c.text), KeyFilter(c.mode)), u(c.kept)) << c.text << " mode " << c.mode;
    EXPECT_EQ(keyCodeOf(u"ｶ"[0]), 0xB6);

    const auto press = [](int key, const QString& text) {
        return QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text);
    };
    EXPECT_TRUE(filterKeyEvent(press(Qt::Key_5, "5"), KeyFilter(0)));
    EXPECT_FALSE(filterKeyEvent(press(Qt::Key_Minus, "-"), KeyFilter(0)));
    EXPECT_TRUE(filterKeyEvent(press(Qt::Key_Minus, "-"), KeyFilter(1)));
    EXPECT_TRUE(filterKeyEvent(press(Qt::Key_Backspace, "\b"), KeyFilter(0)));
    EXPECT_TRUE(filterKeyEvent(press(Qt::Key_Left, ""), KeyFilter(0)));
    EXPECT_TRUE(filterKeyEvent(press(Qt::Key_Return, "\r"), KeyFilter(0)));
    EXPECT_FALSE(filterKeyEvent(press(Qt::Key_V, "\x16"), KeyFilter(3)));  // Ctrl+V: no paste around the filter
    EXPECT_TRUE(filterKeyEvent(QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier, "\x01"), KeyFilter(0)))
        << "Ctrl+A selects the field";
    EXPECT_FALSE(filterKeyEvent(press(0, u("ｱ")), KeyFilter(3)));
    EXPECT_TRUE(filterKeyEvent(press(0, u("ｱ")), KeyFilter(2)));
}
