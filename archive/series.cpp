#include "archive/series.h"

#include "archive/readoutfile.h"
#include "core/cp932.h"
#include "core/fieldhelpers.h"
#include "core/store.h"
#include "core/uitexts.h"
#include "core/vb.h"
#include "datafile/fileops.h"

#include <limits>

namespace quillet::archive {

Period periodOfDays(std::optional<QDate> from, std::optional<QDate> to, const QTimeZone& zone) {
    Period p{std::numeric_limits<qint64>::min() / 2, std::numeric_limits<qint64>::max() / 2};
    if (from) p.fromUtc = QDateTime(*from, QTime(0, 0), zone).toSecsSinceEpoch();
    if (to) p.toUtc = QDateTime(to->addDays(1), QTime(0, 0), zone).toSecsSinceEpoch() - 1;
    return p;
}

Period usualPeriod(UsualPeriod u, const QDateTime& now) {
    const QDate today = now.date();
    const QTimeZone zone = now.timeZone();
    switch (u) {
    case UsualPeriod::Days7: return periodOfDays(today.addDays(-6), today, zone);
    case UsualPeriod::Days30: return periodOfDays(today.addDays(-29), today, zone);
    case UsualPeriod::Days90: return periodOfDays(today.addDays(-89), today, zone);
    case UsualPeriod::Quarter: {
        const QDate first(today.year(), (today.month() - 1) / 3 * 3 + 1, 1);
        return periodOfDays(first, first.addMonths(3).addDays(-1), zone);
    }
    case UsualPeriod::Year: return periodOfDays(QDate(today.year(), 1, 1), QDate(today.year(), 12, 31), zone);
    }
    return {};
}

std::vector<SampleRun> sampleRuns(const std::vector<SeriesPiece>& pieces, const QTimeZone& zone) {
    std::vector<SampleRun> runs;
    runs.reserve(pieces.size());
    for (const SeriesPiece& p : pieces) {
        SampleRun r;
        r.startTime = localDateValue(p.startUtc, zone);
        r.intervalSeconds = p.intervalSeconds;
        r.values = p.values;
        if (hasAlarmValues(p.header.kind)) {
            r.upperAlarm = p.header.upperAlarm;
            r.lowerAlarm = p.header.lowerAlarm;
        }
        r.continuesPrevious = p.continuesPrevious;
        runs.push_back(r);
    }
    return runs;
}

std::optional<ChannelFigures> periodFigures(Archive& archive, const SeriesKey& s, Period p, double deltaHOverR,
                                            const QTimeZone& zone, ArchiveFailure& failure) {
    const std::vector<SeriesPiece> pieces = archive.samples(s, p.fromUtc, p.toUtc, failure);
    if (failure) return std::nullopt;
    return seriesFigures(1, s.kind, sampleRuns(pieces, zone), deltaHOverR);
}

namespace {

// The latest read-out channel of the series among the pieces' read-outs.
std::optional<ReadoutChannel> latestChannel(Archive& archive, const SeriesKey& s,
                                            const std::vector<SeriesPiece>& pieces, ArchiveFailure& failure) {
    std::optional<ReadoutChannel> latest;
    qint64 id = 0;
    for (const SeriesPiece& p : pieces) id = std::max(id, p.readoutId);
    const std::optional<Readout> r = archive.readout(id, WithSamples::No, failure);
    if (!r) return std::nullopt;
    for (const ReadoutChannel& c : r->channels)
        if (c.series == s) latest = c;
    return latest;
}

// The channel header for a channel starting at startUtc (local wall-clock
// fields of zone) with count samples.
void placeHeader(ChannelRecord& c, qint64 startUtc, int intervalSeconds, int count, const QTimeZone& zone) {
    const QDateTime start = QDateTime::fromSecsSinceEpoch(startUtc, zone);
    c.startYear = int16_t(start.date().year());
    c.startMonth = int16_t(start.date().month());
    c.startDay = int16_t(start.date().day());
    c.startHour = int16_t(start.time().hour());
    c.startMinute = int16_t(start.time().minute());
    c.startTenSec = int16_t(start.time().second() / 10);
    c.intervalHour = int16_t(intervalSeconds / 3600);
    c.intervalMinute = int16_t(intervalSeconds % 3600 / 60);
    c.intervalTenSec = int16_t(intervalSeconds % 60 / 10);
    c.sampleCount = int16_t(count);
    c.inUse = 1;
}

}  // namespace

StoreFit seriesIntoStore(AppContext& ctx, Archive& archive, const SeriesKey& s, Period p, const QTimeZone& zone,
                         ArchiveFailure& failure) {
    const std::vector<SeriesPiece> pieces = archive.samples(s, p.fromUtc, p.toUtc, failure);
    if (failure) return StoreFit::Failed;
    if (pieces.empty()) return StoreFit::Empty;
    const int interval = pieces.front().intervalSeconds;
    for (const SeriesPiece& piece : pieces)
        if (piece.intervalSeconds != interval || interval <= 0) return StoreFit::MixedIntervals;
    const qint64 first = pieces.front().startUtc;
    const qint64 last = pieces.back().startUtc + qint64(pieces.back().values.size() - 1) * interval;
    const qint64 rows = (last - first) / interval + 1;
    if (rows > kMaxSamples) return StoreFit::TooManyRows;
    const std::optional<ReadoutChannel> latest = latestChannel(archive, s, pieces, failure);
    if (!latest) return StoreFit::Failed;

    clearAllChannels(ctx);
    ChannelRecord& c = ctx.store.ch[1];
    static_cast<ChannelHeader&>(c) = latest->header;
    placeHeader(c, first, interval, int(rows), zone);
    auto& samples = ctx.store.samples[1];
    std::fill(samples.begin(), samples.end(), kErrorSample);
    for (const SeriesPiece& piece : pieces)
        for (size_t i = 0; i < piece.values.size(); ++i) {
            const qint64 row = (piece.startUtc + qint64(i) * interval - first) / interval;
            samples[size_t(row + 1)] = piece.values[i];
        }
    ctx.store.channelsInUse = 1;
    rebuildTimeAxis(ctx.store);
    return StoreFit::Fits;
}

QByteArray seriesTidyCsv(Archive& archive, const SeriesKey& s, const QString& head, Period p, const QTimeZone& zone,
                         ArchiveFailure& failure) {
    const std::vector<SeriesPiece> pieces = archive.samples(s, p.fromUtc, p.toUtc, failure);
    if (failure) return {};
    QByteArray out = "\xEF\xBB\xBF";
    out += (QLatin1Char('"') + uiText(ui::kTimeColumn) + QStringLiteral("\",\"") + head + QStringLiteral("\"\r\n"))
               .toUtf8();
    for (const SeriesPiece& piece : pieces)
        for (size_t i = 0; i < piece.values.size(); ++i) {
            const qint64 t = piece.startUtc + qint64(i) * piece.intervalSeconds;
            out += QDateTime::fromSecsSinceEpoch(t, zone).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toLatin1();
            out += ',';
            if (piece.values[i] != kErrorSample) out += vb::formatTenths(piece.values[i], 1).toLatin1();
            out += "\r\n";
        }
    return out;
}

StoreFit readoutsIntoStore(AppContext& ctx, Archive& archive, const std::vector<qint64>& ids, StoreEntry entry,
                           ArchiveFailure& failure) {
    std::vector<ReadoutChannel> channels;
    for (const qint64 id : ids) {
        std::optional<Readout> r = archive.readout(id, WithSamples::Yes, failure);
        if (!r) return StoreFit::Failed;
        for (ReadoutChannel& c : r->channels) channels.push_back(std::move(c));
    }
    if (channels.empty()) return StoreFit::Empty;
    std::vector<int> free;
    for (int ch = 1; ch <= kChannels; ++ch)
        if (entry == StoreEntry::Replace || ctx.store.ch[size_t(ch)].inUse != 1) free.push_back(ch);
    if (channels.size() > free.size()) return StoreFit::TooManyChannels;
    // Tried on the store itself, which goes back as it was unless all fit.
    const ChannelStore before = ctx.store;
    if (entry == StoreEntry::Replace) clearAllChannels(ctx);
    for (size_t i = 0; i < channels.size(); ++i) {
        const int ch = free[i];
        ChannelRecord& c = ctx.store.ch[size_t(ch)];
        c = channelRecordOf(channels[i]);
        auto& samples = ctx.store.samples[size_t(ch)];
        std::fill(samples.begin(), samples.end(), kErrorSample);
        std::copy(channels[i].samples.begin(), channels[i].samples.end(), samples.begin() + 1);
    }
    ctx.store.channelsInUse = int16_t(countChannelsInUse(ctx.store));
    rebuildTimeAxis(ctx.store);
    if (ctx.store.rowCount > kMaxSamples) {
        ctx.store = before;
        return StoreFit::TooManyRows;
    }
    ctx.store.unsavedRead = 0;
    ctx.view->updateCaption();
    return StoreFit::Fits;
}

WindowOpen openReadoutsInWindow(AppContext& ctx, Archive& archive, const std::vector<qint64>& ids, StoreEntry entry,
                                StoreFit& fit, ArchiveFailure& failure) {
    if (entry == StoreEntry::Replace && !unsavedDataAnswered(ctx)) return WindowOpen::Cancelled;
    fit = readoutsIntoStore(ctx, archive, ids, entry, failure);
    if (fit == StoreFit::Failed) return WindowOpen::Failed;
    if (fit != StoreFit::Fits) return WindowOpen::DoesNotFit;
    if (entry == StoreEntry::Add) ctx.store.unsavedEdit = 1;
    rebuildAxisAndDisplay(ctx);
    ctx.view->enableAllCommands();
    return WindowOpen::Opened;
}

QString loggerText(const AppContext& ctx, int card, int test) {
    int16_t c = int16_t(card);
    int16_t t = int16_t(test);
    return cardText(ctx, c) + QLatin1Char('-') + testText(ctx, t);
}

std::optional<std::pair<int, int>> parseLogger(const AppContext& ctx, const QString& text) {
    // The card's text may hold a "-" itself: every split is tried.
    for (qsizetype dash = text.indexOf(QLatin1Char('-')); dash > 0; dash = text.indexOf(QLatin1Char('-'), dash + 1)) {
        const QString cardPart = text.left(dash);
        const QString testPart = text.mid(dash + 1);
        auto number = [&](const QString& part, bool card) -> std::optional<int> {
            for (int16_t n = 0; n < 256; ++n) {
                int16_t m = n;
                if ((card ? cardText(ctx, m) : testText(ctx, m)) == part) return n;
            }
            bool ok = false;
            const int n = part.toInt(&ok);
            if (ok && n >= 0 && n < 256) return n;
            return std::nullopt;
        };
        const auto card = number(cardPart, true);
        const auto test = number(testPart, false);
        if (card && test) return std::pair{*card, *test};
    }
    return std::nullopt;
}

ReadoutLine readoutLine(const AppContext& ctx, const Readout& r) {
    QStringList loggers;
    QStringList uppers;
    QStringList lowers;
    ReadoutLine line;
    for (const ReadoutChannel& c : r.channels) {
        const QString name = loggerText(ctx, c.series.card, c.series.test);
        if (!loggers.contains(name)) loggers << name;
        line.samples += c.count;
        if (!hasAlarmValues(c.header.kind)) continue;
        uppers << vb::formatTenths(c.header.upperAlarm, 1);
        lowers << vb::formatTenths(c.header.lowerAlarm, 1);
    }
    line.loggers = loggers.join(QLatin1Char(','));
    line.upper = uppers.join(QLatin1Char('/'));
    line.lower = lowers.join(QLatin1Char('/'));
    return line;
}

QString storeFitText(StoreFit fit) {
    switch (fit) {
    case StoreFit::Fits: return {};
    case StoreFit::Empty: return uiText(ui::kArchiveNothingThere);
    case StoreFit::TooManyRows: return uiText(ui::kArchiveTooManyRows).arg(kMaxSamples);
    case StoreFit::TooManyChannels: return uiText(ui::kArchiveTooManyChannels).arg(kChannels);
    case StoreFit::MixedIntervals: return uiText(ui::kArchiveMixedIntervals);
    case StoreFit::Failed: return {};
    }
    return {};
}

}  // namespace quillet::archive
