#include "gui/main/Calibrations.h"

#include <array>

#include "core/common/Dialogs.h"
#include "core/common/TickClock.h"
#include "core/protocol/Command.h"
#include "core/protocol/CommandIds.h"
#include "core/protocol/ControlTable.h"
#include "core/protocol/ResultTexts.h"
#include "gui/main/CameraReads.h"
#include "gui/main/DependentControls.h"
#include "gui/main/SharedControlIds.h"

namespace {

constexpr std::uint32_t kOneShotStartMs = 40000;
constexpr std::uint32_t kResultQueryMs = 5000;
constexpr std::uint32_t kResultWaitMs = 1000;

// In a read-back list: Gain Green when the individual gain mode is on, else Gain All.
constexpr int kGainOfMode = -1;

constexpr std::int32_t kSucceeded = 1;
constexpr std::int32_t kWhiteBalanceTimeout = 4;
constexpr std::int32_t kShadingComplete = 4;
constexpr std::int32_t kPixelBusy = 0;

struct OneShotRow {
    Calibrations::OneShot oneShot;
    int startId;
    std::int32_t startValue;
    int modeList; // read back alone when the start fails
    int resultId;
    ResultKind texts;
    const char *title;
    std::array<int, 4> readBack; // 0 ends the list
};

constexpr OneShotRow kOneShots[] = {
    {Calibrations::OneShot::WhiteBalance, CommandId::AWB, 2, kWhiteBalanceMode, CommandId::AWRS, ResultKind::WhiteBalance,
     "White Balance Once", {kWhiteBalanceMode, kGainRed, kGainBlue, kGainOfMode}},
    {Calibrations::OneShot::WhiteBalanceExposure, CommandId::AWB, 4, kWhiteBalanceMode, CommandId::AHRS, ResultKind::WhiteBalance,
     "White Balance Exposure Once", {kWhiteBalanceMode, kExposureTimeRed, kExposureTimeBlue, 0}},
    {Calibrations::OneShot::GainAuto, CommandId::AGC, 2, kGainAuto, CommandId::AGCS, ResultKind::GainAuto, "Gain Auto Once",
     {kGainAuto, kGainRed, kGainBlue, kGainGreen}},
};

enum class ResultWait { OneQuery, Poll };

struct CalibrationRow {
    Calibrations::Calibration calibration;
    int startId;
    std::uint32_t startLimitMs;
    const char *startFailure; // nullptr: the engine's own report is all
    ResultWait wait;
    int resultId;
    ResultKind texts;
    const char *title;
};

constexpr CalibrationRow kCalibrations[] = {
    {Calibrations::Calibration::Shading, CommandId::RS, 420000, "Shading Calibration (Tool: RS Command Timeout)",
     ResultWait::OneQuery, CommandId::SDRS, ResultKind::Shading, "Shading Calibration"},
    {Calibrations::Calibration::PixelGain, CommandId::PGR, 420000, "Recalibrate Pixel Gain (Tool: PGR Command Timeout)",
     ResultWait::Poll, CommandId::PGS, ResultKind::Pixel, "Recalibrate Pixel Gain"},
    {Calibrations::Calibration::PixelBlack, CommandId::PBR, 420000, "Recalibrate Pixel Black (Tool: PBR Command Timeout)",
     ResultWait::Poll, CommandId::PBS, ResultKind::Pixel, "Recalibrate Pixel Black"},
    {Calibrations::Calibration::PixelGainFactory, CommandId::PGR00, 200000, nullptr, ResultWait::Poll, CommandId::PGS00,
     ResultKind::Pixel, "Recalibrate Pixel Gain (Factory)"},
    {Calibrations::Calibration::PixelBlackFactory, CommandId::PBR00, 200000, nullptr, ResultWait::Poll, CommandId::PBS00,
     ResultKind::Pixel, "Recalibrate Pixel Black (Factory)"},
};

template <typename Row, typename Key, std::size_t N>
const Row &rowOf(const Row (&rows)[N], Key key, Key Row::*field)
{
    for (const Row &row : rows) {
        if (row.*field == key)
            return row;
    }
    return rows[0];
}

// The chained auto setting: white balance, shading calibration, white balance again, gain auto.
struct AutoStep {
    int startId;
    std::int32_t startValue;
    std::uint32_t startLimitMs;
    const char *abort;
    bool waitFirst;
    int resultId;
    ResultKind texts;
    std::array<std::int32_t, 2> goOn; // result codes that let the chain continue
    const char *title;
};

constexpr AutoStep kAutoSteps[] = {
    {CommandId::AWB, 2, kOneShotStartMs, "Auto Setting White Balance_1 Abort", false, CommandId::AWRS,
     ResultKind::WhiteBalance, {kSucceeded, kWhiteBalanceTimeout}, "White Balance_1 Once"},
    {CommandId::RS, 0, 420000, "Shading Calibration Abort", true, CommandId::SDRS, ResultKind::Shading,
     {kShadingComplete, kShadingComplete}, "Shading Calibration"},
    {CommandId::AWB, 2, kOneShotStartMs, "Auto Setting White Balance_2 Abort", false, CommandId::AWRS,
     ResultKind::WhiteBalance, {kSucceeded, kWhiteBalanceTimeout}, "White Balance_2 Once"},
};
constexpr const char *kGainAutoAbort = "Auto Setting Gain Auto Abort";
constexpr int kAutoReadBack[] = {kGainRed, kGainBlue, kGainGreen};

} // namespace

