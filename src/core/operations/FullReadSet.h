#pragma once

#include <functional>
#include <vector>

class CameraModel;
class Command;
class ControlTable;

// Whether a reload of all settings queries this control. The controls left out are the gain
// auto levels (computed), the actions, the LUT entry fields (written by their buttons) and the
// chromatic aberration group (read by its own refresh).
bool IsInFullReadSet(int controlId);

// The control-table rows that a full read queries, in table order, for the identified model
// and the control mode (0 standard, 1 extended). Empty for an unknown model.
std::vector<int> PlanFullRead(const ControlTable &table, const CameraModel &model, int controlMode);

// Queries every planned row (5,000 ms each) and stores each reply in the control table; a
// failed query keeps the row's value and the read goes on. The step is told the percentage
// of the mode's parameters done after each row: the count includes rows skipped for the
// model, so it seldom reaches 100. Returns the rows that the camera answered.
std::vector<int> ReadFullSet(ControlTable &table, Command &command, const CameraModel &model, int controlMode,
                 const std::function<void(int percent)> &step);
