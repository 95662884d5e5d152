#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

// A 32-bit millisecond tick that wraps like the platform tick counter. Time-outs are always
// measured as the unsigned difference of two ticks, so they survive the wrap. A bias lets a
// test start the counter just before the wrap; a lead that grows while the clock is in use
// lets a test pass a long time-out at once.
class TickClock {
public:
    explicit TickClock(std::uint32_t bias = 0) : bias_(bias) {}
    TickClock(std::uint32_t bias, const std::atomic<std::uint32_t> &lead) : bias_(bias), lead_(&lead) {}

    std::uint32_t Now() const;
    static std::uint32_t Elapsed(std::uint32_t start, std::uint32_t now) { return now - start; }
    std::uint32_t Since(std::uint32_t start) const { return Elapsed(start, Now()); }

    static void SleepMs(unsigned ms);
    // Sleeps ms in all, after doing the work: what the work takes comes out of the sleep.
    static void SleepMs(unsigned ms, const std::function<void()> &meanwhile);

private:
    std::uint32_t bias_;
    const std::atomic<std::uint32_t> *lead_ = nullptr;
};
