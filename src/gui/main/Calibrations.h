#pragma once

#include <cstdint>
#include <functional>
#include <utility>

#include <QString>

#include "gui/main/BindingServices.h"

// The camera's procedures: the one-shot adjustments (white balance, gain auto), the
// calibrations (shading, pixel gain, pixel black) and the chained auto setting. Each starts
// with one write, reads the result code and shows its text; the one-shot adjustments then read
// back what the camera changed. Everything runs inside the caller's handler.
class Calibrations {
public:
    enum class OneShot { WhiteBalance, WhiteBalanceExposure, GainAuto };
    enum class Calibration { Shading, PixelGain, PixelBlack, PixelGainFactory, PixelBlackFactory };

    // How the procedures wait for the camera between start and result.
    using Pause = std::function<void(std::uint32_t ms)>;

    explicit Calibrations(const BindingServices &services, Pause pause = {});

    // Replaces how the procedures wait; an empty one sleeps.
    void SetPause(Pause pause) { pause_ = std::move(pause); }

    void Run(OneShot oneShot);
    void Run(Calibration calibration);
    void AutoSetting();

    void WhiteBalanceOnce() { Run(OneShot::WhiteBalance); }
    void WhiteBalanceExposureOnce() { Run(OneShot::WhiteBalanceExposure); }
    void GainAutoOnce() { Run(OneShot::GainAuto); }
    void ShadingCalibration() { Run(Calibration::Shading); }
    void RecalibratePixelGain() { Run(Calibration::PixelGain); }
    void RecalibratePixelBlack() { Run(Calibration::PixelBlack); }
    void RecalibratePixelGainFactory() { Run(Calibration::PixelGainFactory); }
    void RecalibratePixelBlackFactory() { Run(Calibration::PixelBlackFactory); }

private:
    void wait(std::uint32_t ms) const;
    // The result code, or kNoResult when the query failed.
    std::int32_t queryResult(int commandId) const;
    void showResult(const QString &text, const QString &title) const;
    void showStop(const QString &text) const;
    void readBack(int controlId) const;

    const BindingServices &services_;
    Pause pause_;
};
