#include <set>

#include <QAccessible>
#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>

#include <gtest/gtest.h>

#include "CommunicationTestRig.h"
#include "MainWindowTestRig.h"
#include "core/catalog/PageTables.h"
#include "core/protocol/CommandIds.h"
#include "core/protocol/CommandTable.h"
#include "gui/lut/LutWindows.h"
#include "gui/main/ControlId.h"
#include "gui/main/SpinButton.h"
#include "gui/pages/CTabSheetDialog.h"
#include "gui/tools/CommunicationDialog.h"
#include "gui/tools/SerialPortsDialog.h"
#include "gui/tools/TerminalDialog.h"

// What a screen reader finds in the real windows after start-up: every control that can be
// used carries a name, the names are the page tables' labels, the groups carry their titles,
// and the keyboard alone reaches and works every control.

namespace {

QString nameOf(QObject *object)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(object);
    return iface ? iface->text(QAccessible::Name) : QStringLiteral("<no interface>");
}

// Roles that an operator works or reads a value from; each needs a name of its own.
bool needsName(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::EditableText:
    case QAccessible::SpinBox:
    case QAccessible::ComboBox:
    case QAccessible::List:
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ProgressBar:
    case QAccessible::PageTabList:
    case QAccessible::PageTab:
    case QAccessible::MenuItem:
    case QAccessible::Grouping:
        return true;
    default:
        return false;
    }
}

// One pass over the accessible tree below a window, as an assistive client walks it.
struct TreeWalk {
    bool includeHidden = false; // closed menus are hidden, their items are named all the same
    QStringList unnamed;        // path of every shown, enabled control without a name
    std::set<QObject *> reached;// widgets the tree exposes
    int named = 0;

    void Walk(QAccessibleInterface *iface, const QString &path)
    {
        if (!iface || !iface->isValid())
            return;
        const QAccessible::State state = iface->state();
        if (state.invisible && !includeHidden)
            return;
        const QString name = iface->text(QAccessible::Name);
        const QString here = path + QLatin1Char('/') + (name.isEmpty() ? QStringLiteral("?") : name);
        if (iface->object())
            reached.insert(iface->object());
        if (needsName(iface->role()) && !state.disabled) {
            if (name.isEmpty())
                unnamed << here + QStringLiteral(" (role %1, id %2)")
                                      .arg(int(iface->role()))
                                      .arg(ControlIdOf(qobject_cast<QWidget *>(iface->object())));
            else
                ++named;
        }
        // A list's rows are the log's lines and a closed drop-down's popup is not shown.
        if (iface->role() == QAccessible::List || iface->role() == QAccessible::ComboBox)
            return;
        for (int i = 0; i < iface->childCount(); ++i)
            Walk(iface->child(i), here);
    }

    void WalkWindow(QWidget &window) { Walk(QAccessible::queryAccessibleInterface(&window), QString()); }
};

// The words of everything that labels the control (labelled-by relation), nearest first.
QStringList labelsOf(QWidget *control)
{
    QStringList labels;
    if (QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(control)) {
        for (const auto &[label, relation] : iface->relations(QAccessible::Label))
            labels << (label ? label->text(QAccessible::Name) : QStringLiteral("<none>"));
    }
    return labels;
}

// The nearest enclosing group in the accessible tree, or nullptr.
QAccessibleInterface *groupOf(QWidget *control)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(control);
    for (iface = iface ? iface->parent() : nullptr; iface; iface = iface->parent()) {
        if (iface->role() == QAccessible::Grouping)
            return iface;
    }
    return nullptr;
}

// The name a field must carry: the table's own, else its label, else its group's title.
QString expectedName(const FieldSpec &field, const GroupSpec &group)
{
    const char *name = field.kind == FieldKind::Button ? field.text
                       : field.name                    ? field.name
                       : field.label                   ? field.label
                                                       : group.title;
    return QString::fromUtf8(name ? name : "");
}

bool isOperatorControl(const FieldSpec &field)
{
    return field.id && field.kind != FieldKind::FixedText && field.kind != FieldKind::Caption;
}

void activate(QWidget &window)
{
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    QCoreApplication::processEvents();
}

void key(QWidget &target, int code, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent press(QEvent::KeyPress, code, modifiers);
    QApplication::sendEvent(&target, &press);
    QKeyEvent release(QEvent::KeyRelease, code, modifiers);
    QApplication::sendEvent(&target, &release);
}

