#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "core/settings/ControlModeSetting.h"
#include "core/settings/SettingsStore.h"
#include "support/TempSettings.h"

namespace {

std::int32_t storedInt(const QString &path, SettingIndex index, std::int32_t fallback = -99)
{
    const PreferenceFile file(path);
    return file.ReadNumber(QString::fromLatin1(kSettingNames[static_cast<int>(index)])).value_or(fallback);
}

} // namespace

TEST(SettingsStore, ValueNamesInIndexOrder)
{
    EXPECT_STREQ(kSettingNames[0], "Previous Application Shutdown Status");
    EXPECT_STREQ(kSettingNames[1], "Communication Mode");
    EXPECT_STREQ(kSettingNames[2], "Baudrate");
    EXPECT_STREQ(kSettingNames[3], "Com Port No");
    EXPECT_STREQ(kSettingNames[4], "Cameralink 2000 Dll Index");
    EXPECT_STREQ(kSettingNames[5], "Cameralink 2001 Dll Index");
    EXPECT_STREQ(kSettingNames[6], "Cameralink Ver11 Dll Index");
    EXPECT_STREQ(kSettingNames[7], "Control Mode");
    EXPECT_STREQ(kSettingNames[8], "Camera File Path");
    EXPECT_STREQ(kSettingNames[9], "Command Log File Path");
}

TEST(SettingsStore, FirstKilledAndCleanRuns)
{
    const TempSettings temp;
    {
        const SettingsStore first(temp.Path());
        EXPECT_FALSE(first.PreviousShutdownWasNormal()) << "no file: the default 0 counts as abnormal";
        EXPECT_EQ(storedInt(temp.Path(), SettingIndex::PreviousShutdownStatus), 0) << "0 is written at once";
    }
    EXPECT_EQ(storedInt(temp.Path(), SettingIndex::PreviousShutdownStatus), 1) << "a normal end writes 1";
    {
        const SettingsStore clean(temp.Path());
        EXPECT_TRUE(clean.PreviousShutdownWasNormal());
        // Simulate a kill: the object never gets destroyed, so the 0 stays behind.
        auto *killed = new SettingsStore(temp.Path());
        EXPECT_EQ(storedInt(temp.Path(), SettingIndex::PreviousShutdownStatus), 0);
        const SettingsStore afterKill(temp.Path());
        EXPECT_FALSE(afterKill.PreviousShutdownWasNormal());
        (void)killed; // deliberately leaked: a killed process runs no destructor
    }
}

TEST(SettingsStore, NumbersAreReadFromTheirText)
{
    const TempSettings temp;
    temp.WriteRaw("[General]\nControl%20Mode=1\nCom%20Port%20No=3abc\nBaudrate=abc\nCommunication%20Mode=-2\n");
    const SettingsStore store(temp.Path());
    std::int32_t value = -1;
    EXPECT_TRUE(store.ReadInt(SettingIndex::ControlMode, value, 0));
    EXPECT_EQ(value, 1);
    EXPECT_TRUE(store.ReadInt(SettingIndex::ComPortNo, value, 0));
    EXPECT_EQ(value, 3);
    EXPECT_TRUE(store.ReadInt(SettingIndex::Baudrate, value, 5));
    EXPECT_EQ(value, 0) << "text without leading digits reads as 0";
    EXPECT_TRUE(store.ReadInt(SettingIndex::CommunicationMode, value, 0));
    EXPECT_EQ(value, -2);
    EXPECT_FALSE(store.ReadInt(SettingIndex::Cameralink2000DllIndex, value, 7));
    EXPECT_EQ(value, 7) << "an absent value gives the default";

    const ControlModeSetting mode(store);
    EXPECT_EQ(mode.Get(), 1);
}

