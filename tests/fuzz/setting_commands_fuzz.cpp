// libFuzzer target: the settings writer's commands, decoded by the logger
// simulator. The bytes choose a model and a recording settings record with
// values the settings dialog can offer; every command built for it must be
// acknowledged, and the simulated logger must afterwards hold exactly those
// values. The simulator decodes with its own code, so an encoder fault
// shows here as a disagreement.
#include "comm/protocol.h"
#include "tools/sim/device.h"

#include <QDateTime>

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

// Reads small numbers off the input; zeros once it runs out.
class Bytes {
public:
    Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    int pick(int lowest, int highest) {  // lowest .. highest
        uint32_t v = 0;
        for (int i = 0; i < 2; ++i) v = v << 8 | (pos_ < size_ ? data_[pos_++] : 0);
        return lowest + int(v % uint32_t(highest - lowest + 1));
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

QDateTime someTime(Bytes& in) {
    const QDate day(in.pick(2000, 2094), in.pick(1, 12), 1);
    return QDateTime(day.addDays(in.pick(0, day.daysInMonth() - 1)), QTime(in.pick(0, 23), in.pick(0, 59)));
}

void sameTime(const quillet::sim::LoggerTime& held, const QDateTime& sent) {
    check(held.year % 100 == sent.date().year() % 100 && held.month == sent.date().month() &&
          held.day == sent.date().day() && held.hour == sent.time().hour() && held.minute == sent.time().minute());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quillet;
    Bytes in(data, size);
    const int model = in.pick(1, 4);
    sim::Config config;
    config.model = model;
    config.records = 0;
    if (model == 3) config.rangeCode[0] = in.pick(1, 3);
    sim::Device logger(config);

    PendingLogger pending;
    pending.loggerModel = int16_t(model);
    for (int ch = 1; ch <= 2; ++ch) pending.ch[size_t(ch)].rangeLow = int16_t(sim::rangeLowOf(logger.rangeCode(ch)));

    RecordingSettings s;
    s.cardNo = int16_t(in.pick(0, 255));
    s.testNo = int16_t(in.pick(0, 255));
    s.useSecondsInterval = (model == 3 || model == 4) && in.pick(0, 1) == 1;
    s.secondsInterval = int16_t(in.pick(1, 5) * 10);
    const int minutes = in.pick(1, 60);
    s.intervalHour = int16_t(minutes / 60);
    s.intervalMinute = int16_t(minutes % 60);
    s.recordMode = in.pick(0, 1) == 1 ? endless : oneTime;
    s.lockLogger = in.pick(0, 1) == 1;
    const bool wide = model == 4;
    for (int ch = 1; ch <= 2; ++ch) {
        s.referenceValue[size_t(ch)] = int16_t(in.pick(0, 100));
        s.referenceSide[size_t(ch)] = int16_t(in.pick(0, 1) * 8);
        const int first = wide ? -39 : (ch == 1 ? -39 : 1);
        const int last = wide ? 150 : (ch == 1 ? 60 : 100);
        // The dialog keeps every lower alarm below its upper one.
        s.upperAlarm[size_t(ch)] = int16_t(in.pick(first, last));
        s.lowerAlarm[size_t(ch)] = int16_t(in.pick(first - 1, s.upperAlarm[size_t(ch)] - 1));
    }
    s.recordLimit = int16_t(in.pick(0, model == 1 ? 2999 : 5999));
    s.clockTime = someTime(in);
    s.startTime = someTime(in);

    for (const SettingCommand& c : settingCommands(s, pending)) {
        logger.receive(commandFrame(c.group, c.number, c.data));
        check(logger.take(64) == QByteArray("\x06\r\n"));
    }

    check(logger.cardNo() == s.cardNo && logger.testNo() == s.testNo);
    if (s.useSecondsInterval)
        check(logger.intervalHour() == 0 && logger.intervalMinute() == 0 &&
              logger.intervalTenSec() == s.secondsInterval / 10);
    else
        check(logger.intervalHour() == s.intervalHour && logger.intervalMinute() == s.intervalMinute &&
              logger.intervalTenSec() == 0);
    sameTime(logger.start(), s.startTime);
    sameTime(logger.clock(), s.clockTime);
    if (model != 3) {
        check(logger.recordLimit() == s.recordLimit);
        for (int ch = 1; ch <= 2; ++ch) {
            const int offset = model == 4 ? 400 : -pending.ch[size_t(ch)].rangeLow;
            check(logger.upperAlarmRaw(ch) == s.upperAlarm[size_t(ch)] * 10 + offset);
            check(logger.lowerAlarmRaw(ch) == s.lowerAlarm[size_t(ch)] * 10 + offset);
        }
    }
    if (model != 4) {
        const int channels = model == 3 ? 1 : 2;
        for (int ch = 1; ch <= channels; ++ch)
            check(logger.referenceRaw(ch) == s.referenceValue[size_t(ch)] * 10 &&
                  logger.referenceSide(ch) == s.referenceSide[size_t(ch)]);
    }
    if (model == 3 || model == 4) check(logger.endless() == (s.recordMode == endless));
    check(logger.locked() == (model != 4 || s.lockLogger));
    return 0;
}
