#include "core/protocol/CommandTable.h"

CommandTable::CommandTable() : rows_(kCommandRows) {}

QString CommandTable::MnemonicOf(int id) const
{
    return QString::fromLatin1(rows_[id].mnemonic);
}

ValueType CommandTable::ValueTypeOf(int id) const
{
    return rows_[id].valueType;
}

std::int32_t CommandTable::DecimalsOf(int id) const
{
    return rows_[id].decimals;
}

void CommandTable::SetValueTypeOf(int id, ValueType type)
{
    rows_[id].valueType = type;
}

int CommandTable::FindMnemonic(const QString &mnemonic) const
{
    const QByteArray wanted = mnemonic.toLatin1();
    for (int id = 0; id < kCommandCount; ++id) {
        if (wanted == rows_[id].mnemonic)
            return id;
    }
    return -1;
}
