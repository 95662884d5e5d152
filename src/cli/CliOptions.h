#pragma once

#include <QString>
#include <QStringList>

#include "core/session/SessionOptions.h"

// What the command line asks for: how to reach the camera (the session's options), how to
// answer, and one subcommand with its arguments. Parsing is pure; nothing is opened here.
struct CliOptions : SessionOptions {
    bool json = false;
    int waitMs = 500;          // send: how long to collect answers (--wait after the command)

    QString command;           // subcommand; empty with --help or --version
    QStringList arguments;
    bool help = false;         // --help, for the subcommand when one is given
    bool version = false;
};

struct CliParse {
    CliOptions options;
    QString error; // empty when the command line is usable
};

CliParse ParseCommandLine(const QStringList &arguments); // without the program name

// Usage texts: the program's, or one subcommand's (empty for an unknown subcommand).
QString ProgramUsage();
QString CommandUsage(const QString &command);
bool IsKnownCommand(const QString &command);
