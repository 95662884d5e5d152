#include "core/protocol/IdentityTexts.h"

#include <gtest/gtest.h>

namespace {

TEST(IdentityTextsTest, DeviceVersionSplitsOnlyWithExactlyThreeDots)
{
    const struct {
        const char *reply;
        std::optional<DeviceVersionParts> parts;
    } cases[] = {
        {"1.2.3.4", DeviceVersionParts{"1", "2", "3", "4"}},
        {"12..3.", DeviceVersionParts{"12", "", "3", ""}},
        {"1.2.3", std::nullopt},
        {"1.2.3.4.5", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SplitDeviceVersion(QString::fromLatin1(c.reply)), c.parts) << c.reply;
}

TEST(IdentityTextsTest, FirstCharactersAreJoinedAndEmptyFieldsKeepTheirSeparator)
{
    const std::array<QString, 4> version = {"12", "3", "", "4"};
    EXPECT_EQ(JoinFirstCharacters(version, QStringLiteral(".")), "1.3..4");
    const std::array<QString, 10> id = {"A", "B", "C", "D", "E", "F", "G", "", "", ""};
    EXPECT_EQ(JoinFirstCharacters(id), "ABCDEFG");
}

TEST(IdentityTextsTest, WireTextRefusesLineBreaksForeignCharactersAndExcessBytes)
{
    const struct {
        QString text;
        int limit;
        WireTextCheck expected;
    } cases[] = {
        {QString(64, QLatin1Char('x')), 64, WireTextCheck::Ok},
        {QString(65, QLatin1Char('x')), 64, WireTextCheck::TooLong},
        {QString(64, QChar(0xE9)), 64, WireTextCheck::Ok}, // Latin-1: one byte each
        {QStringLiteral("abc\nCRS00=1"), 64, WireTextCheck::LineBreak},
        {QStringLiteral("abc\r"), -1, WireTextCheck::LineBreak},
        {QStringLiteral("caf\u20AC"), 64, WireTextCheck::NotLatin1},
        {QString(200, QLatin1Char('x')), -1, WireTextCheck::Ok},
    };
    for (const auto &c : cases)
        EXPECT_EQ(CheckWireText(c.text, c.limit), c.expected) << c.text.toStdString();
    EXPECT_TRUE(WireTextRefusal(WireTextCheck::Ok, "User ID").isEmpty());
    EXPECT_TRUE(WireTextRefusal(WireTextCheck::LineBreak, "User ID").contains("User ID"));
}

} // namespace
