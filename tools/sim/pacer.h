// Pacing of the simulator's output at the speed of the real line: one
// character every (bits per character / baud) seconds. Deadlines are
// absolute (first character of a run + n periods), so late wake-ups do not
// add up and the average rate stays exact.
#pragma once

#include <cstdint>

namespace quillet::sim {

class Pacer {
public:
    explicit Pacer(int baud = 4800, int bitsPerCharacter = 10);

    // Monotonic time (ns) at which the next character is due. The first call
    // after construction or idle() starts a new run at nowNs.
    int64_t due(int64_t nowNs);
    // One character went out.
    void sent() { ++count_; }
    // Nothing left to send: the next character starts a new run.
    void idle() { base_ = -1; }

    int64_t periodNs() const;

private:
    int baud_;
    int bits_;
    int64_t base_ = -1;
    int64_t count_ = 0;
};

}  // namespace quillet::sim
