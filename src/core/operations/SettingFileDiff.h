#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include <QByteArray>
#include <QList>
#include <QString>

#include "core/operations/SettingFileCompare.h"

// A camera checked against a setting file: the parameters that loading the file would change,
// the lines of the file that loading would skip as unreadable, and how many were compared.

struct ParameterDifference {
    QString name;        // as the parameter catalogue names it: "Image format/Width", else the mnemonic
    QString mnemonic;
    QString cameraValue; // the number, or "not read"
    QString fileValue;
    int controlId = -1;
    std::int32_t fileCode = 0;
    std::optional<std::int32_t> cameraCode; // nothing: not read
};

struct SettingFileDiff {
    bool fileRead = false; // false: fileError says why
    QString fileError;     // "could not be read", or the file is for another model
    std::vector<ParameterDifference> differences;
    std::vector<UnreadableLine> unreadable;
    std::size_t compared = 0; // parameters the file sets for this camera, each asked for

    // Nothing to compare is its own result, neither the same nor a difference.
    bool ChecksNothing() const { return fileRead && compared == 0; }
    bool IsSame() const { return fileRead && compared > 0 && differences.empty() && unreadable.empty(); }
};

// Reads from the camera every parameter that the file at path would set, under the load rules
// (the model line, skipped lines and the control mode as a load takes them), and compares. A
// file whose model line names another model than the identified camera is not compared, nor
// is anything read for a file that sets no parameter of this camera.
// The step is told the percentage of the read done.
SettingFileDiff DiffSettingFile(Command &command, const CommandTable &commands, const ControlTable &table,
                                const CameraModel &model, bool extendedMode, const QString &path,
                                const std::function<void(int percent)> &step = {});
// The same for a file already read.
SettingFileDiff DiffSettingBytes(Command &command, const CommandTable &commands, const ControlTable &table,
                                 const CameraModel &model, bool extendedMode, const QByteArray &bytes,
                                 const std::function<void(int percent)> &step = {});
