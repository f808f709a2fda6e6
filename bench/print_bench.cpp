// The whole list of a full store (eight channels of 12000 samples) printed
// into a PDF file through the list print, as "全体印刷(&A)" prints it.
#include "bench/fullstore.h"
#include "bench/guimain.h"
#include "core/context.h"
#include "core/store.h"
#include "print/pdfprinter.h"
#include "print/printjobs.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace quillet;

void BM_WholeListPdf(benchmark::State& state) {
    QTemporaryDir dir;
    AppContext ctx;
    bench::fillFullStore(ctx.store);
    PdfPrintControl pdf(dir.path() + QStringLiteral("/list.pdf"));
    ctx.printer = &pdf;
    int pages = 0;
    for (auto _ : state) {
        pages = printTables(ctx, {PrintKind::WholeList, {}});
        if (pages == 0) state.SkipWithError("nothing printed");
    }
    state.counters["pages"] = pages;
    state.counters["pages/s"] =
        benchmark::Counter(double(pages) * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["MB"] = double(QFileInfo(pdf.fileName).size()) / 1e6;
}
BENCHMARK(BM_WholeListPdf)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

int main(int argc, char** argv) { return quillet::bench::runPaintingBenchmarks<QGuiApplication>(argc, argv); }
