// quillet-cli graph: the graph of a data file as PNG, SVG or PDF, drawn by
// the graph window's own painting with automatic or given ranges.
#include "core/catalog.h"
#include "core/context.h"
#include "graph/graphfile.h"
#include "tools/cli/cli.h"
#include "tools/cli/graphoptions.h"

namespace quillet::cli {
namespace {

int runGraph(AppContext& ctx, const Arguments& a) {
    const QString file = a.positional[0];
    const QString target = a.value("--out");
    int code = kExitOk;
    if (target.isEmpty()) {
        err() << "quillet-cli: graph needs --out OUT.png, OUT.svg or OUT.pdf\n";
        return kExitUsage;
    }
    const QString suffix = target.section(QLatin1Char('.'), -1).toLower();
    if (!target.contains(QLatin1Char('.')) || !QStringList{"png", "svg", "pdf"}.contains(suffix)) {
        err() << "quillet-cli: --out must end in .png, .svg or .pdf\n";
        return kExitFailed;
    }
    const GraphGeometry design = graphGeometry(ctx.layout);
    QSize size(int(design.pictureWidth / 15 + 0.5), int(design.pictureHeight / 15 + 0.5));
    if (a.has("--size")) {
        int w = 0, h = 0;
        if (!parsePair(a.value("--size").toLower(), QStringLiteral("x"), w, h) || w < 100 || h < 60 || w > 20000 ||
            h > 20000) {
            err() << "quillet-cli: --size expects WIDTHxHEIGHT in pixels (100x60 to 20000x20000)\n";
            return kExitFailed;
        }
        size = QSize(w, h);
    }

    // The graph starts as a new graph window does, with automatic ranges.
    GraphState g;
    if (!graphStateFromOptions(a, ctx.graph, g, code) || !outputApartFromInput(target, file, code) ||
        !openAlone(ctx, file, code))
        return code;
    ctx.graph = g;
    computeGraphScale(ctx);

    QString error;
    if (!writeGraphFile(ctx, target, size, &error)) {
        err() << "quillet-cli: " << target << ": " << error.replace(QLatin1Char('\r'), QLatin1Char('\n')) << "\n";
        return kExitFailed;
    }
    err() << "Drew " << ctx.store.channelsInUse << " channel(s), data numbers " << ctx.graph->x().shown.low << ".."
          << ctx.graph->x().shown.high << ", into " << target << " (" << size.width() << "x" << size.height() << ")\n";
    return kExitOk;
}

}  // namespace

Subcommand graphSubcommand() {
    return {QStringLiteral("graph"),
            QStringLiteral("graph FILE --out OUT.png|OUT.svg|OUT.pdf [--size WIDTHxHEIGHT] [--x FIRST..LAST]\n"
                           "      [--temp MIN..MAX] [--humid MIN..MAX] [--labels] [--thick] [--ref-temp V]\n"
                           "      [--ref-humid V]"),
            QStringLiteral("Draws the graph of a data file as the graph window does: every channel in use on\n"
                           "the temperature (℃) and humidity (%RH) axes over data numbers. Ranges are\n"
                           "automatic unless given and are checked as in the range dialog (data numbers\n"
                           "1..9000, -100..200 ℃, 0..100 %RH). --size is the picture in pixels (default\n"
                           "the graph window's picture, 1004x378); --labels shows the values at the points,\n"
                           "--thick draws thick lines, --ref-temp/--ref-humid draw reference lines. SVG keeps\n"
                           "the labels as text. Nothing is written on failure, nor when OUT is FILE\n"
                           "itself."),
            QStringList{QStringLiteral("--out"), QStringLiteral("--size")} + graphValueOptions(),
            1,
            runGraph,
            graphFlagOptions(),
            /*paints=*/true};
}

}  // namespace quillet::cli
