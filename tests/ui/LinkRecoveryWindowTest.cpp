#include <algorithm>
#include <chrono>
#include <iostream>
#include <thread>

#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "MainWindowTestRig.h"
#include "OperatorActions.h"
#include "core/protocol/CameraModel.h"
#include "gui/pages/CTabSheetDialog.h"
#include "gui/tools/CommunicationDialog.h"

namespace {

qint64 steadyUs()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

constexpr int kBaudList = 1027;
constexpr int kGainId = 1041; // "GA"
// A group only the first model's pages show, and one only the second model's pages show.
constexpr int kFirstModelOnly = 1323;
constexpr int kSecondModelOnly = 1319;

// A started window whose COM1 is a by-id style link to the camera's line. The camera starts at
// 9600 bit/s, the quickest start-up, and is at 115200 bit/s when the test begins.
struct LinkRig {
    explicit LinkRig(int cameraBaud = 9600)
        : rig({.cameraBaud = cameraBaud, .linkPath = folder.filePath(QStringLiteral("usb-camera-if00"))})
    {
        rig.Start();
        rig.simulator->ClearWireLog();
        rig.dialogs.Clear();
    }

    QString Device() const { return folder.filePath(QStringLiteral("usb-camera-if00")); }
    int LogCount(const QString &line) const
    {
        return static_cast<int>(rig.window->Communication().Log().NewestFirst().count(line));
    }
    bool Online() const { return rig.context->onlineStatus().IsOnline(); }
    // Shown on its page: neither it nor a group box around it is hidden.
    bool Shown(int controlId) const
    {
        for (QWidget *w = rig.window->FindControl(controlId); w != nullptr; w = w->parentWidget()) {
            if (qobject_cast<CTabSheetDialog *>(w) != nullptr)
                return true;
            if (w->isHidden())
                return false;
        }
        return false;
    }
    QString LostLine() const { return QStringLiteral("Link lost: %1 (device removed)").arg(Device()); }
    QString RestoredLine() const { return QStringLiteral("Link restored: %1").arg(Device()); }

    QTemporaryDir folder;
    MainWindowRig rig;
};

} // namespace

TEST(LinkRecoveryWindow, UnpluggedWhileIdleGoesOfflineAndSaysSoOnce)
{
    LinkRig link;
    ASSERT_TRUE(link.Online());
    link.rig.simulator->Unplug();
    QElapsedTimer since;
    since.start();
    EXPECT_TRUE(MainWindowRig::RunEventsUntil([&] { return !link.Online() && link.LogCount(link.LostLine()) == 1; },
                                              1000));
    std::cout << "[ measured ] offline and logged " << since.elapsed() << " ms after the unplug\n";
    // The engine's timer and the recovery's looks go on; the loss is still told once.
    MainWindowRig::RunEventsUntil([] { return false; }, 1500);
    EXPECT_EQ(link.LogCount(link.LostLine()), 1);
    EXPECT_EQ(link.LogCount(link.RestoredLine()), 0);
    EXPECT_TRUE(link.rig.dialogs.Messages().empty()) << link.rig.BoxTexts().join(" | ").toStdString();
    EXPECT_TRUE(link.rig.context->serialLink().IsLost());

    // An edit meanwhile fails at once and goes back to the camera's value.
    const QString before = OperatorActions::Text(*link.rig.window, kGainId);
    QElapsedTimer edit;
    edit.start();
    OperatorActions::TypeAndEnter(*link.rig.window, kGainId, QStringLiteral("1500"));
    EXPECT_LT(edit.elapsed(), 300);
    EXPECT_EQ(OperatorActions::Text(*link.rig.window, kGainId), before);
    EXPECT_EQ(link.rig.context->controlTable().GetDataValue(kGainId), before.toInt());
}

