#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "gui/main/BindingServices.h"

class AberrationGroup;
class CTabSheetDialog;
class GainAutoControls;
class QAbstractButton;
class PageButtons;

// Holds a value typed into a field whose row has range mode 1 strictly inside the spin's
// range (the spin's range is one wider than the row's limits on each side).
std::int32_t HoldInWidenedRange(std::int32_t value, std::int32_t lower, std::int32_t upper);

// The live binding of the page controls to the control table: an operator's change is
// stored, sent to the camera and committed, or put back to the saved value when the camera
// refuses it; then whatever depends on the change follows.
class ControlBinding {
public:
    // The one-shot functions of the calibration work; until they are installed, their list
    // entries are written as plain values.
    struct OneShotHooks {
        std::function<void()> gainAutoOnce;
        std::function<void()> whiteBalanceOnce;
        std::function<void()> whiteBalanceExposureOnce;
    };

    ControlBinding(const BindingServices &services, GainAutoControls &gainAuto, AberrationGroup &aberration,
                   PageButtons &buttons, std::function<void()> hideLutWindows);

    // Connects every control of the pages: focus leaving an edited field, an operator's list
    // choice, button clicks and spin moves.
    void Connect(std::span<CTabSheetDialog *const> pages);

    void SetOneShotHooks(OneShotHooks hooks) { oneShot_ = std::move(hooks); }

    // False when the edit is not a bound number field.
    bool CommitEdit(int editId);
    // May rewrite the move, so that a refused step leaves the spin at the saved value.
    void SpinDelta(int spinId, std::int32_t &position, std::int32_t &step);
    void ComboChanged(int listId);
    void ButtonClicked(int buttonId);
    // Check boxes and radio buttons: stored and sent, committed whatever the camera said.
    void ChoiceClicked(QAbstractButton &button);
    // Enters a value into a number field or chooses it in a list as the operator would, and
    // takes the same path from there. False when the control is neither, or the list has no
    // entry of that code.
    bool EnterValue(int controlId, std::int32_t value);

private:
    // Stores `value`, sends every changed row and commits; on failure puts `controlId` back to
    // its saved value. False when it was put back.
    bool sendWithRevert(int controlId, std::int32_t value, bool listPath);
    void runFollowUp(int editId);
    void readBack(std::span<const int> controlIds);
    void plainWrite(int listId);
    void exposureMode(int listId);
    void longWrite(int listId, bool refreshLineRate);
    void gainMode();
    void gainAuto(int listId);
    void whiteBalance(int listId);
    void runPreRule(int listId);
    void runPostStep(int listId);

    const BindingServices &services_;
    GainAutoControls &gainAuto_;
    AberrationGroup &aberration_;
    PageButtons &buttons_;
    std::function<void()> hideLutWindows_;
    OneShotHooks oneShot_;
};
