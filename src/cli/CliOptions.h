#pragma once

#include <optional>

#include <QString>
#include <QStringList>

// What the command line asks for: how to reach the camera, how to answer, and one
// subcommand with its arguments. Parsing is pure; nothing is opened here.
struct CliOptions {
    // Link choice. A COM name goes through the [Ports] mapping; a path opens that device.
    QString port;              // "COM3" or "/dev/ttyUSB0"; empty: the stored choice
    int cameraLinkKind = 0;    // 1..3 with --camera-link, else 0
    int cameraLinkIndex = 0;
    std::optional<int> fixedBaud; // --rate 9600 ...: no search; empty: --rate auto
    std::optional<int> controlMode; // --mode standard (0) | extended (1); empty: stored
    QString settingsPath;      // --settings FILE; empty: the tool's preference file
    bool savePreferences = false;
    bool json = false;
    bool fast = false;
    bool force = false;
    int waitMs = 500;          // send: how long to collect answers (--wait after the command)
    std::optional<int> deviceWaitSeconds; // --wait before the command: wait for the camera

    QString command;           // subcommand; empty with --help or --version
    QStringList arguments;
    bool help = false;         // --help, for the subcommand when one is given
    bool version = false;
};

struct CliParse {
    CliOptions options;
    QString error; // empty when the command line is usable
};

// The link rates the camera knows.
bool IsLinkRate(int baud);
// Whether a --port value names its device itself (a path or a network address) rather than
// a COM name of the [Ports] mapping.
bool IsDirectDevice(const QString &port);

// Whether the argument is the option, as "--name" or "--name=VALUE".
bool IsOption(const QString &argument, const QString &name);
// Takes the value of an option given as "--name VALUE" or "--name=VALUE"; false with the error
// when the value is missing.
bool TakeOptionValue(const QStringList &arguments, int &index, const QString &name, QString &value, QString &error);

CliParse ParseCommandLine(const QStringList &arguments); // without the program name

// Usage texts: the program's, or one subcommand's (empty for an unknown subcommand).
QString ProgramUsage();
QString CommandUsage(const QString &command);
bool IsKnownCommand(const QString &command);
