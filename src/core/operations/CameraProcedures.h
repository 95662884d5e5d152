#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include <QString>

#include "core/protocol/Command.h"

// The camera's procedures: the one-shot adjustments (white balance, white balance with
// exposure, gain auto) and the calibrations (shading, pixel gain, pixel black, and the factory
// pixel recalibrations of the extended mode). Each starts with one write, then reads the result
// code; the calibrations wait for it (the pixel ones poll while the camera reports busy).
enum class CameraProcedure {
    WhiteBalance,
    WhiteBalanceExposure,
    GainAuto,
    Shading,
    PixelGain,
    PixelBlack,
    PixelGainFactory,
    PixelBlackFactory,
};

struct CameraProcedureInfo {
    CameraProcedure procedure;
    const char *name;  // for a command line or a script: "white-balance", "pixel-gain-factory"
    const char *title; // the caption of the windows' result box
    bool extendedOnly;
};

// In a list of controls to read again: Gain Green when the individual gain mode is on, else
// Gain All; the caller knows which is shown.
inline constexpr int kGainOfGainMode = -1;

struct ProcedureResult {
    bool started = false;           // the start write was answered as asked
    std::int32_t code = -1;         // the result code; kNoResult when not read
    QString text;                   // the code's text; empty when the start failed
    bool succeeded = false;         // the procedure's own success code
    // How the start write or the result query failed; None when both were answered.
    Command::Outcome failure = Command::Outcome::None;
    QString startFailure;           // the windows' box for a start that failed; may be empty
    // The controls whose values the camera may have changed, to be read again in this order
    // (a one-shot's mode list falls back to off by itself; after a failed start it alone).
    std::vector<int> adjusted;
};

// How a procedure waits for the camera between start and result; an empty one sleeps.
using ProcedurePause = std::function<void(std::uint32_t ms)>;

std::span<const CameraProcedureInfo> CameraProcedures();
const CameraProcedureInfo &InfoOf(CameraProcedure procedure);
std::optional<CameraProcedure> FindCameraProcedure(const QString &name);
// "white-balance, white-balance-exposure, ...", for a usage text.
QString CameraProcedureNames();

// What a procedure puts on the wire: its start write, how long the camera may take to
// acknowledge it, and the status command that gives its result code.
struct ProcedureWire {
    int startId;
    std::int32_t startValue;
    std::uint32_t startLimitMs;
    int resultId;
};
ProcedureWire WireOf(CameraProcedure procedure);

ProcedureResult RunCameraProcedure(Command &command, CameraProcedure procedure, const ProcedurePause &pause = {});

// The parts the windows' chained auto setting shares.
inline constexpr std::uint32_t kOneShotStartMs = 40000;
inline constexpr std::uint32_t kResultWaitMs = 1000;
// The result code of the status command, or kNoResult when the query failed.
std::int32_t QueryResultCode(Command &command, int statusId);
void PauseFor(const ProcedurePause &pause, std::uint32_t ms);
