#include "core/protocol/ReplyParser.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <QLocale>

#include "core/protocol/WireText.h"

namespace {

constexpr std::int64_t kIntMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kIntMax = std::numeric_limits<std::int32_t>::max();

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

int skipDigits(const QString &text, int pos)
{
    while (pos < text.size() && isDigit(text[pos]))
        ++pos;
    return pos;
}

QString cleanLine(const QString &line)
{
    QString clean;
    clean.reserve(line.size());
    for (QChar c : line) {
        if (c != u' ' && c != u'\r' && c != u'\n')
            clean += c;
    }
    return clean;
}

void convertValue(ValueType type, std::int32_t decimals, const QString &text, CommandValue &value)
{
    value = CommandValue{};
    value.valueType = type;
    switch (type) {
    case ValueType::Integer:
        value.integerValue = text.startsWith(QStringLiteral("&H")) ? ParseHexPrefix(text.mid(2))
                                                                    : ParseDecimalPrefix(text);
        break;
    case ValueType::Real:
        value.realValue = ParseRealPrefix(text);
        value.integerValue = ScaleReal(value.realValue, decimals);
        break;
    case ValueType::Text:
        value.text = text;
        break;
    }
}

} // namespace

std::int32_t ParseDecimalPrefix(const QString &text)
{
    return WireText::ParseDecimalPrefix(text.toLatin1().toStdString());
}

std::int32_t ParseHexPrefix(const QString &digits)
{
    return WireText::ParseHexPrefix(digits.toLatin1().toStdString());
}

double ParseRealPrefix(const QString &text)
{
    int pos = 0;
    if (pos < text.size() && (text[pos] == u'-' || text[pos] == u'+'))
        ++pos;
    const int intStart = pos;
    pos = skipDigits(text, pos);
    bool haveDigits = pos > intStart;
    if (pos < text.size() && text[pos] == u'.') {
        const int fracStart = pos + 1;
        const int fracEnd = skipDigits(text, fracStart);
        if (haveDigits || fracEnd > fracStart) {
            haveDigits = true;
            pos = fracEnd;
        }
    }
    if (!haveDigits)
        return 0.0;
    if (pos < text.size() && (text[pos] == u'e' || text[pos] == u'E')) {
        int expPos = pos + 1;
        if (expPos < text.size() && (text[expPos] == u'-' || text[expPos] == u'+'))
            ++expPos;
        const int expEnd = skipDigits(text, expPos);
        if (expEnd > expPos)
            pos = expEnd;
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(QStringView(text).left(pos), &ok);
    return std::isfinite(value) ? value : 0.0;
}

std::int32_t ScaleReal(double value, std::int32_t decimals)
{
    const double scaled = value * std::pow(10.0, decimals);
    // A value written with its decimals ("1.15" for two) must come back whole (115), although
    // 1.15 x 100 is 114.999... in binary; only a genuine fraction beyond the decimals is cut off.
    const double nearest = std::round(scaled);
    const double whole = std::fabs(scaled - nearest) <= 1e-9 * std::max(1.0, std::fabs(scaled))
                             ? nearest
                             : std::trunc(scaled);
    if (!(whole > static_cast<double>(kIntMin)))
        return static_cast<std::int32_t>(kIntMin);
    if (!(whole < static_cast<double>(kIntMax)))
        return static_cast<std::int32_t>(kIntMax);
    return static_cast<std::int32_t>(whole);
}

bool ParseReply(const CommandTable &table, const QString &line, ReplyRecord &record)
{
    record = ReplyRecord{};
    record.line = cleanLine(line);

    qsizetype opPos = record.line.indexOf(u'=');
    if (opPos < 0)
        opPos = record.line.indexOf(u'?');
    if (opPos < 0)
        return false;

    record.mnemonic = record.line.left(opPos);
    record.operatorChar = record.line[opPos];
    const QString rest = record.line.mid(opPos + 1);

    if (record.operatorChar == u'?') {
        record.valueText = rest;
        record.form = rest.isEmpty() ? 0 : 1;
    } else if (const qsizetype comma = rest.indexOf(u','); comma >= 0) {
        record.valueText = rest.left(comma);
        record.secondValueText = rest.mid(comma + 1);
        record.firstNumber = ParseDecimalPrefix(record.valueText);
        record.form = 2;
    } else {
        record.valueText = rest;
        record.form = 1;
    }

    record.commandId = table.FindMnemonic(record.mnemonic);
    if (record.commandId < 0)
        return false;
    record.decimals = table.DecimalsOf(record.commandId);
    convertValue(table.ValueTypeOf(record.commandId), record.decimals, record.valueText,
                 record.value);
    record.parseError = false;
    return true;
}
