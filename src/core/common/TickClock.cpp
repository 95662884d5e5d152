#include "core/common/TickClock.h"

#include <chrono>
#include <thread>

std::uint32_t TickClock::Now() const
{
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    const std::uint32_t lead = lead_ ? lead_->load(std::memory_order_relaxed) : 0;
    return static_cast<std::uint32_t>(ms) + bias_ + lead;
}

void TickClock::SleepMs(unsigned ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void TickClock::SleepMs(unsigned ms, const std::function<void()> &meanwhile)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    meanwhile();
    std::this_thread::sleep_until(until);
}
