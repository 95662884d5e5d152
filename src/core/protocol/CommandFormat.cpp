#include "core/protocol/CommandFormat.h"

#include <algorithm>

namespace {

const QString kLineEnd = QStringLiteral("\r\n");

QString valueText(const CommandTable &table, int commandId, const CommandValue &value)
{
    switch (table.ValueTypeOf(commandId)) {
    case ValueType::Integer:
        break;
    case ValueType::Real:
        // QString::number is locale-independent, so the point is always a '.'.
        return QString::number(value.realValue, 'f', std::max(0, table.DecimalsOf(commandId)));
    case ValueType::Text:
        return value.text;
    }
    return QString::number(value.integerValue);
}

} // namespace

QString FormatSet(const CommandTable &table, int commandId, const CommandValue &value,
                  bool withLineEnd)
{
    QString line = table.MnemonicOf(commandId) + u'=' + valueText(table, commandId, value);
    if (withLineEnd)
        line += kLineEnd;
    return line;
}

QString FormatQuery(const CommandTable &table, int commandId, bool withLineEnd)
{
    QString line = table.MnemonicOf(commandId) + u'?';
    if (withLineEnd)
        line += kLineEnd;
    return line;
}
