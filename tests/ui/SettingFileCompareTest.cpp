#include <QLabel>
#include <QListWidget>
#include <QTabBar>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "OperatorActions.h"
#include "SettingFileTestRig.h"
#include "gui/main/SettingFileOperations.h"

namespace {

// The camera compared with a file through the File menu's item; the window that shows it.
SettingFileCompareWindow &compare(SettingFileRig &files, const QString &path)
{
    files.rig.dialogs.QueueFilePath(path);
    files.rig.window->OnMenu(MenuId::CompareWithSettingFile);
    SettingFileCompareWindow *window = files.rig.window->SettingFiles().CompareWindow();
    if (window == nullptr)
        qFatal("no compare window");
    return *window;
}

QList<QStringList> rowsOf(const SettingFileCompareWindow &window)
{
    QList<QStringList> rows;
    for (int i = 0; i < window.Rows().topLevelItemCount(); ++i) {
        const QTreeWidgetItem &item = *window.Rows().topLevelItem(i);
        QStringList cells;
        for (int column = 0; column < window.Rows().columnCount(); ++column)
            cells.append(item.text(column));
        rows.append(cells);
    }
    return rows;
}

QTreeWidgetItem &rowOf(SettingFileCompareWindow &window, const QString &mnemonic)
{
    const QList<QTreeWidgetItem *> found = window.Rows().findItems(mnemonic, Qt::MatchExactly, 3);
    if (found.size() != 1)
        qFatal("no single row for %s", qPrintable(mnemonic));
    return *found.front();
}

} // namespace

// What the window shows for each kind of file, and that the file's other model or its emptiness
// is never taken for a match.
TEST(SettingFileCompare, ShowsEveryDifferenceAsThePagesNameAndShowIt)
{
    SettingFileRig files;
    const QString saved = files.Save(MenuId::SaveAllData, QStringLiteral("saved.cam"));
    const struct {
        const char *name;
        QByteArray file; // empty: the saved file
        std::map<QString, qint64> camera;
        QString summary;
        QList<QStringList> rows;
        QStringList unreadable;
        bool wire; // whether anything is asked of the camera
    } cases[] = {
        {"the camera holds the file", {}, {},
         "Nothing differs: the camera holds the file's value for all 143 parameters compared.", {}, {}, true},
        {"a number and a list differ", {}, {{"GA", 107}, {"TM", 1}},
         "2 of the 143 parameters compared differ.",
         {{"User A", "Trigger", "Trigger Mode", "TM", "On", "Off"},
          {"User A", "Gain and Black", "Gain All", "GA", "107", "100"}}, {}, true},
        {"an unreadable line", "GA=1O0\nTM=0\n", {{"TM", 1}},
         "1 of the 1 parameter compared differs. 1 line of the file is unreadable: loading the file skips it.",
         {{"User A", "Trigger", "Trigger Mode", "TM", "On", "Off"}},
         {"line 1 unreadable: GA=1O0"}, true},
        {"an empty file", "", {}, "%1: sets no parameter of the QN-5200RL-BDXP in the standard mode: nothing was verified",
         {}, {}, false},
        {"another model's file", "MD00=QN-5200R-BDX\r\nGA=150\r\n", {},
         "%1: is for the QN-5200R-BDX, the camera is the QN-5200RL-BDXP", {}, {}, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = c.file.isNull() ? saved : files.Write(QStringLiteral("compare.cam"), c.file);
        for (const auto &[mnemonic, value] : c.camera)
            files.rig.simulator->SetValue(mnemonic, value);
        files.rig.simulator->ClearWireLog();
        SettingFileCompareWindow &window = compare(files, path);
        EXPECT_EQ(window.Summary().text(), c.summary.contains(QLatin1String("%1")) ? c.summary.arg(path) : c.summary);
        EXPECT_EQ(rowsOf(window), c.rows);
        QStringList unreadable;
        for (int i = 0; i < window.Unreadable().count(); ++i)
            unreadable.append(window.Unreadable().item(i)->text());
        EXPECT_EQ(unreadable, c.unreadable);
        EXPECT_EQ(!files.rig.Received().isEmpty(), c.wire);
        EXPECT_TRUE(window.Text().contains(window.Summary().text())) << "the copy holds what the window shows";
        for (const QStringList &row : c.rows)
            EXPECT_TRUE(window.Text().contains(row.join(QLatin1Char('\t'))));
        files.rig.simulator->SetValue(QStringLiteral("GA"), 100);
        files.rig.simulator->SetValue(QStringLiteral("TM"), 0);
    }
}

// Applying a row is the operator's own edit of the same field, line for line; going to a row
// brings up its page with its control focused.
TEST(SettingFileCompare, AppliesTheFilesValueThroughTheBindingAndGoesToTheControl)
{
    using namespace OperatorActions;
    SettingFileRig files;
    CCtrlToolDlg &main = *files.rig.window;
    CameraSimulator &camera = *files.rig.simulator;
    const QString saved = files.Save(MenuId::SaveAllData, QStringLiteral("saved.cam"));
    camera.SetValue(QStringLiteral("GA"), 107);
    camera.SetValue(QStringLiteral("TM"), 1);
    const auto controlOf = [](SettingFileCompareWindow &window, const QString &mnemonic) {
        for (const CompareRow &row : window.Result().rows) {
            if (row.mnemonic == mnemonic)
                return row.controlId;
        }
        return -1;
    };
    const int gainId = controlOf(compare(files, saved), QStringLiteral("GA"));
    ASSERT_GT(gainId, 0);

    // The operator's own edit from 107 to the file's 100.
    TypeAndEnter(main, gainId, QStringLiteral("107"));
    camera.ClearWireLog();
    TypeAndEnter(main, gainId, QStringLiteral("100"));
    const QList<QByteArray> typed = files.rig.Received();
    ASSERT_TRUE(typed.contains("GA=100"));
    TypeAndEnter(main, gainId, QStringLiteral("107"));

    SettingFileCompareWindow &window = compare(files, saved);
    window.Rows().clearSelection();
    rowOf(window, QStringLiteral("GA")).setSelected(true);
    camera.ClearWireLog();
    window.ApplySelected();
    EXPECT_EQ(files.rig.Received(), typed);
    EXPECT_EQ(rowOf(window, QStringLiteral("GA")).text(SettingFileCompareWindow::kColumnCamera), "100");
    EXPECT_EQ(Text(main, gainId), "100");

    compare(files, saved);
    EXPECT_EQ(window.Rows().topLevelItemCount(), 1) << "the applied row is gone, the other stays";
    QTreeWidgetItem &pattern = rowOf(window, QStringLiteral("TM"));
    window.Rows().setCurrentItem(&pattern);
    window.GoToCurrent();
    EXPECT_EQ(main.Tabs().tabText(main.Tabs().currentIndex()), pattern.text(0));
    EXPECT_EQ(main.focusWidget(), main.FindControl(controlOf(window, QStringLiteral("TM"))));
}
