#include <cstdio>
#include <functional>

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <net/if.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/wait.h>

#include "PtyPair.h"
#include "core/settings/SettingsStore.h"
#include "core/transport/ComPort.h"
#include "core/transport/TcpConnect.h"
#include "core/transport/WakeupPipe.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedServer.h"
#include "support/TempSettings.h"

namespace {

using namespace std::chrono_literals;
using Step = ScriptedServer::Step;

// COM1 opens the server's address.
struct HostileRig {
    explicit HostileRig(std::vector<Step> script) : server(std::move(script))
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

QByteArray confirmed(quint32 rate) // the server's answer to SET-BAUDRATE
{
    QByteArray reply = telnet::SetBaudrateRequest(rate);
    reply[3] = static_cast<char>(reply[3] + telnet::kServerReplyOffset);
    return reply;
}
const Step kAgree{{}, QByteArray("\xff\xfd\x2c", 3)}; // DO COM-PORT-OPTION
const Step kAt9600{telnet::SetBaudrateRequest(9600), confirmed(9600)};

bool setLoopbackUp(bool up)
{
    ifreq request{};
    std::snprintf(request.ifr_name, IFNAMSIZ, "lo");
    request.ifr_flags = up ? IFF_UP : 0;
    const int control = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const bool done = ioctl(control, SIOCSIFFLAGS, &request) == 0;
    close(control);
    return done;
}

TcpEndpoint loopback(quint16 port)
{
    TcpEndpoint endpoint{{}, sizeof(sockaddr_in)};
    reinterpret_cast<sockaddr_in &>(endpoint.address) = sockaddr_in{AF_INET, htons(port), {htonl(INADDR_LOOPBACK)}, {}};
    return endpoint;
}

} // namespace

// In network and mount namespaces of its own (the test runs itself again under unshare), where the
// loopback can be cut: the connection then stays open at both ends and nothing gets through.
TEST(HostileServer, ScriptsLeaveThePortSound)
{
    if (qEnvironmentVariableIsEmpty("QN_OWN_NETWORK")) {
        char self[4096] = {}, filter[] = "--gtest_filter=HostileServer.*", unshare[] = "unshare", rn[] = "-rnm";
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
    struct Case {
        const char *name;
        std::vector<Step> script;
        std::function<void(HostileRig &)> client;
    };
    const Case cases[] = {
        {"a flood of commands with the ring's write index at its edge",
         {kAgree, kAt9600, {"go", QByteArray(ByteRing::kCapacity, 'x')}, {{}, QByteArray("\xff\xf1", 2).repeated(4096), 3000}},
         [](HostileRig &rig) {
             ASSERT_TRUE(rig.Open());
             rig.port.WriteBytes("go", 2);
             EXPECT_EQ(CollectFromPort(rig.port, ByteRing::kCapacity, 3000).size(), ByteRing::kCapacity);
             std::this_thread::sleep_for(300ms); // IAC NOP after IAC NOP meanwhile
             const std::int64_t start = SteadyMs();
             rig.port.ClosePort();
             EXPECT_LE(SteadyMs() - start, 200);
         }},
        {"a banner longer than the ring before the negotiation",
         {{{}, QByteArray(4 * ByteRing::kSize, 'b')}, kAgree, kAt9600},
         [](HostileRig &rig) { EXPECT_TRUE(rig.Open()) << rig.dialogs.MessageTexts().join('|').toStdString(); }},
        {"a late answer to an earlier rate request",
         {kAgree, kAt9600, {telnet::SetBaudrateRequest(38400), confirmed(19200) + confirmed(38400)}},
         [](HostileRig &rig) {
             NetworkLine line;
             PortReceiver receiver;
             ASSERT_TRUE(line.Connect(*ParseNetworkAddress(rig.server.Address())));
             ASSERT_TRUE(receiver.Start(line.Fd(), line) && line.SetUp(9600));
             EXPECT_FALSE(line.SetRate(19200)); // no answer in time
             EXPECT_TRUE(line.SetRate(38400)) << line.LastFailure().reason.toStdString();
         }},
        {"a server that stops reading", {kAgree, kAt9600},
         [](HostileRig &rig) {
             ASSERT_TRUE(rig.Open());
             const QByteArray chunk(64 * 1024, 'w');
             for (const std::int64_t start = SteadyMs(); !rig.port.Lost() && SteadyMs() - start < 10000;)
                 rig.port.WriteBytes(chunk.constData(), static_cast<int>(chunk.size()));
             EXPECT_EQ(rig.port.LossReason(), QStringLiteral("the server does not take what we send"));
         }},
        {"a first address that drops every packet", {kAgree},
         [](HostileRig &rig) {
             const ScriptedServer stalled;
             const TcpEndpoint endpoints[] = {loopback(stalled.Port()), loopback(rig.server.Port())};
             const std::int64_t start = SteadyMs();
             const TcpConnection connection = ConnectFirstOf(endpoints, NetworkLine::kConnectTimeoutMs);
             EXPECT_LE(SteadyMs() - start, 1000);
             EXPECT_GE(connection.fd, 0) << connection.reason.toStdString();
             close(connection.fd);
         }},
        {"a name service that never answers", {kAgree},
         [](HostileRig &) {
             // Its own resolver configuration, in the test's own mount namespace.
             const QString conf = QDir::temp().filePath(QStringLiteral("qn-resolv-%1.conf").arg(getpid()));
             QFile file(conf);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("nameserver 127.0.0.1\n") > 0);
             file.close();
             ASSERT_EQ(mount(conf.toUtf8().constData(), "/etc/resolv.conf", nullptr, MS_BIND, nullptr), 0);
             const int silent = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
             const sockaddr_in dns{AF_INET, htons(53), {htonl(INADDR_LOOPBACK)}, {}};
             ASSERT_EQ(bind(silent, reinterpret_cast<const sockaddr *>(&dns), sizeof dns), 0);
             std::int64_t start = SteadyMs();
             const TcpConnection limited = ConnectTcp(QStringLiteral("camserver.example"), 2217, 1000);
             EXPECT_LE(SteadyMs() - start, 1300) << limited.reason.toStdString();
             EXPECT_TRUE(limited.reason.contains(QStringLiteral("gave no answer"))) << limited.reason.toStdString();
             WakeupPipe cancel;
             ASSERT_TRUE(cancel.Create());
             std::thread canceller([&] { std::this_thread::sleep_for(100ms); cancel.Signal(); });
             start = SteadyMs();
             EXPECT_EQ(ConnectTcp(QStringLiteral("camserver.example"), 2217, 3000, cancel.ReadFd()).errorNumber, ECANCELED);
             EXPECT_LE(SteadyMs() - start, 400);
             canceller.join();
             close(silent);
             umount("/etc/resolv.conf");
             QFile::remove(conf);
         }},
        {"a half-open connection", {kAgree, kAt9600},
         [](HostileRig &rig) {
             ASSERT_TRUE(rig.Open() && setLoopbackUp(false));
             const std::int64_t cut = SteadyMs();
             while (!rig.port.Lost() && SteadyMs() - cut < 15000) // idle: the keep-alive probes find it
                 rig.port.WaitForData(50);
             std::printf("half-open connection to a lost link: %lld ms\n", static_cast<long long>(SteadyMs() - cut));
             EXPECT_LE(SteadyMs() - cut, 10000);
             EXPECT_TRUE(rig.port.Lost() && setLoopbackUp(true));
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        HostileRig rig(c.script);
        c.client(rig);
    }
}

