#include <QComboBox>
#include <QLineEdit>

#include <gtest/gtest.h>

#include "MainWindowTestRig.h"
#include "OperatorActions.h"
#include "gui/tools/TerminalDialog.h"

using namespace OperatorActions;

namespace {

bool sawBox(const ScriptedDialogs &dialogs, const QString &text, MessageIcon icon)
{
    for (const MessageRequest &box : dialogs.Messages()) {
        if (box.text == text)
            return box.icon == icon;
    }
    return false;
}

} // namespace

TEST(PageButtons, FactoryPageVersionModelTerminalAndReset)
{
    MainWindowRig rig({.controlMode = 1});
    rig.Start();
    CCtrlToolDlg &window = *rig.window;
    rig.simulator->ClearWireLog();
    rig.dialogs.Clear();

    // XML version: read into three digits; write takes the first character of each box.
    Click(window, 1182);
    const qint64 version = rig.simulator->Value(QStringLiteral("XMLVR")).value_or(-1);
    EXPECT_EQ(Text(window, 1178), QString::number(version / 100));
    EXPECT_EQ(Text(window, 1179), QString::number(version / 10 % 10));
    EXPECT_EQ(Text(window, 1180), QString::number(version % 10));
    Type(window, 1178, "12");
    Type(window, 1179, "3");
    Type(window, 1180, "45");
    Click(window, 1181);
    EXPECT_TRUE(rig.Received().contains("XMLVR=134"));
    // The camera keeps its XML version read-only: the failure box, not the completion one.
    EXPECT_TRUE(sawBox(rig.dialogs, "Couldn't write the XML Version.", MessageIcon::Stop));
    EXPECT_FALSE(rig.BoxTexts().contains("Writing the XML Version has been completed."));
    rig.dialogs.Clear();
    rig.simulator->ClearWireLog();

    // Camera model id: the selected entry's name, then the model is identified again.
    QComboBox &models = Control<QComboBox>(window, 1142);
    Choose(window, 1142, 1);
    EXPECT_TRUE(rig.Received().isEmpty()) << "the model list is written only by its button";
    Click(window, 1014);
    QList<QByteArray> lines = rig.Received();
    ASSERT_GE(lines.indexOf("MD00=QN-5200R-BDX"), 0);
    EXPECT_GT(lines.indexOf("MD?"), lines.indexOf("MD00=QN-5200R-BDX"));
    EXPECT_TRUE(sawBox(rig.dialogs, "Succeeded in writting camera model id.", MessageIcon::Information));
    EXPECT_EQ(rig.context->cameraModel().Code(), 1);
    rig.dialogs.Clear();
    rig.simulator->RefuseMnemonic(QStringLiteral("MD00"));
    Click(window, 1014);
    EXPECT_TRUE(sawBox(rig.dialogs, "Failed writting camera model id.", MessageIcon::Stop));
    rig.dialogs.Clear();
    rig.simulator->ClearWireLog();
    models.setCurrentIndex(-1);
    Click(window, 1014);
    EXPECT_TRUE(rig.Received().isEmpty()) << "no selection: nothing to send";
    EXPECT_TRUE(sawBox(rig.dialogs, "Failed writting camera model id.", MessageIcon::Stop));
    rig.dialogs.Clear();

    Click(window, 1010);
    EXPECT_TRUE(window.Terminal().isVisible());

    // "Store All": nothing without a yes; after it the three user areas, then the factory area.
    rig.simulator->ClearWireLog();
    rig.dialogs.Clear();
    rig.dialogs.QueueAnswer(MessageAnswer::No);
    Click(window, 1021);
    EXPECT_TRUE(rig.BoxTexts().contains("Are you sure you want to overwrite into all EEPROM areas?"));
    EXPECT_TRUE(rig.Received().isEmpty());
    rig.dialogs.Clear();
    rig.dialogs.QueueAnswer(MessageAnswer::Yes);
    Click(window, 1021);
    EXPECT_EQ(rig.Received(), (QList<QByteArray>{"SA=1", "SA=2", "SA=3", "SA00=0"}));
    EXPECT_TRUE(sawBox(rig.dialogs, "Completed to store current setting data!", MessageIcon::Information));
    rig.dialogs.Clear();

    // Camera reset closes without the exit question, even when the camera refuses it.
    rig.simulator->RefuseMnemonic(QStringLiteral("CRS00"));
    Click(window, 1012);
    EXPECT_TRUE(rig.Received().contains("CRS00=1"));
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), QDialog::Rejected);
    EXPECT_FALSE(rig.BoxTexts().contains("Are you sure to terminate the Camera Control Tool ?"));
}
