#include <gtest/gtest.h>

#include "core/operations/SettingFileCompare.h"
#include "core/protocol/CameraModel.h"
#include "core/protocol/CommandIds.h"
#include "core/protocol/CommandTable.h"
#include "core/protocol/ControlTable.h"
#include "support/ScriptedDialogs.h"

namespace {

constexpr int kWidthControl = 1225;
constexpr int kGainControl = 1041;
constexpr int kUnlabelledControl = 99999; // no page shows it

const std::vector<FiledValue> kFiled = {
    {CommandId::WTC, kWidthControl, QStringLiteral("WTC"), 2048},
    {CommandId::GA, kGainControl, QStringLiteral("GA"), 150},
    {CommandId::HB, kUnlabelledControl, QStringLiteral("HB"), -3},
};

struct Expected {
    const char *mnemonic;
    std::int32_t fileValue;
    std::optional<std::int32_t> cameraValue;
};

} // namespace

TEST(SettingFileCompare, DifferencesInFileOrder)
{
    struct Case {
        const char *name;
        CameraValues camera;
        std::vector<Expected> differences;
    };
    const Case cases[] = {
        {"equal", {{CommandId::WTC, 2048}, {CommandId::GA, 150}, {CommandId::HB, -3}}, {}},
        {"extra reads are no difference",
         {{CommandId::WTC, 2048}, {CommandId::GA, 150}, {CommandId::HB, -3}, {CommandId::PE, 7}},
         {}},
        {"different", {{CommandId::WTC, 2048}, {CommandId::GA, 100}, {CommandId::HB, 3}},
         {{"GA", 150, 100}, {"HB", -3, 3}}},
        {"missing read", {{CommandId::GA, 150}, {CommandId::HB, -3}}, {{"WTC", 2048, std::nullopt}}},
        {"nothing read", {}, {{"WTC", 2048, std::nullopt}, {"GA", 150, std::nullopt}, {"HB", -3, std::nullopt}}},
        {"zero is a value, not a missing read", {{CommandId::WTC, 0}, {CommandId::GA, 150}, {CommandId::HB, -3}},
         {{"WTC", 2048, 0}}},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(test.name);
        const std::vector<SettingDifference> differences = CompareFiledValues(kFiled, test.camera);
        ASSERT_EQ(differences.size(), test.differences.size());
        for (std::size_t i = 0; i < differences.size(); ++i) {
            EXPECT_EQ(differences[i].mnemonic.toStdString(), test.differences[i].mnemonic);
            EXPECT_EQ(differences[i].fileValue, test.differences[i].fileValue);
            EXPECT_EQ(differences[i].cameraValue, test.differences[i].cameraValue);
        }
    }
}

TEST(SettingFileCompare, DifferenceNamesItsPageFieldAndAnUnreadValue)
{
    const std::vector<SettingDifference> differences = CompareFiledValues(kFiled, {{CommandId::GA, 100}});
    ASSERT_EQ(differences.size(), 3u);
    EXPECT_EQ(differences[0].label, QStringLiteral("Image format/Width"));
    EXPECT_EQ(differences[0].CameraText(), QStringLiteral("not read"));
    EXPECT_TRUE(differences[1].label.endsWith(QStringLiteral("/Gain All"))) << differences[1].label.toStdString();
    EXPECT_EQ(differences[1].CameraText(), QStringLiteral("100"));
    EXPECT_TRUE(differences[2].label.isEmpty());
}

TEST(SettingFileCompare, FiledValuesFollowTheLoadRules)
{
    ScriptedDialogs dialogs;
    const CommandTable commands;
    const ControlTable table(dialogs);
    CameraModel model;
    model.Assign(QStringLiteral("QN-5200RL-BDXP"));
    const QList<QByteArray> pieces = {
        "MD00=QN-5200RL-BDXP", // the model line is written, not read back
        "GA=100",
        "WTC=1024",
        "GA?",                 // not a write
        "CBDRT=3",             // a row that is never filed
        "=0",                  // the empty mnemonic is never sent
        "NOSUCH=1",
        "GAOR=16384",          // an extended row: skipped in the standard mode
        "GA = 150",            // set again: the last value counts, in the first place
    };
    const std::vector<FiledValue> standard = FiledValues(pieces, commands, table, model, false);
    ASSERT_EQ(standard.size(), 2u);
    EXPECT_EQ(standard[0].mnemonic, QStringLiteral("GA"));
    EXPECT_EQ(standard[0].commandId, CommandId::GA);
    EXPECT_EQ(standard[0].controlId, kGainControl);
    EXPECT_EQ(standard[0].value, 150);
    EXPECT_EQ(standard[1].mnemonic, QStringLiteral("WTC"));
    EXPECT_EQ(standard[1].value, 1024);

    const std::vector<FiledValue> extended = FiledValues(pieces, commands, table, model, true);
    ASSERT_EQ(extended.size(), 3u);
    EXPECT_EQ(extended[2].mnemonic, QStringLiteral("GAOR"));
    EXPECT_EQ(extended[2].value, 16384);
}
