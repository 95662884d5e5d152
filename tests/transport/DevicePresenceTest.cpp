#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "PtyPair.h"
#include "core/transport/DevicePresence.h"

namespace {

// A device that comes and goes as a symbolic link in a temporary folder, as a by-id name does.
class DevicePresenceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        ASSERT_TRUE(pty.IsValid());
        link = folder.filePath(QStringLiteral("usb-camera-if00"));
    }
    void Plug() { ASSERT_TRUE(QFile::link(pty.SlavePath(), link)); }
    void Unplug() { ASSERT_TRUE(QFile::remove(link)); }

    QTemporaryDir folder;
    PtyPair pty;
    QString link;
};

TEST_F(DevicePresenceTest, LinkPresentOnlyWhileItLeadsToADevice)
{
    EXPECT_FALSE(DevicePresent(QString()));
    EXPECT_FALSE(DevicePresent(link));
    Plug();
    EXPECT_TRUE(DevicePresent(link));
    EXPECT_TRUE(DevicePresent(pty.SlavePath()));
    // A link to a node that is gone is a pulled adapter, not a present one.
    Unplug();
    ASSERT_TRUE(QFile::link(folder.filePath(QStringLiteral("gone")), link));
    EXPECT_FALSE(DevicePresent(link));
}

TEST_F(DevicePresenceTest, WaitEndsWithinASecondOfTheChange)
{
    std::thread plugger([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        Plug();
    });
    const std::int64_t start = SteadyMs();
    EXPECT_TRUE(WaitForDevice(link, true, 5000));
    const std::int64_t took = SteadyMs() - start;
    plugger.join();
    EXPECT_GE(took, 300);
    EXPECT_LE(took, 1300);
    // Already in the wanted state: at once.
    const std::int64_t again = SteadyMs();
    EXPECT_TRUE(WaitForDevice(link, true, 5000));
    EXPECT_LT(SteadyMs() - again, 100);
}

TEST_F(DevicePresenceTest, WaitGivesUpAfterItsTimeOrWhenStopped)
{
    Plug();
    std::int64_t start = SteadyMs();
    EXPECT_FALSE(WaitForDevice(link, false, 1500));
    EXPECT_GE(SteadyMs() - start, 1500);
    EXPECT_LT(SteadyMs() - start, 1800);

    std::atomic<bool> stop{false};
    std::thread stopper([&stop] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        stop.store(true);
    });
    start = SteadyMs();
    EXPECT_FALSE(WaitForDevice(link, false, -1, &stop));
    EXPECT_LT(SteadyMs() - start, 500);
    stopper.join();
}

} // namespace
