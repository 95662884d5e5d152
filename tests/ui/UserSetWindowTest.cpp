#include <algorithm>

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include "MainWindowTestRig.h"
#include "OperatorActions.h"
#include "gui/common/WindowList.h"
#include "gui/main/MainMenu.h"
#include "gui/main/UserSetOperations.h"
#include "gui/tools/ParameterAreaSelectDialog.h"

using Area = CParameterAreaSelectDialog;

namespace {

enum class Leave { OkButton, CancelButton, EnterKey, EscapeKey };

// What the operator saw in the area window.
struct Seen {
    QString title;
    QString prompt;
    QStringList entries;
    QString preselected;
    bool listed = false; // in the window list while open
    QString strip;       // the status strip's name
    QStringList names;   // what a screen reader hears for the list and the two buttons
    QStringList listLabels; // what the list is labelled by
};

QString accessibleName(QWidget &widget)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(&widget);
    return iface ? iface->text(QAccessible::Name) : QString();
}

template <typename T>
T &Part(const QDialog &dialog, int id)
{
    auto *control = qobject_cast<T *>(static_cast<const Area &>(dialog).FindControl(id));
    if (!control)
        qFatal("no control %d in the area window", id);
    return *control;
}

// Opens the menu item; in the area window chooses entry `entry` (-1: leaves the list as it
// is) and leaves it as told. The window is shown and worked in place of its modal run.
Seen RunAreaWindow(MainWindowRig &rig, int menuId, int entry, Leave leave, const QString &extraEntry = {})
{
    Seen seen;
    bool opened = false;
    UserSetOperations &userSets = rig.window->UserSets();
    userSets.SetAreaWindowRun([&](CParameterAreaSelectDialog &dialog) {
        opened = true;
        dialog.show(); // shown, as the modal run shows it, without its event loop
        auto &list = Part<QComboBox>(dialog, Area::kAreaList);
        seen.title = dialog.windowTitle();
        seen.prompt = Part<QLabel>(dialog, Area::kPrompt).text();
        for (int i = 0; i < list.count(); ++i)
            seen.entries << list.itemText(i);
        seen.preselected = list.currentText();
        const std::vector<QWidget *> open = rig.context->windowList().Windows();
        seen.listed = std::find(open.begin(), open.end(), &dialog) != open.end();
        seen.strip = Part<QLabel>(dialog, Area::kStatusStrip).accessibleName();
        if (QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(&list)) {
            for (const auto &[label, relation] : iface->relations(QAccessible::Label))
                seen.listLabels << (label ? label->text(QAccessible::Name) : QStringLiteral("<none>"));
        }
        seen.names = {accessibleName(list), accessibleName(Part<QPushButton>(dialog, Area::kOkButton)),
                      accessibleName(Part<QPushButton>(dialog, Area::kCancelButton))};
        if (!extraEntry.isEmpty())
            list.addItem(extraEntry);
        if (entry >= 0)
            list.setCurrentIndex(entry);
        switch (leave) {
        case Leave::OkButton:
            Part<QPushButton>(dialog, Area::kOkButton).click();
            break;
        case Leave::CancelButton:
            Part<QPushButton>(dialog, Area::kCancelButton).click();
            break;
        case Leave::EnterKey:
            OperatorActions::Key(list, Qt::Key_Return);
            break;
        case Leave::EscapeKey:
            OperatorActions::Key(list, Qt::Key_Escape);
            break;
        }
        const int result = dialog.result();
        dialog.hide();
        return result;
    });
    rig.window->OnMenu(menuId);
    userSets.SetAreaWindowRun({});
    EXPECT_TRUE(opened) << "the area window did not open";
    return seen;
}

const QStringList kUsers = {"User 1", "User 2", "User 3"};
const QStringList kAll = {"Factory", "User 1", "User 2", "User 3"};

} // namespace

