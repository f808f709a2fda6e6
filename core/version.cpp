#include "core/version.h"
#include "core/uitexts.h"

namespace quillet {

QString versionText(int major, int minor, int revision) {
    return QStringLiteral("Ver%1.%2.%3").arg(major).arg(minor, 2, 10, QLatin1Char('0')).arg(revision);
}

QString programVersionText() {
    return versionText(QUILLET_VERSION_MAJOR, QUILLET_VERSION_MINOR, QUILLET_VERSION_PATCH);
}

QString versionLine() { return uiText(ui::kProgramName) + programVersionText(); }

}  // namespace quillet
