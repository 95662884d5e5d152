#include "core/operations/SettingFileCompare.h"

#include <algorithm>

#include "core/catalog/PageTables.h"
#include "core/formats/SettingFile.h"
#include "core/protocol/CameraModel.h"
#include "core/protocol/Command.h"
#include "core/protocol/CommandTable.h"

namespace {

constexpr unsigned kQueryTimeoutMs = 5000;

QString pageLabelOf(int controlId)
{
    const std::optional<LabelledField> field = FindLabelledField(controlId);
    if (!field)
        return QString();
    const QString label = QString::fromUtf8(field->field->label);
    return field->group->title ? QString::fromUtf8(field->group->title) + QLatin1Char('/') + label : label;
}

} // namespace

QString SettingDifference::CameraText() const
{
    return cameraValue ? QString::number(*cameraValue) : QStringLiteral("not read");
}

std::vector<FiledValue> FiledValues(const QList<QByteArray> &pieces, const CommandTable &commands,
                                    const ControlTable &table, const CameraModel &model, bool extendedMode)
{
    std::vector<FiledValue> filed;
    for (const QByteArray &piece : pieces) {
        const SettingLineStep step = PlanSettingLine(piece, commands, table, model, extendedMode);
        if (step.kind != SettingLineStep::Kind::Write)
            continue;
        const auto same = std::find_if(filed.begin(), filed.end(),
                                       [&step](const FiledValue &value) { return value.commandId == step.commandId; });
        if (same != filed.end())
            same->value = step.value;
        else
            filed.push_back({step.commandId, step.controlId, commands.MnemonicOf(step.commandId), step.value});
    }
    return filed;
}

SettingFileCheck PlanSettingFileCheck(const QList<QByteArray> &pieces, const CommandTable &commands,
                                      const ControlTable &table, const CameraModel &model, bool extendedMode)
{
    SettingFileCheck check;
    const std::vector<int> lineNumbers = SettingPieceLineNumbers(pieces);
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const SettingLineStep step = PlanSettingLine(pieces[i], commands, table, model, extendedMode);
        // A camera that has not told its name yet has nothing to compare the model line with.
        if (step.kind == SettingLineStep::Kind::ModelName && !model.Name().isEmpty() && step.text != model.Name()
            && check.otherModel.isEmpty())
            check.otherModel = step.text;
        if (step.kind == SettingLineStep::Kind::Malformed)
            check.unreadable.push_back({lineNumbers[static_cast<std::size_t>(i)], SettingPieceText(pieces[i])});
    }
    check.filed = FiledValues(pieces, commands, table, model, extendedMode);
    return check;
}

QString OtherModelText(const QString &fileModel, const CameraModel &model)
{
    return QStringLiteral("is for the %1, the camera is the %2").arg(fileModel, model.Name());
}

QString NothingVerifiedText(const CameraModel &model, bool extendedMode)
{
    const QString camera =
        model.Name().isEmpty() ? QStringLiteral("this camera") : QStringLiteral("the ") + model.Name();
    return QStringLiteral("sets no parameter of %1 in the %2 mode: nothing was verified")
        .arg(camera, extendedMode ? QStringLiteral("extended") : QStringLiteral("standard"));
}

QString UnreadableLineText(const UnreadableLine &line)
{
    return QStringLiteral("line %1 unreadable: %2").arg(line.lineNumber).arg(line.text);
}

std::vector<SettingDifference> CompareFiledValues(const std::vector<FiledValue> &filed, const CameraValues &camera)
{
    std::vector<SettingDifference> differences;
    for (const FiledValue &value : filed) {
        const auto read = camera.find(value.commandId);
        if (read != camera.end() && read->second == value.value)
            continue;
        SettingDifference difference{value.mnemonic, pageLabelOf(value.controlId), value.value, std::nullopt,
                                     value.controlId};
        if (read != camera.end())
            difference.cameraValue = read->second;
        differences.push_back(difference);
    }
    return differences;
}

CameraValues ReadFiledValues(const std::vector<FiledValue> &filed, Command &command,
                             const std::function<void(int percent)> &step)
{
    CameraValues camera;
    const std::size_t count = filed.size();
    for (std::size_t i = 0; i < count; ++i) {
        std::int32_t value = 0;
        if (command.QueryValue(filed[i].commandId, value, kQueryTimeoutMs))
            camera[filed[i].commandId] = value;
        else if (command.LastOutcome() == Command::Outcome::NoAnswer)
            break;
        if (step)
            step(static_cast<int>(100 * (i + 1) / count));
    }
    return camera;
}
