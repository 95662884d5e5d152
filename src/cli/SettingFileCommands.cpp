#include <algorithm>
#include <cstdio>

#include <QFileInfo>
#include <QJsonArray>

#include "cli/CliCommands.h"
#include "cli/CliReport.h"
#include "cli/ConsoleProgress.h"
#include "core/common/TextFiles.h"
#include "core/formats/SettingFile.h"
#include "core/operations/IdentifyModel.h"
#include "core/operations/SettingFileDiff.h"
#include "core/operations/SettingFileLoad.h"
#include "core/operations/SettingFileSave.h"

namespace {

QString differenceTable(const SettingFileDiff &diff)
{
    QStringList names{QStringLiteral("NAME")};
    QStringList mnemonics{QStringLiteral("MNEMONIC")};
    QStringList cameras{QStringLiteral("CAMERA")};
    QStringList files{QStringLiteral("FILE")};
    for (const ParameterDifference &difference : diff.differences) {
        names.append(difference.name);
        mnemonics.append(difference.mnemonic);
        cameras.append(difference.cameraValue);
        files.append(difference.fileValue);
    }
    const auto widest = [](const QStringList &column) {
        qsizetype width = 0;
        for (const QString &text : column)
            width = std::max(width, text.size());
        return width;
    };
    const qsizetype nameWidth = widest(names);
    const qsizetype mnemonicWidth = widest(mnemonics);
    const qsizetype cameraWidth = widest(cameras);
    QStringList lines;
    for (qsizetype i = 0; i < names.size(); ++i) {
        lines.append(QStringLiteral("%1  %2  %3  %4")
                         .arg(names[i].leftJustified(nameWidth), mnemonics[i].leftJustified(mnemonicWidth),
                              cameras[i].leftJustified(cameraWidth), files[i]));
    }
    return lines.join(QLatin1Char('\n'));
}

void reportDifferences(const SettingFileDiff &diff, CliReport &report)
{
    QJsonArray differences;
    for (const ParameterDifference &difference : diff.differences) {
        differences.append(QJsonObject{{QStringLiteral("name"), difference.name},
                                       {QStringLiteral("mnemonic"), difference.mnemonic},
                                       {QStringLiteral("camera"), difference.cameraValue},
                                       {QStringLiteral("file"), difference.fileValue}});
    }
    QJsonArray unreadable;
    for (const UnreadableLine &line : diff.unreadable)
        unreadable.append(QJsonObject{{QStringLiteral("line"), line.lineNumber}, {QStringLiteral("text"), line.text}});
    report.Json().insert(QStringLiteral("differences"), differences);
    report.Json().insert(QStringLiteral("unreadable"), unreadable);
    if (!diff.differences.empty())
        report.Line(differenceTable(diff));
    for (const UnreadableLine &line : diff.unreadable)
        report.Line(UnreadableLineText(line));
}

// diff and verify: the same read and the same status, with or without the listing.
ExitStatus compareWithFile(CameraSession &session, const CliOptions &options, CliReport &report, bool listing)
{
    const QString path = options.arguments.front();
    SettingFileDiff diff;
    {
        ConsoleProgress progress(QStringLiteral("Reading camera settings"));
        diff = DiffSettingFile(session.command(), session.commandTable(), session.controlTable(), session.cameraModel(),
                               session.IsExtended(), path, [&progress](int percent) { progress.Step(percent); });
    }
    if (!diff.fileRead) {
        report.SetReason(path + QStringLiteral(": ") + diff.fileError);
        return FileError(path, diff.fileError);
    }
    report.Json().insert(QStringLiteral("file"), path);
    report.Json().insert(QStringLiteral("compared"), static_cast<qint64>(diff.compared));
    if (listing)
        reportDifferences(diff, report);
    else
        report.Json().insert(QStringLiteral("same"), diff.IsSame());
    if (diff.ChecksNothing()) {
        report.SetReason(path + QStringLiteral(": ")
                         + NothingVerifiedText(session.cameraModel(), session.IsExtended()));
        std::fprintf(stderr, "qnctl: %s\n", qPrintable(report.Reason()));
        return ExitStatus::NothingVerified;
    }
    // A camera gone during the read leaves its parameters "not read": that is no difference.
    if (StatusOfLastExchange(session.command()) == ExitStatus::NoCamera)
        return ExitStatus::NoCamera;
    return diff.IsSame() ? ExitStatus::Done : ExitStatus::Differs;
}

} // namespace

ExitStatus CheckSave(CameraSession &, const CliOptions &options)
{
    QStringList arguments = options.arguments;
    arguments.removeAll(QStringLiteral("--shipping"));
    if (arguments.size() != 1)
        return UsageError(QStringLiteral("save: give one FILE (and --shipping for the shipping data)"));
    if (QFileInfo::exists(arguments.front()) && !options.force)
        return FileError(arguments.front(), QStringLiteral("exists; --force replaces it"));
    return ExitStatus::Done;
}

ExitStatus RunSave(CameraSession &session, const CliOptions &options, CliReport &report)
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

ExitStatus CheckSettingFileToRead(CameraSession &, const CliOptions &options)
{
    if (options.arguments.size() != 1)
        return UsageError(QStringLiteral("%1: give one FILE").arg(options.command));
    QByteArray bytes;
    if (!ReadFileBytes(options.arguments.front(), bytes))
        return FileError(options.arguments.front(), QStringLiteral("could not be read"));
    return ExitStatus::Done;
}

ExitStatus RunLoad(CameraSession &session, const CliOptions &options, CliReport &report)
{
    const QString path = options.arguments.front();
    QByteArray bytes;
    if (!ReadFileBytes(path, bytes))
        return FileError(path, QStringLiteral("could not be read"));
    const QList<QByteArray> pieces = SettingFilePieces(bytes);
    int refused = 0;
    {
        ConsoleProgress progress(QStringLiteral("Loading camera setting file"));
        const SettingLoadHooks hooks{[&progress](int percent) { progress.Step(percent); },
                                     {},
                                     [&session] {
                                         IdentifyModel(session.command(), session.cameraModel(), session.dialogs());
                                     },
                                     {},
                                     [&path](int lineNumber, const QString &text) {
                                         std::fprintf(stderr, "qnctl: %s: %s\n", qPrintable(path),
                                                      qPrintable(MalformedLineNote(lineNumber, text)));
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

ExitStatus RunDiff(CameraSession &session, const CliOptions &options, CliReport &report)
{
    return compareWithFile(session, options, report, true);
}

ExitStatus RunVerify(CameraSession &session, const CliOptions &options, CliReport &report)
{
    return compareWithFile(session, options, report, false);
}
