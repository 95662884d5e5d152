#include <QComboBox>
#include <QLineEdit>

#include <gtest/gtest.h>

#include "MainWindowTestRig.h"
#include "OperatorActions.h"
#include "gui/main/CameraReads.h"
#include "gui/main/GainAutoControls.h"
#include "gui/main/SpinButton.h"

using namespace OperatorActions;

namespace {

// The lines the camera understood since the log was last cleared.
struct Wire {
    QList<QByteArray> lines;
    int At(const QByteArray &line, int from = 0) const { return static_cast<int>(lines.indexOf(line, from)); }
    bool Has(const QByteArray &line) const { return lines.contains(line); }
    bool HasPrefix(const QByteArray &prefix) const
    {
        for (const QByteArray &line : lines) {
            if (line.startsWith(prefix))
                return true;
        }
        return false;
    }
};

Wire take(MainWindowRig &rig)
{
    Wire wire{rig.Received()};
    rig.simulator->ClearWireLog();
    return wire;
}

QString cameraValue(const MainWindowRig &rig, const char *mnemonic)
{
    return QString::number(rig.simulator->Value(QString::fromLatin1(mnemonic)).value_or(-1));
}

// The value of the camera's last reply to a query of a computed readout.
QString lastReply(const MainWindowRig &rig, const QByteArray &mnemonic)
{
    QString value = QStringLiteral("<no reply>");
    for (const WireEvent &event : rig.simulator->WireLog()) {
        if (event.kind == WireEvent::Kind::Sent && event.data.startsWith(mnemonic + "="))
            value = QString::fromLatin1(event.data.mid(mnemonic.size() + 1).trimmed());
    }
    return value;
}

} // namespace

