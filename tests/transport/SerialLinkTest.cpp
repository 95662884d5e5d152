#include <deque>
#include <memory>
#include <thread>
#include <utility>

#include <gtest/gtest.h>

#include <termios.h>

#include <QFile>
#include <QTemporaryDir>

#include "PtyPair.h"
#include "core/settings/SettingsStore.h"
#include "core/transport/CameraLinkTransport.h"
#include "core/transport/ComPort.h"
#include "core/transport/LinkLossListener.h"
#include "core/transport/SerialLink.h"
#include "support/ScriptedDialogs.h"
#include "support/TempSettings.h"

namespace {

// A Camera Link transport that records what the link asks of it and hands out queued bytes.
class RecordingTransport final : public CameraLinkTransport {
public:
    int PortCount() override { return static_cast<int>(names.size()); }
    QString PortName(int index) const override
    {
        return index >= 0 && index < static_cast<int>(names.size()) ? names[static_cast<std::size_t>(index)] : QString();
    }
    bool SelectPort(int index) override
    {
        selected.push_back(index);
        open = index >= 0 && index < PortCount();
        return open;
    }
    bool SetBaud(int bitsPerSecond) override
    {
        bauds.push_back(bitsPerSecond);
        return bitsPerSecond == 9600;
    }
    void Close() override
    {
        ++closes;
        open = false;
    }
    bool Write(const char *bytes, int count, std::uint32_t timeoutMs) override
    {
        written.append(bytes, count);
        writeTimeouts.push_back(timeoutMs);
        return open;
    }
    QString TakeLossReason() override { return std::exchange(lossReason, QString()); }
    int Read(char *buffer, int count, std::uint32_t timeoutMs) override
    {
        reads.push_back({count, timeoutMs});
        if (incoming.empty())
            return 0; // answers at once, like a transport without an open port
        buffer[0] = incoming.front();
        incoming.pop_front();
        return 1;
    }

    std::vector<QString> names;
    bool open = false;
    std::vector<int> selected, bauds;
    int closes = 0;
    QByteArray written;
    std::vector<std::uint32_t> writeTimeouts;
    std::vector<std::pair<int, std::uint32_t>> reads;
    std::deque<char> incoming;
    QString lossReason;
};

class RecordingLossListener final : public LinkLossListener {
public:
    void LinkLost(const QString &device, const QString &reason) override { losses.push_back({device, reason}); }
    std::vector<std::pair<QString, QString>> losses;
};

class SerialLinkTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(pty.IsValid()); }

    // Settings with COM1 (and COM17) on the pseudo-terminal and the given preference lines.
    void Create(const QByteArray &preferences = {}, TickClock clock = TickClock())
    {
        temp.WriteRaw(preferences + "\n" + pty.PortsIni(1) + "COM17=" + pty.SlavePath().toLocal8Bit() + "\n");
        settings = std::make_unique<SettingsStore>(temp.Path());
        com = std::make_unique<ComPort>(*settings, dialogs);
        link = std::make_unique<SerialLink>(*settings, *com, std::array<CameraLinkTransport *, 3>{&none, &kind2, &none},
                                            log, clock);
    }

    void Destroy()
    {
        link.reset();
        com.reset();
    }

    speed_t MasterSpeed() const
    {
        termios line{};
        EXPECT_EQ(tcgetattr(pty.Master(), &line), 0);
        return cfgetospeed(&line);
    }

    PtyPair pty;
    TempSettings temp;
    ScriptedDialogs dialogs;
    RecordingLog log;
    NoCameraLinkTransport none;
    RecordingTransport kind2;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<ComPort> com;
    std::unique_ptr<SerialLink> link;
};

