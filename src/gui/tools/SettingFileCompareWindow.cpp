#include "gui/tools/SettingFileCompareWindow.h"

#include <algorithm>

#include <QClipboard>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "gui/common/WindowList.h"

namespace {

const QStringList &columnTitles()
{
    static const QStringList titles{QStringLiteral("Page"), QStringLiteral("Group"), QStringLiteral("Parameter"),
                                    QStringLiteral("Mnemonic"), QStringLiteral("Camera"), QStringLiteral("File")};
    return titles;
}

QStringList columnsOf(const CompareRow &row)
{
    return {row.page, row.group, row.label, row.mnemonic, row.camera, row.file};
}

constexpr int kRowIndexRole = Qt::UserRole;

} // namespace

SettingFileCompareWindow::SettingFileCompareWindow(WindowList &windowList, Hooks hooks, QWidget *parent)
    : QDialog(parent, Qt::Window), windowList_(windowList), hooks_(std::move(hooks))
{
    setWindowTitle(QStringLiteral("Compare with Setting File"));
    auto *layout = new QVBoxLayout(this);
    file_ = new QLabel(this);
    file_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    summary_ = new QLabel(this);
    summary_->setWordWrap(true);
    summary_->setAccessibleName(QStringLiteral("Result"));
    tree_ = new QTreeWidget(this);
    tree_->setColumnCount(static_cast<int>(columnTitles().size()));
    tree_->setHeaderLabels(columnTitles());
    tree_->setRootIsDecorated(false);
    tree_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tree_->setAccessibleName(QStringLiteral("Differences"));
    tree_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    unreadableTitle_ = new QLabel(QStringLiteral("&Unreadable lines of the file:"), this);
    unreadable_ = new QListWidget(this);
    unreadable_->setAccessibleName(QStringLiteral("Unreadable lines of the file"));
    unreadableTitle_->setBuddy(unreadable_);
    layout->addWidget(file_);
    layout->addWidget(summary_);
    layout->addWidget(tree_, 3);
    layout->addWidget(unreadableTitle_);
    layout->addWidget(unreadable_, 1);

    auto *buttons = new QDialogButtonBox(this);
    goTo_ = buttons->addButton(QStringLiteral("&Go to"), QDialogButtonBox::ActionRole);
    apply_ = buttons->addButton(QStringLiteral("&Apply file's value"), QDialogButtonBox::ActionRole);
    QPushButton *copy = buttons->addButton(QStringLiteral("&Copy"), QDialogButtonBox::ActionRole);
    QPushButton *again = buttons->addButton(QStringLiteral("Compare a&gain"), QDialogButtonBox::ActionRole);
    QPushButton *close = buttons->addButton(QDialogButtonBox::Close);
    // Enter on a row goes to it; no button takes Enter away from the list.
    for (QPushButton *button : {goTo_, apply_, copy, again, close})
        button->setAutoDefault(false);
    layout->addWidget(buttons);

    connect(goTo_, &QPushButton::clicked, this, &SettingFileCompareWindow::GoToCurrent);
    connect(apply_, &QPushButton::clicked, this, &SettingFileCompareWindow::ApplySelected);
    connect(copy, &QPushButton::clicked, this, &SettingFileCompareWindow::Copy);
    connect(again, &QPushButton::clicked, this, [this] { hooks_.compareAgain(); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(tree_, &QTreeWidget::itemActivated, this, &SettingFileCompareWindow::GoToCurrent);
    connect(tree_, &QTreeWidget::itemSelectionChanged, this, &SettingFileCompareWindow::updateButtons);
    windowList_.Register(*this);
    resize(720, 420);
}

SettingFileCompareWindow::~SettingFileCompareWindow()
{
    windowList_.Unregister(*this);
}

void SettingFileCompareWindow::Show(const CompareResult &result)
{
    result_ = result;
    file_->setText(QStringLiteral("File: ") + result.path);
    summary_->setText(result.summary);
    tree_->clear();
    for (std::size_t i = 0; i < result.rows.size(); ++i) {
        auto *item = new QTreeWidgetItem(tree_, columnsOf(result.rows[i]));
        item->setData(0, kRowIndexRole, static_cast<int>(i));
    }
    tree_->setVisible(!result.rows.empty());
    unreadable_->clear();
    unreadable_->addItems(result.unreadable);
    unreadableTitle_->setVisible(!result.unreadable.isEmpty());
    unreadable_->setVisible(!result.unreadable.isEmpty());
    if (QTreeWidgetItem *first = tree_->topLevelItem(0))
        tree_->setCurrentItem(first);
    updateButtons();
    show();
    raise();
    activateWindow();
    tree_->setFocus(Qt::OtherFocusReason);
}

QString SettingFileCompareWindow::Text() const
{
    QStringList lines{file_->text(), result_.summary};
    if (!result_.rows.empty()) {
        lines.append(columnTitles().join(QLatin1Char('\t')));
        for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
            const QTreeWidgetItem &item = *tree_->topLevelItem(i);
            QStringList cells;
            for (int column = 0; column < tree_->columnCount(); ++column)
                cells.append(item.text(column));
            lines.append(cells.join(QLatin1Char('\t')));
        }
    }
    lines.append(result_.unreadable);
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

void SettingFileCompareWindow::GoToCurrent()
{
    const QTreeWidgetItem *item = tree_->currentItem();
    if (item == nullptr)
        return;
    const CompareRow &row = rowOf(*item);
    if (row.controlId >= 0)
        hooks_.goTo(row.controlId);
}

void SettingFileCompareWindow::ApplySelected()
{
    // In the list's order, as the operator would go down it.
    for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
        QTreeWidgetItem &item = *tree_->topLevelItem(i);
        const CompareRow &row = rowOf(item);
        if (item.isSelected() && row.controlId >= 0)
            item.setText(kColumnCamera, hooks_.apply(row));
    }
}

void SettingFileCompareWindow::Copy() const
{
    QGuiApplication::clipboard()->setText(Text());
}

const CompareRow &SettingFileCompareWindow::rowOf(const QTreeWidgetItem &item) const
{
    return result_.rows[static_cast<std::size_t>(item.data(0, kRowIndexRole).toInt())];
}

void SettingFileCompareWindow::updateButtons()
{
    const QList<QTreeWidgetItem *> selected = tree_->selectedItems();
    apply_->setEnabled(std::any_of(selected.begin(), selected.end(),
                                   [this](const QTreeWidgetItem *item) { return rowOf(*item).controlId >= 0; }));
    const QTreeWidgetItem *current = tree_->currentItem();
    goTo_->setEnabled(current != nullptr
                      && rowOf(*current).controlId >= 0);
}
