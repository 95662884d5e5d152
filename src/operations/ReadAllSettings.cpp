#include "operations/ReadAllSettings.h"

#include <QWidget>

#include "operations/FullReadSet.h"
#include "operations/LongOperation.h"
#include "protocol/CameraModel.h"
#include "protocol/Command.h"
#include "protocol/ControlTable.h"
#include "settings/ControlModeSetting.h"

namespace {
constexpr unsigned kQueryTimeoutMs = 5000;
} // namespace

void SettingsReader::ReadAllSettings(QWidget *owner)
{
    const int mode = controlMode.Get();
    // The bar is scaled by every parameter of the mode, including rows skipped for the model,
    // so it seldom reaches 100 % before the close shows it.
    const int total = mode == 1 ? table.CountParameters() : table.CountStandardParameters();
    LongOperation operation(progress, owner, QStringLiteral("Now, reading camera settings."));
    int steps = 0;
    for (int row : PlanFullRead(table, model, mode)) {
        const ControlEntry &entry = table.Row(row);
        std::int32_t value = 0;
        if (command.QueryValue(entry.commandId, value, kQueryTimeoutMs))
            table.SetDataValue(entry.controlId, value);
        steps += 100;
        operation.Step(steps / total);
    }
}
