// The graph of a full store (eight channels of 12000 samples) redrawn into a
// 1024 × 680 image as the graph window does it (scale, drawing, window
// statistics), against one plain QPainter::drawPolyline of all 96,000
// points into the same image. Target: the redraw fits a 60 Hz frame
// (16 ms) and costs at most half of the plain polyline.
#include "bench/guimain.h"
#include "core/context.h"
#include "core/store.h"
#include "graph/drawgraph.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

using namespace quillet;

const QSize kSize(1024, 680);

struct FullStore {
    FullStore() {
        ChannelStore& s = ctx.store;
        for (int ch = 1; ch <= kChannels; ++ch) {
            ChannelRecord& c = s.ch[size_t(ch)];
            c.inUse = 1;
            c.kind = ch == 8 ? 2 : 1;
            c.startYear = 2013;
            c.startMonth = 11;
            c.startDay = 15;
            c.startHour = 9;
            c.intervalMinute = 1;
            c.sampleCount = kMaxSamples;
            c.referenceValue = 250;
            c.integratedValue = 1234;
            int16_t max = -1000, min = 2000;
            for (int i = 1; i <= kMaxSamples; ++i) {
                // A daily swing with noise, an error now and then.
                const int v = (ch == 8 ? 550 : 220) + int(60 * std::sin(i / 229.0 + ch)) + (i * 7919 % 23) - 11;
                s.samples[size_t(ch)][size_t(i)] = i % 997 == 0 ? kErrorSample : int16_t(v);
                if (i % 997) {
                    max = std::max<int16_t>(max, int16_t(v));
                    min = std::min<int16_t>(min, int16_t(v));
                }
            }
            c.maxValue = max;
            c.minValue = min;
            ++s.channelsInUse;
        }
        rebuildTimeAxis(s);
        geo = graphGeometryForPicture(ctx.layout, kSize.width() * 15.0, kSize.height() * 15.0);
    }
    AppContext ctx;
    GraphGeometry geo;
};

void redraw(FullStore& f, QImage& image) {
    computeGraphScale(f.ctx);
    QPainter p(&image);
    drawGraph(p, QRectF(QPointF(0, 0), QSizeF(kSize)), f.ctx.store, f.ctx.graph, f.geo);
    p.end();
    benchmark::DoNotOptimize(fillGraphGrid(f.ctx));
}

// The naive drawing: every sample of every channel as one polyline each.
void naive(FullStore& f, QImage& image, const std::vector<std::vector<QPointF>>& lines) {
    QPainter p(&image);
    p.fillRect(image.rect(), Qt::white);
    for (int ch = 1; ch <= kChannels; ++ch) {
        p.setPen(QColor::fromRgb(QRgb(f.ctx.graph->channelColor[size_t(ch)])));
        p.drawPolyline(lines[size_t(ch - 1)].data(), int(lines[size_t(ch - 1)].size()));
    }
}

std::vector<std::vector<QPointF>> naivePoints(const FullStore& f) {
    std::vector<std::vector<QPointF>> lines(kChannels);
    const double w = f.geo.plotWidth / 15.0, h = f.geo.plotHeight / 15.0;
    const double x0 = f.geo.plotLeft / 15.0, y0 = f.geo.plotTop / 15.0;
    for (int ch = 1; ch <= kChannels; ++ch)
        for (int i = 1; i <= kMaxSamples; ++i) {
            const int v = f.ctx.store.samples[size_t(ch)][size_t(i)];
            lines[size_t(ch - 1)].emplace_back(x0 + (i - 1) * w / (kMaxSamples - 1), y0 + h - (v % 1000) * h / 1000);
        }
    return lines;
}

void BM_GraphRedrawFullStore(benchmark::State& state) {
    FullStore f;
    QImage image(kSize, QImage::Format_RGB32);
    const auto lines = naivePoints(f);
    // The naive polyline's time per drawing, for the ratio.
    QImage other(kSize, QImage::Format_RGB32);
    QElapsedTimer timer;
    timer.start();
    int rounds = 0;
    while (rounds < 5 || timer.nsecsElapsed() < 200'000'000) {
        naive(f, other, lines);
        ++rounds;
    }
    const double naiveNs = double(timer.nsecsElapsed()) / rounds;
    qint64 redrawNs = 0;
    for (auto _ : state) {
        timer.restart();
        redraw(f, image);
        redrawNs += timer.nsecsElapsed();
    }
    state.counters["naive_ms"] = naiveNs / 1e6;
    state.counters["ratio_to_naive"] = double(redrawNs) / double(state.iterations()) / naiveNs;
}
BENCHMARK(BM_GraphRedrawFullStore)->Unit(benchmark::kMillisecond);

void BM_NaivePolylineFullStore(benchmark::State& state) {
    FullStore f;
    QImage image(kSize, QImage::Format_RGB32);
    const auto lines = naivePoints(f);
    for (auto _ : state) naive(f, image, lines);
}
BENCHMARK(BM_NaivePolylineFullStore)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return quillet::bench::runPaintingBenchmarks<QGuiApplication>(argc, argv); }
