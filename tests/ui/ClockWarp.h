#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

#include "core/common/TickClock.h"

// Lets a test pass a time-out of minutes in about a second: the clocks it hands out run
// normally, and while a warp is on, a thread moves them ahead by stepMs every 5 ms. Only for
// exchanges that the camera is not meant to answer: an answered exchange would see its limit
// shrink the same way.
class ClockWarp {
public:
    explicit ClockWarp(std::uint32_t stepMs = 2000) : stepMs_(stepMs) {}
    ~ClockWarp() { Off(); }
    ClockWarp(const ClockWarp &) = delete;
    ClockWarp &operator=(const ClockWarp &) = delete;

    TickClock Clock() const { return TickClock(0, lead_); }

    void On()
    {
        if (thread_.joinable())
            return;
        running_ = true;
        thread_ = std::thread([this] {
            while (running_) {
                lead_ += stepMs_;
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        });
    }

    void Off()
    {
        running_ = false;
        if (thread_.joinable())
            thread_.join();
    }

private:
    const std::uint32_t stepMs_;
    std::atomic<std::uint32_t> lead_{0};
    std::atomic<bool> running_{false};
    std::thread thread_;
};
