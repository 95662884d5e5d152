#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include "CommunicationTestRig.h"
#include "gui/tools/TerminalLayout.h"
#include "gui/tools/TerminalStamp.h"

namespace {

const QRegularExpression kStamped(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\d  (.*)$"));

QString unstamped(const QString &line)
{
    const QRegularExpressionMatch match = kStamped.match(line);
    return match.hasMatch() ? match.captured(1) : QStringLiteral("<no stamp: %1>").arg(line);
}

class TerminalWindowTest : public ::testing::Test {
protected:
    TerminalWindowTest() : rig(AuxWindowRig::Options{}), window(rig.MakeTerminal()) {}

    QPushButton &button(int id) { return *ControlOf<QPushButton>(window.FindControl(id)); }
    QLineEdit &edit() { return *ControlOf<QLineEdit>(window.FindControl(kTerminalEditId)); }

    AuxWindowRig rig;
    CTerminalDialog &window;
};

TEST(TerminalStampTest, MinuteSecondMillisecondWithoutTheHour)
{
    EXPECT_EQ(TerminalStamp(QTime(13, 5, 7, 9)), "05:07:009  ");
    EXPECT_EQ(TerminalStamp(QTime(23, 59, 59, 999)), "59:59:999  ");
    // An hour apart, the same stamp.
    EXPECT_EQ(TerminalStamp(QTime(1, 2, 3, 4)), TerminalStamp(QTime(2, 2, 3, 4)));
}

TEST_F(TerminalWindowTest, KeepsTheNewest32786LinesAndStaysQuickWhileShown)
{
    window.show();
    QElapsedTimer timer;
    timer.start();
    for (int i = 1; i <= 32787; ++i) {
        window.AddTerminalLine(QStringLiteral("Tx: line %1").arg(i));
        if (i % 256 == 0)
            QCoreApplication::processEvents();
    }
    QCoreApplication::processEvents();
    const qint64 elapsed = timer.elapsed();
    EXPECT_LT(elapsed, 3000) << "32,787 lines took " << elapsed << " ms";
    RecordProperty("transcript_fill_ms", static_cast<int>(elapsed));

    const LogListModel &transcript = window.Transcript();
    EXPECT_EQ(transcript.Count(), 32786);
    EXPECT_EQ(unstamped(transcript.LineAtRow(0)), "Tx: line 32787");
    EXPECT_EQ(unstamped(transcript.LineAtRow(32785)), "Tx: line 2");

    button(kTerminalClearId).click();
    EXPECT_EQ(transcript.Count(), 0);
}

TEST_F(TerminalWindowTest, SavedTranscriptIsNewestFirstAndANameWithoutExtensionGetsCam)
{
    window.AddTerminalLine(QStringLiteral("Tx: EA?"));
    window.AddTerminalLine(QStringLiteral("Rx: EA=1"));
    const QString chosen = rig.temp.Folder() + QStringLiteral("/transcript");
    rig.dialogs.QueueFilePath(chosen);
    button(kTerminalSaveId).click();

    QFile file(chosen + QStringLiteral(".cam"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_EQ(lines.size(), 3); // two lines and the empty rest after the last line end
    EXPECT_TRUE(lines[0].endsWith("Rx: EA=1\r"));
    EXPECT_TRUE(lines[1].endsWith("Tx: EA?\r"));
    EXPECT_TRUE(kStamped.match(QString::fromLatin1(lines[0].chopped(1))).hasMatch());
    EXPECT_TRUE(lines[2].isEmpty());

    EXPECT_EQ(unstamped(window.Transcript().LineAtRow(0)), "Writing file has been done !");
    ASSERT_EQ(rig.dialogs.FileRequests().size(), 1u);
    EXPECT_EQ(rig.dialogs.FileRequests().front().defaultSuffix, "cam");
    EXPECT_EQ(rig.dialogs.FileRequests().front().nameFilter, "CSV file (*.csv)");
}

TEST_F(TerminalWindowTest, SaveFailuresAndRefusalsWriteNothing)
{
    window.AddTerminalLine(QStringLiteral("Tx: EA?"));
    const QString path = rig.temp.Folder() + QStringLiteral("/kept.csv");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("before");
    }
    rig.dialogs.QueueFilePath(path);
    rig.dialogs.QueueAnswer(MessageAnswer::No);
    button(kTerminalSaveId).click();
    QFile kept(path);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "before");

    rig.dialogs.Clear();
    rig.dialogs.QueueFilePath(rig.temp.Folder() + QStringLiteral("/missing/folder/t.csv"));
    button(kTerminalSaveId).click();
    EXPECT_EQ(rig.dialogs.MessageTexts(), QStringList({"File open error !"}));
    EXPECT_FALSE(QFile::exists(rig.temp.Folder() + QStringLiteral("/missing/folder/t.csv")));

    rig.dialogs.Clear();
    FileDialogResult error;
    error.outcome = FileDialogResult::Outcome::Error;
    error.errorCode = 3;
    rig.dialogs.QueueFile(error);
    button(kTerminalSaveId).click();
    EXPECT_EQ(rig.dialogs.MessageTexts(), QStringList({"Error in Load Dialog!"}));
    EXPECT_EQ(rig.dialogs.Messages().front().caption, "Load Error");
    EXPECT_EQ(unstamped(window.Transcript().LineAtRow(0)), "Tx: EA?");
}

TEST_F(TerminalWindowTest, ControlsFollowTheLayoutTableOnResize)
{
    EXPECT_EQ(window.windowTitle(), "RS-232C TERMINAL");
    window.show();
    window.resize(500, 400);
    QCoreApplication::processEvents();
    const QSize client = window.size();
    ASSERT_EQ(client, QSize(500, 400));
    EXPECT_EQ(window.FindControl(kTerminalEditId)->geometry(), QRect(10, 10, 410, 20));
    EXPECT_EQ(window.FindControl(kTerminalListId)->geometry(), QRect(10, 42, 410, 338));
    EXPECT_EQ(window.FindControl(kTerminalCloseId)->geometry(), QRect(430, 10, 60, 20));
    EXPECT_EQ(window.FindControl(kTerminalSaveId)->geometry(), QRect(430, 82, 60, 20));
    EXPECT_EQ(window.FindControl(kTerminalStripId)->geometry(), QRect(4, 388, 492, 8));
    EXPECT_EQ(button(kTerminalSendId).text(), "Send");
    EXPECT_TRUE(button(kTerminalSendId).isDefault());
    EXPECT_EQ(button(kTerminalCloseId).text(), "Close");
}

TEST_F(TerminalWindowTest, CloseEscapeAndTheCloseBoxOnlyHide)
{
    window.AddTerminalLine(QStringLiteral("Tx: EA?"));
    edit().setText(QStringLiteral("WTC?"));
    window.show();
    button(kTerminalCloseId).click();
    EXPECT_FALSE(window.isVisible());

    window.show();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&edit(), &escape);
    EXPECT_FALSE(window.isVisible());

    window.show();
    window.close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(edit().text(), "WTC?");
    EXPECT_EQ(window.Transcript().Count(), 1);
}

TEST_F(TerminalWindowTest, ATypedLineReachesTheCameraWithCrLfAndItsAnswerFollows)
{
    ASSERT_TRUE(rig.link->Open(0, 115200, 0));
    rig.command->Create(); // the engine's timer collects the unasked answer
    edit().setText(QStringLiteral("EA?"));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    window.show();
    QApplication::sendEvent(&edit(), &enter); // Enter presses the default button, "Send"

    ASSERT_TRUE(rig.simulator->WaitForReceivedLines(1, 2000));
    EXPECT_EQ(rig.simulator->ReceivedLines(), QList<QByteArray>({"EA?"}));
    EXPECT_EQ(edit().text(), "EA?"); // the typed line stays for the next send

    QElapsedTimer waited;
    waited.start();
    while (window.Transcript().Count() < 2 && waited.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_EQ(window.Transcript().Count(), 2);
    EXPECT_EQ(unstamped(window.Transcript().LineAtRow(1)), "Tx: EA?");
    EXPECT_TRUE(unstamped(window.Transcript().LineAtRow(0)).startsWith("Rx: EA="));
}

TEST_F(TerminalWindowTest, SendWritesTheTextAsTypedWithCrLfAndAnEmptyFieldSendsTheLineEnd)
{
    ASSERT_TRUE(rig.link->Open(1, 9600, 0)); // a port that records every byte
    edit().setText(QString::fromLatin1("GA00=12 \xb5"));
    button(kTerminalSendId).click();
    edit().clear();
    button(kTerminalSendId).click();
    EXPECT_EQ(rig.recordingCameraLink.written, QByteArray("GA00=12 \xb5\r\n\r\n"));
}

} // namespace
