#pragma once

class QObject;
class QWidget;

// Every control of a window keeps its integer control id as a property, so code that holds
// only the widget (the binding's signal handlers, the keyboard filter) can name it.
inline constexpr char kControlIdProperty[] = "controlId";
// An edit beside a spin carries the spin's control id (0 or absent: no spin).
inline constexpr char kSpinIdProperty[] = "spinId";

void SetControlId(QObject &control, int controlId);
// The control id, or -1 when the widget has none.
int ControlIdOf(const QObject *control);

void SetSpinIdOfBuddy(QObject &edit, int spinId);
// The linked spin's id, 0 when the edit has none.
int SpinIdOfBuddy(const QObject *edit);
