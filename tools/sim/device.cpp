#include "tools/sim/device.h"

#include "tools/sim/models.h"
#include "tools/sim/records.h"
#include "tools/sim/wire.h"

#include <QDateTime>

#include <algorithm>
#include <chrono>
#include <random>

namespace quillet::sim {

using wire::field;

int channelCount(int model) { return simModel(model).channels; }

int valuesPerBlock(int model) { return simModel(model).channels == 1 ? 32 : 16; }

int identificationLength(int model) { return simModel(model).identificationLength; }

int memorySize(int model) { return simModel(model).memory; }

int rangeLowOf(int rangeCode) {
    switch (rangeCode) {
    case 1:
    case 6: return -400;
    case 3:
    case 8: return 500;
    default: return 0;  // 2, 7, 10, 11 and any code the loggers do not use
    }
}

namespace {

constexpr int kMaxRecords = 65535;  // the last-record field "FFFE" + 1

int clampTo(int v, int lo, int hi) { return std::clamp(v, lo, hi); }

void clampTime(LoggerTime& t, bool tenSec) {
    t.year = clampTo(t.year, 1995, 2094);
    t.month = clampTo(t.month, 1, 12);
    t.day = clampTo(t.day, 1, 31);
    t.hour = clampTo(t.hour, 0, 23);
    t.minute = clampTo(t.minute, 0, 59);
    t.tenSec = tenSec ? clampTo(t.tenSec, 0, 5) : 0;
}

bool fullWrap(const Config& c) { return simModel(c.model).endlessFlags && c.flags == 3; }

QDateTime toDateTime(const LoggerTime& t) {
    return QDateTime(QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, t.tenSec * 10), Qt::UTC);
}

LoggerTime toLoggerTime(const QDateTime& d) {
    return LoggerTime{d.date().year(), d.date().month(),  d.date().day(),
                      d.time().hour(), d.time().minute(), d.time().second() / 10};
}

int64_t intervalSeconds(const Config& c) {
    return c.intervalHour * 3600LL + c.intervalMinute * 60LL + c.intervalTenSec * 10LL;
}

}  // namespace

MillisecondSource steadyMilliseconds() {
    return [] {
        using namespace std::chrono;
        return int64_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    };
}

QByteArray frameText(const Received& r) {
    QByteArray t = QByteArray::number(r.group) + ',' + QByteArray::number(r.number);
    if (r.data.isEmpty()) return t;
    t += ' ';
    for (char c : r.data) {
        const auto u = static_cast<unsigned char>(c);
        if (u > 0x20 && u < 0x7F) {
            t += c;
        } else {
            t += '<' + QByteArray::number(u, 16).toUpper().rightJustified(2, '0') + '>';
        }
    }
    return t;
}