// Shows the tab whose page is `pageIndex` in the page table; false when it has no tab.
bool showPage(CCtrlToolDlg &window, int pageIndex)
{
    for (int tab = 0; tab < window.Tabs().count(); ++tab) {
        if (window.Tabs().tabData(tab).toInt() == pageIndex) {
            window.Tabs().setCurrentIndex(tab);
            QCoreApplication::processEvents();
            return true;
        }
    }
    return false;
}

// What a screen reader takes from a list: the labels it is labelled by, its name (the entry,
// by the platform's convention) and the popup's selected row.
struct HeardList {
    QStringList labels;
    QString name;
    QString selectedRow;
};

HeardList hear(QComboBox &list)
{
    HeardList heard{labelsOf(&list), nameOf(&list), QString()};
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(&list);
    QAccessibleInterface *rows = iface && iface->childCount() > 0 ? iface->child(0) : nullptr;
    if (rows && rows->tableInterface()) {
        const QList<QAccessibleInterface *> selected = rows->tableInterface()->selectedCells();
        heard.selectedRow = selected.size() == 1 ? selected.front()->text(QAccessible::Name)
                                                 : QStringLiteral("<%1 selected>").arg(selected.size());
    }
    return heard;
}

// Checks one list: its labels are there, the entry is its name and its selected row, and a
// new entry is heard at once. (The announcement of a change goes out over AT-SPI only, where
// scripts/atspi-tree.py --lists listens for it.)
void expectHeard(QComboBox &list, const QStringList &wantedLabels, const std::string &where)
{
    const HeardList before = hear(list);
    for (const QString &label : wantedLabels)
        EXPECT_TRUE(before.labels.contains(label)) << where << ": " << before.labels.join('|').toStdString();
    if (list.currentIndex() >= 0) {
        EXPECT_EQ(before.name, list.currentText()) << where;
        EXPECT_EQ(before.selectedRow, list.currentText()) << where;
    } else {
        EXPECT_EQ(before.name, before.labels.value(0)) << where << ": nothing chosen, heard by its label";
    }
    if (list.count() < 2)
        return;
    const int old = list.currentIndex();
    const int next = (old + 1) % list.count();
    list.setCurrentIndex(next);
    const HeardList after = hear(list);
    EXPECT_EQ(after.name, list.itemText(next)) << where;
    EXPECT_EQ(after.selectedRow, list.itemText(next)) << where;
    EXPECT_EQ(after.labels, before.labels) << where;
    list.setCurrentIndex(old);
}

class AccessibilityTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        MainWindowRig::Options options;
        options.controlMode = 1; // every page, "Factory A" included
        rig = std::make_unique<MainWindowRig>(options);
        rig->Start();
        activate(*rig->window);
    }

    CCtrlToolDlg &window() const { return *rig->window; }

    std::unique_ptr<MainWindowRig> rig;
};

TEST_F(AccessibilityTest, EveryShownControlOfEveryWindowHasAName)
{
    for (std::size_t page = 0; page < kPageTable.size(); ++page) {
        ASSERT_TRUE(showPage(window(), static_cast<int>(page))) << page;
        TreeWalk walk;
        walk.WalkWindow(window());
        EXPECT_TRUE(walk.unnamed.isEmpty()) << kPageTable[page]->title << ":\n"
                                            << walk.unnamed.join('\n').toStdString();
        // The walk reached the page's shown controls, so the tree is not cut off above them.
        const CTabSheetDialog &sheet = *window().Pages()[page];
        for (const GroupSpec &group : sheet.spec().groups) {
            for (const FieldSpec &field : group.fields) {
                QWidget *control = isOperatorControl(field) ? sheet.Control(field.id) : nullptr;
                if (control && control->isVisible()) {
                    EXPECT_TRUE(walk.reached.count(control)) << sheet.title().toStdString() << " " << field.id;
                }
            }
        }
    }

    // The menus are windows of their own; their items are named whether or not one is open.
    TreeWalk menus;
    menus.includeHidden = true;
    for (QMenu *menu : window().findChildren<QMenu *>())
        menus.Walk(QAccessible::queryAccessibleInterface(menu), menu->title());
    EXPECT_TRUE(menus.unnamed.isEmpty()) << menus.unnamed.join('\n').toStdString();
    EXPECT_GE(menus.named, 14);

    window().Terminal().show();
    window().Lut().ShowLutWindows(true);
    for (QWidget *tool : {static_cast<QWidget *>(&window().Communication()), static_cast<QWidget *>(&window().Terminal()),
                          static_cast<QWidget *>(&window().Lut().Window(0)), static_cast<QWidget *>(&window().Lut().Window(1)),
                          static_cast<QWidget *>(&window().Lut().Window(2))}) {
        ASSERT_TRUE(tool->isVisible());
        TreeWalk walk;
        walk.WalkWindow(*tool);
        EXPECT_TRUE(walk.unnamed.isEmpty()) << tool->windowTitle().toStdString() << ":\n"
                                            << walk.unnamed.join('\n').toStdString();
        EXPECT_GE(walk.named, 5) << tool->windowTitle().toStdString();
    }

    CProgressBarDialog &progress = rig->context->progress();
    progress.ShowProgress(&window(), QStringLiteral("Now, Storing camera data."));
    ASSERT_TRUE(progress.IsVisible());
    TreeWalk walk;
    walk.WalkWindow(*progress.Window());
    EXPECT_TRUE(walk.unnamed.isEmpty()) << walk.unnamed.join('\n').toStdString();
    EXPECT_EQ(nameOf(progress.Window()), "Now, Storing camera data.");
    progress.SetProgressMessage(QStringLiteral("Now, Loading camera data."));
    EXPECT_EQ(nameOf(progress.Window()), "Now, Loading camera data.") << "the window is read by its message";
    progress.CloseProgress();
}

