// The analysis settings file (qlet7analysis.dat beside the other settings
// files): the ΔH/R of the mean kinetic temperature, CP932 with CR LF like the
// others. A missing or damaged file gives the default.
#pragma once

#include "core/records.h"
#include "core/savefile.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace quillet {

QString analysisSettingsFile(const Folders& folders);

// A ΔH/R a user may choose (kMinDeltaHOverR..kMaxDeltaHOverR kelvin).
bool validDeltaHOverR(double kelvin);
// ΔH/R from a text such as "10000" or "8314.4"; nothing when it is no
// number or out of range.
std::optional<double> parseDeltaHOverR(const QString& text);

QByteArray analysisSettingsBytes(double deltaHOverR);
double parseAnalysisSettings(const QByteArray& bytes);
double loadDeltaHOverR(const QString& path);
// Through the atomic save; a refused value is a write error (Writing).
Saved saveDeltaHOverR(double deltaHOverR, const QString& path);

}  // namespace quillet
