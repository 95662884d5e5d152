#include "core/operations/SettingFileDiff.h"

#include "core/common/TextFiles.h"
#include "core/formats/SettingFile.h"

SettingFileDiff DiffSettingFile(Command &command, const CommandTable &commands, const ControlTable &table,
                                const CameraModel &model, bool extendedMode, const QString &path,
                                const std::function<void(int percent)> &step)
{
    QByteArray bytes;
    if (!ReadFileBytes(path, bytes)) {
        SettingFileDiff diff;
        diff.fileError = QStringLiteral("could not be read");
        return diff;
    }
    return DiffSettingBytes(command, commands, table, model, extendedMode, bytes, step);
}

SettingFileDiff DiffSettingBytes(Command &command, const CommandTable &commands, const ControlTable &table,
                                 const CameraModel &model, bool extendedMode, const QByteArray &bytes,
                                 const std::function<void(int percent)> &step)
{
    SettingFileDiff diff;
    const SettingFileCheck check = PlanSettingFileCheck(SettingFilePieces(bytes), commands, table, model, extendedMode);
    if (check.IsForOtherModel()) {
        diff.fileError = OtherModelText(check.otherModel, model);
        return diff;
    }
    diff.fileRead = true;
    diff.unreadable = check.unreadable;
    diff.compared = check.filed.size();
    const CameraValues camera = ReadFiledValues(check.filed, command, step);
    for (const SettingDifference &difference : CompareFiledValues(check.filed, camera)) {
        diff.differences.push_back({difference.label.isEmpty() ? difference.mnemonic : difference.label,
                                    difference.mnemonic, difference.CameraText(),
                                    QString::number(difference.fileValue), difference.controlId,
                                    difference.fileValue, difference.cameraValue});
    }
    return diff;
}
