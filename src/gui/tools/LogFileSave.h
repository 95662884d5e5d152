#pragma once

#include <QString>
#include <QStringList>

class Dialogs;
class SettingsStore;

// How one window asks for its log file.
struct LogFileSaveOptions {
    QString nameFilter;            // e.g. "txt file (*.txt)"
    QString defaultSuffix;         // added to a name typed without one
    bool dialogErrorShowsCode = false; // "Error in Load Dialog! (Return-code = %d)" or without
};

enum class LogFileSaveResult { Cancelled, DialogError, Declined, WriteFailed, Written };

// The save steps that the message log and the terminal transcript share: the save dialog in
// the remembered folder, the replace question for an existing file, the atomic write (a
// failure shows "File open error !" and leaves any earlier file as it was), and remembering
// the chosen folder whether or not the write worked.
LogFileSaveResult SaveLogFileWithDialog(Dialogs &dialogs, const SettingsStore &settings,
                                        const LogFileSaveOptions &options, const QStringList &lines);
