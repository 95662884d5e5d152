#include "gui/main/SpinButtonAccessible.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include <QAccessibleWidget>

#include "gui/main/SpinButton.h"

namespace {

class SpinButtonAccessible final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit SpinButtonAccessible(SpinButton *spin) : QAccessibleWidget(spin, QAccessible::SpinBox) {}

    SpinButton *spin() const { return static_cast<SpinButton *>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return QString::number(spin()->position());
        if (t == QAccessible::Name && spin()->accessibleName().isEmpty() && spin()->buddy()) {
            if (QAccessibleInterface *buddy = QAccessible::queryAccessibleInterface(spin()->buddy()))
                return buddy->text(QAccessible::Name);
        }
        return QAccessibleWidget::text(t);
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QVariant currentValue() const override { return spin()->position(); }
    // Setting the value is a move like any other, so the binding hears of it.
    void setCurrentValue(const QVariant &value) override
    {
        const std::int64_t step = value.toLongLong() - std::int64_t{spin()->TakePositionFromBuddy()};
        spin()->stepBy(static_cast<std::int32_t>(std::clamp<std::int64_t>(
            step, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max())));
    }
    QVariant maximumValue() const override { return std::max(spin()->lower(), spin()->upper()); }
    QVariant minimumValue() const override { return std::min(spin()->lower(), spin()->upper()); }
    QVariant minimumStepSize() const override { return 1; }

    QStringList actionNames() const override
    {
        return QStringList{increaseAction(), decreaseAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &action) override
    {
        if (action == increaseAction())
            spin()->stepBy(1);
        else if (action == decreaseAction())
            spin()->stepBy(-1);
        else
            QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface *spinButtonFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("SpinButton") && object && object->isWidgetType())
        return new SpinButtonAccessible(static_cast<SpinButton *>(object));
    return nullptr;
}

} // namespace

void InstallSpinButtonAccessibility()
{
    QAccessible::removeFactory(spinButtonFactory);
    QAccessible::installFactory(spinButtonFactory);
}
