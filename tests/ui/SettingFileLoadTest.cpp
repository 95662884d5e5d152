#include <algorithm>
#include <map>

#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include "ParameterLimits.h"
#include "SettingFileTestRig.h"
#include "core/common/TextFiles.h"
#include "core/protocol/CameraModel.h"
#include "gui/main/MainMenu.h"
#include "gui/tools/CommunicationDialog.h"
#include "support/FileBytes.h"

namespace {

// The camera's whole parameter set: every value a flash area keeps that the model has, by
// mnemonic. The simulator holds values for every command; a model's lacking commands are
// neither read, nor saved, nor loaded.
std::map<QString, qint64> parameterSet(const CameraSimulator &camera, const CameraModel &model)
{
    std::map<QString, qint64> set;
    const ParameterSpecs &specs = CameraParameterSpecs();
    const CommandTable commands;
    for (int id = 0; id < kCommandCount; ++id) {
        if (!specs[static_cast<std::size_t>(id)].stored || !model.IsSupportedCommand(id))
            continue;
        const QString mnemonic = commands.MnemonicOf(id);
        // Families share a mnemonic's first row; each mnemonic once.
        if (commands.FindMnemonic(mnemonic) != id)
            continue;
        if (const std::optional<qint64> value = camera.Value(mnemonic))
            set[mnemonic] = *value;
    }
    return set;
}

} // namespace

// Only the first model has the colour exposure times (PER, PEG, PEB): for the second the
// model support rule leaves them out of the file, and out of what is compared.
TEST(SettingFileLoad, RoundTripRestoresTheCamerasWholeParameterSet)
{
    // The sensor window is changed in its width only: a camera whose offset has grown since
    // the save cuts the width written before the offset (the file keeps the table's order).
    const std::map<QString, qint64> common = {
        {"PE", 5}, {"GA", 50}, {"GAG", 4}, {"GAR", 7}, {"GAB", 9}, {"AGCF", 3},
        {"LR", 11}, {"TM", 1}, {"TI", 1}, {"BA", 1}, {"WTC", -96}, {"SWBR", 1},
    };
    const struct {
        const char *model;
        std::map<QString, qint64> extra;
    } cases[] = {
        {"QN-5200RL-BDXP", {}},
        {"QN-5200R-BDX", {{"PER", 1}, {"PEG", 2}, {"PEB", 3}}},
    };
    for (const auto &c : cases) {
        MainWindowRig rig({.model = QString::fromLatin1(c.model)});
        rig.Start();
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("all.cam"));
        const CameraModel &model = rig.context->cameraModel();
        const std::map<QString, qint64> saved = parameterSet(*rig.simulator, model);
        rig.dialogs.QueueFilePath(path);
        rig.window->OnMenu(MenuId::SaveAllData);

        std::map<QString, qint64> changes = common;
        changes.insert(c.extra.begin(), c.extra.end());
        for (const auto &[mnemonic, delta] : changes) {
            ASSERT_TRUE(saved.count(mnemonic)) << c.model << " " << mnemonic.toStdString();
            rig.simulator->SetValue(mnemonic, saved.at(mnemonic) + delta);
        }
        ASSERT_NE(parameterSet(*rig.simulator, model), saved);
        rig.dialogs.QueueFilePath(path);
        rig.window->OnMenu(MenuId::Open);
        EXPECT_EQ(parameterSet(*rig.simulator, model), saved) << c.model;
    }
}

TEST(SettingFileLoad, VariantsOfBothModesAndAnUnidentifiedCamera)
{
    const auto lines = [](const QByteArray &file) {
        EXPECT_TRUE(file.endsWith("\r\n"));
        EXPECT_EQ(file.count("\r\n"), file.count('\n')) << "every line ends in CR LF";
        QList<QByteArray> list = file.split('\n');
        list.removeLast();
        return list;
    };
    const auto has = [](const QList<QByteArray> &list, const QByteArray &prefix) {
        return std::any_of(list.begin(), list.end(), [&](const QByteArray &line) { return line.startsWith(prefix); });
    };
    const struct {
        int controlMode;
        bool identified;
        bool modelLine;
        bool factoryRows;
    } cases[] = {
        {0, true, false, false},
        {1, true, true, true},
        {1, false, false, true},
    };
    for (const auto &c : cases) {
        SettingFileRig t(c.controlMode);
        if (!c.identified)
            t.rig.simulator->SetModel(QStringLiteral("QN-9999X"));
        const QList<QByteArray> all = lines(FileBytes(t.Save(MenuId::SaveAllData, QStringLiteral("all.cam"))));
        const QList<QByteArray> shipping =
            lines(FileBytes(t.Save(MenuId::SaveShippingData, QStringLiteral("ship.cam"))));
        const std::string what = "mode " + std::to_string(c.controlMode) + (c.identified ? "" : " unidentified");
        ASSERT_FALSE(all.isEmpty()) << what;
        EXPECT_EQ(all.front() == "MD00=QN-5200RL-BDXP\r", c.modelLine) << what;
        EXPECT_EQ(has(all, "MD00="), c.modelLine) << what;
        EXPECT_EQ(has(all, "GAOR="), c.factoryRows) << what;
        EXPECT_FALSE(has(shipping, "MD00=")) << what;
        EXPECT_FALSE(has(shipping, "GAOR=")) << what;
        if (!c.controlMode)
            EXPECT_EQ(all, shipping) << what;
        else
            EXPECT_GT(all.size(), shipping.size() + 1) << what;
    }
}

