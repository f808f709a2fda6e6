// libFuzzer target: any bytes as an answer of the reader. The first three
// bytes choose the parser and its parameters (identification with either
// range-code position, summary for each model, status, value blocks with
// one or two channels, any sample count, range bottoms and memory wrap); the
// rest is the answer. Nothing may crash, and what a parser accepts must be
// consistent.
#include "comm/protocol.h"

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

using namespace quillet;

void identification(const QByteArray& answer, int secondCode) {
    PendingLogger p;
    const int model = parseIdentification(answer, secondCode, p);
    check(model >= 0 && model <= 4 && model == p.loggerModel);
    check(model == 0 || model == modelFromIdentification(answer));
    if (model == 0) return;
    check(p.ch[1].cardNo >= 0 && p.ch[1].cardNo <= 255 && p.ch[1].testNo >= 0 && p.ch[1].testNo <= 255);
}

void summary(const QByteArray& answer, int model) {
    PendingLogger p;
    p.loggerModel = int16_t(model);
    const PendingLogger before = p;
    if (!parseSummary(answer, p)) {
        check(p.ch[1].sampleCount == before.ch[1].sampleCount && p.ch[1].maxValue == before.ch[1].maxValue);
        return;
    }
    check(p.ch[1].sampleCount >= 0 && p.ch[1].sampleCount <= kMaxSamples);
}

void blocks(const QByteArray& answer, uint8_t a, uint8_t b) {
    static const int16_t bottoms[4] = {-400, 0, 500, 0};
    BlockDecoding how;
    how.twoChannels = (a & 1) != 0;
    // Mostly short recordings, now and then any count (also out of range).
    how.sampleCount = (a & 2) ? (a >> 2) | (b << 6) : (a >> 2) % 40;
    how.rangeLow1 = bottoms[b & 3];
    how.rangeLow2 = bottoms[(b >> 2) & 3];
    how.wrapPosition = (b & 0x10) ? (b >> 5) * 3 : 0;
    std::vector<int16_t> one{1}, two{2};
    const bool ok = decodeBlocks(answer, how, one, two);
    if (!ok) {
        check(one.empty() && two.empty());
        return;
    }
    const size_t n = size_t(how.sampleCount);
    check(one.size() == n && two.size() == (how.twoChannels ? n : 0));
    for (int16_t v : one) check(v == kErrorSample || (v >= how.rangeLow1 && v < how.rangeLow1 + 1023));
    for (int16_t v : two) check(v == kErrorSample || (v >= how.rangeLow2 && v < how.rangeLow2 + 1023));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    const QByteArray answer(reinterpret_cast<const char*>(data) + 3, qsizetype(size - 3));
    switch (data[0] % 4) {
    case 0: identification(answer, data[1] & 1); break;
    case 1: summary(answer, 1 + data[1] % 4); break;
    case 2: {
        const LoggerStatus s = readStatus(answer);
        check(s >= LoggerStatus::locked && s <= LoggerStatus::readError);
        break;
    }
    default: blocks(answer, data[1], data[2]);
    }
    return 0;
}
