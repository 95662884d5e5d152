#include <limits>
#include <vector>

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QAccessible>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include "PageTestRig.h"
#include "gui/main/DecimalText.h"

namespace {

struct SpinRig {
    SpinRig() : spin(1226)
    {
        spin.setBuddy(&edit);
        spin.setRange(8, 4096);
    }
    QApplication &app = TestApplication();
    QLineEdit edit;
    SpinButton spin;
};

void mouse(QWidget &target, QEvent::Type type, QPoint at)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent event(type, at, target.mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(&target, &event);
}

void click(QWidget &target, QPoint at)
{
    mouse(target, QEvent::MouseButtonPress, at);
    mouse(target, QEvent::MouseButtonRelease, at);
}

void runEventsFor(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

void press(QWidget &target, int key)
{
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&target, &event);
}

TEST(SpinButtonTest, PositionStaysWithinTheRange)
{
    SpinRig rig;
    rig.spin.setPosition(5000);
    EXPECT_EQ(rig.spin.position(), 4096);
    rig.spin.setPosition(-3);
    EXPECT_EQ(rig.spin.position(), 8);
    rig.spin.setPosition(100);
    rig.spin.setRange(200, 300);
    EXPECT_EQ(rig.spin.position(), 200);

    // The full 32-bit range steps without wrapping round.
    rig.spin.setRange(std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max());
    rig.edit.setText(QString::number(std::numeric_limits<std::int32_t>::max()));
    rig.spin.stepBy(1);
    EXPECT_EQ(rig.spin.position(), std::numeric_limits<std::int32_t>::max());
    rig.edit.setText(QString::number(std::numeric_limits<std::int32_t>::min()));
    rig.spin.stepBy(-SpinButton::kPageStep);
    EXPECT_EQ(rig.spin.position(), std::numeric_limits<std::int32_t>::min());
}

TEST(SpinButtonTest, StepStartsFromTheBuddyAndShowsTheResult)
{
    SpinRig rig;
    rig.spin.setPosition(100);
    rig.edit.setText("2048"); // shown by writing the edit only, as a refresh does
    rig.spin.stepBy(1);
    EXPECT_EQ(rig.spin.position(), 2049);
    EXPECT_EQ(rig.edit.text(), "2049");
    rig.edit.setText("4096");
    rig.spin.stepBy(1);
    EXPECT_EQ(rig.edit.text(), "4096");
}

TEST(SpinButtonTest, HandlerSeesAndRewritesTheMove)
{
    SpinRig rig;
    std::vector<std::pair<int, int>> seen;
    rig.spin.setDeltaHandler([&](std::int32_t &position, std::int32_t &step) {
        seen.emplace_back(position, step);
        // A refused change: back to the saved value, no step.
        position = 512;
        step = 0;
    });
    rig.edit.setText("1000");
    rig.spin.stepBy(-1);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], std::make_pair(1000, -1));
    EXPECT_EQ(rig.spin.position(), 512);
    EXPECT_EQ(rig.edit.text(), "512");

    // A handler's position outside the range is still held within it.
    rig.spin.setDeltaHandler([](std::int32_t &position, std::int32_t &step) {
        position = 9000;
        step = 5;
    });
    rig.spin.stepBy(1);
    EXPECT_EQ(rig.spin.position(), 4096);
}

TEST(SpinButtonTest, TakesItsPositionFromTheBuddyText)
{
    SpinRig rig;
    const std::pair<const char *, int> cases[] = {
        {"  2048", 2048},  {"300abc", 300}, {"+77", 77},          {"abc", 8},
        {"", 8},           {"-5", 8},       {"99999999999", 4096}, {"- 5", 8},
    };
    for (const auto &[text, expected] : cases) {
        rig.edit.setText(text);
        EXPECT_EQ(rig.spin.TakePositionFromBuddy(), expected) << text;
        EXPECT_EQ(rig.spin.position(), expected) << text;
    }
    SpinButton lonely(1);
    lonely.setRange(0, 10);
    lonely.setPosition(4);
    EXPECT_EQ(lonely.TakePositionFromBuddy(), 4);
}

