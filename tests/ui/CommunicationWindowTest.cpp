#include <QAccessible>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include "CommunicationTestRig.h"
#include "core/operations/FlashAreas.h"

namespace {

QStringList entriesOf(const QComboBox &list)
{
    QStringList entries;
    for (int i = 0; i < list.count(); ++i)
        entries << list.itemText(i);
    return entries;
}

QComboBox &listOf(const CCommunicationDialog &window, int id)
{
    return *ControlOf<QComboBox>(window.FindControl(id));
}

QPushButton &buttonOf(const CCommunicationDialog &window, int id)
{
    return *ControlOf<QPushButton>(window.FindControl(id));
}

TEST(CommunicationWindowTest, ControlsCarryTheirIdsTextsAndAccessibleNames)
{
    AuxWindowRig rig(AuxWindowRig::Options{});
    const CCommunicationDialog &window = rig.MakeCommunication();
    EXPECT_EQ(window.windowTitle(), "Communication");

    const std::pair<int, const char *> buttons[] = {
        {1072, "Write To File..."}, {1073, "Read To FIle...."}, {1074, "Get Area"}, {1076, "Store"},
        {1077, "Load"},             {1079, "Write To File"},    {1080, "Clear"},
    };
    for (const auto &[id, text] : buttons) {
        auto *button = ControlOf<QPushButton>(window.FindControl(id));
        ASSERT_NE(button, nullptr) << id;
        EXPECT_EQ(button->text(), text);
    }
    EXPECT_EQ(entriesOf(listOf(window, 1009)),
              QStringList({"Com Port", "Camera Link spec. 2000", "Camera Link spec. 2001", "Camera Link spec. ver.1.1"}));
    EXPECT_EQ(entriesOf(listOf(window, 1027)), QStringList({"9600bps", "19200bps", "38400bps", "57600bps", "115200bps"}));
    EXPECT_EQ(entriesOf(listOf(window, 1026)), QStringList({"Factory Data", "User 1 Data", "User 2 Data", "User 3 Data"}));
    EXPECT_EQ(listOf(window, 1005).count(), 16);
    EXPECT_EQ(listOf(window, 1005).itemText(15), "COM16");
    EXPECT_FALSE(listOf(window, 1027).isEnabled()); // display only
    EXPECT_EQ(listOf(window, 1027).currentText(), "9600bps");
    EXPECT_EQ(listOf(window, 1026).currentText(), "User 1 Data");
    EXPECT_EQ(ControlOf<QLabel>(window.FindControl(1063))->text(), "Offline");
    ASSERT_NE(window.FindControl(1088), nullptr);
    EXPECT_TRUE(window.FindControl(1088)->isHidden());

    for (int id : {1009, 1005, 1027, 1026, 1078}) {
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(window.FindControl(id));
        ASSERT_NE(accessible, nullptr);
        EXPECT_FALSE(accessible->text(QAccessible::Name).isEmpty()) << id;
    }
    EXPECT_EQ(window.FindControl(1009)->accessibleName(), "Category");
    EXPECT_EQ(window.FindControl(1078)->accessibleName(), "ControlTool Message");
}

TEST(CommunicationWindowTest, AfterAnAbnormalEndTheLinkKindFallsBackToTheComPort)
{
    AuxWindowRig crashed(AuxWindowRig::Options{.previousEndNormal = false, .storedKind = 2});
    const CCommunicationDialog &afterCrash = crashed.MakeCommunication();
    EXPECT_EQ(listOf(afterCrash, 1009).currentText(), "Com Port");
    EXPECT_EQ(crashed.link->GetKind(), 0);

    AuxWindowRig normal(AuxWindowRig::Options{.previousEndNormal = true, .storedKind = 2});
    const CCommunicationDialog &afterNormalEnd = normal.MakeCommunication();
    EXPECT_EQ(listOf(afterNormalEnd, 1009).currentText(), "Camera Link spec. 2001");
}

TEST(CommunicationWindowTest, StoreIsForUserAreasUnlessTheModeIsExtended)
{
    AuxWindowRig rig(AuxWindowRig::Options{});
    CCommunicationDialog &window = rig.MakeCommunication();
    QComboBox &areas = listOf(window, 1026);
    const QPushButton &store = buttonOf(window, 1076);
    EXPECT_TRUE(store.isEnabled());
    areas.setCurrentIndex(0);
    EXPECT_FALSE(store.isEnabled());
    areas.setCurrentIndex(3);
    EXPECT_TRUE(store.isEnabled());

    areas.setCurrentIndex(0);
    rig.controlMode->Set(1);
    window.UpdateStoreButton(); // what the main window calls after switching the mode
    EXPECT_TRUE(store.isEnabled());
    areas.setCurrentIndex(1);
    areas.setCurrentIndex(0);
    EXPECT_TRUE(store.isEnabled());
}

TEST(CommunicationWindowTest, GetAreaWithoutACameraShowsUnkownAndGoesOffline)
{
    AuxWindowRig rig(AuxWindowRig::Options{.cameraAnswers = false});
    CCommunicationDialog &window = rig.MakeCommunication();
    ASSERT_TRUE(rig.link->Open(0, 115200, 0));
    rig.onlineStatus.SetOnline(true);
    EXPECT_EQ(ControlOf<QLabel>(window.FindControl(1063))->text(), "Online");
    buttonOf(window, 1074).click();
    EXPECT_EQ(ControlOf<QLabel>(window.FindControl(1075))->text(), "Unkown");
    EXPECT_EQ(ControlOf<QLabel>(window.FindControl(1063))->text(), "Offline");
    EXPECT_EQ(window.FindControl(1071)->accessibleName(), "Offline");
    EXPECT_EQ(window.FindControl(1066)->accessibleName(), "Offline");
}

class CommunicationWithCameraTest : public ::testing::Test {
protected:
    CommunicationWithCameraTest() : rig(AuxWindowRig::Options{.controlMode = 1}), window(rig.MakeCommunication()) {}
    void SetUp() override
    {
        ASSERT_TRUE(rig.started);
        ASSERT_TRUE(rig.link->Open(0, 115200, 0));
    }
    AuxWindowRig rig;
    CCommunicationDialog &window;
};

TEST_F(CommunicationWithCameraTest, StoreSendsTheAreasCommandUnderTheProgressWindow)
{
    listOf(window, 1026).setCurrentIndex(0);
    buttonOf(window, 1076).click();
    listOf(window, 1026).setCurrentIndex(2);
    buttonOf(window, 1076).click();
    EXPECT_EQ(rig.LinesStartingWith("SA"), QList<QByteArray>({"SA00=0", "SA=2"}));
    EXPECT_EQ(rig.dialogs.MessageTexts(),
              QStringList({"Completed to store current setting data!", "Completed to store current setting data!"}));
    EXPECT_EQ(rig.dialogs.Messages().front().icon, MessageIcon::Information);
    EXPECT_FALSE(rig.progress.IsVisible());
    EXPECT_TRUE(window.isEnabled());
    EXPECT_EQ(ControlOf<QLabel>(window.FindControl(1063))->text(), "Online");
}

TEST_F(CommunicationWithCameraTest, LoadSendsTheAreaAndReloadsGetAreaNamesIt)
{
    listOf(window, 1026).setCurrentIndex(3);
    buttonOf(window, 1077).click();
    EXPECT_EQ(rig.LinesStartingWith("LD"), QList<QByteArray>({"LD=3"}));
    EXPECT_EQ(rig.host->reloadCalls, 1);

    buttonOf(window, 1074).click();
    const std::optional<qint64> area = rig.simulator->Value(QStringLiteral("EA"));
    ASSERT_TRUE(area.has_value());
    EXPECT_EQ(ControlOf<QLabel>(window.FindControl(1075))->text(), FlashAreaText(static_cast<int>(*area)));
    EXPECT_NE(ControlOf<QLabel>(window.FindControl(1075))->text(), "Unkown");
}

TEST_F(CommunicationWithCameraTest, SettingFileShortcutsGoToTheMainWindowAndClosingOnlyHides)
{
    buttonOf(window, 1072).click();
    buttonOf(window, 1073).click();
    EXPECT_EQ(rig.host->saveCalls, 1);
    EXPECT_EQ(rig.host->openCalls, 1);

    window.AppendLogLine(QStringLiteral("Tx: EA?"));
    for (int key : {Qt::Key_Escape, Qt::Key_Return}) {
        window.show();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(&window, &press);
        EXPECT_FALSE(window.isVisible());
    }
    window.show();
    window.close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.Log().LineAtRow(0), "Tx: EA?");
}

