#include <thread>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "QnctlRig.h"
#include "core/operations/LinkNegotiation.h"
#include "support/Ser2NetServer.h"

namespace {

std::string describe(const QnctlRun &run)
{
    return "exit " + std::to_string(run.exitCode) + "\nout:\n" + run.out.toStdString() + "\nerr:\n" + run.err.toStdString();
}

class QnctlNetwork : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!Ser2NetServer::Available())
            GTEST_SKIP() << "ser2net is not installed (scripts/install-deps.sh installs it)";
    }
    // The rig's preference file and the address instead of the camera's line.
    static QStringList over(const QnctlRig &rig, const Ser2NetServer &server)
    {
        return {QStringLiteral("--settings"), rig.Settings().Path(), QStringLiteral("--port"), server.Address()};
    }
};

QByteArray fileText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// identify, dump and a fast shading read give over RFC 2217 what they give over the line itself.
TEST_F(QnctlNetwork, CommandsOverRfc2217GiveWhatTheLineGives)
{
    QnctlRig rig(57600);
    rig.Simulator().SetValue(QStringLiteral("SDM"), 1); // shading on, so that its tables can be read
    QTemporaryDir folder;
    const QStringList shadingRead = {QStringLiteral("--fast"), QStringLiteral("shading"), QStringLiteral("read")};
    const QString directFile = folder.filePath(QStringLiteral("direct.csv"));
    const QString networkFile = folder.filePath(QStringLiteral("network.csv"));

    const QnctlRun identify = rig.Run({QStringLiteral("identify")});
    const QnctlRun dump = rig.Run({QStringLiteral("dump")});
    const QnctlRun shading = rig.Run(shadingRead + QStringList{directFile});
    ASSERT_EQ(identify.exitCode, 0) << describe(identify);
    ASSERT_EQ(dump.exitCode, 0) << describe(dump);
    ASSERT_EQ(shading.exitCode, 0) << describe(shading);

    Ser2NetServer server(rig.DevicePath(), 9600, Ser2NetServer::Mode::Rfc2217);
    ASSERT_TRUE(server.Start()) << server.Failure().toStdString();
    const QnctlRun netIdentify = rig.RunAsGiven(over(rig, server) + QStringList{QStringLiteral("identify")});
    const QnctlRun netDump = rig.RunAsGiven(over(rig, server) + QStringList{QStringLiteral("dump")});
    const QnctlRun netShading = rig.RunAsGiven(over(rig, server) + shadingRead + QStringList{networkFile});
    EXPECT_EQ(netIdentify.exitCode, 0) << describe(netIdentify);
    EXPECT_EQ(netIdentify.out, identify.out);
    EXPECT_EQ(netDump.exitCode, 0) << describe(netDump);
    EXPECT_EQ(netDump.out, dump.out);
    EXPECT_EQ(netShading.exitCode, 0) << describe(netShading);
    EXPECT_FALSE(fileText(networkFile).isEmpty());
    EXPECT_EQ(fileText(networkFile), fileText(directFile));
}

TEST_F(QnctlNetwork, RawTcpLeavesTheRateAloneAndSaysSo)
{
    QnctlRig rig(57600);
    Ser2NetServer server(rig.DevicePath(), 57600, Ser2NetServer::Mode::RawTcp);
    ASSERT_TRUE(server.Start()) << server.Failure().toStdString();
    const QnctlRun run = rig.RunAsGiven(over(rig, server) + QStringList{QStringLiteral("identify")});
    EXPECT_EQ(run.exitCode, 0) << describe(run);
    EXPECT_EQ(run.err.count(LinkNegotiation::kFixedRateNote), 1) << describe(run);
    for (const WireEvent &event : rig.Simulator().WireLog()) {
        if (event.kind != WireEvent::Kind::Received && event.kind != WireEvent::Kind::ZeroByte)
            continue;
        EXPECT_EQ(event.lineSpeed, 57600) << event.data.toStdString();
        EXPECT_FALSE(event.data.startsWith("CBDRT=")) << "the camera is not asked to move";
    }
}

// A failure to connect is status 3 with the reason; a server that goes during a read is a lost link.
TEST_F(QnctlNetwork, FailuresAndALostServerEndWithStatus3AndTheReason)
{
    QnctlRig rig(115200);
    const QnctlRun unknown = rig.RunAsGiven({QStringLiteral("--settings"), rig.Settings().Path(), QStringLiteral("--port"),
                                             QStringLiteral("rfc2217://no-such-host.invalid:2217"),
                                             QStringLiteral("identify")});
    EXPECT_EQ(unknown.exitCode, 3) << describe(unknown);
    EXPECT_TRUE(unknown.err.contains("Reason: unknown host \"no-such-host.invalid\"")) << describe(unknown);
    const QnctlRun malformed = rig.RunAsGiven({QStringLiteral("--port"), QStringLiteral("rfc2217://camserver"),
                                               QStringLiteral("identify")});
    EXPECT_EQ(malformed.exitCode, 2) << describe(malformed);
    EXPECT_TRUE(malformed.err.contains("the TCP port is missing")) << describe(malformed);

    Ser2NetServer server(rig.DevicePath(), 9600, Ser2NetServer::Mode::Rfc2217);
    ASSERT_TRUE(server.Start()) << server.Failure().toStdString();
    QElapsedTimer sinceKill;
    std::thread kill([&] {
        rig.Simulator().WaitForReceivedLines(60, 30000); // past the search, well into the read
        server.Kill();
        sinceKill.start();
    });
    const QnctlRun run = rig.RunAsGiven(over(rig, server) + QStringList{QStringLiteral("dump")});
    const qint64 endedAfterMs = sinceKill.isValid() ? sinceKill.elapsed() : -1;
    kill.join();
    EXPECT_EQ(run.exitCode, 3) << describe(run);
    EXPECT_TRUE(run.err.contains("Link lost: " + server.Address().toLatin1() + " (the server closed the connection)"))
        << describe(run);
    ASSERT_GE(endedAfterMs, 0);
    EXPECT_LT(endedAfterMs, 1000);
}
