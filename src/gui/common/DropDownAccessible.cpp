#include "gui/common/DropDownAccessible.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPointer>

namespace {

// Marks the object that stands for the words a list is labelled by when no label on screen
// says them. It lives as the list's child, so it goes when the list goes.
const char kTableLabelName[] = "qn-list-label";

QString visibleLabelText(const QAccessibleInterface *label)
{
    return label ? label->text(QAccessible::Name) : QString();
}

// The label object: static text whose name is the list's words, pointing back at the list.
class TableLabelAccessible final : public QAccessibleInterface {
public:
    explicit TableLabelAccessible(QObject *holder) : holder_(holder) {}

    bool isValid() const override { return holder_ && list(); }
    QObject *object() const override { return holder_; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(list()); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && list() ? list()->accessibleName() : QString();
    }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override { return QRect(); }
    QAccessible::Role role() const override { return QAccessible::StaticText; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.invisible = true;
        return s;
    }
    QList<QPair<QAccessibleInterface *, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override
    {
        if (!(match & QAccessible::Labelled) || !list())
            return {};
        return {qMakePair(QAccessible::queryAccessibleInterface(list()), QAccessible::Labelled)};
    }

private:
    QComboBox *list() const { return holder_ ? qobject_cast<QComboBox *>(holder_->parent()) : nullptr; }

    QPointer<QObject> holder_;
};

class DropDownAccessible final : public QAccessibleWidget {
public:
    explicit DropDownAccessible(QComboBox *list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    QComboBox *list() const { return static_cast<QComboBox *>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name || t == QAccessible::Value) {
            const QString entry = list()->currentText();
            if (t == QAccessible::Value || !entry.isEmpty())
                return entry;
            // Nothing chosen yet: the list is still heard by what it is.
            const auto labels = relations(QAccessible::Label);
            return labels.isEmpty() ? QAccessibleWidget::text(t) : visibleLabelText(labels.first().first);
        }
        return QAccessibleWidget::text(t);
    }

    // Qt's labels (buddy label, titled group) after the list's own words when no label says them.
    QList<QPair<QAccessibleInterface *, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override
    {
        auto found = QAccessibleWidget::relations(match);
        if (!(match & QAccessible::Label))
            return found;
        const QString words = list()->accessibleName();
        bool said = words.isEmpty();
        for (const auto &relation : found)
            said = said || (relation.second & QAccessible::Label && visibleLabelText(relation.first) == words);
        if (!said)
            found.prepend(qMakePair(QAccessible::queryAccessibleInterface(tableLabel()), QAccessible::Label));
        return found;
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = list()->view()->isVisible();
        s.editable = list()->isEditable();
        return s;
    }

    // The entries as the popup's list view shows them; an editable list's edit field after them.
    int childCount() const override { return list()->lineEdit() ? 2 : 1; }
    QAccessibleInterface *child(int index) const override
    {
        if (index == 0)
            return QAccessible::queryAccessibleInterface(list()->view());
        if (index == 1 && list()->lineEdit())
            return QAccessible::queryAccessibleInterface(list()->lineEdit());
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (!child)
            return -1;
        if (child->object() == list()->view())
            return 0;
        return list()->lineEdit() && child->object() == list()->lineEdit() ? 1 : -1;
    }

    // Opening the popup, and what every widget offers (taking the focus, which is how an
    // assistive client moves to the list).
    QStringList actionNames() const override
    {
        return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &action) override
    {
        if (action == setFocusAction()) {
            // A client moving to a list in a window behind brings that window up first, or
            // the keys it sends next go elsewhere.
            list()->activateWindow();
            list()->setFocus(Qt::OtherFocusReason);
            return;
        }
        if (action != showMenuAction() && action != pressAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        if (list()->view()->isVisible())
            list()->hidePopup();
        else
            list()->showPopup();
    }

private:
    QObject *tableLabel() const
    {
        auto *holder = list()->findChild<QObject *>(QLatin1String(kTableLabelName), Qt::FindDirectChildrenOnly);
        if (!holder) {
            holder = new QObject(list());
            holder->setObjectName(QLatin1String(kTableLabelName));
        }
        return holder;
    }
};

// The popup's selection is the list's current entry at all times, not only while it is open.
void selectCurrentRow(QComboBox &list)
{
    QAbstractItemView *view = list.view();
    if (!view || !view->selectionModel())
        return;
    const QModelIndex current = list.model()->index(list.currentIndex(), list.modelColumn(), list.rootModelIndex());
    // Only the selection: moving the popup's current row would report the focus on a row of a
    // closed popup. Opening the popup moves its current row there anyway.
    if (current.isValid())
        view->selectionModel()->select(current, QItemSelectionModel::ClearAndSelect);
    else
        view->selectionModel()->clearSelection();
}

QAccessibleInterface *dropDownFactory(const QString &className, QObject *object)
{
    if (!object)
        return nullptr;
    if (className == QLatin1String("QComboBox") && object->isWidgetType()) {
        auto *list = static_cast<QComboBox *>(object);
        selectCurrentRow(*list);
        QObject::connect(list, &QComboBox::currentIndexChanged, list, [list] { selectCurrentRow(*list); });
        return new DropDownAccessible(list);
    }
    if (className == QLatin1String("QObject") && object->objectName() == QLatin1String(kTableLabelName))
        return new TableLabelAccessible(object);
    return nullptr;
}

} // namespace

void InstallDropDownAccessibility()
{
    QAccessible::removeFactory(dropDownFactory);
    QAccessible::installFactory(dropDownFactory);
}
