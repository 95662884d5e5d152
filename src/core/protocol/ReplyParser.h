#pragma once

#include <cstdint>

#include <QChar>
#include <QString>

#include "core/protocol/CommandTable.h"
#include "core/protocol/CommandValue.h"

// One reply line (or one setting-file line) taken apart: "MN=value", "MN=first,second",
// "MN?" or "MN?value".
struct ReplyRecord {
    QString line;            // without spaces, carriage returns and line feeds
    QString mnemonic;        // the text before the operator
    QChar operatorChar;      // '=' or '?'
    QString valueText;       // the first value
    QString secondValueText; // the text after the first ',' (form 2 only)
    int form = 0;            // 0 no value, 1 one value, 2 two values
    int commandId = -1;      // -1 when no command has this mnemonic
    std::int32_t decimals = 0;
    std::int32_t firstNumber = 0; // the first value as a decimal integer (form 2 only)
    bool parseError = true;
    CommandValue value;      // the first value converted as the command's value type
};

// Fills the record as far as the line allows. False, with the parse error flag set, when the
// line has no operator or its mnemonic is not in the table.
bool ParseReply(const CommandTable &table, const QString &line, ReplyRecord &record);

// The number conversions of the wire: leading digits only, nothing after them counts.
// Values beyond 32 bits are clamped rather than wrapped.
std::int32_t ParseDecimalPrefix(const QString &text);
// The digits after "&H"; up to eight of them give the 32-bit pattern ("&HFFFFFFFF" is -1).
std::int32_t ParseHexPrefix(const QString &digits);
double ParseRealPrefix(const QString &text);
// value x 10^decimals, truncated towards zero.
std::int32_t ScaleReal(double value, std::int32_t decimals);
