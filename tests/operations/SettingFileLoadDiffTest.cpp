#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "core/common/TextFiles.h"
#include "core/formats/SettingFile.h"
#include "core/operations/SettingFileDiff.h"
#include "core/operations/SettingFileLoad.h"
#include "core/protocol/CameraModel.h"
#include "core/protocol/ControlTable.h"
#include "protocol/CommandTestRig.h"

namespace {

struct Named {
    int lineNumber;
    QString text;
    bool operator==(const Named &) const = default;
};

// The engine on a simulated camera, with the tables a load plans by.
class SettingFileOverPty : public CommandOverPty {
protected:
    // Loads the bytes; the lines named as malformed.
    std::vector<Named> Load(const QByteArray &bytes, int &refused)
    {
        std::vector<Named> named;
        SettingLoadHooks hooks;
        hooks.malformed = [&named](int lineNumber, const QString &text) { named.push_back({lineNumber, text}); };
        sim->ClearWireLog();
        refused = LoadSettingPieces(SettingFilePieces(bytes), *command, table, controls, model, false, hooks);
        return named;
    }
    QString File(const QByteArray &bytes)
    {
        const QString path = folder.filePath(QStringLiteral("test.cam"));
        EXPECT_TRUE(WriteLinesAtomically(path, bytes.split('\n')));
        return path;
    }
    SettingFileDiff Diff(const QString &path) { return DiffSettingFile(*command, table, controls, model, false, path); }

    ControlTable controls{dialogs};
    CameraModel model;
    QTemporaryDir folder;
};

} // namespace

TEST_F(SettingFileOverPty, MalformedValuesAreSkippedCountedAndNamed)
{
    struct Case {
        QByteArray value;
        QList<QByteArray> sent; // between GAR=200 and GAB=300
    };
    const Case cases[] = {
        {"abc", {}},   {"1O0", {}},  {"", {}},       {"+", {}},          {"--5", {}},
        {"&HZZ", {}},  {"12 34", {}}, {"1e3", {}},   {"-5", {"GA=-5"}}, {"+7", {"GA=7"}},
        {"&H1F", {"GA=31"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value.constData());
        const QByteArray line = "GA=" + c.value;
        int refused = -1;
        const std::vector<Named> named = Load("GAR=200\r\n" + line + "\r\nGAB=300\r\n", refused);
        const QList<QByteArray> sent = QList<QByteArray>{"GAR=200"} + c.sent + QList<QByteArray>{"GAB=300"};
        EXPECT_EQ(sim->ReceivedLines(), sent);
        for (const WireEvent &event : sim->WireLog())
            EXPECT_NE(event.kind, WireEvent::Kind::Garbage) << event.data.constData();
        if (c.sent.isEmpty()) {
            EXPECT_EQ(refused, 1);
            EXPECT_EQ(named, (std::vector<Named>{{2, QString::fromLatin1(line)}}));
        } else {
            EXPECT_TRUE(named.empty());
        }
    }
}

TEST_F(SettingFileOverPty, DiffNamesWhatTheCameraHoldsOtherwise)
{
    ASSERT_TRUE(command->SetValue(CommandId::GA, 150, 5000));
    ASSERT_TRUE(command->SetValue(CommandId::GAR, 200, 5000));
    ASSERT_TRUE(command->SetValue(CommandId::WTC, 2048, 5000));
    struct Case {
        const char *name;
        QByteArray file;
        struct Shown {
            QString name, mnemonic, cameraValue, fileValue;
        };
        std::vector<Shown> differences;
        std::vector<Named> unreadable;
    };
    const Case cases[] = {
        {"same", "GA=150\nGAR=200\nWTC=2048", {}, {}},
        {"two differ", "GA=150\nGAR=210\nWTC=1024",
         {{"", "GAR", "200", "210"}, {"Image format/Width", "WTC", "2048", "1024"}}, {}},
        {"skipped lines are not compared", "CBDRT=4\nXYZ=1\nGA?\nGA=150", {}, {}},
        {"a malformed line is unreadable", "GA=1O0\nGAR=200", {}, {{1, "GA=1O0"}}},
        {"set twice: the last value counts", "GA=100\nGA=150", {}, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const SettingFileDiff diff = Diff(File(c.file));
        ASSERT_TRUE(diff.fileRead) << diff.fileError.toStdString();
        ASSERT_EQ(diff.differences.size(), c.differences.size());
        for (std::size_t i = 0; i < c.differences.size(); ++i) {
            const Case::Shown &expected = c.differences[i];
            EXPECT_EQ(diff.differences[i].mnemonic, expected.mnemonic);
            if (!expected.name.isEmpty()) {
                EXPECT_EQ(diff.differences[i].name, expected.name);
            }
            EXPECT_FALSE(diff.differences[i].name.isEmpty());
            EXPECT_EQ(diff.differences[i].cameraValue, expected.cameraValue);
            EXPECT_EQ(diff.differences[i].fileValue, expected.fileValue);
            // The values as codes, for a front end that shows them in its own way.
            EXPECT_EQ(diff.differences[i].fileCode, expected.fileValue.toInt());
            EXPECT_EQ(diff.differences[i].cameraCode, expected.cameraValue.toInt());
        }
        std::vector<Named> unreadable;
        for (const UnreadableLine &line : diff.unreadable)
            unreadable.push_back({line.lineNumber, line.text});
        EXPECT_EQ(unreadable, c.unreadable);
        EXPECT_EQ(diff.IsSame(), c.differences.empty() && c.unreadable.empty());
    }
}

TEST_F(SettingFileOverPty, DiffRefusesAnotherModelsFile)
{
    model.Assign(QStringLiteral("QN-5200RL-BDXP"));
    const QString path = File("MD00=QN-5200R-BDX\nGA=150");
    sim->ClearWireLog();
    const SettingFileDiff other = Diff(path);
    EXPECT_FALSE(other.fileRead);
    EXPECT_TRUE(other.fileError.contains(QStringLiteral("QN-5200R-BDX"))) << other.fileError.toStdString();
    EXPECT_TRUE(sim->ReceivedLines().isEmpty());
    EXPECT_TRUE(Diff(File("MD00=QN-5200RL-BDXP\nGA=150")).fileRead);
}
