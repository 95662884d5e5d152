#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <net/if.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "PtyPair.h"
#include "core/settings/SettingsStore.h"
#include "core/transport/ComPort.h"
#include "core/transport/LinkLossListener.h"
#include "core/transport/SerialLink.h"
#include "core/transport/TcpConnect.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedServer.h"
#include "support/TempSettings.h"

namespace {

using namespace std::chrono_literals;

// COM1 opens the server's address.
struct HostileRig {
    explicit HostileRig(ScriptedServer::Script script) : server(std::move(script))
    {
        temp.WriteRaw("[Ports]\nCOM1=" + server.Address().toUtf8() + "\n");
    }
    ScriptedServer server;
    TempSettings temp;
    ScriptedDialogs dialogs;
    SettingsStore settings{temp.Path()};
    ComPort port{settings, dialogs};
    bool Open() { return port.OpenPort(QStringLiteral("COM1"), 9600); }
};

TcpEndpoint loopback(quint16 port)
{
    TcpEndpoint endpoint{{}, sizeof(sockaddr_in)};
    reinterpret_cast<sockaddr_in &>(endpoint.address) = sockaddr_in{AF_INET, htons(port), {htonl(INADDR_LOOPBACK)}, {}};
    return endpoint;
}

void agreeThenIdle(ScriptedServer &s)
{
    s.Agree();
    s.Idle();
}

} // namespace

TEST(HostileServer, NoScriptLeavesThePortStuckOrWrong)
{
    struct Case {
        const char *name;
        ScriptedServer::Script script;
        std::function<void(HostileRig &)> client;
    };
    const Case cases[] = {
        {"a flood of commands with the ring's write index at its edge",
         [](ScriptedServer &s) {
             s.Agree();
             s.AwaitAfter("go");
             s.Send(QByteArray(ByteRing::kCapacity, 'x'));
             for (const auto end = std::chrono::steady_clock::now() + 3s; std::chrono::steady_clock::now() < end;)
                 s.Send(QByteArray("\xff\xf1", 2).repeated(4096)); // IAC NOP
         },
         [](HostileRig &rig) {
             ASSERT_TRUE(rig.Open());
             rig.port.WriteBytes("go", 2);
             EXPECT_EQ(CollectFromPort(rig.port, ByteRing::kCapacity, 3000).size(), ByteRing::kCapacity);
             std::this_thread::sleep_for(300ms);
             const std::int64_t start = SteadyMs();
             rig.port.ClosePort();
             EXPECT_LE(SteadyMs() - start, 200);
         }},
        {"a banner longer than the ring before the negotiation",
         [](ScriptedServer &s) {
             s.Send(QByteArray(4 * ByteRing::kSize, 'b'));
             s.Agree();
         },
         [](HostileRig &rig) { EXPECT_TRUE(rig.Open()) << rig.dialogs.MessageTexts().join('|').toStdString(); }},
        {"a late answer to an earlier rate request",
         [](ScriptedServer &s) {
             s.Agree();
             const quint32 unanswered = s.AwaitRateRequest(), latest = s.AwaitRateRequest();
             s.ConfirmRate(unanswered);
             s.ConfirmRate(latest);
             s.Idle();
         },
         [](HostileRig &rig) {
             NetworkLine line;
             PortReceiver receiver;
             ASSERT_TRUE(line.Connect(*ParseNetworkAddress(rig.server.Address())));
             ASSERT_TRUE(receiver.Start(line.Fd(), line) && line.SetUp(9600));
             EXPECT_FALSE(line.SetRate(19200)); // no answer in time
             EXPECT_TRUE(line.SetRate(38400)) << line.LastFailure().reason.toStdString();
         }},
        {"a server that stops reading", agreeThenIdle,
         [](HostileRig &rig) {
             ASSERT_TRUE(rig.Open());
             const QByteArray chunk(64 * 1024, 'w');
             for (const std::int64_t start = SteadyMs(); !rig.port.Lost() && SteadyMs() - start < 10000;)
                 rig.port.WriteBytes(chunk.constData(), static_cast<int>(chunk.size()));
             EXPECT_EQ(rig.port.LossReason(), QStringLiteral("the server does not take what we send"));
         }},
        {"a first address that drops every packet", agreeThenIdle,
         [](HostileRig &rig) {
             const ScriptedServer stalled;
             const TcpEndpoint endpoints[] = {loopback(stalled.Port()), loopback(rig.server.Port())};
             const std::int64_t start = SteadyMs();
             const TcpConnection connection = ConnectFirstOf(endpoints, NetworkLine::kConnectTimeoutMs);
             EXPECT_LE(SteadyMs() - start, 1000);
             EXPECT_GE(connection.fd, 0) << connection.reason.toStdString();
             close(connection.fd);
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        HostileRig rig(c.script);
        c.client(rig);
    }
}

namespace {

bool setLoopbackUp(bool up)
{
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ifreq request{};
    std::snprintf(request.ifr_name, IFNAMSIZ, "lo");
    bool done = ioctl(fd, SIOCGIFFLAGS, &request) == 0;
    request.ifr_flags = static_cast<short>(up ? request.ifr_flags | IFF_UP : request.ifr_flags & ~IFF_UP);
    done = done && ioctl(fd, SIOCSIFFLAGS, &request) == 0;
    close(fd);
    return done;
}

struct LossTimes final : LinkLossListener {
    void LinkLost(const QString &, const QString &) override { lostAtMs.push_back(SteadyMs()); }
    std::vector<std::int64_t> lostAtMs;
};

} // namespace

// In a network namespace of its own (the test runs itself again under unshare): with the
// loopback cut, the connection stays open at both ends and nothing gets through.
TEST(HostileServer, AHalfOpenConnectionIsALostLinkWithinTenSeconds)
{
    if (qEnvironmentVariableIsEmpty("QN_OWN_NETWORK")) {
        char self[4096] = {}, filter[] = "--gtest_filter=HostileServer.AHalfOpen*", unshare[] = "unshare", rn[] = "-rn";
        ASSERT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
        char *argv[] = {unshare, rn, self, filter, nullptr};
        setenv("QN_OWN_NETWORK", "1", 1);
        pid_t child = 0;
        int status = 0;
        const bool ran = posix_spawnp(&child, "unshare", nullptr, nullptr, argv, environ) == 0 && waitpid(child, &status, 0) == child;
        unsetenv("QN_OWN_NETWORK");
        EXPECT_TRUE(ran && WIFEXITED(status) && WEXITSTATUS(status) == 0);
        return;
    }
    ASSERT_TRUE(setLoopbackUp(true));
    HostileRig rig(agreeThenIdle);
    RecordingLog log;
    SerialLink link(rig.settings, rig.port, {nullptr, nullptr, nullptr}, log);
    LossTimes losses;
    link.SetLossListener(&losses);
    ASSERT_TRUE(link.Open(0, 9600, 0) && setLoopbackUp(false));
    const std::int64_t cut = SteadyMs();
    while (!link.CheckLoss() && SteadyMs() - cut < 15000) // idle: the keep-alive probes find it
        std::this_thread::sleep_for(50ms);
    ASSERT_EQ(losses.lostAtMs.size(), 1u);
    std::printf("half-open connection to \"Link lost\": %lld ms\n", static_cast<long long>(losses.lostAtMs[0] - cut));
    EXPECT_LE(losses.lostAtMs[0] - cut, 10000);
}
