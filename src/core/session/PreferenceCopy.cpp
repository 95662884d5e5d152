#include "core/session/PreferenceCopy.h"

#include <utility>

#include <QFile>

#include "core/session/SessionOptions.h"
#include "core/settings/PreferenceFile.h"
#include "core/settings/SettingsStore.h"

namespace {

QString nameOf(SettingIndex index)
{
    return QString::fromLatin1(kSettingNames[static_cast<int>(index)]);
}

SettingIndex portIndexOfKind(int kind)
{
    return static_cast<SettingIndex>(static_cast<int>(SettingIndex::ComPortNo) + kind);
}

} // namespace

PreferenceCopy::PreferenceCopy(QString storedPath, const SessionOptions &options)
    : storedPath_(std::move(storedPath)),
      copyPath_(folder_.filePath(QStringLiteral("preferences.ini"))),
      writeBack_(options.savePreferences),
      directDevice_(IsDirectDevice(options.port))
{
    if (QFile::exists(storedPath_) && QFile::copy(storedPath_, copyPath_))
        QFile::setPermissions(copyPath_, QFile::ReadOwner | QFile::WriteOwner);
    const PreferenceFile copy(copyPath_);
    if (!options.port.isEmpty()) {
        copy.WriteNumber(nameOf(SettingIndex::CommunicationMode), 0);
        if (directDevice_) {
            copy.WriteText(QStringLiteral("Ports/COM%1").arg(kDirectDevicePort + 1), options.port);
            copy.WriteNumber(nameOf(SettingIndex::ComPortNo), kDirectDevicePort);
        } else {
            copy.WriteNumber(nameOf(SettingIndex::ComPortNo), options.port.mid(3).toInt() - 1);
        }
    }
    if (options.cameraLinkKind != 0) {
        copy.WriteNumber(nameOf(SettingIndex::CommunicationMode), options.cameraLinkKind);
        copy.WriteNumber(nameOf(portIndexOfKind(options.cameraLinkKind)), options.cameraLinkIndex);
    }
    if (options.controlMode)
        copy.WriteNumber(nameOf(SettingIndex::ControlMode), *options.controlMode);
}

PreferenceCopy::~PreferenceCopy()
{
    if (writeBack_)
        writeBack();
}

void PreferenceCopy::writeBack() const
{
    const PreferenceFile copy(copyPath_);
    const PreferenceFile stored(storedPath_);
    for (int index = 1; index < kSettingCount; ++index) {
        if (directDevice_ && index == static_cast<int>(SettingIndex::ComPortNo))
            continue;
        const QString name = QString::fromLatin1(kSettingNames[index]);
        if (const auto text = copy.ReadText(name))
            stored.WriteText(name, *text);
    }
}