TEST_F(SerialLinkTest, ReadsKindAndPortIndexesButNeverTheStoredRate)
{
    Create("Communication Mode=2\nBaudrate=115200\nCom Port No=3\nCameralink 2000 Dll Index=4\n"
           "Cameralink 2001 Dll Index=5\nCameralink Ver11 Dll Index=6\n");
    EXPECT_EQ(link->GetKind(), 2);
    EXPECT_EQ(link->Baud(), 9600);
    EXPECT_EQ(link->CurrentPortIndex(), 5);
    link->SetKind(0);
    EXPECT_EQ(link->CurrentPortIndex(), 3);
    link->SetKind(3);
    EXPECT_EQ(link->CurrentPortIndex(), 6);
}

TEST_F(SerialLinkTest, WritesAllSixFieldsAtDestruction)
{
    Create("Cameralink 2000 Dll Index=4\nCameralink Ver11 Dll Index=6\n");
    kind2.names = {QStringLiteral("maker A"), QStringLiteral("maker B")};
    EXPECT_TRUE(link->Open(0, 19200, 0));
    EXPECT_FALSE(link->Open(2, 57600, 1)); // the fake refuses 57600, but kind, rate and index are kept
    Destroy();

    const std::array<std::pair<SettingIndex, int>, 6> expected = {{
        {SettingIndex::CommunicationMode, 2},
        {SettingIndex::Baudrate, 57600},
        {SettingIndex::ComPortNo, 0},
        {SettingIndex::Cameralink2000DllIndex, 4},
        {SettingIndex::Cameralink2001DllIndex, 1},
        {SettingIndex::CameralinkVer11DllIndex, 6},
    }};
    for (const auto &[index, value] : expected) {
        std::int32_t stored = -1;
        EXPECT_TRUE(settings->ReadInt(index, stored, -1)) << static_cast<int>(index);
        EXPECT_EQ(stored, value) << static_cast<int>(index);
    }
}

TEST_F(SerialLinkTest, PortNamesCountsAndUnknownKinds)
{
    Create();
    EXPECT_EQ(link->PortCount(), 16);
    EXPECT_EQ(link->PortName(0), QStringLiteral("COM1"));
    EXPECT_EQ(link->PortName(15), QStringLiteral("COM16"));
    EXPECT_EQ(link->PortName(16), QStringLiteral("ERROR"));
    EXPECT_EQ(link->PortName(-1), QStringLiteral("ERROR"));

    link->SetKind(1);
    EXPECT_EQ(link->PortCount(), 0);
    EXPECT_EQ(link->PortName(0), QString());

    link->SetKind(9);
    EXPECT_EQ(link->PortCount(), 0);
    EXPECT_EQ(link->PortName(0), QStringLiteral("ERROR"));
    EXPECT_EQ(link->CurrentPortIndex(), 0);
    EXPECT_FALSE(link->SendLine("MD?\r\n"));
    EXPECT_TRUE(log.lines.empty());
    EXPECT_FALSE(link->Open(9, 9600, 0));
    EXPECT_FALSE(link->Open(-1, 9600, 0));
}

TEST_F(SerialLinkTest, OpenFormsTheComNameFromTheIndexEvenPastSixteen)
{
    Create();
    EXPECT_TRUE(link->Open(0, 9600, 16)); // COM17 points at the pseudo-terminal too
    EXPECT_TRUE(dialogs.Messages().empty());

    EXPECT_FALSE(link->Open(0, 9600, 15)); // COM16 is /dev/ttyS15: none here, or not ours
    ASSERT_FALSE(dialogs.Messages().empty());
    EXPECT_TRUE(dialogs.Messages()[0].text.startsWith(QStringLiteral("Failed to initialize COM16 port!\n")));
    EXPECT_FALSE(com->IsOpen());
}

TEST_F(SerialLinkTest, ReopeningAtAnotherRateChangesTheLineSpeed)
{
    Create();
    ASSERT_TRUE(link->Open(0, 9600, 0));
    EXPECT_EQ(MasterSpeed(), static_cast<speed_t>(B9600));
    ASSERT_TRUE(link->ReopenWithBaud(115200));
    EXPECT_EQ(MasterSpeed(), static_cast<speed_t>(B115200));
    EXPECT_EQ(link->CodeOfBaud(), 4);
    ASSERT_TRUE(link->Reopen());
    EXPECT_EQ(MasterSpeed(), static_cast<speed_t>(B115200));
}

