#pragma once

#include <cstdint>
#include <functional>
#include <utility>

#include <QString>

#include "core/operations/CameraProcedures.h"
#include "gui/main/BindingServices.h"

// The camera's procedures in the windows: the core runs the one-shot adjustments and the
// calibrations, the window shows the result (or the start failure) in its box and then reads
// back what the camera changed. The chained auto setting is the window's own. Everything runs
// inside the caller's handler.
class Calibrations {
public:
    // How the procedures wait for the camera between start and result.
    using Pause = ProcedurePause;

    explicit Calibrations(const BindingServices &services, Pause pause = {});

    // Replaces how the procedures wait; an empty one sleeps.
    void SetPause(Pause pause) { pause_ = std::move(pause); }

    void Run(CameraProcedure procedure);
    void AutoSetting();

    void WhiteBalanceOnce() { Run(CameraProcedure::WhiteBalance); }
    void WhiteBalanceExposureOnce() { Run(CameraProcedure::WhiteBalanceExposure); }
    void GainAutoOnce() { Run(CameraProcedure::GainAuto); }
    void ShadingCalibration() { Run(CameraProcedure::Shading); }
    void RecalibratePixelGain() { Run(CameraProcedure::PixelGain); }
    void RecalibratePixelBlack() { Run(CameraProcedure::PixelBlack); }
    void RecalibratePixelGainFactory() { Run(CameraProcedure::PixelGainFactory); }
    void RecalibratePixelBlackFactory() { Run(CameraProcedure::PixelBlackFactory); }

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
