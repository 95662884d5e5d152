#include <functional>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include "MainWindowTestRig.h"
#include "core/settings/SettingsStore.h"
#include "gui/main/MainMenu.h"
#include "gui/tools/CommunicationDialog.h"
#include "gui/tools/SerialPortsDialog.h"

// "Serial ports..." in the running tool: what the operator picks there is what the next open
// of that port name uses.

namespace {

// Opens "Serial ports..." from the menu and lets `fill` work the window before OK is pressed.
// False when the window did not come up.
bool chooseInSerialPorts(CCtrlToolDlg &window, const std::function<void(CSerialPortsDialog &)> &fill)
{
    bool shown = false;
    QTimer::singleShot(0, &window, [&] {
        auto *ports = qobject_cast<CSerialPortsDialog *>(QApplication::activeModalWidget());
        if (!ports)
            return;
        shown = true;
        fill(*ports);
        ports->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    });
    QTimer::singleShot(10000, &window, [] {
        if (QWidget *stuck = QApplication::activeModalWidget())
            stuck->close(); // never hang the suite on a window that did not take OK
    });
    window.OnMenu(MenuId::SerialPorts);
    return shown;
}

TEST(SerialPortsWindow, TheChosenDeviceIsWhatTheNextOpenOfThatNameUses)
{
    MainWindowRig rig({});
    rig.Start();
    const QString camera = rig.simulator->SlavePath();
    CCommunicationDialog &communication = rig.window->Communication();
    auto *portName = qobject_cast<QComboBox *>(communication.FindControl(1005));
    ASSERT_TRUE(portName);
    EXPECT_EQ(portName->itemData(4, Qt::ToolTipRole).toString(), "/dev/ttyS4") << "COM5 before the choice";

    ASSERT_TRUE(chooseInSerialPorts(*rig.window, [&](CSerialPortsDialog &ports) {
        EXPECT_EQ(ports.DeviceField(1).currentText(), camera);
        EXPECT_EQ(ports.DeviceField(5).currentText(), "/dev/ttyS4");
        ports.DeviceField(5).setEditText(camera);
    }));
    EXPECT_EQ(SettingsStore(rig.temp.Path()).PortDevice(QStringLiteral("COM5")), camera) << "OK wrote [Ports]";
    EXPECT_EQ(portName->itemData(4, Qt::ToolTipRole).toString(), camera);
    EXPECT_EQ(portName->itemData(4, Qt::AccessibleDescriptionRole).toString(), camera);

    // The operator picks COM5 in the communication window: the camera answers there.
    rig.dialogs.Clear();
    rig.simulator->ClearWireLog();
    portName->setCurrentIndex(4);
    emit portName->activated(4);
    EXPECT_EQ(rig.context->serialLink().CurrentPortIndex(), 4);
    EXPECT_TRUE(rig.dialogs.Messages().empty()) << rig.BoxTexts().join('\n').toStdString();
    EXPECT_TRUE(rig.Received().contains("MD?"));
    EXPECT_EQ(portName->toolTip(), camera);
}

TEST(SerialPortsWindow, ARefusedPathIsSaidAndNothingIsWritten)
{
    MainWindowRig rig({});
    rig.Start();
    const QByteArray before = [&] {
        QFile file(rig.temp.Path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();

    // A path that is not there: the window says so, stays open, and nothing is written.
    bool refused = false;
    ASSERT_TRUE(chooseInSerialPorts(*rig.window, [&](CSerialPortsDialog &ports) {
        ports.DeviceField(2).setEditText(QStringLiteral("/dev/serial/by-id/usb-gone-if00"));
        ports.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        refused = ports.isVisible();
        ports.DeviceField(2).setEditText(QStringLiteral("/dev/ttyS1")); // back as it was
    }));
    EXPECT_TRUE(refused);
    ASSERT_EQ(rig.dialogs.MessageTexts().size(), 1);
    EXPECT_TRUE(rig.dialogs.MessageTexts().front().contains("/dev/serial/by-id/usb-gone-if00"));
    EXPECT_TRUE(rig.dialogs.MessageTexts().front().contains("COM2"));
    QFile after(rig.temp.Path());
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), before);
}

// Choosing a port whose device is gone: the box says which device and why, and so does the log.
TEST(SerialPortsWindow, APortThatWillNotOpenSaysWhyInTheBoxAndInTheLog)
{
    MainWindowRig rig({});
    rig.Start();
    ASSERT_TRUE(rig.context->settings().SetPortDevice(QStringLiteral("COM6"), QStringLiteral("/nonexistent/ttyUSB9")));
    auto *portName = qobject_cast<QComboBox *>(rig.window->Communication().FindControl(1005));
    ASSERT_TRUE(portName);
    rig.dialogs.Clear();
    portName->setCurrentIndex(5);
    emit portName->activated(5);
    ASSERT_FALSE(rig.dialogs.Messages().empty());
    const MessageRequest &box = rig.dialogs.Messages().front();
    EXPECT_EQ(box.text, "Failed to initialize COM6 port!\nError in CreateFile()");
    EXPECT_TRUE(box.detailedText.contains("Device: /nonexistent/ttyUSB9")) << box.detailedText.toStdString();
    EXPECT_TRUE(box.detailedText.contains("not there")) << box.detailedText.toStdString();
    EXPECT_TRUE(rig.window->Communication().Log().OldestFirst().join('\n').contains(
        "Failed to initialize: Device: /nonexistent/ttyUSB9"));
}

} // namespace
