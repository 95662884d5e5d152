#pragma once

#include <cstdint>

// A 32-bit millisecond tick that wraps like the platform tick counter. Time-outs are always
// measured as the unsigned difference of two ticks, so they survive the wrap. A bias lets a
// test start the counter just before the wrap.
class TickClock {
public:
    explicit TickClock(std::uint32_t bias = 0) : bias_(bias) {}

    std::uint32_t Now() const;
    static std::uint32_t Elapsed(std::uint32_t start, std::uint32_t now) { return now - start; }
    std::uint32_t Since(std::uint32_t start) const { return Elapsed(start, Now()); }

    static void SleepMs(unsigned ms);

private:
    std::uint32_t bias_;
};
