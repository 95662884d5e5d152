#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTabBar>

#include <gtest/gtest.h>

#include "MainWindowTestRig.h"
#include "core/settings/PreferenceFile.h"

namespace {

void press(QWidget &target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    target.setFocus();
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(&target, &event);
}

void typeModeSequence(QWidget &target)
{
    press(target, Qt::Key_F12, Qt::ControlModifier | Qt::ShiftModifier);
    press(target, Qt::Key_F);
    press(target, Qt::Key_C);
    press(target, Qt::Key_T);
}

QStringList tabTitles(const QTabBar &tabs)
{
    QStringList titles;
    for (int i = 0; i < tabs.count(); ++i)
        titles << tabs.tabText(i);
    return titles;
}

void activate(QWidget &window)
{
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    QCoreApplication::processEvents();
}

const QStringList kStandardTabs = {"User A", "User B", "User C", "User D", "User E"};

} // namespace

TEST(MainWindowKeys, ModeSequenceAddsAndRemovesTheFactoryPage)
{
    MainWindowRig rig({});
    rig.Start();
    CCtrlToolDlg &window = *rig.window;
    activate(window);
    EXPECT_EQ(tabTitles(window.Tabs()), kStandardTabs);
    EXPECT_FALSE(window.UtilityMenu().isEnabled());

    window.Tabs().setCurrentIndex(2);
    rig.simulator->ClearWireLog();
    typeModeSequence(window.Tabs());
    EXPECT_EQ(tabTitles(window.Tabs()), kStandardTabs + QStringList{"Factory A"});
    EXPECT_EQ(window.Tabs().currentIndex(), 0);
    EXPECT_TRUE(window.UtilityMenu().isEnabled());
    EXPECT_EQ(rig.context->controlMode().Get(), 1);
    const QList<QByteArray> lines = rig.Received();
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.first(), "EA?");
    EXPECT_TRUE(lines.contains("GAOG?")) << "the next full read takes the extended rows";

    // A wrong key in the middle disarms the sequence.
    press(window.Tabs(), Qt::Key_F12, Qt::ControlModifier | Qt::ShiftModifier);
    press(window.Tabs(), Qt::Key_F);
    press(window.Tabs(), Qt::Key_X);
    press(window.Tabs(), Qt::Key_C);
    press(window.Tabs(), Qt::Key_T);
    EXPECT_EQ(window.Tabs().count(), 6);

    typeModeSequence(window.Tabs());
    EXPECT_EQ(tabTitles(window.Tabs()), kStandardTabs);
    EXPECT_FALSE(window.UtilityMenu().isEnabled());
}

TEST(MainWindowKeys, EnterNeverClosesAndEscapeAsksFirst)
{
    MainWindowRig rig({});
    rig.Start();
    CCtrlToolDlg &window = *rig.window;
    activate(window);
    rig.dialogs.Clear();

    auto *width = qobject_cast<QLineEdit *>(window.FindControl(1225));
    ASSERT_NE(width, nullptr);
    press(*width, Qt::Key_Return);
    press(*width, Qt::Key_Escape);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(rig.dialogs.Messages().empty()) << "Enter and Escape in an edit do nothing to the window";

    rig.dialogs.QueueAnswer(MessageAnswer::No);
    press(window.Tabs(), Qt::Key_Escape);
    ASSERT_EQ(rig.dialogs.Messages().size(), 1u);
    const MessageRequest &question = rig.dialogs.Messages()[0];
    EXPECT_EQ(question.text, "Are you sure to terminate the Camera Control Tool ?");
    EXPECT_EQ(question.caption, "Confirm");
    EXPECT_EQ(question.icon, MessageIcon::Question);
    EXPECT_EQ(question.buttons, MessageButtons::YesNo);
    EXPECT_TRUE(window.isVisible()) << "No keeps the window open";

    rig.dialogs.QueueAnswer(MessageAnswer::Yes);
    press(window.Tabs(), Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), QDialog::Rejected);

    // A normal end: the window reads the rate once more and closes the link, then every
    // holder writes its preferences and the store writes the clean-shutdown marker.
    rig.simulator->ClearWireLog();
    rig.Finish();
    EXPECT_EQ(rig.Received(), (QList<QByteArray>{"CBDRT?"}));
    const PreferenceFile file(rig.temp.Path());
    EXPECT_EQ(file.ReadNumber(QStringLiteral("Communication Mode")), 0);
    EXPECT_EQ(file.ReadNumber(QStringLiteral("Baudrate")), 115200);
    EXPECT_EQ(file.ReadNumber(QStringLiteral("Com Port No")), 0);
    EXPECT_EQ(file.ReadNumber(QStringLiteral("Cameralink Ver11 Dll Index")), 0);
    EXPECT_EQ(file.ReadNumber(QStringLiteral("Control Mode")), 0);
    EXPECT_EQ(file.ReadNumber(QStringLiteral("Previous Application Shutdown Status")), 1);
}
