#include "tools/sim/records.h"

#include "tools/sim/models.h"

#include "tools/sim/wire.h"

#include <QFile>
#include <QList>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace quillet::sim {

namespace {

// Roughly normal noise with the given spread, the same on every platform
// (std::mt19937's output is fixed by the standard, its distributions are not).
class Noise {
public:
    explicit Noise(uint32_t seed) : rng_(seed) {}
    double next(double spread) {
        double sum = 0;
        for (int i = 0; i < 4; ++i) sum += rng_() / 4294967296.0;
        return (sum - 2.0) * spread * std::sqrt(3.0);
    }
    int below(int n) { return n <= 0 ? 0 : static_cast<int>(rng_() % static_cast<uint32_t>(n)); }

private:
    std::mt19937 rng_;
};

// The same kind of noise from a counter-based hash (splitmix64): cheap to
// start anywhere.
class HashNoise {
public:
    explicit HashNoise(uint64_t key) : state_(key) {}
    double next(double spread) {
        double sum = 0;
        for (int i = 0; i < 4; ++i) sum += double(step() >> 32) / 4294967296.0;
        return (sum - 2.0) * spread * std::sqrt(3.0);
    }

private:
    uint64_t step() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    uint64_t state_;
};

int clampRaw(double tenths, int rangeLow) {
    const long raw = std::lround(tenths) - rangeLow;
    return static_cast<int>(std::clamp<long>(raw, 0, wire::kErrorRaw - 1));
}

}  // namespace

int curveCentre(const Config& c, int channel) {
    if (channel == 2 && simModel(c.model).humidityChannel2) return 600;
    const int low = rangeLowOf(c.rangeCode[channel == 2 ? 1 : 0]);
    const int temperature = low < 0 ? 200 : low >= 500 ? 850 : 450;
    return channel == 2 ? temperature - 20 : temperature;
}

void generateRecords(const Config& c, std::vector<int>& ch1, std::vector<int>& ch2) {
    const bool fullWrap = simModel(c.model).endlessFlags && c.flags == 3;
    const int count = fullWrap ? memorySize(c.model) : std::max(0, c.records);
    const int channels = channelCount(c.model);
    Noise noise(c.seed);

    const int intervalSec = std::max(10, c.intervalHour * 3600 + c.intervalMinute * 60 + c.intervalTenSec * 10);
    const double startSec = c.start.hour * 3600 + c.start.minute * 60 + c.start.tenSec * 10;
    const int low1 = rangeLowOf(c.rangeCode[0]);
    const int low2 = rangeLowOf(c.rangeCode[1]);
    const bool humidity = simModel(c.model).humidityChannel2;
    const int centre1 = curveCentre(c, 1);
    const int centre2 = curveCentre(c, 2);

    std::vector<int> logical[2];
    logical[0].resize(count);
    if (channels == 2) logical[1].resize(count);
    const double dayPhase = noise.next(0.5);
    for (int i = 0; i < count; ++i) {
        const double hours = std::fmod((startSec + double(i) * intervalSec) / 3600.0, 24.0);
        const double wave = std::sin(2 * std::numbers::pi * (hours - 9.0 + dayPhase) / 24.0);
        const Excursion& x = c.excursion;
        const double excursion = x.first >= 0 && i >= x.first && i < x.first + x.records
                                     ? x.tenths * std::sin(std::numbers::pi * (i - x.first + 0.5) / x.records)
                                     : 0.0;
        logical[0][i] = clampRaw(centre1 + 60 * wave + excursion + noise.next(3), low1);
        if (channels == 2) {
            const double second = humidity ? std::clamp(centre2 - 150 * wave + noise.next(10), 0.0, 1000.0)
                                           : centre2 + 40 * wave + noise.next(3);
            logical[1][i] = clampRaw(second, low2);
        }
    }
    for (int ch = 0; ch < channels; ++ch) {
        for (int e = 0; e < c.errorSamples && count > 0; ++e) {
            logical[ch][noise.below(count)] = wire::kErrorRaw;
        }
    }

    if (fullWrap) {
        // The record written last sits at the wrap position p; the oldest one
        // follows it: memory record (p + i) mod 6000 holds logical record i.
        const int p = std::clamp(c.wrapPosition, 1, count);
        for (auto& v : logical) {
            if (v.empty()) continue;
            std::vector<int> memory(count);
            for (int i = 0; i < count; ++i) memory[(p + i) % count] = v[i];
            v.swap(memory);
        }
    }
    ch1 = std::move(logical[0]);
    ch2 = std::move(logical[1]);
}