Config resolved(const Config& in) {
    Config c = in;
    c.model = clampTo(c.model, 1, int(kSimModels.size()));
    const SimModel& m = simModel(c.model);
    const bool seconds = m.tenSeconds;
    c.records = clampTo(c.records, 0, kMaxRecords);
    c.cardNo = clampTo(c.cardNo, 0, 255);
    c.testNo = clampTo(c.testNo, 0, 255);
    clampTime(c.start, seconds);
    clampTime(c.clock, seconds);
    c.intervalMinute = clampTo(c.intervalMinute, 0, 255);
    c.intervalHour = clampTo(c.intervalHour, 0, seconds ? 15 : 255);
    c.intervalTenSec = seconds ? clampTo(c.intervalTenSec, 0, 15) : 0;

    // Range codes: model 1 reports "A" for its humidity channel, which is
    // what tells it from model 2; model 2 therefore never reports "A".
    if (c.rangeCode[0] < 0) c.rangeCode[0] = m.defaultRange1;
    if (m.fixedRange2 || c.rangeCode[1] < 0 || (m.refusesRangeA2 && c.rangeCode[1] == 10))
        c.rangeCode[1] = m.defaultRange2;
    if (m.rangeModeCode && c.nextRangeCode < 0) c.nextRangeCode = std::clamp(c.rangeCode[0], 0, 15);
    for (int& code : c.rangeCode) code = clampTo(code, 0, 15);
    c.nextRangeCode = m.rangeModeCode ? clampTo(c.nextRangeCode, 0, 15) : 0;
    c.speed = std::max(1, c.speed);

    // Unless given, the settings a user would have made: alarms that the
    // generated curves cross at their peaks and troughs, different per
    // channel, and a reference value at the middle of each curve (side H
    // on a temperature, L on a humidity channel) where the model keeps one.
    for (int ch = 0; ch < 2; ++ch) {
        const int low = rangeLowOf(c.rangeCode[ch]);
        const bool humidityChannel = ch == 1 && m.humidityChannel2;
        const int centre = curveCentre(c, ch + 1);
        int upper = 0, lower = 0;  // a logger without alarms
        if (m.alarmTop > 0) {
            const int base = m.alarmsFromMinusForty ? -400 : low;
            upper = centre + (humidityChannel ? 100 : ch == 0 ? 50 : 30) - base;
            lower = centre - (humidityChannel ? 200 : ch == 0 ? 50 : 40) - base;
        }
        if (c.upperAlarmRaw[ch] < 0) c.upperAlarmRaw[ch] = upper;
        if (c.lowerAlarmRaw[ch] < 0) c.lowerAlarmRaw[ch] = lower;
        if (c.referenceRaw[ch] < 0)
            c.referenceRaw[ch] = ch < m.referenceChannels ? centre - (humidityChannel ? 50 : 0) - low : 0xFFF;
        if (c.referenceSide[ch] < 0) c.referenceSide[ch] = humidityChannel ? 8 : 0;
        c.upperAlarmRaw[ch] = clampTo(c.upperAlarmRaw[ch], 0, 0xFFF);
        c.lowerAlarmRaw[ch] = clampTo(c.lowerAlarmRaw[ch], 0, 0xFFF);
        c.referenceRaw[ch] = clampTo(c.referenceRaw[ch], 0, 0xFFF);
        c.referenceSide[ch] = clampTo(c.referenceSide[ch], 0, 15);
    }
    if (c.recordLimit < 0) c.recordLimit = m.lastRecordIndex;
    c.recordLimit = clampTo(c.recordLimit, 0, 0xFFFF);
    c.flags = m.endlessFlags ? clampTo(c.flags, 0, 3) : 0;
    c.wrapPosition = clampTo(c.wrapPosition, 1, std::max(m.memory, 1));

    if (c.status.size() != 2) c.status = (c.status + "22").left(2);
    c.errorSamples = std::max(0, c.errorSamples);

    for (int& v : c.rawRecords1) v = clampTo(v, 0, wire::kErrorRaw);
    for (int& v : c.rawRecords2) v = clampTo(v, 0, wire::kErrorRaw);
    if (!c.rawRecords1.empty()) {
        const size_t n = fullWrap(c) ? size_t(m.memory) : std::min<size_t>(c.rawRecords1.size(), kMaxRecords);
        c.rawRecords1.resize(n, wire::kErrorRaw);
        if (channelCount(c.model) == 2) {
            c.rawRecords2.resize(n, wire::kErrorRaw);
        } else {
            c.rawRecords2.clear();
        }
    }
    return c;
}

