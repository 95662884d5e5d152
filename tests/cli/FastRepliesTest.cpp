#include <QElapsedTimer>

#include <gtest/gtest.h>

#include "CameraSimulator.h"
#include "core/common/LineLog.h"
#include "core/operations/ShadingExchange.h"
#include "core/protocol/Command.h"
#include "core/protocol/CommandEvents.h"
#include "core/settings/SettingsStore.h"
#include "core/transport/CameraLinkTransport.h"
#include "core/transport/ComPort.h"
#include "core/transport/SerialLink.h"
#include "support/ScriptedDialogs.h"
#include "support/TempSettings.h"

namespace {

class NoEvents final : public CommandEvents {
public:
    void WaitCursor(bool) override {}
    void SetOnline(bool) override {}
};

class Silent final : public LineLog {
public:
    void AddLogLine(const QString &) override {}
};

// A shading transfer of the given shape on an engine with paced or fast replies; the camera's
// log of what it received, and how long the transfer took.
struct Transfer {
    QList<QByteArray> lines;
    qint64 ms = 0;
    int stoppedAt = -1;
};

Transfer shadingRead(bool fast, ShadingShape shape)
{
    SimulatorOptions options;
    options.baud = 115200;
    CameraSimulator camera(options);
    EXPECT_TRUE(camera.Start());
    camera.SetValue(QStringLiteral("SDM"), 1);
    TempSettings temp;
    temp.WriteRaw("[Ports]\nCOM1=" + camera.SlavePath().toLocal8Bit() + "\n");
    SettingsStore settings(temp.Path());
    ScriptedDialogs dialogs;
    ComPort port(settings, dialogs);
    NoCameraLinkTransport none;
    Silent log;
    SerialLink link(settings, port, {&none, &none, &none}, log);
    EXPECT_TRUE(link.Open(0, 115200, 0));
    CommandTable commands;
    NoEvents events;
    Command command(commands, link, dialogs, log, events);
    command.SetFastReplies(fast);
    ShadingTable table{};
    Transfer transfer;
    QElapsedTimer clock;
    clock.start();
    if (ShadingModeOn(command, dialogs))
        transfer.stoppedAt = ExchangeShading(command, table, ShadingDirection::Read, shape, {});
    transfer.ms = clock.elapsed();
    transfer.lines = camera.ReceivedLines();
    return transfer;
}

} // namespace

// Fast replies change only the waiting: the camera sees the same lines in the same order.
TEST(FastReplies, AShadingReadSendsTheSameLinesInLessTime)
{
    const ShadingShape shape{3, 24};
    const Transfer paced = shadingRead(false, shape);
    const Transfer fast = shadingRead(true, shape);
    EXPECT_EQ(paced.stoppedAt, 0);
    EXPECT_EQ(fast.stoppedAt, 0);
    EXPECT_EQ(paced.lines.size(), 1 + 3 * (1 + 2 * 24));
    EXPECT_EQ(fast.lines, paced.lines);
    EXPECT_LT(fast.ms * 4, paced.ms) << fast.ms << " ms fast, " << paced.ms << " ms paced";
}
