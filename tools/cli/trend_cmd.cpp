// quillet-cli archive trend and archive report: the long-term trend of a
// logger's channels as a picture, and its one-page report, as the window
// "長期トレンド" draws and prints them.
#include "analysis/analysissettings.h"
#include "archive/trend.h"
#include "archive/trendreport.h"
#include "core/uitexts.h"
#include "print/pdfprinter.h"
#include "tools/cli/archiveoptions.h"
#include "tools/cli/graphoptions.h"

#include <algorithm>

namespace quillet::cli {
namespace {

using namespace quillet::archive;

// The trend of CARD-TEST [--channel N]... over --from..--to (the span of
// the samples where an end is open): the archive, the channels and the view.
struct LoadedTrend {
    std::unique_ptr<Archive> archive;
    std::vector<TrendChannel> channels;
    TrendView view;
};

// Without samples, the channels hold none: the picture reads its columns
// from the archive.
bool loadFromArguments(AppContext& ctx, const Arguments& a, LoadedTrend& t, int& code, bool withSamples = true) {
    Period p;
    if (!periodFromOptions(a, p)) {
        code = kExitUsage;
        return false;
    }
    const auto logger = parseLogger(ctx, a.positional[0]);
    if (!logger) {
        err() << "quillet-cli: ロガーは CARD-TEST (例 005-012) で指定してください: " << a.positional[0] << "\n";
        code = kExitUsage;
        return false;
    }
    std::vector<int> wanted;
    for (const QString& text : a.values("--channel")) {
        const int channel = text.toInt();
        if (channel != 1 && channel != 2) {
            err() << "quillet-cli: --channel には 1 か 2 を指定してください\n";
            code = kExitUsage;
            return false;
        }
        if (std::find(wanted.begin(), wanted.end(), channel) == wanted.end()) wanted.push_back(channel);
    }
    t.archive = openFromOptions(ctx, a);
    if (!t.archive) {
        code = kExitFailed;
        return false;
    }
    ArchiveFailure failure;
    std::vector<SeriesKey> keys;
    for (const SeriesKey& s : t.archive->series(failure))
        if (s.card == logger->first && s.test == logger->second &&
            (wanted.empty() || std::find(wanted.begin(), wanted.end(), s.loggerChannel) != wanted.end()))
            keys.push_back(s);
    if (failure) {
        code = archiveFailed(failure, *t.archive);
        return false;
    }
    for (const int channel : wanted)
        if (std::none_of(keys.begin(), keys.end(), [&](const SeriesKey& k) { return k.loggerChannel == channel; })) {
            err() << "quillet-cli: ロガー " << a.positional[0] << " のチャンネル" << channel
                  << " はアーカイブにありません\n";
            code = kExitFailed;
            return false;
        }
    if (keys.empty()) {
        err() << "quillet-cli: ロガー " << a.positional[0] << " はアーカイブにありません\n";
        code = kExitFailed;
        return false;
    }
    if (keys.size() > size_t(kTrendChannels)) keys.resize(size_t(kTrendChannels));
    std::optional<Period> extent;
    if (withSamples) {
        t.channels = loadTrend(*t.archive, keys, p, failure);
        extent = trendExtent(t.channels);
    } else {
        for (const SeriesKey& k : keys) t.channels.push_back({k, {}, {}});
        extent = archiveExtent(*t.archive, keys, p, failure);
    }
    if (failure) {
        code = archiveFailed(failure, *t.archive);
        return false;
    }
    for (TrendChannel& c : t.channels) c.name = trendChannelName(ctx, c.key);
    if (!extent) {
        err() << "quillet-cli: " << uiText(ui::kTrendNothing) << "\n";
        code = kExitFailed;
        return false;
    }
    t.view.zone = QTimeZone::systemTimeZone();
    t.view.span = {a.has("--from") ? p.fromUtc : extent->fromUtc, a.has("--to") ? p.toUtc : extent->toUtc};
    return true;
}

int runTrend(AppContext& ctx, const Arguments& a) {
    const QString target = a.value("--out");
    const QString suffix = target.section(QLatin1Char('.'), -1).toLower();
    if (!a.has("--out") || !target.contains(QLatin1Char('.')) || !QStringList{"png", "svg", "pdf"}.contains(suffix)) {
        err() << "quillet-cli: archive trend needs --out OUT.png, OUT.svg or OUT.pdf\n";
        return kExitUsage;
    }
    QSize size(1600, 600);
    if (a.has("--size")) {
        int w = 0;
        int h = 0;
        if (!parsePair(a.value("--size").toLower(), QStringLiteral("x"), w, h) || w < 100 || h < 60 || w > 20000 ||
            h > 20000) {
            err() << "quillet-cli: --size expects WIDTHxHEIGHT in pixels (100x60 to 20000x20000)\n";
            return kExitUsage;
        }
        size = QSize(w, h);
    }
    LoadedTrend t;
    int code = kExitOk;
    if (!loadFromArguments(ctx, a, t, code, false)) return code;
    if (!outputApartFromInput(target, t.archive->location(), code)) return code;
    QString error;
    if (!writeTrendFile(t.channels, t.view, target, size, &error, t.archive.get())) {
        err() << "quillet-cli: " << error << "\n";
        return kExitFailed;
    }
    err() << "Drew " << t.channels.size() << " channel(s) into " << target << " (" << size.width() << "x"
          << size.height() << ")\n";
    return kExitOk;
}

int runReport(AppContext& ctx, const Arguments& a) {
    const QString target = a.value("--pdf");
    if (!a.has("--pdf") || target.isEmpty()) {
        err() << "quillet-cli: archive report needs --pdf OUT.pdf\n";
        return kExitUsage;
    }
    double dhr = 0;
    int code = kExitOk;
    if (!deltaHOverRFromOptions(ctx, a, dhr, code)) return code;
    LoadedTrend t;
    if (!loadFromArguments(ctx, a, t, code)) return code;
    if (!outputApartFromInput(target, t.archive->location(), code)) return code;
    const QString title = a.has("--title") ? a.value("--title") : defaultTrendTitle(t.channels);
    const ReportPageContent content = trendReportContent(ctx, t.channels, t.view, dhr, title);
    PdfPrintControl pdf(target);
    if (!printTrendReport(ctx, pdf, content)) return kExitFailed;  // the reason is on stderr
    err() << "Printed to " << target << "\n";
    return kExitOk;
}

const QStringList kSpanOptions = {QStringLiteral("--db"), QStringLiteral("--channel"), QStringLiteral("--from"),
                                  QStringLiteral("--to")};

}  // namespace

Subcommand archiveTrendSubcommand() {
    Subcommand c{QStringLiteral("archive trend"),
                 QStringLiteral("archive trend CARD-TEST [--channel 1|2]... [--from yyyy-mm-dd] [--to yyyy-mm-dd] "
                                "--out OUT.png|OUT.svg|OUT.pdf [--size WIDTHxHEIGHT] [--db DB]"),
                 QStringLiteral("ロガーのチャンネル (--channel を繰り返して選ぶ。既定はすべて) の長期トレンドを、\n"
                                "「長期トレンド」画面と同じように描いて画像にします。期間の端を省くと、その側は\n"
                                "最初 (最後) の測定値までです。--size の既定は 1600x600 です。"),
                 kSpanOptions + QStringList{QStringLiteral("--out"), QStringLiteral("--size")},
                 1,
                 runTrend};
    c.paints = true;
    return c;
}

Subcommand archiveReportSubcommand() {
    Subcommand c{
        QStringLiteral("archive report"),
        QStringLiteral("archive report CARD-TEST [--channel 1|2]... [--from yyyy-mm-dd] [--to yyyy-mm-dd] "
                       "--pdf OUT.pdf [--title TEXT] [--dhr K] [--db DB]"),
        QStringLiteral("「長期トレンド」の「レポート印刷」と同じ1ページのレポート (表題、期間、ロガー、\n"
                       "印刷日時、トレンドのグラフ、統計と逸脱の値、作成・確認・承認の欄) を PDF にします。"),
        kSpanOptions + QStringList{QStringLiteral("--pdf"), QStringLiteral("--title"), QStringLiteral("--dhr")},
        1,
        runReport};
    c.paints = true;
    return c;
}

}  // namespace quillet::cli
