#include "analysis/figures.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace quillet {
namespace {

// The mean kinetic temperature in °C from Σ count·exp(−k / T − top) over
// the samples and their count. The sums are taken relative to the largest
// term (top = −k / T_highest) so that no term underflows whatever k is:
// ln((1/n) Σ exp(−k / T_i)) = top + ln((1/n) Σ exp(−k / T_i − top)).
double kineticOf(double sum, double weight, double top, double deltaHOverR) {
    const double logMean = top + std::log(sum / weight);
    return deltaHOverR / -logMean - kKelvinAtZeroCelsius;
}

// Samples first..last of one channel.
struct Span {
    const int16_t* samples;
    int first;
    int last;
};

// Counts, sum and extremes of the valid samples, in one pass without a
// branch: an error sample's mask (all ones) takes it out of the sum and sets
// it to the extreme that changes neither minimum nor maximum. Written with
// masks and in the samples' width so that the compiler vectorises the loop.
struct Basics {
    int errors = 0;
    int sum = 0;
    int lowest = 0;
    int highest = 0;
};
static_assert(double(kMaxSamples) * std::numeric_limits<int16_t>::max() < std::numeric_limits<int>::max());

Basics basicsOf(Span s) {
    constexpr int16_t kTop = std::numeric_limits<int16_t>::max();
    constexpr int16_t kBottom = std::numeric_limits<int16_t>::min();
    int errors = 0;
    int sum = 0;
    int16_t lowest = kTop;
    int16_t highest = kBottom;
    for (int i = s.first; i <= s.last; ++i) {
        const int16_t v = s.samples[i];
        const int16_t error = int16_t(-(v == kErrorSample));
        errors -= error;
        sum += int16_t(v & ~error);
        lowest = std::min<int16_t>(lowest, int16_t(v | (error & kTop)));
        highest = std::max<int16_t>(highest, int16_t((v & ~error) | (error & kBottom)));
    }
    return {errors, sum, lowest, highest};
}

// The samples beyond the limits: counts, Σ of the tenths beyond, and a byte
// per sample (bit 0 above, bit 1 below; both when the limits cross) that
// the runs are read from. beyond[i] belongs to sample first + i − 1, with
// zero bytes before (one) and after (kBeyondPadding) the span.
constexpr int kBeyondPadding = 8;
struct Beyond {
    int above = 0;
    int below = 0;
    int outside = 0;  // above or below, a sample once
    long long tenthsAbove = 0;
    long long tenthsBelow = 0;
};

// As basicsOf(), with masks in the samples' width: the counts fit in 16
// bits (kMaxSamples), and the sums of the samples beyond each limit are sums
// of 16-bit products, which the compiler turns into multiply-adds.
Beyond beyondOf(Span s, int16_t upper, int16_t lower, uint8_t* beyond) {
    static_assert(kMaxSamples <= std::numeric_limits<int16_t>::max());
    int16_t above = 0;
    int16_t below = 0;
    int sumAbove = 0;
    int sumBelow = 0;
    const int n = s.last - s.first + 1;
    const int16_t* v = s.samples + s.first;
    for (int i = 0; i < n; ++i) {
        const int16_t x = v[i];
        const int16_t valid = int16_t(-(x != kErrorSample));
        const int16_t isAbove = int16_t(valid & -(x > upper));
        const int16_t isBelow = int16_t(valid & -(x < lower));
        above = int16_t(above - isAbove);
        below = int16_t(below - isBelow);
        sumAbove += x * int16_t(isAbove & 1);
        sumBelow += x * int16_t(isBelow & 1);
        beyond[i + 1] = uint8_t((isAbove & 1) | (isBelow & 2));
    }
    beyond[0] = 0;
    std::fill_n(beyond + n + 1, kBeyondPadding, 0);
    Beyond b;
    b.above = above;
    b.below = below;
    b.tenthsAbove = sumAbove - (long long)upper * above;
    b.tenthsBelow = (long long)lower * below - sumBelow;
    // A sample both above and below (crossed limits in a damaged file)
    // counts as outside once.
    b.outside = above + below;
    if (upper < lower)
        for (int i = 1; i <= n; ++i) b.outside -= beyond[i] == 3;
    return b;
}

// The runs of one bit of the bytes: count, longest (the first of equally
// long ones) and where it starts (1-based within the span).
struct Runs {
    int count = 0;
    int longest = 0;
    int longestFirst = 0;
    int start = 0;

