#include "core/operations/SettingFileSave.h"

#include "core/operations/FullReadSet.h"
#include "core/operations/IdentifyModel.h"

SettingFileSave ReadSettingFile(ControlTable &table, Command &command, CameraModel &model,
                                const CommandTable &commands, Dialogs &dialogs, int controlMode,
                                SettingFileVariant variant, const std::function<void(int percent)> &step)
{
    SettingFileSave save;
    save.planned = PlanFullRead(table, model, controlMode).size();
    save.read = ReadFullSet(table, command, model, controlMode, step).size();
    if (!save.Complete())
        return save;
    const bool extended = controlMode == 1;
    if (variant == SettingFileVariant::AllData && extended)
        IdentifyModel(command, model, dialogs);
    save.lines = SettingFileLines(table, commands, model, variant, extended);
    return save;
}
