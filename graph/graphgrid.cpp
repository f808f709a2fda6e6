// The graph window's statistics of the visible window and the cursor
// read-out of the picture.
#include "core/context.h"
#include "core/fieldhelpers.h"
#include "core/uitexts.h"
#include "core/vb.h"
#include "graph/graphscale.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace quillet {

const std::array<QString, kGraphGridRows>& graphGridTitles() {
    static const std::array<QString, kGraphGridRows> titles = {
        uiText(ui::kCardTestRow),   uiText(ui::kRecordsErrorsRow), uiText(ui::kMaximum),
        uiText(ui::kMinimum),       uiText(ui::kAverage),          uiText(ui::kIntegrated),
        uiText(ui::kReference),     uiText(ui::kUpperAlarmRow),    uiText(ui::kLowerAlarmRow),
        uiText(ui::kCursorTimeRow), uiText(ui::kCursorValueRow)};
    return titles;
}

namespace {

const QString kDashes = QStringLiteral("-----");

// Integrated excess of samples from..to (1-based) over the reference value,
// in tenths × hours, before Int.
double excessSum(const ChannelRecord& c, const int16_t* samples, int from, int to) {
    double sum = 0;
    for (int i = std::max(from, 1); i <= to; ++i) {
        const int a = samples[i];
        if (a == kErrorSample) continue;
        if (c.referenceSide == 0 && a > c.referenceValue)
            sum += a - c.referenceValue;
        else if (c.referenceSide == 8 && a < c.referenceValue)
            sum += c.referenceValue - a;
    }
    return sum;
}

}  // namespace

GraphGridTexts fillGraphGrid(const AppContext& ctx) {
    GraphGridTexts t{};
    for (int r = 0; r < kGraphGridRows; ++r) t[size_t(r)][0] = graphGridTitles()[size_t(r)];
    const ChannelWindows windows = channelWindows(ctx.store, ctx.graph);
    for (int ch = 1; ch <= kChannels; ++ch) {
        const ChannelRecord& c = ctx.store.ch[size_t(ch)];
        if (c.inUse != 1) continue;
        auto cell = [&](int row) -> QString& { return t[size_t(row)][size_t(ch)]; };
        const bool humid = isHumidity(c.kind);
        const QString f = humid ? QStringLiteral("0") : QStringLiteral("0.0");
        int16_t card = c.cardNo, test = c.testNo;
        cell(0) = (humid ? QStringLiteral("%RH ") : QStringLiteral("℃ ")) + cardText(ctx, card) + QLatin1Char('\n') +
                  testText(ctx, test);

        const ChannelWindow& w = windows[size_t(ch)];
        const int16_t* samples = ctx.store.samples[size_t(ch)].data();
        const int n = w.firstSample == 0 ? w.lastSample : w.lastSample - w.firstSample + 1;
        int errors = 0, max = -1000, min = 2000;
        long long sum = 0;
        for (int i = std::max(w.firstSample, 1); w.lastSample > 0 && i <= w.lastSample; ++i) {
            const int v = samples[i];
            if (v == kErrorSample) {
                ++errors;
                continue;
            }
            sum += v;
            max = std::max(max, v);
            min = std::min(min, v);
        }
        cell(1) = QStringLiteral("%1/%2").arg(n).arg(errors);
        if (n != 0 && n - errors > 0) {
            const double avg = double(vb::cint(double(sum) / (n - errors)));
            cell(2) = vb::format(max / 10.0, f);
            cell(3) = vb::format(min / 10.0, f);
            cell(4) = vb::format(avg / 10.0, f);
            if (c.referenceValue == kNotSet) {
                cell(5) = kDashes;
            } else {
                const double hours = c.interval * 24;
                long long integrated;
                if (w.firstSample == 1 && w.lastSample == c.sampleCount) {
                    integrated = 10LL * c.integratedValue;
                } else {
                    // The logger's integrated value tells whether it counts the
                    // first sample; the window follows the same rule.
                    const double whole = vb::intPart(hours * excessSum(c, samples, 1, c.sampleCount));
                    const int start = std::abs(whole / 10 - c.integratedValue) < 1 ? w.firstSample : w.firstSample + 1;
                    integrated = (long long)vb::intPart(hours * excessSum(c, samples, start, w.lastSample));
                }
                cell(5) = vb::format(double(integrated / 10), QStringLiteral("0"));
            }
        } else {
            for (int r = 2; r <= 5; ++r) cell(r) = kDashes;
        }
        cell(6) = c.referenceValue == kNotSet
                      ? kDashes
                      : vb::format(c.referenceValue / 10.0, QStringLiteral("0")) + referenceSideText(c.referenceSide);
        const bool alarms = hasAlarmValues(c.kind);
        cell(7) = alarms ? vb::format(c.upperAlarm / 10.0, QStringLiteral("0")) : kDashes;
        cell(8) = alarms ? vb::format(c.lowerAlarm / 10.0, QStringLiteral("0")) : kDashes;
    }
    return t;
}

QString cursorReadout(const AppContext& ctx, const GraphGeometry& geo, double x, double y) {
    const GraphState& g = ctx.graph;
    if (!(x > geo.plotLeft && x < geo.plotRight() && y > geo.plotTop && y < geo.plotBottom())) return {};
    const int span = std::max(1, g.x().shown.high - g.x().shown.low);
    const double xScale = double(geo.plotWidth) / span;
    const double pos = (x - geo.plotLeft) / xScale;
    const double nearest = std::floor(pos + 0.5);  // half-way goes right
    if (std::abs(pos - nearest) * xScale > 150) return {};
    const int n = g.x().shown.low + int(nearest);

    int best = 0, bestValue = 0;
    double bestDistance = 0, bestY = 0;
    for (int ch = 1; ch <= kChannels; ++ch) {
        const ChannelRecord& c = ctx.store.ch[size_t(ch)];
        if (c.inUse != 1 || c.kind < 0 || c.kind > 2) continue;
        if (!(c.rowOffset < n && n <= c.rowOffset + c.sampleCount)) continue;
        const bool humid = isHumidity(c.kind);
        const int max = humid ? g.humid().shown.high : g.temp().shown.high;
        const int min = humid ? g.humid().shown.low : g.temp().shown.low;
        const int v = ctx.store.samples[size_t(ch)][size_t(n - c.rowOffset)];
        if (v < min * 10 || v > max * 10) continue;
        const double scale = double(geo.plotHeight) / std::max(1, (max - min) * 10);
        const double m = max * 10 - vb::intPart((y - geo.plotTop) / scale);
        const double distance = std::abs(v - m);
        if (best == 0 || distance < bestDistance) {
            best = ch;
            bestValue = v;
            bestDistance = distance;
            bestY = (max * 10 - v) * scale + geo.plotTop;
        }
    }
    if (best == 0 || std::abs(bestY - y) > 150) return {};
    const bool humid = isHumidity(ctx.store.ch[size_t(best)].kind);
    const QString value = humid ? vb::format(bestValue / 10.0, QStringLiteral("0")) + QStringLiteral("%RH")
                                : QString::number(bestValue / 10.0) + QStringLiteral("℃");
    return vb::formatDate(dataNumberTime(ctx.store, n), QStringLiteral("yy-mm-dd hh:nn:ss")) + QLatin1Char(' ') + value;
}

}  // namespace quillet
