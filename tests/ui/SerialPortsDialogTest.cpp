#include <QComboBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "TestApplication.h"
#include "core/settings/SettingsStore.h"
#include "gui/tools/SerialDevices.h"
#include "gui/tools/SerialPortsDialog.h"
#include "support/ScriptedDialogs.h"
#include "support/TempSettings.h"

namespace {

TEST(SerialPortsDialog, ListsEveryNameWithItsDeviceAndWritesOnlyPathsThatExist)
{
    TestApplication();
    TempSettings temp;
    temp.WriteRaw("[Ports]\nCOM2=/dev/null\n");
    SettingsStore settings(temp.Path());
    ScriptedDialogs dialogs;
    CSerialPortsDialog dialog(settings, dialogs, {{QStringLiteral("/dev/null"), QStringLiteral("the null device")}});
    EXPECT_EQ(dialog.DeviceField(1).currentText(), "/dev/ttyS0");
    EXPECT_EQ(dialog.DeviceField(2).currentText(), "/dev/null");
    EXPECT_EQ(dialog.DeviceField(16).currentText(), "/dev/ttyS15");
    EXPECT_EQ(dialog.DeviceField(2).accessibleDescription(), "the null device");

    dialog.DeviceField(3).setEditText(QStringLiteral("/nonexistent/ttyUSB7"));
    dialog.DeviceField(4).setEditText(temp.Path());
    EXPECT_FALSE(dialog.Apply());
    ASSERT_EQ(dialogs.MessageTexts().size(), 1);
    EXPECT_TRUE(dialogs.MessageTexts().front().contains("/nonexistent/ttyUSB7"));
    EXPECT_EQ(settings.PortDevice(QStringLiteral("COM4")), "/dev/ttyS3") << "nothing written";

    dialog.DeviceField(3).setEditText(QString()); // back to the default
    EXPECT_TRUE(dialog.Apply());
    EXPECT_EQ(SettingsStore(temp.Path()).PortDevice(QStringLiteral("COM4")), temp.Path());
    EXPECT_EQ(settings.PortDevice(QStringLiteral("COM3")), "/dev/ttyS2");
}

// A network port is taken as typed when its form is right; its server is only tried on opening.
TEST(SerialPortsDialog, NetworkAddressesAreStoredAsTypedAndAMalformedOneIsNamed)
{
    TestApplication();
    TempSettings temp;
    SettingsStore settings(temp.Path());
    ScriptedDialogs dialogs;
    CSerialPortsDialog dialog(settings, dialogs, {});
    const struct {
        const char *typed;
        const char *problem; // empty: taken
    } cases[] = {
        {"rfc2217://camserver:2217", ""},
        {"socket://192.168.10.20:4001", ""},
        {"rfc2217://[fe80::1]:2217", ""},
        {"rfc2217://camserver", "the TCP port is missing"},
        {"socket://camserver:70000", "is not a TCP port"},
        {"rfc2217://:2217", "the host is missing"},
    };
    for (const auto &row : cases) {
        dialogs.Clear();
        dialog.DeviceField(5).setEditText(QString::fromLatin1(row.typed));
        const bool taken = *row.problem == '\0';
        EXPECT_EQ(dialog.Apply(), taken) << row.typed;
        if (taken) {
            EXPECT_EQ(SettingsStore(temp.Path()).PortDevice(QStringLiteral("COM5")), QString::fromLatin1(row.typed));
            EXPECT_TRUE(dialogs.MessageTexts().isEmpty());
        } else {
            ASSERT_EQ(dialogs.MessageTexts().size(), 1) << row.typed;
            EXPECT_TRUE(dialogs.MessageTexts().front().contains(QLatin1String(row.problem)))
                << dialogs.MessageTexts().front().toStdString();
            EXPECT_TRUE(dialogs.MessageTexts().front().contains(QLatin1String(row.typed)));
        }
    }
}

TEST(SerialDevices, StablePathsComeFirstAndEachDeviceSaysWhatItIs)
{
    const std::vector<SerialPortFacts> ports = {
        {QStringLiteral("/dev/ttyUSB1"), QStringLiteral("FT232R USB UART"), QStringLiteral("FTDI"),
         QStringLiteral("A1"), {QStringLiteral("/dev/serial/by-id/usb-FTDI-A1")}},
        {QStringLiteral("/dev/ttyS0"), QString(), QString(), QString(), {}},
    };
    const std::vector<SerialDevice> choices = SerialDeviceChoices(ports);
    ASSERT_EQ(choices.size(), 3U);
    EXPECT_EQ(choices[0].path, "/dev/serial/by-id/usb-FTDI-A1");
    EXPECT_EQ(choices[0].description, "FT232R USB UART, FTDI, serial number A1 (/dev/ttyUSB1)");
    EXPECT_EQ(choices[1].path, "/dev/ttyS0");
    EXPECT_EQ(choices[2].path, "/dev/ttyUSB1");
}

} // namespace