TEST_F(SerialLinkTest, SwitchingKindUsesThatKindsStoredIndexAndClosesTheComPort)
{
    Create("Cameralink 2001 Dll Index=1\n");
    kind2.names = {QStringLiteral("maker A"), QStringLiteral("maker B")};
    ASSERT_TRUE(link->Open(0, 9600, 0));
    EXPECT_TRUE(link->ReopenWithKind(2));
    EXPECT_FALSE(com->IsOpen());
    EXPECT_EQ(kind2.selected, std::vector<int>{1});
    EXPECT_EQ(kind2.bauds, std::vector<int>{9600});
    EXPECT_EQ(link->PortName(1), QStringLiteral("maker B"));

    // Kind 2's own transport is closed on the next open; the COM port comes back at its index.
    EXPECT_TRUE(link->ReopenWithKind(0));
    EXPECT_EQ(kind2.closes, 1);
    EXPECT_TRUE(com->IsOpen());

    // A port the transport does not have: no rate is tried.
    kind2.bauds.clear();
    link->SetKind(2);
    EXPECT_FALSE(link->ReopenWithPort(7));
    EXPECT_TRUE(kind2.bauds.empty());
}

TEST_F(SerialLinkTest, CameraLinkKindsWithoutLibrariesDoNotOpen)
{
    Create();
    EXPECT_FALSE(link->Open(1, 9600, 0));
    EXPECT_FALSE(link->Open(3, 9600, 0));
    EXPECT_TRUE(dialogs.Messages().empty());
}

TEST_F(SerialLinkTest, SendLineWritesEveryByteAndLogsTheLineWithoutItsEnd)
{
    Create();
    ASSERT_TRUE(link->Open(0, 115200, 0));
    EXPECT_TRUE(link->SendLine("MD?\r\n"));
    EXPECT_EQ(pty.ReadMaster(5, 2000), QByteArray("MD?\r\n"));
    EXPECT_TRUE(link->SendLine(QByteArray("ID=\xE9t\xE9\n\r\n")));
    ASSERT_EQ(log.lines.size(), 2u);
    EXPECT_EQ(log.lines[0], QStringLiteral("Tx: MD?"));
    EXPECT_EQ(log.lines[1], QStringLiteral("Tx: ID=\u00E9t\u00E9"));

    kind2.names = {QStringLiteral("maker A")};
    ASSERT_TRUE(link->Open(2, 9600, 0));
    EXPECT_TRUE(link->SendLine("WTC=2048\r\n"));
    EXPECT_EQ(kind2.written, QByteArray("WTC=2048\r\n"));
    EXPECT_EQ(kind2.writeTimeouts, std::vector<std::uint32_t>{SerialLink::kCameraLinkWriteMs});
}

TEST_F(SerialLinkTest, ReadBytesWaitsOutItsTimeOutOnlyWhenNothingComes)
{
    Create();
    ASSERT_TRUE(link->Open(0, 115200, 0));
    char buffer[16] = {};

    std::int64_t start = SteadyMs();
    EXPECT_EQ(link->ReadBytes(buffer, 1, 10), 0);
    std::int64_t took = SteadyMs() - start;
    EXPECT_GE(took, 8);
    EXPECT_LE(took, 80);

    // A whole line already waiting comes back at once.
    ASSERT_TRUE(pty.WriteMaster("COMPLETE\r\n"));
    const std::int64_t end = SteadyMs() + 2000;
    while (com->Available() < 10 && SteadyMs() < end)
        TickClock::SleepMs(1);
    start = SteadyMs();
    EXPECT_EQ(link->ReadBytes(buffer, 10, 5000), 10);
    EXPECT_LT(SteadyMs() - start, 100);
    EXPECT_EQ(QByteArray(buffer, 10), QByteArray("COMPLETE\r\n"));

    // Bytes that come later end the wait when the count is reached, not at the time-out.
    std::thread camera([&] {
        TickClock::SleepMs(50);
        pty.WriteMaster("ab");
        TickClock::SleepMs(30);
        pty.WriteMaster("cd");
    });
    start = SteadyMs();
    EXPECT_EQ(link->ReadBytes(buffer, 4, 5000), 4);
    took = SteadyMs() - start;
    camera.join();
    EXPECT_GE(took, 70);
    EXPECT_LT(took, 1000);
    EXPECT_EQ(QByteArray(buffer, 4), QByteArray("abcd"));

    buffer[0] = 'z';
    EXPECT_EQ(link->ReadBytes(buffer, 0, 10), 0);
    EXPECT_EQ(buffer[0], 'z');
}

