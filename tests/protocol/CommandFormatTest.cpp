#include <gtest/gtest.h>

#include "core/protocol/CommandFormat.h"

namespace {

CommandValue integerValue(std::int32_t value)
{
    CommandValue commandValue;
    commandValue.integerValue = value;
    return commandValue;
}

} // namespace

TEST(CommandFormat, SetAndQueryLines)
{
    const CommandTable table;
    EXPECT_EQ(FormatSet(table, 11, integerValue(16), true), "CBDRT=16\r\n");
    EXPECT_EQ(FormatSet(table, 11, integerValue(16), false), "CBDRT=16");
    EXPECT_EQ(FormatSet(table, 443, integerValue(-12), false), "GA00=-12");
    EXPECT_EQ(FormatQuery(table, 443, true), "GA00?\r\n");
    EXPECT_EQ(FormatQuery(table, 443, false), "GA00?");
}

TEST(CommandFormat, TheTableDecidesHowTheValueIsWritten)
{
    CommandTable table;
    CommandValue value = integerValue(7);
    value.realValue = 2.75;
    value.text = QStringLiteral("A B,c");

    // An Integer row writes the integer even for a value that carries text.
    value.valueType = ValueType::Text;
    EXPECT_EQ(FormatSet(table, 443, value, false), "GA00=7");

    EXPECT_EQ(FormatSet(table, 8, value, false), "MD=A B,c");

    table.SetValueTypeOf(443, ValueType::Real);
    EXPECT_EQ(FormatSet(table, 443, value, false), "GA00=3"); // no decimals: "%.0f"
}