TEST(UserSetWindow, AreaWindowListsPreselectsAndSendsByMode)
{
    const struct {
        int controlMode;
        int menu;
        int entry;
        Leave leave;
        QStringList entries;
        QList<QByteArray> sent;
        const char *box;
    } cases[] = {
        {0, MenuId::StoreSettings, -1, Leave::OkButton, kUsers, {"SA=1"}, "Completed saving current setting data !"},
        {0, MenuId::StoreSettings, 2, Leave::EnterKey, kUsers, {"SA=3"}, "Completed saving current setting data !"},
        {0, MenuId::StoreSettings, -1, Leave::CancelButton, kUsers, {}, nullptr},
        {0, MenuId::LoadSettings, -1, Leave::EscapeKey, kAll, {}, nullptr},
        {0, MenuId::LoadSettings, 3, Leave::CancelButton, kAll, {}, nullptr},
        {1, MenuId::StoreSettings, -1, Leave::OkButton, kAll, {"SA00=0"}, "Completed saving current setting data !"},
        {1, MenuId::StoreSettings, -1, Leave::EscapeKey, kAll, {}, nullptr},
        {1, MenuId::LoadSettings, -1, Leave::CancelButton, kAll, {}, nullptr},
    };
    for (int mode : {0, 1}) {
        MainWindowRig rig({.controlMode = mode});
        rig.Start();
        for (const auto &c : cases) {
            if (c.controlMode != mode)
                continue;
            const std::string what = std::to_string(c.menu) + " mode " + std::to_string(mode) + " entry " +
                                     std::to_string(c.entry) + " leave " + std::to_string(int(c.leave));
            rig.simulator->ClearWireLog();
            rig.dialogs.Clear();
            const Seen seen = RunAreaWindow(rig, c.menu, c.entry, c.leave);
            const bool load = c.menu == MenuId::LoadSettings;
            EXPECT_EQ(seen.title, load ? "Load setting data" : "Store setting data") << what;
            EXPECT_EQ(seen.prompt, load ? "Select the flash memory area to load setting data"
                                        : "Select the flash memory area to save setting data")
                << what;
            EXPECT_EQ(seen.entries, c.entries) << what;
            EXPECT_EQ(seen.preselected, c.entries.front()) << what;
            EXPECT_TRUE(seen.listed) << what;
            EXPECT_EQ(seen.strip, "Online") << what;
            // A list is heard by its current entry and labelled by its prompt.
            EXPECT_EQ(seen.names, (QStringList{seen.preselected, "OK", "Cancel"})) << what;
            EXPECT_TRUE(seen.listLabels.contains(seen.prompt)) << what << " " << seen.listLabels.join('|').toStdString();
            EXPECT_EQ(rig.Received(), c.sent) << what;
            EXPECT_EQ(rig.BoxTexts(), c.box ? QStringList{c.box} : QStringList{}) << what;
        }
        const std::vector<QWidget *> open = rig.context->windowList().Windows();
        EXPECT_EQ(std::count_if(open.begin(), open.end(),
                                [](QWidget *w) { return qobject_cast<Area *>(w) != nullptr; }),
                  0)
            << "the area window leaves the window list";
    }
}

TEST(UserSetWindow, LoadUserTwoRestoresWhatWasStoredThereAndAFailedLoadReadsNothing)
{
    MainWindowRig rig({});
    rig.Start();
    ControlTable &table = rig.context->controlTable();
    constexpr int kGainControl = 1041;

    rig.simulator->SetValue(QStringLiteral("GA"), 555);
    RunAreaWindow(rig, MenuId::StoreSettings, 1, Leave::OkButton);
    ASSERT_TRUE(rig.Received().contains("SA=2"));
    rig.simulator->SetValue(QStringLiteral("GA"), 777);

    rig.simulator->ClearWireLog();
    rig.dialogs.Clear();
    RunAreaWindow(rig, MenuId::LoadSettings, 2, Leave::OkButton);
    const QList<QByteArray> lines = rig.Received();
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.front(), "LD=2");
    EXPECT_GT(lines.indexOf("GA?"), 0) << "all settings are read after the load";
    EXPECT_EQ(rig.simulator->Value(QStringLiteral("GA")).value_or(-1), 555);
    EXPECT_EQ(table.GetDataValue(kGainControl), 555);
    EXPECT_EQ(table.GetSavedValue(kGainControl), 555);

    // A refused load leaves everything as it was: no reading.
    rig.simulator->RefuseMnemonic(QStringLiteral("LD"));
    rig.simulator->SetValue(QStringLiteral("GA"), 888);
    rig.simulator->ClearWireLog();
    RunAreaWindow(rig, MenuId::LoadSettings, 0, Leave::OkButton);
    EXPECT_EQ(rig.Received(), QList<QByteArray>{"LD=0"});
    EXPECT_EQ(table.GetDataValue(kGainControl), 555);
}

TEST(UserSetWindow, AnEntryOfNoAreaSendsNothing)
{
    MainWindowRig rig({});
    rig.Start();
    rig.simulator->ClearWireLog();
    rig.dialogs.Clear();
    RunAreaWindow(rig, MenuId::StoreSettings, 3, Leave::OkButton, QStringLiteral("User 4"));
    EXPECT_TRUE(rig.Received().isEmpty());
    ASSERT_EQ(rig.dialogs.Messages().size(), 1u);
    EXPECT_EQ(rig.dialogs.Messages().front().text, "Selected invalid area !");
    EXPECT_EQ(rig.dialogs.Messages().front().icon, MessageIcon::Stop);
}

// Four writes of up to ten seconds each: the slowest case of this group.
TEST(UserSetWindow, StoreAllWithASilentCameraAttemptsAllFourAreas)
{
    MainWindowRig rig({.controlMode = 1});
    rig.Start();
    rig.simulator->ClearWireLog();
    rig.dialogs.Clear();
    rig.simulator->StopAnswering();
    rig.dialogs.QueueAnswer(MessageAnswer::Yes);
    OperatorActions::Click(*rig.window, 1021);
    EXPECT_EQ(rig.Received(), (QList<QByteArray>{"SA=1", "SA=2", "SA=3", "SA00=0"}));
    ASSERT_FALSE(rig.dialogs.Messages().empty());
    const MessageRequest &summary = rig.dialogs.Messages().back();
    EXPECT_EQ(summary.text, "Couldn't store current setting data!");
    EXPECT_EQ(summary.icon, MessageIcon::Exclamation);
    EXPECT_FALSE(rig.BoxTexts().contains("Completed to store current setting data!"));
    rig.simulator->ResumeAnswering();
}
