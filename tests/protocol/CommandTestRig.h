#pragma once

#include <memory>
#include <ostream>
#include <vector>

#include <QStringList>

#include <gtest/gtest.h>

#include "CameraSimulator.h"
#include "core/common/LineLog.h"
#include "core/common/TickClock.h"
#include "core/protocol/Command.h"
#include "core/protocol/CommandEvents.h"
#include "core/settings/SettingsStore.h"
#include "core/transport/CameraLinkTransport.h"
#include "core/transport/ComPort.h"
#include "core/transport/SerialLink.h"
#include "support/ScriptedDialogs.h"
#include "support/TempSettings.h"

// Readable failures for Qt strings.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

class RecordingLog final : public LineLog {
public:
    void AddLogLine(const QString &line) override { lines << line; }
    QStringList lines;
};

class RecordingEvents final : public CommandEvents {
public:
    void WaitCursor(bool on) override { cursor.push_back(on); }
    void SetOnline(bool isOnline) override { online.push_back(isOnline); }
    void Waiting() override
    {
        ++waits;
        TickClock::SleepMs(waitingWorkMs);
    }
    std::vector<bool> cursor;
    std::vector<bool> online;
    int waits = 0;
    unsigned waitingWorkMs = 0; // what the front end does with each wait

};

// A command engine on COM1, which the settings point at the slave side of a simulated
// camera's pseudo-terminal, at 115200 bit/s to keep the exchanges short.
class CommandOverPty : public ::testing::Test {
protected:
    static constexpr int kGa00 = 443;
    static constexpr int kMd = 8;
    static constexpr int kBaud = 115200;

    void SetUp() override
    {
        SimulatorOptions options;
        options.baud = kBaud;
        sim = std::make_unique<CameraSimulator>(options);
        ASSERT_TRUE(sim->Start());
        temp.WriteRaw("[Ports]\nCOM1=" + sim->SlavePath().toLocal8Bit() + "\n");
        settings = std::make_unique<SettingsStore>(temp.Path());
        comPort = std::make_unique<ComPort>(*settings, dialogs);
        link = std::make_unique<SerialLink>(
            *settings, *comPort,
            std::array<CameraLinkTransport *, 3>{&noCameraLink, &noCameraLink, &noCameraLink}, txLog);
        ASSERT_TRUE(link->Open(0, kBaud, 0));
        command = MakeCommand();
    }

    void TearDown() override
    {
        command.reset();
        if (link)
            link->Close();
    }

    std::unique_ptr<Command> MakeCommand(TickClock clock = TickClock())
    {
        return std::make_unique<Command>(table, *link, dialogs, rxLog, events, clock);
    }

    // A line sent past the engine, as the terminal does, and time for the answer to arrive.
    void SendUnasked(const QByteArray &line)
    {
        const int before = static_cast<int>(sim->ReceivedLines().size());
        ASSERT_TRUE(link->SendLine(line));
        ASSERT_TRUE(sim->WaitForReceivedLines(before + 1, 1000));
        TickClock::SleepMs(30);
    }

    TempSettings temp;
    ScriptedDialogs dialogs;
    NoCameraLinkTransport noCameraLink;
    RecordingLog txLog;
    RecordingLog rxLog;
    RecordingEvents events;
    CommandTable table;
    std::unique_ptr<CameraSimulator> sim;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<ComPort> comPort;
    std::unique_ptr<SerialLink> link;
    std::unique_ptr<Command> command;
};
