#include <cerrno>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include <signal.h>

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include "CameraSimulator.h"
#include "support/Ser2NetServer.h"

namespace {

using Mode = Ser2NetServer::Mode;

constexpr int kBaud = 57600;
constexpr int kReplyMs = 2000;
const QByteArray kModelReply = "MD=QN-5200RL-BDXP\r\n";

bool processGone(qint64 pid)
{
    return ::kill(static_cast<pid_t>(pid), 0) == -1 && errno == ESRCH;
}

// A plain TCP client of the server.
class Client {
public:
    explicit Client(quint16 port) { socket_.connectToHost(QStringLiteral("127.0.0.1"), port); }
    bool Connected() { return socket_.waitForConnected(kReplyMs); }
    // What arrives until done says so or the time passes.
    QByteArray ReadUntil(const std::function<bool(const QByteArray &)> &done, int timeoutMs)
    {
        QByteArray received;
        QElapsedTimer clock;
        clock.start();
        while (!done(received) && clock.elapsed() < timeoutMs) {
            socket_.waitForReadyRead(static_cast<int>(qMax<qint64>(1, timeoutMs - clock.elapsed())));
            received += socket_.readAll();
        }
        return received;
    }
    QByteArray FirstBytes(int timeoutMs)
    {
        return ReadUntil([](const QByteArray &bytes) { return !bytes.isEmpty(); }, timeoutMs);
    }
    // The camera's model: the reply to "MD?" (Telnet negotiation left unanswered).
    QByteArray AskModel()
    {
        socket_.write("MD?\r\n");
        return ReadUntil([](const QByteArray &bytes) { return bytes.endsWith('\n'); }, kReplyMs);
    }
    bool Disconnected()
    {
        return socket_.state() == QAbstractSocket::UnconnectedState || socket_.waitForDisconnected(kReplyMs);
    }

private:
    QTcpSocket socket_;
};

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
        Client client(server->Port());
        ASSERT_TRUE(client.Connected());
        ASSERT_FALSE(client.FirstBytes(kReplyMs).isEmpty());

        c.end(server);
        EXPECT_TRUE(processGone(pid));
        EXPECT_TRUE(client.Disconnected());
    }
}

TEST_F(Ser2NetRig, TakenPortIsChosenAgain)
{
    QTcpServer occupant;
    ASSERT_TRUE(occupant.listen(QHostAddress::LocalHost, 0));
    const auto server = serve(Mode::RawTcp, occupant.serverPort());
    ASSERT_TRUE(server->IsRunning());
    EXPECT_NE(server->Port(), occupant.serverPort());

    Client client(server->Port());
    ASSERT_TRUE(client.Connected());
    EXPECT_EQ(client.AskModel(), kModelReply);
}

} // namespace
