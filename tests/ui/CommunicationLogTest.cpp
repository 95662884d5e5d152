#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QThread>

#include <gtest/gtest.h>

#include "CommunicationTestRig.h"
#include "core/common/TextFiles.h"
#include "gui/tools/LogFileSave.h"

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}

class CommunicationLogTest : public ::testing::Test {
protected:
    CommunicationLogTest() : rig(AuxWindowRig::Options{}), window(rig.MakeCommunication()) {}

    QString target(const QString &name) const { return rig.temp.Folder() + QLatin1Char('/') + name; }
    void clickWriteLog() { ControlOf<QPushButton>(window.FindControl(1079))->click(); }

    AuxWindowRig rig;
    CCommunicationDialog &window;
};

TEST_F(CommunicationLogTest, KeepsTheNewest4096LinesNewestOnTop)
{
    for (int i = 1; i <= 4097; ++i)
        window.AppendLogLine(QStringLiteral("Tx: line %1").arg(i));
    const LogListModel &log = window.Log();
    EXPECT_EQ(log.Count(), 4096);
    EXPECT_EQ(log.LineAtRow(0), "Tx: line 4097");
    EXPECT_EQ(log.LineAtRow(4095), "Tx: line 2"); // line 1 is gone
    // The list on screen is the same log.
    auto *view = ControlOf<QListView>(window.FindControl(1078));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->model()->rowCount(), 4096);
    EXPECT_EQ(view->selectionMode(), QAbstractItemView::NoSelection);
    EXPECT_EQ(view->model()->index(0, 0).data().toString(), "Tx: line 4097");
    // Screen readers see the log as a named list whose rows read as the lines.
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(view);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::List);
    EXPECT_EQ(list->text(QAccessible::Name), "ControlTool Message");
    ASSERT_NE(list->tableInterface(), nullptr);
    QAccessibleInterface *top = list->tableInterface()->cellAt(0, 0);
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->text(QAccessible::Name), "Tx: line 4097");

    ControlOf<QPushButton>(window.FindControl(1080))->click();
    EXPECT_EQ(log.Count(), 0);
}

// A long operation logs hundreds of lines a second into a full log: they go to the list in
// batches, while the log itself always holds the newest 4096; the list lays itself out on a
// layout request, the kind the engine lets the windows handle while it waits for a reply.
TEST_F(CommunicationLogTest, AFullLogTakesLinesInBatchesAndLaysOutOnALayoutRequest)
{
    window.show();
    auto *view = ControlOf<QListView>(window.FindControl(1078));
    ASSERT_NE(view, nullptr);
    const LogListModel &log = window.Log();
    const auto topRow = [view] { return view->model()->index(0, 0).data().toString(); };
    for (int i = 1; i <= 4097; ++i)
        window.AppendLogLine(QStringLiteral("Tx: line %1").arg(i));
    ASSERT_EQ(topRow(), "Tx: line 4097");
    // The rows are laid out with the layout request alone, before any timer has run.
    ASSERT_EQ(view->verticalScrollBar()->maximum(), 0);
    QCoreApplication::sendPostedEvents(view, QEvent::LayoutRequest);
    EXPECT_GT(view->verticalScrollBar()->maximum(), 0);

    for (int i = 1; i <= 3; ++i)
        window.AppendLogLine(QStringLiteral("Tx: late %1").arg(i));
    EXPECT_EQ(log.Count(), 4096);
    EXPECT_EQ(log.LineAtRow(0), "Tx: late 3");
    const QStringList saved = log.OldestFirst();
    ASSERT_EQ(saved.size(), 4096);
    EXPECT_EQ(saved.front(), "Tx: line 5");
    EXPECT_EQ(topRow(), "Tx: line 4097"); // the list has them within the interval
    EXPECT_EQ(view->model()->rowCount(), 4096);

    QThread::msleep(LogListModel::kShowIntervalMs);
    window.AppendLogLine(QStringLiteral("Tx: late 4"));
    EXPECT_EQ(topRow(), "Tx: late 4");
    EXPECT_EQ(view->model()->index(4095, 0).data().toString(), "Tx: line 6");
    EXPECT_EQ(view->model()->rowCount(), 4096);
}

TEST_F(CommunicationLogTest, LinkAndEngineLinesReachTheLog)
{
    rig.link->Open(0, 115200, 0);
    std::int32_t area = -1;
    ASSERT_TRUE(rig.command->QueryValue(388, area, 5000));
    ASSERT_GE(window.Log().Count(), 2);
    EXPECT_EQ(window.Log().LineAtRow(1), "Tx: EA?");
    EXPECT_TRUE(window.Log().LineAtRow(0).startsWith("Rx: EA="));
}

