#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "MainWindowTestRig.h"
#include "core/common/TextFiles.h"
#include "gui/main/MainMenu.h"
#include "support/FileBytes.h"

TEST(SettingFileWindow, SaveChangeLoadRestoresTheCameraAndSkipsEmptyMnemonics)
{
    MainWindowRig rig({});
    rig.Start();
    CCtrlToolDlg &window = *rig.window;
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("all.cam"));

    rig.dialogs.QueueFilePath(path);
    window.OnMenu(MenuId::SaveAllData);
    const QByteArray saved = FileBytes(path);
    ASSERT_FALSE(saved.isEmpty());
    EXPECT_TRUE(saved.endsWith("\r\n"));
    EXPECT_EQ(saved.count("\r\n"), saved.count('\n')) << "every line ends in CR LF";
    EXPECT_FALSE(saved.startsWith("MD00=")) << "standard mode has no model line";
    EXPECT_TRUE(saved.contains("\r\n=")) << "rows of the empty mnemonic are still written";
    QString storedFolder;
    rig.context->settings().ReadString(SettingIndex::CameraFilePath, storedFolder);
    EXPECT_EQ(storedFolder, folder.path());

    const QStringList changed = {"GA", "GAR", "GAB", "AGCF", "PE", "OFC", "LR", "TM", "TI", "TA", "BA"};
    std::map<QString, qint64> before;
    for (const QString &mnemonic : changed) {
        before[mnemonic] = rig.simulator->Value(mnemonic).value_or(-1);
        rig.simulator->SetValue(mnemonic, before[mnemonic] + 1);
    }
    rig.simulator->ClearWireLog();
    rig.dialogs.Clear();

    // Read back with LF line ends: the same file to the reader.
    const QString lfPath = folder.filePath(QStringLiteral("lf.cam"));
    QFile lf(lfPath);
    ASSERT_TRUE(lf.open(QIODevice::WriteOnly));
    lf.write(QByteArray(saved).replace("\r\n", "\n"));
    lf.close();
    rig.dialogs.QueueFilePath(lfPath);
    window.OnMenu(MenuId::Open);
    for (const QString &mnemonic : changed)
        EXPECT_EQ(rig.simulator->Value(mnemonic).value_or(-2), before[mnemonic]) << mnemonic.toStdString();
    for (const QByteArray &line : rig.Received())
        EXPECT_FALSE(line.startsWith('=')) << "a line of the empty mnemonic was sent";
    EXPECT_FALSE(rig.context->progress().IsVisible());
}

TEST(SettingFileWindow, UnwritableAndUnreadablePathsGiveTheirBoxAndKeepTheOldFile)
{
    MainWindowRig rig({});
    rig.Start();
    CCtrlToolDlg &window = *rig.window;
    QTemporaryDir folder;
    const QString missing = folder.filePath(QStringLiteral("no/such/folder/x.cam"));
    rig.dialogs.Clear();
    rig.dialogs.QueueFilePath(missing);
    window.OnMenu(MenuId::SaveShippingData);
    EXPECT_TRUE(rig.BoxTexts().contains(missing + "\nCouldn't open this file"));
    rig.dialogs.Clear();
    rig.simulator->ClearWireLog();
    rig.dialogs.QueueFilePath(missing);
    window.OnMenu(MenuId::Open);
    EXPECT_TRUE(rig.BoxTexts().contains(missing + "\nCouldn't open this file"));
    EXPECT_TRUE(rig.Received().isEmpty());

    // "No" to the replace question writes nothing.
    const QString existing = folder.filePath(QStringLiteral("old.cam"));
    QFile old(existing);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("OLD\r\n");
    old.close();
    rig.dialogs.QueueFilePath(existing);
    rig.dialogs.QueueAnswer(MessageAnswer::No);
    window.OnMenu(MenuId::SaveAllData);
    EXPECT_EQ(FileBytes(existing), "OLD\r\n");
}