TEST(LiveEditing, NumberFieldsWriteThroughAndFollowTheCamera)
{
    MainWindowRig rig({});
    rig.simulator->SetValue(QStringLiteral("GA"), 120);
    rig.Start();
    CCtrlToolDlg &window = *rig.window;
    ControlTable &table = rig.context->controlTable();
    rig.simulator->ClearWireLog();

    // Width: the value goes out, then the camera's adopted value is read back and shown.
    TypeAndEnter(window, 1225, "2048");
    Wire wire = take(rig);
    ASSERT_GE(wire.At("WTC=2048"), 0);
    EXPECT_GT(wire.At("WTC?"), wire.At("WTC=2048"));
    EXPECT_EQ(Text(window, 1225), cameraValue(rig, "WTC"));
    EXPECT_EQ(table.GetSavedValue(1225), table.GetDataValue(1225));

    // Leaving the field after Enter does not send it a second time.
    Control<QLineEdit>(window, 1227).setFocus();
    QCoreApplication::processEvents();
    EXPECT_FALSE(take(rig).HasPrefix("WTC")) << "one Enter, one commit";

    // Typed and left without Enter: focus loss commits it.
    QLineEdit &width = Type(window, 1225, "1024");
    Control<QLineEdit>(window, 1227).setFocus();
    QCoreApplication::processEvents();
    EXPECT_TRUE(take(rig).Has("WTC=1024"));
    EXPECT_EQ(width.text(), cameraValue(rig, "WTC"));

    // Refused: the read-back still shows what the camera kept.
    rig.simulator->RefuseMnemonic(QStringLiteral("WTC"));
    TypeAndEnter(window, 1225, "4000");
    wire = take(rig);
    EXPECT_TRUE(wire.Has("WTC=4000"));
    EXPECT_GT(wire.At("WTC?"), wire.At("WTC=4000"));
    EXPECT_EQ(Text(window, 1225), "1024");
    EXPECT_EQ(table.GetDataValue(1225), 1024);
    rig.simulator->AcceptMnemonic(QStringLiteral("WTC"));

    // A spin step that the camera refuses leaves spin and edit at the saved value.
    SpinButton &gainSpin = Control<SpinButton>(window, 1045);
    ASSERT_EQ(Text(window, 1041), "120");
    rig.simulator->RefuseMnemonic(QStringLiteral("GA"));
    Step(window, 1045, 1);
    EXPECT_TRUE(take(rig).Has("GA=121"));
    EXPECT_EQ(Text(window, 1041), "120");
    EXPECT_EQ(gainSpin.position(), 120);
    EXPECT_EQ(table.GetDataValue(1041), 120);
    rig.simulator->AcceptMnemonic(QStringLiteral("GA"));
    Step(window, 1045, 1);
    EXPECT_TRUE(take(rig).Has("GA=121"));
    EXPECT_EQ(Text(window, 1041), "121");
    EXPECT_EQ(table.GetSavedValue(1041), 121);

    // Two rows changed before one successful send: both go out and both are committed.
    const std::int32_t red = table.GetSavedValue(1246);
    table.SetDataValue(1246, red + 1);
    TypeAndEnter(window, 1041, "150");
    wire = take(rig);
    EXPECT_TRUE(wire.Has("GA=150"));
    EXPECT_TRUE(wire.Has("GAR=" + QByteArray::number(red + 1)));
    EXPECT_EQ(table.GetSavedValue(1246), red + 1);
    EXPECT_EQ(table.GetSavedValue(1041), 150);

    // The first fails: the second is neither sent nor committed, and goes with the next change.
    table.SetDataValue(1246, red + 2);
    rig.simulator->RefuseMnemonic(QStringLiteral("GA"));
    TypeAndEnter(window, 1041, "160");
    wire = take(rig);
    EXPECT_TRUE(wire.Has("GA=160"));
    EXPECT_FALSE(wire.HasPrefix("GAR="));
    EXPECT_EQ(Text(window, 1041), "150");
    EXPECT_EQ(table.GetDataValue(1246), red + 2);
    EXPECT_EQ(table.GetSavedValue(1246), red + 1);
    rig.simulator->AcceptMnemonic(QStringLiteral("GA"));
    TypeAndEnter(window, 1041, "170");
    wire = take(rig);
    EXPECT_TRUE(wire.Has("GA=170"));
    EXPECT_TRUE(wire.Has("GAR=" + QByteArray::number(red + 2)));
    EXPECT_EQ(table.GetSavedValue(1246), red + 2);

    // Line rate: the period and frequency readouts follow.
    TypeAndEnter(window, 1187, "3000");
    EXPECT_TRUE(take(rig).Has("LR=3000"));
    EXPECT_EQ(Text(window, 1215), "30.00us");
    EXPECT_EQ(Text(window, 1216), "33333.3333hz");

    // Gain-auto reference: percentage and the two levels.
    TypeAndEnter(window, 1665, "50");
    take(rig);
    EXPECT_EQ(Text(window, 1671), "128");
    EXPECT_EQ(Text(window, 1669), "512");
    TypeAndEnter(window, 1671, "77");
    wire = take(rig);
    EXPECT_TRUE(wire.Has("AGCF=30"));
    EXPECT_FALSE(wire.HasPrefix("AGCFV")) << "the levels are not sent";
    EXPECT_EQ(Text(window, 1665), "30");
    EXPECT_EQ(Text(window, 1669), "308");
    TypeAndEnter(window, 1669, "309");
    take(rig);
    EXPECT_EQ(Text(window, 1671), "77");
    EXPECT_EQ(Text(window, 1665), "30");
    EXPECT_EQ(Text(window, 1669), "309");
    // A percentage the camera refuses puts all three fields back.
    rig.simulator->RefuseMnemonic(QStringLiteral("AGCF"));
    TypeAndEnter(window, 1671, "200");
    EXPECT_TRUE(take(rig).Has("AGCF=78"));
    EXPECT_EQ(Text(window, 1665), "30");
    EXPECT_EQ(Text(window, 1671), "77");
    EXPECT_EQ(Text(window, 1669), "309");
    EXPECT_EQ(table.GetDataValue(1665), table.GetSavedValue(1665));
    EXPECT_EQ(rig.window->GainAuto().Levels().level10, 309);
}

