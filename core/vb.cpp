#include "core/vb.h"

#include <QHash>
#include <QList>
#include <QRegularExpression>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace quillet::vb {
namespace {

// Day 0 of the date values.
const QDate kEpoch(1899, 12, 30);

// Rounds half away from zero at the given number of decimals. The tiny nudge
// keeps values like 2.675 (stored as 2.67499...) rounding as typed.
double roundAway(double v, int decimals) {
    static constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    const double p = decimals < 10 ? kPowers[decimals] : std::pow(10.0, decimals);
    const double x = std::fabs(v) * p;
    const double r = std::floor(x + 0.5 + 1e-9);
    return std::copysign(r / p, v);
}

struct DateParts {
    int year, month, day, hour, minute, second;
};

DateParts split(double dateValue) {
    // To the nearest second, as the displays show it.
    long long totalSec = std::llround(dateValue * 86400.0);
    long long days = totalSec / 86400;
    long long sec = totalSec % 86400;
    if (sec < 0) {
        sec += 86400;
        days -= 1;
    }
    const QDate d = kEpoch.addDays(days);
    return {d.year(), d.month(), d.day(), int(sec / 3600), int(sec / 60 % 60), int(sec % 60)};
}

QString two(int v) { return QString::number(v).rightJustified(2, QLatin1Char('0')).right(2); }

}  // namespace

long long cint(double v) { return std::llrint(v); }  // the default mode rounds halves to even

double intPart(double v) { return std::floor(v); }

double dateSerial(int year, int month, int day) { return double(kEpoch.daysTo(QDate(year, month, day))); }

double timeSerial(int hour, int minute, int second) { return (hour * 3600.0 + minute * 60.0 + second) / 86400.0; }

double fromDateTime(const QDateTime& t) {
    const QDate d = t.date();
    const QTime tm = t.time();
    return dateSerial(d.year(), d.month(), d.day()) + timeSerial(tm.hour(), tm.minute(), tm.second());
}

QDateTime toDateTime(double dateValue) {
    const DateParts p = split(dateValue);
    return QDateTime(QDate(p.year, p.month, p.day), QTime(p.hour, p.minute, p.second));
}

namespace {

// A number pattern taken apart once: literal text around one numeric
// section of "0", "#" and ".".
struct NumberPattern {
    bool numeric = false;  // false: the pattern is all literal
    QString prefix, suffix;
    bool dot = false;
    int decimals = 0;
    int minIntDigits = 0;
};

NumberPattern compileNumber(const QString& pattern) {
    NumberPattern n;
    auto isNumeric = [](QChar c) { return c == QLatin1Char('0') || c == QLatin1Char('#') || c == QLatin1Char('.'); };
    int first = -1, last = -1;
    for (int i = 0; i < pattern.size(); ++i) {
        if (!isNumeric(pattern[i])) continue;
        if (first < 0) first = i;
        last = i;
    }
    if (first < 0) return n;
    n.numeric = true;
    n.prefix = pattern.left(first);
    n.suffix = pattern.mid(last + 1);
    const QStringView section = QStringView(pattern).mid(first, last - first + 1);
    const qsizetype dot = section.indexOf(QLatin1Char('.'));
    n.dot = dot >= 0;
    const QStringView intPattern = n.dot ? section.left(dot) : section;
    n.decimals = n.dot ? int(section.size() - dot - 1) : 0;
    n.minIntDigits = int(intPattern.count(QLatin1Char('0')));
    return n;
}

// Patterns are compiled on first use and kept; the program uses a few dozen.
template <typename Compiled, typename Compile>
const Compiled& cached(const QString& pattern, Compile compile) {
    thread_local QHash<QString, Compiled> cache;
    auto it = cache.constFind(pattern);
    if (it != cache.constEnd()) return *it;
    if (cache.size() >= 256) cache.clear();  // generated patterns must not grow it forever
    return *cache.insert(pattern, compile(pattern));
}

enum class DateField { Literal, Year4, Year2, Month, Day, Hour, Minute, Second };
struct DateToken {
    DateField field;
    QChar literal;
};
using DatePattern = QList<DateToken>;

DatePattern compileDate(const QString& pattern) {
    static const struct {
        const char16_t* text;
        int size;
        DateField field;
    } fields[] = {
        {u"yyyy", 4, DateField::Year4}, {u"yy", 2, DateField::Year2}, {u"mm", 2, DateField::Month},
        {u"dd", 2, DateField::Day},     {u"hh", 2, DateField::Hour},  {u"nn", 2, DateField::Minute},
        {u"ss", 2, DateField::Second},
    };
    DatePattern out;
    for (int i = 0; i < pattern.size();) {
        const QStringView rest = QStringView(pattern).mid(i);
        bool matched = false;
        for (const auto& f : fields) {
            if (!rest.startsWith(QStringView(f.text, f.size))) continue;
            out.append({f.field, QChar()});
            i += f.size;
            matched = true;
            break;
        }
        if (!matched) out.append({DateField::Literal, pattern[i++]});
    }
    return out;
}

}  // namespace

