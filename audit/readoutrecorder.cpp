#include "audit/readoutrecorder.h"

#include "core/context.h"
#include "core/store.h"

#include <QCryptographicHash>
#include <QFile>

namespace quillet::audit {

QString storeLoggers(const AppContext& ctx) {
    QStringList loggers;
    for (int ch = 1; ch <= kChannels; ++ch) {
        const ChannelRecord& c = ctx.store.ch[size_t(ch)];
        if (c.inUse == 1)
            loggers << QStringLiteral("%1 %2-%3")
                           .arg(channelLetter(ch))
                           .arg(c.cardNo, 3, 10, QLatin1Char('0'))
                           .arg(c.testNo, 3, 10, QLatin1Char('0'));
    }
    return loggers.join(QStringLiteral(", "));
}

QByteArray fileSha256(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    QCryptographicHash h(QCryptographicHash::Sha256);
    if (!h.addData(&f)) return {};
    return h.result().toHex();
}

QString ReadoutRecorder::readoutSaved(AppContext& ctx, const QString& path) {
    const QString word = inner_ ? inner_->readoutSaved(ctx, path) : QString();
    record_(storeLoggers(ctx), QStringLiteral("sha256:%1 %2").arg(QString::fromLatin1(fileSha256(path)), path));
    return word;
}

}  // namespace quillet::audit
