#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QVBoxLayout>

#include "app/AppContext.h"
#include "settings/PreferenceFile.h"
#include "ui/common/QtDialogs.h"

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QtDialogs dialogs;
    AppContext context(dialogs, PreferenceFile::DefaultPath());

    QDialog window;
    window.setWindowTitle(QStringLiteral("QN-5200R-RL Control Tool  Ver 2.01"));
    window.setWindowIcon(QIcon(QStringLiteral(":/res/icon-500.png")));
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("The control window is being built."), &window));
    dialogs.SetOwner(&window);
    window.exec();
    return 0;
}
