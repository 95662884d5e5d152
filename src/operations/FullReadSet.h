#pragma once

#include <vector>

class CameraModel;
class ControlTable;

// Whether a reload of all settings queries this control. The controls left out are the gain
// auto levels (computed), the actions, the LUT entry fields (written by their buttons) and the
// chromatic aberration group (read by its own refresh).
bool IsInFullReadSet(int controlId);

// The control-table rows that a full read queries, in table order, for the identified model
// and the control mode (0 standard, 1 extended). Empty for an unknown model.
std::vector<int> PlanFullRead(const ControlTable &table, const CameraModel &model, int controlMode);
