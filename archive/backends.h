// The archive's back ends behind openArchive(): an SQLite file on this PC
// and a PostgreSQL server shared by several PCs.
#pragma once

#include "archive/archive.h"

#include <QByteArray>

#include <algorithm>
#include <array>
#include <map>
#include <utility>

namespace quillet::archive {

// The version of the tables, kept in the table meta: a program refuses an
// archive of a later version.
inline constexpr int kSchemaVersion = 2;

// The header fields of a read-out's channel, a column each in both back
// ends (integrated_value, the one wider field, follows them).
struct HeaderColumn {
    const char* name;
    int16_t ChannelHeader::*field;
};
inline constexpr std::array<HeaderColumn, 23> kHeaderColumns{{
    {"kind", &ChannelHeader::kind},
    {"card", &ChannelHeader::cardNo},
    {"test", &ChannelHeader::testNo},
    {"start_year", &ChannelHeader::startYear},
    {"start_month", &ChannelHeader::startMonth},
    {"start_day", &ChannelHeader::startDay},
    {"start_hour", &ChannelHeader::startHour},
    {"start_minute", &ChannelHeader::startMinute},
    {"start_tensec", &ChannelHeader::startTenSec},
    {"interval_hour", &ChannelHeader::intervalHour},
    {"interval_minute", &ChannelHeader::intervalMinute},
    {"interval_tensec", &ChannelHeader::intervalTenSec},
    {"range_code", &ChannelHeader::rangeCode},
    {"range_low", &ChannelHeader::rangeLow},
    {"reference_value", &ChannelHeader::referenceValue},
    {"reference_side", &ChannelHeader::referenceSide},
    {"max_value", &ChannelHeader::maxValue},
    {"min_value", &ChannelHeader::minValue},
    {"average_value", &ChannelHeader::averageValue},
    {"error_count", &ChannelHeader::errorCount},
    {"upper_alarm", &ChannelHeader::upperAlarm},
    {"lower_alarm", &ChannelHeader::lowerAlarm},
    {"sample_count", &ChannelHeader::sampleCount},
}};

// The header columns, each after prefix ("rc." where another table joins).
inline QByteArray headerColumnList(const QByteArray& prefix = {}) {
    QByteArray s;
    for (const HeaderColumn& c : kHeaderColumns) s += prefix + c.name + ", ";
    return s + prefix + "integrated_value";
}

// A series' samples, in the order of their instants, gathered into pieces:
// a new piece where the read-out that stored them changes or an instant
// is skipped. channels: each read-out's interval and channel header.
class PieceBuilder {
public:
    explicit PieceBuilder(std::map<qint64, std::pair<int, ChannelHeader>> channels) : channels_(std::move(channels)) {}
    void add(qint64 t, int16_t value, qint64 readout) {
        SeriesPiece* p = out_.empty() ? nullptr : &out_.back();
        if (!p || p->readoutId != readout || t - previousT_ != p->intervalSeconds) {
            const auto c = channels_.find(readout);
            SeriesPiece n;
            n.readoutId = readout;
            n.startUtc = t;
            n.intervalSeconds = c != channels_.end() ? c->second.first : 0;
            if (c != channels_.end()) n.header = c->second.second;
            n.continuesPrevious = p && t - previousT_ == n.intervalSeconds;
            out_.push_back(std::move(n));
            p = &out_.back();
        }
        p->values.push_back(value);
        previousT_ = t;
    }
    std::vector<SeriesPiece> take() { return std::move(out_); }

private:
    std::map<qint64, std::pair<int, ChannelHeader>> channels_;
    std::vector<SeriesPiece> out_;
    qint64 previousT_ = 0;
};

// Hours of fewer samples are not summed up: their samples are read about
// as quickly as a summary (a series at two minutes or longer has none).
inline constexpr int kSummedHourSamples = 30;

// A series' samples, in the order of their instants, summed up by hour.
class HourBuilder {
public:
    void add(qint64 t, int16_t value, qint64 readout) {
        const qint64 hour = t / 3600 - (t % 3600 < 0);
        const bool valid = value != kErrorSample;
        if (out_.empty() || out_.back().hour != hour) {
            HourSummary h;
            h.hour = hour;
            h.firstUtc = t;
            h.firstReadout = readout;
            h.firstValid = valid;
            out_.push_back(h);
        }
        HourSummary& h = out_.back();
        ++h.samples;
        h.lastUtc = t;
        h.lastValid = valid;
        if (!valid) return;
        if (h.valid++ == 0) {
            h.min = h.max = h.lead = value;
        } else {
            h.min = std::min(h.min, value);
            h.max = std::max(h.max, value);
        }
        h.trail = value;
        h.trailReadout = readout;
    }
    // The hours of kSummedHourSamples or more.
    std::vector<HourSummary> take() {
        std::erase_if(out_, [](const HourSummary& h) { return h.samples < kSummedHourSamples; });
        return std::move(out_);
    }

private:
    std::vector<HourSummary> out_;
};

// An outline: whether an hour lies whole inside fromUtc..toUtc and inside
// one of width columns; the parts of fromUtc..toUtc outside the summed
// hours (in order), whose samples it holds one by one.
bool hourInOneColumn(qint64 hour, qint64 fromUtc, qint64 toUtc, int width);
std::vector<std::pair<qint64, qint64>> outlineSampleRanges(qint64 fromUtc, qint64 toUtc,
                                                           const std::vector<HourSummary>& summed);

std::unique_ptr<Archive> openFileArchive(const QString& path, ArchiveFailure& failure, OpenMode mode);
// A libpq connection string ("host=... dbname=...") or URI
// ("postgresql://..."); the schema is made or checked on connecting.
std::unique_ptr<Archive> openServerArchive(const QString& connection, ArchiveFailure& failure);

}  // namespace quillet::archive
