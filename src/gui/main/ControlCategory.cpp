#include "gui/main/ControlCategory.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "gui/main/SpinButton.h"

ControlCategory ClassifyControl(const QWidget *control, ClassifyDepth depth)
{
    if (qobject_cast<const QLineEdit *>(control))
        return ControlCategory::Edit;
    if (qobject_cast<const SpinButton *>(control))
        return ControlCategory::Spin;
    if (qobject_cast<const QComboBox *>(control))
        return ControlCategory::List;
    if (!qobject_cast<const QAbstractButton *>(control))
        return ControlCategory::None;
    if (depth == ClassifyDepth::Coarse)
        return ControlCategory::Button;
    if (qobject_cast<const QPushButton *>(control))
        return ControlCategory::PushButton;
    if (qobject_cast<const QCheckBox *>(control))
        return ControlCategory::CheckBox;
    if (qobject_cast<const QRadioButton *>(control))
        return ControlCategory::RadioButton;
    return ControlCategory::Button;
}