TEST_F(SerialLinkTest, ReadBytesTimeOutSurvivesTheTickWrap)
{
    // Start the link's tick 5 ms before it wraps, so the time-out spans the wrap.
    const std::uint32_t now = TickClock().Now();
    Create({}, TickClock(0u - 5u - now));
    ASSERT_TRUE(link->Open(0, 9600, 0));
    char byte = 0;
    const std::int64_t start = SteadyMs();
    EXPECT_EQ(link->ReadBytes(&byte, 1, 20), 0);
    const std::int64_t took = SteadyMs() - start;
    EXPECT_GE(took, 18);
    EXPECT_LE(took, 100);
}

TEST_F(SerialLinkTest, CameraLinkReadsOneByteAtATimeWithTenMsSteps)
{
    Create();
    kind2.names = {QStringLiteral("maker A")};
    ASSERT_TRUE(link->Open(2, 9600, 0));
    kind2.incoming = {'O', 'K', '\r'};
    char buffer[8] = {};
    EXPECT_EQ(link->ReadBytes(buffer, 3, 500), 3);
    EXPECT_EQ(QByteArray(buffer, 3), QByteArray("OK\r"));
    ASSERT_EQ(kind2.reads.size(), 3u);
    for (const auto &[count, timeout] : kind2.reads) {
        EXPECT_EQ(count, 1);
        EXPECT_EQ(timeout, SerialLink::kCameraLinkReadStepMs);
    }

    // A transport that answers "nothing" at once is not asked in a busy loop.
    kind2.reads.clear();
    const std::int64_t start = SteadyMs();
    EXPECT_EQ(link->ReadBytes(buffer, 1, 40), 0);
    EXPECT_GE(SteadyMs() - start, 38);
    EXPECT_LE(kind2.reads.size(), 5u);
}

// A pulled adapter: the exchange waiting for a reply ends at once, the loss is told once with
// its reason however often the link is used afterwards, and the link stays quiet until reopened.
TEST_F(SerialLinkTest, ALostComPortIsToldOnceAndEndsTheWaitAtOnce)
{
    struct Case {
        const char *name;
        bool throughRemovedLink; // the device is a by-id style link that goes away first
        const char *reason;
    };
    // A pseudo-terminal's node goes with its master, as a USB adapter's goes with the adapter.
    const Case cases[] = {{"device node", false, "device removed"}, {"by-id link", true, "device removed"}};
    for (const Case &row : cases) {
        SCOPED_TRACE(row.name);
        PtyPair line;
        ASSERT_TRUE(line.IsValid());
        QTemporaryDir folder;
        const QString device = row.throughRemovedLink ? folder.filePath(QStringLiteral("usb-camera")) : line.SlavePath();
        if (row.throughRemovedLink) {
            ASSERT_TRUE(QFile::link(line.SlavePath(), device));
        }
        temp.WriteRaw("[Ports]\nCOM1=" + device.toLocal8Bit() + "\n");
        settings = std::make_unique<SettingsStore>(temp.Path());
        com = std::make_unique<ComPort>(*settings, dialogs);
        link = std::make_unique<SerialLink>(*settings, *com, std::array<CameraLinkTransport *, 3>{&none, &kind2, &none},
                                            log);
        RecordingLossListener listener;
        link->SetLossListener(&listener);
        ASSERT_TRUE(link->Open(0, 115200, 0));
        EXPECT_EQ(link->Device(), device);
        EXPECT_TRUE(link->DeviceAvailable());

        std::thread unplug([&] {
            TickClock::SleepMs(100);
            if (row.throughRemovedLink)
                QFile::remove(device);
            line.CloseAll();
        });
        char byte = 0;
        const std::int64_t start = SteadyMs();
        EXPECT_EQ(link->ReadBytes(&byte, 1, 5000), 0);
        const std::int64_t waited = SteadyMs() - start;
        unplug.join();
        EXPECT_LT(waited, 400);

        // A burst of further use reports nothing more and waits for nothing.
        for (int i = 0; i < 5; ++i) {
            EXPECT_TRUE(link->SendLine("GA?\r\n"));
            EXPECT_EQ(link->ReadBytes(&byte, 1, 1000), 0);
        }
        EXPECT_LT(SteadyMs() - start, 600);
        ASSERT_EQ(listener.losses.size(), 1u);
        EXPECT_EQ(listener.losses[0].first, device);
        EXPECT_EQ(listener.losses[0].second, QString::fromLatin1(row.reason));
        EXPECT_TRUE(link->IsLost());
        EXPECT_FALSE(com->IsOpen()); // closed, so the device is not held while it is away
        EXPECT_FALSE(link->DeviceAvailable());
        EXPECT_TRUE(dialogs.Messages().empty());
        Destroy();
    }
}

