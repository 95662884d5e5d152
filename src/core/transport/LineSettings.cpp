#include "core/transport/LineSettings.h"

#include <array>

namespace {

struct SpeedEntry {
    int bitsPerSecond;
    speed_t constant;
};

constexpr std::array kSpeeds = {
    SpeedEntry{9600, B9600},
    SpeedEntry{19200, B19200},
    SpeedEntry{38400, B38400},
    SpeedEntry{57600, B57600},
    SpeedEntry{115200, B115200},
#ifdef B230400
    SpeedEntry{230400, B230400},
#endif
#ifdef B460800
    SpeedEntry{460800, B460800},
#endif
#ifdef B921600
    SpeedEntry{921600, B921600},
#endif
};
static_assert(kSpeeds.size() >= 5, "the five link rates of the camera must be there");

constexpr tcflag_t kInputOff = IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                               IXANY | INPCK;
constexpr tcflag_t kLocalOff = ECHO | ECHONL | ICANON | ISIG | IEXTEN;
#ifdef CRTSCTS
constexpr tcflag_t kControlOff = CSIZE | PARENB | CSTOPB | CRTSCTS;
#else
constexpr tcflag_t kControlOff = CSIZE | PARENB | CSTOPB;
#endif
constexpr tcflag_t kControlOn = CS8 | CLOCAL | CREAD;

} // namespace

std::optional<speed_t> SpeedConstantOf(int bitsPerSecond)
{
    for (const SpeedEntry &entry : kSpeeds) {
        if (entry.bitsPerSecond == bitsPerSecond)
            return entry.constant;
    }
    return std::nullopt;
}

void SetImmediateReads(termios &line)
{
    line.c_cc[VMIN] = 0;
    line.c_cc[VTIME] = 0;
}

void SetRawLine(termios &line, speed_t speed)
{
    line.c_iflag &= ~kInputOff;
    line.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    line.c_lflag &= ~kLocalOff;
    line.c_cflag &= ~kControlOff;
    line.c_cflag |= kControlOn;
    SetImmediateReads(line);
    cfsetispeed(&line, speed);
    cfsetospeed(&line, speed);
}

bool LineSettingsTook(const termios &wanted, const termios &actual)
{
    const tcflag_t controlMask = kControlOff | kControlOn;
    return cfgetospeed(&actual) == cfgetospeed(&wanted) && cfgetispeed(&actual) == cfgetispeed(&wanted) &&
           (actual.c_cflag & controlMask) == (wanted.c_cflag & controlMask) &&
           (actual.c_iflag & kInputOff) == 0 && (actual.c_lflag & kLocalOff) == 0 &&
           (actual.c_oflag & OPOST) == 0;
}
