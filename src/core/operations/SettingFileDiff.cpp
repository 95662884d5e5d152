#include "core/operations/SettingFileDiff.h"

#include "core/common/TextFiles.h"
#include "core/formats/SettingFile.h"
#include "core/operations/SettingFileCompare.h"
#include "core/protocol/CameraModel.h"

namespace {

// The model that the file's model line names, when it names another than the identified
// camera: loading it would rename the camera, so its values say nothing about this one.
QString otherModelOf(const QList<QByteArray> &pieces, const CommandTable &commands, const ControlTable &table,
                     const CameraModel &model, bool extendedMode)
{
    if (model.Code() == CameraModel::kUnknown)
        return QString();
    for (const QByteArray &piece : pieces) {
        const SettingLineStep step = PlanSettingLine(piece, commands, table, model, extendedMode);
        if (step.kind == SettingLineStep::Kind::ModelName && step.text != model.Name())
            return step.text;
    }
    return QString();
}

std::vector<UnreadableLine> unreadableLines(const QList<QByteArray> &pieces, const CommandTable &commands,
                                            const ControlTable &table, const CameraModel &model, bool extendedMode)
{
    std::vector<UnreadableLine> unreadable;
    const std::vector<int> lineNumbers = SettingPieceLineNumbers(pieces);
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (PlanSettingLine(pieces[i], commands, table, model, extendedMode).kind == SettingLineStep::Kind::Malformed)
            unreadable.push_back({lineNumbers[static_cast<std::size_t>(i)], SettingPieceText(pieces[i])});
    }
    return unreadable;
}

} // namespace

SettingFileDiff DiffSettingFile(Command &command, const CommandTable &commands, const ControlTable &table,
                                const CameraModel &model, bool extendedMode, const QString &path,
                                const std::function<void(int percent)> &step)
{
    SettingFileDiff diff;
    QByteArray bytes;
    if (!ReadFileBytes(path, bytes)) {
        diff.fileError = QStringLiteral("could not be read");
        return diff;
    }
    const QList<QByteArray> pieces = SettingFilePieces(bytes);
    if (const QString other = otherModelOf(pieces, commands, table, model, extendedMode); !other.isEmpty()) {
        diff.fileError = QStringLiteral("is for the %1, the camera is the %2").arg(other, model.Name());
        return diff;
    }
    diff.fileRead = true;
    diff.unreadable = unreadableLines(pieces, commands, table, model, extendedMode);
    const std::vector<FiledValue> filed = FiledValues(pieces, commands, table, model, extendedMode);
    const CameraValues camera = ReadFiledValues(filed, command, step);
    for (const SettingDifference &difference : CompareFiledValues(filed, camera)) {
        diff.differences.push_back({difference.label.isEmpty() ? difference.mnemonic : difference.label,
                                    difference.mnemonic, difference.CameraText(),
                                    QString::number(difference.fileValue)});
    }
    return diff;
}