QString validate(const Config& c) {
    if (c.model < 1 || c.model > int(kSimModels.size())) return QStringLiteral("the model must be 1, 2, 3 or 4");
    const SimModel& m = simModel(c.model);
    if (c.records < 0 || c.records > kMaxRecords) {
        return QStringLiteral("the number of records must be 0 .. %1").arg(kMaxRecords);
    }
    if (c.cardNo < 0 || c.cardNo > 255) return QStringLiteral("the card number must be 0 .. 255");
    if (c.testNo < 0 || c.testNo > 255) return QStringLiteral("the test number must be 0 .. 255");
    if (c.status.size() != 2) return QStringLiteral("the status must be two characters");
    if (c.speed < 1) return QStringLiteral("the speed must be 1 or more");
    if (!m.rangeModeCode && c.nextRangeCode >= 0) {
        return QStringLiteral("only model 3 reports a range code for its next recording");
    }
    if (!QDate::isValid(c.start.year, c.start.month, c.start.day) || c.start.hour < 0 || c.start.hour > 23 ||
        c.start.minute < 0 || c.start.minute > 59) {
        return QStringLiteral("the start time is not a valid time");
    }
    if (c.start.year < 1995 || c.start.year > 2094) {
        return QStringLiteral("the start year must be 1995 .. 2094 (the logger keeps two digits)");
    }
    const bool seconds = m.tenSeconds;
    if (!seconds && (c.intervalTenSec != 0 || c.start.tenSec != 0)) {
        return QStringLiteral("models 1 and 2 have no seconds in their interval and start time");
    }
    if (c.intervalTenSec < 0 || c.intervalTenSec > 5 || c.intervalMinute < 0 || c.intervalMinute > 59 ||
        c.intervalHour < 0 || c.intervalHour > (seconds ? 15 : 99)) {
        return QStringLiteral("the interval is out of range");
    }
    if (c.intervalHour == 0 && c.intervalMinute == 0 && c.intervalTenSec == 0) {
        return QStringLiteral("the interval must not be zero");
    }
    if (m.refusesRangeA2 && c.rangeCode[1] == 10) {
        return QStringLiteral("model 2 cannot report range code A for channel 2 (that is model 1)");
    }
    if (m.endlessFlags && (c.flags < 0 || c.flags > 3)) return QStringLiteral("the flags must be 0 .. 3");
    if (m.endlessFlags && (c.wrapPosition < 1 || c.wrapPosition > m.memory)) {
        return QStringLiteral("the wrap position must be 1 .. %1").arg(m.memory);
    }
    if (!c.rawRecords1.empty()) {
        if (channelCount(c.model) == 2 && c.rawRecords2.size() != c.rawRecords1.size()) {
            return QStringLiteral("both channels must hold the same number of records");
        }
        if (fullWrap(c) && c.rawRecords1.size() != size_t(m.memory)) {
            return QStringLiteral("a wrapped model 4 memory holds exactly %1 records").arg(m.memory);
        }
        if (c.rawRecords1.size() > size_t(kMaxRecords)) {
            return QStringLiteral("at most %1 records").arg(kMaxRecords);
        }
    }
    const Faults& f = c.faults;
    if (f.brokenBlock < 0 || f.failFirst < 0 || f.identLength < 0 || f.identLength > 1024) {
        return QStringLiteral("a fault count is out of range");
    }
    return {};
}

Device::Device(const Config& config, MillisecondSource now)
    : config_(resolved(config)), now_(now ? std::move(now) : steadyMilliseconds()) {
    clockSetMs_ = now_();
    if (!config_.rawRecords1.empty()) {
        records_[0] = config_.rawRecords1;
        records_[1] = config_.rawRecords2;
    } else {
        generateRecords(config_, records_[0], records_[1]);
    }
    config_.rawRecords1.clear();
    config_.rawRecords2.clear();
}

const std::vector<int>& Device::rawRecords(int channel) const { return records_[index(channel)]; }

int Device::recordCount() const {
    catchUp();
    return static_cast<int>(records_[0].size());
}

int Device::flags() const {
    catchUp();
    return config_.flags | wrapFlags_;
}

int Device::wrapPosition() const {
    catchUp();
    return wrapFlags_ ? wrapPosition_ : config_.wrapPosition;
}

LoggerTime Device::loggerNow() const {
    const int64_t elapsed = (now_() - clockSetMs_) * config_.speed;
    return toLoggerTime(toDateTime(config_.clock).addMSecs(elapsed));
}

QByteArray Device::status() const {
    QByteArray s = config_.status;
    if (recording_ != Recording::started) return s;
    catchUp();
    if (toDateTime(loggerNow()) < toDateTime(config_.start)) {
        s[0] = '3';
    } else if (!endless() && taken_ >= recordingLimit()) {
        s[0] = '0';  // a one-time recording that has taken its last record
    } else {
        s[0] = '1';
    }
    return s;
}

int64_t Device::recordingLimit() const {
    const Config& c = config_;
    const SimModel& m = simModel(c.model);
    if (m.lastRecordIndex == 0) return m.memory;  // no record limit: the memory
    return std::min<int64_t>(c.recordLimit + 1LL, m.memory);
}