QString format(double value, const QString& pattern) {
    const NumberPattern& n = cached<NumberPattern>(pattern, compileNumber);
    if (!n.numeric) return pattern;

    const double rounded = roundAway(value, n.decimals);
    const bool negative = rounded < 0;
    const QString digits = QString::number(std::fabs(rounded), 'f', n.decimals);
    const qsizetype point = digits.indexOf(QLatin1Char('.'));
    QString intDigits = point < 0 ? digits : digits.left(point);
    if (intDigits == QLatin1String("0") && n.minIntDigits == 0) intDigits.clear();
    if (intDigits.size() < n.minIntDigits) intDigits = intDigits.rightJustified(n.minIntDigits, QLatin1Char('0'));

    QString out = n.prefix;
    if (negative) out += QLatin1Char('-');
    out += intDigits;
    if (n.dot) {
        out += QLatin1Char('.');
        if (point >= 0) out += QStringView(digits).mid(point + 1);
    }
    out += n.suffix;
    return out;
}

QString formatText(const QString& text, const QString& pattern) {
    // Each "@" takes one character, filled from the right; missing ones are
    // blanks. A longer text is kept whole (in place of every run of "@").
    const int places = int(pattern.count(QLatin1Char('@')));
    QString out;
    if (text.size() >= places) {
        for (int i = 0; i < pattern.size(); ++i) {
            if (pattern[i] != QLatin1Char('@')) {
                out += pattern[i];
                continue;
            }
            out += text;
            while (i + 1 < pattern.size() && pattern[i + 1] == QLatin1Char('@')) ++i;
        }
        return out;
    }
    const QString padded = text.rightJustified(places, QLatin1Char(' '));
    int k = 0;
    for (QChar c : pattern) out += (c == QLatin1Char('@')) ? padded[k++] : c;
    return out;
}

QString formatDate(double dateValue, const QString& pattern) {
    const DatePattern& tokens = cached<DatePattern>(pattern, compileDate);
    const DateParts p = split(dateValue);
    QString out;
    out.reserve(pattern.size() + 8);
    for (const DateToken& t : tokens) {
        switch (t.field) {
        case DateField::Literal: out += t.literal; break;
        case DateField::Year4: out += QString::number(p.year).rightJustified(4, QLatin1Char('0')); break;
        case DateField::Year2: out += two(p.year % 100); break;
        case DateField::Month: out += two(p.month); break;
        case DateField::Day: out += two(p.day); break;
        case DateField::Hour: out += two(p.hour); break;
        case DateField::Minute: out += two(p.minute); break;
        case DateField::Second: out += two(p.second); break;
        }
    }
    return out;
}

// ---- fast paths

namespace {

// Day numbers of the date values past which the fast paths hand over to the
// general functions (year 1 to 9999; QDate decides the rest).
constexpr double kFirstFastDay = -693593;  // 0001-01-01
constexpr double kLastFastDay = 2958465;   // 9999-12-31

// A date value split without QDate: the civil calendar from a day count
// (proleptic Gregorian, as QDate counts in these years).
bool splitFast(double dateValue, DateParts& p) {
    if (!(dateValue >= kFirstFastDay && dateValue < kLastFastDay + 1)) return false;
    const long long totalSec = std::llround(dateValue * 86400.0);
    long long days = totalSec / 86400;
    long long sec = totalSec % 86400;
    if (sec < 0) {
        sec += 86400;
        days -= 1;
    }
    // Days from 0000-03-01, so that a leap day ends its year.
    const long long z = days - 25569 + 719468;  // 1899-12-30 is 25569 days before 1970-01-01
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    p.day = int(doy - (153 * mp + 2) / 5 + 1);
    p.month = int(mp < 10 ? mp + 3 : mp - 9);
    p.year = int(yoe + era * 400 + (p.month <= 2 ? 1 : 0));
    p.hour = int(sec / 3600);
    p.minute = int(sec / 60 % 60);
    p.second = int(sec % 60);
    return p.year >= 1 && p.year <= 9999;
}

char* put2(char* out, int v) {
    out[0] = char('0' + v / 10 % 10);
    out[1] = char('0' + v % 10);
    return out + 2;
}

const QString& layoutPattern(DateTimeLayout layout) {
    static const QString patterns[] = {QStringLiteral("yy-mm-dd hh:nn:ss"), QStringLiteral("yy/mm/dd hh:nn:ss"),
                                       QStringLiteral("yyyy-mm-dd hh:nn:ss")};
    return patterns[int(layout)];
}

}  // namespace

