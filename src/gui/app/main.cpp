#include <cstdio>
#include <cstring>

#include <QApplication>
#include <QDir>
#include <QTimer>

#include "core/settings/PreferenceFile.h"
#include "gui/app/AppContext.h"
#include "gui/common/QtDialogs.h"
#include "gui/main/CCtrlToolDlg.h"

namespace {

// The tool takes its whole configuration from its settings file; only these two questions are
// answered from the command line, before any window or display is needed.
bool answeredFromCommandLine(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("qn-control-tool %s\n", QN_PROJECT_VERSION);
            return true;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf("Usage: qn-control-tool [OPTION]\n\n"
                        "Control tool for QN-5200 line-scan colour cameras on a serial line.\n"
                        "Preferences and the device of each COM name ([Ports] group) are kept in\n"
                        "  %s\n\n"
                        "Options:\n"
                        "  -h, --help     show this help and exit\n"
                        "  --version      show the version and exit\n",
                        qPrintable(PreferenceFile::ShownPath(PreferenceFile::DefaultPath(), QDir::homePath())));
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    if (answeredFromCommandLine(argc, argv))
        return 0;
    QApplication application(argc, argv);
    QtDialogs dialogs;
    AppContext context(dialogs, PreferenceFile::DefaultPath());

    // The main window is the program's only long-lived loop: when it closes, the run ends.
    // It is not made modal, so the tool windows beside it stay usable.
    CCtrlToolDlg window(context);
    QApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(&window, &QDialog::finished, &application, &QApplication::quit);
    QTimer::singleShot(0, &window, [&window] { window.Initialise(); });
    return application.exec();
}
