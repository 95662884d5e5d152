#include <gtest/gtest.h>

#include "core/protocol/CommandTable.h"
#include "gui/main/AberrationCommands.h"
#include "gui/main/ControlBinding.h"
#include "gui/main/GainAutoRules.h"
#include "gui/main/LineRateDisplay.h"
#include "gui/main/ReadoutTexts.h"
#include "core/operations/CameraReadouts.h"

namespace {

using namespace Aberration;

QString mnemonic(int commandId)
{
    static const CommandTable table;
    return CommandTable::IsValidId(commandId) ? table.MnemonicOf(commandId) : QStringLiteral("<none>");
}

const char kColourLetter[] = {'R', 'B'};

} // namespace

// The arithmetic must land on the family's own mnemonics for every lens, colour and index.
TEST(AberrationCommands, EveryCellCommandNamesItsFamilyMember)
{
    for (int lens = 0; lens < kLensCount; ++lens) {
        EXPECT_EQ(mnemonic(SyncModeCommand(lens)), QStringLiteral("CACSM%1").arg(lens));
        EXPECT_EQ(mnemonic(MethodCommand(lens)), QStringLiteral("CACMT%1").arg(lens));
        for (int colour = 0; colour < kColourCount; ++colour) {
            const QChar c = QLatin1Char(kColourLetter[colour]);
            for (int side : {Both, Left}) {
                EXPECT_EQ(mnemonic(ValueCommand(side, colour, lens)), QStringLiteral("CAC%1%2").arg(c).arg(lens));
                EXPECT_EQ(mnemonic(CoefficientCommand(side, colour, lens)), QStringLiteral("CACC%1%2").arg(lens).arg(c));
                for (int index = 0; index <= kLastIndex; ++index)
                    EXPECT_EQ(mnemonic(RatioCommand(side, colour, lens, index)),
                              QStringLiteral("CACR%1%2%3").arg(lens).arg(c).arg(index));
            }
            EXPECT_EQ(mnemonic(ValueCommand(Right, colour, lens)), QStringLiteral("CACR%1%2").arg(c).arg(lens));
            EXPECT_EQ(mnemonic(CoefficientCommand(Right, colour, lens)), QStringLiteral("CACRC%1%2").arg(lens).arg(c));
            for (int index = 1; index <= kLastIndex; ++index)
                EXPECT_EQ(mnemonic(RatioCommand(Right, colour, lens, index)),
                          QStringLiteral("CACRR%1%2%3").arg(lens).arg(c).arg(index));
        }
    }
}

TEST(AberrationCommands, SelectionsOutsideTheFamilyNameNoCommand)
{
    EXPECT_EQ(RatioCommand(Right, 0, 0, 0), -1) << "would be the left table's last entry";
    EXPECT_EQ(RatioCommand(Left, 0, 0, 9), -1);
    EXPECT_EQ(RatioCommand(-1, 0, 0, 1), -1);
    EXPECT_EQ(ValueCommand(Both, -1, 0), -1);
    EXPECT_EQ(CoefficientCommand(Both, 0, 4), -1);
    EXPECT_EQ(SyncModeCommand(-1), -1);
    EXPECT_EQ(MethodCommand(4), -1);
}

TEST(AberrationCommands, SideAndIndexRules)
{
    // Sync mode allows only "Both"; a right side moves index 0 to 1.
    EXPECT_EQ(AdjustForSide(Sync, Left, 3).side, Both);
    const SideAndIndex syncRight = AdjustForSide(Sync, Right, 0);
    EXPECT_EQ(syncRight.side, Both);
    EXPECT_EQ(syncRight.index, 1);
    // Async mode allows only "Left" or "Right".
    EXPECT_EQ(AdjustForSide(Async, Both, 0).side, Left);
    EXPECT_EQ(AdjustForSide(Async, Both, 0).index, 0);
    const SideAndIndex asyncRight = AdjustForSide(Async, Right, 0);
    EXPECT_EQ(asyncRight.side, Right);
    EXPECT_EQ(asyncRight.index, 1);
    EXPECT_EQ(AdjustForSide(Async, Right, 5).index, 5);
    EXPECT_EQ(AdjustIndex(Right, 0), 1);
    EXPECT_EQ(AdjustIndex(Left, 0), 0);
    EXPECT_EQ(AdjustIndex(Right, 7), 7);
    EXPECT_EQ(SideForSyncMode(Async), Left);
    EXPECT_EQ(SideForSyncMode(Sync), Both);
}