char* putInteger(char* out, long long v) {
    return std::to_chars(out, out + 20, v).ptr;  // 20 characters hold any long long
}

char* putTenths(char* out, int tenths, int decimals) {
    // Rounded half away from zero, as the general format does; no "-" for
    // what rounds to zero.
    const long long magnitude = tenths < 0 ? -static_cast<long long>(tenths) : tenths;
    if (decimals > 0) {
        if (tenths < 0) *out++ = '-';
        out = putInteger(out, magnitude / 10);
        *out++ = '.';
        *out++ = char('0' + magnitude % 10);
        return out;
    }
    const long long whole = (magnitude + 5) / 10;
    if (tenths < 0 && whole != 0) *out++ = '-';
    return putInteger(out, whole);
}

char* putDateTime(char* out, double dateValue, DateTimeLayout layout) {
    DateParts p;
    if (!splitFast(dateValue, p)) {
        const QByteArray general = formatDate(dateValue, layoutPattern(layout)).toLatin1();
        const int n = std::min(int(general.size()), kMaxDateTimeChars);
        std::memcpy(out, general.constData(), size_t(n));
        return out + n;
    }
    const char sep = layout == DateTimeLayout::ShortSlash ? '/' : '-';
    if (layout == DateTimeLayout::Long) {
        out = put2(out, p.year / 100);
        out = put2(out, p.year % 100);
    } else {
        out = put2(out, p.year % 100);
    }
    *out++ = sep;
    out = put2(out, p.month);
    *out++ = sep;
    out = put2(out, p.day);
    *out++ = ' ';
    out = put2(out, p.hour);
    *out++ = ':';
    out = put2(out, p.minute);
    *out++ = ':';
    return put2(out, p.second);
}

QString formatTenths(int tenths, int decimals) {
    char buf[kMaxTenthsChars];
    return QString::fromLatin1(buf, putTenths(buf, tenths, decimals) - buf);
}

QString formatRowNumber(int n) {
    char buf[24];
    const int len = int(putInteger(buf, n) - buf);
    QString out(std::max(len, 5), QLatin1Char(' '));
    QChar* d = out.data() + (out.size() - len);
    for (int i = 0; i < len; ++i) d[i] = QLatin1Char(buf[i]);
    return out;
}

QString formatDateTime(double dateValue, DateTimeLayout layout) {
    char buf[kMaxDateTimeChars];
    return QString::fromLatin1(buf, putDateTime(buf, dateValue, layout) - buf);
}

QString formatDate(const QDateTime& t, const QString& pattern) { return formatDate(fromDateTime(t), pattern); }

double val(const QString& text) {
    static const QRegularExpression number(QStringLiteral("^[ \\t]*([+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?)"));
    const auto m = number.match(text);
    if (!m.hasMatch()) return 0;
    return m.captured(1).toDouble();
}

std::optional<double> parseDateTime(const QString& text) {
    static const QRegularExpression re(
        QStringLiteral("^\\s*(\\d{4})[-/](\\d{1,2})[-/](\\d{1,2})\\s+(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?\\s*$"));
    const auto m = re.match(text);
    if (!m.hasMatch()) return std::nullopt;
    const QDate d(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    const int h = m.captured(4).toInt();
    const int n = m.captured(5).toInt();
    const int s = m.captured(6).isEmpty() ? 0 : m.captured(6).toInt();
    if (!d.isValid() || h > 23 || n > 59 || s > 59) return std::nullopt;
    return dateSerial(d.year(), d.month(), d.day()) + timeSerial(h, n, s);
}

}  // namespace quillet::vb
