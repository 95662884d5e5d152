#include <cstdio>

#include <QFileInfo>

#include "cli/CliCommands.h"
#include "cli/CliReport.h"
#include "cli/ConsoleProgress.h"
#include "core/common/TextFiles.h"
#include "core/formats/SettingFile.h"
#include "core/operations/IdentifyModel.h"
#include "core/operations/SettingFileLoad.h"
#include "core/operations/SettingFileSave.h"

ExitStatus CheckSave(CliSession &, const CliOptions &options)
{
    QStringList arguments = options.arguments;
    arguments.removeAll(QStringLiteral("--shipping"));
    if (arguments.size() != 1)
        return UsageError(QStringLiteral("save: give one FILE (and --shipping for the shipping data)"));
    if (QFileInfo::exists(arguments.front()) && !options.force)
        return FileError(arguments.front(), QStringLiteral("exists; --force replaces it"));
    return ExitStatus::Done;
}

ExitStatus RunSave(CliSession &session, const CliOptions &options, CliReport &report)
{
    QStringList arguments = options.arguments;
    const bool shipping = arguments.removeAll(QStringLiteral("--shipping")) > 0;
    const QString path = arguments.front();

    SettingFileSave save;
    {
        ConsoleProgress progress(QStringLiteral("Reading camera settings"));
        save = ReadSettingFile(session.controlTable(), session.command(), session.cameraModel(), session.commandTable(),
                               session.dialogs(), session.controlMode().Get(),
                               shipping ? SettingFileVariant::ShippingData : SettingFileVariant::AllData,
                               [&progress](int percent) { progress.Step(percent); });
    }
    if (!save.Complete()) {
        std::fprintf(stderr, "qnctl: %zu of %zu parameters were not read; nothing written\n", save.planned - save.read,
                     save.planned);
        return save.read == 0 ? ExitStatus::NoCamera : ExitStatus::Refused;
    }
    const QList<QByteArray> &lines = save.lines;
    if (!WriteLinesAtomically(path, lines))
        return FileError(path, QStringLiteral("could not be written"));
    report.Json().insert(QStringLiteral("file"), path);
    report.Json().insert(QStringLiteral("lines"), static_cast<int>(lines.size()));
    report.Line(QStringLiteral("%1: %2 lines written").arg(path).arg(lines.size()));
    return ExitStatus::Done;
}

ExitStatus CheckLoad(CliSession &, const CliOptions &options)
{
    if (options.arguments.size() != 1)
        return UsageError(QStringLiteral("load: give one FILE"));
    QByteArray bytes;
    if (!ReadFileBytes(options.arguments.front(), bytes))
        return FileError(options.arguments.front(), QStringLiteral("could not be read"));
    return ExitStatus::Done;
}

ExitStatus RunLoad(CliSession &session, const CliOptions &options, CliReport &report)
{
    const QString path = options.arguments.front();
    QByteArray bytes;
    if (!ReadFileBytes(path, bytes))
        return FileError(path, QStringLiteral("could not be read"));
    const QList<QByteArray> pieces = SettingFilePieces(bytes);
    int refused = 0;
    {
        ConsoleProgress progress(QStringLiteral("Loading camera setting file"));
        const SettingLoadHooks hooks{[&progress](int percent) { progress.Step(percent); }, {},
                                     [&session] {
                                         IdentifyModel(session.command(), session.cameraModel(), session.dialogs());
                                     }};
        refused = LoadSettingPieces(pieces, session.command(), session.commandTable(), session.controlTable(),
                                    session.cameraModel(), session.IsExtended(), hooks);
    }
    report.Json().insert(QStringLiteral("file"), path);
    report.Json().insert(QStringLiteral("refused"), refused);
    report.Line(QStringLiteral("%1: loaded, %2 lines not taken by the camera").arg(path).arg(refused));
    if (refused == 0)
        return ExitStatus::Done;
    return StatusOfLastExchange(session.command()) == ExitStatus::NoCamera ? ExitStatus::NoCamera : ExitStatus::Refused;
}
