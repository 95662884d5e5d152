#pragma once

#include <optional>

#include <termios.h>

// termios speed constants and the bit rates they stand for.
speed_t SpeedOfBaud(int baud); // B9600 for a rate it does not know
std::optional<int> BaudOfSpeed(speed_t speed);
