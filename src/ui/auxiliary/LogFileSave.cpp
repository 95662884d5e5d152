#include "ui/auxiliary/LogFileSave.h"

#include <QFileInfo>
#include <QSaveFile>

#include "common/Dialogs.h"
#include "settings/SettingsStore.h"

namespace {

QString withDefaultSuffix(const QString &path, const QString &suffix)
{
    if (suffix.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    return path + QLatin1Char('.') + suffix;
}

bool confirmReplace(Dialogs &dialogs, const QString &path)
{
    MessageRequest question;
    question.text = path + QStringLiteral("\nThis file already exists.") + QStringLiteral("\nReplace existing file?");
    question.icon = MessageIcon::Question;
    question.buttons = MessageButtons::YesNo;
    return dialogs.ShowMessage(question) == MessageAnswer::Yes;
}

} // namespace

LogFileSaveResult SaveLogFileWithDialog(Dialogs &dialogs, const SettingsStore &settings,
                                        const LogFileSaveOptions &options, const QStringList &lines)
{
    QString folder;
    settings.ReadString(SettingIndex::CommandLogFilePath, folder);

    FileDialogRequest request;
    request.save = true;
    request.startFolder = folder;
    request.nameFilter = options.nameFilter;
    request.defaultSuffix = options.defaultSuffix;
    const FileDialogResult chosen = dialogs.ChooseFile(request);
    switch (chosen.outcome) {
    case FileDialogResult::Outcome::Cancel:
        return LogFileSaveResult::Cancelled;
    case FileDialogResult::Outcome::Error: {
        const QString text = options.dialogErrorShowsCode
            ? QStringLiteral("Error in Load Dialog! (Return-code = %1)").arg(chosen.errorCode)
            : QStringLiteral("Error in Load Dialog!");
        dialogs.Message(text, QStringLiteral("Load Error"), MessageIcon::Exclamation);
        return LogFileSaveResult::DialogError;
    }
    case FileDialogResult::Outcome::Ok:
        break;
    }

    // The dialog adds the suffix itself; a path that comes back without one gets it here, so
    // the replace question is asked about the file that will really be written.
    const QString path = withDefaultSuffix(chosen.path, options.defaultSuffix);
    if (QFileInfo::exists(path) && !confirmReplace(dialogs, path))
        return LogFileSaveResult::Declined;

    const bool written = WriteLinesAtomically(path, lines);
    if (!written)
        dialogs.Message(QStringLiteral("File open error !"), QString(), MessageIcon::Stop);
    settings.WriteString(SettingIndex::CommandLogFilePath, FolderOfPath(path));
    return written ? LogFileSaveResult::Written : LogFileSaveResult::WriteFailed;
}

bool WriteLinesAtomically(const QString &path, const QStringList &lines)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (const QString &line : lines) {
        const QByteArray bytes = line.toLatin1() + QByteArrayLiteral("\r\n");
        if (file.write(bytes) != bytes.size()) {
            file.cancelWriting();
            break;
        }
    }
    return file.commit();
}

QString FolderOfPath(const QString &path)
{
    const qsizetype separator = path.lastIndexOf(QLatin1Char('/'));
    if (separator == 0)
        return QStringLiteral("/"); // a file in the root folder: the root, not "no folder"
    return separator < 0 ? QString() : path.left(separator);
}
