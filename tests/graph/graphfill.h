// Channels for the graph tests: filled as a read-out does, with the logger's
// highest and lowest value, and the time axis rebuilt.
#pragma once

#include "core/channelfill.h"
#include "core/store.h"

#include <QGuiApplication>

#include <algorithm>

namespace quillet::graphtest {

using fakes::ChannelData;

inline void ensureGuiApplication() {
    if (QCoreApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "tests_graph";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
}

// Fills channel ch; maxValue/minValue from its samples (errors left out).
inline void fill(AppContext& ctx, int ch, const ChannelData& want) {
    fakes::fillChannel(ctx, ch, want);
    ChannelRecord& c = ctx.store.ch[size_t(ch)];
    int max = -1000, min = 2000;
    for (int16_t v : want.samples) {
        if (v == kErrorSample) continue;
        max = std::max<int>(max, v);
        min = std::min<int>(min, v);
    }
    c.maxValue = int16_t(max);
    c.minValue = int16_t(min);
    rebuildTimeAxis(ctx.store);
}

inline ChannelData channelData(int kind, std::vector<int16_t> samples, int startRow = 1, int intervalSeconds = 600) {
    ChannelData s;
    s.kind = kind;
    s.samples = std::move(samples);
    s.intervalSeconds = intervalSeconds;
    s.start = s.start.addSecs(qint64(startRow - 1) * intervalSeconds);
    return s;
}

}  // namespace quillet::graphtest
