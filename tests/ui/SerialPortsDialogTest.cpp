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
