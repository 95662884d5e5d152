#include <vector>

#include <QAccessible>
#include <QImage>
#include <QLabel>
#include <QWidget>

#include <gtest/gtest.h>

#include "CommunicationTestRig.h"
#include "gui/common/OnlineStatus.h"

namespace {

class RecordingWindow final : public QWidget, public COnlineStatusUpdater {
public:
    RecordingWindow() { SetStatusStrip(MakeStatusStrip(*this, 1069)); }
    void OnOnlineStatusChanged(int online) override { calls.push_back(online); }
    void DropStrip() { delete StatusStrip(); }
    std::vector<int> calls;
};

QImage bitmap(const char *name)
{
    return QPixmap(QString::fromLatin1(name)).toImage();
}

bool shows(const RecordingWindow &window, const char *name)
{
    return window.StatusStrip()->pixmap().toImage() == bitmap(name);
}

class OnlineStatusTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestApplication();
        ASSERT_FALSE(bitmap(":/res/bitmap-302.png").isNull());
        ASSERT_FALSE(bitmap(":/res/bitmap-303.png").isNull());
        ASSERT_NE(bitmap(":/res/bitmap-302.png"), bitmap(":/res/bitmap-303.png"));
    }
    OnlineStatus status;
};

TEST_F(OnlineStatusTest, EveryRegisteredStripAndHookFollowsTheState)
{
    RecordingWindow first;
    RecordingWindow second;
    status.Register(first);
    status.Register(second);
    EXPECT_TRUE(shows(first, ":/res/bitmap-302.png"));
    EXPECT_EQ(first.StatusStrip()->accessibleName(), "Offline");
    EXPECT_TRUE(first.calls.empty()); // registering sets the strip only

    status.SetOnline(true);
    for (RecordingWindow *window : {&first, &second}) {
        EXPECT_TRUE(shows(*window, ":/res/bitmap-303.png"));
        EXPECT_EQ(window->StatusStrip()->accessibleName(), "Online");
        EXPECT_EQ(window->calls, std::vector<int>({1}));
    }

    status.SetOnline(false);
    EXPECT_TRUE(shows(second, ":/res/bitmap-302.png"));
    EXPECT_EQ(second.StatusStrip()->accessibleName(), "Offline");
    EXPECT_EQ(second.calls, std::vector<int>({1, 0}));
    // Screen readers see the same name the strip carries.
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(second.StatusStrip());
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->text(QAccessible::Name), "Offline");
}

TEST_F(OnlineStatusTest, LateRegistrationTakesTheCurrentBitmapAndUnregisteredWindowsAreLeftAlone)
{
    status.SetOnline(true);
    RecordingWindow late;
    status.Register(late);
    EXPECT_TRUE(shows(late, ":/res/bitmap-303.png"));
    EXPECT_EQ(late.StatusStrip()->accessibleName(), "Online");

    status.Unregister(late);
    status.SetOnline(false);
    EXPECT_TRUE(shows(late, ":/res/bitmap-303.png"));
    EXPECT_TRUE(late.calls.empty());
}

TEST_F(OnlineStatusTest, AWindowWhoseStripIsGoneStillGetsItsHook)
{
    RecordingWindow window;
    status.Register(window);
    window.DropStrip();
    EXPECT_EQ(window.StatusStrip(), nullptr);
    status.SetOnline(true);
    EXPECT_EQ(window.calls, std::vector<int>({1}));
}

TEST_F(OnlineStatusTest, OnlyChangesReachTheWindowsAndRegisteringTwiceNotifiesOnce)
{
    RecordingWindow window;
    status.Register(window);
    status.Register(window);
    status.SetOnline(false); // already offline
    status.SetOnline(true);
    status.SetOnline(true);
    EXPECT_EQ(window.calls, std::vector<int>({1}));
}

} // namespace