// Every list of every page and of the tool windows is heard by its label and its entry, and
// the entry it is heard by follows a change.
TEST_F(AccessibilityTest, EveryListIsHeardByItsLabelAndItsEntry)
{
    int lists = 0;
    for (const CTabSheetDialog *page : window().Pages()) {
        for (const GroupSpec &group : page->spec().groups) {
            for (const FieldSpec &field : group.fields) {
                auto *list = field.kind == FieldKind::List ? qobject_cast<QComboBox *>(page->Control(field.id)) : nullptr;
                if (!list)
                    continue;
                QStringList labels = {expectedName(field, group)};
                if (group.title)
                    labels << QString::fromUtf8(group.title);
                expectHeard(*list, labels, page->title().toStdString() + " " + std::to_string(field.id));
                ++lists;
            }
        }
    }
    EXPECT_GE(lists, 80);

    struct ToolList {
        int id;
        QStringList labels;
    };
    const ToolList communication[] = {
        {1009, {"Category", "Communication Port"}},
        {1005, {"Port Name", "Communication Port"}},
        {1027, {"Baud Rate", "Communication Port"}},
        {1026, {"Factory And User Setting In Camera"}},
    };
    for (const ToolList &tool : communication) {
        auto *list = qobject_cast<QComboBox *>(window().Communication().FindControl(tool.id));
        ASSERT_TRUE(list) << tool.id;
        expectHeard(*list, tool.labels, "Communication " + std::to_string(tool.id));
    }

    CSerialPortsDialog ports(rig->context->settings(), rig->dialogs,
                             {{QStringLiteral("/dev/null"), QStringLiteral("the null device")},
                              {rig->simulator->SlavePath(), QStringLiteral("the camera")}});
    for (int com = 1; com <= CSerialPortsDialog::kPortCount; ++com) {
        const QString name = QStringLiteral("COM%1").arg(com);
        QComboBox &field = ports.DeviceField(com);
        const HeardList heard = hear(field);
        EXPECT_EQ(heard.labels.mid(0, 2), QStringList({name + " device", name})) << com;
        EXPECT_EQ(heard.name, rig->context->settings().PortDevice(name)) << com;
        field.setCurrentIndex(1);
        EXPECT_EQ(nameOf(&field), rig->simulator->SlavePath()) << com;
        // The path can also be typed: the edit field is the list's second child.
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(&field);
        ASSERT_EQ(iface->childCount(), 2);
        EXPECT_EQ(iface->child(1)->object(), field.lineEdit());
    }
}

