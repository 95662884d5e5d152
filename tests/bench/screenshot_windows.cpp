// Renders every page of the main window and the tool windows to PNG files, against the
// simulated camera, so a person can look at the layout: screenshot_windows <output folder>.
#include <cerrno>
#include <cmath>
#include <cstdio>

#include <QApplication>
#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QDir>
#include <QFile>
#include <QThread>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <QTabBar>
#include <QTimer>

#include "CameraSimulator.h"
#include "core/transport/OpenFailure.h"
#include "gui/app/AppContext.h"
#include "gui/common/InitialiseFailure.h"
#include "gui/common/QtDialogs.h"
#include "gui/common/UrlOpener.h"
#include "gui/lut/CLUTDlg.h"
#include "gui/lut/LutWindows.h"
#include "gui/main/CCtrlToolDlg.h"
#include "gui/main/ParameterSearch.h"
#include "gui/main/SettingFileOperations.h"
#include "gui/tools/AboutDialog.h"
#include "gui/tools/CameraIdDialog.h"
#include "gui/tools/CommunicationDialog.h"
#include "gui/tools/ParameterAreaSelectDialog.h"
#include "gui/tools/SerialDevices.h"
#include "gui/tools/SerialPortsDialog.h"
#include "gui/tools/TerminalDialog.h"
#include "gui/tools/UserIdDialog.h"
#include "support/ScriptedDialogs.h"
#include "support/TempSettings.h"

namespace {

// The "Failed to initialize!" box as the program shows it, with its details open.
void saveInitialiseFailure(const OpenFailure &failure, const QString &settingsPath, const QString &file)
{
    QTimer::singleShot(0, [file] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        for (QPushButton *button : box->findChildren<QPushButton *>()) {
            if (box->buttonRole(button) == QMessageBox::ActionRole)
                button->click(); // "Show Details..."
        }
        QCoreApplication::processEvents();
        box->grab().save(file);
        std::printf("%s %dx%d\n", qPrintable(file), box->width(), box->height());
        box->accept();
    });
    QtDialogs dialogs;
    ShowInitialiseFailure(dialogs, DescribeOpenFailure(failure, settingsPath));
}

