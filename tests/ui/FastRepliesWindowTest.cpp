// Fast replies in the windows: every operation puts the lines of the paced mode on the wire,
// in their order, and ends with the same boxes and results; the choice is the operator's,
// kept in the preference file and restored at the next start.
#include <functional>
#include <ostream>

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "MainWindowTestRig.h"
#include "core/protocol/ControlTable.h"
#include "core/settings/SettingsStore.h"
#include "gui/lut/CLUTDlg.h"
#include "gui/lut/LutWindows.h"
#include "gui/main/FastRepliesSwitch.h"
#include "gui/main/MainMenu.h"
#include "gui/operations/ShadingTransfer.h"
#include "gui/tools/CommunicationDialog.h"

namespace {

const QByteArray kFastOn = "[Exchange]\nFastReplies=1\n";

// What one run of an operation left behind.
struct Outcome {
    QList<QByteArray> lines;
    QStringList boxes;
    QString result;

    bool operator==(const Outcome &) const = default;
};

struct OperationCase {
    const char *name;
    // The camera falls silent after this many lines (0: it answers throughout), so a long
    // transfer is compared over its start and its time-out rather than all of it.
    int silentAfter;
    std::function<void(MainWindowRig &, const QString &folder)> prepare;
    // Runs the operation; what it read, as text.
    std::function<QString(MainWindowRig &, const QString &folder)> run;
};

QString joined(const auto &values)
{
    QStringList texts;
    for (const auto value : values)
        texts << QString::number(value);
    return texts.join(u',');
}

class FastRepliesOperationTest : public ::testing::TestWithParam<OperationCase> {
protected:
    // Started fast, on a camera that answers at once at the first rate looked at: the paced
    // start-up and the rate search would cost seconds that prove nothing here.
    FastRepliesOperationTest() : rig({.cameraBaud = 9600, .groups = kFastOn}) { rig.Start(); }

    Outcome runIn(bool fast)
    {
        const OperationCase &c = GetParam();
        rig.window->FastReplies().Set(fast);
        EXPECT_EQ(rig.context->command().FastReplies(), fast);
        rig.dialogs.Clear();
        rig.simulator->ResumeAnswering();
        rig.simulator->ClearWireLog();
        if (c.silentAfter > 0)
            rig.simulator->StopAnsweringAfter(c.silentAfter);
        Outcome outcome;
        outcome.result = c.run(rig, folder.path());
        outcome.lines = rig.Received();
        outcome.boxes = rig.BoxTexts();
        return outcome;
    }

