// libFuzzer target: any bytes as each of the three settings files (parsed
// from memory, as the loaders parse what they read). Loading never fails, and what a load gives is saved and loaded
// again unchanged (the first load may drop what cannot be kept; a saved file loads whole).
#include "core/settingsfiles.h"

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

// Returns what the first load gave.
template <typename T, typename Parse, typename Bytes>
T roundTrip(const QByteArray& input, Parse parse, Bytes bytes) {
    T first;
    parse(first, input);
    const QByteArray once = bytes(first);
    T second;
    parse(second, once);
    check(bytes(second) == once);
    return first;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quillet;
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const GeneralSettings g = roundTrip<GeneralSettings>(input, parseGeneralSettings, generalSettingsBytes);
    roundTrip<TimingSettings>(input, parseTimingSettings, timingSettingsBytes);
    roundTrip<DebugSettings>(input, parseDebugSettings, debugSettingsBytes);
    check(g.comPort >= 1 && g.comPort <= 16);
    for (const QString& s : g.settingCharCard) check(s.size() <= kMaxSettingCharBytes);
    return 0;
}
