// The reply parser on any line a camera may send, as the engine reads it (Latin-1). The record
// puts the line back together, spaces and line ends aside; a line is taken only for a command's
// mnemonic; numbers read as their leading digits say, clamped to 32 bits; a value the tool writes
// reads back the same; a number written with its decimals scales back whole, and any real scales
// to within one of its exact value.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include <QRegularExpression>
#include <QString>

#include "core/protocol/CommandFormat.h"
#include "core/protocol/ReplyParser.h"

namespace {

constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();

// The leading digits (after an optional sign, in the base) as a number, clamped to 32 bits.
std::int64_t leadingNumber(const QString &text, const QRegularExpression &pattern, int base, int maxDigits)
{
    const QRegularExpressionMatch match = pattern.match(text);
    const QString digits = match.captured(2);
    const bool negative = match.captured(1) == u'-';
    if (digits.size() > maxDigits)
        return negative ? kMin : (base == 10 ? kMax : 0xFFFFFFFF);
    const std::int64_t magnitude = digits.isEmpty() ? 0 : digits.toLongLong(nullptr, base);
    return std::clamp<std::int64_t>(negative ? -magnitude : magnitude, base == 10 ? kMin : 0, base == 10 ? kMax : 0xFFFFFFFF);
}

std::int32_t decimalPrefix(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^([+-]?)0*([0-9]*)"));
    return static_cast<std::int32_t>(leadingNumber(text, pattern, 10, 10));
}

std::int32_t hexPrefix(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^()0*([0-9A-Fa-f]*)"));
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(leadingNumber(text, pattern, 16, 8)));
}

void checkNumbers(const QString &text, int decimals)
{
    const double real = ParseRealPrefix(text);
    const double exact = real * std::pow(10.0, decimals);
    const std::int32_t scaled = ScaleReal(real, decimals);
    if (!std::isfinite(real) || (exact >= static_cast<double>(kMax) ? scaled != kMax
                                 : exact <= static_cast<double>(kMin) ? scaled != kMin
                                                                      : std::fabs(scaled - exact) >= 1.0))
        std::abort();
    const std::int32_t whole = ParseDecimalPrefix(text);
    const QString written = QString::number(whole / std::pow(10.0, decimals), 'f', decimals);
    if (whole != decimalPrefix(text) || ScaleReal(ParseRealPrefix(written), decimals) != whole)
        std::abort();
}

void checkRecord(const CommandTable &table, const QString &line, bool parsed, const ReplyRecord &record)
{
    const QString clean = QString(line).remove(u' ').remove(u'\r').remove(u'\n');
    if (record.line != clean || parsed == record.parseError)
        std::abort();
    if (!clean.contains(u'=') && !clean.contains(u'?')) {
        if (parsed)
            std::abort();
        return;
    }
    QString rebuilt = record.mnemonic + record.operatorChar + record.valueText;
    if (record.form == 2)
        rebuilt += u',' + record.secondValueText;
    if (rebuilt != clean || record.mnemonic.contains(u'=') ||
        (record.operatorChar == u'?' ? clean.contains(u'=') || record.mnemonic.contains(u'?')
                                     : record.form != 2 && record.valueText.contains(u',')))
        std::abort();
    if (record.form == 2 && record.firstNumber != decimalPrefix(record.valueText))
        std::abort();
    if (parsed != (table.FindMnemonic(record.mnemonic) >= 0))
        std::abort();
    if (!parsed)
        return;
    if (table.MnemonicOf(record.commandId) != record.mnemonic || record.value.valueType != table.ValueTypeOf(record.commandId))
        std::abort();
    const bool hex = record.valueText.startsWith(QStringLiteral("&H"));
    if (record.value.valueType == ValueType::Integer &&
        record.value.integerValue != (hex ? hexPrefix(record.valueText.mid(2)) : decimalPrefix(record.valueText)))
        std::abort();
    if (record.value.valueType == ValueType::Text && record.value.text != record.valueText)
        std::abort();
    if (record.operatorChar != u'=')
        return;
    ReplyRecord again;
    if (!ParseReply(table, FormatSet(table, record.commandId, record.value, true), again) ||
        again.commandId != record.commandId || again.value.integerValue != record.value.integerValue ||
        again.value.text != record.value.text)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const CommandTable table;
    // A first byte with its top bit set puts a command's mnemonic before the rest, with "=" and
    // "&H" after it as its next two bits say.
    QString line = QString::fromLatin1(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    if (size >= 2 && (data[0] & 0x80) != 0) {
        line = table.MnemonicOf(((data[0] & 0x1F) << 8 | data[1]) % kCommandCount) +
               QLatin1String((data[0] & 0x40) != 0 ? "=" : "") + QLatin1String((data[0] & 0x20) != 0 ? "&H" : "") +
               line.mid(2);
    }
    const int decimals = size > 0 ? data[0] % 10 : 0;
    ReplyRecord record;
    const bool parsed = ParseReply(table, line, record);
    checkRecord(table, line, parsed, record);
    checkNumbers(record.valueText, decimals);
    checkNumbers(line, decimals);
    return 0;
}
