#include "gui/tools/LogFileSave.h"

#include "core/common/Dialogs.h"
#include "core/common/TextFiles.h"
#include "core/settings/SettingsStore.h"
#include "gui/common/FileChoice.h"

LogFileSaveResult SaveLogFileWithDialog(Dialogs &dialogs, const SettingsStore &settings,
                                        const LogFileSaveOptions &options, const QStringList &lines)
{
    FileChoiceOptions choiceOptions;
    choiceOptions.nameFilter = options.nameFilter;
    choiceOptions.defaultSuffix = options.defaultSuffix;
    choiceOptions.folderSetting = SettingIndex::CommandLogFilePath;
    choiceOptions.dialogErrorShowsCode = options.dialogErrorShowsCode;
    const FileChoice choice = ChooseFileToSave(dialogs, settings, choiceOptions);
    switch (choice.outcome) {
    case FileChoice::Outcome::Cancelled: return LogFileSaveResult::Cancelled;
    case FileChoice::Outcome::DialogError: return LogFileSaveResult::DialogError;
    case FileChoice::Outcome::Declined: return LogFileSaveResult::Declined;
    case FileChoice::Outcome::Chosen: break;
    }

    const bool written = WriteLinesAtomically(choice.path, lines);
    if (!written)
        dialogs.Message(QStringLiteral("File open error !"), QString(), MessageIcon::Stop);
    RememberFolder(settings, choiceOptions, choice.path);
    return written ? LogFileSaveResult::Written : LogFileSaveResult::WriteFailed;
}
