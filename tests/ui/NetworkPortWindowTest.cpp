#include <cstdio>

#include <QElapsedTimer>
#include <QLineEdit>
#include <QTimer>
#include <QPushButton>

#include <gtest/gtest.h>

#include "MainWindowTestRig.h"
#include "OperatorActions.h"
#include "core/operations/LinkNegotiation.h"
#include "core/protocol/CommandIds.h"
#include "gui/tools/CommunicationDialog.h"
#include "gui/tools/LogList.h"
#include "gui/tools/TerminalDialog.h"
#include "gui/tools/TerminalLayout.h"
#include "support/Ser2NetServer.h"
#include "support/ScriptedServer.h"

namespace {

using Kind = WireEvent::Kind;

// What the camera understood, each line with the line speed it came at.
QList<QPair<QByteArray, int>> receivedWithSpeeds(const CameraSimulator &sim)
{
    QList<QPair<QByteArray, int>> lines;
    for (const WireEvent &event : sim.WireLog()) {
        if (event.kind == Kind::Received)
            lines.append({event.data, event.lineSpeed});
    }
    return lines;
}

int zeroBytes(const CameraSimulator &sim, int lineSpeed = 0)
{
    int count = 0;
    for (const WireEvent &event : sim.WireLog())
        count += event.kind == Kind::ZeroByte && (lineSpeed == 0 || event.lineSpeed == lineSpeed) ? 1 : 0;
    return count;
}

// A window run on a camera at 57600 bit/s whose COM1 is the camera's line served by ser2net.
struct NetworkRig {
    explicit NetworkRig(Ser2NetServer::Mode mode, int serverBaud = 9600)
        : rig({.cameraBaud = 57600}), server(rig.simulator->SlavePath(), serverBaud, mode)
    {
        started = server.Start();
        rig.context->settings().SetPortDevice(QStringLiteral("COM1"), server.Address());
    }
    MainWindowRig rig;
    Ser2NetServer server;
    bool started = false;
};

class NetworkPortWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!Ser2NetServer::Available())
            GTEST_SKIP() << "ser2net is not installed (scripts/install-deps.sh installs it)";
    }
};

} // namespace

TEST_F(NetworkPortWindow, Rfc2217StartUpPutsTheSameLinesAtTheSameRatesOnTheWireAsTheComPort)
{
    QList<QPair<QByteArray, int>> overComPort;
    {
        MainWindowRig direct({.cameraBaud = 57600});
        direct.Start();
        overComPort = receivedWithSpeeds(*direct.simulator);
    }
    NetworkRig net(Ser2NetServer::Mode::Rfc2217);
    ASSERT_TRUE(net.started) << net.server.Failure().toStdString();
    net.rig.Start();
    const CameraSimulator &sim = *net.rig.simulator;
    EXPECT_EQ(receivedWithSpeeds(sim), overComPort);
    ASSERT_GT(overComPort.size(), 100) << "start-up, the move to 115200 bit/s and the full read";
    EXPECT_EQ(overComPort.back().second, 115200);
    // The wake-up burst: fourteen zero bytes at each of the five rates, arriving as zero bytes.
    EXPECT_EQ(zeroBytes(sim), 70);
    EXPECT_TRUE(net.rig.BoxTexts().isEmpty()) << net.rig.BoxTexts().join(QLatin1Char('|')).toStdString();

    // An edit goes out and is read back over the same connection.
    net.rig.simulator->ClearWireLog();
    OperatorActions::TypeAndEnter(*net.rig.window, 1225, QStringLiteral("2048"));
    EXPECT_TRUE(net.rig.simulator->ReceivedLines().contains("WTC=2048"));
    EXPECT_EQ(net.rig.simulator->Value(QStringLiteral("WTC")), 2048);

    // The byte 0xFF, typed in the terminal, reaches the camera once and comes back intact.
    CTerminalDialog &terminal = net.rig.window->Terminal();
    qobject_cast<QLineEdit *>(terminal.FindControl(kTerminalEditId))->setText(QStringLiteral("UD=A\u00ffB"));
    net.rig.simulator->ClearWireLog();
    qobject_cast<QPushButton *>(terminal.FindControl(kTerminalSendId))->click();
    ASSERT_TRUE(net.rig.simulator->WaitForReceivedLines(1, 3000));
    EXPECT_EQ(net.rig.simulator->ReceivedLines().value(0), QByteArray("UD=A\xff" "B"));
    // The terminal takes the camera's answer to its line; then the user id is asked for.
    MainWindowRig::RunEventsUntil([] { return false; }, 300);
    QString userId;
    ASSERT_TRUE(net.rig.context->command().QueryString(CommandId::UD, userId, 1000));
    EXPECT_EQ(userId, QStringLiteral("A\u00ffB"));
}

