#include <limits>

#include <gtest/gtest.h>

#include "core/protocol/ReplyParser.h"

namespace {

constexpr int kGa00 = 443; // Integer
constexpr int kMd = 8;     // Text

ReplyRecord parse(const CommandTable &table, const QString &line, bool expectOk = true)
{
    ReplyRecord record;
    EXPECT_EQ(ParseReply(table, line, record), expectOk) << line.toStdString();
    EXPECT_EQ(record.parseError, !expectOk) << line.toStdString();
    return record;
}

} // namespace

TEST(ReplyParser, TheThreeForms)
{
    const CommandTable table;

    const ReplyRecord one = parse(table, QStringLiteral("GA00=-12"));
    EXPECT_EQ(one.form, 1);
    EXPECT_EQ(one.mnemonic, "GA00");
    EXPECT_EQ(one.operatorChar, u'=');
    EXPECT_EQ(one.valueText, "-12");
    EXPECT_EQ(one.commandId, kGa00);
    EXPECT_EQ(one.value.valueType, ValueType::Integer);
    EXPECT_EQ(one.value.integerValue, -12);

    const ReplyRecord two = parse(table, QStringLiteral("GA00=5,7"));
    EXPECT_EQ(two.form, 2);
    EXPECT_EQ(two.valueText, "5");
    EXPECT_EQ(two.secondValueText, "7");
    EXPECT_EQ(two.firstNumber, 5);
    EXPECT_EQ(two.value.integerValue, 5);

    // A reply that only repeats the query carries no value at all.
    const ReplyRecord none = parse(table, QStringLiteral("GA00?"));
    EXPECT_EQ(none.form, 0);
    EXPECT_EQ(none.operatorChar, u'?');
    EXPECT_TRUE(none.valueText.isEmpty());
    EXPECT_EQ(none.value.integerValue, 0);

    const ReplyRecord textNone = parse(table, QStringLiteral("MD?"));
    EXPECT_EQ(textNone.form, 0);
    EXPECT_EQ(textNone.commandId, kMd);
    EXPECT_EQ(textNone.value.valueType, ValueType::Text);
    EXPECT_TRUE(textNone.value.text.isEmpty());

    const ReplyRecord queryValue = parse(table, QStringLiteral("GA00?9"));
    EXPECT_EQ(queryValue.form, 1);
    EXPECT_EQ(queryValue.value.integerValue, 9);

    // The first "=" wins over a later "?".
    const ReplyRecord both = parse(table, QStringLiteral("GA00=?"));
    EXPECT_EQ(both.operatorChar, u'=');
    EXPECT_EQ(both.valueText, "?");
    EXPECT_EQ(both.value.integerValue, 0);
}

TEST(ReplyParser, BlanksAndLineEndsAreIgnored)
{
    const CommandTable table;
    const ReplyRecord record = parse(table, QStringLiteral(" GA00 = 5 \r\n"));
    EXPECT_EQ(record.line, "GA00=5");
    EXPECT_EQ(record.mnemonic, "GA00");
    EXPECT_EQ(record.value.integerValue, 5);

    const ReplyRecord text = parse(table, QStringLiteral("MD = QN 5200\r"));
    EXPECT_EQ(text.value.text, "QN5200");
}

TEST(ReplyParser, RejectedLinesKeepWhatTheyHad)
{
    const CommandTable table;

    const ReplyRecord bare = parse(table, QStringLiteral("Error: bad value\r\n"), false);
    EXPECT_EQ(bare.line, "Error:badvalue");
    EXPECT_TRUE(bare.mnemonic.isEmpty());
    EXPECT_EQ(bare.commandId, -1);

    const ReplyRecord unknown = parse(table, QStringLiteral("XX99=5"), false);
    EXPECT_EQ(unknown.mnemonic, "XX99");
    EXPECT_EQ(unknown.valueText, "5");
    EXPECT_EQ(unknown.commandId, -1);

    // Mnemonics compare exactly, case included.
    EXPECT_EQ(parse(table, QStringLiteral("ga00=5"), false).commandId, -1);

    const ReplyRecord empty = parse(table, QString(), false);
    EXPECT_TRUE(empty.line.isEmpty());
}

TEST(ReplyParser, IntegerValues)
{
    const CommandTable table;
    const auto integer = [&table](const char *value) {
        return parse(table, QStringLiteral("GA00=") + QLatin1String(value)).value.integerValue;
    };
    EXPECT_EQ(integer("&H1F"), 31);
    EXPECT_EQ(integer("&hff"), 0); // "&H" is case-sensitive: decimal, no leading digits
    EXPECT_EQ(integer("&Hff"), 255);
    EXPECT_EQ(integer("&H1G"), 1);
    EXPECT_EQ(integer("&H"), 0);
    EXPECT_EQ(integer("&HFFFFFFFF"), -1);
    EXPECT_EQ(integer("&H123456789"), -1); // beyond 32 bits: clamped, not wrapped
    EXPECT_EQ(integer("+7"), 7);
    EXPECT_EQ(integer("12abc"), 12);
    EXPECT_EQ(integer("abc"), 0);
    EXPECT_EQ(integer(""), 0);
    EXPECT_EQ(integer("-2147483648"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(integer("99999999999999999999"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(integer("-99999999999999999999"), std::numeric_limits<std::int32_t>::min());
}

TEST(ReplyParser, RealValuesAreScaledAndTruncated)
{
    CommandTable table;
    table.SetValueTypeOf(kGa00, ValueType::Real);
    const ReplyRecord record = parse(table, QStringLiteral("GA00=-2.7"));
    EXPECT_EQ(record.value.valueType, ValueType::Real);
    EXPECT_DOUBLE_EQ(record.value.realValue, -2.7);
    EXPECT_EQ(record.value.integerValue, -2); // towards zero, not down
    EXPECT_DOUBLE_EQ(parse(table, QStringLiteral("GA00=.5x")).value.realValue, 0.5);
    EXPECT_DOUBLE_EQ(parse(table, QStringLiteral("GA00=1e2")).value.realValue, 100.0);
    EXPECT_DOUBLE_EQ(parse(table, QStringLiteral("GA00=3.e")).value.realValue, 3.0);
    EXPECT_DOUBLE_EQ(parse(table, QStringLiteral("GA00=-")).value.realValue, 0.0);

    EXPECT_EQ(ScaleReal(1.157, 2), 115);
    EXPECT_EQ(ScaleReal(-1.157, 2), -115);
    // 1.15 and 0.29 are just below their decimal value in binary; they must not lose a unit.
    EXPECT_EQ(ScaleReal(1.15, 2), 115);
    EXPECT_EQ(ScaleReal(0.29, 2), 29);
    EXPECT_EQ(ScaleReal(-0.29, 2), -29);
    EXPECT_EQ(ScaleReal(1e30, 0), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(ScaleReal(-1e30, 3), std::numeric_limits<std::int32_t>::min());
}
