#pragma once

#include <array>
#include <memory>
#include <ostream>

#include <QApplication>
#include <QByteArray>
#include <QComboBox>
#include <QStringList>

#include <gtest/gtest.h>

#include "CameraSimulator.h"
#include "TestApplication.h"
#include "core/common/LineLog.h"
#include "core/protocol/Command.h"
#include "core/protocol/CommandEvents.h"
#include "core/protocol/CommandIds.h"
#include "core/protocol/CommandTable.h"
#include "core/settings/ControlModeSetting.h"
#include "core/settings/SettingsStore.h"
#include "core/transport/CameraLinkTransport.h"
#include "core/transport/ComPort.h"
#include "core/transport/SerialLink.h"
#include "gui/common/OnlineStatus.h"
#include "gui/common/WindowList.h"
#include "gui/operations/OperationGuard.h"
#include "gui/operations/ProgressWindow.h"
#include "gui/tools/CommunicationDialog.h"
#include "gui/tools/CommunicationHost.h"
#include "gui/tools/TerminalDialog.h"
#include "support/ScriptedDialogs.h"
#include "support/TempSettings.h"

inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

// The main window's side of the communication window: identification is a real "MD" query,
// so the negotiation can be watched on the wire; the rest only counts.
class FakeCommunicationHost final : public CommunicationHost {
public:
    explicit FakeCommunicationHost(Command &command) : command_(command) {}
    bool IdentifyModel() override
    {
        ++identifyCalls;
        QString model;
        return command_.QueryString(CommandId::MD, model, 1000);
    }
    void ReloadAllSettings() override { ++reloadCalls; }
    void SaveAllDataAs() override { ++saveCalls; }
    void OpenSettingFile() override { ++openCalls; }

    int identifyCalls = 0;
    int reloadCalls = 0;
    int saveCalls = 0;
    int openCalls = 0;

private:
    Command &command_;
};

// A Camera Link port that takes whatever is written, so tests see the exact bytes.
class RecordingCameraLink final : public CameraLinkTransport {
public:
    int PortCount() override { return 1; }
    QString PortName(int index) const override { return index == 0 ? QStringLiteral("grabber 0") : QString(); }
    bool SelectPort(int index) override { return index == 0; }
    bool SetBaud(int) override { return true; }
    void Close() override {}
    bool Write(const char *bytes, int count, std::uint32_t) override
    {
        written.append(bytes, count);
        return true;
    }
    int Read(char *, int, std::uint32_t) override { return 0; }
    QByteArray written;
};

class OnlineEvents final : public CommandEvents {
public:
    explicit OnlineEvents(OnlineStatus &status) : status_(status) {}
    void WaitCursor(bool) override {}
    void SetOnline(bool online) override { status_.SetOnline(online); }

private:
    OnlineStatus &status_;
};

// The objects the two tool windows are built on, in the application's order: settings first,
// a simulated camera behind COM1. The windows themselves are made by the tests.
struct AuxWindowRig {
    struct Options {
        int cameraBaud = 115200;
        bool previousEndNormal = true;
        int storedKind = 0;
        int controlMode = 0;
        bool cameraAnswers = true;
    };

    explicit AuxWindowRig(const Options &options)
    {
        SimulatorOptions simOptions;
        simOptions.baud = options.cameraBaud;
        simulator = std::make_unique<CameraSimulator>(simOptions);
        started = simulator->Start();
        if (!options.cameraAnswers)
            simulator->StopAnswering();
        const QByteArray ini = "[General]\nPrevious%20Application%20Shutdown%20Status=" +
                               QByteArray::number(options.previousEndNormal ? 1 : 0) +
                               "\nCommunication%20Mode=" + QByteArray::number(options.storedKind) +
                               "\nControl%20Mode=" + QByteArray::number(options.controlMode) +
                               "\nCommand%20Log%20File%20Path=" + temp.Folder().toLocal8Bit() +
                         "\n[Ports]\nCOM1=" + simulator->SlavePath().toLocal8Bit() + "\n";
        temp.WriteRaw(ini);
        settings = std::make_unique<SettingsStore>(temp.Path());
        controlMode = std::make_unique<ControlModeSetting>(*settings);
        comPort = std::make_unique<ComPort>(*settings, dialogs);
        link = std::make_unique<SerialLink>(
            *settings, *comPort, std::array<CameraLinkTransport *, 3>{&recordingCameraLink, &noCameraLink, &noCameraLink},
            txLog);
        command = std::make_unique<Command>(table, *link, dialogs, rxLog, events);
        host = std::make_unique<FakeCommunicationHost>(*command);
    }

    ~AuxWindowRig()
    {
        terminal.reset();
        communication.reset();
        command.reset();
        if (link)
            link->Close();
    }

    CCommunicationDialog &MakeCommunication()
    {
        communication = std::make_unique<CCommunicationDialog>(CCommunicationDialog::Services{
            *link, *command, *settings, *controlMode, dialogs, onlineStatus, windowList, progress, *host, operations});
        txLog.Register(*communication);
        rxLog.Register(*communication);
        return *communication;
    }

    CTerminalDialog &MakeTerminal()
    {
        terminal = std::make_unique<CTerminalDialog>(
            CTerminalDialog::Services{*link, *settings, dialogs, onlineStatus, windowList, operations});
        txLog.Register(*terminal);
        rxLog.Register(*terminal);
        return *terminal;
    }

    QList<QByteArray> LinesStartingWith(const QByteArray &prefix) const
    {
        QList<QByteArray> lines;
        for (const QByteArray &line : simulator->ReceivedLines()) {
            if (line.startsWith(prefix))
                lines << line;
        }
        return lines;
    }

    // First member: every widget and pixmap below needs the application.
    QApplication &application = TestApplication();
    std::unique_ptr<CameraSimulator> simulator;
    bool started = false;
    TempSettings temp;
    ScriptedDialogs dialogs;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<ControlModeSetting> controlMode;
    OnlineStatus onlineStatus;
    WindowList windowList;
    CProgressBarDialog progress;
    OperationGuard operations;
    LineLogFanout txLog;
    LineLogFanout rxLog;
    OnlineEvents events{onlineStatus};
    CommandTable table;
    RecordingCameraLink recordingCameraLink; // kind 1
    NoCameraLinkTransport noCameraLink;      // kinds 2 and 3
    std::unique_ptr<ComPort> comPort;
    std::unique_ptr<SerialLink> link;
    std::unique_ptr<Command> command;
    std::unique_ptr<FakeCommunicationHost> host;
    std::unique_ptr<CCommunicationDialog> communication;
    std::unique_ptr<CTerminalDialog> terminal;
};

template <typename Widget>
Widget *ControlOf(const QWidget *found)
{
    return qobject_cast<Widget *>(const_cast<QWidget *>(found));
}
