#include "core/protocol/CommandFormat.h"

#include <algorithm>

#include "core/protocol/WireText.h"

namespace {

const QString kLineEnd = QString::fromLatin1(WireText::kLineEnd.data(), WireText::kLineEnd.size());

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
    QString line = QString::fromLatin1(WireText::SetLine(table.MnemonicOf(commandId).toLatin1().toStdString(),
                                                         valueText(table, commandId, value).toLatin1().toStdString()));
    if (withLineEnd)
        line += kLineEnd;
    return line;
}

QString FormatQuery(const CommandTable &table, int commandId, bool withLineEnd)
{
    QString line = QString::fromLatin1(WireText::QueryLine(table.MnemonicOf(commandId).toLatin1().toStdString()));
    if (withLineEnd)
        line += kLineEnd;
    return line;
}