// A Camera Link port that fails hard is lost the same way; an open brings the link back.
TEST_F(SerialLinkTest, ALostCameraLinkPortIsToldOnceAndAnOpenEndsTheLoss)
{
    Create();
    RecordingLossListener listener;
    link->SetLossListener(&listener);
    kind2.names = {QStringLiteral("maker A")};
    ASSERT_TRUE(link->Open(2, 9600, 0));
    kind2.lossReason = QStringLiteral("clSerialRead failed");
    char byte = 0;
    EXPECT_EQ(link->ReadBytes(&byte, 1, 100), 0);
    EXPECT_EQ(link->ReadBytes(&byte, 1, 100), 0);
    ASSERT_EQ(listener.losses.size(), 1u);
    EXPECT_EQ(listener.losses[0], std::make_pair(QStringLiteral("maker A"), QStringLiteral("clSerialRead failed")));
    EXPECT_EQ(kind2.closes, 1); // by the loss
    EXPECT_TRUE(link->DeviceAvailable()); // a Camera Link port can only be tried

    EXPECT_TRUE(link->ReopenQuietly(9600));
    EXPECT_FALSE(link->IsLost());
    kind2.incoming.push_back('x');
    EXPECT_EQ(link->ReadBytes(&byte, 1, 100), 1);
    EXPECT_EQ(listener.losses.size(), 1u);
}

TEST(SerialLinkBaudCodes, MapBothWaysWithTheirFallbacks)
{
    const std::array<int, 5> rates = {9600, 19200, 38400, 57600, 115200};
    for (int code = 0; code < 5; ++code)
        EXPECT_EQ(SerialLink::BaudOfCode(code), rates[static_cast<std::size_t>(code)]);
    EXPECT_EQ(SerialLink::BaudOfCode(-1), 9600);
    EXPECT_EQ(SerialLink::BaudOfCode(5), 9600);

    TempSettings temp;
    SettingsStore settings(temp.Path());
    ScriptedDialogs dialogs;
    ComPort com(settings, dialogs);
    RecordingLog log;
    NoCameraLinkTransport none;
    SerialLink link(settings, com, {&none, &none, &none}, log);
    link.SetKind(1);
    for (int code = 0; code < 5; ++code) {
        link.ReopenWithBaud(rates[static_cast<std::size_t>(code)]);
        EXPECT_EQ(link.CodeOfBaud(), code);
    }
    link.ReopenWithBaud(4800);
    EXPECT_EQ(link.CodeOfBaud(), 0);
}

} // namespace
