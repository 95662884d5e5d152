// Renders every page of the main window and the tool windows to PNG files, against the
// simulated camera, so a person can look at the layout: screenshot_windows <output folder>.
#include <cmath>
#include <cstdio>

#include <QApplication>
#include <QDir>
#include <QTabBar>

#include "CameraSimulator.h"
#include "app/AppContext.h"
#include "support/ScriptedDialogs.h"
#include "support/TempSettings.h"
#include "ui/auxiliary/AboutDialog.h"
#include "ui/auxiliary/CameraIdDialog.h"
#include "ui/auxiliary/CommunicationDialog.h"
#include "ui/auxiliary/ParameterAreaSelectDialog.h"
#include "ui/auxiliary/TerminalDialog.h"
#include "ui/auxiliary/UserIdDialog.h"
#include "ui/common/UrlOpener.h"
#include "ui/lut/CLUTDlg.h"
#include "ui/lut/LutWindows.h"
#include "ui/main/CCtrlToolDlg.h"

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
    return 0;
}