    void toggle(int i) {  // the bit changes before byte i
        if (start == 0) {
            start = i;
            return;
        }
        ++count;
        if (i - start > longest) {
            longest = i - start;
            longestFirst = start;
        }
        start = 0;
    }
};

// Both bits' runs over bytes 0..n+1 (zero at both ends), visiting only the
// places where a byte differs from the one before, eight bytes at a time.
void runsOf(const uint8_t* beyond, int n, Runs& above, Runs& below) {
    for (int i = 1; i <= n + 1; i += 8) {
        uint64_t now;
        uint64_t before;
        std::memcpy(&now, beyond + i, 8);  // within the padding
        std::memcpy(&before, beyond + i - 1, 8);
        for (uint64_t changes = now ^ before; changes; changes &= changes - 1) {
            const int bit = std::countr_zero(changes);
            const int at = i + bit / 8;
            (bit % 8 == 0 ? above : below).toggle(at);
        }
    }
}
static_assert(std::endian::native == std::endian::little, "runsOf() reads bytes as the words' low ends");

Excursions excursionsOf(const Runs& r, const ChannelRecord& c, int first, int intervalSeconds) {
    Excursions e;
    e.count = r.count;
    e.longestSeconds = (long long)r.longest * intervalSeconds;
    if (r.count) e.longestStart = c.startTime + (first + r.longestFirst - 2) * c.interval;
    return e;
}

// A temperature channel whose mean kinetic temperature is still to come.
struct PendingKinetic {
    ChannelFigures* figures;
    Span span;
    int lowest;
    int highest;
};

// Loggers repeat few distinct values, and the channels of one store share
// most of them: one histogram per channel over its own extremes, one
// exponential per distinct value for all the channels, each term relative
// to the highest temperature of them all. A channel whose terms would
// underflow against that top (one far colder than the others) keeps its own.
void addKineticTemperatures(const std::vector<PendingKinetic>& channels, double deltaHOverR) {
    if (channels.empty()) return;
    int lowest = std::numeric_limits<int>::max();
    int highest = std::numeric_limits<int>::min();
    for (const PendingKinetic& p : channels) {
        lowest = std::min(lowest, p.lowest);
        highest = std::max(highest, p.highest);
    }
    auto topOf = [&](int tenths) { return -deltaHOverR / (tenths / 10.0 + kKelvinAtZeroCelsius); };
    auto termOf = [&](int tenths, double top) { return std::exp(topOf(tenths) - top); };
    const double sharedTop = topOf(highest);
    std::vector<double> sharedTerms(size_t(highest - lowest + 1), -1);  // −1: not yet computed
    std::vector<uint16_t> counts;
    std::vector<uint16_t> sampleSlots;
    static_assert(kMaxSamples <= std::numeric_limits<uint16_t>::max());
    for (const PendingKinetic& p : channels) {
        // Each sample's slot first (a loop the compiler vectorises; the
        // slot after the extremes takes the error samples), then four
        // histograms side by side, the samples taking turns, so that a run
        // of equal values does not wait on its own last increment.
        const int width = p.highest - p.lowest + 2;  // 16 bits: lowest is above −273.15 °C
        const int n = p.span.last - p.span.first + 1;
        counts.assign(size_t(4 * width), 0);
        uint16_t* h = counts.data();
        const int16_t* v = p.span.samples + p.span.first;
        sampleSlots.resize(size_t(n));
        uint16_t* slot = sampleSlots.data();
        const int16_t channelLowest = int16_t(p.lowest);
        const uint16_t errorSlot = uint16_t(width - 1);
        for (int i = 0; i < n; ++i) slot[i] = v[i] == kErrorSample ? errorSlot : uint16_t(v[i] - channelLowest);
        int i = 0;
        for (; i + 3 < n; i += 4) {
            ++h[slot[i]];
            ++h[width + slot[i + 1]];
            ++h[2 * width + slot[i + 2]];
            ++h[3 * width + slot[i + 3]];
        }
        for (; i < n; ++i) ++h[slot[i]];

        const double ownTop = topOf(p.highest);
        const bool shared = ownTop - sharedTop > -600;  // e^−600 is far from underflow
        const double top = shared ? sharedTop : ownTop;
        double sum = 0;
        for (int k = 0; k < width - 1; ++k) {
            const int n = h[k] + h[width + k] + h[2 * width + k] + h[3 * width + k];
            if (n == 0) continue;
            const int tenths = p.lowest + k;
            double term;
            if (shared) {
                double& t = sharedTerms[size_t(tenths - lowest)];
                if (t < 0) t = termOf(tenths, top);
                term = t;
            } else {
                term = termOf(tenths, top);
            }
            sum += n * term;
        }
        p.figures->mkt = kineticOf(sum, p.figures->validSamples(), top, deltaHOverR);
    }
}

// The figures of channel ch but its mean kinetic temperature, which
// *pending receives the means to compute; beyond is room for the span's
// bytes of beyondOf().
ChannelFigures figuresOf(const ChannelStore& s, int ch, AxisRows rows, uint8_t* beyond,
                         std::optional<PendingKinetic>& pending) {
    const ChannelRecord& c = s.ch[size_t(ch)];
    ChannelFigures f;
    f.channel = ch;
    f.intervalSeconds = c.intervalHour * 3600 + c.intervalMinute * 60 + c.intervalTenSec * 10;
    const bool alarms = hasAlarmValues(c.kind);
    if (alarms) {
        f.upperAlarm = c.upperAlarm / 10.0;
        f.lowerAlarm = c.lowerAlarm / 10.0;
    }
    // Sample i of the channel lies on row i + rowOffset.
    const int count = std::clamp<int>(c.sampleCount, 0, kMaxSamples);
    const Span span{s.samples[size_t(ch)].data(), std::max(1, rows.first - c.rowOffset),
                    std::min(count, rows.last - c.rowOffset)};
    if (span.first > span.last) return f;
    f.samples = span.last - span.first + 1;
    f.firstTime = c.startTime + (span.first - 1) * c.interval;
    f.lastTime = c.startTime + (span.last - 1) * c.interval;

    const Basics b = basicsOf(span);
    f.errors = b.errors;
    const int valid = f.validSamples();
    if (valid == 0) return f;
    f.min = b.lowest / 10.0;
    f.max = b.highest / 10.0;
    f.mean = double(b.sum) / valid / 10.0;
    if (isTemperature(c.kind) && b.lowest / 10.0 + kKelvinAtZeroCelsius > 0)  // else no temperature a logger measures
        pending = PendingKinetic{nullptr, span, b.lowest, b.highest};
    if (!alarms) return f;

    const Beyond beyondCounts = beyondOf(span, c.upperAlarm, c.lowerAlarm, beyond);
    Runs above;
    Runs below;
    if (beyondCounts.outside) runsOf(beyond, f.samples, above, below);
    ChannelFigures::Limits limits;
    limits.above = excursionsOf(above, c, span.first, f.intervalSeconds);
    limits.below = excursionsOf(below, c, span.first, f.intervalSeconds);
    // Every sample stands for one interval.
    limits.secondsAbove = (long long)beyondCounts.above * f.intervalSeconds;
    limits.secondsBelow = (long long)beyondCounts.below * f.intervalSeconds;
    limits.degreeMinutesAbove = beyondCounts.tenthsAbove / 10.0 * f.intervalSeconds / 60.0;
    limits.degreeMinutesBelow = beyondCounts.tenthsBelow / 10.0 * f.intervalSeconds / 60.0;
    limits.withinShare = double(valid - beyondCounts.outside) / valid;
    f.limits = limits;
    return f;
}

}  // namespace