TEST(CommunicationCategoryTest, AKindThatCannotOpenIsReportedAndTheCameraIsStillProbed)
{
    AuxWindowRig rig(AuxWindowRig::Options{.cameraBaud = 9600}); // where a reopened link listens
    CCommunicationDialog &window = rig.MakeCommunication();
    window.OnCategoryChanged(2); // no library of that kind here
    EXPECT_EQ(rig.dialogs.MessageTexts(), QStringList({"Failed to initialize!"}));
    EXPECT_EQ(rig.host->identifyCalls, 1);
    EXPECT_EQ(rig.host->reloadCalls, 0);
    EXPECT_EQ(listOf(window, 1005).count(), 0);

    rig.dialogs.Clear();
    window.OnCategoryChanged(0);
    EXPECT_TRUE(rig.dialogs.Messages().empty());
    EXPECT_EQ(listOf(window, 1005).count(), 16);
    EXPECT_EQ(rig.host->identifyCalls, 2);
    EXPECT_EQ(rig.host->reloadCalls, 1); // the camera on COM1 answered
}

int zeroBytes(const CameraSimulator &simulator)
{
    int count = 0;
    for (const WireEvent &event : simulator.WireLog())
        count += event.kind == WireEvent::Kind::ZeroByte ? 1 : 0;
    return count;
}

