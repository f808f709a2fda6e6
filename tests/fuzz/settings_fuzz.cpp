// libFuzzer target: any bytes as each of the three settings files. Loading
// never fails, and what a load gives is saved and loaded again unchanged
// (the first load may drop what cannot be kept; a saved file loads whole).
#include "core/filemove.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

const QString& scratchFile() {
    static QTemporaryDir dir;
    static const QString path = dir.path() + QStringLiteral("/settings.dat");
    return path;
}

void put(const QByteArray& bytes) {
    QFile f(scratchFile());
    check(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    check(f.write(bytes) == bytes.size());
}

template <typename T, typename Load, typename Bytes>
void roundTrip(const QByteArray& input, Load load, Bytes bytes) {
    T first;
    put(input);
    load(first, scratchFile());
    const QByteArray once = bytes(first);
    T second;
    put(once);
    load(second, scratchFile());
    check(bytes(second) == once);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quillet;
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    roundTrip<GeneralSettings>(input, loadGeneralSettings, generalSettingsBytes);
    roundTrip<TimingSettings>(input, loadTimingSettings, timingSettingsBytes);
    roundTrip<DebugSettings>(input, loadDebugSettings, debugSettingsBytes);

    GeneralSettings g;
    put(input);
    loadGeneralSettings(g, scratchFile());
    check(g.comPort >= 1 && g.comPort <= 16);
    for (const QString& s : g.settingCharCard) check(s.size() <= kMaxSettingCharBytes);
    return 0;
}
