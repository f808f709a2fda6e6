// The numeric and date conventions the whole program relies on: date values
// (days since 1899-12-30, the fraction is the time of day), rounding, the
// Format patterns of the displays and exports, Val, and typed date-times.
#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace quillet::vb {

// Conversion to an integer: nearest, halves to even (2.5 -> 2, 3.5 -> 4).
long long cint(double v);
// Int: the largest integer not above v (floor).
double intPart(double v);

// Date values.
double dateSerial(int year, int month, int day);
double timeSerial(int hour, int minute, int second);
double fromDateTime(const QDateTime& t);  // local wall-clock fields
QDateTime toDateTime(double dateValue);   // to the nearest second
constexpr double kOneMinute = 1.0 / 1440.0;
constexpr double kOneHour = 1.0 / 24.0;
constexpr double kOneSecond = 1.0 / 86400.0;

// Number patterns: literal blanks around a numeric section of "0" (a digit),
// "#" (an optional digit) and "." ("0", "0.0", "000", "  0.0  ", " #### ",
// "   0  ", ...). Rounds halves away from zero.
QString format(double value, const QString& pattern);
// "@" patterns for text ("@@@@@": right-aligned in five characters).
QString formatText(const QString& text, const QString& pattern);
// Date patterns with yyyy, yy, mm (month), dd, hh, nn (minute), ss; every
// other character is literal ("yy-mm-dd", "yyyy-mm-dd hh:nn:ss", "yy年mm月",
// "dd日hh時nn分", " hh:nn:ss", ...).
QString formatDate(double dateValue, const QString& pattern);
QString formatDate(const QDateTime& t, const QString& pattern);

// Fast paths of the patterns shown and exported millions of times. Each gives
// exactly the general function's text, without parsing a pattern or building
// a QDateTime.
//
// A value stored in tenths, divided by 10, in "0.0" (decimals 1) or "0"
// (decimals 0).
QString formatTenths(int tenths, int decimals);
// A row number in "@@@@@" (right-aligned in five characters).
QString formatRowNumber(int n);
enum class DateTimeLayout {
    ShortDash,   // "yy-mm-dd hh:nn:ss"
    ShortSlash,  // "yy/mm/dd hh:nn:ss"
    Long,        // "yyyy-mm-dd hh:nn:ss"
};
QString formatDateTime(double dateValue, DateTimeLayout layout);

// The same as ASCII bytes for writers that build files: each writes at
// out and returns the end of what it wrote.
constexpr int kMaxTenthsChars = 12;    // "-214748364.8"
constexpr int kMaxDateTimeChars = 32;  // far-off years need more than 19
char* putTenths(char* out, int tenths, int decimals);
char* putInteger(char* out, long long v);  // as QString::number
char* putDateTime(char* out, double dateValue, DateTimeLayout layout);

// Val: the leading number of a text (blanks skipped), 0 when there is none.
double val(const QString& text);

// A typed date and time: "yyyy-mm-dd hh:nn" or "yyyy-mm-dd hh:nn:ss" (also
// with "/" between the date parts, one- or two-digit fields). Nothing for
// text that no calendar date and time matches (month 13, garbage).
std::optional<double> parseDateTime(const QString& text);

}  // namespace quillet::vb
