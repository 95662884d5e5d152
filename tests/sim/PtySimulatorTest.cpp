#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include <QFileInfo>
#include <QTemporaryDir>

#include "CameraSimulator.h"
#include "LinkClient.h"

namespace {

class PtySimulator : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(simulator.Start());
        ASSERT_TRUE(port.Open(simulator.SlavePath(), 9600));
    }

    QByteArray ask(const QByteArray &line, int timeoutMs = kReplyMs)
    {
        port.Write(line + "\r\n");
        return port.ReadLine(timeoutMs);
    }

    std::vector<WireEvent> eventsOf(WireEvent::Kind kind) const
    {
        std::vector<WireEvent> matching;
        for (const WireEvent &event : simulator.WireLog())
            if (event.kind == kind)
                matching.push_back(event);
        return matching;
    }

    CameraSimulator simulator;
    LinkClient port;
};

TEST_F(PtySimulator, AnswersLinesAndLogsTheWire)
{
    EXPECT_EQ(ask("MD?"), "MD=QN-5200RL-BDXP\r\n");
    EXPECT_EQ(ask("GA=300"), "COMPLETE\r\n");
    EXPECT_EQ(ask("GA=1"), "Error: value out of range\r\n");
    port.Write("GA?\n"); // a bare LF ends a line as well
    EXPECT_EQ(port.ReadLine(kReplyMs), "GA=300\r\n");
    EXPECT_EQ(simulator.Value(QStringLiteral("GA")), 300);

    EXPECT_EQ(simulator.ReceivedLines(), (QList<QByteArray>{"MD?", "GA=300", "GA=1", "GA?"}));
    const auto sent = eventsOf(WireEvent::Kind::Sent);
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[1].data, "COMPLETE\r\n");
    EXPECT_EQ(sent[1].baud, 9600);
    EXPECT_LE(eventsOf(WireEvent::Kind::Received)[1].timeUs, sent[1].timeUs);
    EXPECT_TRUE(port.ReadFor(50).isEmpty()) << "no echo, no prompt";
}

TEST_F(PtySimulator, BytesAtAnotherSpeedAreGarbage)
{
    port.SetBaud(115200);
    EXPECT_TRUE(ask("MD?", 300).isEmpty());
    const auto garbage = eventsOf(WireEvent::Kind::Garbage);
    ASSERT_EQ(garbage.size(), 1u);
    EXPECT_EQ(garbage[0].data, "MD?\r\n");
    EXPECT_EQ(garbage[0].baud, 9600);
    EXPECT_TRUE(simulator.ReceivedLines().isEmpty());

    // A line started at the wrong speed is lost as a whole, even if it ends at the right one.
    port.Write("GA=5");
    port.ReadFor(50);
    port.SetBaud(9600);
    EXPECT_EQ(ask("00"), "Error: syntax error\r\n");
    EXPECT_EQ(simulator.ReceivedLines(), QList<QByteArray>{"00"});
}

TEST_F(PtySimulator, RateChangeAnswersAtTheOldRateThenMoves)
{
    EXPECT_EQ(ask("CBDRT=16"), "COMPLETE\r\n");
    EXPECT_TRUE(ask("MD?", 300).isEmpty()) << "still at 9600 on the tool's side";
    EXPECT_EQ(simulator.Baud(), 115200);

    port.SetBaud(115200);
    EXPECT_EQ(ask("CBDRT=16"), "COMPLETE\r\n"); // the tool's confirmation at the new rate
    EXPECT_EQ(ask("CBDRT?"), "CBDRT=16\r\n");
    const auto sent = eventsOf(WireEvent::Kind::Sent);
    EXPECT_EQ(sent.front().baud, 9600);
    EXPECT_EQ(sent.back().baud, 115200);

    EXPECT_EQ(ask("CRS00=0"), "COMPLETE\r\n");
    EXPECT_TRUE(ask("MD?", 300).isEmpty());
    port.SetBaud(9600);
    EXPECT_EQ(ask("MD?"), "MD=QN-5200RL-BDXP\r\n");
}

TEST_F(PtySimulator, ZeroBytesAreIgnored)
{
    port.Write(QByteArray(14, '\0'));
    port.Write(QByteArray("M\0D?\r\n", 6));
    EXPECT_EQ(port.ReadLine(kReplyMs), "MD=QN-5200RL-BDXP\r\n");
    EXPECT_EQ(eventsOf(WireEvent::Kind::ZeroByte).size(), 15u);
    EXPECT_TRUE(eventsOf(WireEvent::Kind::Garbage).empty());
}

TEST_F(PtySimulator, SurvivesTheSlaveBeingClosedAndReopened)
{
    for (int round = 0; round < 3; ++round) {
        port.Close();
        ASSERT_TRUE(port.Open(simulator.SlavePath(), 9600));
        EXPECT_EQ(ask("EA?"), "EA=0\r\n");
    }
}

