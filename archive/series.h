// What is made of the archive's series: the figures of one logger channel
// over a period, the series as a channel of the store (to save, export or
// show as any data file), its tidy CSV, and read-outs opened back into the
// main window's store.
#pragma once

#include "analysis/seriesfigures.h"
#include "archive/archive.h"
#include "core/context.h"

#include <QDate>
#include <QTimeZone>

#include <optional>

namespace quillet::archive {

// A period in UTC seconds, both ends included.
struct Period {
    qint64 fromUtc = 0;
    qint64 toUtc = 0;
};
// From the start of day `from` to the end of day `to`, local days of zone;
// an open end reaches as far as any sample can.
Period periodOfDays(std::optional<QDate> from, std::optional<QDate> to, const QTimeZone& zone);
// The usual periods up to now: the last 7, 30 or 90 days, the calendar
// quarter and the year that hold today.
enum class UsualPeriod { Days7, Days30, Days90, Quarter, Year };
Period usualPeriod(UsualPeriod p, const QDateTime& now);

// The samples of the pieces as runs of the figures (start times as local
// date values of zone); they point into pieces.
std::vector<SampleRun> sampleRuns(const std::vector<SeriesPiece>& pieces, const QTimeZone& zone);

// The figures of a series over a period (channel 1 in the result).
std::optional<ChannelFigures> periodFigures(Archive& archive, const SeriesKey& s, Period p, double deltaHOverR,
                                            const QTimeZone& zone, ArchiveFailure& failure);

// Why a series or a selection of read-outs does not fit the store.
enum class StoreFit { Fits, Empty, TooManyRows, TooManyChannels, MixedIntervals, Failed };

// The series over the period as channel 1 of ctx.store (emptied first):
// the header of its latest read-out, every instant from the first sample
// to the last one interval apart, error samples (9999) where no read-out
// holds one.
StoreFit seriesIntoStore(AppContext& ctx, Archive& archive, const SeriesKey& s, Period p, const QTimeZone& zone,
                         ArchiveFailure& failure);

// The tidy CSV of a series (any length): "日時" and one column, values with
// one decimal, an empty cell for an error sample; CR LF, UTF-8 with BOM.
QByteArray seriesTidyCsv(Archive& archive, const SeriesKey& s, const QString& head, Period p, const QTimeZone& zone,
                         ArchiveFailure& failure);

// Read-outs into the store's channels: Replace empties it first, Add puts
// them into the free channels. Nothing changes unless all fit.
enum class StoreEntry { Replace, Add };
StoreFit readoutsIntoStore(AppContext& ctx, Archive& archive, const std::vector<qint64>& ids, StoreEntry entry,
                           ArchiveFailure& failure);

// The read-outs opened into the main window as "開く" (Replace, after the
// unsaved question) and "データを追加" (Add) open files: the axis rebuilt,
// the grids refilled, the commands enabled. Cancelled: the user kept the
// data on screen.
enum class WindowOpen { Opened, Cancelled, DoesNotFit, Failed };
WindowOpen openReadoutsInWindow(AppContext& ctx, Archive& archive, const std::vector<qint64>& ids, StoreEntry entry,
                                StoreFit& fit, ArchiveFailure& failure);

// A logger as the grid shows it: card-test through the setting characters
// ("005-012"), and back: the setting characters' texts or the numbers.
QString loggerText(const AppContext& ctx, int card, int test);
std::optional<std::pair<int, int>> parseLogger(const AppContext& ctx, const QString& text);

// A read-out as the search window and archive list show it: its loggers
// ("005-012,007-003"), samples, and the alarm limits of its channels that
// have them ("25.0/70.0"; "" when none).
struct ReadoutLine {
    QString loggers;
    qint64 samples = 0;
    QString upper;
    QString lower;
};
ReadoutLine readoutLine(const AppContext& ctx, const Readout& r);

// A store fit in words (the limit named).
QString storeFitText(StoreFit fit);

}  // namespace quillet::archive
