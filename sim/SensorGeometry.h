#pragma once

#include <cstdint>

// The line sensor: 4,096 pixels, read out in steps of eight. Binning halves the pixels the
// image window can address, and the Camera Link set-up limits how fast a line can go out.
namespace SensorGeometry {

inline constexpr int kSensorPixels = 4096;
inline constexpr int kPixelStep = 8;

struct Window {
    int width;
    int offset;
};

int PixelsAt(int binning);

// What the camera adopts when a width or offset is asked for: a multiple of eight, at
// least one step wide, and offset + width within the binned sensor.
Window WithWidth(Window current, int requestedWidth, int binning);
Window WithOffset(Window current, int requestedOffset, int binning);
// A binning change keeps the same part of the sensor in view.
Window Rebinned(Window current, int oldBinning, int newBinning);

// Line period limits in units of 10 ns.
struct LinkSetup {
    int width;
    int pixelFormat; // "BA": 0 RGB8, 1 RGB10
    int clConfig;    // "CLCFG" code: 0 Base, 1 Medium, 2 Full, 4 Eighty
    int clClock;     // "CLCF": 0 85 MHz, 1 63.75 MHz, 2 42.5 MHz, 3 31.875 MHz
};
std::int64_t MinLinePeriod(const LinkSetup &setup);
std::int64_t MaxExposure(std::int64_t linePeriod, std::int64_t minLinePeriod);
std::int64_t MinExposure(int clClock);

} // namespace SensorGeometry