void Device::catchUp() const {
    if (recording_ != Recording::started) return;
    const Config& c = config_;
    const int64_t interval = intervalSeconds(c);
    const int64_t since = toDateTime(c.start).secsTo(toDateTime(loggerNow()));
    if (since < 0 || interval <= 0) return;
    int64_t due = since / interval + 1;
    const bool wraps = simModel(c.model).endlessFlags && (c.flags & 2) != 0;
    if (!wraps) due = std::min(due, recordingLimit());
    if (due <= taken_) return;
    const int memory = memorySize(c.model);
    const bool two = channelCount(c.model) == 2;
    // Only the last memory-full of records can still be in the memory.
    const int64_t from = std::max(taken_, due - memory);
    const size_t used = size_t(std::min<int64_t>(due, memory));
    for (int ch = 0; ch < (two ? 2 : 1); ++ch) {
        if (records_[ch].size() < used) records_[ch].resize(used);
    }
    for (int64_t i = from; i < due; ++i) {
        const size_t slot = size_t(i % memory);
        for (int ch = 0; ch < (two ? 2 : 1); ++ch) records_[ch][slot] = recordedValue(c, ch + 1, i);
        if (i >= memory) wrapFlags_ = 1;
        wrapPosition_ = int(slot) + 1;
    }
    taken_ = due;
}

QList<QByteArray> Device::log() const {
    QList<QByteArray> lines;
    for (const Received& r : received_) lines.append(frameText(r));
    return lines;
}

bool Device::endless() const {
    const SimModel& m = simModel(config_.model);
    if (m.rangeModeCode) return config_.rangeCode[0] >= 6;
    if (m.endlessFlags) return (config_.flags & 2) != 0;
    return false;
}

int Device::pending() const { return disconnected_ ? 0 : static_cast<int>(out_.size()); }

QByteArray Device::take(int maxBytes) {
    if (disconnected_ || maxBytes <= 0) return {};
    int n = std::min<int>(maxBytes, out_.size());
    if (disconnectAt_ >= 0) n = std::min(n, disconnectAt_);
    const QByteArray chunk = out_.left(n);
    out_.remove(0, n);
    if (disconnectAt_ >= 0) {
        disconnectAt_ -= n;
        if (disconnectAt_ == 0) {
            disconnected_ = true;
            out_.clear();
        }
    }
    return chunk;
}

void Device::receive(const QByteArray& fromHost) {
    if (disconnected_) return;
    in_ += fromHost;
    for (int lf = in_.indexOf(wire::LF); lf >= 0; lf = in_.indexOf(wire::LF)) {
        const QByteArray bytes = in_.left(lf + 1);
        in_.remove(0, lf + 1);
        const std::optional<wire::Frame> f = wire::parseFrame(bytes);
        if (!f) continue;  // not a command: the reader ignores it
        received_.push_back(Received{f->group, f->number, f->data, now_()});
        answer(received_.back());
        if (disconnected_) return;
    }
    // Line noise without an end is not kept for ever.
    if (in_.size() > 4096) in_ = in_.right(64);
}

bool Device::faultHits(const Received& cmd) {
    const Faults& f = config_.faults;
    const int code = cmd.group * 10 + cmd.number;
    if (!f.only.empty() && std::find(f.only.begin(), f.only.end(), code) == f.only.end()) return false;
    const bool setting = cmd.group == 2 || cmd.group == 3;
    const bool anyKind = f.silence || f.garbage || f.nak || f.brokenBlock > 0 || f.cutAfter >= 0 || f.identLength > 0;
    const bool applies = f.silence || f.garbage || f.cutAfter >= 0 || (f.nak && setting) ||
                         (f.identLength > 0 && code == 11) || (f.brokenBlock > 0 && code == 12) ||
                         (!anyKind && f.failFirst > 0);
    if (!applies) return false;
    if (f.failFirst > 0) {
        if (faultsUsed_ >= f.failFirst) return false;
        ++faultsUsed_;
    }
    return true;
}

