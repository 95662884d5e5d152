#include <cstdio>

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonValue>

#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "cli/CliReport.h"
#include "cli/ConsoleProgress.h"
#include "core/common/TextFiles.h"
#include "core/formats/SettingFile.h"
#include "core/operations/IdentifyModel.h"
#include "core/operations/SettingFileDiff.h"
#include "core/operations/SettingFileLint.h"
#include "core/operations/SettingFileLoad.h"
#include "core/operations/SettingFileSave.h"
#include "core/protocol/CameraModel.h"

namespace {

QString differenceTable(const SettingFileDiff &diff)
{
    QList<QStringList> rows{{QStringLiteral("NAME"), QStringLiteral("MNEMONIC"), QStringLiteral("CAMERA"),
                             QStringLiteral("FILE")}};
    for (const ParameterDifference &difference : diff.differences)
        rows.append({difference.name, difference.mnemonic, difference.cameraValue, difference.fileValue});
    return AlignedColumns(rows);
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

// FILE... [--model NAME] [--extended]. The extended mode is the one given on the command line
// (--extended or --mode extended), never the stored one: a check gives the same answer anywhere.
struct FileCheckArguments {
    QStringList files;
    QString model;
    bool extended = false;
    bool modelOrMode = false; // --model or --extended given
    QString error;
};

FileCheckArguments parseFileCheckArguments(const CliOptions &options)
{
    FileCheckArguments parsed;
    parsed.extended = options.controlMode == 1;
    const QStringList &arguments = options.arguments;
    for (int index = 0; index < arguments.size() && parsed.error.isEmpty(); ++index) {
        if (arguments[index] == QLatin1String("--extended")) {
            parsed.extended = parsed.modelOrMode = true;
        } else if (IsOption(arguments[index], QStringLiteral("--model"))) {
            TakeOptionValue(arguments, index, QStringLiteral("--model"), parsed.model, parsed.error);
            parsed.modelOrMode = true;
        } else {
            parsed.files.append(arguments[index]);
        }
    }
    return parsed;
}

ExitStatus checkFiles(const FileCheckArguments &parsed, qsizetype count, const QString &usage)
{
    if (!parsed.error.isEmpty())
        return UsageError(parsed.error);
    if (parsed.files.size() != count)
        return UsageError(usage);
    if (!SettingFileModelName({}, parsed.model)) {
        return UsageError(QStringLiteral("--model %1: give one of %2")
                              .arg(parsed.model, CameraModel::SupportedNames().join(QStringLiteral(", "))));
    }
    for (const QString &file : parsed.files) {
        QByteArray bytes;
        if (!ReadFileBytes(file, bytes))
            return FileError(file, QStringLiteral("could not be read"));
    }
    return ExitStatus::Done;
}

// The files' bytes and the model they are read for; unreadable names the file that could not
// be read (since the check of the arguments, it has gone).
struct ReadFiles {
    QList<QByteArray> bytes;
    QString model;
    QString unreadable;
};

ReadFiles readFiles(const FileCheckArguments &parsed)
{
    ReadFiles read;
    for (const QString &file : parsed.files) {
        QByteArray bytes;
        if (!ReadFileBytes(file, bytes)) {
            read.unreadable = file;
            return read;
        }
        read.bytes.append(bytes);
    }
    bool guessed = false;
    read.model = *SettingFileModelName(read.bytes, parsed.model, &guessed);
    // A file without a model line fits either model: which one it is read for is said.
    if (guessed)
        std::fprintf(stderr, "qnctl: %s: no model line: read for the %s (--model names another)\n",
                     qPrintable(parsed.files.join(QStringLiteral(", "))), qPrintable(read.model));
    return read;
}

QJsonValue jsonValue(const std::optional<std::int32_t> &value)
{
    return value ? QJsonValue(*value) : QJsonValue();
}

QString textValue(const std::optional<std::int32_t> &value)
{
    return value ? QString::number(*value) : QStringLiteral("-");
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
    if (IsFileDiff(options))
        return RunFileDiff(session, options, report);
    return compareWithFile(session, options, report, true);
}

ExitStatus RunVerify(CameraSession &session, const CliOptions &options, CliReport &report)
{
    return compareWithFile(session, options, report, false);
}

// check and the two-file form of diff: setting files read without a camera, so that golden
// files can be checked where no camera is (a pre-commit hook, a build).

bool IsFileDiff(const CliOptions &options)
{
    return parseFileCheckArguments(options).files.size() == 2;
}

ExitStatus CheckFileCheck(CameraSession &, const CliOptions &options)
{
    return checkFiles(parseFileCheckArguments(options), 1, QStringLiteral("check: give one FILE"));
}

ExitStatus CheckDiff(CameraSession &session, const CliOptions &options)
{
    const FileCheckArguments parsed = parseFileCheckArguments(options);
    if (parsed.files.size() == 1 && !parsed.modelOrMode)
        return CheckSettingFileToRead(session, options);
    return checkFiles(parsed, 2, QStringLiteral("diff: give FILE (against the camera) or FILE_A FILE_B"));
}

ExitStatus RunFileCheck(CameraSession &, const CliOptions &options, CliReport &report)
{
    const FileCheckArguments parsed = parseFileCheckArguments(options);
    const ReadFiles read = readFiles(parsed);
    if (!read.unreadable.isEmpty())
        return FileError(read.unreadable, QStringLiteral("could not be read"));
    const QString &path = parsed.files.front();
    const SettingFileLint lint = LintSettingFile(read.bytes.front(), read.model, parsed.extended);
    QJsonArray problems;
    for (const SettingLineProblem &problem : lint.problems) {
        const QString kind = SettingProblemKindName(problem.kind);
        problems.append(QJsonObject{{QStringLiteral("line"), problem.lineNumber},
                                    {QStringLiteral("kind"), kind},
                                    {QStringLiteral("text"), problem.text},
                                    {QStringLiteral("detail"), problem.detail}});
        report.Line(QStringLiteral("%1:%2: %3: %4 (%5)").arg(path).arg(problem.lineNumber).arg(kind, problem.text,
                                                                                          problem.detail));
    }
    report.Json().insert(QStringLiteral("file"), path);
    report.Json().insert(QStringLiteral("model"), lint.model);
    report.Json().insert(QStringLiteral("problems"), problems);
    if (lint.problems.empty())
        return ExitStatus::Done;
    report.SetReason(QStringLiteral("%1: %2 lines would not be taken").arg(path).arg(lint.problems.size()));
    return ExitStatus::Differs;
}

ExitStatus RunFileDiff(CameraSession &, const CliOptions &options, CliReport &report)
{
    const FileCheckArguments parsed = parseFileCheckArguments(options);
    const ReadFiles read = readFiles(parsed);
    if (!read.unreadable.isEmpty())
        return FileError(read.unreadable, QStringLiteral("could not be read"));
    const SettingFilePairDiff diff = DiffSettingFiles(read.bytes[0], read.bytes[1], read.model, parsed.extended);
    QJsonArray differences;
    QList<QStringList> rows{{QStringLiteral("NAME"), QStringLiteral("MNEMONIC"), QStringLiteral("A"),
                             QStringLiteral("B")}};
    for (const FilePairDifference &difference : diff.differences) {
        differences.append(QJsonObject{{QStringLiteral("name"), difference.name},
                                       {QStringLiteral("mnemonic"), difference.mnemonic},
                                       {QStringLiteral("a"), jsonValue(difference.a)},
                                       {QStringLiteral("b"), jsonValue(difference.b)}});
        rows.append({difference.name, difference.mnemonic, textValue(difference.a), textValue(difference.b)});
    }
    report.Json().insert(QStringLiteral("a"), parsed.files[0]);
    report.Json().insert(QStringLiteral("b"), parsed.files[1]);
    report.Json().insert(QStringLiteral("model"), diff.model);
    report.Json().insert(QStringLiteral("differences"), differences);
    if (diff.differences.empty())
        return ExitStatus::Done;
    report.Line(AlignedColumns(rows));
    report.SetReason(QStringLiteral("%1 parameters differ").arg(diff.differences.size()));
    return ExitStatus::Differs;
}
