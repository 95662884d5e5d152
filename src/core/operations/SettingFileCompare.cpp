#include "core/operations/SettingFileCompare.h"

#include <algorithm>

#include "core/catalog/PageTables.h"
#include "core/formats/SettingFile.h"
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

std::vector<SettingDifference> CompareFiledValues(const std::vector<FiledValue> &filed, const CameraValues &camera)
{
    std::vector<SettingDifference> differences;
    for (const FiledValue &value : filed) {
        const auto read = camera.find(value.commandId);
        if (read != camera.end() && read->second == value.value)
            continue;
        SettingDifference difference{value.mnemonic, pageLabelOf(value.controlId), value.value, std::nullopt};
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
