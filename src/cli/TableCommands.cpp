#include <cstdio>

#include <QFileInfo>

#include "cli/CliCommands.h"
#include "cli/CliReport.h"
#include "cli/ConsoleProgress.h"
#include "core/common/Dialogs.h"
#include "core/common/TextFiles.h"
#include "core/formats/GammaFile.h"
#include "core/operations/LutExchange.h"
#include "core/operations/ShadingExchange.h"

namespace {

constexpr const char *kChannelNames[] = {"red", "green", "blue"};

enum class Action { Read, Write, Store, None };

Action actionOf(const CliOptions &options)
{
    const QString verb = options.arguments.value(0);
    if (verb == QLatin1String("read"))
        return Action::Read;
    if (verb == QLatin1String("write"))
        return Action::Write;
    if (verb == QLatin1String("store") && options.command == QLatin1String("shading"))
        return Action::Store;
    return Action::None;
}

// The exit status of a transfer that stopped at an entry, with the camera's silence told.
ExitStatus stoppedAt(const char *what, int entry, int total)
{
    std::fprintf(stderr, "qnctl: the camera stopped answering at %s %d of %d; the transfer has been stopped\n", what,
                 entry, total);
    return ExitStatus::NoCamera;
}

ExitStatus writeLines(const QString &path, const QList<QByteArray> &lines, CliReport &report)
{
    if (!WriteLinesAtomically(path, lines))
        return FileError(path, QStringLiteral("could not be written"));
    report.Json().insert(QStringLiteral("file"), path);
    report.Line(QStringLiteral("%1: %2 lines written").arg(path).arg(lines.size()));
    return ExitStatus::Done;
}

// Shading tables from a file: every one of the 1,024 value lines must be there, since the
// command line has no earlier tables to fill a short file's gaps.
ExitStatus readShadingFile(Dialogs &dialogs, const QString &path, ShadingTable &table)
{
    QByteArray bytes;
    if (!ReadFileBytes(path, bytes))
        return FileError(path, QStringLiteral("could not be read"));
    table = ShadingTable{};
    const ShadingFileRead read = ReadShadingFile(bytes, table);
    switch (read.outcome) {
    case ShadingFileRead::Outcome::InvalidCount:
        dialogs.Message(QStringLiteral("Invaild data count format"), QString(), MessageIcon::Stop);
        return ExitStatus::FileError;
    case ShadingFileRead::Outcome::TooMany:
        dialogs.Message(QStringLiteral("Too many data"), QString(), MessageIcon::Stop);
        break;
    case ShadingFileRead::Outcome::Complete:
        break;
    }
    if (read.linesTaken < kShadingValues)
        return FileError(path, QStringLiteral("holds %1 of %2 value lines; nothing sent").arg(read.linesTaken).arg(kShadingValues));
    return ExitStatus::Done;
}

ExitStatus readGammaFile(Dialogs &dialogs, const QString &path, GammaTables &tables)
{
    QByteArray bytes;
    if (!ReadFileBytes(path, bytes))
        return FileError(path, QStringLiteral("could not be read"));
    tables = GammaTables{};
    const GammaFileRead read = ReadGammaFile(bytes, tables);
    for (const QString &message : read.messages)
        dialogs.Message(message, QString(), MessageIcon::Stop);
    if (!read.accepted)
        return ExitStatus::FileError;
    if (read.storedLines < kLutEntries)
        return FileError(path, QStringLiteral("holds %1 of %2 table lines; nothing sent").arg(read.storedLines).arg(kLutEntries));
    return ExitStatus::Done;
}

} // namespace

