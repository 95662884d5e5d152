#pragma once

#include <functional>
#include <memory>
#include <string>

#include <QByteArray>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include "CameraSimulator.h"
#include "support/TempSettings.h"

// Runs the qnctl program against a simulated camera on a pseudo-terminal, with a preference
// file of its own.
struct QnctlRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
    qint64 elapsedMs = 0;
};

// The status and both outputs, for a failed expectation's message.
inline std::string Describe(const QnctlRun &run)
{
    return "exit " + std::to_string(run.exitCode) + "\nout:\n" + run.out.toStdString() + "\nerr:\n" + run.err.toStdString();
}

// Skips the search: the simulator already talks at 115200 bit/s.
inline const QString kFixedRate = QStringLiteral("--rate=115200");

// A qnctl program that keeps running (the station): its output read while it runs, signals
// sent to it as a terminal would. A process still running at the end is killed.
class QnctlProcess {
public:
    // outputClosed: its standard output is a pipe whose reader has gone, as a tee ended with Ctrl-C.
    explicit QnctlProcess(const QStringList &arguments, bool outputClosed = false);
    ~QnctlProcess();
    QnctlProcess(const QnctlProcess &) = delete;
    QnctlProcess &operator=(const QnctlProcess &) = delete;

    // Waits until standard output holds this many whole lines; false on the time-out.
    bool WaitForLines(int count, int timeoutMs);
    // Waits until standard error holds the text (that many times); false on the time-out.
    bool WaitForError(const QByteArray &text, int timeoutMs, int times = 1);
    QList<QByteArray> Lines() const;
    const QByteArray &Error() const { return err_; }

    void Signal(int signal) const;
    pid_t Pid() const { return static_cast<pid_t>(process_.processId()); }
    // Waits for the end; the run's exit code is -1 when it did not end by itself.
    QnctlRun Finish(int timeoutMs);

private:
    bool waitFor(const std::function<bool()> &done, int timeoutMs);

    QProcess process_;
    QByteArray out_;
    QByteArray err_;
};

class QnctlRig {
public:
    // How qnctl reaches the camera: its pseudo-terminal, or a symbolic link that goes away when
    // the camera is unplugged and comes back when it is plugged in again, as a by-id name does.
    enum class Link { Terminal, PluggableLink };

    explicit QnctlRig(int cameraBaud = 115200, Link link = Link::Terminal)
        : simulator_(optionsAt(cameraBaud, link == Link::PluggableLink ? linkFolder_.filePath(QStringLiteral("camera"))
                                                                     : QString()))
    {
        simulator_.Start();
    }

    CameraSimulator &Simulator() { return simulator_; }
    const TempSettings &Settings() const { return settings_; }

    // The device qnctl opens: the link, or the pseudo-terminal.
    QString DevicePath() const { return linkPath_.isEmpty() ? simulator_.SlavePath() : linkPath_; }
    // The link options of every run: this rig's preference file and the camera's device.
    QStringList LinkArguments() const
    {
        return {QStringLiteral("--settings"), settings_.Path(), QStringLiteral("--port"), DevicePath()};
    }

    QnctlRun Run(const QStringList &arguments, int timeoutMs = 120000) const
    {
        return RunAsGiven(LinkArguments() + arguments, timeoutMs);
    }
    // Without this rig's link options.
    QnctlRun RunAsGiven(const QStringList &arguments, int timeoutMs = 120000) const;
    // Starts qnctl with this rig's link options and leaves it running.
    std::unique_ptr<QnctlProcess> Start(const QStringList &arguments, bool outputClosed = false) const
    {
        return std::make_unique<QnctlProcess>(LinkArguments() + arguments, outputClosed);
    }

private:
    SimulatorOptions optionsAt(int baud, const QString &linkPath)
    {
        linkPath_ = linkPath;
        SimulatorOptions options;
        options.baud = baud;
        options.processingUs = 0; // the camera answers at once: the runs measure the tool
        options.linkPath = linkPath;
        return options;
    }

    TempSettings settings_;
    QTemporaryDir linkFolder_;
    QString linkPath_;
    CameraSimulator simulator_;
};
