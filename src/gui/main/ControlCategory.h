#pragma once

class QWidget;

// What sort of control a widget is, as the binding sees it.
enum class ControlCategory : int {
    None = 0,
    Edit = 1,
    Spin = 2,
    List = 3,
    Button = 4,      // a button of any other sort; the coarse answer for every button
    PushButton = 5,
    CheckBox = 6,
    RadioButton = 7,
};

enum class ClassifyDepth { Coarse, Fine };

// Coarse stops at "a button"; fine tells push buttons, check boxes and radio buttons apart.
ControlCategory ClassifyControl(const QWidget *control, ClassifyDepth depth = ClassifyDepth::Fine);
