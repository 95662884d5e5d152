#include "cli/CliCommands.h"

#include <cstdio>

namespace {

constexpr CliCommand kCommands[] = {
    {"identify", CheckIdentify, RunIdentify},       {"get", CheckGet, RunGet},
    {"set", CheckSet, RunSet},                      {"dump", CheckIdentify, RunDump},
    {"save", CheckSave, RunSave},                   {"load", CheckSettingFileToRead, RunLoad},
    {"diff", CheckDiff, RunDiff, true, IsFileDiff}, {"verify", CheckSettingFileToRead, RunVerify},
    {"check", CheckFileCheck, RunFileCheck, true, [](const CliOptions &) { return true; }},
    {"store-area", CheckStoreArea, RunStoreArea},   {"load-area", CheckLoadArea, RunLoadArea},
    {"send", CheckSend, RunSend},                   {"calibrate", CheckCalibrate, RunCalibrate},
    {"counter-reset", CheckCounterReset, RunCounterReset},
    {"set-user-id", CheckSetUserId, RunSetUserId},  {"set-camera-id", CheckSetCameraId, RunSetCameraId},
    {"shading", CheckTableCommand, RunShading},     {"lut", CheckTableCommand, RunLut},
    {"station", CheckStation, RunStation, false},
    {"watch", CheckWatch, RunWatch, false},
};

} // namespace

std::span<const CliCommand> CliCommands()
{
    return kCommands;
}

const CliCommand *FindCliCommand(const QString &name)
{
    for (const CliCommand &command : kCommands) {
        if (name == QLatin1String(command.name))
            return &command;
    }
    return nullptr;
}

ExitStatus UsageError(const QString &message)
{
    std::fprintf(stderr, "qnctl: %s\n", qPrintable(message));
    return ExitStatus::Usage;
}

ExitStatus FileError(const QString &path, const QString &what)
{
    std::fprintf(stderr, "qnctl: %s: %s\n", qPrintable(path), qPrintable(what));
    return ExitStatus::FileError;
}

ExitStatus CheckIdentify(CameraSession &, const CliOptions &options)
{
    if (!options.arguments.isEmpty())
        return UsageError(QStringLiteral("%1 takes no arguments").arg(options.command));
    return ExitStatus::Done;
}