// Plugged back: found again as at start-up, every setting read again, online, one line.
TEST(LinkRecoveryWindow, PluggedBackTheCameraIsFoundAndEverySettingReadAgain)
{
    const struct {
        const char *name;
        PlugOptions plug;
        bool movedFrom9600;
        int modelCode;
    } cases[] = {
        {"same camera at 115200", {false, std::nullopt, std::nullopt}, false, CameraModel::kSecondModel},
        {"power-cycled", {true, std::nullopt, std::nullopt}, true, CameraModel::kSecondModel},
        {"another model", {false, QStringLiteral("QN-5200R-BDX"), std::nullopt}, false, CameraModel::kFirstModel},
    };
    for (const auto &row : cases) {
        SCOPED_TRACE(row.name);
        LinkRig link;
        link.rig.simulator->SetValue(QStringLiteral("GA"), 777);
        link.rig.simulator->Unplug();
        ASSERT_TRUE(MainWindowRig::RunEventsUntil([&] { return link.LogCount(link.LostLine()) == 1; }, 1000));
        MainWindowRig::RunEventsUntil([] { return false; }, 300);
        link.rig.simulator->ClearWireLog();

        ASSERT_TRUE(link.rig.simulator->Replug(row.plug));
        const qint64 replugUs = steadyUs();
        const bool restored = MainWindowRig::RunEventsUntil(
            [&] { return link.LogCount(link.RestoredLine()) == 1 && link.Online() && link.rig.window->isEnabled(); },
            10000);
        const qint64 readUs = steadyUs();
        ASSERT_TRUE(restored);
        // Online from the camera's first answer; the full read after it is as long as "&Reload".
        qint64 firstAnswerUs = -1;
        for (const WireEvent &event : link.rig.simulator->WireLog()) {
            if (event.kind == WireEvent::Kind::Sent && firstAnswerUs < 0)
                firstAnswerUs = event.timeUs;
        }
        ASSERT_GE(firstAnswerUs, replugUs);
        const qint64 onlineMs = (firstAnswerUs - replugUs) / 1000;
        std::cout << "[ measured ] " << row.name << ": online " << onlineMs << " ms, every setting read "
                  << (readUs - replugUs) / 1000 << " ms after the device came back (" << link.rig.Received().count()
                  << " lines)\n";
        EXPECT_LT(onlineMs, row.movedFrom9600 ? 4000 : 3000);

        const QList<QByteArray> lines = link.rig.Received();
        EXPECT_GT(lines.count(), 100) << "a full read";
        EXPECT_TRUE(lines.contains("GA?"));
        EXPECT_EQ(link.rig.simulator->Baud(), 115200);
        int movesAt9600 = 0;
        for (const WireEvent &event : link.rig.simulator->WireLog()) {
            if (event.kind == WireEvent::Kind::Received && event.data == "CBDRT=16" && event.baud == 9600)
                ++movesAt9600;
        }
        EXPECT_EQ(movesAt9600, row.movedFrom9600 ? 1 : 0);
        EXPECT_EQ(qobject_cast<QComboBox *>(link.rig.window->Communication().FindControl(kBaudList))->currentIndex(), 4);
        EXPECT_EQ(link.rig.context->cameraModel().Code(), row.modelCode);
        EXPECT_EQ(link.Shown(kFirstModelOnly), row.modelCode == CameraModel::kFirstModel);
        EXPECT_EQ(link.Shown(kSecondModelOnly), row.modelCode == CameraModel::kSecondModel);
        if (row.modelCode == CameraModel::kSecondModel && !row.plug.powerCycle) {
            EXPECT_EQ(link.rig.context->controlTable().GetDataValue(kGainId), 777) << "the camera's own value is shown";
        }
        // The same COM name and device as before; nothing asked of the operator.
        EXPECT_EQ(link.rig.context->serialLink().CurrentPortIndex(), 0);
        EXPECT_EQ(link.rig.context->settings().PortDevice(QStringLiteral("COM1")), link.Device());
        EXPECT_TRUE(link.rig.dialogs.Messages().empty()) << link.rig.BoxTexts().join(" | ").toStdString();
        EXPECT_EQ(link.LogCount(link.LostLine()), 1);
    }
}

// While an operation holds the windows, the link is not taken from it; it comes back after.
TEST(LinkRecoveryWindow, NoReconnectionWhileTheWindowsAreDisabled)
{
    LinkRig link;
    link.rig.simulator->Unplug();
    ASSERT_TRUE(MainWindowRig::RunEventsUntil([&] { return link.LogCount(link.LostLine()) == 1; }, 1000));
    link.rig.context->windowList().DisableAll();
    ASSERT_TRUE(link.rig.simulator->Replug());
    MainWindowRig::RunEventsUntil([] { return false; }, 2500);
    EXPECT_EQ(link.LogCount(link.RestoredLine()), 0);
    EXPECT_TRUE(link.rig.Received().isEmpty());
    link.rig.context->windowList().EnableAll();
    EXPECT_TRUE(MainWindowRig::RunEventsUntil([&] { return link.LogCount(link.RestoredLine()) == 1 && link.Online(); },
                                              4000));
}

// The device back before its camera stays open and the camera is asked once a second, without
// holding the windows; a reopen that fails (no loss seen) sends the recovery back to the device.
TEST(LinkRecoveryWindow, ACameraThatAnswersLateIsStillFound)
{
    const QString waitNote = QStringLiteral("The camera does not answer yet: it is asked again once a second.");
    for (const bool reopenFails : {false, true}) { // the search's second reopen (at 9600 bit/s)
        SCOPED_TRACE(reopenFails);
        LinkRig link;
        CameraSimulator &camera = *link.rig.simulator;
        camera.Unplug();
        ASSERT_TRUE(MainWindowRig::RunEventsUntil([&] { return link.LogCount(link.LostLine()) == 1; }, 1000));
        camera.StopAnswering();
        camera.ClearWireLog();
        std::atomic<bool> pathGone = false;
        std::thread puller(
            [&] { pathGone = reopenFails && camera.WaitForReceivedLines(1, 5000) && QFile::remove(link.Device()); });
        ASSERT_TRUE(camera.Replug({!reopenFails, std::nullopt, std::nullopt})); // powered up after its adapter
        MainWindowRig::RunEventsUntil([&] { return pathGone || link.LogCount(waitNote) == 1; }, 12000);
        QElapsedTimer gap;
        qint64 longestMs = 0;
        gap.start();
        MainWindowRig::RunEventsUntil([&] { longestMs = std::max(longestMs, gap.restart()); return false; }, 2500);
        puller.join();
        EXPECT_EQ(link.LogCount(waitNote), reopenFails ? 0 : 1);
        EXPECT_EQ(link.LogCount(link.RestoredLine()), reopenFails ? 0 : 1);
        EXPECT_TRUE(!link.Online() && link.rig.window->Recovery().Waiting());
        EXPECT_LT(longestMs, 100);
        ASSERT_TRUE(!reopenFails || camera.Replug());
        camera.ResumeAnswering();
        ASSERT_TRUE(MainWindowRig::RunEventsUntil(
            [&] { return !link.rig.window->Recovery().Waiting() && link.Online() && link.rig.window->isEnabled(); },
            12000));
        EXPECT_TRUE(link.rig.Received().contains("GA?") && camera.Baud() == 115200);
        EXPECT_EQ(link.LogCount(link.RestoredLine()), 1);
    }
}
