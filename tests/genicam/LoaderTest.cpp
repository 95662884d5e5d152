// The library as a GenTL producer meets it: found through GENICAM_CLPROTOCOL and the folder
// layout, probing at 9600 bit/s (and finding a camera left at another rate), moving the link
// with the baud-rate register, and handing out its description by XML id.
#include <gtest/gtest.h>

#include <cstring>

#include <QFile>
#include <QThread>

#include "ClpHost.h"
#include "core/genicam/RegisterKinds.h"

namespace {

std::uint32_t addressOf(std::string_view name)
{
    for (const RegisterMap::Entry &entry : RegisterMap::Entries()) {
        if (entry.name == name)
            return entry.address;
    }
    return 0;
}

std::int32_t readInt(ClpRig &rig, CLUINT32 cookie, std::uint32_t address, CLINT32 *result = nullptr)
{
    CLINT8 bytes[4] = {};
    const CLINT32 r = rig.Fn().read(&rig.Serial(), cookie, address, bytes, 4, kHostTimeoutMs);
    if (result)
        *result = r;
    std::int32_t value = 0;
    std::memcpy(&value, bytes, 4);
    return value;
}

struct StartRate {
    int cameraBaud;
    bool needsSearch;
};

class LoaderTest : public ::testing::TestWithParam<StartRate> {};

TEST_P(LoaderTest, ProbesMovesTheLinkAndHandsOutTheDescription)
{
    ClpRig rig(GetParam().cameraBaud);
    ASSERT_TRUE(rig.Library().Loaded()) << "no CLProtocol library under " << rig.Location().toStdString();
    EXPECT_EQ(rig.Library().Path(), (rig.Location() + QStringLiteral("/Linux64_x64/libqnclprotocol.so")).toStdString());

    CLINT8 templates[256] = {};
    CLUINT32 size = sizeof templates;
    ASSERT_EQ(rig.Fn().templates(templates, &size), 0);
    EXPECT_EQ(std::string(templates), "Korvel#QN5200\tKorvel#QN5200#QN_5200RL_BDXP\tKorvel#QN5200#QN_5200R_BDX");

    std::string deviceId;
    const CLUINT32 cookie = rig.Probe(&deviceId);
    ASSERT_NE(cookie, 0u);
    // Every token a C name: the firmware "2.1.0.7" and the camera id complete it.
    EXPECT_EQ(deviceId, "Korvel#QN5200#QN_5200RL_BDXP#_2_1_0_7#QN52000417");
    // The first question goes at 9600 bit/s; a camera elsewhere is woken and searched for.
    const std::vector<WireEvent> log = rig.Camera().WireLog();
    bool zeroBytes = false;
    for (const WireEvent &event : log)
        zeroBytes = zeroBytes || event.kind == WireEvent::Kind::ZeroByte;
    EXPECT_EQ(zeroBytes, GetParam().needsSearch);
    ASSERT_FALSE(rig.Lines().isEmpty());
    EXPECT_EQ(rig.Lines().front(), "MD?");

    // The baud-rate register moves camera and port to 115200 bit/s and confirms there.
    rig.Camera().ClearWireLog();
    const std::uint32_t baudAddress = addressOf("DeviceSerialPortBaudRate");
    const std::int32_t code115200 = 16;
    CLINT8 value[4];
    std::memcpy(value, &code115200, 4);
    ASSERT_EQ(rig.Fn().write(&rig.Serial(), cookie, baudAddress, value, 4, kHostTimeoutMs), 0);
    EXPECT_EQ(rig.Camera().Baud(), 115200);
    const std::vector<WireEvent> moved = rig.Camera().WireLog();
    std::vector<std::pair<QByteArray, int>> received;
    for (const WireEvent &event : moved) {
        if (event.kind == WireEvent::Kind::Received)
            received.emplace_back(event.data, event.lineSpeed);
    }
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[1].first, "CBDRT=16");
    EXPECT_EQ(received[1].second, 115200);
    EXPECT_EQ(readInt(rig, cookie, baudAddress), code115200);
    CLUINT32 parameter = 0;
    ASSERT_EQ(rig.Fn().getParam(&rig.Serial(), -1, cookie, reinterpret_cast<CLINT8 *>(&parameter), 4, kHostTimeoutMs), 0);
    EXPECT_EQ(parameter, 16u);

