#include "core/operations/CameraProcedures.h"

#include <array>

#include "core/common/TickClock.h"
#include "core/protocol/Command.h"
#include "core/protocol/CommandIds.h"
#include "core/protocol/ResultTexts.h"

namespace {

constexpr std::uint32_t kResultQueryMs = 5000;
constexpr std::int32_t kPixelBusy = 0;

// The controls the one-shot adjustments change.
constexpr int kGainGreen = 1244;
constexpr int kGainRed = 1246;
constexpr int kGainBlue = 1248;
constexpr int kWhiteBalanceList = 1408;
constexpr int kGainAutoList = 1173;
constexpr int kExposureRed = 1294;
constexpr int kExposureBlue = 1298;

constexpr CameraProcedureInfo kInfos[] = {
    {CameraProcedure::WhiteBalance, "white-balance", "White Balance Once", false},
    {CameraProcedure::WhiteBalanceExposure, "white-balance-exposure", "White Balance Exposure Once", false},
    {CameraProcedure::GainAuto, "gain-auto", "Gain Auto Once", false},
    {CameraProcedure::Shading, "shading", "Shading Calibration", false},
    {CameraProcedure::PixelGain, "pixel-gain", "Recalibrate Pixel Gain", false},
    {CameraProcedure::PixelBlack, "pixel-black", "Recalibrate Pixel Black", false},
    {CameraProcedure::PixelGainFactory, "pixel-gain-factory", "Recalibrate Pixel Gain (Factory)", true},
    {CameraProcedure::PixelBlackFactory, "pixel-black-factory", "Recalibrate Pixel Black (Factory)", true},
};

// One-shot adjustments ask for their result at once; shading waits once; the pixel
// recalibrations poll while the camera reports busy, with no overall limit.
enum class ResultWait { None, Once, Poll };

struct ProcedureRow {
    CameraProcedure procedure;
    int startId;
    std::int32_t startValue;
    std::uint32_t startLimitMs;
    const char *startFailure; // nullptr: the engine's own report is all
    ResultWait wait;
    int resultId;
    ResultKind texts;
    std::int32_t successCode;
    std::array<int, 4> adjusted;     // 0 ends the list
    std::array<int, 1> afterFailure; // read again when the start fails
};

constexpr ProcedureRow kRows[] = {
    {CameraProcedure::WhiteBalance, CommandId::AWB, 2, kOneShotStartMs, nullptr, ResultWait::None, CommandId::AWRS,
     ResultKind::WhiteBalance, 1, {kWhiteBalanceList, kGainRed, kGainBlue, kGainOfGainMode}, {kWhiteBalanceList}},
    {CameraProcedure::WhiteBalanceExposure, CommandId::AWB, 4, kOneShotStartMs, nullptr, ResultWait::None,
     CommandId::AHRS, ResultKind::WhiteBalance, 1, {kWhiteBalanceList, kExposureRed, kExposureBlue, 0},
     {kWhiteBalanceList}},
    {CameraProcedure::GainAuto, CommandId::AGC, 2, kOneShotStartMs, nullptr, ResultWait::None, CommandId::AGCS,
     ResultKind::GainAuto, 1, {kGainAutoList, kGainRed, kGainBlue, kGainGreen}, {kGainAutoList}},
    {CameraProcedure::Shading, CommandId::RS, 0, 420000, "Shading Calibration (Tool: RS Command Timeout)",
     ResultWait::Once, CommandId::SDRS, ResultKind::Shading, 4, {}, {}},
    {CameraProcedure::PixelGain, CommandId::PGR, 0, 420000, "Recalibrate Pixel Gain (Tool: PGR Command Timeout)",
     ResultWait::Poll, CommandId::PGS, ResultKind::Pixel, 1, {}, {}},
    {CameraProcedure::PixelBlack, CommandId::PBR, 0, 420000, "Recalibrate Pixel Black (Tool: PBR Command Timeout)",
     ResultWait::Poll, CommandId::PBS, ResultKind::Pixel, 1, {}, {}},
    {CameraProcedure::PixelGainFactory, CommandId::PGR00, 0, 200000, nullptr, ResultWait::Poll, CommandId::PGS00,
     ResultKind::Pixel, 1, {}, {}},
    {CameraProcedure::PixelBlackFactory, CommandId::PBR00, 0, 200000, nullptr, ResultWait::Poll, CommandId::PBS00,
     ResultKind::Pixel, 1, {}, {}},
};

// Both tables are indexed by the procedure.
constexpr bool inProcedureOrder()
{
    for (std::size_t index = 0; index < std::size(kRows); ++index) {
        if (static_cast<std::size_t>(kRows[index].procedure) != index ||
            static_cast<std::size_t>(kInfos[index].procedure) != index)
            return false;
    }
    return std::size(kRows) == std::size(kInfos);
}
static_assert(inProcedureOrder());

void appendIds(std::vector<int> &ids, std::span<const int> list)
{
    for (int id : list) {
        if (id != 0)
            ids.push_back(id);
    }
}

} // namespace

std::span<const CameraProcedureInfo> CameraProcedures()
{
    return kInfos;
}

const CameraProcedureInfo &InfoOf(CameraProcedure procedure)
{
    return kInfos[static_cast<std::size_t>(procedure)];
}

std::optional<CameraProcedure> FindCameraProcedure(const QString &name)
{
    for (const CameraProcedureInfo &info : kInfos) {
        if (name == QLatin1String(info.name))
            return info.procedure;
    }
    return std::nullopt;
}

QString CameraProcedureNames()
{
    QStringList names;
    for (const CameraProcedureInfo &info : kInfos)
        names.append(QLatin1String(info.name));
    return names.join(QStringLiteral(", "));
}

ProcedureWire WireOf(CameraProcedure procedure)
{
    const ProcedureRow &row = kRows[static_cast<std::size_t>(procedure)];
    return {row.startId, row.startValue, row.startLimitMs, row.resultId};
}

void PauseFor(const ProcedurePause &pause, std::uint32_t ms)
{
    if (pause)
        pause(ms);
    else
        TickClock::SleepMs(ms);
}

std::int32_t QueryResultCode(Command &command, int statusId)
{
    std::int32_t code = 0;
    return command.QueryValue(statusId, code, kResultQueryMs) ? code : kNoResult;
}

ProcedureResult RunCameraProcedure(Command &command, CameraProcedure procedure, const ProcedurePause &pause)
{
    const ProcedureRow &row = kRows[static_cast<std::size_t>(procedure)];
    ProcedureResult result;
    if (!command.SetValue(row.startId, row.startValue, row.startLimitMs)) {
        result.failure = command.LastOutcome();
        if (row.startFailure)
            result.startFailure = QString::fromLatin1(row.startFailure);
        appendIds(result.adjusted, row.afterFailure);
        return result;
    }
    result.started = true;
    if (row.wait == ResultWait::None) {
        result.code = QueryResultCode(command, row.resultId);
    } else {
        do {
            PauseFor(pause, kResultWaitMs);
            result.code = QueryResultCode(command, row.resultId);
        } while (row.wait == ResultWait::Poll && result.code == kPixelBusy);
    }
    if (result.code == kNoResult)
        result.failure = command.LastOutcome();
    result.text = ResultText(row.texts, result.code);
    result.succeeded = result.code == row.successCode;
    appendIds(result.adjusted, row.adjusted);
    return result;
}
