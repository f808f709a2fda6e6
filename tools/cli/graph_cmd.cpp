// quillet-cli graph: the graph of a data file as PNG, SVG or PDF, drawn by
// the graph window's own painting with automatic or given ranges.
#include "core/catalog.h"
#include "core/context.h"
#include "graph/graphfile.h"
#include "tools/cli/cli.h"

namespace quillet::cli {
namespace {

// "LOW..HIGH" (whole numbers, either may be negative).
bool parsePair(const QString& text, const QString& separator, int& low, int& high) {
    const QStringList parts = text.split(separator);
    if (parts.size() != 2) return false;
    bool ok1 = false, ok2 = false;
    low = parts[0].trimmed().toInt(&ok1);
    high = parts[1].trimmed().toInt(&ok2);
    return ok1 && ok2;
}

// A range checked as the range dialog checks it: both ends within the
// limits (the limit's message), the upper end above the lower one (message
// 51; for data numbers equal ends are allowed).
bool checkRange(const Arguments& a, const char* option, int minimum, int maximum, int rangeMessage, bool allowEqual,
                int& low, int& high, int& exitCode) {
    if (!a.has(option)) return true;
    const QString name = QString::fromLatin1(option);
    if (!parsePair(a.value(option), QStringLiteral(".."), low, high)) {
        err() << "quillet-cli: " << name << " expects LOW..HIGH in whole numbers, not \"" << a.value(option) << "\"\n";
    } else if (low < minimum || high < minimum || low > maximum || high > maximum) {
        err() << "quillet-cli: " << name << ": " << messageText(rangeMessage) << "\n";
    } else if (high < low || (high == low && !allowEqual)) {
        err() << "quillet-cli: " << name << ": " << messageText(51) << "\n";
    } else {
        return true;
    }
    exitCode = kExitFailed;
    return false;
}

bool checkValue(const Arguments& a, const char* option, int minimum, int maximum, int rangeMessage, int16_t& value,
                int& exitCode) {
    if (!a.has(option)) return true;
    bool ok = false;
    const int v = a.value(option).trimmed().toInt(&ok);
    if (!ok) {
        err() << "quillet-cli: " << option << " expects a whole number, not \"" << a.value(option) << "\"\n";
    } else if (v < minimum || v > maximum) {
        err() << "quillet-cli: " << option << ": " << messageText(rangeMessage) << "\n";
    } else {
        value = int16_t(v);
        return true;
    }
    exitCode = kExitFailed;
    return false;
}

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
    int xLow = 0, xHigh = 0, tLow = 0, tHigh = 0, hLow = 0, hHigh = 0;
    if (!checkRange(a, "--x", 1, 9000, 54, true, xLow, xHigh, code) ||
        !checkRange(a, "--temp", -100, 200, 52, false, tLow, tHigh, code) ||
        !checkRange(a, "--humid", 0, 100, 53, false, hLow, hHigh, code) ||
        !checkValue(a, "--ref-temp", -100, 200, 52, g.refTemp, code) ||
        !checkValue(a, "--ref-humid", 0, 100, 53, g.refHumid, code))
        return code;
    if (!openAlone(ctx, file, code)) return code;

    if (a.has("--x")) {
        g.xManual = 1;
        g.xStart = int16_t(xLow);
        g.xEnd = int16_t(xHigh);
    }
    if (a.has("--temp")) {
        g.tempManual = 1;
        g.tempMin = int16_t(tLow);
        g.tempMax = int16_t(tHigh);
    }
    if (a.has("--humid")) {
        g.humidManual = 1;
        g.humidMin = int16_t(hLow);
        g.humidMax = int16_t(hHigh);
    }
    g.refLineOn = a.has("--ref-temp") || a.has("--ref-humid") ? 1 : 0;
    g.labelsOn = a.has("--labels") ? 1 : 0;
    g.lineWidth = a.has("--thick") ? 2 : 1;
    g.channelColor = ctx.graph.channelColor;
    ctx.graph = g;
    ComputeGraphScale(ctx);

    QString error;
    if (!writeGraphFile(ctx, target, size, &error)) {
        err() << "quillet-cli: " << target << ": " << error << "\n";
        return kExitFailed;
    }
    err() << "Drew " << ctx.store.channelsInUse << " channel(s), data numbers " << ctx.graph.xStart << ".."
          << ctx.graph.xEnd << ", into " << target << " (" << size.width() << "x" << size.height() << ")\n";
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
                           "the labels as text. Nothing is written on failure."),
            {QStringLiteral("--out"), QStringLiteral("--size"), QStringLiteral("--x"), QStringLiteral("--temp"),
             QStringLiteral("--humid"), QStringLiteral("--ref-temp"), QStringLiteral("--ref-humid")},
            1,
            runGraph,
            {QStringLiteral("--labels"), QStringLiteral("--thick")},
            /*paints=*/true};
}

}  // namespace quillet::cli
