#include <algorithm>

#include <gtest/gtest.h>

#include "core/formats/SettingFile.h"
#include "core/protocol/CameraModel.h"
#include "core/protocol/CommandTable.h"
#include "core/protocol/ControlTable.h"
#include "support/ScriptedDialogs.h"

namespace {

struct Tables {
    ScriptedDialogs dialogs;
    CommandTable commands;
    ControlTable table{dialogs};
    CameraModel model;
};

bool hasPrefix(const QList<QByteArray> &lines, const QByteArray &prefix)
{
    for (const QByteArray &line : lines)
        if (line.startsWith(prefix))
            return true;
    return false;
}

} // namespace

TEST(SettingFile, VariantsAndModesSelectTheirRows)
{
    Tables t;
    t.model.Assign(QStringLiteral("QN-5200RL-BDXP"));
    const QList<QByteArray> standardAll = SettingFileLines(t.table, t.commands, t.model, SettingFileVariant::AllData, false);
    const QList<QByteArray> standardShip =
        SettingFileLines(t.table, t.commands, t.model, SettingFileVariant::ShippingData, false);
    const QList<QByteArray> extendedAll = SettingFileLines(t.table, t.commands, t.model, SettingFileVariant::AllData, true);
    const QList<QByteArray> extendedShip =
        SettingFileLines(t.table, t.commands, t.model, SettingFileVariant::ShippingData, true);
    EXPECT_EQ(standardAll, standardShip);
    EXPECT_EQ(extendedShip, standardShip);
    ASSERT_FALSE(extendedAll.isEmpty());
    EXPECT_EQ(extendedAll.front(), "MD00=QN-5200RL-BDXP");
    EXPECT_FALSE(hasPrefix(standardAll, "MD00="));
    EXPECT_GT(extendedAll.size(), standardAll.size() + 1) << "the factory rows";
    EXPECT_TRUE(hasPrefix(extendedAll, "GAOR=") || hasPrefix(extendedAll, "NRL="));
    EXPECT_FALSE(hasPrefix(standardAll, "GAOR="));
    for (const char *never : {"CBDRT=", "TPN=", "SA00=", "LUTG="})
        EXPECT_FALSE(hasPrefix(extendedAll, never)) << never;
    EXPECT_TRUE(standardAll.contains("GA=100"));
    const auto emptyMnemonic = std::count_if(standardAll.begin(), standardAll.end(),
                                             [](const QByteArray &line) { return line.startsWith('='); });
    EXPECT_EQ(emptyMnemonic, 8) << "the rows bound to the empty mnemonic are kept";

    CameraModel unknown;
    const QList<QByteArray> unidentified = SettingFileLines(t.table, t.commands, unknown, SettingFileVariant::AllData, true);
    EXPECT_FALSE(hasPrefix(unidentified, "MD00="));
    EXPECT_TRUE(hasPrefix(unidentified, "GAOR="));
}

TEST(SettingFile, LoadRulesInTheirOrder)
{
    using Kind = SettingLineStep::Kind;
    using Reason = SettingLineStep::Reason;
    struct Case {
        QByteArray piece;
        bool extended;
        Kind kind;
        Reason reason;
        std::int32_t value;
        int aberration;
    };
    const Case cases[] = {
        {"GA=100\n", false, Kind::Write, Reason::None, 100, -1},
        {"GA = 100\n", false, Kind::Write, Reason::None, 100, -1},
        {"GA=abc\n", false, Kind::Malformed, Reason::Malformed, 0, -1},
        {"CACM=x\n", false, Kind::Malformed, Reason::Malformed, 0, -1}, // no lens-mode change either
        {"GA?\n", false, Kind::Skip, Reason::NotAWrite, 0, -1},
        {"ga=100\n", false, Kind::Skip, Reason::UnknownMnemonic, 0, -1},
        {"XYZ=1\n", false, Kind::Skip, Reason::UnknownMnemonic, 0, -1},
        {"no operator\n", false, Kind::Skip, Reason::Unparsed, 0, -1},
        {"=0\n", false, Kind::Skip, Reason::EmptyMnemonic, 0, -1},
        {"CBDRT=4\n", false, Kind::Skip, Reason::NotFiled, 4, -1},
        {"GAOR=9000\n", false, Kind::Skip, Reason::Factory, 9000, -1},
        {"GAOR=9000\n", true, Kind::Write, Reason::None, 9000, -1},
        {"CACM=0\n", false, Kind::Write, Reason::None, 0, 0},
        {"CACM=2\n", false, Kind::Write, Reason::None, 2, 1},
        {"MD00=QN-5200R-BDX\n", false, Kind::ModelName, Reason::None, 0, -1},
    };
    for (const Case &c : cases) {
        Tables t;
        const SettingLineStep step = PlanSettingLine(c.piece, t.commands, t.table, t.model, c.extended);
        EXPECT_EQ(step.kind, c.kind) << c.piece.constData();
        EXPECT_EQ(step.reason, c.reason) << c.piece.constData();
        if (step.kind == Kind::Write) {
            EXPECT_EQ(step.value, c.value) << c.piece.constData();
        }
        EXPECT_EQ(step.aberrationEnable, c.aberration) << c.piece.constData();
        EXPECT_TRUE(t.dialogs.Messages().empty()) << c.piece.constData();
    }
    Tables t;
    const SettingLineStep model = PlanSettingLine("MD00=QN-5200R-BDX\r\n", t.commands, t.table, t.model, false);
    EXPECT_EQ(model.text, "QN-5200R-BDX");
}

TEST(SettingFile, PiecesOfLongAndUnendedLines)
{
    EXPECT_TRUE(SettingFilePieces({}).isEmpty());
    const QList<QByteArray> pieces = SettingFilePieces(QByteArray(600, 'A') + "\r\nGA=1");
    ASSERT_EQ(pieces.size(), 4);
    EXPECT_EQ(pieces[0].size(), 255);
    EXPECT_EQ(pieces[2], QByteArray(90, 'A') + "\n");
    EXPECT_EQ(pieces[3], "GA=1");
}

// The forms beyond those the load is checked with on the wire.
TEST(SettingFile, ValuesOutsideTheWholeNumberFormAreMalformed)
{
    struct Case {
        QByteArray value;
        bool hexAllowed; // false: GA taken as a text command
        bool wellFormed;
        std::int32_t number;
    };
    const Case cases[] = {
        {"1.5", true, false, 0},   {"12,34", true, false, 0}, {"&H", true, false, 0},
        {"&h1F", true, false, 0},  {"5-", true, false, 0},    {"&H1F", false, false, 0},
        {"&Hff", true, true, 255}, {"007", true, true, 7},    {" 42 ", true, true, 42},
        {"15", false, true, 15},   {"99999999999", true, true, 2147483647},
    };
    for (const Case &c : cases) {
        Tables t;
        if (!c.hexAllowed)
            t.commands.SetValueTypeOf(t.commands.FindMnemonic(QStringLiteral("GA")), ValueType::Text);
        const QByteArray piece = "GA=" + c.value + "\r\n";
        const SettingLineStep step = PlanSettingLine(piece, t.commands, t.table, t.model, false);
        EXPECT_EQ(step.kind, c.wellFormed ? SettingLineStep::Kind::Write : SettingLineStep::Kind::Malformed)
            << piece.constData();
        if (c.wellFormed && c.hexAllowed) {
            EXPECT_EQ(step.value, c.number) << piece.constData();
        }
    }
}
