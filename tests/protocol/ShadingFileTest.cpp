#include <gtest/gtest.h>

#include "core/formats/ShadingFile.h"
#include "core/protocol/ResultTexts.h"

namespace {

struct LineCase {
    const char *line;
    std::array<std::int32_t, 3> expected;
};

TEST(ShadingFileTest, DataLinesFollowTheReadingRules)
{
    const LineCase cases[] = {{"-5, 1, 2\n", {5, 1, 2}}, {"1.5, 0, 0\n", {15, 0, 0}}, {"7, 8\n", {7, 8, 0}},
                              {"\n", {0, 0, 0}}, {"99999999999, 3, 4\n", {2147483647, 3, 4}}};
    for (const LineCase &c : cases) {
        ShadingTable table{};
        table[2][1] = 9;
        const ShadingFileRead read = ReadShadingFile(QByteArray("header\n") + c.line, table);
        EXPECT_EQ(read.outcome, ShadingFileRead::Outcome::Complete) << c.line;
        EXPECT_EQ(read.linesTaken, 1);
        EXPECT_EQ((std::array<std::int32_t, 3>{table[0][0], table[1][0], table[2][0]}), c.expected) << c.line;
        EXPECT_EQ(table[2][1], 9) << "indexes past the last line keep their values";
    }
}

TEST(ShadingFileTest, ThirdCommaAndTooManyLines)
{
    ShadingTable table{};
    EXPECT_EQ(ReadShadingFile("h\n1,2,3\n4,5,6,7\n8,8,8\n", table).outcome, ShadingFileRead::Outcome::InvalidCount);
    EXPECT_EQ(table[0][0], 1);
    EXPECT_EQ(table[0][1], 0);

    QByteArray full = "h\n";
    for (int i = 0; i < kShadingValues; ++i)
        full += QByteArray::number(i) + ", 1, 2\n";
    const ShadingFileRead read = ReadShadingFile(full + "\n", table);
    EXPECT_EQ(read.outcome, ShadingFileRead::Outcome::TooMany);
    EXPECT_EQ(read.linesTaken, kShadingValues);
    EXPECT_EQ(table[0][1023], 1023);
}

TEST(ShadingFileTest, WrittenLinesReadBackEqual)
{
    ShadingTable table{};
    for (int i = 0; i < kShadingValues; ++i)
        table[static_cast<std::size_t>(i % 3)][static_cast<std::size_t>(i)] = i * 7;
    const QList<QByteArray> lines = ShadingFileLines(table);
    ASSERT_EQ(lines.size(), kShadingValues + 1);
    EXPECT_EQ(lines[0], "ShadingData  (G R B)");
    EXPECT_EQ(lines[1], "0, 0, 0");
    ShadingTable back{};
    EXPECT_EQ(ReadShadingFile(lines.join("\r\n") + "\r\n", back).outcome, ShadingFileRead::Outcome::Complete);
    EXPECT_EQ(back, table);
}

TEST(ResultTextsTest, ColumnsAndUnknownCodes)
{
    EXPECT_EQ(ResultText(ResultKind::WhiteBalance, 4), "Error3 - Timeout-error occurred");
    EXPECT_EQ(ResultText(ResultKind::GainAuto, 4), "IDLE");
    EXPECT_EQ(ResultText(ResultKind::Shading, 0), "Condition_Error");
    EXPECT_EQ(ResultText(ResultKind::Pixel, 0), "Busy");
    for (ResultKind kind : {ResultKind::WhiteBalance, ResultKind::GainAuto, ResultKind::Shading, ResultKind::Pixel}) {
        EXPECT_EQ(ResultText(kind, 6), "Unknown Result");
        EXPECT_EQ(ResultText(kind, kNoResult), "Unknown Result");
    }
}

} // namespace
