#pragma once

#include "cli/CliOptions.h"
#include "core/session/CameraSession.h"

#include <optional>
#include <span>

class CliReport;

// A subcommand: a check of its arguments that needs no camera (nothing goes over the wire
// before it passes), and the run on a session whose camera has been found, which writes its
// result to the report and tells how it ended.
// A command that does not find the camera first (the station, which waits for one camera after
// another) runs on a session without a link and prints its results itself.
struct CliCommand {
    const char *name;
    ExitStatus (*check)(CameraSession &session, const CliOptions &options); // Done when usable
    ExitStatus (*run)(CameraSession &session, const CliOptions &options, CliReport &report);
    bool findsCamera = true;
    // For these options the command reads files alone: no link is made, and its report is
    // printed as for a command on a camera.
    bool (*filesOnly)(const CliOptions &options) = nullptr;
};

std::span<const CliCommand> CliCommands();
const CliCommand *FindCliCommand(const QString &name);

ExitStatus CheckIdentify(CameraSession &session, const CliOptions &options);
ExitStatus CheckGet(CameraSession &session, const CliOptions &options);
ExitStatus CheckSet(CameraSession &session, const CliOptions &options);
ExitStatus CheckSave(CameraSession &session, const CliOptions &options);
ExitStatus CheckSettingFileToRead(CameraSession &session, const CliOptions &options); // load, diff, verify
ExitStatus CheckDiff(CameraSession &session, const CliOptions &options); // FILE, or FILE_A FILE_B
ExitStatus CheckFileCheck(CameraSession &session, const CliOptions &options);
ExitStatus CheckStoreArea(CameraSession &session, const CliOptions &options);
ExitStatus CheckLoadArea(CameraSession &session, const CliOptions &options);
ExitStatus CheckSend(CameraSession &session, const CliOptions &options);
ExitStatus CheckTableCommand(CameraSession &session, const CliOptions &options); // shading, lut
ExitStatus CheckCalibrate(CameraSession &session, const CliOptions &options);
ExitStatus CheckStation(CameraSession &session, const CliOptions &options);
ExitStatus CheckWatch(CameraSession &session, const CliOptions &options);
ExitStatus CheckSetUserId(CameraSession &session, const CliOptions &options);
ExitStatus CheckSetCameraId(CameraSession &session, const CliOptions &options);
ExitStatus CheckCounterReset(CameraSession &session, const CliOptions &options);
ExitStatus RunIdentify(CameraSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunGet(CameraSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunSet(CameraSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunDump(CameraSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunSave(CameraSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunLoad(CameraSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunDiff(CameraSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunVerify(CameraSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunFileCheck(CameraSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunFileDiff(CameraSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunStoreArea(CameraSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunLoadArea(CameraSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunSend(CameraSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunShading(CameraSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunLut(CameraSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunCalibrate(CameraSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunStation(CameraSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunWatch(CameraSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunSetUserId(CameraSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunSetCameraId(CameraSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunCounterReset(CameraSession &session, const CliOptions &options, CliReport &report);

// diff with two files: they are compared with each other, without a camera.
bool IsFileDiff(const CliOptions &options);

// A flash area to store into: 1..3, or 0 (factory) in extended mode only; a usage error else.
ExitStatus CheckAreaToStore(CameraSession &session, std::optional<int> area);
// Stores the current settings in the area (40,000 ms), with a progress bar.
bool StoreInArea(Command &command, int area);


// Usage errors found before anything is sent.
ExitStatus UsageError(const QString &message);
// A file that cannot be read or written, or would be replaced without --force.
ExitStatus FileError(const QString &path, const QString &what);