int recordedValue(const Config& c, int channel, int64_t index) {
    const int64_t intervalSec = std::max(10, c.intervalHour * 3600 + c.intervalMinute * 60 + c.intervalTenSec * 10);
    const double startSec = c.start.hour * 3600 + c.start.minute * 60 + c.start.tenSec * 10;
    const double hours = std::fmod((startSec + double(index) * double(intervalSec)) / 3600.0, 24.0);
    const double wave = std::sin(2 * std::numbers::pi * (hours - 9.0) / 24.0);
    // Noise from a hash of seed, channel and index keeps the values
    // independent of when the host asks for them.
    HashNoise noise(uint64_t(c.seed) << 40 ^ uint64_t(index) << 2 ^ uint64_t(channel));
    if (channel != 2) {
        const int low = rangeLowOf(c.rangeCode[0]);
        return clampRaw(curveCentre(c, 1) + 60 * wave + noise.next(3), low);
    }
    const int low = rangeLowOf(c.rangeCode[1]);
    const bool humidity = simModel(c.model).humidityChannel2;
    const double second = humidity ? std::clamp(curveCentre(c, 2) - 150 * wave + noise.next(10), 0.0, 1000.0)
                                   : curveCentre(c, 2) + 40 * wave + noise.next(3);
    return clampRaw(second, low);
}

bool parseRecords(const QByteArray& text, const Config& c, std::vector<int>& ch1, std::vector<int>& ch2,
                  QString* error) {
    const int channels = channelCount(c.model);
    const int lows[2] = {rangeLowOf(c.rangeCode[0]), rangeLowOf(c.rangeCode[1])};
    std::vector<int> out[2];
    static const QRegularExpression separators(QStringLiteral("[\\s,;]+"));
    const QList<QByteArray> lines = text.split('\n');
    auto fail = [&](int line, const QString& what) {
        if (error) *error = QStringLiteral("line %1: %2").arg(line).arg(what);
        return false;
    };
    for (int n = 0; n < lines.size(); ++n) {
        QString line = QString::fromUtf8(lines[n]);
        const int hash = line.indexOf(QLatin1Char('#'));
        if (hash >= 0) line.truncate(hash);
        line = line.trimmed();
        if (line.isEmpty()) continue;
        const QStringList tokens = line.split(separators, Qt::SkipEmptyParts);
        if (tokens.size() != channels) {
            return fail(n + 1, QStringLiteral("%1 value(s) expected, %2 found").arg(channels).arg(tokens.size()));
        }
        for (int ch = 0; ch < channels; ++ch) {
            const QString& t = tokens[ch];
            if (t.compare(QLatin1String("E"), Qt::CaseInsensitive) == 0 ||
                t.compare(QLatin1String("ERR"), Qt::CaseInsensitive) == 0) {
                out[ch].push_back(wire::kErrorRaw);
                continue;
            }
            bool ok = false;
            const double v = t.toDouble(&ok);
            if (!ok || !std::isfinite(v)) return fail(n + 1, QStringLiteral("\"%1\" is not a number").arg(t));
            const long raw = std::lround(v * 10) - lows[ch];
            if (raw < 0 || raw > wire::kErrorRaw - 1) {
                return fail(n + 1, QStringLiteral("%1 is outside the measuring range %2 .. %3 of channel %4")
                                       .arg(t)
                                       .arg(lows[ch] / 10.0, 0, 'f', 1)
                                       .arg((lows[ch] + wire::kErrorRaw - 1) / 10.0, 0, 'f', 1)
                                       .arg(ch + 1));
            }
            out[ch].push_back(static_cast<int>(raw));
        }
        if (out[0].size() > 65535) return fail(n + 1, QStringLiteral("more than 65535 records"));
    }
    ch1 = std::move(out[0]);
    ch2 = std::move(out[1]);
    return true;
}

bool loadRecords(const QString& path, const Config& c, std::vector<int>& ch1, std::vector<int>& ch2, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    QString why;
    if (!parseRecords(file.readAll(), c, ch1, ch2, &why)) {
        if (error) *error = QStringLiteral("%1: %2").arg(path, why);
        return false;
    }
    return true;
}

}  // namespace quillet::sim
