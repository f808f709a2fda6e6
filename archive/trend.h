// The long-term trend: logger channels of the archive over any span drawn
// so that no extreme is lost however many samples there are. The samples of
// the loaded period stay in memory; each pixel column of the span shown
// gets the minimum, maximum, first and last of the samples in it, so a zoom
// or a pan only reduces them again. Gaps between read-outs and error
// samples are never joined by a line.
#pragma once

#include "analysis/figures.h"
#include "archive/archive.h"
#include "archive/series.h"
#include "graph/graphfile.h"

#include <QRectF>
#include <QSize>
#include <QString>
#include <QTimeZone>

#include <optional>
#include <vector>

class QPainter;

namespace quillet::archive {

// Up to this many channels on one trend.
constexpr int kTrendChannels = 8;

// One channel of the trend: a series and its samples of the loaded period.
struct TrendChannel {
    SeriesKey key;
    QString name;                     // as the legend and the figures' column name it
    std::vector<SeriesPiece> pieces;  // in time order, as Archive::samples() gives them
};

// The series of one logger (card and test) in the archive, up to
// kTrendChannels; empty when the archive fails.
std::vector<SeriesKey> loggerSeries(Archive& archive, int card, int test);

// The channels' samples over p; empty with the failure set when the archive
// fails.
std::vector<TrendChannel> loadTrend(Archive& archive, const std::vector<SeriesKey>& keys, Period p,
                                    ArchiveFailure& failure);

// The earliest and latest sample of any channel; nothing without samples.
std::optional<Period> trendExtent(const std::vector<TrendChannel>& channels);

// The pieces cut to the samples with instants in p, as Archive::samples()
// over p would give them (the first kept piece continues nothing).
std::vector<SeriesPiece> piecesWithin(const std::vector<SeriesPiece>& pieces, Period p);

// One pixel column: the samples with instants in it (error samples left
// out). joinsPrevious: its first sample follows the last one of the nearest
// column before that holds any, with no gap and no error sample between.
struct TrendColumn {
    bool any = false;
    int16_t min = 0;
    int16_t max = 0;
    int16_t first = 0;
    int16_t last = 0;
    bool joinsPrevious = false;
    // The alarm limits of the column's last sample (none for kind 0).
    std::optional<int16_t> upperAlarm;
    std::optional<int16_t> lowerAlarm;
};

// The samples of the pieces with instants in p, in width columns of equal
// time (column c holds the instants from p.fromUtc + c × span ÷ width on).
std::vector<TrendColumn> trendColumns(const std::vector<SeriesPiece>& pieces, Period p, int width);

// The same columns of an archive's outline of the series over p (the hour
// summaries of the hours that lie whole in one column, the samples of the
// others): the same columns as of the samples themselves.
std::vector<TrendColumn> outlineColumns(const SeriesOutline& outline, Period p, int width);
std::vector<TrendColumn> archiveColumns(Archive& archive, const SeriesKey& key, Period p, int width,
                                        ArchiveFailure& failure);
// The earliest and latest sample of the series within p in the archive;
// nothing without samples.
std::optional<Period> archiveExtent(Archive& archive, const std::vector<SeriesKey>& keys, Period p,
                                    ArchiveFailure& failure);

// A label of the time axis at utc.
struct TimeTick {
    qint64 utc = 0;
    QString label;
};
// Ticks at whole hours, days, weeks (Mondays), months or years of zone,
// whichever step gives at most maxTicks over p.
std::vector<TimeTick> timeTicks(Period p, const QTimeZone& zone, int maxTicks);

// What the trend shows: the span and the zone of its labels.
struct TrendView {
    Period span;
    QTimeZone zone;
};

// Paints the trend into plot (the labels of the axes around it, in the
// painter's font, charWidth and lineHeight its measures): the grid, the
// temperature axis on the left, humidity on the right, the alarm limits as
// dashed lines in the channel's colour with the time beyond them shaded,
// and each channel as its columns.
// columns: each channel's, when they are not to be reduced from its samples
// (trendColumnCount(plot) of them).
void paintTrend(QPainter& painter, const QRectF& plot, const std::vector<TrendChannel>& channels, const TrendView& view,
                double charWidth, double lineHeight, const std::vector<std::vector<TrendColumn>>* columns = nullptr);
int trendColumnCount(const QRectF& plot);
// The plot inside area, with room for the labels around it.
QRectF trendPlotArea(const QRectF& area, double charWidth, double lineHeight);
// The same inside area, with room for the labels taken from it.
void paintTrendIn(QPainter& painter, const QRectF& area, const std::vector<TrendChannel>& channels,
                  const TrendView& view);
// The same with the channels' columns read from the archive (the channels
// need hold no samples); false when the archive fails.
bool paintTrendFromArchive(QPainter& painter, const QRectF& area, Archive& archive,
                           const std::vector<TrendChannel>& channels, const TrendView& view, ArchiveFailure& failure);

// The figures of "統計と逸脱" of each channel over p (channel i + 1 for
// channels[i]), as periodFigures() gives them from the archive.
std::vector<ChannelFigures> trendFigures(const std::vector<TrendChannel>& channels, Period p, double deltaHOverR,
                                         const QTimeZone& zone);

// One excursion: a run of samples beyond a limit, ended by a sample within,
// an error sample or a gap.
struct TrendExcursion {
    int channel = 1;  // 1.. as in trendFigures
    bool above = true;
    qint64 startUtc = 0;
    qint64 seconds = 0;  // samples × interval
};
std::vector<TrendExcursion> trendExcursions(const std::vector<TrendChannel>& channels, Period p);

// The trend as a picture file (.png, .svg or .pdf by its extension) of
// size pixels, written atomically. With source, the columns are read from
// that archive (failure: what it said when it could not be read).
PictureWritten writeTrendFile(const std::vector<TrendChannel>& channels, const TrendView& view, const QString& path,
                              QSize size, Archive* source = nullptr, ArchiveFailure* failure = nullptr);

}  // namespace quillet::archive
