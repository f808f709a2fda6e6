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

// "NAME: <the error's text>（エラーN）": the error box's lines joined into
// one, N the number the box shows (a number of our own, such as a name too
// long, is shown as the listed error it explains, with its line). For a
// name that is no file: a serial device.
QString errorSentence(const QString& name, int errorNo);

// errorSentence() of the file, then what fileStateText() says.
QString fileErrorSentence(const QString& path, int errorNo);

}  // namespace quillet
