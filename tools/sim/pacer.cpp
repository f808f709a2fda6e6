#include "tools/sim/pacer.h"

#include <algorithm>

namespace quillet::sim {

Pacer::Pacer(int baud, int bitsPerCharacter) : baud_(std::max(1, baud)), bits_(std::max(1, bitsPerCharacter)) {}

int64_t Pacer::due(int64_t nowNs) {
    if (base_ < 0) {
        base_ = nowNs;
        count_ = 0;
    }
    return base_ + count_ * bits_ * int64_t(1'000'000'000) / baud_;
}

int64_t Pacer::periodNs() const { return int64_t(bits_) * 1'000'000'000 / baud_; }

}  // namespace quillet::sim