std::vector<ChannelFigures> channelFigures(const ChannelStore& s, AxisRows rows, double deltaHOverR) {
    std::vector<ChannelFigures> out;
    out.reserve(kChannels);
    std::vector<PendingKinetic> kinetic;
    kinetic.reserve(kChannels);
    std::array<uint8_t, 1 + kMaxSamples + kBeyondPadding> beyond;
    for (int ch = 1; ch <= kChannels; ++ch) {
        if (s.ch[size_t(ch)].inUse != 1) continue;
        std::optional<PendingKinetic> pending;
        out.push_back(figuresOf(s, ch, rows, beyond.data(), pending));
        if (!pending) continue;
        pending->figures = &out.back();  // out holds room for every channel: it never moves
        kinetic.push_back(*pending);
    }
    addKineticTemperatures(kinetic, deltaHOverR);
    return out;
}

std::optional<double> meanKineticTemperature(const std::vector<double>& celsius, double deltaHOverR) {
    if (celsius.empty()) return std::nullopt;
    const auto [lo, hi] = std::minmax_element(celsius.begin(), celsius.end());
    if (*lo + kKelvinAtZeroCelsius <= 0) return std::nullopt;  // no temperature a logger measures
    const double top = -deltaHOverR / (*hi + kKelvinAtZeroCelsius);
    double sum = 0;
    for (const double t : celsius) sum += std::exp(-deltaHOverR / (t + kKelvinAtZeroCelsius) - top);
    return kineticOf(sum, double(celsius.size()), top, deltaHOverR);
}

}  // namespace quillet
