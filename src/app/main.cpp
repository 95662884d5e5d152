#include <QApplication>
#include <QTimer>

#include "app/AppContext.h"
#include "settings/PreferenceFile.h"
#include "ui/common/QtDialogs.h"
#include "ui/main/CCtrlToolDlg.h"

int main(int argc, char *argv[])
{
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