TEST_F(CommunicationLogTest, SavedLogIsOldestFirstWithCrLfAndTheConfirmationGoesOnTop)
{
    window.AppendLogLine(QStringLiteral("Tx: WTC=2048"));
    window.AppendLogLine(QStringLiteral("Rx: COMPLETE"));
    window.AppendLogLine(QString::fromLatin1("Rx: \xb5s"));
    const QString path = target(QStringLiteral("log.txt"));
    rig.dialogs.QueueFilePath(path);
    clickWriteLog();

    EXPECT_EQ(readFile(path), QByteArray("Tx: WTC=2048\r\nRx: COMPLETE\r\nRx: \xb5s\r\n"));
    EXPECT_EQ(window.Log().LineAtRow(0), "Writing file has been done!");
    EXPECT_TRUE(rig.dialogs.Messages().empty());

    ASSERT_EQ(rig.dialogs.FileRequests().size(), 1u);
    const FileDialogRequest &request = rig.dialogs.FileRequests().front();
    EXPECT_TRUE(request.save);
    EXPECT_EQ(request.defaultSuffix, "txt");
    EXPECT_EQ(request.nameFilter, "txt file (*.txt)");
    EXPECT_EQ(request.startFolder, rig.temp.Folder());
}

TEST_F(CommunicationLogTest, AFailedWriteIsReportedLeavesNoFileAndStillRemembersTheFolder)
{
    window.AppendLogLine(QStringLiteral("Tx: EA?"));
    const QString sub = target(QStringLiteral("chosen"));
    ASSERT_TRUE(QDir().mkpath(sub));
    // A folder of that name is in the way: the file cannot be written.
    const QString blocked = sub + QStringLiteral("/log.txt");
    ASSERT_TRUE(QDir().mkpath(blocked));
    rig.dialogs.QueueAnswer(MessageAnswer::Yes); // replace it? yes
    rig.dialogs.QueueFilePath(blocked);
    clickWriteLog();

    ASSERT_EQ(rig.dialogs.Messages().size(), 2u);
    const MessageRequest &failure = rig.dialogs.Messages().back();
    EXPECT_EQ(failure.text, "File open error !");
    EXPECT_EQ(failure.icon, MessageIcon::Stop);
    EXPECT_TRUE(QFileInfo(blocked).isDir());
    EXPECT_EQ(QDir(sub).entryList(QDir::Files | QDir::Hidden).size(), 0); // no half-written file
    EXPECT_EQ(window.Log().LineAtRow(0), "Tx: EA?");                     // no confirmation
    QString folder;
    EXPECT_TRUE(rig.settings->ReadString(SettingIndex::CommandLogFilePath, folder));
    EXPECT_EQ(folder, sub);
}

TEST_F(CommunicationLogTest, AnExistingFileIsReplacedOnlyAfterYes)
{
    window.AppendLogLine(QStringLiteral("Tx: EA?"));
    const QString path = target(QStringLiteral("old.txt"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("earlier\r\n");
    }
    rig.dialogs.QueueFilePath(path);
    rig.dialogs.QueueAnswer(MessageAnswer::No);
    clickWriteLog();
    ASSERT_EQ(rig.dialogs.Messages().size(), 1u);
    const MessageRequest &question = rig.dialogs.Messages().front();
    EXPECT_EQ(question.text, path + "\nThis file already exists.\nReplace existing file?");
    EXPECT_EQ(question.icon, MessageIcon::Question);
    EXPECT_EQ(question.buttons, MessageButtons::YesNo);
    EXPECT_EQ(readFile(path), QByteArray("earlier\r\n"));
    EXPECT_EQ(window.Log().LineAtRow(0), "Tx: EA?");

    rig.dialogs.QueueFilePath(path);
    rig.dialogs.QueueAnswer(MessageAnswer::Yes);
    clickWriteLog();
    EXPECT_EQ(readFile(path), QByteArray("Tx: EA?\r\n"));
}

TEST_F(CommunicationLogTest, CancelWritesNothingAndADialogErrorIsShownWithItsCode)
{
    window.AppendLogLine(QStringLiteral("Tx: EA?"));
    clickWriteLog(); // nothing queued: cancelled
    EXPECT_TRUE(rig.dialogs.Messages().empty());
    EXPECT_EQ(window.Log().Count(), 1);

    FileDialogResult error;
    error.outcome = FileDialogResult::Outcome::Error;
    error.errorCode = 12290;
    rig.dialogs.QueueFile(error);
    clickWriteLog();
    ASSERT_EQ(rig.dialogs.Messages().size(), 1u);
    EXPECT_EQ(rig.dialogs.Messages().front().text, "Error in Load Dialog! (Return-code = 12290)");
    EXPECT_EQ(rig.dialogs.Messages().front().caption, "Load Error");
    EXPECT_EQ(rig.dialogs.Messages().front().icon, MessageIcon::Exclamation);
}

TEST(LogFileSaveTest, FolderIsEverythingBeforeTheLastSeparator)
{
    EXPECT_EQ(FolderOfPath(QStringLiteral("/home/op/logs/a.txt")), "/home/op/logs");
    EXPECT_EQ(FolderOfPath(QStringLiteral("a.txt")), "");
    EXPECT_EQ(FolderOfPath(QStringLiteral("/a.txt")), "/");
}

} // namespace