TEST(SettingFileLoad, ExtendedFileInTheStandardModeWritesTheModelButNoFactoryRow)
{
    SettingFileRig t(1);
    const QByteArray all = FileBytes(t.Save(MenuId::SaveAllData, QStringLiteral("all.cam")));
    const QByteArray shipping = FileBytes(t.Save(MenuId::SaveShippingData, QStringLiteral("ship.cam")));
    t.rig.window->ToggleControlMode();
    ASSERT_EQ(t.rig.context->controlMode().Get(), 0);

    const QList<QByteArray> sent = t.Load(all);
    ASSERT_GE(sent.size(), 2);
    EXPECT_EQ(sent[0], "MD00=QN-5200RL-BDXP");
    EXPECT_EQ(sent[1], "MD?") << "the model is identified again";
    // Lines only the extended "All Data" holds: the model line and the factory rows.
    const QList<QByteArray> shippingLines = shipping.split('\n');
    int factoryLines = 0;
    for (const QByteArray &line : all.split('\n')) {
        if (line.isEmpty() || line.startsWith("MD00=") || shippingLines.contains(line))
            continue;
        ++factoryLines;
        EXPECT_FALSE(sent.contains(line.trimmed())) << line.constData();
    }
    EXPECT_GT(factoryLines, 10);
    EXPECT_TRUE(sent.contains("GA=100"));
}

TEST(SettingFileLoad, LinesSentByTheLoadRules)
{
    const QByteArray noControl = "Unexpected error occurred in ToCtrlId(): Command id is ";
    const struct {
        const char *name;
        QByteArray file;
        QList<QByteArray> sent;
        QStringList boxes; // boxes that must have appeared
        int aberrationEnabled; // -1: not looked at
    } cases[] = {
        {"blanks around =", "GA = 100\r\n", {"GA=100"}, {}, -1},
        {"filed flag 0", "CBDRT=4\r\n", {}, {}, -1},
        {"lens mode 0", "CACM=0\r\n", {"CACM=0"}, {}, 0},
        {"lens mode 2", "CACM=2\r\n", {"CACM=2"}, {}, 1},
        {"empty file", "", {}, {}, -1},
        {"no bound control", "LD=2\r\nCRS00=1\r\nGA=120\r\n", {"GA=120"},
         {noControl + "386", noControl + "12"}, -1},
        {"LF only", "GA=110\nGAR=200\n", {"GA=110", "GAR=200"}, {}, -1},
        {"very long line", QByteArray(600, 'A') + "\r\nGA=150\r\n", {"GA=150"}, {}, -1},
        {"long value", "GA=1" + QByteArray(400, '0') + "\r\nGAR=300\r\n", {"GA=2147483647", "GAR=300"}, {}, -1},
        {"binary bytes", QByteArray("\x00\xff\x01\x80GA=7\r\n\x1b=5\r\n", 15) + "GA=140\r\n", {"GA=140"}, {}, -1},
        {"no line end", "GA=130", {"GA=130"}, {}, -1},
        // A value that is not a whole number is a typo: nothing of the line is sent.
        {"two lines in one", "GA=130GAR=200", {}, {}, -1},
        {"unknown mnemonics", "XYZ=1\r\nga=100\r\nGA?\r\nno operator\r\n=0\r\n", {}, {}, -1},
        {"out of range", "GA=999999\r\n", {"GA=999999"}, {}, -1},
        {"not a number", "GA=abc\r\nGAR=210\r\n", {"GAR=210"}, {}, -1},
    };
    SettingFileRig t;
    for (const auto &c : cases) {
        bool progressShown = false;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] { progressShown |= t.rig.context->progress().IsVisible(); });
        watch.start(20);
        EXPECT_EQ(t.Load(c.file), c.sent) << c.name;
        watch.stop();
        EXPECT_TRUE(progressShown) << c.name;
        EXPECT_FALSE(t.rig.context->progress().IsVisible()) << c.name;
        for (const QString &box : c.boxes)
            EXPECT_TRUE(t.rig.BoxTexts().contains(box)) << c.name << " " << box.toStdString();
        if (c.boxes.isEmpty()) {
            for (const QString &box : t.rig.BoxTexts())
                EXPECT_FALSE(box.startsWith(noControl)) << c.name;
        }
        if (c.aberrationEnabled >= 0) {
            QWidget *selector = t.rig.window->FindControl(1699);
            ASSERT_NE(selector, nullptr);
            EXPECT_EQ(selector->isEnabled(), c.aberrationEnabled == 1) << c.name;
        }
    }
    // The table takes the file's value even where the camera refused it.
    EXPECT_EQ(t.rig.context->controlTable().GetDataValue(1041), 999999);
}

