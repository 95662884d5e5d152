#include <thread>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "QnctlRig.h"
#include "core/formats/ShadingFile.h"
#include "core/operations/LinkNegotiation.h"
#include "support/Ser2NetServer.h"

namespace {

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

// identify and dump give over RFC 2217 what they give over the line itself, and a fast shading
// read brings the camera's tables.
TEST_F(QnctlNetwork, CommandsOverRfc2217GiveWhatTheLineGives)
{
    QnctlRig rig(57600);
    CameraSimulator &camera = rig.Simulator();
    camera.SetValue(QStringLiteral("SDM"), 1); // shading on, so that its tables can be read
    const auto entry = [](int channel, int index) { return (channel * 7919 + index * 31) % 65536; };
    for (int channel = 0; channel < kShadingChannels; ++channel) {
        for (int index = 1; index <= kShadingValues; ++index)
            camera.SetShadingEntry(channel, index, entry(channel, index));
    }
    const QStringList fastDump = {QStringLiteral("--fast"), QStringLiteral("dump")};
    const QnctlRun identify = rig.Run({QStringLiteral("identify")});
    const QnctlRun dump = rig.Run(fastDump);
    ASSERT_EQ(identify.exitCode, 0) << Describe(identify);
    ASSERT_EQ(dump.exitCode, 0) << Describe(dump);

    Ser2NetServer server(rig.DevicePath(), 9600, Ser2NetServer::Mode::Rfc2217);
    ASSERT_TRUE(server.Start()) << server.Failure().toStdString();
    const QnctlRun netIdentify = rig.RunAsGiven(over(rig, server) + QStringList{QStringLiteral("identify")});
    const QnctlRun netDump = rig.RunAsGiven(over(rig, server) + fastDump);
    EXPECT_EQ(netIdentify.exitCode, 0) << Describe(netIdentify);
    EXPECT_EQ(netIdentify.out, identify.out);
    EXPECT_EQ(netDump.exitCode, 0) << Describe(netDump);
    EXPECT_EQ(netDump.out, dump.out);

    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("shading.csv"));
    const QnctlRun shading = rig.RunAsGiven(over(rig, server) + QStringList{QStringLiteral("--fast"), QStringLiteral("shading"),
                                                                            QStringLiteral("read"), file});
    EXPECT_EQ(shading.exitCode, 0) << Describe(shading);
    ShadingTable table{};
    EXPECT_EQ(ReadShadingFile(fileText(file), table).linesTaken, kShadingValues);
    int differing = 0;
    for (int channel = 0; channel < kShadingChannels; ++channel) {
        for (int index = 1; index <= kShadingValues; ++index)
            differing += table[channel][index - 1] == entry(channel, index) ? 0 : 1;
    }
    EXPECT_EQ(differing, 0);
}

TEST_F(QnctlNetwork, RawTcpLeavesTheRateAloneAndSaysSo)
{
    QnctlRig rig(57600);
    Ser2NetServer server(rig.DevicePath(), 57600, Ser2NetServer::Mode::RawTcp);
    ASSERT_TRUE(server.Start()) << server.Failure().toStdString();
    const QnctlRun run = rig.RunAsGiven(over(rig, server) + QStringList{QStringLiteral("identify")});
    EXPECT_EQ(run.exitCode, 0) << Describe(run);
    EXPECT_EQ(run.err.count(LinkNegotiation::kFixedRateNote), 1) << Describe(run);
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
    EXPECT_EQ(unknown.exitCode, 3) << Describe(unknown);
    EXPECT_TRUE(unknown.err.contains("Reason: unknown host \"no-such-host.invalid\"")) << Describe(unknown);
    const QnctlRun malformed = rig.RunAsGiven({QStringLiteral("--port"), QStringLiteral("rfc2217://camserver"),
                                               QStringLiteral("identify")});
    EXPECT_EQ(malformed.exitCode, 2) << Describe(malformed);
    EXPECT_TRUE(malformed.err.contains("the TCP port is missing")) << Describe(malformed);

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
    EXPECT_EQ(run.exitCode, 3) << Describe(run);
    EXPECT_TRUE(run.err.contains("Link lost: " + server.Address().toLatin1() + " (the server closed the connection)"))
        << Describe(run);
    ASSERT_GE(endedAfterMs, 0);
    EXPECT_LT(endedAfterMs, 1000);
}
