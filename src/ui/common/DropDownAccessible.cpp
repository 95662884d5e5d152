#include "ui/common/DropDownAccessible.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>

namespace {

class DropDownAccessible final : public QAccessibleWidget {
public:
    explicit DropDownAccessible(QComboBox *list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    QComboBox *list() const { return static_cast<QComboBox *>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return list()->currentText();
        const QString own = QAccessibleWidget::text(t);
        // A list with neither label nor name is still heard by what it shows.
        return t == QAccessible::Name && own.isEmpty() ? list()->currentText() : own;
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = list()->view()->isVisible();
        s.editable = list()->isEditable();
        return s;
    }

    // The entries, as the popup's list view shows them.
    int childCount() const override { return 1; }
    QAccessibleInterface *child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(list()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child && child->object() == list()->view() ? 0 : -1;
    }

    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString &action) override
    {
        if (action != showMenuAction() && action != pressAction())
            return;
        if (list()->view()->isVisible())
            list()->hidePopup();
        else
            list()->showPopup();
    }
};

QAccessibleInterface *dropDownFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("QComboBox") && object && object->isWidgetType())
        return new DropDownAccessible(static_cast<QComboBox *>(object));
    return nullptr;
}

} // namespace

void InstallDropDownAccessibility()
{
    QAccessible::removeFactory(dropDownFactory);
    QAccessible::installFactory(dropDownFactory);
}
