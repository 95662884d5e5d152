#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <poll.h>

#include <array>
#include <functional>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "core/common/LineLog.h"
#include "core/operations/LinkNegotiation.h"
#include "core/protocol/Command.h"
#include "core/protocol/CommandEvents.h"
#include "core/protocol/CommandTable.h"
#include "core/settings/SettingsStore.h"
#include "core/transport/CameraLinkTransport.h"
#include "core/transport/ComPort.h"
#include "core/transport/SerialLink.h"
#include "support/ScriptedDialogs.h"
#include "support/TempSettings.h"

namespace {

class NullLog final : public LineLog {
public:
    void AddLogLine(const QString &) override {}
};

class NullEvents final : public CommandEvents {
public:
    void WaitCursor(bool) override {}
    void SetOnline(bool) override {}
};

class CallbackView final : public NegotiationView {
public:
    std::function<void(int)> onBaudSelection;
    void SetBaudSelection(int code) override { onBaudSelection(code); }
    bool IdentifyModel() override { return false; }
    void LogNote(const QString &) override {}
};

int speedOf(speed_t speed)
{
    constexpr std::array<std::pair<speed_t, int>, 5> kSpeeds = {
        {{B9600, 9600}, {B19200, 19200}, {B38400, 38400}, {B57600, 57600}, {B115200, 115200}}};
    for (const auto &[constant, bitsPerSecond] : kSpeeds) {
        if (constant == speed)
            return bitsPerSecond;
    }
    return 0;
}

// What the port wrote so far, waiting up to the time for the pseudo-terminal to hand it over.
QByteArray drain(int master, int expected, int timeoutMs)
{
    QByteArray bytes;
    char buffer[64];
    pollfd fd{master, POLLIN, 0};
    while (bytes.size() < expected && ::poll(&fd, 1, timeoutMs) > 0) {
        const ssize_t got = ::read(master, buffer, sizeof buffer);
        if (got <= 0)
            break;
        bytes.append(buffer, static_cast<int>(got));
    }
    return bytes;
}

} // namespace

// The burst is watched from the far end of a pseudo-terminal: each time the link has moved on
// to the next rate, the bytes written at the rate before are taken off the line.
TEST(LinkNegotiation, WakeUpBurstSendsFourteenZeroBytesAtEveryRateFromTheTop)
{
    int master = -1;
    int slave = -1;
    ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    const QByteArray device = ttyname(slave);
    TempSettings temp;
    temp.WriteRaw("[Ports]\nCOM1=" + device + "\n");
    ScriptedDialogs dialogs;
    SettingsStore settings(temp.Path());
    ComPort com(settings, dialogs);
    NullLog log;
    NoCameraLinkTransport none;
    SerialLink link(settings, com, {&none, &none, &none}, log);
    ASSERT_TRUE(link.Open(0, 9600, 0));
    CommandTable table;
    NullEvents events;
    Command command(table, link, dialogs, log, events);

    std::vector<std::pair<int, QByteArray>> written; // line speed, bytes
    std::vector<int> codes;
    int speed = 0;
    const auto takeWritten = [&] {
        if (speed != 0)
            written.push_back({speed, drain(master, LinkNegotiation::kWakeUpBytes, 500)});
    };
    CallbackView view;
    view.onBaudSelection = [&](int code) {
        takeWritten();
        termios line{};
        ASSERT_EQ(tcgetattr(master, &line), 0);
        speed = speedOf(cfgetospeed(&line));
        EXPECT_EQ(speed, SerialLink::BaudOfCode(code)) << "the list shows the rate the line is at";
        codes.push_back(code);
    };
    LinkNegotiation(link, command, view).WakeUpBurst();
    takeWritten();

    EXPECT_EQ(codes, (std::vector<int>{4, 3, 2, 1, 0}));
    const QByteArray fourteenZeros(LinkNegotiation::kWakeUpBytes, '\0');
    const std::vector<std::pair<int, QByteArray>> expected = {
        {115200, fourteenZeros}, {57600, fourteenZeros}, {38400, fourteenZeros}, {19200, fourteenZeros}, {9600, fourteenZeros}};
    EXPECT_EQ(written, expected);
    EXPECT_EQ(link.Baud(), 9600) << "the burst ends at 9600 bit/s";
    link.Close();
    ::close(master);
    ::close(slave);
}
