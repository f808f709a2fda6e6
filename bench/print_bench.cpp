// The whole list of a full store (eight channels of 12000 samples) printed
// into a PDF file through the list print, as "全体印刷(&A)" prints it.
#include "core/context.h"
#include "core/store.h"
#include "print/mprint.h"
#include "print/pdfprinter.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace quillet;

void fillFullStore(ChannelStore& s) {
    for (int ch = 1; ch <= kChannels; ++ch) {
        ChannelRecord& c = s.ch[size_t(ch)];
        c.inUse = 1;
        c.kind = int16_t(ch % 3);
        c.cardNo = int16_t(ch);
        c.testNo = int16_t(100 + ch);
        c.startYear = 2013;
        c.startMonth = 11;
        c.startDay = 15;
        c.startHour = 9;
        c.intervalMinute = 1;
        c.upperAlarm = 350;
        c.lowerAlarm = -50;
        c.sampleCount = kMaxSamples;
        for (int i = 1; i <= kMaxSamples; ++i)
            s.samples[size_t(ch)][size_t(i)] = int16_t(i % 97 == 0 ? kErrorSample : (i * 7 + ch * 13) % 900 - 200);
        deriveDates(c);
    }
    s.channelsInUse = kChannels;
    rebuildTimeAxis(s);
}

void BM_WholeListPdf(benchmark::State& state) {
    QTemporaryDir dir;
    AppContext ctx;
    fillFullStore(ctx.store);
    PdfPrintControl pdf(dir.path() + QStringLiteral("/list.pdf"));
    ctx.printer = &pdf;
    ctx.print.printKind = kPrintWholeList;
    int pages = 0;
    for (auto _ : state) {
        pages = printTables(ctx);
        if (pages == 0) state.SkipWithError("nothing printed");
    }
    state.counters["pages"] = pages;
    state.counters["pages/s"] = benchmark::Counter(double(pages) * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["MB"] = double(QFileInfo(pdf.fileName).size()) / 1e6;
}
BENCHMARK(BM_WholeListPdf)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