TEST(GainAutoRules, PercentageAndLevelsFollowEachOther)
{
    const struct {
        std::int32_t percent, level8, level10;
    } fromPercent[] = {{30, 77, 308}, {50, 128, 512}, {95, 243, 972}};
    for (const auto &c : fromPercent) {
        const GainAutoLevels levels = LevelsFromPercentage(c.percent);
        EXPECT_EQ(levels.level8, c.level8) << c.percent;
        EXPECT_EQ(levels.level10, c.level10) << c.percent;
    }
    const GainAutoReference from8 = ReferenceFrom8Bit(77);
    EXPECT_EQ(from8.percent, 30);
    EXPECT_EQ(from8.levels.level10, 308);
    const GainAutoReference from10 = ReferenceFrom10Bit(309);
    EXPECT_EQ(from10.levels.level8, 77);
    EXPECT_EQ(from10.percent, 30);
    EXPECT_EQ(from10.levels.level10, 309) << "the 10-bit field keeps what was entered";
    EXPECT_EQ(ReferenceFrom10Bit(972).percent, 95);
    EXPECT_EQ(ReferenceFrom8Bit(243).percent, 95);
}

TEST(ReadoutTexts, CounterStatusAndXmlVersion)
{
    EXPECT_EQ(CounterStatusText(0), "Counter Idle");
    EXPECT_EQ(CounterStatusText(2), "Counter Active");
    EXPECT_EQ(CounterStatusText(4), "Counter Overflow");
    for (int other : {1, 3, 5, -1})
        EXPECT_EQ(CounterStatusText(other), "---") << other;

    EXPECT_EQ(XmlVersionDigits(134), (std::array<std::int32_t, 3>{1, 3, 4}));
    EXPECT_EQ(XmlVersionDigits(7), (std::array<std::int32_t, 3>{0, 0, 7}));
    EXPECT_EQ(XmlVersionDigits(0), (std::array<std::int32_t, 3>{0, 0, 0}));
    EXPECT_EQ(XmlVersionFromBoxes({"12", "3", "45"}), 134) << "first characters only";
    EXPECT_EQ(XmlVersionFromBoxes({"2", "", "1"}), 21) << "an empty box adds nothing";
    EXPECT_EQ(XmlVersionFromBoxes({"1", "x", "5"}), 1) << "read as the C library reads a number";
    EXPECT_EQ(XmlVersionFromBoxes({"", "", ""}), 0);
}

TEST(BindingRules, WidenedRangeNeverReachesItsBounds)
{
    // Spin range 9..101 for a row whose limits are 10..100.
    EXPECT_EQ(HoldInWidenedRange(9, 9, 101), 10);
    EXPECT_EQ(HoldInWidenedRange(-500, 9, 101), 10);
    EXPECT_EQ(HoldInWidenedRange(101, 9, 101), 100);
    EXPECT_EQ(HoldInWidenedRange(50, 9, 101), 50);
    EXPECT_EQ(HoldInWidenedRange(10, 9, 101), 10);
}

TEST(LineRateDisplay, PeriodAndFrequencyTexts)
{
    EXPECT_EQ(FormatLinePeriod(3000), "30.00us");
    EXPECT_EQ(FormatLineFrequency(3000), "33333.3333hz");
    EXPECT_EQ(FormatLineFrequency(0), "---hz");
}