void Device::answer(const Received& cmd) {
    // A new command ends whatever was still being sent.
    out_.clear();
    catchUp();
    if (disconnectAt_ >= 0) {
        disconnected_ = true;
        return;
    }
    const Faults& f = config_.faults;
    const bool hit = faultHits(cmd);
    const bool setting = cmd.group == 2 || cmd.group == 3;
    const bool anyKind = f.silence || f.garbage || f.nak || f.brokenBlock > 0 || f.cutAfter >= 0 || f.identLength > 0;

    QByteArray reply;
    if (hit && (f.silence || !anyKind)) {
        return;  // the reader did not hear it
    }
    if (hit && f.garbage) {
        std::mt19937 rng(config_.seed * 7919u + static_cast<uint32_t>(received_.size()));
        for (int i = 0; i < 24; ++i) reply += char(0x20 + rng() % 0x5F);
        reply += wire::CR;
        reply += wire::LF;
    } else if (hit && f.nak && setting) {
        reply = wire::nak();
    } else if (cmd.group == 1) {
        switch (cmd.number) {
        case 1: reply = identificationAnswer(); break;
        case 2: reply = valuesAnswer(); break;
        case 3: reply = statusAnswer(); break;
        case 4: reply = summaryAnswer(); break;
        default: return;  // no such request: no answer
        }
    } else if (setting) {
        reply = settingAnswer(cmd);
    } else {
        return;
    }

    if (hit && !f.garbage) {
        if (f.identLength > 0 && cmd.group == 1 && cmd.number == 1) {
            // Keep the head and the ETX CR LF ending, stretch or shorten the body.
            const int tail = 3;
            QByteArray body = reply.left(reply.size() - tail);
            body = body.leftJustified(std::max(0, f.identLength - tail), '0', true);
            reply = (body + reply.right(tail)).right(f.identLength);
        }
        if (f.brokenBlock > 0 && cmd.group == 1 && cmd.number == 2) {
            const int at = (f.brokenBlock - 1) * wire::kBlockLength;
            if (at < reply.size()) reply[at] = '*';
        }
        if (f.cutAfter >= 0) reply.truncate(f.cutAfter);
    }
    if (f.disconnectAfter >= 0 && cmd.group == 1 && cmd.number == 2) {
        reply.truncate(f.disconnectAfter);
        disconnectAt_ = reply.size();
        if (disconnectAt_ == 0) disconnected_ = true;
    }
    out_ = reply;
}

namespace {

// Reads a time of the setting commands: minute, hour, day, month and
// two-digit year, two reversed hex digits each.
std::optional<LoggerTime> readTime(const QByteArray& d) {
    if (d.size() != 10) return std::nullopt;
    unsigned v[5];
    for (int i = 0; i < 5; ++i) {
        const auto x = wire::readField(d.mid(2 * i, 2));
        if (!x) return std::nullopt;
        v[i] = *x;
    }
    LoggerTime t;
    t.minute = int(v[0]);
    t.hour = int(v[1]);
    t.day = int(v[2]);
    t.month = int(v[3]);
    t.year = int(v[4]) < 95 ? 2000 + int(v[4]) : 1900 + int(v[4]);
    if (v[4] > 99 || t.minute > 59 || t.hour > 23 || !QDate::isValid(t.year, t.month, t.day)) {
        return std::nullopt;
    }
    return t;
}

bool allHex(const QByteArray& d) {
    return !d.isEmpty() && std::all_of(d.begin(), d.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
    });
}

}  // namespace

QByteArray Device::settingAnswer(const Received& cmd) {
    const QByteArray& d = cmd.data;
    Config& c = config_;

    if (cmd.group == 2) {
        if (cmd.number != 1) return wire::nak();
        if (d == "1") {
            c.status[1] = '1';
        } else if (d == "2") {
            c.status[1] = '2';
        } else {
            return wire::nak();
        }
        // The lock (or unlock) after a new start time sets the recording going.
        if (recording_ == Recording::armed) {
            recording_ = Recording::started;
            taken_ = 0;
        }
        return wire::ack();
    }

    // Group 3. A strict logger refuses settings while locked or recording.
    const char s1 = status().at(0);
    if (c.strict && (locked() || s1 == '1' || s1 == '3')) return wire::nak();
    const QByteArray reply = settingThree(cmd);
    if (reply != wire::ack()) return reply;
    // An accepted setting ends the recording running (or waiting).
    if (recording_ == Recording::started || s1 == '1' || s1 == '3') c.status[0] = '2';
    if (recording_ == Recording::started) recording_ = Recording::none;
    if (cmd.number == 2) {
        // A new start time: the old recording is erased, the next one waits
        // for the lock command. Model 3 records with the code set for it.
        clearRecords();
        if (simModel(c.model).rangeModeCode) c.rangeCode[0] = c.nextRangeCode;
        recording_ = Recording::armed;
    }
    return reply;
}