Calibrations::Calibrations(const BindingServices &services, Pause pause)
    : services_(services), pause_(std::move(pause))
{
}

void Calibrations::wait(std::uint32_t ms) const
{
    if (pause_)
        pause_(ms);
    else
        TickClock::SleepMs(ms);
}

std::int32_t Calibrations::queryResult(int commandId) const
{
    std::int32_t code = 0;
    return services_.command.QueryValue(commandId, code, kResultQueryMs) ? code : kNoResult;
}

void Calibrations::showResult(const QString &text, const QString &title) const
{
    services_.dialogs.Message(text, title, MessageIcon::None);
}

void Calibrations::showStop(const QString &text) const
{
    services_.dialogs.Message(text, QString(), MessageIcon::Stop);
}

void Calibrations::readBack(int controlId) const
{
    if (controlId == kGainOfMode)
        controlId = SelectedPosition(services_.finder, kGainMode) > 0 ? kGainGreen : kGainAll;
    CameraReads(services_.command, services_.table, services_.finder).ReadFromCamera(controlId);
}

void Calibrations::Run(OneShot oneShot)
{
    const OneShotRow &row = rowOf(kOneShots, oneShot, &OneShotRow::oneShot);
    if (!services_.command.SetValue(row.startId, row.startValue, kOneShotStartMs)) {
        // The list would otherwise go on showing "Once".
        readBack(row.modeList);
        return;
    }
    showResult(ResultText(row.texts, queryResult(row.resultId)), QString::fromLatin1(row.title));
    for (int id : row.readBack) {
        if (id != 0)
            readBack(id);
    }
    services_.table.CommitValues();
}

void Calibrations::Run(Calibration calibration)
{
    const CalibrationRow &row = rowOf(kCalibrations, calibration, &CalibrationRow::calibration);
    if (!services_.command.SetValue(row.startId, 0, row.startLimitMs)) {
        if (row.startFailure)
            showStop(QString::fromLatin1(row.startFailure));
        return;
    }
    std::int32_t code = kNoResult;
    do {
        wait(kResultWaitMs);
        code = queryResult(row.resultId);
    } while (row.wait == ResultWait::Poll && code == kPixelBusy);
    showResult(ResultText(row.texts, code), QString::fromLatin1(row.title));
}

void Calibrations::AutoSetting()
{
    Command &command = services_.command;
    bool chainComplete = true;
    for (const AutoStep &step : kAutoSteps) {
        if (!command.SetValue(step.startId, step.startValue, step.startLimitMs)) {
            showStop(QString::fromLatin1(step.abort));
            return;
        }
        if (step.waitFirst)
            wait(kResultWaitMs);
        const std::int32_t code = queryResult(step.resultId);
        if (code != step.goOn[0] && code != step.goOn[1]) {
            showResult(ResultText(step.texts, code), QString::fromLatin1(step.title));
            chainComplete = false;
            break;
        }
    }
    if (chainComplete) {
        if (!command.SetValue(CommandId::AGC, 2, kOneShotStartMs)) {
            showStop(QString::fromLatin1(kGainAutoAbort));
            return;
        }
        if (queryResult(CommandId::AGCS) == kSucceeded)
            showResult(ResultText(ResultKind::GainAuto, kSucceeded), QStringLiteral("Auto Setting"));
    }
    for (int id : kAutoReadBack)
        readBack(id);
    services_.table.CommitValues();
}
