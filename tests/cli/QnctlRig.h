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
    explicit QnctlRig(int cameraBaud = 115200) : simulator_(optionsAt(cameraBaud)) { simulator_.Start(); }

    CameraSimulator &Simulator() { return simulator_; }
    const TempSettings &Settings() const { return settings_; }

    // The link options of every run: this rig's preference file and the camera's device.
    QStringList LinkArguments() const
    {
        return {QStringLiteral("--settings"), settings_.Path(), QStringLiteral("--port"), simulator_.SlavePath()};
    }

    QnctlRun Run(const QStringList &arguments, int timeoutMs = 120000) const
    {
        return RunAsGiven(LinkArguments() + arguments, timeoutMs);
    }
    // Without this rig's link options.
    QnctlRun RunAsGiven(const QStringList &arguments, int timeoutMs = 120000) const;

private:
    static SimulatorOptions optionsAt(int baud)
    {
        SimulatorOptions options;
        options.baud = baud;
        options.processingUs = 0; // the camera answers at once: the runs measure the tool
        return options;
    }

    TempSettings settings_;
    CameraSimulator simulator_;
};
