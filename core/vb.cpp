#include "core/vb.h"

#include <QRegularExpression>

#include <cmath>

namespace quillet::vb {
namespace {

// Day 0 of the date values.
const QDate kEpoch(1899, 12, 30);

// Rounds half away from zero at the given number of decimals. The tiny nudge
// keeps values like 2.675 (stored as 2.67499...) rounding as typed.
double roundAway(double v, int decimals) {
    const double p = std::pow(10.0, decimals);
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

double dateSerial(int year, int month, int day) {
    return double(kEpoch.daysTo(QDate(year, month, day)));
}

double timeSerial(int hour, int minute, int second) {
    return (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
}

double fromDateTime(const QDateTime& t) {
    const QDate d = t.date();
    const QTime tm = t.time();
    return dateSerial(d.year(), d.month(), d.day()) + timeSerial(tm.hour(), tm.minute(), tm.second());
}

QDateTime toDateTime(double dateValue) {
    const DateParts p = split(dateValue);
    return QDateTime(QDate(p.year, p.month, p.day), QTime(p.hour, p.minute, p.second));
}

QString format(double value, const QString& pattern) {
    // The numeric section runs from the first to the last of "0", "#", ".".
    static const QRegularExpression numeric(QStringLiteral("[0#.]"));
    const int first = pattern.indexOf(numeric);
    if (first < 0) return pattern;
    int last = first;
    for (int i = first; i < pattern.size(); ++i)
        if (pattern[i] == QLatin1Char('0') || pattern[i] == QLatin1Char('#') || pattern[i] == QLatin1Char('.'))
            last = i;
    const QString prefix = pattern.left(first);
    const QString suffix = pattern.mid(last + 1);
    const QString section = pattern.mid(first, last - first + 1);

    const int dot = section.indexOf(QLatin1Char('.'));
    const QString intSpec = dot < 0 ? section : section.left(dot);
    const QString fracSpec = dot < 0 ? QString() : section.mid(dot + 1);
    const int decimals = int(fracSpec.size());
    const int minIntDigits = int(intSpec.count(QLatin1Char('0')));

    const double rounded = roundAway(value, decimals);
    const bool negative = rounded < 0;
    QString digits = QString::number(std::fabs(rounded), 'f', decimals);
    QString intDigits = dot < 0 ? digits : digits.left(digits.indexOf(QLatin1Char('.')));
    QString fracDigits = decimals > 0 ? digits.mid(digits.indexOf(QLatin1Char('.')) + 1) : QString();

    if (intDigits == QLatin1String("0") && minIntDigits == 0) intDigits.clear();
    if (intDigits.size() < minIntDigits) intDigits = intDigits.rightJustified(minIntDigits, QLatin1Char('0'));

    QString out = intDigits;
    if (dot >= 0) out += QLatin1Char('.') + fracDigits;
    if (negative) out.prepend(QLatin1Char('-'));
    return prefix + out + suffix;
}

QString formatText(const QString& text, const QString& pattern) {
    // Each "@" takes one character, filled from the right; missing ones are
    // blanks. A longer text is kept whole.
    const int places = int(pattern.count(QLatin1Char('@')));
    if (text.size() >= places) {
        QString out = pattern;
        out.replace(QRegularExpression(QStringLiteral("@+")), text);
        return out;
    }
    const QString padded = text.rightJustified(places, QLatin1Char(' '));
    QString out;
    int k = 0;
    for (QChar c : pattern) out += (c == QLatin1Char('@')) ? padded[k++] : c;
    return out;
}

QString formatDate(double dateValue, const QString& pattern) {
    const DateParts p = split(dateValue);
    QString out;
    for (int i = 0; i < pattern.size();) {
        const QStringView rest = QStringView(pattern).mid(i);
        if (rest.startsWith(u"yyyy")) {
            out += QString::number(p.year).rightJustified(4, QLatin1Char('0'));
            i += 4;
        } else if (rest.startsWith(u"yy")) {
            out += two(p.year % 100);
            i += 2;
        } else if (rest.startsWith(u"mm")) {
            out += two(p.month);
            i += 2;
        } else if (rest.startsWith(u"dd")) {
            out += two(p.day);
            i += 2;
        } else if (rest.startsWith(u"hh")) {
            out += two(p.hour);
            i += 2;
        } else if (rest.startsWith(u"nn")) {
            out += two(p.minute);
            i += 2;
        } else if (rest.startsWith(u"ss")) {
            out += two(p.second);
            i += 2;
        } else {
            out += pattern[i];
            ++i;
        }
    }
    return out;
}

QString formatDate(const QDateTime& t, const QString& pattern) {
    return formatDate(fromDateTime(t), pattern);
}

double val(const QString& text) {
    static const QRegularExpression number(QStringLiteral("^[ \\t]*([+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?)"));
    const auto m = number.match(text);
    if (!m.hasMatch()) return 0;
    return m.captured(1).toDouble();
}

std::optional<double> parseDateTime(const QString& text) {
    static const QRegularExpression re(QStringLiteral(
        "^\\s*(\\d{4})[-/](\\d{1,2})[-/](\\d{1,2})\\s+(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?\\s*$"));
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
