#pragma once

// What the communication window asks of the main window: the camera data operations that
// live there and that the communication window offers as shortcuts.
class CommunicationHost {
public:
    virtual ~CommunicationHost() = default;
    // Asks the camera for its model; true when it answered.
    virtual bool IdentifyModel() = 0;
    virtual void ReloadAllSettings() = 0;
    virtual void SaveAllDataAs() = 0;
    virtual void OpenSettingFile() = 0;
};