ExitStatus CheckTableCommand(CameraSession &, const CliOptions &options)
{
    const Action action = actionOf(options);
    const bool isShading = options.command == QLatin1String("shading");
    const qsizetype wanted = action == Action::Store ? 1 : 2;
    if (action == Action::None || options.arguments.size() != wanted) {
        return UsageError(isShading ? QStringLiteral("shading: give read FILE, write FILE or store")
                                    : QStringLiteral("lut: give read FILE or write FILE"));
    }
    const QString path = options.arguments.value(1);
    if (action == Action::Read && QFileInfo::exists(path) && !options.force)
        return FileError(path, QStringLiteral("exists; --force replaces it"));
    if (action == Action::Write && !QFileInfo(path).isReadable())
        return FileError(path, QStringLiteral("could not be read"));
    return ExitStatus::Done;
}

ExitStatus RunShading(CameraSession &session, const CliOptions &options, CliReport &report)
{
    Command &command = session.command();
    const Action action = actionOf(options);
    const QString path = options.arguments.value(1);
    if (action == Action::Store)
        return StoreShadingTables(command) ? ExitStatus::Done : StatusOfLastExchange(command);

    // The tables are read from the file before the camera is asked anything.
    ShadingTable table{};
    if (action == Action::Write) {
        if (const ExitStatus status = readShadingFile(session.dialogs(), path, table); status != ExitStatus::Done)
            return status;
    }
    if (!ShadingModeOn(command, session.dialogs()))
        return command.LastOutcome() == Command::Outcome::NoAnswer ? ExitStatus::NoCamera : ExitStatus::Refused;
    int stopped = 0;
    {
        ConsoleProgress progress(action == Action::Read ? QStringLiteral("Reading shading data")
                                                        : QStringLiteral("Writing shading data"));
        stopped = ExchangeShading(command, table, action == Action::Read ? ShadingDirection::Read : ShadingDirection::Write,
                                  ShadingShape{}, [&progress](int done, int total) {
                                      progress.Step(done * 100 / total, QStringLiteral("(%1 / %2)").arg(done).arg(total));
                                  });
    }
    const int total = kShadingChannels * kShadingValues;
    if (stopped != 0)
        return stoppedAt("value", stopped, total);
    if (action == Action::Read)
        return writeLines(path, ShadingFileLines(table), report);
    if (!FinishShadingWrite(command))
        return StatusOfLastExchange(command);
    report.Json().insert(QStringLiteral("written"), total);
    report.Line(QStringLiteral("%1 shading values written").arg(total));
    return ExitStatus::Done;
}

ExitStatus RunLut(CameraSession &session, const CliOptions &options, CliReport &report)
{
    Command &command = session.command();
    const Action action = actionOf(options);
    const QString path = options.arguments.value(1);
    GammaTables tables{};
    if (action == Action::Write) {
        if (const ExitStatus status = readGammaFile(session.dialogs(), path, tables); status != ExitStatus::Done)
            return status;
    }
    for (int channel = 0; channel < 3; ++channel) {
        LutTable &table = tables[static_cast<std::size_t>(channel)];
        const QString title = QStringLiteral("%1 %2 table").arg(action == Action::Read ? QStringLiteral("Reading")
                                                                                        : QStringLiteral("Writing"),
                                                                QString::fromLatin1(kChannelNames[channel]));
        ConsoleProgress progress(title);
        const auto step = [&progress](int done) {
            progress.Step(done * 100 / kLutEntries, QStringLiteral("(%1 / %2)").arg(done).arg(kLutEntries));
        };
        if (action == Action::Read) {
            const int read = ReadLutEntries(command, channel, table, step);
            if (read < kLutEntries)
                return StatusOfLastExchange(command) == ExitStatus::NoCamera
                           ? stoppedAt("entry", read + 1, kLutEntries)
                           : ExitStatus::Refused;
        } else if (const int stopped = WriteLutEntries(command, channel, table, step); stopped != 0) {
            return stoppedAt("entry", stopped, kLutEntries);
        }
    }
    if (action == Action::Read)
        return writeLines(path, GammaFileLines(tables), report);
    report.Json().insert(QStringLiteral("written"), 3 * kLutEntries);
    report.Line(QStringLiteral("%1 table entries written").arg(3 * kLutEntries));
    return ExitStatus::Done;
}
