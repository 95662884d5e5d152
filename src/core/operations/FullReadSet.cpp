#include "core/operations/FullReadSet.h"

#include <algorithm>
#include <array>

#include "core/protocol/CameraModel.h"
#include "core/protocol/Command.h"
#include "core/protocol/ControlTable.h"

namespace {

constexpr std::array<int, 25> kNotFullyRead = {
    1669, 1671,                                     // gain auto levels
    1667, 1121, 1193, 1183, 1126, 1197, 1198, 1698, // actions
    1160, 1421, 1425, 1162, 1423, 1427,             // LUT entry fields
    1560, 1695, 1696, 1699, 1700, 1701, 1702, 1703, 1704, // chromatic aberration group
};

} // namespace

bool IsInFullReadSet(int controlId)
{
    return std::find(kNotFullyRead.begin(), kNotFullyRead.end(), controlId) == kNotFullyRead.end();
}

std::vector<int> PlanFullRead(const ControlTable &table, const CameraModel &model, int controlMode)
{
    std::vector<int> rows;
    if (!model.IsSupported())
        return rows;
    for (int i = 0; i < table.RowCount(); ++i) {
        const ControlEntry &row = table.Row(i);
        if (!IsInFullReadSet(row.controlId))
            continue;
        if (row.access == 2 && controlMode == 0)
            continue;
        if (row.kind == ControlKind::Action)
            continue;
        if (!model.IsSupportedCommand(row.commandId))
            continue;
        rows.push_back(i);
    }
    return rows;
}

std::vector<int> ReadFullSet(ControlTable &table, Command &command, const CameraModel &model, int controlMode,
                 const std::function<void(int percent)> &step)
{
    constexpr unsigned kQueryTimeoutMs = 5000;
    const int total = controlMode == 1 ? table.CountParameters() : table.CountStandardParameters();
    int steps = 0;
    std::vector<int> answered;
    for (int row : PlanFullRead(table, model, controlMode)) {
        const ControlEntry &entry = table.Row(row);
        std::int32_t value = 0;
        if (command.QueryValue(entry.commandId, value, kQueryTimeoutMs)) {
            table.SetDataValue(entry.controlId, value);
            answered.push_back(row);
        }
        steps += 100;
        if (step)
            step(steps / total);
    }
    return answered;
}
