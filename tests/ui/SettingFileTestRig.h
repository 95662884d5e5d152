#pragma once

#include <QFile>
#include <QTemporaryDir>

#include "MainWindowTestRig.h"
#include "gui/main/MainMenu.h"
#include "gui/tools/CommunicationDialog.h"

// A started window with a folder for setting files, saved and loaded through the menu.
struct SettingFileRig {
    explicit SettingFileRig(int controlMode = 0) : rig({.controlMode = controlMode}) { rig.Start(); }

    QString Save(int menuId, const QString &name)
    {
        const QString path = folder.filePath(name);
        rig.dialogs.QueueFilePath(path);
        rig.window->OnMenu(menuId);
        return path;
    }
    // A file of these bytes in the folder; its path.
    QString Write(const QString &name, const QByteArray &bytes)
    {
        const QString path = folder.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            qFatal("cannot write the test file");
        return path;
    }
    // Loads a file of these bytes; the lines the camera received. The message log starts empty.
    QList<QByteArray> Load(const QByteArray &bytes)
    {
        rig.window->Communication().OnClearLog();
        const QString path = Write(QStringLiteral("load.cam"), bytes);
        rig.simulator->ClearWireLog();
        rig.dialogs.Clear();
        rig.dialogs.QueueFilePath(path);
        rig.window->OnMenu(MenuId::Open);
        return rig.Received();
    }

    QStringList LogLines() const { return rig.window->Communication().Log().NewestFirst(); }

    MainWindowRig rig;
    QTemporaryDir folder;
};
