// The grid's cell text drawn from looked-up glyphs paints exactly what
// QPainter::drawText paints, and leaves to drawText whatever it cannot.
#include "core/ui/gridmodels.h"
#include "mainwin_fixture.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

using namespace quillet;

namespace {

QImage canvas() {
    QImage image(260, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    return image;
}

QFont gridFont(const QString& family, QFont::HintingPreference hinting) {
    QFont f;
    f.setFamilies({family});
    f.setPointSize(9);
    f.setHintingPreference(hinting);
    return f;
}

TEST(GridCellText, GlyphsPaintWhatDrawTextPaints) {
    fakes::ensureApplication();
    struct Case {
        const char* text;
        bool fast;           // drawn from glyphs; otherwise left to drawText
        bool kanji = false;  // only in the Japanese font: a fallback font is drawText's
    };
    const Case cases[] = {
        {"-18.0▼", true},
        {"13-11-15 09:01:00", true},
        {"12000", true},
        {"23.4◆", true},
        {"-----  ", true},
        {"   ", true},
        {"4321  ", true},
        {"最高 平均", true, true},
        {"13-11-15\n10:00:00 ", false},
        {"a\u0301", false},
        {"\u05e9\u05dc\u05d5\u05dd", false},
        {"88888888888888888888888888888888", true},  // wider than the cell: drawText clips it
    };
    const QRect cells[] = {QRect(3, 1, 111, 24), QRect(10, 5, 120, 19), QRect(0, 0, 200, 30)};
    const QString families[] = {QStringLiteral("IPAGothic"), QStringLiteral("DejaVu Sans")};
    const QFont::HintingPreference hintings[] = {QFont::PreferFullHinting, QFont::PreferDefaultHinting};

    for (const QString& family : families) {
        for (QFont::HintingPreference hinting : hintings) {
            const QFont font = gridFont(family, hinting);
            CellGlyphs glyphs;
            for (const Case& c : cases) {
                for (const QRect& cell : cells) {
                    const QString text = QString::fromUtf8(c.text);
                    SCOPED_TRACE(QStringLiteral("%1 %2 \"%3\" in %4x%5")
                                     .arg(family)
                                     .arg(int(hinting))
                                     .arg(text)
                                     .arg(cell.width())
                                     .arg(cell.height())
                                     .toStdString());
                    QImage expected = canvas(), actual = canvas();
                    {
                        QPainter p(&expected);
                        p.setFont(font);
                        p.drawText(cell, Qt::AlignCenter, text);
                    }
                    bool drawn;
                    {
                        QPainter p(&actual);
                        p.setFont(font);
                        drawn = glyphs.drawCentred(&p, cell, text);
                    }
                    const QFontMetricsF metrics(font);
                    const bool fits = metrics.horizontalAdvance(text) <= cell.width() &&
                                      metrics.ascent() + metrics.descent() <= cell.height();
                    EXPECT_EQ(drawn, c.fast && fits && (!c.kanji || family == QLatin1String("IPAGothic")));
                    if (drawn)
                        EXPECT_TRUE(actual == expected);
                    else
                        EXPECT_TRUE(actual == canvas());  // nothing drawn
                }
            }
        }
    }
}

}  // namespace
