#include "operations/ReadAllSettings.h"

#include <QWidget>

#include "operations/FullReadSet.h"
#include "operations/LongOperation.h"
#include "settings/ControlModeSetting.h"

void SettingsReader::ReadAllSettings(QWidget *owner)
{
    LongOperation operation(progress, owner, QStringLiteral("Now, reading camera settings."));
    ReadFullSet(table, command, model, controlMode.Get(), [&operation](int percent) { operation.Step(percent); });
}
