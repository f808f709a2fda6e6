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
#include "tools/cli/recordsgate.h"

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
        complain(uiText(text::kLoggerForm).arg(uiText(text::kLoggerWord), a.positional[0]));
        code = kExitUsage;
        return false;
    }
    std::vector<int> wanted;
    for (const QString& text : a.values("--channel")) {
        const int channel = text.toInt();
        if (channel != 1 && channel != 2) {
            complain(uiText(text::kChannelNumber));
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
            complain(uiText(text::kChannelNotArchived).arg(a.positional[0]).arg(channel));
            code = kExitFailed;
            return false;
        }
    if (keys.empty()) {
        complain(uiText(text::kLoggerNotArchived).arg(a.positional[0]));
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
        complain(uiText(ui::kTrendNothing));
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
        complain(uiText(text::kPictureOut).arg(QStringLiteral("archive trend")));
        return kExitUsage;
    }
    QSize size(1600, 600);
    if (!pictureSize(a, size)) return kExitUsage;
    LoadedTrend t;
    int code = kExitOk;
    if (!loadFromArguments(ctx, a, t, code, false)) return code;
    if (!outputApartFromInput(target, t.archive->location(), code)) return code;
    archive::ArchiveFailure failure;
    const PictureWritten written = writeTrendFile(t.channels, t.view, target, size, t.archive.get(), &failure);
    if (failure) return archiveFailed(failure, *t.archive);
    if (!written) return pictureFailed(written, target);
    err() << uiText(text::kDrewTrend).arg(t.channels.size()).arg(target).arg(size.width()).arg(size.height()) << "\n";
    return kExitOk;
}

int runReport(AppContext& ctx, const Arguments& a) {
    const QString target = a.value("--pdf");
    if (!a.has("--pdf") || target.isEmpty()) {
        complain(uiText(text::kNeedsOption).arg(QStringLiteral("archive report"), QStringLiteral("--pdf OUT.pdf")));
        return kExitUsage;
    }
    double dhr = 0;
    int code = kExitOk;
    if (!deltaHOverRFromOptions(ctx, a, dhr, code)) return code;
    LoadedTrend t;
    if (!loadFromArguments(ctx, a, t, code)) return code;
    if (!outputApartFromInput(target, t.archive->location(), code)) return code;
    std::optional<audit::Meaning> meaning;
    if (int code = kExitOk; !signOption(a, meaning, code)) return code;
    RecordsSession* records = activeRecords();
    const QString title = a.has("--title") ? a.value("--title") : defaultTrendTitle(t.channels);
    ReportPageContent content = trendReportContent(ctx, t.channels, t.view, dhr, title);
    // In electronic records mode: bound to the series' samples over the
    // period, signed when asked, the boxes and the trail's head printed.
    QByteArray signedSha;
    if (records) {
        QStringList bindings;
        archive::ArchiveFailure f;
        for (const archive::TrendChannel& c : t.channels)
            bindings << audit::seriesBinding(*records->archive, c.key, t.view.span.fromUtc, t.view.span.toUtc, f);
        if (f) return archiveFailed(f, *records->archive);
        if (!signedReportPage(a, *records, content, bindings, meaning, signedSha)) return kExitFailed;
    }
    PdfPrintControl pdf(target);
    ctx.messages->concern(target);                                 // the print's error boxes name the PDF file
    if (!printTrendReport(ctx, pdf, content)) return kExitFailed;  // the reason is on stderr
    if (records)
        records->record(audit::action::kReportPrint, title, {},
                        QStringLiteral("PDF %1 sha256:%2").arg(target, QString::fromLatin1(signedSha)));
    err() << uiText(text::kPrinted).arg(target) << "\n";
    return kExitOk;
}

const QStringList kSpanOptions = {QStringLiteral("--db"), QStringLiteral("--channel"), QStringLiteral("--from"),
                                  QStringLiteral("--to")};

}  // namespace

Subcommand archiveTrendSubcommand() {
    Subcommand c{QStringLiteral("archive trend"),
                 QStringLiteral("archive trend CARD-TEST [--channel 1|2]... [--from yyyy-mm-dd] [--to yyyy-mm-dd] "
                                "--out OUT.png|OUT.svg|OUT.pdf [--size WIDTHxHEIGHT] [--db DB]"),
                 uiText(text::kArchiveTrendHelp),
                 kSpanOptions + QStringList{QStringLiteral("--out"), QStringLiteral("--size")},
                 1,
                 runTrend};
    c.paints = true;
    return c;
}

Subcommand archiveReportSubcommand() {
    Subcommand c{QStringLiteral("archive report"),
                 QStringLiteral("archive report CARD-TEST [--channel 1|2]... [--from yyyy-mm-dd] [--to yyyy-mm-dd] "
                                "--pdf OUT.pdf [--title TEXT] [--dhr K] [--sign 作成|確認|承認] [--db DB]"),
                 uiText(text::kArchiveReportHelp),
                 kSpanOptions + QStringList{QStringLiteral("--pdf"), QStringLiteral("--title"), QStringLiteral("--dhr"),
                                            QStringLiteral("--sign")},
                 1,
                 runReport};
    c.paints = true;
    return c;
}

}  // namespace quillet::cli
