// The long-term trend in process: one logger-year at one minute (525,600
// samples in 46 read-outs of 8 days) from the archive to a drawn graph
// 1600 pixels wide (target <= 50 ms), a pan and a zoom of the loaded year
// redrawn (target <= 16 ms, one frame), and the memory of ten channels x
// one year loaded (resident size before and after, in MB).
// bench/trend_compare.sh sets the whole process against pandas and
// matplotlib drawing the same rows.
#include "archive/archive.h"
#include "archive/trend.h"
#include "bench/guimain.h"
#include "print/printjobs.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <unistd.h>
#include <cmath>

namespace {

using namespace quillet;
using namespace quillet::archive;

constexpr int kInterval = 60;
constexpr int kYear = 365 * 24 * 60;
constexpr int kPerReadout = 8 * 24 * 60;
const qint64 kYearStart = QDateTime(QDate(2025, 1, 1), QTime(0, 0), QTimeZone::utc()).toSecsSinceEpoch();
const QSize kPicture(1600, 600);

ReadoutChannel channel(int card, int loggerChannel, qint64 start, int count, int phase) {
    ReadoutChannel c;
    c.position = loggerChannel;
    c.series = {card, 1, loggerChannel, 1};
    c.header.kind = 1;
    c.header.cardNo = int16_t(card);
    c.header.testNo = 1;
    c.header.upperAlarm = 80;
    c.header.lowerAlarm = 20;
    c.header.intervalMinute = 1;
    c.startUtc = start;
    c.intervalSeconds = kInterval;
    c.count = count;
    c.samples.resize(size_t(count));
    // A yearly swing, a daily one and a spike now and then.
    for (int i = 0; i < count; ++i) {
        const int n = phase + i;
        c.samples[size_t(i)] =
            int16_t(50 + 40 * std::sin(n / 83000.0) + 15 * std::sin(n / 229.0) + (n % 9973 == 0 ? 200 : 0));
    }
    return c;
}

// Humidity beside logger 1's temperature: 50 %RH with a swing, alarms at
// 70 and 30 %RH.
ReadoutChannel humidity(qint64 start, int count, int phase) {
    ReadoutChannel c = channel(1, 2, start, count, phase);
    c.series.kind = 2;
    c.header.kind = 2;
    c.header.upperAlarm = 700;
    c.header.lowerAlarm = 300;
    for (int i = 0; i < count; ++i)
        c.samples[size_t(i)] =
            int16_t(500 + 150 * std::sin((phase + i) / 40000.0) + 60 * std::sin((phase + i) / 300.0));
    return c;
}

// Loggers 1..10 (logger 1 with humidity too), a year at one minute; in
// QUILLET_TREND_DB when that names a file (bench/trend_compare.sh keeps it).
struct BenchArchive {
    QTemporaryDir dir;
    std::unique_ptr<Archive> archive;
    BenchArchive() {
        const QString kept = qEnvironmentVariable("QUILLET_TREND_DB");
        ArchiveFailure f;
        archive = openArchive(kept.isEmpty() ? dir.filePath(QStringLiteral("trend.sqlite")) : kept, f);
        int n = 0;
        for (int logger = 1; logger <= 10; ++logger)
            for (int first = 0; first < kYear; first += kPerReadout) {
                Readout r;
                r.sha256 = QByteArray::number(++n).rightJustified(64, '0');
                r.path = QStringLiteral("bench");
                r.zone = QStringLiteral("UTC");
                r.channels.push_back(channel(logger, 1, kYearStart + qint64(first) * kInterval,
                                             std::min(kPerReadout, kYear - first), first));
                if (logger == 1)
                    r.channels.push_back(
                        humidity(kYearStart + qint64(first) * kInterval, std::min(kPerReadout, kYear - first), first));
                archive->import(r);
            }
    }
    static BenchArchive& get() {
        static BenchArchive b;
        return b;
    }
};

const Period kYearSpan{kYearStart, kYearStart + qint64(kYear) * kInterval - 1};

void draw(QImage& image, const std::vector<TrendChannel>& channels, Period span) {
    image.fill(Qt::white);
    QPainter p(&image);
    p.setFont(printFont(9));
    paintTrendIn(p, QRectF(QPointF(0, 0), QSizeF(image.size())), channels, TrendView{span, QTimeZone::utc()});
}

// From the archive to the drawn picture as quillet-cli archive trend draws
// it: the columns read from the hour summaries (the samples of the hours a
// column boundary cuts), drawn.
void BM_YearFromArchiveToGraph(benchmark::State& state) {
    BenchArchive& b = BenchArchive::get();
    QImage image(kPicture, QImage::Format_RGB32);
    const std::vector<TrendChannel> channels{{SeriesKey{1, 1, 1, 1}, {}, {}}};
    for (auto _ : state) {
        ArchiveFailure f;
        image.fill(Qt::white);
        QPainter p(&image);
        p.setFont(printFont(9));
        paintTrendFromArchive(p, QRectF(QPointF(0, 0), QSizeF(image.size())), *b.archive, channels,
                              TrendView{kYearSpan, QTimeZone::utc()}, f);
    }
}
BENCHMARK(BM_YearFromArchiveToGraph)->Unit(benchmark::kMillisecond);

// The same as the window draws it: every sample read (kept for the figures,
// a zoom and a pan), reduced, drawn.
void BM_YearSamplesFromArchiveToGraph(benchmark::State& state) {
    BenchArchive& b = BenchArchive::get();
    QImage image(kPicture, QImage::Format_RGB32);
    for (auto _ : state) {
        ArchiveFailure f;
        const std::vector<TrendChannel> channels = loadTrend(*b.archive, {SeriesKey{1, 1, 1, 1}}, kYearSpan, f);
        draw(image, channels, kYearSpan);
    }
}
BENCHMARK(BM_YearSamplesFromArchiveToGraph)->Unit(benchmark::kMillisecond);

// A pan (a tenth of the span) and a zoom (into August) of the loaded year.
void BM_PanLoadedYear(benchmark::State& state) {
    BenchArchive& b = BenchArchive::get();
    ArchiveFailure f;
    const std::vector<TrendChannel> channels = loadTrend(*b.archive, {SeriesKey{1, 1, 1, 1}}, kYearSpan, f);
    QImage image(kPicture, QImage::Format_RGB32);
    qint64 shift = 0;
    for (auto _ : state) {
        shift = (shift + 36 * 86400) % (300 * 86400);
        draw(image, channels, {kYearSpan.fromUtc + shift, kYearSpan.toUtc + shift});
    }
}
BENCHMARK(BM_PanLoadedYear)->Unit(benchmark::kMillisecond);

void BM_ZoomLoadedYearToAugust(benchmark::State& state) {
    BenchArchive& b = BenchArchive::get();
    ArchiveFailure f;
    const std::vector<TrendChannel> channels = loadTrend(*b.archive, {SeriesKey{1, 1, 1, 1}}, kYearSpan, f);
    QImage image(kPicture, QImage::Format_RGB32);
    const Period august = periodOfDays(QDate(2025, 8, 1), QDate(2025, 8, 31), QTimeZone::utc());
    for (auto _ : state) draw(image, channels, august);
}
BENCHMARK(BM_ZoomLoadedYearToAugust)->Unit(benchmark::kMillisecond);

double residentMegabytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toDouble() * double(sysconf(_SC_PAGESIZE)) / 1048576.0;
}

// Ten channels x one year loaded and drawn: the resident size it adds.
void BM_TenChannelsMemory(benchmark::State& state) {
    BenchArchive& b = BenchArchive::get();
    std::vector<SeriesKey> keys;
    for (int logger = 1; logger <= 10; ++logger) keys.push_back({logger, 1, 1, 1});
    QImage image(kPicture, QImage::Format_RGB32);
    for (auto _ : state) {
        const double before = residentMegabytes();
        ArchiveFailure f;
        const std::vector<TrendChannel> channels = loadTrend(*b.archive, keys, kYearSpan, f);
        draw(image, channels, kYearSpan);
        state.counters["added_MB"] = residentMegabytes() - before;
        state.counters["samples_MB"] = 10.0 * kYear * 2 / 1048576.0;
    }
}
BENCHMARK(BM_TenChannelsMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return quillet::bench::runPaintingBenchmarks<QGuiApplication>(argc, argv); }
