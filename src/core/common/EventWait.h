#pragma once

#include <cstdint>
#include <functional>

// Waits up to ms while the thread's event loop runs (sockets, timers), ending early once
// until() holds; true when it held. Lets a program that works in steps, as the command line
// does, keep its connections served while it waits.
bool WaitServingEvents(std::uint32_t ms, const std::function<bool()> &until = {});