QByteArray Device::settingThree(const Received& cmd) {
    const QByteArray& d = cmd.data;
    Config& c = config_;
    auto num = [&](int from, int width) { return int(*wire::readField(d.mid(from, width))); };
    const SimModel& m = simModel(c.model);
    const bool seconds = m.tenSeconds;

    switch (cmd.number) {
    case 0:  // record limit: models 1, 2, 4, up to the intervals of a full memory
        if (m.lastRecordIndex == 0 || d.size() != 4 || !allHex(d) || num(0, 4) > m.lastRecordIndex) return wire::nak();
        c.recordLimit = num(0, 4);
        break;
    case 1: {  // clock: it runs on from here
        const auto t = readTime(d);
        if (!t) return wire::nak();
        c.clock = *t;
        clockSetMs_ = now_();
        break;
    }
    case 2: {  // start time of the next recording
        const auto t = readTime(d);
        if (!t) return wire::nak();
        c.start = *t;
        break;
    }
    case 3: {  // interval: minutes (2 digits), then hours (2 digits); models 3
               // and 4 read the last two characters as hour and tens of seconds
        if (d.size() != 4 || !allHex(d)) return wire::nak();
        const int minute = num(0, 2);
        const int hour = seconds ? num(2, 1) : num(2, 2);
        const int tenSec = seconds ? num(3, 1) : 0;
        const int minutes = hour * 60 + minute;
        // 1 minute .. 1 hour, or (models 3, 4) 10 .. 50 seconds alone.
        const bool minutesForm = tenSec == 0 && minute <= 59 && minutes >= 1 && minutes <= 60;
        const bool secondsForm = tenSec >= 1 && tenSec <= 5 && minutes == 0;
        if (!minutesForm && !secondsForm) return wire::nak();
        c.intervalMinute = minute;
        c.intervalHour = hour;
        c.intervalTenSec = tenSec;
        break;
    }
    case 4: {  // reference values and sides: models 1, 2 (both channels), 3 (one)
        if (m.referenceChannels == 0) return wire::nak();
        const int expected = 4 * m.referenceChannels;
        if (d.size() != expected || !allHex(d)) return wire::nak();
        for (int ch = 0; ch < expected / 4; ++ch) {
            const int side = num(4 * ch + 3, 1);
            // A position 0..100 of the reference list, in tenths, or FFF:
            // the reference stays unset.
            const int raw = num(4 * ch, 3);
            if ((side != 0 && side != 8) || (raw > 1000 && raw != 0xFFF)) return wire::nak();
        }
        for (int ch = 0; ch < expected / 4; ++ch) {
            c.referenceRaw[ch] = num(4 * ch, 3);
            c.referenceSide[ch] = num(4 * ch + 3, 1);
        }
        break;
    }
    case 5:  // card number
    case 6:  // test number
        if (d.size() != 2 || !allHex(d)) return wire::nak();
        (cmd.number == 5 ? c.cardNo : c.testNo) = num(0, 2);
        break;
    case 7: {  // record mode: models 3 and 4
        if (!m.recordModes || (d != "0" && d != "1")) return wire::nak();
        const bool endlessMode = d == "1";
        if (m.rangeModeCode) {
            int range = c.nextRangeCode >= 6 ? c.nextRangeCode - 5 : c.nextRangeCode;
            if (range < 1 || range > 3) range = 1;
            c.nextRangeCode = range + (endlessMode ? 5 : 0);
        } else {
            c.flags = (c.flags & 1) | (endlessMode ? 2 : 0);
        }
        break;
    }
    case 8:    // alarms of channel 1
    case 9: {  // alarms of channel 2: models 1, 2, 4
        if (m.alarmTop == 0 || d.size() != 6 || !allHex(d)) return wire::nak();
        const int upper = num(0, 3);
        const int lower = num(3, 3);
        // Models 1 and 2: one unit above the range bottom .. the top (100.0
        // units); model 4: -39.0 .. 150.0 counted from -40.0. The lower
        // stays below the upper.
        const int top = m.alarmTop;
        if (upper < 10 || upper > top || lower > top - 10 || lower >= upper) return wire::nak();
        const int ch = cmd.number - 8;
        c.upperAlarmRaw[ch] = upper;
        c.lowerAlarmRaw[ch] = lower;
        break;
    }
    }
    return wire::ack();
}

