#include <chrono>
#include <thread>

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include "QnctlRig.h"

// A pulled cable ends the command at once with status 3 and the reason on standard error.
TEST(QnctlLinkLoss, UnpluggedDuringDumpEndsWithStatus3AtOnce)
{
    QnctlRig rig(115200, QnctlRig::Link::PluggableLink);
    const QString device = rig.DevicePath();
    QElapsedTimer sinceUnplug;
    std::thread unplug([&] {
        // Past the search and well into the read.
        rig.Simulator().WaitForReceivedLines(60, 30000);
        rig.Simulator().Unplug();
        sinceUnplug.start();
    });
    const QnctlRun run = rig.Run({QStringLiteral("dump")});
    const qint64 endedAfterMs = sinceUnplug.isValid() ? sinceUnplug.elapsed() : -1;
    unplug.join();
    EXPECT_EQ(run.exitCode, 3) << Describe(run);
    EXPECT_TRUE(run.err.contains("Link lost: " + device.toLocal8Bit() + " (device removed)")) << Describe(run);
    EXPECT_EQ(run.err.count("Link lost"), 1) << Describe(run);
    ASSERT_GE(endedAfterMs, 0);
    EXPECT_LT(endedAfterMs, 1000);
}

// --wait: the command starts when the camera appears, or gives up with status 3.
TEST(QnctlLinkLoss, WaitStartsWhenTheCameraAppearsOrGivesUp)
{
    const struct {
        const char *name;
        int plugInAfterMs; // -1: never
        int exitCode;
    } cases[] = {{"plugged in", 1500, 0}, {"never there", -1, 3}};
    for (const auto &row : cases) {
        SCOPED_TRACE(row.name);
        QnctlRig rig(9600, QnctlRig::Link::PluggableLink);
        rig.Simulator().Unplug();
        std::thread plug([&] {
            if (row.plugInAfterMs < 0)
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(row.plugInAfterMs));
            rig.Simulator().Replug();
        });
        const QnctlRun run = rig.Run({QStringLiteral("--wait"), QStringLiteral("3"), QStringLiteral("identify")});
        plug.join();
        EXPECT_EQ(run.exitCode, row.exitCode) << Describe(run);
        if (row.plugInAfterMs >= 0) {
            EXPECT_GE(run.elapsedMs, row.plugInAfterMs);
            EXPECT_TRUE(run.out.contains("QN-5200RL-BDXP")) << Describe(run);
            EXPECT_EQ(rig.Simulator().Baud(), 115200);
        } else {
            EXPECT_GE(run.elapsedMs, 3000);
            EXPECT_LT(run.elapsedMs, 4500);
            EXPECT_TRUE(run.err.contains("did not appear within 3 s")) << Describe(run);
        }
    }
}
