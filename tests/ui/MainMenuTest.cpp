#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>

#include <gtest/gtest.h>

#include "TestApplication.h"
#include "gui/main/MainMenu.h"
#include "gui/main/ModeKeySequence.h"

namespace {

QAction *findItem(QWidget &menu, int id)
{
    for (QAction *action : menu.actions()) {
        if (action->menu()) {
            if (QAction *found = findItem(*action->menu(), id))
                return found;
        } else if (action->data().toInt() == id) {
            return action;
        }
    }
    return nullptr;
}

} // namespace

TEST(MainMenu, EveryItemCarriesItsIdAndCallsTheHandler)
{
    TestApplication();
    QMenuBar bar;
    std::vector<int> called;
    QMenu *utility = BuildMainMenu(bar, [&](int id) { called.push_back(id); });
    ASSERT_NE(utility, nullptr);
    EXPECT_EQ(utility->title(), "Utility(&U)");
    QStringList titles;
    for (QAction *action : bar.actions())
        titles << action->text();
    EXPECT_EQ(titles, (QStringList{"File(&F)", "Settings(&S)", "Utility(&U)", "LUT(&L)", "Help(&H)"}));
    EXPECT_EQ(bar.actions().at(2)->menu(), utility) << "Utility is the third top-level item";

    const std::pair<int, const char *> items[] = {
        {30008, "&Open"}, {30011, "All Data"}, {30012, "Shipping Data"}, {30013, "&Compare with Setting File..."}, {2, "E&xit"}, {30002, "&Reload"},
        {30004, "&Load settings"}, {30003, "&Store settings"}, {30100, "Serial ports..."}, {30000, "Edit user id"}, {30005, "Edit camera id"},
        {30006, "&Open LUT file"}, {30007, "&Save LUT file"}, {30009, "&Load all LUT table"},
        {30001, "&About this application"}, {30010, "&Open Communication Dialog"}};
    for (const auto &[id, text] : items) {
        QAction *action = findItem(bar, id);
        ASSERT_NE(action, nullptr) << id;
        EXPECT_EQ(action->text(), QString::fromUtf8(text));
        action->trigger();
    }
    ASSERT_EQ(called.size(), std::size(items));
    EXPECT_EQ(called.front(), 30008);
    EXPECT_EQ(called.back(), 30010);
    QAction *allData = findItem(bar, 30011);
    ASSERT_NE(allData->parent(), nullptr);
    EXPECT_EQ(qobject_cast<QMenu *>(allData->parent())->title(), "&Save as");
}

TEST(ModeKeySequence, ArmsWithCtrlShiftF12AndCompletesWithFCT)
{
    const Qt::KeyboardModifiers armMods = Qt::ControlModifier | Qt::ShiftModifier;
    ModeKeySequence sequence;
    EXPECT_FALSE(sequence.Press(Qt::Key_F, {}));
    EXPECT_FALSE(sequence.Press(Qt::Key_C, {}));
    EXPECT_FALSE(sequence.Press(Qt::Key_T, {})) << "the letters alone do nothing";

    EXPECT_FALSE(sequence.Press(Qt::Key_F12, armMods));
    EXPECT_TRUE(sequence.IsArmed());
    EXPECT_FALSE(sequence.Press(Qt::Key_F, {}));
    EXPECT_FALSE(sequence.Press(Qt::Key_C, {}));
    EXPECT_TRUE(sequence.Press(Qt::Key_T, {}));
    EXPECT_FALSE(sequence.IsArmed()) << "disarmed after the toggle";

    // A wrong key in the middle disarms it.
    sequence.Press(Qt::Key_F12, armMods);
    sequence.Press(Qt::Key_F, {});
    EXPECT_FALSE(sequence.Press(Qt::Key_X, {}));
    EXPECT_FALSE(sequence.IsArmed());
    EXPECT_FALSE(sequence.Press(Qt::Key_C, {}));
    EXPECT_FALSE(sequence.Press(Qt::Key_T, {}));

    // F12 without both modifiers does not arm; re-arming resets the position.
    EXPECT_FALSE(sequence.Press(Qt::Key_F12, Qt::ControlModifier));
    EXPECT_FALSE(sequence.IsArmed());
    sequence.Press(Qt::Key_F12, armMods);
    sequence.Press(Qt::Key_F, {});
    sequence.Press(Qt::Key_F12, armMods);
    EXPECT_EQ(sequence.Position(), 0);
    sequence.Press(Qt::Key_F, {});
    sequence.Press(Qt::Key_C, {});
    EXPECT_TRUE(sequence.Press(Qt::Key_T, {}));
}
