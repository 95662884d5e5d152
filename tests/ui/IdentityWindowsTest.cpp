#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include "MainWindowTestRig.h"
#include "gui/tools/AboutDialog.h"
#include "gui/tools/CameraIdDialog.h"
#include "gui/tools/UserIdDialog.h"

namespace {

// The process-wide objects and a simulated camera, without the main window; the link is open.
struct IdentityRig {
    explicit IdentityRig(int controlMode = 1, bool cameraAnswers = true)
        : rig(MainWindowRig::Options{.controlMode = controlMode, .cameraAnswers = cameraAnswers})
    {
        rig.context->serialLink().Open(0, 115200, 0);
    }
    IdentityServices Services()
    {
        AppContext &c = *rig.context;
        return IdentityServices{c.command(),   c.cameraModel(), c.controlMode(), rig.dialogs, c.onlineStatus(),
                                c.windowList(), [this](const QUrl &url) { opened << url; }};
    }
    QList<QByteArray> Sent(const QByteArray &prefix) const
    {
        QList<QByteArray> lines;
        for (const QByteArray &line : rig.Received())
            if (line.startsWith(prefix))
                lines << line;
        return lines;
    }
    MainWindowRig rig;
    QList<QUrl> opened;
};

template <typename T>
T &ControlIn(const IdentityWindow &window, int id)
{
    auto *control = qobject_cast<T *>(window.FindControl(id));
    if (!control)
        qFatal("no control %d", id);
    return *control;
}

TEST(IdentityWindowsTest, UserIdOf64BytesIsWrittenAnd65OrALineFeedSendNothing)
{
    IdentityRig rig;
    CUserIdDialog window(rig.Services());
    const struct {
        QString text;
        const char *box;
        bool sent;
    } cases[] = {
        {QString(64, QLatin1Char('u')), nullptr, true},
        {QString(65, QLatin1Char('u')), "User ID string is too long !!", false},
        {QStringLiteral("abc\nCRS00=1"), nullptr, false},
    };
    for (const auto &c : cases) {
        rig.rig.simulator->ClearWireLog();
        rig.rig.dialogs.Clear();
        ControlIn<QLineEdit>(window, 1039).setText(c.text);
        ControlIn<QPushButton>(window, 1040).click();
        EXPECT_EQ(rig.Sent("UD=").size(), c.sent ? 1 : 0) << c.text.toStdString();
        EXPECT_TRUE(rig.Sent("CRS00").isEmpty());
        ASSERT_EQ(rig.rig.dialogs.Messages().size(), 1u);
        const MessageRequest &box = rig.rig.dialogs.Messages().front();
        EXPECT_EQ(box.icon, c.sent ? MessageIcon::Information : MessageIcon::Stop);
        if (c.box) {
            EXPECT_EQ(box.text, c.box);
        }
    }
    EXPECT_EQ(rig.rig.simulator->Text("UD"), QString(64, QLatin1Char('u')));
}

TEST(IdentityWindowsTest, DeviceVersionRepliesFillFourFieldsOnlyWithThreeDots)
{
    const struct {
        const char *reply;
        QStringList fields;
    } cases[] = {
        {"1.2.3.4", {"1", "2", "3", "4"}},
        {"1.2.3", {"?", "?", "?", "?"}},
        {"1.2.3.4.5", {"?", "?", "?", "?"}},
    };
    for (const auto &c : cases) {
        IdentityRig rig;
        rig.rig.simulator->SetText("DV", QString::fromLatin1(c.reply));
        CAboutDialog window(rig.Services());
        QStringList shown;
        for (int id : {1149, 1150, 1151, 1152})
            shown << ControlIn<QLineEdit>(window, id).text();
        EXPECT_EQ(shown, c.fields) << c.reply;
        EXPECT_EQ(ControlIn<QLabel>(window, 1022).text(), "2.1.0.7");
        EXPECT_EQ(ControlIn<QLabel>(window, 1002).text(), "2.01");
    }
}

TEST(IdentityWindowsTest, SaveDevVerWritesTheFirstCharacterOfEachField)
{
    IdentityRig rig;
    CAboutDialog window(rig.Services());
    const QStringList texts = {"12", "3", "", "4"};
    for (int i = 0; i < 4; ++i)
        ControlIn<QLineEdit>(window, 1149 + i).setText(texts[i]);
    ControlIn<QPushButton>(window, 1153).click();
    EXPECT_EQ(rig.Sent("DV00"), QList<QByteArray>({"DV00=1.3..4"}));
    EXPECT_EQ(rig.rig.BoxTexts(), QStringList({"Writing the Device Version has been completed."}));
}

TEST(IdentityWindowsTest, SevenCharacterCameraIdFillsSevenFieldsAndIsSavedAfterTheUnlock)
{
    IdentityRig rig;
    rig.rig.simulator->SetText("ID", "ABCDEFG");
    CCameraIdDialog window(rig.Services());
    QString shown;
    for (int id : CCameraIdDialog::kCharacterEdits)
        shown += ControlIn<QLineEdit>(window, id).text() + u'|';
    EXPECT_EQ(shown, "A|B|C|D|E|F|G||||");
    rig.rig.simulator->ClearWireLog();
    ControlIn<QPushButton>(window, 1050).click();
    EXPECT_EQ(rig.rig.Received(), QList<QByteArray>({"ULCK=5918274", "ID00=ABCDEFG"}));
    EXPECT_EQ(rig.rig.BoxTexts(), QStringList({"Completed saving camera id: ABCDEFG."}));
}

TEST(IdentityWindowsTest, StandardModeHidesTheWritesOfFactoryData)
{
    IdentityRig rig(0);
    CCameraIdDialog cameraId(rig.Services());
    EXPECT_TRUE(ControlIn<QPushButton>(cameraId, 1050).isHidden());
    CAboutDialog about(rig.Services());
    EXPECT_TRUE(ControlIn<QPushButton>(about, 1153).isHidden());
    for (int id : {1149, 1150, 1151, 1152})
        EXPECT_FALSE(ControlIn<QLineEdit>(about, id).isEnabled());
    // The user id starts locked and the lock buttons switch it.
    EXPECT_FALSE(ControlIn<QLineEdit>(about, 1028).isEnabled());
    about.OnEnableUserIdEdit();
    EXPECT_TRUE(ControlIn<QPushButton>(about, 1083).isEnabled());
    about.OnProtectUserId();
    EXPECT_FALSE(ControlIn<QPushButton>(about, 1083).isEnabled());
}

TEST(IdentityWindowsTest, HelpListOffersThePdfFilesOfTheCurrentFolder)
{
    IdentityRig rig;
    QTemporaryDir folder;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder.path());
    {
        CAboutDialog empty(rig.Services());
        ControlIn<QPushButton>(empty, 1043).click();
        EXPECT_EQ(rig.rig.BoxTexts(), QStringList({"No file was selected !!"}));
        EXPECT_TRUE(rig.opened.isEmpty());
    }
    for (const char *name : {"manual.pdf", "notes.txt"}) {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    {
        CAboutDialog about(rig.Services());
        EXPECT_EQ(ControlIn<QComboBox>(about, 1087).count(), 1);
        ControlIn<QPushButton>(about, 1043).click();
        ASSERT_EQ(rig.opened.size(), 1);
        EXPECT_EQ(rig.opened.front(), QUrl::fromLocalFile(folder.filePath("manual.pdf")));
    }
    QDir::setCurrent(previous);
}

TEST(IdentityWindowsTest, ACameraThatIsOffShowsOnlyPlaceholders)
{
    IdentityRig rig(1, false);
    CAboutDialog window(rig.Services());
    EXPECT_EQ(rig.rig.Received(), QList<QByteArray>({"VN?"})); // nothing after the failed firmware query
    for (int id : {1024, 1023})
        EXPECT_EQ(ControlIn<QLabel>(window, id).text(), "??????????");
    for (int id : {1022, 1082})
        EXPECT_EQ(ControlIn<QLabel>(window, id).text(), "?.?.?.?");
    EXPECT_EQ(ControlIn<QLineEdit>(window, 1028).text(), "????????????????");
}

} // namespace
