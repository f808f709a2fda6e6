#include "core/settingsfiles.h"

#include "core/savefile.h"

#include "core/cp932.h"
#include "core/uitexts.h"

#include <QFile>
#include <QRegularExpression>

#include <limits>
#include <optional>

namespace quillet {
namespace {

const QByteArray kCrLf = "\r\n";

// One comma-separated record: strings in double quotes (commas inside stay),
// other fields up to the next comma, blanks around them ignored.
QStringList splitRecord(const QString& line) {
    QStringList fields;
    int i = 0;
    const int n = int(line.size());
    while (i <= n) {
        while (i < n && line[i] == QLatin1Char(' ')) ++i;
        QString field;
        if (i < n && line[i] == QLatin1Char('"')) {
            const int close = int(line.indexOf(QLatin1Char('"'), i + 1));
            const int end = close < 0 ? n : close;
            field = line.mid(i + 1, end - i - 1);
            i = close < 0 ? n : close + 1;
            const int comma = int(line.indexOf(QLatin1Char(','), i));
            i = comma < 0 ? n + 1 : comma + 1;
        } else {
            const int comma = int(line.indexOf(QLatin1Char(','), i));
            const int end = comma < 0 ? n : comma;
            field = line.mid(i, end - i).trimmed();
            i = comma < 0 ? n + 1 : comma + 1;
        }
        fields << field;
    }
    return fields;
}

// The file's bytes; nothing when the file cannot be read.
// Only a regular file is read: a FIFO or a device in its place counts as
// missing (defaults), never as something to wait on.
std::optional<QByteArray> readSettingsFile(const QString& path) {
    QByteArray bytes;
    // Settings files are a few kilobytes; anything far larger is not ours.
    if (readRegularFile(path, 1 << 20, bytes) != SaveError::None) return std::nullopt;
    return bytes;
}

// The first `count` lines (the ones the file has), each decoded on its own
// so that one bad line costs only its own values.
std::vector<std::optional<QString>> readLines(const QByteArray& all, int count) {
    std::vector<std::optional<QString>> lines;
    qsizetype from = 0;
    while (int(lines.size()) < count && from <= all.size()) {
        qsizetype end = all.indexOf('\n', from);
        if (end < 0) end = all.size();
        QByteArrayView line(all.constData() + from, end - from);
        if (line.endsWith('\r')) line.chop(1);
        lines.push_back(cp932::decode(line));
        from = end + 1;
    }
    return lines;
}

std::optional<int16_t> toInt16(const QString& s) {
    bool ok = false;
    const int v = s.trimmed().toInt(&ok);
    if (!ok || v < std::numeric_limits<int16_t>::min() || v > std::numeric_limits<int16_t>::max()) return std::nullopt;
    return int16_t(v);
}

std::optional<bool> toBool(const QString& s) {
    const QString t = s.trimmed().toUpper();
    if (t == QLatin1String("#TRUE#")) return true;
    if (t == QLatin1String("#FALSE#")) return false;
    if (auto v = toInt16(t)) return *v != 0;
    return std::nullopt;
}

void take(int16_t& target, const QStringList& fields, int i) {
    if (i < fields.size())
        if (auto v = toInt16(fields[i])) target = *v;
}

// A setting character as stored: no more than kMaxSettingCharBytes bytes.
QString cutSettingChar(const QString& s) {
    if (cp932::encode(s).size() <= kMaxSettingCharBytes) return s;
    QString out;
    for (QChar c : s) {
        if (cp932::encode(out + c).size() > kMaxSettingCharBytes) break;
        out += c;
    }
    return out;
}

// ok becomes false when the text cannot be encoded: the file is then not
// written at all rather than with the text lost.
void appendQuoted(QByteArray& out, const QString& s, bool& ok) {
    if (s.isEmpty()) {
        out.append("\"\"", 2);
        return;
    }
    QString t = s;
    t.remove(QLatin1Char('"'));  // a quote cannot be written inside a quoted field
    bool encoded = true;
    out += '"';
    out += cp932::encode(t, &encoded);
    out += '"';
    ok = ok && encoded;
}

QByteArray quoted(const QString& s, bool& ok) {
    QByteArray out;
    appendQuoted(out, s, ok);
    return out;
}

QByteArray number(int v) { return QByteArray::number(v); }

bool validStartTime(const QString& s) {
    static const QRegularExpression re(QStringLiteral("^([01]\\d|2[0-3]):[0-5]\\d$"));
    return re.match(s).hasMatch();
}

}  // namespace

QByteArray generalSettingsBytes(const GeneralSettings& g) {
    bool ok = true;
    QByteArray out;
    out.reserve(256 * 7 + 64);  // mostly empty setting characters
    for (int i = 0; i < 256; ++i) {
        if (g.settingCharCard[i].isEmpty() && g.settingCharTest[i].isEmpty()) {
            out.append("\"\",\"\"\r\n", 7);  // most numbers have no setting characters
            continue;
        }
        appendQuoted(out, g.settingCharCard[i], ok);
        out += ',';
        appendQuoted(out, g.settingCharTest[i], ok);
        out += kCrLf;
    }
    out += number(g.comPort) + ',' + number(g.usualCommunicationTask) + ',' + number(g.usualCommunicationNaming) + ',' +
           quoted(g.usualCommunicationStartTime, ok) + kCrLf;
    out += number(g.tempManual) + ',' + number(g.humidManual) + ',' + number(g.tempMax) + ',' + number(g.tempMin) +
           ',' + number(g.humidMax) + ',' + number(g.humidMin) + kCrLf;
    return ok ? out : QByteArray();
}

QByteArray timingSettingsBytes(const TimingSettings& t) {
    bool ok = true;
    QByteArray out = quoted(uiText(ui::kSettingsFileHead), ok) + kCrLf;
    out += number(t.setCommandWait) + ',' + quoted(uiText(ui::kSetCommandWaitLine), ok) + kCrLf;
    out += number(t.commandWait) + ',' + quoted(uiText(ui::kCommandWaitLine), ok) + kCrLf;
    out += number(t.readTimeout) + ',' + quoted(uiText(ui::kReadTimeoutLine), ok) + kCrLf;
    return ok ? out : QByteArray();
}

QByteArray debugSettingsBytes(const DebugSettings& d) {
    bool ok = true;
    QByteArray out =
        QByteArray(d.debugMode ? "#TRUE#" : "#FALSE#") + ',' + quoted(uiText(ui::kDebugModeLine), ok) + kCrLf;
    out += number(d.waitAfterCommandRead) + ',' + quoted(uiText(ui::kWaitAfterReadLine), ok) + kCrLf;
    return ok ? out : QByteArray();
}

void loadGeneralSettings(GeneralSettings& g, const QString& path) {
    g = GeneralSettings{};
    if (const auto bytes = readSettingsFile(path)) parseGeneralSettings(g, *bytes);
}

void parseGeneralSettings(GeneralSettings& g, const QByteArray& bytes) {
    g = GeneralSettings{};
    const auto lines = readLines(bytes, 258);
    const auto line = [&](int i) -> std::optional<QStringList> {  // 1-based
        if (i > int(lines.size()) || !lines[i - 1]) return std::nullopt;
        return splitRecord(*lines[i - 1]);
    };
    for (int i = 0; i < 256; ++i) {
        // Most numbers have no setting characters: their line is the same.
        if (i < int(lines.size()) && lines[i] == QLatin1String("\"\",\"\"")) continue;
        const auto f = line(i + 1);
        if (!f || f->size() < 2) continue;
        g.settingCharCard[i] = cutSettingChar((*f)[0]);
        g.settingCharTest[i] = cutSettingChar((*f)[1]);
    }
    if (const auto f = line(257)) {
        GeneralSettings d;
        take(g.comPort, *f, 0);
        if (g.comPort < 1 || g.comPort > 16) g.comPort = d.comPort;
        take(g.usualCommunicationTask, *f, 1);
        if (g.usualCommunicationTask != 0 && g.usualCommunicationTask != 1) g.usualCommunicationTask = 0;
        take(g.usualCommunicationNaming, *f, 2);
        if (g.usualCommunicationNaming != 0 && g.usualCommunicationNaming != 1) g.usualCommunicationNaming = 0;
        if (f->size() > 3 && validStartTime((*f)[3])) g.usualCommunicationStartTime = (*f)[3];
    }
    if (const auto f = line(258)) {
        take(g.tempManual, *f, 0);
        take(g.humidManual, *f, 1);
        take(g.tempMax, *f, 2);
        take(g.tempMin, *f, 3);
        take(g.humidMax, *f, 4);
        take(g.humidMin, *f, 5);
    }
}

Saved saveGeneralSettings(const GeneralSettings& g, const QString& path) {
    const QByteArray bytes = generalSettingsBytes(g);
    return Saved{bytes.isEmpty() ? SaveError::Writing : writeFileAtomically(path, bytes)};
}

void loadTimingSettings(TimingSettings& t, const QString& path) {
    t = TimingSettings{};
    if (const auto bytes = readSettingsFile(path)) parseTimingSettings(t, *bytes);
}

void parseTimingSettings(TimingSettings& t, const QByteArray& bytes) {
    t = TimingSettings{};
    const auto lines = readLines(bytes, 4);
    int16_t* targets[] = {&t.setCommandWait, &t.commandWait, &t.readTimeout};
    for (int i = 0; i < 3; ++i) {
        if (i + 1 >= int(lines.size()) || !lines[i + 1]) continue;
        const QStringList f = splitRecord(*lines[i + 1]);
        // Waits of 0 ms are fine; a receive timer of 0 ms would fail
        // every read.
        const int lowest = i == 2 ? 1 : 0;
        if (auto v = toInt16(f.value(0)); v && *v >= lowest) *targets[i] = *v;
    }
}

Saved saveTimingSettings(const TimingSettings& t, const QString& path) {
    const QByteArray bytes = timingSettingsBytes(t);
    return Saved{bytes.isEmpty() ? SaveError::Writing : writeFileAtomically(path, bytes)};
}

void loadDebugSettings(DebugSettings& d, const QString& path) {
    d = DebugSettings{};
    if (const auto bytes = readSettingsFile(path)) parseDebugSettings(d, *bytes);
}

void parseDebugSettings(DebugSettings& d, const QByteArray& bytes) {
    d = DebugSettings{};
    const auto lines = readLines(bytes, 2);
    if (!lines.empty() && lines[0])
        if (auto v = toBool(splitRecord(*lines[0]).value(0))) d.debugMode = *v;
    if (lines.size() > 1 && lines[1])
        if (auto v = toInt16(splitRecord(*lines[1]).value(0)); v && *v >= 0) d.waitAfterCommandRead = *v;
}

Saved saveDebugSettings(const DebugSettings& d, const QString& path) {
    const QByteArray bytes = debugSettingsBytes(d);
    return Saved{bytes.isEmpty() ? SaveError::Writing : writeFileAtomically(path, bytes)};
}

}  // namespace quillet
