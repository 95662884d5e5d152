#include "ui/main/ControlRegistry.h"

#include <QWidget>

#include "ui/main/ControlId.h"

bool ControlRegistry::Register(int controlId, QWidget &control)
{
    if (controlId <= 0 || controls_.contains(controlId))
        return false;
    controls_.insert(controlId, &control);
    SetControlId(control, controlId);
    return true;
}