// Each field is read out by its table's words, fields named alike are told apart by their
// group, and readouts say that they cannot be edited.
TEST_F(AccessibilityTest, NamesAndGroupsComeFromThePageTables)
{
    for (const CTabSheetDialog *page : window().Pages()) {
        const std::string where = page->title().toStdString();
        EXPECT_EQ(nameOf(const_cast<CTabSheetDialog *>(page)), page->title());
        for (const GroupSpec &group : page->spec().groups) {
            for (const FieldSpec &field : group.fields) {
                if (!isOperatorControl(field))
                    continue;
                QWidget *control = page->Control(field.id);
                ASSERT_TRUE(control) << where << " " << field.id;
                // A list is named by its entry and labelled by the table's words.
                if (field.kind == FieldKind::List)
                    EXPECT_TRUE(labelsOf(control).contains(expectedName(field, group))) << where << " " << field.id;
                else
                    EXPECT_EQ(nameOf(control), expectedName(field, group)) << where << " " << field.id;
                if (field.kind == FieldKind::Number) {
                    EXPECT_EQ(nameOf(page->Control(field.spinId)), expectedName(field, group)) << field.spinId;
                }
                QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(control);
                EXPECT_EQ(iface->state().readOnly, field.kind == FieldKind::Text) << where << " " << field.id;

                QAccessibleInterface *box = groupOf(control);
                if (group.title) {
                    ASSERT_TRUE(box) << where << " " << field.id;
                    EXPECT_EQ(box->text(QAccessible::Name), QString::fromUtf8(group.title)) << field.id;
                } else {
                    EXPECT_FALSE(box) << where << " " << field.id;
                }
            }
        }
    }

    // The two widths, each in its own group.
    EXPECT_EQ(nameOf(window().FindControl(1225)), "Width");
    EXPECT_EQ(nameOf(window().FindControl(1404)), "Width");
    ASSERT_TRUE(groupOf(window().FindControl(1225)) && groupOf(window().FindControl(1404)));
    EXPECT_EQ(groupOf(window().FindControl(1225))->text(QAccessible::Name), "Image format");
    EXPECT_EQ(groupOf(window().FindControl(1404))->text(QAccessible::Name), "White Balance");
    // Readouts that the camera fills in.
    EXPECT_EQ(nameOf(window().FindControl(1215)), "Line Rate period");
    EXPECT_EQ(nameOf(window().FindControl(1218)), "Line Rate min limit");
    EXPECT_EQ(nameOf(window().FindControl(1049)), "Temperature");
    EXPECT_EQ(nameOf(window().FindControl(1443)), "Value");
    EXPECT_EQ(groupOf(window().FindControl(1443))->text(QAccessible::Name), "Counter 0");
}

// The logs are lists whose rows read as their lines, and every strip says the line status.
TEST_F(AccessibilityTest, LogsReadAsListsAndStripsFollowTheLine)
{
    window().Terminal().show();
    const QList<QLabel *> strips = {window().StatusStrip(), window().Communication().StatusStrip(),
                                    window().Terminal().StatusStrip()};
    for (QLabel *strip : strips)
        EXPECT_EQ(nameOf(strip), "Online") << "after start-up the camera answers";

    rig->simulator->StopAnswering();
    std::int32_t area = 0;
    EXPECT_FALSE(rig->context->command().QueryValue(CommandId::EA, area, 300));
    for (QLabel *strip : strips)
        EXPECT_EQ(nameOf(strip), "Offline");
    EXPECT_EQ(nameOf(window().Communication().FindControl(1071)), "Offline");

    rig->simulator->ResumeAnswering();
    EXPECT_TRUE(rig->context->command().QueryValue(CommandId::EA, area, 5000));
    for (QLabel *strip : strips)
        EXPECT_EQ(nameOf(strip), "Online");
    EXPECT_EQ(nameOf(window().Communication().FindControl(1071)), "Online");

    // The current-area readout is heard by the area it shows, inside its titled group.
    auto *getArea = qobject_cast<QPushButton *>(window().Communication().FindControl(1074));
    ASSERT_TRUE(getArea);
    getArea->click();
    auto *areaText = qobject_cast<QLabel *>(window().Communication().FindControl(1075));
    ASSERT_TRUE(areaText);
    EXPECT_FALSE(areaText->text().isEmpty());
    EXPECT_EQ(nameOf(areaText), areaText->text());
    EXPECT_EQ(groupOf(areaText)->text(QAccessible::Name), "Current Area");

    // The terminal got the exchanges above; its newest row is read as its line.
    const QList<QWidget *> logs = {window().Communication().FindControl(1078),
                                   window().Terminal().findChild<QAbstractItemView *>()};
    for (QWidget *log : logs) {
        ASSERT_TRUE(log);
        QAccessibleInterface *list = QAccessible::queryAccessibleInterface(log);
        ASSERT_EQ(list->role(), QAccessible::List) << nameOf(log).toStdString();
        EXPECT_FALSE(list->text(QAccessible::Name).isEmpty());
        ASSERT_TRUE(list->tableInterface());
        const auto *view = qobject_cast<QAbstractItemView *>(log);
        ASSERT_GT(view->model()->rowCount(), 0) << nameOf(log).toStdString();
        QAccessibleInterface *top = list->tableInterface()->cellAt(0, 0);
        ASSERT_TRUE(top);
        EXPECT_EQ(top->text(QAccessible::Name), view->model()->index(0, 0).data().toString());
    }
}

