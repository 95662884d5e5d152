#include "gui/main/ControlValues.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

#include "gui/main/ControlCategory.h"
#include "gui/main/ControlFinder.h"
#include "gui/main/DecimalText.h"
#include "gui/main/SpinButton.h"

namespace {

// A radio button may open a new group with this property even among consecutive siblings.
constexpr char kGroupStartProperty[] = "groupStart";

// The radio group that starts at `first`: the rest of its button group, or else the run of
// radio buttons that follow it among its siblings up to the next group start.
QList<QAbstractButton *> radioGroupFrom(QRadioButton &first)
{
    QList<QAbstractButton *> members;
    if (const QButtonGroup *group = first.group()) {
        const QList<QAbstractButton *> buttons = group->buttons();
        const qsizetype start = buttons.indexOf(&first);
        for (qsizetype i = start; i >= 0 && i < buttons.size(); ++i)
            members.append(buttons[i]);
        return members;
    }
    const QObject *parent = first.parent();
    if (!parent)
        return {&first};
    const QObjectList &siblings = parent->children();
    for (qsizetype i = siblings.indexOf(&first); i >= 0 && i < siblings.size(); ++i) {
        auto *radio = qobject_cast<QRadioButton *>(siblings[i]);
        if (!radio) {
            if (siblings[i]->isWidgetType())
                break;
            continue; // layouts and other helpers do not end a group
        }
        if (radio != &first && radio->property(kGroupStartProperty).toBool())
            break;
        members.append(radio);
    }
    return members;
}

std::int32_t readRadio(QRadioButton &first)
{
    const QList<QAbstractButton *> members = radioGroupFrom(first);
    for (qsizetype i = 0; i < members.size(); ++i) {
        if (members[i]->isChecked())
            return static_cast<std::int32_t>(i);
    }
    return -1;
}

bool writeRadio(QRadioButton &first, std::int32_t value)
{
    const QList<QAbstractButton *> members = radioGroupFrom(first);
    if (value < 0 || value >= members.size())
        return false;
    // Exclusive groups refuse to uncheck their checked button; lift that while we set them.
    QButtonGroup *group = first.group();
    const bool groupExclusive = group && group->exclusive();
    if (group)
        group->setExclusive(false);
    for (qsizetype i = 0; i < members.size(); ++i) {
        const bool autoExclusive = members[i]->autoExclusive();
        members[i]->setAutoExclusive(false);
        members[i]->setChecked(i == value);
        members[i]->setAutoExclusive(autoExclusive);
    }
    if (group)
        group->setExclusive(groupExclusive);
    return true;
}

} // namespace

std::int32_t ListEntryCode(const QComboBox &list, int position)
{
    if (position < 0 || position >= list.count())
        return -1;
    const std::int32_t data = list.itemData(position, Qt::UserRole).toInt();
    return data != 0 ? data : position;
}

int ListPositionOfCode(const QComboBox &list, std::int32_t value)
{
    for (int i = 0; i < list.count(); ++i) {
        if (list.itemData(i, Qt::UserRole).toInt() == value)
            return i;
    }
    return value >= 0 && value < list.count() ? static_cast<int>(value) : -1;
}

std::int32_t ReadControlValue(const ControlFinder &finder, int controlId)
{
    QWidget *control = finder.FindControl(controlId);
    switch (ClassifyControl(control, ClassifyDepth::Fine)) {
    case ControlCategory::Edit:
        return ParseLeadingInteger(static_cast<QLineEdit *>(control)->text());
    case ControlCategory::Spin:
        return static_cast<SpinButton *>(control)->position();
    case ControlCategory::List: {
        const auto *list = static_cast<QComboBox *>(control);
        return ListEntryCode(*list, list->currentIndex());
    }
    case ControlCategory::CheckBox:
        return static_cast<QCheckBox *>(control)->isChecked() ? 1 : 0;
    case ControlCategory::RadioButton:
        return readRadio(*static_cast<QRadioButton *>(control));
    default:
        return -1;
    }
}

bool WriteControlValue(const ControlFinder &finder, int controlId, std::int32_t value)
{
    QWidget *control = finder.FindControl(controlId);
    switch (ClassifyControl(control, ClassifyDepth::Fine)) {
    case ControlCategory::Edit:
        static_cast<QLineEdit *>(control)->setText(QString::number(value));
        return true;
    case ControlCategory::Spin: {
        auto *spin = static_cast<SpinButton *>(control);
        spin->setPosition(value);
        if (QLineEdit *buddy = spin->buddy())
            buddy->setText(QString::number(spin->position()));
        return true;
    }
    case ControlCategory::List: {
        auto *list = static_cast<QComboBox *>(control);
        const int position = ListPositionOfCode(*list, value);
        list->setCurrentIndex(position);
        return position >= 0;
    }
    case ControlCategory::CheckBox:
        static_cast<QCheckBox *>(control)->setChecked(value != 0);
        return true;
    case ControlCategory::RadioButton:
        return writeRadio(*static_cast<QRadioButton *>(control), value);
    default:
        return false;
    }
}
