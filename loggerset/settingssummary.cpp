#include "loggerset/settingssummary.h"

#include <QDateTime>
#include <QStringList>

namespace quillet {

QString settingsStateText(const SettingsState& s) {
    const int m = s.loggerModel();
    const auto three = [](int v) { return QStringLiteral("%1").arg(v, 3, 10, QLatin1Char('0')); };
    QStringList parts{QStringLiteral("モデル %1").arg(m),
                      QStringLiteral("カード-テスト %1-%2").arg(three(s.cardNo), three(s.testNo))};
    if (s.useSecondsInterval)
        parts << QStringLiteral("間隔 %1秒").arg(secondsChoices().value(s.secondsIndex));
    else
        parts << QStringLiteral("間隔 %1").arg(intervalChoices().value(s.intervalIndex));
    parts << QStringLiteral("開始 %1").arg(s.startText);
    if (!s.endText.isEmpty()) parts << QStringLiteral("終了 %1").arg(s.endText);
    if (s.recordMode >= 0)
        parts << (s.recordMode == endless ? QStringLiteral("エンドレス") : QStringLiteral("ワンタイム"));
    if (s.measuringRange >= 0) parts << QStringLiteral("レンジ %1").arg(rangeChoices().value(s.measuringRange));
    for (int ch = 1; ch <= 2; ++ch) {
        const size_t c = size_t(ch);
        if (!s.referenceText[c].isEmpty())
            parts << QStringLiteral("CH%1 基準値 %2%3")
                         .arg(ch)
                         .arg(s.referenceText[c], s.referenceSide[c] == 8 ? QStringLiteral("L") : QStringLiteral("H"));
        if (!s.upperText[c].isEmpty() || !s.lowerText[c].isEmpty())
            parts << QStringLiteral("CH%1 上限/下限 %2/%3")
                         .arg(ch)
                         .arg(s.upperText[c].trimmed(), s.lowerText[c].trimmed());
    }
    if (m == 4) parts << (s.lockLogger ? QStringLiteral("ロック あり") : QStringLiteral("ロック なし"));
    return parts.join(QStringLiteral(" / "));
}

SettingsState heldSettingsState(const SettingsState& opened) {
    SettingsState held = opened;
    const ChannelHeader& h = opened.current.ch[1];
    const QDateTime start(QDate(h.startYear, h.startMonth, h.startDay), QTime(h.startHour, h.startMinute));
    held.startText = start.isValid() ? start.toString(QStringLiteral("yyyy-MM-dd HH:mm")) : QStringLiteral("-");
    return held;
}

}  // namespace quillet
