#pragma once

#include <QApplication>

// The one application object of a widget test program, made on first use. The windows'
// artwork lives in a static library that nothing else refers to, so it is pulled in here.
inline QApplication &TestApplication()
{
    static int argc = 1;
    static char name[] = "qn_ui_tests";
    static char *argv[] = {name, nullptr};
    auto *instance = qobject_cast<QApplication *>(QCoreApplication::instance());
    if (!instance)
        instance = new QApplication(argc, argv);
    Q_INIT_RESOURCE(resources);
    return *instance;
}
