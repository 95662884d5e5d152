#include "gui/pages/PageBuilder.h"

#include <algorithm>

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/common/DropDownAccessible.h"
#include "gui/main/ControlRegistry.h"
#include "gui/main/SpinButton.h"

namespace {

QString text(const char *utf8)
{
    return utf8 ? QString::fromUtf8(utf8) : QString();
}

// The widgets that one field produced: the labelled control, its spin and its statics.
struct FieldWidgets {
    QWidget *control = nullptr; // the widget with the field's id (or the value static)
    SpinButton *spin = nullptr;
    QList<QWidget *> statics;
};

class GroupBuilder {
public:
    GroupBuilder(const GroupSpec &group, QWidget &box, ControlRegistry &registry, QList<QWidget *> &tabOrder)
        : group_(group), box_(box), grid_(new QGridLayout(&box)), registry_(registry), tabOrder_(tabOrder)
    {
        // A row without a label of its own still starts in the field column when the group
        // has labels, so fields line up under each other.
        labelColumn_ = std::any_of(group.fields.begin(), group.fields.end(), [](const FieldSpec &f) {
            return f.label && f.kind != FieldKind::Caption;
        });
    }

    void Build()
    {
        for (const FieldSpec &field : group_.fields)
            add(field);
        grid_->setColumnStretch(grid_->columnCount(), 1);
    }

private:
    void add(const FieldSpec &field)
    {
        if (!field.joined || row_ < 0) {
            ++row_;
            column_ = 0;
        }
        FieldWidgets widgets;
        QLabel *label = nullptr;
        if (field.label && field.kind != FieldKind::Caption) {
            label = new QLabel(text(field.label), &box_);
            place(label);
            widgets.statics.append(label);
            if (field.labelId)
                registry_.Register(field.labelId, *label);
        } else if (!field.joined && labelColumn_ && field.kind != FieldKind::Caption) {
            column_ = 1;
        }
        widgets.control = create(field, widgets);
        if (field.id && widgets.control)
            registry_.Register(field.id, *widgets.control);
        if (label && widgets.control && field.kind != FieldKind::FixedText)
            label->setBuddy(widgets.control);
        name(field, label, widgets);
        apply(field, widgets);
    }

    void place(QWidget *widget) { grid_->addWidget(widget, row_, column_++); }

    QWidget *create(const FieldSpec &field, FieldWidgets &widgets)
    {
        switch (field.kind) {
        case FieldKind::Number: {
            auto *edit = new QLineEdit(&box_);
            auto *spin = new SpinButton(field.spinId, &box_);
            spin->setBuddy(edit);
            registry_.Register(field.spinId, *spin);
            // Edit and spin share one cell so that the spin always sits against its edit.
            auto *pair = new QHBoxLayout;
            pair->setSpacing(0);
            pair->addWidget(edit);
            pair->addWidget(spin);
            grid_->addLayout(pair, row_, column_++);
            tabOrder_.append(edit);
            widgets.spin = spin;
            return edit;
        }
        case FieldKind::List: {
            auto *list = new QComboBox(&box_);
            for (const char *entry : field.entries)
                list->addItem(text(entry));
            // A list starts without a selection, until a value is shown in it.
            list->setCurrentIndex(-1);
            place(list);
            tabOrder_.append(list);
            return list;
        }
        case FieldKind::Text:
        case FieldKind::Edit: {
            auto *edit = new QLineEdit(text(field.text), &box_);
            edit->setReadOnly(field.kind == FieldKind::Text);
            // Plain edits hold a few digits each (version numbers); keep them compact.
            if (field.kind == FieldKind::Edit)
                edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
            place(edit);
            tabOrder_.append(edit);
            return edit;
        }
        case FieldKind::Button: {
            auto *button = new QPushButton(text(field.text), &box_);
            // Enter commits edits; it must never press a button behind the operator's back.
            button->setAutoDefault(false);
            place(button);
            tabOrder_.append(button);
            return button;
        }
        case FieldKind::FixedText: {
            auto *value = new QLabel(text(field.text), &box_);
            place(value);
            return value;
        }
        case FieldKind::Caption: {
            auto *caption = new QLabel(text(field.label), &box_);
            place(caption);
            if (field.labelId)
                registry_.Register(field.labelId, *caption);
            widgets.statics.append(caption);
            return nullptr;
        }
        }
        return nullptr;
    }

    // The visible label names a field through its buddy; a field without one is named by
    // the table, or by its group's title when it is the group's only control.
    void name(const FieldSpec &field, const QLabel *label, const FieldWidgets &widgets)
    {
        if (!widgets.control || field.kind == FieldKind::Button)
            return;
        QString accessible = text(field.name);
        if (accessible.isEmpty() && !label)
            accessible = text(group_.title);
        if (!accessible.isEmpty())
            widgets.control->setAccessibleName(accessible);
        if (widgets.spin)
            widgets.spin->setAccessibleName(accessible.isEmpty() ? text(field.label) : accessible);
    }

    static void apply(const FieldSpec &field, const FieldWidgets &widgets)
    {
        QList<QWidget *> all = widgets.statics;
        if (widgets.control)
            all.append(widgets.control);
        if (widgets.spin)
            all.append(widgets.spin);
        for (QWidget *widget : all) {
            if (field.disabled && widget != widgets.statics.value(0))
                widget->setEnabled(false);
            if (field.hidden)
                widget->hide();
        }
    }

    const GroupSpec &group_;
    QWidget &box_;
    QGridLayout *grid_;
    ControlRegistry &registry_;
    QList<QWidget *> &tabOrder_;
    bool labelColumn_ = false;
    int row_ = -1;
    int column_ = 0;
};

QWidget *buildGroup(const GroupSpec &group, QWidget &content, ControlRegistry &registry, QList<QWidget *> &tabOrder)
{
    QWidget *box = group.title ? new QGroupBox(text(group.title), &content) : new QWidget(&content);
    if (group.boxId)
        registry.Register(group.boxId, *box);
    GroupBuilder(group, *box, registry, tabOrder).Build();
    if (group.hidden)
        box->hide();
    return box;
}

} // namespace

QList<QWidget *> BuildPage(const PageSpec &spec, QWidget &content, ControlRegistry &registry)
{
    InstallDropDownAccessibility();
    int columns = 0;
    for (const GroupSpec &group : spec.groups)
        columns = std::max(columns, group.column + 1);

    auto *page = new QHBoxLayout(&content);
    QList<QVBoxLayout *> stacks;
    for (int i = 0; i < columns; ++i) {
        stacks.append(new QVBoxLayout);
        page->addLayout(stacks.back());
    }
    page->addStretch(1);

    QList<QWidget *> tabOrder;
    for (const GroupSpec &group : spec.groups)
        stacks[group.column]->addWidget(buildGroup(group, content, registry, tabOrder));
    for (QVBoxLayout *stack : stacks)
        stack->addStretch(1);

    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);
    return tabOrder;
}

void BuildHiddenControls(std::span<const FieldSpec> fields, QWidget &parent, ControlRegistry &registry)
{
    for (const FieldSpec &field : fields) {
        auto *edit = new QLineEdit(QString::fromUtf8(field.text ? field.text : ""), &parent);
        edit->setReadOnly(true);
        edit->hide();
        registry.Register(field.id, *edit);
    }
}
