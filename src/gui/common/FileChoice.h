#pragma once

#include <optional>

#include <QString>

#include "core/common/Dialogs.h"
#include "core/settings/SettingsStore.h"

// The file dialog steps that every file the tool reads or writes shares: the dialog in the
// remembered folder (or the current directory), the "Error in Load Dialog!" box, the default
// suffix, the replace question for an existing file, the "Couldn't open this file" box, and
// remembering the chosen folder.
struct FileChoiceOptions {
    QString nameFilter;    // Qt filter text, e.g. "Camera setting data (*.cam)"
    QString defaultSuffix; // added to a name chosen without one, e.g. "cam"
    QString initialName;   // shown in the name field, e.g. "*.cam"
    // The preference holding the start folder, written back by RememberFolder. Without one the
    // dialog opens in the current directory and nothing is stored.
    std::optional<SettingIndex> folderSetting;
    // "Error in Load Dialog! (Return-code = %d)", or the same without the code.
    bool dialogErrorShowsCode = true;
};

struct FileChoice {
    enum class Outcome { Cancelled, DialogError, Declined, Chosen };
    Outcome outcome = Outcome::Cancelled;
    QString path;

    bool Chosen() const { return outcome == Outcome::Chosen; }
};

// The save dialog; an existing file is replaced only after the operator said Yes (Declined
// otherwise). Nothing is written and no folder is stored here.
FileChoice ChooseFileToSave(Dialogs &dialogs, const SettingsStore &settings, const FileChoiceOptions &options);

// The open dialog.
FileChoice ChooseFileToOpen(Dialogs &dialogs, const SettingsStore &settings, const FileChoiceOptions &options);

// Stores the folder of the path in the options' preference, if they name one.
void RememberFolder(const SettingsStore &settings, const FileChoiceOptions &options, const QString &path);

// The box for a file that could not be created, opened or written: the path followed by
// "\nCouldn't open this file".
void ReportUnopenableFile(Dialogs &dialogs, const QString &path, const QString &caption, MessageIcon icon);
