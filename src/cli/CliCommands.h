#pragma once

#include "cli/CliSession.h"

class CliReport;
struct CliOptions;

#include <span>

// A subcommand: a check of its arguments that needs no camera (nothing goes over the wire
// before it passes), and the run on a session whose camera has been found, which writes its
// result to the report and tells how it ended.
struct CliCommand {
    const char *name;
    ExitStatus (*check)(CliSession &session, const CliOptions &options); // Done when usable
    ExitStatus (*run)(CliSession &session, const CliOptions &options, CliReport &report);
};

std::span<const CliCommand> CliCommands();
const CliCommand *FindCliCommand(const QString &name);

ExitStatus CheckIdentify(CliSession &session, const CliOptions &options);
ExitStatus CheckGet(CliSession &session, const CliOptions &options);
ExitStatus CheckSet(CliSession &session, const CliOptions &options);
ExitStatus CheckSave(CliSession &session, const CliOptions &options);
ExitStatus CheckLoad(CliSession &session, const CliOptions &options);
ExitStatus CheckStoreArea(CliSession &session, const CliOptions &options);
ExitStatus CheckLoadArea(CliSession &session, const CliOptions &options);
ExitStatus CheckSend(CliSession &session, const CliOptions &options);
ExitStatus CheckTableCommand(CliSession &session, const CliOptions &options); // shading, lut
ExitStatus RunIdentify(CliSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunGet(CliSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunSet(CliSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunDump(CliSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunSave(CliSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunLoad(CliSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunStoreArea(CliSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunLoadArea(CliSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunSend(CliSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunShading(CliSession &session, const CliOptions &options, CliReport &report);
ExitStatus RunLut(CliSession &session, const CliOptions &options, CliReport &report);

// The outcome of the engine's last exchange as an exit status.
ExitStatus StatusOfLastExchange(const Command &command);

// Usage errors found before anything is sent.
ExitStatus UsageError(const QString &message);
// A file that cannot be read or written, or would be replaced without --force.
ExitStatus FileError(const QString &path, const QString &what);
