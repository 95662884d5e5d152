#pragma once

#include <cstdint>

class ControlFinder;
class QComboBox;

// A control's state as a parameter value and back, by the control's fine category:
// edit text, spin position, list code, check state, radio position within its group.

// -1 when there is no such control or it holds no value.
std::int32_t ReadControlValue(const ControlFinder &finder, int controlId);
// True when the value is shown.
bool WriteControlValue(const ControlFinder &finder, int controlId, std::int32_t value);

// A list entry's camera code: its item data when that is not 0, otherwise its position;
// -1 for no entry.
std::int32_t ListEntryCode(const QComboBox &list, int position);
// The entry whose code is `value`: the first whose item data matches, else the entry at
// position `value`; -1 when neither exists.
int ListPositionOfCode(const QComboBox &list, std::int32_t value);
