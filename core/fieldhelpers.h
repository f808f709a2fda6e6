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

// What an input field lets through: digits (and Backspace); digits and "-";
// the setting characters (letters, digits, "_" and the half-width katakana,
// every other character beyond them too, but none of the other ASCII
// signs); digits, ":", "-" and space for a date and time; anything.
enum class KeyFilter : int { Digits = 0, SignedDigits = 1, Characters = 2, DateTime = 3, Any = 4 };

// Keystroke filter of the input fields: the key, or 0 to discard it.
// Keys are the codes of the system code page: ASCII, 8 for Backspace, and
// 0xA1..0xDF for the half-width katakana.
int filterKey(int key, KeyFilter filter);
// The key code a typed character has: ASCII as is, half-width katakana
// U+FF61..U+FF9F as 0xA1..0xDF; any other character (kanji, full-width
// forms, accented letters) as a code above 255, which only the filters that
// let every other character through (Characters and Any) keep.
int keyCodeOf(char16_t c);
// The characters of a typed (Unicode) text that the filter keeps.
QString filterKeyText(const QString& text, KeyFilter filter);
// Whether a key press may reach a field with the given filter. Keys
// without text (arrows, Delete, Home, function keys) and Tab, Enter and
// Escape are not typed characters and always pass; Backspace counts as 8.
bool filterKeyEvent(const QKeyEvent& event, KeyFilter filter);

// Opens the help file at the given context.
bool openHelp(AppContext& ctx, int context);

}  // namespace quillet
