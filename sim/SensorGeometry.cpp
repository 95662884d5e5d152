#include "SensorGeometry.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace SensorGeometry {

namespace {

int roundDownToStep(int value)
{
    return value - value % kPixelStep;
}

struct ConfigRow {
    int code;
    double pixelsPerClock; // RGB8 pixels per Camera Link clock
};
constexpr std::array<ConfigRow, 4> kConfigs = {{{0, 1.0}, {1, 2.0}, {2, 8.0 / 3.0}, {4, 10.0 / 3.0}}};
constexpr std::array<double, 4> kClockMHz = {85.0, 63.75, 42.5, 31.875};

constexpr int kBlankingClocks = 40;     // line overhead after the pixels
constexpr double kRgb10Throughput = 0.8; // ten bits a colour need a fifth more bandwidth
constexpr std::int64_t kSensorMinPeriod = 1000; // 10 us readout floor
constexpr std::int64_t kExposureMargin = 100;   // 1 us between exposure end and readout
constexpr int kExposureMinClocks = 128;

double clockMHz(int code)
{
    return kClockMHz[std::clamp(code, 0, static_cast<int>(kClockMHz.size()) - 1)];
}

} // namespace

int PixelsAt(int binning)
{
    return kSensorPixels / std::max(1, binning);
}

Window WithWidth(Window current, int requestedWidth, int binning)
{
    const int pixels = PixelsAt(binning);
    const int width = std::clamp(roundDownToStep(requestedWidth), kPixelStep, std::max(kPixelStep, pixels - current.offset));
    return {width, current.offset};
}

Window WithOffset(Window current, int requestedOffset, int binning)
{
    const int pixels = PixelsAt(binning);
    const int offset = std::clamp(roundDownToStep(requestedOffset), 0, pixels - kPixelStep);
    return {std::min(current.width, pixels - offset), offset};
}

Window Rebinned(Window current, int oldBinning, int newBinning)
{
    const auto scale = [&](int value) { return roundDownToStep(value * oldBinning / newBinning); };
    const int pixels = PixelsAt(newBinning);
    const int offset = std::clamp(scale(current.offset), 0, pixels - kPixelStep);
    const int width = std::clamp(scale(current.width), kPixelStep, std::max(kPixelStep, pixels - offset));
    return {width, offset};
}

std::int64_t MinLinePeriod(const LinkSetup &setup)
{
    double pixelsPerClock = kConfigs[0].pixelsPerClock;
    for (const ConfigRow &row : kConfigs)
        if (row.code == setup.clConfig)
            pixelsPerClock = row.pixelsPerClock;
    if (setup.pixelFormat == 1)
        pixelsPerClock *= kRgb10Throughput;
    const double clocks = setup.width / pixelsPerClock + kBlankingClocks;
    const auto period = static_cast<std::int64_t>(std::ceil(clocks / clockMHz(setup.clClock) * 100.0));
    return std::max(period, kSensorMinPeriod);
}

std::int64_t MaxExposure(std::int64_t linePeriod, std::int64_t minLinePeriod)
{
    return std::max(linePeriod, minLinePeriod) - kExposureMargin;
}

std::int64_t MinExposure(int clClock)
{
    return static_cast<std::int64_t>(std::ceil(kExposureMinClocks / clockMHz(clClock) * 100.0));
}

} // namespace SensorGeometry