// Tab from the first control of "User A" visits the page's controls in table order in the
// real window, then leaves the page and comes back round without a stop on a hidden page;
// Shift+Tab walks the same way back.
TEST_F(AccessibilityTest, TabWalksUserAInTableOrderInTheMainWindow)
{
    ASSERT_TRUE(showPage(window(), 0));
    const CTabSheetDialog &page = *window().Pages()[0];
    QList<QWidget *> expected;
    for (const GroupSpec &group : page.spec().groups) {
        for (const FieldSpec &field : group.fields) {
            QWidget *control = isOperatorControl(field) ? page.Control(field.id) : nullptr;
            if (control && control->isVisible() && control->isEnabled())
                expected << control;
        }
    }
    ASSERT_GT(expected.size(), 30);

    expected.first()->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    const auto tabOnce = [](int code) {
        QWidget *focused = QApplication::focusWidget();
        if (focused)
            key(*focused, code, code == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
        return QApplication::focusWidget();
    };
    QList<QWidget *> visited = {QApplication::focusWidget()};
    while (visited.size() < expected.size())
        visited << tabOnce(Qt::Key_Tab);
    EXPECT_EQ(visited, expected);

    // Round the window and back to the start, never on a control that is not shown.
    int steps = 0;
    for (QWidget *focused = tabOnce(Qt::Key_Tab); focused != expected.first() && steps < 200;
         focused = tabOnce(Qt::Key_Tab), ++steps) {
        ASSERT_TRUE(focused);
        EXPECT_TRUE(focused->isVisible()) << ControlIdOf(focused);
        EXPECT_FALSE(expected.contains(focused)) << "visited twice: " << ControlIdOf(focused);
    }
    EXPECT_LT(steps, 200) << "Tab never came back to the first control";
    EXPECT_GE(steps, 1) << "the tab bar is on the way round";

    expected.last()->setFocus(Qt::BacktabFocusReason);
    QList<QWidget *> back = {QApplication::focusWidget()};
    while (back.size() < expected.size())
        back << tabOnce(Qt::Key_Backtab);
    std::reverse(back.begin(), back.end());
    EXPECT_EQ(back, expected);
}

// Arrows change a list and step a number, arrows on the tab bar change the page, Space
// presses a button and Enter does not.
TEST_F(AccessibilityTest, KeyboardAloneWorksTheControls)
{
    ASSERT_TRUE(showPage(window(), 0));
    auto *list = qobject_cast<QComboBox *>(window().FindControl(1096));
    ASSERT_TRUE(list);
    list->setFocus();
    list->setCurrentIndex(0);
    key(*list, Qt::Key_Down);
    EXPECT_EQ(list->currentIndex(), 1);
    key(*list, Qt::Key_Up);
    EXPECT_EQ(list->currentIndex(), 0);

    auto *edit = qobject_cast<QLineEdit *>(window().FindControl(1227));
    auto *spin = qobject_cast<SpinButton *>(window().FindControl(1228));
    ASSERT_TRUE(edit && spin);
    spin->setRange(0, 100);
    edit->setText(QStringLiteral("10"));
    edit->setFocus();
    key(*edit, Qt::Key_Up);
    EXPECT_GT(edit->text().toInt(), 10);
    key(*edit, Qt::Key_PageDown);
    EXPECT_LT(edit->text().toInt(), 10);

    auto *button = qobject_cast<QPushButton *>(window().FindControl(1219));
    ASSERT_TRUE(button);
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, button, [&clicks] { ++clicks; });
    button->setFocus();
    key(*button, Qt::Key_Return);
    EXPECT_EQ(clicks, 0) << "Enter never presses a button behind the operator's back";
    key(*button, Qt::Key_Space);
    EXPECT_EQ(clicks, 1);

    QTabBar &tabs = window().Tabs();
    EXPECT_TRUE(tabs.focusPolicy() & Qt::TabFocus);
    tabs.setFocus();
    key(tabs, Qt::Key_Right);
    EXPECT_EQ(tabs.currentIndex(), 1);
    EXPECT_TRUE(window().Pages()[1]->isVisible());
    EXPECT_FALSE(window().Pages()[0]->isVisible());
}

} // namespace
