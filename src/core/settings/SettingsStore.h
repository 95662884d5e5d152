#pragma once

#include <array>
#include <cstdint>

#include <QString>

#include "core/settings/PreferenceFile.h"

// The ten preferences, addressed by their index.
enum class SettingIndex : int {
    PreviousShutdownStatus = 0,
    CommunicationMode = 1,
    Baudrate = 2,
    ComPortNo = 3,
    Cameralink2000DllIndex = 4,
    Cameralink2001DllIndex = 5,
    CameralinkVer11DllIndex = 6,
    ControlMode = 7,
    CameraFilePath = 8,
    CommandLogFilePath = 9,
};

inline constexpr int kSettingCount = 10;

// Value names in index order.
extern const std::array<const char *, kSettingCount> kSettingNames;

// The preference store. Creating it reads the previous-shutdown marker and at once writes 0
// there; destroying it (a normal end) writes 1. A run that is killed leaves the 0 behind.
class SettingsStore {
public:
    explicit SettingsStore(QString path = PreferenceFile::DefaultPath());
    ~SettingsStore();
    SettingsStore(const SettingsStore &) = delete;
    SettingsStore &operator=(const SettingsStore &) = delete;

    bool ReadInt(int index, std::int32_t &value, std::int32_t defaultValue) const;
    bool WriteInt(int index, std::int32_t value) const;
    bool ReadString(int index, QString &text) const;
    bool WriteString(int index, const QString &text) const;
    bool PreviousShutdownWasNormal() const { return previousShutdownStatus_ == 1; }

    bool ReadInt(SettingIndex index, std::int32_t &value, std::int32_t defaultValue) const
    {
        return ReadInt(static_cast<int>(index), value, defaultValue);
    }
    bool WriteInt(SettingIndex index, std::int32_t value) const
    {
        return WriteInt(static_cast<int>(index), value);
    }
    bool ReadString(SettingIndex index, QString &text) const
    {
        return ReadString(static_cast<int>(index), text);
    }
    bool WriteString(SettingIndex index, const QString &text) const
    {
        return WriteString(static_cast<int>(index), text);
    }

    // [Ports] group: the device a COM name opens, and the Camera Link library folder.
    QString PortDevice(const QString &comName) const;
    QString CameraLinkFolder() const;
    // Points a COM name at a device; false when the file could not be written.
    bool SetPortDevice(const QString &comName, const QString &device) const;

    // Whether the windows take each reply as soon as its line is complete (off when never set).
    bool FastReplies() const;
    // False when the file could not be written.
    bool SetFastReplies(bool fast) const;

    const QString &Path() const { return file_.Path(); }

    // The current working directory, or empty when it is longer than the platform allowed.
    static QString CurrentDirectory();

private:
    static bool validIndex(int index) { return index >= 0 && index < kSettingCount; }

    PreferenceFile file_;
    std::int32_t previousShutdownStatus_ = 0;
};
