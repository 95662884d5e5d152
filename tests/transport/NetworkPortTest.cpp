#include <functional>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include "PtyPair.h"
#include "core/settings/SettingsStore.h"
#include "core/transport/ComPort.h"
#include "core/transport/TelnetCodec.h"
#include "support/ScriptedDialogs.h"
#include "support/Ser2NetServer.h"
#include "support/TempSettings.h"

namespace {

// A socket on 127.0.0.1 at a port of its own: bound only (backlog < 0: connections are
// refused) or listening; with serve set, a thread accepts one client and plays a server that
// agrees to the COM Port Control Option and then never answers again.
class LoopbackListener {
public:
    explicit LoopbackListener(int backlog, bool serve = false)
    {
        fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        bind(fd_, reinterpret_cast<sockaddr *>(&address), length);
        if (backlog >= 0)
            listen(fd_, backlog);
        getsockname(fd_, reinterpret_cast<sockaddr *>(&address), &length);
        port_ = ntohs(address.sin_port);
        if (serve)
            thread_ = std::thread([this] { agreeThenIgnore(); });
    }
    ~LoopbackListener()
    {
        shutdown(fd_, SHUT_RDWR);
        if (thread_.joinable())
            thread_.join();
        for (const int client : fillers_)
            close(client);
        close(fd_);
    }
    quint16 Port() const { return port_; }
    // Connections the listener never accepts, until its queue is full and connects stall.
    void FillQueue(int count)
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(port_);
        for (int i = 0; i < count; ++i) {
            const int client = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            (void)connect(client, reinterpret_cast<sockaddr *>(&address), sizeof address);
            fillers_.push_back(client);
        }
    }

private:
    void agreeThenIgnore()
    {
        const int client = accept(fd_, nullptr, nullptr);
        if (client < 0)
            return;
        const unsigned char agree[] = {telnet::kIac, telnet::kDo, telnet::kOptionComPort};
        (void)send(client, agree, sizeof agree, MSG_NOSIGNAL);
        char buffer[256];
        pollfd in{client, POLLIN, 0};
        while (poll(&in, 1, 5000) > 0 && read(client, buffer, sizeof buffer) > 0) {
        }
        close(client);
    }

    int fd_ = -1;
    quint16 port_ = 0;
    std::thread thread_;
    std::vector<int> fillers_;
};

speed_t lineSpeed(const PtyPair &pty)
{
    termios line{};
    tcgetattr(pty.Master(), &line);
    return cfgetospeed(&line);
}

QByteArray everyByteValue()
{
    QByteArray bytes;
    for (int i = 0; i < 512; ++i)
        bytes.append(static_cast<char>(i < 256 ? i : 0xFF)); // then a run of 0xFF
    return bytes;
}

class NetworkPortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!Ser2NetServer::Available())
            GTEST_SKIP() << "ser2net is not installed (scripts/install-deps.sh installs it)";
        ASSERT_TRUE(pty.IsValid());
    }
    // COM1 opens the address.
    void UseAddress(const QString &address)
    {
        temp.WriteRaw("[Ports]\nCOM1=" + address.toUtf8() + "\n");
        settings = std::make_unique<SettingsStore>(temp.Path());
        port = std::make_unique<ComPort>(*settings, dialogs);
    }

    PtyPair pty;
    TempSettings temp;
    ScriptedDialogs dialogs;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<ComPort> port;
};

} // namespace

TEST_F(NetworkPortTest, Rfc2217SetsEveryRateBeforeDataAndCarriesEveryByteValue)
{
    Ser2NetServer server(pty.SlavePath(), 9600, Ser2NetServer::Mode::Rfc2217);
    ASSERT_TRUE(server.Start()) << server.Failure().toStdString();
    UseAddress(server.Address());

    const std::pair<int, speed_t> rates[] = {{115200, B115200}, {57600, B57600}, {9600, B9600}, {115200, B115200}};
    for (const auto &[baud, speed] : rates) {
        ASSERT_TRUE(port->OpenPort(QStringLiteral("COM1"), baud)) << baud;
        // Confirmed by the server, so the line has the rate when the open returns.
        EXPECT_EQ(lineSpeed(pty), speed) << baud;
    }
    EXPECT_TRUE(dialogs.Messages().empty());
    EXPECT_TRUE(port->CanChangeRate());

    const QByteArray bytes = everyByteValue();
    ASSERT_EQ(port->WriteBytes(bytes.constData(), static_cast<int>(bytes.size())), 1);
    EXPECT_EQ(pty.ReadMaster(static_cast<int>(bytes.size()) + 1, 3000), bytes);
    ASSERT_TRUE(pty.WriteMaster(bytes));
    EXPECT_EQ(CollectFromPort(*port, static_cast<int>(bytes.size()), 3000), bytes);

    // A server that goes away is a lost link with its reason.
    server.Kill();
    const std::int64_t end = SteadyMs() + 2000;
    while (!port->Lost() && SteadyMs() < end)
        port->WaitForData(50);
    EXPECT_TRUE(port->Lost());
    EXPECT_EQ(port->LossReason(), QStringLiteral("the server closed the connection"));
}

