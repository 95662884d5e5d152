#include "core/settings/ControlModeSetting.h"

#include "core/settings/SettingsStore.h"

ControlModeSetting::ControlModeSetting(const SettingsStore &store) : store_(store)
{
    store_.ReadInt(SettingIndex::ControlMode, mode_, 0);
}

ControlModeSetting::~ControlModeSetting()
{
    store_.WriteInt(SettingIndex::ControlMode, mode_);
}
