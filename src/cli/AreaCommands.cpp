#include "cli/CliCommands.h"
#include "cli/CliReport.h"
#include "cli/ConsoleProgress.h"
#include "core/operations/FlashAreas.h"
#include "core/protocol/CommandTable.h"

namespace {

bool parseArea(const CliOptions &options, int &area)
{
    if (options.arguments.size() != 1)
        return false;
    bool ok = false;
    area = options.arguments.front().toInt(&ok);
    return ok && IsFlashArea(area);
}

} // namespace

ExitStatus CheckAreaToStore(CameraSession &session, std::optional<int> area)
{
    if (!area || !IsFlashArea(*area))
        return UsageError(QStringLiteral("store-area: give the area, 1 to 3 (0, the factory area, in extended mode)"));
    if (*area == kFactoryArea && !session.IsExtended())
        return UsageError(QStringLiteral("store-area 0: the factory area is stored in extended mode only"));
    return ExitStatus::Done;
}

bool StoreInArea(Command &command, int area)
{
    ConsoleProgress progress(QStringLiteral("Storing camera data"));
    return StoreFlashArea(command, area, kStoreAreaTimeoutMs);
}

ExitStatus CheckStoreArea(CameraSession &session, const CliOptions &options)
{
    int area = 0;
    return CheckAreaToStore(session, parseArea(options, area) ? std::optional<int>(area) : std::nullopt);
}

ExitStatus RunStoreArea(CameraSession &session, const CliOptions &options, CliReport &report)
{
    int area = 0;
    parseArea(options, area);
    if (!StoreInArea(session.command(), area))
        return StatusOfLastExchange(session.command());
    report.Json().insert(QStringLiteral("storedArea"), area);
    report.Line(QStringLiteral("Current settings stored in area %1").arg(area));
    return ExitStatus::Done;
}

ExitStatus CheckLoadArea(CameraSession &, const CliOptions &options)
{
    int area = 0;
    return parseArea(options, area) ? ExitStatus::Done : UsageError(QStringLiteral("load-area: give the area, 0 (factory) to 3"));
}

ExitStatus RunLoadArea(CameraSession &session, const CliOptions &options, CliReport &report)
{
    int area = 0;
    parseArea(options, area);
    if (!LoadFlashArea(session.command(), area, kLoadAreaTimeoutMs))
        return StatusOfLastExchange(session.command());
    report.Json().insert(QStringLiteral("loadedArea"), area);
    report.Line(QStringLiteral("Settings of area %1 loaded").arg(area));
    return ExitStatus::Done;
}