TEST_F(NetworkPortTest, RawTcpKeepsTheServersRateAndItsConnection)
{
    Ser2NetServer server(pty.SlavePath(), 57600, Ser2NetServer::Mode::RawTcp);
    ASSERT_TRUE(server.Start()) << server.Failure().toStdString();
    UseAddress(server.Address());
    ASSERT_TRUE(port->OpenPort(QStringLiteral("COM1"), 9600));
    EXPECT_FALSE(port->CanChangeRate());
    ASSERT_TRUE(port->OpenPort(QStringLiteral("COM1"), 115200)); // the same connection, the rate left alone
    const QByteArray bytes = everyByteValue();
    port->WriteBytes(bytes.constData(), static_cast<int>(bytes.size()));
    EXPECT_EQ(pty.ReadMaster(static_cast<int>(bytes.size()) + 1, 3000), bytes);
    // The server set its line up when we connected; nothing of ours changed it.
    EXPECT_EQ(lineSpeed(pty), static_cast<speed_t>(B57600));
}

TEST_F(NetworkPortTest, EachFailureSaysWhyWithinTheTimeLimits)
{
    Ser2NetServer plainTelnet(pty.SlavePath(), 9600, Ser2NetServer::Mode::Telnet);
    Ser2NetServer missingDevice(QStringLiteral("/nonexistent/ttyQN"), 9600, Ser2NetServer::Mode::Rfc2217);
    ASSERT_TRUE(plainTelnet.Start()) << plainTelnet.Failure().toStdString();
    ASSERT_TRUE(missingDevice.Start()) << missingDevice.Failure().toStdString();
    LoopbackListener nothingListens(-1);
    LoopbackListener stalled(0);
    stalled.FillQueue(4);
    LoopbackListener silent(1, true);

    struct Case {
        QString address;
        const char *step;
        const char *reason;
        std::int64_t maxMs;
    };
    const Case cases[] = {
        {QStringLiteral("rfc2217://no-such-host.invalid:2217"), "CreateFile", "unknown host", 10000},
        {QStringLiteral("rfc2217://127.0.0.1:%1").arg(nothingListens.Port()), "CreateFile", "connection refused",
         1000},
        {QStringLiteral("rfc2217://127.0.0.1:%1").arg(stalled.Port()), "CreateFile", "no answer within 3 s", 4500},
        {plainTelnet.Address(), "SetCommState", "refuses the COM Port Control Option", 3000},
        {QStringLiteral("rfc2217://127.0.0.1:%1").arg(silent.Port()), "SetCommState",
         "did not confirm the rate of 9600 bit/s", 3000},
        {missingDevice.Address(), "SetCommState", "the server closed the connection", 3000},
        {QStringLiteral("rfc2217://127.0.0.1"), "CreateFile", "the TCP port is missing", 100},
    };
    for (const Case &c : cases) {
        UseAddress(c.address);
        const std::int64_t start = SteadyMs();
        EXPECT_FALSE(port->OpenPort(QStringLiteral("COM1"), 9600)) << c.address.toStdString();
        EXPECT_LE(SteadyMs() - start, c.maxMs) << c.address.toStdString();
        EXPECT_FALSE(port->IsOpen());
        ASSERT_EQ(dialogs.Messages().size(), 1u) << c.address.toStdString();
        EXPECT_EQ(dialogs.Messages()[0].text,
                  QStringLiteral("Failed to initialize COM1 port!\nError in %1()").arg(QLatin1String(c.step)));
        const QString details = dialogs.Messages()[0].detailedText;
        EXPECT_TRUE(details.contains(QStringLiteral("Device: ") + c.address)) << details.toStdString();
        EXPECT_TRUE(details.contains(QLatin1String(c.reason))) << details.toStdString();
        dialogs.Clear();
    }
}