void Device::clearRecords() {
    records_[0].clear();
    records_[1].clear();
    config_.flags &= ~1;  // no longer wrapped
    config_.wrapPosition = 1;
    wrapFlags_ = 0;
    wrapPosition_ = 1;
    taken_ = 0;
}

namespace {

void put(QByteArray& buf, int position, const QByteArray& text) { buf.replace(position - 1, text.size(), text); }

QByteArray frameOf(int length, char header) {
    QByteArray buf(length, ',');
    buf[0] = wire::STX;
    buf[1] = ' ';
    buf[2] = header;
    buf[3] = ',';
    buf[length - 3] = wire::ETX;
    buf[length - 2] = wire::CR;
    buf[length - 1] = wire::LF;
    return buf;
}

QByteArray hexDigit(int v) { return field(unsigned(v), 1); }

}  // namespace

QByteArray Device::identificationAnswer() const {
    const Config& c = config_;
    const int len = identificationLength(c.model);
    QByteArray buf = frameOf(len, '1');
    // A serial number in the positions the program does not read.
    const QByteArray serial =
        QByteArray::number(0x10000000ull + c.seed, 16).toUpper().right(10).rightJustified(10, '0');
    const unsigned year = unsigned(c.start.year % 100);
    put(buf, 5, field(c.cardNo, 2));
    const SimModel& m = simModel(c.model);
    if (!m.tenSeconds) {
        put(buf, 8, field(c.start.minute, 2));
        put(buf, 10, field(c.start.hour, 2));
        put(buf, 12, field(c.start.day, 2));
        put(buf, 14, field(c.start.month, 2));
        put(buf, 16, field(year, 2));
        put(buf, 19, field(c.intervalMinute, 2));
        put(buf, 21, field(c.intervalHour, 2));
        put(buf, 24, field(c.referenceRaw[0], 3));
        put(buf, 27, hexDigit(c.referenceSide[0]));
        put(buf, 28, field(c.referenceRaw[1], 3));
        put(buf, 31, hexDigit(c.referenceSide[1]));
        put(buf, 33, field(c.upperAlarmRaw[0], 3));
        put(buf, 36, field(c.lowerAlarmRaw[0], 3));
        put(buf, 40, field(c.upperAlarmRaw[1], 3));
        put(buf, 43, field(c.lowerAlarmRaw[1], 3));
        put(buf, 47, field(c.testNo, 2));
        put(buf, 50, hexDigit(c.rangeCode[0]));
        put(buf, 51, hexDigit(c.rangeCode[1]));
        put(buf, 53, serial);
        put(buf, 64, field(c.recordLimit, 4));
        return buf;
    }
    // Models 3 and 4 share the head: start with tens of seconds, interval
    // minutes (2 digits), hour (1) and tens of seconds (1).
    put(buf, 8, hexDigit(c.start.tenSec));
    put(buf, 9, field(c.start.minute, 2));
    put(buf, 11, field(c.start.hour, 2));
    put(buf, 13, field(c.start.day, 2));
    put(buf, 15, field(c.start.month, 2));
    put(buf, 17, field(year, 2));
    put(buf, 20, field(c.intervalMinute, 2));
    put(buf, 22, hexDigit(c.intervalHour));
    put(buf, 23, hexDigit(c.intervalTenSec));
    if (m.rangeModeCode) {
        put(buf, 25, field(c.referenceRaw[0], 3));
        put(buf, 28, hexDigit(c.referenceSide[0]));
        put(buf, 30, field(c.testNo, 2));
        // The range/mode code twice: the recording held (its values are
        // counted from its range), and the one set for the next recording.
        put(buf, 33, hexDigit(c.rangeCode[0]));
        put(buf, 34, hexDigit(c.nextRangeCode));
        put(buf, 36, serial);
        return buf;
    }
    put(buf, 25, field(c.upperAlarmRaw[0], 3));
    put(buf, 28, field(c.lowerAlarmRaw[0], 3));
    put(buf, 32, field(c.upperAlarmRaw[1], 3));
    put(buf, 35, field(c.lowerAlarmRaw[1], 3));
    put(buf, 39, field(c.testNo, 2));
    put(buf, 42, hexDigit(c.rangeCode[0]));
    put(buf, 43, hexDigit(c.rangeCode[1]));
    put(buf, 45, serial);
    put(buf, 56, field(c.recordLimit, 4));
    put(buf, 61, hexDigit(flags()));
    return buf;
}

