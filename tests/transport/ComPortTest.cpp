#include <cerrno>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <QFile>

#include "PtyPair.h"
#include "core/common/TickClock.h"
#include "core/settings/SettingsStore.h"
#include "core/transport/ComPort.h"
#include "support/ScriptedDialogs.h"
#include "support/TempSettings.h"

namespace {

QByteArray Pattern(int count)
{
    QByteArray bytes(count, '\0');
    for (int i = 0; i < count; ++i)
        bytes[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
    return bytes;
}

double ProcessCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

class ComPortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pty.IsValid());
        temp.WriteRaw(pty.PortsIni(1) + "COM2=/nonexistent/ttyQN\nCOM3=" + QFile::encodeName(temp.Path()) +
                      "\nCOM4=/dev/null\n");
        settings = std::make_unique<SettingsStore>(temp.Path());
        port = std::make_unique<ComPort>(*settings, dialogs);
    }

    termios MasterLine() const
    {
        termios line{};
        EXPECT_EQ(tcgetattr(pty.Master(), &line), 0);
        return line;
    }

    void ExpectFailure(const QString &name, int baud, const QString &step)
    {
        dialogs.Clear();
        EXPECT_FALSE(port->OpenPort(name, baud));
        EXPECT_FALSE(port->IsOpen());
        EXPECT_FALSE(port->ReceiverRunning());
        ASSERT_EQ(dialogs.Messages().size(), 1u);
        EXPECT_EQ(dialogs.Messages()[0].text, QStringLiteral("Failed to initialize %1 port!\nError in %2()").arg(name, step));
        EXPECT_EQ(dialogs.Messages()[0].icon, MessageIcon::Exclamation);
        EXPECT_TRUE(dialogs.Messages()[0].caption.isEmpty());
    }

    PtyPair pty;
    TempSettings temp;
    ScriptedDialogs dialogs;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<ComPort> port;
};

