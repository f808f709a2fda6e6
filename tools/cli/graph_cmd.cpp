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
        complain(uiText(text::kPictureOut).arg(QStringLiteral("graph")));
        return kExitUsage;
    }
    const QString suffix = target.section(QLatin1Char('.'), -1).toLower();
    if (!target.contains(QLatin1Char('.')) || !QStringList{"png", "svg", "pdf"}.contains(suffix)) {
        complain(uiText(text::kPictureSuffix).arg(target));
        return kExitFailed;
    }
    const GraphGeometry design = graphGeometry(ctx.layout);
    QSize size(int(design.pictureWidth / 15 + 0.5), int(design.pictureHeight / 15 + 0.5));
    if (!pictureSize(a, size)) return kExitFailed;

    // The graph starts as a new graph window does, with automatic ranges.
    GraphState g;
    if (!graphStateFromOptions(a, ctx.graph, g, code) || !outputApartFromInput(target, file, code) ||
        !openAlone(ctx, file, code))
        return code;
    ctx.graph = g;
    computeGraphScale(ctx);

    if (const PictureWritten written = writeGraphFile(ctx, target, size); !written)
        return pictureFailed(written, target);
    err() << uiText(text::kDrewGraph)
                 .arg(ctx.store.channelsInUse)
                 .arg(ctx.graph->x().shown.low)
                 .arg(ctx.graph->x().shown.high)
                 .arg(target)
                 .arg(size.width())
                 .arg(size.height())
          << "\n";
    return kExitOk;
}

}  // namespace

Subcommand graphSubcommand() {
    return {QStringLiteral("graph"),
            QStringLiteral("graph FILE --out OUT.png|OUT.svg|OUT.pdf [--size WIDTHxHEIGHT] [--x FIRST..LAST]\n"
                           "      [--temp MIN..MAX] [--humid MIN..MAX] [--labels] [--thick] [--ref-temp V]\n"
                           "      [--ref-humid V]"),
            uiText(text::kGraphHelp),
            QStringList{QStringLiteral("--out"), QStringLiteral("--size")} + graphValueOptions(),
            1,
            runGraph,
            graphFlagOptions(),
            /*paints=*/true};
}

}  // namespace quillet::cli
