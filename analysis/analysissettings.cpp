#include "analysis/analysissettings.h"

#include "analysis/figures.h"
#include "core/cp932.h"
#include "core/savefile.h"

#include <QFile>

namespace quillet {

QString analysisSettingsFile(const Folders& folders) {
    QString folder = folders.settingsFolder;
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return folder + QStringLiteral("qlet7analysis.dat");
}

bool validDeltaHOverR(double kelvin) { return kelvin >= kMinDeltaHOverR && kelvin <= kMaxDeltaHOverR; }

std::optional<double> parseDeltaHOverR(const QString& text) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !validDeltaHOverR(v)) return std::nullopt;
    return v;
}

QByteArray analysisSettingsBytes(double deltaHOverR) {
    bool ok = true;
    const QByteArray note = cp932::encode(QStringLiteral("\"ΔH/R [K],10000\""), &ok);
    if (!ok) return {};
    return QByteArray::number(deltaHOverR, 'g', 10) + ',' + note + "\r\n";
}

double parseAnalysisSettings(const QByteArray& bytes) {
    const QByteArray first = bytes.left(bytes.indexOf('\n') < 0 ? bytes.size() : bytes.indexOf('\n'));
    const QByteArray field = first.left(first.indexOf(',') < 0 ? first.size() : first.indexOf(','));
    return parseDeltaHOverR(QString::fromLatin1(field)).value_or(kDefaultDeltaHOverR);
}

double loadDeltaHOverR(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return kDefaultDeltaHOverR;
    return parseAnalysisSettings(f.read(4096));
}

Saved saveDeltaHOverR(double deltaHOverR, const QString& path) {
    const QByteArray bytes = validDeltaHOverR(deltaHOverR) ? analysisSettingsBytes(deltaHOverR) : QByteArray();
    return Saved{bytes.isEmpty() ? SaveError::Writing : writeFileAtomically(path, bytes)};
}

}  // namespace quillet