TEST_F(ComPortTest, OpenSetsRaw8N1AtTheRateAsSeenFromTheMaster)
{
    ASSERT_TRUE(port->OpenPort(QStringLiteral("COM1"), 115200));
    EXPECT_TRUE(dialogs.Messages().empty());
    const termios line = MasterLine();
    EXPECT_EQ(cfgetospeed(&line), static_cast<speed_t>(B115200));
    EXPECT_EQ(cfgetispeed(&line), static_cast<speed_t>(B115200));
    EXPECT_EQ(line.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(line.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(line.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(line.c_iflag & (IXON | IXOFF | ICRNL | INLCR | IGNCR | ISTRIP), 0u);
    EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(line.c_oflag & OPOST, 0u);
    EXPECT_EQ(line.c_cc[VMIN], 0);
    EXPECT_EQ(line.c_cc[VTIME], 0);

    // Opening again at another rate closes first and changes the line speed.
    ASSERT_TRUE(port->OpenPort(QStringLiteral("COM1"), 19200));
    const termios slower = MasterLine();
    EXPECT_EQ(cfgetospeed(&slower), static_cast<speed_t>(B19200));
}

TEST_F(ComPortTest, EachOpenFailureNamesItsStepAndLeavesThePortClosed)
{
    // Held by another program (flock on the device).
    const int holder = open(QFile::encodeName(pty.SlavePath()).constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
    ExpectFailure(QStringLiteral("COM1"), 9600, QStringLiteral("CreateFile"));
    close(holder);

    // Held by another port object of ours.
    ComPort other(*settings, dialogs);
    ASSERT_TRUE(other.OpenPort(QStringLiteral("COM1"), 9600));
    ExpectFailure(QStringLiteral("COM1"), 9600, QStringLiteral("CreateFile"));
    other.ClosePort();

    ExpectFailure(QStringLiteral("COM2"), 9600, QStringLiteral("CreateFile")); // no such device
    ExpectFailure(QStringLiteral("COM3"), 9600, QStringLiteral("CreateFile")); // a plain file
    ExpectFailure(QStringLiteral("COM4"), 9600, QStringLiteral("CreateFile")); // a device, not a terminal

    // No B-constant for the rate; the failed attempt must not keep the device locked.
    ExpectFailure(QStringLiteral("COM1"), 12345, QStringLiteral("SetCommState"));
    EXPECT_TRUE(port->OpenPort(QStringLiteral("COM1"), 9600));
}

TEST_F(ComPortTest, AFailedOpenKeepsTheSystemsReasonAndASuccessClearsIt)
{
    const int holder = open(QFile::encodeName(pty.SlavePath()).constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
    struct Case {
        const char *name;
        int errorNumber;
    };
    const Case cases[] = {
        {"COM1", EWOULDBLOCK}, // held by another program
        {"COM2", ENOENT},      // no such device
        {"COM3", ENOTTY},      // a plain file
        {"COM4", ENOTTY},      // a device, not a terminal
    };
    for (const Case &c : cases) {
        EXPECT_FALSE(port->OpenPort(QString::fromLatin1(c.name), 9600));
        const OpenFailure &failure = port->LastOpenFailure();
        EXPECT_TRUE(failure.failed) << c.name;
        EXPECT_EQ(failure.device, settings->PortDevice(QString::fromLatin1(c.name))) << c.name;
        EXPECT_EQ(failure.errorNumber, c.errorNumber) << c.name;
    }
    close(holder);
    ASSERT_TRUE(port->OpenPort(QStringLiteral("COM1"), 9600));
    EXPECT_FALSE(port->LastOpenFailure().failed);
}

TEST_F(ComPortTest, BytesGoBothWaysIntact)
{
    ASSERT_TRUE(port->OpenPort(QStringLiteral("COM1"), 115200));
    const QByteArray all = Pattern(256) + QByteArray("\r\n\x11\x13\x03\x00", 6);

    EXPECT_EQ(port->WriteBytes(all.constData(), static_cast<int>(all.size())), 1);
    EXPECT_EQ(pty.ReadMaster(static_cast<int>(all.size()), 2000), all);

    ASSERT_TRUE(pty.WriteMaster(all));
    EXPECT_EQ(CollectFromPort(*port, static_cast<int>(all.size()), 2000), all);

    EXPECT_EQ(port->WriteBytes(all.constData(), 0), 0);
    port->ClosePort();
    EXPECT_EQ(port->WriteBytes(all.constData(), 1), 0);
}

TEST_F(ComPortTest, AByteThePortDoesNotTakeWithinOneSecondIsDropped)
{
    // Fill the line's output queue through a second descriptor while the master reads nothing.
    // It is opened first: once the port is ours, nobody else may open the device.
    const int filler = open(QFile::encodeName(pty.SlavePath()).constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(filler, 0);
    ASSERT_TRUE(port->OpenPort(QStringLiteral("COM1"), 115200));
    // The kernel moves queued bytes on in the background, so fill until a pause frees nothing.
    const QByteArray block(4096, 'f');
    qsizetype queued = 0;
    for (qsizetype round = 1; round > 0;) {
        round = 0;
        for (ssize_t n = 0; (n = write(filler, block.constData(), static_cast<size_t>(block.size()))) > 0;)
            round += n;
        queued += round;
        TickClock::SleepMs(30);
    }
    close(filler);

    const std::int64_t start = SteadyMs();
    EXPECT_EQ(port->WriteBytes("X", 1), 1);
    const std::int64_t took = SteadyMs() - start;
    EXPECT_GE(took, 950);
    EXPECT_LE(took, 1500);

    const QByteArray drained = pty.ReadMaster(static_cast<int>(queued) + 1, 500);
    EXPECT_EQ(drained.size(), queued);
    EXPECT_FALSE(drained.contains('X'));
}

TEST_F(ComPortTest, FullRingHoldsBackTheRestInsteadOfOverwriting)
{
    ASSERT_TRUE(port->OpenPort(QStringLiteral("COM1"), 115200));
    const QByteArray sent = Pattern(4000);
    std::thread camera([&] { pty.WriteMaster(sent); });

    // Nobody reads: the ring fills to its capacity and stays there.
    const std::int64_t end = SteadyMs() + 2000;
    while (port->Available() < ByteRing::kCapacity && SteadyMs() < end)
        TickClock::SleepMs(5);
    TickClock::SleepMs(100);
    EXPECT_EQ(port->Available(), ByteRing::kCapacity);

    EXPECT_EQ(CollectFromPort(*port, static_cast<int>(sent.size()), 5000), sent);
    camera.join();
}

TEST_F(ComPortTest, ResetRingDropsWhatIsPending)
{
    ASSERT_TRUE(port->OpenPort(QStringLiteral("COM1"), 115200));
    ASSERT_TRUE(pty.WriteMaster("stale"));
    const std::int64_t end = SteadyMs() + 2000;
    while (port->Available() < 5 && SteadyMs() < end)
        port->WaitForData(20);
    ASSERT_EQ(port->Available(), 5);
    port->ResetRing();
    EXPECT_EQ(port->Available(), 0);
    ASSERT_TRUE(pty.WriteMaster("fresh"));
    EXPECT_EQ(CollectFromPort(*port, 5, 2000), QByteArray("fresh"));
}

TEST_F(ComPortTest, ClosePortEndsTheReceiveThreadPromptly)
{
    ASSERT_TRUE(port->OpenPort(QStringLiteral("COM1"), 9600));
    ASSERT_TRUE(port->ReceiverRunning());
    TickClock::SleepMs(20); // let the thread settle into poll()
    const std::int64_t start = SteadyMs();
    port->ClosePort();
    EXPECT_LT(SteadyMs() - start, 200);
    EXPECT_FALSE(port->ReceiverRunning());
    EXPECT_FALSE(port->IsOpen());
#ifdef TIOCGEXCL
    // The terminal is not left in exclusive mode for the next opener.
    int exclusive = -1;
    ASSERT_EQ(ioctl(pty.Slave(), TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
#endif
    char byte = 0;
    EXPECT_EQ(port->ReadAvailable(&byte, 1), 0);
    EXPECT_FALSE(port->WaitForData(10));
}

TEST_F(ComPortTest, HangUpOfTheOtherSideCostsNoCpuAndStillClosesPromptly)
{
    ASSERT_TRUE(port->OpenPort(QStringLiteral("COM1"), 9600));
    pty.CloseAll();
    const double cpuBefore = ProcessCpuMs();
    TickClock::SleepMs(500);
    EXPECT_LT(ProcessCpuMs() - cpuBefore, 50.0);
    // The hang-up is a loss, found by the receive thread without anyone reading.
    EXPECT_TRUE(port->Lost());
    EXPECT_EQ(port->LossReason(), QStringLiteral("device removed")); // the pts node goes with the master

    const char byte = 'x';
    const std::int64_t writeStart = SteadyMs();
    EXPECT_EQ(port->WriteBytes(&byte, 1), 1);
    EXPECT_LT(SteadyMs() - writeStart, 1100);

    const std::int64_t start = SteadyMs();
    port->ClosePort();
    EXPECT_LT(SteadyMs() - start, 300);
}

} // namespace