// "Serial ports..." with an adapter, a built-in port and the simulator's pseudo-terminal.
void saveSerialPorts(AppContext &context, Dialogs &dialogs, const QString &camera, const QString &file)
{
    std::vector<SerialDevice> choices = SerialDeviceChoices({
        {QStringLiteral("/dev/ttyUSB0"), QStringLiteral("FT232R USB UART"), QStringLiteral("FTDI"),
         QStringLiteral("A10K3XYZ"), {QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0")}},
        {QStringLiteral("/dev/ttyS0"), QString(), QString(), QString(), {}},
    });
    choices.push_back({camera, QStringLiteral("camera simulator")});
    CSerialPortsDialog ports(context.settings(), dialogs, choices);
    ports.DeviceField(2).setEditText(choices.front().path);
    ports.show();
    QCoreApplication::processEvents();
    ports.grab().save(file);
    std::printf("%s %dx%d\n", qPrintable(file), ports.width(), ports.height());
}

// The screen around a window, with whatever pops up over it: under a real X server only.
void saveScreenAround(const QWidget &window, const QWidget &popup, const QString &file)
{
    const QRect frame = window.frameGeometry().united(popup.isVisible() ? popup.frameGeometry() : QRect());
    window.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height()).save(file);
    std::printf("%s %dx%d\n", qPrintable(file), frame.width(), frame.height());
}

// The camera against a file saved before two changes and with one typo; then the search for
// "gain" with its offers open.
void saveCompareAndSearch(CCtrlToolDlg &window, CameraSimulator &simulator, const QString &folder)
{
    const QString path = folder + QStringLiteral("/line-4.cam");
    window.SettingFiles().WriteAllDataFile(path);
    QFile file(path);
    if (file.open(QIODevice::Append))
        file.write("GAR=2OO\r\n");
    file.close();
    simulator.SetValue(QStringLiteral("GA"), 180);
    simulator.SetValue(QStringLiteral("TM"), 1);
    simulator.SetValue(QStringLiteral("BA"), 1);
    window.SettingFiles().CompareWith(path);
    SettingFileCompareWindow &compare = *window.SettingFiles().CompareWindow();
    compare.Rows().topLevelItem(0)->setSelected(true);
    QCoreApplication::processEvents();
    compare.grab().save(folder + QStringLiteral("/compare.png"));
    compare.close();

    window.activateWindow();
    window.Tabs().setCurrentIndex(0);
    window.Search().setFocus();
    window.Search().setText(QStringLiteral("gain"));
    emit window.Search().textEdited(window.Search().text());
    for (int i = 0; i < 20; ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
    saveScreenAround(window, *window.Search().completer()->popup(), folder + QStringLiteral("/search.png"));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    Q_INIT_RESOURCE(resources);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(folder);

    SimulatorOptions options;
    options.baud = 115200;
    CameraSimulator simulator(options);
    if (!simulator.Start())
        return 1;
    TempSettings temp;
    temp.WriteRaw("[General]\nControl%20Mode=1\n[Ports]\nCOM1=" + simulator.SlavePath().toLocal8Bit() + "\n");
    ScriptedDialogs dialogs;
    AppContext context(dialogs, temp.Path());
    CCtrlToolDlg window(context);
    window.Initialise();
    for (int tab = 0; tab < window.Tabs().count(); ++tab) {
        window.Tabs().setCurrentIndex(tab);
        QCoreApplication::processEvents();
        const QString name = QStringLiteral("%1/page-%2.png").arg(folder).arg(tab);
        window.grab().save(name);
        std::printf("%s %dx%d\n", qPrintable(name), window.width(), window.height());
    }
    saveCompareAndSearch(window, simulator, folder);
    window.Communication().grab().save(folder + QStringLiteral("/communication.png"));
    window.Terminal().resize(600, 400);
    window.Terminal().grab().save(folder + QStringLiteral("/terminal.png"));

    const IdentityServices identity{context.command(), context.cameraModel(), context.controlMode(), dialogs,
                                    context.onlineStatus(), context.windowList(), [](const QUrl &) {}};
    CAboutDialog about(identity);
    about.grab().save(folder + QStringLiteral("/about.png"));
    CUserIdDialog userId(identity);
    userId.grab().save(folder + QStringLiteral("/user-id.png"));
    CCameraIdDialog cameraId(identity);
    cameraId.grab().save(folder + QStringLiteral("/camera-id.png"));
    for (int mode : {CParameterAreaSelectDialog::Load, CParameterAreaSelectDialog::Store}) {
        CParameterAreaSelectDialog area({context.onlineStatus(), context.windowList(), context.controlMode()}, mode);
        area.grab().save(folder + QStringLiteral("/area-%1.png").arg(mode == CParameterAreaSelectDialog::Load ? "load" : "store"));
    }
    // Red: the eight edit points that Convert Editable places on a gamma 0.45 table; green: a
    // gamma 0.6 table as read (View Mode); blue: the two end points.
    for (int channel = 0; channel < 2; ++channel) {
        CLUTDlg &lut = window.Lut().Window(channel);
        const double gamma = channel == 0 ? 0.45 : 0.6;
        for (int i = 0; i < kLutEntries; ++i)
            lut.Table()[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(4095.0 * std::pow(i / 255.0, gamma));
        lut.ShowTableAsLoaded();
    }
    window.Lut().Window(0).ConvertEditable();
    for (int channel = 0; channel < 3; ++channel)
        window.Lut().Window(channel).grab().save(folder + QStringLiteral("/lut-%1.png").arg(channel));

    saveSerialPorts(context, dialogs, simulator.SlavePath(), folder + QStringLiteral("/serial-ports.png"));
    saveInitialiseFailure({true, QStringLiteral("/dev/ttyUSB0"), EACCES, QStringLiteral("dialout"), QString(), false}, temp.Path(),
                          folder + QStringLiteral("/initialise-failure-permission.png"));
    saveInitialiseFailure({true, QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0"),
                           ENOENT, QString(), QString(), false},
                          temp.Path(), folder + QStringLiteral("/initialise-failure-missing.png"));
    return 0;
}
