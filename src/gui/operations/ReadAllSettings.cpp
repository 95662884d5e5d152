#include "gui/operations/ReadAllSettings.h"

#include <QWidget>

#include "core/operations/FullReadSet.h"
#include "core/settings/ControlModeSetting.h"
#include "gui/operations/LongOperation.h"

void SettingsReader::ReadAllSettings(QWidget *owner)
{
    LongOperation operation(progress, operations, owner, QStringLiteral("Now, reading camera settings."));
    ReadFullSet(table, command, model, controlMode.Get(), [&operation](int percent) { operation.Step(percent); });
}
