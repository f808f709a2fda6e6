#include "comm/protocol.h"

#include "core/loggermodels.h"

#include "core/catalog.h"
#include "core/context.h"
#include "core/store.h"

#include <algorithm>
#include <climits>

namespace quillet {
namespace {

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

int16_t toInt16(long v) { return int16_t(std::clamp<long>(v, INT16_MIN, INT16_MAX)); }

// The values of an answer's fields, by Field.
using FieldValues = std::array<int, size_t(Field::Count)>;

FieldValues readFields(const QByteArray& answer, std::span<const FieldAt> layout) {
    FieldValues v{};
    for (const FieldAt& f : layout) v[size_t(f.field)] = readField(answer, f.position, f.digits);
    return v;
}

}  // namespace

// ---- Number encoding --------------------------------------------------

QByteArray hexField(int value, int width) {
    if (value < 0) value = 0;
    QByteArray h = QByteArray::number(value, 16).toUpper();
    if (h.size() < width) h.prepend(QByteArray(width - h.size(), '0'));
    return h;
}

QByteArray reverseDigits(const QByteArray& text) {
    QByteArray r(text);
    std::reverse(r.begin(), r.end());
    return r;
}

QByteArray encodeField(int value, int width) {
    const int maxValue = width >= 7 ? INT_MAX : (1 << (4 * width)) - 1;
    return reverseDigits(hexField(std::clamp(value, 0, maxValue), width));
}

int decodeField(const QByteArray& fieldText) {
    const QByteArray r = reverseDigits(fieldText);
    int v = 0;
    for (int i = 0; i < r.size() && i < 7; ++i) {
        const int d = hexDigitValue(r[i]);
        if (d < 0) break;
        v = v * 16 + d;
    }
    return v;
}

int readField(const QByteArray& answer, int position, int digits) {
    if (position < 1 || digits < 1 || position > answer.size()) return 0;
    return decodeField(answer.mid(position - 1, digits));
}

// ---- Frames -----------------------------------------------------------

QByteArray commandFrame(int group, int number, const QByteArray& data) {
    QByteArray f;
    f += kStx;
    f += ' ';
    f += char('0' + std::clamp(group, 0, 9));
    f += ',';
    f += ' ';
    f += char('0' + std::clamp(number, 0, 9));
    if (!data.isEmpty()) {
        f += ',';
        f += data;
    }
    f += ',';
    f += kEtx;
    f += kCr;
    f += kLf;
    return f;
}

// ---- Identification ------------------------------------------------------

int modelFromIdentification(const QByteArray& answer) {
    for (const LoggerModel& m : kLoggerModels) {
        if (answer.size() != m.identificationLength) continue;
        if (m.mark.position > 0 && answer[m.mark.position - 1] != m.mark.character) continue;
        return m.number;
    }
    return 0;
}

int parseIdentification(const QByteArray& answer, int secondCode, PendingLogger& logger) {
    const int model = modelFromIdentification(answer);
    logger = PendingLogger{};
    logger.loggerModel = int16_t(model);
    const LoggerModel* m = loggerModel(model);
    if (!m) return 0;

    FieldValues fields = readFields(answer, m->identification);
    if (secondCode == 1 && m->nextRangeCodePosition > 0)
        fields[size_t(Field::Range1)] = readField(answer, m->nextRangeCodePosition, 1);
    const auto v = [&](Field f) { return fields[size_t(f)]; };

    // The fields both channels share, then each channel's own.
    ChannelHeader shared;
    shared.cardNo = int16_t(v(Field::CardNo));
    shared.testNo = int16_t(v(Field::TestNo));
    const int y = v(Field::StartYear);
    shared.startYear = int16_t(y < 95 ? 2000 + y : 1900 + y);
    shared.startMonth = int16_t(v(Field::StartMonth));
    shared.startDay = int16_t(v(Field::StartDay));
    shared.startHour = int16_t(v(Field::StartHour));
    shared.startMinute = int16_t(v(Field::StartMinute));
    shared.startTenSec = int16_t(v(Field::StartTenSec));
    shared.intervalHour = int16_t(v(Field::IntervalHour));
    shared.intervalMinute = int16_t(v(Field::IntervalMinute));
    shared.intervalTenSec = int16_t(v(Field::IntervalTenSec));
    logger.intervalInSeconds = shared.intervalTenSec > 0;

    auto& c1 = logger.ch[1];
    auto& c2 = logger.ch[2];
    c1 = shared;
    c1.rangeCode = int16_t(v(Field::Range1));
    c1.rangeLow = rangeLowFor(c1.rangeCode);
    c1.kind = int16_t(m->kinds[0]);
    if (m->channels == 2) {
        c2 = shared;
        c2.rangeCode = int16_t(v(Field::Range2));
        c2.rangeLow = rangeLowFor(c2.rangeCode);
        c2.kind = int16_t(m->kinds[1]);
    }

    auto setReference = [](ChannelHeader& c, int raw, int side) {
        if (raw == 0xFFF) {
            c.referenceValue = kNotSet;
            c.referenceSide = 0;
        } else {
            c.referenceValue = int16_t(raw + c.rangeLow);
            c.referenceSide = int16_t(side);
        }
    };
    if (m->referenceChannels >= 1) setReference(c1, v(Field::Reference1), v(Field::Side1));
    if (m->referenceChannels >= 2) setReference(c2, v(Field::Reference2), v(Field::Side2));
    if (m->hasRangeModeCode) logger.rangeModeCode = c1.rangeCode;

    // Alarm values only where the channel's kind carries them.
    switch (m->alarmBase) {
    case AlarmBase::RangeBottom:
        // Alarms count from the range bottom; a raw upper alarm of 0 reads
        // as one unit above it, a raw lower alarm of 1000 one unit below the
        // top.
        c1.upperAlarm = int16_t(v(Field::Upper1) + c1.rangeLow + (v(Field::Upper1) == 0 ? 10 : 0));
        c1.lowerAlarm = int16_t(v(Field::Lower1) + c1.rangeLow - (v(Field::Lower1) == 1000 ? 10 : 0));
        c2.upperAlarm = int16_t(v(Field::Upper2) + c2.rangeLow + (v(Field::Upper2) == 0 ? 10 : 0));
        c2.lowerAlarm = int16_t(v(Field::Lower2) + c2.rangeLow - (v(Field::Lower2) == 1000 ? 10 : 0));
        break;
    case AlarmBase::MinusForty:
        c1.upperAlarm = int16_t(v(Field::Upper1) - 400);
        c1.lowerAlarm = int16_t(v(Field::Lower1) - 400);
        c2.upperAlarm = int16_t(v(Field::Upper2) - 400);
        c2.lowerAlarm = int16_t(v(Field::Lower2) - 400);
        break;
    case AlarmBase::None: break;
    }
    if (m->wrapsMemory) {
        logger.endlessFlag = (v(Field::Flags) & 2) != 0;
        logger.wrapFlag = (v(Field::Flags) & 1) != 0;
    }
    if (m->hasEndReservation)
        logger.recordLimit = logger.endlessFlag && logger.wrapFlag ? int16_t(m->memoryRecords)
                                                                   : toInt16(long(v(Field::RecordLimit)) + 1);
    return model;
}

int parseIdentification(AppContext& ctx, int secondCode) {
    const int model = parseIdentification(ctx.comm->receiveBuffer, secondCode, ctx.pendingLogger);
    if (!isKnownModel(model)) {
        showMessage(ctx, Caption::LoggerRead, Msg::UnsupportedLogger, kOkOnly);
        ctx.comm->status = Exchange::Faulty;
    }
    return model;
}

// ---- Summary --------------------------------------------------------------

bool memoryWrapped(const PendingLogger& p) {
    const LoggerModel* m = loggerModel(p.loggerModel);
    return m && m->wrapsMemory && p.endlessFlag && p.wrapFlag;
}

bool parseSummary(const QByteArray& answer, PendingLogger& logger) {
    const LoggerModel* m = loggerModel(logger.loggerModel);
    const std::span<const FieldAt> layout = m ? m->summary : std::span<const FieldAt>(kSummaryTwoChannels);
    const bool twoChannels = !m || m->channels == 2;
    // The fields, then "," ETX CR LF.
    if (answer.size() < fieldsEnd(layout) + 2) return false;
    const FieldValues fields = readFields(answer, layout);
    const auto v = [&](Field f) { return fields[size_t(f)]; };

    const bool noRecord = v(Field::LastRecord) == 0xFFFF;
    const bool wrapped = memoryWrapped(logger);
    int sampleCount = noRecord ? 0 : v(Field::LastRecord) + 1;
    int wrapPosition = 0;
    if (wrapped) {
        // A full memory: the field is the position of the newest record.
        const int memory = m->memoryRecords;
        if (noRecord || sampleCount > memory) return false;
        wrapPosition = sampleCount;
        sampleCount = memory;
    }
    if (sampleCount > kMaxSamples) return false;

    auto& c1 = logger.ch[1];
    auto& c2 = logger.ch[2];
    c1.maxValue = int16_t(v(Field::Max1) + c1.rangeLow);
    c1.minValue = int16_t(v(Field::Min1) + c1.rangeLow);
    c1.averageValue = int16_t(v(Field::Average1) + c1.rangeLow);
    c1.errorCount = int16_t(v(Field::Errors1));
    if (m && m->integratedValue == IntegratedValue::Reported) c1.integratedValue = v(Field::Integrated);
    if (twoChannels) {
        c2.maxValue = int16_t(v(Field::Max2) + c2.rangeLow);
        c2.minValue = int16_t(v(Field::Min2) + c2.rangeLow);
        c2.averageValue = int16_t(v(Field::Average2) + c2.rangeLow);
        c2.errorCount = int16_t(v(Field::Errors2));
    }
    c1.sampleCount = int16_t(sampleCount);
    if (twoChannels) c2.sampleCount = int16_t(sampleCount);
    logger.wrapPosition = int16_t(wrapPosition);
    return true;
}

bool parseSummary(AppContext& ctx) { return parseSummary(ctx.comm->receiveBuffer, ctx.pendingLogger); }

// ---- Status -------------------------------------------------------------------

LoggerStatus readStatus(const QByteArray& answer) {
    static const QByteArray head = QByteArray(1, kStx) + " 3,";
    static const QByteArray tail = QByteArray(",") + kEtx + kCr + kLf;
    if (answer.size() != 10 || !answer.startsWith(head) || !answer.endsWith(tail)) return LoggerStatus::readError;
    const char s1 = answer[4];
    const char s2 = answer[5];
    if (s1 == '1' || s1 == '3') return LoggerStatus::recording;
    if (s2 == '1') return LoggerStatus::locked;
    if (s2 == '2' && (s1 == '2' || s1 == '0')) return LoggerStatus::ready;
    return LoggerStatus::readError;
}

LoggerStatus parseStatus(AppContext& ctx) {
    const LoggerStatus status = readStatus(ctx.comm->receiveBuffer);
    if (status == LoggerStatus::recording) showMessage(ctx, Caption::LoggerSettings, Msg::Recording, kOkOnly);
    if (status == LoggerStatus::readError) showMessage(ctx, Caption::LoggerSettings, Msg::ReadError, kOkOnly);
    return status;
}

// ---- Recorded values ------------------------------------------------------

int blockCount(int sampleCount, bool twoChannels) {
    const int perBlock = twoChannels ? kRecordsPerBlockTwoChannels : kRecordsPerBlockOneChannel;
    if (sampleCount <= 0) return 0;
    return (sampleCount - 1) / perBlock + 1;
}

bool decodeBlocks(const QByteArray& answer, const BlockDecoding& how, std::vector<int16_t>& channel1,
                  std::vector<int16_t>& channel2) {
    channel1.clear();
    channel2.clear();
    const int n = how.sampleCount;
    if (n < 0 || n > kMaxSamples) return false;
    if (n == 0) return true;

    const int blocks = blockCount(n, how.twoChannels);
    if (answer.size() < qsizetype(blocks) * kBlockLength) return false;

    std::vector<int16_t> a(n), b(how.twoChannels ? n : 0);
    auto store = [](int raw, int16_t rangeLow) -> int16_t {
        return raw == 1023 ? kErrorSample : int16_t(raw + rangeLow);
    };
    auto digit = [](char c) { return std::max(hexDigitValue(c), 0); };

    for (int k = 0; k < blocks; ++k) {
        const char* blk = answer.constData() + qsizetype(k) * kBlockLength;
        if (blk[0] != kStx || blk[kBlockLength - 1] != kLf) return false;
        for (int g = 0; g < 8; ++g) {
            const char* o = blk + 4 + 10 * g;  // block position 5 + 10 g
            const int hi1 = digit(o[0]);
            const int hi2 = digit(o[1]);
            const int raw[4] = {
                (hi1 & 3) * 256 + decodeField(QByteArray(o + 2, 2)),
                ((hi1 / 4) & 3) * 256 + decodeField(QByteArray(o + 4, 2)),
                (hi2 & 3) * 256 + decodeField(QByteArray(o + 6, 2)),
                ((hi2 / 4) & 3) * 256 + decodeField(QByteArray(o + 8, 2)),
            };
            if (how.twoChannels) {
                // Values alternate: record r of CH1, of CH2, record r+1 ...
                const int r = kRecordsPerBlockTwoChannels * k + 2 * g;
                for (int i = 0; i < 2; ++i) {
                    if (r + i >= n) break;
                    a[r + i] = store(raw[2 * i], how.rangeLow1);
                    b[r + i] = store(raw[2 * i + 1], how.rangeLow2);
                }
            } else {
                const int r = kRecordsPerBlockOneChannel * k + 4 * g;
                for (int i = 0; i < 4 && r + i < n; ++i) a[r + i] = store(raw[i], how.rangeLow1);
            }
        }
    }

    if (how.wrapPosition > 0 && how.wrapPosition < n) {
        std::rotate(a.begin(), a.begin() + how.wrapPosition, a.end());
        if (how.twoChannels) std::rotate(b.begin(), b.begin() + how.wrapPosition, b.end());
    }
    channel1 = std::move(a);
    channel2 = std::move(b);
    return true;
}

bool decodeBlocks(AppContext& ctx, Destinations to, bool twoChannels) {
    const PendingLogger& p = ctx.pendingLogger;
    const int d1 = to.first;
    const int d2 = to.second;
    auto valid = [](int d) { return d >= 1 && d <= kChannels; };

    BlockDecoding how;
    how.twoChannels = twoChannels;
    how.sampleCount = p.ch[1].sampleCount;
    how.rangeLow1 = p.ch[1].rangeLow;
    how.rangeLow2 = p.ch[2].rangeLow;
    if (memoryWrapped(p)) how.wrapPosition = p.wrapPosition;

    std::vector<int16_t> c1, c2;
    if (!valid(d1) || (twoChannels && (!valid(d2) || d2 == d1)) ||
        !decodeBlocks(ctx.comm->receiveBuffer, how, c1, c2)) {
        ctx.comm->status = Exchange::Faulty;
        return false;
    }
    auto& s1 = ctx.store.samples[d1];
    std::copy(c1.begin(), c1.end(), s1.begin() + 1);
    if (twoChannels) {
        auto& s2 = ctx.store.samples[d2];
        std::copy(c2.begin(), c2.end(), s2.begin() + 1);
    }
    return true;
}

// ---- Data of the setting commands ----------------------------------------

QByteArray cardNoData(int cardNo) { return encodeField(cardNo, 2); }

QByteArray testNoData(int testNo) { return encodeField(testNo, 2); }

QByteArray recordModeData(RecordMode mode) { return mode == endless ? "1" : "0"; }

QByteArray intervalData(const RecordingSettings& s) {
    if (s.useSecondsInterval) return "000" + hexField(std::clamp(s.secondsInterval / 10, 1, 5), 1);
    return encodeField(s.intervalMinute, 2) + encodeField(s.intervalHour, 2);
}

QByteArray referenceData(const RecordingSettings& s, int model) {
    const auto channel = [&s](size_t ch) {
        const QByteArray value =
            s.referenceValue[ch] == kNotSet ? QByteArray("FFF") : encodeField(s.referenceValue[ch] * 10, 3);
        return value + (s.referenceSide[ch] == 8 ? "8" : "0");
    };
    QByteArray d = channel(1);
    const LoggerModel* m = loggerModel(model);
    if (m && m->referenceChannels == 2) d += channel(2);
    return d;
}

QByteArray alarmData(const RecordingSettings& s, int channel, int model, int16_t rangeLow) {
    const int c = channel == 2 ? 2 : 1;
    const LoggerModel* m = loggerModel(model);
    const int offset = m && m->alarmBase == AlarmBase::MinusForty ? 400 : -rangeLow;
    return encodeField(s.upperAlarm[c] * 10 + offset, 3) + encodeField(s.lowerAlarm[c] * 10 + offset, 3);
}

QByteArray recordLimitData(int recordLimit) { return encodeField(recordLimit, 4); }

QByteArray dateTimeData(const QDateTime& t) {
    const QDate d = t.date();
    const QTime tm = t.time();
    return encodeField(tm.minute(), 2) + encodeField(tm.hour(), 2) + encodeField(d.day(), 2) +
           encodeField(d.month(), 2) + encodeField(d.year() % 100, 2);
}

QByteArray lockData(const RecordingSettings& s, int model) {
    const LoggerModel* m = loggerModel(model);
    if (m && m->canStayUnlocked && !s.lockLogger) return "2";
    return "1";
}

int settingSteps(int model) {
    PendingLogger logger;
    logger.loggerModel = int16_t(model);
    const QList<SettingCommand> commands = settingCommands(RecordingSettings{}, logger);
    return commands.isEmpty() ? 0 : commands.last().step;
}

QList<SettingCommand> settingCommands(const RecordingSettings& s, const PendingLogger& logger) {
    const int m = logger.loggerModel;
    const LoggerModel* model = loggerModel(m);
    if (!model) return {};
    QList<SettingCommand> out;
    int step = 0;
    const auto add = [&out](int at, WireCommand c, const QByteArray& data, Caption caption) {
        out.append({at, c.group, c.number, data, int(caption)});
    };
    add(++step, Cmd::CardNo, cardNoData(s.cardNo), Caption::CardNo);
    add(++step, Cmd::TestNo, testNoData(s.testNo), Caption::TestNo);
    if (model->hasModes) add(++step, Cmd::RecordMode, recordModeData(s.recordMode), Caption::RecordMode);
    add(++step, Cmd::Interval, intervalData(s), Caption::Interval);
    if (model->referenceChannels > 0) add(++step, Cmd::Reference, referenceData(s, m), Caption::Reference);
    if (model->channels == 2) {
        ++step;
        add(step, Cmd::AlarmsChannel1, alarmData(s, 1, m, logger.ch[1].rangeLow), Caption::Alarm);
        add(step, Cmd::AlarmsChannel2, alarmData(s, 2, m, logger.ch[2].rangeLow), Caption::Alarm);
        add(++step, Cmd::RecordLimit, recordLimitData(s.recordLimit), Caption::EndReservation);
    }
    add(++step, Cmd::SetClock, dateTimeData(s.clockTime), Caption::Clock);
    add(++step, Cmd::StartTime, dateTimeData(s.startTime), Caption::StartTime);
    add(++step, Cmd::Lock, lockData(s, m), Caption::Lock);
    return out;
}

}  // namespace quillet
