#include <memory>

#include <QWidget>

#include <gtest/gtest.h>

#include "CommunicationTestRig.h"
#include "gui/common/WindowList.h"

namespace {

TEST(WindowListTest, DisableAndEnableReachEveryListedWindowInRegistrationOrder)
{
    TestApplication();
    WindowList list;
    QWidget first, second, third, unlisted;
    list.Register(second);
    list.Register(first);
    list.Register(third);
    list.Register(second); // already listed: stays in its place
    EXPECT_EQ(list.Windows(), (std::vector<QWidget *>{&second, &first, &third}));

    list.DisableAll();
    EXPECT_FALSE(first.isEnabled());
    EXPECT_FALSE(second.isEnabled());
    EXPECT_FALSE(third.isEnabled());
    EXPECT_TRUE(unlisted.isEnabled());

    // No nesting count: one enable after two disables enables everything, also a window
    // that was disabled for reasons of its own.
    list.DisableAll();
    third.setEnabled(false);
    list.EnableAll();
    EXPECT_TRUE(first.isEnabled());
    EXPECT_TRUE(second.isEnabled());
    EXPECT_TRUE(third.isEnabled());
}

TEST(WindowListTest, UnregisteredAndDestroyedWindowsAreSkipped)
{
    TestApplication();
    WindowList list;
    QWidget kept, removed;
    auto destroyed = std::make_unique<QWidget>();
    list.Register(kept);
    list.Register(removed);
    list.Register(*destroyed);
    list.Unregister(removed);
    destroyed.reset(); // gone without unregistering

    list.DisableAll();
    EXPECT_FALSE(kept.isEnabled());
    EXPECT_TRUE(removed.isEnabled());
    EXPECT_EQ(list.Windows(), std::vector<QWidget *>{&kept});
    list.EnableAll();
    EXPECT_TRUE(kept.isEnabled());
}

} // namespace
