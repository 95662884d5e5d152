#include <cerrno>
#include <functional>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include <signal.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include "CameraSimulator.h"
#include "support/Ser2NetServer.h"

namespace {

using Mode = Ser2NetServer::Mode;

constexpr int kBaud = 57600;
constexpr int kReplyMs = 2000;
constexpr char kIac = '\xff';

bool processGone(qint64 pid)
{
    return ::kill(static_cast<pid_t>(pid), 0) == -1 && errno == ESRCH;
}

// What the socket receives until done says so or the time passes.
QByteArray readUntil(QTcpSocket &socket, const std::function<bool(const QByteArray &)> &done, int timeoutMs)
{
    QByteArray received;
    QElapsedTimer clock;
    clock.start();
    while (!done(received) && clock.elapsed() < timeoutMs) {
        socket.waitForReadyRead(static_cast<int>(qMax<qint64>(1, timeoutMs - clock.elapsed())));
        received += socket.readAll();
    }
    return received;
}

// The simulated camera at 57600 bit/s behind a link path, which ser2net serves.
class Ser2NetRig : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!Ser2NetServer::Available())
            GTEST_SKIP() << "ser2net is not installed; scripts/install-deps.sh installs it";
        SimulatorOptions options;
        options.baud = kBaud;
        options.linkPath = links_.filePath(QStringLiteral("camera"));
        simulator_ = std::make_unique<CameraSimulator>(options);
        ASSERT_TRUE(simulator_->Start());
    }

    std::unique_ptr<Ser2NetServer> serve(Mode mode, quint16 firstPort = 0)
    {
        auto server = std::make_unique<Ser2NetServer>(links_.filePath(QStringLiteral("camera")), kBaud, mode);
        EXPECT_TRUE(server->Start(firstPort)) << qPrintable(server->Failure());
        return server;
    }

    QTemporaryDir links_;
    std::unique_ptr<CameraSimulator> simulator_;
};

TEST_F(Ser2NetRig, CameraAnswersThroughEitherMode)
{
    struct Case {
        Mode mode;
        std::string scheme;
        bool telnetFirst; // the server opens with Telnet negotiation
    };
    for (const Case &c : {Case{Mode::RawTcp, "socket://", false}, Case{Mode::Rfc2217, "rfc2217://", true}}) {
        SCOPED_TRACE(c.scheme);
        simulator_->ClearWireLog();
        const auto server = serve(c.mode);
        ASSERT_TRUE(server->IsRunning());
        EXPECT_EQ(server->Address().toStdString(), c.scheme + "127.0.0.1:" + std::to_string(server->Port()));
        QFile pidFile(server->PidFile());
        ASSERT_TRUE(pidFile.open(QIODevice::ReadOnly));
        EXPECT_EQ(pidFile.readAll().trimmed().toLongLong(), server->Pid()) << "ser2net must not fork away";

        QTcpSocket client;
        client.connectToHost(QStringLiteral("127.0.0.1"), server->Port());
        ASSERT_TRUE(client.waitForConnected(kReplyMs));
        const QByteArray greeting = readUntil(client, [](const QByteArray &bytes) { return !bytes.isEmpty(); }, 300);
        EXPECT_EQ(greeting.startsWith(kIac), c.telnetFirst) << greeting.toHex(' ').constData();

        // Never answering the negotiation: ser2net passes data all the same.
        client.write("MD?\r\n");
        const QByteArray reply =
            readUntil(client, [](const QByteArray &bytes) { return bytes.endsWith('\n'); }, kReplyMs);
        EXPECT_EQ(reply, "MD=QN-5200RL-BDXP\r\n");
        // The line arrived at the camera's own rate: ser2net set the device to the given one.
        EXPECT_EQ(simulator_->ReceivedLines(), QList<QByteArray>{"MD?"});
    }
}

TEST_F(Ser2NetRig, NoServerOutlivesItsRig)
{
    struct Case {
        const char *name;
        std::function<void(std::unique_ptr<Ser2NetServer> &)> end;
    };
    const Case cases[] = {
        {"Stop", [](std::unique_ptr<Ser2NetServer> &server) { server->Stop(); }},
        {"Kill", [](std::unique_ptr<Ser2NetServer> &server) { server->Kill(); }},
        {"destructor", [](std::unique_ptr<Ser2NetServer> &server) { server.reset(); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        auto server = serve(Mode::Rfc2217);
        ASSERT_TRUE(server->IsRunning());
        const qint64 pid = server->Pid();
        ASSERT_FALSE(processGone(pid));
        // A client holding the device open must not keep the server alive.
        QTcpSocket client;
        client.connectToHost(QStringLiteral("127.0.0.1"), server->Port());
        ASSERT_TRUE(client.waitForConnected(kReplyMs));
        readUntil(client, [](const QByteArray &bytes) { return !bytes.isEmpty(); }, kReplyMs);

        c.end(server);
        EXPECT_TRUE(processGone(pid));
        EXPECT_TRUE(client.state() == QAbstractSocket::UnconnectedState || client.waitForDisconnected(kReplyMs))
            << "the client sees its connection go";
    }
}

TEST_F(Ser2NetRig, TakenPortIsChosenAgain)
{
    QTcpServer occupant;
    ASSERT_TRUE(occupant.listen(QHostAddress::LocalHost, 0));
    const auto server = serve(Mode::RawTcp, occupant.serverPort());
    ASSERT_TRUE(server->IsRunning());
    EXPECT_NE(server->Port(), occupant.serverPort());

    QTcpSocket client;
    client.connectToHost(QStringLiteral("127.0.0.1"), server->Port());
    ASSERT_TRUE(client.waitForConnected(kReplyMs));
    client.write("MD?\r\n");
    EXPECT_EQ(readUntil(client, [](const QByteArray &bytes) { return bytes.endsWith('\n'); }, kReplyMs),
              "MD=QN-5200RL-BDXP\r\n");
}

} // namespace
