// quillet-cli archive ...: the archive headless, on the same code as the
// program's "アーカイブ" menu: import, list, series, stats and verify.
#include "analysis/analysissettings.h"
#include "analysis/figuretexts.h"
#include "archive/archivesettings.h"
#include "archive/importer.h"
#include "archive/series.h"
#include "archive/sync.h"
#include "core/catalog.h"
#include "core/fileerror.h"
#include "core/uitexts.h"
#include "core/vb.h"
#include "datafile/datafile.h"
#include "spreadsheet/tabular.h"
#include "tools/cli/archiveoptions.h"
#include "tools/cli/cli.h"
#include "tools/cli/clitexts_records.h"
#include "tools/cli/recordsgate.h"

#include <QFileInfo>

namespace quillet::cli {

using namespace quillet::archive;

static std::unique_ptr<Archive> openNamed(const QString& location, OpenMode mode) {
    if (holdsPassword(location)) {
        complain(uiText(ui::kArchivePasswordRefused));
        return nullptr;
    }
    ArchiveFailure failure;
    std::unique_ptr<Archive> archive = openArchive(location, failure, mode);
    if (!archive) complain(failureText(failure, location));
    return archive;
}

// The archive of --db, else the user's configured one; nullptr after the
// reason on stderr.
std::unique_ptr<Archive> openFromOptions(const AppContext& ctx, const Arguments& a, OpenMode mode) {
    const QString location = a.has("--db")
                                 ? a.value("--db")
                                 : archiveLocation(loadArchiveSettings(archiveSettingsFile(ctx.folders)), ctx.folders);
    return openNamed(location, mode);
}

int archiveFailed(const ArchiveFailure& f, const Archive& archive) {
    complain(failureText(f, archive.location()));
    return kExitFailed;
}

bool periodFromOptions(const Arguments& a, Period& p) {
    std::optional<QDate> from;
    std::optional<QDate> to;
    for (const char* option : {"--from", "--to"}) {
        if (!a.has(option)) continue;
        const QDate d = QDate::fromString(a.value(option), Qt::ISODate);
        if (!d.isValid()) {
            complain(uiText(text::kDateForm).arg(QLatin1String(option), a.value(option)));
            return false;
        }
        (QLatin1String(option) == QLatin1String("--from") ? from : to) = d;
    }
    p = periodOfDays(from, to, QTimeZone::systemTimeZone());
    return true;
}

namespace {

const QString kDb = QStringLiteral("--db");

QString localText(qint64 utc) {
    return QDateTime::fromSecsSinceEpoch(utc, QTimeZone::systemTimeZone())
        .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString zoneText() { return QString::fromUtf8(QTimeZone::systemTimeZone().id()); }

// The series of CARD-TEST [--channel N]; false after the reason on stderr.
bool seriesFromArguments(const AppContext& ctx, Archive& archive, const Arguments& a, SeriesKey& key, int& code) {
    const auto logger = parseLogger(ctx, a.positional[0]);
    if (!logger) {
        complain(uiText(text::kLoggerForm).arg(uiText(text::kLoggerWord), a.positional[0]));
        code = kExitUsage;
        return false;
    }
    int channel = 1;
    if (a.has("--channel")) {
        channel = a.value("--channel").toInt();
        if (channel != 1 && channel != 2) {
            complain(uiText(text::kChannelNumber));
            code = kExitUsage;
            return false;
        }
    }
    ArchiveFailure failure;
    for (const SeriesKey& s : archive.series(failure))
        if (s.card == logger->first && s.test == logger->second && s.loggerChannel == channel) {
            key = s;
            return true;
        }
    if (failure) {
        code = archiveFailed(failure, archive);
        return false;
    }
    complain(uiText(text::kChannelNotArchived).arg(a.positional[0]).arg(channel));
    code = kExitFailed;
    return false;
}

int runImport(AppContext& ctx, const Arguments& a) {
    if (a.positional.isEmpty()) {
        complain(uiText(text::kUsageLine).arg(QStringLiteral("archive import PATH... [--site TEXT] [--db DB]")));
        return kExitUsage;
    }
    const std::unique_ptr<Archive> archive = openFromOptions(ctx, a, OpenMode::Create);
    if (!archive) return kExitFailed;
    const ArchiveSettings settings = loadArchiveSettings(archiveSettingsFile(ctx.folders));
    const QStringList files = dataFilesUnder(a.positional);
    const bool bar = stderrIsTerminal();
    const ImportSummary s =
        importFiles(*archive, files, thisComputer(a.has("--site") ? a.value("--site") : settings.site),
                    [bar](int done, int total, const QString&) {
                        if (bar) drawProgress(done, total);
                        return true;
                    });
    out() << summaryText(s) << "\n";
    out().flush();
    if (RecordsSession* r = activeRecords())
        r->record(audit::action::kImport, a.positional.join(QStringLiteral(", ")), {},
                  summaryText(s).replace(QLatin1Char('\n'), QStringLiteral(" / ")));
    return s.filesFailed > 0 ? kExitFailed : kExitOk;
}

QString readoutJson(const AppContext& ctx, const Readout& r) {
    QStringList channels;
    for (const ReadoutChannel& c : r.channels) {
        const bool alarms = hasAlarmValues(c.header.kind);
        channels << QStringLiteral(
                        "{\"logger\": %1, \"loggerChannel\": %2, \"kind\": %3, \"start\": %4, "
                        "\"intervalSeconds\": %5, \"samples\": %6, \"upperAlarm\": %7, \"lowerAlarm\": %8}")
                        .arg(jsonString(loggerText(ctx, c.series.card, c.series.test)))
                        .arg(c.series.loggerChannel)
                        .arg(c.series.kind)
                        .arg(jsonString(localText(c.startUtc)))
                        .arg(c.intervalSeconds)
                        .arg(c.count)
                        .arg(alarms ? QString::number(c.header.upperAlarm / 10.0, 'f', 1) : QStringLiteral("null"))
                        .arg(alarms ? QString::number(c.header.lowerAlarm / 10.0, 'f', 1) : QStringLiteral("null"));
    }
    return QStringLiteral(
               "{\"id\": %1, \"sha256\": %2, \"file\": %3, \"imported\": %4, \"host\": %5, \"user\": %6, "
               "\"site\": %7, \"model\": %8, \"zone\": %9, ")
               .arg(r.id)
               .arg(jsonString(QString::fromLatin1(r.sha256)), jsonString(r.path), jsonString(localText(r.importedUtc)),
                    jsonString(r.host), jsonString(r.user), jsonString(r.site))
               .arg(r.model ? QString::number(r.model) : QStringLiteral("null"))
               .arg(jsonString(r.zone)) +
           QStringLiteral(
               "\"first\": %1, \"last\": %2, \"samplesNew\": %3, \"samplesKnown\": %4, \"conflicts\": %5, "
               "\"channels\": [%6]}")
               .arg(jsonString(localText(r.firstUtc)), jsonString(localText(r.lastUtc)))
               .arg(r.counts.samplesNew)
               .arg(r.counts.samplesKnown)
               .arg(r.counts.conflicts)
               .arg(channels.join(QStringLiteral(", ")));
}

int runList(AppContext& ctx, const Arguments& a) {
    ReadoutFilter filter;
    if (a.has("--logger")) {
        const auto logger = parseLogger(ctx, a.value("--logger"));
        if (!logger) {
            complain(uiText(text::kLoggerForm).arg(QStringLiteral("--logger"), a.value("--logger")));
            return kExitUsage;
        }
        filter.card = logger->first;
        filter.test = logger->second;
    }
    Period p;
    if (!periodFromOptions(a, p)) return kExitUsage;
    if (a.has("--from")) filter.fromUtc = p.fromUtc;
    if (a.has("--to")) filter.toUtc = p.toUtc;
    if (a.has("--site")) filter.site = a.value("--site");
    const std::unique_ptr<Archive> archive = openFromOptions(ctx, a);
    if (!archive) return kExitFailed;
    ArchiveFailure failure;
    const std::vector<Readout> readouts = archive->readouts(filter, failure);
    if (failure) return archiveFailed(failure, *archive);
    if (a.has("--json")) {
        QStringList items;
        for (const Readout& r : readouts) items << readoutJson(ctx, r);
        out() << "{\"archive\": " << jsonString(archive->location()) << ", \"zone\": " << jsonString(zoneText())
              << ", \"readouts\": [" << items.join(QStringLiteral(", ")) << "]}\n";
        out().flush();
        return kExitOk;
    }
    const QStringList heads = uiText(ui::kArchiveColumns).split(QLatin1Char('\n'));
    const std::array<int, 7> widths{10, 21, 21, 12, 12, 12, 6};
    for (size_t i = 0; i < widths.size(); ++i) out() << padded(heads[qsizetype(i)], widths[i]);
    out() << heads[7] << "\n";
    for (const Readout& r : readouts) {
        const ReadoutLine line = readoutLine(ctx, r);
        out() << padded(line.loggers, widths[0]) << padded(localText(r.firstUtc), widths[1])
              << padded(localText(r.lastUtc), widths[2]) << padded(QString::number(line.samples), widths[3])
              << padded(line.upper.isEmpty() ? QStringLiteral("-") : line.upper, widths[4])
              << padded(line.lower.isEmpty() ? QStringLiteral("-") : line.lower, widths[5])
              << padded(QString::number(r.counts.conflicts), widths[6]) << r.path << "\n";
    }
    out() << uiText(ui::kArchiveFound).arg(readouts.size()).arg(zoneText()) << "\n";
    out().flush();
    return kExitOk;
}

int runSeries(AppContext& ctx, const Arguments& a) {
    int chosen = 0;
    QString kind;
    for (const char* k : {"--tidy", "--xlsx", "--ql6"})
        if (a.has(k)) {
            kind = QLatin1String(k);
            ++chosen;
        }
    if (chosen != 1) {
        complain(uiText(text::kSeriesOneKind));
        return kExitUsage;
    }
    Period p;
    if (!periodFromOptions(a, p)) return kExitUsage;
    const std::unique_ptr<Archive> archive = openFromOptions(ctx, a);
    if (!archive) return kExitFailed;
    SeriesKey key;
    int code = kExitOk;
    if (!seriesFromArguments(ctx, *archive, a, key, code)) return code;
    const QString target = a.options.value(kind);
    ArchiveFailure failure;
    QByteArray bytes;
    if (kind == QLatin1String("--tidy")) {
        const QString head = loggerText(ctx, key.card, key.test) +
                             (isHumidity(key.kind) ? QStringLiteral(" [%RH]") : QStringLiteral(" [℃]"));
        bytes = seriesTidyCsv(*archive, key, head, p, QTimeZone::systemTimeZone(), failure);
        if (failure) return archiveFailed(failure, *archive);
    } else {
        const StoreFit fit = seriesIntoStore(ctx, *archive, key, p, QTimeZone::systemTimeZone(), failure);
        if (failure) return archiveFailed(failure, *archive);
        if (fit != StoreFit::Fits) {
            complain(storeFitText(fit) + (fit == StoreFit::TooManyRows ? uiText(text::kTidyHasNoLimit) : QString()));
            return kExitFailed;
        }
        bytes = kind == QLatin1String("--ql6") ? ql6Bytes(ctx.store) : workbookBytes(ctx, wholeAxis(ctx.store));
    }
    if (bytes.isEmpty()) return failWith(SaveError::Writing, 9, target);
    if (const SaveError error = writeFileAtomically(target, bytes); error != SaveError::None)
        return failWith(error, 9, target);
    return kExitOk;
}

int runStats(AppContext& ctx, const Arguments& a) {
    double dhr = 0;
    int code = kExitOk;
    Period p;
    if (!deltaHOverRFromOptions(ctx, a, dhr, code)) return code;
    if (!periodFromOptions(a, p)) return kExitUsage;
    const std::unique_ptr<Archive> archive = openFromOptions(ctx, a);
    if (!archive) return kExitFailed;
    SeriesKey key;
    if (!seriesFromArguments(ctx, *archive, a, key, code)) return code;
    ArchiveFailure failure;
    const QTimeZone zone = QTimeZone::systemTimeZone();
    const std::optional<ChannelFigures> f = periodFigures(*archive, key, p, dhr, zone, failure);
    if (!f) return archiveFailed(failure, *archive);
    const QString from = f->samples ? dateTimeText(f->firstTime) : QString();
    const QString to = f->samples ? dateTimeText(f->lastTime) : QString();
    if (a.has("--json")) {
        out() << "{\"archive\": " << jsonString(archive->location())
              << ", \"logger\": " << jsonString(loggerText(ctx, key.card, key.test))
              << ", \"loggerChannel\": " << key.loggerChannel << ", \"span\": {\"from\": " << jsonString(from)
              << ", \"to\": " << jsonString(to) << ", \"zone\": " << jsonString(zoneText())
              << "}, \"deltaHOverR\": " << QString::number(dhr, 'f', 2) << ", \"channels\": ["
              << figuresJson(ctx, *f, int16_t(key.card), int16_t(key.test), key.kind) << "]}\n";
        out().flush();
        return kExitOk;
    }
    out() << labelled(text::kArchiveLabel, archive->location()) << "\n";
    out() << labelled(ui::kArchiveLoggerLabel, uiText(ui::kArchiveChannelItem)
                                                   .arg(loggerText(ctx, key.card, key.test))
                                                   .arg(key.loggerChannel)
                                                   .arg(QString()))
                 .trimmed()
          << "\n";
    out() << labelled(text::kPeriodLabel, QStringLiteral("%1 .. %2 (%3)").arg(from, to, zoneText())) << "\n";
    out() << labelled(QStringLiteral("ΔH/R"), QString::number(dhr, 'f', 1) + QStringLiteral(" K")) << "\n\n";
    for (int row = 0; row < kFigureRows; ++row) out() << padded(figureRowLabel(row), 16) << figureText(*f, row) << "\n";
    out().flush();
    return kExitOk;
}

int runVerify(AppContext& ctx, const Arguments& a) {
    const std::unique_ptr<Archive> archive = openFromOptions(ctx, a);
    if (!archive) return kExitFailed;
    ArchiveFailure failure;
    bool allGood = true;
    // In electronic records mode: the trail's chain, the users and every
    // signature with the data it is bound to, first.
    std::optional<audit::Records> records;
    if (!recordsOf(ctx, *archive, records)) return kExitFailed;
    if (records) {
        const audit::ChainCheck check = records->check();
        out() << text::records::kChainOk << audit::chainCheckText(check) << "\n";
        allGood = bool(check);
    }
    if (!a.positional.isEmpty()) {
        // Each named file: a read-out of the archive, or not.
        for (const QString& file : a.positional) {
            QByteArray bytes;
            if (const SaveError e = readRegularFile(file, kMaxDataFileBytes * 4, bytes); e != SaveError::None) {
                out() << fileErrorSentence(file, runtimeErrorOf(e)) << "\n";
                allGood = false;
                continue;
            }
            const std::optional<qint64> id = archive->readoutWithSha(sha256Hex(bytes), failure);
            if (failure) return archiveFailed(failure, *archive);
            allGood = allGood && id.has_value();
            out() << file << ": "
                  << (id ? uiText(ui::kArchiveVerifyMatch) + QStringLiteral(" (#%1)").arg(*id)
                         : uiText(ui::kArchiveVerifyUnknown))
                  << "\n";
        }
        out().flush();
        return allGood ? kExitOk : kExitFailed;
    }
    // Every read-out whose file is still there.
    for (const Readout& r : archive->readouts({}, failure)) {
        QByteArray bytes;
        const SaveError e = readRegularFile(r.path, kMaxDataFileBytes * 4, bytes);
        QString verdict;
        if (e == SaveError::FileNotFound) {
            verdict = uiText(ui::kArchiveVerifyMissing);
        } else if (e != SaveError::None) {
            out() << "#" << r.id << " " << fileErrorSentence(r.path, runtimeErrorOf(e)) << "\n";
            allGood = false;
            continue;
        } else if (sha256Hex(bytes) == r.sha256) {
            verdict = uiText(ui::kArchiveVerifyMatch);
        } else {
            verdict = uiText(ui::kArchiveVerifyMismatch);
            allGood = false;
        }
        out() << "#" << r.id << " " << r.path << ": " << verdict << "\n";
    }
    if (failure) return archiveFailed(failure, *archive);
    out().flush();
    return allGood ? kExitOk : kExitFailed;
}

// A progress bar on a terminal.
SyncProgress bar() {
    if (!stderrIsTerminal()) return {};
    return [](int done, int total) { drawProgress(done, total); };
}

int runPush(AppContext& ctx, const Arguments& a) {
    const QString server = a.has("--to")
                               ? a.value("--to")
                               : archiveLocation(loadArchiveSettings(archiveSettingsFile(ctx.folders)), ctx.folders);
    if (!isServerLocation(server)) {
        complain(uiText(text::kNoServer));
        return kExitUsage;
    }
    const QString localPath = a.has("--db") ? a.value("--db") : defaultArchiveLocation(ctx.folders);
    const std::unique_ptr<Archive> local = openNamed(localPath, OpenMode::Existing);
    if (!local) return kExitFailed;
    const std::unique_ptr<Archive> shared = openNamed(server, OpenMode::Existing);
    if (!shared) {
        out() << uiText(ui::kArchiveSyncSummary).arg(0).arg(0).arg(waitingFor(*local, server)) << "\n";
        return kExitFailed;
    }
    const SyncSummary s = pushArchive(*local, *shared, bar());
    out() << syncText(s, server) << "\n";
    return s.waiting > 0 ? kExitFailed : kExitOk;
}

int runCopy(AppContext&, const Arguments& a) {
    if (!a.has("--from") || !a.has("--to")) {
        complain(uiText(text::kUsageLine).arg(QStringLiteral("archive copy --from DB --to DB")));
        return kExitUsage;
    }
    const std::unique_ptr<Archive> from = openNamed(a.value("--from"), OpenMode::Existing);
    if (!from) return kExitFailed;
    const std::unique_ptr<Archive> to = openNamed(a.value("--to"), OpenMode::Create);
    if (!to) return kExitFailed;
    const SyncSummary s = copyArchive(*from, *to, bar());
    out() << syncText(s, to->location()) << "\n";
    return s.waiting > 0 ? kExitFailed : kExitOk;
}

}  // namespace

Subcommand archivePushSubcommand() {
    return {QStringLiteral("archive push"),
            QStringLiteral("archive push [--db LOCAL] [--to SERVER]"),
            uiText(text::kArchivePushHelp),
            {kDb, QStringLiteral("--to")},
            0,
            runPush};
}

Subcommand archiveCopySubcommand() {
    return {QStringLiteral("archive copy"),
            QStringLiteral("archive copy --from DB --to DB"),
            uiText(text::kArchiveCopyHelp),
            {QStringLiteral("--from"), QStringLiteral("--to")},
            0,
            runCopy};
}

Subcommand archiveImportSubcommand() {
    return {QStringLiteral("archive import"),
            QStringLiteral("archive import PATH... [--site TEXT] [--db DB]"),
            uiText(text::kArchiveImportHelp),
            {kDb, QStringLiteral("--site")},
            -1,
            runImport};
}

Subcommand archiveListSubcommand() {
    return {
        QStringLiteral("archive list"),
        QStringLiteral("archive list [--logger CARD-TEST] [--from yyyy-mm-dd] [--to yyyy-mm-dd] [--site TEXT] "
                       "[--json] [--db DB]"),
        uiText(text::kArchiveListHelp),
        {kDb, QStringLiteral("--logger"), QStringLiteral("--from"), QStringLiteral("--to"), QStringLiteral("--site")},
        0,
        runList,
        {QStringLiteral("--json")}};
}

Subcommand archiveSeriesSubcommand() {
    return {QStringLiteral("archive series"),
            QStringLiteral("archive series CARD-TEST [--channel 1|2] [--from yyyy-mm-dd] [--to yyyy-mm-dd] "
                           "(--tidy OUT.csv | --xlsx OUT.xlsx | --ql6 OUT.ql6) [--db DB]"),
            uiText(text::kArchiveSeriesHelp),
            {kDb, QStringLiteral("--channel"), QStringLiteral("--from"), QStringLiteral("--to"),
             QStringLiteral("--tidy"), QStringLiteral("--xlsx"), QStringLiteral("--ql6")},
            1,
            runSeries};
}

Subcommand archiveStatsSubcommand() {
    return {
        QStringLiteral("archive stats"),
        QStringLiteral("archive stats CARD-TEST [--channel 1|2] [--from yyyy-mm-dd] [--to yyyy-mm-dd] [--dhr K] "
                       "[--json] [--db DB]"),
        uiText(text::kArchiveStatsHelp),
        {kDb, QStringLiteral("--channel"), QStringLiteral("--from"), QStringLiteral("--to"), QStringLiteral("--dhr")},
        1,
        runStats,
        {QStringLiteral("--json")}};
}

Subcommand archiveVerifySubcommand() {
    return {QStringLiteral("archive verify"),
            QStringLiteral("archive verify [FILE...] [--db DB]"),
            uiText(text::kArchiveVerifyHelp),
            {kDb},
            -1,
            runVerify};
}

}  // namespace quillet::cli
