#include "archive/readoutfile.h"

#include "core/context.h"
#include "core/store.h"
#include "core/vb.h"
#include "datafile/datafile.h"
#include "datafile/fileops.h"

#include <QCryptographicHash>
#include <QSysInfo>

#include <map>

namespace quillet::archive {

ImportOrigin thisComputer(const QString& site, int model) {
    ImportOrigin o;
    o.site = site;
    o.host = QSysInfo::machineHostName();
    for (const char* name : {"USER", "LOGNAME", "USERNAME"})
        if (o.user.isEmpty()) o.user = qEnvironmentVariable(name);
    o.importedUtc = QDateTime::currentSecsSinceEpoch();
    o.model = model;
    return o;
}

QByteArray sha256Hex(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

double localDateValue(qint64 utc, const QTimeZone& zone) {
    return vb::fromDateTime(QDateTime::fromSecsSinceEpoch(utc, zone));
}

ChannelRecord channelRecordOf(const ReadoutChannel& c) {
    ChannelRecord r;
    static_cast<ChannelHeader&>(r) = c.header;
    r.inUse = 1;
    deriveDates(r);
    return r;
}

FileReadout readoutFromBytes(const QByteArray& bytes, const QString& path, const ImportOrigin& origin) {
    FileReadout out;
    Readout& r = out.readout;
    r.sha256 = sha256Hex(bytes);
    r.path = path;
    r.importedUtc = origin.importedUtc;
    r.host = origin.host;
    r.user = origin.user;
    r.site = origin.site;
    r.model = origin.model;
    r.zone = QString::fromUtf8(origin.zone.id());

    // The channels as an open puts them into the store: the same reader,
    // the same rules for cut-short samples and repeated channels.
    AppContext ctx;
    const bool withTenSec = layoutWithTenSecFor(path, true);
    const int error = bytes.isEmpty() ? kErrInputPastEnd : loadDataBytes(ctx, bytes, withTenSec);
    if (error != 0) {
        out.problem = FileProblem::Damaged;
        out.runtimeError = error;
        return out;
    }
    std::map<std::pair<int, int>, int> seen;  // card-test -> its channels so far
    bool first = true;
    for (int ch = 1; ch <= kChannels; ++ch) {
        ChannelRecord& c = ctx.store.ch[size_t(ch)];
        if (c.inUse != 1) continue;
        const QDate day(c.startYear, c.startMonth, c.startDay);
        const QTime time(c.startHour, c.startMinute, c.startTenSec * 10);
        const int interval = c.intervalHour * 3600 + c.intervalMinute * 60 + c.intervalTenSec * 10;
        if (!day.isValid() || !time.isValid() || interval <= 0) {
            out.problem = FileProblem::NoTime;
            return out;
        }
        const QDateTime start(day, time, origin.zone);
        ReadoutChannel rc;
        rc.position = int(r.channels.size()) + 1;
        rc.series = {c.cardNo, c.testNo, ++seen[{c.cardNo, c.testNo}], c.kind};
        rc.header = c;
        rc.startUtc = start.toSecsSinceEpoch();
        rc.intervalSeconds = interval;
        rc.count = std::clamp<int>(c.sampleCount, 0, kMaxSamples);
        const auto& s = ctx.store.samples[size_t(ch)];
        rc.samples.assign(s.begin() + 1, s.begin() + 1 + rc.count);
        if (first) r.zoneOffset = origin.zone.offsetFromUtc(start);
        first = false;
        r.channels.push_back(std::move(rc));
    }
    if (r.channels.empty()) out.problem = FileProblem::Empty;
    return out;
}

FileReadout readoutFromFile(const QString& path, const ImportOrigin& origin) {
    // No data file comes near this size; one that does is no data file,
    // and its hash must never be taken of a part of it.
    constexpr qint64 kLargest = kMaxDataFileBytes * 4;
    QByteArray bytes;
    FileReadout out;
    if (const SaveError e = readRegularFile(path, kLargest, bytes); e != SaveError::None) {
        out.problem = FileProblem::Unreadable;
        out.readError = e;
        return out;
    }
    if (bytes.size() >= kLargest) {
        out.problem = FileProblem::Damaged;
        out.runtimeError = kErrInputPastEnd;
        return out;
    }
    return readoutFromBytes(bytes, path, origin);
}

}  // namespace quillet::archive
