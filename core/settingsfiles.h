// The three settings files (qlet7.dat, qlet7time.dat,
// qlot7debug.dat), written as comma-separated records in CP932 with CR LF.
#pragma once

#include "core/records.h"
#include "core/savefile.h"

#include <QString>

namespace quillet {

// Loads never fail: a missing file gives the defaults; a damaged one gives
// the defaults for every value that could not be read. A save that fails
// says why (settings that cannot be encoded: Writing).
void loadGeneralSettings(GeneralSettings& g, const QString& path);
Saved saveGeneralSettings(const GeneralSettings& g, const QString& path);
void loadTimingSettings(TimingSettings& t, const QString& path);
Saved saveTimingSettings(const TimingSettings& t, const QString& path);
void loadDebugSettings(DebugSettings& d, const QString& path);
Saved saveDebugSettings(const DebugSettings& d, const QString& path);

// The same from the file's bytes.
void parseGeneralSettings(GeneralSettings& g, const QByteArray& bytes);
void parseTimingSettings(TimingSettings& t, const QByteArray& bytes);
void parseDebugSettings(DebugSettings& d, const QByteArray& bytes);

// The file contents, byte for byte (used by the savers and the tests).
QByteArray generalSettingsBytes(const GeneralSettings& g);
QByteArray timingSettingsBytes(const TimingSettings& t);
QByteArray debugSettingsBytes(const DebugSettings& d);

// Setting characters are cut to this many bytes (CP932) when read.
constexpr int kMaxSettingCharBytes = 64;

}  // namespace quillet
