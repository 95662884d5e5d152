#include "gui/main/Calibrations.h"

#include <array>

#include "core/common/Dialogs.h"
#include "core/operations/CameraProcedures.h"
#include "core/protocol/Command.h"
#include "core/protocol/CommandIds.h"
#include "core/protocol/ControlTable.h"
#include "core/protocol/ResultTexts.h"
#include "gui/main/CameraReads.h"
#include "gui/main/DependentControls.h"
#include "gui/main/SharedControlIds.h"

namespace {

constexpr std::int32_t kSucceeded = 1;
constexpr std::int32_t kWhiteBalanceTimeout = 4;
constexpr std::int32_t kShadingComplete = 4;

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
    PauseFor(pause_, ms);
}

std::int32_t Calibrations::queryResult(int commandId) const
{
    return QueryResultCode(services_.command, commandId);
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
    if (controlId == kGainOfGainMode)
        controlId = SelectedPosition(services_.finder, kGainMode) > 0 ? kGainGreen : kGainAll;
    CameraReads(services_.command, services_.table, services_.finder).ReadFromCamera(controlId);
}

void Calibrations::Run(CameraProcedure procedure)
{
    const ProcedureResult result = RunCameraProcedure(services_.command, procedure, pause_);
    if (result.started)
        showResult(result.text, QString::fromLatin1(InfoOf(procedure).title));
    else if (!result.startFailure.isEmpty())
        showStop(result.startFailure);
    for (int id : result.adjusted)
        readBack(id);
    // A one-shot adjustment that ran leaves the pages on what the camera now holds.
    if (result.started && !result.adjusted.empty())
        services_.table.CommitValues();
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
