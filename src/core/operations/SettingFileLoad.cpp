#include "core/operations/SettingFileLoad.h"

#include "core/formats/SettingFile.h"
#include "core/protocol/Command.h"
#include "core/protocol/ControlTable.h"

namespace {
constexpr unsigned kModelWriteMs = 10000;
constexpr unsigned kLineWriteMs = 5000;
} // namespace

int LoadSettingPieces(const QList<QByteArray> &pieces, Command &command, const CommandTable &commands,
                      ControlTable &table, const CameraModel &model, bool extendedMode, const SettingLoadHooks &hooks)
{
    int refused = 0;
    const qsizetype count = pieces.size();
    const std::vector<int> lineNumbers = SettingPieceLineNumbers(pieces);
    for (qsizetype i = 0; i < count; ++i) {
        if (hooks.stop && hooks.stop())
            break;
        if (hooks.step)
            hooks.step(static_cast<int>(100 * i / count));
        const SettingLineStep step = PlanSettingLine(pieces[i], commands, table, model, extendedMode);
        if (step.aberrationEnable >= 0 && hooks.enableAberration)
            hooks.enableAberration(step.aberrationEnable == 1);
        switch (step.kind) {
        case SettingLineStep::Kind::Skip:
            break;
        case SettingLineStep::Kind::Malformed:
            ++refused;
            if (hooks.malformed)
                hooks.malformed(lineNumbers[static_cast<std::size_t>(i)], SettingPieceText(pieces[i]));
            break;
        case SettingLineStep::Kind::ModelName:
            if (!command.SetString(kModelWriteCommand, step.text, kModelWriteMs))
                ++refused;
            if (hooks.identifyModel)
                hooks.identifyModel();
            break;
        case SettingLineStep::Kind::Write:
            if (!command.SetValue(step.commandId, step.value, kLineWriteMs))
                ++refused;
            table.SetDataValue(step.controlId, step.value);
            break;
        }
    }
    return refused;
}
