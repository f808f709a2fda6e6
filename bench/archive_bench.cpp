// The archive in process: one read-out of 2 x 8,000 samples imported into
// an archive of a year of many loggers (targets: median <= 50 ms, worst of
// 20 <= 150 ms), and the figures of one logger over a quarter (target:
// <= 10 ms). The archive holds QUILLET_BENCH_LOGGERS loggers (default 20;
// 200 is the full 10.5 M samples) x one year at 10 minutes, built once in a
// temporary folder. bench/archive_compare.sh measures the bulk import and
// the figures against the sqlite3 shell and pandas.
#include "archive/archive.h"
#include "archive/series.h"

#include <QTemporaryDir>
#include <QTimeZone>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

using namespace quillet;
using namespace quillet::archive;

constexpr int kInterval = 600;
constexpr int kYear = 365 * 24 * 6;
constexpr int kPerReadout = 30 * 24 * 6;
const qint64 kYearStart = QDateTime(QDate(2025, 1, 1), QTime(0, 0), QTimeZone::utc()).toSecsSinceEpoch();

ReadoutChannel channel(int card, int test, int loggerChannel, qint64 start, int count, int phase) {
    ReadoutChannel c;
    c.position = loggerChannel;
    c.series = {card, test, loggerChannel, 1};
    c.header.kind = 1;
    c.header.cardNo = int16_t(card);
    c.header.testNo = int16_t(test);
    c.header.upperAlarm = 80;
    c.header.lowerAlarm = 20;
    c.header.intervalMinute = 10;
    c.startUtc = start;
    c.intervalSeconds = kInterval;
    c.count = count;
    c.samples.resize(size_t(count));
    for (int i = 0; i < count; ++i) c.samples[size_t(i)] = int16_t(50 + 30 * std::sin((phase + i) / 900.0) + i % 7);
    return c;
}

struct BenchArchive {
    QTemporaryDir dir;
    std::unique_ptr<Archive> archive;
    int loggers = qEnvironmentVariableIntValue("QUILLET_BENCH_LOGGERS");

    BenchArchive() {
        if (loggers <= 0) loggers = 20;
        ArchiveFailure f;
        archive = openArchive(dir.filePath(QStringLiteral("bench.sqlite")), f);
        int n = 0;
        for (int l = 0; l < loggers; ++l)
            for (int first = 0; first < kYear; first += kPerReadout) {
                Readout r;
                r.sha256 = QByteArray::number(++n).rightJustified(64, '0');
                r.path = QStringLiteral("bench");
                r.zone = QStringLiteral("UTC");
                r.channels.push_back(channel(1 + l / 50, 1 + l % 50, 1, kYearStart + qint64(first) * kInterval,
                                             std::min(kPerReadout, kYear - first), first));
                archive->import(r);
            }
    }
    static BenchArchive& get() {
        static BenchArchive b;
        return b;
    }
};

// Twenty read-outs of a two-channel logger of 8,000 samples each channel,
// each of another logger, into the full archive.
void BM_ImportOneReadout(benchmark::State& state) {
    BenchArchive& b = BenchArchive::get();
    static int next = 0;
    std::vector<double> ms;
    for (auto _ : state) {
        ms.clear();
        for (int i = 0; i < 20; ++i) {
            Readout r;
            r.sha256 = QByteArray("new") + QByteArray::number(++next).rightJustified(61, '0');
            r.path = QStringLiteral("one");
            r.zone = QStringLiteral("UTC");
            const int card = 200 + next % 50;
            r.channels.push_back(channel(card, next % 200, 1, kYearStart, 8000, 0));
            r.channels.push_back(channel(card, next % 200, 2, kYearStart, 8000, 7));
            const auto t0 = std::chrono::steady_clock::now();
            benchmark::DoNotOptimize(b.archive->import(r));
            ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
        }
    }
    std::sort(ms.begin(), ms.end());
    state.counters["median_ms"] = (ms[9] + ms[10]) / 2;
    state.counters["worst_ms"] = ms.back();
}
BENCHMARK(BM_ImportOneReadout)->Iterations(1)->Unit(benchmark::kMillisecond);

// archive stats of one logger over the third quarter.
void BM_QuarterFigures(benchmark::State& state) {
    BenchArchive& b = BenchArchive::get();
    const QTimeZone utc = QTimeZone::utc();
    const Period q3 = periodOfDays(QDate(2025, 7, 1), QDate(2025, 9, 30), utc);
    for (auto _ : state) {
        ArchiveFailure f;
        benchmark::DoNotOptimize(periodFigures(*b.archive, {1, 5, 1, 1}, q3, 10000, utc, f));
    }
}
BENCHMARK(BM_QuarterFigures)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
