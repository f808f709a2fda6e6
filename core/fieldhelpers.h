// Small shared helpers of the displays and input fields.
#pragma once

#include <QString>

#include <cstdint>

class QKeyEvent;

namespace quillet {

struct AppContext;

// Card and test numbers through the setting characters; numbers of 256 and
// more are first set to 255 in the caller's variable.
QString cardText(const AppContext& ctx, int16_t& cardNo);
QString testText(const AppContext& ctx, int16_t& testNo);

// The side letter of a reference value: the character Int(side / 2 + 72), so
// 0 gives "H" and 8 gives "L". A side whose code is no printable character
// (a damaged file may hold any 16-bit side) shows nothing.
QString referenceSideText(int side);

// Keystroke filter of the input fields: the key, or 0 to discard it.
// Keys are the codes of the system code page: ASCII, 8 for Backspace, and
// 0xA1..0xDF for the half-width katakana.
int filterKey(int key, int mode);
// The key code a typed character has: ASCII as is, half-width katakana
// U+FF61..U+FF9F as 0xA1..0xDF; any other character (kanji, full-width
// forms, accented letters) as a code above 255, which only the modes that
// let every other character through (2 and 4) keep.
int keyCodeOf(char16_t c);
// The characters of a typed (Unicode) text that the filter keeps.
QString filterKeyText(const QString& text, int mode);
// Whether a key press may reach a field filtered in the given mode. Keys
// without text (arrows, Delete, Home, function keys) and Tab, Enter and
// Escape are not typed characters and always pass; Backspace counts as 8.
bool filterKeyEvent(const QKeyEvent& event, int mode);

// Waits ms milliseconds on the context's clock, processing events.
void pauseMs(AppContext& ctx, int ms);

// Opens the help file at the given context.
bool openHelp(AppContext& ctx, int context);

}  // namespace quillet