TEST(SpinButtonTest, KeysStepTheSpinAndItsBuddy)
{
    SpinRig rig;
    rig.edit.setText("100");
    press(rig.spin, Qt::Key_Up);
    EXPECT_EQ(rig.edit.text(), "101");
    press(rig.spin, Qt::Key_PageDown);
    EXPECT_EQ(rig.edit.text(), "91");
    press(rig.edit, Qt::Key_Down);
    EXPECT_EQ(rig.edit.text(), "90");
    press(rig.edit, Qt::Key_PageUp);
    EXPECT_EQ(rig.edit.text(), "100");
    // A read-only buddy is a readout; its keys do not move anything.
    rig.edit.setReadOnly(true);
    press(rig.edit, Qt::Key_Up);
    EXPECT_EQ(rig.edit.text(), "100");
}

TEST(SpinButtonTest, MouseStepsByHalfAndRepeatsWhileHeld)
{
    SpinRig rig;
    rig.spin.resize(16, 24);
    rig.edit.setText("100");
    click(rig.spin, QPoint(8, 3));
    EXPECT_EQ(rig.edit.text(), "101");
    click(rig.spin, QPoint(8, 20));
    EXPECT_EQ(rig.edit.text(), "100");

    mouse(rig.spin, QEvent::MouseButtonPress, QPoint(8, 3));
    runEventsFor(700);
    mouse(rig.spin, QEvent::MouseButtonRelease, QPoint(8, 3));
    const int held = rig.spin.position();
    EXPECT_GT(held, 102);
    runEventsFor(150);
    EXPECT_EQ(rig.spin.position(), held);
}

TEST(SpinButtonTest, DisabledSpinDoesNotMove)
{
    SpinRig rig;
    rig.edit.setText("100");
    rig.spin.setEnabled(false);
    rig.spin.stepBy(1);
    press(rig.edit, Qt::Key_Up);
    EXPECT_EQ(rig.edit.text(), "100");
}

TEST(DecimalTextTest, ReadsLikeAtoiAndSaturates)
{
    EXPECT_EQ(ParseLeadingInteger(u" \t-12abc"), -12);
    EXPECT_EQ(ParseLeadingInteger(u"x12"), 0);
    EXPECT_EQ(ParseLeadingInteger(u"2147483647"), 2147483647);
    EXPECT_EQ(ParseLeadingInteger(u"2147483648"), 2147483647);
    EXPECT_EQ(ParseLeadingInteger(u"-2147483648"), -2147483647 - 1);
    EXPECT_EQ(ParseLeadingInteger(u"-99999999999999999999999"), -2147483647 - 1);
    EXPECT_EQ(ParseLeadingInteger(u"+-3"), 0);
}

} // namespace

namespace {

TEST(SpinButtonTest, ScreenReadersSeeASpinBoxNamedLikeItsEdit)
{
    SpinRig rig;
    rig.edit.setAccessibleName("Width");
    rig.edit.setText("100");
    rig.spin.setPosition(100);
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(&rig.spin);
    ASSERT_TRUE(iface);
    EXPECT_EQ(iface->role(), QAccessible::SpinBox);
    EXPECT_EQ(iface->text(QAccessible::Name), "Width");
    EXPECT_EQ(iface->text(QAccessible::Value), "100");
    QAccessibleValueInterface *value = iface->valueInterface();
    ASSERT_TRUE(value);
    EXPECT_EQ(value->minimumValue().toInt(), 8);
    EXPECT_EQ(value->maximumValue().toInt(), 4096);

    int moves = 0;
    rig.spin.setDeltaHandler([&](std::int32_t &, std::int32_t &) { ++moves; });
    iface->actionInterface()->doAction(QAccessibleActionInterface::increaseAction());
    EXPECT_EQ(rig.edit.text(), "101");
    value->setCurrentValue(5000);
    EXPECT_EQ(rig.edit.text(), "4096");
    EXPECT_EQ(moves, 2) << "both go through the move handler";
}

} // namespace
