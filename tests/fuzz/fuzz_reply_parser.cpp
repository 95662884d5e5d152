// The reply parser on any line a camera may send, read as the engine reads it (Latin-1): the
// record puts the line back together (spaces and line ends aside), a line is taken exactly when
// its mnemonic is a command's, a value the tool writes reads back the same, and a real scales to
// within one of its exact value.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include <QString>

#include "core/protocol/CommandFormat.h"
#include "core/protocol/ReplyParser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const CommandTable table;
    QString line = QString::fromLatin1(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    // A first byte with its top bit set puts a command's mnemonic and "=" before the rest.
    if (size >= 2 && (data[0] & 0x80) != 0)
        line = table.MnemonicOf(((data[0] & 0x1F) << 8 | data[1]) % kCommandCount) + u'=' + line.mid(2);
    ReplyRecord record;
    const bool parsed = ParseReply(table, line, record);
    const QString clean = QString(line).remove(u' ').remove(u'\r').remove(u'\n');
    if (record.line != clean || parsed == record.parseError)
        std::abort();
    const bool hasOperator = clean.contains(u'=') || clean.contains(u'?');
    const QString rebuilt = record.mnemonic + record.operatorChar + record.valueText +
                            (record.form == 2 ? u',' + record.secondValueText : QString());
    if (hasOperator && (rebuilt != clean || record.mnemonic.contains(u'=')))
        std::abort();
    if (parsed != (hasOperator && table.FindMnemonic(record.mnemonic) >= 0))
        std::abort();
    if (parsed && record.operatorChar == u'=') {
        ReplyRecord again;
        if (!ParseReply(table, FormatSet(table, record.commandId, record.value, true), again) ||
            again.commandId != record.commandId || again.value.integerValue != record.value.integerValue ||
            again.value.text != record.value.text)
            std::abort();
    }
    const int decimals = size > 0 ? data[0] % 10 : 0;
    const double real = ParseRealPrefix(record.valueText);
    const double exact = real * std::pow(10.0, decimals);
    const double limit = std::numeric_limits<std::int32_t>::max();
    if (!std::isfinite(real) || (std::fabs(exact) < limit && std::fabs(ScaleReal(real, decimals) - exact) >= 1.0))
        std::abort();
    return 0;
}