TEST_F(PtySimulator, StopsAndResumesAnswering)
{
    simulator.StopAnswering();
    EXPECT_TRUE(ask("MD?", 300).isEmpty());
    EXPECT_TRUE(ask("GA=500", 300).isEmpty());
    EXPECT_EQ(simulator.ReceivedLines().size(), 2); // heard, not carried out
    EXPECT_EQ(simulator.Value(QStringLiteral("GA")), 100);
    simulator.ResumeAnswering();
    EXPECT_EQ(ask("MD?"), "MD=QN-5200RL-BDXP\r\n");

    simulator.StopAnsweringAfter(2);
    EXPECT_FALSE(ask("EA?").isEmpty());
    EXPECT_FALSE(ask("EA?").isEmpty());
    EXPECT_TRUE(ask("EA?", 300).isEmpty());
    EXPECT_TRUE(ask("EA?", 300).isEmpty());
    simulator.ResumeAnswering();
    EXPECT_EQ(ask("EA?"), "EA=0\r\n");
}

TEST_F(PtySimulator, AnswersLateOrWithAnotherLine)
{
    simulator.SetReplyDelayMs(300);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ask("EA?"), "EA=0\r\n");
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
    simulator.SetReplyDelayMs(0);

    simulator.ReplaceNextReply("GA01=5\r\n");
    EXPECT_EQ(ask("GA00?"), "GA01=5\r\n");
    EXPECT_EQ(ask("GA00?"), "GA00=0\r\n"); // once only

    simulator.ReplaceNextReply(QByteArray(2000, 'x'));
    port.Write("EA?\r\n");
    EXPECT_EQ(port.ReadFor(2500), QByteArray(2000, 'x')); // 2,000 bytes, no line feed

    simulator.RefuseMnemonic(QStringLiteral("GA"));
    EXPECT_EQ(ask("GA=200"), "Error: command not supported\r\n");
    EXPECT_EQ(simulator.Value(QStringLiteral("GA")), 100);
    simulator.RefuseMnemonic(QStringLiteral("WTC"), "NG");
    EXPECT_EQ(ask("wtc?"), "NG\r\n");
    simulator.AcceptMnemonic(QStringLiteral("GA"));
    EXPECT_EQ(ask("GA=200"), "COMPLETE\r\n");
}

TEST_F(PtySimulator, HangUpClosesTheLine)
{
    EXPECT_EQ(ask("EA?"), "EA=0\r\n");
    simulator.HangUp();
    EXPECT_TRUE(ask("EA?", 300).isEmpty());
    EXPECT_TRUE(port.Write("EA?\r\n")) << "the tool's side survives the hang-up";
}

TEST_F(PtySimulator, ProceduresTakeTheirTime)
{
    simulator.ForceResultCode(QStringLiteral("AGCS"), 3);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ask("AGC=2"), "COMPLETE\r\n");
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
    EXPECT_EQ(ask("AGCS?"), "AGCS=3\r\n");
}

TEST(PtySimulatorProgram, LinkPathAndStateFile)
{
    QTemporaryDir dir;
    SimulatorOptions options;
    options.baud = 38400;
    options.linkPath = dir.filePath(QStringLiteral("camera"));
    options.statePath = dir.filePath(QStringLiteral("state.json"));
    {
        CameraSimulator simulator(options);
        ASSERT_TRUE(simulator.Start());
        EXPECT_EQ(QFileInfo(options.linkPath).symLinkTarget(), simulator.SlavePath());
        LinkClient port;
        ASSERT_TRUE(port.Open(options.linkPath, 38400));
        port.Write("UD=first run\r\n");
        EXPECT_EQ(port.ReadLine(kReplyMs), "COMPLETE\r\n");
        simulator.Stop();
        EXPECT_FALSE(QFileInfo::exists(options.linkPath));
    }
    CameraSimulator again(options);
    EXPECT_EQ(again.Text(QStringLiteral("UD")), QStringLiteral("first run"));
}

// Replies go out at the line rate: at 9600 bit/s every byte takes about a millisecond. The
// fastest of a few round trips is taken, so a busy machine (other tests run beside this one)
// delays none of them past the limits.
TEST(PtySimulatorTiming, RepliesArePacedAtTheLineRate)
{
    const auto fastestRoundTrip = [](int baud) {
        SimulatorOptions options;
        options.baud = baud;
        CameraSimulator simulator(options);
        EXPECT_TRUE(simulator.Start());
        LinkClient port;
        EXPECT_TRUE(port.Open(simulator.SlavePath(), baud));
        double fastest = 1e12;
        for (int i = 0; i < 5; ++i) {
            const auto start = std::chrono::steady_clock::now();
            port.Write("MD?\r\n");
            EXPECT_EQ(port.ReadLine(kReplyMs), "MD=QN-5200RL-BDXP\r\n");
            fastest = std::min(fastest, std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
        }
        return fastest;
    };
    const double wireUs = (5 + 19) * 10 * 1e6 / 9600; // both lines on the wire
    const double slow = fastestRoundTrip(9600);
    EXPECT_GE(slow, wireUs);
    EXPECT_LT(slow, wireUs + 15000);
    EXPECT_LT(fastestRoundTrip(115200), slow / 5);
}

} // namespace
