// A run-time error about a file, for a terminal or a log: one Japanese
// sentence that names the file, says what is wrong in words and keeps the
// error's number, so that "エラー53" never stands alone. quillet-cli's
// commands report their file errors through it.
#pragma once

#include <QString>

namespace quillet {

// What the file's own state says beyond the catalogue's text (a symbolic
// link that leads back to itself, no regular file, read-only, missing);
// empty when the catalogue's text says enough.
QString fileStateText(const QString& path, int errorNo);

// "PATH: <the error's text>（エラーN）", then what fileStateText() says.
// The text's lines are joined into one.
QString fileErrorSentence(const QString& path, int errorNo);

}  // namespace quillet
