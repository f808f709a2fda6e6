// The one codec of every text file: Windows-31J (CP932), as the settings
// files and exports are read by Windows programs. "～" U+FF5E is 81 60.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace quillet::cp932 {

// Characters CP932 cannot hold become "?". When the conversion itself
// fails (no converter) the result is empty and *ok, when given, is false:
// a writer must then report a write error, never write something else.
QByteArray encode(const QString& text, bool* ok = nullptr);
// Nothing when the bytes are not valid CP932.
std::optional<QString> decode(QByteArrayView bytes);

// The ICU converter used ("windows-31j"). Tests name one that does not
// exist to make conversions fail; returns the previous name.
const char* setConverterName(const char* name);

}  // namespace quillet::cp932
