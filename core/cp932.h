// The one codec of every text file: Windows-31J (CP932), as the settings
// files and exports are read by Windows programs. "～" U+FF5E is 81 60.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace quillet::cp932 {

// Characters CP932 cannot hold become "?".
QByteArray encode(const QString& text);
// Nothing when the bytes are not valid CP932.
std::optional<QString> decode(const QByteArray& bytes);

}  // namespace quillet::cp932