    MainWindowRig rig;
    QTemporaryDir folder;
};

TEST_P(FastRepliesOperationTest, SendsThePacedLinesAndEndsAlike)
{
    const OperationCase &c = GetParam();
    if (c.prepare)
        c.prepare(rig, folder.path());
    const Outcome paced = runIn(false);
    ASSERT_FALSE(paced.lines.isEmpty());
    if (c.silentAfter > 0) {
        EXPECT_GT(paced.lines.size(), c.silentAfter) << "the line after the silence is still sent";
    }
    const Outcome fast = runIn(true);
    EXPECT_EQ(fast.lines, paced.lines);
    EXPECT_EQ(fast.boxes, paced.boxes);
    EXPECT_EQ(fast.result, paced.result);
}

const OperationCase kOperations[] = {
    {"FullRead", 0, nullptr,
     [](MainWindowRig &rig, const QString &) {
         rig.simulator->SetValue(QStringLiteral("GA"), 321);
         rig.window->OnMenu(MenuId::Reload);
         const ControlTable &table = rig.context->controlTable();
         QStringList values;
         for (int row = 0; row < table.RowCount(); ++row) {
             if (table.IsParameterRow(row))
                 values << QString::number(table.GetDataValue(table.Row(row).controlId));
         }
         return values.join(u',');
     }},
    // One refused line: its box must come in both modes, and the load must go on after it.
    {"SettingFileLoad", 0,
     [](MainWindowRig &rig, const QString &folder) {
         rig.simulator->RefuseMnemonic(QStringLiteral("GAR"));
         QFile file(folder + QStringLiteral("/load.cam"));
         ASSERT_TRUE(file.open(QIODevice::WriteOnly));
         file.write("GA=150\r\nGAR=210\r\nGAG=220\r\nGAB=230\r\nBL=12\r\nWTC=2048\r\n");
     },
     [](MainWindowRig &rig, const QString &folder) {
         rig.dialogs.QueueFilePath(folder + QStringLiteral("/load.cam"));
         rig.window->OnMenu(MenuId::Open);
         return QString::number(rig.simulator->Value(QStringLiteral("GAB")).value_or(-1));
     }},
    {"LutRead", 41, nullptr,
     [](MainWindowRig &rig, const QString &) {
         CLUTDlg &red = rig.window->Lut().Window(0);
         const bool complete = red.ReadTableFromCamera();
         return QString::number(complete) + u':' + joined(red.Table());
     }},
    {"ShadingRead", 61,
     [](MainWindowRig &rig, const QString &) { rig.simulator->SetValue(QStringLiteral("SDM"), 1); },
     [](MainWindowRig &rig, const QString &folder) {
         for (int index = 1; index <= 40; ++index)
             rig.simulator->SetShadingEntry(0, index, index * 11);
         rig.dialogs.QueueFilePath(folder + QStringLiteral("/shading.csv"));
         rig.window->Shading().ReadShadingData();
         QString result;
         for (const auto &channel : rig.window->Shading().Table())
             result += joined(channel) + u';';
         return result;
     }},
};

// Test names carry the case's name rather than its bytes.
void PrintTo(const OperationCase &c, std::ostream *out)
{
    *out << c.name;
}

INSTANTIATE_TEST_SUITE_P(Operations, FastRepliesOperationTest, ::testing::ValuesIn(kOperations),
                         [](const ::testing::TestParamInfo<OperationCase> &info) { return info.param.name; });

// The menu item across restarts: what the preference file says at the start, how often the
// operator switches, and what the next start shows.
TEST(FastRepliesChoiceTest, IsStoredAndRestoredAtTheNextStart)
{
    const struct {
        const char *name;
        QByteArray stored;
        int switches;
        bool on;
        QStringList logged;
    } cases[] = {
        {"fresh file", "", 0, false, {}},
        {"switched on", "", 1, true, {"Fast replies on"}},
        {"switched on and off", "", 2, false, {"Fast replies on", "Fast replies off"}},
        {"stored on, switched off", kFastOn, 1, false, {"Fast replies off"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        MainWindowRig rig({.cameraAnswers = false, .groups = c.stored});
        rig.window = std::make_unique<CCtrlToolDlg>(*rig.context);
        QAction *item = FindMenuAction(*rig.window->findChild<QMenuBar *>(), MenuId::FastReplies);
        ASSERT_NE(item, nullptr);
        EXPECT_TRUE(item->isCheckable());
        EXPECT_EQ(item->parent()->property("title").toString(), "Settings(&S)");
        // Off unless the file says on.
        EXPECT_EQ(item->isChecked(), !c.stored.isEmpty());
        EXPECT_EQ(rig.window->FastRepliesLabel().isHidden(), c.stored.isEmpty());
        const QStringList before = rig.window->Communication().Log().OldestFirst();
        for (int i = 0; i < c.switches; ++i)
            item->trigger();
        QStringList logged = rig.window->Communication().Log().OldestFirst();
        logged = logged.mid(before.size());
        EXPECT_EQ(logged, c.logged);
        EXPECT_EQ(item->isChecked(), c.on);

        // The next start on the same file.
        rig.window->SetSkipExitConfirmation(true);
        rig.window.reset();
        rig.context = std::make_unique<AppContext>(rig.dialogs, rig.temp.Path());
        rig.window = std::make_unique<CCtrlToolDlg>(*rig.context);
        QAction *restored = FindMenuAction(*rig.window->findChild<QMenuBar *>(), MenuId::FastReplies);
        EXPECT_EQ(restored->isChecked(), c.on);
        EXPECT_EQ(rig.context->command().FastReplies(), c.on);
        EXPECT_EQ(rig.window->FastRepliesLabel().isHidden(), !c.on);
        EXPECT_EQ(rig.context->progress().CloseHoldMs(), c.on ? 0 : CProgressBarDialog::kCloseHoldMs);
        // The ten preferences keep their own names; the choice lives in its own group.
        EXPECT_EQ(rig.context->settings().FastReplies(), c.on);
        rig.window->SetSkipExitConfirmation(true);
    }
}

} // namespace
