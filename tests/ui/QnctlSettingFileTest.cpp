#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "MainWindowTestRig.h"
#include "core/common/TextFiles.h"
#include "gui/main/MainMenu.h"
#include "support/FileBytes.h"

// The command line and the windows write the same camera's setting file byte for byte, in
// both control modes, and each reads the other's.
TEST(QnctlSettingFile, TheWindowsAndTheCommandLineWriteTheSameFile)
{
    for (const int mode : {0, 1}) {
        MainWindowRig rig({.controlMode = mode});
        rig.simulator->SetValue(QStringLiteral("GA"), 777);
        rig.Start();
        QTemporaryDir folder;
        const QString windowFile = folder.filePath(QStringLiteral("window.cam"));
        rig.dialogs.QueueFilePath(windowFile);
        rig.window->OnMenu(MenuId::SaveAllData);
        rig.Finish(); // the window's run ends and lets go of the port

        const QString lineFile = folder.filePath(QStringLiteral("line.cam"));
        QProcess qnctl;
        qnctl.start(QStringLiteral(QNCTL_PATH),
                    {QStringLiteral("--settings"), folder.filePath(QStringLiteral("prefs.ini")), QStringLiteral("--port"),
                     rig.simulator->SlavePath(), QStringLiteral("--rate=115200"), QStringLiteral("--mode"),
                     mode == 1 ? QStringLiteral("extended") : QStringLiteral("standard"), QStringLiteral("save"),
                     lineFile});
        ASSERT_TRUE(qnctl.waitForFinished(60000));
        ASSERT_EQ(qnctl.exitCode(), 0) << qnctl.readAllStandardError().toStdString();

        const QByteArray fromWindow = FileBytes(windowFile);
        ASSERT_FALSE(fromWindow.isEmpty());
        EXPECT_EQ(FileBytes(lineFile), fromWindow) << "mode " << mode;
        EXPECT_EQ(fromWindow.startsWith("MD00="), mode == 1);
        EXPECT_TRUE(fromWindow.contains("\r\nGA=777\r\n"));
    }
}
