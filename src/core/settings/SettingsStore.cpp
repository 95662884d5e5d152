#include "core/settings/SettingsStore.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

const std::array<const char *, kSettingCount> kSettingNames = {
    "Previous Application Shutdown Status",
    "Communication Mode",
    "Baudrate",
    "Com Port No",
    "Cameralink 2000 Dll Index",
    "Cameralink 2001 Dll Index",
    "Cameralink Ver11 Dll Index",
    "Control Mode",
    "Camera File Path",
    "Command Log File Path",
};

namespace {
constexpr qsizetype kMaxPathChars = 260;
constexpr qsizetype kMaxCurrentDirChars = 255;
// Kept in a group of its own, beside the ten preferences, which keep their names and meanings.
constexpr const char *kFastRepliesKey = "Exchange/FastReplies";
} // namespace

SettingsStore::SettingsStore(QString path) : file_(std::move(path))
{
    ReadInt(SettingIndex::PreviousShutdownStatus, previousShutdownStatus_, 0);
    WriteInt(SettingIndex::PreviousShutdownStatus, 0);
}

SettingsStore::~SettingsStore()
{
    WriteInt(SettingIndex::PreviousShutdownStatus, 1);
}

bool SettingsStore::ReadInt(int index, std::int32_t &value, std::int32_t defaultValue) const
{
    if (validIndex(index)) {
        if (const auto stored = file_.ReadNumber(QString::fromLatin1(kSettingNames[index]))) {
            value = *stored;
            return true;
        }
    }
    value = defaultValue;
    return false;
}

bool SettingsStore::WriteInt(int index, std::int32_t value) const
{
    if (!validIndex(index))
        return false;
    return file_.WriteNumber(QString::fromLatin1(kSettingNames[index]), value);
}

bool SettingsStore::ReadString(int index, QString &text) const
{
    if (validIndex(index)) {
        if (const auto stored = file_.ReadText(QString::fromLatin1(kSettingNames[index]))) {
            if (!stored->isEmpty() && stored->size() < kMaxPathChars && QFileInfo::exists(*stored)) {
                text = *stored;
                return true;
            }
        }
    }
    text = CurrentDirectory();
    return false;
}

bool SettingsStore::WriteString(int index, const QString &text) const
{
    if (!validIndex(index))
        return false;
    return file_.WriteText(QString::fromLatin1(kSettingNames[index]), text);
}

QString SettingsStore::CurrentDirectory()
{
    const QString dir = QDir::currentPath();
    return dir.size() > kMaxCurrentDirChars ? QString() : dir;
}

QString SettingsStore::PortDevice(const QString &comName) const
{
    if (const auto device = file_.ReadText(QStringLiteral("Ports/") + comName); device && !device->isEmpty())
        return *device;
    static const QRegularExpression comPattern(QStringLiteral("^COM([0-9]+)$"));
    const QRegularExpressionMatch match = comPattern.match(comName);
    if (match.hasMatch()) {
        const long long number = match.captured(1).toLongLong();
        if (number >= 1)
            return QStringLiteral("/dev/ttyS%1").arg(number - 1);
    }
    return QString();
}

QString SettingsStore::CameraLinkFolder() const
{
    if (const auto folder = file_.ReadText(QStringLiteral("Ports/CameraLinkFolder")); folder && !folder->isEmpty())
        return *folder;
    return QStringLiteral("/usr/local/lib/cameralink");
}

bool SettingsStore::SetPortDevice(const QString &comName, const QString &device) const
{
    return file_.WriteText(QStringLiteral("Ports/") + comName, device);
}

bool SettingsStore::FastReplies() const
{
    return file_.ReadNumber(QString::fromLatin1(kFastRepliesKey)).value_or(0) == 1;
}

bool SettingsStore::SetFastReplies(bool fast) const
{
    return file_.WriteNumber(QString::fromLatin1(kFastRepliesKey), fast ? 1 : 0);
}
