#include "gui/main/ControlId.h"

#include <QObject>
#include <QVariant>

void SetControlId(QObject &control, int controlId)
{
    control.setProperty(kControlIdProperty, controlId);
}

int ControlIdOf(const QObject *control)
{
    if (!control)
        return -1;
    const QVariant id = control->property(kControlIdProperty);
    return id.isValid() ? id.toInt() : -1;
}

void SetSpinIdOfBuddy(QObject &edit, int spinId)
{
    edit.setProperty(kSpinIdProperty, spinId);
}

int SpinIdOfBuddy(const QObject *edit)
{
    if (!edit)
        return 0;
    const QVariant id = edit->property(kSpinIdProperty);
    return id.isValid() ? id.toInt() : 0;
}