TEST_F(NetworkPortWindow, RawTcpTalksAtTheServersRateAndSaysSoOnce)
{
    NetworkRig net(Ser2NetServer::Mode::RawTcp, 57600);
    ASSERT_TRUE(net.started) << net.server.Failure().toStdString();
    net.rig.Start();
    const CameraSimulator &sim = *net.rig.simulator;
    const auto lines = receivedWithSpeeds(sim);
    ASSERT_GT(lines.size(), 100);
    for (const auto &[line, speed] : lines) {
        EXPECT_EQ(speed, 57600) << line.toStdString();
        EXPECT_FALSE(line.startsWith("CBDRT=")) << "the camera is not asked to move";
    }
    EXPECT_EQ(zeroBytes(sim), 14);
    EXPECT_EQ(zeroBytes(sim, 57600), 14);
    const QStringList log = net.rig.window->Communication().Log().OldestFirst();
    EXPECT_EQ(log.count(QString::fromLatin1(LinkNegotiation::kFixedRateNote)), 1) << log.join('\n').toStdString();
}

// A server that goes is a lost link; when it serves again on the same address, the window finds
// the camera there and reads it again.
TEST_F(NetworkPortWindow, AServerThatGoesIsALostLinkAndTheSameAddressIsFoundAgain)
{
    NetworkRig net(Ser2NetServer::Mode::Rfc2217);
    ASSERT_TRUE(net.started) << net.server.Failure().toStdString();
    net.rig.Start();
    const QString address = net.server.Address();
    const auto logCount = [&](const QString &line) {
        return static_cast<int>(net.rig.window->Communication().Log().NewestFirst().count(line));
    };
    const auto online = [&] { return net.rig.context->onlineStatus().IsOnline(); };
    ASSERT_TRUE(online());

    net.server.Kill();
    const QString lost = QStringLiteral("Link lost: %1 (the server closed the connection)").arg(address);
    EXPECT_TRUE(MainWindowRig::RunEventsUntil([&] { return !online() && logCount(lost) == 1; }, 2000))
        << net.rig.window->Communication().Log().NewestFirst().join('\n').toStdString();

    net.rig.simulator->ClearWireLog();
    ASSERT_TRUE(net.server.Start(net.server.Port())) << net.server.Failure().toStdString();
    const QString restored = QStringLiteral("Link restored: %1").arg(address);
    EXPECT_TRUE(MainWindowRig::RunEventsUntil([&] { return online() && logCount(restored) == 1; }, 20000));
    EXPECT_GT(net.rig.simulator->ReceivedLines().size(), 100) << "every setting read again";
    EXPECT_TRUE(net.rig.dialogs.Messages().empty()) << net.rig.BoxTexts().join(" | ").toStdString();
}

// While the server's host drops every packet, the windows keep answering: the recovery's
// attempts to connect do not run on the user-interface thread.
TEST_F(NetworkPortWindow, AnUnreachableServerLeavesTheWindowsResponsive)
{
    NetworkRig net(Ser2NetServer::Mode::Rfc2217);
    ASSERT_TRUE(net.started) << net.server.Failure().toStdString();
    net.rig.Start();
    SerialLink &link = net.rig.context->serialLink();
    net.server.Kill();
    ASSERT_TRUE(MainWindowRig::RunEventsUntil([&] { return link.IsLost(); }, 2000));
    const ScriptedServer unreachable;
    net.rig.context->settings().SetPortDevice(QStringLiteral("COM1"), unreachable.Address());

    QElapsedTimer sinceTick;
    qint64 longestGapMs = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { longestGapMs = std::max(longestGapMs, sinceTick.restart()); });
    sinceTick.start();
    tick.start(5);
    MainWindowRig::RunEventsUntil([] { return false; }, 7000); // two connect time-outs and more
    std::printf("longest event-loop gap while the server is unreachable: %lld ms\n", static_cast<long long>(longestGapMs));
    EXPECT_LE(longestGapMs, 250); // a connect on this thread would stop it for 3 s
    EXPECT_TRUE(link.IsLost());
}
