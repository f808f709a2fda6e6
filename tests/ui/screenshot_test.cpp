// Renders the main window with a full store offscreen and keeps the picture
// (QUILLET_BUILD_DIR/mainwindow.png) for a look by eye.
#include "mainwin_fixture.h"

#include <QImage>
#include <QPainter>
#include <QSet>

using namespace quillet;
using namespace quillet::fakes;

TEST_F(MainWindowTest, ScreenshotWithFullStore) {
    for (int ch = 1; ch <= 8; ++ch) {
        ChannelData want;
        want.kind = ch == 4 ? 2 : (ch == 7 ? 0 : 1);
        want.start = QDateTime(QDate(2013, 11, 15), QTime(9, 0, 0)).addSecs(600 * (ch == 5 ? 3 : 0));
        want.cardNo = int16_t(ch);
        want.testNo = int16_t(10 + ch);
        want.upperAlarm = want.kind == 2 ? 700 : 260;
        want.lowerAlarm = want.kind == 2 ? 300 : 200;
        want.referenceValue = ch % 2 ? 250 : kNotSet;
        want.samples.resize(12000);
        for (int i = 0; i < 12000; ++i)
            want.samples[size_t(i)] = int16_t((want.kind == 2 ? 500 : 230) + (i * 7 + ch * 13) % 80 - 40);
        want.samples[3] = kErrorSample;
        fill(ch, want);
        t.ctx.store.ch[ch].maxValue = 270;
        t.ctx.store.ch[ch].minValue = 190;
        t.ctx.store.ch[ch].averageValue = 231;
        t.ctx.store.ch[ch].integratedValue = 4321;
    }
    t.ctx.store.currentFileName = t.root + "/sample.ql6";
    window->updateCaption();
    refresh();
    QApplication::processEvents();

    const QImage shot = window->grab().toImage();
    ASSERT_FALSE(shot.isNull());
    const QString file = QStringLiteral(QUILLET_BUILD_DIR) + "/mainwindow.png";
    EXPECT_TRUE(shot.save(file));

    // Not blank: the grid's text and lines give many colours.
    QSet<QRgb> colours;
    for (int y = 0; y < shot.height(); y += 3)
        for (int x = 0; x < shot.width(); x += 3) colours.insert(shot.pixel(x, y));
    EXPECT_GT(colours.size(), 20);
    EXPECT_EQ(window->gridModel->rowCount(), 12003);
    EXPECT_EQ(window->VScroll->maximum(), 12003 - 19);
}

TEST_F(MainWindowTest, ToolbarImagesEnlarged) {
    // The five images side by side, four times their size.
    const QStringList keys = {"toolopen", "toolsave", "toolprint", "toollog", "toolgl"};
    QImage sheet(keys.size() * 72, 72, QImage::Format_ARGB32);
    sheet.fill(Qt::white);
    QPainter p(&sheet);
    for (int i = 0; i < keys.size(); ++i) {
        const QPixmap pm = window->imageList.value(keys[i]).pixmap(16, 16);
        p.drawPixmap(QRect(i * 72 + 4, 4, 64, 64), pm);
    }
    p.end();
    EXPECT_TRUE(sheet.save(QStringLiteral(QUILLET_BUILD_DIR) + "/toolbar_images.png"));
}