TEST(SettingsStore, IndexOutsideTheTable)
{
    const TempSettings temp;
    const SettingsStore store(temp.Path());
    std::int32_t value = 0;
    EXPECT_FALSE(store.ReadInt(10, value, 42));
    EXPECT_EQ(value, 42);
    EXPECT_FALSE(store.ReadInt(-1, value, 43));
    EXPECT_EQ(value, 43);
    EXPECT_FALSE(store.WriteInt(10, 5));
    EXPECT_FALSE(store.WriteString(10, QStringLiteral("x")));
    QString text;
    EXPECT_FALSE(store.ReadString(10, text));
    EXPECT_EQ(text, QDir::currentPath());
    EXPECT_TRUE(store.WriteInt(9, 5)) << "index 9 is the last valid one";
}

TEST(SettingsStore, StringsMustNameSomethingThatExists)
{
    const TempSettings temp;
    QTemporaryDir folder;
    const SettingsStore store(temp.Path());
    QString text;
    EXPECT_FALSE(store.ReadString(SettingIndex::CameraFilePath, text)) << "absent";
    EXPECT_EQ(text, QDir::currentPath());

    ASSERT_TRUE(store.WriteString(SettingIndex::CameraFilePath, folder.path()));
    EXPECT_TRUE(store.ReadString(SettingIndex::CameraFilePath, text));
    EXPECT_EQ(text, folder.path());

    const QString removed = folder.path();
    folder.remove();
    EXPECT_FALSE(store.ReadString(SettingIndex::CameraFilePath, text));
    EXPECT_EQ(text, QDir::currentPath()) << "a removed folder gives way to the current directory";

    ASSERT_TRUE(store.WriteString(SettingIndex::CommandLogFilePath, QString(300, u'a')));
    EXPECT_FALSE(store.ReadString(SettingIndex::CommandLogFilePath, text)) << "too long to be a path";
    (void)removed;
}

TEST(SettingsStore, GarbageFileGivesDefaultsAndIsNotOverwritten)
{
    const TempSettings temp;
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.append(static_cast<char>((i * 131 + 7) % 256));
    temp.WriteRaw(garbage);
    {
        const SettingsStore store(temp.Path());
        EXPECT_FALSE(store.PreviousShutdownWasNormal());
        std::int32_t value = 0;
        store.ReadInt(SettingIndex::ControlMode, value, 0);
        EXPECT_EQ(value, 0);
        QString text;
        store.ReadString(SettingIndex::CameraFilePath, text);
        EXPECT_EQ(text, QDir::currentPath());
    }
}

TEST(SettingsStore, UnwritableFileStoresNothingSilently)
{
    const SettingsStore store(QStringLiteral("/proc/no-such-dir/settings.ini"));
    EXPECT_FALSE(store.WriteInt(SettingIndex::ControlMode, 1));
    std::int32_t value = 5;
    EXPECT_FALSE(store.ReadInt(SettingIndex::ControlMode, value, 0));
    EXPECT_EQ(value, 0);
}

TEST(SettingsStore, PortsGroupAndDefaults)
{
    const TempSettings temp;
    temp.WriteRaw("[Ports]\nCOM1=/dev/pts/77\nCameraLinkFolder=/opt/cl\n");
    const SettingsStore store(temp.Path());
    EXPECT_EQ(store.PortDevice(QStringLiteral("COM1")), "/dev/pts/77");
    EXPECT_EQ(store.PortDevice(QStringLiteral("COM2")), "/dev/ttyS1");
    EXPECT_EQ(store.PortDevice(QStringLiteral("COM17")), "/dev/ttyS16");
    EXPECT_EQ(store.CameraLinkFolder(), "/opt/cl");
    const TempSettings empty;
    const SettingsStore plain(empty.Path());
    EXPECT_EQ(plain.CameraLinkFolder(), "/usr/local/lib/cameralink");
}

TEST(ControlModeSetting, ToggleAndWriteBack)
{
    const TempSettings temp;
    const SettingsStore store(temp.Path());
    {
        ControlModeSetting mode(store);
        EXPECT_EQ(mode.Get(), 0);
        mode.Toggle();
        EXPECT_EQ(mode.Get(), 1);
        mode.Set(5);
        mode.Toggle();
        EXPECT_EQ(mode.Get(), 0) << "any non-zero value toggles to 0";
        mode.Toggle();
    }
    EXPECT_EQ(storedInt(temp.Path(), SettingIndex::ControlMode), 1);
}
