#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>

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

class QnctlRig {
public:
    // With a link path, qnctl opens that link to the camera's line (a by-id style name), so
    // the camera can be unplugged and plugged back.
    explicit QnctlRig(int cameraBaud = 115200, const QString &linkPath = {})
        : linkPath_(linkPath), simulator_(optionsAt(cameraBaud, linkPath))
    {
        simulator_.Start();
    }

    CameraSimulator &Simulator() { return simulator_; }
    const TempSettings &Settings() const { return settings_; }

    // The link options of every run: this rig's preference file and the camera's device.
    QStringList LinkArguments() const
    {
        const QString device = linkPath_.isEmpty() ? simulator_.SlavePath() : linkPath_;
        return {QStringLiteral("--settings"), settings_.Path(), QStringLiteral("--port"), device};
    }

    QnctlRun Run(const QStringList &arguments, int timeoutMs = 120000) const
    {
        return RunAsGiven(LinkArguments() + arguments, timeoutMs);
    }
    // Without this rig's link options.
    QnctlRun RunAsGiven(const QStringList &arguments, int timeoutMs = 120000) const;

private:
    static SimulatorOptions optionsAt(int baud, const QString &linkPath)
    {
        SimulatorOptions options;
        options.baud = baud;
        options.linkPath = linkPath;
        options.processingUs = 0; // the camera answers at once: the runs measure the tool
        return options;
    }

    TempSettings settings_;
    QString linkPath_;
    CameraSimulator simulator_;
};
