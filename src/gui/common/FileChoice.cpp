#include "gui/common/FileChoice.h"

#include <QFileInfo>

#include "core/common/TextFiles.h"

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

QString startFolder(const SettingsStore &settings, const FileChoiceOptions &options)
{
    QString folder;
    if (options.folderSetting)
        settings.ReadString(*options.folderSetting, folder); // defaults to the current directory
    else
        folder = SettingsStore::CurrentDirectory();
    return folder;
}

FileChoice choose(Dialogs &dialogs, const SettingsStore &settings, const FileChoiceOptions &options, bool save)
{
    FileDialogRequest request;
    request.save = save;
    request.startFolder = startFolder(settings, options);
    request.initialName = options.initialName;
    request.nameFilter = options.nameFilter;
    request.defaultSuffix = options.defaultSuffix;
    const FileDialogResult result = dialogs.ChooseFile(request);

    FileChoice choice;
    switch (result.outcome) {
    case FileDialogResult::Outcome::Cancel:
        return choice;
    case FileDialogResult::Outcome::Error: {
        const QString text = options.dialogErrorShowsCode
            ? QStringLiteral("Error in Load Dialog! (Return-code = %1)").arg(result.errorCode)
            : QStringLiteral("Error in Load Dialog!");
        dialogs.Message(text, QStringLiteral("Load Error"), MessageIcon::Exclamation);
        choice.outcome = FileChoice::Outcome::DialogError;
        return choice;
    }
    case FileDialogResult::Outcome::Ok:
        break;
    }
    // The dialog adds the suffix itself; a path that comes back without one gets it here, so
    // the replace question is asked about the file that will really be written.
    choice.path = save ? withDefaultSuffix(result.path, options.defaultSuffix) : result.path;
    if (save && QFileInfo::exists(choice.path) && !confirmReplace(dialogs, choice.path)) {
        choice.outcome = FileChoice::Outcome::Declined;
        return choice;
    }
    choice.outcome = FileChoice::Outcome::Chosen;
    return choice;
}

} // namespace

FileChoice ChooseFileToSave(Dialogs &dialogs, const SettingsStore &settings, const FileChoiceOptions &options)
{
    return choose(dialogs, settings, options, true);
}

FileChoice ChooseFileToOpen(Dialogs &dialogs, const SettingsStore &settings, const FileChoiceOptions &options)
{
    return choose(dialogs, settings, options, false);
}

void RememberFolder(const SettingsStore &settings, const FileChoiceOptions &options, const QString &path)
{
    if (options.folderSetting)
        settings.WriteString(*options.folderSetting, FolderOfPath(path));
}

void ReportUnopenableFile(Dialogs &dialogs, const QString &path, const QString &caption, MessageIcon icon)
{
    dialogs.Message(path + QStringLiteral("\nCouldn't open this file"), caption, icon);
}