// Every rate the "Baud Rate" list is moved to, in order.
std::vector<int> &recordSelections(QComboBox &list, std::vector<int> &codes)
{
    QObject::connect(&list, &QComboBox::currentIndexChanged, &list, [&codes](int code) { codes.push_back(code); });
    return codes;
}

TEST(CommunicationNegotiationTest, ACameraAt115200IsFoundOnTheSearchAndGetsNoRateChange)
{
    AuxWindowRig rig(AuxWindowRig::Options{.cameraBaud = 115200});
    CCommunicationDialog &window = rig.MakeCommunication();
    std::vector<int> selections;
    recordSelections(listOf(window, 1027), selections);
    window.NegotiateBaudRate(0);

    EXPECT_EQ(zeroBytes(*rig.simulator), 70);
    // The burst walks down from 115200 and ends at 9600 where the probe fails; the search
    // then finds the camera at once.
    EXPECT_EQ(selections, (std::vector<int>{4, 3, 2, 1, 0, 4}));
    EXPECT_TRUE(rig.LinesStartingWith("CBDRT").isEmpty());
    EXPECT_EQ(rig.LinesStartingWith("MD"), QList<QByteArray>({"MD?"}));
    EXPECT_EQ(rig.link->Baud(), 115200);
    EXPECT_EQ(listOf(window, 1027).currentText(), "115200bps");
    EXPECT_EQ(rig.host->identifyCalls, 2);
    EXPECT_EQ(rig.host->reloadCalls, 1);
}

TEST(CommunicationNegotiationTest, ACameraAt9600AnswersAfterTheBurstAndIsMovedTo115200)
{
    AuxWindowRig rig(AuxWindowRig::Options{.cameraBaud = 9600});
    CCommunicationDialog &window = rig.MakeCommunication();
    window.NegotiateBaudRate(0);

    EXPECT_EQ(zeroBytes(*rig.simulator), 70);
    std::vector<int> cbdrtRates;
    for (const WireEvent &event : rig.simulator->WireLog()) {
        if (event.kind == WireEvent::Kind::Received && event.data == "CBDRT=16")
            cbdrtRates.push_back(event.baud);
    }
    EXPECT_EQ(cbdrtRates, (std::vector<int>{9600, 115200}));
    EXPECT_EQ(rig.simulator->Baud(), 115200);
    EXPECT_EQ(rig.link->Baud(), 115200);
    EXPECT_EQ(listOf(window, 1027).currentText(), "115200bps");
    EXPECT_EQ(rig.host->identifyCalls, 1);
    EXPECT_EQ(rig.host->reloadCalls, 1);
}

} // namespace
