#pragma once

#include <functional>

class ControlFinder;

// What the dependent-control rules need from outside the pages. Either may be empty until
// its owner exists; an empty hook is skipped.
struct DependentControlHooks {
    // Hides the three LUT editor windows.
    std::function<void()> hideLutWindows;
    // Recomputes the gain-auto levels (8 and 10 bit) from the percentage field.
    std::function<void()> applyGainAutoPercentage;
};

// The rules that tie controls to other controls' selections, in their fixed order: LUT,
// correction, exposure group, gain, trigger, exposure. No camera exchange.
void UpdateDependentControls(const ControlFinder &finder, const DependentControlHooks &hooks);

// The single rules, for the handlers that run one of them after a change.
void ApplyLutRule(const ControlFinder &finder, const DependentControlHooks &hooks);
void ApplyCorrectionRule(const ControlFinder &finder);
void EnableExposureGroup(const ControlFinder &finder);
// Gain enabling and the Red/Blue spin ranges for the gain mode at `position` (0 Off, 1 On);
// false for any other position, which changes nothing.
bool ApplyGainModeLayout(const ControlFinder &finder, int position);
void ApplyTriggerRule(const ControlFinder &finder);
void ApplyExposureRule(const ControlFinder &finder);

// The selected position of a list, -1 when it has none or there is no such list.
int SelectedPosition(const ControlFinder &finder, int listId);