// The operator learns which line of the file was left out, and why.
TEST(SettingFileLoad, MalformedLinesAreNamedInTheMessageLog)
{
    const struct {
        const char *name;
        QByteArray file;
        QList<QByteArray> sent;
        QStringList named;
    } cases[] = {
        {"letter O for a zero", "GA=120\r\nOFC=1O0\r\nGAR=210\r\n", {"GA=120", "GAR=210"},
         {"Setting file line 2 skipped, its value is not a whole number: OFC=1O0"}},
        {"two, after a long line", QByteArray(300, 'A') + "\nGA=\nGAB=+\nGAR=+210\n", {"GAR=210"},
         {"line 2 skipped, its value is not a whole number: GA=", "line 3 skipped, its value is not a whole number: GAB=+"}},
        {"none", "GA=120\r\n", {"GA=120"}, {}},
    };
    SettingFileRig t;
    for (const auto &c : cases) {
        EXPECT_EQ(t.Load(c.file), c.sent) << c.name;
        const QStringList notes = t.LogLines().filter(QStringLiteral("is not a whole number"));
        ASSERT_EQ(notes.size(), c.named.size()) << c.name << " " << notes.join(" | ").toStdString();
        for (const QString &named : c.named)
            EXPECT_EQ(notes.filter(named).size(), 1) << c.name << " " << named.toStdString();
        EXPECT_TRUE(t.rig.BoxTexts().isEmpty()) << c.name << " " << t.rig.BoxTexts().join(" | ").toStdString();
    }
}

// A pulled cable in mid-load: the load stops at once, one box says the camera holds only part
// of the file, the log says why, the windows are usable again and the file is untouched.
TEST(SettingFileLoad, UnpluggedDuringTheLoadStopsAtOnceWithOneBox)
{
    SettingFileRig files;
    const QString path = files.Save(MenuId::SaveAllData, QStringLiteral("all.cam"));
    const QByteArray bytes = FileBytes(path);
    ASSERT_FALSE(bytes.isEmpty());
    files.rig.simulator->ClearWireLog();
    files.rig.dialogs.Clear();
    const Unplugger unplugger(*files.rig.simulator, 20);
    files.rig.dialogs.QueueFilePath(path);
    files.rig.window->OnMenu(MenuId::Open);
    const qint64 endedAfterMs = unplugger.MsSinceUnplug();

    ASSERT_GE(endedAfterMs, 0) << "the load ended before the cable was pulled";
    EXPECT_LT(endedAfterMs, 1500); // the progress window's closing second included
    ASSERT_EQ(files.rig.dialogs.Messages().size(), 1u) << files.rig.BoxTexts().join(" | ").toStdString();
    EXPECT_TRUE(files.rig.dialogs.Messages()[0].text.contains("the link to the camera was lost"));
    EXPECT_TRUE(files.rig.window->Communication().Log().NewestFirst().join('\n').contains("Link lost: "));
    EXPECT_EQ(FileBytes(path), bytes);
    EXPECT_TRUE(files.rig.window->isEnabled());
    for (QWidget *window : files.rig.context->windowList().Windows())
        EXPECT_TRUE(window->isEnabled());
    EXPECT_FALSE(files.rig.context->onlineStatus().IsOnline());
}