TEST(LiveEditing, ListsSendTheirCodesAndTheirRulesFollow)
{
    MainWindowRig rig({});
    rig.simulator->SetValue(QStringLiteral("CLCFG"), 4);
    rig.Start();
    CCtrlToolDlg &window = *rig.window;
    ControlTable &table = rig.context->controlTable();
    rig.simulator->ClearWireLog();

    // A refused list write selects the saved entry again.
    ASSERT_EQ(Control<QComboBox>(window, 1223).currentText(), "Eighty");
    rig.simulator->RefuseMnemonic(QStringLiteral("CLCFG"));
    Choose(window, 1223, 2);
    Wire wire = take(rig);
    EXPECT_TRUE(wire.Has("CLCFG=2"));
    EXPECT_FALSE(wire.Has("LR?")) << "the line rate is read back only after a successful write";
    EXPECT_EQ(Control<QComboBox>(window, 1223).currentText(), "Eighty");
    EXPECT_EQ(table.GetDataValue(1223), 4);
    rig.simulator->AcceptMnemonic(QStringLiteral("CLCFG"));
    Choose(window, 1223, 1);
    wire = take(rig);
    EXPECT_GT(wire.At("LR?"), wire.At("CLCFG=1"));
    EXPECT_EQ(table.GetSavedValue(1223), 1);

    // Attached codes go out, and the camera's code selects its entry again.
    Choose(window, 1363, 4);
    EXPECT_TRUE(take(rig).Has("PGIN0=11"));
    Choose(window, 1375, 4);
    EXPECT_TRUE(take(rig).Has("PGIN1=10"));
    Choose(window, 1098, 12);
    EXPECT_TRUE(take(rig).Has("TI=23"));
    Choose(window, 1363, 0);
    rig.simulator->SetValue(QStringLiteral("PGIN0"), 11);
    CameraReads(rig.context->command(), table, window).ReadFromCamera(1363);
    EXPECT_EQ(Selected(window, 1363), 4);

    // Gain mode: the red and blue spin ranges.
    Choose(window, 1259, 1);
    EXPECT_TRUE(take(rig).Has("GM=1"));
    EXPECT_EQ(Control<SpinButton>(window, 1247).lower(), 100);
    EXPECT_EQ(Control<SpinButton>(window, 1249).upper(), 6400);
    EXPECT_TRUE(Control<QComboBox>(window, 1173).isEnabled());
    Choose(window, 1259, 0);
    EXPECT_EQ(Control<SpinButton>(window, 1247).lower(), 40);
    EXPECT_EQ(Control<SpinButton>(window, 1249).upper(), 400);
    EXPECT_FALSE(Control<QComboBox>(window, 1173).isEnabled());

    // A gain mode the tool has no layout for: the camera took it, the operator is told.
    QComboBox &gainModes = Control<QComboBox>(window, 1259);
    gainModes.addItem(QStringLiteral("Other"));
    rig.dialogs.Clear();
    rig.simulator->ReplaceNextReply("COMPLETE\r\n");
    Choose(window, 1259, 2);
    EXPECT_TRUE(take(rig).Has("GM=2"));
    ASSERT_EQ(rig.dialogs.Messages().size(), 1u);
    EXPECT_EQ(rig.dialogs.Messages()[0].text, "Unkown Parameter");
    EXPECT_EQ(rig.dialogs.Messages()[0].caption, "Error");
    EXPECT_EQ(rig.dialogs.Messages()[0].icon, MessageIcon::None);
    Choose(window, 1259, 0);
    gainModes.removeItem(2);
    take(rig);

    // Trigger mode enables Auto Reset Mode, and the exposure settings are read back.
    Choose(window, 1096, 1);
    wire = take(rig);
    EXPECT_GT(wire.At("PE?"), wire.At("TM=1"));
    EXPECT_TRUE(Control<QComboBox>(window, 1186).isEnabled());
    // Refused: the list and the rule go back together.
    rig.simulator->RefuseMnemonic(QStringLiteral("TM"));
    Choose(window, 1096, 0);
    EXPECT_EQ(Selected(window, 1096), 1);
    EXPECT_TRUE(Control<QComboBox>(window, 1186).isEnabled());
    rig.simulator->AcceptMnemonic(QStringLiteral("TM"));
    Choose(window, 1096, 0);
    EXPECT_FALSE(Control<QComboBox>(window, 1186).isEnabled());

    // Exposure mode: written, then everything it governs is read back.
    take(rig);
    Choose(window, 1092, 1);
    wire = take(rig);
    const int mode = wire.At("TR=1");
    ASSERT_GE(mode, 0);
    EXPECT_GT(wire.At("PE?", mode), mode);
    EXPECT_GT(wire.At("ETM?", mode), wire.At("TM?", mode));
    EXPECT_TRUE(Control<QLineEdit>(window, 1093).isEnabled());

    // Programmatic selections never send.
    take(rig);
    Control<QComboBox>(window, 1363).setCurrentIndex(3);
    window.RefreshAllControls();
    QCoreApplication::processEvents();
    EXPECT_TRUE(take(rig).lines.isEmpty());

    // Counters: the status texts.
    Click(window, 1442);
    wire = take(rig);
    EXPECT_GT(wire.At("CS0?"), wire.At("CV0?"));
    EXPECT_EQ(Text(window, 1444), "Counter Idle");
    Choose(window, 1439, 1);
    Click(window, 1441);
    wire = take(rig);
    EXPECT_LT(wire.At("CR0=0"), wire.At("CV0?"));
    EXPECT_EQ(Text(window, 1444), "---") << "the camera's status 1";
    EXPECT_FALSE(Text(window, 1443).isEmpty());

    // Limits show the camera's reply, or 0 when the query failed.
    take(rig);
    Click(window, 1219);
    EXPECT_EQ(Text(window, 1218), lastReply(rig, "LRMIN"));
    rig.simulator->RefuseMnemonic(QStringLiteral("PEMAX"));
    Click(window, 1222);
    EXPECT_EQ(Text(window, 1220), "0");
    EXPECT_EQ(Text(window, 1221), lastReply(rig, "PEMIN"));

    // Temperature: shown on success, kept on failure.
    Click(window, 1125);
    const QString temperature = lastReply(rig, "TMP0");
    EXPECT_EQ(Text(window, 1049), temperature);
    EXPECT_NE(temperature, "<no reply>");
    rig.simulator->RefuseMnemonic(QStringLiteral("TMP0"));
    Click(window, 1125);
    EXPECT_EQ(Text(window, 1049), temperature);

    // LUT entries are sent only by their buttons.
    TypeAndEnter(window, 1160, "5");
    Step(window, 1163, 1);
    EXPECT_FALSE(take(rig).HasPrefix("LUT"));
    TypeAndEnter(window, 1162, "1234");
    Click(window, 1165);
    wire = take(rig);
    EXPECT_LT(wire.At("LUTIG=5"), wire.At("LUTG=1234"));
    TypeAndEnter(window, 1162, "0");
    Click(window, 1164);
    wire = take(rig);
    EXPECT_LT(wire.At("LUTIG=5"), wire.At("LUTG?"));
    EXPECT_EQ(Text(window, 1162), "1234");
    EXPECT_EQ(table.GetSavedValue(1162), 1234);
}

