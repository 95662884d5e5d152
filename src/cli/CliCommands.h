#pragma once

#include "cli/CliSession.h"

#include <optional>
#include <span>

class CliReport;
struct CliOptions;

// A subcommand: a check of its arguments that needs no camera (nothing goes over the wire
// before it passes), and the run on a session whose camera has been found, which writes its
// result to the report and tells how it ended.
// A command that does not find the camera first (the station, which waits for one camera after
// another) runs on a session without a link and prints its results itself.
struct CliCommand {
    const char *name;
    ExitStatus (*check)(CliSession &session, const CliOptions &options); // Done when usable
    ExitStatus (*run)(CliSession &session, const CliOptions &options, CliReport &report);
    bool findsCamera = true;
    // For these options the command reads files alone: no link is made, and its report is
    // printed as for a command on a camera.
    bool (*filesOnly)(const CliOptions &options) = nullptr;
};

std::span<const CliCommand> CliCommands();
const CliCommand *FindCliCommand(const QString &name);

ExitStatus CheckIdentify(CliSession &session, const CliOptions &options);
ExitStatus CheckGet(CliSession &session, const CliOptions &options);
ExitStatus CheckSet(CliSession &session, const CliOptions &options);
ExitStatus CheckSave(CliSession &session, const CliOptions &options);
ExitStatus CheckSettingFileToRead(CliSession &session, const CliOptions &options); // load, diff, verify
ExitStatus CheckDiff(CliSession &session, const CliOptions &options); // FILE, or FILE_A FILE_B
ExitStatus CheckFileCheck(CliSession &session, const CliOptions &options);
ExitStatus CheckStoreArea(CliSession &session, const CliOptions &options);
ExitStatus CheckLoadArea(CliSession &session, const CliOptions &options);
ExitStatus CheckSend(CliSession &session, const CliOptions &options);
ExitStatus CheckTableCommand(CliSession &session, const CliOptions &options); // shading, lut
ExitStatus CheckStation(CliSession &session, const CliOptions &options);
ExitStatus CheckWatch(CliSession &session, const CliOptions &options);
ExitStatus RunIdentify(CliSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunGet(CliSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunSet(CliSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunDump(CliSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunSave(CliSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunLoad(CliSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunDiff(CliSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunVerify(CliSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunFileCheck(CliSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunFileDiff(CliSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunStoreArea(CliSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunLoadArea(CliSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunSend(CliSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunShading(CliSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunLut(CliSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunStation(CliSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunWatch(CliSession &session, const CliOptions &options, CliReport &report);

// diff with two files: they are compared with each other, without a camera.
bool IsFileDiff(const CliOptions &options);

// A flash area to store into: 1..3, or 0 (factory) in extended mode only; a usage error else.
ExitStatus CheckAreaToStore(CliSession &session, std::optional<int> area);
// Stores the current settings in the area (40,000 ms), with a progress bar.
bool StoreInArea(Command &command, int area);


// Usage errors found before anything is sent.
ExitStatus UsageError(const QString &message);
// A file that cannot be read or written, or would be replaced without --force.
ExitStatus FileError(const QString &path, const QString &what);
