// quillet-cli stats and report: the audit figures of a data file as a table
// or JSON, and the one-page report into a PDF file.
#include "analysis/analysissettings.h"
#include "analysis/figures.h"
#include "analysis/figuretexts.h"
#include "analysis/reportprint.h"
#include "core/catalog.h"
#include "core/fieldhelpers.h"
#include "core/store.h"
#include "graph/graphprintplot.h"
#include "print/pdfprinter.h"
#include "print/printjobs.h"
#include "tools/cli/cli.h"
#include "tools/cli/recordsgate.h"

#include <QFileInfo>

namespace quillet::cli {
namespace {

// Text padded with blanks to width columns of a terminal, where the
// full-width characters (kanji, kana) take two.
}  // namespace

QString padded(const QString& text, int width) {
    int columns = 0;
    for (QChar c : text)
        columns += (c.unicode() >= 0x1100 && !(c.unicode() >= 0xFF61 && c.unicode() <= 0xFF9F)) ? 2 : 1;
    return text + QString(std::max(1, width - columns), QLatin1Char(' '));
}

QString jsonString(const QString& s) {
    QString out = QStringLiteral("\"");
    for (QChar c : s) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            out += QLatin1Char('\\') + c;
        else if (c.unicode() < 0x20)
            out += QStringLiteral("\\u%1").arg(int(c.unicode()), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out + QLatin1Char('"');
}

namespace {

QString jsonNumber(const std::optional<double>& v, int decimals) {
    return v ? QString::number(*v, 'f', decimals) : QStringLiteral("null");
}

template <class T>
QString jsonCount(bool present, T v) {
    return present ? QString::number(v) : QStringLiteral("null");
}

}  // namespace

QString figuresJson(const AppContext& ctx, const ChannelFigures& f, int16_t card, int16_t test, int kind) {
    struct {
        int16_t cardNo, testNo, kind;
    } c{card, test, int16_t(kind)};
    const auto& l = f.limits;
    const bool has = l.has_value();
    const std::optional<double> none;
    QStringList fields = {
        QStringLiteral("\"channel\": ") + jsonString(channelLetter(f.channel)),
        QStringLiteral("\"card\": ") + jsonString(cardText(ctx, c.cardNo)),
        QStringLiteral("\"test\": ") + jsonString(testText(ctx, c.testNo)),
        QStringLiteral("\"unit\": ") + jsonString(isHumidity(c.kind) ? QStringLiteral("%RH") : QStringLiteral("C")),
        QStringLiteral("\"samples\": %1").arg(f.samples),
        QStringLiteral("\"errors\": %1").arg(f.errors),
        QStringLiteral("\"min\": ") + jsonNumber(f.min, 2),
        QStringLiteral("\"max\": ") + jsonNumber(f.max, 2),
        QStringLiteral("\"mean\": ") + jsonNumber(f.mean, 4),
        QStringLiteral("\"mkt\": ") + jsonNumber(f.mkt, 4),
        QStringLiteral("\"upperAlarm\": ") + jsonNumber(f.upperAlarm, 2),
        QStringLiteral("\"lowerAlarm\": ") + jsonNumber(f.lowerAlarm, 2),
        QStringLiteral("\"secondsAbove\": ") + jsonCount(has, has ? l->secondsAbove : 0),
        QStringLiteral("\"secondsBelow\": ") + jsonCount(has, has ? l->secondsBelow : 0),
        QStringLiteral("\"excursionsAbove\": ") + jsonCount(has, has ? l->above.count : 0),
        QStringLiteral("\"excursionsBelow\": ") + jsonCount(has, has ? l->below.count : 0),
        QStringLiteral("\"longestAboveSeconds\": ") + jsonCount(has, has ? l->above.longestSeconds : 0),
        QStringLiteral("\"longestBelowSeconds\": ") + jsonCount(has, has ? l->below.longestSeconds : 0),
        QStringLiteral("\"degreeMinutesAbove\": ") + jsonNumber(has ? l->degreeMinutesAbove : none, 4),
        QStringLiteral("\"degreeMinutesBelow\": ") + jsonNumber(has ? l->degreeMinutesBelow : none, 4),
        QStringLiteral("\"withinLimitsShare\": ") + jsonNumber(has ? l->withinShare : none, 6),
    };
    return QLatin1Char('{') + fields.join(QStringLiteral(", ")) + QLatin1Char('}');
}

namespace {

QString channelJson(AppContext& ctx, const ChannelFigures& f) {
    const ChannelRecord& c = ctx.store.ch[size_t(f.channel)];
    return figuresJson(ctx, f, c.cardNo, c.testNo, c.kind);
}

int runStats(AppContext& ctx, const Arguments& a) {
    double dhr = 0;
    AxisRows rows;
    int code = kExitOk;
    if (!deltaHOverRFromOptions(ctx, a, dhr, code) || !openAlone(ctx, a.positional[0], code) ||
        !axisRowsFromOptions(ctx, a, rows, code))
        return code;
    std::vector<ChannelFigures> figures = channelFigures(ctx.store, rows, dhr);
    const QString from = dateTimeText(rowTime(ctx.store, rows.first));
    const QString to = dateTimeText(rowTime(ctx.store, rows.last));
    if (a.has("--json")) {
        QStringList channels;
        for (const ChannelFigures& f : figures) channels << channelJson(ctx, f);
        out() << "{\"file\": " << jsonString(a.positional[0]) << ", \"span\": {\"first\": " << rows.first
              << ", \"last\": " << rows.last << ", \"from\": " << jsonString(from) << ", \"to\": " << jsonString(to)
              << "}, \"deltaHOverR\": " << QString::number(dhr, 'f', 2) << ", \"channels\": ["
              << channels.join(QStringLiteral(", ")) << "]}\n";
        out().flush();
        return kExitOk;
    }
    out() << labelled(text::kFileLabel, a.positional[0]) << "\n";
    out() << labelled(text::kRowsLabel,
                      QStringLiteral("%1..%2 (%3 .. %4)").arg(rows.first).arg(rows.last).arg(from, to))
          << "\n";
    out() << labelled(QStringLiteral("ΔH/R"), QString::number(dhr, 'f', 1) + QStringLiteral(" K")) << "\n\n";
    constexpr int kLabelWidth = 16;
    constexpr int kColumnWidth = 22;
    out() << QString(kLabelWidth, QLatin1Char(' '));
    for (const ChannelFigures& f : figures) out() << padded(figureColumnHead(ctx, f.channel), kColumnWidth);
    out() << "\n";
    for (int row = 0; row < kFigureRows; ++row) {
        out() << padded(figureRowLabel(row), kLabelWidth);
        for (const ChannelFigures& f : figures) out() << padded(figureText(f, row), kColumnWidth);
        out() << "\n";
    }
    out().flush();
    return kExitOk;
}

QString reportSynopsis() {
    return QStringLiteral(
        "report FILE --pdf OUT.pdf [--title TEXT] [--rows FIRST..LAST] [--dhr KELVIN] [--sign 作成|確認|承認]");
}

int runReport(AppContext& ctx, const Arguments& a) {
    const QString target = a.value("--pdf");
    if (target.isEmpty()) {
        complain(uiText(text::kUsageLine).arg(reportSynopsis()));
        return kExitUsage;
    }
    std::optional<audit::Meaning> meaning;
    if (int code = kExitOk; !signOption(a, meaning, code)) return code;
    RecordsSession* records = activeRecords();
    ReportRequest r;
    int code = kExitOk;
    if (!deltaHOverRFromOptions(ctx, a, r.deltaHOverR, code) || !outputApartFromInput(target, a.positional[0], code) ||
        !openAlone(ctx, a.positional[0], code) || !axisRowsFromOptions(ctx, a, r.rows, code))
        return code;
    r.title = a.has("--title") ? a.value("--title") : QFileInfo(a.positional[0]).fileName();
    // The graph of the rows with the automatic ranges, not the held ones.
    r.plot = reportPlot(ctx, reportGraphState(ctx, r.rows, ReportBounds::Automatic));
    QByteArray signedSha;
    if (records)
        r.beforePrint = [&](ReportPageContent& page) {
            return signedReportPage(ctx, a, *records, page, a.positional[0], meaning, signedSha);
        };
    PdfPrintControl pdf(target);
    ctx.messages->concern(target);                      // the print's error boxes name the PDF file
    if (!printReport(ctx, pdf, r)) return kExitFailed;  // the reason is on stderr
    if (records)
        records->record(audit::action::kReportPrint, r.title, {},
                        QStringLiteral("PDF %1 sha256:%2").arg(target, QString::fromLatin1(signedSha)));
    err() << uiText(text::kPrinted).arg(target) << "\n";
    return kExitOk;
}

}  // namespace

bool axisRowsFromOptions(AppContext& ctx, const Arguments& a, AxisRows& rows, int& exitCode) {
    rows = wholeAxis(ctx.store);
    if (ctx.store.channelsInUse <= 0 || ctx.store.rowCount < 1) {
        complain(uiText(text::kNoChannel).arg(ctx.store.dataFileName));
        exitCode = kExitFailed;
        return false;
    }
    if (!a.has("--rows")) return true;
    if (!rowsOption(a, rows.first, rows.last)) {
        exitCode = kExitUsage;
        return false;
    }
    if (const int message = partRangeMessage(ctx.store, rows.first, rows.last)) {
        complain(messageText(message) + uiText(text::kRowsAre).arg(ctx.store.rowCount));
        exitCode = kExitFailed;
        return false;
    }
    return true;
}

bool deltaHOverRFromOptions(AppContext& ctx, const Arguments& a, double& kelvin, int& exitCode) {
    kelvin = loadDeltaHOverR(analysisSettingsFile(ctx.folders));
    if (!a.has("--dhr")) return true;
    const std::optional<double> v = parseDeltaHOverR(a.value("--dhr"));
    if (!v) {
        complain(uiText(text::kDeltaHOverR).arg(kMinDeltaHOverR).arg(kMaxDeltaHOverR));
        exitCode = kExitUsage;
        return false;
    }
    kelvin = *v;
    return true;
}

Subcommand statsSubcommand() {
    return {QStringLiteral("stats"),
            QStringLiteral("stats FILE [--rows FIRST..LAST] [--dhr KELVIN] [--json]"),
            uiText(text::kStatsHelp),
            {QStringLiteral("--rows"), QStringLiteral("--dhr")},
            1,
            runStats,
            {QStringLiteral("--json")}};
}

Subcommand reportSubcommand() {
    return {QStringLiteral("report"),
            reportSynopsis(),
            uiText(text::kReportHelp),
            {QStringLiteral("--pdf"), QStringLiteral("--title"), QStringLiteral("--rows"), QStringLiteral("--dhr"),
             QStringLiteral("--sign")},
            1,
            runReport,
            {},
            /*paints=*/true};
}

}  // namespace quillet::cli
