#include "gui/main/ControlRegistry.h"

#include <QWidget>

#include "gui/main/ControlId.h"

bool ControlRegistry::Register(int controlId, QWidget &control)
{
    if (controlId <= 0 || controls_.contains(controlId))
        return false;
    controls_.insert(controlId, &control);
    SetControlId(control, controlId);
    return true;
}
