#include "archive/databinding.h"

#include "archive/backends.h"

#include <QCryptographicHash>

namespace quillet::archive {
namespace {

QByteArray number(qint64 v) { return QByteArray::number(v); }

// Samples as little-endian 16-bit values.
QByteArray sampleBytes(const std::vector<int16_t>& samples) {
    QByteArray out;
    out.reserve(qsizetype(samples.size()) * 2);
    for (int16_t v : samples) out.append(char(v & 0xff)).append(char((v >> 8) & 0xff));
    return out;
}

}  // namespace

QString readoutBinding(Archive& a, const QByteArray& fileSha, ArchiveFailure& failure) {
    const std::optional<qint64> id = a.readoutWithSha(fileSha, failure);
    if (!id) {
        if (!failure) failure = {ArchiveError::NotThere, QString::fromLatin1(fileSha)};
        return {};
    }
    const std::optional<Readout> r = a.readout(*id, WithSamples::Yes, failure);
    if (!r) return {};
    QCryptographicHash h(QCryptographicHash::Sha256);
    auto add = [&h](qint64 v) {
        const QByteArray s = number(v) + ' ';
        h.addData(s);
    };
    for (const ReadoutChannel& c : r->channels) {
        add(c.position);
        for (const HeaderColumn& col : kHeaderColumns) add(c.header.*col.field);
        add(c.header.integratedValue);
        add(c.startUtc);
        add(c.intervalSeconds);
        add(c.count);
        h.addData(sampleBytes(c.samples));
    }
    return QStringLiteral("readout\t%1\t%2").arg(QString::fromLatin1(fileSha), QString::fromLatin1(h.result().toHex()));
}

QString seriesBinding(Archive& a, const SeriesKey& key, qint64 fromUtc, qint64 toUtc, ArchiveFailure& failure) {
    QCryptographicHash h(QCryptographicHash::Sha256);
    for (const SeriesPiece& p : a.samples(key, fromUtc, toUtc, failure)) {
        h.addData(number(p.startUtc) + ' ' + number(p.intervalSeconds) + ' ' + number(p.header.upperAlarm) + ' ' +
                  number(p.header.lowerAlarm) + ' ');
        h.addData(sampleBytes(p.values));
    }
    return QStringLiteral("series\t%1\t%2\t%3\t%4\t%5\t%6\t%7")
        .arg(key.card)
        .arg(key.test)
        .arg(key.loggerChannel)
        .arg(key.kind)
        .arg(fromUtc)
        .arg(toUtc)
        .arg(QString::fromLatin1(h.result().toHex()));
}

}  // namespace quillet::archive
