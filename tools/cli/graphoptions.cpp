#include "tools/cli/graphoptions.h"

#include "core/catalog.h"

namespace quillet::cli {
namespace {

// A range checked as the range dialog checks it: both ends within the
// limits (the limit's message), the upper end above the lower one (message
// 51; for data numbers equal ends are allowed).
bool checkRange(const Arguments& a, const char* option, int minimum, int maximum, int rangeMessage, bool allowEqual,
                int& low, int& high, int& exitCode) {
    if (!a.has(option)) return true;
    const QString name = QString::fromLatin1(option);
    if (!wholeRange(a, option, low, high, exitCode)) return false;
    if (low < minimum || high < minimum || low > maximum || high > maximum) {
        complain(name + QStringLiteral(": ") + messageText(rangeMessage));
    } else if (high < low || (high == low && !allowEqual)) {
        complain(name + QStringLiteral(": ") + messageText(Msg::UpperNotAboveLower));
    } else {
        return true;
    }
    exitCode = kExitFailed;
    return false;
}

bool checkValue(const Arguments& a, const char* option, int minimum, int maximum, int rangeMessage, int16_t& value,
                int& exitCode) {
    if (!a.has(option)) return true;
    bool ok = false;
    const int v = a.value(option).trimmed().toInt(&ok);
    if (!ok) {
        complain(uiText(text::kWholeNumber).arg(QLatin1String(option), a.value(option)));
    } else if (v < minimum || v > maximum) {
        complain(QLatin1String(option) + QStringLiteral(": ") + messageText(rangeMessage));
    } else {
        value = int16_t(v);
        return true;
    }
    exitCode = kExitFailed;
    return false;
}

}  // namespace

QStringList graphValueOptions() {
    return {QStringLiteral("--x"), QStringLiteral("--temp"), QStringLiteral("--humid"), QStringLiteral("--ref-temp"),
            QStringLiteral("--ref-humid")};
}

QStringList graphFlagOptions() { return {QStringLiteral("--labels"), QStringLiteral("--thick")}; }

QString graphOptionsSynopsis() {
    return QStringLiteral(
        "[--x FIRST..LAST] [--temp MIN..MAX] [--humid MIN..MAX] [--labels] [--thick]\n"
        "      [--ref-temp V] [--ref-humid V]");
}

bool parsePair(const QString& text, const QString& separator, int& low, int& high) {
    const QStringList parts = text.split(separator);
    if (parts.size() != 2) return false;
    bool ok1 = false, ok2 = false;
    low = parts[0].trimmed().toInt(&ok1);
    high = parts[1].trimmed().toInt(&ok2);
    return ok1 && ok2;
}

bool wholeRange(const Arguments& a, const char* option, int& low, int& high, int& exitCode) {
    if (parsePair(a.value(option), QStringLiteral(".."), low, high)) return true;
    complain(uiText(text::kWholeRange).arg(QLatin1String(option), a.value(option)));
    exitCode = kExitFailed;
    return false;
}

int pictureFailed(const PictureWritten& written, const QString& target) {
    if (written.fileError != SaveError::None) return failWith(written.fileError, int(Caption::SaveFile), target);
    complain(uiText(text::kPictureNotDrawn).arg(target));
    return kExitFailed;
}

bool pictureSize(const Arguments& a, QSize& size) {
    if (!a.has("--size")) return true;
    int w = 0, h = 0;
    if (!parsePair(a.value("--size").toLower(), QStringLiteral("x"), w, h) || w < 100 || h < 60 || w > 20000 ||
        h > 20000) {
        complain(uiText(text::kPictureSize));
        return false;
    }
    size = QSize(w, h);
    return true;
}

bool graphStateFromOptions(const Arguments& a, const GraphState& current, GraphState& g, int& exitCode) {
    g = GraphState{};
    int xLow = 0, xHigh = 0, tLow = 0, tHigh = 0, hLow = 0, hHigh = 0;
    if (!checkRange(a, "--x", 1, 9000, 54, true, xLow, xHigh, exitCode) ||
        !checkRange(a, "--temp", -100, 200, 52, false, tLow, tHigh, exitCode) ||
        !checkRange(a, "--humid", 0, 100, 53, false, hLow, hHigh, exitCode) ||
        !checkValue(a, "--ref-temp", -100, 200, 52, g.refTemp, exitCode) ||
        !checkValue(a, "--ref-humid", 0, 100, 53, g.refHumid, exitCode))
        return false;
    if (a.has("--x")) {
        g.x().manual = true;
        g.x().shown.low = int16_t(xLow);
        g.x().shown.high = int16_t(xHigh);
    }
    if (a.has("--temp")) {
        g.temp().manual = true;
        g.temp().shown.low = int16_t(tLow);
        g.temp().shown.high = int16_t(tHigh);
    }
    if (a.has("--humid")) {
        g.humid().manual = true;
        g.humid().shown.low = int16_t(hLow);
        g.humid().shown.high = int16_t(hHigh);
    }
    g.refLineOn = a.has("--ref-temp") || a.has("--ref-humid");
    g.labelsOn = a.has("--labels");
    g.lineWidth = a.has("--thick") ? 2 : 1;
    g.channelColor = current.channelColor;
    return true;
}

}  // namespace quillet::cli