namespace {

struct Stats {
    int max = 0, min = 0, average = 0, errors = 0;
};

Stats statsOf(const std::vector<int>& raw) {
    Stats s;
    long long sum = 0;
    int n = 0;
    for (int v : raw) {
        if (v == wire::kErrorRaw) {
            ++s.errors;
            continue;
        }
        if (n == 0 || v > s.max) s.max = v;
        if (n == 0 || v < s.min) s.min = v;
        sum += v;
        ++n;
    }
    if (n > 0) s.average = int((sum + n / 2) / n);
    return s;
}

}  // namespace

int Device::integratedValue() const {
    const Config& c = config_;
    if (c.referenceRaw[0] == 0xFFF) return 0;
    long long sum = 0;
    for (int v : records_[0]) {
        if (v == wire::kErrorRaw) continue;
        if (c.referenceSide[0] == 0 && v > c.referenceRaw[0]) sum += v - c.referenceRaw[0];
        if (c.referenceSide[0] == 8 && v < c.referenceRaw[0]) sum += c.referenceRaw[0] - v;
    }
    // degree-hours of whole units: tenths x records x hours per record / 10
    const long long intervalSec = c.intervalHour * 3600LL + c.intervalMinute * 60LL + c.intervalTenSec * 10LL;
    const long long value = sum * intervalSec / 3600 / 10;
    return int(std::min<long long>(value, 0xFFFFF));
}

QByteArray Device::summaryAnswer() const {
    const Config& c = config_;
    const int count = recordCount();
    unsigned last = 0xFFFF;
    if (simModel(c.model).endlessFlags && flags() == 3 && count > 0) {
        last = unsigned(wrapPosition() - 1);
    } else if (count > 0) {
        last = unsigned(count - 1);
    }
    const Stats s1 = statsOf(records_[0]);
    if (simModel(c.model).channels == 1) {
        QByteArray buf = frameOf(32, '4');
        put(buf, 5, field(s1.max, 3));
        put(buf, 8, field(s1.min, 3));
        put(buf, 11, field(s1.average, 3));
        put(buf, 15, field(integratedValue(), 5));
        put(buf, 21, field(last, 4));
        put(buf, 26, field(s1.errors, 3));
        return buf;
    }
    const Stats s2 = statsOf(records_[1]);
    QByteArray buf = frameOf(40, '4');
    put(buf, 5, field(s1.max, 3));
    put(buf, 8, field(s1.min, 3));
    put(buf, 11, field(s1.average, 3));
    put(buf, 15, field(s2.max, 3));
    put(buf, 18, field(s2.min, 3));
    put(buf, 21, field(s2.average, 3));
    put(buf, 25, field(last, 4));
    put(buf, 30, field(s1.errors, 3));
    put(buf, 34, field(s2.errors, 3));
    return buf;
}

QByteArray Device::statusAnswer() const {
    QByteArray buf;
    buf += wire::STX;
    buf += " 3,";
    buf += status();
    buf += ',';
    buf += wire::ETX;
    buf += wire::CR;
    buf += wire::LF;
    return buf;
}

QByteArray Device::valuesAnswer() const {
    const int count = recordCount();
    const int per = valuesPerBlock(config_.model);
    const int blocks = count == 0 ? 1 : (count - 1) / per + 1;
    const bool two = channelCount(config_.model) == 2;
    auto at = [&](int ch, int i) { return i < count ? records_[ch][i] : wire::kErrorRaw; };
    QByteArray out;
    out.reserve(blocks * wire::kBlockLength);
    for (int k = 0; k < blocks; ++k) {
        int values[32];
        for (int j = 0; j < 32; ++j) {
            values[j] = two ? at(j % 2, k * 16 + j / 2) : at(0, k * 32 + j);
        }
        out += wire::block(values, k == blocks - 1);
    }
    return out;
}

}  // namespace quillet::sim