TEST(LiveEditing, ChromaticAberrationGroupAddressesItsFamily)
{
    MainWindowRig rig({});
    rig.Start();
    CCtrlToolDlg &window = *rig.window;
    rig.simulator->ClearWireLog();

    Choose(window, 1560, 1);
    Wire wire = take(rig);
    EXPECT_TRUE(wire.Has("CACM=1"));
    EXPECT_TRUE(wire.Has("CACSM1?"));
    EXPECT_TRUE(wire.Has("CACMT1?"));
    EXPECT_TRUE(Control<QComboBox>(window, 1704).isEnabled());

    // Sync mode: only "Both"; choosing "Left" shows "Both" again.
    Choose(window, 1699, 0);
    EXPECT_TRUE(take(rig).Has("CACSM1=0"));
    Choose(window, 1704, 1);
    EXPECT_EQ(Selected(window, 1704), 0);

    // Async mode: "Left" is shown; "Both" shows "Left" again.
    Choose(window, 1699, 1);
    EXPECT_TRUE(take(rig).Has("CACSM1=1"));
    EXPECT_EQ(Selected(window, 1704), 1);
    Choose(window, 1704, 0);
    EXPECT_EQ(Selected(window, 1704), 1);
    take(rig);

    // "Right" with index 0 moves the index to 1 before the readouts.
    Choose(window, 1695, 0);
    take(rig);
    Choose(window, 1704, 2);
    wire = take(rig);
    EXPECT_EQ(Selected(window, 1695), 1);
    EXPECT_TRUE(wire.Has("CACRR1R1?"));
    EXPECT_TRUE(wire.Has("CACRR1?"));
    EXPECT_TRUE(wire.Has("CACRC1R?"));
    Choose(window, 1695, 0);
    EXPECT_EQ(Selected(window, 1695), 1);
    EXPECT_TRUE(take(rig).Has("CACRR1R1?"));

    // Cells on the right side, blue.
    Choose(window, 1700, 1);
    take(rig);
    TypeAndEnter(window, 1696, "5");
    wire = take(rig);
    EXPECT_LT(wire.At("CACM?"), wire.At("CACRR1B1=5"));
    EXPECT_GT(wire.At("CACMT1?"), wire.At("CACRR1B1=5"));
    Step(window, 1564, 1);
    EXPECT_TRUE(take(rig).HasPrefix("CACRB1="));
    TypeAndEnter(window, 1703, "20");
    wire = take(rig);
    EXPECT_LT(wire.At("CACRC1B=20"), wire.At("CACRR1B1?"));

    // Left side, red, index 3.
    Choose(window, 1704, 1);
    Choose(window, 1700, 0);
    Choose(window, 1695, 3);
    take(rig);
    TypeAndEnter(window, 1696, "-7");
    EXPECT_TRUE(take(rig).Has("CACR1R3=-7"));
    TypeAndEnter(window, 1702, "4");
    EXPECT_TRUE(take(rig).Has("CACR1=4"));

    Choose(window, 1701, 2);
    wire = take(rig);
    EXPECT_LT(wire.At("CACMT1=2"), wire.At("CACR1R3?"));
    Click(window, 1698);
    EXPECT_TRUE(take(rig).Has("CACS=0"));

    // Back to "Off": the group is locked again.
    Choose(window, 1560, 0);
    EXPECT_FALSE(Control<QComboBox>(window, 1704).isEnabled());
    EXPECT_FALSE(Control<SpinButton>(window, 1562).isEnabled());
}
