// The program's version, as the version window, `quillet --version` and
// `quillet-cli --version` show it.
#pragma once

#include <QString>

namespace quillet {

// "Ver" + major + "." + minor as "00" + "." + revision: Ver8.00.0.
QString versionText(int major, int minor, int revision);
// The program's own version.
QString programVersionText();
// The line of --version: "クイレット解析ソフト Ver8.00.0".
QString versionLine();

}  // namespace quillet
