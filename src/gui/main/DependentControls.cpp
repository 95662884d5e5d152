#include "gui/main/DependentControls.h"

#include <span>

#include <QComboBox>
#include <QWidget>

#include "gui/main/ControlFinder.h"
#include "gui/main/SharedControlIds.h"
#include "gui/main/SpinButton.h"

namespace {

constexpr int kGammaSelector[] = {1141, 1117, 1118};
enum LutSelection { kLutOff = 0, kLutGamma = 1, kLutTable = 2 };

constexpr int kFirstUserSetEntry = 2; // "User1" in the pixel correction lists

constexpr int kExposureGroup[] = {kExposureMode,      kExposureTime,          1094,
                                  kExposureTimeRed,   kExposureTimeRedSpin,   kExposureTimeGreen,
                                  kExposureTimeGreenSpin, kExposureTimeBlue,  kExposureTimeBlueSpin};

constexpr int kGainAllControls[] = {kGainAll, 1045};
constexpr int kColourGainControls[] = {kGainGreen, 1245, kGainAuto, kAutoSetting};
constexpr int kRedGainSpin = 1247;
constexpr int kBlueGainSpin = 1249;
struct GainRange {
    std::int32_t lower;
    std::int32_t upper;
};
constexpr GainRange kGainRangeCommon = {40, 400};
constexpr GainRange kGainRangeIndividual = {100, 6400};

constexpr int kAutoResetMode = 1186;

constexpr int kExposureTimed = 1;
constexpr int kColourExposureTimes[] = {kExposureTimeRed, kExposureTimeGreen, kExposureTimeBlue};

void setEnabled(const ControlFinder &finder, int id, bool enabled)
{
    if (QWidget *control = finder.FindControl(id))
        control->setEnabled(enabled);
}

void setEnabled(const ControlFinder &finder, std::span<const int> ids, bool enabled)
{
    for (int id : ids)
        setEnabled(finder, id, enabled);
}

void setVisible(const ControlFinder &finder, std::span<const int> ids, bool visible)
{
    for (int id : ids) {
        if (QWidget *control = finder.FindControl(id))
            control->setVisible(visible);
    }
}

void setSpinRange(const ControlFinder &finder, int spinId, GainRange range)
{
    if (auto *spin = qobject_cast<SpinButton *>(finder.FindControl(spinId)))
        spin->setRange(range.lower, range.upper);
}

void run(const std::function<void()> &hook)
{
    if (hook)
        hook();
}

} // namespace

int SelectedPosition(const ControlFinder &finder, int listId)
{
    const auto *list = qobject_cast<QComboBox *>(finder.FindControl(listId));
    return list ? list->currentIndex() : -1;
}

void ApplyLutRule(const ControlFinder &finder, const DependentControlHooks &hooks)
{
    const int selection = SelectedPosition(finder, kLutSelector);
    if (selection != kLutTable)
        run(hooks.hideLutWindows);
    setEnabled(finder, kOpenLutTable, selection == kLutTable);
    setVisible(finder, kGammaSelector, selection == kLutGamma);
}

void ApplyCorrectionRule(const ControlFinder &finder)
{
    setEnabled(finder, kPixelGainRecalibrate, SelectedPosition(finder, kPixelGainMode) >= kFirstUserSetEntry);
    setEnabled(finder, kPixelBlackRecalibrate, SelectedPosition(finder, kPixelBlackMode) >= kFirstUserSetEntry);
}

void EnableExposureGroup(const ControlFinder &finder)
{
    setEnabled(finder, kExposureGroup, true);
}

bool ApplyGainModeLayout(const ControlFinder &finder, int position)
{
    if (position != 0 && position != 1)
        return false;
    const bool individual = position == 1;
    setEnabled(finder, kGainAllControls, !individual);
    setEnabled(finder, kColourGainControls, individual);
    const GainRange range = individual ? kGainRangeIndividual : kGainRangeCommon;
    setSpinRange(finder, kRedGainSpin, range);
    setSpinRange(finder, kBlueGainSpin, range);
    return true;
}

void ApplyTriggerRule(const ControlFinder &finder)
{
    setEnabled(finder, kAutoResetMode, SelectedPosition(finder, kTriggerMode) == 1);
}

void ApplyExposureRule(const ControlFinder &finder)
{
    const bool timed = SelectedPosition(finder, kExposureMode) == kExposureTimed;
    const bool common = SelectedPosition(finder, kExposureTimeMode) == 0;
    setEnabled(finder, kExposureTime, timed && common);
    setEnabled(finder, kColourExposureTimes, timed && !common);
}

void UpdateDependentControls(const ControlFinder &finder, const DependentControlHooks &hooks)
{
    ApplyLutRule(finder, hooks);
    ApplyCorrectionRule(finder);
    EnableExposureGroup(finder);
    ApplyGainModeLayout(finder, SelectedPosition(finder, kGainMode));
    run(hooks.applyGainAutoPercentage);
    ApplyTriggerRule(finder);
    ApplyExposureRule(finder);
}
