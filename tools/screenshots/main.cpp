// quillet-screenshots: pictures of the main window for a look by eye.
//
//   quillet-screenshots OUTDIR [FILE]
//
// Opens FILE (any data-file layout) or, without one, fills all eight
// channels with 12000 samples each (a humidity channel, a channel without
// alarms, a late channel, an error sample), shows the main window offscreen
// and writes OUTDIR/mainwindow.png and OUTDIR/toolbar_images.png (the
// toolbar's five images, four times their size).
#include "core/context.h"
#include "core/store.h"
#include "core/ui/mainwindow.h"
#include "datafile/fileops.h"

#include <QApplication>
#include <QDir>
#include <QPainter>

#include <cstdio>

using namespace quillet;

namespace {

void fillSampleStore(ChannelStore& s) {
    for (int ch = 1; ch <= kChannels; ++ch) {
        ChannelRecord& c = s.ch[size_t(ch)];
        c = ChannelRecord{};
        c.inUse = 1;
        c.kind = int16_t(ch == 4   ? ChannelKind::Humidity
                         : ch == 7 ? ChannelKind::Temperature
                                   : ChannelKind::TemperatureWithAlarms);
        c.cardNo = int16_t(ch);
        c.testNo = int16_t(10 + ch);
        c.startYear = 2013;
        c.startMonth = 11;
        c.startDay = 15;
        c.startHour = 9;
        c.startMinute = int16_t(ch == 5 ? 30 : 0);  // a late channel
        c.intervalMinute = 10;
        c.upperAlarm = int16_t(isHumidity(c.kind) ? 700 : 260);
        c.lowerAlarm = int16_t(isHumidity(c.kind) ? 300 : 200);
        c.referenceValue = ch % 2 ? int16_t(250) : kNotSet;
        c.maxValue = 270;
        c.minValue = 190;
        c.averageValue = 231;
        c.integratedValue = 4321;
        c.sampleCount = kMaxSamples;
        for (int i = 1; i <= kMaxSamples; ++i)
            s.samples[size_t(ch)][size_t(i)] = int16_t((isHumidity(c.kind) ? 500 : 230) + (i * 7 + ch * 13) % 80 - 40);
        s.samples[size_t(ch)][4] = kErrorSample;
        c.errorCount = 1;
        deriveDates(c);
    }
    s.channelsInUse = kChannels;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2 || args.size() > 3) {
        std::fprintf(stderr, "usage: quillet-screenshots OUTDIR [FILE]\n");
        return 2;
    }
    const QDir out(args[1]);
    if (!out.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "quillet-screenshots: cannot create %s\n", qPrintable(args[1]));
        return 1;
    }

    AppContext ctx;
    MainWindow window(ctx);
    if (args.size() == 3) {
        if (const int error = loadDataFile(ctx, args[2])) {
            std::fprintf(stderr, "quillet-screenshots: %s: error %d\n", qPrintable(args[2]), error);
            return 1;
        }
        ctx.store.currentFileName = args[2];
    } else {
        fillSampleStore(ctx.store);
        ctx.store.currentFileName = out.filePath(QStringLiteral("sample.ql6"));
    }
    window.updateCaption();
    rebuildAxisAndDisplay(ctx);
    window.enableAllCommands();  // as after an open
    window.show();
    QApplication::processEvents();

    bool saved = window.grab().toImage().save(out.filePath(QStringLiteral("mainwindow.png")));

    const QStringList keys = {"toolopen", "toolsave", "toolprint", "toollog", "toolgl"};
    QImage sheet(int(keys.size()) * 72, 72, QImage::Format_ARGB32);
    sheet.fill(Qt::white);
    QPainter p(&sheet);
    for (int i = 0; i < keys.size(); ++i)
        p.drawPixmap(QRect(i * 72 + 4, 4, 64, 64), window.toolbarImageList().value(keys[i]).pixmap(16, 16));
    p.end();
    saved = sheet.save(out.filePath(QStringLiteral("toolbar_images.png"))) && saved;

    // The store is not the user's: leave without the unsaved-data question.
    ctx.store.unsavedRead = 0;
    ctx.store.unsavedEdit = 0;
    if (!saved) {
        std::fprintf(stderr, "quillet-screenshots: cannot write into %s\n", qPrintable(args[1]));
        return 1;
    }
    std::printf("%s\n%s\n", qPrintable(out.filePath(QStringLiteral("mainwindow.png"))),
                qPrintable(out.filePath(QStringLiteral("toolbar_images.png"))));
    return 0;
}
