#include "TermiosSpeed.h"

#include <array>

namespace {

struct SpeedRow {
    speed_t speed;
    int baud;
};
constexpr std::array<SpeedRow, 8> kSpeeds = {{
    {B4800, 4800}, {B9600, 9600}, {B19200, 19200}, {B38400, 38400},
    {B57600, 57600}, {B115200, 115200}, {B230400, 230400}, {B460800, 460800},
}};

} // namespace

speed_t SpeedOfBaud(int baud)
{
    for (const SpeedRow &row : kSpeeds)
        if (row.baud == baud)
            return row.speed;
    return B9600;
}

std::optional<int> BaudOfSpeed(speed_t speed)
{
    for (const SpeedRow &row : kSpeeds)
        if (row.speed == speed)
            return row.baud;
    return std::nullopt;
}
