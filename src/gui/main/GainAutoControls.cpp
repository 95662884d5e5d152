#include "gui/main/GainAutoControls.h"

#include "core/protocol/Command.h"
#include "core/protocol/ControlTable.h"
#include "gui/main/ControlValues.h"

void GainAutoControls::storeLevels(const GainAutoLevels &levels)
{
    levels_ = levels;
    services_.table.SetDataValue(kLevel10Id, levels.level10);
    services_.table.SetDataValue(kLevel8Id, levels.level8);
}

void GainAutoControls::ApplyPercentage()
{
    storeLevels(LevelsFromPercentage(services_.table.GetDataValue(kPercentId)));
    services_.RefreshChanged();
    services_.table.CommitValues();
}

bool GainAutoControls::ApplyLevel(int levelFieldId, std::int32_t level)
{
    ControlTable &table = services_.table;
    const GainAutoReference reference = levelFieldId == kLevel10Id ? ReferenceFrom10Bit(level) : ReferenceFrom8Bit(level);
    table.SetDataValue(kPercentId, reference.percent);
    services_.RefreshChanged();
    if (!table.SendChangedValues(services_.command)) {
        // The camera kept its percentage: all three fields go back to what they were, rather
        // than committing a reference the camera never took.
        table.SetDataValue(kPercentId, table.GetSavedValue(kPercentId));
        storeLevels({table.GetSavedValue(kLevel10Id), table.GetSavedValue(kLevel8Id)});
        for (int id : {kPercentId, kLevel10Id, kLevel8Id})
            WriteControlValue(services_.finder, id, table.GetDataValue(id));
        return false;
    }
    storeLevels(reference.levels);
    services_.RefreshChanged();
    table.CommitValues();
    return true;
}
