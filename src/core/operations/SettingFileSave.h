#pragma once

#include <cstddef>
#include <functional>

#include <QByteArray>
#include <QList>

#include "core/formats/SettingFile.h"

class CameraModel;
class Command;
class CommandTable;
class ControlTable;
class Dialogs;

// What reading a camera for a setting file gave: the rows planned and read, and the file's
// lines. The lines are empty when a row was not read, since a file holding values the camera
// did not give would later restore something else.
struct SettingFileSave {
    std::size_t planned = 0;
    std::size_t read = 0;
    QList<QByteArray> lines;

    bool Complete() const { return read == planned; }
};

// Reads every setting of the mode (the full read, its percentage told to the step), then forms
// the setting file's lines. An "All Data" file in extended mode asks the model again first, so
// the file names the model the camera reports now.
SettingFileSave ReadSettingFile(ControlTable &table, Command &command, CameraModel &model,
                                const CommandTable &commands, Dialogs &dialogs, int controlMode,
                                SettingFileVariant variant, const std::function<void(int percent)> &step);
