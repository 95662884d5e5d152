#include <gtest/gtest.h>

#include "core/formats/GammaFile.h"

namespace {

struct GammaCase {
    const char *name;
    QByteArray bytes;
    bool accepted;
    int stored;
    QStringList messages;
};

TEST(GammaFile, WrittenLinesReadBackUnchanged)
{
    GammaTables tables{};
    for (int i = 0; i < kLutEntries; ++i) {
        tables[0][static_cast<std::size_t>(i)] = i * 16;
        tables[1][static_cast<std::size_t>(i)] = 4095 - i;
        tables[2][static_cast<std::size_t>(i)] = (i * 37) % 4096;
    }
    const QList<QByteArray> lines = GammaFileLines(tables);
    ASSERT_EQ(lines.size(), 257);
    EXPECT_EQ(lines[0], QByteArray("GammaData (R G B)"));
    EXPECT_EQ(lines[2], QByteArray("16,4094,37"));
    GammaTables read{};
    const GammaFileRead result = ReadGammaFile(lines.join("\r\n") + "\r\n", read);
    EXPECT_TRUE(result.accepted);
    EXPECT_EQ(read, tables);
}

TEST(GammaFile, EdgeCases)
{
    const QByteArray full = [] {
        QByteArray bytes = "x\n";
        for (int i = 0; i < 256; ++i)
            bytes += "1,2,3\n";
        return bytes;
    }();
    const std::vector<GammaCase> cases = {
        {"any header", "whatever\r\n1,2,3\r\n", true, 1, {}},
        {"empty header", "\n1,2,3\n", true, 1, {}},
        {"blanks after commas", "h\n1, 2, 3\n", true, 1, {}},
        {"two commas only", "h\n,,\n", true, 1, {}},
        {"one comma", "h\n1,2\n", false, 0, {"Invaild line format"}},
        {"three commas", "h\n1,2,3,4\n", false, 0, {"Invalid data count format"}},
        {"blank last line", "h\n1,2,3\n\n", false, 1, {"Invaild line format"}},
        {"values above 4095", "h\n1,5000,3\n4096,2,3\n", true, 2, {"Invalid data value: Line(0) : Value(5000)"}},
        {"header only", "GammaData (R G B)\r\n", true, 0, {}},
        {"empty", "", true, 0, {}},
        {"too many", full + "1,2,3\n", false, 256, {"Too many data"}},
        {"huge value", "h\n99999999999999,0,0\n", true, 1, {"Invalid data value: Line(0) : Value(2147483647)"}},
    };
    for (const GammaCase &c : cases) {
        GammaTables tables{};
        tables[0].fill(7);
        const GammaFileRead result = ReadGammaFile(c.bytes, tables);
        EXPECT_EQ(result.accepted, c.accepted) << c.name;
        EXPECT_EQ(result.storedLines, c.stored) << c.name;
        EXPECT_EQ(result.messages, c.messages) << c.name;
        EXPECT_EQ(tables[0][static_cast<std::size_t>(c.stored == 256 ? 255 : c.stored)], c.stored == 256 ? 1 : 7)
            << c.name << ": entries after the last stored line keep their value";
    }
}

TEST(GammaFile, DigitsOnlyCount)
{
    GammaTables tables{};
    const GammaFileRead result = ReadGammaFile("h\n-5,12.5,+7\n5000,4096,1\n", tables);
    EXPECT_TRUE(result.accepted);
    EXPECT_EQ(tables[0][0], 5);
    EXPECT_EQ(tables[1][0], 125);
    EXPECT_EQ(tables[2][0], 7);
    EXPECT_EQ(tables[0][1], 4095);
    EXPECT_EQ(tables[1][1], 4095);
    EXPECT_EQ(result.messages.size(), 1);
}

} // namespace