    // The description by its id: the generated file, byte for byte.
    CLINT8 ids[256] = {};
    size = sizeof ids;
    ASSERT_EQ(rig.Fn().xmlIds(&rig.Serial(), cookie, ids, &size, kHostTimeoutMs), 0);
    EXPECT_EQ(std::string(ids), "SchemaVersion.1.1@Korvel#QN5200@XMLVersion.1.0.0");
    CLUINT32 needed = 0;
    EXPECT_EQ(rig.Fn().xmlDescription(&rig.Serial(), cookie, ids, nullptr, &needed, kHostTimeoutMs), -10001);
    std::string xml(needed, '\0');
    ASSERT_EQ(rig.Fn().xmlDescription(&rig.Serial(), cookie, ids, xml.data(), &needed, kHostTimeoutMs), 0);
    QFile generated(QStringLiteral(QN_GENICAM_DIR "/genapi.xml"));
    ASSERT_TRUE(generated.open(QIODevice::ReadOnly));
    EXPECT_EQ(xml.c_str(), generated.readAll().toStdString());
    EXPECT_EQ(rig.Fn().xmlDescription(&rig.Serial(), cookie, "SchemaVersion.1.0@Other", xml.data(), &needed, 0),
              -20102);

    EXPECT_EQ(rig.Fn().disconnect(cookie), 0);
    EXPECT_EQ(rig.Fn().disconnect(cookie), -20103);
}

INSTANTIATE_TEST_SUITE_P(StartRates, LoaderTest,
                         ::testing::Values(StartRate{9600, false}, StartRate{57600, true}),
                         [](const auto &info) { return "Camera" + std::to_string(info.param.cameraBaud); });

TEST(LoaderTest, RefusesAnotherMakersTemplateWithoutALineAndReconnectsOnlyTheSameCamera)
{
    ClpRig rig;
    CLINT8 id[64];
    CLUINT32 size = sizeof id;
    CLUINT32 cookie = 0;
    EXPECT_EQ(rig.Fn().probe(&rig.Serial(), "OtherMaker#Family", id, &size, &cookie, 500), -20100);
    EXPECT_TRUE(rig.Lines().isEmpty());
    EXPECT_EQ(rig.Fn().probe(&rig.Serial(), "Korvel#QN5200#QN_5200RL_BDXP#_2_1_0_7#QN52000417", id, &size, &cookie, 500), 0);
    EXPECT_EQ(rig.Fn().probe(&rig.Serial(), "Korvel#QN5200#QN_5200RL_BDXP#_2_1_0_7#QN52000999", id, &size, &cookie, 500),
              -20101);
}

// A host that gives up a pending write: the camera's late acknowledgement does not answer the
// next read.
TEST(LoaderTest, AGivenUpPendingWriteLeavesNoReplyBehind)
{
    ClpRig rig(9600, 1200);
    const CLUINT32 cookie = rig.Probe();
    ASSERT_NE(cookie, 0u);
    rig.Camera().ClearWireLog();
    const CLINT8 start[4] = {1, 0, 0, 0};
    ASSERT_EQ(rig.Fn().write(&rig.Serial(), cookie, addressOf("RunShading"), start, 4, 300), 20101);
    ASSERT_EQ(rig.Fn().continueWrite(&rig.Serial(), cookie, 0, 300), 0);
    rig.Camera().SetValue(QStringLiteral("WTC"), 1234);
    QThread::msleep(1200); // the acknowledgement arrives meanwhile
    EXPECT_EQ(readInt(rig, cookie, addressOf("Width")), 1234);
    EXPECT_EQ(rig.Lines(), (QList<QByteArray>{"RS=0", "WTC?"}));
}

} // namespace
